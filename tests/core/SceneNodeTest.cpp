#include "SceneManagerTestSupport.h"

#include "engine/core/NodeFactory.h"
#include "engine/core/TemplateCollectionNode.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace engine;
using namespace scene_tests;

namespace {

using Strings = std::vector<std::string>;

const char* kSceneFile = R"(<?xml version="1.0"?>
<SceneNode Type="SceneNode">
  <Properties><string Name="Name" Value="Opened" /></Properties>
  <SceneNode Type="BaseNode" />
</SceneNode>)";

const char* kPlainFile = R"(<?xml version="1.0"?>
<SceneNode Type="BaseNode">
  <Properties><string Name="Name" Value="NotAScene" /></Properties>
</SceneNode>)";

}  // namespace

TEST(SceneNode, IsAControlOfTypeSixMadeByTheFactory) {
    CountedRef<BaseNode> node(getNodeFactory().createNode(L"SceneNode", nullptr));
    ASSERT_TRUE(node);
    EXPECT_EQ(node->getTypeId(), 6);
    EXPECT_TRUE(node->isOfType(6));
    EXPECT_TRUE(node->isOfType(5));
    EXPECT_TRUE(node->isOfType(0));
    EXPECT_FALSE(node->isOfType(7));
    EXPECT_EQ(stringw(node->getClassName()), stringw(L"SceneNode"));
    EXPECT_EQ(stringw(node->getTypeName()), stringw(L"SceneNode"));
    EXPECT_EQ(node->getParent(), nullptr);
    EXPECT_EQ(node->getManager(), nullptr);

    // The control's values, nothing more.
    const PropertyTable& table = node->getPropertyTable();
    const PropertyTable& control = ControlNode::classPropertyTable();
    ASSERT_EQ(table.size(), control.size());
    for (uint32_t i = 0; i < table.size(); ++i) EXPECT_EQ(table[i].name, control[i].name);
}

TEST(SceneNode, WithoutAManagerEveryStackOperationDeclines) {
    node_tests::registerTestKinds();
    CountedRef<RecordingScene> scene = makeScene("Lonely", 0);
    CountedRef<RecordingScene> other = makeScene("Other", 0);
    node_tests::FileSceneManager contentManager;
    const CreationContext context(&contentManager, "lonely");
    CountedRef<RecordingScene> loader = makeScene("Loader", 0, &context);

    EXPECT_FALSE(scene->pushScene(other.get(), false));
    EXPECT_EQ(loader->openScene("scenes/Any.oscn", false), nullptr);
    EXPECT_TRUE(contentManager.loads.empty());
    EXPECT_FALSE(scene->closeScene(0));
    EXPECT_FALSE(scene->closeToSceneType(6));
    EXPECT_EQ(scene->showMessageBox(id("Box"), array<stringw>(), L"", L""), nullptr);
    EXPECT_EQ(other->getParent(), nullptr);
}

TEST(SceneNode, TheSceneBelowIsHeldAndLetGo) {
    CountedRef<SceneNode> scene(new SceneNode(nullptr, nullptr, nullptr));
    CountedRef<SceneNode> below(new SceneNode(nullptr, nullptr, nullptr));
    scene->setSceneBelow(below.get());
    EXPECT_EQ(below->getRefCount(), 2);
    scene->setSceneBelow(below.get());
    EXPECT_EQ(below->getRefCount(), 2) << "the same scene again changes nothing";
    scene->setSceneBelow(nullptr);
    EXPECT_EQ(below->getRefCount(), 1);

    scene->setSceneBelow(below.get());
    scene.reset();
    EXPECT_EQ(below->getRefCount(), 1) << "a scene lets go of the one below when it goes";
}

TEST(SceneNode, ACloneHasNeitherTheStackLinkNorTheScheduler) {
    CountedRef<SceneNode> scene(new SceneNode(nullptr, nullptr, nullptr));
    CountedRef<SceneNode> below(new SceneNode(nullptr, nullptr, nullptr));
    CountedRef<TimerScheduler> scheduler(new TimerScheduler());
    scene->setName(id("Original"));
    scene->setSceneBelow(below.get());
    scene->setTimerScheduler(scheduler.get());

    CountedRef<BaseNode> copy(scene->clone(nullptr, nullptr));
    SceneNode* clone = nodeCast<SceneNode>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->getName(), id("Original"));
    EXPECT_EQ(clone->getSceneBelow(), nullptr);
    EXPECT_EQ(clone->getTimerScheduler(), nullptr);
}

TEST(SceneNode, AFinishedStateTheControlLeavesTravelsUpOnceToEachAncestor) {
    CountedRef<node_tests::RecordingNode> top(new node_tests::RecordingNode(nullptr, nullptr, nullptr));
    auto* middle = new node_tests::RecordingNode(nullptr, top.get(), nullptr);
    middle->release();
    auto* scene = new SceneNode(nullptr, middle, nullptr);
    scene->setName(id("Inner"));
    scene->release();

    // A scene without children finishes a subtree state at once.
    scene->enterSubtreeState(id("Wave"), nullptr);
    for (node_tests::RecordingNode* ancestor : {middle, top.get()}) {
        const auto finished = ancestor->of(EventId::NodeStateFinishedEvent);
        ASSERT_EQ(finished.size(), 1u);
        EXPECT_EQ(finished[0].node, scene);
        EXPECT_EQ(finished[0].name, id("Wave"));
    }
}

// ---- With a manager -----------------------------------------------------------------------

namespace {

struct SceneNodeTest : SceneManagerFixture {
    void SetUp() override {
        SceneManagerFixture::SetUp();
        ASSERT_TRUE(manager->setScene(a.get()));
        advance(1000);
        deliver();
    }

    testing_support::TempDir folder;
    node_tests::FileSceneManager contentManager;
    CreationContext context{&contentManager, "a"};
    CountedRef<RecordingScene> a = makeScene("A", 100, &context);
};

}  // namespace

TEST_F(SceneNodeTest, OpenSceneLoadsTheFileAndPushesItsRoot) {
    const std::string path = folder.write("scenes/Opened.oscn", kSceneFile);
    SceneNode* opened = a->openScene(path.c_str(), false);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(nameOf(opened), "Opened");
    EXPECT_EQ(manager->getTopScene(), opened);
    EXPECT_EQ(opened->getSceneBelow(), a.get());
    EXPECT_EQ(opened->getParent(), manager.get());
    EXPECT_EQ(contentManager.loads, (Strings{path}));
    deliver();
    EXPECT_EQ(opened->getRefCount(), 1) << "the load's reference was dropped; the manager holds the scene";
}

TEST_F(SceneNodeTest, OpenSceneReturnsNullForNoPathNoFileOrARootThatIsNoScene) {
    testing_support::LogCapture log;
    EXPECT_EQ(a->openScene("", false), nullptr);
    EXPECT_TRUE(contentManager.loads.empty()) << "an empty path does not reach the content manager";

    EXPECT_EQ(a->openScene(folder.file("missing.oscn").c_str(), false), nullptr);
    const std::string plain = folder.write("Plain.oscn", kPlainFile);
    EXPECT_EQ(a->openScene(plain.c_str(), false), nullptr);
    EXPECT_EQ(contentManager.loads.size(), 2u);
    EXPECT_EQ(manager->getTopScene(), a.get());
    EXPECT_EQ(manager->getChildCount(), 1u);
}

TEST_F(SceneNodeTest, CloseSceneWithOneMoreLevelAlsoClosesTheSceneBelow) {
    CountedRef<RecordingScene> b = makeScene("B");
    CountedRef<RecordingScene> c = makeScene("C");
    ASSERT_TRUE(a->pushScene(b.get(), false));
    advance(1000);
    ASSERT_TRUE(b->pushScene(c.get(), false));
    advance(1000);
    deliver();

    EXPECT_FALSE(c->closeScene(2)) << "only two scenes below";
    ASSERT_TRUE(c->closeScene(1));
    EXPECT_EQ(manager->getTopScene(), a.get());
    advance(1000);
    deliver();
    EXPECT_EQ(manager->getChildCount(), 1u);
    EXPECT_EQ(manager->getChild(0), a.get());
}

TEST_F(SceneNodeTest, StopChildrenStateEndsTheTemplateAndThenTheScenesOwnNodes) {
    CountedRef<TemplateCollectionNode> templates(new TemplateCollectionNode(nullptr, nullptr, nullptr));
    CountedRef<BaseNode> frame(new BaseNode(nullptr, nullptr, nullptr));
    frame->setName(id("Frame"));
    auto* skin = new BaseNode(nullptr, frame.get(), nullptr);
    skin->release();
    loadStates(skin, transitionStates("Skin", 100));
    templates->addTemplate(frame.get());
    manager->setTemplateCollection(templates.get());
    a->setTemplateName(id("Frame"));
    ASSERT_NE(a->getTemplateRoot(), nullptr);

    a->enterSubtreeState(id("Slide"), nullptr);
    ASSERT_TRUE(journalHas("start Skin.Slide"));
    ASSERT_TRUE(journalHas("start A.Slide"));
    a->seen.clear();

    a->stopChildrenState(id("Slide"));
    const int skinStop = journalIndex("jump Skin.Slide");
    const int ownStop = journalIndex("jump A.Slide");
    ASSERT_GE(skinStop, 0);
    ASSERT_GE(ownStop, 0);
    EXPECT_LT(skinStop, ownStop);
    // The template root's wait ends, and with it the scene's own.
    EXPECT_EQ(a->of("74"), (Strings{"74 Slide", "74 Slide"}));
    EXPECT_EQ(a->getWaitCount(id("Slide")), 0);
}
