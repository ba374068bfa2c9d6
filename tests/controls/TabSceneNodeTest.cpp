// The tab scene: gathering pages and buttons, switching with its events and
// states, input held back during a switch, drawing order, values and files.
#include "engine/controls/TabSceneNode.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/PropertySet.h"
#include "engine/core/SceneFile.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace engine;

std::string nameOf(const BaseNode* node) { return node ? nameOfId(node->getName()).c_str() : "-"; }

std::vector<std::string>& journal() {
    static std::vector<std::string> entries;
    return entries;
}

std::string describe(const std::string& where, Event* event) {
    std::string text = where + " " + std::to_string(event->getTypeId());
    if (auto* tab = dynamic_cast<TabSwitchEvent*>(event))
        text += " " + nameOf(tab->getOldPage()) + ">" + nameOf(tab->getNewPage());
    return text;
}

// Stands in for the scene manager: it queues posted events until flushed.
class QueueManager : public BaseNode, public NodeEventQueue {
public:
    QueueManager() : BaseNode(nullptr, nullptr, nullptr) {}
    NodeEventQueue* getEventQueue() override { return this; }
    void queueEvent(EventReceiver* target, int32_t mode, Event* event) override {
        queued.push_back({CountedRef<EventReceiver>::share(target), mode, CountedRef<Event>::share(event)});
    }
    void flush() {
        while (!queued.empty()) {
            Posted next = queued.front();
            queued.erase(queued.begin());
            if (auto* node = dynamic_cast<BaseNode*>(next.target.get()))
                journal().push_back(describe("post>" + nameOf(node), next.event.get()));
            next.target->deliver(next.mode, next.event.get());
        }
    }
    struct Posted {
        CountedRef<EventReceiver> target;
        int32_t mode;
        CountedRef<Event> event;
    };
    std::vector<Posted> queued;
};

// A page or button that writes down what it is handed, which subtree states
// it enters (they end only when the test says so) and the input it sees.
class Page : public BaseNode {
    ENGINE_NODE_TYPE(Page, BaseNode, 1971)

public:
    Page(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : BaseNode(context, parent, manager, false) {
        addToMask(EventCategory::Mouse | EventCategory::Node);
        linkToParent(parent, mostDerived);
    }
    bool handleEvent(Event* event) override {
        journal().push_back(describe(nameOf(this), event));
        if (event->isOfType(EventId::InputEvent)) return takesInput;
        return BaseNode::handleEvent(event);
    }
    void enterSubtreeState(NameId state, StateResolver) override {
        entered.push_back(nameOfId(state).c_str());
    }
    void collectRenderItems(RenderList& list) override {
        if (!isVisible()) return;
        addRenderItem(list, 0);
    }
    std::vector<std::string> entered;
    bool takesInput = true;
};

struct TabFixture : ::testing::Test {
    void SetUp() override { journal().clear(); }

    // A tab scene with the pages and buttons named, in child order.
    TabSceneNode* make(int32_t tabsCount, const std::vector<std::string>& children) {
        scene = CountedRef<TabSceneNode>(new TabSceneNode(nullptr, nullptr, &manager));
        for (const std::string& name : children) {
            Page* page = new Page(nullptr, scene.get(), &manager);
            page->setName(makeNameId(name.c_str()));
            page->release();
        }
        scene->setTabsCount(tabsCount);
        scene->gatherTabs();
        return scene.get();
    }
    Page* page(const char* name) { return static_cast<Page*>(scene->findChild(makeNameId(name), 1)); }
    void finish(const char* name, const char* state) {
        CountedRef<NodeStateFinishedEvent> event(new NodeStateFinishedEvent(page(name), makeNameId(state)));
        scene->handleEvent(event.get());
    }
    std::vector<std::string> takeJournal() {
        std::vector<std::string> out = journal();
        journal().clear();
        return out;
    }

    QueueManager manager;
    CountedRef<TabSceneNode> scene;
};

const std::vector<std::string> kThreeTabs = {"Tab1", "Tab2", "Tab3", "Tab1Button", "Tab2Button", "Tab3Button"};

TEST_F(TabFixture, IdentityAndFactory) {
    CountedRef<BaseNode> made(getNodeFactory().createNode(L"TabSceneNode", nullptr));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->getTypeId(), 8);
    for (int32_t id : {8, 6, 5, 0}) EXPECT_TRUE(made->isOfType(id)) << id;
    EXPECT_FALSE(made->isOfType(13));
    EXPECT_STREQ(made->getClassName(), L"TabSceneNode");
    EXPECT_EQ(nodeCast<TabSceneNode>(made.get())->getActiveTabIndex(), -1);
}

TEST_F(TabFixture, GatheringLeavesNullSlotsForMissingChildren) {
    make(4, {"Tab1", "Tab3", "Tab1Button", "Tab4Button", "Other"});
    EXPECT_EQ(nameOf(scene->getTab(0)), "Tab1");
    EXPECT_EQ(scene->getTab(1), nullptr);
    EXPECT_EQ(nameOf(scene->getTab(2)), "Tab3");
    EXPECT_EQ(scene->getTab(3), nullptr);
    EXPECT_EQ(nameOf(scene->getTabButton(0)), "Tab1Button");
    EXPECT_EQ(scene->getTabButton(2), nullptr);
    EXPECT_EQ(nameOf(scene->getTabButton(3)), "Tab4Button");
    EXPECT_EQ(scene->getTab(4), nullptr);
    EXPECT_EQ(scene->getTab(-1), nullptr);
}

TEST_F(TabFixture, SceneShownShowsActiveTabWithDefaultAndHidesTheOthers) {
    make(3, kThreeTabs);
    scene->setTabsCount(3);
    scene->setHideTabButtonOnSelect(true);
    PropertySet set;
    set.add("ActiveTabIndex", CountedRef<IPropertyData>(makeIntProperty(0)));
    scene->readProperties(&set);  // reading stores without switching
    EXPECT_TRUE(page("Tab2")->entered.empty());

    CountedRef<SceneShownEvent> shown(new SceneShownEvent(&manager));
    EXPECT_FALSE(scene->handleEvent(shown.get()));
    for (const char* name : {"Tab1", "Tab2", "Tab3"}) EXPECT_EQ(page(name)->entered, std::vector<std::string>{"Default"});
    EXPECT_TRUE(page("Tab1")->isVisible());
    EXPECT_FALSE(page("Tab2")->isVisible());
    EXPECT_FALSE(page("Tab3")->isVisible());
    EXPECT_FALSE(page("Tab1Button")->isVisible());
    EXPECT_TRUE(page("Tab2Button")->isVisible());
    EXPECT_TRUE(page("Tab3Button")->isVisible());
    EXPECT_EQ(scene->getPendingTransitions(), 1);

    takeJournal();
    manager.flush();
    EXPECT_EQ(takeJournal(), (std::vector<std::string>{"post>Tab1 42 ->Tab1", "Tab1 42 ->Tab1"}));
    finish("Tab1", "Default");
    EXPECT_EQ(scene->getPendingTransitions(), 0);
    manager.flush();
    EXPECT_EQ(takeJournal(), (std::vector<std::string>{"post>Tab1 41 ->Tab1", "Tab1 41 ->Tab1"}));
}

TEST_F(TabFixture, PressingAButtonSwitchesWithEventsStatesAndButtons) {
    make(3, kThreeTabs);
    scene->setHideTabButtonOnSelect(true);
    scene->switchTab(0, true);
    finish("Tab1", "Default");
    manager.flush();
    takeJournal();

    CountedRef<NodePressedEvent> press(new NodePressedEvent(page("Tab3Button")));
    EXPECT_FALSE(scene->handleEvent(press.get()));  // the press still reaches the scene
    EXPECT_EQ(scene->getActiveTabIndex(), 2);
    EXPECT_EQ(takeJournal(), (std::vector<std::string>{"Tab1 40 Tab1>Tab3", "Tab3 40 Tab1>Tab3"}));
    manager.flush();
    EXPECT_EQ(takeJournal(), (std::vector<std::string>{"post>Tab1 42 Tab1>Tab3", "Tab1 42 Tab1>Tab3",
                                                        "post>Tab3 42 Tab1>Tab3", "Tab3 42 Tab1>Tab3"}));
    EXPECT_EQ(page("Tab1")->entered.back(), "1To3");
    EXPECT_EQ(page("Tab3")->entered.back(), "1To3");
    EXPECT_TRUE(page("Tab3")->isVisible());
    EXPECT_TRUE(page("Tab1")->isVisible());
    EXPECT_TRUE(page("Tab1Button")->isVisible());
    EXPECT_FALSE(page("Tab3Button")->isVisible());
    EXPECT_EQ(scene->getPendingTransitions(), 2);

    finish("Tab1", "1To3");
    EXPECT_FALSE(page("Tab1")->isVisible());
    manager.flush();
    EXPECT_TRUE(takeJournal().empty());
    finish("Tab3", "1To3");
    manager.flush();
    EXPECT_EQ(takeJournal(), (std::vector<std::string>{"post>Tab1 41 Tab1>Tab3", "Tab1 41 Tab1>Tab3",
                                                        "post>Tab3 41 Tab1>Tab3", "Tab3 41 Tab1>Tab3"}));
    EXPECT_EQ(scene->getTransitionState(), kNoName);
}

TEST_F(TabFixture, SwitchesThatDoNothing) {
    make(3, {"Tab1", "Tab3", "Tab1Button", "Tab2Button"});
    scene->switchTab(0, true);
    finish("Tab1", "Default");
    manager.flush();
    takeJournal();
    const struct {
        const char* what;
        int32_t index;
        bool force;
    } cases[] = {
        {"negative", -1, true},
        {"past the slots", 3, true},
        {"active without force", 0, false},
        {"slot without a page", 1, true},
    };
    for (const auto& c : cases) {
        scene->switchTab(c.index, c.force);
        EXPECT_EQ(scene->getActiveTabIndex(), 0) << c.what;
        EXPECT_TRUE(takeJournal().empty()) << c.what;
        EXPECT_TRUE(manager.queued.empty()) << c.what;
    }
    // Pressing the active tab's button switches nothing either.
    CountedRef<NodePressedEvent> press(new NodePressedEvent(page("Tab1Button")));
    EXPECT_FALSE(scene->handleEvent(press.get()));
    EXPECT_EQ(page("Tab1")->entered.size(), 1u);
}

TEST_F(TabFixture, ForcedSwitchToActiveReplaysDefaultWithoutOldPage) {
    make(2, {"Tab1", "Tab2"});
    scene->switchTab(1, true);
    finish("Tab2", "Default");
    scene->switchTab(0, false);
    finish("Tab2", "2To1");
    finish("Tab1", "2To1");
    manager.flush();
    takeJournal();
    scene->switchTab(0, true);
    EXPECT_EQ(takeJournal(), (std::vector<std::string>{"Tab1 40 ->Tab1"}));
    EXPECT_EQ(page("Tab1")->entered.back(), "Default");
    EXPECT_EQ(page("Tab2")->entered.back(), "Default");
    EXPECT_FALSE(page("Tab2")->isVisible());
    EXPECT_EQ(scene->getPendingTransitions(), 1);
}

TEST_F(TabFixture, PropertyTableSetterSwitches) {
    make(2, {"Tab1", "Tab2"});
    const PropertyTable& table = scene->getPropertyTable();
    const int32_t index = table.indexOf("ActiveTabIndex");
    ASSERT_GE(index, 0);
    table.set(*scene, index, CountedRef<IPropertyData>(makeIntProperty(1)));
    EXPECT_EQ(scene->getActiveTabIndex(), 1);
    EXPECT_EQ(page("Tab2")->entered, std::vector<std::string>{"Default"});
    EXPECT_LT(table.indexOf("TabsCount"), index);
    EXPECT_GT(table.indexOf("HideTabButtonOnSelect"), index);
}

TEST_F(TabFixture, InputIsHeldBackDuringASwitchAndOfferedActiveFirst) {
    make(3, kThreeTabs);
    scene->switchTab(0, true);
    CountedRef<MouseMoveEvent> move(new MouseMoveEvent(1, 1));
    takeJournal();
    EXPECT_FALSE(scene->routeToChildren(DeliveryMode::HandleOnly, move.get()));
    EXPECT_TRUE(takeJournal().empty());

    finish("Tab1", "Default");
    takeJournal();
    page("Tab1")->takesInput = false;
    page("Tab1Button")->takesInput = false;
    page("Tab2Button")->takesInput = false;
    EXPECT_TRUE(scene->routeToChildren(DeliveryMode::HandleOnly, move.get()));
    EXPECT_EQ(takeJournal(), (std::vector<std::string>{"Tab1 20", "Tab1Button 20", "Tab2Button 20", "Tab3Button 20"}));
}

TEST_F(TabFixture, ActivePageAndButtonDrawAfterTheLastPageAndButton) {
    make(2, {"Back", "Tab1", "Tab2", "Middle", "Tab1Button", "Tab2Button", "Front"});
    scene->switchTab(0, true);
    page("Tab2")->setVisible(true);
    RenderList list;
    scene->collectRenderItems(list);
    std::vector<std::string> order;
    for (uint32_t i = 0; i < list.size(); ++i) order.push_back(nameOf(list[i].node));
    EXPECT_EQ(order, (std::vector<std::string>{"Back", "Tab2", "Tab1", "Middle", "Tab2Button", "Tab1Button", "Front"}));
}

TEST_F(TabFixture, ValuesSurviveSetsClonesAndSceneFiles) {
    make(3, kThreeTabs);
    scene->setHideTabButtonOnSelect(true);
    scene->switchTab(2, true);
    scene->setName(makeNameId("Tabs"));

    PropertySet defaults;
    CountedRef<TabSceneNode> fresh(new TabSceneNode(nullptr, nullptr, nullptr));
    fresh->writeProperties(&defaults);
    for (const char* key : {"TabsCount", "ActiveTabIndex", "HideTabButtonOnSelect"})
        EXPECT_LT(defaults.indexOf(key), 0) << key;

    CountedRef<BaseNode> copy(scene->clone(nullptr, nullptr));
    auto* clone = nodeCast<TabSceneNode>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->getTabsCount(), 3);
    EXPECT_EQ(clone->getActiveTabIndex(), 2);
    EXPECT_TRUE(clone->isHideTabButtonOnSelect());
    ASSERT_NE(clone->getTab(2), nullptr);
    EXPECT_EQ(clone->getTab(2)->getParent(), clone);  // its own pages, not the source's

    testing_support::TempDir dir;
    testing_support::LogCapture log;  // the test pages are no factory kind and are passed over
    const std::string path = dir.file("tabs.oscn");
    ASSERT_TRUE(saveSceneFile(scene.get(), path.c_str()));
    CountedRef<BaseNode> loaded(loadSceneFile(path.c_str()));
    auto* read = nodeCast<TabSceneNode>(loaded.get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->getTabsCount(), 3);
    EXPECT_EQ(read->getActiveTabIndex(), 2);
    EXPECT_TRUE(read->isHideTabButtonOnSelect());
    EXPECT_EQ(read->getPendingTransitions(), 0);  // reading does not switch
}

}  // namespace
