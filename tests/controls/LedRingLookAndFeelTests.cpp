#include "KnobDrawing.h"
#include "controls/LedRingLookAndFeel.h"
#include "support/GeometryAssertions.h"
#include "support/PathGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace KnobTesting;
using MorvekLabsControls::LedRingGeometry;
using MorvekLabsControls::LedRingLookAndFeel;
using TestSupport::isNear;

namespace
{
    const juce::Colour accent { 0xffb87333 };
    constexpr float startAngle = 3.9269910f; // 1.25 pi
    constexpr float endAngle = 8.6393805f;   // 2.75 pi
    constexpr float infinity = std::numeric_limits<float>::infinity();
    constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();

    // The editor's knob: 68 x 52 bounds less the 20-pixel value box.
    const juce::Rectangle<int> editorArea { 0, 0, 68, 32 };
    constexpr LedRingGeometry editorGeometry { 32.0f, 0.5f };

    juce::Point<float> onRing (juce::Point<float> centre, double angleInDegrees, double radius)
    {
        const auto a = juce::degreesToRadians (angleInDegrees);
        return { (float) (centre.x + std::sin (a) * radius), (float) (centre.y - std::cos (a) * radius) };
    }

    std::optional<KnobDrawing> drawKnob (LedRingGeometry geometry, juce::Rectangle<int> area, float position,
                                         bool enabled = true, float start = startAngle, float end = endAngle)
    {
        LedRingLookAndFeel lookAndFeel (accent, geometry);
        return parseKnobDrawing (recordRotarySlider (lookAndFeel, area, position, start, end, enabled));
    }

    std::optional<KnobDrawing> drawEditorKnob (bool enabled, float position = 0.5f)
    {
        return drawKnob (editorGeometry, editorArea, position, enabled);
    }

    // Extents of a dot's shape along the line from the knob centre through the dot, and across it.
    struct DotExtents
    {
        TestSupport::Extent radial, across;
    };

    DotExtents measureDot (const juce::Path& path, juce::Point<float> knobCentre, double angleInDegrees)
    {
        const auto a = (float) juce::degreesToRadians (angleInDegrees);
        const juce::Point<float> outwards { std::sin (a), -std::cos (a) };
        const juce::Point<float> sideways { std::cos (a), std::sin (a) };
        return { TestSupport::getExtentAlong (path, knobCentre, outwards),
                 TestSupport::getExtentAlong (path, path.getBounds().getCentre(), sideways) };
    }

    void expectRingOf (const juce::Path& rim, juce::Rectangle<float> square, float lineWidth)
    {
        const auto outlines = TestSupport::getSubPathBounds (rim);
        ASSERT_EQ (outlines.size(), 2u);
        EXPECT_TRUE (isNear (outlines[0], square.expanded (lineWidth / 2.0f), 1.0e-4f));
        EXPECT_TRUE (isNear (outlines[1], square.reduced (lineWidth / 2.0f), 1.0e-4f));
        EXPECT_FALSE (rim.isUsingNonZeroWinding());
    }

    void expectGradient (const Call& call, juce::Point<float> from, juce::Point<float> to,
                         juce::uint32 first, double middleStop, juce::uint32 middle, juce::uint32 last)
    {
        ASSERT_TRUE (call.isGradient());
        const auto gradient = call.getGradient();
        EXPECT_FALSE (gradient.isRadial);
        EXPECT_TRUE (isNear (gradient.point1, from, 1.0e-4f));
        EXPECT_TRUE (isNear (gradient.point2, to, 1.0e-4f));
        EXPECT_EQ (call.fill.getOpacity(), 1.0f);

        ASSERT_EQ (gradient.getNumColours(), 3);
        EXPECT_EQ (gradient.getColourPosition (0), 0.0);
        EXPECT_EQ (gradient.getColour (0).getARGB(), first);
        EXPECT_NEAR (gradient.getColourPosition (1), middleStop, 1.0e-6);
        EXPECT_EQ (gradient.getColour (1).getARGB(), middle);
        EXPECT_EQ (gradient.getColourPosition (2), 1.0);
        EXPECT_EQ (gradient.getColour (2).getARGB(), last);
    }

    juce::uint32 ledWithAlpha (juce::uint8 alpha)
    {
        return accent.withAlpha (alpha).getARGB();
    }
}

//==============================================================================
TEST (LedRingLookAndFeel, EditorKnobBodyFillsTheAreaHeightWithADiagonalGradientAndAFaintRim)
{
    const auto knob = drawEditorKnob (true);
    ASSERT_TRUE (knob.has_value());

    EXPECT_TRUE (isNear (knob->body.bounds, { 18.0f, 0.0f, 32.0f, 32.0f }, 1.0e-4f));
    expectGradient (knob->body, { 18.0f, 0.0f }, { 50.0f, 32.0f }, 0xff34312e, 0.48, 0xff171615, 0xff090909);

    EXPECT_EQ (knob->bodyRim.getColour().getARGB(), ledWithAlpha (76));
    expectRingOf (knob->bodyRim.path, { 18.5f, 0.5f, 31.0f, 31.0f }, 0.65f);
}

TEST (LedRingLookAndFeel, EditorKnobCapIsCentredWithItsOwnGradientAndRim)
{
    const auto knob = drawEditorKnob (true);
    ASSERT_TRUE (knob.has_value());

    const juce::Rectangle<float> capSquare { 23.28f, 5.28f, 21.44f, 21.44f };
    EXPECT_TRUE (isNear (knob->getCentre(), { 34.0f, 16.0f }, 1.0e-4f));
    EXPECT_TRUE (isNear (knob->cap.bounds, capSquare, 1.0e-4f));
    expectGradient (knob->cap, { 23.28f, 5.28f }, { 44.72f, 26.72f }, 0xff2c2b2a, 0.42, 0xff171717, 0xff070707);

    EXPECT_EQ (knob->capRim.getColour().getARGB(), 0xff4a4743u);
    expectRingOf (knob->capRim.path, capSquare, 0.55f);
}

TEST (LedRingLookAndFeel, EditorKnobHas25DotsEvery11Point25DegreesPointingAtTheCentre)
{
    const auto knob = drawEditorKnob (true);
    ASSERT_TRUE (knob.has_value());
    ASSERT_EQ (knob->leds.size(), 25u);

    EXPECT_TRUE (isNear (knob->leds[0].getCentre(), { 24.539f, 25.461f }, 5.0e-4f));
    EXPECT_TRUE (isNear (knob->leds[12].getCentre(), { 34.0f, 2.62f }, 5.0e-4f));
    EXPECT_TRUE (isNear (knob->leds[24].getCentre(), { 43.461f, 25.461f }, 5.0e-4f));

    // Rounded rectangles 0.96 by 3.32 with corners of 0.3264, each reaching from 11.72 to
    // 15.04 pixels out from the centre.
    const auto cornerArea = (4.0 - juce::MathConstants<double>::pi) * 0.3264 * 0.3264;

    for (size_t i = 0; i < knob->leds.size(); ++i)
    {
        SCOPED_TRACE ("dot " + std::to_string (i));
        const auto angle = 225.0 + 11.25 * (double) i;
        const auto& dot = knob->leds[i].getDot();

        EXPECT_TRUE (isNear (knob->leds[i].getCentre(), onRing ({ 34.0f, 16.0f }, angle, 13.38), 1.0e-3f));

        const auto extents = measureDot (dot.path, { 34.0f, 16.0f }, angle);
        EXPECT_NEAR (extents.radial.lowest, 11.72f, 1.0e-3f);
        EXPECT_NEAR (extents.radial.highest, 15.04f, 1.0e-3f);
        EXPECT_NEAR (extents.across.lowest, -0.48f, 1.0e-3f);
        EXPECT_NEAR (extents.across.highest, 0.48f, 1.0e-3f);
        EXPECT_NEAR (TestSupport::getEnclosedArea (dot.path), 0.96 * 3.32 - cornerArea, 1.0e-3);
    }
}

TEST (LedRingLookAndFeel, EditorKnobAtTheMiddleLightsTwelveDotsWithTwoGlowsEach)
{
    const auto knob = drawEditorKnob (true, 0.5f);
    ASSERT_TRUE (knob.has_value());
    ASSERT_EQ (knob->leds.size(), 25u);

    for (size_t i = 0; i < knob->leds.size(); ++i)
    {
        SCOPED_TRACE ("dot " + std::to_string (i));
        const auto& led = knob->leds[i];

        if (i >= 12)
        {
            ASSERT_FALSE (led.isLit());
            EXPECT_EQ (led.getDot().getColour().getARGB(), ledWithAlpha (71));
            continue;
        }

        ASSERT_TRUE (led.isLit());
        EXPECT_EQ (led.passes[0].getColour().getARGB(), ledWithAlpha (26));
        EXPECT_EQ (led.passes[1].getColour().getARGB(), ledWithAlpha (56));
        EXPECT_EQ (led.passes[2].getColour().getARGB(), ledWithAlpha (255));

        // A stroke reaches half its width beyond the dot on every side.
        const auto angle = 225.0 + 11.25 * (double) i;
        const auto dot = measureDot (led.passes[2].path, { 34.0f, 16.0f }, angle);

        for (auto [pass, halfWidth] : { std::pair<size_t, float> { 0, 0.8f }, { 1, 0.5f } })
        {
            const auto glow = measureDot (led.passes[pass].path, { 34.0f, 16.0f }, angle);
            EXPECT_NEAR (glow.radial.lowest, dot.radial.lowest - halfWidth, 1.0e-3f);
            EXPECT_NEAR (glow.radial.highest, dot.radial.highest + halfWidth, 1.0e-3f);
            EXPECT_NEAR (glow.across.lowest, dot.across.lowest - halfWidth, 1.0e-3f);
            EXPECT_NEAR (glow.across.highest, dot.across.highest + halfWidth, 1.0e-3f);
        }
    }
}

TEST (LedRingLookAndFeel, EditorKnobArrowPointsUpAndDownWithRoundedEnds)
{
    const auto knob = drawEditorKnob (true);
    ASSERT_TRUE (knob.has_value());
    EXPECT_EQ (knob->arrow.getColour().getARGB(), 0xc7b9b5b0u);

    const auto strokes = TestSupport::getSubPathBounds (knob->arrow.path);
    ASSERT_EQ (strokes.size(), 6u);

    constexpr float halfWidth = 0.8576f / 2.0f;
    constexpr float tolerance = 2.0e-4f;

    // Stems: rounded ends reach half the line width beyond both end points.
    EXPECT_TRUE (isNear (strokes[0], juce::Rectangle<float>::leftTopRightBottom (34.0f - halfWidth, 11.4976f - halfWidth, 34.0f + halfWidth, 14.928f + halfWidth), tolerance));
    EXPECT_TRUE (isNear (strokes[3], juce::Rectangle<float>::leftTopRightBottom (34.0f - halfWidth, 17.072f - halfWidth, 34.0f + halfWidth, 20.5024f + halfWidth), tolerance));

    // Heads: each stroke runs from the stem's tip to its end point, half a width beyond both.
    // clang-format off
    const struct { size_t stroke; juce::Point<float> tip, end; } heads[] = {
        { 1, { 34.0f, 11.4976f }, { 32.833664f, 12.663936f } },
        { 2, { 34.0f, 11.4976f }, { 35.166336f, 12.663936f } },
        { 4, { 34.0f, 20.5024f }, { 32.833664f, 19.336064f } },
        { 5, { 34.0f, 20.5024f }, { 35.166336f, 19.336064f } },
    };
    // clang-format on

    const auto strokePaths = TestSupport::splitSubPaths (knob->arrow.path);

    for (auto& head : heads)
    {
        SCOPED_TRACE ("stroke " + std::to_string (head.stroke));
        const auto& stroke = strokePaths[head.stroke];
        const auto length = head.tip.getDistanceFrom (head.end);
        const auto along = (head.end - head.tip) / length;
        const auto lengthwise = TestSupport::getExtentAlong (stroke, head.tip, along);
        const auto across = TestSupport::getExtentAlong (stroke, head.tip, { -along.y, along.x });

        EXPECT_NEAR (lengthwise.lowest, -halfWidth, tolerance);
        EXPECT_NEAR (lengthwise.highest, length + halfWidth, tolerance);
        EXPECT_NEAR (across.lowest, -halfWidth, tolerance);
        EXPECT_NEAR (across.highest, halfWidth, tolerance);
    }
}

TEST (LedRingLookAndFeel, DisabledKnobDimsEverythingButTheGradients)
{
    const auto enabled = drawEditorKnob (true, 0.5f);
    const auto disabled = drawEditorKnob (false, 0.5f);
    ASSERT_TRUE (enabled.has_value());
    ASSERT_TRUE (disabled.has_value());
    ASSERT_EQ (disabled->leds.size(), 25u);
    ASSERT_EQ (disabled->getNumLit(), 12);

    EXPECT_EQ (disabled->bodyRim.getColour().getARGB(), ledWithAlpha (34));
    EXPECT_EQ (disabled->capRim.getColour().getARGB(), juce::Colour (0xff4a4743).withAlpha ((juce::uint8) 115).getARGB());
    EXPECT_EQ (disabled->arrow.getColour().getARGB(), juce::Colour (0xffb9b5b0).withAlpha ((juce::uint8) 90).getARGB());

    const auto& lit = disabled->leds.front();
    EXPECT_EQ (lit.passes[0].getColour().getARGB(), ledWithAlpha (11));
    EXPECT_EQ (lit.passes[1].getColour().getARGB(), ledWithAlpha (25));
    EXPECT_EQ (lit.passes[2].getColour().getARGB(), ledWithAlpha (115));
    EXPECT_EQ (disabled->leds.back().getDot().getColour().getARGB(), ledWithAlpha (32));

    EXPECT_TRUE (disabled->body.fill == enabled->body.fill);
    EXPECT_TRUE (disabled->cap.fill == enabled->cap.fill);
}

//==============================================================================
struct LedCountCase
{
    float diameter;
    size_t leds;

    friend void PrintTo (const LedCountCase& c, std::ostream* os)
    {
        *os << "diameter " << c.diameter << " gives " << c.leds << " LEDs";
    }
};

class LedRingLedCount : public testing::TestWithParam<LedCountCase>
{};

TEST_P (LedRingLedCount, FollowsTheDiameterThresholds)
{
    const auto knob = drawKnob ({ GetParam().diameter, 0.5f }, { 0, 0, 100, 100 }, 0.0f);
    ASSERT_TRUE (knob.has_value());
    EXPECT_EQ (knob->leds.size(), GetParam().leds);
    EXPECT_NEAR (knob->body.bounds.getWidth(), GetParam().diameter, 1.0e-4f);
}

INSTANTIATE_TEST_SUITE_P (LedRingLookAndFeel, LedRingLedCount,
                          testing::Values (LedCountCase { 39.99f, 25 }, LedCountCase { 40.0f, 41 },
                                           LedCountCase { 69.99f, 41 }, LedCountCase { 70.0f, 61 }));

//==============================================================================
struct LitCountCase
{
    float diameter;
    float position;
    int lit;

    friend void PrintTo (const LitCountCase& c, std::ostream* os)
    {
        *os << "diameter " << c.diameter << " at " << c.position << " lights " << c.lit;
    }
};

class LedRingLitCount : public testing::TestWithParam<LitCountCase>
{};

TEST_P (LedRingLitCount, LightsTheRoundedShareOfDotsFromTheStart)
{
    const auto& c = GetParam();
    const auto knob = drawKnob ({ c.diameter, 0.5f }, { 0, 0, 100, 100 }, c.position);
    ASSERT_TRUE (knob.has_value());
    EXPECT_EQ (knob->getNumLit(), c.lit);

    for (size_t i = 0; i < knob->leds.size(); ++i)
        EXPECT_EQ (knob->leds[i].isLit(), (int) i < c.lit) << "dot " << i;
}

// Halves go to the even neighbour: 12.5 lights 12, 20.5 lights 20, 2.5 lights 2.
INSTANTIATE_TEST_SUITE_P (LedRingLookAndFeel, LedRingLitCount,
                          testing::Values (LitCountCase { 32.0f, 0.0f, 0 },  LitCountCase { 32.0f, 1.0f, 25 },
                                           LitCountCase { 32.0f, 0.5f, 12 }, LitCountCase { 32.0f, 0.1f, 2 },
                                           LitCountCase { 50.0f, 0.5f, 20 }, LitCountCase { 50.0f, 0.1f, 4 },
                                           LitCountCase { 50.0f, 1.0f, 41 }, LitCountCase { 80.0f, 0.5f, 30 },
                                           LitCountCase { 80.0f, 0.1f, 6 },  LitCountCase { 80.0f, 1.0f, 61 },
                                           LitCountCase { 32.0f, -0.5f, 0 }, LitCountCase { 32.0f, 1.5f, 25 }));

//==============================================================================
TEST (LedRingLookAndFeel, DiameterOfZeroOrLessFitsTheKnobToTheArea)
{
    for (auto requested : { 0.0f, -5.0f, notANumber })
    {
        SCOPED_TRACE (requested);
        const auto knob = drawKnob ({ requested, 0.5f }, { 0, 0, 100, 80 }, 0.0f);
        ASSERT_TRUE (knob.has_value());

        EXPECT_TRUE (isNear (knob->body.bounds, { 14.0f, 4.0f, 72.0f, 72.0f }, 1.0e-4f));
        ASSERT_EQ (knob->leds.size(), 61u);

        // w 2.16, L 8.177, R 29.209
        const auto extents = measureDot (knob->leds[0].getDot().path, { 50.0f, 40.0f }, 225.0);
        EXPECT_NEAR (extents.across.highest - extents.across.lowest, 2.16f, 1.0e-3f);
        EXPECT_NEAR (extents.radial.highest - extents.radial.lowest, 8.177f, 1.0e-3f);
        EXPECT_NEAR ((extents.radial.highest + extents.radial.lowest) / 2.0f, 29.209f, 1.0e-3f);
    }
}

TEST (LedRingLookAndFeel, TinyAreaLimitsTheDiameterButNeverBelowTwelve)
{
    const auto requested = drawKnob ({ 32.0f, 0.5f }, { 0, 0, 10, 10 }, 0.0f);
    const auto fitted = drawKnob ({ 0.0f, 0.5f }, { 0, 0, 10, 10 }, 0.0f);
    ASSERT_TRUE (requested.has_value());
    ASSERT_TRUE (fitted.has_value());

    EXPECT_TRUE (isNear (requested->body.bounds, { 0.0f, 0.0f, 10.0f, 10.0f }, 1.0e-4f));
    EXPECT_TRUE (isNear (fitted->body.bounds, { -1.0f, -1.0f, 12.0f, 12.0f }, 1.0e-4f));
    EXPECT_EQ (fitted->leds.size(), 25u);
}

//==============================================================================
struct PlacementCase
{
    float verticalPosition;
    juce::Rectangle<int> area;
    juce::Rectangle<float> body;

    friend void PrintTo (const PlacementCase& c, std::ostream* os)
    {
        *os << "position " << c.verticalPosition << " in " << c.area.toString() << " gives body " << c.body.toString();
    }
};

class LedRingPlacement : public testing::TestWithParam<PlacementCase>
{};

TEST_P (LedRingPlacement, CentresTheKnobAcrossAndAtItsFractionOfTheHeight)
{
    const auto& c = GetParam();
    const auto knob = drawKnob ({ 32.0f, c.verticalPosition }, c.area, 0.0f);
    ASSERT_TRUE (knob.has_value());
    EXPECT_TRUE (isNear (knob->body.bounds, c.body, 1.0e-4f));
    EXPECT_TRUE (isNear (knob->getCentre(), c.body.getCentre(), 1.0e-4f));
}

// Out-of-range positions clamp to the area's edges; the knob may then overhang the area.
// A position that is not a number centres the knob rather than drawing at NaN.
INSTANTIATE_TEST_SUITE_P (LedRingLookAndFeel, LedRingPlacement,
                          testing::Values (PlacementCase { notANumber, { 0, 0, 68, 32 }, { 18.0f, 0.0f, 32.0f, 32.0f } },
                                           PlacementCase { 0.25f, { 10, 20, 68, 32 }, { 28.0f, 12.0f, 32.0f, 32.0f } },
                                           PlacementCase { 1.0f,  { 0, 0, 68, 32 },   { 18.0f, 16.0f, 32.0f, 32.0f } },
                                           PlacementCase { 1.5f,  { 0, 0, 68, 32 },   { 18.0f, 16.0f, 32.0f, 32.0f } },
                                           PlacementCase { 0.0f,  { 0, 0, 68, 32 },   { 18.0f, -16.0f, 32.0f, 32.0f } },
                                           PlacementCase { -1.0f, { 0, 0, 68, 32 },   { 18.0f, -16.0f, 32.0f, 32.0f } }));

//==============================================================================
struct AngleCase
{
    float start, end;
    double firstDegrees, lastDegrees;

    friend void PrintTo (const AngleCase& c, std::ostream* os)
    {
        *os << "angles " << c.start << " to " << c.end << " run from " << c.firstDegrees << " to " << c.lastDegrees << " degrees";
    }
};

class LedRingAngles : public testing::TestWithParam<AngleCase>
{};

TEST_P (LedRingAngles, ReplaceOnlyTheAngleThatIsNotFinite)
{
    const auto& c = GetParam();
    const auto knob = drawKnob (editorGeometry, editorArea, 0.0f, true, c.start, c.end);
    ASSERT_TRUE (knob.has_value());
    ASSERT_EQ (knob->leds.size(), 25u);

    const juce::Point<float> centre { 34.0f, 16.0f };
    EXPECT_TRUE (isNear (knob->leds.front().getCentre(), onRing (centre, c.firstDegrees, 13.38), 1.0e-3f));
    EXPECT_TRUE (isNear (knob->leds[12].getCentre(), onRing (centre, (c.firstDegrees + c.lastDegrees) / 2.0, 13.38), 1.0e-3f));
    EXPECT_TRUE (isNear (knob->leds.back().getCentre(), onRing (centre, c.lastDegrees, 13.38), 1.0e-3f));
}

INSTANTIATE_TEST_SUITE_P (LedRingLookAndFeel, LedRingAngles,
                          testing::Values (AngleCase { infinity, 6.0f, 225.0, juce::radiansToDegrees (6.0) },
                                           AngleCase { -infinity, 6.0f, 225.0, juce::radiansToDegrees (6.0) },
                                           AngleCase { notANumber, 6.0f, 225.0, juce::radiansToDegrees (6.0) },
                                           AngleCase { 0.5f, infinity, juce::radiansToDegrees (0.5), 495.0 },
                                           AngleCase { 0.5f, notANumber, juce::radiansToDegrees (0.5), 495.0 },
                                           AngleCase { notANumber, -infinity, 225.0, 495.0 }));

//==============================================================================
/** Every width and inset that scales with the diameter but never drops below a floor. */
struct LineWidthCase
{
    float diameter;
    float rimInset, rimWidth, capRimWidth;
    float wideGlow, narrowGlow;
    float dotWidth, dotLength;
    float arrowWidth;

    friend void PrintTo (const LineWidthCase& c, std::ostream* os)
    {
        *os << "diameter " << c.diameter;
    }
};

class LedRingLineWidths : public testing::TestWithParam<LineWidthCase>
{};

TEST_P (LedRingLineWidths, ScaleWithTheDiameterAboveTheirFloors)
{
    const auto& c = GetParam();
    const auto knob = drawKnob ({ c.diameter, 0.5f }, { 0, 0, 200, 200 }, 1.0f);
    ASSERT_TRUE (knob.has_value());
    ASSERT_NEAR (knob->body.bounds.getWidth(), c.diameter, 1.0e-4f);

    constexpr float tolerance = 1.0e-3f;
    const juce::Point<float> centre { 100.0f, 100.0f };

    expectRingOf (knob->bodyRim.path, knob->body.bounds.reduced (c.rimInset), c.rimWidth);
    expectRingOf (knob->capRim.path, knob->cap.bounds, c.capRimWidth);

    // The first dot, lit: its two glows reach half their stroke widths beyond it.
    const auto& led = knob->leds.front();
    ASSERT_TRUE (led.isLit());
    const auto dot = measureDot (led.getDot().path, centre, 225.0);
    EXPECT_NEAR (dot.across.highest - dot.across.lowest, c.dotWidth, tolerance);
    EXPECT_NEAR (dot.radial.highest - dot.radial.lowest, c.dotLength, tolerance);
    EXPECT_NEAR (dot.radial.lowest, 0.335f * c.diameter + 1.0f, tolerance); // 1 pixel outside the cap

    for (auto [pass, width] : { std::pair<size_t, float> { 0, c.wideGlow }, { 1, c.narrowGlow } })
    {
        SCOPED_TRACE ("glow " + std::to_string (pass));
        const auto glow = measureDot (led.passes[pass].path, centre, 225.0);
        EXPECT_NEAR (glow.across.highest - glow.across.lowest, c.dotWidth + width, tolerance);
        EXPECT_NEAR (glow.radial.highest - glow.radial.lowest, c.dotLength + width, tolerance);
    }

    // The upper stem is as wide as the arrow's line, its round ends included.
    const auto strokes = TestSupport::getSubPathBounds (knob->arrow.path);
    ASSERT_EQ (strokes.size(), 6u);
    EXPECT_NEAR (strokes[0].getWidth(), c.arrowWidth, tolerance);
}

// At 12 pixels every value sits on its floor, at 140 (a line scale of 1) none does; at the
// editor's 32 the dot length stands above its floor while the margin inside it is floored.
INSTANTIATE_TEST_SUITE_P (LedRingLookAndFeel, LedRingLineWidths, testing::Values (
    //             d       inset  rim    cap rim  glows        dot w  dot L   arrow
    LineWidthCase { 12.0f,  0.5f,  0.65f, 0.55f,   1.5f, 1.0f,  0.85f, 2.2f,   0.55f },
    LineWidthCase { 32.0f,  0.5f,  0.65f, 0.55f,   1.6f, 1.0f,  0.96f, 3.32f,  0.8576f },
    LineWidthCase { 140.0f, 1.0f,  1.25f, 1.0f,    7.0f, 3.5f,  4.2f,  15.9f,  3.752f }));

//==============================================================================
TEST (LedRingLookAndFeel, DotsCircleTheKnobCentreWhereverItSitsInTheArea)
{
    // Areas wider and taller than the knob, with the centre off the area's middle: the ring
    // follows the knob, not the area.
    // clang-format off
    const struct { juce::Rectangle<int> area; float verticalPosition; juce::Point<float> centre; } cases[] = {
        { { 10, 20, 120, 60 }, 0.2f,  { 70.0f, 32.0f } },
        { { 5, 0, 50, 90 },    0.75f, { 30.0f, 67.5f } },
    };
    // clang-format on

    // Diameter 40: 41 dots, cap radius 13.4, dot length 4.4, so R = 13.4 + 1 + 2.2.
    constexpr double radius = 16.6;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.area.toString());
        const auto knob = drawKnob ({ 40.0f, c.verticalPosition }, c.area, 0.5f);
        ASSERT_TRUE (knob.has_value());
        ASSERT_EQ (knob->leds.size(), 41u);
        EXPECT_TRUE (isNear (knob->getCentre(), c.centre, 1.0e-4f));

        for (size_t i = 0; i < knob->leds.size(); ++i)
        {
            const auto angle = 225.0 + 270.0 * (double) i / 40.0;
            EXPECT_TRUE (isNear (knob->leds[i].getCentre(), onRing (c.centre, angle, radius), 1.0e-3f)) << "dot " << i;
        }
    }
}
