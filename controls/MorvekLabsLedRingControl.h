#pragma once

#include "LedRingGeometry.h"
#include "LedRingLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace MorvekLabsControls
{

/** A rotary knob dragged vertically, with an editable value box below it, drawn by its own
    LedRingLookAndFeel. Range, value and text belong to whoever uses it.
*/
class MorvekLabsLedRingControl : public juce::Slider
{
public:
    MorvekLabsLedRingControl (juce::Colour ledColour, LedRingGeometry geometry);
    ~MorvekLabsLedRingControl() override;

    /** Reads typed text as the slider does, but text that reads as no number at all leaves
        the knob where it is.
    */
    double getValueFromText (const juce::String& text) override;

private:
    LedRingLookAndFeel ledRingLookAndFeel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MorvekLabsLedRingControl)
};

} // namespace MorvekLabsControls
