#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

namespace TestSupport
{

/** A graphics context that draws nothing and remembers every drawing call, in device
    coordinates (the origin and transforms of the moment applied), with the fill in use.

    Graphics turns ellipses, strokes and thick lines into filled paths before they reach a
    context, so they arrive here as fillPath calls holding their outlines; rectangles,
    rectangle lists (one call per rectangle), images, hairlines and glyphs keep their kind.

        RecordingGraphicsContext context ({ 0, 0, 68, 52 });
        juce::Graphics g (context);
        component.paintEntireComponent (g, false);
        for (auto& call : context.getCalls()) ...
*/
class RecordingGraphicsContext final : public juce::LowLevelGraphicsContext
{
public:
    enum class Kind
    {
        fillRect, // fillRect, fillRectList and fillAll
        fillPath, // paths, ellipses, strokes and thick lines
        drawImage,
        drawLine, // hairlines given to the context as a line
        drawGlyph
    };

    struct Call
    {
        Kind kind = Kind::fillPath;

        /** The shape in device coordinates: the filled outline, the rectangle, the image's
            bounds or the line as one open sub-path; empty for a glyph. */
        juce::Path path;

        /** The shape's bounds in device coordinates (control points included); for a glyph,
            an empty rectangle at its origin. */
        juce::Rectangle<float> bounds;

        /** The fill at the call, with its transform into device coordinates. A colour fill
            carries the opacity in its alpha, as JUCE keeps it; for a gradient or image the
            opacity is fill.getOpacity(). */
        juce::FillType fill;

        /** Product of the opacities of the transparency layers the call is inside. */
        float layerOpacity = 1.0f;

        /** Bounding box of the clip region in device coordinates. */
        juce::Rectangle<float> clip;

        /** The user-to-device transform; for a glyph, the glyph's own transform followed by it. */
        juce::AffineTransform transform;

        juce::Font font;      // glyphs only
        int glyphNumber = -1; // glyphs only
        juce::Image image;    // images only

        bool isColour() const noexcept { return fill.isColour(); }
        bool isGradient() const noexcept { return fill.isGradient(); }

        /** The solid colour, opacity included (transparent black for other fills). */
        juce::Colour getColour() const noexcept;

        /** The gradient with its points in device coordinates (check isGradient() first). */
        juce::ColourGradient getGradient() const;
    };

    /** A run of glyphs drawn one after another with the same font and fill. */
    struct GlyphRun
    {
        juce::Font font;
        juce::FillType fill;
        juce::Array<int> glyphNumbers;
        juce::Rectangle<float> origins; // bounds of the glyphs' origins (baseline points)
        size_t firstCall = 0;           // index into getCalls()
    };

    explicit RecordingGraphicsContext (juce::Rectangle<int> deviceBounds);
    ~RecordingGraphicsContext() override;

    //==============================================================================
    const std::vector<Call>& getCalls() const noexcept { return calls; }
    void clearCalls() { calls.clear(); }

    /** Calls of one kind, in drawing order. */
    std::vector<Call> getCalls (Kind) const;

    std::vector<GlyphRun> getGlyphRuns() const;

    /** True when some glyph run draws the visible characters of text in the run's font. */
    bool drewText (const juce::String& text) const;

    /** The glyph numbers that drawing text in font puts through a context, whitespace left out. */
    static juce::Array<int> glyphNumbersFor (const juce::Font&, const juce::String& text);

    //==============================================================================
    bool isVectorDevice() const override { return false; }
    void setOrigin (juce::Point<int>) override;
    void addTransform (const juce::AffineTransform&) override;
    float getPhysicalPixelScaleFactor() override;

    bool clipToRectangle (const juce::Rectangle<int>&) override;
    bool clipToRectangleList (const juce::RectangleList<int>&) override;
    void excludeClipRectangle (const juce::Rectangle<int>&) override;
    void clipToPath (const juce::Path&, const juce::AffineTransform&) override;
    void clipToImageAlpha (const juce::Image&, const juce::AffineTransform&) override;
    bool clipRegionIntersects (const juce::Rectangle<int>&) override;
    juce::Rectangle<int> getClipBounds() const override;
    bool isClipEmpty() const override;

    void saveState() override;
    void restoreState() override;
    void beginTransparencyLayer (float opacity) override;
    void endTransparencyLayer() override;

    void setFill (const juce::FillType&) override;
    void setOpacity (float) override;
    void setInterpolationQuality (juce::Graphics::ResamplingQuality) override {}

    void fillRect (const juce::Rectangle<int>&, bool replaceExistingContents) override;
    void fillRect (const juce::Rectangle<float>&) override;
    void fillRectList (const juce::RectangleList<float>&) override;
    void fillPath (const juce::Path&, const juce::AffineTransform&) override;
    void drawImage (const juce::Image&, const juce::AffineTransform&) override;
    void drawLine (const juce::Line<float>&) override;

    void setFont (const juce::Font&) override;
    const juce::Font& getFont() override;
    void drawGlyph (int glyphNumber, const juce::AffineTransform&) override;

private:
    //==============================================================================
    struct State
    {
        juce::AffineTransform transform;
        juce::Rectangle<float> clip;
        juce::FillType fill { juce::Colours::black };
        juce::Font font;
        float layerOpacity = 1.0f;
    };

    Call makeCall (Kind) const;
    void addShape (Kind, juce::Path deviceShape);

    State state;
    std::vector<State> savedStates;
    std::vector<Call> calls;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RecordingGraphicsContext)
};

} // namespace TestSupport
