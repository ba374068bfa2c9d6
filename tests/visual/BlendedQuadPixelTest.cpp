// Textured quads drawn through the batcher on the OpenGL driver, checked pixel
// by pixel in the back buffer. Needs an X display (the suite runs under Xvfb);
// without one the tests are skipped.
#include "engine/core/RefCounted.h"
#include "engine/io/IrrRef.h"
#include "engine/visual/BackBufferCapture.h"
#include "engine/visual/MaterialRenderers.h"
#include "engine/visual/QuadBatcher.h"
#include "engine/visual/RenderContext.h"
#include "support/SetUpNeeds.h"
#include "visual/VisualTestSupport.h"

#include <gtest/gtest.h>
#include <GL/gl.h>
#include <functional>
#include <string>
#include <vector>

using namespace engine;
using irr::u32;
using irr::core::vector2df;
using irr::video::S3DVertex;
using irr::video::SColor;
using visual_test::TestTextureSource;

namespace {

const SColor BLUE(255, 0, 0, 255);
const SColor BLACK(255, 0, 0, 0);

std::string rgb(SColor c) {
    return std::to_string(c.getRed()) + "," + std::to_string(c.getGreen()) + "," + std::to_string(c.getBlue());
}

QuadRecord makeQuad(const Material* material, float x, float y, float w, float h, SColor colour) {
    QuadRecord q;
    q.material = material;
    const vector2df corners[4] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
    const vector2df coords[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i)
        q.vertices[i] = S3DVertex(corners[i].X, corners[i].Y, 1.f, 0, 0, 0, colour, coords[i].X, coords[i].Y);
    return q;
}

class BlendedQuadPixels : public ::testing::Test {
protected:
    void SetUp() override {
        std::string whyNot;
        device_ = visual_test::createOpenGLDevice(128, 128, &whyNot);
        if (!device_) SKIP_OR_FAIL_UNDER_CI() << "OpenGL pixel tests: " << whyNot;
        driver_ = device_->getVideoDriver();
        driver_->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, false);
        driver_->setTextureCreationFlag(irr::video::ETCF_ALWAYS_32_BIT, true);
        context_ = makeRef<RenderContext>(driver_);
        batcher_ = context_->getQuadBatcher();
    }

    void TearDown() override {
        context_.reset();
        device_.reset();
    }

    // A texture whose texels are given row by row, top row first.
    CountedRef<TestTextureSource> makeTexture(u32 w, u32 h, const std::vector<SColor>& texels) {
        IrrRef<irr::video::IImage> image(
            driver_->createImage(irr::video::ECF_A8R8G8B8, irr::core::dimension2d<u32>(w, h)));
        for (u32 y = 0; y < h; ++y)
            for (u32 x = 0; x < w; ++x) image->setPixel(x, y, texels[(y * w + x) % texels.size()]);
        const std::string name = "texture" + std::to_string(++textureCount_);
        irr::video::ITexture* texture = driver_->addTexture(name.c_str(), image.get());
        EXPECT_NE(texture, nullptr);
        return CountedRef<TestTextureSource>(new TestTextureSource(texture));
    }

    Material makeMaterial(TestTextureSource* texture, irr::video::E_MATERIAL_TYPE type) {
        Material material;
        material.setTexture(texture);
        material.setMaterialType(type);
        return material;
    }

    // Clears to the background, lets `draw` queue quads between begin and end,
    // and returns the back buffer as it is before the frame is shown.
    IrrRef<irr::video::IImage> drawFrame(SColor background, const std::function<void(QuadBatcher&)>& draw) {
        driver_->beginScene(true, true, background);
        batcher_->flush();
        batcher_->begin();
        draw(*batcher_);
        batcher_->end();
        IrrRef<irr::video::IImage> frame(captureBackBuffer(driver_));
        driver_->endScene();
        return frame;
    }

    IrrRef<irr::IrrlichtDevice> device_;
    irr::video::IVideoDriver* driver_ = nullptr;
    CountedRef<RenderContext> context_;
    QuadBatcher* batcher_ = nullptr;
    int textureCount_ = 0;
};

TEST_F(BlendedQuadPixels, RenderersAreRegisteredAfterIrrlichtsOwnTypes) {
    EXPECT_EQ(context_->getMaterialTypeIds().alphaVertexBlend, 24);
    EXPECT_EQ(context_->getMaterialTypeIds().alphaVertexAdd, 25);
}

// Type 24 with white vertex colour of alpha 128 over an opaque red texel: red
// at half opacity over the blue background. The quad covers exactly the
// pixels from (8, 8) to (23, 23).
TEST_F(BlendedQuadPixels, BlendTypeMultipliesAndBlendsAtVertexAlpha) {
    auto red = makeTexture(4, 4, {SColor(255, 255, 0, 0)});
    const Material material = makeMaterial(red.get(), EMT_TRANS_ALPHACH_VERTEXALPHA);
    const QuadRecord quad = makeQuad(&material, 8, 8, 16, 16, SColor(128, 255, 255, 255));
    auto frame = drawFrame(BLUE, [&](QuadBatcher& b) { b.addQuad(&quad); });
    ASSERT_TRUE(frame);
    struct Case {
        u32 x, y;
        SColor expected;
    };
    const SColor half(255, 128, 0, 127);
    const Case cases[] = {
        {8, 8, half},  {23, 8, half}, {8, 23, half}, {23, 23, half}, {15, 15, half},
        {7, 8, BLUE},  {8, 7, BLUE},  {24, 23, BLUE}, {23, 24, BLUE}, {100, 100, BLUE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rgb(frame->getPixel(c.x, c.y)), rgb(c.expected)) << "pixel " << c.x << ", " << c.y;
}

// Type 25 adds the vertex colour to the texel (clamped); alpha still blends.
TEST_F(BlendedQuadPixels, AddTypeAddsTheVertexColour) {
    auto texels = makeTexture(4, 4, {SColor(255, 200, 100, 0)});
    const Material material = makeMaterial(texels.get(), EMT_TRANS_ALPHACH_VERTEXALPHA_ADD);
    const QuadRecord opaque = makeQuad(&material, 0, 0, 8, 8, SColor(255, 64, 64, 64));
    const QuadRecord half = makeQuad(&material, 16, 0, 8, 8, SColor(128, 55, 0, 0));
    auto frame = drawFrame(BLUE, [&](QuadBatcher& b) {
        b.addQuad(&opaque);
        b.addQuad(&half);
    });
    ASSERT_TRUE(frame);
    EXPECT_EQ(rgb(frame->getPixel(4, 4)), rgb(SColor(255, 255, 164, 64)));
    // (255, 100, 0) at alpha 128/255 over (0, 0, 255).
    EXPECT_EQ(rgb(frame->getPixel(20, 4)), rgb(SColor(255, 128, 50, 127)));
}

// Texture alpha times vertex alpha: either being zero leaves the background.
TEST_F(BlendedQuadPixels, TextureAlphaAndVertexAlphaMultiply) {
    auto clear = makeTexture(2, 2, {SColor(0, 255, 255, 255)});
    auto solid = makeTexture(2, 2, {SColor(255, 255, 255, 255)});
    const Material clearBlend = makeMaterial(clear.get(), EMT_TRANS_ALPHACH_VERTEXALPHA);
    const Material clearAdd = makeMaterial(clear.get(), EMT_TRANS_ALPHACH_VERTEXALPHA_ADD);
    const Material solidBlend = makeMaterial(solid.get(), EMT_TRANS_ALPHACH_VERTEXALPHA);
    const QuadRecord quads[] = {
        makeQuad(&clearBlend, 0, 0, 8, 8, SColor(255, 255, 255, 255)),
        makeQuad(&clearAdd, 10, 0, 8, 8, SColor(255, 255, 255, 255)),
        makeQuad(&solidBlend, 20, 0, 8, 8, SColor(0, 255, 255, 255)),
    };
    auto frame = drawFrame(BLUE, [&](QuadBatcher& b) {
        for (const QuadRecord& q : quads) b.addQuad(&q);
    });
    ASSERT_TRUE(frame);
    for (u32 x : {4u, 14u, 24u}) EXPECT_EQ(rgb(frame->getPixel(x, 4)), rgb(BLUE)) << "quad at " << x;
}

// A texture drawn at its own size lands texel for texel, top row at the top,
// whatever the material's culling flags say: 2D drawing never culls. The
// first quad of a run and the ones after it (drawn another way) alike.
TEST_F(BlendedQuadPixels, TextureDrawnOneToOneLandsTexelForTexel) {
    std::vector<SColor> texels;
    for (u32 i = 0; i < 16; ++i) texels.push_back(SColor(255, 16 * i, 255 - 16 * i, (i * 97) % 256));
    auto texture = makeTexture(4, 4, texels);
    Material material = makeMaterial(texture.get(), EMT_TRANS_ALPHACH_VERTEXALPHA);
    material.flags().BackfaceCulling = true;
    material.flags().FrontfaceCulling = true;
    const u32 lefts[] = {10, 30, 50};
    std::vector<QuadRecord> quads;
    for (u32 left : lefts) quads.push_back(makeQuad(&material, float(left), 20, 4, 4, SColor(255, 255, 255, 255)));
    auto frame = drawFrame(BLACK, [&](QuadBatcher& b) {
        for (const QuadRecord& q : quads) b.addQuad(&q);
    });
    ASSERT_TRUE(frame);
    for (u32 left : lefts) {
        for (u32 y = 0; y < 4; ++y)
            for (u32 x = 0; x < 4; ++x)
                EXPECT_EQ(rgb(frame->getPixel(left + x, 20 + y)), rgb(texels[y * 4 + x]))
                    << "quad at " << left << ", texel " << x << ", " << y;
        EXPECT_EQ(rgb(frame->getPixel(left - 1, 20)), rgb(BLACK)) << "quad at " << left;
        EXPECT_EQ(rgb(frame->getPixel(left + 4, 23)), rgb(BLACK)) << "quad at " << left;
        EXPECT_EQ(rgb(frame->getPixel(left, 24)), rgb(BLACK)) << "quad at " << left;
    }
}

// The material reaches the driver at flush time, and so does its texture: a
// texture rebuilt after the quad was queued is the one drawn.
TEST_F(BlendedQuadPixels, TextureIsTakenWhenTheBatchIsDrawn) {
    auto texture = makeTexture(2, 2, {SColor(255, 255, 0, 0)});
    auto green = makeTexture(2, 2, {SColor(255, 0, 255, 0)});
    const Material material = makeMaterial(texture.get(), EMT_TRANS_ALPHACH_VERTEXALPHA);
    const QuadRecord quad = makeQuad(&material, 0, 0, 8, 8, SColor(255, 255, 255, 255));
    auto frame = drawFrame(BLACK, [&](QuadBatcher& b) {
        b.addQuad(&quad);
        texture->texture = green->texture;
    });
    ASSERT_TRUE(frame);
    EXPECT_EQ(rgb(frame->getPixel(4, 4)), rgb(SColor(255, 0, 255, 0)));
}

// The texture stage is set up when the material type changes, not for each
// material of one type; blending stays right across both kinds of change.
TEST_F(BlendedQuadPixels, StageIsSetUpOncePerTypeChange) {
    auto red = makeTexture(2, 2, {SColor(255, 255, 0, 0)});
    auto green = makeTexture(2, 2, {SColor(255, 0, 255, 0)});
    const Material blendRed = makeMaterial(red.get(), EMT_TRANS_ALPHACH_VERTEXALPHA);
    const Material blendGreen = makeMaterial(green.get(), EMT_TRANS_ALPHACH_VERTEXALPHA);
    const Material addRed = makeMaterial(red.get(), EMT_TRANS_ALPHACH_VERTEXALPHA_ADD);
    const Material addGreen = makeMaterial(green.get(), EMT_TRANS_ALPHACH_VERTEXALPHA_ADD);
    auto* blendRenderer = static_cast<AlphaVertexMaterialRenderer*>(context_->getBlendRenderer());
    auto* addRenderer = static_cast<AlphaVertexMaterialRenderer*>(context_->getAddRenderer());

    struct Step {
        const Material* material;
        u32 blendSetups, addSetups;  // added by this step
        SColor expected;             // at alpha 128 over blue
    };
    const Step steps[] = {
        {&blendRed, 1, 0, SColor(255, 128, 0, 127)},   {&blendGreen, 0, 0, SColor(255, 0, 128, 127)},
        {&addRed, 0, 1, SColor(255, 128, 0, 127)},     {&addGreen, 0, 0, SColor(255, 0, 128, 127)},
        {&blendRed, 1, 0, SColor(255, 128, 0, 127)},
    };
    std::vector<QuadRecord> quads;
    for (u32 i = 0; i < 5; ++i) {
        // White multiplies and black adds to the same texel colour.
        const bool adds = steps[i].material->getMaterialType() == EMT_TRANS_ALPHACH_VERTEXALPHA_ADD;
        const SColor tint = adds ? SColor(128, 0, 0, 0) : SColor(128, 255, 255, 255);
        quads.push_back(makeQuad(steps[i].material, 10.f * i, 0, 8, 8, tint));
    }
    driver_->beginScene(true, true, BLUE);
    batcher_->begin();
    for (u32 i = 0; i < 5; ++i) {
        const u32 blendBefore = blendRenderer->getStageSetupCount();
        const u32 addBefore = addRenderer->getStageSetupCount();
        batcher_->addQuad(&quads[i]);
        batcher_->flush();
        EXPECT_EQ(blendRenderer->getStageSetupCount() - blendBefore, steps[i].blendSetups) << "step " << i;
        EXPECT_EQ(addRenderer->getStageSetupCount() - addBefore, steps[i].addSetups) << "step " << i;
    }
    batcher_->end();
    IrrRef<irr::video::IImage> frame(captureBackBuffer(driver_));
    driver_->endScene();
    ASSERT_TRUE(frame);
    for (u32 i = 0; i < 5; ++i)
        EXPECT_EQ(rgb(frame->getPixel(10 * i + 4, 4)), rgb(steps[i].expected)) << "step " << i;
}

// Meshes go through the same renderers; one too big for the batch arrays is
// drawn from its own arrays.
TEST_F(BlendedQuadPixels, MeshesAreDrawnIncludingOnesBiggerThanTheBatch) {
    auto white = makeTexture(2, 2, {SColor(255, 255, 255, 255)});
    MeshBuffer small;
    small.material = makeMaterial(white.get(), EMT_TRANS_ALPHACH_VERTEXALPHA);
    MeshBuffer big = small;
    // `big` tiles 32 x 36 cells of 2 x 2 pixels from (0, 40): 4608 vertices.
    auto addCell = [](MeshBuffer& mesh, float x, float y, float size, SColor colour) {
        const irr::u16 base = static_cast<irr::u16>(mesh.vertices.size());
        mesh.vertices.push_back(S3DVertex(x, y, 0, 0, 0, 0, colour, 0, 0));
        mesh.vertices.push_back(S3DVertex(x + size, y, 0, 0, 0, 0, colour, 1, 0));
        mesh.vertices.push_back(S3DVertex(x + size, y + size, 0, 0, 0, 0, colour, 1, 1));
        mesh.vertices.push_back(S3DVertex(x, y + size, 0, 0, 0, 0, colour, 0, 1));
        for (irr::u16 i : {0, 1, 2, 0, 2, 3}) mesh.indices.push_back(static_cast<irr::u16>(base + i));
        mesh.primitiveCount += 2;
    };
    addCell(small, 0, 0, 8, SColor(255, 255, 0, 0));
    for (u32 row = 0; row < 36; ++row)
        for (u32 col = 0; col < 32; ++col) addCell(big, 2.f * col, 40.f + 2.f * row, 2, SColor(255, 0, 255, 0));
    ASSERT_GT(big.vertices.size(), QuadBatcher::MESH_VERTEX_CAPACITY);
    auto frame = drawFrame(BLACK, [&](QuadBatcher& b) {
        b.addMeshBuffer(&small);
        b.addMeshBuffer(&big);
    });
    ASSERT_TRUE(frame);
    EXPECT_EQ(rgb(frame->getPixel(4, 4)), rgb(SColor(255, 255, 0, 0)));
    EXPECT_EQ(rgb(frame->getPixel(0, 40)), rgb(SColor(255, 0, 255, 0)));
    EXPECT_EQ(rgb(frame->getPixel(63, 111)), rgb(SColor(255, 0, 255, 0)));
    EXPECT_EQ(rgb(frame->getPixel(64, 111)), rgb(BLACK));
    EXPECT_EQ(rgb(frame->getPixel(63, 112)), rgb(BLACK));
}

// Corners of different colours: flat shading (the engine's default) fills
// the quad with corner 0's colour, Gouraud shading blends towards each
// corner's own colour.
TEST_F(BlendedQuadPixels, ShadingDecidesBetweenCornerZerosColourAndABlend) {
    auto white = makeTexture(2, 2, {SColor(255, 255, 255, 255)});
    const SColor corners[4] = {SColor(255, 255, 0, 0), SColor(255, 0, 255, 0), SColor(255, 0, 0, 255),
                               SColor(255, 255, 255, 0)};
    for (const bool gouraud : {false, true}) {
        SCOPED_TRACE(gouraud ? "Gouraud shading" : "flat shading");
        Material material = makeMaterial(white.get(), EMT_TRANS_ALPHACH_VERTEXALPHA);
        material.flags().GouraudShading = gouraud;
        // The quad looked at comes second in its run, and so does one drawn
        // as the only quad of its run.
        const QuadRecord first = makeQuad(&material, 100, 100, 4, 4, corners[0]);
        QuadRecord quad = makeQuad(&material, 0, 0, 64, 64, corners[0]);
        for (int i = 0; i < 4; ++i) quad.vertices[i].Color = corners[i];
        auto frame = drawFrame(BLACK, [&](QuadBatcher& b) {
            b.addQuad(&first);
            b.addQuad(&quad);
        });
        ASSERT_TRUE(frame);
        const u32 at[4][2] = {{0, 0}, {63, 0}, {63, 63}, {0, 63}};
        for (int i = 0; i < 4; ++i) {
            const SColor seen = frame->getPixel(at[i][0], at[i][1]);
            if (!gouraud) {
                EXPECT_EQ(rgb(seen), rgb(corners[0])) << "corner " << i;
                continue;
            }
            // Half a pixel in from the corner: within 8 of the corner's colour.
            EXPECT_NEAR(seen.getRed(), corners[i].getRed(), 8) << "corner " << i;
            EXPECT_NEAR(seen.getGreen(), corners[i].getGreen(), 8) << "corner " << i;
            EXPECT_NEAR(seen.getBlue(), corners[i].getBlue(), 8) << "corner " << i;
        }
    }
}

// Quads drawn straight through OpenGL leave Irrlicht's state as it was:
// shading and provoking vertex as Irrlicht set them, no vertex arrays left
// on, and Irrlicht's own 2D drawing afterwards lands where it should.
TEST_F(BlendedQuadPixels, QuadsLeaveIrrlichtsStateAsTheyFoundIt) {
    EXPECT_TRUE(context_->drawsQuadArrays()) << "Mesa's OpenGL has BGRA colour arrays";
    auto red = makeTexture(2, 2, {SColor(255, 255, 0, 0)});
    const Material material = makeMaterial(red.get(), EMT_TRANS_ALPHACH_VERTEXALPHA);
    const QuadRecord quads[] = {makeQuad(&material, 0, 0, 8, 8, SColor(255, 255, 255, 255)),
                                makeQuad(&material, 0, 8, 8, 8, SColor(255, 255, 255, 255))};
    driver_->beginScene(true, true, BLACK);
    batcher_->begin();
    for (const QuadRecord& quad : quads) batcher_->addQuad(&quad);
    batcher_->end();
    GLint shadeModel = 0, provoking = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    glGetIntegerv(GL_PROVOKING_VERTEX, &provoking);
    EXPECT_EQ(shadeModel, GL_FLAT) << "the material is flat-shaded";
    EXPECT_EQ(provoking, GL_FIRST_VERTEX_CONVENTION) << "Irrlicht's convention";
    for (GLenum array : {GL_VERTEX_ARRAY, GL_COLOR_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_NORMAL_ARRAY})
        EXPECT_FALSE(glIsEnabled(array)) << "client array " << array;
    driver_->draw2DRectangle(SColor(255, 0, 255, 0), irr::core::rect<irr::s32>(20, 0, 28, 8));
    IrrRef<irr::video::IImage> frame(captureBackBuffer(driver_));
    driver_->endScene();
    ASSERT_TRUE(frame);
    EXPECT_EQ(rgb(frame->getPixel(4, 4)), rgb(SColor(255, 255, 0, 0)));
    EXPECT_EQ(rgb(frame->getPixel(4, 12)), rgb(SColor(255, 255, 0, 0)));
    EXPECT_EQ(rgb(frame->getPixel(24, 4)), rgb(SColor(255, 0, 255, 0)));
    EXPECT_EQ(rgb(frame->getPixel(14, 4)), rgb(BLACK));
}

TEST_F(BlendedQuadPixels, CaptureHasTheScreenSizeAndTopRowFirst) {
    auto white = makeTexture(2, 2, {SColor(255, 255, 255, 255)});
    const Material material = makeMaterial(white.get(), EMT_TRANS_ALPHACH_VERTEXALPHA);
    const QuadRecord top = makeQuad(&material, 0, 0, 128, 1, SColor(255, 255, 0, 0));
    auto frame = drawFrame(BLACK, [&](QuadBatcher& b) { b.addQuad(&top); });
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->getDimension(), irr::core::dimension2d<u32>(128, 128));
    EXPECT_EQ(frame->getColorFormat(), irr::video::ECF_A8R8G8B8);
    EXPECT_EQ(rgb(frame->getPixel(64, 0)), rgb(SColor(255, 255, 0, 0)));
    EXPECT_EQ(rgb(frame->getPixel(64, 1)), rgb(BLACK));
    EXPECT_EQ(rgb(frame->getPixel(64, 127)), rgb(BLACK));
}

}  // namespace
