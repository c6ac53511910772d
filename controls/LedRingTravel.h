#pragma once

#include <juce_core/juce_core.h>

namespace MorvekLabsControls
{

/** The knob's travel, clockwise from straight up: 270 degrees from the lower left over the
    top to the lower right. Formed in single precision so that the knob and its drawing
    agree to the last bit.
*/
namespace LedRingTravel
{
    constexpr float startAngle = 1.25f * juce::MathConstants<float>::pi;
    constexpr float endAngle = 2.75f * juce::MathConstants<float>::pi;
}

} // namespace MorvekLabsControls
