#pragma once
// Asks whether the player really wants to leave the game: Yes closes the
// engine device, No (or Esc) closes the question and reveals the menu below
// without a transition.
#include "game/common/GBaseSceneNode.h"

namespace game {

class GQuitConfirmationScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GQuitConfirmationScene, GBaseSceneNode, 1126)

public:
    GQuitConfirmationScene(const engine::CreationContext* context, engine::BaseNode* parent,
                           engine::BaseNode* manager, bool mostDerived = true);

    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    bool onEvent32(engine::KeyUpEvent* event) override;
};

}  // namespace game
