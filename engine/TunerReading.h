#pragma once

#include <juce_core/juce_core.h>

/** What the editor knows of the pitch: the nearest equal-tempered note and the deviation
    from it. When isValid is false, cents and midiNote are 0 and noteName is empty, while
    frequencyHz and confidence still carry the values the reading was made from.
*/
struct TunerReading
{
    bool isValid = false;
    float frequencyHz = 0.0f;
    float cents = 0.0f;
    float confidence = 0.0f;
    int midiNote = 0;      // A4 = 69, C4 = 60, C-1 = 0
    juce::String noteName; // sharps only: "A4", "C#3", "C-1"
};

/** Turns a frequency into a reading against the pitch of A4; no state, any thread. */
TunerReading makeTunerReading (float frequencyHz, float referenceHz, float confidence);
