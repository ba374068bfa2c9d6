#include "ControlsTestSupport.h"

#include "engine/core/NodeFactory.h"
#include "engine/core/SceneFile.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"

namespace controls_tests {

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
    testing_support::journalStateStarted(event, entered);
    return BaseNode::handleEvent(event);
}

void ControlsFixture::load(const char* templates, const char* sceneText) {
    registerControlTestKinds();
    manager->collection.reset(nodeCast<TemplateCollectionNode>(readScene(templates)));
    ASSERT_TRUE(manager->collection);
    scene.reset(nodeCast<TestScene>(readScene(sceneText)));
    ASSERT_TRUE(scene);
    scene->scheduler = scheduler.get();
    manager->open(scene.get());
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
