#include "RecordingGraphicsContext.h"

#include <cmath>

namespace TestSupport
{

//==============================================================================
juce::Colour RecordingGraphicsContext::Call::getColour() const noexcept
{
    return fill.isColour() ? fill.colour : juce::Colours::transparentBlack;
}

juce::ColourGradient RecordingGraphicsContext::Call::getGradient() const
{
    jassert (fill.isGradient());

    auto gradient = *fill.gradient;
    gradient.point1 = gradient.point1.transformedBy (fill.transform);
    gradient.point2 = gradient.point2.transformedBy (fill.transform);
    return gradient;
}

//==============================================================================
RecordingGraphicsContext::RecordingGraphicsContext (juce::Rectangle<int> deviceBounds)
{
    state.clip = deviceBounds.toFloat();
}

RecordingGraphicsContext::~RecordingGraphicsContext() = default;

std::vector<RecordingGraphicsContext::Call> RecordingGraphicsContext::getCalls (Kind kind) const
{
    std::vector<Call> result;

    for (auto& call : calls)
        if (call.kind == kind)
            result.push_back (call);

    return result;
}

std::vector<RecordingGraphicsContext::GlyphRun> RecordingGraphicsContext::getGlyphRuns() const
{
    std::vector<GlyphRun> runs;
    bool previousWasGlyph = false;

    for (size_t i = 0; i < calls.size(); ++i)
    {
        auto& call = calls[i];

        if (call.kind != Kind::drawGlyph)
        {
            previousWasGlyph = false;
            continue;
        }

        const auto origin = call.bounds.getPosition();

        if (! previousWasGlyph || runs.back().font != call.font || runs.back().fill != call.fill)
            runs.push_back ({ call.font, call.fill, {}, juce::Rectangle<float> (origin, origin), i });

        // Origins are points, which a rectangle union would ignore.
        auto& run = runs.back();
        run.glyphNumbers.add (call.glyphNumber);
        run.origins = juce::Rectangle<float>::leftTopRightBottom (juce::jmin (run.origins.getX(), origin.x),
                                                                  juce::jmin (run.origins.getY(), origin.y),
                                                                  juce::jmax (run.origins.getRight(), origin.x),
                                                                  juce::jmax (run.origins.getBottom(), origin.y));
        previousWasGlyph = true;
    }

    return runs;
}

juce::Array<int> RecordingGraphicsContext::glyphNumbersFor (const juce::Font& font, const juce::String& text)
{
    // One glyph per character, whitespace not drawn, as GlyphArrangement lays out a line.
    juce::Array<int> allGlyphs, glyphs;
    juce::Array<float> offsets;
    font.getGlyphPositions (text, allGlyphs, offsets);

    auto character = text.getCharPointer();

    for (auto glyph : allGlyphs)
    {
        if (! character.isWhitespace())
            glyphs.add (glyph);

        ++character;
    }

    return glyphs;
}

bool RecordingGraphicsContext::drewText (const juce::String& text) const
{
    for (auto& run : getGlyphRuns())
    {
        const auto wanted = glyphNumbersFor (run.font, text);

        if (wanted.isEmpty() || wanted.size() > run.glyphNumbers.size())
            continue;

        for (int start = 0; start + wanted.size() <= run.glyphNumbers.size(); ++start)
        {
            bool matches = true;

            for (int i = 0; i < wanted.size() && matches; ++i)
                matches = run.glyphNumbers.getUnchecked (start + i) == wanted.getUnchecked (i);

            if (matches)
                return true;
        }
    }

    return false;
}

//==============================================================================
void RecordingGraphicsContext::setOrigin (juce::Point<int> origin)
{
    state.transform = juce::AffineTransform::translation (origin.toFloat()).followedBy (state.transform);
}

void RecordingGraphicsContext::addTransform (const juce::AffineTransform& t)
{
    state.transform = t.followedBy (state.transform);
}

float RecordingGraphicsContext::getPhysicalPixelScaleFactor()
{
    return std::sqrt (std::abs (state.transform.getDeterminant()));
}

// The clip is kept as a bounding box: exclusions and non-rectangular clips only narrow it
// as far as a box can.
bool RecordingGraphicsContext::clipToRectangle (const juce::Rectangle<int>& r)
{
    state.clip = state.clip.getIntersection (r.toFloat().transformedBy (state.transform));
    return ! isClipEmpty();
}

bool RecordingGraphicsContext::clipToRectangleList (const juce::RectangleList<int>& list)
{
    return clipToRectangle (list.getBounds());
}

void RecordingGraphicsContext::excludeClipRectangle (const juce::Rectangle<int>&)
{
}

void RecordingGraphicsContext::clipToPath (const juce::Path& path, const juce::AffineTransform& t)
{
    state.clip = state.clip.getIntersection (path.getBoundsTransformed (t.followedBy (state.transform)));
}

void RecordingGraphicsContext::clipToImageAlpha (const juce::Image& image, const juce::AffineTransform& t)
{
    state.clip = state.clip.getIntersection (image.getBounds().toFloat().transformedBy (t.followedBy (state.transform)));
}

bool RecordingGraphicsContext::clipRegionIntersects (const juce::Rectangle<int>& r)
{
    return state.clip.intersects (r.toFloat().transformedBy (state.transform));
}

juce::Rectangle<int> RecordingGraphicsContext::getClipBounds() const
{
    return state.clip.transformedBy (state.transform.inverted()).getSmallestIntegerContainer();
}

bool RecordingGraphicsContext::isClipEmpty() const
{
    return state.clip.isEmpty();
}

//==============================================================================
void RecordingGraphicsContext::saveState()
{
    savedStates.push_back (state);
}

void RecordingGraphicsContext::restoreState()
{
    jassert (! savedStates.empty());

    if (savedStates.empty())
        return;

    state = savedStates.back();
    savedStates.pop_back();
}

void RecordingGraphicsContext::beginTransparencyLayer (float opacity)
{
    saveState();
    state.layerOpacity *= opacity;
}

void RecordingGraphicsContext::endTransparencyLayer()
{
    restoreState();
}

void RecordingGraphicsContext::setFill (const juce::FillType& newFill)
{
    state.fill = newFill;
}

// As JUCE's own renderer does: the opacity lives in the fill's colour alpha.
void RecordingGraphicsContext::setOpacity (float opacity)
{
    state.fill.setOpacity (opacity);
}

//==============================================================================
RecordingGraphicsContext::Call RecordingGraphicsContext::makeCall (Kind kind) const
{
    Call call;
    call.kind = kind;
    call.fill = state.fill.transformed (state.transform);
    call.layerOpacity = state.layerOpacity;
    call.clip = state.clip;
    call.transform = state.transform;
    return call;
}

void RecordingGraphicsContext::addShape (Kind kind, juce::Path deviceShape)
{
    auto call = makeCall (kind);
    call.bounds = deviceShape.getBounds();
    call.path = std::move (deviceShape);
    calls.push_back (std::move (call));
}

void RecordingGraphicsContext::fillRect (const juce::Rectangle<int>& r, bool)
{
    fillRect (r.toFloat());
}

void RecordingGraphicsContext::fillRect (const juce::Rectangle<float>& r)
{
    juce::Path shape;
    shape.addRectangle (r);
    shape.applyTransform (state.transform);
    addShape (Kind::fillRect, std::move (shape));
}

void RecordingGraphicsContext::fillRectList (const juce::RectangleList<float>& list)
{
    for (auto& r : list)
        fillRect (r);
}

void RecordingGraphicsContext::fillPath (const juce::Path& path, const juce::AffineTransform& t)
{
    auto shape = path;
    shape.applyTransform (t.followedBy (state.transform));
    addShape (Kind::fillPath, std::move (shape));
}

void RecordingGraphicsContext::drawImage (const juce::Image& image, const juce::AffineTransform& t)
{
    const auto imageTransform = t.followedBy (state.transform);

    juce::Path shape;
    shape.addRectangle (image.getBounds().toFloat());
    shape.applyTransform (imageTransform);

    auto call = makeCall (Kind::drawImage);
    call.transform = imageTransform;
    call.image = image;
    call.bounds = shape.getBounds();
    call.path = std::move (shape);
    calls.push_back (std::move (call));
}

void RecordingGraphicsContext::drawLine (const juce::Line<float>& line)
{
    juce::Path shape;
    shape.startNewSubPath (line.getStart());
    shape.lineTo (line.getEnd());
    shape.applyTransform (state.transform);
    addShape (Kind::drawLine, std::move (shape));
}

//==============================================================================
void RecordingGraphicsContext::setFont (const juce::Font& newFont)
{
    state.font = newFont;
}

const juce::Font& RecordingGraphicsContext::getFont()
{
    return state.font;
}

void RecordingGraphicsContext::drawGlyph (int glyphNumber, const juce::AffineTransform& t)
{
    auto call = makeCall (Kind::drawGlyph);
    call.transform = t.followedBy (state.transform);
    call.font = state.font;
    call.glyphNumber = glyphNumber;
    call.bounds = juce::Rectangle<float> (call.transform.getTranslationX(), call.transform.getTranslationY(), 0.0f, 0.0f);
    calls.push_back (std::move (call));
}

} // namespace TestSupport
