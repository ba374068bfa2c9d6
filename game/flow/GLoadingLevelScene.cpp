#include "game/flow/GLoadingLevelScene.h"
#include "engine/audio/SoundManager.h"
#include "engine/core/ContentProblems.h"
#include "engine/core/ContentType.h"
#include "engine/core/IContentManager.h"
#include "engine/core/Logger.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TextRoutines.h"
#include "game/flow/LevelStage.h"
#include "game/flow/MiniGameStage.h"
#include "game/level/GGameLevelScene.h"

namespace game {

using namespace engine;

namespace {

constexpr int32_t kGameLevelSceneType = 1138;
constexpr int32_t kGamePlaySceneType = 1120;
constexpr int32_t kLevelSoundGroup = 2;
constexpr uint32_t kWaitMs = 500;
const char* const kHudScene = "scenes/GamePlayScene.oscn";

}  // namespace

GLoadingLevelScene::GLoadingLevelScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                       bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

GLoadingLevelScene::~GLoadingLevelScene() = default;

stringc GLoadingLevelScene::getLevelFolder() const { return "levels/" + levelName_ + "/"; }

void GLoadingLevelScene::onLoaded() {
    progressBg_ = nullptr;
    progress_ = nullptr;
    BaseNode* scene = findChild(makeNameId("Scene"), 1);
    if (!scene) return;
    progressBg_ = scene->findChild(makeNameId("ProgressBg"), 1);
    progress_ = scene->findChild(makeNameId("Progress"), 1);
}

bool GLoadingLevelScene::onSceneActivated(SceneActivatedEvent* event) {
    GBaseSceneNode::onSceneActivated(event);
    if (!event) return false;
    if (event->getSecondScene() == this) {
        // Opened, or revealed by a restart: the level's sounds stop and the
        // level loads from its files again.
        if (SoundManager* sounds = getCurrentSoundManager()) sounds->stopGroup(kLevelSoundGroup);
        targetProgress_ = 0.0f;
        step_ = Waiting;
        refreshProgress();
        return true;
    }
    return event->getFirstScene() == this;
}

void GLoadingLevelScene::refreshProgress() {
    if (progressMaximum_ == 0.0f || shownProgress_ == targetProgress_) return;
    shownProgress_ += progressMaximum_;
    if (shownProgress_ >= targetProgress_) shownProgress_ = targetProgress_;
    if (!progressBg_ || !progress_) return;
    const vector3df& full = progressBg_->getBounds();
    progress_->setBounds(vector3df(full.X * shownProgress_ / progressMaximum_, full.Y, progress_->getBounds().Z));
    progress_->updateAbsoluteTransform();
}

bool GLoadingLevelScene::onTimer(uint32_t periodMs) {
    GBaseSceneNode::onTimer(periodMs);
    const bool keep = runStep();
    refreshProgress();
    return keep;
}

bool GLoadingLevelScene::runStep() {
    const stringc folder = getLevelFolder();
    switch (step_) {
    case Waiting:
        if (elapsedMs_ > kWaitMs) {
            step_ = LoadLevel;
            targetProgress_ = 10.0f;
        }
        return true;
    case LoadLevel: {
        IContentManager* content = getContentManager();
        Content* loaded = !levelName_.empty() && content
                              ? content->load(ContentType::SceneNode, folder + "Level.oscn", true)
                              : nullptr;
        BaseNode* level = dynamic_cast<BaseNode*>(loaded);
        if (!level) {
            if (loaded) loaded->release();
            // Without a level there is nothing to wait for: back to where the
            // player came from.
            getLogger().log("Unable to load level scene", folder.c_str(), LOG_ERROR);
            reportContentProblem(std::string(folder.c_str()) + "Level.oscn");
            return fail();
        }
        loadedLevel_.reset(level);
        targetProgress_ = 50.0f;
        step_ = IdentifyLevel;
        return true;
    }
    case IdentifyLevel:
        if (loadedLevel_ && loadedLevel_->isOfType(MiniGameStage::kMiniGameSceneType)) return startMiniGame(folder);
        if (!loadedLevel_ || !loadedLevel_->isOfType(kGameLevelSceneType)) {
            getLogger().log("Unable to identify level scene", folder.c_str(), LOG_ERROR);
            reportContentProblem(std::string(folder.c_str()) + "Level.oscn");
            loadedLevel_.reset();
            return fail();
        }
        step_ = LoadHud;
        targetProgress_ = 60.0f;
        return true;
    case LoadHud: {
        IContentManager* content = getContentManager();
        Content* loaded = content ? content->load(ContentType::SceneNode, kHudScene, true) : nullptr;
        BaseNode* hud = dynamic_cast<BaseNode*>(loaded);
        if (!hud || !hud->isOfType(kGamePlaySceneType)) {
            if (loaded) loaded->release();
            getLogger().log(hud ? "Unable to identify GamePlayScene.oscn" : "Unable to load GamePlayScene.oscn",
                            folder.c_str(), LOG_ERROR);
            reportContentProblem(kHudScene);
            loadedLevel_.reset();
            return fail();
        }
        loadedHud_.reset(hud);
        targetProgress_ = 80.0f;
        step_ = StartLevel;
        return true;
    }
    case StartLevel: {
        CountedRef<BaseNode> level = loadedLevel_;
        CountedRef<BaseNode> hud = loadedHud_;
        loadedLevel_.reset();
        loadedHud_.reset();
        step_ = Idle;
        bool started = false;
        if (level && hud && level->isOfType(kGameLevelSceneType)) {
            LevelStage* stage = dynamic_cast<LevelStage*>(hud.get());
            SceneNode* stageScene = dynamic_cast<SceneNode*>(hud.get());
            started = stage && stageScene &&
                      stage->startLevel(folder, static_cast<GGameLevelScene*>(level.get())) &&
                      pushScene(stageScene, false, navFromName(), navToName());
        }
        if (!started) {
            getLogger().log("Unable to start the level", folder.c_str(), LOG_ERROR);
            return fail();
        }
        targetProgress_ = 100.0f;
        return true;
    }
    default:
        return true;
    }
}

bool GLoadingLevelScene::startMiniGame(const stringc& folder) {
    // A mini-game reads its own configuration and runs without the HUD, above
    // this scene.
    CountedRef<BaseNode> level = loadedLevel_;
    loadedLevel_.reset();
    step_ = Idle;
    MiniGameStage* stage = dynamic_cast<MiniGameStage*>(level.get());
    SceneNode* scene = dynamic_cast<SceneNode*>(level.get());
    if (stage) stage->loadConfiguration(folder);
    if (!stage || !scene || !pushScene(scene, true, navFromName(), navToName())) {
        getLogger().log("Unable to start the mini-game", folder.c_str(), LOG_ERROR);
        return fail();
    }
    targetProgress_ = 100.0f;
    return true;
}

bool GLoadingLevelScene::fail() {
    step_ = Idle;
    closeScene(0, navBackFromName(), navBackToName());
    return false;
}

}  // namespace game
