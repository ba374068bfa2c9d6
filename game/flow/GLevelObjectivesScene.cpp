#include "game/flow/GLevelObjectivesScene.h"
#include "engine/visual/TextNode.h"
#include "game/level/GGameLevelScene.h"

namespace game {

using namespace engine;

GLevelObjectivesScene::GLevelObjectivesScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                             bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
    setCloseOnEscapeOrEnter(true);
}

GLevelObjectivesScene::~GLevelObjectivesScene() = default;

void GLevelObjectivesScene::setLevelScene(GGameLevelScene*) {}

void GLevelObjectivesScene::onLoaded() {}

bool GLevelObjectivesScene::onSceneActivated(SceneActivatedEvent* event) {
    return GBaseSceneNode::onSceneActivated(event);
}

bool GLevelObjectivesScene::onNodePressed(NodePressedEvent* event) { return GBaseSceneNode::onNodePressed(event); }

bool GLevelObjectivesScene::onTimer(uint32_t periodMs) { return GBaseSceneNode::onTimer(periodMs); }

void GLevelObjectivesScene::fillTexts() {}

}  // namespace game
