#include "DravelTunerAudioProcessorEditor.h"

#include "engine/AnalysisConstants.h"

#include <cmath>
#include <utility>

namespace
{
    // Below this a deviation prints as 0.0 rather than as -0.0 or +0.0.
    constexpr float shownAsZeroBelowCents = 0.05f;

    // Beyond this either way the string is out of tune.
    constexpr float inTuneLimitCents = 3.0f;

    constexpr float noPitchStatusAlpha = 0.82f;

    struct ColourBand
    {
        float upToCents;
        juce::uint32 argb;
    };

    // The cents colour scale; each limit belongs to the band below it.
    // clang-format off
    constexpr ColourBand colourBands[] = { { 4.0f,  0xff54df6a },     // green
                                           { 18.0f, 0xffb5dc3c },     // yellow-green
                                           { 32.0f, 0xffefb43a },     // amber
                                           { 42.0f, 0xffef792f } };   // orange

    constexpr juce::uint32 farOutArgb = 0xffe54236;                   // red
    // clang-format on
}

//==============================================================================
void DravelTunerAudioProcessorEditor::timerCallback()
{
    showReading (processorRef.getTunerReading());
}

void DravelTunerAudioProcessorEditor::showReading (TunerReading reading)
{
    currentReading = std::move (reading);

    if (! currentReading.isValid)
    {
        noteLabel.setText ("--", juce::dontSendNotification);
        frequencyLabel.setText ({}, juce::dontSendNotification);
        centsLabel.setText ({}, juce::dontSendNotification);

        // NaN is not quiet: it fails the comparison and reads as a signal.
        const auto level = processorRef.getInputLevel();
        statusLabel.setText (level < AnalysisConstants::silenceThreshold ? "LISTENING" : "FINDING PITCH",
                             juce::dontSendNotification);
        statusLabel.setColour (juce::Label::textColourId, accentColour.withAlpha (noPitchStatusAlpha));

        repaint();
        return;
    }

    noteLabel.setText (currentReading.noteName, juce::dontSendNotification);
    frequencyLabel.setText (juce::String (currentReading.frequencyHz, 2) + " Hz", juce::dontSendNotification);

    auto shownCents = currentReading.cents;

    if (std::abs (shownCents) < shownAsZeroBelowCents)
        shownCents = 0.0f;

    centsLabel.setText (juce::String (shownCents > 0.0f ? "+" : "") + juce::String (shownCents, 1) + " cents",
                        juce::dontSendNotification);

    // The status judges the reading itself, not the rounded text.
    const auto cents = currentReading.cents;
    statusLabel.setText (cents < -inTuneLimitCents ? "FLAT"
                                                   : (cents > inTuneLimitCents ? "SHARP" : "IN TUNE"),
                         juce::dontSendNotification);
    statusLabel.setColour (juce::Label::textColourId, colourForCents (std::abs (cents)));

    repaint();
}

//==============================================================================
juce::Colour DravelTunerAudioProcessorEditor::colourForCents (float absoluteCents)
{
    // A NaN fails every comparison and lands in the last band.
    for (const auto& band : colourBands)
        if (absoluteCents <= band.upToCents)
            return juce::Colour (band.argb);

    return juce::Colour (farOutArgb);
}
