#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

namespace TestSupport
{

/** Each sub-path of a path as a path of its own, in path order. */
std::vector<juce::Path> splitSubPaths (const juce::Path&);

/** The bounds of each sub-path, control points included, in path order. */
std::vector<juce::Rectangle<float>> getSubPathBounds (const juce::Path&);

/** How far a path's points (control points included) reach along an axis. */
struct Extent
{
    float lowest = 0.0f;
    float highest = 0.0f;
};

/** The range of (point - origin) . direction over the path's points; direction should be
    a unit vector. */
Extent getExtentAlong (const juce::Path&, juce::Point<float> origin, juce::Point<float> direction);

/** The area enclosed by a path, each sub-path flattened and measured on its own (its
    winding ignored), summed. For a shape of one outline, its area in square pixels. */
float getEnclosedArea (const juce::Path&);

} // namespace TestSupport
