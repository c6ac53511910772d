#include "support/EditorTestAccess.h"
#include "support/EditorTestValues.h"
#include "support/ProcessorTestAccess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <memory>
#include <ostream>

using namespace EditorTestValues;

namespace
{
    using Editor = DravelTunerAudioProcessorEditor;

    constexpr juce::uint32 noPitchStatusArgb = 0xd1b87333; // the accent at alpha 0.82

    /** Counts the editor's whole-area repaint requests. */
    struct RepaintCounter : public juce::CachedComponentImage
    {
        explicit RepaintCounter (int& countToUse) : count (countToUse) {}

        void paint (juce::Graphics&) override {}
        bool invalidateAll() override
        {
            ++count;
            return true;
        }
        bool invalidate (const juce::Rectangle<int>&) override { return true; }
        void releaseResources() override {}

        int& count;
    };

    /** A float frequency near 440 Hz whose reading against 440 has cents in [low, high].
        The engine's cents come in steps of about 0.0008, so a range that wide always has one. */
    float frequencyGivingCents (float low, float high)
    {
        const auto nominal = (float) (440.0 * std::pow (2.0, 0.5 * ((double) low + (double) high) / 1200.0));
        auto below = nominal, above = nominal;

        for (int step = 0; step < 100000; ++step)
        {
            for (auto f : { below, above })
            {
                const auto cents = makeTunerReading (f, 440.0f, 1.0f).cents;

                if (cents >= low && cents <= high)
                    return f;
            }

            below = std::nextafter (below, 0.0f);
            above = std::nextafter (above, 1000.0f);
        }

        ADD_FAILURE() << "no frequency gives cents in [" << low << ", " << high << "]";
        return nominal;
    }

    struct ReadingRefreshFixture : public testing::Test
    {
        void SetUp() override
        {
            editor = std::make_unique<Editor> (processor);
        }

        void tick() { Editor::TestAccess (*editor).tick(); }

        juce::String text (const char* id)
        {
            auto* l = dynamic_cast<juce::Label*> (editor->findChildWithID (id));
            return l != nullptr ? l->getText() : juce::String ("<no label " + juce::String (id) + ">");
        }

        juce::uint32 colour (const char* id)
        {
            auto* l = dynamic_cast<juce::Label*> (editor->findChildWithID (id));
            return l != nullptr ? l->findColour (juce::Label::textColourId).getARGB() : 0u;
        }

        void expectNoPitchShown()
        {
            EXPECT_EQ (text ("note-label"), juce::String ("--"));
            EXPECT_EQ (text ("frequency-label"), juce::String());
            EXPECT_EQ (text ("cents-label"), juce::String());
            EXPECT_EQ (colour ("status-label"), noPitchStatusArgb);
        }

        void expectOtherColoursUnchanged()
        {
            EXPECT_EQ (colour ("note-label"), 0xfff1e6dcu);
            EXPECT_EQ (colour ("frequency-label"), 0xb8f1e6dcu);
            EXPECT_EQ (colour ("cents-label"), 0xccf1e6dcu);
        }

        DravelTunerAudioProcessor processor;
        DravelTunerAudioProcessor::TestAccess engine { processor };
        std::unique_ptr<Editor> editor;
    };

    //==============================================================================
    struct NoPitchCase
    {
        float inputLevel;
        const char* status;
    };

    std::ostream& operator<< (std::ostream& o, const NoPitchCase& c) { return o << "level " << c.inputLevel; }

    struct NoPitch : public ReadingRefreshFixture,
                     public testing::WithParamInterface<NoPitchCase>
    {
    };

    //==============================================================================
    struct CentsCase
    {
        const char* name;
        float lowCents, highCents; // the reading's own cents lie in here
        const char* centsText;
        const char* status;
        juce::uint32 statusArgb;
    };

    std::ostream& operator<< (std::ostream& o, const CentsCase& c) { return o << c.name; }

    struct PitchPresent : public ReadingRefreshFixture,
                          public testing::WithParamInterface<CentsCase>
    {
    };

    //==============================================================================
    /** A reading handed straight to the refresh, for cents the engine cannot produce exactly. */
    struct ExactCentsCase
    {
        float cents;
        const char* centsText;
        const char* status;
    };

    std::ostream& operator<< (std::ostream& o, const ExactCentsCase& c)
    {
        return o << std::setprecision (9) << c.cents << " cents";
    }

    struct ExactBounds : public ReadingRefreshFixture,
                         public testing::WithParamInterface<ExactCentsCase>
    {
    };

    //==============================================================================
    struct BandCase
    {
        float cents;
        juce::uint32 argb;
    };

    std::ostream& operator<< (std::ostream& o, const BandCase& c) { return o << c.cents << " cents"; }

    struct ColourForCents : public testing::TestWithParam<BandCase>
    {
    };
}

//==============================================================================
TEST_P (NoPitch, ChoosesTheStatusByTheInputLevelInTheDimmedAccent)
{
    engine.publish (0.0f, 0.0f);
    engine.setInputLevel (GetParam().inputLevel);
    tick();

    EXPECT_FALSE (Editor::TestAccess (*editor).currentReading().isValid);
    expectNoPitchShown();
    EXPECT_EQ (text ("status-label"), juce::String (GetParam().status));
    expectOtherColoursUnchanged();
}

INSTANTIATE_TEST_SUITE_P (Levels, NoPitch,
                          testing::Values (NoPitchCase { 0.0f, "LISTENING" },
                                           NoPitchCase { 0.0024f, "LISTENING" },
                                           NoPitchCase { std::nextafter (0.0025f, 0.0f), "LISTENING" },
                                           NoPitchCase { 0.0025f, "FINDING PITCH" },
                                           NoPitchCase { 0.3f, "FINDING PITCH" },
                                           NoPitchCase { std::numeric_limits<float>::quiet_NaN(), "FINDING PITCH" }));

//==============================================================================
TEST_P (PitchPresent, WritesTheCentsTextAndJudgesTheStatusByTheReadingItself)
{
    const auto& c = GetParam();
    engine.publish (frequencyGivingCents (c.lowCents, c.highCents), 0.9f);

    const auto reading = processor.getTunerReading();
    ASSERT_TRUE (reading.isValid);
    ASSERT_GE (reading.cents, c.lowCents);
    ASSERT_LE (reading.cents, c.highCents);

    tick();

    EXPECT_EQ (text ("note-label"), reading.noteName);
    EXPECT_EQ (text ("cents-label"), juce::String (c.centsText));
    EXPECT_EQ (text ("status-label"), juce::String (c.status));
    EXPECT_EQ (colour ("status-label"), c.statusArgb);
    EXPECT_EQ (Editor::TestAccess (*editor).currentReading().cents, reading.cents);
    expectOtherColoursUnchanged();
}

INSTANTIATE_TEST_SUITE_P (Deviations, PitchPresent, testing::Values (
    CentsCase { "exactly in tune",         0.0f,      0.0f,      "0.0 cents",   "IN TUNE", green },
    CentsCase { "+0.04",                   0.039f,    0.041f,    "0.0 cents",   "IN TUNE", green },
    CentsCase { "-0.04, not -0.0",        -0.041f,   -0.039f,    "0.0 cents",   "IN TUNE", green },
    CentsCase { "just below +0.05",        0.0490f,   0.04999f,  "0.0 cents",   "IN TUNE", green },
    CentsCase { "+0.05 and a hair",        0.05f,     0.0508f,   "+0.1 cents",  "IN TUNE", green },
    CentsCase { "just above -0.05",       -0.04999f, -0.0490f,   "0.0 cents",   "IN TUNE", green },
    CentsCase { "-0.05 and a hair",       -0.0508f,  -0.05f,     "-0.1 cents",  "IN TUNE", green },
    CentsCase { "+12.3",                  12.299f,   12.301f,    "+12.3 cents", "SHARP",   yellowGreen },
    CentsCase { "just inside -3",         -2.9999f,  -2.999f,    "-3.0 cents",  "IN TUNE", green },
    CentsCase { "just past -3",           -3.0008f,  -3.00001f,  "-3.0 cents",  "FLAT",    green },
    CentsCase { "-3.04",                  -3.041f,   -3.039f,    "-3.0 cents",  "FLAT",    green },
    CentsCase { "just inside +3",          2.999f,    2.9999f,   "+3.0 cents",  "IN TUNE", green },
    CentsCase { "just past +3",            3.00001f,  3.0008f,   "+3.0 cents",  "SHARP",   green },
    CentsCase { "+3.5",                    3.499f,    3.501f,    "+3.5 cents",  "SHARP",   green },
    CentsCase { "-4.5",                   -4.501f,   -4.499f,    "-4.5 cents",  "FLAT",    yellowGreen },
    CentsCase { "+25",                    24.999f,   25.001f,    "+25.0 cents", "SHARP",   amber },
    CentsCase { "-38",                   -38.001f,  -37.999f,    "-38.0 cents", "FLAT",    orange },
    CentsCase { "-49.9",                 -49.901f,  -49.899f,    "-49.9 cents", "FLAT",    red }));

//==============================================================================
TEST_P (ExactBounds, KeepsEachLimitOnItsSideOfTheComparison)
{
    Editor::TestAccess (*editor).show (validReading (GetParam().cents));

    EXPECT_EQ (text ("note-label"), juce::String ("A4"));
    EXPECT_EQ (text ("cents-label"), juce::String (GetParam().centsText));
    EXPECT_EQ (text ("status-label"), juce::String (GetParam().status));
    EXPECT_EQ (colour ("status-label"), green);
    EXPECT_EQ (Editor::TestAccess (*editor).currentReading().cents, GetParam().cents);
}

// Exactly 3 cents either way is still in tune; 0.05 either way already prints as 0.1.
INSTANTIATE_TEST_SUITE_P (Limits, ExactBounds, testing::Values (
    ExactCentsCase { -3.0f,                          "-3.0 cents", "IN TUNE" },
    ExactCentsCase { std::nextafter (-3.0f, -4.0f),  "-3.0 cents", "FLAT" },
    ExactCentsCase { 3.0f,                           "+3.0 cents", "IN TUNE" },
    ExactCentsCase { std::nextafter (3.0f, 4.0f),    "+3.0 cents", "SHARP" },
    ExactCentsCase { 0.05f,                          "+0.1 cents", "IN TUNE" },
    ExactCentsCase { std::nextafter (0.05f, 0.0f),   "0.0 cents",  "IN TUNE" },
    ExactCentsCase { -0.05f,                         "-0.1 cents", "IN TUNE" },
    ExactCentsCase { std::nextafter (-0.05f, 0.0f),  "0.0 cents",  "IN TUNE" }));

TEST_F (ReadingRefreshFixture, WritesTheFrequencyWithTwoDecimals)
{
    // clang-format off
    const struct { float hz; const char* note; const char* text; } cases[] = {
        { 27.5f,      "A0", "27.50 Hz" },
        { 82.4069f,   "E2", "82.41 Hz" },
        { 440.0f,     "A4", "440.00 Hz" },
        { 1975.533f,  "B6", "1975.53 Hz" },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.text);
        engine.publish (c.hz, 0.8f);
        tick();

        EXPECT_EQ (text ("frequency-label"), juce::String (c.text));
        EXPECT_EQ (text ("note-label"), juce::String (c.note));
    }
}

TEST_F (ReadingRefreshFixture, GoesBackToThePlaceholdersWhenThePitchIsLost)
{
    engine.publish (frequencyGivingCents (12.299f, 12.301f), 0.9f);
    tick();
    ASSERT_EQ (text ("status-label"), juce::String ("SHARP"));
    ASSERT_EQ (colour ("status-label"), yellowGreen);

    engine.publish (0.0f, 0.0f);
    engine.setInputLevel (0.01f);
    tick();

    expectNoPitchShown();
    EXPECT_EQ (text ("status-label"), juce::String ("FINDING PITCH"));
    EXPECT_FALSE (Editor::TestAccess (*editor).currentReading().isValid);
}

TEST_F (ReadingRefreshFixture, ReadsTheInputLevelOnlyWithoutAPitch)
{
    engine.setInputLevel (0.0f);
    engine.publish (440.0f, 0.9f);
    tick();

    EXPECT_EQ (text ("status-label"), juce::String ("IN TUNE"));
}

TEST_F (ReadingRefreshFixture, RepaintsTheWholeEditorOnEveryTickChangedOrNot)
{
    int repaints = 0;
    editor->setVisible (true);
    editor->setCachedComponentImage (new RepaintCounter (repaints));
    const auto before = repaints;

    engine.publish (440.0f, 0.9f);
    tick();
    tick();
    tick();
    EXPECT_EQ (repaints - before, 3);

    engine.publish (0.0f, 0.0f);
    tick();
    tick();
    EXPECT_EQ (repaints - before, 5);
}

TEST_F (ReadingRefreshFixture, FollowsTheReferenceA)
{
    auto* parameter = processor.getValueTreeState().getParameter ("referenceA");
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (442.0f));

    engine.publish (442.0f, 0.9f);
    tick();
    EXPECT_EQ (text ("cents-label"), juce::String ("0.0 cents"));
    EXPECT_EQ (text ("status-label"), juce::String ("IN TUNE"));
}

//==============================================================================
TEST_P (ColourForCents, PutsEachLimitInTheBandBelowIt)
{
    EXPECT_EQ (Editor::colourForCents (GetParam().cents).getARGB(), GetParam().argb);
}

INSTANTIATE_TEST_SUITE_P (BandEdges, ColourForCents, testing::Values (
    BandCase { 0.0f, green },
    BandCase { 4.0f, green },
    BandCase { std::nextafter (4.0f, 5.0f), yellowGreen },
    BandCase { 18.0f, yellowGreen },
    BandCase { std::nextafter (18.0f, 19.0f), amber },
    BandCase { 32.0f, amber },
    BandCase { std::nextafter (32.0f, 33.0f), orange },
    BandCase { 42.0f, orange },
    BandCase { std::nextafter (42.0f, 43.0f), red },
    BandCase { 50.0f, red },
    BandCase { std::numeric_limits<float>::infinity(), red },
    BandCase { std::numeric_limits<float>::quiet_NaN(), red }));
