#include "game/menus/GMiniCompletedScene.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TextRoutines.h"
#include "engine/core/TimerScheduler.h"
#include "engine/visual/TextNode.h"
#include "game/common/GameServices.h"
#include "game/flow/FlowTexts.h"

#include <algorithm>

namespace game {

using namespace engine;

namespace {

// The share of the final values counted up per second.
constexpr float kCountRate = 0.75f;

}  // namespace

GMiniCompletedScene::GMiniCompletedScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                         bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

GMiniCompletedScene::~GMiniCompletedScene() = default;

void GMiniCompletedScene::setResults(int32_t maxTime, int32_t elapsedTime, int32_t scoreGain) {
    maxTime_ = maxTime;
    elapsedTime_ = elapsedTime;
    scoreGain_ = scoreGain;
}

void GMiniCompletedScene::onLoaded() {
    timeNode_ = scoreNode_ = nullptr;
    timeText_ = scoreText_ = doneText_ = nullptr;
    BaseNode* scene = findChild(makeNameId("Scene"), 1);
    if (!scene) return;
    timeNode_ = scene->findChild(makeNameId("TimeNode"), 1);
    timeText_ = timeNode_ ? nodeCast<TextNode>(timeNode_->findChild(makeNameId("Text"), 1)) : nullptr;
    scoreNode_ = scene->findChild(makeNameId("ScoreNode"), 1);
    scoreText_ = scoreNode_ ? nodeCast<TextNode>(scoreNode_->findChild(makeNameId("Text"), 1)) : nullptr;
    doneText_ = nodeCast<TextNode>(scene->findChild(makeNameId("DoneText"), 1));
}

void GMiniCompletedScene::showLines() {
    const int32_t time = std::max(saturatingInt(shownTime_), 0);
    if (timeText_) {
        timeText_->setText(formatTarget("LevelCompleted_TimeTxt", formatMinutesSeconds(static_cast<uint32_t>(time))));
    }
    if (scoreText_) {
        scoreText_->setText(formatTarget("LevelCompleted_ScoreTxt", formatWithSeparator(saturatingInt(shownScore_), L',')));
    }
}

bool GMiniCompletedScene::onSceneActivated(SceneActivatedEvent* event) {
    const bool handled = GBaseSceneNode::onSceneActivated(event);
    if (!event || event->getSecondScene() != this) return handled;
    playCue("AchievementUnlocked");
    left_ = false;
    shownTime_ = 0.0f;
    shownScore_ = 0.0f;
    phase_ = Waiting;
    phaseTime_ = 0;
    // A time or gain below zero (a damaged profile) counts nothing.
    targetTime_ = std::max(elapsedTime_, 0);
    targetScore_ = std::max(scoreGain_, 0);
    showLines();
    if (doneText_) {
        ProfileParameters* player = getProfileStore().getCurrentProfile();
        doneText_->setText(formatKey("LevelCompleted_Done", player ? player->getPlayerName() : stringw()));
    }
    return true;
}

bool GMiniCompletedScene::onTimer(uint32_t periodMs) {
    GBaseSceneNode::onTimer(periodMs);
    phaseTime_ = saturatingAdd(phaseTime_, saturatingInt(static_cast<double>(periodMs)));
    if (phase_ == Waiting) {
        if (phaseTime_ >= kWaitMs) {
            phase_ = Counting;
            phaseTime_ = 0;
        }
    } else if (phase_ == Counting) {
        const float seconds = static_cast<float>(periodMs) / 1000.0f;
        shownTime_ = std::min(shownTime_ + static_cast<float>(targetTime_) * kCountRate * seconds,
                              static_cast<float>(targetTime_));
        shownScore_ = std::min(shownScore_ + static_cast<float>(targetScore_) * kCountRate * seconds,
                               static_cast<float>(targetScore_));
        showLines();
        if (shownTime_ >= static_cast<float>(targetTime_) && shownScore_ >= static_cast<float>(targetScore_)) {
            phase_ = Finished;
            phaseTime_ = 0;
        }
    }
    return true;
}

bool GMiniCompletedScene::onNodePressed(NodePressedEvent* event) {
    if (GBaseSceneNode::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node || node->getName() != makeNameId("OkButton")) return false;
    leave();
    return true;
}

bool GMiniCompletedScene::onEvent32(KeyUpEvent* event) {
    if (GBaseSceneNode::onEvent32(event)) return true;
    if (!event || (event->getKey() != KeyCode::Escape && event->getKey() != KeyCode::Enter)) return false;
    leave();
    return true;
}

void GMiniCompletedScene::leave() {
    // A second OK while the scenes close would close the ones revealed.
    if (left_) return;
    left_ = true;
    if (GameServices* services = gameServices()) {
        if (SceneManager* level = services->getSceneManager(1)) level->setScene(nullptr);
        if (TimerScheduler* levelTime = services->getTimerScheduler(1)) levelTime->setEnabled(true);
    }
    // The results, the mini-game and the loading scene; with fewer scenes
    // below (a mini-game opened on its own) as many as leave one to show.
    for (int32_t extra = 2; extra >= 0; --extra) {
        if (closeScene(extra, navBackFromName(), navBackToName())) return;
    }
    getLogger().log("The mini-game results scene cannot close", "", LOG_ERROR);
}

}  // namespace game
