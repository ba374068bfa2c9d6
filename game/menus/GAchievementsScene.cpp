#include "game/menus/GAchievementsScene.h"
#include "engine/content/ProfileStore.h"
#include "engine/controls/ListNode.h"
#include "engine/core/ContentType.h"
#include "engine/core/IContentManager.h"
#include "engine/core/KeyCodes.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/TextNode.h"
#include "game/common/GameServices.h"
#include "game/hud/HudText.h"
#include "game/common/AchievementsTracker.h"

#include <vector>

namespace game {

using namespace engine;

namespace {

bool isMoneyAchievement(int32_t index) { return index >= 7 && index <= 9; }

bool earned(const AchievementsTracker& tracker, int32_t index) {
    return tracker.getProgress(index) >= tracker.getThreshold(index);
}

}  // namespace

stringw achievementProgressText(const AchievementsTracker& tracker, int32_t index) {
    const auto number = [&](int32_t value) { return isMoneyAchievement(index) ? moneyText(value) : grouped(value); };
    stringw text = number(tracker.getProgress(index));
    text += L"/";
    text += number(tracker.getThreshold(index));
    return text;
}

GAchievementsScene::GAchievementsScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                       bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

void GAchievementsScene::onLoaded() {
    allList_ = earnedList_ = openList_ = nullptr;
    earnedText_ = nullptr;
    BaseNode* scene = child(this, "Scene");
    if (!scene) return;
    earnedText_ = childOf<TextNode>(scene, "EarnedText");
    BaseNode* tabs = child(scene, "TabScene");
    allList_ = childOf<ListNode>(child(tabs, "Tab1"), "AchievementsList");
    earnedList_ = childOf<ListNode>(child(tabs, "Tab2"), "AchievementsList");
    openList_ = childOf<ListNode>(child(tabs, "Tab3"), "AchievementsList");
}

void GAchievementsScene::fill(const AchievementsTracker& tracker) {
    IContentManager* content = getContentManager();
    // Each icon is loaded once and shared by the lists that show it.
    std::vector<CountedRef<Content>> icons;
    for (int32_t i = 0; i < AchievementsTracker::kCount; ++i) {
        Content* loaded = content ? content->load(ContentType::AtlasTexture, tracker.getIconPath(i), true) : nullptr;
        icons.push_back(CountedRef<Content>(loaded));
    }
    const auto icon = [&](int32_t i) { return dynamic_cast<AtlasTextureContent*>(icons[static_cast<size_t>(i)].get()); };
    const auto addOpen = [&](ListNode& list, int32_t item, int32_t i) {
        list.setItemText(item, 0, tracker.getNameKey(i));
        list.setItemText(item, 1, tracker.getDescriptionBeforeKey(i));
        list.setItemText(item, 2, achievementProgressText(tracker, i));
        list.setItemImage(item, 0, icon(i));
    };

    if (allList_) {
        allList_->setItemCount(AchievementsTracker::kCount);
        for (int32_t i = 0; i < AchievementsTracker::kCount; ++i) {
            if (!earned(tracker, i)) {
                addOpen(*allList_, i, i);
                continue;
            }
            allList_->setItemText(i, 0, tracker.getNameKey(i));
            allList_->setItemText(i, 1, tracker.getDescriptionAfterKey(i));
            allList_->setItemText(i, 2, L"%Achievements_AlreadyEarned%");
            allList_->setItemImage(i, 0, icon(i));
        }
        allList_->updateElements();
    }
    if (earnedList_) {
        int32_t count = 0;
        for (int32_t i = 0; i < AchievementsTracker::kCount; ++i) count += earned(tracker, i) ? 1 : 0;
        earnedList_->setItemCount(count);
        int32_t item = 0;
        for (int32_t i = 0; i < AchievementsTracker::kCount; ++i) {
            if (!earned(tracker, i)) continue;
            earnedList_->setItemText(item, 0, tracker.getNameKey(i));
            earnedList_->setItemText(item, 1, stringw(L"\n") + tracker.getDescriptionAfterKey(i));
            earnedList_->setItemText(item, 2, stringw());
            earnedList_->setItemImage(item, 0, icon(i));
            ++item;
        }
        earnedList_->updateElements();
        if (earnedText_) {
            stringw text = decimalText(count);
            text += L"/";
            text += decimalText(AchievementsTracker::kCount);
            earnedText_->setText(text);
        }
    }
    if (openList_) {
        int32_t count = 0;
        for (int32_t i = 0; i < AchievementsTracker::kCount; ++i) count += earned(tracker, i) ? 0 : 1;
        openList_->setItemCount(count);
        int32_t item = 0;
        for (int32_t i = 0; i < AchievementsTracker::kCount; ++i) {
            if (!earned(tracker, i)) addOpen(*openList_, item++, i);
        }
        openList_->updateElements();
    }
}

bool GAchievementsScene::onSceneActivated(SceneActivatedEvent* event) {
    GBaseSceneNode::onSceneActivated(event);
    if (!event || event->getSecondScene() != this) return false;
    AchievementsTracker* gameTracker = gameServices() ? gameServices()->getAchievementsTracker() : nullptr;
    if (gameTracker) {
        fill(*gameTracker);
    } else {
        AchievementsTracker tracker;
        if (ProfileParameters* player = getProfileStore().getCurrentProfile())
            tracker.load(player->getString("AchievementsProgress"));
        fill(tracker);
    }
    return true;
}

void GAchievementsScene::close() { closeScene(0, kNoName, makeNameId("NavBackToSlide")); }

bool GAchievementsScene::onNodePressed(NodePressedEvent* event) {
    if (GBaseSceneNode::onNodePressed(event)) return true;
    if (!named(event ? event->getNode() : nullptr, "BackButton")) return false;
    close();
    return true;
}

bool GAchievementsScene::onEvent32(KeyUpEvent* event) {
    if (GBaseSceneNode::onEvent32(event)) return true;
    if (!event || (event->getKey() != KeyCode::Escape && event->getKey() != KeyCode::Enter)) return false;
    close();
    return true;
}

}  // namespace game
