// The ellipse sector's fan for a table of angles, refused vertex counts, the
// property handling of both geometry nodes, and (on an X display) the pixels
// a sector and a rectangle draw.
#include "engine/core/PropertySet.h"
#include "support/SetUpNeeds.h"
#include "engine/visual/BackBufferCapture.h"
#include "engine/visual/QuadBatcher.h"
#include "engine/visual/RenderContext.h"
#include "game/common/GeometryNodes.h"
#include "support/LogCapture.h"
#include "visual/VisualTestSupport.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace engine;

namespace {

// A node that owns the geometry nodes as children.
struct Root {
    CreationContext context{nullptr, ""};
    CountedRef<BaseNode> node{new BaseNode(&context, nullptr, nullptr)};

    template <class T>
    T* add(float x, float y, float w, float h) {
        T* child = new T(&context, node.get(), nullptr);
        child->release();
        child->setPosition(vector3df(x, y, 0.0f));
        child->setBounds(vector3df(w, h, 0.0f));
        return child;
    }
    uint32_t collect() {
        RenderList list;
        node->collectRenderItems(list);
        return list.size();
    }
};

}  // namespace

TEST(EllipseSectorNodeTest, TheFanRunsFromAngle1ToAngle2Clockwise) {
    struct Point {
        float x, y;
    };
    struct Case {
        const char* what;
        int32_t angle1, angle2;
        float scale;
        size_t count;
        std::vector<Point> expected;  // the first vertices after the centre
        Point last;
    };
    // Bounds 100 x 60 at (10, 20): centre (60, 50), radii 50 and 30.
    const Case cases[] = {
        {"full ellipse", 0, 360, 1.0f, 34, {{60.0f, 20.0f}}, {60.0f, 20.0f}},
        {"lower-right quarter", 90, 180, 1.0f, 10, {{110.0f, 50.0f}}, {60.0f, 80.0f}},
        {"left half", 180, 360, 1.0f, 18, {{60.0f, 80.0f}}, {60.0f, 20.0f}},
        {"negative start", -90, 0, 1.0f, 10, {{10.0f, 50.0f}}, {60.0f, 20.0f}},
        {"half scale", 0, 90, 0.5f, 10, {{35.0f, 20.0f}}, {60.0f, 35.0f}},
        {"equal angles", 45, 45, 1.0f, 2, {}, {60.0f + 50.0f * 0.70710677f, 50.0f - 30.0f * 0.70710677f}},
        {"reversed angles", 90, 0, 1.0f, 2, {}, {60.0f, 20.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Root root;
        auto* sector = root.add<GEllipseSectorNode>(10.0f, 20.0f, 100.0f, 60.0f);
        sector->setScale(vector3df(c.scale, c.scale, 1.0f));
        sector->setAngle1(c.angle1);
        sector->setAngle2(c.angle2);
        root.collect();
        std::vector<vector2df> fan;
        sector->buildVertices(fan);
        ASSERT_EQ(fan.size(), c.count);
        const float rx = 50.0f * c.scale, ry = 30.0f * c.scale;
        EXPECT_FLOAT_EQ(fan[0].X, 10.0f + rx);
        EXPECT_FLOAT_EQ(fan[0].Y, 20.0f + ry);
        for (size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_NEAR(fan[i + 1].X, c.expected[i].x, 1e-3f);
            EXPECT_NEAR(fan[i + 1].Y, c.expected[i].y, 1e-3f);
        }
        EXPECT_NEAR(fan.back().X, c.last.x, 1e-3f);
        EXPECT_NEAR(fan.back().Y, c.last.y, 1e-3f);
        // Every vertex but the centre lies on the ellipse.
        for (size_t i = 1; i < fan.size(); ++i) {
            const float u = (fan[i].X - fan[0].X) / rx, v = (fan[i].Y - fan[0].Y) / ry;
            EXPECT_NEAR(u * u + v * v, 1.0f, 1e-4f) << "vertex " << i;
        }
    }
}

TEST(EllipseSectorNodeTest, VertexCountsBelowThreeAndHugeAnglesCannotHang) {
    for (int32_t count : {0, -5, 2}) {
        SCOPED_TRACE(count);
        testing_support::LogCapture log;
        Root root;
        auto* sector = root.add<GEllipseSectorNode>(0.0f, 0.0f, 10.0f, 10.0f);
        sector->setMaxVerticesCount(count);
        EXPECT_EQ(sector->getMaxVerticesCount(), 32);
        EXPECT_TRUE(log.contains("MaxVerticesCount"));
        std::vector<vector2df> fan;
        sector->buildVertices(fan);
        EXPECT_EQ(fan.size(), 34u);
    }
    Root root;
    auto* sector = root.add<GEllipseSectorNode>(0.0f, 0.0f, 10.0f, 10.0f);
    sector->setMaxVerticesCount(3);
    std::vector<vector2df> fan;
    sector->buildVertices(fan);
    EXPECT_EQ(fan.size(), 5u);
    // Angles where a step no longer moves a float, and spans too wide for one fan.
    for (auto angles : {std::pair<int32_t, int32_t>{2000000000, 2100000000}, {-2000000000, 2000000000}, {0, 2000000}}) {
        sector->setAngle1(angles.first);
        sector->setAngle2(angles.second);
        sector->buildVertices(fan);
        EXPECT_GE(fan.size(), 3u);
        EXPECT_LE(fan.size(), 0xFFFFu);
    }
}

TEST(GeometryNodesTest, PropertiesCopiesAndTransparentNodes) {
    Root root;
    auto* sector = root.add<GEllipseSectorNode>(0.0f, 0.0f, 10.0f, 10.0f);
    auto* rectangle = root.add<GRectangleNode>(0.0f, 0.0f, 10.0f, 10.0f);
    EXPECT_EQ(root.collect(), 2u);

    // Defaults are not written.
    CountedRef<PropertySet> set(new PropertySet());
    sector->writeProperties(set.get());
    rectangle->writeProperties(set.get());
    for (const char* name : {"FillColor", "Angle1", "Angle2", "MaxVerticesCount", "BorderColor"})
        EXPECT_LT(set->indexOf(name), 0) << name;

    sector->setFillColor(SColor(0x80FF0000));
    sector->setAngle1(30);
    sector->setAngle2(200);
    sector->setMaxVerticesCount(12);
    CountedRef<BaseNode> sectorCopy(sector->clone(nullptr, nullptr));
    auto* copiedSector = nodeCast<GEllipseSectorNode>(sectorCopy.get());
    ASSERT_TRUE(copiedSector);
    EXPECT_EQ(copiedSector->getFillColor().color, 0x80FF0000u);
    EXPECT_EQ(copiedSector->getAngle1(), 30);
    EXPECT_EQ(copiedSector->getAngle2(), 200);
    EXPECT_EQ(copiedSector->getMaxVerticesCount(), 32);  // not copied
    CountedRef<PropertySet> written(new PropertySet());
    sector->writeProperties(written.get());
    CountedRef<BaseNode> readBack(new GEllipseSectorNode(&root.context, nullptr, nullptr));
    readBack->readProperties(written.get());
    EXPECT_EQ(static_cast<GEllipseSectorNode*>(readBack.get())->getMaxVerticesCount(), 12);
    EXPECT_EQ(static_cast<GEllipseSectorNode*>(readBack.get())->getAngle2(), 200);

    rectangle->setBorderColor(SColor(0xFF0000FF));
    rectangle->setFillColor(SColor(0xFF00FF00));
    CountedRef<BaseNode> rectangleCopy(rectangle->clone(nullptr, nullptr));
    auto* copiedRectangle = nodeCast<GRectangleNode>(rectangleCopy.get());
    ASSERT_TRUE(copiedRectangle);
    EXPECT_EQ(copiedRectangle->getBorderColor().color, 0xFF0000FFu);
    EXPECT_EQ(copiedRectangle->getFillColor().color, 0xFF00FF00u);
    EXPECT_TRUE(copiedRectangle->isOfType(1135) && copiedRectangle->isOfType(0) && !copiedRectangle->isOfType(1133));

    // Tinted to alpha 0 or hidden: no item.
    sector->setTintColor(SColor(0x00FFFFFF));
    rectangle->setVisible(false);
    EXPECT_EQ(root.collect(), 0u);
}

namespace {

// Draws on the OpenGL driver in a window under X and reads the back buffer.
class GeometryPixelTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string whyNot;
        gl_ = visual_test::createOpenGLDevice(128, 128, &whyNot);
        if (!gl_) {
            SKIP_OR_FAIL_UNDER_CI() << whyNot;
        }
        driver_ = gl_->getVideoDriver();
        context_ = makeRef<RenderContext>(driver_);
        setDriverQuadBatcher(driver_, context_->getQuadBatcher());
    }
    void TearDown() override {
        if (driver_) setDriverQuadBatcher(driver_, nullptr);
        context_.reset();
        gl_.reset();
    }

    std::function<uint32_t(int, int)> draw(Root& root) {
        driver_->beginScene(true, true, irr::video::SColor(0xFF000000));
        RenderList items;
        root.node->collectRenderItems(items);
        items.sort();
        QuadBatcher* batcher = getDriverQuadBatcher(driver_);
        batcher->flush();
        batcher->begin();
        for (irr::u32 i = 0; i < items.size(); ++i) items[i].node->render(driver_, nullptr);
        batcher->end();
        frame_.reset(captureBackBuffer(driver_));
        driver_->endScene();
        return [this](int x, int y) { return frame_->getPixel(x, y).color & 0xFFFFFFu; };
    }

    IrrRef<irr::IrrlichtDevice> gl_;
    irr::video::IVideoDriver* driver_ = nullptr;
    CountedRef<RenderContext> context_;
    IrrRef<irr::video::IImage> frame_;
};

}  // namespace

TEST_F(GeometryPixelTest, ASectorAndARectangleDrawWhereTheirPropertiesSay) {
    Root root;
    // The upper-right quarter of a circle of radius 20 centred at (30, 30).
    auto* sector = root.add<GEllipseSectorNode>(10.0f, 10.0f, 40.0f, 40.0f);
    sector->setAngle2(90);
    sector->setFillColor(SColor(0xFFFF0000));
    // A green box inside a blue frame over (60, 60) .. (100, 90).
    auto* rectangle = root.add<GRectangleNode>(60.0f, 60.0f, 40.0f, 30.0f);
    rectangle->setFillColor(SColor(0xFF00FF00));
    rectangle->setBorderColor(SColor(0xFF0000FF));
    // Only a frame: FillColor 0.
    auto* frame = root.add<GRectangleNode>(10.0f, 70.0f, 30.0f, 30.0f);
    frame->setBorderColor(SColor(0xFFFFFFFF));

    auto pixel = draw(root);
    ASSERT_TRUE(frame_);
    EXPECT_EQ(pixel(40, 20), 0xFF0000u);  // inside the quarter
    EXPECT_EQ(pixel(20, 20), 0u);         // upper-left: not drawn
    EXPECT_EQ(pixel(40, 40), 0u);         // lower-right: not drawn
    EXPECT_EQ(pixel(48, 28), 0xFF0000u);  // near the right edge
    EXPECT_EQ(pixel(49, 12), 0u);         // outside the circle's arc

    EXPECT_EQ(pixel(80, 75), 0x00FF00u);
    EXPECT_EQ(pixel(105, 75), 0u);
    EXPECT_EQ(pixel(80, 95), 0u);
    const auto blueNear = [&](int x, int y, int dx, int dy) {
        return pixel(x, y) == 0x0000FFu || pixel(x + dx, y + dy) == 0x0000FFu;
    };
    EXPECT_TRUE(blueNear(80, 60, 0, 1)) << "top border";
    EXPECT_TRUE(blueNear(60, 75, 1, 0)) << "left border";
    EXPECT_TRUE(blueNear(99, 75, 1, 0)) << "right border";
    EXPECT_TRUE(blueNear(80, 89, 0, 1)) << "bottom border";

    EXPECT_EQ(pixel(25, 85), 0u);  // the frame's inside stays empty
    EXPECT_TRUE(pixel(25, 70) == 0xFFFFFFu || pixel(25, 71) == 0xFFFFFFu) << "the frame's top line";
}
