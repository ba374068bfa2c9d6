#include "engine/core/RefCounted.h"
#include "engine/visual/RenderContext.h"
#include "visual/VisualTestSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace engine;

namespace {

TEST(RenderContext, RegistersBothBlendedRenderersUnderTheirNames) {
    auto device = visual_test::createNullDevice();
    ASSERT_TRUE(device);
    irr::video::IVideoDriver* driver = device->getVideoDriver();
    const irr::u32 before = driver->getMaterialRendererCount();
    CountedRef<RenderContext> context(new RenderContext(driver));
    const MaterialTypeIds& ids = context->getMaterialTypeIds();
    EXPECT_EQ(ids.alphaVertexBlend, static_cast<irr::s32>(before));
    EXPECT_EQ(ids.alphaVertexAdd, static_cast<irr::s32>(before + 1));
    EXPECT_STREQ(driver->getMaterialRendererName(ids.alphaVertexBlend), "trans_alphach_vertexalpha");
    EXPECT_STREQ(driver->getMaterialRendererName(ids.alphaVertexAdd), "trans_alphach_vertexalpha_add");
    EXPECT_EQ(driver->getMaterialRenderer(ids.alphaVertexBlend), context->getBlendRenderer());
    EXPECT_EQ(driver->getMaterialRenderer(ids.alphaVertexAdd), context->getAddRenderer());
    ASSERT_NE(context->getQuadBatcher(), nullptr);
    EXPECT_EQ(context->getQuadBatcher()->getTarget(), context.get());
}

// Drawing nodes are handed only the driver and find its batcher by it, for as
// long as the context lives.
TEST(RenderContext, PublishesItsBatcherForItsDriverWhileItLives) {
    auto device = visual_test::createNullDevice();
    ASSERT_TRUE(device);
    irr::video::IVideoDriver* driver = device->getVideoDriver();
    {
        CountedRef<RenderContext> context(new RenderContext(driver));
        EXPECT_EQ(getDriverQuadBatcher(driver), context->getQuadBatcher());
        // A newer context of the same driver takes over; the older one leaving
        // does not take the newer one's entry away.
        CountedRef<RenderContext> newer(new RenderContext(driver));
        EXPECT_EQ(getDriverQuadBatcher(driver), newer->getQuadBatcher());
        context.reset();
        EXPECT_EQ(getDriverQuadBatcher(driver), newer->getQuadBatcher());
    }
    EXPECT_EQ(getDriverQuadBatcher(driver), nullptr);
}

TEST(RenderContext, NullDriverHasNo2DMode) {
    auto device = visual_test::createNullDevice();
    ASSERT_TRUE(device);
    CountedRef<RenderContext> context(new RenderContext(device->getVideoDriver()));
    EXPECT_FALSE(context->enter2DMode());
}

// Screen pixels map to the view with (0, 0) at the top-left corner and y
// growing downwards; depths from -10000 to 10000 stay inside the view volume.
TEST(RenderContext, ProjectionMapsScreenPixelsToTheView) {
    struct Case {
        irr::u32 width, height;
        irr::core::vector3df pixel, expected;
    };
    const Case cases[] = {
        {1024, 768, {0, 0, 0}, {-1, 1, 0}},
        {1024, 768, {1024, 768, 0}, {1, -1, 0}},
        {1024, 768, {512, 384, 10000}, {0, 0, 0.5f}},
        {200, 100, {50, 75, -10000}, {-0.5f, -0.5f, -0.5f}},
    };
    for (const Case& c : cases) {
        const irr::core::matrix4 m = RenderContext::make2DProjection(c.width, c.height);
        irr::f32 out[4];
        m.transformVect(out, c.pixel);
        EXPECT_FLOAT_EQ(out[0] / out[3], c.expected.X);
        EXPECT_FLOAT_EQ(out[1] / out[3], c.expected.Y);
        EXPECT_FLOAT_EQ(out[2] / out[3], c.expected.Z);
    }
}

TEST(RenderContext, BatcherOutlivingItsContextDrawsNothing) {
    auto device = visual_test::createNullDevice();
    ASSERT_TRUE(device);
    CountedRef<RenderContext> context(new RenderContext(device->getVideoDriver()));
    CountedRef<QuadBatcher> batcher = CountedRef<QuadBatcher>::share(context->getQuadBatcher());
    context.reset();
    EXPECT_EQ(batcher->getTarget(), nullptr);
    Material material;
    QuadRecord quad;
    quad.material = &material;
    batcher->begin();
    batcher->addQuad(&quad);
    batcher->end();
}

}  // namespace
