#include "ProcessorValues.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>

namespace
{
    /** A restored document is saved again by the real code, so the seed is a block the
        processor itself writes. */
    void restoreDocument (DravelTunerAudioProcessor& processor, const juce::String& xmlText)
    {
        if (auto xml = juce::parseXML (xmlText))
        {
            juce::MemoryBlock block;
            juce::AudioProcessor::copyXmlToBinary (*xml, block);
            processor.setStateInformation (block.getData(), (int) block.getSize());
        }
    }

    bool writeSeed (const juce::File& folder, const juce::String& name, DravelTunerAudioProcessor& processor)
    {
        juce::MemoryBlock block;
        processor.getStateInformation (block);
        return folder.getChildFile (name).replaceWithData (block.getData(), block.getSize());
    }
}

// Writes a few valid state blocks into the folder given as the only argument.
int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);

    if (! folder.createDirectory())
        return 1;

    bool written = true;

    {
        DravelTunerAudioProcessor processor;
        written &= writeSeed (folder, "defaults", processor);
    }

    {
        DravelTunerAudioProcessor processor;
        ProcessorValues { 432.0f, 1.0f }.applyTo (processor);
        written &= writeSeed (folder, "reference-432-muted", processor);
    }

    {
        DravelTunerAudioProcessor processor;
        restoreDocument (processor, "<dravel_tuner_state><PARAM id=\"referenceA\" value=\"449.9\"/></dravel_tuner_state>");
        written &= writeSeed (folder, "lower-case-root", processor);
    }

    {
        DravelTunerAudioProcessor processor;
        restoreDocument (processor, "<DRAVEL_TUNER_STATE schemaVersion=\"2\" host=\"other\">"
                                    "<PARAM id=\"mute\" value=\"1\"/>"
                                    "<PRESET name=\"a&amp;b\"><NOTE/></PRESET>"
                                    "<PARAM id=\"referenceA\" value=\"430.05\"/>"
                                    "</DRAVEL_TUNER_STATE>");
        written &= writeSeed (folder, "foreign-attribute-and-child", processor);
    }

    return written ? 0 : 1;
}
