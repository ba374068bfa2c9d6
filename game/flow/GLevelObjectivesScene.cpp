#include "game/flow/GLevelObjectivesScene.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TextRoutines.h"
#include "engine/visual/TextNode.h"
#include "game/config/LevelConfig.h"
#include "game/flow/FlowTexts.h"
#include "game/flow/LevelStage.h"
#include "game/level/GGameLevelScene.h"

namespace game {

using namespace engine;

namespace {

constexpr int32_t kGamePlaySceneType = 1120;
constexpr uint32_t kMusicDelayMs = 2000;

}  // namespace

GLevelObjectivesScene::GLevelObjectivesScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                             bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
    setCloseOnEscapeOrEnter(true);
}

GLevelObjectivesScene::~GLevelObjectivesScene() = default;

void GLevelObjectivesScene::setLevelScene(GGameLevelScene* levelScene) {
    levelScene_ = CountedRef<GGameLevelScene>::share(levelScene);
}

void GLevelObjectivesScene::onLoaded() {
    levelText_ = welcomeText_ = infoText_ = expertTimeText_ = expertScoreText_ = scoreText_ = nullptr;
    clock_ = goldStar_ = silverStar_ = nullptr;
    BaseNode* scene = findChild(makeNameId("Scene"), 1);
    if (!scene) return;
    auto text = [scene](const char* name) { return nodeCast<TextNode>(scene->findChild(makeNameId(name), 1)); };
    levelText_ = text("LevelText");
    welcomeText_ = text("WelcomeText");
    infoText_ = text("InfoText");
    clock_ = scene->findChild(makeNameId("Clock"), 1);
    expertTimeText_ = text("ExpertTimeText");
    goldStar_ = scene->findChild(makeNameId("GStar"), 1);
    expertScoreText_ = text("ExpertScoreText");
    silverStar_ = scene->findChild(makeNameId("SStar"), 1);
    scoreText_ = text("ScoreText");
}

void GLevelObjectivesScene::fillTexts() {
    playCue("ObjectivesWindow");
    const GLevelConfig* level = levelScene_ ? levelScene_->levelConfig : nullptr;
    if (!level) return;
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    const int32_t levelIndex = player ? player->getInt("LevelIndex") : 0;
    if (levelText_) levelText_->setText(formatKey("GamePlay_LEVEL", level->name));
    if (welcomeText_) {
        welcomeText_->setVisible(levelIndex == 0);
        if (levelIndex == 0) {
            welcomeText_->setText(formatKey("MainMenu_WelcomeTxt", player ? player->getPlayerName() : stringw()));
        }
    }
    if (infoText_) infoText_->setText(level->description);
    const uint32_t expertTimeMs = level->levelTime > 0 ? static_cast<uint32_t>(level->levelTime) * 1000u : 0u;
    if (expertTimeText_) expertTimeText_->setText(formatTarget("Obj_ExpertTimeTxt", formatMinutesSeconds(expertTimeMs)));
    if (expertScoreText_) {
        expertScoreText_->setText(formatTarget("Obj_ExpertScoreTxt", formatWithSeparator(level->expertScore, L',')));
    }
    if (scoreText_) scoreText_->setText(formatTarget("Obj_ScoreTxt", formatWithSeparator(level->score, L',')));
    if (levelIndex < 3) {
        // The first levels have no clock and one target: the expert score.
        for (BaseNode* node : {clock_, static_cast<BaseNode*>(expertTimeText_), silverStar_,
                               static_cast<BaseNode*>(scoreText_)}) {
            if (node) node->setVisible(false);
        }
    }
}

bool GLevelObjectivesScene::onSceneActivated(SceneActivatedEvent* event) {
    const bool handled = GBaseSceneNode::onSceneActivated(event);
    if (!event || event->getSecondScene() != this) return handled;
    fillTexts();
    return true;
}

bool GLevelObjectivesScene::onNodePressed(NodePressedEvent* event) {
    if (GBaseSceneNode::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node || node->getName() != makeNameId("OkButton")) return false;
    closeScene(0, navBackFromName(), navBackToName());
    return true;
}

bool GLevelObjectivesScene::onTimer(uint32_t periodMs) {
    GBaseSceneNode::onTimer(periodMs);
    if (elapsedMs_ < kMusicDelayMs) return true;
    SceneNode* below = getSceneBelow();
    LevelStage* stage = below && below->isOfType(kGamePlaySceneType) ? dynamic_cast<LevelStage*>(below) : nullptr;
    if (stage) {
        if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(stage->getMusicCue(), true, 0);
    }
    return true;
}

}  // namespace game
