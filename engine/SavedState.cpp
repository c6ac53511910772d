#include "DravelTunerAudioProcessor.h"

#include <cmath>

namespace
{
    const juce::Identifier schemaVersionProperty ("schemaVersion");
    constexpr int schemaVersion = 1;

    // The property names JUCE's parameter tree gives each parameter's node.
    const juce::Identifier parameterIdProperty ("id");
    const juce::Identifier parameterValueProperty ("value");

    /** True when the block's text, as JUCE's block reader would take it, is not UTF-8. JUCE's
        XML parser steps over the end of text that stops inside a broken UTF-8 sequence, reads
        on past it and can loop for ever, so such a block must never reach it. */
    bool holdsBrokenText (const void* data, int sizeInBytes)
    {
        if (sizeInBytes <= 8)
            return false;

        const auto length = (int) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));

        if (length <= 0)
            return false;

        return ! juce::CharPointer_UTF8::isValidString (static_cast<const char*> (data) + 8,
                                                        juce::jmin (sizeInBytes - 8, length));
    }

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
    if (data == nullptr || holdsBrokenText (data, sizeInBytes))
        return;

    const auto xml = getXmlFromBinary (data, sizeInBytes);

    if (xml == nullptr || ! xml->hasTagName (valueTreeState.state.getType().toString()))
        return;

    auto newState = juce::ValueTree::fromXml (*xml);

    if (holdsUnusableParameterValue (newState, valueTreeState))
        return;

    valueTreeState.replaceState (newState);
}
