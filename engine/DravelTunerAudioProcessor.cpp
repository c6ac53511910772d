#include "DravelTunerAudioProcessor.h"

#include "editor/DravelTunerAudioProcessorEditor.h"

#include <cmath>
#include <limits>

namespace
{
    const juce::Identifier stateType ("DRAVEL_TUNER_STATE");

    /** Device samples averaged into one analysis sample: the smallest whole number that
        brings the rate to at most 48 kHz, and 1 for any rate that is not a real one. */
    int decimationFactorFor (double sampleRate)
    {
        const auto factor = std::ceil (sampleRate / AnalysisConstants::maxAnalysisRate);

        if (! std::isfinite (factor)
            || factor < 2.0
            || factor > (double) std::numeric_limits<int>::max())
            return 1;

        return (int) factor;
    }
}

//==============================================================================
DravelTunerAudioProcessor::DravelTunerAudioProcessor()
    : AudioProcessor (BusesProperties().withInput ("Input", juce::AudioChannelSet::stereo(), true).withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      valueTreeState (*this, nullptr, stateType, createParameterLayout()),
      analysisThread (*this)
{
}

DravelTunerAudioProcessor::~DravelTunerAudioProcessor()
{
    analysisThread.stopThread (AnalysisConstants::threadStopTimeoutMilliseconds);
}

//==============================================================================
const juce::String DravelTunerAudioProcessor::getName() const
{
    return "Dravel Tuner";
}

void DravelTunerAudioProcessor::prepareToPlay (double sampleRate, int)
{
    analysisThread.stopThread (AnalysisConstants::threadStopTimeoutMilliseconds);
    resetAnalysis (sampleRate);
    analysisThread.startThread (juce::Thread::Priority::low);
}

void DravelTunerAudioProcessor::resetAnalysis (double sampleRate)
{
    decimationFactor = decimationFactorFor (sampleRate);

    writeBlockIndex = 0;
    writePosition = 0;
    decimationCount = 0;
    decimationSum = 0.0f;

    analysisSampleRate = sampleRate / (double) decimationFactor;

    for (auto& block : analysisBlocks)
        block.state.store (AnalysisBlock::stateFree, std::memory_order_release);

    detectedFrequency.store (0.0f);
    detectedConfidence.store (0.0f);
    inputLevel.store (0.0f);
}

void DravelTunerAudioProcessor::releaseResources()
{
    // Only the thread stops: the last reading stays on show while no device runs.
    analysisThread.stopThread (AnalysisConstants::threadStopTimeoutMilliseconds);
}

//==============================================================================
double DravelTunerAudioProcessor::getTailLengthSeconds() const { return 0.0; }
bool DravelTunerAudioProcessor::acceptsMidi() const { return false; }
bool DravelTunerAudioProcessor::producesMidi() const { return false; }

juce::AudioProcessorEditor* DravelTunerAudioProcessor::createEditor()
{
    return new DravelTunerAudioProcessorEditor (*this);
}

bool DravelTunerAudioProcessor::hasEditor() const { return true; }

//==============================================================================
int DravelTunerAudioProcessor::getNumPrograms() { return 1; }
int DravelTunerAudioProcessor::getCurrentProgram() { return 0; }
void DravelTunerAudioProcessor::setCurrentProgram (int) {}
void DravelTunerAudioProcessor::changeProgramName (int, const juce::String&) {}

const juce::String DravelTunerAudioProcessor::getProgramName (int index)
{
    return index == 0 ? juce::String ("Default") : juce::String();
}

//==============================================================================
compat::AAXClientExtensions* DravelTunerAudioProcessor::getAAXClientExtensions()
{
    return &aaxExtensions;
}

juce::String DravelTunerAudioProcessor::AAXExtensions::getPageFileName() const
{
    return "DravelTunerPages.xml";
}

//==============================================================================
bool DravelTunerAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto in = layouts.getMainInputChannelSet();
    const auto out = layouts.getMainOutputChannelSet();

    return in == out
        && (in == juce::AudioChannelSet::mono() || in == juce::AudioChannelSet::stereo());
}

//==============================================================================
// The factory that JUCE's plug-in wrappers call.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new DravelTunerAudioProcessor();
}
