#include "engine/core/RefCounted.h"
#include "engine/visual/Material.h"
#include "visual/VisualTestSupport.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

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


// Materials built apart with equal values are equal; a change made after they
// were compared (as the batcher compares them every frame) is seen at the
// next comparison, and undoing it makes them equal again.
TEST(Material, EqualityFollowsChangesMadeAfterAComparison) {
    CountedRef<TestTextureSource> sourceA = makeRef<TestTextureSource>();
    CountedRef<TestTextureSource> sourceB = makeRef<TestTextureSource>();
    // Each change sets a value to its "off" (a's) or "on" value.
    using Change = void (*)(Material& m, bool on, TestTextureSource* a, TestTextureSource* b);
    const std::pair<const char*, Change> cases[] = {
        {"bilinear filter through flags()",
         [](Material& m, bool on, TestTextureSource*, TestTextureSource*) {
             m.flags().setFlag(irr::video::EMF_BILINEAR_FILTER, on);
         }},
        {"texture wrap through flags()",
         [](Material& m, bool on, TestTextureSource*, TestTextureSource*) {
             m.flags().TextureLayer[0].TextureWrapU = on ? irr::video::ETC_CLAMP : irr::video::ETC_REPEAT;
         }},
        {"material type",
         [](Material& m, bool on, TestTextureSource*, TestTextureSource*) {
             m.setMaterialType(on ? EMT_TRANS_ALPHACH_VERTEXALPHA_ADD : EMT_TRANS_ALPHACH_VERTEXALPHA);
         }},
        {"texture source",
         [](Material& m, bool on, TestTextureSource* a, TestTextureSource* b) { m.setTexture(on ? b : a); }},
        {"layer count",
         [](Material& m, bool on, TestTextureSource*, TestTextureSource*) { m.setTextureLayerCount(on ? 0 : 1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const Change change = c.second;
        Material a, b;
        for (Material* m : {&a, &b}) {
            m->setTexture(sourceA.get());
            change(*m, false, sourceA.get(), sourceB.get());
        }
        EXPECT_TRUE(a == b);
        change(b, true, sourceA.get(), sourceB.get());
        EXPECT_FALSE(a == b);
        EXPECT_FALSE(b == a);
        const Material copy = b;
        EXPECT_TRUE(copy == b);
        change(b, false, sourceA.get(), sourceB.get());
        EXPECT_TRUE(a == b);
        EXPECT_FALSE(copy == b);
    }
}

// However many different flag sets a program makes, each material equals
// exactly the ones with its own values.
TEST(Material, ManyDistinctFlagSetsStillCompareByValue) {
    std::vector<Material> materials(600);
    for (size_t i = 0; i < materials.size(); ++i) materials[i].flags().MaterialTypeParam = static_cast<float>(i);
    for (size_t i = 0; i < materials.size(); ++i) {
        Material same;
        same.flags().MaterialTypeParam = static_cast<float>(i);
        EXPECT_TRUE(materials[i] == same) << i;
        if (i > 0) {
            EXPECT_FALSE(materials[i] == materials[i - 1]) << i;
        }
    }
}

}  // namespace
