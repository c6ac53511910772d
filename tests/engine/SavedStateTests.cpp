#include "engine/DravelTunerAudioProcessor.h"
#include "engine/ParameterIDs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace
{
    using Bytes = std::vector<std::uint8_t>;

    const char* const newProcessorDocument =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?> "
        "<DRAVEL_TUNER_STATE schemaVersion=\"1\">"
        "<PARAM id=\"mute\" value=\"0.0\"/>"
        "<PARAM id=\"referenceA\" value=\"440.0\"/>"
        "</DRAVEL_TUNER_STATE>";

    float referenceA (DravelTunerAudioProcessor& p)
    {
        return p.getValueTreeState().getRawParameterValue (ParameterIDs::referenceA)->load();
    }

    float mute (DravelTunerAudioProcessor& p)
    {
        return p.getValueTreeState().getRawParameterValue (ParameterIDs::mute)->load();
    }

    void setParameters (DravelTunerAudioProcessor& p, float reference, bool muted)
    {
        auto& parameters = p.getValueTreeState();

        auto* referenceParameter = parameters.getParameter (ParameterIDs::referenceA);
        referenceParameter->setValueNotifyingHost (referenceParameter->convertTo0to1 (reference));

        parameters.getParameter (ParameterIDs::mute)->setValueNotifyingHost (muted ? 1.0f : 0.0f);
    }

    Bytes save (DravelTunerAudioProcessor& p)
    {
        juce::MemoryBlock block;
        p.getStateInformation (block);

        const auto* data = static_cast<const std::uint8_t*> (block.getData());
        return Bytes (data, data + block.getSize());
    }

    void restore (DravelTunerAudioProcessor& p, const Bytes& block)
    {
        p.setStateInformation (block.data(), (int) block.size());
    }

    std::uint32_t readLittleEndian32 (const Bytes& block, size_t offset)
    {
        return (std::uint32_t) block[offset]
             | ((std::uint32_t) block[offset + 1] << 8)
             | ((std::uint32_t) block[offset + 2] << 16)
             | ((std::uint32_t) block[offset + 3] << 24);
    }

    void writeLittleEndian32 (Bytes& block, size_t offset, std::uint32_t value)
    {
        for (size_t i = 0; i < 4; ++i)
            block[offset + i] = (std::uint8_t) (value >> (8 * i));
    }

    /** A block in JUCE's state-block layout around the given text, built by hand so that
        the tests do not trust the code under test to write it. */
    Bytes makeBlock (const std::string& text)
    {
        Bytes block (8 + text.size() + 1, 0);
        writeLittleEndian32 (block, 0, 0x21324356);
        writeLittleEndian32 (block, 4, (std::uint32_t) text.size());
        std::memcpy (block.data() + 8, text.data(), text.size());
        return block;
    }

    /** The XML text of a block, as its length field gives it. */
    std::string documentOf (const Bytes& block)
    {
        return std::string (reinterpret_cast<const char*> (block.data()) + 8, readLittleEndian32 (block, 4));
    }

    std::string document (const std::string& rootTag, const std::string& rootAttributes, const std::string& children)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <" + rootTag + rootAttributes + ">"
             + children + "</" + rootTag + ">";
    }

    std::string repeated (const std::string& text, int times)
    {
        std::string result;

        for (int i = 0; i < times; ++i)
            result += text;

        return result;
    }

    std::string paramElement (const std::string& id, const std::string& value)
    {
        return "<PARAM id=\"" + id + "\" value=\"" + value + "\"/>";
    }

    std::string stateDocument (const std::string& referenceValue, const std::string& muteValue)
    {
        return document ("DRAVEL_TUNER_STATE", " schemaVersion=\"1\"",
                         paramElement ("mute", muteValue) + paramElement ("referenceA", referenceValue));
    }

    /** The live tree with the parameters' current values written into it. */
    std::string liveTreeText (DravelTunerAudioProcessor& p)
    {
        return p.getValueTreeState().copyState().toXmlString (juce::XmlElement::TextFormat().singleLine()).toStdString();
    }

    struct IgnoredBlock
    {
        const char* name;
        Bytes block;
    };

    /** Each block leaves a processor's values and its live tree exactly as they were. */
    void expectEachChangesNothing (const std::vector<IgnoredBlock>& cases)
    {
        for (const auto& c : cases)
        {
            SCOPED_TRACE (c.name);

            DravelTunerAudioProcessor processor;
            setParameters (processor, 432.0f, true);
            const auto treeBefore = liveTreeText (processor);

            restore (processor, c.block);

            EXPECT_EQ (referenceA (processor), 432.0f);
            EXPECT_EQ (mute (processor), 1.0f);
            EXPECT_EQ (liveTreeText (processor), treeBefore);
        }
    }

    /** A state document that would be taken but for the piece of text added to it. */
    Bytes stateWith (const std::string& rootAttributes, const std::string& extraChildren)
    {
        return makeBlock (document ("DRAVEL_TUNER_STATE", rootAttributes,
                                    paramElement ("referenceA", "445.0") + extraChildren));
    }

    //==============================================================================
    /** A processor that already left the defaults, so a restore that falls back to them shows. */
    class SavedStateTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            setParameters (processor, 432.0f, true);
        }

        DravelTunerAudioProcessor processor;
    };
}

//==============================================================================
TEST (SavedState, RoundTripsTheParameterValuesIntoANewProcessor)
{
    struct Case
    {
        float reference;
        bool muted;
        float otherReference;
        bool otherMuted;
    };

    for (const auto& c : { Case { 440.0f, false, 447.3f, true },
                           Case { 432.0f, true, 440.0f, false } })
    {
        SCOPED_TRACE (testing::Message() << c.reference << " Hz, mute " << c.muted);

        DravelTunerAudioProcessor saved;
        setParameters (saved, c.reference, c.muted);

        DravelTunerAudioProcessor restored;
        setParameters (restored, c.otherReference, c.otherMuted);
        restore (restored, save (saved));

        EXPECT_EQ (referenceA (restored), c.reference);
        EXPECT_EQ (mute (restored), c.muted ? 1.0f : 0.0f);
    }
}

TEST (SavedState, WritesJucesStateBlockAroundTheSingleLineDocument)
{
    DravelTunerAudioProcessor processor;
    const auto block = save (processor);

    ASSERT_GT (block.size(), 9u);
    EXPECT_EQ (Bytes (block.begin(), block.begin() + 4), (Bytes { 0x56, 0x43, 0x32, 0x21 }));
    EXPECT_EQ (readLittleEndian32 (block, 4), block.size() - 9);
    EXPECT_EQ (block.back(), 0);
    EXPECT_EQ (documentOf (block), newProcessorDocument);
}

TEST (SavedState, OverwritesTheDestinationAndCutsItToTheBlock)
{
    DravelTunerAudioProcessor processor;

    juce::MemoryBlock destination (4096);
    destination.fillWith (0xaa);
    processor.getStateInformation (destination);

    const auto expected = save (processor);
    ASSERT_EQ (destination.getSize(), expected.size());
    EXPECT_EQ (std::memcmp (destination.getData(), expected.data(), expected.size()), 0);
}

TEST (SavedState, KeepsTheVersionOutOfTheLiveTree)
{
    DravelTunerAudioProcessor processor;
    save (processor);

    EXPECT_FALSE (processor.getValueTreeState().state.hasProperty ("schemaVersion"));
}

//==============================================================================
TEST (SavedState, IgnoresBlocksThatAreNotItsStateAndChangesNothing)
{
    const auto valid = makeBlock (stateDocument ("445.0", "0.0"));

    auto withMagic = [&] (std::uint32_t magic) { auto b = valid; writeLittleEndian32 (b, 0, magic); return b; };
    auto withLength = [&] (std::uint32_t length) { auto b = valid; writeLittleEndian32 (b, 4, length); return b; };

    // clang-format off
    expectEachChangesNothing ({
        { "empty",                              {} },
        { "8 bytes",                            Bytes (valid.begin(), valid.begin() + 8) },
        { "another magic",                      withMagic (0x21324357) },
        { "the magic in the other byte order",  withMagic (0x56433221) },
        { "a length field of 0",                withLength (0) },
        { "a length field with its top bit",    withLength (0x80000000u | (std::uint32_t) (valid.size() - 9)) },
        { "a length field of -1",               withLength (0xffffffffu) },
        { "a length field that cuts the text",  withLength (20) },
        { "text that is not XML",               makeBlock ("referenceA=445.0") },
        { "another root tag",                   makeBlock (document ("OTHER_PLUGIN_STATE", "",
                                                                     paramElement ("referenceA", "445.0")
                                                                     + paramElement ("mute", "0.0"))) },
        { "an attribute given twice",           makeBlock (document ("DRAVEL_TUNER_STATE", "",
                                                                     "<PARAM id=\"referenceA\" value=\"445.0\" value=\"432.0\"/>")) },
        { "a reference that is not a number",   makeBlock (stateDocument ("nan", "0.0")) },
        { "a mute that is not a number",        makeBlock (stateDocument ("445.0", "-NaN")) },
    });
    // clang-format on
}

TEST (SavedState, IgnoresTextThatJucesParserMishandles)
{
    // clang-format off
    expectEachChangesNothing ({
        { "a byte that is never UTF-8",          stateWith (" host=\"\xff\"", "") },
        { "an overlong UTF-8 form in a tag",     stateWith ("", "<PA\xc1\xb2/>") },
        { "a UTF-8 surrogate",                   stateWith (" host=\"\xed\xa0\x80\"", "") },
        { "text that stops inside a UTF-8 sequence",
                                                 makeBlock (document ("DRAVEL_TUNER_STATE", "",
                                                                      paramElement ("referenceA", "445.0")) + "<d>\xe2\x82") },
        { "a lead byte at the end, which the parser reads past",
                                                 makeBlock ("<DRAVEL_TUNER_STATE><PARAM id=\"referenceA\" value=\"445.0\"/>\xff") },
        { "a processing instruction before text, on which the parser never returns",
                                                 stateWith ("", "<?pi?>text") },
        { "an unfinished character reference at the end, which the parser reads past",
                                                 makeBlock ("<DRAVEL_TUNER_STATE><PARAM id=\"referenceA\" value=\"445.0\"/>&#x4") },
        { "a character reference beyond Unicode", stateWith (" host=\"&#x110000;\"", "") },
        { "a base64 attribute that claims gigabytes", stateWith (" base64:blob=\"2000000000.\"", "") },
        { "a base64 attribute of negative size", stateWith (" base64:blob=\"-1.\"", "") },
        { "children nested deeper than any state of ours",
                                                 stateWith ("", repeated ("<a>", 300) + repeated ("</a>", 300)) },
        { "a reference with an exponent too long to read", makeBlock (stateDocument ("4.4e2000000000", "0.0")) },

        // Taken as read, these would be saved as text that the next restore turns away.
        { "an attribute that spells out base64: when saved", stateWith (" host=\"base&#54;4:\"", "") },
        { "elements that the parameters' own nodes would take past the limit",
                                                 makeBlock (document ("DRAVEL_TUNER_STATE", "", repeated ("<a/>", 255))) },
    });
    // clang-format on
}

TEST_F (SavedStateTest, IgnoresANullPointerWhateverSizeComesWithIt)
{
    processor.setStateInformation (nullptr, 64);

    EXPECT_EQ (referenceA (processor), 432.0f);
    EXPECT_EQ (mute (processor), 1.0f);
}

TEST_F (SavedStateTest, ReadsOnlyTheBytesPresentWhenTheLengthFieldIsLarger)
{
    auto block = makeBlock (stateDocument ("445.0", "0.0"));
    block.pop_back(); // not even the terminating zero
    writeLittleEndian32 (block, 4, 0x7fffffffu);

    restore (processor, block);

    EXPECT_EQ (referenceA (processor), 445.0f);
    EXPECT_EQ (mute (processor), 0.0f);
}

TEST_F (SavedStateTest, NeverReadsPastTheTextTheLengthFieldGives)
{
    const auto text = stateDocument ("445.0", "0.0");
    auto block = makeBlock (text + "<garbage");
    writeLittleEndian32 (block, 4, (std::uint32_t) text.size());

    restore (processor, block);

    EXPECT_EQ (referenceA (processor), 445.0f);
    EXPECT_EQ (mute (processor), 0.0f);
}

//==============================================================================
TEST_F (SavedStateTest, AcceptsDocumentsThatAreDamagedOnlyInWaysItCanRepair)
{
    struct Case
    {
        const char* name;
        std::string document;
        float reference;
        float muteValue;
    };

    // clang-format off
    const Case cases[] = {
        { "a root without children",   document ("DRAVEL_TUNER_STATE", " schemaVersion=\"1\"", ""), 440.0f, 0.0f },
        { "no mute child",             document ("DRAVEL_TUNER_STATE", " schemaVersion=\"1\"",
                                                 paramElement ("referenceA", "445.5")), 445.5f, 0.0f },
        { "a reference above the range",  stateDocument ("455.0", "1.0"),  450.0f, 1.0f },
        { "a reference below the range",  stateDocument ("-12", "1.0"),    430.0f, 1.0f },
        { "an infinite reference",        stateDocument ("inf", "1.0"),    450.0f, 1.0f },
        { "a reference with an exponent",    stateDocument ("4.455e+0000000000002", "1.0"), 445.5f, 1.0f },
        { "a reference just under a grid point",  stateDocument ("445.04", "1.0"), 445.0f, 1.0f },
        { "a reference just over a grid point",   stateDocument ("445.06", "1.0"), 445.1f, 1.0f },
        { "a mute between off and on",    stateDocument ("445.0", "0.7"),  445.0f, 1.0f },
        { "a foreign attribute in UTF-8", document ("DRAVEL_TUNER_STATE", " host=\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb8\"",
                                                    paramElement ("mute", "0.0") + paramElement ("referenceA", "445.0")),
                                          445.0f, 0.0f },
        { "schemaVersion 2",           document ("DRAVEL_TUNER_STATE", " schemaVersion=\"2\"",
                                                 paramElement ("mute", "0.0") + paramElement ("referenceA", "445.0")),
                                       445.0f, 0.0f },
        { "no schemaVersion",          document ("DRAVEL_TUNER_STATE", "",
                                                 paramElement ("mute", "0.0") + paramElement ("referenceA", "445.0")),
                                       445.0f, 0.0f },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);

        setParameters (processor, 432.0f, c.muteValue < 0.5f);
        restore (processor, makeBlock (c.document));

        EXPECT_NEAR (referenceA (processor), c.reference, 1.0e-4f);
        EXPECT_EQ (mute (processor), c.muteValue);

        const auto next = documentOf (save (processor));
        EXPECT_NE (next.find ("schemaVersion=\"1\""), std::string::npos) << next;
    }
}

TEST_F (SavedStateTest, TakesALowerCaseRootTagAndSavesItSoAfterwards)
{
    const auto lowerCase = document ("dravel_tuner_state", " schemaVersion=\"1\"",
                                     paramElement ("mute", "0.0") + paramElement ("referenceA", "445.0"));
    restore (processor, makeBlock (lowerCase));

    EXPECT_EQ (referenceA (processor), 445.0f);
    EXPECT_EQ (mute (processor), 0.0f);
    EXPECT_EQ (documentOf (save (processor)), lowerCase);

    // The tag is compared against the live tree, whatever its case now is.
    restore (processor, makeBlock (stateDocument ("447.0", "1.0")));
    EXPECT_EQ (referenceA (processor), 447.0f);
}

TEST_F (SavedStateTest, KeepsForeignAttributesAndChildrenForTheNextSave)
{
    const auto text = document ("DRAVEL_TUNER_STATE", " schemaVersion=\"1\" host=\"other\"",
                                paramElement ("mute", "1.0")
                                    + "<PRESET name=\"Studio\"><NOTE text=\"a&amp;b&#9;&#233;&#1114111;\"/></PRESET>"
                                    + paramElement ("referenceA", "438.5"));
    restore (processor, makeBlock (text));

    EXPECT_EQ (referenceA (processor), 438.5f);
    EXPECT_EQ (mute (processor), 1.0f);
    EXPECT_EQ (documentOf (save (processor)), text);
}

TEST_F (SavedStateTest, TakesADocumentWithAsManyElementsAsItAllows)
{
    // The root, the two parameters and 253 nested foreign elements: 256 in all.
    const auto text = document ("DRAVEL_TUNER_STATE", " schemaVersion=\"1\"",
                                paramElement ("mute", "1.0") + paramElement ("referenceA", "438.5")
                                    + repeated ("<a>", 252) + "<a/>" + repeated ("</a>", 252));
    restore (processor, makeBlock (text));

    EXPECT_EQ (referenceA (processor), 438.5f);
    EXPECT_EQ (documentOf (save (processor)), text);
}

TEST_F (SavedStateTest, SavesAParameterThatTheRestoredDocumentLacked)
{
    restore (processor, makeBlock (document ("DRAVEL_TUNER_STATE", " schemaVersion=\"1\"",
                                             paramElement ("referenceA", "445.0"))));

    EXPECT_EQ (documentOf (save (processor)),
               document ("DRAVEL_TUNER_STATE", " schemaVersion=\"1\"",
                         paramElement ("referenceA", "445.0") + paramElement ("mute", "0.0")));
}
