#include "support/EditorTestAccess.h"
#include "support/EditorTestValues.h"
#include "support/ProcessorTestAccess.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

// Renders the whole window, children included, for a few readings, writes each picture into
// the build folder for a person to look at, and checks a few pixels whose colour is certain.
namespace
{
    using Editor = DravelTunerAudioProcessorEditor;

    using EditorTestValues::hex;
    using TestPictures::writePng;

    float noteFrequency (float hz, float cents)
    {
        return (float) ((double) hz * std::pow (2.0, (double) cents / 1200.0));
    }

    struct EditorPictures : public testing::Test
    {
        void SetUp() override { editor = std::make_unique<Editor> (processor); }

        juce::Image render (float frequency, float level, const juce::String& name)
        {
            engine.publish (frequency, 0.9f);
            engine.setInputLevel (level);
            Editor::TestAccess (*editor).tick();

            juce::Image image (juce::Image::ARGB, editor->getWidth(), editor->getHeight(), true);

            {
                juce::Graphics g (image);
                editor->paintEntireComponent (g, true);
            }

            EXPECT_TRUE (writePng (image, name)) << name;
            return image;
        }

        static void expectFrameAndGround (const juce::Image& image)
        {
            EXPECT_EQ (hex (image.getPixelAt (100, 10)), "ffb87333"); // frame, top edge
            EXPECT_EQ (hex (image.getPixelAt (10, 150)), "ffb87333"); // frame, left edge
            EXPECT_EQ (hex (image.getPixelAt (5, 5)), "ff000000");    // ground outside the frame
            EXPECT_EQ (hex (image.getPixelAt (755, 306)), "ff000000");
            EXPECT_EQ (hex (image.getPixelAt (600, 301)), "ff000000"); // the wordmark box over the frame
            EXPECT_EQ (hex (image.getPixelAt (380, 301)), "ffb87333"); // the frame's bottom edge elsewhere
        }

        DravelTunerAudioProcessor processor;
        DravelTunerAudioProcessor::TestAccess engine { processor };
        std::unique_ptr<Editor> editor;
    };
}

TEST_F (EditorPictures, ListeningWithNothingLit)
{
    const auto image = render (0.0f, 0.0f, "editor-listening.png");
    expectFrameAndGround (image);

    // Bar 25 unlit: green at alpha 0.24 over the dark display, far from full green.
    EXPECT_LT (image.getPixelAt (380, 160).getGreen(), 100);
}

TEST_F (EditorPictures, InTuneA4LightsTheCentreBars)
{
    const auto image = render (440.0f, 0.1f, "editor-in-tune.png");
    expectFrameAndGround (image);

    EXPECT_EQ (hex (image.getPixelAt (364, 160)), "ff54df6a"); // bar 24, left of bar 25's glow
    EXPECT_EQ (hex (image.getPixelAt (380, 160)), "ff54df6a"); // bar 25
    EXPECT_EQ (hex (image.getPixelAt (393, 160)), "ff54df6a"); // bar 26
    EXPECT_LT (image.getPixelAt (406, 160).getGreen(), 100);   // bar 27, unlit
    EXPECT_EQ (hex (image.getPixelAt (380, 92)), "ff54df6a");  // the pointer, over bar 25
}

TEST_F (EditorPictures, FlatLowELightsOneYellowGreenBar)
{
    const auto image = render (noteFrequency (82.4069f, -12.3f), 0.1f, "editor-flat.png");
    expectFrameAndGround (image);

    // -12.3 cents lights bar 19, centred at 301.5.
    EXPECT_EQ (hex (image.getPixelAt (301, 160)), "ffb5dc3c");
    EXPECT_EQ (hex (image.getPixelAt (301, 92)), "ffb5dc3c");
    EXPECT_LT (image.getPixelAt (380, 160).getGreen(), 100);
}

TEST_F (EditorPictures, SharpGFarOutLightsAnOrangeBar)
{
    const auto image = render (noteFrequency (195.9977f, 38.0f), 0.1f, "editor-sharp.png");
    expectFrameAndGround (image);

    // +38 cents lights bar 44, centred at 628.5.
    EXPECT_EQ (hex (image.getPixelAt (628, 160)), "ffef792f");
}

TEST_F (EditorPictures, TheWordmarkReadsAtLargeSize)
{
    auto* drawable = Editor::TestAccess (*editor).logoDrawable();
    ASSERT_NE (drawable, nullptr);

    juce::Image image (juce::Image::ARGB, 1600, 180, true);

    {
        juce::Graphics g (image);
        g.fillAll (juce::Colours::black);
        drawable->drawWithin (g, { 20.0f, 20.0f, 1560.0f, 140.0f }, juce::RectanglePlacement::centred, 1.0f);
    }

    EXPECT_TRUE (writePng (image, "editor-wordmark.png"));

    // Only the accent and black, plus their blends at the letters' edges.
    int accentPixels = 0;

    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getARGB() == 0xffb87333)
                ++accentPixels;

    EXPECT_GT (accentPixels, 1560 * 140 / 5);
}
