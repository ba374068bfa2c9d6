#pragma once
// A stand-in for the scene manager in the control tests: it holds the template
// collection, queues the events nodes post and delivers them as the manager
// does (oldest first; an event posted while the queue is delivered comes
// next), and hands input to its top scene as the manager does (the scene's
// subtree first, deepest nodes first, then the scene itself).
#include "engine/core/BaseNode.h"
#include "engine/core/Event.h"
#include "engine/core/TemplateCollectionNode.h"

#include <deque>
#include <string>
#include <vector>

namespace testing_support {

// The node's name, or "?" for none.
std::string nameOf(const engine::BaseNode* node);

// Adds "<state>" to the journal when the event is a StateStartedEvent, or
// "<state>(<asked for>)" when the state was entered for another name.
void journalStateStarted(engine::Event* event, std::vector<std::string>& journal);

class FakeSceneManager : public engine::BaseNode, public engine::NodeEventQueue {
public:
    FakeSceneManager() : engine::BaseNode(nullptr, nullptr, nullptr) {}

    engine::NodeEventQueue* getEventQueue() override { return this; }
    engine::TemplateCollectionNode* getTemplateCollection() const override { return collection.get(); }
    void queueEvent(engine::EventReceiver* target, int32_t mode, engine::Event* event) override;

    // Delivers the queue; "<event id> <receiver name>" for each delivery.
    std::vector<std::string> deliver();
    bool input(engine::Event* event);

    // Opens a scene as the manager does: makes it the top scene, attaches it,
    // shows it (controls apply their templates) and places its nodes.
    void open(engine::BaseNode* scene);

    struct Entry {
        engine::EventReceiver* target;
        int32_t mode;
        engine::CountedRef<engine::Event> event;
    };
    engine::CountedRef<engine::TemplateCollectionNode> collection;
    engine::BaseNode* top = nullptr;
    std::deque<Entry> queue;
    bool delivering = false;
};

}  // namespace testing_support
