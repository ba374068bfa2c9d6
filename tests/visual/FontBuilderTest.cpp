// The font builder renders a TrueType font into a font file and glyph sheets
// that the engine loads back as they were built.
#include "engine/platform/Image.h"
#include "engine/visual/BitmapFont.h"
#include "tools/fontbuild/FontBuilder.h"
#include "support/SetUpNeeds.h"
#include "visual/AtlasTestSupport.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <string>

using namespace engine;
using fontbuild::BuiltGlyph;
using fontbuild::FontBuilder;
using fontbuild::FontBuildOptions;

namespace {

const char* const kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class FontBuilderTest : public visual_test::ContentFixture {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kSans)) SKIP_OR_FAIL_UNDER_CI() << "no DejaVu font (fonts-dejavu-core) at " << kSans;
    }

    static FontBuildOptions options(int size, const std::wstring& characters) {
        FontBuildOptions o;
        o.fontPath = kSans;
        o.pixelSize = size;
        for (wchar_t c : characters) o.characters.push_back(static_cast<uint32_t>(c));
        return o;
    }

    CountedRef<BaseFont> load(const char* path) {
        Content* content = manager_->load(ContentType::Font, path, false);
        BaseFont* font = dynamic_cast<BaseFont*>(content);
        if (!font && content) content->release();
        return CountedRef<BaseFont>(font);
    }

    static float advance(const BuiltGlyph& g) { return static_cast<float>(g.beforeX + (g.x2 - g.x1) + g.afterX); }

    static const BuiltGlyph* built(const FontBuilder& builder, wchar_t code) {
        for (const BuiltGlyph& g : builder.glyphs())
            if (g.code == code) return &g;
        return nullptr;
    }
};

}  // namespace

TEST_F(FontBuilderTest, BuiltFontsLoadBackAsBuilt) {
    FontBuilder builder;
    ASSERT_TRUE(builder.render(options(24, L" AVWTo.,\"&<>'\u00e9\u00c4xyz"))) << builder.error();
    ASSERT_TRUE(builder.write(dir_.file("fonts/Sans.ofnt"))) << builder.error();
    ASSERT_EQ(builder.sheetCount(), 1u);

    CountedRef<BaseFont> font = load("fonts/Sans.ofnt");
    ASSERT_TRUE(font);
    EXPECT_FLOAT_EQ(font->getOriginalSize(), 24.0f);
    EXPECT_EQ(font->getGlobalKerning(), vector2df(0, 0));
    EXPECT_FLOAT_EQ(font->getLineHeight(), static_cast<float>(builder.lineHeight()));
    EXPECT_GT(builder.lineHeight(), 24);

    // Every glyph, the markup characters included, comes back as built.
    ASSERT_EQ(font->getGlyphs().size(), builder.glyphs().size());
    ASSERT_EQ(builder.glyphs().size(), 18u);
    for (const BuiltGlyph& g : builder.glyphs()) {
        SCOPED_TRACE(static_cast<int>(g.code));
        const FontGlyph* read = font->getGlyph(font->findGlyph(static_cast<wchar_t>(g.code)));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->rect, rectf(g.x1, g.y1, g.x2, g.y2));
        EXPECT_EQ(read->before, vector2df(g.beforeX, g.beforeY));
        EXPECT_EQ(read->after, vector2df(g.afterX, g.afterY));
        EXPECT_EQ(read->textureIndex, g.sheet);
        // Each glyph spans the line height exactly.
        EXPECT_FLOAT_EQ(read->height + read->before.Y + read->after.Y, font->getLineHeight());
    }
    EXPECT_EQ(font->findGlyph(L'Q'), font->findGlyph(L' '));  // not built: the space

    // Kerning pairs come back, and texts measure with them.
    ASSERT_FALSE(builder.kerning().empty());
    for (const auto& k : builder.kerning())
        EXPECT_EQ(font->getKerning(static_cast<wchar_t>(k.first), static_cast<wchar_t>(k.second)), k.amount);
    const float av = advance(*built(builder, L'A')) + advance(*built(builder, L'V')) +
                     static_cast<float>(font->getKerning(L'A', L'V'));
    EXPECT_FLOAT_EQ(font->getTextDimension(L"AV", vector2df(0, 0)).X, av);
    EXPECT_NE(font->getKerning(L'A', L'V'), 0);

    // The sheet loads as the font's texture with the rendered pixels.
    ASSERT_EQ(font->getTextureCount(), 1u);
    ASSERT_TRUE(font->getTexture(0));
    EXPECT_STREQ(font->getTexture(0)->getCreationContext().getName().c_str(), "fonts/Sans_0.png");
    CountedRef<Image> sheet(static_cast<Image*>(manager_->load(ContentType::Image, "fonts/Sans_0.png", false)));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->getDimension(), builder.sheet(0)->getDimension());
    const BuiltGlyph& a = *built(builder, L'A');
    int opaque = 0;
    for (int y = a.y1 - 1; y <= a.y2; ++y) {
        for (int x = a.x1 - 1; x <= a.x2; ++x) {
            ASSERT_EQ(sheet->getPixel(x, y), builder.sheet(0)->getPixel(x, y)) << x << "," << y;
            if ((sheet->getPixel(x, y) >> 24) == 0xFF) ++opaque;
            // The padding around a glyph is clear.
            if (x < a.x1 || y < a.y1 || x >= a.x2 || y >= a.y2) {
                EXPECT_EQ(sheet->getPixel(x, y) >> 24, 0u);
            }
        }
    }
    EXPECT_GT(opaque, 10);
}

TEST_F(FontBuilderTest, GlyphsSpreadOverSeveralSheets) {
    FontBuildOptions o = options(24, L"");
    o.maxSheetSize = 64;
    FontBuilder builder;
    ASSERT_TRUE(builder.render(o)) << builder.error();
    ASSERT_GT(builder.sheetCount(), 2u);
    ASSERT_TRUE(builder.write(dir_.file("fonts/Small.ofnt"))) << builder.error();
    for (size_t i = 0; i < builder.sheetCount(); ++i) {
        EXPECT_LE(builder.sheet(i)->getWidth(), 64);
        EXPECT_LE(builder.sheet(i)->getHeight(), 64);
    }

    CountedRef<BaseFont> font = load("fonts/Small.ofnt");
    ASSERT_TRUE(font);
    ASSERT_EQ(font->getTextureCount(), builder.sheetCount());
    for (uint32_t i = 0; i < font->getTextureCount(); ++i) EXPECT_TRUE(font->getTexture(i)) << i;
    EXPECT_EQ(font->getGlyphs().size(), builder.glyphs().size());
    for (const FontGlyph& g : font->getGlyphs()) {
        ASSERT_GE(g.textureIndex, 0);
        ASSERT_LT(static_cast<uint32_t>(g.textureIndex), font->getTextureCount());
        const Image* sheet = builder.sheet(static_cast<size_t>(g.textureIndex));
        EXPECT_LE(g.rect.LowerRightCorner.X, sheet->getWidth());
        EXPECT_LE(g.rect.LowerRightCorner.Y, sheet->getHeight());
    }
}

TEST_F(FontBuilderTest, ReportsWhatCannotBeBuilt) {
    FontBuilder builder;
    EXPECT_FALSE(builder.write(dir_.file("fonts/none.ofnt")));
    EXPECT_FALSE(builder.error().empty());

    FontBuildOptions missing = options(20, L"A");
    missing.fontPath = dir_.file("missing.ttf");
    EXPECT_FALSE(builder.render(missing));
    EXPECT_NE(builder.error().find("missing.ttf"), std::string::npos);

    writeText("broken.ttf", "not a font");
    FontBuildOptions broken = options(20, L"A");
    broken.fontPath = dir_.file("broken.ttf");
    EXPECT_FALSE(builder.render(broken));

    EXPECT_FALSE(builder.render(options(0, L"A")));
    EXPECT_FALSE(builder.render(options(20, L"\uffff")));  // nothing the face has

    FontBuildOptions tiny = options(48, L"W");
    tiny.maxSheetSize = 16;
    EXPECT_FALSE(builder.render(tiny));
    EXPECT_FALSE(builder.write(dir_.file("fonts/none.ofnt")));
    EXPECT_FALSE(std::filesystem::exists(dir_.file("fonts/none.ofnt")));
}
