#include "support/FakeSceneManager.h"

#include "engine/core/State.h"

namespace testing_support {

using namespace engine;

std::string nameOf(const BaseNode* node) { return node ? nameOfId(node->getName()).c_str() : "?"; }

void journalStateStarted(Event* event, std::vector<std::string>& journal) {
    auto* started = dynamic_cast<StateStartedEvent*>(event);
    if (!started) return;
    std::string entry = nameOfId(started->getState()->getName()).c_str();
    if (started->getReportName() != started->getState()->getName())
        entry += std::string("(") + nameOfId(started->getReportName()).c_str() + ")";
    journal.push_back(entry);
}

void FakeSceneManager::queueEvent(EventReceiver* target, int32_t mode, Event* event) {
    Entry entry{target, mode, CountedRef<Event>::share(event)};
    if (delivering) {
        queue.push_back(entry);
    } else {
        queue.push_front(entry);
    }
}

std::vector<std::string> FakeSceneManager::deliver() {
    std::vector<std::string> out;
    delivering = true;
    while (!queue.empty()) {
        Entry entry = queue.back();
        queue.pop_back();
        out.push_back(std::to_string(entry.event->getTypeId()) + " " + nameOf(dynamic_cast<BaseNode*>(entry.target)));
        entry.target->deliver(entry.mode, entry.event.get());
    }
    delivering = false;
    return out;
}

bool FakeSceneManager::input(Event* event) {
    CountedRef<BaseNode> scene = CountedRef<BaseNode>::share(top);
    return scene->routeToChildren(DeliveryMode::ChildrenThenHandle, event) || scene->handleEvent(event);
}

void FakeSceneManager::open(BaseNode* scene) {
    top = scene;
    scene->attach(this, scene);
    CountedRef<SceneShownEvent> shown(new SceneShownEvent(this));
    if (!scene->handleEvent(shown.get())) scene->routeToChildren(DeliveryMode::HandleThenChildren, shown.get());
    scene->updateAbsoluteTransform();
}

}  // namespace testing_support
