#pragma once

#include "engine/TunerReading.h"

#include <juce_graphics/juce_graphics.h>

#include <string>

/** What the editor's tests compare against: the cents colour scale, a reading to put on the
    face, and colours written out so that a failure names them. */
namespace EditorTestValues
{
constexpr juce::uint32 green = 0xff54df6a;
constexpr juce::uint32 yellowGreen = 0xffb5dc3c;
constexpr juce::uint32 amber = 0xffefb43a;
constexpr juce::uint32 orange = 0xffef792f;
constexpr juce::uint32 red = 0xffe54236;

/** A4 at 440 Hz, off by the given cents. */
inline TunerReading validReading (float cents)
{
    TunerReading reading;
    reading.isValid = true;
    reading.frequencyHz = 440.0f;
    reading.cents = cents;
    reading.confidence = 1.0f;
    reading.midiNote = 69;
    reading.noteName = "A4";
    return reading;
}

inline std::string hex (juce::uint32 argb)
{
    return juce::String::toHexString ((juce::int64) argb).paddedLeft ('0', 8).toStdString();
}

inline std::string hex (juce::Colour colour) { return hex (colour.getARGB()); }
}
