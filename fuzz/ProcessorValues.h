#pragma once

#include "engine/DravelTunerAudioProcessor.h"
#include "engine/ParameterIDs.h"

/** The two parameter values as the audio and message threads read them. */
struct ProcessorValues
{
    float referenceA = 440.0f;
    float mute = 0.0f;

    static ProcessorValues of (DravelTunerAudioProcessor& processor)
    {
        auto& parameters = processor.getValueTreeState();
        return { parameters.getRawParameterValue (ParameterIDs::referenceA)->load(),
                 parameters.getRawParameterValue (ParameterIDs::mute)->load() };
    }

    /** Sets both through the parameters, as a host or the knob would. */
    void applyTo (DravelTunerAudioProcessor& processor) const
    {
        auto& parameters = processor.getValueTreeState();

        auto* reference = parameters.getParameter (ParameterIDs::referenceA);
        reference->setValueNotifyingHost (reference->convertTo0to1 (referenceA));

        parameters.getParameter (ParameterIDs::mute)->setValueNotifyingHost (mute);
    }
};
