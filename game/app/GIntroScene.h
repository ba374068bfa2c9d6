#pragma once
// The intro: loads what the menus and levels share in twelve steps spread
// over its timer calls, shows their progress on a bar, and opens the main
// menu once the bar is full. It stays on the stack below the menu and keeps
// the atlas and particle collections it loaded alive.
#include "engine/core/Content.h"
#include "game/common/GBaseSceneNode.h"
#include <vector>

namespace game {

class GIntroScene;

struct LoadingStep {
    bool (GIntroScene::*run)();
    float weight;
};

class GIntroScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GIntroScene, GBaseSceneNode, 1102)

public:
    static constexpr uint32_t kStepCount = 12;
    static const LoadingStep kLoadingSteps[kStepCount];

    GIntroScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                bool mostDerived = true);
    ~GIntroScene() override;

    // Binds "ProgressBg" and "Progress" below the direct child "Scene".
    void onLoaded() override;
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onSceneEvent37(engine::SceneTransitionEndEvent* event) override;
    bool onTimer(uint32_t periodMs) override;
    // Moves the shown weight on by 1/50 of the total towards the loaded
    // weight and sizes the bar to it.
    void updateProgressBar();

    // The loading steps.
    bool registerGameNodeKinds();
    bool loadSoundPack();
    bool loadBuildingsAtlas();
    bool loadEnvironmentAtlases();
    bool loadMiniGameAtlases();
    bool loadMainMenuAtlas();
    bool loadGameMenuAtlas();
    bool loadMenuAtlases();
    bool loadMenuTemplates();
    bool loadLevelTemplates();
    bool loadGameConfiguration();
    bool loadComicsConfiguration();

    float getShownWeight() const { return shownWeight_; }
    float getTargetWeight() const { return targetWeight_; }
    float getTotalWeight() const { return totalWeight_; }
    uint32_t getNextStep() const { return nextStep_; }
    size_t getHeldAtlasCount() const { return heldAtlases_.size(); }
    size_t getHeldParticleCollectionCount() const { return heldParticleCollections_.size(); }
    // Loaded everything and cannot open the main menu: the player waits here.
    bool isStuck() const { return menuFailureLogged_; }

private:
    void loadAtlases(std::initializer_list<const char*> paths);
    // The particle collection, then the template collection for the scene
    // manager; the collection, or null.
    engine::BaseNode* loadTemplates(const char* particles, const char* templates, int managerIndex);

    engine::BaseNode* progressBg_ = nullptr;  // children, not counted
    engine::BaseNode* progress_ = nullptr;
    float shownWeight_ = 0.0f;
    float targetWeight_ = 0.0f;
    float totalWeight_ = 0.0f;
    uint32_t nextStep_ = 0;
    uint32_t accumulatedMs_ = 0;
    std::vector<engine::CountedRef<engine::Content>> heldAtlases_;
    std::vector<engine::CountedRef<engine::Content>> heldParticleCollections_;
    bool menuFailureLogged_ = false;
};

}  // namespace game
