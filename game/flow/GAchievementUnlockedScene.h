#pragma once
// The pop-up announcing an achievement just earned: its icon, name and the
// text of what was done. OK, Esc or Enter close it.
#include "game/common/GBaseSceneNode.h"

namespace engine {
class SpriteNode;
class TextNode;
}  // namespace engine

namespace game {

class GAchievementUnlockedScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GAchievementUnlockedScene, GBaseSceneNode, 1122)

public:
    GAchievementUnlockedScene(const engine::CreationContext* context, engine::BaseNode* parent,
                              engine::BaseNode* manager, bool mostDerived = true);

    // Binds "Scene"/"AchImage", "Scene"/"AchName" and "Scene"/"AchDesc".
    void onLoaded() override;
    // Fills the pop-up for the achievement (0 to 11).
    void showAchievement(int32_t index);
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;

    engine::SpriteNode* getImage() const { return image_; }
    engine::TextNode* getNameText() const { return name_; }
    engine::TextNode* getDescriptionText() const { return description_; }

private:
    engine::SpriteNode* image_ = nullptr;
    engine::TextNode* name_ = nullptr;
    engine::TextNode* description_ = nullptr;
};

}  // namespace game
