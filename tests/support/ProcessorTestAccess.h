#pragma once

#include "engine/DravelTunerAudioProcessor.h"

/** The tests' view of the processor's analysis machinery. The one definition of the
    processor's TestAccess: every test file that needs it includes this header. */
struct DravelTunerAudioProcessor::TestAccess
{
    explicit TestAccess (DravelTunerAudioProcessor& p) : processor (p) {}

    AnalysisBlock& block (int index) { return processor.analysisBlocks[(size_t) index]; }
    int blockState (int index) const { return processor.analysisBlocks[(size_t) index].state.load(); }
    void setBlockState (int index, int state) { processor.analysisBlocks[(size_t) index].state.store (state); }

    int writeBlockIndex() const { return processor.writeBlockIndex; }
    int writePosition() const { return processor.writePosition; }
    int decimationFactor() const { return processor.decimationFactor; }
    int decimationCount() const { return processor.decimationCount; }
    float decimationSum() const { return processor.decimationSum; }
    double analysisSampleRate() const { return processor.analysisSampleRate; }

    float detectedFrequency() const { return processor.detectedFrequency.load(); }
    float detectedConfidence() const { return processor.detectedConfidence.load(); }
    float inputLevel() const { return processor.inputLevel.load(); }

    /** Stands in for the detector and the audio thread when a test needs given values. */
    void publish (float frequency, float confidence)
    {
        processor.detectedFrequency.store (frequency);
        processor.detectedConfidence.store (confidence);
    }

    void setInputLevel (float level) { processor.inputLevel.store (level); }

    void pushSample (float sample) { processor.pushSample (sample); }
    void analysePendingBlocks() { processor.analysePendingBlocks(); }
    void analyseBlock (AnalysisBlock& b) { processor.analyseBlock (b); }

    /** Stands in for the analysis thread's pause between scans; set it while the thread is stopped. */
    void setScanPause (bool (*pause) (const juce::Thread&, double)) { processor.analysisThread.pauseBetweenScans = pause; }

    bool isAnalysisThreadRunning() const { return processor.analysisThread.isThreadRunning(); }
    juce::Thread& analysisThread() { return processor.analysisThread; }

    juce::String pageFileName() const { return processor.aaxExtensions.getPageFileName(); }

    DravelTunerAudioProcessor& processor;
};
