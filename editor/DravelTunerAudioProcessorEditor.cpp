#include "DravelTunerAudioProcessorEditor.h"
#include "LogoSvg.h"

#include "compat/JuceCompatibility.h"
#include "engine/ParameterIDs.h"

namespace
{
    constexpr int editorWidth = 760;
    constexpr int editorHeight = 312;
    constexpr int refreshRateHz = 30;

    constexpr double defaultReferenceHz = 440.0;

    // The wordmark is drawn in this colour; it is recoloured to the accent at run time.
    const juce::Colour wordmarkColour { 0xffb87333 };
}

//==============================================================================
DravelTunerAudioProcessorEditor::DravelTunerAudioProcessorEditor (DravelTunerAudioProcessor& p)
    : DravelTunerAudioProcessorEditor (p, logoSvg.data(), logoSvg.size())
{
}

DravelTunerAudioProcessorEditor::DravelTunerAudioProcessorEditor (DravelTunerAudioProcessor& p,
                                                                  const void* wordmarkData,
                                                                  size_t wordmarkSize)
    : AudioProcessorEditor (p),
      processorRef (p)
{
    setOpaque (true);

    // The first layout happens here, before any child is styled or added.
    setSize (editorWidth, editorHeight);

    const auto centred = juce::Justification::centred;
    const auto centredLeft = juce::Justification::centredLeft;
    const auto centredRight = juce::Justification::centredRight;

    styleLabel (titleLabel, 21.0f, accentColour, centred);
    titleLabel.setText ("DRAVEL TUNER", juce::dontSendNotification);
    titleLabel.setComponentID ("title-label");

    styleLabel (chromaticLabel, 9.5f, accentColour.withAlpha (0.7f), centred);
    chromaticLabel.setText ("CHROMATIC", juce::dontSendNotification);

    styleLabel (noteLabel, 40.0f, textColour, centred);
    noteLabel.setText ("--", juce::dontSendNotification);
    noteLabel.setComponentID ("note-label");

    styleLabel (frequencyLabel, 13.0f, textColour.withAlpha (0.72f), centredLeft);
    frequencyLabel.setText ({}, juce::dontSendNotification);
    frequencyLabel.setComponentID ("frequency-label");

    styleLabel (centsLabel, 14.0f, textColour.withAlpha (0.8f), centredRight);
    centsLabel.setText ({}, juce::dontSendNotification);
    centsLabel.setComponentID ("cents-label");

    styleLabel (statusLabel, 13.0f, accentColour.withAlpha (0.82f), centred);
    statusLabel.setText ("LISTENING", juce::dontSendNotification);
    statusLabel.setComponentID ("status-label");

    styleLabel (referenceLabel, 9.5f, textColour.withAlpha (0.7f), centredRight);
    referenceLabel.setText ("REFERENCE A", juce::dontSendNotification);
    referenceLabel.setComponentID ("reference-label");

    referenceSlider.setComponentID ("reference-a-slider");
    referenceSlider.setName ("Reference A frequency");
    referenceSlider.setDoubleClickReturnValue (true, defaultReferenceHz, juce::ModifierKeys::altModifier);

    // From here on range, value, text and double-click value come from the parameter.
    referenceAttachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (
        processorRef.getValueTreeState(), ParameterIDs::referenceA, referenceSlider);

    addAndMakeVisible (titleLabel);
    addAndMakeVisible (chromaticLabel);
    addAndMakeVisible (noteLabel);
    addAndMakeVisible (frequencyLabel);
    addAndMakeVisible (centsLabel);
    addAndMakeVisible (statusLabel);
    addAndMakeVisible (referenceLabel);
    addAndMakeVisible (referenceSlider);

    // A wordmark that does not parse leaves the window without it, and nothing else changes.
    if (auto drawable = juce::Drawable::createFromImageData (wordmarkData, wordmarkSize))
    {
        drawable->replaceColour (wordmarkColour, accentColour);
        logoDrawable = std::move (drawable);
    }

    // The first paint already shows a fetched reading.
    timerCallback();
    startTimerHz (refreshRateHz);
}

DravelTunerAudioProcessorEditor::~DravelTunerAudioProcessorEditor()
{
}

//==============================================================================
void DravelTunerAudioProcessorEditor::resized()
{
    // A fixed face: the window never resizes, so the layout reads nothing.
    noteLabel.setBounds (69, 24, 108, 48);
    titleLabel.setBounds (205, 24, 350, 28);
    chromaticLabel.setBounds (300, 49, 160, 15);
    referenceLabel.setBounds (568, 28, 78, 18);
    referenceSlider.setBounds (647, 24, 68, 52);
    frequencyLabel.setBounds (52, 237, 178, 18);
    statusLabel.setBounds (296, 236, 168, 20);
    centsLabel.setBounds (530, 237, 178, 18);
}

void DravelTunerAudioProcessorEditor::styleLabel (juce::Label& label, float fontHeight,
                                                  juce::Colour colour, juce::Justification justification)
{
    label.setFont (compat::makeFont (compat::FontOptions (fontHeight)));
    label.setColour (juce::Label::textColourId, colour);
    label.setJustificationType (justification);

    // Clicks on the texts go to the window below them.
    label.setInterceptsMouseClicks (false, false);
}
