#include "engine/content/Dictionary.h"
#include "engine/io/FileSystem.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TextBytes.h"

#include <gtest/gtest.h>
#include <string>

using namespace engine;
using testing_support::LogCapture;
using testing_support::TempDir;
using testing_support::utf16le;

namespace {

std::wstring wide(const stringw& s) { return s.c_str(); }

class DictionaryTest : public ::testing::Test {
protected:
    // Writes the file and loads it into the dictionary.
    bool loadText(const std::string& name, const std::string& bytes) { return dictionary_->load(dir_.write(name, bytes).c_str()); }

    TempDir dir_;
    CountedRef<FileSystem> fs_{new FileSystem()};
    CountedRef<Dictionary> dictionary_{new Dictionary(fs_.get())};
};

const char* const kForm1 =
    "<?xml version=\"1.0\"?>\n"
    "<Dictionary>\n"
    "  <s n=\"GOLD\">Gold</s>\n"
    "  <s n=\"WIN\">#p won #p coins</s>\n"
    "  <s n=\"FIVE\">#p #p #p #p #p</s>\n"
    "  <s n=\"AMP\">Salt &amp; pepper</s>\n"
    "  <s n=\"EMPTY\"></s>\n"
    "  <s n=\"SHORT\"/>\n"
    "  <s n=\"\">ignored</s>\n"
    "  <s n=\"NESTED\"><b>bold</b>after</s>\n"
    "  <other>skipped</other>\n"
    "</Dictionary>\n";

}  // namespace

TEST_F(DictionaryTest, ReadsTheFirstForm) {
    ASSERT_TRUE(loadText("strings/Dictionary.xml", kForm1));
    EXPECT_EQ(wide(dictionary_->lookup("GOLD")), L"Gold");
    EXPECT_EQ(wide(dictionary_->lookup("AMP")), L"Salt & pepper");
    // An "s" without text still makes its key.
    EXPECT_EQ(wide(dictionary_->lookup("EMPTY")), L"");
    EXPECT_EQ(wide(dictionary_->lookup("SHORT")), L"");
    // Only the first text node after an "s" counts.
    EXPECT_EQ(wide(dictionary_->lookup("NESTED")), L"bold");
    // The entry with an empty "n" is ignored.
    EXPECT_EQ(wide(dictionary_->lookup("")), L"%%");
    EXPECT_EQ(dictionary_->getCount(), 7u);
}

TEST_F(DictionaryTest, ReadsTheSecondFormAndUtf16Files) {
    const std::wstring text =
        L"<?xml version=\"1.0\"?>\r\n<texts>\r\n"
        L"\t<phrase tag=\"CITY\" text=\"K\u00f6ln \u20ac\" />\r\n"
        L"\t<phrase tag=\"\" text=\"under the empty key\" />\r\n"
        L"\t<phrase tag=\"NOTEXT\" />\r\n"
        L"\t<unknown tag=\"SKIP\" text=\"x\" />\r\n"
        L"</texts>\r\n";
    ASSERT_TRUE(loadText("texts.xml", utf16le(text)));
    EXPECT_EQ(wide(dictionary_->lookup("CITY")), L"K\u00f6ln \u20ac");
    EXPECT_EQ(wide(dictionary_->lookup("")), L"under the empty key");
    EXPECT_EQ(wide(dictionary_->lookup("NOTEXT")), L"");
    EXPECT_EQ(wide(dictionary_->lookup("SKIP")), L"%SKIP%");
}

TEST_F(DictionaryTest, LoadsAddToTheEntriesAndLaterFilesWin) {
    ASSERT_TRUE(loadText("a.xml", "<Dictionary><s n=\"A\">first</s><s n=\"B\">only in a</s></Dictionary>"));
    ASSERT_TRUE(loadText("b.xml", "<texts><phrase tag=\"A\" text=\"second\"/></texts>"
                                  "<Dictionary><s n=\"C\">both forms in one file</s></Dictionary>"));
    EXPECT_EQ(wide(dictionary_->lookup("A")), L"second");
    EXPECT_EQ(wide(dictionary_->lookup("B")), L"only in a");
    EXPECT_EQ(wide(dictionary_->lookup("C")), L"both forms in one file");
    // A file without sections is read and adds nothing.
    EXPECT_TRUE(loadText("none.xml", "<Other><s n=\"X\">x</s></Other>"));
    EXPECT_EQ(dictionary_->getCount(), 3u);
    dictionary_->clear();
    EXPECT_EQ(dictionary_->getCount(), 0u);
    EXPECT_EQ(wide(dictionary_->lookup("A")), L"%A%");
}

TEST_F(DictionaryTest, LoadsThroughMountedArchivesAndWithoutAFileSystem) {
    dir_.write("assets/strings/Dictionary.xml", "<Dictionary><s n=\"K\">from the folder</s></Dictionary>");
    ASSERT_TRUE(fs_->addFileArchive(dir_.file("assets").c_str(), false, false));
    EXPECT_TRUE(dictionary_->load("strings/Dictionary.xml"));
    EXPECT_EQ(wide(dictionary_->lookup("K")), L"from the folder");

    CountedRef<Dictionary> plain(new Dictionary());
    EXPECT_TRUE(plain->load(dir_.file("assets/strings/Dictionary.xml").c_str()));
    EXPECT_EQ(wide(plain->lookup("K")), L"from the folder");
}

// A broken file is refused as a whole: the entries stay as they were.
TEST_F(DictionaryTest, BadFilesAreLoggedAndChangeNothing) {
    ASSERT_TRUE(loadText("good.xml", "<Dictionary><s n=\"KEEP\">kept</s></Dictionary>"));
    const std::string full = std::string(kForm1);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"truncated inside an element", full.substr(0, full.find("<s n=\"FIVE\"") + 8)},
        {"truncated before the end tag", full.substr(0, full.find("</Dictionary>"))},
        {"unterminated second form", "<texts><phrase tag=\"GOLD\" text=\"Gold\"/>"},
        {"binary garbage", std::string("\x00\x01\x02\x89PNG", 7)},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        EXPECT_FALSE(loadText("bad.xml", c.bytes));
        EXPECT_TRUE(log.hasErrors());
        EXPECT_EQ(dictionary_->getCount(), 1u);
        EXPECT_EQ(wide(dictionary_->lookup("GOLD")), L"%GOLD%");
    }
    LogCapture log;
    EXPECT_FALSE(dictionary_->load("missing.xml"));
    EXPECT_TRUE(log.contains("missing.xml"));
    EXPECT_EQ(wide(dictionary_->lookup("KEEP")), L"kept");
}

TEST_F(DictionaryTest, ASectionEndsOnlyAtItsOwnEndTag) {
    const struct {
        const char* doc;
        const char* key;
        const wchar_t* text;
    } cases[] = {
        {"<Dictionary><Dictionary/><s n=\"A\">a</s></Dictionary>", "A", L"a"},
        {"<Dictionary><x><Dictionary></Dictionary></x><s n=\"B\">b</s></Dictionary>", "B", L"b"},
        {"<texts><texts/><phrase tag=\"C\" text=\"c\"/></texts>", "C", L"c"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.doc);
        LogCapture log;
        dictionary_->clear();
        EXPECT_TRUE(loadText("sections.xml", c.doc));
        EXPECT_EQ(wide(dictionary_->lookup(c.key)), c.text);
        EXPECT_FALSE(log.hasErrors());
    }
}

TEST_F(DictionaryTest, KeysWithBytesAbove127MeetTheirTextsByTheWideningRule) {
    // An 8-bit file: its bytes are widened to 0xFF80..0xFFFF, and a key is the
    // narrowed text, so "caf\xE9" in the file is the key "caf\xE9".
    ASSERT_TRUE(loadText("latin.xml", "<Dictionary><s n=\"caf\xE9\">Caf\xE9</s></Dictionary>"));
    EXPECT_EQ(wide(dictionary_->lookup("caf\xE9")), L"Caf\xFFE9");
    EXPECT_EQ(wide(dictionary_->translate(L"%caf\xFFE9%!")), L"Caf\xFFE9!");
    // A missing key comes back as the same wide text a scene would hold.
    EXPECT_EQ(wide(dictionary_->lookup("th\xE9")), L"%th\xFFE9%");
    EXPECT_EQ(wide(dictionary_->translate(L"%th\xFFE9%")), L"%th\xFFE9%");
}

TEST_F(DictionaryTest, TranslatesKeysAndPercentSigns) {
    ASSERT_TRUE(loadText("d.xml", "<Dictionary><s n=\"GOLD\">Gold</s><s n=\"PCT\">%GOLD%</s>"
                         "<s n=\"OFF\">10%% off</s></Dictionary>"));
    const struct {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        {L"You have %GOLD%", L"You have Gold"},
        {L"%GOLD%%GOLD%", L"GoldGold"},
        {L"100%%", L"100%"},
        {L"%%GOLD%%", L"%GOLD%"},
        {L"50%", L"50%"},
        {L"50% off", L"50"},
        {L"%MISSING%", L"%MISSING%"},
        // A looked-up text is inserted as it stands, not translated again.
        {L"%PCT%", L"%GOLD%"},
        // ... but its "%%", the file's literal percent sign, shows as one "%".
        {L"%OFF% today", L"10% off today"},
        {L"(%OFF%)", L"(10% off)"},
        {L"%", L"%"},
        {L"", L""},
        {L"no keys", L"no keys"},
        {L"%%%GOLD%", L"%Gold"},
    };
    for (const auto& c : cases) EXPECT_EQ(wide(dictionary_->translate(c.text)), c.expected);
}

TEST_F(DictionaryTest, FormatsTheFirstFourMarkers) {
    ASSERT_TRUE(loadText("strings/Dictionary.xml", kForm1));
    EXPECT_EQ(wide(dictionary_->format("WIN", L"Ann", L"20")), L"Ann won 20 coins");
    EXPECT_EQ(wide(dictionary_->format("FIVE", L"1", L"2", L"3", L"4")), L"1 2 3 4 #p");
    EXPECT_EQ(wide(dictionary_->format("WIN", L"Ann")), L"Ann won  coins");
    EXPECT_EQ(wide(dictionary_->format("GOLD", L"unused")), L"Gold");
    EXPECT_EQ(wide(dictionary_->format("MISSING", L"x")), L"%MISSING%");
}
