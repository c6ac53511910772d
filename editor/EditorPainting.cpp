#include "DravelTunerAudioProcessorEditor.h"

#include "compat/JuceCompatibility.h"

#include <cmath>

namespace
{
    // The face is laid out for 760 by 312. Only the ground, the frame, the screws and the
    // wordmark box follow the editor's edges; everything else stands where it is drawn here.
    const juce::Rectangle<float> panelArea { 32.0f, 78.0f, 696.0f, 184.0f };
    const juce::Rectangle<float> displayArea { 39.0f, 85.0f, 682.0f, 170.0f };

    constexpr int numBars = 51;
    constexpr int centreBarIndex = 25;
    constexpr float maxShownCents = 50.0f;
    constexpr float centreBandCents = 3.0f;
    constexpr float meterLeft = 48.0f;
    constexpr float barStep = 667.0f / 51.0f;
    constexpr float barWidth = barStep - 3.0f;
    constexpr float meterCentreY = 160.0f;
    constexpr float centreBarHeight = 112.0f;
    constexpr float otherBarHeight = 98.0f;

    constexpr float pointerTipY = 95.0f;
    constexpr float pointerBaseY = 87.0f;
    constexpr float pointerHalfWidth = 6.0f;

    struct ScaleMark
    {
        const char* text;
        int centreX;
    };

    // clang-format off
    constexpr ScaleMark scaleMarks[] = { { "-50", 53 }, { "-25", 214 }, { "0", 380 },
                                         { "+25", 546 }, { "+50", 707 } };
    // clang-format on

    const juce::Colour panelStartColour { 0xff322b24 };
    const juce::Colour panelMiddleColour { 0xff17130f };
    const juce::Colour panelEndColour { 0xff090807 };
    const juce::Colour displayStartColour { 0xff07100a };
    const juce::Colour displayMiddleColour { 0xff07130b };
    const juce::Colour displayEndColour { 0xff020403 };
    const juce::Colour screwLightColour { 0xff77736d };
    const juce::Colour screwDarkColour { 0xff1a1918 };

    /** One screw head, lit from the top left, with a horizontal slot in the tint. */
    void drawScrew (juce::Graphics& g, juce::Point<float> centre, juce::Colour tint)
    {
        const auto cx = centre.x;
        const auto cy = centre.y;

        g.setGradientFill (juce::ColourGradient (screwLightColour, cx - 3.0f, cy - 3.0f,
                                                 screwDarkColour, cx + 3.0f, cy + 3.0f, false));
        g.fillEllipse (cx - 4.0f, cy - 4.0f, 8.0f, 8.0f);

        g.setColour (tint.withAlpha (0.58f));
        g.drawLine (cx - 2.0f, cy, cx + 2.0f, cy, 0.9f);
    }
}

//==============================================================================
void DravelTunerAudioProcessorEditor::paint (juce::Graphics& g)
{
    const auto b = getLocalBounds().toFloat();
    const auto right = b.getX() + b.getWidth();
    const auto bottom = b.getY() + b.getHeight();

    g.setColour (juce::Colours::black);
    g.fillRect (b);

    g.setColour (accentColour);
    g.drawRoundedRectangle (b.reduced (10.5f), 5.0f, 3.0f);

    // The bottom screws sit a little closer to their edge than the top ones.
    drawScrew (g, { b.getX() + 39.0f, b.getY() + 38.0f }, accentColour);
    drawScrew (g, { right - 39.0f, b.getY() + 38.0f }, accentColour);
    drawScrew (g, { b.getX() + 39.0f, bottom - 36.0f }, accentColour);
    drawScrew (g, { right - 39.0f, bottom - 36.0f }, accentColour);

    {
        juce::ColourGradient gradient (panelStartColour, panelArea.getX(), panelArea.getY(),
                                       panelEndColour, panelArea.getRight(), panelArea.getBottom(), false);
        gradient.addColour (0.5, panelMiddleColour);
        g.setGradientFill (gradient);
        g.fillRoundedRectangle (panelArea, 7.0f);

        g.setColour (accentColour.withAlpha (0.78f));
        g.drawRoundedRectangle (panelArea, 7.0f, 1.25f);
    }

    {
        juce::ColourGradient gradient (displayStartColour, displayArea.getX(), displayArea.getY(),
                                       displayEndColour, displayArea.getX(), displayArea.getBottom(), false);
        gradient.addColour (0.42, displayMiddleColour);
        g.setGradientFill (gradient);
        g.fillRoundedRectangle (displayArea, 4.0f);

        g.setColour (juce::Colours::white.withAlpha (0.035f));
        g.drawHorizontalLine (87, 43.0f, 717.0f);
    }

    // With no reading nothing is lit; the index and band then only keep their defaults.
    auto clampedCents = 0.0f;
    auto litIndex = centreBarIndex;
    auto centreBandOn = false;

    if (currentReading.isValid)
    {
        clampedCents = juce::jlimit (-maxShownCents, maxShownCents, currentReading.cents);

        // Halves go to the even bar, so an odd whole number of cents never lights the bar further out.
        litIndex = juce::roundToInt (((clampedCents + 50.0f) * 50.0f) / 100.0f);
        centreBandOn = std::abs (currentReading.cents) <= centreBandCents;
    }

    for (int i = 0; i < numBars; ++i)
    {
        const auto barCents = ((float) i * 100.0f) / 50.0f - 50.0f;
        const auto distance = std::abs (barCents);
        const auto colour = colourForCents (distance);

        const auto isCentreBar = distance <= 2.0f;
        const auto height = isCentreBar ? centreBarHeight : otherBarHeight;
        const juce::Rectangle<float> bar ((float) i * barStep + meterLeft, meterCentreY - height * 0.5f,
                                          barWidth, height);

        const auto isLit = currentReading.isValid && (i == litIndex || (centreBandOn && isCentreBar));

        if (isLit)
        {
            g.setColour (colour.withAlpha (0.12f));
            g.fillRoundedRectangle (bar.expanded (7.0f, 5.0f), 4.0f);

            g.setColour (colour.withAlpha (0.30f));
            g.fillRoundedRectangle (bar.expanded (3.0f, 2.0f), 3.0f);
        }

        g.setColour (colour.withAlpha (isLit ? 1.0f : 0.24f));
        g.fillRoundedRectangle (bar, 2.0f);

        g.setColour (juce::Colours::white.withAlpha (isLit ? 0.30f : 0.055f));
        g.drawRoundedRectangle (bar.reduced (0.6f), 1.5f, 0.8f);
    }

    g.setFont (compat::makeFont (compat::FontOptions (9.5f)));
    g.setColour (textColour.withAlpha (0.46f));

    for (const auto& mark : scaleMarks)
        g.drawText (mark.text, mark.centreX - 20, 220, 40, 13, juce::Justification::centred, true);

    g.setFont (compat::makeFont (compat::FontOptions (8.5f)));
    g.setColour (textColour.withAlpha (0.34f));
    g.drawText ("FLAT", 49, 82, 70, 15, juce::Justification::centredLeft, true);
    g.drawText ("SHARP", 641, 82, 70, 15, juce::Justification::centredRight, true);

    if (currentReading.isValid)
    {
        const auto px = (float) litIndex * barStep + meterLeft + barWidth / 2.0f;

        juce::Path pointer;
        pointer.addTriangle (px, pointerTipY,
                             px - pointerHalfWidth, pointerBaseY,
                             px + pointerHalfWidth, pointerBaseY);

        g.setColour (colourForCents (std::abs (clampedCents)));
        g.fillPath (pointer);
    }

    // The box sits in a gap it cuts into the frame's bottom edge.
    if (logoDrawable != nullptr)
    {
        const juce::Rectangle<float> box (right - 23.0f - 139.0f, bottom - 8.0f - 14.0f, 139.0f, 14.0f);

        g.setColour (juce::Colours::black);
        g.fillRect (box);

        logoDrawable->drawWithin (g, { box.getX() + 10.0f, box.getY() + 1.5f, 117.7f, 11.2f },
                                  juce::RectanglePlacement::centred, 1.0f);
    }
}
