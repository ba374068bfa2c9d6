// The HUD's counters: money, income, materials, workers, rating and stars,
// goals, the statistics, material and worker tabs, the clock with its hand
// and sector, the day bar and the level's hint window.
#include "engine/core/MathRoutines.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/Dictionary.h"
#include "engine/core/SceneManager.h"
#include "engine/controls/BaseProgressBarNode.h"
#include "engine/controls/CheckBoxNode.h"
#include "engine/controls/ListNode.h"
#include "engine/core/TextRoutines.h"
#include "engine/visual/TextNode.h"
#include "game/config/LevelConfig.h"
#include "game/hud/GGamePlayScene.h"
#include "game/hud/HudText.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/common/GeometryNodes.h"

#include <cmath>

namespace game {

using namespace engine;

namespace {

void setStars(const std::vector<BaseNode*>& stars, int32_t full) {
    for (size_t i = 0; i < stars.size(); ++i) {
        if (stars[i]) stars[i]->setState(makeNameId(static_cast<int32_t>(i) < full ? "Full" : "Empty"), nullptr);
    }
}

}  // namespace

bool GGamePlayScene::onLevelChanged(GLevelChangedEvent*) {
    if (!levelScene_) return true;
    setText(moneyText_, moneyText(engine::saturatingInt(levelScene_->money)));
    setText(incomeText_, moneyText(roundToInt(levelScene_->dailyIncome)));
    setText(materialsAmountText_, decimalText(engine::saturatingInt(levelScene_->materials)));
    stringw workers = decimalText(levelScene_->workers);
    workers += L"/";
    workers += decimalText(levelScene_->workersHired);
    setText(workersAmountText_, workers);
    refreshRating();
    refreshGoals();
    refreshPanels();
    if (hoveredBuilding_) {
        if ((incomeGuestsInfo_ && incomeGuestsInfo_->isVisible()) || (guestsInfo_ && guestsInfo_->isVisible())) {
            showBuildingTooltip(hoveredRecord_, hoveredBuilding_);
        }
        highlightBuilding(hoveredRecord_, hoveredBuilding_);
    }
    if (costTooltip_ && costTooltip_->isVisible()) {
        showCostTooltip(costTooltip_->getPosition(), tooltipTitle_, tooltipValues_[0], tooltipValues_[1],
                        tooltipValues_[2]);
    } else if (workersTooltip_ && workersTooltip_->isVisible()) {
        showWorkersTooltip(workersTooltip_->getPosition(), tooltipTitle_, tooltipValues_[1]);
    } else if (moneyTooltip_ && moneyTooltip_->isVisible()) {
        showMoneyTooltip(moneyTooltip_->getPosition(), tooltipTitle_, tooltipValues_[1] != 0, tooltipValues_[2]);
    }
    return true;
}

void GGamePlayScene::refreshRating() {
    GLevelConfig* level = getLevelConfig();
    if (!level) return;
    const int32_t n = levelScene_->ratingLevel();
    float base = 0.0f;
    for (int32_t i = 0; i <= n; ++i) base += static_cast<float>(level->ratingThreshold(i));
    const float next = static_cast<float>(level->ratingThreshold(n + 1));
    setText(guestsText_, formatText("GuestsSign", grouped(levelScene_->guests)));
    if (ratingBar_) {
        ratingBar_->setMaxValue(next);
        ratingBar_->setValue(levelScene_->rating - base);
    }
    setStars(menuStars_, n);
    setStars(statisticsStars_, n);
}

void GGamePlayScene::refreshGoals() {
    GLevelConfig* level = getLevelConfig();
    GObjectiveList* objectives = level ? level->objectives.get() : nullptr;
    if (!objectives) return;
    uint32_t shown = 0;
    for (uint32_t i = 0; i < objectives->size(); ++i) {
        GObjective* objective = objectives->at(i);
        const bool met = objective->isMet(levelScene_->stateView());
        if (i < menuGoals_.size() && menuGoals_[i]) {
            stringw text = objective->getText(true);
            if (!met) {
                text += L" (";
                text += objective->getProgressText(levelScene_->stateView());
                text += L")";
            }
            menuGoals_[i]->setText(text);
            menuGoals_[i]->setChecked(met);
            shown = i + 1;
        }
        if (i < statisticsGoals_.size() && statisticsGoals_[i]) statisticsGoals_[i]->setChecked(met);
    }
    // A progress text that grows or wraps moves the goals below it.
    stackGoals(menuGoals_, shown, 1.0f);
}

void GGamePlayScene::refreshStatisticsTab() {
    GLevelConfig* level = getLevelConfig();
    BaseNode* tab = tabs_[7];
    if (!tab || !level) return;
    setChildText(tab, "LevelText", formatText("GamePlay_LEVEL", level->name));
    setChildText(tab, "MoneyText", formatText("GamePlay_MONEY", grouped(engine::saturatingInt(levelScene_->money))));
    setChildText(tab, "IncomeText", formatText("GamePlay_INCOME", grouped(roundToInt(levelScene_->dailyIncome))));
    setChildText(tab, "GuestsText", formatText("GamePlay_GUESTS", grouped(levelScene_->guests)));
    setChildText(tab, "PossibleIncomeText",
                 formatText("GamePlay_POSSIBLE_INCOME", grouped(engine::saturatingInt(levelScene_->potentialIncome))));
    setChildText(tab, "PossibleGuestsText", formatText("GamePlay_POSSIBLE_GUESTS", grouped(levelScene_->potentialGuests)));
}

namespace {

// The progress and the offers of a delivery tab.
struct DeliveryTab {
    BaseNode* tab;
    BaseNode* progress;
    BaseNode* buttons;
    TextNode* hint;
    const char* listName;
    float totalTime;
    float countdown;
    stringw progressText;
    const char* hintKey;
    // The price of an offer: the one the order command charges.
    GGameLevelScene::CommandCost (GGameLevelScene::*cost)(const OrderOption*) const;
    bool groupedAmount;
};

// True when the tab still shows the hint of a delivery that has ended, which
// the caller then puts back to the tab's own hint.
bool refreshDelivery(const DeliveryTab& d, const GGameLevelScene& scene) {
    const float money = scene.money;
    const bool running = d.countdown >= 0.0f;
    bool stale = false;
    if (running) {
        d.progress->setVisible(true);
        if (BaseProgressBarNode* bar = childOf<BaseProgressBarNode>(d.progress, "ProgressBar")) {
            bar->setMaxValue(d.totalTime);
            bar->setValue(d.totalTime - d.countdown);
        }
        setChildText(d.progress, "Text", d.progressText);
        setText(d.hint, stringw(d.hintKey));
    } else {
        d.progress->setVisible(false);
        stale = d.hint && d.hint->getText() == stringw(d.hintKey);
    }
    ListNode* list = childOf<ListNode>(d.buttons, d.listName);
    if (!list) return stale;
    for (int32_t i = 0; i < list->getItemCount(); ++i) {
        OrderOption* offer = dynamic_cast<OrderOption*>(list->getItemData(i));
        if (!offer) continue;
        const float price = (scene.*d.cost)(offer).money;
        list->setItemEnabled(i, !running && money >= price);
        const int32_t amount = engine::saturatingInt(offer->amount);
        list->setItemText(i, 0, d.groupedAmount ? grouped(amount) : decimalText(amount));
        list->setItemText(i, 1, moneyText(engine::saturatingInt(price)));
    }
    list->updateElements();
    return stale;
}

}  // namespace

void GGamePlayScene::refreshMaterialsTab() {
    GLevelConfig* level = getLevelConfig();
    if (!tabs_[3] || !materialsProgress_ || !materialsButtons_ || !level) return;
    DeliveryTab tab{tabs_[3],
                    materialsProgress_,
                    materialsButtons_,
                    materialsHint_,
                    "BuyMaterialsList",
                    levelScene_->materialDeliveryTime,
                    levelScene_->materialCountdown,
                    formatText("InProgress_PBMaterials", grouped(roundToInt(levelScene_->materialsOrdered))),
                    "%InProgress_MaterialsHint%",
                    &GGameLevelScene::materialsOrderCost,
                    true};
    if (refreshDelivery(tab, *levelScene_)) showMaterialsHint(nullptr, false);
}

void GGamePlayScene::refreshWorkersTab() {
    GLevelConfig* level = getLevelConfig();
    if (!tabs_[4] || !workersProgress_ || !workersButtons_ || !level) return;
    const char* key = levelScene_->workersOrdered == 1 ? "InProgress_PBWorker" : "InProgress_PBWorkers";
    DeliveryTab tab{tabs_[4],
                    workersProgress_,
                    workersButtons_,
                    workersHint_,
                    "TrainWorkersList",
                    levelScene_->workerDeliveryTime,
                    levelScene_->workerCountdown,
                    formatText(key, grouped(levelScene_->workersOrdered)),
                    "%InProgress_WorkersHint%",
                    &GGameLevelScene::workersOrderCost,
                    false};
    if (refreshDelivery(tab, *levelScene_)) showWorkersHint(nullptr, false);
}

void GGamePlayScene::runClock() {
    GLevelConfig* level = getLevelConfig();
    if (!level || !longArrow_ || !level->isClockOn || !getCurrentDictionary()) return;
    const float total = levelScene_->totalTimeMs;
    float fraction = 0.0f;
    int32_t remaining = 0;
    if (level->levelTime > 0) {
        const float limit = static_cast<float>(level->levelTime) * 1000.0f;
        fraction = total / limit;
        if (fraction > 1.0f) fraction = 1.0f;
        remaining = engine::saturatingInt(std::floor(limit - total + 0.5f));
    }
    longArrow_->setRotation(vector3df(0, 0, fraction * 360.0f));
    setText(timeText_, formatMinutesSeconds(static_cast<uint32_t>(total)));
    if (SoundManager* sounds = getCurrentSoundManager()) {
        if (remaining >= 0 && remaining < 15000 && !almostEndPlaying_) {
            sounds->playCue(makeNameId("AlmostEnd"), false, 0);
            almostEndPlaying_ = true;
        } else if (remaining < 0 && almostEndPlaying_) {
            sounds->stopCue(makeNameId("AlmostEnd"), 0);
            sounds->playCue(makeNameId("TimeOver"), false, 0);
            almostEndPlaying_ = false;
        }
    } else if (remaining >= 0 && remaining < 15000) {
        almostEndPlaying_ = true;
    } else if (remaining < 0) {
        almostEndPlaying_ = false;
    }
    if (clockSector_) clockSector_->setAngle1(engine::saturatingInt(fraction * 360.0f));
}

void GGamePlayScene::runPanels() {
    GLevelConfig* level = getLevelConfig();
    if (!getCurrentDictionary()) return;
    if (dayBar_ && level) {
        dayBar_->setMaxValue(static_cast<float>(level->dayLength));
        dayBar_->setValue(levelScene_->dayClock);
    }
    GBuildingNode* selected = getSelectedBuilding();
    if (selected && (selected->getJobState() != GBuildingNode::kNoJob || selected->featureState(0) != 0 ||
                     selected->featureState(1) != 0)) {
        refreshBuildingTab();
    }
    if (levelScene_->materialCountdown >= 0.0f) refreshMaterialsTab();
    if (levelScene_->workerCountdown >= 0.0f) refreshWorkersTab();
}

void GGamePlayScene::runHintWindow(uint32_t periodMs) {
    GLevelConfig* level = getLevelConfig();
    if (tutorial_ || !hintWindow_ || !level || level->levelNumber <= 2) return;
    const stringw hint(levelScene_->hintText.c_str());
    if (!hint.empty()) {
        hintCountdownMs_ -= engine::saturatingInt(periodMs);
        if (hintCountdownMs_ > 0) return;
        if (hintWindow_->isVisible()) {
            hintCountdownMs_ = 30000;
            hintWindow_->setState(navFromName(), nullptr);
            return;
        }
        for (const stringw& shown : shownHints_) {
            if (shown == hint) return;
        }
        if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(makeNameId("TutorialWindow"), false, 0);
        hintCountdownMs_ = 10000;
        hintWindow_->setState(navToName(), nullptr);
        setChildText(hintWindow_, "Text", hint);
        shownHints_.push_back(hint);
    } else if (hintWindow_->isVisible()) {
        hintCountdownMs_ = 0;
        hintWindow_->setState(navFromName(), nullptr);
    }
}

}  // namespace game
