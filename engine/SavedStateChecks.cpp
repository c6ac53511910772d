#include "SavedStateChecks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

namespace
{
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

    /** True when the text is UTF-8 by the letter: no stray or missing continuation bytes, no
        overlong forms, no surrogates and nothing beyond U+10FFFF. */
    bool isStrictUtf8 (std::string_view text)
    {
        for (size_t i = 0; i < text.size();)
        {
            const auto lead = (unsigned char) text[i];

            if (lead < 0x80)
            {
                ++i;
                continue;
            }

            // The range the first continuation byte may take, and how many follow the lead.
            unsigned char low = 0x80, high = 0xbf;
            size_t continuations = 0;

            // clang-format off
            if (lead >= 0xc2 && lead <= 0xdf)       { continuations = 1; }
            else if (lead == 0xe0)                  { continuations = 2; low = 0xa0; }
            else if (lead == 0xed)                  { continuations = 2; high = 0x9f; }
            else if (lead >= 0xe1 && lead <= 0xef)  { continuations = 2; }
            else if (lead == 0xf0)                  { continuations = 3; low = 0x90; }
            else if (lead >= 0xf1 && lead <= 0xf3)  { continuations = 3; }
            else if (lead == 0xf4)                  { continuations = 3; high = 0x8f; }
            else                                    { return false; }
            // clang-format on

            if (i + continuations >= text.size())
                return false;

            for (size_t n = 1; n <= continuations; ++n)
            {
                const auto byte = (unsigned char) text[i + n];

                if (byte < low || byte > high)
                    return false;

                low = 0x80;
                high = 0xbf;
            }

            i += continuations + 1;
        }

        return true;
    }

    /** True when the text of a state block is something that JUCE's XML parser, or the tree
        made from what it reads, mishandles. That is:
        - text that is not strictly UTF-8: the parser steps over the end of text that stops
          inside a broken sequence and reads on past the string, and takes the bytes of an
          overlong form in ways that the next save does not write back;
        - a processing instruction after the start of the text: one inside an element followed
          by text sends the parser round the same spot for ever;
        - a character reference that is unfinished or names no Unicode character: on "&#x"
          without a closing ';' the parser steps past the end of the text, and a character
          beyond Unicode would be saved as a reference that reads back as something else;
        - a "base64:" attribute, which the tree decodes into a block of whatever size its text
          claims, up to gigabytes or a negative size that ends the process;
        - more element starts than maxElementsInText: the parser recurses once per level of
          nesting, and a deep enough document overflows the stack. */
    bool holdsTextTheParserMishandles (std::string_view parsed)
    {
        if (! isStrictUtf8 (parsed))
            return true;

        if (parsed.find ("<?", 1) != std::string_view::npos)
            return true;

        for (auto at = parsed.find ("&#"); at != std::string_view::npos; at = parsed.find ("&#", at + 2))
            if (! isCharacterReference (parsed.substr (at + 2)))
                return true;

        if (parsed.find ("base64:") != std::string_view::npos)
            return true;

        // Counts every '<' that could open an element, so nesting cannot hide from it.
        size_t elementStarts = 0;

        for (size_t i = 0; i + 1 < parsed.size(); ++i)
            if (parsed[i] == '<' && parsed[i + 1] != '/' && parsed[i + 1] != '!' && parsed[i + 1] != '?')
                if (++elementStarts > maxElementsInText)
                    return true;

        return false;
    }

    /** The text that JUCE's state-block reader would hand to the XML parser: as much of it
        as the length field gives and the block holds, up to the first zero byte, where the
        parser's string ends. Empty when the block has no text; the reader turns those away. */
    std::string_view textOfBlock (const void* data, int sizeInBytes)
    {
        if (sizeInBytes <= 8)
            return {};

        const auto length = (int) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));

        if (length <= 0)
            return {};

        const auto* text = static_cast<const char*> (data) + 8;
        const auto* end = std::find (text, text + juce::jmin (sizeInBytes - 8, length), '\0');
        return { text, (size_t) (end - text) };
    }

    /** The text the next save would write, but for the values it may bring up to date: the
        tree with a node appended for each parameter that no child names, as the parameter
        tree will do. Parameter values are numbers, and cannot change what the checks find. */
    std::string textTheNextSaveWrites (const juce::ValueTree& newState,
                                       const juce::AudioProcessorValueTreeState& parameters)
    {
        auto saved = newState.createCopy();

        for (auto* parameter : parameters.processor.getParameters())
        {
            if (auto* withID = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter))
            {
                if (! saved.getChildWithProperty (parameterIdProperty, withID->paramID).isValid())
                {
                    juce::ValueTree node ("PARAM");
                    node.setProperty (parameterIdProperty, withID->paramID, nullptr);
                    saved.appendChild (node, nullptr);
                }
            }
        }

        return saved.toXmlString (juce::XmlElement::TextFormat().singleLine()).toStdString();
    }

    /** True when a node of the tree carries two properties of the same name: an attribute
        given twice in one element, which well-formed XML never has and JUCE's parser lets
        through. The parameter tree would read the first of the two values while the next
        save writes the last. */
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
bool SavedStateChecks::isSafeToParse (const void* data, int sizeInBytes)
{
    return ! holdsTextTheParserMishandles (textOfBlock (data, sizeInBytes));
}

bool SavedStateChecks::canReplaceParameters (const juce::ValueTree& newState,
                                             const juce::AudioProcessorValueTreeState& parameters)
{
    if (repeatsAPropertyName (newState) || holdsUnusableParameterValue (newState, parameters))
        return false;

    // The text differs from what was read (entities decoded, nodes added), and the state
    // must still pass these checks when it comes back from the settings file.
    return ! holdsTextTheParserMishandles (textTheNextSaveWrites (newState, parameters));
}
