#pragma once

#include "support/RecordingGraphicsContext.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>
#include <vector>

namespace KnobTesting
{

    using Call = TestSupport::RecordingGraphicsContext::Call;

    /** One LED dot: its two glow strokes and the dot when lit, the dot alone when unlit. */
    struct LedDrawing
    {
        std::vector<Call> passes;

        bool isLit() const noexcept { return passes.size() == 3; }
        const Call& getDot() const { return passes.back(); }
        juce::Point<float> getCentre() const { return getDot().bounds.getCentre(); }
    };

    /** The elements of one knob drawing, in the order they are drawn. */
    struct KnobDrawing
    {
        Call body, bodyRim, cap, capRim;
        std::vector<LedDrawing> leds;
        Call arrow;
        std::vector<Call> after; // whatever was drawn after the knob (its value box, say)

        int getNumLit() const;
        juce::Point<float> getCentre() const { return capRim.bounds.getCentre(); }
    };

    /** Splits recorded calls into the knob's elements: four body and cap calls, the LEDs (one
        or three calls sharing a centre), then the arrow, centred on the cap. Nothing when the
        calls do not have that shape. */
    std::optional<KnobDrawing> parseKnobDrawing (const std::vector<Call>&);

    /** What a look-and-feel's drawRotarySlider draws for a slider of the given enabled state. */
    std::vector<Call> recordRotarySlider (juce::LookAndFeel&, juce::Rectangle<int> area, float position,
                                          float startAngle, float endAngle, bool enabled = true);

    /** What a component and its children paint, in the component's coordinates. */
    std::vector<Call> recordComponent (juce::Component&);

    /** A slider's value box: its label child, or nothing when it shows none. */
    juce::Label* findValueBox (juce::Slider&);

} // namespace KnobTesting
