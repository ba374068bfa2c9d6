#include "game/flow/GLoadingLevelScene.h"
#include "engine/audio/SoundManager.h"
#include "engine/core/Logger.h"
#include "engine/core/TextRoutines.h"

namespace game {

using namespace engine;

GLoadingLevelScene::GLoadingLevelScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                       bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

GLoadingLevelScene::~GLoadingLevelScene() = default;

stringc GLoadingLevelScene::getLevelFolder() const { return "levels/" + levelName_ + "/"; }

void GLoadingLevelScene::onLoaded() {
    progressBg_ = nullptr;
    progress_ = nullptr;
    BaseNode* scene = findChild(makeNameId("Scene"), 1);
    if (!scene) return;
    progressBg_ = scene->findChild(makeNameId("ProgressBg"), 1);
    progress_ = scene->findChild(makeNameId("Progress"), 1);
}

bool GLoadingLevelScene::onSceneActivated(SceneActivatedEvent* event) {
    GBaseSceneNode::onSceneActivated(event);
    return event && (event->getSecondScene() == this || event->getFirstScene() == this);
}

void GLoadingLevelScene::refreshProgress() {}

bool GLoadingLevelScene::onTimer(uint32_t periodMs) {
    GBaseSceneNode::onTimer(periodMs);
    return true;
}

bool GLoadingLevelScene::runStep() { return true; }

bool GLoadingLevelScene::fail() { return false; }

}  // namespace game
