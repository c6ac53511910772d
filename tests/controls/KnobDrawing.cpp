#include "KnobDrawing.h"

namespace KnobTesting
{

    int KnobDrawing::getNumLit() const
    {
        int lit = 0;

        for (auto& led : leds)
            lit += led.isLit() ? 1 : 0;

        return lit;
    }

    std::optional<KnobDrawing> parseKnobDrawing (const std::vector<Call>& calls)
    {
        using Kind = TestSupport::RecordingGraphicsContext::Kind;
        constexpr float sameCentre = 1.0e-3f;

        if (calls.size() < 5)
            return {};

        for (size_t i = 0; i < 4; ++i)
            if (calls[i].kind != Kind::fillPath)
                return {};

        KnobDrawing drawing;
        drawing.body = calls[0];
        drawing.bodyRim = calls[1];
        drawing.cap = calls[2];
        drawing.capRim = calls[3];

        const auto knobCentre = drawing.getCentre();
        size_t next = 4;

        // The arrow is the first shape centred on the cap; every LED sits out on the ring.
        while (next < calls.size() && calls[next].bounds.getCentre().getDistanceFrom (knobCentre) > 0.5f)
        {
            LedDrawing led;
            const auto centre = calls[next].bounds.getCentre();

            while (next < calls.size() && calls[next].bounds.getCentre().getDistanceFrom (centre) < sameCentre)
                led.passes.push_back (calls[next++]);

            if (led.passes.size() != 1 && led.passes.size() != 3)
                return {};

            drawing.leds.push_back (std::move (led));
        }

        if (next == calls.size() || calls[next].kind != Kind::fillPath)
            return {};

        drawing.arrow = calls[next++];
        drawing.after.assign (calls.begin() + (std::ptrdiff_t) next, calls.end());
        return drawing;
    }

    std::vector<Call> recordRotarySlider (juce::LookAndFeel& lookAndFeel, juce::Rectangle<int> area, float position,
                                          float startAngle, float endAngle, bool enabled)
    {
        juce::Slider slider;
        slider.setEnabled (enabled);

        TestSupport::RecordingGraphicsContext context (area.expanded (100));
        juce::Graphics g (context);
        lookAndFeel.drawRotarySlider (g, area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                                      position, startAngle, endAngle, slider);
        return context.getCalls();
    }

    std::vector<Call> recordComponent (juce::Component& component)
    {
        TestSupport::RecordingGraphicsContext context (component.getLocalBounds());
        juce::Graphics g (context);
        component.paintEntireComponent (g, false);
        return context.getCalls();
    }

    juce::Label* findValueBox (juce::Slider& slider)
    {
        for (auto* child : slider.getChildren())
            if (auto* label = dynamic_cast<juce::Label*> (child))
                return label;

        return nullptr;
    }

} // namespace KnobTesting
