#pragma once

#include <juce_graphics/juce_graphics.h>

#include <gtest/gtest.h>

#include <cmath>

namespace TestSupport
{

/** Each edge of actual within tolerance of expected, with both rectangles in the message. */
inline testing::AssertionResult isNear (juce::Rectangle<float> actual, juce::Rectangle<float> expected, float tolerance)
{
    if (std::abs (actual.getX() - expected.getX()) <= tolerance
        && std::abs (actual.getY() - expected.getY()) <= tolerance
        && std::abs (actual.getWidth() - expected.getWidth()) <= tolerance
        && std::abs (actual.getHeight() - expected.getHeight()) <= tolerance)
        return testing::AssertionSuccess();

    return testing::AssertionFailure() << "got (" << actual.toString() << "), expected ("
                                       << expected.toString() << ") within " << tolerance;
}

/** actual no further than tolerance from expected. */
inline testing::AssertionResult isNear (juce::Point<float> actual, juce::Point<float> expected, float tolerance)
{
    if (actual.getDistanceFrom (expected) <= tolerance)
        return testing::AssertionSuccess();

    return testing::AssertionFailure() << "got (" << actual.toString() << "), expected ("
                                       << expected.toString() << ") within " << tolerance;
}

} // namespace TestSupport
