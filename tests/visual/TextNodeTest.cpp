// Text nodes: line breaking and word wrap, alignment and justification, glyph
// quads and their batches, localised texts, character access for edit
// fields, drawing, and their values in scene files.
#include "engine/content/Dictionary.h"
#include "engine/core/Event.h"
#include "engine/core/NodeFactory.h"
#include "engine/visual/PropertyDataVisual.h"
#include "engine/core/PropertySet.h"
#include "engine/visual/BitmapFont.h"
#include "engine/visual/TextNode.h"
#include "visual/SpriteTestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace engine;

namespace {

// A font whose metrics are easy to add up at OriginalSize 14: every letter is
// 8 x 12 pixels with 1 before and 1 after (an advance of 10) and sits 4 below
// the line top with 4 below it (line height 20); the space advances 5.
// Lower case letters lie on texture 0, upper case on texture 1, digits on a
// texture that does not load, '#' names texture 7 (there is none) and '@'
// texture -1: those three kinds have no quads. The pair "ky" kerns by -3.
std::string testFont() {
    std::string xml =
        "<?xml version=\"1.0\"?>\n"
        "<Font Type=\"Bitmap\">\n"
        "  <Texture Filename=\"glyphs0.png\"/>\n"
        "  <Texture Filename=\"glyphs1.png\"/>\n"
        "  <Texture Filename=\"missing.png\"/>\n"
        "  <c c=\" \" r=\"0 0 0 0\" b=\"0 0\" a=\"5 0\" i=\"0\"/>\n";
    const auto glyph = [&](char c, int index, int texture) {
        const int x = index * 9;
        xml += "  <c c=\"" + std::string(1, c) + "\" r=\"" + std::to_string(x) + " 0 " + std::to_string(x + 8) +
               " 12\" b=\"1 4\" a=\"1 4\" i=\"" + std::to_string(texture) + "\"/>\n";
    };
    for (int i = 0; i < 26; ++i) glyph(static_cast<char>('a' + i), i, 0);
    for (int i = 0; i < 26; ++i) glyph(static_cast<char>('A' + i), i, 1);
    for (int i = 0; i < 10; ++i) glyph(static_cast<char>('0' + i), i, 2);
    glyph('#', 0, 7);
    glyph('@', 0, -1);
    xml += "  <k c=\"ky\" k=\"-3\"/>\n</Font>\n";
    return xml;
}

class TextNodeTest : public visual_test::NodeContentFixture {
protected:
    TextNodeTest() {
        writeImage("fonts/glyphs0.png", 256, 32);
        writeImage("fonts/glyphs1.png", 256, 32);
        writeText("fonts/test.ofnt", testFont());
        Content* content = manager_->load(ContentType::Font, "fonts/test.ofnt", false);
        font_ = CountedRef<BaseFont>(dynamic_cast<BaseFont*>(content));
        if (!font_ && content) content->release();
    }
    ~TextNodeTest() override { setCurrentDictionary(nullptr); }

    void SetUp() override {
        ASSERT_TRUE(font_);
        ASSERT_FLOAT_EQ(font_->getLineHeight(), 20.0f);
    }

    CountedRef<TextNode> makeText(const wchar_t* text, float width = 100, float height = 40) {
        const CreationContext context(manager_.get(), "");
        CountedRef<TextNode> node(new TextNode(&context, nullptr, nullptr));
        node->setBounds(vector3df(width, height, 0));
        node->setFont(font_.get());
        node->setText(text);
        return node;
    }

    static std::vector<std::wstring> lines(const TextNode& node) {
        std::vector<std::wstring> out;
        for (uint32_t i = 0; i < node.getLineCount(); ++i) out.emplace_back(node.getLine(i).c_str());
        return out;
    }
    static std::vector<bool> hardBreaks(const TextNode& node) {
        std::vector<bool> out;
        for (uint32_t i = 0; i < node.getLineCount(); ++i) out.push_back(node.isHardBreak(i));
        return out;
    }
    // The left edge of each glyph quad.
    static std::vector<float> lefts(const TextNode& node) {
        std::vector<float> out;
        for (uint32_t i = 0; i < node.getGlyphQuadCount(); ++i) out.push_back(node.getGlyphQuad(i).vertices[0].Pos.X);
        return out;
    }

    CountedRef<BaseFont> font_;
};

}  // namespace

TEST_F(TextNodeTest, LayoutBreaksLinesAtBreaksAndWrapsAtSpaces) {
    const struct {
        const char* name;
        const wchar_t* text;
        bool wrap;
        float width;
        int32_t hAlign;
        float fontSize;
        float kerningX;
        std::vector<std::wstring> lines;
        std::vector<bool> hard;
    } cases[] = {
        {"empty", L"", false, 100, 1, 14, 0, {L""}, {false}},
        {"CR LF is one break", L"a\r\nb", false, 100, 1, 14, 0, {L"a", L"b"}, {true, false}},
        {"LF CR are two", L"a\n\rb", false, 100, 1, 14, 0, {L"a", L"", L"b"}, {true, true, false}},
        {"lone CR", L"a\rb", false, 100, 1, 14, 0, {L"a", L"b"}, {true, false}},
        {"trailing LF", L"a\n", false, 100, 1, 14, 0, {L"a", L""}, {true, false}},
        {"no wrap", L"abc def", false, 50, 1, 14, 0, {L"abc def"}, {false}},
        {"wrap drops the space", L"abc def", true, 50, 1, 14, 0, {L"abc", L"def"}, {false, false}},
        {"wrap at the last space that fits", L"abc def ghi", true, 75, 1, 14, 0, {L"abc def", L"ghi"}, {false, false}},
        {"long word overflows", L"abcdefgh", true, 50, 1, 14, 0, {L"abcdefgh"}, {false}},
        {"no break after one letter", L"a bcdefgh", true, 50, 1, 14, 0, {L"a bcdefgh"}, {false}},
        {"wrap and hard break", L"ab cd\nef", true, 35, 1, 14, 0, {L"ab", L"cd", L"ef"}, {false, true, false}},
        {"space on an empty line", L" abc", true, 25, 1, 14, 0, {L"", L"abc"}, {false, false}},
        {"exact fit stays", L"ab cd", true, 45, 1, 14, 0, {L"ab cd"}, {false}},
        {"skipped glyphs still count", L"a1 b", true, 25, 1, 14, 0, {L"a1", L"b"}, {false, false}},
        {"wrap at font scale", L"abc def", true, 100, 1, 28, 0, {L"abc", L"def"}, {false, false}},
        {"wrap with kerning", L"abc def", true, 50, 1, 14, 5, {L"abc", L"def"}, {false, false}},
        {"centre trims", L" \tab  \r\n cd ", false, 100, 2, 14, 0, {L"ab", L"cd"}, {true, false}},
        {"justify trims", L"  ab  ", false, 100, 4, 14, 0, {L"ab"}, {false}},
        {"right keeps spaces", L"  ab  ", false, 100, 3, 14, 0, {L"  ab  "}, {false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CountedRef<TextNode> node = makeText(L"", c.width);
        node->setTextHAlign(c.hAlign);
        node->setKerning(c.kerningX, 0);
        node->setFontSize(c.fontSize);
        node->setWordWrap(c.wrap);
        node->setText(c.text);
        node->layout();
        EXPECT_EQ(lines(*node), c.lines);
        EXPECT_EQ(hardBreaks(*node), c.hard);
    }
}

TEST_F(TextNodeTest, WithoutAFontNothingWrapsOrDraws) {
    const CreationContext context(manager_.get(), "");
    CountedRef<TextNode> node(new TextNode(&context, nullptr, nullptr));
    node->setBounds(vector3df(10, 10, 0));
    node->setWordWrap(true);
    node->setKerning(0, 7);
    node->setText(L"abc def\nx");
    EXPECT_EQ(lines(*node), (std::vector<std::wstring>{L"abc def", L"x"}));
    EXPECT_EQ(node->getGlyphQuadCount(), 0u);
    EXPECT_FLOAT_EQ(node->getTextHeight(), 14.0f);
    int32_t line = 5, column = 5;
    EXPECT_EQ(node->findCharacterAt(vector2df(1, 1), line, column), -1);
    RenderList list;
    node->collectRenderItems(list);
    EXPECT_TRUE(list.empty());
}

TEST_F(TextNodeTest, GlyphQuadsPlaceEachCharacter) {
    CountedRef<TextNode> node = makeText(L"ab\nky");
    ASSERT_EQ(node->getGlyphQuadCount(), 4u);
    const QuadRecord& a = node->getGlyphQuad(0);
    EXPECT_EQ(a.vertices[0].Pos, irr::core::vector3df(0.5f, 3.5f, 0));
    EXPECT_EQ(a.vertices[1].Pos, irr::core::vector3df(9.5f, 3.5f, 0));
    EXPECT_EQ(a.vertices[2].Pos, irr::core::vector3df(9.5f, 16.5f, 0));
    EXPECT_EQ(a.vertices[3].Pos, irr::core::vector3df(0.5f, 16.5f, 0));
    // b is glyph 1 at (9, 0) - (17, 12) of the 256 x 32 sheet, half a texel wider all round.
    const QuadRecord& b = node->getGlyphQuad(1);
    EXPECT_FLOAT_EQ(b.vertices[0].Pos.X, 10.5f);
    EXPECT_FLOAT_EQ(b.vertices[0].TCoords.X, 8.5f / 256);
    EXPECT_FLOAT_EQ(b.vertices[0].TCoords.Y, -0.5f / 32);
    EXPECT_FLOAT_EQ(b.vertices[2].TCoords.X, 17.5f / 256);
    EXPECT_FLOAT_EQ(b.vertices[2].TCoords.Y, 12.5f / 32);
    // The second line is one line height lower; the pair "ky" kerns by -3.
    EXPECT_FLOAT_EQ(node->getGlyphQuad(2).vertices[0].Pos.Y, 23.5f);
    EXPECT_FLOAT_EQ(node->getGlyphQuad(3).vertices[0].Pos.X, 7.5f);

    // Twice the original size doubles every metric; kerning adds in font units
    // per character and per line.
    node->setFontSize(28);
    EXPECT_EQ(node->getGlyphQuad(0).vertices[0].Pos, irr::core::vector3df(1.5f, 7.5f, 0));
    EXPECT_EQ(node->getGlyphQuad(0).vertices[2].Pos, irr::core::vector3df(18.5f, 32.5f, 0));
    EXPECT_FLOAT_EQ(node->getGlyphQuad(1).vertices[0].Pos.X, 21.5f);
    node->setFontSize(14);
    node->setKerning(2, 3);
    EXPECT_FLOAT_EQ(node->getGlyphQuad(1).vertices[0].Pos.X, 12.5f);
    EXPECT_FLOAT_EQ(node->getGlyphQuad(2).vertices[0].Pos.Y, 26.5f);
}

// Characters without a usable texture get no quad and no advance.
TEST_F(TextNodeTest, CharactersWithoutTextureAreSkipped) {
    CountedRef<TextNode> node = makeText(L"a1#@b");
    ASSERT_EQ(node->getGlyphQuadCount(), 2u);
    EXPECT_FLOAT_EQ(node->getGlyphQuad(1).vertices[0].Pos.X, 10.5f);
    EXPECT_EQ(node->getGlyphColumn(1), 4u);
}

// One batch per texture, each a copy of the node's material with that texture;
// the draw list keeps each batch's quads together.
TEST_F(TextNodeTest, QuadsAreBatchedByTexture) {
    CountedRef<TextNode> node = makeText(L"aAbB");
    ASSERT_EQ(node->getBatchCount(), 2u);
    TextureContent* lower = font_->getTexture(0)->getTexture();
    TextureContent* upper = font_->getTexture(1)->getTexture();
    EXPECT_EQ(node->getBatch(0).getTexture(), lower);
    EXPECT_EQ(node->getBatch(1).getTexture(), upper);
    EXPECT_EQ(node->getGlyphQuad(0).material, &node->getBatch(0));
    EXPECT_EQ(node->getGlyphQuad(1).material, &node->getBatch(1));
    EXPECT_EQ(node->getDrawList(), (std::vector<uint32_t>{0, 2, 1, 3}));

    const irr::video::SMaterial& flags = node->getBatch(1).flags();
    EXPECT_EQ(flags.MaterialType, EMT_TRANS_ALPHACH_VERTEXALPHA);
    EXPECT_EQ(flags.TextureLayer[0].TextureWrapU, irr::video::ETC_CLAMP_TO_BORDER);
    EXPECT_EQ(flags.TextureLayer[0].TextureWrapV, irr::video::ETC_CLAMP_TO_BORDER);
    EXPECT_TRUE(flags.TextureLayer[0].BilinearFilter);
    EXPECT_TRUE(flags.TextureLayer[0].TrilinearFilter);
    EXPECT_EQ(flags.TextureLayer[0].AnisotropicFilter, 0);
    EXPECT_FALSE(flags.Lighting);
    EXPECT_FALSE(flags.ZWriteEnable);
    EXPECT_EQ(node->getMaterial().getTexture(), nullptr);

    node->setFont(nullptr);
    EXPECT_EQ(node->getBatchCount(), 0u);
    EXPECT_EQ(node->getGlyphQuadCount(), 0u);
    EXPECT_TRUE(node->getDrawList().empty());
}

TEST_F(TextNodeTest, HorizontalAlignment) {
    const struct {
        const wchar_t* text;
        int32_t align;
        float width;
        float firstLeft;  // the left of the first glyph quad
    } cases[] = {
        {L"abc", 1, 100, 0.5f}, {L"abc", 7, 100, 0.5f},   {L"abc", 2, 100, 35.5f},  {L"abc", 2, 101, 36.5f},
        {L"abc", 3, 100, 70.5f}, {L"ab  ", 3, 100, 70.5f}, {L"  ab  ", 2, 100, 40.5f},
    };
    for (const auto& c : cases) {
        CountedRef<TextNode> node = makeText(L"", c.width);
        node->setTextHAlign(c.align);
        node->setText(c.text);
        ASSERT_GT(node->getGlyphQuadCount(), 0u);
        EXPECT_FLOAT_EQ(node->getGlyphQuad(0).vertices[0].Pos.X, c.firstLeft)
            << std::wstring(c.text).size() << " characters, alignment " << c.align;
    }
    // Right-aligned "ab" ends at the right edge; its trailing spaces push it left.
    CountedRef<TextNode> right = makeText(L"", 100);
    right->setTextHAlign(3);
    right->setText(L"ab");
    EXPECT_FLOAT_EQ(right->getGlyphQuad(1).vertices[2].Pos.X, 99.5f);
    right->setText(L"ab  ");
    EXPECT_FLOAT_EQ(right->getGlyphQuad(1).vertices[2].Pos.X, 89.5f);

    // A new alignment does not trim lines laid out before it.
    CountedRef<TextNode> later = makeText(L"  ab", 100);
    later->setTextHAlign(2);
    EXPECT_EQ(lines(*later), std::vector<std::wstring>{L"  ab"});
    later->layout();
    EXPECT_EQ(lines(*later), std::vector<std::wstring>{L"ab"});
}

TEST_F(TextNodeTest, VerticalAlignmentAndHeights) {
    CountedRef<TextNode> node = makeText(L"a\nb\nc", 100, 100);
    node->setKerning(0, 3);
    EXPECT_FLOAT_EQ(node->getTextHeight(), 69.0f);
    const struct {
        int32_t align;
        float first, second, past;
    } cases[] = {{1, 0, 23, 0}, {9, 0, 23, 0}, {2, 17, 40, 17}, {3, 34, 57, 34}};
    for (const auto& c : cases) {
        node->setTextVAlign(c.align);
        EXPECT_FLOAT_EQ(node->getLineTop(0), c.first) << c.align;
        EXPECT_FLOAT_EQ(node->getLineTop(1), c.second) << c.align;
        EXPECT_FLOAT_EQ(node->getLineTop(3), c.past) << c.align;
        EXPECT_FLOAT_EQ(node->getLineTop(-1), c.past) << c.align;
        EXPECT_FLOAT_EQ(node->getGlyphQuad(0).vertices[0].Pos.Y, c.first + 3.5f) << c.align;
    }
    node->setFontSize(28);
    EXPECT_FLOAT_EQ(node->getTextHeight(), 3 * 2 * 23.0f);
}

// Justified lines spread the rest of the width over their spaces; the last
// line and lines ending in a line break stay left-aligned.
TEST_F(TextNodeTest, JustifySpreadsTheRestOverTheSpaces) {
    const struct {
        float fontSize;
        float width;
        std::vector<float> lefts;  // of a, b, c and d on the first line
    } cases[] = {
        {14, 66, {0.5f, 19.5f, 38.5f, 56.5f}},    // 11 over 3 spaces: 4, 4, 3
        {14, 65, {0.5f, 18.5f, 36.5f, 54.5f}},    // 10 over 3 spaces: 3, 3, 3
        {28, 120, {1.5f, 38.5f, 71.5f, 101.5f}},  // 10 over 3 at scale 2: 7, 3 and none
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        CountedRef<TextNode> node = makeText(L"", c.width);
        node->setTextHAlign(4);
        node->setWordWrap(true);
        node->setFontSize(c.fontSize);
        node->setText(L"a b c d eeeee");
        ASSERT_EQ(lines(*node), (std::vector<std::wstring>{L"a b c d", L"eeeee"}));
        const std::vector<float> all = lefts(*node);
        EXPECT_EQ((std::vector<float>{all[0], all[2], all[4], all[6]}), c.lefts);
        EXPECT_FLOAT_EQ(all[7], c.fontSize / 14 * 1 - 0.5f);  // the last line starts at the left
    }
    CountedRef<TextNode> hard = makeText(L"", 66);
    hard->setTextHAlign(4);
    hard->setText(L"a b\nc d");
    EXPECT_FLOAT_EQ(hard->getGlyphQuad(2).vertices[0].Pos.X, 15.5f);  // b right after the space
}

// Texts are shown through the current dictionary; Text keeps the keys.
TEST_F(TextNodeTest, TextsAreTranslatedThroughTheCurrentDictionary) {
    writeText("strings/Dictionary.xml",
              "<?xml version=\"1.0\"?>\n<Dictionary>\n  <s n=\"GREETING\">Hello there</s>\n</Dictionary>\n");
    CountedRef<Dictionary> dictionary(new Dictionary(fs_.get()));
    ASSERT_TRUE(dictionary->load("strings/Dictionary.xml"));

    CountedRef<TextNode> node = makeText(L"%GREETING% abc %NOPE%", 1000);
    EXPECT_EQ(lines(*node), std::vector<std::wstring>{L"%GREETING% abc %NOPE%"});  // no dictionary yet

    setCurrentDictionary(dictionary.get());
    CountedRef<SceneShownEvent> shown(new SceneShownEvent(nullptr));
    EXPECT_FALSE(node->handleEvent(shown.get()));  // laid out again, and declined
    EXPECT_EQ(lines(*node), std::vector<std::wstring>{L"Hello there abc %NOPE%"});
    EXPECT_EQ(std::wstring(node->getText().c_str()), L"%GREETING% abc %NOPE%");
    EXPECT_EQ(node->getGlyphQuadCount(), 22u);  // the font lacks '%': it draws as a space
    CountedRef<PropertySet> set(new PropertySet(manager_.get()));
    node->writeProperties(set.get());
    EXPECT_EQ(std::wstring(getPropertyStringW(set->find("Text")).c_str()), L"%GREETING% abc %NOPE%");

    // Word wrap measures the shown text.
    CountedRef<TextNode> wrapped = makeText(L"", 60);
    wrapped->setWordWrap(true);
    wrapped->setText(L"%GREETING%");
    EXPECT_EQ(lines(*wrapped), (std::vector<std::wstring>{L"Hello", L"there"}));

    // The dictionary changes: the next layout (event 35 too) shows the new text.
    writeText("strings/More.xml", "<texts><phrase tag=\"GREETING\" text=\"Hi\"/></texts>");
    ASSERT_TRUE(dictionary->load("strings/More.xml"));
    CountedRef<Event> refresh(new NodeEvent(nullptr));
    EXPECT_EQ(lines(*wrapped), (std::vector<std::wstring>{L"Hello", L"there"}));
    EXPECT_FALSE(wrapped->onEvent35(refresh.get()));
    EXPECT_EQ(lines(*wrapped), std::vector<std::wstring>{L"Hi"});
}

// Quads are found per line by the quads that line actually made: line breaks,
// wrapped spaces and skipped characters make none.
TEST_F(TextNodeTest, FindCharacterAtIndexesQuadsPerLine) {
    CountedRef<TextNode> node = makeText(L"abc\ndef", 100, 40);
    const struct {
        vector2df point;
        int32_t result, line, column;
    } cases[] = {
        {{12, 25}, 4, 1, 0},   {{-5, 5}, 0, 0, -1},  {{5.5f, 5}, 1, 0, 0},  {{100, 25}, 6, 1, 2},
        {{12, 45}, 6, 1, 2},   {{12, -5}, 1, 0, 0},  {{12, -25}, -1, 0, -1}, {{4.9f, 30}, 3, 1, -1},
    };
    for (const auto& c : cases) {
        int32_t line = 9, column = 9;
        EXPECT_EQ(node->findCharacterAt(c.point, line, column), c.result) << c.point.X << ", " << c.point.Y;
        EXPECT_EQ(line, c.line) << c.point.X << ", " << c.point.Y;
        EXPECT_EQ(column, c.column) << c.point.X << ", " << c.point.Y;
    }

    // Skipped characters: the column is the character's, not the quad count's.
    CountedRef<TextNode> skipped = makeText(L"a1b", 100, 20);
    int32_t line = 0, column = 0;
    EXPECT_EQ(skipped->findCharacterAt(vector2df(50, 10), line, column), 2);
    EXPECT_EQ(column, 2);
}

TEST_F(TextNodeTest, GlyphRectsFollowTheLinesQuads) {
    CountedRef<TextNode> node = makeText(L"", 50, 40);
    node->setWordWrap(true);
    node->setText(L"abc def");
    ASSERT_EQ(node->getGlyphQuadCount(), 6u);
    const struct {
        int32_t line, column;
        rectf rect;
    } cases[] = {
        {0, 2, {20.5f, 3.5f, 29.5f, 16.5f}}, {1, 0, {0.5f, 23.5f, 9.5f, 36.5f}}, {1, 2, {20.5f, 23.5f, 29.5f, 36.5f}},
        {1, 3, {0, 0, 0, 0}},                {2, 0, {0, 0, 0, 0}},               {-1, 0, {0, 0, 0, 0}},
        {0, -1, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(node->getGlyphRect(c.line, c.column), c.rect) << c.line << ", " << c.column;

    CountedRef<TextNode> skipped = makeText(L"a1b", 100, 20);
    skipped->setTextVAlign(3);  // the empty rectangle sits at the first line's top left
    EXPECT_EQ(skipped->getGlyphRect(0, 2), rectf(10.5f, 3.5f, 19.5f, 16.5f));
    EXPECT_EQ(skipped->getGlyphRect(0, 1), rectf(0, 0, 0, 0));
}

TEST_F(TextNodeTest, EditingByLineAndColumn) {
    const struct {
        const char* name;
        const wchar_t* text;
        bool wrap;
        bool insert;
        int32_t line, column;
        const wchar_t* result;
    } cases[] = {
        {"erase CR LF as a pair", L"ab\r\ncd", false, false, 0, 2, L"abcd"},
        {"erase after CR LF", L"ab\r\ncd", false, false, 1, 0, L"ab\r\nd"},
        {"erase after LF", L"ab\ncd", false, false, 1, 1, L"ab\nc"},
        {"erase past the end", L"ab\ncd", false, false, 1, 2, L"ab\ncd"},
        {"erase on a wrapped line", L"abc def", true, false, 1, 0, L"abc ef"},
        {"insert at the front", L"ab\ncd", false, true, 0, 0, L"xab\ncd"},
        {"insert after LF", L"ab\ncd", false, true, 1, 1, L"ab\ncxd"},
        {"insert at the end", L"ab\ncd", false, true, 1, 2, L"ab\ncdx"},
        {"insert past the end", L"ab\ncd", false, true, 1, 3, L"ab\ncd"},
        {"insert on a wrapped line", L"abc def", true, true, 1, 0, L"abc xdef"},
        {"negative column", L"ab", false, true, 0, -1, L"ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CountedRef<TextNode> node = makeText(L"", 50);
        node->setWordWrap(c.wrap);
        node->setText(c.text);
        if (c.insert) {
            node->insertCharacter(L'x', c.line, c.column);
        } else {
            node->eraseCharacter(c.line, c.column);
        }
        EXPECT_EQ(std::wstring(node->getText().c_str()), std::wstring(c.result));
    }
    CountedRef<TextNode> node = makeText(L"ab\ncd");
    node->insertCharacter(L'\n', 0, 1);
    EXPECT_EQ(lines(*node), (std::vector<std::wstring>{L"a", L"b", L"cd"}));
}

TEST_F(TextNodeTest, DrawListEntries) {
    const CreationContext context(manager_.get(), "");
    CountedRef<TextNode> node = makeText(L"ab");
    node->setPosition(vector3df(0, 0, 5));
    CountedRef<TextNode> held(new TextNode(&context, node.get(), nullptr));
    TextNode* child = held.get();
    child->setFont(font_.get());
    child->setText(L"c");
    RenderList list;
    node->collectRenderItems(list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].node, node.get());
    EXPECT_FLOAT_EQ(list[0].depth, 5.0f);
    EXPECT_EQ(list[0].key, 0u);
    EXPECT_EQ(list[1].node, child);

    node->setText(L"");
    list.clear();
    node->collectRenderItems(list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(node->getLineCount(), 1u);
    EXPECT_EQ(node->getGlyphQuadCount(), 0u);

    node->setText(L"ab");
    node->setTintColor(SColor(0, 255, 255, 255));
    child->setTintColor(SColor(255, 255, 255, 255));
    list.clear();
    node->collectRenderItems(list);
    EXPECT_TRUE(list.empty());

    node->setTintColor(SColor(255, 255, 255, 255));
    node->setVisible(false);
    list.clear();
    node->collectRenderItems(list);
    EXPECT_TRUE(list.empty());
}

// Drawing flushes what was queued before, then hands the quads over batch by
// batch in the node's absolute colour.
TEST_F(TextNodeTest, RenderDrawsBatchesInTheNodesColour) {
    CountedRef<TextNode> node = makeText(L"aAbB");
    node->setTintColor(SColor(200, 10, 20, 30));
    RenderList list;
    node->collectRenderItems(list);

    Material other;
    QuadRecord pending;
    pending.material = &other;
    batcher_->begin();
    batcher_->addQuad(&pending);
    node->render(driver(), nullptr);
    ASSERT_EQ(target_.draws.size(), 3u);
    batcher_->end();
    EXPECT_EQ(target_.draws[0].texture, nullptr);
    EXPECT_EQ(target_.draws[1].texture, font_->getTexture(0)->getTexture());
    EXPECT_EQ(target_.draws[2].texture, font_->getTexture(1)->getTexture());
    ASSERT_EQ(target_.draws[1].vertices.size(), 8u);
    EXPECT_FLOAT_EQ(target_.draws[1].vertices[4].Pos.X, 20.5f);  // b follows a in its batch
    for (size_t d = 1; d < 3; ++d)
        for (const irr::video::S3DVertex& v : target_.draws[d].vertices)
            EXPECT_EQ(v.Color.color, SColor(200, 10, 20, 30).color);

    // With a clip rectangle too, on a driver that has no clip planes.
    rectf clip(0, 0, 10, 10);
    node->render(driver(), &clip);
    EXPECT_EQ(target_.draws.size(), 5u);
}

TEST_F(TextNodeTest, HitTestUsesBounds) {
    CountedRef<TextNode> node = makeText(L"", 50, 20);
    node->setPosition(vector3df(10, 10, 0));
    node->updateAbsoluteTransform();
    EXPECT_TRUE(node->hitTest(vector2df(30, 20)));  // no text needed
    EXPECT_FALSE(node->hitTest(vector2df(70, 20)));
    node->setVisible(false);
    EXPECT_FALSE(node->hitTest(vector2df(30, 20)));
}

TEST_F(TextNodeTest, ValuesRoundTripThroughSceneFiles) {
    CountedRef<TextNode> node = makeText(L"Hello\nthere", 80, 50);
    node->setKerning(1.5f, 2);
    node->setFontSize(21);
    node->setTextHAlign(3);
    node->setTextVAlign(2);
    node->setWordWrap(true);

    CountedRef<BaseNode> loaded = roundTrip(node.get());
    TextNode* read = nodeCast<TextNode>(loaded.get());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->getKerning(), vector2df(1.5f, 2));
    EXPECT_FLOAT_EQ(read->getFontSize(), 21.0f);
    EXPECT_EQ(read->getTextHAlign(), 3);
    EXPECT_EQ(read->getTextVAlign(), 2);
    EXPECT_TRUE(read->getWordWrap());
    EXPECT_EQ(read->getFont(), font_.get());
    EXPECT_EQ(std::wstring(read->getText().c_str()), L"Hello\nthere");
    // Read values are laid out: the same lines and quads.
    EXPECT_EQ(lines(*read), lines(*node));
    EXPECT_EQ(lefts(*read), lefts(*node));

    // Defaults write nothing of the text node's own.
    const CreationContext context(manager_.get(), "");
    CountedRef<TextNode> plain(new TextNode(&context, nullptr, nullptr));
    CountedRef<PropertySet> set(new PropertySet(manager_.get()));
    plain->writeProperties(set.get());
    EXPECT_EQ(set->getCount(), 0u);
}

TEST_F(TextNodeTest, SceneFileValuesOfTheWrongTypeReadAsZero) {
    writeText("odd.oscn",
              "<?xml version=\"1.0\"?>\n"
              "<SceneNode Type=\"TextNode\">\n"
              "  <Properties>\n"
              "    <vector2d Name=\"Bounds\" Value=\"1;1\"/>\n"
              "    <int Name=\"FontSize\" Value=\"20\"/>\n"
              "    <float Name=\"TextHAlign\" Value=\"2\"/>\n"
              "    <bool Name=\"TextVAlign\" Value=\"true\"/>\n"
              "    <int Name=\"WordWrap\" Value=\"1\"/>\n"
              "    <string Name=\"Kerning\" Value=\"2;2\"/>\n"
              "    <string Name=\"Font\" Value=\"fonts/test.ofnt\"/>\n"
              "    <string Name=\"Text\" Value=\"narrow text\"/>\n"
              "  </Properties>\n"
              "</SceneNode>\n");
    CountedRef<BaseNode> node(loadSceneFile("odd.oscn", manager_.get()));
    TextNode* text = nodeCast<TextNode>(node.get());
    ASSERT_TRUE(text);
    EXPECT_FLOAT_EQ(text->getFontSize(), 0.0f);
    EXPECT_EQ(text->getTextHAlign(), 0);
    EXPECT_EQ(text->getTextVAlign(), 0);
    EXPECT_FALSE(text->getWordWrap());
    EXPECT_EQ(text->getKerning(), vector2df(0, 0));
    EXPECT_EQ(text->getFont(), nullptr);
    EXPECT_EQ(std::wstring(text->getText().c_str()), L"narrow text");
}

TEST_F(TextNodeTest, PropertyTableEntries) {
    CountedRef<TextNode> node = makeText(L"ab");
    const PropertyTable& table = node->getPropertyTable();
    const uint32_t base = BaseNode::classPropertyTable().size();
    const char* const names[] = {"Kerning", "FontSize", "TextHAlign", "TextVAlign", "WordWrap", "Text", "Font"};
    ASSERT_EQ(table.size(), base + 7);
    for (uint32_t i = 0; i < 7; ++i) EXPECT_EQ(std::string(table[base + i].name.c_str()), names[i]);

    table.set(*node, table.indexOf("Text"), CountedRef<IPropertyData>(makeStringWProperty(L"abc")));
    EXPECT_EQ(node->getGlyphQuadCount(), 3u);
    table.set(*node, table.indexOf("TextHAlign"), CountedRef<IPropertyData>(makeIntProperty(3)));
    EXPECT_FLOAT_EQ(node->getGlyphQuad(0).vertices[0].Pos.X, 70.5f);
    table.set(*node, table.indexOf("Kerning"), CountedRef<IPropertyData>(makeVector2dProperty(vector2df(1, 0))));
    EXPECT_FLOAT_EQ(node->getGlyphQuad(0).vertices[0].Pos.X, 68.5f);
    const CountedRef<IPropertyData> fontData = table.get(*node, table.indexOf("Font"));
    const auto* font = dynamic_cast<const CPropertyDataFont*>(fontData.get());
    ASSERT_TRUE(font);
    EXPECT_EQ(font->getFont(), font_.get());
    table.set(*node, table.indexOf("Font"), CountedRef<IPropertyData>(makeIntProperty(1)));
    EXPECT_EQ(node->getFont(), nullptr);
    EXPECT_EQ(node->getGlyphQuadCount(), 0u);
    const CountedRef<IPropertyData> sizeData = table.get(*node, table.indexOf("FontSize"));
    const auto* size = dynamic_cast<const CPropertyDataFloat*>(sizeData.get());
    ASSERT_TRUE(size);
    EXPECT_FLOAT_EQ(size->value, 14.0f);
}

TEST_F(TextNodeTest, FactoryKindAndClone) {
    const CreationContext context(manager_.get(), "");
    CountedRef<BaseNode> made(getNodeFactory().createNode(L"TextNode", &context));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->getTypeId(), 2);
    EXPECT_TRUE(made->isOfType(0));
    EXPECT_EQ(std::wstring(made->getClassName()), L"TextNode");

    CountedRef<TextNode> node = makeText(L"", 60);
    node->setWordWrap(true);
    node->setTextHAlign(2);
    node->setKerning(1, 1);
    node->setFontSize(28);
    node->setText(L"abc def");
    CountedRef<BaseNode> copy(node->clone(nullptr, nullptr));
    TextNode* clone = nodeCast<TextNode>(copy.get());
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->getFont(), font_.get());
    EXPECT_TRUE(clone->getWordWrap());
    EXPECT_EQ(clone->getTextHAlign(), 2);
    EXPECT_EQ(clone->getKerning(), vector2df(1, 1));
    EXPECT_FLOAT_EQ(clone->getFontSize(), 28.0f);
    EXPECT_EQ(lines(*clone), lines(*node));
    EXPECT_EQ(lefts(*clone), lefts(*node));
    EXPECT_EQ(clone->getGlyphQuad(0).material, &clone->getBatch(0));
}
