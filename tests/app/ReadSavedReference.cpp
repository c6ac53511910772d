// Reads the stand-alone app's settings file the way the app does at start-up: decodes
// "filterState", restores it into a new processor and prints the reference A it holds.

#include "engine/DravelTunerAudioProcessor.h"
#include "support/TestProgramEnd.h"
#include "engine/ParameterIDs.h"

#include <juce_events/juce_events.h>

#include <iostream>

static int printSavedReference (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: ReadSavedReference <settings file>" << std::endl;
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    const auto settings = juce::XmlDocument::parse (juce::File (juce::CharPointer_UTF8 (argv[1])));

    if (settings == nullptr)
    {
        std::cerr << "cannot parse the settings file" << std::endl;
        return 1;
    }

    juce::String encoded;

    for (auto* value : settings->getChildWithTagNameIterator ("VALUE"))
        if (value->getStringAttribute ("name") == "filterState")
            encoded = value->getStringAttribute ("val");

    juce::MemoryBlock block;

    if (encoded.isEmpty() || ! block.fromBase64Encoding (encoded) || block.isEmpty())
    {
        std::cerr << "no filterState in the settings file" << std::endl;
        return 1;
    }

    DravelTunerAudioProcessor processor;
    processor.setStateInformation (block.getData(), (int) block.getSize());

    std::cout << juce::String (processor.getValueTreeState().getRawParameterValue (ParameterIDs::referenceA)->load(), 1)
              << std::endl;
    return 0;
}

int main (int argc, char** argv)
{
    endTestProgram (printSavedReference (argc, argv));
}
