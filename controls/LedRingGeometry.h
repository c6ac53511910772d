#pragma once

namespace MorvekLabsControls
{

/** Size and placement of an LED-ring knob inside its drawing area. */
struct LedRingGeometry
{
    /** Diameter of the knob body in pixels; 0 or less fits the knob to the area. */
    float knobDiameter = 0.0f;

    /** Height of the knob centre as a fraction of the area's height, from the top. */
    float verticalPosition = 0.5f;
};

} // namespace MorvekLabsControls
