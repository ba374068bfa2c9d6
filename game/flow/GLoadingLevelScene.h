#pragma once
// The scene between the menus and a level: behind a progress bar it loads the
// level's scene file in timed steps, tells a level from a mini-game, loads
// the HUD scene, starts the level and pushes the HUD (or the mini-game) above
// itself. It stays under the running level; revealed again (restart) it loads
// the same level anew.
#include "engine/core/RefCounted.h"
#include "game/common/GBaseSceneNode.h"

namespace game {

class GLoadingLevelScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GLoadingLevelScene, GBaseSceneNode, 1119)

public:
    enum Step { Idle = 0, Waiting = 1, LoadLevel = 2, IdentifyLevel = 3, LoadHud = 4, StartLevel = 5 };

    GLoadingLevelScene(const engine::CreationContext* context, engine::BaseNode* parent,
                       engine::BaseNode* manager, bool mostDerived = true);
    ~GLoadingLevelScene() override;

    // Binds "Scene"/"ProgressBg" and "Scene"/"Progress".
    void onLoaded() override;
    // Becoming the top scene (opened or revealed) stops the level's sounds and
    // restarts the steps with an empty bar.
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    // Runs one step; false when a step failed and the scene closed.
    bool onTimer(uint32_t periodMs) override;

    // The level's folder name under "levels/", set by the opener.
    void setLevelName(const engine::stringc& name) { levelName_ = name; }
    const engine::stringc& getLevelName() const { return levelName_; }
    // "levels/<name>/".
    engine::stringc getLevelFolder() const;

    // Moves the shown value towards the target and sizes the bar.
    void refreshProgress();

    int32_t getStep() const { return step_; }
    float getShownProgress() const { return shownProgress_; }
    float getTargetProgress() const { return targetProgress_; }
    engine::BaseNode* getProgressNode() const { return progress_; }

private:
    bool runStep();
    bool startMiniGame(const engine::stringc& folder);
    bool fail();

    engine::stringc levelName_;
    engine::BaseNode* progressBg_ = nullptr;
    engine::BaseNode* progress_ = nullptr;
    float shownProgress_ = 0.0f;
    float targetProgress_ = 0.0f;
    float progressMaximum_ = 100.0f;
    int32_t step_ = Idle;
    engine::CountedRef<engine::BaseNode> loadedLevel_;
    engine::CountedRef<engine::BaseNode> loadedHud_;
};

}  // namespace game
