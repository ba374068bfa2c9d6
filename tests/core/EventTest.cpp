#include "engine/core/Content.h"
#include "engine/core/ContentType.h"
#include "engine/core/Event.h"
#include "engine/core/EventIds.h"
#include "engine/core/EventMap.h"
#include "engine/core/EventReceiver.h"
#include "game/common/GameEvents.h"

#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

using namespace engine;

namespace {

BaseNode* fakeNode(uintptr_t n) {
    return reinterpret_cast<BaseNode*>(n * 16);
}

// ---- The class hierarchy -------------------------------------------------

struct EventRow {
    const char* name;
    std::function<Event*()> make;
    std::set<int32_t> isA;  // the own id and every base's id (0 is implied)
    int32_t typeId;
    int32_t category;
};

std::vector<EventRow> eventRows() {
    BaseNode* n = fakeNode(1);
    return {
        {"Event", [] { return new Event(); }, {}, 0, 0},
        {"DriverEvent", [] { return new DriverEvent(); }, {1}, 1, 1},
        {"SystemEvent", [] { return new SystemEvent(); }, {2}, 2, 2},
        {"InputEvent", [] { return new InputEvent(); }, {3}, 3, 0},
        {"KeyboardEvent", [] { return new KeyboardEvent(); }, {4, 3}, 4, 4},
        {"MouseEvent", [] { return new MouseEvent(); }, {5, 3}, 5, 8},
        {"NodeEvent", [] { return new NodeEvent(); }, {7}, 7, 32},
        {"SoundEvent", [] { return new SoundEvent(); }, {8}, 8, 64},
        {"VideoDriverReleasedEvent", [] { return new VideoDriverReleasedEvent(); }, {9, 1}, 9, 1},
        {"VideoDriverCreatedEvent", [] { return new VideoDriverCreatedEvent(nullptr); }, {10, 1}, 10, 1},
        {"AudioDriverCreatedEvent", [] { return new AudioDriverCreatedEvent(nullptr); }, {12, 1}, 12, 1},
        {"UpdateEvent", [] { return new UpdateEvent(10); }, {13, 2}, 13, 2},
        {"RenderEvent", [] { return new RenderEvent(); }, {14, 2}, 14, 2},
        {"WindowFocusEvent", [] { return new WindowFocusEvent(true); }, {16, 2}, 16, 2},
        {"ApplicationActivationEvent", [] { return new ApplicationActivationEvent(true); }, {17, 2}, 17, 2},
        {"CEventSystemFlowCloseRequest", [] { return new CEventSystemFlowCloseRequest(); }, {18, 2}, 18, 2},
        {"ApplicationCloseEvent", [] { return new ApplicationCloseEvent(); }, {19, 2}, 19, 2},
        {"MouseMoveEvent", [] { return new MouseMoveEvent(1, 2); }, {20, 5, 3}, 20, 8},
        {"LeftButtonDownEvent", [] { return new LeftButtonDownEvent(1, 2); }, {21, 5, 3}, 21, 8},
        {"RightButtonDownEvent", [] { return new RightButtonDownEvent(1, 2); }, {22, 5, 3}, 22, 8},
        {"MiddleButtonDownEvent", [] { return new MiddleButtonDownEvent(1, 2); }, {23, 5, 3}, 23, 8},
        {"LeftButtonUpEvent", [] { return new LeftButtonUpEvent(1, 2); }, {24, 5, 3}, 24, 8},
        {"RightButtonUpEvent", [] { return new RightButtonUpEvent(1, 2); }, {25, 5, 3}, 25, 8},
        {"MiddleButtonUpEvent", [] { return new MiddleButtonUpEvent(1, 2); }, {26, 5, 3}, 26, 8},
        {"MouseWheelEvent", [] { return new MouseWheelEvent(1, 2, 1.0f); }, {30, 5, 3}, 30, 8},
        {"KeyDownEvent", [] { return new KeyDownEvent('a', 65, false, false); }, {31, 4, 3}, 31, 4},
        {"KeyUpEvent", [] { return new KeyUpEvent('a', 65, false, false); }, {32, 4, 3}, 32, 4},
        {"SceneShownEvent", [n] { return new SceneShownEvent(n); }, {33, 7}, 33, 32},
        {"NodeEvent34", [n] { return new NodeEvent34(n); }, {34, 7}, 34, 32},
        {"SceneChangeEvent", [n] { return new SceneChangeEvent(n, n, true); }, {36, 7}, 36, 32},
        {"SceneTransitionEndEvent", [n] { return new SceneTransitionEndEvent(n, n, true); }, {37, 36, 7}, 37, 32},
        {"SceneActivatedEvent", [n] { return new SceneActivatedEvent(n, n, true); }, {38, 36, 7}, 38, 32},
        {"MessageBoxResultEvent", [] { return new MessageBoxResultEvent(1); }, {39, 7}, 39, 32},
        {"TabSwitchEvent", [n] { return new TabSwitchEvent(n, n); }, {40, 7}, 40, 32},
        {"TabSwitchedEvent", [n] { return new TabSwitchedEvent(n, n); }, {41, 40, 7}, 41, 32},
        {"TabSwitchingEvent", [n] { return new TabSwitchingEvent(n, n); }, {42, 40, 7}, 42, 32},
        {"NodePressDownEvent", [n] { return new NodePressDownEvent(n, n); }, {43, 7}, 43, 32},
        {"NodePressedDownEvent", [n] { return new NodePressedDownEvent(n, n); }, {44, 43, 7}, 44, 32},
        {"NodeReleaseEvent", [n] { return new NodeReleaseEvent(n, n); }, {45, 7}, 45, 32},
        {"NodeReleasedEvent", [n] { return new NodeReleasedEvent(n, n); }, {46, 45, 7}, 46, 32},
        {"NodeHoverEvent", [n] { return new NodeHoverEvent(n, n); }, {47, 7}, 47, 32},
        {"NodeHoveredEvent", [n] { return new NodeHoveredEvent(n, n); }, {48, 47, 7}, 48, 32},
        {"NodeUnhoverEvent", [n] { return new NodeUnhoverEvent(n, n); }, {49, 7}, 49, 32},
        {"NodeUnhoveredEvent", [n] { return new NodeUnhoveredEvent(n, n); }, {50, 49, 7}, 50, 32},
        {"NodeFocusEvent", [n] { return new NodeFocusEvent(n, n); }, {51, 7}, 51, 32},
        {"NodeFocusedEvent", [n] { return new NodeFocusedEvent(n, n); }, {52, 51, 7}, 52, 32},
        {"NodeUnfocusEvent", [n] { return new NodeUnfocusEvent(n, n); }, {53, 7}, 53, 32},
        {"NodeUnfocusedEvent", [n] { return new NodeUnfocusedEvent(n, n); }, {54, 53, 7}, 54, 32},
        {"NodePressPreviewBaseEvent", [n] { return new NodePressPreviewBaseEvent(n); }, {55, 7}, 55, 32},
        {"NodePressPreviewEvent", [n] { return new NodePressPreviewEvent(n); }, {56, 55, 7}, 56, 32},
        {"NodePressEvent", [n] { return new NodePressEvent(n); }, {57, 7}, 57, 32},
        {"NodePressedEvent", [n] { return new NodePressedEvent(n); }, {58, 57, 7}, 58, 32},
        {"ValueChangedEvent", [n] { return new ValueChangedEvent(n); }, {59, 7}, 59, 32},
        {"ListSelectionChangedEvent", [n] { return new ListSelectionChangedEvent(n, 2); }, {60, 7}, 60, 32},
        {"ListItemPressedEvent", [n] { return new ListItemPressedEvent(n, 2); }, {61, 7}, 61, 32},
        {"ListItemCheckedEvent", [n] { return new ListItemCheckedEvent(n, 2, true); }, {62, 7}, 62, 32},
        {"ListItemHoveredEvent", [n] { return new ListItemHoveredEvent(n, 2); }, {63, 7}, 63, 32},
        {"AnimatorEndedEvent", [] { return new AnimatorEndedEvent(nullptr, 5, false); }, {65, 7}, 65, 32},
        {"StateStartedEvent", [] { return new StateStartedEvent(nullptr, 3); }, {66, 7}, 66, 32},
        {"StateEndedEvent", [] { return new StateEndedEvent(nullptr, 3, true); }, {67, 7}, 67, 32},
        {"NodeStateSkippedEvent", [n] { return new NodeStateSkippedEvent(n, 3); }, {68, 7}, 68, 32},
        {"NodeTagReachedEvent", [n] { return new NodeTagReachedEvent(n, 3); }, {70, 7}, 70, 32},
        {"NodeStateStartedEvent", [n] { return new NodeStateStartedEvent(n, 3); }, {72, 7}, 72, 32},
        {"NodeStateFinishedEvent", [n] { return new NodeStateFinishedEvent(n, 3); }, {74, 7}, 74, 32},
        {"SoundFinishedEvent", [] { return new SoundFinishedEvent(nullptr); }, {78, 8}, 78, 64},
        {"GGameEvent", [] { return new game::GGameEvent(); }, {4096}, 4096, 4096},
        {"GLevelCompletedEvent", [] { return new game::GLevelCompletedEvent(); }, {4096}, 4096, 4096},
        {"GNewDayEvent", [] { return new game::GNewDayEvent(); }, {4097, 4096}, 4097, 4096},
        {"GBuildingSelectionEvent", [] { return new game::GBuildingSelectionEvent(nullptr, nullptr); },
         {4098, 4096}, 4098, 4096},
        {"GLevelChangedEvent", [] { return new game::GLevelChangedEvent(); }, {4100, 4096}, 4100, 4096},
        {"GBuildingCompletedEvent", [] { return new game::GBuildingCompletedEvent(nullptr, nullptr); },
         {4101, 4096}, 4101, 4096},
        {"GRepairCompletedEvent", [] { return new game::GRepairCompletedEvent(nullptr); }, {4102, 4096}, 4102,
         4096},
        {"GCleaningCompletedEvent", [] { return new game::GCleaningCompletedEvent(nullptr); }, {4103, 4096},
         4103, 4096},
        {"GBusVisitCompletedEvent", [] { return new game::GBusVisitCompletedEvent(nullptr); }, {4104, 4096},
         4104, 4096},
        {"GServiceCompletedEvent", [] { return new game::GServiceCompletedEvent(nullptr); }, {4105, 4096},
         4105, 4096},
        {"GIncomeEvent", [] { return new game::GIncomeEvent(nullptr, 2.5f); }, {4106, 4096}, 4106, 4096},
        {"GFeatureUsedEvent", [] { return new game::GFeatureUsedEvent(nullptr, 1); }, {4107, 4096}, 4107, 4096},
        {"GDestructionCompletedEvent", [] { return new game::GDestructionCompletedEvent(nullptr); },
         {4108, 4096}, 4108, 4096},
        {"GTaskStepEvent", [] { return new game::GTaskStepEvent(nullptr, 1.5f, 2); }, {4109, 4096}, 4109,
         4096},
        {"GRequestEvent", [] { return new game::GRequestEvent(); }, {4110, 4096}, 4110, 4096},
        {"GSellBuildingRequestEvent", [] { return new game::GSellBuildingRequestEvent(); },
         {4111, 4110, 4096}, 4111, 4096},
        {"GBrokenBuildingRequestEvent", [] { return new game::GBrokenBuildingRequestEvent(); },
         {4112, 4110, 4096}, 4112, 4096},
        {"GDirtyBuildingRequestEvent", [] { return new game::GDirtyBuildingRequestEvent(); },
         {4113, 4110, 4096}, 4113, 4096},
        {"GCafeBuildingRequestEvent", [] { return new game::GCafeBuildingRequestEvent(); },
         {4114, 4110, 4096}, 4114, 4096},
        {"GLetterRequestEvent", [] { return new game::GLetterRequestEvent(); }, {4115, 4110, 4096}, 4115,
         4096},
        {"GPauseRequestEvent", [] { return new game::GPauseRequestEvent(true); }, {4116, 4096}, 4116, 4096},
        {"GBuildingExistsQueryEvent", [] { return new game::GBuildingExistsQueryEvent(); }, {4117, 4096}, 4117,
         4096},
        {"GWeatherRequestEvent", [] { return new game::GWeatherRequestEvent(1000, 2000); }, {4118, 4096}, 4118,
         4096},
    };
}

TEST(EventTest, TypeIdsIsOfTypeAndCategoriesOverTheHierarchy) {
    std::vector<int32_t> probes;
    for (int32_t id = -1; id <= 80; ++id) probes.push_back(id);
    for (int32_t id = 4096; id <= 4118; ++id) probes.push_back(id);

    for (const EventRow& row : eventRows()) {
        SCOPED_TRACE(row.name);
        Event* event = row.make();
        EXPECT_EQ(event->getRefCount(), 1);
        EXPECT_EQ(event->getTypeId(), row.typeId);
        EXPECT_EQ(event->getCategory(), row.category);
        EXPECT_EQ(std::wstring(event->getClassName()), L"#thisClassName");
        for (int32_t id : probes) {
            bool expected = id == 0 || row.isA.count(id) != 0;
            EXPECT_EQ(event->isOfType(id), expected) << "probe id " << id;
        }
        EXPECT_TRUE(event->release());
    }
}

TEST(EventTest, FirstNodeOfThePayloadIsTheEventsNode) {
    BaseNode* a = fakeNode(1);
    BaseNode* b = fakeNode(2);

    NodeHoveredEvent hovered(a, b);
    EXPECT_EQ(hovered.getNode(), a);
    EXPECT_EQ(hovered.getTarget(), a);
    EXPECT_EQ(hovered.getOrigin(), b);

    SceneActivatedEvent activated(a, b, false);
    EXPECT_EQ(activated.getNode(), a);
    EXPECT_EQ(activated.getFirstScene(), a);
    EXPECT_EQ(activated.getSecondScene(), b);
    EXPECT_FALSE(activated.isForward());

    TabSwitchedEvent switched(nullptr, b);
    EXPECT_EQ(switched.getNode(), nullptr);
    EXPECT_EQ(switched.getOldPage(), nullptr);
    EXPECT_EQ(switched.getNewPage(), b);

    ListItemCheckedEvent checked(a, 4, true);
    EXPECT_EQ(checked.getNode(), a);
    EXPECT_EQ(checked.getItemIndex(), 4);
    EXPECT_TRUE(checked.isChecked());

    KeyDownEvent key('A', 65, true, false);
    EXPECT_EQ(key.getCharacter(), 'A');
    EXPECT_EQ(key.getKey(), 65);
    EXPECT_TRUE(key.isShiftDown());
    EXPECT_FALSE(key.isControlDown());
    EXPECT_FALSE(key.getThirdFlag());
}

// ---- Delivery modes over a small tree -------------------------------------

// A receiver in a tree: routes to its parent and to its children in order, and
// writes every handleEvent call to a shared journal.
class TreeReceiver : public EventReceiver {
public:
    TreeReceiver(std::string name, std::vector<std::string>* journal) : name(std::move(name)), journal(journal) {}

    bool handleEvent(Event*) override {
        journal->push_back(name);
        return handles;
    }
    bool routeToParent(int32_t mode, Event* event) override {
        return parent ? parent->deliver(mode, event) : false;
    }
    bool routeToChildren(int32_t mode, Event* event) override {
        for (TreeReceiver* child : children) {
            if (child->deliver(mode, event)) return true;
        }
        return false;
    }
    void add(TreeReceiver* child) {
        children.push_back(child);
        child->parent = this;
    }

    std::string name;
    std::vector<std::string>* journal;
    bool handles = false;
    TreeReceiver* parent = nullptr;
    std::vector<TreeReceiver*> children;
};

// R has the children A and B; A has the children A1 and A2.
struct Tree {
    std::vector<std::string> journal;
    TreeReceiver r{"R", &journal}, a{"A", &journal}, b{"B", &journal};
    TreeReceiver a1{"A1", &journal}, a2{"A2", &journal};
    Tree() {
        r.add(&a);
        r.add(&b);
        a.add(&a1);
        a.add(&a2);
    }
    TreeReceiver* find(const std::string& name) {
        for (TreeReceiver* n : {&r, &a, &b, &a1, &a2}) {
            if (n->name == name) return n;
        }
        return nullptr;
    }
};

TEST(EventReceiverTest, DeliverVisitsInTheOrderOfItsMode) {
    struct Case {
        const char* start;
        int32_t mode;
        std::vector<std::string> handlers;
        std::vector<std::string> visits;
        bool handled;
    };
    const std::vector<Case> cases = {
        {"R", 0, {}, {"R"}, false},
        {"R", 0, {"R"}, {"R"}, true},
        {"A", 0, {"A1"}, {"A"}, false},
        // Depth-first, each receiver before its children.
        {"R", 1, {}, {"R", "A", "A1", "A2", "B"}, false},
        {"R", 1, {"A1"}, {"R", "A", "A1"}, true},
        {"R", 1, {"R", "A"}, {"R"}, true},
        // Children first; a child that handles it hides it from the receiver.
        {"R", 2, {}, {"A1", "A2", "A", "B", "R"}, false},
        {"R", 2, {"A"}, {"A1", "A2", "A"}, true},
        {"R", 2, {"A2"}, {"A1", "A2"}, true},
        // Bubbling up.
        {"A1", 3, {}, {"A1", "A", "R"}, false},
        {"A1", 3, {"A"}, {"A1", "A"}, true},
        {"A1", 3, {"A1", "R"}, {"A1"}, true},
        // Ancestors from the top down, then the receiver.
        {"A1", 4, {}, {"R", "A", "A1"}, false},
        {"A1", 4, {"R"}, {"R"}, true},
        {"A1", 4, {"A"}, {"R", "A"}, true},
        // Unknown modes deliver nothing.
        {"R", 5, {"R"}, {}, false},
        {"A", 6, {"A", "A1", "R"}, {}, false},
        {"A", -1, {"A"}, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " mode " + std::to_string(c.mode));
        Tree tree;
        for (const std::string& h : c.handlers) tree.find(h)->handles = true;
        Event* event = new NodeEvent();
        EXPECT_EQ(tree.find(c.start)->deliver(c.mode, event), c.handled);
        EXPECT_EQ(tree.journal, c.visits);
        event->release();
    }
}

TEST(EventReceiverTest, BaseReceiverHandlesNothingAndStartsEmpty) {
    EventReceiver receiver;
    Event* event = new UpdateEvent(10);
    for (int32_t mode = 0; mode <= 5; ++mode) EXPECT_FALSE(receiver.deliver(mode, event));
    EXPECT_EQ(receiver.getMask(), 0);
    EXPECT_EQ(receiver.getListeners().size(), 0u);
    EXPECT_EQ(receiver.getPostListeners().size(), 0u);
    event->release();
}

// ---- Listener arrays ------------------------------------------------------

TEST(EventReceiverTest, RemovalTakesOutTheFirstOccurrenceOnly) {
    EventReceiver p, q, r, absent;
    auto contents = [](const array<EventReceiver*>& a) {
        std::vector<EventReceiver*> v;
        for (irr::u32 i = 0; i < a.size(); ++i) v.push_back(a[i]);
        return v;
    };
    struct Case {
        std::vector<EventReceiver*> initial;
        EventReceiver* removed;
        std::vector<EventReceiver*> after;
    };
    const std::vector<Case> cases = {
        {{&p, &q, &p, &r}, &p, {&q, &p, &r}},
        {{&p, &q, &p, &r}, &r, {&p, &q, &p}},
        {{&p, &q, &r}, &q, {&p, &r}},
        {{&p, &q, &r}, &absent, {&p, &q, &r}},
        {{&p, &q}, nullptr, {&p, &q}},
        {{}, &p, {}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const Case& c = cases[i];
        EventReceiver owner;
        for (EventReceiver* l : c.initial) {
            owner.addListener(l);
            owner.addPostListener(l);
        }
        owner.removeListener(c.removed);
        EXPECT_EQ(contents(owner.getListeners()), c.after);
        EXPECT_EQ(contents(owner.getPostListeners()), c.initial) << "post-listeners untouched";
        owner.removePostListener(c.removed);
        EXPECT_EQ(contents(owner.getPostListeners()), c.after);
    }
}

// ---- Map dispatch ---------------------------------------------------------

// A listener that writes its name to a journal and answers a fixed result.
class Listener : public EventReceiver {
public:
    Listener(std::string name, std::vector<std::string>* journal, bool result = false)
        : name(std::move(name)), journal(journal), result(result) {}
    bool handleEvent(Event*) override {
        journal->push_back(name);
        return result;
    }
    std::string name;
    std::vector<std::string>* journal;
    bool result;
};

// A receiver with a map of two entries; what the handlers do is set per test.
class MappedReceiver : public EventReceiver {
    ENGINE_DECLARE_EVENT_MAP(MappedReceiver)

    virtual bool onUpdate(Event* event) {
        journal->push_back("map");
        return onHandler ? onHandler(event) : false;
    }
    virtual bool onHover(Event*) {
        journal->push_back("hover");
        return true;
    }

    std::vector<std::string>* journal = nullptr;
    std::function<bool(Event*)> onHandler;
};

const EventMap<MappedReceiver>& MappedReceiver::getEventMap() {
    static const EventMap<MappedReceiver> map({
        {EventId::UpdateEvent, &MappedReceiver::onUpdate},
        {EventId::NodeHoverEvent, &MappedReceiver::onHover},
    });
    return map;
}

struct MapFixture : ::testing::Test {
    MapFixture() { receiver.journal = &journal; }
    bool dispatchUpdate() {
        Event* event = new UpdateEvent(10);
        bool handled = receiver.handleEvent(event);
        event->release();
        return handled;
    }
    std::vector<std::string> journal;
    MappedReceiver receiver;
};

TEST_F(MapFixture, PreListenersThenMapThenPostListeners) {
    Listener pre1("pre1", &journal), pre2("pre2", &journal);
    Listener post1("post1", &journal), post2("post2", &journal);
    receiver.addListener(&pre1);
    receiver.addListener(&pre2);
    receiver.addPostListener(&post1);
    receiver.addPostListener(&post2);
    EXPECT_FALSE(dispatchUpdate());
    EXPECT_EQ(journal, (std::vector<std::string>{"pre1", "pre2", "map", "post1", "post2"}));
}

TEST_F(MapFixture, PreListenerThatHandlesHidesTheEventFromMapAndPostListeners) {
    Listener pre1("pre1", &journal, true), pre2("pre2", &journal);
    Listener post("post", &journal);
    receiver.addListener(&pre1);
    receiver.addListener(&pre2);
    receiver.addPostListener(&post);
    EXPECT_TRUE(dispatchUpdate());
    EXPECT_EQ(journal, std::vector<std::string>{"pre1"});
}

TEST_F(MapFixture, HandlerResultDecidesWhetherPostListenersSeeIt) {
    Listener post("post", &journal);
    receiver.addPostListener(&post);

    receiver.onHandler = [](Event*) { return true; };
    EXPECT_TRUE(dispatchUpdate());
    EXPECT_EQ(journal, std::vector<std::string>{"map"});

    journal.clear();
    receiver.onHandler = [](Event*) { return false; };
    EXPECT_FALSE(dispatchUpdate());
    EXPECT_EQ(journal, (std::vector<std::string>{"map", "post"}));
}

TEST_F(MapFixture, FirstPostListenerThatHandlesEndsTheDispatch) {
    Listener post1("post1", &journal, true), post2("post2", &journal);
    receiver.addPostListener(&post1);
    receiver.addPostListener(&post2);
    EXPECT_TRUE(dispatchUpdate());
    EXPECT_EQ(journal, (std::vector<std::string>{"map", "post1"}));
}

TEST_F(MapFixture, EventWithoutEntryGoesStraightToPostListeners) {
    Listener post("post", &journal, true);
    receiver.addPostListener(&post);
    Event* event = new RenderEvent();
    EXPECT_TRUE(receiver.handleEvent(event));
    EXPECT_EQ(journal, std::vector<std::string>{"post"});
    event->release();

    EXPECT_FALSE(receiver.handleEvent(nullptr));
}

TEST_F(MapFixture, LookupUsesTheExactTypeId) {
    // A notification derives from its request but never reaches the request's entry.
    Event* hovered = new NodeHoveredEvent(nullptr, nullptr);
    EXPECT_FALSE(receiver.handleEvent(hovered));
    EXPECT_TRUE(journal.empty());
    hovered->release();

    Event* hover = new NodeHoverEvent(nullptr, nullptr);
    EXPECT_TRUE(receiver.handleEvent(hover));
    EXPECT_EQ(journal, std::vector<std::string>{"hover"});
    hover->release();
}

TEST_F(MapFixture, PostListenerAddedByTheHandlerToAnEmptyArrayMissesTheEvent) {
    Listener late("late", &journal, true);
    receiver.onHandler = [&](Event*) {
        receiver.addPostListener(&late);
        return false;
    };
    EXPECT_FALSE(dispatchUpdate());
    EXPECT_EQ(journal, std::vector<std::string>{"map"});

    // The next event reaches it.
    journal.clear();
    receiver.onHandler = nullptr;
    EXPECT_TRUE(dispatchUpdate());
    EXPECT_EQ(journal, (std::vector<std::string>{"map", "late"}));
}

TEST_F(MapFixture, PostListenerAddedByTheHandlerToAFilledArrayIsOffered) {
    Listener first("first", &journal), late("late", &journal);
    receiver.addPostListener(&first);
    receiver.onHandler = [&](Event*) {
        receiver.addPostListener(&late);
        return false;
    };
    EXPECT_FALSE(dispatchUpdate());
    EXPECT_EQ(journal, (std::vector<std::string>{"map", "first", "late"}));
}

TEST_F(MapFixture, PostListenerRemovedByTheHandlerIsNotOffered) {
    Listener post1("post1", &journal), post2("post2", &journal), post3("post3", &journal);
    receiver.addPostListener(&post1);
    receiver.addPostListener(&post2);
    receiver.addPostListener(&post3);
    receiver.onHandler = [&](Event*) {
        receiver.removePostListener(&post2);
        return false;
    };
    EXPECT_FALSE(dispatchUpdate());
    EXPECT_EQ(journal, (std::vector<std::string>{"map", "post1", "post3"}));

    // Removing every post-listener leaves nobody to offer it to.
    journal.clear();
    receiver.onHandler = [&](Event*) {
        receiver.removePostListener(&post1);
        receiver.removePostListener(&post3);
        return false;
    };
    EXPECT_FALSE(dispatchUpdate());
    EXPECT_EQ(journal, std::vector<std::string>{"map"});
}

// ---- Map chaining ---------------------------------------------------------

class ChainBase : public EventReceiver {
    ENGINE_DECLARE_EVENT_MAP(ChainBase)
    virtual bool onShown(Event*) { return record("base shown"); }
    virtual bool onTemplates(Event*) { return record("base templates"); }
    bool record(const char* what) {
        calls.push_back(what);
        return true;
    }
    std::vector<std::string> calls;
};

const EventMap<ChainBase>& ChainBase::getEventMap() {
    static const EventMap<ChainBase> map({
        {EventId::SceneShownEvent, &ChainBase::onShown},
        {EventId::NodeEvent34, &ChainBase::onTemplates},
    });
    return map;
}

class ChainDerived : public ChainBase {
    ENGINE_DECLARE_EVENT_MAP(ChainDerived)
    virtual bool onDerivedTemplates(Event*) { return record("derived templates"); }
    virtual bool onValue(Event*) { return record("derived value"); }
};

const EventMap<ChainDerived>& ChainDerived::getEventMap() {
    static const EventMap<ChainDerived> map(ChainBase::getEventMap(), {
        {EventId::NodeEvent34, &ChainDerived::onDerivedTemplates},
        {EventId::ValueChangedEvent, &ChainDerived::onValue},
    });
    return map;
}

// Uses the base's map, changing one handler by overriding its operation.
class ChainOverride : public ChainBase {
public:
    bool onShown(Event*) override { return record("override shown"); }
};

std::vector<std::string> callsFor(ChainBase& receiver, const std::vector<Event*>& events) {
    for (Event* e : events) receiver.handleEvent(e);
    return receiver.calls;
}

TEST(EventMapTest, DerivedMapCopiesBaseEntriesAndReplacesSameIds) {
    std::vector<Event*> events = {new SceneShownEvent(nullptr), new NodeEvent34(nullptr),
                                  new ValueChangedEvent(nullptr), new NodeEvent()};

    ChainBase base;
    EXPECT_EQ(callsFor(base, events), (std::vector<std::string>{"base shown", "base templates"}));

    ChainDerived derived;
    EXPECT_EQ(callsFor(derived, events),
              (std::vector<std::string>{"base shown", "derived templates", "derived value"}));

    ChainOverride overriding;
    EXPECT_EQ(callsFor(overriding, events), (std::vector<std::string>{"override shown", "base templates"}));

    // Building the derived map left the base's map as it was.
    EXPECT_EQ(ChainBase::getEventMap().entries().size(), 2u);
    EXPECT_EQ(ChainDerived::getEventMap().entries().size(), 3u);

    for (Event* e : events) e->release();
}

// ---- Content --------------------------------------------------------------

class PlainContent : public Content {
public:
    using Content::Content;
    ContentTypeCode getContentType() const override { return ContentType::Image; }
};

TEST(ContentTest, StartsEmptyAndKeepsItsCreationContext) {
    CreationContext context(nullptr, "content/test/picture.png");
    PlainContent* content = new PlainContent(context);
    EXPECT_EQ(content->getRefCount(), 1);
    EXPECT_EQ(content->clone(), nullptr);
    EXPECT_EQ(content->getContentFlags(), ContentFlags::None);
    EXPECT_EQ(content->getMask(), 0);
    EXPECT_EQ(content->getListeners().size(), 0u);
    EXPECT_EQ(content->getPostListeners().size(), 0u);
    EXPECT_EQ(content->getCreationContext().getContentManager(), nullptr);
    EXPECT_EQ(content->getCreationContext().getNameId(), context.getNameId());
    EXPECT_STREQ(content->getCreationContext().getName().c_str(), "content/test/picture.png");
    content->setContentFlags(ContentFlags::Shared);
    EXPECT_EQ(content->getContentFlags(), 1);
    EXPECT_TRUE(content->release());
}

TEST(ContentTypeTest, CodesPackTheFirstCharacterInTheLowestByte) {
    struct Case {
        ContentTypeCode code;
        const char text[5];
        uint32_t decimal;
    };
    const Case cases[] = {
        {ContentType::SoundPack, "sndp", 1885630067u},
        {ContentType::Sound, "isnd", 1684960105u},
        {ContentType::ParticleEmitter, "pemt", 1953326448u},
        {ContentType::ParticleCollection, "prtc", 1668575856u},
        {ContentType::Font, "font", 1953394534u},
        {ContentType::SceneNode, "snod", 1685024371u},
        {ContentType::Image, "imag", 1734438249u},
        {ContentType::AtlasTextureCollection, "atxc", 1668838497u},
        {ContentType::AtlasTexture, "atex", 2019914849u},
        {ContentType::Texture, "itex", 2019914857u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.code, c.decimal);
        EXPECT_EQ(makeContentType(c.text[0], c.text[1], c.text[2], c.text[3]), c.decimal);
        // The bytes in memory read the code from left to right.
        char bytes[4];
        std::memcpy(bytes, &c.code, 4);
        EXPECT_EQ(std::string(bytes, 4), c.text);
    }
    // Characters above 127 are not sign-extended into the other bytes.
    EXPECT_EQ(makeContentType('\xff', 0, 0, 0), 0xFFu);
    EXPECT_EQ(makeContentType(0, 0, 0, '\x80'), 0x80000000u);
}

}  // namespace
