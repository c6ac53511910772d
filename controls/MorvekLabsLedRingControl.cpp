#include "MorvekLabsLedRingControl.h"

#include "LedRingTravel.h"

#include <cmath>

namespace MorvekLabsControls
{

namespace
{
    const juce::Identifier ledRingProperty { "morvekLabsLedRing" };

    // Pixels of vertical drag for the whole range (the slider's own default is 250).
    constexpr int dragSensitivity = 180;

    const juce::Colour valueTextColour { 0xffe8e0d8 };
}

//==============================================================================
MorvekLabsLedRingControl::MorvekLabsLedRingControl (juce::Colour ledColour, LedRingGeometry geometry)
    : juce::Slider (juce::Slider::RotaryVerticalDrag, juce::Slider::TextBoxBelow),
      ledRingLookAndFeel (ledColour, geometry)
{
    getProperties().set (ledRingProperty, true);

    setRotaryParameters (LedRingTravel::startAngle, LedRingTravel::endAngle, true);
    setMouseDragSensitivity (dragSensitivity);

    // The slider's defaults already, but the knob must not depend on them.
    setVelocityBasedMode (false);
    setScrollWheelEnabled (true);
    setTextBoxIsEditable (true);

    setColour (juce::Slider::textBoxTextColourId, valueTextColour);
    setColour (juce::Slider::textBoxBackgroundColourId, juce::Colours::transparentBlack);
    setColour (juce::Slider::textBoxOutlineColourId, juce::Colours::transparentBlack);

    // Installed last, once every setting is in place.
    setLookAndFeel (&ledRingLookAndFeel);
}

MorvekLabsLedRingControl::~MorvekLabsLedRingControl()
{
    // Detach before the member look-and-feel goes, so nothing ever points at a dead one.
    setLookAndFeel (nullptr);
}

double MorvekLabsLedRingControl::getValueFromText (const juce::String& text)
{
    const auto value = juce::Slider::getValueFromText (text);

    // A "nan" would pass every range check and stick; the infinities still end at the ends
    // of the range, as any other number beyond them does.
    return std::isnan (value) ? getValue() : value;
}

} // namespace MorvekLabsControls
