#pragma once

#include <juce_graphics/juce_graphics.h>

/** Pictures the tests paint go to <build>/pictures, for a person to look at. */
namespace TestPictures
{
inline juce::File folder()
{
    return juce::File (DRAVEL_TUNER_BUILD_DIR).getChildFile ("pictures");
}

/** Writes the image as a PNG of that name in the folder, replacing any earlier one. */
inline bool writePng (const juce::Image& image, const juce::String& fileName)
{
    const auto dir = folder();

    if (! dir.createDirectory())
        return false;

    auto file = dir.getChildFile (fileName);
    file.deleteFile();

    juce::FileOutputStream out (file);
    return out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out);
}
}
