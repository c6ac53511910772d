#include "LedRingLookAndFeel.h"

#include "LedRingTravel.h"

#include <cmath>

namespace MorvekLabsControls
{

namespace
{
    const juce::Colour bodyTopLeft { 0xff34312e };
    const juce::Colour bodyMiddle { 0xff171615 };
    const juce::Colour bodyBottomRight { 0xff090909 };
    constexpr double bodyMiddleStop = 0.48;

    const juce::Colour capTopLeft { 0xff2c2b2a };
    const juce::Colour capMiddle { 0xff171717 };
    const juce::Colour capBottomRight { 0xff070707 };
    constexpr double capMiddleStop = 0.42;

    const juce::Colour capRimColour { 0xff4a4743 };
    const juce::Colour arrowColour { 0xffb9b5b0 };

    constexpr float minimumDiameter = 12.0f;
    constexpr float fitMargin = 8.0f; // a fitted knob leaves 4 px on each side
    constexpr float centredPosition = 0.5f;
    constexpr float capRadiusFactor = 0.335f;
    constexpr float lineScaleDivisor = 140.0f; // line widths are designed for a 140 px knob
    constexpr float disabledDimming = 0.45f;

    constexpr float rimAlpha = 0.3f;
    constexpr float wideGlowAlpha = 0.1f;
    constexpr float narrowGlowAlpha = 0.22f;
    constexpr float unlitAlpha = 0.28f;
    constexpr float arrowAlpha = 0.78f;

    int numberOfLeds (float diameter) noexcept
    {
        if (diameter < 40.0f)
            return 25;

        return diameter < 70.0f ? 41 : 61;
    }

    float finiteOr (float angle, float fallback) noexcept
    {
        return std::isfinite (angle) ? angle : fallback;
    }

    // As jlimit (minimumDiameter, areaSize, diameter) would, without its assertion when the
    // area is smaller than the smallest knob: then the lower limit wins.
    float limitDiameter (float diameter, float areaSize) noexcept
    {
        if (diameter < minimumDiameter)
            return minimumDiameter;

        return juce::jmin (areaSize, diameter);
    }
}

//==============================================================================
LedRingLookAndFeel::LedRingLookAndFeel (juce::Colour ledColourToUse, LedRingGeometry geometry)
    : ledColour (ledColourToUse),
      knobDiameter (geometry.knobDiameter),
      verticalPosition (geometry.verticalPosition)
{
}

LedRingLookAndFeel::~LedRingLookAndFeel() = default;

//==============================================================================
void LedRingLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                           float sliderPosProportional, float rotaryStartAngle,
                                           float rotaryEndAngle, juce::Slider& slider)
{
    const auto areaSize = (float) juce::jmin (width, height);
    const auto d = limitDiameter (knobDiameter > 0.0f ? knobDiameter : areaSize - fitMargin, areaSize);
    // A position that is not a number would carry NaN into every coordinate: centre instead.
    const auto v = std::isnan (verticalPosition) ? centredPosition : juce::jlimit (0.0f, 1.0f, verticalPosition);

    const auto r = d / 2.0f;
    const auto left = (float) x + (float) width / 2.0f - r;
    const auto top = (float) y + v * (float) height - r;
    const auto cx = left + r;
    const auto cy = top + r;

    const auto capRadius = capRadiusFactor * d;
    const auto s = d / lineScaleDivisor;
    const auto k = slider.isEnabled() ? 1.0f : disabledDimming;

    // Body and its rim.
    juce::ColourGradient bodyGradient (bodyTopLeft, left, top, bodyBottomRight, left + d, top + d, false);
    bodyGradient.addColour (bodyMiddleStop, bodyMiddle);
    g.setGradientFill (bodyGradient);
    g.fillEllipse (juce::Rectangle<float> (left, top, d, d));

    const auto rimInset = juce::jmax (s, 0.5f);
    const auto rimSize = juce::jmax (0.0f, d - 2.0f * rimInset);
    g.setColour (ledColour.withAlpha (rimAlpha * k));
    g.drawEllipse (juce::Rectangle<float> (left + rimInset, top + rimInset, rimSize, rimSize),
                   juce::jmax (1.25f * s, 0.65f));

    // Cap and its rim.
    const juce::Rectangle<float> capArea (cx - capRadius, cy - capRadius, 2.0f * capRadius, 2.0f * capRadius);
    juce::ColourGradient capGradient (capTopLeft, cx - capRadius, cy - capRadius,
                                      capBottomRight, cx + capRadius, cy + capRadius, false);
    capGradient.addColour (capMiddleStop, capMiddle);
    g.setGradientFill (capGradient);
    g.fillEllipse (capArea);

    g.setColour (capRimColour.withMultipliedAlpha (k));
    g.drawEllipse (capArea, juce::jmax (s, 0.55f));

    // LED dots between cap and rim, lit from the start of the travel.
    const auto a0 = finiteOr (rotaryStartAngle, LedRingTravel::startAngle);
    const auto a1 = finiteOr (rotaryEndAngle, LedRingTravel::endAngle);
    const auto n = numberOfLeds (d);
    const auto p = juce::jlimit (0.0f, 1.0f, sliderPosProportional);
    const auto lit = juce::jlimit (0, n, juce::roundToInt ((float) n * p));

    const auto w = juce::jmax (0.03f * d, 0.85f);
    const auto length = juce::jmax (0.47f * d - capRadius - juce::jmax (3.0f * s, 1.0f), 2.2f);
    const auto cornerSize = 0.34f * w;
    const auto ledDistance = capRadius + 1.0f + length / 2.0f;
    const auto wideGlowWidth = juce::jmax (7.0f * s, 1.5f);
    const auto narrowGlowWidth = juce::jmax (3.5f * s, 1.0f);

    for (int i = 0; i < n; ++i)
    {
        const auto a = (float) i / (float) (n - 1) * (a1 - a0) + a0;

        juce::Path led;
        led.addRoundedRectangle (-w / 2.0f, -length / 2.0f, w, length, cornerSize);
        led.applyTransform (juce::AffineTransform::rotation (a)
                                .translated (cx + std::sin (a) * ledDistance, cy - std::cos (a) * ledDistance));

        if (i < lit)
        {
            g.setColour (ledColour.withAlpha (wideGlowAlpha * k));
            g.strokePath (led, juce::PathStrokeType (wideGlowWidth), juce::AffineTransform());
            g.setColour (ledColour.withAlpha (narrowGlowAlpha * k));
            g.strokePath (led, juce::PathStrokeType (narrowGlowWidth), juce::AffineTransform());
            g.setColour (ledColour.withAlpha (k));
            g.fillPath (led);
        }
        else
        {
            g.setColour (ledColour.withAlpha (unlitAlpha * k));
            g.fillPath (led);
        }
    }

    // Up-and-down arrow on the cap: drag vertically.
    const auto arrowLength = 0.32f * capRadius;
    const auto gap = 0.1f * capRadius;
    const auto headSide = 0.34f * arrowLength;
    const auto headBack = 0.66f * arrowLength;

    juce::Path arrow;
    arrow.startNewSubPath (cx, cy - gap);
    arrow.lineTo (cx, cy - gap - arrowLength);
    arrow.startNewSubPath (cx, cy - gap - arrowLength);
    arrow.lineTo (cx - headSide, cy - gap - headBack);
    arrow.startNewSubPath (cx, cy - gap - arrowLength);
    arrow.lineTo (cx + headSide, cy - gap - headBack);
    arrow.startNewSubPath (cx, cy + gap);
    arrow.lineTo (cx, cy + gap + arrowLength);
    arrow.startNewSubPath (cx, cy + gap + arrowLength);
    arrow.lineTo (cx - headSide, cy + gap + headBack);
    arrow.startNewSubPath (cx, cy + gap + arrowLength);
    arrow.lineTo (cx + headSide, cy + gap + headBack);

    g.setColour (arrowColour.withAlpha (arrowAlpha * k));
    g.strokePath (arrow,
                  juce::PathStrokeType (juce::jmax (0.08f * capRadius, 0.55f),
                                        juce::PathStrokeType::curved,
                                        juce::PathStrokeType::rounded),
                  juce::AffineTransform());
}

} // namespace MorvekLabsControls
