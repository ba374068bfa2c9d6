// A scene file with sprites from a packed atlas, a nine-grid panel and a
// wrapped, right-aligned, localised text in a font made by the font builder is
// loaded through the content manager, its draw list collected and sorted by
// depth, and drawn through the quad batcher on the OpenGL driver, as the scene
// manager draws a frame. The back buffer is then checked pixel by pixel.
// Needs an X display (the suite runs under Xvfb); without one it is skipped.
#include "engine/content/Dictionary.h"
#include "engine/core/NameId.h"
#include "engine/io/IrrRef.h"
#include "engine/visual/AtlasTextureCollection.h"
#include "engine/visual/BackBufferCapture.h"
#include "engine/visual/BitmapFont.h"
#include "engine/visual/NineGridSpriteNode.h"
#include "engine/visual/RenderContext.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "tools/atlaspack/AtlasPacker.h"
#include "tools/fontbuild/FontBuilder.h"
#include "visual/AtlasTestSupport.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace engine;
using irr::u32;

namespace {

const char* const kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

const uint32_t RED = 0xFFFF0000u;
const uint32_t GREEN = 0xFF00FF00u;
const uint32_t BLUE = 0xFF0000FFu;
const uint32_t YELLOW = 0xFFFFFF00u;
const uint32_t CYAN = 0xFF00FFFFu;
const uint32_t MAGENTA = 0xFFFF00FFu;
const uint32_t BLACK = 0xFF000000u;

// Sprites: natural size with trimmed margins, stretched, flipped, pivoted,
// clipped; a nine-grid panel with one sprite in front of it (z 1) and one
// behind it (z -1, listed after it); a text node on top. Every node is named
// for the checks.
const char* const kScene = R"(<?xml version="1.0"?>
<SceneNode Type="BaseNode">
  <SceneNode Type="SpriteNode">
    <Properties>
      <string Name="Name" Value="natural"/>
      <vector3d Name="Position" Value="10;10;0"/>
      <atlasTexture Name="AtlasTexture" Value="ui/red.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="SpriteNode">
    <Properties>
      <vector3d Name="Position" Value="40;10;0"/>
      <vector3d Name="Bounds" Value="64;32;0"/>
      <int Name="ImageStretchX" Value="1"/>
      <int Name="ImageStretchY" Value="1"/>
      <atlasTexture Name="AtlasTexture" Value="ui/arrow.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="SpriteNode">
    <Properties>
      <vector3d Name="Position" Value="120;10;0"/>
      <bool Name="FlipX" Value="true"/>
      <atlasTexture Name="AtlasTexture" Value="ui/arrow.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="SpriteNode">
    <Properties>
      <string Name="Name" Value="pivoted"/>
      <vector3d Name="Position" Value="160;30;0"/>
      <vector2d Name="ImagePivotPoint" Value="8;8"/>
      <atlasTexture Name="AtlasTexture" Value="ui/red.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="SpriteNode">
    <Properties>
      <vector3d Name="Position" Value="190;10;0"/>
      <vector3d Name="Bounds" Value="8;8;0"/>
      <int Name="ImageStretchX" Value="3"/>
      <atlasTexture Name="AtlasTexture" Value="ui/arrow.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="NineGridSpriteNode">
    <Properties>
      <vector3d Name="Position" Value="10;60;0"/>
      <vector3d Name="Bounds" Value="120;60;0"/>
      <atlasTexture Name="AtlasTexture" Value="ui/panel.png"/>
    </Properties>
    <SceneNode Type="SpriteNode">
      <Properties>
        <vector3d Name="Position" Value="30;20;1"/>
        <atlasTexture Name="AtlasTexture" Value="ui/red.png"/>
      </Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="SpriteNode">
    <Properties>
      <vector3d Name="Position" Value="90;80;-1"/>
      <atlasTexture Name="AtlasTexture" Value="ui/arrow.png"/>
    </Properties>
  </SceneNode>
  <SceneNode Type="TextNode">
    <Properties>
      <string Name="Name" Value="text"/>
      <vector3d Name="Position" Value="10;140;2"/>
      <vector3d Name="Bounds" Value="100;80;0"/>
      <float Name="FontSize" Value="20"/>
      <int Name="TextHAlign" Value="3"/>
      <bool Name="WordWrap" Value="true"/>
      <font Name="Font" Value="fonts/Sans.ofnt"/>
      <stringw Name="Text" Value="%GREETING%"/>
    </Properties>
  </SceneNode>
</SceneNode>
)";

std::string rgb(uint32_t argb) {
    return std::to_string((argb >> 16) & 0xFF) + "," + std::to_string((argb >> 8) & 0xFF) + "," +
           std::to_string(argb & 0xFF);
}

bool near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {16, 8, 0}) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > tolerance || d < -tolerance) return false;
    }
    return true;
}

class SceneDrawPixelTest : public visual_test::ContentFixture {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kSans)) GTEST_SKIP() << "no DejaVu font (fonts-dejavu-core) at " << kSans;
        std::string whyNot;
        gl_ = visual_test::createOpenGLDevice(256, 256, &whyNot);
        if (!gl_) GTEST_SKIP() << "OpenGL pixel tests skipped: " << whyNot;
        driver_ = gl_->getVideoDriver();
        driver_->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, false);
        driver_->setTextureCreationFlag(irr::video::ETCF_ALWAYS_32_BIT, true);
        // Content of this test is made for the OpenGL driver.
        manager_.reset();
        processors_.reset(new CContentProcessorsManager(driver_, nullptr, fs_.get(), nullptr));
        manager_.reset(new CContentManager(driver_, fs_.get(), processors_.get()));
        context_ = makeRef<RenderContext>(driver_);
        setDriverQuadBatcher(driver_, context_->getQuadBatcher());
        dictionary_ = makeRef<Dictionary>(fs_.get());
    }

    void TearDown() override {
        setCurrentDictionary(nullptr);
        scene_.reset();
        collection_.reset();
        font_.reset();
        manager_.reset();
        processors_.reset();
        if (driver_) setDriverQuadBatcher(driver_, nullptr);
        context_.reset();
        gl_.reset();
    }

    // The images, the atlas, the font, the dictionary and the scene file.
    void makeContent() {
        atlaspack::AtlasPacker packer;
        packer.addImage("ui/red.png", image(16, 16, [](u32 x, u32 y) {
                            return x >= 3 && x < 13 && y >= 3 && y < 13 ? RED : 0x00000000u;
                        }).get());
        packer.addImage("ui/arrow.png", image(16, 8, [](u32 x, u32) { return x < 8 ? GREEN : BLUE; }).get());
        packer.addImage("ui/panel.png", image(30, 30, [](u32 x, u32 y) {
                            const int column = x < 10 ? 0 : x < 20 ? 1 : 2;
                            const int row = y < 10 ? 0 : y < 20 ? 1 : 2;
                            if (column != 1 && row != 1) return YELLOW;
                            return column == 1 && row == 1 ? MAGENTA : CYAN;
                        }).get());
        ASSERT_TRUE(packer.pack()) << packer.error();
        ASSERT_TRUE(packer.write(dir_.file("ui.xml"))) << packer.error();

        fontbuild::FontBuildOptions options;
        options.fontPath = kSans;
        options.pixelSize = 20;
        ASSERT_TRUE(builder_.render(options)) << builder_.error();
        ASSERT_TRUE(builder_.write(dir_.file("fonts/Sans.ofnt"))) << builder_.error();

        writeText("strings/Dictionary.xml",
                  "<?xml version=\"1.0\"?>\n<Dictionary>\n  <s n=\"GREETING\">Hello world</s>\n</Dictionary>\n");
        writeText("scene.oscn", kScene);
    }

    template <class ColourOf>
    CountedRef<Image> image(u32 width, u32 height, ColourOf colour) {
        CountedRef<Image> made(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(width, height)));
        for (u32 y = 0; y < height; ++y)
            for (u32 x = 0; x < width; ++x) writePixel(made->getData() + y * made->getPitch() + x * 4, CF_A8R8G8B8, colour(x, y));
        return made;
    }

    // Loads everything through the content manager: the atlas first, so its
    // entries are in the cache when the scene names them.
    void loadScene() {
        collection_ = CountedRef<Content>(manager_->load(ContentType::AtlasTextureCollection, "ui.xml", false));
        ASSERT_TRUE(dynamic_cast<AtlasTextureCollection*>(collection_.get()));
        ASSERT_TRUE(dictionary_->load("strings/Dictionary.xml"));
        setCurrentDictionary(dictionary_.get());
        scene_ = CountedRef<BaseNode>(manager_->loadSceneNode("scene.oscn", false));
        ASSERT_TRUE(scene_);
        Content* font = manager_->load(ContentType::Font, "fonts/Sans.ofnt", false);
        font_ = CountedRef<BaseFont>(dynamic_cast<BaseFont*>(font));
        ASSERT_TRUE(font_);
    }

    // One frame as the scene manager draws it: collect, sort by depth, then
    // flush, begin, every item, end. The back buffer is read before it is shown.
    IrrRef<irr::video::IImage> drawFrame() {
        driver_->beginScene(true, true, irr::video::SColor(BLACK));
        RenderList items;
        scene_->collectRenderItems(items);
        items.sort();
        QuadBatcher* batcher = getDriverQuadBatcher(driver_);
        batcher->flush();
        batcher->begin();
        for (u32 i = 0; i < items.size(); ++i) items[i].node->render(driver_, nullptr);
        batcher->end();
        IrrRef<irr::video::IImage> frame(captureBackBuffer(driver_));
        driver_->endScene();
        return frame;
    }

    IrrRef<irr::IrrlichtDevice> gl_;
    irr::video::IVideoDriver* driver_ = nullptr;
    CountedRef<RenderContext> context_;
    CountedRef<Dictionary> dictionary_;
    fontbuild::FontBuilder builder_;
    CountedRef<Content> collection_;
    CountedRef<BaseNode> scene_;
    CountedRef<BaseFont> font_;
};

}  // namespace

TEST_F(SceneDrawPixelTest, SpritesPanelAndTextDrawWhereTheirPropertiesSay) {
    makeContent();
    if (HasFatalFailure()) return;
    loadScene();
    if (HasFatalFailure()) return;
    IrrRef<irr::video::IImage> frame = drawFrame();
    ASSERT_TRUE(frame);
    const auto pixel = [&](u32 x, u32 y) { return frame->getPixel(x, y).color; };

    struct Check {
        const char* what;
        u32 x, y;
        uint32_t colour;
    };
    const Check checks[] = {
        // Natural size: the 10 x 10 red square keeps its 3-pixel trimmed margin.
        {"natural inside", 18, 18, RED},         {"natural first pixel", 13, 13, RED},
        {"natural last pixel", 22, 22, RED},     {"natural trimmed margin", 11, 11, BLACK},
        {"natural right of it", 24, 18, BLACK},
        // Stretched to 64 x 32: green left half, blue right half.
        {"stretched left", 50, 26, GREEN},       {"stretched right", 95, 26, BLUE},
        {"stretched low", 60, 36, GREEN},     {"below stretched", 60, 43, BLACK},
        // Flipped: the blue half comes first.
        {"flipped left", 123, 14, BLUE},         {"flipped right", 133, 14, GREEN},
        // The pivot (8, 8) of the 16 x 16 frame lies on (160, 30).
        {"pivoted first pixel", 155, 25, RED},   {"pivoted last pixel", 164, 34, RED},
        {"left of pivoted", 153, 30, BLACK},     {"right of pivoted", 166, 30, BLACK},
        // Clipped to 8 pixels: only the green half.
        {"clipped", 194, 14, GREEN},             {"cut off", 200, 14, BLACK},
        // The nine-grid over (10, 60) - (130, 120): corners keep 10 pixels.
        {"panel top-left", 15, 65, YELLOW},      {"panel top edge", 70, 65, CYAN},
        {"panel left edge", 15, 100, CYAN},      {"panel centre", 70, 100, MAGENTA},
        {"panel right edge", 125, 90, CYAN},     {"panel bottom-right", 125, 115, YELLOW},
        {"right of panel", 133, 90, BLACK},
        // Depth order: the child at z 1 is in front, the sprite at z -1 behind.
        {"sprite in front", 48, 88, RED},        {"sprite behind", 95, 84, MAGENTA},
    };
    for (const Check& c : checks)
        EXPECT_TRUE(near(pixel(c.x, c.y), c.colour, 2))
            << c.what << " at " << c.x << ", " << c.y << ": " << rgb(pixel(c.x, c.y)) << " instead of " << rgb(c.colour);

    // The opaque-pixel hit test over the loaded textures.
    BaseNode* natural = scene_->findChild(makeNameId("natural"));
    ASSERT_TRUE(natural);
    EXPECT_EQ(scene_->findNodeAt(vector2df(18.5f, 18.5f)), natural);
    EXPECT_EQ(scene_->findNodeAt(vector2df(11.5f, 11.5f)), nullptr);
    EXPECT_EQ(scene_->findNodeAt(vector2df(156.5f, 26.5f)), scene_->findChild(makeNameId("pivoted")));
}

// The localised text wraps into two lines, each ending at the right edge of
// the node's box, and every glyph is the font sheet's, texel for texel.
TEST_F(SceneDrawPixelTest, TextIsLocalisedWrappedRightAlignedAndPixelExact) {
    makeContent();
    if (HasFatalFailure()) return;
    loadScene();
    if (HasFatalFailure()) return;
    TextNode* text = nodeCast<TextNode>(scene_->findChild(makeNameId("text")));
    ASSERT_TRUE(text);
    ASSERT_EQ(text->getFont(), font_.get());
    // The whole text is wider than the box, each word fits.
    ASSERT_GT(font_->getTextDimension(L"Hello world", vector2df(0, 0)).X, 100.0f);
    ASSERT_LT(font_->getTextDimension(L"Hello", vector2df(0, 0)).X, 90.0f);
    ASSERT_LT(font_->getTextDimension(L"world", vector2df(0, 0)).X, 90.0f);
    ASSERT_EQ(text->getLineCount(), 2u);
    EXPECT_EQ(std::wstring(text->getLine(0).c_str()), L"Hello");
    EXPECT_EQ(std::wstring(text->getLine(1).c_str()), L"world");

    IrrRef<irr::video::IImage> frame = drawFrame();
    ASSERT_TRUE(frame);
    const auto ink = [&](u32 x, u32 y) { return frame->getPixel(x, y).getRed() > 64; };

    // Each line's ink: right-aligned within the box at (10, 140) - (110, 220).
    const float lineHeight = font_->getLineHeight();
    for (u32 line = 0; line < 2; ++line) {
        SCOPED_TRACE(line);
        const u32 top = 140 + static_cast<u32>(line * lineHeight);
        const u32 bottom = 140 + static_cast<u32>((line + 1) * lineHeight);
        int leftmost = 256, rightmost = -1;
        for (u32 y = top; y < bottom; ++y)
            for (u32 x = 0; x < 256; ++x)
                if (ink(x, y)) {
                    leftmost = std::min(leftmost, static_cast<int>(x));
                    rightmost = std::max(rightmost, static_cast<int>(x));
                }
        ASSERT_GE(rightmost, 0) << "no ink";
        EXPECT_GE(rightmost, 110 - 5);
        EXPECT_LT(rightmost, 110);
        EXPECT_GT(leftmost, 10 + 5);
    }
    for (u32 y = 140 + static_cast<u32>(2 * lineHeight); y < 230; ++y)
        for (u32 x = 0; x < 256; ++x) ASSERT_FALSE(ink(x, y)) << "ink below the text at " << x << ", " << y;

    // At FontSize = OriginalSize every glyph pixel is its sheet texel's alpha
    // (white over black), wherever no other glyph overlaps it.
    std::vector<int> cover(256 * 256, 0);
    struct Box {
        int x0, y0, x1, y1;
        const FontGlyph* glyph;
    };
    std::vector<Box> boxes;
    ASSERT_EQ(text->getGlyphQuadCount(), 10u);
    for (u32 q = 0; q < text->getGlyphQuadCount(); ++q) {
        const QuadRecord& quad = text->getGlyphQuad(q);
        const wchar_t ch = text->getLine(text->getGlyphLine(q))[text->getGlyphColumn(q)];
        const FontGlyph* glyph = font_->getGlyph(font_->findGlyph(ch));
        ASSERT_TRUE(glyph);
        Box box{10 + static_cast<int>(quad.vertices[0].Pos.X + 0.5f), 140 + static_cast<int>(quad.vertices[0].Pos.Y + 0.5f),
                0, 0, glyph};
        box.x1 = box.x0 + static_cast<int>(glyph->width);
        box.y1 = box.y0 + static_cast<int>(glyph->height);
        for (int y = box.y0; y < box.y1; ++y)
            for (int x = box.x0; x < box.x1; ++x) ++cover[y * 256 + x];
        boxes.push_back(box);
    }
    int compared = 0;
    for (const Box& box : boxes) {
        Image* sheet = builder_.sheet(static_cast<size_t>(box.glyph->textureIndex));
        ASSERT_TRUE(sheet);
        for (int y = box.y0; y < box.y1; ++y) {
            for (int x = box.x0; x < box.x1; ++x) {
                if (cover[y * 256 + x] != 1) continue;
                const int tx = static_cast<int>(box.glyph->rect.UpperLeftCorner.X) + (x - box.x0);
                const int ty = static_cast<int>(box.glyph->rect.UpperLeftCorner.Y) + (y - box.y0);
                const int alpha = static_cast<int>(sheet->getPixel(tx, ty) >> 24);
                const int drawn = frame->getPixel(static_cast<u32>(x), static_cast<u32>(y)).getRed();
                ASSERT_NEAR(drawn, alpha, 2) << "pixel " << x << ", " << y << " texel " << tx << ", " << ty;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 300);
}

// A clipping parent draws the text through four user clip planes: nothing of
// it shows outside the parent's box, and the planes are off again afterwards.
TEST_F(SceneDrawPixelTest, TextIsClippedByAClippingParent) {
    makeContent();
    if (HasFatalFailure()) return;
    loadScene();
    if (HasFatalFailure()) return;
    const CreationContext context(manager_.get(), "");
    CountedRef<BaseNode> clipper(new BaseNode(&context, scene_.get(), nullptr));
    clipper->setPosition(vector3df(140, 150, 3));
    clipper->setBounds(vector3df(30, 12, 0));
    clipper->setChildrenClipped(true);
    CountedRef<TextNode> text(new TextNode(&context, clipper.get(), nullptr));
    text->setPosition(vector3df(-5, -4, 0));
    text->setBounds(vector3df(200, 40, 0));
    text->setFont(font_.get());
    text->setFontSize(20);
    text->setText(L"HHHHHHHH");
    // A sprite drawn after the clipped text is not clipped.
    CountedRef<SpriteNode> after(new SpriteNode(&context, scene_.get(), nullptr));
    after->setPosition(vector3df(200, 150, 4));
    after->setAtlasTexture(nodeCast<SpriteNode>(scene_->findChild(makeNameId("natural")))->getAtlasTexture());

    IrrRef<irr::video::IImage> frame = drawFrame();
    ASSERT_TRUE(frame);
    int inside = 0;
    for (u32 y = 130; y < 200; ++y) {
        for (u32 x = 120; x < 200; ++x) {
            const bool ink = frame->getPixel(x, y).getRed() > 64;
            const bool clipped = x < 140 || x >= 170 || y < 150 || y >= 162;
            if (clipped) {
                ASSERT_FALSE(ink) << "ink outside the clip box at " << x << ", " << y;
            } else if (ink) {
                ++inside;
            }
        }
    }
    EXPECT_GT(inside, 20);
    EXPECT_TRUE(near(frame->getPixel(208, 158).color, RED, 2)) << rgb(frame->getPixel(208, 158).color);
}
