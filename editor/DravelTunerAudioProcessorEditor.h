#pragma once

#include "controls/MorvekLabsLedRingControl.h"
#include "engine/DravelTunerAudioProcessor.h"
#include "engine/TunerReading.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstddef>
#include <memory>

//==============================================================================
/** The tuner's window: a fixed 760 by 312 face showing the latest reading as texts and a
    51-bar cents meter, refreshed thirty times a second, with the reference-A knob.
*/
class DravelTunerAudioProcessorEditor : public juce::AudioProcessorEditor,
                                        private juce::Timer
{
public:
    //==============================================================================
    explicit DravelTunerAudioProcessorEditor (DravelTunerAudioProcessor&);
    ~DravelTunerAudioProcessorEditor() override;

    //==============================================================================
    void paint (juce::Graphics&) override;
    void resized() override;

    //==============================================================================
    /** The colour of a deviation of this many cents (a magnitude); NaN counts as far out. */
    static juce::Colour colourForCents (float absoluteCents);

    //==============================================================================
    /** Defined only by the tests, which drive the refresh and the wordmark through it. */
    struct TestAccess;

private:
    //==============================================================================
    /** Builds the window with the given wordmark document; the public constructor passes
        logoSvg, the one compiled into the application. */
    DravelTunerAudioProcessorEditor (DravelTunerAudioProcessor&,
                                     const void* wordmarkData, size_t wordmarkSize);

    void timerCallback() override;

    /** Keeps the reading as currentReading, writes it into the labels and repaints; each
        tick hands it the reading it fetched. */
    void showReading (TunerReading);

    void styleLabel (juce::Label&, float fontHeight, juce::Colour, juce::Justification);

    //==============================================================================
    DravelTunerAudioProcessor& processorRef;

    const juce::Colour accentColour { 0xffb87333 };
    const juce::Colour textColour { 0xfff1e6dc };

    juce::Label titleLabel;
    juce::Label chromaticLabel;
    juce::Label noteLabel;
    juce::Label frequencyLabel;
    juce::Label centsLabel;
    juce::Label statusLabel;
    juce::Label referenceLabel;

    MorvekLabsControls::MorvekLabsLedRingControl referenceSlider { accentColour, { 32.0f, 0.5f } };
    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> referenceAttachment;

    std::unique_ptr<juce::Drawable> logoDrawable;

    TunerReading currentReading;

    //==============================================================================
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DravelTunerAudioProcessorEditor)
};
