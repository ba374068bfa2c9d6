#pragma once
// The pause menu over a running level: resume, restart, options, help, back
// to the main menu, and quit.
#include "game/common/GBaseSceneNode.h"

namespace game {

// Discards the running level: the level scene manager's stack is emptied and
// its timer scheduler enabled again. Nothing without the game object.
void tearDownLevel();

class GInGameMenuScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GInGameMenuScene, GBaseSceneNode, 1125)

public:
    GInGameMenuScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                     bool mostDerived = true);

    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onSceneEvent37(engine::SceneTransitionEndEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
};

}  // namespace game
