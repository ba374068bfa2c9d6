#pragma once
// The first scene: shows the logos of the logos list one after another, each
// for its own time (a click ends a skippable one), then opens the intro. When
// it becomes active it loads the dictionary and sets the window caption.
#include "game/common/GBaseSceneNode.h"

namespace engine {
class SpriteNode;
}

namespace game {

class GLogosScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GLogosScene, GBaseSceneNode, 1101)

public:
    GLogosScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                bool mostDerived = true);

    // Binds the sprites "Logo1" and "Logo2" below the direct child "Scene".
    void onLoaded() override;
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onSceneEvent37(engine::SceneTransitionEndEvent* event) override;
    // A left click goes to onMouseDown and no further.
    bool routeToChildren(int32_t mode, engine::Event* event) override;
    virtual bool onMouseDown(engine::LeftButtonDownEvent* event);
    bool onTimer(uint32_t periodMs) override;

    // Loads the dictionary and makes its "TitleName" the window caption.
    void applyTitle();
    // Swaps in the next logo of the list, or starts the closing phase.
    void showNextLogo();

    int32_t getTimeLeftMs() const { return timeLeftMs_; }
    bool isSkippable() const { return skippable_; }
    bool isFinished() const { return finished_; }

private:
    bool skippable_ = false;
    int32_t timeLeftMs_ = 0;
    engine::SpriteNode* logoSprites_[2] = {nullptr, nullptr};  // children, not counted
    bool finished_ = false;
    bool introFailureLogged_ = false;
};

}  // namespace game
