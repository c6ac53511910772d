#include "MorvekLabsLedRingControl.h"

namespace MorvekLabsControls
{

MorvekLabsLedRingControl::MorvekLabsLedRingControl (juce::Colour ledColour, LedRingGeometry geometry)
    : juce::Slider (juce::Slider::RotaryVerticalDrag, juce::Slider::TextBoxBelow),
      ledRingLookAndFeel (ledColour, geometry)
{
    setLookAndFeel (&ledRingLookAndFeel);
}

MorvekLabsLedRingControl::~MorvekLabsLedRingControl()
{
    setLookAndFeel (nullptr);
}

} // namespace MorvekLabsControls
