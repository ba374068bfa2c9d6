// A scene file with sprites from a packed atlas, a nine-grid panel and a
// wrapped, right-aligned, localised text in a font made by the font builder is
// loaded through the content manager, its draw list collected and sorted by
// depth, and drawn through the quad batcher on the OpenGL driver, as the scene
// manager draws a frame. The back buffer is then checked pixel by pixel. (The
// platform tests draw the same scene through the device and a scene manager.)
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
#include "support/SetUpNeeds.h"
#include "visual/AtlasTestSupport.h"
#include "visual/SceneDrawContent.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <string>
#include <vector>

using namespace engine;
using irr::u32;

namespace {

using namespace scene_draw;

class SceneDrawPixelTest : public visual_test::ContentFixture {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kSans)) SKIP_OR_FAIL_UNDER_CI() << "no DejaVu font (fonts-dejavu-core) at " << kSans;
        std::string whyNot;
        gl_ = visual_test::createOpenGLDevice(256, 256, &whyNot);
        if (!gl_) SKIP_OR_FAIL_UNDER_CI() << "OpenGL pixel tests: " << whyNot;
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

    // The atlas, the font, the dictionary and the scene file.
    void makeContent() { writeSceneDrawContent(dir_, builder_); }

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
    expectSpritesAndPanel([&](u32 x, u32 y) { return frame->getPixel(x, y).color; });

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
    expectTextLinesRightAligned([&](u32 x, u32 y) { return frame->getPixel(x, y).color; }, font_->getLineHeight());
    if (HasFatalFailure()) return;

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
