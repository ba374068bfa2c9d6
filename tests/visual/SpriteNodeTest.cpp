// Sprite nodes: the quad for every stretch mode, pivot, trim margins and flips,
// draw-list entries, pixel-accurate hit tests, and their values in scene files.
#include "engine/core/NodeFactory.h"
#include "engine/visual/PropertyDataVisual.h"
#include "engine/core/PropertySet.h"
#include "engine/visual/SpriteNode.h"
#include "support/LogCapture.h"
#include "visual/SpriteTestSupport.h"

#include <gtest/gtest.h>
#include <cmath>
#include <string>

using namespace engine;
using visual_test::corners;

namespace {

// The sheet is 32 x 32 and opaque everywhere outside the sprite's image, so a
// hit test that reads the wrong texel shows. The image is the pixel rectangle
// (8, 4) - (24, 12): 16 x 8 pixels, trimmed by (2, 3) on the left and top and
// (1, 1) on the right and bottom. By image column: 0-3 opaque, 4-7 clear, 8-11
// alpha 20 (not opaque enough), 12-15 alpha 21 on rows 4-7 and clear above.
uint32_t sheetPixel(irr::u32 x, irr::u32 y) {
    if (x < 8 || x >= 24 || y < 4 || y >= 12) return 0xFF808080u;
    const irr::u32 ix = x - 8;
    const irr::u32 iy = y - 4;
    if (ix < 4) return 0xFFFF0000u;
    if (ix < 8) return 0x00000000u;
    if (ix < 12) return 0x1400FF00u;
    return iy >= 4 ? 0x150000FFu : 0x00000000u;
}

class SpriteNodeTest : public visual_test::NodeContentFixture {
protected:
    SpriteNodeTest() {
        texture_ = makeTexture("sheet.png", 32, 32, &sheetPixel);
        atlas_ = makeAtlas("ui/sprite.png", texture_.get(), recti(8, 4, 24, 12), {2, 3}, {1, 1});
    }

    // A sprite at (100, 50) with Bounds (40, 20) showing the test image.
    CountedRef<SpriteNode> makeSprite() {
        const CreationContext context(manager_.get(), "");
        CountedRef<SpriteNode> sprite(new SpriteNode(&context, nullptr, nullptr));
        sprite->setPosition(vector3df(100, 50, 0));
        sprite->setBounds(vector3df(40, 20, 0));
        sprite->setAtlasTexture(atlas_.get());
        return sprite;
    }

    CountedRef<TextureContent> texture_;
    CountedRef<AtlasTextureContent> atlas_;
};

struct QuadCase {
    const char* name;
    int32_t stretchX, stretchY;
    vector2df pivot;
    vector2df bounds;
    bool flipX, flipY;
    rectf screen;  // corner 0 and corner 2
    rectf uv;      // texture coordinates of corners 0 and 2, in sheet pixels
};

}  // namespace

// The quad of each stretch mode, with and without a pivot, and the flips. The
// image's leading margin (2, 3) shifts it right and down; the pivot left and up.
TEST_F(SpriteNodeTest, QuadFollowsStretchModesPivotMarginsAndFlips) {
    const QuadCase cases[] = {
        {"natural", 0, 0, {0, 0}, {40, 20}, false, false, {102, 53, 118, 61}, {8, 4, 24, 12}},
        {"natural with pivot", 0, 0, {5, 4}, {40, 20}, false, false, {97, 49, 113, 57}, {8, 4, 24, 12}},
        {"unknown mode is natural", 7, -1, {0, 0}, {40, 20}, false, false, {102, 53, 118, 61}, {8, 4, 24, 12}},
        {"stretch", 1, 1, {0, 0}, {40, 20}, false, false, {102, 53, 142, 73}, {8, 4, 24, 12}},
        {"stretch with pivot", 1, 1, {5, 4}, {40, 20}, false, false, {97, 49, 137, 69}, {8, 4, 24, 12}},
        {"fit keeps natural size", 2, 2, {0, 0}, {40, 20}, false, false, {102, 53, 118, 61}, {8, 4, 24, 12}},
        {"clip cuts both sides", 3, 3, {5, 4}, {10, 5}, false, false, {100, 50, 110, 55}, {11, 5, 21, 10}},
        {"clip inside bounds", 3, 3, {0, 0}, {40, 20}, false, false, {102, 53, 118, 61}, {8, 4, 24, 12}},
        {"flip x swaps u only", 0, 0, {0, 0}, {40, 20}, true, false, {102, 53, 118, 61}, {24, 4, 8, 12}},
        {"flip y swaps v only", 0, 0, {0, 0}, {40, 20}, false, true, {102, 53, 118, 61}, {8, 12, 24, 4}},
        {"clip and flip", 3, 0, {5, 0}, {10, 20}, true, false, {100, 53, 110, 61}, {21, 4, 11, 12}},
    };
    for (const QuadCase& c : cases) {
        SCOPED_TRACE(c.name);
        CountedRef<SpriteNode> sprite = makeSprite();
        sprite->setBounds(vector3df(c.bounds.X, c.bounds.Y, 0));
        sprite->setImagePivotPoint(c.pivot.X, c.pivot.Y);
        sprite->setFlipX(c.flipX);
        sprite->setFlipY(c.flipY);
        sprite->setImageStretchX(c.stretchX);
        sprite->setImageStretchY(c.stretchY);
        sprite->updateAbsoluteTransform();
        const QuadRecord& q = sprite->getQuad();
        EXPECT_EQ(q.material, &sprite->getMaterial());
        const vector2df expected[4] = {{c.screen.UpperLeftCorner.X, c.screen.UpperLeftCorner.Y},
                                       {c.screen.LowerRightCorner.X, c.screen.UpperLeftCorner.Y},
                                       {c.screen.LowerRightCorner.X, c.screen.LowerRightCorner.Y},
                                       {c.screen.UpperLeftCorner.X, c.screen.LowerRightCorner.Y}};
        const vector2df uv[4] = {{c.uv.UpperLeftCorner.X, c.uv.UpperLeftCorner.Y},
                                 {c.uv.LowerRightCorner.X, c.uv.UpperLeftCorner.Y},
                                 {c.uv.LowerRightCorner.X, c.uv.LowerRightCorner.Y},
                                 {c.uv.UpperLeftCorner.X, c.uv.LowerRightCorner.Y}};
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(q.vertices[i].Pos.X, expected[i].X, 1e-4) << "corner " << i << ": " << corners(q);
            EXPECT_NEAR(q.vertices[i].Pos.Y, expected[i].Y, 1e-4) << "corner " << i << ": " << corners(q);
            EXPECT_FLOAT_EQ(q.vertices[i].Pos.Z, 1.0f);
            EXPECT_NEAR(q.vertices[i].TCoords.X * 32, uv[i].X, 1e-4) << "corner " << i;
            EXPECT_NEAR(q.vertices[i].TCoords.Y * 32, uv[i].Y, 1e-4) << "corner " << i;
        }
    }
}

// Mode 2 overwrites the Bounds extent with the image size at every update.
TEST_F(SpriteNodeTest, FitModeSetsBoundsToTheImageSize) {
    CountedRef<SpriteNode> sprite = makeSprite();
    sprite->setImageStretchX(2);
    EXPECT_FLOAT_EQ(sprite->getBounds().X, 16.0f);
    EXPECT_FLOAT_EQ(sprite->getBounds().Y, 20.0f);
    sprite->setBounds(vector3df(50, 50, 0));
    sprite->setImageStretchY(2);
    EXPECT_EQ(sprite->getBounds(), vector3df(16, 8, 0));
    sprite->setBounds(vector3df(70, 70, 0));
    sprite->updateAbsoluteTransform();
    EXPECT_EQ(sprite->getBounds(), vector3df(16, 8, 0));
}

// The quad goes through the whole absolute transform (parent, scale, rotation)
// and changes of pivot and flips wait for the next update.
TEST_F(SpriteNodeTest, QuadFollowsTheAbsoluteTransform) {
    const CreationContext context(manager_.get(), "");
    CountedRef<BaseNode> parent(new BaseNode(&context, nullptr, nullptr));
    parent->setPosition(vector3df(10, 20, 0));
    CountedRef<SpriteNode> sprite = makeSprite();
    parent->addChild(sprite.get());
    sprite->setScale(vector3df(2, 2, 1));
    parent->updateAbsoluteTransform();
    EXPECT_NEAR(sprite->getQuad().vertices[0].Pos.X, 114, 1e-4);  // 10 + 100 + 2 x 2
    EXPECT_NEAR(sprite->getQuad().vertices[2].Pos.Y, 92, 1e-4);   // 20 + 50 + 2 x 11

    sprite->setScale(vector3df(1, 1, 1));
    sprite->setRotation(vector3df(0, 0, 90));
    sprite->updateAbsoluteTransform();
    // (2, 3) turns to (-3, 2) around the node's origin at (110, 70).
    EXPECT_NEAR(sprite->getQuad().vertices[0].Pos.X, 107, 1e-4);
    EXPECT_NEAR(sprite->getQuad().vertices[0].Pos.Y, 72, 1e-4);

    sprite->setRotation(vector3df(0, 0, 0));
    sprite->updateAbsoluteTransform();
    sprite->setImagePivotPoint(2, 3);
    sprite->setFlipX(true);
    EXPECT_NEAR(sprite->getQuad().vertices[0].Pos.X, 112, 1e-4);
    EXPECT_NEAR(sprite->getQuad().vertices[0].TCoords.X * 32, 8, 1e-4);
    sprite->setPosition(vector3df(100, 50, 0));  // any transform change shows them
    sprite->updateAbsoluteTransform();
    EXPECT_NEAR(sprite->getQuad().vertices[0].Pos.X, 110, 1e-4);
    EXPECT_NEAR(sprite->getQuad().vertices[0].TCoords.X * 32, 24, 1e-4);
}

TEST_F(SpriteNodeTest, VertexColoursAreTheAbsoluteColour) {
    const CreationContext context(manager_.get(), "");
    CountedRef<BaseNode> parent(new BaseNode(&context, nullptr, nullptr));
    parent->setTintColor(SColor(128, 255, 255, 255));
    CountedRef<SpriteNode> sprite = makeSprite();
    parent->addChild(sprite.get());
    sprite->setTintColor(SColor(255, 255, 0, 0));
    parent->updateAbsoluteColor();
    for (const irr::video::S3DVertex& v : sprite->getQuad().vertices)
        EXPECT_EQ(v.Color.color, SColor(128, 255, 0, 0).color);
}

TEST_F(SpriteNodeTest, DrawListEntries) {
    const CreationContext context(manager_.get(), "");
    CountedRef<SpriteNode> sprite = makeSprite();
    sprite->setPosition(vector3df(1, 2, 7));
    CountedRef<SpriteNode> held(new SpriteNode(&context, sprite.get(), nullptr));
    SpriteNode* child = held.get();
    child->setAtlasTexture(atlas_.get());

    RenderList list;
    sprite->collectRenderItems(list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].node, sprite.get());
    EXPECT_FLOAT_EQ(list[0].depth, 7.0f);
    EXPECT_EQ(list[0].key, reinterpret_cast<uintptr_t>(texture_.get()));
    EXPECT_EQ(list[1].node, child);

    // Without an atlas texture, or at absolute alpha 0, only the children add
    // items; clipping is not a sprite's business.
    sprite->setChildrenClipped(true);
    sprite->setAtlasTexture(nullptr);
    list.clear();
    sprite->collectRenderItems(list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].node, child);

    sprite->setAtlasTexture(atlas_.get());
    sprite->setTintColor(SColor(0, 255, 255, 255));
    child->setTintColor(SColor(255, 255, 255, 255));
    list.clear();
    sprite->collectRenderItems(list);
    EXPECT_EQ(list.size(), 0u);  // the child inherits alpha 0

    sprite->setTintColor(SColor(255, 255, 255, 255));
    sprite->setVisible(false);
    list.clear();
    sprite->collectRenderItems(list);
    EXPECT_EQ(list.size(), 0u);
}

TEST_F(SpriteNodeTest, RenderHandsTheQuadToTheDriversBatcher) {
    CountedRef<SpriteNode> sprite = makeSprite();
    sprite->setBlendType(1);
    sprite->updateAbsoluteTransform();
    sprite->updateAbsoluteColor();
    batcher_->begin();
    sprite->render(driver(), nullptr);
    batcher_->end();
    ASSERT_EQ(target_.draws.size(), 1u);
    EXPECT_EQ(target_.draws[0].texture, texture_.get());
    EXPECT_EQ(target_.draws[0].type, EMT_TRANS_ALPHACH_VERTEXALPHA_ADD);
    ASSERT_EQ(target_.draws[0].vertices.size(), 4u);
    EXPECT_FLOAT_EQ(target_.draws[0].vertices[2].Pos.X, 118.0f);
    EXPECT_TRUE(sprite->getMaterial().flags().TextureLayer[0].BilinearFilter);

    // A driver without a batcher draws nothing.
    setDriverQuadBatcher(driver(), nullptr);
    batcher_->begin();
    sprite->render(driver(), nullptr);
    batcher_->end();
    EXPECT_EQ(target_.draws.size(), 1u);
    setDriverQuadBatcher(driver(), batcher_.get());
}

namespace {

struct HitCase {
    const char* name;
    int32_t stretchX, stretchY;
    vector2df pivot;
    vector2df bounds;
    bool flipX, flipY;
    float rotation;
    vector2df scale;
};

// The texel the drawn quad shows at a screen point, by interpolating its
// texture coordinates across its corners as the rasteriser does; false when
// the point is outside the quad.
bool texelUnder(const QuadRecord& q, const vector2df& p, int& tx, int& ty) {
    const vector2df o(q.vertices[0].Pos.X, q.vertices[0].Pos.Y);
    const vector2df e1(q.vertices[1].Pos.X - o.X, q.vertices[1].Pos.Y - o.Y);
    const vector2df e3(q.vertices[3].Pos.X - o.X, q.vertices[3].Pos.Y - o.Y);
    const float det = e1.X * e3.Y - e1.Y * e3.X;
    if (det == 0.0f) return false;
    const vector2df d(p.X - o.X, p.Y - o.Y);
    const float a = (d.X * e3.Y - d.Y * e3.X) / det;
    const float b = (e1.X * d.Y - e1.Y * d.X) / det;
    if (a < 0 || a >= 1 || b < 0 || b >= 1) return false;
    const float u = q.vertices[0].TCoords.X + a * (q.vertices[1].TCoords.X - q.vertices[0].TCoords.X);
    const float v = q.vertices[0].TCoords.Y + b * (q.vertices[3].TCoords.Y - q.vertices[0].TCoords.Y);
    tx = static_cast<int>(std::floor(u * 32));
    ty = static_cast<int>(std::floor(v * 32));
    return true;
}

}  // namespace

// A hit test answers for the texel that was drawn at the point: at every
// pixel centre around the sprite, for stretched, clipped, pivoted, flipped,
// scaled and turned sprites alike. Stretched texels are sized so that no
// texel edge falls on a pixel centre.
TEST_F(SpriteNodeTest, HitTestIsTheInverseOfTheDrawnQuad) {
    const HitCase cases[] = {
        {"natural", 0, 0, {0, 0}, {40, 20}, false, false, 0, {1, 1}},
        {"pivot", 0, 0, {5, 4}, {40, 20}, false, false, 0, {1, 1}},
        {"flip x with margins", 0, 0, {0, 0}, {40, 20}, true, false, 0, {1, 1}},
        {"flip both with pivot", 0, 0, {7, 2}, {40, 20}, true, true, 0, {1, 1}},
        {"stretch with pivot", 1, 1, {5, 4}, {35.2f, 17.6f}, false, false, 0, {1, 1}},
        {"stretch and flip", 1, 0, {3, 0}, {48, 20}, true, false, 0, {1, 1}},
        {"clip", 3, 3, {5, 4}, {10, 5}, false, false, 0, {1, 1}},
        {"clip and flip", 3, 3, {5, 4}, {10, 5}, true, true, 0, {1, 1}},
        {"scaled", 0, 0, {1, 1}, {40, 20}, false, false, 0, {3, 2}},
        {"turned", 1, 0, {4, 2}, {25.6f, 20}, true, false, 90, {1, 1}},
    };
    for (const HitCase& c : cases) {
        SCOPED_TRACE(c.name);
        CountedRef<SpriteNode> sprite = makeSprite();
        sprite->setBounds(vector3df(c.bounds.X, c.bounds.Y, 0));
        sprite->setImagePivotPoint(c.pivot.X, c.pivot.Y);
        sprite->setFlipX(c.flipX);
        sprite->setFlipY(c.flipY);
        sprite->setRotation(vector3df(0, 0, c.rotation));
        sprite->setScale(vector3df(c.scale.X, c.scale.Y, 1));
        sprite->setImageStretchX(c.stretchX);
        sprite->setImageStretchY(c.stretchY);
        sprite->updateAbsoluteTransform();
        int hits = 0;
        for (int y = 30; y < 110; ++y) {
            for (int x = 70; x < 170; ++x) {
                const vector2df p(x + 0.5f, y + 0.5f);
                int tx = 0, ty = 0;
                const bool inside = texelUnder(sprite->getQuad(), p, tx, ty);
                const bool expected = inside && tx >= 0 && ty >= 0 &&
                                      texture_->isOpaqueAt(static_cast<irr::u32>(tx), static_cast<irr::u32>(ty), 20);
                ASSERT_EQ(sprite->hitTest(p), expected) << "at " << x << ", " << y << " texel " << tx << ", " << ty;
                hits += expected ? 1 : 0;
            }
        }
        EXPECT_GT(hits, 0);
    }
}

// Texel alpha 20 misses and 21 hits; the sprite's own tint must exceed 20 and
// it must be hittable, visible and textured.
TEST_F(SpriteNodeTest, HitTestThresholdsAndPreconditions) {
    CountedRef<SpriteNode> sprite = makeSprite();
    sprite->updateAbsoluteTransform();
    // Image pixel (ix, iy) is drawn at (102 + ix, 53 + iy).
    const struct {
        int ix, iy;
        bool hit;
    } texels[] = {{0, 0, true}, {3, 7, true}, {4, 0, false}, {9, 5, false}, {12, 5, true}, {15, 7, true}, {13, 2, false}};
    for (const auto& t : texels)
        EXPECT_EQ(sprite->hitTest(vector2df(102.5f + t.ix, 53.5f + t.iy)), t.hit) << t.ix << ", " << t.iy;
    // The trimmed margin and the outside of the quad miss though the sheet is opaque there.
    EXPECT_FALSE(sprite->hitTest(vector2df(101.5f, 54.5f)));
    EXPECT_FALSE(sprite->hitTest(vector2df(118.5f, 54.5f)));

    const vector2df opaque(102.5f, 53.5f);
    sprite->setTintColor(SColor(20, 255, 255, 255));
    EXPECT_FALSE(sprite->hitTest(opaque));
    sprite->setTintColor(SColor(21, 255, 255, 255));
    EXPECT_TRUE(sprite->hitTest(opaque));
    sprite->setCanBeHit(false);
    EXPECT_FALSE(sprite->hitTest(opaque));
    sprite->setCanBeHit(true);
    sprite->setVisible(false);
    EXPECT_FALSE(sprite->hitTest(opaque));
    sprite->setVisible(true);
    sprite->setAtlasTexture(nullptr);
    EXPECT_FALSE(sprite->hitTest(opaque));

    const CreationContext context(manager_.get(), "");
    CountedRef<SpriteNode> bare(new SpriteNode(&context, nullptr, nullptr));
    bare->updateAbsoluteTransform();
    EXPECT_FALSE(bare->hitTest(vector2df(0.5f, 0.5f)));
}

TEST_F(SpriteNodeTest, BlendTypeSelectsTheMaterialType) {
    CountedRef<SpriteNode> sprite = makeSprite();
    EXPECT_EQ(sprite->getMaterial().getMaterialType(), EMT_TRANS_ALPHACH_VERTEXALPHA);
    const struct {
        int32_t value, stored;
        irr::video::E_MATERIAL_TYPE type;
    } cases[] = {{1, 1, EMT_TRANS_ALPHACH_VERTEXALPHA_ADD},
                 {0, 0, EMT_TRANS_ALPHACH_VERTEXALPHA},
                 {7, 0, EMT_TRANS_ALPHACH_VERTEXALPHA},
                 {-1, 0, EMT_TRANS_ALPHACH_VERTEXALPHA}};
    for (const auto& c : cases) {
        sprite->setBlendType(1);
        sprite->setBlendType(c.value);
        EXPECT_EQ(sprite->getBlendType(), c.stored) << c.value;
        EXPECT_EQ(sprite->getMaterial().getMaterialType(), c.type) << c.value;
    }
}

TEST_F(SpriteNodeTest, FactoryKindAndCast) {
    const CreationContext context(manager_.get(), "");
    CountedRef<BaseNode> node(getNodeFactory().createNode(L"SpriteNode", &context));
    ASSERT_TRUE(node);
    EXPECT_EQ(node->getTypeId(), 3);
    EXPECT_TRUE(node->isOfType(3));
    EXPECT_TRUE(node->isOfType(0));
    EXPECT_FALSE(node->isOfType(4));
    EXPECT_EQ(std::wstring(node->getClassName()), L"SpriteNode");
    EXPECT_EQ(std::wstring(node->getTypeName()), L"SpriteNode");
    EXPECT_EQ(asSpriteNode(node.get()), node.get());
    CountedRef<BaseNode> plain(new BaseNode(&context, nullptr, nullptr));
    EXPECT_EQ(asSpriteNode(plain.get()), nullptr);
    EXPECT_EQ(asSpriteNode(nullptr), nullptr);
}

TEST_F(SpriteNodeTest, PropertyTableEntries) {
    CountedRef<SpriteNode> sprite = makeSprite();
    const PropertyTable& table = sprite->getPropertyTable();
    const PropertyTable& base = BaseNode::classPropertyTable();
    const char* const names[] = {"ImageStretchX", "ImageStretchY", "ImagePivotPoint", "FlipX",
                                 "FlipY",         "BlendType",     "AtlasTexture"};
    ASSERT_EQ(table.size(), base.size() + 7);
    for (uint32_t i = 0; i < 7; ++i) EXPECT_EQ(std::string(table[base.size() + i].name.c_str()), names[i]);

    const auto set = [&](const char* name, const CountedRef<IPropertyData>& value) {
        table.set(*sprite, table.indexOf(name), value);
    };
    set("ImageStretchX", CountedRef<IPropertyData>(makeIntProperty(1)));
    set("ImagePivotPoint", CountedRef<IPropertyData>(makeVector2dProperty(vector2df(3, 4))));
    set("FlipY", CountedRef<IPropertyData>(makeBoolProperty(true)));
    set("BlendType", CountedRef<IPropertyData>(makeIntProperty(9)));
    EXPECT_EQ(sprite->getImageStretchX(), 1);
    EXPECT_EQ(sprite->getImagePivotPoint(), vector2df(3, 4));
    EXPECT_TRUE(sprite->getFlipY());
    EXPECT_EQ(sprite->getBlendType(), 0);

    const CountedRef<IPropertyData> atlasData = table.get(*sprite, table.indexOf("AtlasTexture"));
    const auto* atlasValue = dynamic_cast<const CPropertyDataAtlasTexture*>(atlasData.get());
    ASSERT_TRUE(atlasValue);
    EXPECT_EQ(atlasValue->getTexture(), atlas_.get());
    const CountedRef<IPropertyData> pivotData = table.get(*sprite, table.indexOf("ImagePivotPoint"));
    const auto* pivotValue = dynamic_cast<const CPropertyDataVector2d*>(pivotData.get());
    ASSERT_TRUE(pivotValue);
    EXPECT_EQ(pivotValue->value, vector2df(3, 4));

    // A value of another type stores the zero value.
    set("ImageStretchX", CountedRef<IPropertyData>(makeBoolProperty(true)));
    set("ImagePivotPoint", CountedRef<IPropertyData>(makeIntProperty(5)));
    set("FlipY", CountedRef<IPropertyData>(makeIntProperty(1)));
    set("AtlasTexture", CountedRef<IPropertyData>(makeIntProperty(1)));
    EXPECT_EQ(sprite->getImageStretchX(), 0);
    EXPECT_EQ(sprite->getImagePivotPoint(), vector2df(0, 0));
    EXPECT_FALSE(sprite->getFlipY());
    EXPECT_EQ(sprite->getAtlasTexture(), nullptr);
}

// Every value survives a scene file; defaults and mode 2 are not written.
TEST_F(SpriteNodeTest, ValuesRoundTripThroughSceneFiles) {
    CountedRef<SpriteNode> sprite = makeSprite();
    sprite->setImageStretchX(1);
    sprite->setImageStretchY(3);
    sprite->setImagePivotPoint(2.5f, -1);
    sprite->setFlipX(true);
    sprite->setFlipY(true);
    sprite->setBlendType(1);

    CountedRef<PropertySet> written(new PropertySet(manager_.get()));
    sprite->writeProperties(written.get());
    for (const char* name : {"ImageStretchX", "ImageStretchY", "ImagePivotPoint", "FlipX", "FlipY", "BlendType",
                             "AtlasTexture"})
        EXPECT_GE(written->indexOf(name), 0) << name;

    CountedRef<BaseNode> loaded = roundTrip(sprite.get());
    SpriteNode* read = nodeCast<SpriteNode>(loaded.get());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->getImageStretchX(), 1);
    EXPECT_EQ(read->getImageStretchY(), 3);
    EXPECT_EQ(read->getImagePivotPoint(), vector2df(2.5f, -1));
    EXPECT_TRUE(read->getFlipX());
    EXPECT_TRUE(read->getFlipY());
    EXPECT_EQ(read->getBlendType(), 1);
    EXPECT_EQ(read->getMaterial().getMaterialType(), EMT_TRANS_ALPHACH_VERTEXALPHA_ADD);
    EXPECT_EQ(read->getAtlasTexture(), atlas_.get());
    EXPECT_EQ(read->getMaterial().getTexture(), texture_.get());
    read->updateAbsoluteTransform();
    sprite->updateAbsoluteTransform();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(read->getQuad().vertices[i].Pos, sprite->getQuad().vertices[i].Pos) << i;
        EXPECT_EQ(read->getQuad().vertices[i].TCoords, sprite->getQuad().vertices[i].TCoords) << i;
    }

    // Defaults write nothing of the sprite's own; mode 2 leaves its Bounds.
    CountedRef<SpriteNode> fitted = makeSprite();
    fitted->setAtlasTexture(nullptr);
    fitted->setImageStretchX(2);
    fitted->setImageStretchY(2);
    CountedRef<PropertySet> defaults(new PropertySet(manager_.get()));
    fitted->writeProperties(defaults.get());
    for (const char* name : {"ImageStretchX", "ImageStretchY", "ImagePivotPoint", "FlipX", "FlipY", "BlendType",
                             "AtlasTexture"})
        EXPECT_LT(defaults->indexOf(name), 0) << name;
    fitted->setAtlasTexture(atlas_.get());
    CountedRef<PropertySet> fit(new PropertySet(manager_.get()));
    fitted->writeProperties(fit.get());
    EXPECT_LT(fit->indexOf("ImageStretchX"), 0);
    EXPECT_GE(fit->indexOf("Bounds"), 0);
}

// Values of the wrong type read as zero; a blend type other than 0 and 1 as 0.
TEST_F(SpriteNodeTest, SceneFileValuesOfTheWrongTypeReadAsZero) {
    writeText("odd.oscn",
              "<?xml version=\"1.0\"?>\n"
              "<SceneNode Type=\"SpriteNode\">\n"
              "  <Properties>\n"
              "    <int Name=\"BlendType\" Value=\"7\"/>\n"
              "    <float Name=\"ImageStretchX\" Value=\"1\"/>\n"
              "    <int Name=\"ImageStretchY\" Value=\"3\"/>\n"
              "    <int Name=\"FlipX\" Value=\"1\"/>\n"
              "    <string Name=\"ImagePivotPoint\" Value=\"4;4\"/>\n"
              "    <atlasTexture Name=\"AtlasTexture\" Value=\"ui/sprite.png\"/>\n"
              "  </Properties>\n"
              "</SceneNode>\n");
    CountedRef<BaseNode> node(loadSceneFile("odd.oscn", manager_.get()));
    SpriteNode* sprite = nodeCast<SpriteNode>(node.get());
    ASSERT_TRUE(sprite);
    EXPECT_EQ(sprite->getBlendType(), 0);
    EXPECT_EQ(sprite->getMaterial().getMaterialType(), EMT_TRANS_ALPHACH_VERTEXALPHA);
    EXPECT_EQ(sprite->getImageStretchX(), 0);
    EXPECT_EQ(sprite->getImageStretchY(), 3);
    EXPECT_FALSE(sprite->getFlipX());
    EXPECT_EQ(sprite->getImagePivotPoint(), vector2df(0, 0));
    EXPECT_EQ(sprite->getAtlasTexture(), atlas_.get());
}

TEST_F(SpriteNodeTest, ClonesCopyEveryValue) {
    const CreationContext context(manager_.get(), "");
    CountedRef<BaseNode> parent(new BaseNode(&context, nullptr, nullptr));
    CountedRef<SpriteNode> sprite = makeSprite();
    sprite->setImageStretchX(3);
    sprite->setImagePivotPoint(1, 2);
    sprite->setFlipY(true);
    sprite->setBlendType(1);
    CountedRef<SpriteNode> child(new SpriteNode(&context, sprite.get(), nullptr));

    BaseNode* copy = sprite->clone(parent.get(), nullptr);
    SpriteNode* clone = nodeCast<SpriteNode>(copy);
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->getParent(), parent.get());
    EXPECT_EQ(clone->getRefCount(), 1);
    EXPECT_EQ(clone->getImageStretchX(), 3);
    EXPECT_EQ(clone->getImagePivotPoint(), vector2df(1, 2));
    EXPECT_TRUE(clone->getFlipY());
    EXPECT_EQ(clone->getBlendType(), 1);
    EXPECT_EQ(clone->getMaterial().getMaterialType(), EMT_TRANS_ALPHACH_VERTEXALPHA_ADD);
    EXPECT_EQ(clone->getAtlasTexture(), atlas_.get());
    EXPECT_EQ(clone->getQuad().material, &clone->getMaterial());
    EXPECT_EQ(clone->getChildCount(), 1u);
    clone->updateAbsoluteTransform();
    sprite->updateAbsoluteTransform();
    EXPECT_EQ(clone->getQuad().vertices[2].Pos, sprite->getQuad().vertices[2].Pos);
    EXPECT_EQ(clone->getQuad().vertices[2].TCoords, sprite->getQuad().vertices[2].TCoords);
}

namespace {

// Counts the update events it is offered.
struct UpdateCounter : EventReceiver {
    bool handleEvent(Event* event) override {
        if (event && event->getTypeId() == EventId::UpdateEvent) ++count;
        return false;
    }
    int count = 0;
};

// A node that takes update events itself.
class UpdateCountingNode : public BaseNode {
public:
    using BaseNode::BaseNode;
    bool handleEvent(Event* event) override {
        if (event && event->getTypeId() == EventId::UpdateEvent) ++count;
        return BaseNode::handleEvent(event);
    }
    int count = 0;
};

// A class made from the sprite that takes update events.
class UpdateCountingSprite : public SpriteNode {
public:
    UpdateCountingSprite(const CreationContext* context, BaseNode* parent)
        : SpriteNode(context, parent, nullptr, false) {
        linkToParent(parent, true);
    }
    bool handleEvent(Event* event) override {
        if (event && event->getTypeId() == EventId::UpdateEvent) ++count;
        return SpriteNode::handleEvent(event);
    }
    int count = 0;
};

}  // namespace

// Routing passes over plain sprites for events they cannot take, but a sprite
// with a listener, a sprite with children and a class made from the sprite
// still get every event.
TEST_F(SpriteNodeTest, EventsReachSpriteListenersChildrenAndDerivedClasses) {
    const CreationContext context(manager_.get(), "");
    CountedRef<BaseNode> root(new BaseNode(&context, nullptr, nullptr));
    auto addSprite = [&] {
        auto* sprite = new SpriteNode(&context, root.get(), nullptr);
        sprite->setAtlasTexture(atlas_.get());
        sprite->release();
        return sprite;
    };
    addSprite();
    SpriteNode* listened = addSprite();
    UpdateCounter listener;
    listened->addListener(&listener);
    SpriteNode* parent = addSprite();
    auto* child = new UpdateCountingNode(&context, parent, nullptr);
    child->release();
    auto* derived = new UpdateCountingSprite(&context, root.get());
    derived->release();
    addSprite();

    CountedRef<UpdateEvent> update(new UpdateEvent(16));
    EXPECT_FALSE(root->deliver(DeliveryMode::HandleThenChildren, update.get()));
    EXPECT_FALSE(root->deliver(DeliveryMode::ChildrenThenHandle, update.get()));
    EXPECT_EQ(listener.count, 2);
    EXPECT_EQ(child->count, 2);
    EXPECT_EQ(derived->count, 2);
    listened->removeListener(&listener);
}
