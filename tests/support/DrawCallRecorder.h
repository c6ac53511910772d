#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

/** A graphics context that draws nothing and keeps a list of what it was asked to draw, in
    its own (device) coordinates, so that tests can check shapes, fills and texts exactly.
    Clipping is not modelled: everything counts as visible. */
class DrawCallRecorder  : public juce::LowLevelGraphicsContext
{
public:
    enum class Kind
    {
        rectangle,      // fillRect of either kind
        path,           // fillPath, which also carries every stroke, ellipse and thick line
        glyph,
        image,
        line            // hairline drawLine
    };

    struct DrawCall
    {
        Kind kind;
        juce::FillType fill;                // the fill in force, the context's opacity applied
        juce::Rectangle<float> bounds;      // device coordinates
        juce::Path path;                    // paths: the outline in device coordinates
        int glyphNumber = 0;
        float fontHeight = 0.0f;
        juce::AffineTransform placement;    // glyphs: where the glyph's origin went

        juce::uint32 argb() const           { return fill.colour.getARGB(); }
    };

    DrawCallRecorder()                      { states.emplace_back(); }

    std::vector<DrawCall> calls;

    //==============================================================================
    bool isVectorDevice() const override                        { return false; }

    void setOrigin (juce::Point<int> o) override
    {
        state().transform = juce::AffineTransform::translation ((float) o.x, (float) o.y).followedBy (state().transform);
    }

    void addTransform (const juce::AffineTransform& t) override { state().transform = t.followedBy (state().transform); }
    float getPhysicalPixelScaleFactor() override                { return 1.0f; }

    bool clipToRectangle (const juce::Rectangle<int>&) override             { return true; }
    bool clipToRectangleList (const juce::RectangleList<int>&) override     { return true; }
    void excludeClipRectangle (const juce::Rectangle<int>&) override        {}
    void clipToPath (const juce::Path&, const juce::AffineTransform&) override           {}
    void clipToImageAlpha (const juce::Image&, const juce::AffineTransform&) override    {}
    bool clipRegionIntersects (const juce::Rectangle<int>&) override        { return true; }
    juce::Rectangle<int> getClipBounds() const override                     { return { -100000, -100000, 200000, 200000 }; }
    bool isClipEmpty() const override                                       { return false; }

    void saveState() override                               { states.push_back (states.back()); }
    void restoreState() override                            { if (states.size() > 1) states.pop_back(); }
    void beginTransparencyLayer (float) override            { saveState(); }
    void endTransparencyLayer() override                    { restoreState(); }

    void setFill (const juce::FillType& f) override         { state().fill = f; }
    void setOpacity (float o) override                      { state().fill.setOpacity (o); }
    void setInterpolationQuality (juce::Graphics::ResamplingQuality) override {}

    void fillRect (const juce::Rectangle<int>& r, bool) override    { addRectangle (r.toFloat()); }
    void fillRect (const juce::Rectangle<float>& r) override        { addRectangle (r); }

    void fillRectList (const juce::RectangleList<float>& list) override
    {
        for (auto& r : list)
            addRectangle (r);
    }

    void fillPath (const juce::Path& p, const juce::AffineTransform& t) override
    {
        auto call = makeCall (Kind::path);
        call.path = p;
        call.path.applyTransform (t.followedBy (state().transform));
        call.bounds = call.path.getBounds();
        calls.push_back (std::move (call));
    }

    void drawImage (const juce::Image& image, const juce::AffineTransform& t) override
    {
        auto call = makeCall (Kind::image);
        call.bounds = image.getBounds().toFloat().transformedBy (t.followedBy (state().transform));
        calls.push_back (std::move (call));
    }

    void drawLine (const juce::Line<float>& l) override
    {
        auto call = makeCall (Kind::line);
        const auto& t = state().transform;
        call.bounds = juce::Rectangle<float> (l.getStart().transformedBy (t), l.getEnd().transformedBy (t));
        calls.push_back (std::move (call));
    }

    void setFont (const juce::Font& f) override             { state().font = f; }
    const juce::Font& getFont() override                    { return state().font; }

    void drawGlyph (int glyphNumber, const juce::AffineTransform& t) override
    {
        auto call = makeCall (Kind::glyph);
        call.glyphNumber = glyphNumber;
        call.fontHeight = state().font.getHeight();
        call.placement = t.followedBy (state().transform);
        call.bounds = { call.placement.getTranslationX(), call.placement.getTranslationY(), 0.0f, 0.0f };
        calls.push_back (std::move (call));
    }

private:
    struct State
    {
        juce::AffineTransform transform;
        juce::FillType fill;
        juce::Font font;
    };

    std::vector<State> states;

    State& state()                                          { return states.back(); }

    DrawCall makeCall (Kind kind)                           { return { kind, state().fill, {}, {}, 0, 0.0f, {} }; }

    void addRectangle (juce::Rectangle<float> r)
    {
        auto call = makeCall (Kind::rectangle);
        call.bounds = r.transformedBy (state().transform);
        calls.push_back (std::move (call));
    }
};
