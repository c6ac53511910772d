#include "KnobDrawing.h"
#include "controls/MorvekLabsLedRingControl.h"

#include <gtest/gtest.h>

#include <memory>

using namespace KnobTesting;
using MorvekLabsControls::LedRingLookAndFeel;
using MorvekLabsControls::MorvekLabsLedRingControl;

namespace
{
    const juce::Colour accent { 0xffb87333 };

    MorvekLabsLedRingControl makeEditorKnob()
    {
        return MorvekLabsLedRingControl (accent, { 32.0f, 0.5f });
    }

    bool isLedRingLookAndFeel (juce::Component& component)
    {
        return dynamic_cast<LedRingLookAndFeel*> (&component.getLookAndFeel()) != nullptr;
    }

    juce::MouseEvent mouseEvent (juce::Component& component, juce::Point<float> position, juce::Point<float> downPosition,
                                 int clicks = 1, juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier,
                                 juce::Time time = juce::Time::getCurrentTime())
    {
        return { juce::Desktop::getInstance().getMainMouseSource(), position, mods,
                 juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f,
                 &component, &component, time, downPosition, time, clicks, position != downPosition };
    }
}

//==============================================================================
TEST (MorvekLabsLedRingControl, IsARotaryVerticalDragKnobWithAnEditableValueBoxBelow)
{
    auto knob = makeEditorKnob();

    EXPECT_EQ (knob.getSliderStyle(), juce::Slider::RotaryVerticalDrag);
    EXPECT_EQ (knob.getTextBoxPosition(), juce::Slider::TextBoxBelow);
    EXPECT_EQ (knob.getTextBoxWidth(), 80);
    EXPECT_EQ (knob.getTextBoxHeight(), 20);
    EXPECT_TRUE (knob.isTextBoxEditable());

    // Single-precision products of the single-precision pi; the double products would be
    // one step lower.
    const auto rotary = knob.getRotaryParameters();
    EXPECT_EQ (rotary.startAngleRadians, 3.9269910f);
    EXPECT_EQ (rotary.endAngleRadians, 8.6393805f);
    EXPECT_NE (rotary.startAngleRadians, (float) (1.25 * juce::MathConstants<double>::pi));
    EXPECT_TRUE (rotary.stopAtEnd);

    EXPECT_EQ (knob.getMouseDragSensitivity(), 180);
    EXPECT_FALSE (knob.getVelocityBasedMode());
    EXPECT_TRUE (knob.isScrollWheelEnabled());
}

TEST (MorvekLabsLedRingControl, ValueBoxHasLightTextAndNeitherFillNorFrame)
{
    auto knob = makeEditorKnob();

    EXPECT_EQ (knob.findColour (juce::Slider::textBoxTextColourId).getARGB(), 0xffe8e0d8u);
    EXPECT_EQ (knob.findColour (juce::Slider::textBoxBackgroundColourId).getARGB(), 0x00000000u);
    EXPECT_EQ (knob.findColour (juce::Slider::textBoxOutlineColourId).getARGB(), 0x00000000u);
    EXPECT_FALSE (knob.isColourSpecified (juce::Slider::textBoxHighlightColourId));

    // What the box actually paints: the value in the text colour, and nothing visible besides.
    knob.setBounds (0, 0, 68, 52);
    TestSupport::RecordingGraphicsContext context (knob.getLocalBounds());
    juce::Graphics g (context);
    knob.paintEntireComponent (g, false);

    const auto knobDrawing = parseKnobDrawing (context.getCalls());
    ASSERT_TRUE (knobDrawing.has_value());
    EXPECT_TRUE (context.drewText (knob.getTextFromValue (knob.getValue())));

    for (auto& call : knobDrawing->after)
    {
        if (call.kind == TestSupport::RecordingGraphicsContext::Kind::drawGlyph)
            EXPECT_EQ (call.getColour().getARGB(), 0xffe8e0d8u);
        else
            EXPECT_TRUE (call.fill.isInvisible()) << call.bounds.toString();
    }
}

TEST (MorvekLabsLedRingControl, CarriesItsMarkerPropertyAndNoIdentityOfItsOwn)
{
    auto knob = makeEditorKnob();

    ASSERT_TRUE (knob.getProperties().contains ("morvekLabsLedRing"));
    EXPECT_TRUE (knob.getProperties()["morvekLabsLedRing"].isBool());
    EXPECT_TRUE ((bool) knob.getProperties()["morvekLabsLedRing"]);
    EXPECT_TRUE (knob.getComponentID().isEmpty());
    EXPECT_TRUE (knob.getName().isEmpty());
    EXPECT_FALSE (knob.isDoubleClickReturnEnabled());
}

TEST (MorvekLabsLedRingControl, UntouchedKnobShowsTheSlidersDefaultValueOnItsRing)
{
    auto knob = makeEditorKnob();
    knob.setBounds (0, 0, 68, 52);

    EXPECT_EQ (knob.getMinimum(), 0.0);
    EXPECT_EQ (knob.getMaximum(), 10.0);
    EXPECT_EQ (knob.getValue(), 0.0);

    const auto drawing = parseKnobDrawing (recordComponent (knob));
    ASSERT_TRUE (drawing.has_value());
    EXPECT_EQ (drawing->leds.size(), 25u);
    EXPECT_EQ (drawing->getNumLit(), 0);
}

TEST (MorvekLabsLedRingControl, TwoKnobsDrawWithTheirOwnColourAndGeometryWhateverTheParentUses)
{
    juce::LookAndFeel_V2 parentLookAndFeel;
    juce::Component parent;
    parent.setLookAndFeel (&parentLookAndFeel);

    MorvekLabsLedRingControl small (accent, { 32.0f, 0.5f });
    MorvekLabsLedRingControl large (juce::Colour (0xff3399ff), { 0.0f, 0.25f });
    parent.addAndMakeVisible (small);
    parent.addAndMakeVisible (large);
    small.setBounds (0, 0, 68, 52);
    large.setBounds (0, 0, 100, 100);
    large.setValue (10.0);

    EXPECT_TRUE (isLedRingLookAndFeel (small));
    EXPECT_TRUE (isLedRingLookAndFeel (large));
    EXPECT_NE (&small.getLookAndFeel(), &large.getLookAndFeel());

    const auto smallDrawing = parseKnobDrawing (recordComponent (small));
    const auto largeDrawing = parseKnobDrawing (recordComponent (large));
    ASSERT_TRUE (smallDrawing.has_value());
    ASSERT_TRUE (largeDrawing.has_value());

    // The large knob's area is 100 x 80 above its value box: fitted diameter 72, centre a
    // quarter of the way down.
    EXPECT_EQ (smallDrawing->body.bounds, juce::Rectangle<float> (18.0f, 0.0f, 32.0f, 32.0f));
    EXPECT_EQ (largeDrawing->body.bounds, juce::Rectangle<float> (14.0f, -16.0f, 72.0f, 72.0f));
    ASSERT_EQ (smallDrawing->leds.size(), 25u);
    ASSERT_EQ (largeDrawing->leds.size(), 61u);
    EXPECT_EQ (smallDrawing->getNumLit(), 0);
    EXPECT_EQ (largeDrawing->getNumLit(), 61);

    EXPECT_EQ (smallDrawing->leds.front().getDot().getColour().getARGB(), accent.withAlpha ((juce::uint8) 71).getARGB());
    EXPECT_EQ (largeDrawing->leds.front().getDot().getColour().getARGB(), 0xff3399ffu);

    parent.removeAllChildren();
    parent.setLookAndFeel (nullptr);
}

TEST (MorvekLabsLedRingControl, DetachesItsLookAndFeelBeforeItGoes)
{
    // A child of the knob hears every change of look-and-feel it inherits.
    struct Probe : public juce::Component
    {
        void lookAndFeelChanged() override
        {
            sawLedRing = sawLedRing || dynamic_cast<LedRingLookAndFeel*> (&getLookAndFeel()) != nullptr;
            sawParents = sawParents || &getLookAndFeel() == parentsLookAndFeel;
        }

        juce::LookAndFeel* parentsLookAndFeel = nullptr;
        bool sawLedRing = false, sawParents = false;
    };

    juce::LookAndFeel_V4 parentLookAndFeel;
    juce::Component parent;
    parent.setLookAndFeel (&parentLookAndFeel);

    auto knob = std::make_unique<MorvekLabsLedRingControl> (accent, MorvekLabsControls::LedRingGeometry { 32.0f, 0.5f });
    parent.addAndMakeVisible (*knob);

    Probe probe;
    probe.parentsLookAndFeel = &parentLookAndFeel;
    knob->addChildComponent (probe);
    ASSERT_TRUE (isLedRingLookAndFeel (probe));
    probe.sawLedRing = probe.sawParents = false;

    knob.reset();

    // While the knob was still there, its children were moved over to the parent's look-and-feel.
    EXPECT_TRUE (probe.sawParents);
    EXPECT_FALSE (probe.sawLedRing);
    EXPECT_EQ (probe.getParentComponent(), nullptr);
    EXPECT_EQ (&probe.getLookAndFeel(), &juce::LookAndFeel::getDefaultLookAndFeel());
    EXPECT_EQ (parent.getNumChildComponents(), 0);

    parent.setLookAndFeel (nullptr);
}

//==============================================================================
// The knob as the editor sets it up: 430 to 450 Hz in steps of 0.1, at 440.
class MorvekLabsLedRingControlGestures : public testing::Test
{
protected:
    void SetUp() override
    {
        knob.setBounds (0, 0, 68, 52);
        knob.setRange (430.0, 450.0, 0.1);
        knob.setValue (440.0);
    }

    void drag (juce::Point<float> by)
    {
        const juce::Point<float> start { 34.0f, 16.0f };
        knob.mouseDown (mouseEvent (knob, start, start));
        knob.mouseDrag (mouseEvent (knob, start + by, start));
        knob.mouseUp (mouseEvent (knob, start + by, start));
    }

    MorvekLabsLedRingControl knob { accent, { 32.0f, 0.5f } };
};

TEST_F (MorvekLabsLedRingControlGestures, DraggingUpTurnsItUpAndAcross180PixelsTheWholeRange)
{
    drag ({ 0.0f, -45.0f });
    EXPECT_NEAR (knob.getValue(), 445.0, 1.0e-9);

    drag ({ 0.0f, 90.0f });
    EXPECT_NEAR (knob.getValue(), 435.0, 1.0e-9);

    drag ({ 0.0f, -500.0f });
    EXPECT_EQ (knob.getValue(), 450.0);
}

TEST_F (MorvekLabsLedRingControlGestures, DraggingSidewaysLeavesItAlone)
{
    drag ({ 60.0f, 0.0f });
    EXPECT_EQ (knob.getValue(), 440.0);
}

TEST_F (MorvekLabsLedRingControlGestures, MouseWheelTurnsItAndStopsAtTheEnds)
{
    juce::int64 milliseconds = 1000;
    const auto turnWheel = [this, &milliseconds] (float deltaY) {
        juce::MouseWheelDetails wheel {};
        wheel.deltaY = deltaY;
        knob.mouseWheelMove (mouseEvent (knob, { 34.0f, 16.0f }, { 34.0f, 16.0f }, 0, {}, juce::Time (milliseconds += 100)),
                             wheel);
    };

    // A wheel step of 0.1 turns the slider by 1.5 % of its range, here 0.3 Hz.
    turnWheel (0.1f);
    EXPECT_NEAR (knob.getValue(), 440.3, 1.0e-9);
    turnWheel (-0.1f);
    EXPECT_NEAR (knob.getValue(), 440.0, 1.0e-9);

    // The travel stops at the ends instead of wrapping round.
    knob.setValue (449.9);
    turnWheel (0.1f);
    EXPECT_EQ (knob.getValue(), 450.0);
    turnWheel (0.1f);
    EXPECT_EQ (knob.getValue(), 450.0);
}

TEST_F (MorvekLabsLedRingControlGestures, TypedValueInTheBoxSetsIt)
{
    auto* box = findValueBox (knob);
    ASSERT_NE (box, nullptr);
    EXPECT_TRUE (box->isEditableOnSingleClick());

    // What the box reports when the user finishes typing (the editor itself needs a window).
    box->setText ("447.3", juce::sendNotificationSync);
    EXPECT_NEAR (knob.getValue(), 447.3, 1.0e-9);

    box->setText ("447.34", juce::sendNotificationSync);
    EXPECT_NEAR (knob.getValue(), 447.3, 1.0e-9);
}

TEST_F (MorvekLabsLedRingControlGestures, TypedTextThatReadsAsNotANumberLeavesItWhereItIs)
{
    // An owner's own reading of the text, as a parameter attachment installs one.
    knob.valueFromTextFunction = [] (const juce::String& text) { return text.getDoubleValue(); };
    auto* box = findValueBox (knob);
    ASSERT_NE (box, nullptr);
    knob.setValue (436.5);

    box->setText ("nan", juce::sendNotificationSync);
    EXPECT_EQ (knob.getValue(), 436.5);
    EXPECT_EQ (box->getText(), knob.getTextFromValue (436.5));

    // The infinities are numbers beyond the range, and end at its ends.
    box->setText ("inf", juce::sendNotificationSync);
    EXPECT_EQ (knob.getValue(), 450.0);
    box->setText ("-inf", juce::sendNotificationSync);
    EXPECT_EQ (knob.getValue(), 430.0);
}

TEST_F (MorvekLabsLedRingControlGestures, DoubleClickReturnsToTheValueItsOwnerSets)
{
    knob.setValue (432.0);
    knob.mouseDoubleClick (mouseEvent (knob, { 34.0f, 16.0f }, { 34.0f, 16.0f }, 2));
    EXPECT_EQ (knob.getValue(), 432.0);

    knob.setDoubleClickReturnValue (true, 440.0);
    knob.mouseDoubleClick (mouseEvent (knob, { 34.0f, 16.0f }, { 34.0f, 16.0f }, 2));
    EXPECT_EQ (knob.getValue(), 440.0);
}
