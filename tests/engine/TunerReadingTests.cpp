#include "engine/ParameterIDs.h"
#include "support/ProcessorTestAccess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
    void expectNoNote (const TunerReading& reading, float frequency, float confidence)
    {
        EXPECT_FALSE (reading.isValid);
        EXPECT_EQ (reading.cents, 0.0f);
        EXPECT_EQ (reading.midiNote, 0);
        EXPECT_TRUE (reading.noteName.isEmpty());

        // Carried as given, NaN included.
        EXPECT_TRUE (reading.frequencyHz == frequency || (std::isnan (frequency) && std::isnan (reading.frequencyHz)));
        EXPECT_EQ (reading.confidence, confidence);
    }

    /** The reading of a note's equal-tempered frequency against A4 = 440 Hz. */
    TunerReading readingOfNote (int midiNote)
    {
        const auto frequency = (float) (440.0 * std::pow (2.0, (midiNote - 69) / 12.0));
        return makeTunerReading (frequency, 440.0f, 1.0f);
    }

    /** A frequency whose fractional note number, worked out in single precision against
        the reference, is exactly the one asked for: searched among the floats around the
        ideal frequency. NaN when there is none near. */
    float frequencyAtNoteNumber (float noteNumber, float reference)
    {
        const auto ideal = (float) (reference * std::pow (2.0, ((double) noteNumber - 69.0) / 12.0));
        auto below = ideal, above = ideal;

        for (int step = 0; step < 4096; ++step)
        {
            for (const auto candidate : { below, above })
                if (log2f (candidate / reference) * 12.0f + 69.0f == noteNumber)
                    return candidate;

            below = std::nextafter (below, 0.0f);
            above = std::nextafter (above, std::numeric_limits<float>::infinity());
        }

        return std::numeric_limits<float>::quiet_NaN();
    }
}

//==============================================================================
TEST (TunerReading, NamesTheNearestNoteAndItsDeviationAgainstTheReference)
{
    struct Case
    {
        float frequency, reference;
        int midiNote;
        const char* name;
        float cents, centsTolerance;
    };

    // clang-format off
    const Case cases[] {
        { 440.0f, 440.0f, 69,  "A4",  0.0f,    0.0f },
        { 220.0f, 440.0f, 57,  "A3",  0.0f,    0.0f },
        { 880.0f, 440.0f, 81,  "A5",  0.0f,    0.0f },
        { 440.0f, 430.0f, 69,  "A4",  39.80f,  0.01f },
        { 1.0f,   440.0f, -36, "C-4", -37.63f, 0.01f },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.frequency) + " Hz against " + juce::String (c.reference));
        const auto reading = makeTunerReading (c.frequency, c.reference, 0.75f);

        EXPECT_TRUE (reading.isValid);
        EXPECT_EQ (reading.midiNote, c.midiNote);
        EXPECT_EQ (reading.noteName, c.name);
        EXPECT_NEAR (reading.cents, c.cents, c.centsTolerance);
        EXPECT_EQ (reading.frequencyHz, c.frequency);
        EXPECT_EQ (reading.confidence, 0.75f);
    }
}

TEST (TunerReading, CountsOctavesDownwardBelowNoteZero)
{
    struct Case
    {
        int midiNote;
        const char* name;
    };

    // clang-format off
    const Case cases[] {
        { 0, "C-1" }, { 11, "B-1" }, { 12, "C0" }, { 60, "C4" }, { 61, "C#4" }, { 127, "G9" },
        { -1, "B-2" }, { -12, "C-2" }, { -13, "B-3" }, { -25, "B-4" },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto reading = readingOfNote (c.midiNote);

        EXPECT_TRUE (reading.isValid);
        EXPECT_EQ (reading.midiNote, c.midiNote);
        EXPECT_EQ (reading.noteName, c.name);
        EXPECT_NEAR (reading.cents, 0.0f, 0.01f);
    }
}

TEST (TunerReading, NamesEveryPitchClassWithSharps)
{
    struct Case
    {
        int midiNote;
        const char* name;
    };

    // From C2 to B5, neighbours an octave or two apart: the names do not all come from one octave.
    // clang-format off
    const Case cases[] {
        { 36, "C2" },  { 49, "C#3" }, { 62, "D4" },  { 75, "D#5" }, { 40, "E2" },  { 53, "F3" },
        { 66, "F#4" }, { 79, "G5" },  { 44, "G#2" }, { 57, "A3" },  { 70, "A#4" }, { 83, "B5" },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto reading = readingOfNote (c.midiNote);

        EXPECT_EQ (reading.midiNote, c.midiNote);
        EXPECT_EQ (reading.noteName, c.name);
    }
}

TEST (TunerReading, RoundsAHalfwayNoteNumberToTheEvenNote)
{
    struct Case
    {
        float noteNumber;
        int midiNote;
        const char* name;
        float cents;
    };

    // clang-format off
    const Case cases[] {
        { 68.5f, 68, "G#4", 50.0f },
        { 69.5f, 70, "A#4", -50.0f },
        { -0.5f, 0,  "C-1", -50.0f },
        { -1.5f, -2, "A#-2", 50.0f },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.noteNumber);
        const auto frequency = frequencyAtNoteNumber (c.noteNumber, 440.0f);
        ASSERT_FALSE (std::isnan (frequency));

        const auto reading = makeTunerReading (frequency, 440.0f, 1.0f);
        EXPECT_EQ (reading.midiNote, c.midiNote);
        EXPECT_EQ (reading.noteName, c.name);
        EXPECT_EQ (reading.cents, c.cents);
    }
}

TEST (TunerReading, GivesNoNoteForAFrequencyOrReferenceThatIsNotFiniteAndPositive)
{
    const auto inf = std::numeric_limits<float>::infinity();
    const auto nan = std::numeric_limits<float>::quiet_NaN();

    struct Case
    {
        float frequency, reference;
    };

    // clang-format off
    const Case cases[] {
        { 0.0f, 440.0f }, { -440.0f, 440.0f }, { inf, 440.0f }, { -inf, 440.0f }, { nan, 440.0f },
        { 440.0f, 0.0f }, { 440.0f, -440.0f }, { 440.0f, inf }, { 440.0f, nan },
        // Finite and positive, but their ratio underflows to 0 or overflows to infinity.
        { std::numeric_limits<float>::denorm_min(), 440.0f }, { 3.0e38f, 1.0e-30f },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.frequency) + " Hz against " + juce::String (c.reference));
        expectNoNote (makeTunerReading (c.frequency, c.reference, 0.5f), c.frequency, 0.5f);
    }
}

//==============================================================================
TEST (TunerReading, IsMadeFromThePublishedPitchAndTheCurrentReference)
{
    DravelTunerAudioProcessor processor;
    DravelTunerAudioProcessor::TestAccess access (processor);

    expectNoNote (processor.getTunerReading(), 0.0f, 0.0f);

    access.publish (440.0f, 0.8f);
    auto reading = processor.getTunerReading();
    EXPECT_EQ (reading.noteName, "A4");
    EXPECT_EQ (reading.cents, 0.0f);
    EXPECT_EQ (reading.confidence, 0.8f);

    auto* reference = processor.getValueTreeState().getParameter (ParameterIDs::referenceA);
    reference->setValueNotifyingHost (reference->convertTo0to1 (430.0f));

    reading = processor.getTunerReading();
    EXPECT_EQ (reading.noteName, "A4");
    EXPECT_NEAR (reading.cents, 39.80f, 0.01f);
    EXPECT_EQ (reading.frequencyHz, 440.0f);

    access.publish (0.0f, 0.3f);
    expectNoNote (processor.getTunerReading(), 0.0f, 0.3f);
}
