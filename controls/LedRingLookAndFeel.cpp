#include "LedRingLookAndFeel.h"

namespace MorvekLabsControls
{

LedRingLookAndFeel::LedRingLookAndFeel (juce::Colour ledColourToUse, LedRingGeometry geometry)
    : ledColour (ledColourToUse),
      knobDiameter (geometry.knobDiameter),
      verticalPosition (geometry.verticalPosition)
{
}

LedRingLookAndFeel::~LedRingLookAndFeel() = default;

void LedRingLookAndFeel::drawRotarySlider (juce::Graphics&, int, int, int, int, float, float, float, juce::Slider&)
{
}

} // namespace MorvekLabsControls
