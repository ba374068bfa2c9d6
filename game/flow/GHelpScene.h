#pragma once
// Help pages in a tab scene with Back and Next buttons, opened from the
// in-game menu and the HUD.
#include "game/common/GBaseSceneNode.h"

namespace engine {
class ButtonNode;
class TabSceneNode;
}  // namespace engine

namespace game {

class GHelpScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GHelpScene, GBaseSceneNode, 1115)

public:
    GHelpScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
               bool mostDerived = true);

    // Binds "Scene"/"TabScene", "Scene"/"BackButton" and "Scene"/"NextButton".
    void onLoaded() override;
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;

    engine::TabSceneNode* getTabScene() const { return tabScene_; }
    engine::ButtonNode* getBackButton() const { return backButton_; }
    engine::ButtonNode* getNextButton() const { return nextButton_; }

private:
    engine::TabSceneNode* tabScene_ = nullptr;
    engine::ButtonNode* backButton_ = nullptr;
    engine::ButtonNode* nextButton_ = nullptr;
};

}  // namespace game
