#include "controls/MorvekLabsLedRingControl.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <cmath>

using MorvekLabsControls::LedRingGeometry;
using MorvekLabsControls::MorvekLabsLedRingControl;

// Renders the knob four times enlarged and writes it to <build>/pictures/knob-*.png for a
// person to look at; the pixels it checks follow from the drawing, not from an earlier picture.
namespace
{
    const juce::Colour accent { 0xffb87333 };
    const juce::Colour background { 0xff151413 };
    constexpr int scale = 4;

    struct Picture
    {
        const char* name;
        LedRingGeometry geometry;
        int width, height;
        double value;
        bool enabled;
    };

    // clang-format off
    const Picture pictures[] = {
        { "editor-430",      { 32.0f, 0.5f }, 68,  52,  430.0, true },
        { "editor-440",      { 32.0f, 0.5f }, 68,  52,  440.0, true },
        { "editor-450",      { 32.0f, 0.5f }, 68,  52,  450.0, true },
        { "editor-disabled", { 32.0f, 0.5f }, 68,  52,  440.0, false },
        { "41-leds-432",     { 50.0f, 0.5f }, 90,  90,  432.0, true },
        { "fitted-445",      { 0.0f, 0.5f },  100, 100, 445.0, true },
    };
    // clang-format on

    juce::Image render (const Picture& picture)
    {
        MorvekLabsLedRingControl knob (accent, picture.geometry);
        knob.setRange (430.0, 450.0, 0.1);
        knob.setValue (picture.value);
        knob.setTextValueSuffix (" Hz");
        knob.setEnabled (picture.enabled);
        knob.setBounds (0, 0, picture.width, picture.height);

        juce::Image image (juce::Image::ARGB, picture.width * scale, picture.height * scale, true);
        juce::Graphics g (image);
        g.fillAll (background);
        g.addTransform (juce::AffineTransform::scale ((float) scale));
        knob.paintEntireComponent (g, false);
        return image;
    }

    // The pixel under a point of the knob's own coordinates.
    juce::Colour pixelAt (const juce::Image& image, float x, float y)
    {
        return image.getPixelAt ((int) std::floor (x * (float) scale), (int) std::floor (y * (float) scale));
    }
}

TEST (KnobPictures, WritesTheKnobAtSeveralPositionsSizesAndDisabled)
{
    for (auto& picture : pictures)
    {
        SCOPED_TRACE (picture.name);
        const auto image = render (picture);
        const auto fileName = juce::String ("knob-") + picture.name + ".png";
        ASSERT_TRUE (TestPictures::writePng (image, fileName));

        const auto readBack = juce::ImageFileFormat::loadFrom (TestPictures::folder().getChildFile (fileName));
        ASSERT_TRUE (readBack.isValid());
        EXPECT_EQ (readBack.getWidth(), picture.width * scale);
        EXPECT_EQ (readBack.getHeight(), picture.height * scale);
    }
}

TEST (KnobPictures, LitDotsShowTheLedColourAndUnlitOnesOnlyAHintOfIt)
{
    // Dot 0 of the editor's knob is centred at (24.539, 25.461), dot 12 at (34, 2.62).
    const auto atStart = render (pictures[0]);
    const auto atEnd = render (pictures[2]);
    const auto disabled = render (pictures[3]);

    EXPECT_EQ (pixelAt (atEnd, 34.0f, 2.62f), accent);
    EXPECT_EQ (pixelAt (atEnd, 24.539f, 25.461f), accent);

    const auto unlit = pixelAt (atStart, 34.0f, 2.62f);
    EXPECT_NE (unlit, accent);
    EXPECT_LT (unlit.getBrightness(), 0.5f * accent.getBrightness());
    EXPECT_GT (unlit.getRed(), unlit.getBlue());

    // The disabled knob at 440 still lights dot 0, at 115 of 255 over the dark body.
    const auto dimmed = pixelAt (disabled, 24.539f, 25.461f);
    EXPECT_NE (dimmed, accent);
    EXPECT_GT (dimmed.getBrightness(), unlit.getBrightness());
    EXPECT_LT (dimmed.getBrightness(), accent.getBrightness());

    // Outside the body, the background shows through.
    EXPECT_EQ (pixelAt (atStart, 2.0f, 2.0f), background);
}
