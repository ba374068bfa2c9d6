#pragma once
// The list of the current player's achievements on three tabs (all, earned,
// still open), each with its icon, name, description and progress, and how
// many are earned.
#include "game/common/GBaseSceneNode.h"

namespace engine {
class ListNode;
class TextNode;
}  // namespace engine

namespace game {

class AchievementsTracker;

// The progress column of an achievement not yet earned: counter "/" threshold,
// grouped by thousands, as money for the three money achievements.
engine::stringw achievementProgressText(const AchievementsTracker& tracker, int32_t index);

class GAchievementsScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GAchievementsScene, GBaseSceneNode, 1113)

public:
    GAchievementsScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                       bool mostDerived = true);

    // Binds "Scene" > "TabScene" > "Tab1".."Tab3" > "AchievementsList" and
    // "Scene" > "EarnedText", direct children at every step.
    void onLoaded() override;
    // Fills the lists from the game's tracker (without a game object, from
    // the current player's profile) when the scene comes to the top.
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    bool onEvent32(engine::KeyUpEvent* event) override;

    void fill(const AchievementsTracker& tracker);
    void close();

    engine::ListNode* getAllList() const { return allList_; }
    engine::ListNode* getEarnedList() const { return earnedList_; }
    engine::ListNode* getOpenList() const { return openList_; }
    engine::TextNode* getEarnedText() const { return earnedText_; }

private:
    engine::ListNode* allList_ = nullptr;
    engine::ListNode* earnedList_ = nullptr;
    engine::ListNode* openList_ = nullptr;
    engine::TextNode* earnedText_ = nullptr;
};

}  // namespace game
