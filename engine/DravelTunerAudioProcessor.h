#pragma once

#include "AnalysisBlock.h"
#include "TunerReading.h"
#include "compat/JuceCompatibility.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>

//==============================================================================
/** The tuner's audio processor: passes audio through (or mutes it), hands decimated mono
    blocks to a background thread that finds their pitch, and turns the published result
    into a TunerReading on request.
*/
class DravelTunerAudioProcessor : public juce::AudioProcessor
{
public:
    //==============================================================================
    DravelTunerAudioProcessor();
    ~DravelTunerAudioProcessor() override;

    //==============================================================================
    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;

    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using AudioProcessor::processBlock;

    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    compat::AAXClientExtensions* getAAXClientExtensions() COMPAT_AAX_CLIENT_EXTENSIONS_OVERRIDE;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    //==============================================================================
    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

    /** The last published pitch against the current reference A; message thread, lock-free. */
    TunerReading getTunerReading() const;

    /** RMS of the mono mix of the last device buffer that held samples. */
    float getInputLevel() const noexcept { return inputLevel.load(); }

    juce::AudioProcessorValueTreeState& getValueTreeState() noexcept { return valueTreeState; }

    //==============================================================================
    /** Defined only by the tests, which look at the analysis machinery through it. */
    struct TestAccess;

private:
    //==============================================================================
    class AnalysisThread : public juce::Thread
    {
    public:
        explicit AnalysisThread (DravelTunerAudioProcessor& ownerToUse);

        void run() override;

    private:
        friend struct DravelTunerAudioProcessor::TestAccess;

        DravelTunerAudioProcessor& owner;

        // Only the tests put anything else here, to see the pause the thread asks for.
        bool (*pauseBetweenScans) (const juce::Thread&, double) = compat::waitOnThreadEvent;
    };

    struct AAXExtensions : public compat::AAXClientExtensions
    {
        juce::String getPageFileName() const override;
    };

    //==============================================================================
    void resetAnalysis (double sampleRate);
    void pushSample (float monoSample);
    void analysePendingBlocks();
    void analyseBlock (AnalysisBlock& block);

    //==============================================================================
    juce::AudioProcessorValueTreeState valueTreeState;

    std::array<AnalysisBlock, 2> analysisBlocks;
    AnalysisThread analysisThread;

    // Owned by the audio thread while playing; reset only while no callback runs.
    int writeBlockIndex = 0;
    int writePosition = 0;
    int decimationFactor = 1;
    int decimationCount = 0;
    float decimationSum = 0.0f;
    double analysisSampleRate = AnalysisConstants::maxAnalysisRate;

    std::atomic<float> detectedFrequency { 0.0f };
    std::atomic<float> detectedConfidence { 0.0f };
    std::atomic<float> inputLevel { 0.0f };

    AAXExtensions aaxExtensions;

    //==============================================================================
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DravelTunerAudioProcessor)
};
