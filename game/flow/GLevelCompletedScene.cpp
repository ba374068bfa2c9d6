#include "game/flow/GLevelCompletedScene.h"
#include "engine/core/MathRoutines.h"
#include "engine/content/ProfileStore.h"
#include "engine/audio/SoundManager.h"
#include "engine/core/Logger.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TextRoutines.h"
#include "engine/visual/TextNode.h"
#include "game/common/GameServices.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelScores.h"
#include "game/flow/FlowTexts.h"
#include "game/flow/GInGameMenuScene.h"
#include "game/level/GGameLevelScene.h"

#include <algorithm>

namespace game {

using namespace engine;

namespace {

constexpr int32_t kLoadingLevelSceneType = 1119;
constexpr int32_t kMainMenuSceneType = 1103;
constexpr int32_t kMapSceneType = 1116;
constexpr int32_t kLastLevel = 35;
constexpr uint32_t kFanfareMs = 2000;
constexpr uint32_t kMusicMs = 5000;
constexpr int32_t kShortWaitMs = 100;
// The share of the final values counted up per second.
constexpr float kCountRate = 0.75f;

stringw minutesSeconds(int32_t ms) { return formatMinutesSeconds(static_cast<uint32_t>(std::max(ms, 0))); }

stringw grouped(int32_t value) { return formatWithSeparator(value, L','); }

}  // namespace

GLevelCompletedScene::GLevelCompletedScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                           bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

GLevelCompletedScene::~GLevelCompletedScene() = default;

void GLevelCompletedScene::setLevelScene(GGameLevelScene* levelScene) {
    levelScene_ = CountedRef<GGameLevelScene>::share(levelScene);
}

void GLevelCompletedScene::onLoaded() {
    expertTimeNode_ = timeNode_ = timeScoreNode_ = expertScoreNode_ = scoreNode_ = nullptr;
    expertTimeText_ = timeText_ = timeScoreText_ = expertScoreText_ = scoreText_ = doneText_ = nullptr;
    BaseNode* scene = findChild(makeNameId("Scene"), 1);
    if (!scene) return;
    auto bind = [scene](const char* name, BaseNode*& node, TextNode*& text) {
        node = scene->findChild(makeNameId(name), 1);
        text = node ? nodeCast<TextNode>(node->findChild(makeNameId("Text"), 1)) : nullptr;
    };
    bind("ExpertTimeNode", expertTimeNode_, expertTimeText_);
    bind("TimeNode", timeNode_, timeText_);
    bind("TimeScoreNode", timeScoreNode_, timeScoreText_);
    bind("ExpertScoreNode", expertScoreNode_, expertScoreText_);
    bind("ScoreNode", scoreNode_, scoreText_);
    doneText_ = nodeCast<TextNode>(scene->findChild(makeNameId("DoneText"), 1));
}

BaseNode* GLevelCompletedScene::getNode(const char* node) const {
    const stringc name(node);
    if (name == "ExpertTimeNode") return expertTimeNode_;
    if (name == "TimeNode") return timeNode_;
    if (name == "TimeScoreNode") return timeScoreNode_;
    if (name == "ExpertScoreNode") return expertScoreNode_;
    if (name == "ScoreNode") return scoreNode_;
    return nullptr;
}

TextNode* GLevelCompletedScene::getText(const char* node) const {
    BaseNode* parent = getNode(node);
    return parent ? nodeCast<TextNode>(parent->findChild(makeNameId("Text"), 1)) : nullptr;
}

int32_t GLevelCompletedScene::getLevelNumber() const {
    const GLevelConfig* level = levelScene_ ? levelScene_->levelConfig : nullptr;
    return level ? level->levelNumber : -1;
}

void GLevelCompletedScene::setLine(TextNode* text, const char* key, const stringw& value) {
    if (text) text->setText(formatTarget(key, value));
}

void GLevelCompletedScene::setUp() {
    countPhase_ = ShortWait;
    musicRestarted_ = false;
    phaseMs_ = 0;
    const GLevelConfig* level = levelScene_ ? levelScene_->levelConfig : nullptr;
    const float playTime = levelScene_ ? levelScene_->totalTimeMs : 0.0f;
    const float score = levelScene_ ? levelScene_->scoreGained : 0.0f;
    shownTime_ = playTime;
    targetTime_ = engine::saturatingInt(playTime);
    shownScore_ = 0.0f;
    targetScore_ = engine::saturatingInt(score);
    const int32_t recordScore = level ? level->score : 0;
    const int32_t completion = static_cast<float>(recordScore) <= score ? recordScore : 0;
    const int32_t bonus = std::max(engine::saturatingInt(score - static_cast<float>(completion)), 0);
    setLine(timeScoreText_, "LevelCompleted_ComplScoreTxt", grouped(completion));
    setLine(expertScoreText_, "LevelCompleted_BonusScoreTxt", grouped(bonus));
    setLine(scoreText_, "LevelCompleted_ScoreTxt", grouped(engine::saturatingInt(shownScore_)));
    setLine(expertTimeText_, "LevelCompleted_ExpertTimeTxt", minutesSeconds(level ? level->levelTime * 1000 : 0));
    setLine(timeText_, "LevelCompleted_TimeTxt", minutesSeconds(engine::saturatingInt(shownTime_)));
    const int32_t number = getLevelNumber();
    auto place = [](BaseNode* node, float x, float y) {
        if (node) node->setPosition(vector3df(x, y, 1.0f));
    };
    auto hide = [](BaseNode* node) {
        if (node) node->setVisible(false);
    };
    if (number <= 3) {
        hide(expertTimeNode_);
        hide(timeNode_);
        place(timeScoreNode_, 81, 126);
        place(expertScoreNode_, 81, 162);
        place(scoreNode_, 81, 283);
    } else if (number == kLastLevel) {
        hide(timeScoreNode_);
        hide(expertScoreNode_);
        hide(scoreNode_);
        place(expertTimeNode_, 80, 145);
        place(timeNode_, 80, 283);
    }
    if (doneText_) {
        ProfileParameters* player = getProfileStore().getCurrentProfile();
        doneText_->setText(formatKey("LevelCompleted_Done", player ? player->getPlayerName() : stringw()));
    }
}

bool GLevelCompletedScene::onSceneActivated(SceneActivatedEvent* event) {
    const bool handled = GBaseSceneNode::onSceneActivated(event);
    if (!event || event->getSecondScene() != this) return handled;
    setUp();
    return true;
}

bool GLevelCompletedScene::onTimer(uint32_t periodMs) {
    GBaseSceneNode::onTimer(periodMs);
    if (elapsedMs_ > kFanfareMs && !fanfarePlayed_) {
        fanfarePlayed_ = true;
        playCue("AchievementUnlocked");
    }
    if (elapsedMs_ > kMusicMs && !musicRestarted_) {
        musicRestarted_ = true;
        if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(makeNameId("MenuMusic"), true, 0);
    }
    phaseMs_ += engine::saturatingInt(periodMs);
    if (countPhase_ == ShortWait && phaseMs_ >= kShortWaitMs) {
        countPhase_ = Counting;
        phaseMs_ = 0;
    } else if (countPhase_ == Counting) {
        const float seconds = static_cast<float>(periodMs) * 0.001f;
        shownTime_ = std::min(shownTime_ + seconds * static_cast<float>(targetTime_) * kCountRate,
                              static_cast<float>(targetTime_));
        shownScore_ = std::min(shownScore_ + seconds * static_cast<float>(targetScore_) * kCountRate,
                               static_cast<float>(targetScore_));
        const int32_t number = getLevelNumber();
        if (number != kLastLevel) {
            setLine(scoreText_, "LevelCompleted_ScoreTxt", grouped(engine::saturatingInt(shownScore_)));
        }
        if (number > 3) setLine(timeText_, "LevelCompleted_TimeTxt", minutesSeconds(engine::saturatingInt(shownTime_)));
        if (shownTime_ >= static_cast<float>(targetTime_) && shownScore_ >= static_cast<float>(targetScore_)) {
            countPhase_ = Idle;
            phaseMs_ = 0;
        }
    }
    return true;
}

bool GLevelCompletedScene::onNodePressed(NodePressedEvent* event) {
    if (GBaseSceneNode::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node || node->getName() != makeNameId("OkButton")) return false;
    continueAfterLevel();
    return true;
}

bool GLevelCompletedScene::onEvent32(KeyUpEvent* event) {
    if (GBaseSceneNode::onEvent32(event)) return true;
    if (!event || (event->getKey() != KeyCode::Escape && event->getKey() != KeyCode::Enter)) return false;
    continueAfterLevel();
    return true;
}

void GLevelCompletedScene::continueAfterLevel() {
    tearDownLevel();
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    const int32_t maxUnlocked = player ? player->getInt("MaxUnlockedLevelIndex") : -1;
    const int32_t levelIndex = player ? player->getInt("LevelIndex") : -1;
    const bool comicsDue = player && levelIndex >= maxUnlocked;
    if (getLevelNumber() == kLastLevel && player && player->getBool("ShowFinalCredits")) {
        player->setBool("ShowFinalCredits", false);
        player->save();
        // The main menu plays its closing credits when revealed by this scene.
        closeToSceneType(kMainMenuSceneType, navBackFromName(), navBackToName());
        return;
    }
    // Back to the scene the level was started from: the one below the
    // loading scene, however many pop-ups lie above it.
    SceneNode* loading = getSceneBelow();
    while (loading && !loading->isOfType(kLoadingLevelSceneType)) loading = loading->getSceneBelow();
    SceneNode* revealed = loading ? loading->getSceneBelow() : nullptr;
    SceneManager* manager = getSceneManager();
    if (!manager || !revealed) {
        getLogger().log("No scene to return to after the level", "", LOG_ERROR);
        closeScene(0, navBackFromName(), navBackToName());
        return;
    }
    CountedRef<SceneManager> keep = CountedRef<SceneManager>::share(manager);
    manager->popScenes(this, revealed, navBackFromName(), navBackToName());
    // A level started from the main menu goes on to the map; one started from
    // the map returns to it.
    if (!revealed->isOfType(kMapSceneType)) {
        openSceneOrLog(*this, "scenes/MapScene.oscn", false, navFromName(), navToName());
    }
    ComicsConfiguration* comics = gameServices() ? gameServices()->getComicsConfiguration() : nullptr;
    const GComic* comic = comicsDue && comics ? comics->find(levelIndex) : nullptr;
    if (comic && !comic->ScenePath.empty()) {
        openSceneOrLog(*this, comic->ScenePath.c_str(), false, navFromName(), navToName());
    }
}

}  // namespace game
