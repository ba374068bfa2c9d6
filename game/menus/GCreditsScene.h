#pragma once
// The credits, and the developers' statistics overlay. Everything the credits
// show (the scrolling text and the pictures) lives in the scene file and its
// node states; the class only closes the scene again.
#include "engine/core/RefCounted.h"
#include "game/common/GBaseSceneNode.h"

namespace engine {
class TextNode;
}  // namespace engine

namespace game {

class GCreditsScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GCreditsScene, GBaseSceneNode, 1114)

public:
    GCreditsScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                  bool mostDerived = true);

    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    // "BackButton" closes the scene; the menu below slides back in.
    bool onNodePressed(engine::NodePressedEvent* event) override;
    // Esc and Enter close it the same way.
    bool onEvent32(engine::KeyUpEvent* event) override;
};

// The overlay's three lines: frames per second, the last update step in
// milliseconds, and the quads drawn in the last frame (two triangles each).
engine::stringw debugStatsText(int32_t framesPerSecond, uint32_t lastStepMs, uint32_t primitivesDrawn);

// A scene file may hold it; no code opens it. It makes its own text in the
// top-left corner each time it comes to the top, and refreshes it on every
// step of its scheduler.
class GDebugStatsScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GDebugStatsScene, GBaseSceneNode, 1000)

public:
    GDebugStatsScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                     bool mostDerived = true);

    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onTimer(uint32_t periodMs) override;

    engine::TextNode* getStatsText() const { return statsText_.get(); }

private:
    engine::CountedRef<engine::TextNode> statsText_;
};

}  // namespace game
