#include "game/flow/GInGameMenuScene.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TimerScheduler.h"
#include "game/common/GameServices.h"

namespace game {

using namespace engine;

namespace {

constexpr int32_t kMainMenuSceneType = 1103;

}  // namespace

void tearDownLevel() {
    if (!gameServices()) return;
    if (SceneManager* levels = gameServices()->getSceneManager(1)) levels->setScene(nullptr);
    if (TimerScheduler* scheduler = gameServices()->getTimerScheduler(1)) scheduler->setEnabled(true);
}

GInGameMenuScene::GInGameMenuScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                   bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
    setCloseOnEscapeOrEnter(true);
}

bool GInGameMenuScene::onSceneActivated(SceneActivatedEvent* event) {
    if (GBaseSceneNode::onSceneActivated(event)) return true;
    return event && event->getSecondScene() == this;
}

bool GInGameMenuScene::onSceneEvent37(SceneTransitionEndEvent* event) {
    if (GBaseSceneNode::onSceneEvent37(event)) return true;
    return event && event->getSecondScene() == this;
}

bool GInGameMenuScene::onNodePressed(NodePressedEvent* event) {
    if (GBaseSceneNode::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node) return false;
    const NameId name = node->getName();
    if (name == makeNameId("ResumeButton")) {
        closeScene(0, navBackFromName(), navBackToName());
    } else if (name == makeNameId("RestartButton")) {
        // The loading scene below the HUD is revealed and loads the level anew.
        tearDownLevel();
        closeScene(1, navBackFromName(), navBackToName());
    } else if (name == makeNameId("OptionsButton")) {
        openSceneOrLog(*this, "scenes/OptionsScene.oscn", true, navFromName(), navToName());
    } else if (name == makeNameId("HelpButton")) {
        openSceneOrLog(*this, "scenes/HelpScene.oscn", true, navFromName(), navToName());
    } else if (name == makeNameId("MainMenuButton")) {
        tearDownLevel();
        closeToSceneType(kMainMenuSceneType, navBackFromName(), navBackToName());
    } else if (name == makeNameId("ExitGameButton")) {
        openSceneOrLog(*this, "scenes/QuitConfirmationScene.oscn", true, makeNameId("NoTransTo"), navToName());
    } else {
        return false;
    }
    return true;
}

}  // namespace game
