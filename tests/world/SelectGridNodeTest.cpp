// The selection grid: where its lines fall for a given size and cell size,
// cell sizes that could never step across it, which draws add an item, and
// its three values in scene files and copies.
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "game/world/SelectGridNode.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace engine;

namespace {

struct Lines {
    std::vector<float> xs;  // vertical lines
    std::vector<float> ys;  // horizontal lines
};

// The grid's lines told apart by direction, after checking that each runs
// across the whole Bounds.
Lines linesOf(GSelectGridNode& grid) {
    grid.updateAbsoluteTransform();
    const std::vector<vector2df>& points = grid.getLinePoints();
    EXPECT_EQ(points.size() % 2, 0u);
    const float w = grid.getBounds().X, h = grid.getBounds().Y;
    Lines lines;
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        const vector2df a = points[i], b = points[i + 1];
        if (a.X == b.X) {
            EXPECT_EQ(a.Y, 0.0f);
            EXPECT_EQ(b.Y, h);
            lines.xs.push_back(a.X);
        } else {
            EXPECT_EQ(a.Y, b.Y);
            EXPECT_EQ(a.X, 0.0f);
            EXPECT_EQ(b.X, w);
            lines.ys.push_back(a.Y);
        }
    }
    return lines;
}

}  // namespace

TEST(SelectGridNodeTest, LinesFallOnMultiplesOfTheCellSizeWithinTheBounds) {
    struct Case {
        const char* what;
        vector2df bounds;
        vector2df cell;
        std::vector<float> xs;
        std::vector<float> ys;
    };
    const Case cases[] = {
        {"edges off the grid get no line", {100.0f, 80.0f}, {40.0f, 40.0f}, {0.0f, 40.0f, 80.0f}, {0.0f, 40.0f, 80.0f}},
        {"an edge on a multiple gets one", {80.0f, 40.0f}, {40.0f, 20.0f}, {0.0f, 40.0f, 80.0f}, {0.0f, 20.0f, 40.0f}},
        {"cells wider than the grid leave the first lines", {30.0f, 30.0f}, {40.0f, 40.0f}, {0.0f}, {0.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CountedRef<GSelectGridNode> grid(new GSelectGridNode(nullptr, nullptr, nullptr));
        grid->setBounds(vector3df(c.bounds.X, c.bounds.Y, 0.0f));
        grid->setCellSize(c.cell);
        const Lines lines = linesOf(*grid);
        EXPECT_EQ(lines.xs, c.xs);
        EXPECT_EQ(lines.ys, c.ys);
    }
}

TEST(SelectGridNodeTest, ACellSizeThatCannotStepAcrossDrawsNoLinesThatWayAndIsLogged) {
    struct Case {
        vector2df cell;
        size_t columns;
        size_t rows;
    };
    // Each of these once looped for ever laying out lines.
    const Case cases[] = {
        {{0.0f, 40.0f}, 0u, 3u},
        {{40.0f, -5.0f}, 3u, 0u},
        {{-1.0f, 0.0f}, 0u, 0u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell.X);
        SCOPED_TRACE(c.cell.Y);
        testing_support::LogCapture log;
        CountedRef<GSelectGridNode> grid(new GSelectGridNode(nullptr, nullptr, nullptr));
        grid->setBounds(vector3df(100.0f, 80.0f, 0.0f));
        CountedRef<PropertySet> set(new PropertySet());
        set->addVector2d("CellSize", c.cell);
        grid->readProperties(set.get());
        EXPECT_TRUE(log.contains("CellSize")) << "the refused size is logged";
        const Lines lines = linesOf(*grid);
        EXPECT_EQ(lines.xs.size(), c.columns);
        EXPECT_EQ(lines.ys.size(), c.rows);
    }
}

TEST(SelectGridNodeTest, AGridFinerThanTheScreenCanShowIsCapped) {
    // A step too small to change a huge coordinate must still end, and the
    // lines must stay within what memory and one draw can hold.
    CountedRef<GSelectGridNode> grid(new GSelectGridNode(nullptr, nullptr, nullptr));
    grid->setBounds(vector3df(1.0e9f, 50.0f, 0.0f));
    grid->setCellSize(vector2df(0.001f, 1.0e-30f));
    const Lines lines = linesOf(*grid);
    EXPECT_EQ(lines.xs.size(), GSelectGridNode::kMostLinesPerDirection);
    EXPECT_EQ(lines.ys.size(), GSelectGridNode::kMostLinesPerDirection);
}

TEST(SelectGridNodeTest, DrawsItselfOnlyWhenVisibleAndNotFullyTransparent) {
    CountedRef<BaseNode> root(new BaseNode(nullptr, nullptr, nullptr));
    auto* grid = new GSelectGridNode(nullptr, root.get(), nullptr);
    grid->release();
    grid->setPosition(vector3df(10.0f, 20.0f, 7.0f));
    grid->setGridColor(SColor(0xFF336699));
    auto* child = new GSelectGridNode(nullptr, grid, nullptr);
    child->release();
    auto count = [&root](BaseNode* of) {
        RenderList list;
        root->collectRenderItems(list);
        int n = 0;
        for (uint32_t i = 0; i < list.size(); ++i) n += list[i].node == of ? 1 : 0;
        return std::make_pair(n, list.size());
    };
    EXPECT_EQ(count(grid), std::make_pair(1, 2u));
    RenderList list;
    root->collectRenderItems(list);
    EXPECT_EQ(list[0].depth, 7.0f) << "its own item lies at its absolute depth";

    // A tint of alpha 0 hides the grid itself but not its children.
    grid->setTintColor(SColor(0x00FFFFFF));
    child->setTintColor(SColor(0xFFFFFFFF));
    EXPECT_EQ(count(grid).first, 0);
    grid->setTintColor(SColor(0xFFFFFFFF));
    grid->setVisible(false);
    EXPECT_EQ(count(grid), std::make_pair(0, 0u));
}

TEST(SelectGridNodeTest, ValuesGoToSceneFilesOnlyWhenSetAndComeBackInCopies) {
    CountedRef<GSelectGridNode> grid(new GSelectGridNode(nullptr, nullptr, nullptr));
    CountedRef<PropertySet> defaults(new PropertySet());
    grid->writeProperties(defaults.get());
    EXPECT_LT(defaults->indexOf("GridColor"), 0);
    EXPECT_LT(defaults->indexOf("FillColor"), 0);
    EXPECT_GE(defaults->indexOf("CellSize"), 0) << "(40, 40) differs from (0, 0)";

    CountedRef<PropertySet> set(new PropertySet());
    set->addColor("GridColor", SColor(0x80FFFFFF));
    set->addColor("FillColor", SColor(0x402A9D8F));
    set->addVector2d("CellSize", vector2df(20.0f, 10.0f));
    grid->readProperties(set.get());
    CountedRef<PropertySet> written(new PropertySet());
    grid->writeProperties(written.get());
    EXPECT_EQ(colorFromProperty(written->find("GridColor")).color, 0x80FFFFFFu);
    EXPECT_EQ(colorFromProperty(written->find("FillColor")).color, 0x402A9D8Fu);
    EXPECT_EQ(vector2dFromProperty(written->find("CellSize")), vector2df(20.0f, 10.0f));

    CountedRef<BaseNode> copy(grid->clone(nullptr, nullptr));
    auto* other = nodeCast<GSelectGridNode>(copy.get());
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->getGridColor().color, 0x80FFFFFFu);
    EXPECT_EQ(other->getFillColor().color, 0x402A9D8Fu);
    EXPECT_EQ(other->getCellSize(), vector2df(20.0f, 10.0f));
    EXPECT_TRUE(other->isOfType(1134));
    EXPECT_TRUE(other->isOfType(0));
}
