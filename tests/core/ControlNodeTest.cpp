#include "NodeTestSupport.h"

#include "engine/core/ControlNode.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertySet.h"
#include "engine/core/State.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TimerScheduler.h"
#include "support/FakeSceneManager.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace engine;
using namespace node_tests;

namespace {

NameId id(const char* name) { return makeNameId(name); }

using testing_support::FakeSceneManager;
using testing_support::nameOf;

// A scene root: a control whose scheduler plays the states of its nodes.
class ControlScene : public ControlNode {
    ENGINE_NODE_TYPE(ControlScene, ControlNode, 1960)

public:
    ControlScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : ControlNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    TimerScheduler* getTimerScheduler() const override { return scheduler; }

    TimerScheduler* scheduler = nullptr;
};

// A drawing stand-in: hit inside its bounds, one draw item of its own, and a
// journal of the states it entered ("Normal(Focus)": "Normal" entered when
// "Focus" was asked for).
class ProbeNode : public BaseNode {
    ENGINE_NODE_TYPE(ProbeNode, BaseNode, 1961)

public:
    ProbeNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : BaseNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    bool hitTest(const vector2df& point) override { return containsPoint(point); }
    void collectRenderItems(RenderList& list) override {
        if (!isVisible()) return;
        RenderItem item;
        item.node = this;
        list.push_back(item);
        BaseNode::collectRenderItems(list);
    }
    bool handleEvent(Event* event) override {
        testing_support::journalStateStarted(event, entered);
        return BaseNode::handleEvent(event);
    }

    std::vector<std::string> entered;
};

// Sees every event offered to the receiver it listens to, before its map.
class Listener : public EventReceiver {
public:
    bool handleEvent(Event* event) override {
        seen.push_back(event->getTypeId());
        return false;
    }
    size_t inputSeen() const {
        size_t count = 0;
        for (int32_t typeId : seen) count += typeId >= EventId::MouseMoveEvent && typeId <= EventId::KeyUpEvent;
        return count;
    }
    std::vector<int32_t> seen;
};

void registerKinds() {
    registerTestKinds();
    static const bool done = [] {
        getNodeFactory().registerNodeKind(L"ControlScene", &createNodeOf<ControlScene>);
        getNodeFactory().registerNodeKind(L"ProbeNode", &createNodeOf<ProbeNode>);
        return true;
    }();
    (void)done;
}

const char* kTemplates = R"(<?xml version="1.0"?>
<SceneNode Type="TemplateCollectionNode">
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="Button" /></Properties>
    <SceneNode Type="ProbeNode">
      <Properties><string Name="Name" Value="Face" /><vector3d Name="Bounds" Value="40;20;0" /></Properties>
      <States>
        <State Name="Normal" />
        <State Name="NormalHover" />
        <State Name="Pressed" />
        <State Name="NormalDisable" />
        <State Name="Press">
          <Animator Type="KeyFrame" Name="flash">
            <Properties><color Name="TintColor" Value="ffffffff" /></Properties>
            <KeyFrame t="0" Value0="ffffffff" />
            <KeyFrame t="50" i="0" Value0="ff808080" />
            <KeyFrame t="50" i="0" Value0="ffffffff" />
          </Animator>
        </State>
      </States>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="Plain" /></Properties>
    <SceneNode Type="ProbeNode">
      <Properties><string Name="Name" Value="Back" /><vector3d Name="Bounds" Value="10;10;0" /></Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="Pair" /></Properties>
    <SceneNode Type="ControlNode">
      <Properties><string Name="Name" Value="Inner" /><string Name="TemplateName" Value="Button" /></Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode">
    <Properties><string Name="Name" Value="Loop" /></Properties>
    <SceneNode Type="ControlNode">
      <Properties><string Name="Name" Value="Again" /><string Name="TemplateName" Value="Loop" /></Properties>
    </SceneNode>
  </SceneNode>
</SceneNode>)";

// Scene -> panels Top and Bottom -> buttons A, B (in Top) and C, D (in
// Bottom). The buttons' faces are 40 x 20: A at (10, 10), B at (100, 10),
// C at (10, 110), D at (100, 110).
const char* kScene = R"(<?xml version="1.0"?>
<SceneNode Type="ControlScene">
  <Properties><string Name="Name" Value="Scene" /></Properties>
  <SceneNode Type="ControlNode">
    <Properties><string Name="Name" Value="Top" /><string Name="NavDownObjectName" Value="Bottom" /></Properties>
    <SceneNode Type="ControlNode">
      <Properties>
        <string Name="Name" Value="A" /><vector3d Name="Position" Value="10;10;0" />
        <string Name="NavRightObjectName" Value="B" /><string Name="TemplateName" Value="Button" />
      </Properties>
    </SceneNode>
    <SceneNode Type="ControlNode">
      <Properties>
        <string Name="Name" Value="B" /><vector3d Name="Position" Value="100;10;0" />
        <string Name="NavLeftObjectName" Value="A" /><string Name="TemplateName" Value="Button" />
      </Properties>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="ControlNode">
    <Properties>
      <string Name="Name" Value="Bottom" /><vector3d Name="Position" Value="0;100;0" />
      <string Name="NavUpObjectName" Value="Top" />
    </Properties>
    <SceneNode Type="ControlNode">
      <Properties>
        <string Name="Name" Value="C" /><vector3d Name="Position" Value="10;10;0" />
        <string Name="NavRightObjectName" Value="D" /><string Name="TemplateName" Value="Button" />
      </Properties>
    </SceneNode>
    <SceneNode Type="ControlNode">
      <Properties>
        <string Name="Name" Value="D" /><vector3d Name="Position" Value="100;10;0" />
        <string Name="NavLeftObjectName" Value="C" /><string Name="TemplateName" Value="Button" />
      </Properties>
    </SceneNode>
  </SceneNode>
</SceneNode>)";

using Strings = std::vector<std::string>;

struct ControlTreeTest : testing::Test {
    void SetUp() override {
        registerKinds();
        manager->collection.reset(nodeCast<TemplateCollectionNode>(readSceneText(kTemplates)));
        ASSERT_TRUE(manager->collection);
        scene.reset(nodeCast<ControlScene>(readSceneText(kScene)));
        ASSERT_TRUE(scene);
        scene->scheduler = scheduler.get();
        manager->open(scene.get());
    }

    ControlNode* ctl(const char* name) {
        if (std::string(name) == "Scene") return scene.get();
        return nodeCast<ControlNode>(scene->findChild(id(name)));
    }
    ProbeNode* face(const char* name) {
        ControlNode* control = ctl(name);
        if (!control || !control->getTemplateRoot()) return nullptr;
        return nodeCast<ProbeNode>(control->getTemplateRoot()->findChild(id("Face"), 1));
    }
    // The states the control's face entered since the last call.
    Strings states(const char* name) {
        ProbeNode* probe = face(name);
        if (!probe) return {"no face"};
        Strings out = probe->entered;
        probe->entered.clear();
        return out;
    }
    void focusScene() {
        scene->setFocused(true);
        manager->deliver();
        for (const char* name : {"A", "B", "C", "D"}) states(name);
    }

    template <class E, class... Args>
    bool send(Args... args) {
        CountedRef<E> event(new E(args...));
        return manager->input(event.get());
    }
    bool move(int x, int y) { return send<MouseMoveEvent>(x, y); }
    bool down(int x, int y) { return send<LeftButtonDownEvent>(x, y); }
    bool up(int x, int y) { return send<LeftButtonUpEvent>(x, y); }
    bool key(int code) {
        const bool handled = send<KeyDownEvent>(0, code, false, false);
        EXPECT_FALSE(send<KeyUpEvent>(0, code, false, false));
        return handled;
    }
    Strings deliver() { return manager->deliver(); }

    CountedRef<TimerScheduler> scheduler{new TimerScheduler()};
    CountedRef<FakeSceneManager> manager{new FakeSceneManager()};
    CountedRef<ControlScene> scene;
};

}  // namespace

// ---- Focus -----------------------------------------------------------------------

TEST_F(ControlTreeTest, FocusingTheSceneFocusesTheLastControlsDownTheTree) {
    EXPECT_FALSE(scene->takesCategory(EventCategory::Keyboard));
    scene->setFocused(true);
    EXPECT_EQ(deliver(), (Strings{"52 Scene", "52 Bottom", "52 D"}));
    EXPECT_EQ(states("D"), Strings{"Normal(Focus)"});
    EXPECT_EQ(states("C"), Strings{});
    for (const char* name : {"Scene", "Bottom", "D"}) {
        EXPECT_TRUE(ctl(name)->isFocused()) << name;
        EXPECT_TRUE(ctl(name)->takesCategory(EventCategory::Keyboard)) << name;
    }
    for (const char* name : {"Top", "A", "B", "C"}) {
        EXPECT_FALSE(ctl(name)->isFocused()) << name;
        EXPECT_FALSE(ctl(name)->takesCategory(EventCategory::Keyboard)) << name;
    }
    EXPECT_EQ(scene->getFocusedChild(), ctl("Bottom"));
    EXPECT_EQ(ctl("Bottom")->getFocusedChild(), ctl("D"));
    EXPECT_EQ(ctl("D")->getFocusedChild(), nullptr);

    scene->setFocused(false);
    EXPECT_EQ(deliver(), Strings{"54 Scene"});
    EXPECT_FALSE(scene->takesCategory(EventCategory::Keyboard));
    // The children keep their flags.
    EXPECT_TRUE(ctl("Bottom")->isFocused());
    EXPECT_EQ(scene->getFocusedChild(), ctl("Bottom"));
}

TEST_F(ControlTreeTest, ArrowKeysMoveTheFocusBetweenNamedSiblings) {
    focusScene();
    // D's left neighbour is C: the panel moves the focus among its children.
    EXPECT_TRUE(key(37));
    EXPECT_EQ(deliver(), (Strings{"54 D", "52 C"}));
    EXPECT_EQ(states("C"), Strings{"Normal(Focus)"});
    EXPECT_EQ(states("D"), Strings{"Normal(KillFocus)"});

    // C has no name upwards: the scene moves the focus using Bottom's names,
    // and Top, which never had a focused child, focuses its last control.
    EXPECT_TRUE(key(38));
    EXPECT_EQ(deliver(), (Strings{"54 Bottom", "52 Top", "52 B"}));
    EXPECT_EQ(states("B"), Strings{"Normal(Focus)"});
    EXPECT_TRUE(ctl("C")->isFocused());  // grandchildren keep their flags
    EXPECT_FALSE(ctl("Bottom")->isFocused());

    EXPECT_FALSE(key(39));  // neither B nor Top has a name to the right
    EXPECT_FALSE(key(13));  // not an arrow key
    EXPECT_EQ(deliver(), Strings{});

    EXPECT_TRUE(key(37));
    EXPECT_EQ(deliver(), (Strings{"54 B", "52 A"}));
    // Back down: Bottom's focused child is still its child, so it keeps it.
    EXPECT_TRUE(key(40));
    EXPECT_EQ(deliver(), (Strings{"54 Top", "52 Bottom"}));
    EXPECT_EQ(ctl("Bottom")->getFocusedChild(), ctl("C"));
    EXPECT_TRUE(key(39));
    EXPECT_EQ(deliver(), (Strings{"54 C", "52 D"}));
}

TEST_F(ControlTreeTest, AFocusedChildThatLeftIsReplacedWhenTheFocusComesBack) {
    focusScene();
    ControlNode* bottom = ctl("Bottom");
    EXPECT_EQ(bottom->getFocusedChild(), ctl("D"));
    EXPECT_TRUE(bottom->removeChild(ctl("D")));  // D is gone
    // The panel still has the focus and the keys: it must not use the child
    // that left.
    EXPECT_FALSE(key(37));
    EXPECT_TRUE(key(38));
    EXPECT_EQ(deliver(), (Strings{"54 Bottom", "52 Top", "52 B"}));
    EXPECT_TRUE(key(40));
    EXPECT_EQ(deliver(), (Strings{"54 Top", "52 Bottom", "52 C"}));
    EXPECT_EQ(bottom->getFocusedChild(), ctl("C"));
}

TEST_F(ControlTreeTest, AControlThatDoesNotWantTheFocusNeverTakesIt) {
    ControlNode* a = ctl("A");
    a->setWantFocus(false);
    a->setFocused(true);
    EXPECT_FALSE(a->isFocused());
    EXPECT_EQ(deliver(), Strings{});
    CountedRef<NodeFocusEvent> request(new NodeFocusEvent(nullptr, a));
    EXPECT_TRUE(a->handleEvent(request.get()));
    EXPECT_FALSE(a->isFocused());
    EXPECT_EQ(deliver(), Strings{});
    // A click focuses nothing either, but still presses.
    move(20, 20);
    deliver();
    EXPECT_TRUE(down(20, 20));
    EXPECT_EQ(deliver(), Strings{"44 A"});
    EXPECT_FALSE(a->isFocused());
}

TEST(ControlFocusDefault, TheDefaultChildElseTheLastControlTakesTheFocus) {
    registerKinds();
    const struct {
        const char* what;
        const char* children;  // c: control, n: plain node, x: control that wants no focus
        const char* defaultName;
        const char* expected;  // the child that ends focused, or "" for none
    } cases[] = {
        {"last control", "cc", nullptr, "1"},
        {"plain nodes are passed over", "cn", nullptr, "0"},
        {"the last control declines for all", "cx", nullptr, ""},
        {"the named default", "cc", "0", "0"},
        {"a default that is no control", "cnc", "1", "2"},
        {"a default that does not exist", "cc", "9", "1"},
        {"no children", "", nullptr, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CountedRef<FakeSceneManager> manager(new FakeSceneManager());
        CountedRef<ControlNode> parent(new ControlNode(nullptr, nullptr, manager.get()));
        parent->setName(id("P"));
        std::vector<BaseNode*> children;
        for (const char* k = c.children; *k; ++k) {
            BaseNode* child = *k == 'n' ? new BaseNode(nullptr, parent.get(), nullptr)
                                        : new ControlNode(nullptr, parent.get(), nullptr);
            child->setName(id(std::to_string(children.size()).c_str()));
            if (*k == 'x') static_cast<ControlNode*>(child)->setWantFocus(false);
            child->release();
            children.push_back(child);
        }
        if (c.defaultName) parent->setDefaultFocusObjectName(id(c.defaultName));
        parent->setFocused(true);
        std::string focused;
        for (BaseNode* child : children) {
            if (auto* control = nodeCast<ControlNode>(child); control && control->isFocused()) focused += nameOf(child);
        }
        EXPECT_EQ(focused, c.expected);
        EXPECT_EQ(nameOf(parent->getFocusedChild()), *c.expected ? c.expected : "?");
        Strings expectedEvents{"52 P"};
        if (*c.expected) expectedEvents.push_back(std::string("52 ") + c.expected);
        EXPECT_EQ(manager->deliver(), expectedEvents);
    }
}

// ---- Hover and press -----------------------------------------------------------------

TEST_F(ControlTreeTest, AClickPressesTheControlOnceItsPressStateHasPlayed) {
    focusScene();
    ControlNode* a = ctl("A");
    EXPECT_TRUE(move(20, 20));
    EXPECT_EQ(deliver(), (Strings{"48 Scene", "48 Top", "48 A"}));
    EXPECT_TRUE(a->isHovered() && ctl("Top")->isHovered() && scene->isHovered());
    EXPECT_EQ(states("A"), Strings{"NormalHover"});

    EXPECT_TRUE(down(20, 20));
    EXPECT_EQ(deliver(), (Strings{"44 A", "54 Bottom", "52 Top", "52 A"}));
    EXPECT_EQ(states("A"), Strings{"Pressed"});
    EXPECT_TRUE(a->isPressed());
    EXPECT_TRUE(a->isFocused());
    EXPECT_TRUE(ctl("D")->isFocused());  // a grandchild keeps its flag

    EXPECT_FALSE(up(20, 20));  // a release always goes on
    EXPECT_EQ(deliver(), Strings{"56 A"});
    EXPECT_EQ(states("A"), Strings{"Press"});
    EXPECT_TRUE(a->isPressPending());
    EXPECT_FALSE(a->isPressed());

    // A second click while "Press" plays neither presses nor starts a press.
    scheduler->update(40);
    EXPECT_TRUE(down(20, 20));
    EXPECT_FALSE(up(20, 20));
    EXPECT_FALSE(a->press());
    EXPECT_EQ(deliver(), Strings{});
    EXPECT_EQ(states("A"), Strings{});
    EXPECT_EQ(face("A")->getTintColor().color, 0xFF999999u);  // the press animation runs: 80% of the way

    scheduler->update(40);
    EXPECT_EQ(deliver(), Strings{});
    scheduler->update(20);
    EXPECT_EQ(deliver(), Strings{"58 A"});
    EXPECT_EQ(states("A"), Strings{"NormalHover(FocusHover)"});
    EXPECT_FALSE(a->isPressPending());
    EXPECT_EQ(face("A")->getTintColor().color, 0xFFFFFFFFu);
}

TEST_F(ControlTreeTest, LeavingWhilePressedAndComingBackStillPresses) {
    move(20, 20);
    down(20, 20);
    deliver();
    states("A");
    EXPECT_FALSE(move(300, 300));
    EXPECT_EQ(deliver(), (Strings{"50 A", "50 Top", "50 Scene"}));
    EXPECT_EQ(states("A"), Strings{"Normal(KillPressed)"});
    EXPECT_TRUE(move(20, 20));
    EXPECT_EQ(deliver(), (Strings{"48 Scene", "48 Top", "48 A"}));
    EXPECT_EQ(states("A"), Strings{"Pressed"});
    up(20, 20);
    EXPECT_EQ(deliver(), Strings{"56 A"});
    scheduler->update(100);
    EXPECT_EQ(deliver(), Strings{"58 A"});
}

TEST_F(ControlTreeTest, ReleasingElsewhereOnlyClearsPressed) {
    move(20, 20);
    down(20, 20);
    move(300, 300);
    deliver();
    states("A");
    EXPECT_FALSE(up(300, 300));
    EXPECT_EQ(deliver(), Strings{"46 A"});
    EXPECT_FALSE(ctl("A")->isPressed());
    EXPECT_EQ(states("A"), Strings{});  // the look stays until the next change
    scheduler->update(500);
    EXPECT_EQ(deliver(), Strings{});
}

TEST_F(ControlTreeTest, HoveringASiblingUnhoversTheOther) {
    move(20, 20);
    deliver();
    EXPECT_TRUE(move(110, 20));
    EXPECT_EQ(deliver(), (Strings{"50 A", "48 B"}));
    EXPECT_FALSE(ctl("A")->isHovered());
    EXPECT_TRUE(ctl("B")->isHovered());
    EXPECT_EQ(states("A"), (Strings{"NormalHover", "Normal(NormalKillHover)"}));
    // Into the other panel: Top's subtree loses the hover through Scene.
    EXPECT_TRUE(move(20, 120));
    EXPECT_EQ(deliver(), (Strings{"50 Top", "48 Bottom", "48 C"}));
    EXPECT_FALSE(ctl("Top")->isHovered());
    EXPECT_TRUE(ctl("B")->isHovered());  // only direct children are told
}

TEST_F(ControlTreeTest, FocusOnHoverFocusesWithTheHover) {
    focusScene();
    ctl("B")->setFocusOnHover(true);
    move(110, 20);
    EXPECT_EQ(deliver(), (Strings{"48 Scene", "48 Top", "48 B", "54 Bottom", "52 Top", "52 B"}));
    EXPECT_TRUE(ctl("B")->isFocused());
    // Once for the focus, once for the hover.
    EXPECT_EQ(states("B"), (Strings{"NormalHover(FocusHover)", "NormalHover(FocusHover)"}));
}

TEST_F(ControlTreeTest, WithoutHoverTrackMovesLeaveTheHoverAlone) {
    ControlNode* a = ctl("A");
    a->setHoverTrack(false);
    move(20, 20);
    EXPECT_EQ(deliver(), (Strings{"48 Scene", "48 Top"}));  // the panel under the cursor tracks it
    EXPECT_FALSE(a->isHovered());
    a->setHovered(true);
    EXPECT_EQ(deliver(), Strings{"48 A"});
    move(300, 300);
    EXPECT_TRUE(a->isHovered());
}

TEST_F(ControlTreeTest, DisabledControlsShowDisabledStatesAndIgnoreTheButtons) {
    focusScene();
    ControlNode* c = ctl("C");
    c->setEnabled(false);
    EXPECT_EQ(states("C"), Strings{"NormalDisable"});
    ctl("D")->setEnabled(false);
    EXPECT_EQ(states("D"), Strings{"NormalDisable(FocusDisable)"});
    c->setEnabled(false);  // refreshed every time
    EXPECT_EQ(states("C"), Strings{"NormalDisable"});

    // The hover still follows the cursor, without a visual change.
    EXPECT_TRUE(move(20, 120));
    EXPECT_EQ(deliver(), (Strings{"48 Scene", "48 Bottom", "48 C"}));
    EXPECT_TRUE(c->isHovered());
    EXPECT_EQ(states("C"), Strings{});
    down(20, 120);
    up(20, 120);
    EXPECT_FALSE(c->isPressed());
    EXPECT_FALSE(c->isPressPending());
    EXPECT_FALSE(c->isFocused());
    for (const std::string& e : deliver()) EXPECT_EQ(e.find(" C"), std::string::npos) << e;
    EXPECT_EQ(states("C"), Strings{});

    // Navigation still gives a disabled control the focus.
    EXPECT_TRUE(key(37));
    EXPECT_TRUE(c->isFocused());
    EXPECT_EQ(states("C"), Strings{"NormalDisable(FocusDisable)"});
}

TEST_F(ControlTreeTest, ADisabledControlKeepsInputFromItsChildren) {
    focusScene();
    ControlNode* bottom = ctl("Bottom");
    CountedRef<Listener> atC(new Listener());
    CountedRef<Listener> atD(new Listener());
    ctl("C")->addListener(atC.get());
    ctl("D")->addListener(atD.get());
    bottom->setEnabled(false);

    move(20, 120);
    EXPECT_TRUE(bottom->isHovered());  // its own handlers still run
    EXPECT_FALSE(ctl("C")->isHovered());
    down(20, 120);
    EXPECT_FALSE(bottom->isPressed());
    key(37);  // the panel itself still moves the focus
    EXPECT_TRUE(ctl("C")->isFocused());
    EXPECT_EQ(atC->inputSeen(), 0u);
    EXPECT_EQ(atD->inputSeen(), 0u);

    atD->seen.clear();
    CountedRef<NodeEvent34> notice(new NodeEvent34(nullptr));
    EXPECT_FALSE(bottom->routeToChildren(DeliveryMode::HandleOnly, notice.get()));
    EXPECT_EQ(atD->seen, std::vector<int32_t>{EventId::NodeEvent34});  // node events still pass
    ctl("C")->removeListener(atC.get());
    ctl("D")->removeListener(atD.get());
}

TEST(ControlPress, WithoutAnythingToPlayThePressEndsInTheSamePass) {
    registerKinds();
    CountedRef<FakeSceneManager> manager(new FakeSceneManager());
    CountedRef<ControlNode> bare(new ControlNode(nullptr, nullptr, manager.get()));
    bare->setName(id("Bare"));
    EXPECT_TRUE(bare->press());
    EXPECT_FALSE(bare->isPressPending());
    EXPECT_EQ(manager->deliver(), (Strings{"56 Bare", "58 Bare"}));
    EXPECT_TRUE(bare->press());

    // The request events: a press-down names the control to press, a release
    // the one to release (or all) and the one to spare.
    CountedRef<NodePressDownEvent> pressOther(new NodePressDownEvent(nullptr, nullptr));
    EXPECT_TRUE(bare->handleEvent(pressOther.get()));
    EXPECT_FALSE(bare->isPressed());
    CountedRef<NodePressDownEvent> pressMe(new NodePressDownEvent(nullptr, bare.get()));
    EXPECT_TRUE(bare->handleEvent(pressMe.get()));
    EXPECT_TRUE(bare->isPressed());
    CountedRef<NodeReleaseEvent> spareMe(new NodeReleaseEvent(nullptr, bare.get()));
    EXPECT_FALSE(bare->handleEvent(spareMe.get()));
    EXPECT_TRUE(bare->isPressed());
    CountedRef<NodeReleaseEvent> releaseAll(new NodeReleaseEvent(nullptr, nullptr));
    EXPECT_FALSE(bare->handleEvent(releaseAll.get()));
    EXPECT_FALSE(bare->isPressed());
    manager->deliver();
    // Notifications never trigger the request handlers.
    CountedRef<NodePressedDownEvent> notice(new NodePressedDownEvent(nullptr, bare.get()));
    EXPECT_FALSE(bare->handleEvent(notice.get()));
    EXPECT_FALSE(bare->isPressed());
}

// ---- Templates ---------------------------------------------------------------------

TEST_F(ControlTreeTest, TheTemplateLivesInAGhostChild) {
    ControlNode* a = ctl("A");
    ControlNode* root = a->getTemplateRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getName(), id("TemplateRoot"));
    EXPECT_EQ(root->getCreationContext().getName(), stringc("TemplateRoot"));
    EXPECT_TRUE(root->isGhost());
    EXPECT_EQ(root->getParent(), a);
    EXPECT_EQ(a->getChildCount(), 0u);
    EXPECT_EQ(root->getRefCount(), 1);
    EXPECT_EQ(root->getManager(), manager.get());
    EXPECT_EQ(root->getOwnerScene(), scene.get());
    ASSERT_NE(face("A"), nullptr);
    EXPECT_EQ(face("A")->getOwnerScene(), scene.get());
    // Panels without a template get an empty one.
    ASSERT_NE(ctl("Top")->getTemplateRoot(), nullptr);
    EXPECT_EQ(ctl("Top")->getTemplateRoot()->getChildCount(), 0u);

    // Hit only through the template's nodes.
    EXPECT_TRUE(a->hitTest(vector2df(20, 20)));
    EXPECT_FALSE(a->hitTest(vector2df(60, 20)));
    EXPECT_FALSE(ctl("Top")->hitTest(vector2df(20, 20)));
    EXPECT_EQ(ctl("Top")->findNodeAt(vector2df(20, 20)), a);
    a->setVisible(false);
    EXPECT_FALSE(a->hitTest(vector2df(20, 20)));
    a->setVisible(true);

    // Another template replaces the instance; an unknown one leaves it empty.
    a->setTemplateName(stringc("Plain"));
    EXPECT_EQ(a->getTemplateRoot(), root);
    EXPECT_NE(root->findChild(id("Back"), 1), nullptr);
    EXPECT_EQ(root->findChild(id("Face"), 1), nullptr);
    a->setTemplateName(id("NoSuchTemplate"));
    EXPECT_EQ(root->getChildCount(), 0u);
    EXPECT_FALSE(a->hitTest(vector2df(20, 20)));

    // The template root follows its control out of the scene.
    CountedRef<ControlNode> held = CountedRef<ControlNode>::share(a);
    ctl("Top")->removeChild(a);
    EXPECT_EQ(root->getManager(), nullptr);
    EXPECT_EQ(root->getOwnerScene(), nullptr);
    ctl("Bottom")->addChild(a);
    EXPECT_EQ(root->getManager(), manager.get());
    EXPECT_EQ(root->getOwnerScene(), scene.get());
}

TEST(ControlTemplate, NothingIsAppliedWithoutAManagerOrACollection) {
    registerKinds();
    CountedRef<ControlNode> loose(new ControlNode(nullptr, nullptr, nullptr));
    loose->setTemplateName(id("Button"));
    EXPECT_EQ(loose->getTemplateName(), id("Button"));
    EXPECT_EQ(loose->getTemplateRoot(), nullptr);
    CountedRef<FakeSceneManager> manager(new FakeSceneManager());
    CountedRef<ControlNode> managed(new ControlNode(nullptr, nullptr, manager.get()));
    managed->setTemplateName(id("Button"));
    EXPECT_EQ(managed->getTemplateRoot(), nullptr);
    // A collection set later reaches the control with event 34.
    manager->collection.reset(nodeCast<TemplateCollectionNode>(readSceneText(kTemplates)));
    CountedRef<NodeEvent34> notice(new NodeEvent34(manager->collection.get()));
    EXPECT_FALSE(managed->handleEvent(notice.get()));
    ASSERT_NE(managed->getTemplateRoot(), nullptr);
    EXPECT_NE(managed->getTemplateRoot()->findChild(id("Face"), 1), nullptr);
}

TEST(ControlTemplate, ControlsInsideATemplateApplyTheirOwn) {
    registerKinds();
    testing_support::LogCapture log;
    CountedRef<FakeSceneManager> manager(new FakeSceneManager());
    manager->collection.reset(nodeCast<TemplateCollectionNode>(readSceneText(kTemplates)));
    CountedRef<ControlNode> pair(new ControlNode(nullptr, nullptr, manager.get()));
    pair->setTemplateName(id("Pair"));
    auto* inner = nodeCast<ControlNode>(pair->getTemplateRoot()->findChild(id("Inner"), 1));
    ASSERT_NE(inner, nullptr);
    ASSERT_NE(inner->getTemplateRoot(), nullptr);
    EXPECT_NE(inner->getTemplateRoot()->findChild(id("Face"), 1), nullptr);
    EXPECT_FALSE(log.hasErrors());

    // A template that holds a control with the same template stops there.
    CountedRef<ControlNode> loop(new ControlNode(nullptr, nullptr, manager.get()));
    loop->setTemplateName(id("Loop"));
    EXPECT_TRUE(log.contains("Loop"));
    auto* again = nodeCast<ControlNode>(loop->getTemplateRoot()->findChild(id("Again"), 1));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->getTemplateRoot(), nullptr);
}

TEST_F(ControlTreeTest, SubtreeStatesWaitForTheTemplateAndTheChildren) {
    // A gets a child whose state plays longer than the template's: the
    // state ends over A's subtree only when both have ended.
    CountedRef<RecordingNode> holder(new RecordingNode(nullptr, nullptr, nullptr));
    ControlNode* a = ctl("A");
    CountedRef<ControlNode> held = CountedRef<ControlNode>::share(a);
    holder->addChild(a);
    a->attach(manager.get(), scene.get());
    auto* badge = new ProbeNode(nullptr, a, nullptr);
    badge->release();
    CountedRef<TemplateCollectionNode> extra(nodeCast<TemplateCollectionNode>(readSceneText(R"(
      <SceneNode Type="TemplateCollectionNode">
        <SceneNode Type="ProbeNode">
          <Properties><string Name="Name" Value="Badge" /></Properties>
          <States>
            <State Name="Press">
              <Animator Type="KeyFrame"><KeyFrame t="0" /><KeyFrame t="300" /></Animator>
            </State>
          </States>
        </SceneNode>
      </SceneNode>)")));
    for (const auto& entry : extra->getTemplate(id("Badge"))->getStates()) {
        CountedRef<State> copy(entry.second->clone());
        badge->addState(copy.get());
    }

    a->enterSubtreeState(controlStateNames().press, &controlStateTransition);
    EXPECT_EQ(a->getWaitCount(controlStateNames().press), 2);
    scheduler->update(100);  // the face's press has ended
    EXPECT_EQ(a->getWaitCount(controlStateNames().press), 1);
    EXPECT_TRUE(holder->of(EventId::NodeStateFinishedEvent).empty());
    scheduler->update(200);
    ASSERT_EQ(holder->of(EventId::NodeStateFinishedEvent).size(), 1u);
    EXPECT_EQ(holder->of(EventId::NodeStateFinishedEvent)[0].node, a);
    EXPECT_EQ(holder->of(EventId::NodeStateFinishedEvent)[0].name, controlStateNames().press);

    // Without children and with an empty template, the state starts and
    // ends at once, reported to the control itself.
    a->removeChild(badge);
    a->setTemplateName(id("NoSuchTemplate"));
    CountedRef<Listener> listener(new Listener());
    a->addListener(listener.get());
    a->enterSubtreeState(controlStateNames().focus, &controlStateTransition);
    EXPECT_EQ(listener->seen, (std::vector<int32_t>{EventId::NodeStateStartedEvent, EventId::NodeStateFinishedEvent}));
    a->removeListener(listener.get());
}

// ---- Drawing and copies ----------------------------------------------------------------

TEST_F(ControlTreeTest, TheTemplateIsDrawnBeneathTheChildren) {
    ControlNode* a = ctl("A");
    auto* badge = new ProbeNode(nullptr, a, nullptr);
    badge->release();
    RenderList list;
    a->collectRenderItems(list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].node, face("A"));
    EXPECT_EQ(list[1].node, badge);
    list.clear();
    a->setVisible(false);
    a->collectRenderItems(list);
    EXPECT_TRUE(list.empty());

    // Moving the control moves its template.
    a->setVisible(true);
    a->setPosition(vector3df(200, 200, 0));
    scene->collectRenderItems(list);
    EXPECT_TRUE(a->hitTest(vector2df(210, 210)));
    EXPECT_FALSE(a->hitTest(vector2df(20, 20)));
}

TEST_F(ControlTreeTest, ACloneCopiesSettingsAndTheTemplateButNotTheFlags) {
    ControlNode* a = ctl("A");
    a->setEnabled(false);
    a->setWantFocus(false);
    a->setHoverTrack(false);
    a->setFocusOnHover(true);
    a->setDefaultFocusObjectName(id("X"));
    a->setNavUpObjectName(id("U"));
    a->setNavDownObjectName(id("Dn"));
    a->setHovered(true);
    a->setPressed(true);
    auto* child = new ProbeNode(nullptr, a, nullptr);
    child->setName(id("Child"));
    child->release();

    CountedRef<BaseNode> copy(a->clone(nullptr, nullptr));
    auto* clone = nodeCast<ControlNode>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->getName(), id("A"));
    EXPECT_FALSE(clone->isEnabled());
    EXPECT_FALSE(clone->getWantFocus());
    EXPECT_FALSE(clone->getHoverTrack());
    EXPECT_TRUE(clone->isFocusOnHover());
    EXPECT_EQ(clone->getDefaultFocusObjectName(), id("X"));
    EXPECT_EQ(clone->getNavLeftObjectName(), kNoName);
    EXPECT_EQ(clone->getNavRightObjectName(), id("B"));
    EXPECT_EQ(clone->getNavUpObjectName(), id("U"));
    EXPECT_EQ(clone->getNavDownObjectName(), id("Dn"));
    EXPECT_EQ(clone->getTemplateName(), id("Button"));
    EXPECT_FALSE(clone->isHovered());
    EXPECT_FALSE(clone->isPressed());
    EXPECT_EQ(clone->getManager(), manager.get());
    EXPECT_NE(clone->findChild(id("Child"), 1), nullptr);
    ControlNode* root = clone->getTemplateRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_NE(root, a->getTemplateRoot());
    EXPECT_TRUE(root->isGhost());
    EXPECT_EQ(root->getParent(), clone);
    BaseNode* copiedFace = root->findChild(id("Face"), 1);
    ASSERT_NE(copiedFace, nullptr);
    EXPECT_NE(copiedFace, face("A"));
    EXPECT_NE(copiedFace->getState(controlStateNames().press), nullptr);
}

// ---- Properties ---------------------------------------------------------------------

TEST(ControlProperties, TheTableAddsTenEntriesAfterTheBaseNodes) {
    registerKinds();
    const PropertyTable& table = ControlNode::classPropertyTable();
    const PropertyTable& base = BaseNode::classPropertyTable();
    ASSERT_EQ(table.size(), 20u);
    for (uint32_t i = 0; i < base.size(); ++i) EXPECT_EQ(table[i].name, base[i].name);
    const char* own[] = {"DefaultFocusObject", "NavLeftObjectName", "NavRightObjectName", "NavDownObjectName",
                         "NavUpObjectName",    "TemplateName",      "WantFocus",          "IsFocusOnHover",
                         "Enabled",            "HoverTrack"};
    for (uint32_t i = 0; i < 10; ++i) EXPECT_EQ(table[10 + i].name, stringc(own[i]));

    CountedRef<FakeSceneManager> manager(new FakeSceneManager());
    manager->collection.reset(nodeCast<TemplateCollectionNode>(readSceneText(kTemplates)));
    CountedRef<ControlNode> control(new ControlNode(nullptr, nullptr, manager.get()));
    EXPECT_EQ(&control->getPropertyTable(), &table);
    auto* probe = new ProbeNode(nullptr, control.get(), nullptr);
    probe->release();
    CountedRef<State> disabled(new State(controlStateNames().normalDisable));
    probe->addState(disabled.get());

    const auto set = [&](const char* name, CountedRef<IPropertyData> value) {
        table.set(*control, table.indexOf(name), value);
    };
    const auto get = [&](const char* name) { return propertyDataToString(table.get(*control, table.indexOf(name))); };
    set("DefaultFocusObject", CountedRef<IPropertyData>(makeStringProperty("First")));
    EXPECT_EQ(control->getDefaultFocusObjectName(), id("First"));
    EXPECT_EQ(get("DefaultFocusObject"), stringc("First"));
    set("NavLeftObjectName", CountedRef<IPropertyData>(makeStringProperty("L")));
    EXPECT_EQ(control->getNavLeftObjectName(), id("L"));
    set("TemplateName", CountedRef<IPropertyData>(makeStringProperty("Button")));
    ASSERT_NE(control->getTemplateRoot(), nullptr);  // applied at once
    EXPECT_NE(control->getTemplateRoot()->findChild(id("Face"), 1), nullptr);
    EXPECT_EQ(get("TemplateName"), stringc("Button"));
    set("WantFocus", CountedRef<IPropertyData>(makeIntProperty(1)));  // not a bool: false
    EXPECT_FALSE(control->getWantFocus());
    set("Enabled", CountedRef<IPropertyData>(makeBoolProperty(false)));
    EXPECT_FALSE(control->isEnabled());
    EXPECT_EQ(probe->getRunningState(), disabled.get());  // through setEnabled
    EXPECT_EQ(get("Enabled"), stringc("false"));
    set("IsFocusOnHover", CountedRef<IPropertyData>(makeBoolProperty(true)));
    EXPECT_TRUE(control->isFocusOnHover());
    set("HoverTrack", CountedRef<IPropertyData>());
    EXPECT_FALSE(control->getHoverTrack());
}

TEST(ControlProperties, SceneFilesKeepTheControlsValues) {
    registerKinds();
    CountedRef<ControlNode> plain(new ControlNode(nullptr, nullptr, nullptr));
    PropertySet defaults;
    plain->writeProperties(&defaults);
    ASSERT_EQ(defaults.getCount(), 1u);  // a default control still writes this one
    EXPECT_EQ(defaults.getNameAt(0), stringc("IsFocusOnHover"));
    EXPECT_FALSE(defaults.getBool("IsFocusOnHover"));

    CountedRef<BaseNode> read(readSceneText(R"(<?xml version="1.0"?>
<SceneNode Type="ControlNode">
  <Properties>
    <string Name="Name" Value="Panel" />
    <string Name="DefaultFocusObjectName" Value="Ok" />
    <string Name="NavLeftObjectName" Value="L" />
    <string Name="NavRightObjectName" Value="R" />
    <string Name="NavDownObjectName" Value="D" />
    <string Name="NavUpObjectName" Value="U" />
    <string Name="TemplateName" Value="Button" />
    <bool Name="Enabled" Value="false" />
    <bool Name="WantFocus" Value="false" />
    <bool Name="IsFocusOnHover" Value="true" />
    <bool Name="HoverTrack" Value="false" />
  </Properties>
</SceneNode>)"));
    auto* panel = nodeCast<ControlNode>(read.get());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->getDefaultFocusObjectName(), id("Ok"));
    EXPECT_EQ(panel->getNavLeftObjectName(), id("L"));
    EXPECT_EQ(panel->getNavRightObjectName(), id("R"));
    EXPECT_EQ(panel->getNavDownObjectName(), id("D"));
    EXPECT_EQ(panel->getNavUpObjectName(), id("U"));
    EXPECT_EQ(panel->getTemplateName(), id("Button"));
    EXPECT_FALSE(panel->isEnabled());
    EXPECT_FALSE(panel->getWantFocus());
    EXPECT_TRUE(panel->isFocusOnHover());
    EXPECT_FALSE(panel->getHoverTrack());

    const std::string written = narrowUtf16(writeSceneBytes(panel));
    CountedRef<BaseNode> again(readSceneText(written));
    auto* copy = nodeCast<ControlNode>(again.get());
    ASSERT_NE(copy, nullptr);
    PropertySet first;
    PropertySet second;
    panel->writeProperties(&first);
    copy->writeProperties(&second);
    ASSERT_EQ(first.getCount(), second.getCount());
    const char* order[] = {"Name",         "DefaultFocusObjectName", "NavLeftObjectName", "NavRightObjectName",
                           "NavDownObjectName", "NavUpObjectName",   "TemplateName",      "Enabled",
                           "WantFocus",    "IsFocusOnHover",         "HoverTrack"};
    ASSERT_EQ(first.getCount(), 11u);
    for (uint32_t i = 0; i < first.getCount(); ++i) {
        EXPECT_EQ(first.getNameAt(i), stringc(order[i]));
        EXPECT_EQ(second.getNameAt(i), first.getNameAt(i));
        EXPECT_EQ(second.getString(first.getNameAt(i)), first.getString(first.getNameAt(i)));
    }

    // Absent keys leave the values alone; a non-bool "Enabled" disables.
    PropertySet partial;
    partial.setInt("Enabled", 1);
    copy->setWantFocus(true);
    copy->setEnabled(true);
    copy->readProperties(&partial);
    EXPECT_FALSE(copy->isEnabled());
    EXPECT_TRUE(copy->getWantFocus());
    EXPECT_EQ(copy->getNavUpObjectName(), id("U"));
}

TEST(ControlNodeKind, TheFactoryMakesControls) {
    CountedRef<BaseNode> node(getNodeFactory().createNode(L"ControlNode", nullptr));
    auto* control = nodeCast<ControlNode>(node.get());
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->getTypeId(), 5);
    EXPECT_TRUE(control->isOfType(0));
    EXPECT_FALSE(control->isOfType(20));
    EXPECT_EQ(stringw(control->getClassName()), stringw(L"ControlNode"));
    EXPECT_EQ(stringw(control->getTypeName()), stringw(L"ControlNode"));
    EXPECT_EQ(control->getMask(), EventCategory::Driver | EventCategory::System | EventCategory::Mouse |
                                      EventCategory::Node | EventCategory::Game);
    EXPECT_TRUE(control->isEnabled());
    EXPECT_TRUE(control->getWantFocus());
    EXPECT_TRUE(control->getHoverTrack());
    EXPECT_FALSE(control->isFocusOnHover());
    EXPECT_EQ(control->getTemplateName(), kNoName);
    EXPECT_EQ(control->getRefCount(), 1);
}

TEST(ControlStates, NamesAndFallbacks) {
    const ControlStateNames& n = controlStateNames();
    EXPECT_EQ(normalNameId(), id("Normal"));
    EXPECT_EQ(n.normal, normalNameId());
    EXPECT_EQ(n.pressed, pressedNameId());
    const struct {
        const char* state;
        const char* fallback;  // "" for none
    } table[] = {
        {"Focus", "Normal"},         {"KillFocus", "Normal"},     {"NormalDisable", "Normal"},
        {"FocusDisable", "NormalDisable"}, {"Pressed", "Focus"},  {"KillPressed", "Focus"},
        {"Press", "Focus"},          {"NormalKillHover", "Normal"}, {"FocusHover", "NormalHover"},
        {"FocusKillHover", "Focus"}, {"NormalHover", ""},         {"Normal", ""},
        {"Other", ""},
    };
    for (const auto& row : table) {
        EXPECT_EQ(controlStateTransition(id(row.state)), *row.fallback ? id(row.fallback) : kNoName) << row.state;
    }
    EXPECT_EQ(controlStateTransition(kNoName), kNoName);
}
