#include "DravelTunerAudioProcessor.h"

void DravelTunerAudioProcessor::getStateInformation (juce::MemoryBlock&)
{
}

void DravelTunerAudioProcessor::setStateInformation (const void*, int)
{
}
