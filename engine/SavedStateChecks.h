#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** The checks a restored state block passes before it reaches JUCE's XML parser and the
    parameter tree. Every one of them turns away only what no state of ours ever holds and
    what JUCE would mishandle: read past the text, loop for ever, overflow, or restore values
    that the next save does not write back. */
namespace SavedStateChecks
{
    /** False when the block's text, as JUCE's state-block reader would hand it to the XML
        parser, is something that parser mishandles. Blocks without text pass: the reader
        turns those away itself. */
    bool isSafeToParse (const void* data, int sizeInBytes);

    /** False when the parameter tree could not take the tree read from a block as it stands. */
    bool canReplaceParameters (const juce::ValueTree& newState,
                               const juce::AudioProcessorValueTreeState& parameters);
}
