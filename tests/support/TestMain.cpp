#include "TestProgramEnd.h"

#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

// Editor and knob tests need the message thread and fonts; nothing here needs a display.
int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    int status = 0;

    {
        juce::ScopedJuceInitialiser_GUI juceInitialiser;
        status = RUN_ALL_TESTS();
    }

    endTestProgram (status);
}
