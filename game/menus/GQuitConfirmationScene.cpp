#include "game/menus/GQuitConfirmationScene.h"
#include "engine/core/KeyCodes.h"
#include "engine/platform/EngineDevice.h"

namespace game {

using namespace engine;

namespace {

// No: only this scene closes, and the menu below is revealed without moving.
bool answerNo(GQuitConfirmationScene& scene) {
    scene.closeScene(0, kNoName, makeNameId("NoTransTo"));
    return true;
}

}  // namespace

GQuitConfirmationScene::GQuitConfirmationScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                               bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

bool GQuitConfirmationScene::onSceneActivated(SceneActivatedEvent* event) {
    if (GBaseSceneNode::onSceneActivated(event)) return true;
    return event && event->getSecondScene() == this;
}

bool GQuitConfirmationScene::onNodePressed(NodePressedEvent* event) {
    if (GBaseSceneNode::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node) return false;
    if (node->getName() == makeNameId("YesButton")) {
        if (EngineDevice* engine = getEngine()) engine->closeDevice();
        return true;
    }
    if (node->getName() == makeNameId("NoButton")) return answerNo(*this);
    return false;
}

bool GQuitConfirmationScene::onEvent32(KeyUpEvent* event) {
    if (GBaseSceneNode::onEvent32(event)) return true;
    if (event && event->getKey() == KeyCode::Escape) return answerNo(*this);
    return false;
}

}  // namespace game
