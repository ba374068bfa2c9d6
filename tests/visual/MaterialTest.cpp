#include "engine/core/RefCounted.h"
#include "engine/visual/Material.h"
#include "visual/VisualTestSupport.h"

#include <gtest/gtest.h>

using namespace engine;
using visual_test::StubTexture;
using visual_test::TestTextureSource;

namespace {

TEST(Material, KeepsItsTextureSourceAliveAndCopiesShareIt) {
    TestTextureSource* source = new TestTextureSource;
    {
        Material material;
        material.setTexture(source);
        source->release();  // the material's reference is now the only one
        EXPECT_EQ(source->getRefCount(), 1);
        Material copy = material;
        EXPECT_EQ(copy.getTexture(), source);
        EXPECT_EQ(source->getRefCount(), 2);
        EXPECT_EQ(copy, material);
    }
}

// The driver texture is looked up when the material is converted, so a
// texture rebuilt behind the same source is picked up without touching the
// material.
TEST(Material, DriverMaterialTakesTheTextureTheSourceHoldsAtThatMoment) {
    StubTexture first, rebuilt;
    CountedRef<TestTextureSource> source(new TestTextureSource(&first));
    Material material;
    material.setTexture(source.get());
    const MaterialTypeIds ids;
    EXPECT_EQ(material.toDriverMaterial(ids).getTexture(0), &first);
    source->texture = &rebuilt;
    EXPECT_EQ(material.toDriverMaterial(ids).getTexture(0), &rebuilt);
    source->texture = nullptr;
    EXPECT_EQ(material.toDriverMaterial(ids).getTexture(0), nullptr);
}

TEST(Material, TextureIsBoundOnlyWithATextureLayer) {
    StubTexture texture;
    CountedRef<TestTextureSource> source(new TestTextureSource(&texture));
    Material material;
    material.setTexture(source.get());
    material.setTextureLayerCount(0);
    EXPECT_EQ(material.toDriverMaterial(MaterialTypeIds()).getTexture(0), nullptr);
    Material none;
    EXPECT_EQ(none.toDriverMaterial(MaterialTypeIds()).getTexture(0), nullptr);
}

TEST(Material, BlendedTypesMapToTheIdsTheDriverGave) {
    MaterialTypeIds ids;
    ids.alphaVertexBlend = 31;
    ids.alphaVertexAdd = 32;
    struct Case {
        irr::video::E_MATERIAL_TYPE engineType;
        irr::s32 driverType;
    };
    const Case cases[] = {
        {EMT_TRANS_ALPHACH_VERTEXALPHA, 31},
        {EMT_TRANS_ALPHACH_VERTEXALPHA_ADD, 32},
        {irr::video::EMT_SOLID, irr::video::EMT_SOLID},
        {irr::video::EMT_TRANSPARENT_VERTEX_ALPHA, irr::video::EMT_TRANSPARENT_VERTEX_ALPHA},
    };
    for (const Case& c : cases) {
        Material material;
        material.setMaterialType(c.engineType);
        EXPECT_EQ(material.toDriverMaterial(ids).MaterialType, c.driverType) << "engine type " << c.engineType;
        EXPECT_EQ(material.getMaterialType(), c.engineType) << "the material itself keeps the engine type";
    }
}

TEST(Material, DefaultIsTheBlendedTypeWithOneLayerAndNoDepthWrites) {
    const Material material;
    EXPECT_EQ(material.getMaterialType(), EMT_TRANS_ALPHACH_VERTEXALPHA);
    EXPECT_EQ(material.getTextureLayerCount(), 1u);
    EXPECT_FALSE(material.flags().ZWriteEnable);
    EXPECT_FALSE(material.flags().Lighting);
}

}  // namespace
