#pragma once

#include "LedRingGeometry.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace MorvekLabsControls
{

/** Draws a rotary slider as a dark knob with a cap and a ring of LED dots that light up to
    the slider's position. Everything else is LookAndFeel_V4's.
*/
class LedRingLookAndFeel : public juce::LookAndFeel_V4
{
public:
    LedRingLookAndFeel (juce::Colour ledColourToUse, LedRingGeometry geometry);
    ~LedRingLookAndFeel() override;

    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height,
                           float sliderPosProportional, float rotaryStartAngle,
                           float rotaryEndAngle, juce::Slider&) override;

private:
    const juce::Colour ledColour;
    const float knobDiameter;
    const float verticalPosition;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LedRingLookAndFeel)
};

} // namespace MorvekLabsControls
