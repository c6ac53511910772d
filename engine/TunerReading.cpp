#include "DravelTunerAudioProcessor.h"

TunerReading makeTunerReading (float frequencyHz, float, float confidence)
{
    TunerReading reading;
    reading.frequencyHz = frequencyHz;
    reading.confidence = confidence;
    return reading;
}

TunerReading DravelTunerAudioProcessor::getTunerReading() const
{
    return {};
}
