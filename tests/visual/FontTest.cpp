#include "engine/visual/PropertyDataVisual.h"
#include "engine/core/PropertySet.h"
#include "engine/core/XmlReader.h"
#include "engine/visual/BitmapFont.h"
#include "support/LogCapture.h"
#include "visual/AtlasTestSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace engine;
using testing_support::LogCapture;

namespace {

std::string str(const stringc& s) { return s.c_str(); }

// Glyphs A (0), B (1), space (2), a second A (3) and g (4, on the texture
// that fails to load); kerning AB -2 and BA 1.9 (read as 1); GlobalKerning
// (1, 0.5). Line height: g's 14 + 3 + 3.
const char* const kFont =
    "<?xml version=\"1.0\"?>\n"
    "<Info Type=\"Bitmap\"><c c=\"Z\" r=\"0 0 99 99\"/></Info>\n"
    "<Font Type=\"Bitmap\">\n"
    "  <Properties>\n"
    "    <vector2d Name=\"GlobalKerning\" Value=\"1;0.5\"/>\n"
    "    <float Name=\"OriginalSize\" Value=\"20\"/>\n"
    "  </Properties>\n"
    "  <Texture Filename=\"glyphs.png\"/>\n"
    "  <Texture Filename=\"missing.png\"/>\n"
    "  <c c=\"A\" r=\"0 0 10 12\" b=\"1 2\" a=\"3 4\" i=\"0\"/>\n"
    "  <c c=\"B\" r=\"10,0,18,10\" b=\"0,0\" a=\"0,0\" i=\"0\"/>\n"
    "  <c c=\" \" r=\"0 0 0 0\" b=\"0 0\" a=\"5 0\" i=\"0\"/>\n"
    "  <c c=\"A\" r=\"30 0 31 1\" i=\"0\"/>\n"
    "  <nested><c c=\"g\" r=\"20 0 26 14\" b=\"0 3\" a=\"1 3\" i=\"1\"/></nested>\n"
    "  <k c=\"AB\" k=\"-2\"/>\n"
    "  <k c=\"ABC\" k=\"5\"/>\n"
    "  <k c=\"BA\" k=\"1.9\"/>\n"
    "  <k c=\"A\" k=\"7\"/>\n"
    "</Font>\n";

class FontTest : public visual_test::ContentFixture {
protected:
    FontTest() { writeImage("fonts/glyphs.png", 32, 16); }

    CountedRef<BaseFont> loadFont(const char* path, const std::string& text) {
        writeText(path, text);
        Content* content = manager_->load(ContentType::Font, path, false);
        BaseFont* font = dynamic_cast<BaseFont*>(content);
        if (!font && content) content->release();
        return CountedRef<BaseFont>(font);
    }
};

}  // namespace

TEST_F(FontTest, ReadsGlyphsTexturesKerningAndProperties) {
    LogCapture log;
    CountedRef<BaseFont> font = loadFont("fonts/test.ofnt", kFont);
    ASSERT_TRUE(font);
    EXPECT_TRUE(dynamic_cast<BitmapFont*>(font.get()));
    EXPECT_EQ(font->getContentType(), makeContentType('f', 'o', 'n', 't'));
    EXPECT_EQ(font->clone(), nullptr);
    EXPECT_TRUE(log.contains("Loaded font"));
    EXPECT_FALSE(log.hasErrors());
    EXPECT_EQ(manager_->getFolderStack().size(), 1u);

    EXPECT_EQ(font->getGlobalKerning(), vector2df(1.0f, 0.5f));
    EXPECT_FLOAT_EQ(font->getOriginalSize(), 20.0f);
    EXPECT_FLOAT_EQ(font->getScale(30.0f), 1.5f);
    EXPECT_FLOAT_EQ(font->getLineHeight(), 20.0f);

    // Textures load relative to the font file; a failed one leaves a null entry.
    ASSERT_EQ(font->getTextureCount(), 2u);
    ASSERT_TRUE(font->getTexture(0));
    EXPECT_EQ(str(font->getTexture(0)->getCreationContext().getName()), "fonts/glyphs.png");
    EXPECT_EQ(font->getTexture(1), nullptr);
    EXPECT_EQ(font->getTexture(2), nullptr);

    ASSERT_EQ(font->getGlyphs().size(), 5u);
    EXPECT_EQ(font->findGlyph(L'A'), 0);  // the first of the two A glyphs
    EXPECT_EQ(font->findGlyph(L'B'), 1);
    EXPECT_EQ(font->findGlyph(L'g'), 4);  // read at any depth
    EXPECT_EQ(font->findGlyph(L'Z'), 2);  // missing: the space
    EXPECT_EQ(font->findGlyph(static_cast<wchar_t>(0x10041)), 2);
    EXPECT_EQ(font->getDefaultGlyph(), 2);
    const FontGlyph* a = font->getGlyph(0);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->rect, rectf(0, 0, 10, 12));
    EXPECT_EQ(a->before, vector2df(1, 2));
    EXPECT_EQ(a->after, vector2df(3, 4));
    EXPECT_FLOAT_EQ(a->width, 10.0f);
    EXPECT_FLOAT_EQ(a->height, 12.0f);
    EXPECT_EQ(a->textureIndex, 0);
    EXPECT_EQ(font->getGlyph(4)->textureIndex, 1);
    EXPECT_EQ(font->getGlyph(5), nullptr);
    EXPECT_EQ(font->getGlyph(-1), nullptr);

    EXPECT_EQ(font->getKerning(L'A', L'B'), -2);
    EXPECT_EQ(font->getKerning(L'B', L'A'), 1);
    EXPECT_EQ(font->getKerning(L'A', L'C'), 0);
    EXPECT_EQ(font->getKerning(L'A', L'A'), 0);

    // Shared content: every load hands out the same font.
    CountedRef<Content> again(manager_->load(ContentType::Font, "fonts/test.ofnt", false));
    EXPECT_EQ(again.get(), font.get());
    EXPECT_FALSE(manager_->save(ContentType::Font, font.get(), "fonts/out.ofnt", 0));
}

TEST_F(FontTest, MeasuresCharactersAndTexts) {
    CountedRef<BaseFont> font = loadFont("fonts/test.ofnt", kFont);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->getCharacterSize(L'A', true), vector2df(10, 12));
    EXPECT_EQ(font->getCharacterSize(L'A', false), vector2df(15, 12));  // 1 + 10 + 3 + GlobalKerning 1
    EXPECT_EQ(font->getCharacterSize(L'Z', false), vector2df(6, 0));    // the space
    EXPECT_EQ(font->getCharacterSize(L'g', true), vector2df(6, 14));

    // Per character: A 15, B 9, space 6 (each with GlobalKerning.x 1).
    const struct {
        const wchar_t* text;
        vector2df spacing;
        vector2df expected;
    } cases[] = {
        {L"", {0, 0}, {0, 20}},
        {L"\n", {0, 0}, {0, 40.5f}},
        {L"AB", {0, 0}, {21, 20}},  // 15 - 2 + 9 - 1
        {L"BA", {0, 0}, {24, 20}},  // 9 + 1 + 15 - 1
        {L"Z", {0, 0}, {5, 20}},
        {L"A\r\nB", {0, 0}, {14, 40.5f}},
        {L"A\n\rB", {0, 0}, {14, 61}},
        {L"A\rB", {0, 0}, {14, 40.5f}},
        {L"B\n", {0, 0}, {8, 40.5f}},
        {L"A B", {2, 1}, {33, 20}},         // 17 + 8 + 11 - 3
        {L"AB\nBA", {2, 1}, {26, 41.5f}},   // lines 23 and 26
    };
    for (const auto& c : cases) {
        const vector2df size = font->getTextDimension(c.text, c.spacing);
        EXPECT_FLOAT_EQ(size.X, c.expected.X) << std::wstring(c.text).size();
        EXPECT_FLOAT_EQ(size.Y, c.expected.Y) << std::wstring(c.text).size();
    }
    EXPECT_EQ(font->getTextDimension(stringw(L"AB"), vector2df(0, 0)), vector2df(21, 20));
    EXPECT_EQ(font->getTextDimension(static_cast<const wchar_t*>(nullptr), vector2df(0, 0)), vector2df(0, 20));
}

// With no spacing before, after or between characters a line is the sum of
// its glyph widths and kerning amounts.
TEST_F(FontTest, PlainMetricsAddUpGlyphWidthsAndKerning) {
    CountedRef<BaseFont> font = loadFont("fonts/plain.ofnt",
                                         "<Font Type=\"Bitmap\"><c c=\"x\" r=\"0 0 4 4\" i=\"0\"/>"
                                         "<c c=\"y\" r=\"4 0 10 4\"/><k c=\"xy\" k=\"2\"/></Font>");
    ASSERT_TRUE(font);
    EXPECT_FLOAT_EQ(font->getOriginalSize(), BaseFont::kDefaultOriginalSize);
    EXPECT_EQ(font->getGlobalKerning(), vector2df(0, 0));
    EXPECT_EQ(font->getDefaultGlyph(), 0);  // no space: glyph 0
    EXPECT_EQ(font->getTextDimension(L"xyz", vector2df(0, 0)), vector2df(16, 4));  // 4 + 2 + 6 + 4 (z as x)

    // Default values are not written; others are.
    CountedRef<PropertySet> none(new PropertySet());
    font->writeProperties(none.get());
    EXPECT_EQ(none->getCount(), 0u);
    CountedRef<BaseFont> full = loadFont("fonts/test.ofnt", kFont);
    CountedRef<PropertySet> set(new PropertySet());
    full->writeProperties(set.get());
    EXPECT_EQ(str(set->getString("GlobalKerning")), "1.000000;0.500000");
    EXPECT_FLOAT_EQ(set->getFloat("OriginalSize"), 20.0f);

    // Values of the wrong type reset GlobalKerning; absent names change nothing.
    CountedRef<PropertySet> wrong(new PropertySet());
    wrong->setString("GlobalKerning", "3;3");
    full->readProperties(wrong.get());
    EXPECT_EQ(full->getGlobalKerning(), vector2df(0, 0));
    EXPECT_FLOAT_EQ(full->getOriginalSize(), 20.0f);
}

// OriginalSize divides every text size: a size of 0 or less is refused.
TEST_F(FontTest, OriginalSizeStaysAboveZero) {
    const char* const values[] = {"<float Name=\"OriginalSize\" Value=\"0\"/>",
                                  "<float Name=\"OriginalSize\" Value=\"-3\"/>",
                                  "<int Name=\"OriginalSize\" Value=\"16\"/>"};
    for (const char* value : values) {
        SCOPED_TRACE(value);
        LogCapture log;
        CountedRef<BaseFont> font = loadFont("fonts/size.ofnt", std::string("<Font Type=\"Bitmap\"><Properties>") +
                                                                    value + "</Properties><c c=\"x\" r=\"0 0 4 4\"/></Font>");
        manager_->clearCache();
        ASSERT_TRUE(font);
        EXPECT_FLOAT_EQ(font->getOriginalSize(), BaseFont::kDefaultOriginalSize);
        EXPECT_FLOAT_EQ(font->getScale(28.0f), 2.0f);
        EXPECT_TRUE(log.contains("OriginalSize"));
        EXPECT_FALSE(log.hasErrors());
    }
}

// A font without glyphs loads, says so, and measures without reading glyphs.
TEST_F(FontTest, FontsWithoutGlyphsMeasureEmpty) {
    const char* const files[] = {
        "<Font Type=\"Bitmap\"><Properties><vector2d Name=\"GlobalKerning\" Value=\"2 0\"/></Properties></Font>",
        "<Font Type=\"Bitmap\"/>"};
    for (const char* file : files) {
        SCOPED_TRACE(file);
        LogCapture log;
        CountedRef<BaseFont> font = loadFont("fonts/empty.ofnt", file);
        manager_->clearCache();
        ASSERT_TRUE(font);
        EXPECT_TRUE(log.contains("no glyphs"));
        EXPECT_EQ(font->findGlyph(L'a'), -1);
        EXPECT_EQ(font->getGlyph(font->findGlyph(L'a')), nullptr);
        EXPECT_FLOAT_EQ(font->getLineHeight(), 0.0f);
        const float kerning = font->getGlobalKerning().X;
        EXPECT_EQ(font->getCharacterSize(L'a', true), vector2df(0, 0));
        EXPECT_EQ(font->getCharacterSize(L'a', false), vector2df(kerning, 0));
        EXPECT_EQ(font->getTextDimension(L"ab\ncd", vector2df(0, 0)), vector2df(kerning, 0));
    }
}

TEST_F(FontTest, FilesWithoutABitmapFontGiveNone) {
    LogCapture log;
    EXPECT_FALSE(loadFont("fonts/vector.ofnt", "<Font Type=\"Vector\"><c c=\"a\" r=\"0 0 1 1\"/></Font>"
                                              "<Font Type=\"Bitmap\"><c c=\"b\" r=\"0 0 1 1\"/></Font>"));
    EXPECT_TRUE(log.contains("Loaded font"));
    EXPECT_FALSE(log.hasErrors());
    EXPECT_FALSE(loadFont("fonts/other.ofnt", "<Typeface Type=\"Bitmap\"/>"));
}

TEST_F(FontTest, EmptyFontElementsEndNeitherTheSearchNorTheFont) {
    const char* const glyph = "<c c=\"b\" r=\"0 0 1 1\"/>";
    const struct {
        const char* path;
        std::string text;
        bool loads;
        uint32_t glyphs;
    } cases[] = {
        {"fonts/outline-first.ofnt", "<Font Type=\"Outline\"/><Font Type=\"Bitmap\">" + std::string(glyph) + "</Font>",
         true, 1},
        {"fonts/empty.ofnt", "<Font Type=\"Bitmap\"/>", true, 0},
        {"fonts/empty-inside.ofnt", "<Font Type=\"Bitmap\"><Font Type=\"x\"/>" + std::string(glyph) + "</Font>", true,
         1},
        // The end of the empty Font inside is not the font's own end.
        {"fonts/cut-after-empty.ofnt", "<Font Type=\"Bitmap\"><Font/>" + std::string(glyph), false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        LogCapture log;
        CountedRef<BaseFont> font = loadFont(c.path, c.text);
        ASSERT_EQ(static_cast<bool>(font), c.loads);
        EXPECT_EQ(log.hasErrors(), !c.loads);
        if (font) {
            EXPECT_EQ(font->getGlyphs().size(), c.glyphs);
            EXPECT_EQ(font->findGlyph(L'b') >= 0, c.glyphs != 0);
        }
    }
}

TEST_F(FontTest, BrokenFontFilesAreRefused) {
    const std::string full = kFont;
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"cut before the end tag", full.substr(0, full.find("</Font>"))},
        {"cut inside a glyph", full.substr(0, full.find("<c c=\"B\"") + 12)},
        {"binary", std::string("\0\x01\x02\x03", 4)},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        EXPECT_FALSE(loadFont("fonts/broken.ofnt", c.bytes));
        EXPECT_TRUE(log.hasErrors());
        EXPECT_EQ(cached(ContentType::Font, "fonts/broken.ofnt"), nullptr);
        EXPECT_EQ(manager_->getFolderStack().size(), 1u);
    }
    EXPECT_EQ(manager_->load(ContentType::Font, "fonts/none.ofnt", false), nullptr);
}

TEST_F(FontTest, FontValuesLoadByPathThroughTheirContentManager) {
    CountedRef<BaseFont> font = loadFont("fonts/test.ofnt", kFont);
    CountedRef<BaseFont> plain =
        loadFont("fonts/plain.ofnt", "<Font Type=\"Bitmap\"><c c=\"x\" r=\"0 0 4 4\"/></Font>");
    ASSERT_TRUE(font && plain);

    const std::string xml = "<Properties><font Name=\"Font\" Value=\"fonts/test.ofnt\"/>"
                            "<font Name=\"Empty\" Value=\"\"/></Properties>";
    XmlReader withReader(xml.data(), xml.size());
    ASSERT_TRUE(withReader.read());
    CountedRef<PropertySet> with(new PropertySet(manager_.get()));
    ASSERT_TRUE(with->read(&withReader, true));
    const auto* value = dynamic_cast<const CPropertyDataFont*>(with->find("Font").get());
    ASSERT_TRUE(value);
    EXPECT_EQ(value->getFont(), font.get());
    EXPECT_EQ(str(value->toString()), "fonts/test.ofnt");
    const auto* empty = dynamic_cast<const CPropertyDataFont*>(with->find("Empty").get());
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->getFont(), nullptr);

    XmlReader withoutReader(xml.data(), xml.size());
    ASSERT_TRUE(withoutReader.read());
    CountedRef<PropertySet> without(new PropertySet());
    ASSERT_TRUE(without->read(&withoutReader, true));
    EXPECT_EQ(dynamic_cast<const CPropertyDataFont*>(without->find("Font").get())->getFont(), nullptr);

    // Paths are written relative to the file being written.
    CPropertyDataFont held(font.get());
    EXPECT_EQ(held.getContentManager(), manager_.get());
    manager_->pushFolder("fonts/scene.oscn");
    EXPECT_EQ(str(held.toString()), "test.ofnt");
    manager_->popFolder();
    // A path that does not load, an empty one included, leaves no font.
    held.fromString("fonts/none.ofnt");
    EXPECT_EQ(held.getFont(), nullptr);
    held.fromString("fonts/test.ofnt");
    EXPECT_EQ(held.getFont(), font.get());
    held.fromString("");
    EXPECT_EQ(held.getFont(), nullptr);
    EXPECT_EQ(held.getContentManager(), manager_.get());

    CPropertyDataFont start(font.get());
    CPropertyDataFont end(plain.get());
    CPropertyDataFont out;
    EXPECT_TRUE(start.interpolate(&end, &out, 0.5f, 0));
    EXPECT_EQ(out.getFont(), font.get());
    EXPECT_FALSE(start.interpolate(&end, &out, 0.9f, 0));
    EXPECT_TRUE(start.interpolate(&end, &out, 1.0f, 0));
    EXPECT_EQ(out.getFont(), plain.get());
    const CPropertyDataFont sameFont(font.get());
    EXPECT_TRUE(start.equals(&sameFont));

    CountedRef<IPropertyData> copy = start.clone();
    EXPECT_TRUE(copy->equals(&start));
    EXPECT_FALSE(copy->equals(&end));
    EXPECT_EQ(static_cast<CPropertyDataFont*>(copy.get())->getContentManager(), manager_.get());
    CountedRef<IPropertyData> emptyCopy = CPropertyDataFont(manager_.get()).clone();
    EXPECT_EQ(static_cast<CPropertyDataFont*>(emptyCopy.get())->getContentManager(), nullptr);
}
