#include "DravelTunerAudioProcessor.h"
#include "ParameterIDs.h"

juce::AudioProcessorValueTreeState::ParameterLayout DravelTunerAudioProcessor::createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    // Always the whole text, whatever length the caller asks for: JUCE's default would cut
    // "440.0 Hz" down to the maximum length.
    auto referenceAttributes = juce::AudioParameterFloatAttributes()
                                   .withLabel ("Hz")
                                   .withStringFromValueFunction ([] (float value, int) {
                                       return juce::String (value, 1) + " Hz";
                                   });

    layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { ParameterIDs::referenceA, 1 },
                                                             "Reference A",
                                                             juce::NormalisableRange<float> (430.0f, 450.0f, 0.1f, 1.0f),
                                                             440.0f,
                                                             referenceAttributes));

    layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { ParameterIDs::mute, 1 },
                                                            "Mute",
                                                            false,
                                                            juce::AudioParameterBoolAttributes()));

    return layout;
}
