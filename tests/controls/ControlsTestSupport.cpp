#include "ControlsTestSupport.h"

#include "engine/core/NodeFactory.h"
#include "engine/core/SceneFile.h"
#include "engine/core/State.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"

namespace controls_tests {

std::string nameOf(const BaseNode* node) { return node ? nameOfId(node->getName()).c_str() : "?"; }

void registerControlTestKinds() {
    static const bool done = [] {
        getNodeFactory().registerNodeKind(L"TestScene", &createNodeOf<TestScene>);
        getNodeFactory().registerNodeKind(L"Probe", &createNodeOf<Probe>);
        return true;
    }();
    (void)done;
}

BaseNode* readScene(const std::string& text) {
    XmlReader reader(text.data(), text.size(), "memory");
    return readSceneFile(reader, CreationContext(nullptr, "memory"), "memory");
}

std::string writeScene(BaseNode* node) {
    XmlWriter writer;
    writeSceneFile(node, writer);
    return writer.getBuffer();
}

std::string sceneText(BaseNode* node) {
    std::string out;
    for (char c : writeScene(node)) {
        if (c > 0 && c < 127) out += c;
    }
    return out;
}

void FakeSceneManager::queueEvent(EventReceiver* target, int32_t mode, Event* event) {
    Entry entry{target, mode, CountedRef<Event>::share(event)};
    if (delivering) {
        queue.push_back(entry);
    } else {
        queue.push_front(entry);
    }
}

Strings FakeSceneManager::deliver() {
    Strings out;
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

const EventMap<TestScene>& TestScene::getEventMap() {
    static const EventMap<TestScene> map(
        ControlNode::getEventMap(),
        {
            {EventId::ValueChangedEvent,
             [](TestScene& n, Event* e) {
                 n.changed.push_back(static_cast<NodeEvent*>(e)->getNode());
                 return true;
             }},
            {EventId::NodePressedEvent,
             [](TestScene& n, Event* e) {
                 n.pressed.push_back(static_cast<NodeEvent*>(e)->getNode());
                 return true;
             }},
        });
    return map;
}

bool Probe::handleEvent(Event* event) {
    if (auto* started = dynamic_cast<StateStartedEvent*>(event)) {
        std::string entry = nameOfId(started->getState()->getName()).c_str();
        if (started->getReportName() != started->getState()->getName())
            entry += std::string("(") + nameOfId(started->getReportName()).c_str() + ")";
        entered.push_back(entry);
    }
    return BaseNode::handleEvent(event);
}

void ControlsFixture::load(const char* templates, const char* sceneText) {
    registerControlTestKinds();
    manager->collection.reset(nodeCast<TemplateCollectionNode>(readScene(templates)));
    ASSERT_TRUE(manager->collection);
    scene.reset(nodeCast<TestScene>(readScene(sceneText)));
    ASSERT_TRUE(scene);
    scene->scheduler = scheduler.get();
    manager->top = scene.get();
    scene->attach(manager.get(), scene.get());
    CountedRef<SceneShownEvent> shown(new SceneShownEvent(manager.get()));
    if (!scene->handleEvent(shown.get())) scene->routeToChildren(DeliveryMode::HandleThenChildren, shown.get());
    scene->updateAbsoluteTransform();
    deliver();
}

Probe* ControlsFixture::part(const char* name, const char* partName) {
    ControlNode* control = node(name);
    if (!control || !control->getTemplateRoot()) return nullptr;
    return nodeCast<Probe>(control->getTemplateRoot()->findChild(id(partName), 1));
}

Strings ControlsFixture::states(const char* name, const char* partName) {
    Probe* probe = part(name, partName);
    if (!probe) return {"no part"};
    Strings out = probe->entered;
    probe->entered.clear();
    return out;
}

}  // namespace controls_tests
