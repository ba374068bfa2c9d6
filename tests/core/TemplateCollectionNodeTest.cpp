#include "NodeTestSupport.h"

#include "engine/core/BaseNode.h"
#include "engine/core/State.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TimerScheduler.h"

#include <gtest/gtest.h>
#include <string>

using namespace engine;
using namespace node_tests;

namespace {

NameId id(const char* name) { return makeNameId(name); }

const char* kCollection = R"(<SceneNode Type="TemplateCollectionNode">
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="A" /><vector3d Name="Position" Value="1;1;0" /></Properties>
  </SceneNode>
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="B" /><vector3d Name="Position" Value="50;60;0" /></Properties>
    <States>
      <Properties><string Name="DefaultState" Value="Appear" /></Properties>
      <State Name="Appear"><Animator Type="TestWait" Duration="100" /></State>
      <State Name="Leave" />
    </States>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="B1" /></Properties></SceneNode>
    <SceneNode Type="SoundNode"><Properties><string Name="Name" Value="B2" /></Properties></SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="A" /><vector3d Name="Position" Value="2;2;0" /></Properties>
  </SceneNode>
</SceneNode>)";

CountedRef<TemplateCollectionNode> loadCollection() {
    registerTestKinds();
    CountedRef<BaseNode> root(readSceneText(kCollection));
    TemplateCollectionNode* collection = nodeCast<TemplateCollectionNode>(root.get());
    if (!collection) return CountedRef<TemplateCollectionNode>();
    return CountedRef<TemplateCollectionNode>::share(collection);
}

}  // namespace

TEST(TemplateCollection, DuplicateNamesKeepTheFirstNode) {
    auto collection = loadCollection();
    ASSERT_TRUE(collection);
    EXPECT_EQ(collection->getContentFlags(), ContentFlags::Shared);
    EXPECT_EQ(collection->getChildCount(), 3u);
    EXPECT_EQ(collection->getTemplateCount(), 2u);
    BaseNode* a = collection->getTemplate(id("A"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, collection->getChild(0));
    EXPECT_EQ(a->getPosition(), vector3df(1, 1, 0));
    EXPECT_EQ(a->getRefCount(), 2);                       // the child list and the template map
    EXPECT_EQ(collection->getChild(2)->getRefCount(), 1);  // the second A is only a child
    EXPECT_EQ(collection->getTemplate(id("B1")), nullptr);  // deeper nodes are no templates
    EXPECT_EQ(collection->getTemplate(id("Missing")), nullptr);
}

TEST(TemplateCollection, InstantiateReplacesTheTargetsContentAndEntersTheDefaultState) {
    auto collection = loadCollection();
    ASSERT_TRUE(collection);
    CountedRef<TimerScheduler> scheduler(new TimerScheduler());
    CountedRef<TestScene> scene(new TestScene(nullptr, nullptr, nullptr));
    scene->scheduler = scheduler.get();
    scene->attach(nullptr, scene.get());

    auto* target = new RecordingNode(nullptr, scene.get(), nullptr);
    target->release();
    target->setPosition(vector3df(7, 8, 0));
    BaseNode* old = new BaseNode(nullptr, target, nullptr);
    old->release();
    CountedRef<State> oldState(new State(id("Old")));
    target->addState(oldState.get());

    EXPECT_TRUE(collection->instantiate(id("B"), target));
    EXPECT_EQ(target->getPosition(), vector3df(7, 8, 0));
    ASSERT_EQ(target->getChildCount(), 2u);
    EXPECT_EQ(target->getChild(0)->getName(), id("B1"));
    EXPECT_EQ(target->getChild(1)->getName(), id("B2"));
    EXPECT_EQ(target->getChild(0)->getOwnerScene(), scene.get());
    EXPECT_NE(target->getChild(0), collection->getTemplate(id("B"))->getChild(0));
    EXPECT_EQ(target->getStates().size(), 2u);
    EXPECT_EQ(target->getState(id("Old")), nullptr);
    EXPECT_EQ(target->getState(id("Appear"))->getNode(), target);
    EXPECT_EQ(target->getDefaultState(), id("Appear"));
    EXPECT_EQ(target->getRunningState(), target->getState(id("Appear")));
    EXPECT_EQ(target->getState(id("Appear"))->getRunningCount(), 1u);
    EXPECT_EQ(oldState->getNode(), nullptr);

    // The template itself is untouched.
    BaseNode* b = collection->getTemplate(id("B"));
    EXPECT_EQ(b->getChildCount(), 2u);
    EXPECT_EQ(b->getRunningState(), nullptr);
    EXPECT_EQ(b->getPosition(), vector3df(50, 60, 0));
}

TEST(TemplateCollection, InstantiateWithoutATemplateOnlyResetsTheTarget) {
    auto collection = loadCollection();
    ASSERT_TRUE(collection);
    CountedRef<BaseNode> target(new BaseNode(nullptr, nullptr, nullptr));
    for (const NameId name : {kNoName, id("Missing")}) {
        BaseNode* child = new BaseNode(nullptr, target.get(), nullptr);
        child->release();
        CountedRef<State> state(new State(id("S")));
        target->addState(state.get());
        target->setDefaultState(id("S"));
        EXPECT_EQ(collection->instantiate(name, target.get()), name == kNoName);
        EXPECT_EQ(target->getChildCount(), 0u);
        EXPECT_EQ(target->getStates().size(), 0u);
        EXPECT_EQ(target->getDefaultState(), kNoName);
    }
    EXPECT_FALSE(collection->instantiate(id("A"), nullptr));
}

TEST(TemplateCollection, AddedTemplatesAreHeldButNotChildren) {
    auto collection = loadCollection();
    ASSERT_TRUE(collection);
    CountedRef<BaseNode> extra(new BaseNode(nullptr, nullptr, nullptr));
    extra->setName(id("Extra"));
    EXPECT_FALSE(collection->addTemplate(nullptr));
    EXPECT_TRUE(collection->addTemplate(extra.get()));
    EXPECT_FALSE(collection->addTemplate(extra.get()));
    EXPECT_EQ(extra->getRefCount(), 2);
    EXPECT_EQ(extra->getParent(), nullptr);
    EXPECT_EQ(collection->getTemplate(id("Extra")), extra.get());
    collection->releaseAll();
    EXPECT_EQ(collection->getTemplateCount(), 0u);
    EXPECT_EQ(extra->getRefCount(), 1);
    EXPECT_EQ(collection->getChildCount(), 3u);
}

TEST(TemplateCollection, ACloneIsACollectionWithItsOwnTemplates) {
    auto collection = loadCollection();
    ASSERT_TRUE(collection);
    CountedRef<BaseNode> copy(collection->clone(nullptr, nullptr));
    auto* clone = nodeCast<TemplateCollectionNode>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->getTemplateCount(), 2u);
    EXPECT_NE(clone->getTemplate(id("B")), collection->getTemplate(id("B")));
    EXPECT_EQ(clone->getTemplate(id("A"))->getPosition(), vector3df(1, 1, 0));
}
