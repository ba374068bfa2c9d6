#include "game/flow/GHelpScene.h"
#include "engine/controls/ButtonNode.h"
#include "engine/controls/TabSceneNode.h"
#include "engine/core/SceneManager.h"

namespace game {

using namespace engine;

GHelpScene::GHelpScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
    setCloseOnEscapeOrEnter(true);
}

void GHelpScene::onLoaded() {
    tabScene_ = nullptr;
    backButton_ = nullptr;
    nextButton_ = nullptr;
    BaseNode* scene = findChild(makeNameId("Scene"), 1);
    if (!scene) return;
    tabScene_ = nodeCast<TabSceneNode>(scene->findChild(makeNameId("TabScene"), 1));
    backButton_ = nodeCast<ButtonNode>(scene->findChild(makeNameId("BackButton"), 1));
    nextButton_ = nodeCast<ButtonNode>(scene->findChild(makeNameId("NextButton"), 1));
}

bool GHelpScene::onSceneActivated(SceneActivatedEvent* event) {
    if (GBaseSceneNode::onSceneActivated(event)) return true;
    if (!event || event->getSecondScene() != this) return false;
    if (backButton_) backButton_->setEnabled(false);
    return true;
}

bool GHelpScene::onNodePressed(NodePressedEvent* event) {
    if (GBaseSceneNode::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (node && node->getName() == makeNameId("CloseButton")) {
        closeScene(0, navBackFromName(), navBackToName());
        return true;
    }
    if (!tabScene_) return false;
    const int32_t page = tabScene_->getActiveTabIndex();
    const int32_t pages = tabScene_->getTabsCount();
    if (node && node == backButton_ && page > 0) tabScene_->switchTab(page - 1, false);
    if (node && node == nextButton_ && page + 1 < pages) tabScene_->switchTab(page + 1, false);
    // The buttons follow the page the press leads to.
    const int32_t shown = tabScene_->getActiveTabIndex();
    if (backButton_) backButton_->setEnabled(shown > 0);
    if (nextButton_) nextButton_->setEnabled(shown + 1 < pages);
    return false;
}

}  // namespace game
