#include "DravelTunerAudioProcessor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string_view>

namespace
{
    const juce::Identifier schemaVersionProperty ("schemaVersion");
    constexpr int schemaVersion = 1;

    // Far more elements than any state of ours holds (three, and whatever a host adds), and
    // few enough that even all nested in one another they stay clear of a 1 MB stack.
    constexpr size_t maxElementsInText = 256;

    // The property names JUCE's parameter tree gives each parameter's node.
    const juce::Identifier parameterIdProperty ("id");
    const juce::Identifier parameterValueProperty ("value");

    /** True when the text after a "&#" is a complete reference to a Unicode character: up to
        six hex digits after an 'x' or up to seven decimal ones, then ';'. */
    bool isCharacterReference (std::string_view text)
    {
        const auto isHex = ! text.empty() && (text[0] == 'x' || text[0] == 'X');
        const auto base = isHex ? 16u : 10u;
        const auto maxDigits = isHex ? 6u : 7u;

        std::uint32_t value = 0;
        size_t digits = 0;

        for (auto c : text.substr (isHex ? 1 : 0))
        {
            if (c == ';')
                return digits > 0 && value <= 0x10ffff;

            const auto digit = juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) (unsigned char) c);

            if (digit < 0 || (std::uint32_t) digit >= base || ++digits > maxDigits)
                return false;

            value = value * base + (std::uint32_t) digit;
        }

        return false;
    }

    /** True when the block's text, as JUCE's block reader hands it to the XML parser, is
        something that parser mishandles. Our documents never hold either case:
        - text that is not UTF-8: the parser steps over the end of text that stops inside a
          broken sequence and reads on past the string;
        - a processing instruction after the start of the text: one inside an element followed
          by text sends the parser round the same spot for ever;
        - more element starts than maxElementsInText: the parser recurses once per level of
          nesting, and a deep enough document overflows the stack;
        - a character reference that is unfinished or names no Unicode character: on "&#x"
          without a closing ';' the parser steps past the end of the text, and a character
          beyond Unicode would be saved as a reference that reads back as something else. */
    bool holdsTextTheParserMishandles (const void* data, int sizeInBytes)
    {
        if (sizeInBytes <= 8)
            return false;

        const auto length = (int) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));

        if (length <= 0)
            return false;

        const auto* text = static_cast<const char*> (data) + 8;
        const auto available = juce::jmin (sizeInBytes - 8, length);

        if (! juce::CharPointer_UTF8::isValidString (text, available))
            return true;

        // The parser's string ends at the first zero byte.
        const auto* end = std::find (text, text + available, '\0');
        const std::string_view parsed (text, (size_t) (end - text));

        if (parsed.find ("<?", 1) != std::string_view::npos)
            return true;

        for (auto at = parsed.find ("&#"); at != std::string_view::npos; at = parsed.find ("&#", at + 2))
            if (! isCharacterReference (parsed.substr (at + 2)))
                return true;

        // Counts every '<' that could open an element, so nesting cannot hide from it.
        size_t elementStarts = 0;

        for (size_t i = 0; i + 1 < parsed.size(); ++i)
            if (parsed[i] == '<' && parsed[i + 1] != '/' && parsed[i + 1] != '!' && parsed[i + 1] != '?')
                if (++elementStarts > maxElementsInText)
                    return true;

        return false;
    }

    /** True when a node of the tree carries two properties of the same name: an attribute
        given twice in one element, which well-formed XML never has and JUCE's parser lets
        through, or a plain and a "base64:" attribute that both stand for it. The parameter
        tree would read the first of the two values while the next save writes the last. */
    bool repeatsAPropertyName (const juce::ValueTree& tree)
    {
        std::set<juce::Identifier> names;

        for (int i = 0; i < tree.getNumProperties(); ++i)
            if (! names.insert (tree.getPropertyName (i)).second)
                return true;

        for (const auto& child : tree)
            if (repeatsAPropertyName (child))
                return true;

        return false;
    }

    /** True when the text has an exponent of more significant digits than an int holds:
        JUCE's number reader gathers the exponent in an int and would overflow it. */
    bool hasOverlongExponent (const juce::String& text)
    {
        constexpr int maxExponentDigits = 9;

        for (auto c = text.getCharPointer(); ! c.isEmpty(); ++c)
        {
            if (*c != 'e' && *c != 'E')
                continue;

            auto digit = c + 1;

            if (*digit == '+' || *digit == '-')
                ++digit;

            while (*digit == '0')
                ++digit;

            int digits = 0;

            for (; digit.isDigit(); ++digit)
                if (++digits > maxExponentDigits)
                    return true;
        }

        return false;
    }

    /** True when a node that the parameter tree would bind to a parameter carries a value
        that it cannot take: one with an exponent JUCE's number reader overflows on, or one
        that reads as NaN. The parameters clamp anything else into range, but a NaN passes
        through their range and would leave the tuner without a usable reference. */
    bool holdsUnusableParameterValue (const juce::ValueTree& tree,
                                      const juce::AudioProcessorValueTreeState& parameters)
    {
        for (const auto& child : tree)
        {
            if (parameters.getParameter (child.getProperty (parameterIdProperty).toString()) == nullptr)
                continue;

            if (const auto* value = child.getPropertyPointer (parameterValueProperty))
                if ((value->isString() && hasOverlongExponent (value->toString()))
                    || std::isnan ((float) *value))
                    return true;
        }

        return false;
    }
}

//==============================================================================
void DravelTunerAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    auto state = valueTreeState.copyState();

    // Only the saved copy carries the version; the live tree never does.
    state.setProperty (schemaVersionProperty, schemaVersion, nullptr);

    if (auto xml = state.createXml())
        copyXmlToBinary (*xml, destData);
}

void DravelTunerAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    // Anything that is not our own state is ignored without a word, and changes nothing.
    if (data == nullptr || holdsTextTheParserMishandles (data, sizeInBytes))
        return;

    const auto xml = getXmlFromBinary (data, sizeInBytes);

    if (xml == nullptr || ! xml->hasTagName (valueTreeState.state.getType().toString()))
        return;

    auto newState = juce::ValueTree::fromXml (*xml);

    if (repeatsAPropertyName (newState) || holdsUnusableParameterValue (newState, valueTreeState))
        return;

    valueTreeState.replaceState (newState);
}
