#include "DravelTunerAudioProcessor.h"
#include "ParameterIDs.h"

#include <cmath>

namespace
{
    const char* const noteNames[12] = { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };

    bool isFiniteAndPositive (float value)
    {
        return std::isfinite (value) && value > 0.0f;
    }
}

TunerReading makeTunerReading (float frequencyHz, float referenceHz, float confidence)
{
    TunerReading reading;
    reading.frequencyHz = frequencyHz;
    reading.confidence = confidence;

    if (! (isFiniteAndPositive (frequencyHz) && isFiniteAndPositive (referenceHz)))
        return reading;

    const auto ratio = frequencyHz / referenceHz;
    const auto octaves = log2f (ratio);
    const auto semitones = octaves * 12.0f;
    const auto fractionalNote = semitones + 69.0f;

    // A ratio that overflows or underflows (a denormal frequency, say) has no note either.
    if (! std::isfinite (fractionalNote))
        return reading;

    // roundToInt sends halves to the even note, so 68.5 reads as G#4 +50 cents.
    reading.midiNote = juce::roundToInt (fractionalNote);
    reading.cents = (fractionalNote - (float) reading.midiNote) * 100.0f;

    const auto pitchClass = ((reading.midiNote % 12) + 12) % 12;
    const auto octave = (int) floorf ((float) reading.midiNote / 12.0f) - 1;

    reading.noteName = juce::String (noteNames[pitchClass]) + juce::String (octave);
    reading.isValid = true;
    return reading;
}

TunerReading DravelTunerAudioProcessor::getTunerReading() const
{
    // Confidence before frequency: the detector publishes them the other way round, so a
    // reading never pairs a confidence with an older frequency.
    const auto confidence = detectedConfidence.load();
    const auto reference = valueTreeState.getRawParameterValue (ParameterIDs::referenceA)->load();
    const auto frequency = detectedFrequency.load();

    return makeTunerReading (frequency, reference, confidence);
}
