// Nine-grid sprites: the 3 x 3 cells over Bounds and the texture, drawing,
// hit tests by Bounds, and the margins in scene files.
#include "engine/core/NodeFactory.h"
#include "engine/visual/PropertyDataVisual.h"
#include "engine/core/PropertySet.h"
#include "engine/visual/NineGridSpriteNode.h"
#include "visual/SpriteTestSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace engine;
using visual_test::corners;

namespace {

class NineGridSpriteNodeTest : public visual_test::NodeContentFixture {
protected:
    NineGridSpriteNodeTest() {
        texture_ = makeTexture("panel.png", 64, 32, [](irr::u32, irr::u32) { return 0xFFFFFFFFu; });
        // The panel image is (16, 0) - (48, 32); trim margins are ignored by the grid.
        atlas_ = makeAtlas("ui/panel.png", texture_.get(), recti(16, 0, 48, 32), {5, 5}, {5, 5});
    }

    CountedRef<NineGridSpriteNode> makeGrid() {
        const CreationContext context(manager_.get(), "");
        CountedRef<NineGridSpriteNode> grid(new NineGridSpriteNode(&context, nullptr, nullptr));
        grid->setAtlasTexture(atlas_.get());
        return grid;
    }

    // Checks the column and row edges of the nine quads (screen space) and
    // their texture coordinates (sheet pixels).
    static void expectGrid(const NineGridSpriteNode& grid, const float (&xs)[4], const float (&ys)[4],
                           const float (&us)[4], const float (&vs)[4]) {
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                const QuadRecord& q = grid.getQuad(3 * i + j);
                SCOPED_TRACE("cell " + std::to_string(i) + ", " + std::to_string(j) + ": " + corners(q));
                EXPECT_EQ(q.material, &grid.getMaterial());
                const int cx[4] = {j, j + 1, j + 1, j};
                const int cy[4] = {i, i, i + 1, i + 1};
                for (int k = 0; k < 4; ++k) {
                    EXPECT_NEAR(q.vertices[k].Pos.X, xs[cx[k]], 1e-4);
                    EXPECT_NEAR(q.vertices[k].Pos.Y, ys[cy[k]], 1e-4);
                    EXPECT_FLOAT_EQ(q.vertices[k].Pos.Z, 0.0f);
                    EXPECT_NEAR(q.vertices[k].TCoords.X * 64, us[cx[k]], 1e-4);
                    EXPECT_NEAR(q.vertices[k].TCoords.Y * 32, vs[cy[k]], 1e-4);
                }
            }
        }
    }

    CountedRef<TextureContent> texture_;
    CountedRef<AtlasTextureContent> atlas_;
};

}  // namespace

TEST_F(NineGridSpriteNodeTest, CellsSpanBoundsWithFixedCorners) {
    CountedRef<NineGridSpriteNode> grid = makeGrid();
    grid->setBounds(vector3df(100, 40, 0));
    grid->updateAbsoluteTransform();
    grid->updateGrid();
    expectGrid(*grid, {0, 10, 90, 100}, {0, 10, 30, 40}, {16, 26, 38, 48}, {0, 10, 22, 32});

    // Other margins, a place on the screen.
    grid->setTopLeftDelta(vector2df(4, 6));
    grid->setBottomRightDelta(vector2df(8, 2));
    grid->setPosition(vector3df(200, 100, 0));
    grid->updateAbsoluteTransform();
    grid->updateGrid();
    expectGrid(*grid, {200, 204, 292, 300}, {100, 106, 138, 140}, {16, 20, 40, 48}, {0, 6, 30, 32});
}

// Margins wider than Bounds invert the middle column; nothing is clamped.
TEST_F(NineGridSpriteNodeTest, MarginsLargerThanBoundsInvertTheMiddle) {
    CountedRef<NineGridSpriteNode> grid = makeGrid();
    grid->setBounds(vector3df(12, 40, 0));
    grid->updateAbsoluteTransform();
    grid->updateGrid();
    expectGrid(*grid, {0, 10, 2, 12}, {0, 10, 30, 40}, {16, 26, 38, 48}, {0, 10, 22, 32});
}

TEST_F(NineGridSpriteNodeTest, RenderDrawsNineQuadsInOneCallInTheAbsoluteColour) {
    const CreationContext context(manager_.get(), "");
    CountedRef<BaseNode> parent(new BaseNode(&context, nullptr, nullptr));
    parent->setTintColor(SColor(255, 0, 255, 255));
    CountedRef<NineGridSpriteNode> grid = makeGrid();
    parent->addChild(grid.get());
    grid->setTintColor(SColor(128, 255, 255, 0));

    RenderList list;
    parent->collectRenderItems(list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].node, grid.get());
    EXPECT_EQ(list[0].key, reinterpret_cast<uintptr_t>(texture_.get()));

    batcher_->begin();
    list[0].node->render(driver(), nullptr);
    batcher_->end();
    ASSERT_EQ(target_.draws.size(), 1u);
    EXPECT_EQ(target_.draws[0].texture, texture_.get());
    ASSERT_EQ(target_.draws[0].vertices.size(), 36u);
    for (const irr::video::S3DVertex& v : target_.draws[0].vertices) EXPECT_EQ(v.Color.color, SColor(128, 0, 255, 0).color);
    EXPECT_TRUE(grid->getMaterial().flags().TextureLayer[0].BilinearFilter);
}

TEST_F(NineGridSpriteNodeTest, DrawListEntries) {
    const CreationContext context(manager_.get(), "");
    CountedRef<NineGridSpriteNode> grid = makeGrid();
    grid->setPosition(vector3df(0, 0, -3));
    CountedRef<NineGridSpriteNode> held(new NineGridSpriteNode(&context, grid.get(), nullptr));
    NineGridSpriteNode* child = held.get();
    child->setAtlasTexture(atlas_.get());
    RenderList list;
    grid->collectRenderItems(list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_FLOAT_EQ(list[0].depth, -3.0f);

    grid->setAtlasTexture(nullptr);
    list.clear();
    grid->collectRenderItems(list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].node, child);

    // Without a texture nothing is drawn either.
    batcher_->begin();
    grid->render(driver(), nullptr);
    batcher_->end();
    EXPECT_TRUE(target_.draws.empty());

    grid->setAtlasTexture(atlas_.get());
    grid->setTintColor(SColor(0, 255, 255, 255));
    list.clear();
    grid->collectRenderItems(list);
    EXPECT_TRUE(list.empty());
}

// Hits are by Bounds, with or without a texture.
TEST_F(NineGridSpriteNodeTest, HitTestUsesBounds) {
    const CreationContext context(manager_.get(), "");
    CountedRef<NineGridSpriteNode> grid(new NineGridSpriteNode(&context, nullptr, nullptr));
    grid->setPosition(vector3df(10, 10, 0));
    grid->setBounds(vector3df(50, 20, 0));
    grid->updateAbsoluteTransform();
    EXPECT_TRUE(grid->hitTest(vector2df(11, 11)));
    EXPECT_TRUE(grid->hitTest(vector2df(59, 29)));
    EXPECT_FALSE(grid->hitTest(vector2df(61, 20)));
    EXPECT_FALSE(grid->hitTest(vector2df(20, 5)));

    grid->setTintColor(SColor(20, 255, 255, 255));
    EXPECT_FALSE(grid->hitTest(vector2df(20, 20)));
    grid->setTintColor(SColor(21, 255, 255, 255));
    EXPECT_TRUE(grid->hitTest(vector2df(20, 20)));
    grid->setCanBeHit(false);
    EXPECT_FALSE(grid->hitTest(vector2df(20, 20)));
    grid->setCanBeHit(true);
    grid->setVisible(false);
    EXPECT_FALSE(grid->hitTest(vector2df(20, 20)));
}

// The margins are left out of a file only when they equal their default
// (10, 10): any other margin, a tiny one included, comes back.
TEST_F(NineGridSpriteNodeTest, MarginsRoundTripUnlessDefault) {
    const struct {
        vector2df topLeft, bottomRight;
        bool writesTopLeft, writesBottomRight;
    } cases[] = {
        {{10, 10}, {10, 10}, false, false},
        {{0.1f, 0.1f}, {10, 10}, true, false},
        {{10, 10}, {0.1f, 0.1f}, false, true},
        {{0, 0}, {10, 3}, true, true},
        {{10, 4}, {2.5f, 10}, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.topLeft.X) + ", " + std::to_string(c.topLeft.Y) + " / " +
                     std::to_string(c.bottomRight.X) + ", " + std::to_string(c.bottomRight.Y));
        CountedRef<NineGridSpriteNode> grid = makeGrid();
        grid->setTopLeftDelta(c.topLeft);
        grid->setBottomRightDelta(c.bottomRight);
        CountedRef<PropertySet> set(new PropertySet(manager_.get()));
        grid->writeProperties(set.get());
        EXPECT_EQ(set->indexOf("TopLeftDelta") >= 0, c.writesTopLeft);
        EXPECT_EQ(set->indexOf("BottomRightDelta") >= 0, c.writesBottomRight);
        EXPECT_GE(set->indexOf("AtlasTexture"), 0);

        CountedRef<BaseNode> loaded = roundTrip(grid.get());
        NineGridSpriteNode* read = nodeCast<NineGridSpriteNode>(loaded.get());
        ASSERT_TRUE(read);
        EXPECT_EQ(read->getTopLeftDelta(), c.topLeft);
        EXPECT_EQ(read->getBottomRightDelta(), c.bottomRight);
        EXPECT_EQ(read->getAtlasTexture(), atlas_.get());
        EXPECT_EQ(read->getMaterial().getTexture(), texture_.get());
    }
}

TEST_F(NineGridSpriteNodeTest, WrongValueTypesReadAsZero) {
    writeText("odd.oscn",
              "<?xml version=\"1.0\"?>\n"
              "<SceneNode Type=\"NineGridSpriteNode\">\n"
              "  <Properties>\n"
              "    <vector3d Name=\"TopLeftDelta\" Value=\"4;4;4\"/>\n"
              "    <vector2d Name=\"BottomRightDelta\" Value=\"6;7\"/>\n"
              "    <string Name=\"AtlasTexture\" Value=\"ui/panel.png\"/>\n"
              "  </Properties>\n"
              "</SceneNode>\n");
    CountedRef<BaseNode> node(loadSceneFile("odd.oscn", manager_.get()));
    NineGridSpriteNode* grid = nodeCast<NineGridSpriteNode>(node.get());
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->getTopLeftDelta(), vector2df(0, 0));
    EXPECT_EQ(grid->getBottomRightDelta(), vector2df(6, 7));
    EXPECT_EQ(grid->getAtlasTexture(), nullptr);

    const PropertyTable& table = grid->getPropertyTable();
    table.set(*grid, table.indexOf("BottomRightDelta"), CountedRef<IPropertyData>(makeIntProperty(3)));
    EXPECT_EQ(grid->getBottomRightDelta(), vector2df(0, 0));
    table.set(*grid, table.indexOf("AtlasTexture"), CountedRef<IPropertyData>(makeAtlasTextureData(atlas_.get())));
    EXPECT_EQ(grid->getAtlasTexture(), atlas_.get());
}

TEST_F(NineGridSpriteNodeTest, FactoryKindTableAndClone) {
    const CreationContext context(manager_.get(), "");
    CountedRef<BaseNode> node(getNodeFactory().createNode(L"NineGridSpriteNode", &context));
    ASSERT_TRUE(node);
    EXPECT_EQ(node->getTypeId(), 4);
    EXPECT_TRUE(node->isOfType(0));
    EXPECT_FALSE(node->isOfType(3));
    EXPECT_EQ(std::wstring(node->getClassName()), L"NineGridSpriteNode");

    const PropertyTable& table = node->getPropertyTable();
    const uint32_t base = BaseNode::classPropertyTable().size();
    ASSERT_EQ(table.size(), base + 3);
    EXPECT_EQ(std::string(table[base].name.c_str()), "AtlasTexture");
    EXPECT_EQ(std::string(table[base + 1].name.c_str()), "TopLeftDelta");
    EXPECT_EQ(std::string(table[base + 2].name.c_str()), "BottomRightDelta");

    CountedRef<NineGridSpriteNode> grid = makeGrid();
    grid->setTopLeftDelta(vector2df(1, 2));
    grid->setBottomRightDelta(vector2df(3, 4));
    CountedRef<BaseNode> copy(grid->clone(nullptr, nullptr));
    NineGridSpriteNode* clone = nodeCast<NineGridSpriteNode>(copy.get());
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->getTopLeftDelta(), vector2df(1, 2));
    EXPECT_EQ(clone->getBottomRightDelta(), vector2df(3, 4));
    EXPECT_EQ(clone->getAtlasTexture(), atlas_.get());
    EXPECT_EQ(clone->getQuad(4).material, &clone->getMaterial());
}
