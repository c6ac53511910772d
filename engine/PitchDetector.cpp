#include "DravelTunerAudioProcessor.h"

void DravelTunerAudioProcessor::analyseBlock (AnalysisBlock&)
{
}
