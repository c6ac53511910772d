#include "controls/KnobDrawing.h"
#include "support/EditorTestAccess.h"
#include "support/GeometryAssertions.h"
#include "support/MessagePump.h"
#include "support/ProcessorTestAccess.h"

#include "engine/ParameterIDs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace
{
    using Editor = DravelTunerAudioProcessorEditor;

    juce::Label* findLabel (juce::Component& parent, const juce::String& id)
    {
        return dynamic_cast<juce::Label*> (parent.findChildWithID (id));
    }

    juce::MouseEvent mouseEventOn (juce::Component& component, juce::ModifierKeys mods, int numberOfClicks)
    {
        const auto centre = component.getLocalBounds().getCentre().toFloat();
        const auto now = juce::Time::getCurrentTime();

        return { juce::Desktop::getInstance().getMainMouseSource(), centre, mods,
                 juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f,
                 &component, &component, now, centre, now, numberOfClicks, false };
    }

    struct EditorWindow : public testing::Test
    {
        void makeEditor() { editor = std::make_unique<Editor> (processor); }

        juce::Label& label (const juce::String& id)
        {
            auto* found = findLabel (*editor, id);

            if (found == nullptr)
            {
                ADD_FAILURE() << "no label with ID " << id;
                return fallbackLabel;
            }

            return *found;
        }

        juce::Slider& knob()
        {
            auto* found = dynamic_cast<juce::Slider*> (editor->findChildWithID ("reference-a-slider"));

            if (found == nullptr)
            {
                ADD_FAILURE() << "no knob";
                return fallbackSlider;
            }

            return *found;
        }

        float referenceA()
        {
            return processor.getValueTreeState().getRawParameterValue (ParameterIDs::referenceA)->load();
        }

        void setReferenceA (float hz)
        {
            auto* parameter = processor.getValueTreeState().getParameter (ParameterIDs::referenceA);
            parameter->setValueNotifyingHost (parameter->convertTo0to1 (hz));
        }

        juce::Label fallbackLabel;
        juce::Slider fallbackSlider;

        DravelTunerAudioProcessor processor;
        DravelTunerAudioProcessor::TestAccess engine { processor };
        std::unique_ptr<Editor> editor; // after the processor: it goes first
    };

    //==============================================================================
    struct LabelStyle
    {
        const char* id;
        int childIndex;
        const char* text;
        float fontHeight;
        juce::uint32 argb;
        int justification;
        juce::Rectangle<int> bounds;
    };

    // Alpha bytes: 0.7 -> 178 (0xb2), 0.72 -> 184 (0xb8), 0.8 -> 204 (0xcc), 0.82 -> 209 (0xd1).
    // clang-format off
    const LabelStyle labelStyles[] = {
        { "title-label",     0, "DRAVEL TUNER", 21.0f, 0xffb87333, 36, { 205,  24, 350, 28 } },
        { "",                1, "CHROMATIC",     9.5f, 0xb2b87333, 36, { 300,  49, 160, 15 } },
        { "note-label",      2, "--",           40.0f, 0xfff1e6dc, 36, {  69,  24, 108, 48 } },
        { "frequency-label", 3, "",             13.0f, 0xb8f1e6dc, 33, {  52, 237, 178, 18 } },
        { "cents-label",     4, "",             14.0f, 0xccf1e6dc, 34, { 530, 237, 178, 18 } },
        { "status-label",    5, "LISTENING",    13.0f, 0xd1b87333, 36, { 296, 236, 168, 20 } },
        { "reference-label", 6, "REFERENCE A",   9.5f, 0xb2f1e6dc, 34, { 568,  28,  78, 18 } },
    };
    // clang-format on

    const juce::Rectangle<int> knobBounds { 647, 24, 68, 52 };

    void expectChildrenLaidOut (Editor& editor)
    {
        ASSERT_EQ (editor.getNumChildComponents(), 8);

        for (const auto& style : labelStyles)
        {
            SCOPED_TRACE (style.text);
            EXPECT_EQ (editor.getChildComponent (style.childIndex)->getBounds(), style.bounds);
        }

        EXPECT_EQ (editor.getChildComponent (7)->getBounds(), knobBounds);
    }
}

//==============================================================================
TEST_F (EditorWindow, IsAnOpaqueFixedFaceOf760By312)
{
    makeEditor();

    EXPECT_EQ (editor->getWidth(), 760);
    EXPECT_EQ (editor->getHeight(), 312);
    EXPECT_TRUE (editor->isOpaque());
    EXPECT_FALSE (editor->isResizable());
}

TEST_F (EditorWindow, StylesEachLabelWithItsTextFontColourJustificationAndID)
{
    makeEditor();
    ASSERT_EQ (editor->getNumChildComponents(), 8);

    for (const auto& style : labelStyles)
    {
        SCOPED_TRACE (style.text);

        auto* l = dynamic_cast<juce::Label*> (editor->getChildComponent (style.childIndex));
        ASSERT_NE (l, nullptr);

        EXPECT_EQ (l->getComponentID(), juce::String (style.id));
        EXPECT_EQ (l->getText(), juce::String (style.text));
        EXPECT_EQ (l->getFont().getHeight(), style.fontHeight);
        EXPECT_EQ (l->getFont().getStyleFlags(), (int) juce::Font::plain);
        EXPECT_EQ (l->getFont().getTypefaceName(), juce::Font::getDefaultSansSerifFontName());
        EXPECT_EQ (l->findColour (juce::Label::textColourId).getARGB(), style.argb);
        EXPECT_EQ (l->getJustificationType().getFlags(), style.justification);
        EXPECT_TRUE (l->isVisible());
    }
}

TEST_F (EditorWindow, FindsTheSixLabelsAndTheKnobByTheirIDsInZOrder)
{
    makeEditor();

    const char* ids[] = { "title-label", "note-label", "frequency-label", "cents-label",
                          "status-label", "reference-label" };

    for (auto* id : ids)
        EXPECT_NE (findLabel (*editor, id), nullptr) << id;

    EXPECT_EQ (editor->getChildComponent (1)->getComponentID(), juce::String());
    EXPECT_EQ (editor->getChildComponent (7)->getComponentID(), juce::String ("reference-a-slider"));
    EXPECT_EQ (editor->getIndexOfChildComponent (&knob()), 7); // the knob lies on top
}

TEST_F (EditorWindow, LaysOutTheChildrenAtFixedBoundsWhateverItsOwnSize)
{
    makeEditor();
    expectChildrenLaidOut (*editor);

    for (auto size : { juce::Point<int> (800, 312), juce::Point<int> (300, 100), juce::Point<int> (1200, 700) })
    {
        SCOPED_TRACE (size.toString());
        editor->setSize (size.x, size.y);
        expectChildrenLaidOut (*editor);

        editor->resized();
        expectChildrenLaidOut (*editor);
    }
}

TEST_F (EditorWindow, LetsClicksOnEveryLabelThroughToTheWindow)
{
    makeEditor();
    editor->setVisible (true);

    for (const auto& style : labelStyles)
    {
        SCOPED_TRACE (style.text);
        auto* l = editor->getChildComponent (style.childIndex);

        bool onItself = true, onChildren = true;
        l->getInterceptsMouseClicks (onItself, onChildren);
        EXPECT_FALSE (onItself);
        EXPECT_FALSE (onChildren);

        EXPECT_EQ (editor->getComponentAt (style.bounds.getCentre()), editor.get());
    }

    // The knob does take its clicks.
    EXPECT_EQ (editor->getComponentAt (knobBounds.getCentre()), &knob());
}

TEST_F (EditorWindow, BindsTheKnobToReferenceA)
{
    makeEditor();
    auto& k = knob();

    EXPECT_EQ (k.getName(), juce::String ("Reference A frequency"));
    EXPECT_EQ (k.getMinimum(), 430.0);
    EXPECT_EQ (k.getMaximum(), 450.0);
    EXPECT_NEAR (k.getInterval(), 0.1, 1.0e-6);
    EXPECT_DOUBLE_EQ (k.getValue(), 440.0);
    EXPECT_TRUE (k.isDoubleClickReturnEnabled());
    EXPECT_EQ (k.getDoubleClickReturnValue(), 440.0);

    setReferenceA (436.5f);
    EXPECT_NEAR (k.getValue(), 436.5, 1.0e-4);

    k.setValue (447.2, juce::sendNotificationSync);
    EXPECT_NEAR (referenceA(), 447.2f, 1.0e-4f);
}

TEST_F (EditorWindow, BuildsTheKnobInTheAccentWithDiameter32CentredInItsArea)
{
    makeEditor();
    const auto drawing = KnobTesting::parseKnobDrawing (KnobTesting::recordComponent (knob()));
    ASSERT_TRUE (drawing.has_value());

    // 68 x 52 less the 20-pixel value box leaves a 32-pixel-high area: a 32-pixel body centred
    // at half its height fills it exactly.
    EXPECT_TRUE (TestSupport::isNear (drawing->body.bounds, { 18.0f, 0.0f, 32.0f, 32.0f }, 1.0e-4f));
    EXPECT_TRUE (TestSupport::isNear (drawing->getCentre(), { 34.0f, 16.0f }, 1.0e-4f));

    // At 440, the middle of the range, 12 of the 25 dots shine in the accent, the rest dimmed.
    const juce::Colour accent { 0xffb87333 };
    ASSERT_EQ (drawing->leds.size(), 25u);
    EXPECT_EQ (drawing->getNumLit(), 12);

    for (size_t i = 0; i < drawing->leds.size(); ++i)
    {
        const auto expected = i < 12 ? accent : accent.withAlpha ((juce::uint8) 71);
        EXPECT_EQ (drawing->leds[i].getDot().getColour().getARGB(), expected.getARGB()) << "dot " << i;
    }

    EXPECT_EQ (drawing->bodyRim.getColour().getARGB(), accent.withAlpha ((juce::uint8) 76).getARGB());
}

TEST_F (EditorWindow, DoubleClickOnTheKnobSetsReferenceABackTo440)
{
    makeEditor();
    setReferenceA (432.0f);
    ASSERT_NEAR (referenceA(), 432.0f, 1.0e-4f);

    knob().mouseDoubleClick (mouseEventOn (knob(), juce::ModifierKeys::leftButtonModifier, 2));

    EXPECT_EQ (referenceA(), 440.0f);
    EXPECT_EQ (knob().getValue(), 440.0);
}

TEST_F (EditorWindow, AltClickOnTheKnobSetsReferenceABackTo440)
{
    makeEditor();
    setReferenceA (448.3f);
    ASSERT_NEAR (referenceA(), 448.3f, 1.0e-4f);

    const juce::ModifierKeys altClick (juce::ModifierKeys::altModifier | juce::ModifierKeys::leftButtonModifier);
    knob().mouseDown (mouseEventOn (knob(), altClick, 1));
    knob().mouseUp (mouseEventOn (knob(), juce::ModifierKeys::altModifier, 1));

    EXPECT_EQ (referenceA(), 440.0f);
}

TEST_F (EditorWindow, PlainClickOnTheKnobLeavesReferenceAAlone)
{
    makeEditor();
    setReferenceA (448.3f);

    knob().mouseDown (mouseEventOn (knob(), juce::ModifierKeys::leftButtonModifier, 1));
    knob().mouseUp (mouseEventOn (knob(), {}, 1));

    EXPECT_NEAR (referenceA(), 448.3f, 1.0e-4f);
}

TEST_F (EditorWindow, ShowsAFetchedReadingBeforeTheFirstTick)
{
    engine.publish (440.0f, 0.9f);
    makeEditor();

    EXPECT_EQ (label ("note-label").getText(), juce::String ("A4"));
    EXPECT_EQ (label ("frequency-label").getText(), juce::String ("440.00 Hz"));
    EXPECT_EQ (label ("cents-label").getText(), juce::String ("0.0 cents"));
    EXPECT_EQ (label ("status-label").getText(), juce::String ("IN TUNE"));
    EXPECT_TRUE (Editor::TestAccess (*editor).currentReading().isValid);
}

TEST_F (EditorWindow, ShowsFindingPitchBeforeTheFirstTickWhenTheInputIsNotQuiet)
{
    engine.setInputLevel (0.01f);
    makeEditor();

    EXPECT_EQ (label ("note-label").getText(), juce::String ("--"));
    EXPECT_EQ (label ("status-label").getText(), juce::String ("FINDING PITCH"));
    EXPECT_EQ (label ("status-label").findColour (juce::Label::textColourId).getARGB(), 0xd1b87333u);
}

TEST_F (EditorWindow, RunsItsRefreshTimerEvery33Milliseconds)
{
    makeEditor();
    Editor::TestAccess access (*editor);

    EXPECT_TRUE (access.isTimerRunning());
    EXPECT_EQ (access.timerInterval(), 33);

    // The message loop's own timer brings a new reading onto the face.
    engine.publish (110.0f, 0.9f);
    EXPECT_TRUE (pumpMessagesUntil ([this] { return label ("note-label").getText() == "A2"; }, 2000));
}

TEST_F (EditorWindow, DeletingTheEditorWhileItsTimerRunsEndsTheRefreshes)
{
    makeEditor();
    engine.publish (220.0f, 0.9f);
    ASSERT_TRUE (pumpMessagesUntil ([this] { return label ("note-label").getText() == "A3"; }, 2000));
    ASSERT_TRUE (Editor::TestAccess (*editor).isTimerRunning());

    editor.reset();

    // A tick that still arrived would read the freed editor (the sanitizer builds catch it).
    pumpMessagesFor (150);

    // A new editor for the same processor starts from scratch.
    makeEditor();
    EXPECT_EQ (label ("note-label").getText(), juce::String ("A3"));
}

TEST_F (EditorWindow, ComesFromTheProcessorsCreateEditor)
{
    std::unique_ptr<juce::AudioProcessorEditor> created (processor.createEditor());

    auto* tunerEditor = dynamic_cast<Editor*> (created.get());
    ASSERT_NE (tunerEditor, nullptr);
    EXPECT_EQ (&tunerEditor->processor, &processor);
    EXPECT_NE (Editor::TestAccess (*tunerEditor).logoDrawable(), nullptr);
}

//==============================================================================
struct UnreadableWordmark : public EditorWindow,
                            public testing::WithParamInterface<const char*>
{
};

TEST_P (UnreadableWordmark, GivesAnEditorWithoutTheDrawableAndNothingElseLost)
{
    const juce::String document (GetParam());
    editor = Editor::TestAccess::createWithWordmark (processor, document.toRawUTF8(), document.getNumBytesAsUTF8());
    Editor::TestAccess access (*editor);

    EXPECT_EQ (access.logoDrawable(), nullptr);

    expectChildrenLaidOut (*editor);
    EXPECT_EQ (label ("title-label").getText(), juce::String ("DRAVEL TUNER"));
    EXPECT_EQ (label ("status-label").getText(), juce::String ("LISTENING"));
    EXPECT_TRUE (access.isTimerRunning());
    EXPECT_EQ (knob().getMinimum(), 430.0);

    knob().mouseDoubleClick (mouseEventOn (knob(), juce::ModifierKeys::leftButtonModifier, 2));
    EXPECT_EQ (referenceA(), 440.0f);

    engine.publish (440.0f, 0.9f);
    access.tick();
    EXPECT_EQ (label ("note-label").getText(), juce::String ("A4"));
}

INSTANTIATE_TEST_SUITE_P (Documents, UnreadableWordmark,
                          testing::Values ("",
                                           "MORVEK LABS",
                                           "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 -12 7607 724\"><g",
                                           "<html><body>MORVEK LABS</body></html>"));

TEST_F (EditorWindow, MakesTheWordmarkDrawableFromTheCompiledDocument)
{
    makeEditor();
    auto* drawable = Editor::TestAccess (*editor).logoDrawable();
    ASSERT_NE (drawable, nullptr);

    // The letters fill the document's width and stand within its view box.
    const auto bounds = drawable->getDrawableBounds();
    EXPECT_GT (bounds.getWidth(), 10.0f * bounds.getHeight());
    EXPECT_LT (bounds.getWidth(), 11.0f * bounds.getHeight());
}

//==============================================================================
namespace
{
    constexpr float startingReference = 436.5f;

    /** The editor with "referenceA" away from both its default and its ends, so that a value
        left alone, reset or clamped can each be told apart. */
    struct ReferenceTyping : public EditorWindow
    {
        void SetUp() override
        {
            makeEditor();
            setReferenceA (startingReference);

            valueBox = KnobTesting::findValueBox (knob());
            ASSERT_NE (valueBox, nullptr);
            ASSERT_EQ (valueBox->getText(), juce::String ("436.5 Hz"));
        }

        /** Opens the knob's value box, types the text over what it shows, key by key, and
            leaves the box, which takes the text as the return key does. The return key reaches
            the box only through the message loop, where a value that sets the slider spinning
            would hang the test instead of failing it. */
        void type (const juce::String& text)
        {
            valueBox->showEditor();
            auto* textEditor = valueBox->getCurrentTextEditor();
            ASSERT_NE (textEditor, nullptr);

            textEditor->selectAll();

            for (auto character : text)
                textEditor->keyPressed (juce::KeyPress ((int) character, {}, character));

            ASSERT_EQ (textEditor->getText(), text);

            valueBox->hideEditor (false);
            ASSERT_FALSE (valueBox->isBeingEdited());
        }

        juce::Label* valueBox = nullptr;
    };

    struct TypedText
    {
        const char* text;
        float resultingReference;
    };

    // clang-format off
    const TypedText typedTexts[] = {
        { "447.3",    447.3f },
        { "447.3 Hz", 447.3f },
        { "447.34",   447.3f },
        { "451",      450.0f },
        { "inf",      450.0f },
        { "400",      430.0f },
        { "-inf",     430.0f },
        // No number at the start reads as 0, below the range.
        { "Hz",       430.0f },
        { "A4",       430.0f },
        // Not a number: the reference stays where it was.
        { "nan",      startingReference },
        { "nan Hz",   startingReference },
        { "NaN",      startingReference },
        { "-nan",     startingReference },
    };
    // clang-format on
}

TEST_F (ReferenceTyping, EveryTextEndsOnTheGridWithinTheRangeAndTheBoxShowsIt)
{
    const auto& range = processor.getValueTreeState().getParameter (ParameterIDs::referenceA)->getNormalisableRange();

    for (const auto& typed : typedTexts)
    {
        SCOPED_TRACE (typed.text);
        setReferenceA (startingReference);

        type (typed.text);

        const auto reference = referenceA();
        EXPECT_NEAR (reference, typed.resultingReference, 1.0e-4f);
        EXPECT_TRUE (std::isfinite (reference));
        EXPECT_GE (reference, 430.0f);
        EXPECT_LE (reference, 450.0f);
        EXPECT_EQ (reference, range.snapToLegalValue (reference));

        EXPECT_TRUE (std::isfinite (knob().getValue()));
        EXPECT_NEAR (knob().getValue(), (double) reference, 1.0e-4);
        EXPECT_EQ (valueBox->getText(), juce::String (typed.resultingReference, 1) + " Hz");
    }
}

TEST_F (ReferenceTyping, AStateSavedAfterTypingNoNumberRestoresInANewProcessor)
{
    type ("nan");

    juce::MemoryBlock saved;
    processor.getStateInformation (saved);
    EXPECT_FALSE (saved.toString().containsIgnoreCase ("nan"));

    DravelTunerAudioProcessor restored;
    restored.setStateInformation (saved.getData(), (int) saved.getSize());
    const auto restoredReference = restored.getValueTreeState().getRawParameterValue (ParameterIDs::referenceA)->load();
    EXPECT_EQ (restoredReference, referenceA());
    EXPECT_NEAR (restoredReference, startingReference, 1.0e-4f);
}
