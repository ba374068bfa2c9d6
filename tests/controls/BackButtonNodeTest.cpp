#include "ControlsTestSupport.h"

#include "engine/controls/BackButtonNode.h"
#include "engine/core/SceneManager.h"
#include "engine/core/SceneNode.h"

using namespace engine;
using namespace controls_tests;

namespace {

// A scene that writes down the presses that reach it.
class PressScene : public SceneNode {
    ENGINE_DECLARE_EVENT_MAP(PressScene)
    ENGINE_NODE_TYPE(PressScene, SceneNode, 1972)

public:
    PressScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : SceneNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    std::vector<BaseNode*> pressed;
};

const EventMap<PressScene>& PressScene::getEventMap() {
    static const EventMap<PressScene> map(SceneNode::getEventMap(),
                                          {
                                              {EventId::NodePressedEvent,
                                               [](PressScene& n, Event* e) {
                                                   n.pressed.push_back(static_cast<NodeEvent*>(e)->getNode());
                                                   return true;
                                               }},
                                          });
    return map;
}

struct BackButtonTest : testing::Test {
    void SetUp() override {
        a->setName(id("A"));
        b->setName(id("B"));
        ASSERT_TRUE(manager->setScene(a.get()));
        ASSERT_TRUE(a->pushScene(b.get(), false));
        ASSERT_EQ(manager->getTopScene(), b.get());
    }
    // A back button in the scene, attached as the scene's nodes are.
    BackButtonNode* addBack(SceneNode* scene, BaseNode* parent = nullptr) {
        auto* back = new BackButtonNode(nullptr, parent ? parent : scene, manager.get());
        back->release();  // the parent holds it
        back->attach(manager.get(), scene);
        return back;
    }
    bool pressed(BaseNode* target, BaseNode* node) {
        CountedRef<NodePressedEvent> event(new NodePressedEvent(node));
        return target->deliver(DeliveryMode::HandleThenParent, event.get());
    }

    CountedRef<SceneManager> manager{new SceneManager(nullptr, nullptr, nullptr)};
    CountedRef<PressScene> a{new PressScene(nullptr, nullptr, nullptr)};
    CountedRef<PressScene> b{new PressScene(nullptr, nullptr, nullptr)};
};

}  // namespace

TEST_F(BackButtonTest, APressClosesTheTopSceneAndGoesOnToTheScene) {
    BackButtonNode* back = addBack(b.get());
    EXPECT_TRUE(pressed(back, back));  // handled by the scene, after the button
    EXPECT_EQ(manager->getTopScene(), a.get());
    ASSERT_EQ(b->pressed.size(), 1u);
    EXPECT_EQ(b->pressed[0], back);
}

TEST_F(BackButtonTest, TheTopSceneClosesWhicheverSceneHoldsTheButton) {
    // A button in the scene under the top still closes the top.
    BackButtonNode* back = addBack(a.get());
    EXPECT_FALSE(back->handleEvent(CountedRef<NodePressedEvent>(new NodePressedEvent(back)).get()));
    EXPECT_EQ(manager->getTopScene(), a.get());
}

TEST_F(BackButtonTest, APressBubblingFromBelowClosesToo) {
    BackButtonNode* back = addBack(b.get());
    auto* inner = new ButtonNode(nullptr, back, manager.get());
    inner->release();
    inner->attach(manager.get(), b.get());
    EXPECT_TRUE(pressed(inner, inner));
    EXPECT_EQ(manager->getTopScene(), a.get());
    ASSERT_EQ(b->pressed.size(), 1u);
    EXPECT_EQ(b->pressed[0], inner);
}

TEST_F(BackButtonTest, WithoutAManagerOrATopSceneNothingCloses) {
    CountedRef<BackButtonNode> loose(new BackButtonNode(nullptr, nullptr, nullptr));
    EXPECT_FALSE(loose->handleEvent(CountedRef<NodePressedEvent>(new NodePressedEvent(loose.get())).get()));
    EXPECT_EQ(manager->getTopScene(), b.get());

    CountedRef<SceneManager> empty(new SceneManager(nullptr, nullptr, nullptr));
    CountedRef<BackButtonNode> orphan(new BackButtonNode(nullptr, nullptr, empty.get()));
    EXPECT_FALSE(orphan->handleEvent(CountedRef<NodePressedEvent>(new NodePressedEvent(orphan.get())).get()));
    EXPECT_EQ(empty->getTopScene(), nullptr);
    // A plain button does nothing with a press.
    CountedRef<ButtonNode> plain(new ButtonNode(nullptr, nullptr, manager.get()));
    EXPECT_FALSE(plain->handleEvent(CountedRef<NodePressedEvent>(new NodePressedEvent(plain.get())).get()));
    EXPECT_EQ(manager->getTopScene(), b.get());
}
