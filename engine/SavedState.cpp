#include "DravelTunerAudioProcessor.h"

#include <cmath>

namespace
{
    const juce::Identifier schemaVersionProperty ("schemaVersion");
    constexpr int schemaVersion = 1;

    // The property names JUCE's parameter tree gives each parameter's node.
    const juce::Identifier parameterIdProperty ("id");
    const juce::Identifier parameterValueProperty ("value");

    /** True when a node that the parameter tree would bind to a parameter carries a value
        that reads as NaN: the parameters clamp anything else into range, but a NaN passes
        through their range and would leave the tuner without a usable reference. */
    bool holdsUnusableParameterValue (const juce::ValueTree& tree,
                                      const juce::AudioProcessorValueTreeState& parameters)
    {
        for (const auto& child : tree)
        {
            if (parameters.getParameter (child.getProperty (parameterIdProperty).toString()) == nullptr)
                continue;

            if (const auto* value = child.getPropertyPointer (parameterValueProperty))
                if (std::isnan ((float) *value))
                    return true;
        }

        return false;
    }
}

//==============================================================================
void DravelTunerAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    auto state = valueTreeState.copyState();

    // Only the saved copy carries the version; the live tree never does.
    state.setProperty (schemaVersionProperty, schemaVersion, nullptr);

    if (auto xml = state.createXml())
        copyXmlToBinary (*xml, destData);
}

void DravelTunerAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    // Anything that is not our own state is ignored without a word, and changes nothing.
    if (data == nullptr)
        return;

    const auto xml = getXmlFromBinary (data, sizeInBytes);

    if (xml == nullptr || ! xml->hasTagName (valueTreeState.state.getType().toString()))
        return;

    auto newState = juce::ValueTree::fromXml (*xml);

    if (holdsUnusableParameterValue (newState, valueTreeState))
        return;

    valueTreeState.replaceState (newState);
}
