// What each part of the engine registers: the core knows its own kinds only,
// and the registration the device runs (and every test program's main) adds
// every higher part's node kinds, property values and content processors.
#include "engine/content/CContentProcessorsManager.h"
#include "engine/core/BaseNode.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertyDataRegistry.h"
#include "engine/platform/EngineKinds.h"

#include <gtest/gtest.h>

#include <iterator>

using namespace engine;

namespace {

const wchar_t* const kCoreNodeKinds[] = {L"BaseNode", L"TemplateCollectionNode", L"ControlNode", L"SceneNode"};

const struct {
    const wchar_t* kind;
    int32_t typeId;
} kHigherNodeKinds[] = {
    {L"SpriteNode", 3},    {L"NineGridSpriteNode", 4}, {L"TextNode", 2},        {L"ButtonNode", 9},
    {L"BackButtonNode", 10}, {L"CheckBoxNode", 11},    {L"EditNode", 12},       {L"ListNode", 13},
    {L"SliderNode", 16},   {L"ProgressBarNode", 15},   {L"TabSceneNode", 8},    {L"ParticleSystemNode", 17},
    {L"SpawnerNode", 19},  {L"SoundNode", 18},
};

const struct {
    const wchar_t* type;
    int32_t typeId;
} kContentValues[] = {{L"font", PROPERTY_FONT}, {L"atlasTexture", PROPERTY_ATLAS_TEXTURE}, {L"sound", PROPERTY_SOUND}};

}  // namespace

TEST(EngineKinds, CoreKnowsItsOwnKindsOnly) {
    NodeFactory nodes;
    PropertyDataRegistry values;
    for (const wchar_t* kind : kCoreNodeKinds) EXPECT_TRUE(nodes.hasNodeKind(kind)) << stringc(kind).c_str();
    for (const auto& c : kHigherNodeKinds) EXPECT_FALSE(nodes.hasNodeKind(c.kind)) << stringc(c.kind).c_str();
    for (const wchar_t* kind : {L"KeyFrame", L"SetProps", L"SetStates"}) EXPECT_TRUE(nodes.hasAnimatorKind(kind));
    for (const auto& c : kContentValues) EXPECT_FALSE(values.create(c.type, nullptr)) << stringc(c.type).c_str();
    EXPECT_TRUE(values.create(L"stringwArray", nullptr));
}

TEST(EngineKinds, RegistrationAddsEveryPartsKindsOnce) {
    NodeFactory nodes;
    PropertyDataRegistry values;
    registerEngineKinds(nodes, values);
    registerEngineKinds(nodes, values);  // the device registers again for every device made
    for (const auto& c : kHigherNodeKinds) {
        CountedRef<BaseNode> node(nodes.createNode(c.kind, nullptr));
        ASSERT_TRUE(node) << stringc(c.kind).c_str();
        EXPECT_EQ(stringw(node->getClassName()), stringw(c.kind));
        EXPECT_EQ(node->getTypeId(), c.typeId) << stringc(c.kind).c_str();
    }
    for (const auto& c : kContentValues) {
        CountedRef<IPropertyData> value = values.create(c.type, nullptr);
        ASSERT_TRUE(value) << stringc(c.type).c_str();
        EXPECT_EQ(value->getTypeId(), c.typeId);
        EXPECT_EQ(value->getTypeName(), stringw(c.type));
        EXPECT_TRUE(value->toString().empty());
    }
}

TEST(EngineKinds, EveryNewProcessorsManagerHasEveryPartsProcessorsOnce) {
    registerEngineKinds();
    registerEngineKinds();
    CountedRef<CContentProcessorsManager> processors(new CContentProcessorsManager(nullptr, nullptr, nullptr, nullptr));
    const ContentTypeCode types[] = {ContentType::SceneNode,       ContentType::Texture,
                                     ContentType::AtlasTexture,    ContentType::AtlasTextureCollection,
                                     ContentType::Image,           ContentType::Font,
                                     ContentType::ParticleCollection, ContentType::ParticleEmitter,
                                     ContentType::Sound,           ContentType::SoundPack};
    for (ContentTypeCode type : types) EXPECT_NE(processors->findProcessor(type), nullptr) << type;
    EXPECT_EQ(processors->getProcessorCount(), std::size(types));
}
