#include "ProcessorValues.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
    /** Made once per process: JUCE objects are costly, and the parameter tree's timer wants a
        message manager. Destroyed at exit in reverse order, the processors before JUCE. */
    struct Processors
    {
        Processors()
        {
            restored.getStateInformation (freshState);
        }

        /** Puts both back to a new processor's state, so that what an input does does not
            depend on the inputs before it and every finding can be run again on its own. */
        void reset()
        {
            restored.setStateInformation (freshState.getData(), (int) freshState.getSize());
            check.setStateInformation (freshState.getData(), (int) freshState.getSize());
        }

        juce::ScopedJuceInitialiser_GUI juceInitialiser;
        DravelTunerAudioProcessor restored; // takes every input
        DravelTunerAudioProcessor check;    // takes what `restored` saves afterwards
        juce::MemoryBlock freshState;
    };

    Processors& processors()
    {
        static Processors instance;
        return instance;
    }

    void require (bool condition, const char* what)
    {
        if (condition)
            return;

        std::fprintf (stderr, "State fuzzer: %s\n", what);
        std::abort();
    }

    bool isLegal (ProcessorValues values)
    {
        // Negated comparisons, so that a NaN fails them.
        if (! (values.referenceA >= 430.0f && values.referenceA <= 450.0f))
            return false;

        const auto steps = ((double) values.referenceA - 430.0) / 0.1;

        if (std::abs (steps - std::round (steps)) > 1.0e-3)
            return false;

        return values.mute == 0.0f || values.mute == 1.0f;
    }

    std::uint32_t readLittleEndian32 (const std::uint8_t* bytes)
    {
        return (std::uint32_t) bytes[0]
             | ((std::uint32_t) bytes[1] << 8)
             | ((std::uint32_t) bytes[2] << 16)
             | ((std::uint32_t) bytes[3] << 24);
    }

    void requireStateBlockLayout (const juce::MemoryBlock& block)
    {
        const auto* bytes = static_cast<const std::uint8_t*> (block.getData());
        const auto size = block.getSize();

        require (size > 9, "a saved block holds a document");
        require (readLittleEndian32 (bytes) == 0x21324356, "a saved block starts with the magic");
        require (readLittleEndian32 (bytes + 4) == size - 9, "a saved block's length field is its size less 9");
        require (bytes[size - 1] == 0, "a saved block ends with a zero byte");
    }

    void restoreAndCheck (const std::uint8_t* data, size_t size)
    {
        auto& p = processors();

        p.restored.setStateInformation (data, (int) size);

        const auto values = ProcessorValues::of (p.restored);
        require (isLegal (values), "the parameters hold legal values after a restore");

        juce::MemoryBlock block;
        p.restored.getStateInformation (block);
        requireStateBlockLayout (block);

        // Moved away from those values first, so that a block the second processor ignored
        // cannot pass for one it took.
        ProcessorValues { values.referenceA == 440.0f ? 445.0f : 440.0f, 1.0f - values.mute }.applyTo (p.check);
        p.check.setStateInformation (block.getData(), (int) block.getSize());

        const auto copied = ProcessorValues::of (p.check);

        if (copied.referenceA != values.referenceA || copied.mute != values.mute)
        {
            std::fprintf (stderr, "Saved %g Hz, mute %g as: ", (double) values.referenceA, (double) values.mute);
            std::fwrite (static_cast<const char*> (block.getData()) + 8, 1, block.getSize() - 9, stderr);
            std::fprintf (stderr, "\nwhich restores as %g Hz, mute %g\n", (double) copied.referenceA, (double) copied.mute);
            require (false, "a saved block restores the same values in another processor");
        }
    }
}

// libFuzzer's entry point, called once per input.
extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, size_t size)
{
    if (size > (size_t) std::numeric_limits<int>::max())
        return 0;

    processors().reset();
    restoreAndCheck (data, size);

    // A mutation that inserts bytes leaves the length field short of the text, so the
    // parser would only ever see a cut document: try each input again with the field fitted,
    // on top of what the first try left.
    if (size > 9)
    {
        std::vector<std::uint8_t> fitted (data, data + size);
        const auto length = (std::uint32_t) (size - 9);

        for (size_t i = 0; i < 4; ++i)
            fitted[4 + i] = (std::uint8_t) (length >> (8 * i));

        restoreAndCheck (fitted.data(), fitted.size());
    }

    return 0;
}
