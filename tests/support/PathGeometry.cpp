#include "PathGeometry.h"

#include <cmath>
#include <limits>

namespace TestSupport
{

std::vector<juce::Path> splitSubPaths (const juce::Path& path)
{
    using Type = juce::Path::Iterator::PathElementType;

    std::vector<juce::Path> subPaths;
    juce::Path::Iterator it (path);

    while (it.next())
    {
        if (it.elementType == Type::startNewSubPath || subPaths.empty())
            subPaths.emplace_back();

        auto& p = subPaths.back();

        switch (it.elementType)
        {
            case Type::startNewSubPath: p.startNewSubPath (it.x1, it.y1); break;
            case Type::lineTo: p.lineTo (it.x1, it.y1); break;
            case Type::quadraticTo: p.quadraticTo (it.x1, it.y1, it.x2, it.y2); break;
            case Type::cubicTo: p.cubicTo (it.x1, it.y1, it.x2, it.y2, it.x3, it.y3); break;
            case Type::closePath: p.closeSubPath(); break;
            default: break;
        }
    }

    return subPaths;
}

std::vector<juce::Rectangle<float>> getSubPathBounds (const juce::Path& path)
{
    std::vector<juce::Rectangle<float>> bounds;

    for (auto& subPath : splitSubPaths (path))
        bounds.push_back (subPath.getBounds());

    return bounds;
}

Extent getExtentAlong (const juce::Path& path, juce::Point<float> origin, juce::Point<float> direction)
{
    using Type = juce::Path::Iterator::PathElementType;

    Extent extent { std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest() };

    const auto include = [&] (float x, float y) {
        const auto along = (juce::Point<float> (x, y) - origin).getDotProduct (direction);
        extent.lowest = juce::jmin (extent.lowest, along);
        extent.highest = juce::jmax (extent.highest, along);
    };

    juce::Path::Iterator it (path);

    while (it.next())
    {
        if (it.elementType == Type::startNewSubPath || it.elementType == Type::lineTo)
            include (it.x1, it.y1);

        if (it.elementType == Type::quadraticTo || it.elementType == Type::cubicTo)
        {
            include (it.x1, it.y1);
            include (it.x2, it.y2);
        }

        if (it.elementType == Type::cubicTo)
            include (it.x3, it.y3);
    }

    return extent;
}

float getEnclosedArea (const juce::Path& path)
{
    double total = 0.0, subPathSum = 0.0;
    juce::PathFlatteningIterator it (path, {}, juce::Path::defaultToleranceForMeasurement / 100.0f);

    while (it.next())
    {
        subPathSum += (double) it.x1 * (double) it.y2 - (double) it.x2 * (double) it.y1;

        if (it.isLastInSubpath())
        {
            total += std::abs (subPathSum) / 2.0;
            subPathSum = 0.0;
        }
    }

    return (float) (total + std::abs (subPathSum) / 2.0);
}

} // namespace TestSupport
