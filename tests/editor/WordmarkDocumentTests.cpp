#include "editor/LogoSvg.h"

#include <juce_core/juce_core.h>

#include <gtest/gtest.h>

namespace
{
    juce::String wordmarkText()
    {
        return juce::String::fromUTF8 (logoSvg.data(), (int) logoSvg.size());
    }

    void expectNoColourOrStroke (const juce::XmlElement& element)
    {
        for (int i = 0; i < element.getNumAttributes(); ++i)
        {
            const auto name = element.getAttributeName (i).toLowerCase();
            EXPECT_FALSE (name.contains ("stroke") || name.contains ("color") || name.contains ("fill")
                          || name == "style" || name == "opacity")
                << element.getTagName() << " has " << name;
        }

        for (auto* child : element.getChildIterator())
            expectNoColourOrStroke (*child);
    }
}

TEST (WordmarkDocument, IsOneLineOfPlainAscii)
{
    // A size that counted a terminating zero would show up here as a byte 0.
    ASSERT_GT (logoSvg.size(), 0u);

    for (size_t i = 0; i < logoSvg.size(); ++i)
    {
        const auto byte = (unsigned char) logoSvg[i];
        ASSERT_TRUE (byte >= 0x20 && byte < 0x7f) << "byte " << i << " is " << (int) byte;
    }
}

TEST (WordmarkDocument, IsAnSvgRootWithTheViewBoxAndNoSize)
{
    const auto xml = juce::parseXML (wordmarkText());
    ASSERT_NE (xml, nullptr);

    EXPECT_EQ (xml->getTagName(), juce::String ("svg"));
    EXPECT_EQ (xml->getStringAttribute ("xmlns"), juce::String ("http://www.w3.org/2000/svg"));
    EXPECT_EQ (xml->getStringAttribute ("viewBox"), juce::String ("0 -12 7607 724"));
    EXPECT_FALSE (xml->hasAttribute ("width"));
    EXPECT_FALSE (xml->hasAttribute ("height"));
}

TEST (WordmarkDocument, HoldsItsShapesInOneGroupFilledWithTheAccentAndNothingElseColoured)
{
    const auto xml = juce::parseXML (wordmarkText());
    ASSERT_NE (xml, nullptr);
    ASSERT_EQ (xml->getNumChildElements(), 1);

    auto* group = xml->getChildElement (0);
    EXPECT_EQ (group->getTagName(), juce::String ("g"));
    EXPECT_EQ (group->getStringAttribute ("fill"), juce::String ("#B87333"));
    EXPECT_GT (group->getNumChildElements(), 0);

    for (int i = 0; i < group->getNumAttributes(); ++i)
        EXPECT_TRUE (group->getAttributeName (i) == "fill" || group->getAttributeName (i) == "fill-rule")
            << group->getAttributeName (i);

    for (auto* shape : group->getChildIterator())
    {
        EXPECT_EQ (shape->getTagName(), juce::String ("path"));
        expectNoColourOrStroke (*shape);
    }

    // No colour written anywhere else, in any notation.
    const auto text = wordmarkText().toLowerCase();
    EXPECT_EQ (text.indexOf ("#"), text.lastIndexOf ("#"));
    EXPECT_FALSE (text.contains ("rgb"));
    EXPECT_FALSE (text.contains ("stroke"));
}
