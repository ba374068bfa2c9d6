#pragma once
// Shared pieces of the control tests: a scene whose scheduler plays states, a drawing stand-in that records the
// states it enters, and a fixture that loads a template collection and a
// scene from text.
#include "engine/core/BaseNode.h"
#include "engine/core/ControlNode.h"
#include "engine/core/Event.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TimerScheduler.h"
#include "support/FakeSceneManager.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace controls_tests {

using namespace engine;
using Strings = std::vector<std::string>;

using testing_support::FakeSceneManager;
using testing_support::nameOf;

inline NameId id(const char* name) { return makeNameId(name); }

// Registers the test kinds ("TestScene", "Probe") with the factory (once).
void registerControlTestKinds();

// A node read from scene-file text, or null.
BaseNode* readScene(const std::string& text);
// The scene-file text of a node.
std::string writeScene(BaseNode* node);
// The same as plain text to search (the file is UTF-16; ASCII only survives).
std::string sceneText(BaseNode* node);
// The node written to a scene file and read back, as class T.
template <class T>
CountedRef<T> roundTrip(BaseNode* node) {
    CountedRef<BaseNode> read(readScene(writeScene(node)));
    return CountedRef<T>::share(nodeCast<T>(read.get()));
}

// A scene root: a control whose scheduler plays the states of its nodes, and
// that records the value changes that reach it.
class TestScene : public ControlNode {
    ENGINE_DECLARE_EVENT_MAP(TestScene)
    ENGINE_NODE_TYPE(TestScene, ControlNode, 1970)

public:
    TestScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : ControlNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    TimerScheduler* getTimerScheduler() const override { return scheduler; }

    TimerScheduler* scheduler = nullptr;
    std::vector<BaseNode*> changed;  // nodes of the ValueChangedEvents seen
    std::vector<BaseNode*> pressed;  // nodes of the NodePressedEvents seen
};

// A drawing stand-in: hit inside its bounds, and a journal of the states it
// entered ("Normal(Focus)": "Normal" entered when "Focus" was asked for).
class Probe : public BaseNode {
    ENGINE_NODE_TYPE(Probe, BaseNode, 1971)

public:
    Probe(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true)
        : BaseNode(context, parent, manager, false) {
        linkToParent(parent, mostDerived);
    }
    bool hitTest(const vector2df& point) override { return containsPoint(point); }
    bool handleEvent(Event* event) override;

    std::vector<std::string> entered;
};

// Loads the templates and the scene, attaches and shows the scene as the
// manager does when it opens one.
struct ControlsFixture : testing::Test {
    void load(const char* templates, const char* sceneText);

    template <class T = ControlNode>
    T* node(const char* name) {
        return nodeCast<T>(scene->findChild(id(name)));
    }
    // The probe named `part` in the template of control `name`.
    Probe* part(const char* name, const char* partName);
    // The states the probe entered since the last call.
    Strings states(const char* name, const char* partName);

    template <class E, class... Args>
    bool send(Args... args) {
        CountedRef<E> event(new E(args...));
        return manager->input(event.get());
    }
    bool move(int x, int y) { return send<MouseMoveEvent>(x, y); }
    bool down(int x, int y) { return send<LeftButtonDownEvent>(x, y); }
    bool up(int x, int y) { return send<LeftButtonUpEvent>(x, y); }
    bool key(int code) { return send<KeyDownEvent>(0, code, false, false); }
    Strings deliver() { return manager->deliver(); }

    CountedRef<TimerScheduler> scheduler{new TimerScheduler()};
    CountedRef<FakeSceneManager> manager{new FakeSceneManager()};
    CountedRef<TestScene> scene;
};

}  // namespace controls_tests
