#include "support/EditorTestAccess.h"
#include "support/EditorTestValues.h"
#include "support/GeometryAssertions.h"
#include "support/RecordingGraphicsContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

using namespace EditorTestValues;

namespace
{
    using Editor = DravelTunerAudioProcessorEditor;
    using Recorder = TestSupport::RecordingGraphicsContext;
    using Kind = Recorder::Kind;
    using DrawCall = Recorder::Call;

    constexpr juce::uint32 accent = 0xffb87333;
    constexpr juce::uint32 cream = 0xfff1e6dc;
    constexpr juce::uint32 black = 0xff000000;
    constexpr juce::uint32 white = 0xffffffff;

    // The meter's geometry as the face is laid out.
    constexpr float barStep = 667.0f / 51.0f;
    constexpr float barWidth = barStep - 3.0f;

    // Path bounds come from flattened strokes; this is far below a pixel.
    constexpr float tolerance = 0.002f;

    juce::uint32 withAlpha (juce::uint32 argb, float alpha) { return juce::Colour (argb).withAlpha (alpha).getARGB(); }

    /** The cents colour scale for a bar whose cents value is d from the centre. */
    juce::uint32 barColour (int d)
    {
        return d <= 4 ? green : d <= 18 ? yellowGreen
                          : d <= 32     ? amber
                          : d <= 42     ? orange
                                        : red;
    }

    juce::Rectangle<float> barRect (int i)
    {
        const auto h = std::abs (2 * i - 50) <= 2 ? 112.0f : 98.0f;
        return { (float) i * barStep + 48.0f, 160.0f - h * 0.5f, barWidth, h };
    }

    float pointerX (int bar) { return (float) bar * barStep + 48.0f + barWidth / 2.0f; }

    //==============================================================================
    struct Stop
    {
        double position;
        juce::uint32 argb;
    };

    /** A rectangle with rounded corners, filled, or drawn with a line of some thickness. */
    struct RoundedRectangle
    {
        juce::Rectangle<float> area;
        float corner;
        float lineThickness; // 0 for a fill
    };

    struct ExpectedCall
    {
        std::string what;
        Kind kind;
        juce::Rectangle<float> bounds;
        juce::uint32 argb = 0; // solid fills
        bool isGradient = false;
        juce::Point<float> from, to; // gradients
        std::vector<Stop> stops;
        std::optional<RoundedRectangle> rounded;
    };

    ExpectedCall solid (std::string what, Kind kind, juce::Rectangle<float> bounds, juce::uint32 argb)
    {
        return { std::move (what), kind, bounds, argb, false, {}, {}, {}, {} };
    }

    ExpectedCall gradient (std::string what, juce::Rectangle<float> bounds, juce::Point<float> from,
                           juce::Point<float> to, std::vector<Stop> stops)
    {
        return { std::move (what), Kind::fillPath, bounds, 0, true, from, to, std::move (stops), {} };
    }

    /** The call's shape is also checked at its four corners. */
    ExpectedCall withCorners (ExpectedCall call, juce::Rectangle<float> area, float corner, float lineThickness = 0.0f)
    {
        call.rounded = RoundedRectangle { area, corner, lineThickness };
        return call;
    }

    /** Along each corner's diagonal, the edge of a corner of radius r lies r (1 - 1 / sqrt 2)
        in from the corner on each axis (JUCE's curve is within 0.001 r of the circle); a line
        along that edge covers half its thickness either side. The probes sit a twentieth of a
        pixel either side of each edge, so a radius off by a sixth of a pixel shows. */
    testing::AssertionResult hasCorners (const juce::Path& shape, const RoundedRectangle& expected)
    {
        constexpr float probeOffset = 0.05f;
        const auto diagonal = 1.0f / std::sqrt (2.0f);
        const auto edge = expected.corner * (1.0f - diagonal);
        const auto halfLine = expected.lineThickness * 0.5f * diagonal;

        // Distances in from the corner, on each axis, and whether the shape covers them.
        std::vector<std::pair<float, bool>> probes { { edge - halfLine - probeOffset, false },
                                                     { edge - halfLine + probeOffset, true } };

        if (expected.lineThickness > 0.0f)
        {
            probes.emplace_back (edge + halfLine - probeOffset, true);
            probes.emplace_back (edge + halfLine + probeOffset, false);
        }

        const auto& a = expected.area;
        // clang-format off
        const std::pair<juce::Point<float>, juce::Point<float>> corners[] {
            { a.getTopLeft(), { 1.0f, 1.0f } },      { a.getTopRight(), { -1.0f, 1.0f } },
            { a.getBottomRight(), { -1.0f, -1.0f } }, { a.getBottomLeft(), { 1.0f, -1.0f } },
        };
        // clang-format on

        for (const auto& [corner, inwards] : corners)
        {
            for (const auto& [distance, covered] : probes)
            {
                const auto probe = corner + inwards * distance;

                if (shape.contains (probe, 0.001f) != covered)
                    return testing::AssertionFailure() << juce::String (distance, 3) << " in from the corner at (" << corner.toString()
                                                       << ") is " << (covered ? "not " : "") << "covered, for corners of "
                                                       << expected.corner << ", line " << expected.lineThickness;
            }
        }

        return testing::AssertionSuccess();
    }

    /** A rounded rectangle drawn with a line of this thickness covers it widened by half that. */
    juce::Rectangle<float> strokeBounds (juce::Rectangle<float> r, float thickness)
    {
        return r.expanded (thickness * 0.5f);
    }

    struct Reading
    {
        std::set<int> litBars;
        int pointerBar;
        juce::uint32 pointerArgb;
    };

    /** Everything the face should draw, in order, apart from its texts and the wordmark. */
    struct ExpectedFace
    {
        std::vector<ExpectedCall> beforeTexts, afterTexts;
        std::optional<juce::Rectangle<float>> wordmarkArea;
    };

    ExpectedFace expectedFace (float width, float height, const std::optional<Reading>& reading, bool withWordmark)
    {
        ExpectedFace face;
        auto& calls = face.beforeTexts;
        const auto right = width, bottom = height;

        calls.push_back (solid ("ground", Kind::fillRect, { 0.0f, 0.0f, width, height }, black));
        const juce::Rectangle<float> frame (10.5f, 10.5f, width - 21.0f, height - 21.0f);
        calls.push_back (withCorners (solid ("frame", Kind::fillPath, strokeBounds (frame, 3.0f), accent), frame, 5.0f, 3.0f));

        // clang-format off
        const juce::Point<float> screws[] = { { 39.0f, 38.0f }, { right - 39.0f, 38.0f },
                                              { 39.0f, bottom - 36.0f }, { right - 39.0f, bottom - 36.0f } };
        // clang-format on

        for (auto c : screws)
        {
            const auto where = " at " + c.toString().toStdString();
            // A circle 8 across: a square of 8 whose corners are all curve.
            const juce::Rectangle<float> head (c.x - 4.0f, c.y - 4.0f, 8.0f, 8.0f);
            calls.push_back (withCorners (gradient ("screw head" + where, head, { c.x - 3.0f, c.y - 3.0f }, { c.x + 3.0f, c.y + 3.0f },
                                                    { { 0.0, 0xff77736d }, { 1.0, 0xff1a1918 } }),
                                          head, 4.0f));
            calls.push_back (solid ("screw slot" + where, Kind::fillPath, { c.x - 2.0f, c.y - 0.45f, 4.0f, 0.9f },
                                    withAlpha (accent, 0.58f)));
        }

        const juce::Rectangle<float> panel (32.0f, 78.0f, 696.0f, 184.0f);
        calls.push_back (withCorners (gradient ("panel", panel, { 32.0f, 78.0f }, { 728.0f, 262.0f },
                                                { { 0.0, 0xff322b24 }, { 0.5, 0xff17130f }, { 1.0, 0xff090807 } }),
                                      panel, 7.0f));
        calls.push_back (withCorners (solid ("panel outline", Kind::fillPath, strokeBounds (panel, 1.25f), withAlpha (accent, 0.78f)),
                                      panel, 7.0f, 1.25f));

        const juce::Rectangle<float> display (39.0f, 85.0f, 682.0f, 170.0f);
        calls.push_back (withCorners (gradient ("display", display, { 39.0f, 85.0f }, { 39.0f, 255.0f },
                                                { { 0.0, 0xff07100a }, { 0.42, 0xff07130b }, { 1.0, 0xff020403 } }),
                                      display, 4.0f));
        calls.push_back (solid ("highlight", Kind::fillRect, { 43.0f, 87.0f, 674.0f, 1.0f }, withAlpha (white, 0.035f)));

        for (int i = 0; i < 51; ++i)
        {
            const auto bar = barRect (i);
            const auto colour = barColour (std::abs (2 * i - 50));
            const auto lit = reading.has_value() && reading->litBars.count (i) > 0;
            const auto name = "bar " + std::to_string (i);

            if (lit)
            {
                const auto outer = bar.expanded (7.0f, 5.0f), inner = bar.expanded (3.0f, 2.0f);
                calls.push_back (withCorners (solid (name + " outer glow", Kind::fillPath, outer, withAlpha (colour, 0.12f)), outer, 4.0f));
                calls.push_back (withCorners (solid (name + " inner glow", Kind::fillPath, inner, withAlpha (colour, 0.30f)), inner, 3.0f));
            }

            calls.push_back (withCorners (solid (name + " body", Kind::fillPath, bar, withAlpha (colour, lit ? 1.0f : 0.24f)), bar, 2.0f));

            const auto rim = bar.reduced (0.6f);
            calls.push_back (withCorners (solid (name + " rim", Kind::fillPath, strokeBounds (rim, 0.8f), withAlpha (white, lit ? 0.30f : 0.055f)),
                                          rim, 1.5f, 0.8f));
        }

        if (reading.has_value())
        {
            const auto px = pointerX (reading->pointerBar);
            face.afterTexts.push_back (solid ("pointer", Kind::fillPath, { px - 6.0f, 87.0f, 12.0f, 8.0f }, reading->pointerArgb));
        }

        if (withWordmark)
        {
            const juce::Rectangle<float> box (right - 23.0f - 139.0f, bottom - 8.0f - 14.0f, 139.0f, 14.0f);
            face.afterTexts.push_back (solid ("wordmark box", Kind::fillRect, box, black));
            face.wordmarkArea = juce::Rectangle<float> (box.getX() + 10.0f, box.getY() + 1.5f, 117.7f, 11.2f);
        }

        return face;
    }

    /** The scale texts and captions as JUCE lays them out in their boxes. */
    std::vector<DrawCall> expectedTextGlyphs()
    {
        Recorder recorder ({ 0, 0, 760, 312 });

        {
            juce::Graphics g (recorder);
            g.setFont (juce::Font (9.5f, juce::Font::plain));
            g.setColour (juce::Colour (cream).withAlpha (0.46f));

            // clang-format off
            const std::pair<const char*, int> marks[] = { { "-50", 53 }, { "-25", 214 }, { "0", 380 },
                                                          { "+25", 546 }, { "+50", 707 } };
            // clang-format on

            for (auto [text, cx] : marks)
                g.drawText (text, cx - 20, 220, 40, 13, juce::Justification::centred, true);

            g.setFont (juce::Font (8.5f, juce::Font::plain));
            g.setColour (juce::Colour (cream).withAlpha (0.34f));
            g.drawText ("FLAT", 49, 82, 70, 15, juce::Justification::centredLeft, true);
            g.drawText ("SHARP", 641, 82, 70, 15, juce::Justification::centredRight, true);
        }

        return recorder.getCalls();
    }

    void expectNear (juce::Rectangle<float> actual, juce::Rectangle<float> expected)
    {
        EXPECT_NEAR (actual.getX(), expected.getX(), tolerance) << actual.toString() << " vs " << expected.toString();
        EXPECT_NEAR (actual.getY(), expected.getY(), tolerance) << actual.toString() << " vs " << expected.toString();
        EXPECT_NEAR (actual.getWidth(), expected.getWidth(), tolerance) << actual.toString() << " vs " << expected.toString();
        EXPECT_NEAR (actual.getHeight(), expected.getHeight(), tolerance) << actual.toString() << " vs " << expected.toString();
    }

    void expectMatches (const DrawCall& call, const ExpectedCall& e)
    {
        SCOPED_TRACE (e.what);
        EXPECT_EQ (call.kind, e.kind);
        expectNear (call.bounds, e.bounds);

        if (e.rounded.has_value())
        {
            EXPECT_TRUE (hasCorners (call.path, *e.rounded));
        }

        if (! e.isGradient)
        {
            EXPECT_TRUE (call.fill.isColour());
            EXPECT_EQ (hex (call.getColour().getARGB()), hex (e.argb));
            return;
        }

        ASSERT_TRUE (call.isGradient());
        const auto g = call.getGradient();
        EXPECT_FALSE (g.isRadial);
        EXPECT_EQ (g.point1, e.from);
        EXPECT_EQ (g.point2, e.to);
        ASSERT_EQ (g.getNumColours(), (int) e.stops.size());

        for (int i = 0; i < g.getNumColours(); ++i)
        {
            EXPECT_NEAR (g.getColourPosition (i), e.stops[(size_t) i].position, 1.0e-9);
            EXPECT_EQ (hex (g.getColour (i).getARGB()), hex (e.stops[(size_t) i].argb));
        }
    }

    /** Checks the recorded face call by call: shapes, then texts, then pointer and box, then
        the wordmark's own outlines in its area. */
    void expectFace (const std::vector<DrawCall>& calls, const ExpectedFace& face,
                     const juce::Drawable* drawable = nullptr)
    {
        size_t index = 0;

        auto next = [&]() -> const DrawCall* {
            return index < calls.size() ? &calls[index++] : nullptr;
        };

        for (const auto& e : face.beforeTexts)
        {
            auto* call = next();
            ASSERT_NE (call, nullptr) << "missing " << e.what;
            expectMatches (*call, e);
        }

        for (const auto& e : expectedTextGlyphs())
        {
            auto* call = next();
            ASSERT_NE (call, nullptr) << "missing glyphs";
            ASSERT_EQ (call->kind, Kind::drawGlyph) << "call " << index - 1;
            EXPECT_EQ (call->glyphNumber, e.glyphNumber);
            EXPECT_EQ (call->font.getHeight(), e.font.getHeight());
            EXPECT_EQ (hex (call->getColour().getARGB()), hex (e.getColour().getARGB()));
            EXPECT_NEAR (call->transform.getTranslationX(), e.transform.getTranslationX(), 1.0e-4f);
            EXPECT_NEAR (call->transform.getTranslationY(), e.transform.getTranslationY(), 1.0e-4f);
        }

        for (const auto& e : face.afterTexts)
        {
            auto* call = next();
            ASSERT_NE (call, nullptr) << "missing " << e.what;
            expectMatches (*call, e);
        }

        if (! face.wordmarkArea.has_value())
        {
            EXPECT_EQ (index, calls.size()) << "more was drawn than the face";
            return;
        }

        ASSERT_NE (drawable, nullptr);
        ASSERT_LT (index, calls.size()) << "no wordmark outlines";

        juce::Rectangle<float> drawn;

        for (; index < calls.size(); ++index)
        {
            EXPECT_EQ (calls[index].kind, Kind::fillPath);
            EXPECT_EQ (hex (calls[index].getColour().getARGB()), hex (accent));
            drawn = drawn.isEmpty() ? calls[index].bounds : drawn.getUnion (calls[index].bounds);
        }

        // Fitted into the area, centred, with its own proportions.
        const auto area = *face.wordmarkArea;
        const auto own = drawable->getDrawableBounds();
        const auto scale = juce::jmin (area.getWidth() / own.getWidth(), area.getHeight() / own.getHeight());
        const auto fitted = juce::Rectangle<float> (own.getWidth() * scale, own.getHeight() * scale).withCentre (area.getCentre());

        EXPECT_TRUE (TestSupport::isNear (drawn, fitted, 0.01f));
    }

    std::vector<juce::Point<float>> pathVertices (const juce::Path& path)
    {
        std::vector<juce::Point<float>> points;

        for (juce::Path::Iterator it (path); it.next();)
            if (it.elementType == juce::Path::Iterator::startNewSubPath || it.elementType == juce::Path::Iterator::lineTo)
                points.emplace_back (it.x1, it.y1);

        return points;
    }

    //==============================================================================
    struct EditorPainting : public testing::Test
    {
        void SetUp() override { editor = std::make_unique<Editor> (processor); }

        std::vector<DrawCall> paintFace()
        {
            Recorder recorder (editor->getLocalBounds());

            {
                juce::Graphics g (recorder);
                editor->paint (g);
            }

            return recorder.getCalls();
        }

        void show (const TunerReading& reading) { Editor::TestAccess (*editor).setCurrentReading (reading); }

        const juce::Drawable* drawable() { return Editor::TestAccess (*editor).logoDrawable(); }

        DravelTunerAudioProcessor processor;
        std::unique_ptr<Editor> editor;
    };

    //==============================================================================
    struct LitCase
    {
        float cents;
        std::set<int> litBars;
        int pointerBar;
        juce::uint32 pointerArgb;
    };

    std::ostream& operator<< (std::ostream& o, const LitCase& c) { return o << c.cents << " cents"; }

    struct LitBars : public EditorPainting,
                     public testing::WithParamInterface<LitCase>
    {
    };
}

//==============================================================================
TEST_F (EditorPainting, DrawsTheWholeFaceUnlitWithoutAReading)
{
    show (TunerReading {});
    expectFace (paintFace(), expectedFace (760.0f, 312.0f, std::nullopt, true), drawable());
}

TEST_F (EditorPainting, DrawsAnUnlitBarDimWithAFaintRim)
{
    show (TunerReading {});
    const auto calls = paintFace();

    // Bar 0 is the first bar: ground, frame, four screws of two calls, panel of two and display of two come first.
    ASSERT_GT (calls.size(), 15u);
    EXPECT_EQ (hex (calls[14].getColour().getARGB()), "3de54236"); // red at alpha 0.24
    EXPECT_EQ (hex (calls[15].getColour().getARGB()), "0effffff"); // white at alpha 0.055
}

TEST_P (LitBars, LightsTheBarsNearestTheDeviationAndPointsAtTheLitOne)
{
    const auto& c = GetParam();
    show (validReading (c.cents));
    const auto calls = paintFace();

    expectFace (calls, expectedFace (760.0f, 312.0f, Reading { c.litBars, c.pointerBar, c.pointerArgb }, true), drawable());

    // The pointer points down at the lit bar's centre.
    auto pointer = std::find_if (calls.begin(), calls.end(), [] (const DrawCall& call) {
        return call.kind == Kind::fillPath && call.bounds.getY() == 87.0f && call.bounds.getHeight() == 8.0f;
    });

    ASSERT_NE (pointer, calls.end());
    const auto px = pointerX (c.pointerBar);
    const auto vertices = pathVertices (pointer->path);
    ASSERT_EQ (vertices.size(), 3u);
    EXPECT_EQ (vertices[0], juce::Point<float> (px, 95.0f));
    EXPECT_EQ (vertices[1], juce::Point<float> (px - 6.0f, 87.0f));
    EXPECT_EQ (vertices[2], juce::Point<float> (px + 6.0f, 87.0f));
}

INSTANTIATE_TEST_SUITE_P (Deviations, LitBars, testing::Values (
    LitCase { 0.0f,   { 24, 25, 26 }, 25, green },
    LitCase { 1.0f,   { 24, 25, 26 }, 26, green },
    LitCase { -1.0f,  { 24, 25, 26 }, 24, green },
    LitCase { 3.0f,   { 24, 25, 26 }, 26, green },
    LitCase { 3.01f,  { 27 },         27, green },
    LitCase { -3.0f,  { 24, 25, 26 }, 24, green },
    LitCase { -3.01f, { 23 },         23, green },
    LitCase { 4.5f,   { 27 },         27, yellowGreen },
    LitCase { 5.0f,   { 28 },         28, yellowGreen },
    LitCase { 7.0f,   { 28 },         28, yellowGreen },
    LitCase { -5.0f,  { 22 },         22, yellowGreen },
    LitCase { 12.3f,  { 31 },         31, yellowGreen },
    LitCase { -20.0f, { 15 },         15, amber },
    LitCase { 36.0f,  { 43 },         43, orange },
    LitCase { 49.0f,  { 50 },         50, red },
    LitCase { -49.0f, { 0 },          0,  red },
    LitCase { 50.0f,  { 50 },         50, red },
    LitCase { 75.0f,  { 50 },         50, red },
    LitCase { -75.0f, { 0 },          0,  red }));

TEST (EditorPaintingGeometry, PutsThePointerOverTheBarCentres)
{
    EXPECT_NEAR (pointerX (0), 53.04f, 0.005f);
    EXPECT_NEAR (pointerX (25), 380.0f, 0.0001f);
    EXPECT_NEAR (pointerX (26), 393.08f, 0.005f);
    EXPECT_NEAR (pointerX (50), 706.96f, 0.005f);
    EXPECT_NEAR (barRect (50).getRight(), 712.0f, 0.0001f);
}

TEST_F (EditorPainting, GivesEveryBarTheColourOfItsOwnCentsWhateverTheReading)
{
    for (auto cents : { -75.0f, 0.0f, 75.0f })
    {
        SCOPED_TRACE (cents);
        show (validReading (cents));
        const auto calls = paintFace();

        for (int bar : { 0, 25, 50 })
        {
            auto body = std::find_if (calls.begin(), calls.end(), [bar] (const DrawCall& call) {
                return call.kind == Kind::fillPath && call.bounds.getPosition().getDistanceFrom (barRect (bar).getPosition()) < tolerance
                    && std::abs (call.bounds.getWidth() - barRect (bar).getWidth()) < tolerance;
            });

            ASSERT_NE (body, calls.end());
            EXPECT_EQ (hex (body->getColour().withAlpha ((juce::uint8) 255).getARGB()), hex (bar == 25 ? green : red));
        }
    }
}

TEST_F (EditorPainting, LeavesOutTheWordmarkAndItsBoxWhenTheDocumentDidNotParse)
{
    const juce::String notAnImage ("MORVEK LABS");
    editor = Editor::TestAccess::createWithWordmark (processor, notAnImage.toRawUTF8(), notAnImage.getNumBytesAsUTF8());
    ASSERT_EQ (drawable(), nullptr);

    show (validReading (0.0f));
    expectFace (paintFace(), expectedFace (760.0f, 312.0f, Reading { { 24, 25, 26 }, 25, green }, false));
}

TEST_F (EditorPainting, MovesOnlyTheFrameScrewsAndWordmarkWithTheEdges)
{
    for (auto size : { juce::Point<int> (800, 312), juce::Point<int> (800, 360), juce::Point<int> (700, 300) })
    {
        SCOPED_TRACE (size.toString());
        editor->setSize (size.x, size.y);
        show (validReading (-5.0f));

        expectFace (paintFace(), expectedFace ((float) size.x, (float) size.y, Reading { { 22 }, 22, yellowGreen }, true),
                    drawable());
    }
}
