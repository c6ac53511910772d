#include "DravelTunerAudioProcessor.h"
#include "SavedStateChecks.h"

namespace
{
    const juce::Identifier schemaVersionProperty ("schemaVersion");
    constexpr int schemaVersion = 1;
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
    if (data == nullptr || ! SavedStateChecks::isSafeToParse (data, sizeInBytes))
        return;

    const auto xml = getXmlFromBinary (data, sizeInBytes);

    if (xml == nullptr || ! xml->hasTagName (valueTreeState.state.getType().toString()))
        return;

    auto newState = juce::ValueTree::fromXml (*xml);

    if (! SavedStateChecks::canReplaceParameters (newState, valueTreeState))
        return;

    valueTreeState.replaceState (newState);
}
