#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TextBytes.h"

#include <gtest/gtest.h>
#include <cwchar>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace engine;
using testing_support::LogCapture;
using testing_support::TempDir;
using testing_support::utf16le;

namespace {

std::string utf16be(const std::wstring& text) {
    std::string out = "\xFE\xFF";
    for (wchar_t c : text) {
        out.push_back(static_cast<char>((c >> 8) & 0xFF));
        out.push_back(static_cast<char>(c & 0xFF));
    }
    return out;
}

std::string utf32le(const std::wstring& text) {
    std::string out("\xFF\xFE\0\0", 4);
    for (wchar_t c : text)
        for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((c >> shift) & 0xFF));
    return out;
}

// A node of the reader, flattened for comparison.
struct Seen {
    int type;
    std::wstring name;
    bool empty;
    bool operator==(const Seen& o) const { return type == o.type && name == o.name && empty == o.empty; }
};

std::ostream& operator<<(std::ostream& os, const Seen& s) {
    return os << s.type << ":" << std::string(s.name.begin(), s.name.end()) << (s.empty ? "/" : "");
}

std::vector<Seen> elementsOf(XmlReader& reader) {
    std::vector<Seen> seen;
    while (reader.read()) {
        const auto type = reader.getNodeType();
        if (type == irr::io::EXN_ELEMENT || type == irr::io::EXN_ELEMENT_END)
            seen.push_back({type, reader.getNodeName().c_str(), reader.isEmptyElement()});
    }
    return seen;
}

// Moves the reader onto the first element start of the given name.
bool moveTo(XmlReader& reader, const wchar_t* name) {
    while (reader.read())
        if (reader.getNodeType() == irr::io::EXN_ELEMENT && reader.getNodeName() == name) return true;
    return false;
}

constexpr int S = irr::io::EXN_ELEMENT;
constexpr int E = irr::io::EXN_ELEMENT_END;

}  // namespace

// ---------------------------------------------------------------------------
// Writer

TEST(XmlWriterTest, WritesUtf16WithBomTabsCrLfAndSpacedEmptyElements) {
    XmlWriter w;
    w.writeXMLHeader();
    w.writeElement(L"Root", false, L"Type", L"SceneNode");
    w.writeLineBreak();
    w.writeElement(L"Properties");
    w.writeLineBreak();
    w.writeElement(L"int", true, L"Name", L"TopItem", L"Value", L"3");
    w.writeLineBreak();
    w.writeClosingTag(L"Properties");
    w.writeLineBreak();
    w.writeElement(L"Text");
    w.writeText(L"hello");
    w.writeClosingTag(L"Text");
    w.writeLineBreak();
    w.writeClosingTag(L"Root");
    w.writeLineBreak();
    EXPECT_TRUE(w.close());

    const std::wstring expected =
        L"<?xml version=\"1.0\"?>\r\n"
        L"<Root Type=\"SceneNode\">\r\n"
        L"\t<Properties>\r\n"
        L"\t\t<int Name=\"TopItem\" Value=\"3\" />\r\n"
        L"\t</Properties>\r\n"
        L"\t<Text>hello</Text>\r\n"
        L"</Root>\r\n";
    EXPECT_EQ(w.getBuffer(), utf16le(expected));
    EXPECT_EQ(w.getBuffer().substr(0, 2), std::string("\xFF\xFE"));
}

TEST(XmlWriterTest, EscapesAttributesAndTextAndSkipsNullAttributes) {
    XmlWriter w;
    w.writeElement(L"a", true, L"v", L"x<y & \"q\" >", L"skipped", nullptr, nullptr, L"alsoSkipped");
    w.writeText(L"1 < 2 & 3");
    EXPECT_EQ(w.getBuffer(), utf16le(L"<a v=\"x&lt;y &amp; &quot;q&quot; &gt;\" />1 &lt; 2 &amp; 3"));
}

TEST(XmlWriterTest, ArrayAttributesAndUnbalancedClosingTag) {
    XmlWriter w;
    array<stringw> names;
    array<stringw> values;
    names.push_back(L"A");
    names.push_back(L"B");
    values.push_back(L"1");
    values.push_back(L"2");
    w.writeElement(L"e", true, names, values);
    w.writeClosingTag(L"extra");  // one closing tag too many must not indent negatively
    w.writeElement(L"f", true);
    EXPECT_EQ(w.getBuffer(), utf16le(L"<e A=\"1\" B=\"2\" /></extra><f />"));
}

TEST(XmlWriterTest, OutputWithoutHeaderStillStartsWithBom) {
    XmlWriter w;
    w.writeElement(L"x", true);
    EXPECT_EQ(w.getBuffer(), utf16le(L"<x />"));
}

TEST(XmlWriterTest, FileGetsTheSameBytesAsMemory) {
    TempDir dir;
    const std::string path = dir.file("out.xml");
    XmlWriter memory;
    {
        XmlWriter file(path.c_str());
        ASSERT_TRUE(file.isValid());
        for (XmlWriter* w : {&memory, &file}) {
            w->writeXMLHeader();
            w->writeElement(L"Root");
            w->writeLineBreak();
            for (int i = 0; i < 5000; ++i) {  // more than one flush chunk
                w->writeElement(L"item", true, L"Value", L"\x00e9\x4e2d");
                w->writeLineBreak();
            }
            w->writeClosingTag(L"Root");
        }
        EXPECT_TRUE(file.close());
    }
    EXPECT_EQ(TempDir::read(path), memory.getBuffer());
}

TEST(XmlWriterTest, UnwritablePathIsLoggedAndWritesNothing) {
    LogCapture log;
    XmlWriter w("/nonexistent-folder/sub/out.xml");
    EXPECT_FALSE(w.isValid());
    w.writeXMLHeader();
    w.writeElement(L"x", true);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(log.hasErrors());
}

TEST(XmlWriterTest, CharactersBeyondSixteenBitsRoundTripAsSurrogatePairs) {
    XmlWriter w;
    const stringw text(L"a\x1F600z");
    w.writeElement(L"t", true, L"Value", text.c_str());
    EXPECT_EQ(w.getBuffer(), utf16le(L"<t Value=\"a") + std::string("\x3D\xD8\x00\xDE", 4) + utf16le(L"z\" />", false));
    XmlReader r(w.getBuffer().data(), w.getBuffer().size());
    ASSERT_TRUE(moveTo(r, L"t"));
    EXPECT_EQ(r.getAttributeValue(L"Value"), text);
}

// ---------------------------------------------------------------------------
// Reader

TEST(XmlReaderTest, ReadsTheSameDocumentInEveryEncoding) {
    const std::wstring doc =
        L"<?xml version=\"1.0\"?>\r\n<Root A=\"1\">\r\n\t<Child Name=\"x &amp; y\" />\r\n\t<Other>text</Other>\r\n</Root>\r\n";
    std::string ascii(doc.begin(), doc.end());
    const std::vector<std::pair<const char*, std::string>> inputs = {
        {"utf16le", utf16le(doc)},
        {"utf16be", utf16be(doc)},
        {"utf32le", utf32le(doc)},
        {"ascii", ascii},
        {"utf8-bom", "\xEF\xBB\xBF" + ascii},
    };
    const std::vector<Seen> expected = {{S, L"Root", false}, {S, L"Child", true}, {E, L"Child", false},
                                        {S, L"Other", false}, {E, L"Other", false}, {E, L"Root", false}};
    for (const auto& [label, bytes] : inputs) {
        SCOPED_TRACE(label);
        XmlReader r(bytes.data(), bytes.size());
        ASSERT_TRUE(r.isValid());
        ASSERT_TRUE(moveTo(r, L"Child"));
        EXPECT_EQ(r.getAttributeValue(L"Name"), stringw(L"x & y"));
        XmlReader again(bytes.data(), bytes.size());
        EXPECT_EQ(elementsOf(again), expected);
    }
}

TEST(XmlReaderTest, EntitiesAreReplacedWhereverTheyStand) {
    const std::string doc =
        "<a one=\"x&amp;y\" two=\"&lt;&gt;&quot;&apos;\" bare=\"a & b&\" unknown=\"&nbsp;x\" end=\"q&amp;\" "
        "only=\"&amp;\">t&amp;u</a><!-- c&amp;d -->";
    XmlReader r(doc.data(), doc.size());
    ASSERT_TRUE(r.read());
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"one", L"x&y"}, {L"two", L"<>\"'"}, {L"bare", L"a & b&"}, {L"unknown", L"&nbsp;x"},
        {L"end", L"q&"},  {L"only", L"&"},
    };
    for (const auto& [name, value] : cases) EXPECT_EQ(r.getAttributeValue(name), stringw(value));
    ASSERT_TRUE(r.read());
    EXPECT_EQ(r.getNodeData(), stringw(L"t&u"));
    ASSERT_TRUE(r.read());
    ASSERT_TRUE(r.read());
    EXPECT_EQ(r.getNodeType(), irr::io::EXN_COMMENT);
    EXPECT_EQ(r.getNodeData(), stringw(L" c&amp;d "));
}

TEST(XmlReaderTest, TextNodesAndNodeData) {
    const std::string doc = "<a>some &lt;text&gt;</a>";
    XmlReader r(doc.data(), doc.size());
    ASSERT_TRUE(r.read());
    EXPECT_EQ(r.getNodeType(), irr::io::EXN_ELEMENT);
    ASSERT_TRUE(r.read());
    EXPECT_EQ(r.getNodeType(), irr::io::EXN_TEXT);
    EXPECT_EQ(r.getNodeData(), stringw(L"some <text>"));
    EXPECT_TRUE(r.getNodeName().empty());
}

TEST(XmlReaderTest, EightBitTextIsWidenedByTheEngineRule) {
    // Bytes from 0x80 on become 0xFF80..0xFFFF: 16-bit units, never values
    // sign-extended to 32 bits.
    const std::string doc = "<a v=\"caf\xE9\x80\xFF\">\xE9t\xE9</a>";
    XmlReader r(doc.data(), doc.size());
    ASSERT_TRUE(moveTo(r, L"a"));
    EXPECT_EQ(r.getAttributeValue(L"v"), stringw(L"caf\xFFE9\xFF80\xFFFF"));
    ASSERT_TRUE(r.read());
    EXPECT_EQ(r.getNodeData(), stringw(L"\xFFE9t\xFFE9"));
}

TEST(XmlReaderTest, Utf16TextKeepsCharactersAboveLatin1) {
    const std::string doc = utf16le(L"<a v=\"\x4e2d\x6587\" />");
    XmlReader r(doc.data(), doc.size());
    ASSERT_TRUE(moveTo(r, L"a"));
    EXPECT_EQ(r.getAttributeValue(L"v"), stringw(L"\x4e2d\x6587"));
}

TEST(XmlReaderTest, AttributesByNameWithDefaultsAndNumbers) {
    const std::string doc =
        "<a s=\"text\" e=\"\" f=\"-2.75\" exp=\"1e3\" sp=\" 7\" junk=\"abc\" neg=\"-9.9\" big=\"1e20\" />";
    XmlReader r(doc.data(), doc.size());
    ASSERT_TRUE(moveTo(r, L"a"));

    EXPECT_EQ(r.getAttributeValue(L"s"), stringw(L"text"));
    EXPECT_EQ(r.getAttributeValue(L"missing"), stringw());
    EXPECT_EQ(r.getAttributeValue(L"missing", L"fallback"), stringw(L"fallback"));
    EXPECT_EQ(r.getAttributeValue(L"e", L"fallback"), stringw());  // present but empty is not missing
    EXPECT_TRUE(r.hasAttribute(L"e"));
    EXPECT_FALSE(r.hasAttribute(L"missing"));
    EXPECT_FALSE(r.hasAttribute(nullptr));

    struct Case {
        const wchar_t* name;
        float asFloat;
        int32_t asInt;
    };
    const Case cases[] = {
        {L"f", -2.75f, -2},   {L"exp", 1000.0f, 1000}, {L"sp", 7.0f, 7},     {L"junk", 0.0f, 0},
        {L"neg", -9.9f, -9},  {L"e", 0.0f, 0},         {L"big", 1e20f, 2147483647},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
        EXPECT_FLOAT_EQ(r.getAttributeValueAsFloat(c.name, 42.0f), c.asFloat);
        EXPECT_EQ(r.getAttributeValueAsInt(c.name, 42), c.asInt);
    }
    EXPECT_EQ(r.getAttributeValueAsFloat(L"missing", 4.5f), 4.5f);
    EXPECT_EQ(r.getAttributeValueAsInt(L"missing", -3), -3);
    EXPECT_EQ(r.getAttributeValueAsInt(L"missing"), 0);

    EXPECT_EQ(r.getAttributeCount(), 8);
    EXPECT_EQ(r.getAttributeName(0), stringw(L"s"));
    EXPECT_EQ(r.getAttributeValue(0), stringw(L"text"));
    EXPECT_TRUE(r.getAttributeName(8).empty());
    EXPECT_TRUE(r.getAttributeValue(-1).empty());
}

TEST(XmlReaderTest, EmptyElementsGetAnEndAndDoNotSwallowFollowers) {
    const std::string doc = "<Root><States><State Name=\"A\"/><State Name=\"B\"></State></States><After/></Root>";
    XmlReader r(doc.data(), doc.size());
    const std::vector<Seen> expected = {{S, L"Root", false},   {S, L"States", false}, {S, L"State", true},
                                        {E, L"State", false},  {S, L"State", false},  {E, L"State", false},
                                        {E, L"States", false}, {S, L"After", true},   {E, L"After", false},
                                        {E, L"Root", false}};
    EXPECT_EQ(elementsOf(r), expected);

    // A loop that reads "up to the end tag State" after the empty A stops at
    // A's own end; B is still ahead.
    XmlReader loop(doc.data(), doc.size());
    ASSERT_TRUE(moveTo(loop, L"State"));
    while (loop.read())
        if (loop.getNodeType() == irr::io::EXN_ELEMENT_END && loop.getNodeName() == L"State") break;
    ASSERT_TRUE(loop.read());
    EXPECT_EQ(loop.getNodeType(), irr::io::EXN_ELEMENT);
    EXPECT_EQ(loop.getAttributeValue(L"Name"), stringw(L"B"));
}

TEST(XmlReaderTest, FinishEmptyElementStepsOntoTheEndOnlyOnEmptyStarts) {
    const std::string doc = "<Root><A/><B></B></Root>";
    XmlReader r(doc.data(), doc.size());
    EXPECT_FALSE(r.finishEmptyElement());  // before the first read
    ASSERT_TRUE(r.read());                 // Root
    EXPECT_FALSE(r.finishEmptyElement());
    ASSERT_TRUE(r.read());  // A
    EXPECT_TRUE(r.isEmptyElement());
    EXPECT_TRUE(r.finishEmptyElement());
    EXPECT_EQ(r.getNodeType(), irr::io::EXN_ELEMENT_END);
    EXPECT_EQ(r.getNodeName(), stringw(L"A"));
    EXPECT_FALSE(r.isEmptyElement());
    EXPECT_FALSE(r.finishEmptyElement());
    ASSERT_TRUE(r.read());
    EXPECT_EQ(r.getNodeName(), stringw(L"B"));
    EXPECT_FALSE(r.finishEmptyElement());
    EXPECT_EQ(r.getNodeType(), irr::io::EXN_ELEMENT);
}

TEST(XmlReaderTest, DepthTellsAnElementsOwnEndFromEndsOfTheSameNameInsideIt) {
    // Loops that read "up to the end of A" must not stop at the end of an
    // empty A passed over, nor at the end of an A nested inside.
    const std::string doc = "<Root><A/><A n=\"1\"><A/><A><x/></A><y/></A><B/></Root>";
    XmlReader r(doc.data(), doc.size());
    struct Step {
        int type;
        const wchar_t* name;
        int depth;
    };
    const Step steps[] = {{S, L"Root", 0}, {S, L"A", 1}, {E, L"A", 1}, {S, L"A", 1}, {S, L"A", 2}, {E, L"A", 2},
                          {S, L"A", 2},    {S, L"x", 3}, {E, L"x", 3}, {E, L"A", 2}, {S, L"y", 2}, {E, L"y", 2},
                          {E, L"A", 1},    {S, L"B", 1}, {E, L"B", 1}, {E, L"Root", 0}};
    for (const Step& step : steps) {
        ASSERT_TRUE(r.read());
        EXPECT_EQ(r.getNodeType(), step.type) << r.getNodeName().c_str();
        EXPECT_EQ(r.getNodeName(), stringw(step.name));
        EXPECT_EQ(r.getDepth(), step.depth) << r.getNodeName().c_str();
    }
    EXPECT_FALSE(r.read());
    EXPECT_EQ(r.getDepth(), 0);

    XmlReader inside(doc.data(), doc.size());
    ASSERT_TRUE(moveTo(inside, L"A"));
    ASSERT_TRUE(inside.finishEmptyElement());
    ASSERT_TRUE(moveTo(inside, L"A"));
    ASSERT_EQ(inside.getAttributeValue(L"n"), stringw(L"1"));
    const int32_t depth = inside.getDepth();
    std::vector<std::wstring> starts;
    while (inside.readInside(depth))
        if (inside.getNodeType() == irr::io::EXN_ELEMENT) starts.push_back(inside.getNodeName().c_str());
    EXPECT_EQ(starts, (std::vector<std::wstring>{L"A", L"A", L"x", L"y"}));
    EXPECT_EQ(inside.getNodeType(), irr::io::EXN_ELEMENT_END);
    ASSERT_TRUE(inside.read());
    EXPECT_EQ(inside.getNodeName(), stringw(L"B"));
}

TEST(XmlReaderTest, SkipElementPassesOverEverythingInside) {
    const std::string doc = "<Root><A><A/><b>t</b></A><C/><D></Root>";
    XmlReader r(doc.data(), doc.size());
    EXPECT_FALSE(r.skipElement());  // before the first read: no element start
    ASSERT_TRUE(moveTo(r, L"A"));
    EXPECT_TRUE(r.skipElement());
    EXPECT_EQ(r.getNodeType(), irr::io::EXN_ELEMENT_END);
    EXPECT_EQ(r.getDepth(), 1);
    EXPECT_FALSE(r.skipElement()) << "an end is no start: the reader stays";
    ASSERT_TRUE(r.read());
    EXPECT_EQ(r.getNodeName(), stringw(L"C"));
    EXPECT_TRUE(r.skipElement()) << "an empty element";
    EXPECT_EQ(r.getNodeType(), irr::io::EXN_ELEMENT_END);
    EXPECT_EQ(r.getNodeName(), stringw(L"C"));
    // D has no end of its own (the end of Root closes it with Root): skipping
    // it runs to the end of the input.
    ASSERT_TRUE(r.read());
    EXPECT_EQ(r.getNodeName(), stringw(L"D"));
    EXPECT_FALSE(r.skipElement());
    EXPECT_EQ(r.getNodeType(), irr::io::EXN_NONE);
}

TEST(XmlReaderTest, EndTagsThatCloseSeveralOrNoElements) {
    // "</Root>" closes the unclosed "Open" too; the stray "</Zed>" closes
    // nothing, so a loop inside Root goes on past it.
    const std::string doc = "<Root><Open><x/></Zed><y/></Root>";
    XmlReader r(doc.data(), doc.size());
    ASSERT_TRUE(r.read());
    const int32_t depth = r.getDepth();
    std::vector<std::wstring> seen;
    while (r.readInside(depth)) seen.push_back(std::to_wstring(r.getDepth()) + r.getNodeName().c_str());
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"1Open", L"2x", L"2x", L"2Zed", L"2y", L"2y"}));
    EXPECT_EQ(r.getNodeType(), irr::io::EXN_ELEMENT_END);
    EXPECT_EQ(r.getNodeName(), stringw(L"Root"));
}

TEST(XmlReaderTest, EndOfInputStaysAtTheEnd) {
    const std::string doc = "<a/>";
    XmlReader r(doc.data(), doc.size());
    EXPECT_EQ(r.getNodeType(), irr::io::EXN_NONE);
    EXPECT_TRUE(r.read());
    EXPECT_TRUE(r.read());
    EXPECT_FALSE(r.read());
    EXPECT_FALSE(r.read());
    EXPECT_EQ(r.getNodeType(), irr::io::EXN_NONE);
    EXPECT_TRUE(r.getNodeName().empty());
    EXPECT_EQ(r.getAttributeCount(), 0);
}

TEST(XmlReaderTest, ReadsFilesAndOpenReadFilesFromTheirPosition) {
    TempDir dir;
    const std::string doc = "<Root><Item Value=\"5\"/></Root>";
    const std::string path = dir.write("doc.xml", doc);

    XmlReader fromPath(path.c_str());
    ASSERT_TRUE(fromPath.isValid());
    ASSERT_TRUE(moveTo(fromPath, L"Item"));
    EXPECT_EQ(fromPath.getAttributeValueAsInt(L"Value"), 5);

    std::string bytes = "JUNK" + doc;
    irr::io::IReadFile* file = irr::io::createMemoryReadFile(&bytes[0], static_cast<long>(bytes.size()), "mem.xml", false);
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->seek(4));
    {
        XmlReader fromFile(file);
        ASSERT_TRUE(fromFile.isValid());
        ASSERT_TRUE(moveTo(fromFile, L"Item"));
        EXPECT_EQ(fromFile.getAttributeValueAsInt(L"Value"), 5);
    }
    file->drop();
}

TEST(XmlReaderTest, UnreadableOrNonXmlInputGivesAFailedReader) {
    TempDir dir;
    const std::string textFile = dir.write("plain.txt", "just some words, no markup");
    const std::string emptyFile = dir.write("empty.xml", "");
    struct Case {
        const char* label;
        std::function<XmlReader*()> make;
    };
    const std::string binary("\x00\x01\x02\x03\xFF\xFE", 6);
    const std::vector<Case> cases = {
        {"missing file", [&] { return new XmlReader(dir.file("missing.xml").c_str()); }},
        {"null path", [] { return new XmlReader(static_cast<const char*>(nullptr)); }},
        {"folder", [&] { return new XmlReader(dir.path().string().c_str()); }},
        {"empty file", [&] { return new XmlReader(emptyFile.c_str()); }},
        {"text file", [&] { return new XmlReader(textFile.c_str()); }},
        {"empty buffer", [] { return new XmlReader("", 0); }},
        {"null buffer", [] { return new XmlReader(nullptr, 10); }},
        {"binary", [&] { return new XmlReader(binary.data(), binary.size()); }},
        {"null file", [] { return new XmlReader(static_cast<irr::io::IReadFile*>(nullptr)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        LogCapture log;
        CountedRef<XmlReader> r(c.make());
        EXPECT_FALSE(r->isValid());
        EXPECT_FALSE(r->read());
        EXPECT_EQ(r->getNodeType(), irr::io::EXN_NONE);
        EXPECT_TRUE(log.hasErrors());
    }
}

// Irrlicht's parser reads past its buffer on unclosed tags; every cut and
// every damaged byte must still give a reader that stops cleanly.
TEST(XmlReaderTest, TruncatedAndDamagedDocumentsNeverCrash) {
    const std::wstring doc =
        L"<?xml version=\"1.0\"?>\r\n<Properties>\r\n\t<int Name=\"a\" Value=\"1\" />\r\n"
        L"\t<!-- note -->\r\n\t<![CDATA[ raw ]]>\r\n\t<stringw Name=\"b\" Value='x &amp; y' />\r\n</Properties>\r\n";
    const std::string utf16 = utf16le(doc);
    const std::string ascii(doc.begin(), doc.end());

    const auto drain = [](const std::string& bytes, size_t length) {
        LogCapture log;
        XmlReader r(bytes.data(), length);
        int guard = 0;
        while (r.read() && guard < 1000) {
            (void)r.getNodeName();
            (void)r.getAttributeValue(L"Value");
            ++guard;
        }
        EXPECT_LT(guard, 1000);
    };
    for (const std::string* bytes : {&utf16, &ascii})
        for (size_t length = 0; length <= bytes->size(); ++length) drain(*bytes, length);

    const char pieces[] = {'<', '>', '/', '!', '?', '=', '"', '\'', ' ', '-', '[', ']', '\0', 'a'};
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        std::string damaged = ascii;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int k = 0; k < edits; ++k) {
            const size_t at = random() % damaged.size();
            if (random() % 3 == 0)
                damaged.erase(at, 1 + random() % 5);
            else
                damaged[at] = pieces[random() % sizeof(pieces)];
            if (damaged.empty()) damaged = "<";
        }
        drain(damaged, damaged.size());
    }
    // Short runs of markup characters hit the parser's corner cases fastest.
    const char markup[] = {'<', '>', '/', '!', '?', '=', '"', '\'', ' ', '-', '[', ']', 'a', 'C', 'D', 'A', 'T', '&'};
    for (int round = 0; round < 20000; ++round) {
        std::string text = round % 3 == 0 ? "<a>" : "";
        const size_t length = 1 + random() % 24;
        for (size_t k = 0; k < length; ++k) text.push_back(markup[random() % sizeof(markup)]);
        drain(text, text.size());
    }
}

TEST(XmlReaderTest, TruncatedDocumentKeepsWhatWasCompleteAndLogs) {
    const std::string doc = "<Root><A Value=\"1\"/><B Value=\"2";
    LogCapture log;
    XmlReader r(doc.data(), doc.size());
    EXPECT_TRUE(r.isValid());
    EXPECT_TRUE(log.hasErrors());
    const std::vector<Seen> expected = {{S, L"Root", false}, {S, L"A", true}, {E, L"A", false}};
    EXPECT_EQ(elementsOf(r), expected);
}
