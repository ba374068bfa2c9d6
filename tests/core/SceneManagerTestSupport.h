#pragma once
// Shared pieces of the scene and scene-manager tests: a stand-in for the
// device's receiver list that also plays the device's update loop, a scene
// that writes down the events it is handed, a message box stand-in, and
// scenes whose transition states take scheduler time.
#include "NodeTestSupport.h"

#include "engine/core/EventReceiverRegistry.h"
#include "engine/core/SceneManager.h"
#include "engine/core/SceneNode.h"
#include "engine/core/TimerScheduler.h"
#include "engine/core/XmlReader.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace scene_tests {

using namespace engine;

inline NameId id(const char* name) { return makeNameId(name); }

inline std::string nameOf(const BaseNode* node) { return node ? nameOfId(node->getName()).c_str() : "-"; }

// The receiver list of the device: holds a reference per receiver and hands
// update events to them in ascending order, as the run loop does.
struct FakeRegistry : IEventReceiverRegistry {
    struct Entry {
        CountedRef<EventReceiver> receiver;
        int32_t order;
    };

    bool addEventReceiver(EventReceiver* receiver, int32_t order) override {
        if (!receiver || find(receiver) >= 0) return false;
        entries.push_back(Entry{CountedRef<EventReceiver>::share(receiver), order});
        return true;
    }
    void removeEventReceiver(EventReceiver* receiver) override {
        const int index = find(receiver);
        if (index >= 0) entries.erase(entries.begin() + index);
    }

    int find(const EventReceiver* receiver) const {
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].receiver.get() == receiver) return static_cast<int>(i);
        return -1;
    }
    size_t countAtOrder(int32_t order) const {
        return static_cast<size_t>(std::count_if(entries.begin(), entries.end(),
                                                 [order](const Entry& e) { return e.order == order; }));
    }
    int32_t orderOf(const EventReceiver* receiver) const {
        const int index = find(receiver);
        return index < 0 ? -1 : entries[static_cast<size_t>(index)].order;
    }

    // One pass of the run loop: an update event to every receiver, lowest
    // order first.
    void update(uint32_t elapsedMs) {
        std::vector<Entry> walk = entries;
        std::stable_sort(walk.begin(), walk.end(), [](const Entry& a, const Entry& b) { return a.order < b.order; });
        CountedRef<UpdateEvent> event(new UpdateEvent(elapsedMs));
        for (const Entry& entry : walk) {
            if (entry.receiver->takesCategory(event->getCategory()) && entry.receiver->handleEvent(event.get())) break;
        }
    }

    std::vector<Entry> entries;
};

// What nodes of the tests saw, in order, across all of them.
inline std::vector<std::string>& trace() {
    static std::vector<std::string> entries;
    return entries;
}

// Describes an event as the recording scenes write it down: the id, then
// the payload that matters for the scene-manager events.
inline std::string describe(Event* event) {
    std::string text = std::to_string(event->getTypeId());
    if (auto* change = dynamic_cast<SceneChangeEvent*>(event)) {
        text += " " + nameOf(change->getFirstScene()) + ">" + nameOf(change->getSecondScene()) +
                (change->isForward() ? " f" : " b");
    } else if (auto* result = dynamic_cast<MessageBoxResultEvent*>(event)) {
        text += " " + std::to_string(result->getResult());
    } else if (auto* state = dynamic_cast<NodeStateEventBase*>(event)) {
        text += " " + std::string(nameOfId(state->getName()).c_str());
    } else if (auto* node = dynamic_cast<NodeEvent*>(event)) {
        text += " " + nameOf(node->getNode());
    }
    return text;
}

// A scene that writes down every event handed to it (input also into the
// shared trace) and answers true for the ids in `handles`.
class RecordingScene : public SceneNode {
    ENGINE_NODE_TYPE(RecordingScene, SceneNode, 1970)

public:
    RecordingScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : SceneNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    bool handleEvent(Event* event) override {
        seen.push_back(describe(event));
        if (event->isOfType(EventId::InputEvent)) trace().push_back(nameOf(this));
        if (handles.count(event->getTypeId())) return true;
        return SceneNode::handleEvent(event);
    }
    // The entries that begin with the prefix ("36", "72 NavTo").
    std::vector<std::string> of(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& entry : seen)
            if (entry.compare(0, prefix.size(), prefix) == 0 &&
                (entry.size() == prefix.size() || entry[prefix.size()] == ' '))
                out.push_back(entry);
        return out;
    }
    // What the scene was told of the stack and its transitions: the entries
    // without the state protocol's own events and without the control
    // states that focus changes play.
    std::vector<std::string> story() const {
        static const std::set<std::string> controlStates = {
            "Focus", "KillFocus", "Press", "Pressed", "KillPressed", "NormalHover", "NormalKillHover",
            "FocusHover", "FocusKillHover", "NormalDisable", "FocusDisable", "Normal"};
        std::vector<std::string> out;
        for (const std::string& entry : seen) {
            const int typeId = std::stoi(entry);
            if (typeId >= EventId::AnimatorEndedEvent && typeId <= EventId::NodeStateFinishedEvent) {
                if (typeId != EventId::NodeStateStartedEvent) continue;
                if (controlStates.count(entry.substr(entry.find(' ') + 1))) continue;
            }
            out.push_back(entry);
        }
        return out;
    }
    bool saw(const std::string& entry) const { return std::find(seen.begin(), seen.end(), entry) != seen.end(); }

    std::vector<std::string> seen;
    std::set<int32_t> handles;
};

// Another scene kind, for closing down to a kind.
class OtherScene : public RecordingScene {
    ENGINE_NODE_TYPE(OtherScene, RecordingScene, 1971)

public:
    OtherScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : RecordingScene(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
};

// Stands in for the message box node: of type 7, keeps its texts and the
// result the test gives it.
class TestMessageBox : public RecordingScene, public IMessageBox {
    ENGINE_NODE_TYPE(TestMessageBox, RecordingScene, 7)

public:
    TestMessageBox(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : RecordingScene(context, parent, manager, false) {
        setName(makeNameId("Box"));
        linkToParent(parent, mostDerived);
    }
    void setTitleText(const stringw& text) override { title = text; }
    void setBodyText(const stringw& text) override { body = text; }
    void setButtonTexts(const array<stringw>& texts) override { buttons = texts; }
    int32_t getResult() const override { return result; }

    stringw title;
    stringw body;
    array<stringw> buttons;
    int32_t result = 0;
};

inline SceneNode* makeTestMessageBox(const CreationContext* context, BaseNode* manager) {
    return new TestMessageBox(context, nullptr, manager, true);
}

// A node that takes mouse and keyboard events, writes its name into the trace
// when handed one, and takes it when `takes` is set.
class InputProbe : public BaseNode {
    ENGINE_NODE_TYPE(InputProbe, BaseNode, 1972)

public:
    InputProbe(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : BaseNode(context, parent, manager, false) {
        addToMask(EventCategory::Mouse | EventCategory::Keyboard);
        linkToParent(parent, mostDerived);
    }
    bool handleEvent(Event* event) override {
        if (event->isOfType(EventId::InputEvent)) {
            trace().push_back(nameOf(this));
            return takes;
        }
        return BaseNode::handleEvent(event);
    }
    bool takes = false;
};

using node_tests::loadStates;

// The transition states (and "Slide" and "Fade" for named transitions), each
// awaiting an animator named "<scene>.<state>" for the given time.
inline std::string transitionStates(const std::string& scene, uint32_t ms) {
    std::string xml = "<States>";
    for (const char* state : {"NavTo", "NavFrom", "NavBackFrom", "NavBackTo", "Slide", "Fade"}) {
        xml += std::string("<State Name=\"") + state + "\"><Animator Type=\"TestWait\" Name=\"" + scene + "." +
               state + "\" Duration=\"" + std::to_string(ms) + "\" /></State>";
    }
    return xml + "</States>";
}

// A scene of kind T whose one child, "Body", plays every transition state for
// `ms` milliseconds of scheduler time (with 0 the child has no states, so
// they end at once). Its bounds are 1000 x 800.
template <class T = RecordingScene>
CountedRef<T> makeScene(const char* name, uint32_t ms = 100, const CreationContext* context = nullptr) {
    CountedRef<T> scene(new T(context, nullptr, nullptr));
    scene->setName(id(name));
    scene->setBounds(vector3df(1000.0f, 800.0f, 0.0f));
    auto* body = new BaseNode(nullptr, scene.get(), nullptr);
    body->setName(id("Body"));
    body->release();
    if (ms) loadStates(body, transitionStates(name, ms));
    return scene;
}

inline std::vector<std::string>& animatorJournal() { return node_tests::WaitAnimator::journal(); }

using node_tests::journalHas;

// The place of an entry in the animator journal, or -1.
inline int journalIndex(const std::string& entry) {
    const auto& journal = animatorJournal();
    auto found = std::find(journal.begin(), journal.end(), entry);
    return found == journal.end() ? -1 : static_cast<int>(found - journal.begin());
}

// A manager as the game sets one up: its timer on a scheduler the device
// updates at order 2, scene schedulers registered with the fake device, and
// message boxes made by the stand-in.
struct SceneManagerFixture : testing::Test {
    // Before the members of derived fixtures make their scenes.
    SceneManagerFixture() { node_tests::registerTestKinds(); }

    void SetUp() override {
        animatorJournal().clear();
        trace().clear();
        manager->setName(id("Manager"));
        manager->setEventReceiverRegistry(&registry);
        manager->setTimerScheduler(managerScheduler.get());
        registry.addEventReceiver(managerScheduler.get(), 2);
        SceneManager::setMessageBoxMaker(&makeTestMessageBox);
    }
    void TearDown() override {
        SceneManager::setMessageBoxMaker(nullptr);
        // The manager goes while the registry it unregisters from still exists.
        if (manager) manager->setTimerScheduler(nullptr);
        manager.reset();
    }

    // Lets time pass: the manager delivers its queue first, then the scene
    // schedulers play their states.
    void advance(uint32_t ms) { registry.update(ms); }
    // Delivers the queue without letting scene time pass.
    void deliver() { registry.update(0); }

    size_t sceneSchedulersRegistered() const { return registry.countAtOrder(SceneManager::kSceneSchedulerOrder); }

    FakeRegistry registry;
    CountedRef<TimerScheduler> managerScheduler{new TimerScheduler()};
    CountedRef<SceneManager> manager{new SceneManager(nullptr, nullptr, nullptr)};
};

}  // namespace scene_tests
