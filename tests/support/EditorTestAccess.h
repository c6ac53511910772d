#pragma once

#include "editor/DravelTunerAudioProcessorEditor.h"

#include <memory>

/** The tests' view of the editor's refresh, reading and wordmark. The one definition of the
    editor's TestAccess: every test file that needs it includes this header. */
struct DravelTunerAudioProcessorEditor::TestAccess
{
    explicit TestAccess (DravelTunerAudioProcessorEditor& e) : editor (e) {}

    /** An editor built from other wordmark bytes, for instance ones that do not parse. */
    static std::unique_ptr<DravelTunerAudioProcessorEditor> createWithWordmark (DravelTunerAudioProcessor& p,
                                                                                const void* data, size_t size)
    {
        return std::unique_ptr<DravelTunerAudioProcessorEditor> (new DravelTunerAudioProcessorEditor (p, data, size));
    }

    /** One refresh, exactly as the editor's timer makes it. */
    void tick() { timer().timerCallback(); }

    /** The refresh of a tick, with a reading of the test's own instead of a fetched one. */
    void show (TunerReading reading) { editor.showReading (std::move (reading)); }

    bool isTimerRunning() const { return timer().isTimerRunning(); }
    int timerInterval() const { return timer().getTimerInterval(); }

    const TunerReading& currentReading() const { return editor.currentReading; }

    /** Puts a reading on the face without the processor, for readings the engine cannot
        produce exactly (its cents come in steps of about 0.0008). */
    void setCurrentReading (TunerReading reading) { editor.currentReading = std::move (reading); }

    const juce::Drawable* logoDrawable() const { return editor.logoDrawable.get(); }

    DravelTunerAudioProcessorEditor& editor;

private:
    juce::Timer& timer() const { return static_cast<juce::Timer&> (editor); }
};
