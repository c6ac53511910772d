#include "editor/DravelTunerAudioProcessorEditor.h"
#include "engine/ParameterIDs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace
{
    constexpr float startingReference = 436.5f;

    float referenceA (DravelTunerAudioProcessor& p)
    {
        return p.getValueTreeState().getRawParameterValue (ParameterIDs::referenceA)->load();
    }

    juce::RangedAudioParameter& referenceParameter (DravelTunerAudioProcessor& p)
    {
        return *p.getValueTreeState().getParameter (ParameterIDs::referenceA);
    }

    /** The editor with "referenceA" away from both its default and its ends, so that a value
        left alone, reset or clamped can each be told apart. */
    struct ReferenceTyping : public testing::Test
    {
        void SetUp() override
        {
            auto& parameter = referenceParameter (processor);
            parameter.setValueNotifyingHost (parameter.convertTo0to1 (startingReference));

            knob = dynamic_cast<juce::Slider*> (editor->findChildWithID ("reference-a-slider"));
            ASSERT_NE (knob, nullptr);

            for (auto* child : knob->getChildren())
                if (auto* label = dynamic_cast<juce::Label*> (child))
                    valueBox = label;

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

        DravelTunerAudioProcessor processor;
        std::unique_ptr<juce::AudioProcessorEditor> editor { processor.createEditor() };
        juce::Slider* knob = nullptr;
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

//==============================================================================
TEST_F (ReferenceTyping, EveryTextEndsOnTheGridWithinTheRangeAndTheBoxShowsIt)
{
    const auto& range = referenceParameter (processor).getNormalisableRange();

    for (const auto& typed : typedTexts)
    {
        SCOPED_TRACE (typed.text);
        auto& parameter = referenceParameter (processor);
        parameter.setValueNotifyingHost (parameter.convertTo0to1 (startingReference));

        type (typed.text);

        const auto reference = referenceA (processor);
        EXPECT_NEAR (reference, typed.resultingReference, 1.0e-4f);
        EXPECT_TRUE (std::isfinite (reference));
        EXPECT_GE (reference, 430.0f);
        EXPECT_LE (reference, 450.0f);
        EXPECT_EQ (reference, range.snapToLegalValue (reference));

        EXPECT_TRUE (std::isfinite (knob->getValue()));
        EXPECT_NEAR (knob->getValue(), (double) reference, 1.0e-4);
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
    EXPECT_EQ (referenceA (restored), referenceA (processor));
    EXPECT_NEAR (referenceA (restored), startingReference, 1.0e-4f);
}
