#include "game/flow/GLevelCompletedScene.h"
#include "engine/visual/TextNode.h"
#include "game/level/GGameLevelScene.h"

namespace game {

using namespace engine;

GLevelCompletedScene::GLevelCompletedScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                           bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

GLevelCompletedScene::~GLevelCompletedScene() = default;

void GLevelCompletedScene::setLevelScene(GGameLevelScene*) {}
void GLevelCompletedScene::onLoaded() {}
bool GLevelCompletedScene::onSceneActivated(SceneActivatedEvent* event) {
    return GBaseSceneNode::onSceneActivated(event);
}
bool GLevelCompletedScene::onTimer(uint32_t periodMs) { return GBaseSceneNode::onTimer(periodMs); }
bool GLevelCompletedScene::onNodePressed(NodePressedEvent* event) { return GBaseSceneNode::onNodePressed(event); }
bool GLevelCompletedScene::onEvent32(KeyUpEvent* event) { return GBaseSceneNode::onEvent32(event); }
void GLevelCompletedScene::setUp() {}
void GLevelCompletedScene::continueAfterLevel() {}
int32_t GLevelCompletedScene::getLevelNumber() const { return 0; }
TextNode* GLevelCompletedScene::getText(const char*) const { return nullptr; }
BaseNode* GLevelCompletedScene::getNode(const char*) const { return nullptr; }
void GLevelCompletedScene::setLine(TextNode*, const char*, const stringw&) {}

}  // namespace game
