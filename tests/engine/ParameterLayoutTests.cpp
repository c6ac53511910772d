#include "engine/DravelTunerAudioProcessor.h"
#include "engine/ParameterIDs.h"

#include <gtest/gtest.h>

namespace
{
    juce::AudioParameterFloat& referenceA (DravelTunerAudioProcessor& processor)
    {
        return *dynamic_cast<juce::AudioParameterFloat*> (processor.getValueTreeState().getParameter (ParameterIDs::referenceA));
    }

    juce::AudioParameterBool& mute (DravelTunerAudioProcessor& processor)
    {
        return *dynamic_cast<juce::AudioParameterBool*> (processor.getValueTreeState().getParameter (ParameterIDs::mute));
    }

    float rawValue (DravelTunerAudioProcessor& processor, const char* id)
    {
        return processor.getValueTreeState().getRawParameterValue (id)->load();
    }
}

//==============================================================================
TEST (ParameterLayout, HostsSeeReferenceAThenMute)
{
    DravelTunerAudioProcessor processor;
    const auto& parameters = processor.getParameters();

    ASSERT_EQ (parameters.size(), 2);

    auto* reference = dynamic_cast<juce::AudioParameterFloat*> (parameters[0]);
    ASSERT_NE (reference, nullptr);
    EXPECT_EQ (reference->getParameterID(), "referenceA");
    EXPECT_EQ (reference->getVersionHint(), 1);
    EXPECT_EQ (reference->getName (100), "Reference A");
    EXPECT_EQ (reference->getLabel(), "Hz");
    EXPECT_EQ (reference->get(), 440.0f);
    EXPECT_EQ (reference->getCurrentValueAsText(), "440.0 Hz");
    EXPECT_EQ (static_cast<juce::AudioProcessorParameter*> (reference)->getDefaultValue(), 0.5f);
    EXPECT_EQ (reference->getCategory(), juce::AudioProcessorParameter::genericParameter);
    EXPECT_TRUE (reference->isAutomatable());
    EXPECT_FALSE (reference->isMetaParameter());
    EXPECT_FALSE (reference->isOrientationInverted());

    const auto& range = reference->getNormalisableRange();
    EXPECT_EQ (range.start, 430.0f);
    EXPECT_EQ (range.end, 450.0f);
    EXPECT_EQ (range.interval, 0.1f);
    EXPECT_EQ (range.skew, 1.0f);
    EXPECT_FALSE (range.symmetricSkew);

    auto* muteParameter = dynamic_cast<juce::AudioParameterBool*> (parameters[1]);
    ASSERT_NE (muteParameter, nullptr);
    EXPECT_EQ (muteParameter->getParameterID(), "mute");
    EXPECT_EQ (muteParameter->getVersionHint(), 1);
    EXPECT_EQ (muteParameter->getName (100), "Mute");
    EXPECT_EQ (muteParameter->getLabel(), "");
    EXPECT_FALSE (muteParameter->get());
    EXPECT_EQ (static_cast<juce::AudioProcessorParameter*> (muteParameter)->getDefaultValue(), 0.0f);
    EXPECT_TRUE (muteParameter->isAutomatable());
}

TEST (ParameterLayout, ReferenceATextHasOneDecimalAndIgnoresTheMaximumLength)
{
    DravelTunerAudioProcessor processor;
    juce::AudioProcessorParameter& reference = referenceA (processor);

    struct Case
    {
        float normalised;
        int maximumLength;
        const char* text;
    };

    for (const auto& c : { Case { 0.5f, 1024, "440.0 Hz" },
                           Case { 0.5f, 3, "440.0 Hz" },
                           Case { 0.5f, 0, "440.0 Hz" },
                           Case { 0.0f, 2, "430.0 Hz" },
                           Case { 1.0f, 2, "450.0 Hz" },
                           Case { 0.105f, 4, "432.1 Hz" } })
    {
        SCOPED_TRACE (c.text);
        EXPECT_EQ (reference.getText (c.normalised, c.maximumLength), c.text);
    }
}

TEST (ParameterLayout, ReferenceAEndsOnTheTenthOfAHertzGridInsideItsRange)
{
    DravelTunerAudioProcessor processor;
    auto& reference = referenceA (processor);

    struct Case
    {
        float requested;
        float expected;
    };

    for (const auto& c : { Case { 432.14f, 432.1f },
                           Case { 432.16f, 432.2f },
                           Case { 429.0f, 430.0f },
                           Case { 100.0f, 430.0f },
                           Case { 451.0f, 450.0f },
                           Case { 1.0e6f, 450.0f } })
    {
        SCOPED_TRACE (c.requested);
        reference.setValueNotifyingHost (reference.convertTo0to1 (c.requested));
        EXPECT_NEAR (rawValue (processor, ParameterIDs::referenceA), c.expected, 1.0e-4f);
        EXPECT_EQ (reference.getCurrentValueAsText(), juce::String (c.expected, 1) + " Hz");
    }
}

TEST (ParameterLayout, ReferenceAReadsTypedTextWithItsUnit)
{
    DravelTunerAudioProcessor processor;
    auto& reference = referenceA (processor);
    const juce::AudioProcessorParameter& asParameter = reference;

    EXPECT_NEAR (reference.convertFrom0to1 (asParameter.getValueForText ("432.1 Hz")), 432.1f, 1.0e-4f);
}

TEST (ParameterLayout, MuteRawValueIsExactlyZeroOrOne)
{
    DravelTunerAudioProcessor processor;
    auto& muteParameter = mute (processor);

    struct Case
    {
        float normalised;
        float raw;
    };

    for (const auto& c : { Case { 0.0f, 0.0f }, Case { 0.3f, 0.0f }, Case { 0.7f, 1.0f }, Case { 1.0f, 1.0f } })
    {
        SCOPED_TRACE (c.normalised);
        muteParameter.setValueNotifyingHost (c.normalised);
        EXPECT_EQ (rawValue (processor, ParameterIDs::mute), c.raw);
    }
}

TEST (ParameterLayout, EveryProcessorStartsFromTheDefaults)
{
    DravelTunerAudioProcessor first;
    referenceA (first).setValueNotifyingHost (0.0f);
    mute (first).setValueNotifyingHost (1.0f);

    DravelTunerAudioProcessor second;
    EXPECT_EQ (rawValue (second, ParameterIDs::referenceA), 440.0f);
    EXPECT_EQ (rawValue (second, ParameterIDs::mute), 0.0f);
}
