#include "game/flow/GAchievementUnlockedScene.h"
#include "engine/core/ContentType.h"
#include "engine/core/IContentManager.h"
#include "engine/core/SceneManager.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/common/GameServices.h"
#include "game/common/AchievementsTracker.h"

namespace game {

using namespace engine;

GAchievementUnlockedScene::GAchievementUnlockedScene(const CreationContext* context, BaseNode* parent,
                                                     BaseNode* manager, bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
    setCloseOnEscapeOrEnter(true);
}

void GAchievementUnlockedScene::onLoaded() {
    image_ = nullptr;
    name_ = nullptr;
    description_ = nullptr;
    BaseNode* scene = findChild(makeNameId("Scene"), 1);
    if (!scene) return;
    image_ = nodeCast<SpriteNode>(scene->findChild(makeNameId("AchImage"), 1));
    name_ = nodeCast<TextNode>(scene->findChild(makeNameId("AchName"), 1));
    description_ = nodeCast<TextNode>(scene->findChild(makeNameId("AchDesc"), 1));
}

void GAchievementUnlockedScene::showAchievement(int32_t index) {
    // The names are the same for every tracker; the game's own is used when there is one.
    AchievementsTracker names;
    const AchievementsTracker& tracker =
        gameServices() && gameServices()->getAchievementsTracker() ? *gameServices()->getAchievementsTracker() : names;
    if (image_) {
        IContentManager* content = getContentManager();
        Content* loaded = content ? content->load(ContentType::AtlasTexture,
                                                  tracker.getIconPath(index), true)
                                  : nullptr;
        image_->setAtlasTexture(dynamic_cast<AtlasTextureContent*>(loaded));
        if (loaded) loaded->release();
    }
    if (name_) name_->setText(tracker.getNameKey(index));
    if (description_) description_->setText(tracker.getDescriptionAfterKey(index));
}

bool GAchievementUnlockedScene::onSceneActivated(SceneActivatedEvent* event) {
    if (GBaseSceneNode::onSceneActivated(event)) return true;
    return event && event->getSecondScene() == this;
}

bool GAchievementUnlockedScene::onNodePressed(NodePressedEvent* event) {
    if (GBaseSceneNode::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node || node->getName() != makeNameId("OkButton")) return false;
    closeScene(0, navBackFromName(), navBackToName());
    return true;
}

}  // namespace game
