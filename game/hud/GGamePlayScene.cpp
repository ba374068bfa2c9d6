// The HUD's structure: its bound nodes, the build, material and worker lists,
// the goals lists and the build-tab buttons it fills when it becomes active.
#include "game/hud/GGamePlayScene.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/Dictionary.h"
#include "engine/controls/BaseProgressBarNode.h"
#include "engine/controls/ButtonNode.h"
#include "engine/controls/CheckBoxNode.h"
#include "engine/controls/ListNode.h"
#include "engine/controls/TabSceneNode.h"
#include "engine/core/Logger.h"
#include "engine/core/SceneManager.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/TextNode.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/hud/HudText.h"
#include "game/common/GameServices.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/common/GeometryNodes.h"
#include "game/tutorial/GTutorial.h"

#include <algorithm>
#include <string>

namespace game {

using namespace engine;

namespace {

const BuildListEntry kHotels[] = {
    {"Camping1", "Camping"},       {"Hostel1", "Hostel"},   {"GuestHouse1", "GuestHouse"},
    {"BusinessHotel1", "BusinessHotel"}, {"HotelN51", "HotelN5"}, {"HotelN61", "HotelN6"},
};
const BuildListEntry kFactories[] = {
    {"TruckStation", "TruckStation"},
    {"REAgency", "REAgency"},
    {"PRAgency", "PRAgency"},
};
const BuildListEntry kJoys[] = {
    {"Cafe", "Cafe"},     {"CityMall", "CityMall"}, {"AquaPark", "AquaPark"},
    {"Statue", "Statue"}, {"Garden", "Garden"},     {"Memorial", "Memorial"},
};

template <class E, bool (GGamePlayScene::*Handler)(E*)>
bool call(GGamePlayScene& scene, Event* event) {
    return (scene.*Handler)(dynamic_cast<E*>(event));
}

}  // namespace

const BuildListEntry* buildListEntries(int32_t kind, int32_t& count) {
    switch (kind) {
        case GGamePlayScene::kHotelsKind:
            count = static_cast<int32_t>(sizeof(kHotels) / sizeof(kHotels[0]));
            return kHotels;
        case GGamePlayScene::kFactoriesKind:
            count = static_cast<int32_t>(sizeof(kFactories) / sizeof(kFactories[0]));
            return kFactories;
        case GGamePlayScene::kJoysKind:
            count = static_cast<int32_t>(sizeof(kJoys) / sizeof(kJoys[0]));
            return kJoys;
        default:
            count = 0;
            return nullptr;
    }
}

stringc buildListLockImage(const BuildListEntry& entry) {
    return stringc("scenes/images/GameMenu/Buttons/") + entry.lockName + "ButtonLock.png";
}

const EventMap<GGamePlayScene>& GGamePlayScene::getEventMap() {
    using S = GGamePlayScene;
    static const EventMap<GGamePlayScene> map(
        GBaseSceneNode::getEventMap(),
        {
            {EventId::GLevelCompletedEvent, &call<GLevelCompletedEvent, &S::onLevelCompletedEvent>},
            {EventId::GNewDayEvent, &call<GNewDayEvent, &S::onNewDay>},
            {EventId::GBuildingSelectionEvent, &call<GBuildingSelectionEvent, &S::onBuildingSelection>},
            {EventId::GLevelChangedEvent, &call<GLevelChangedEvent, &S::onLevelChanged>},
            {EventId::GBuildingCompletedEvent, &call<GBuildingCompletedEvent, &S::onBuildingCompleted>},
            {EventId::GIncomeEvent, &call<GIncomeEvent, &S::onIncome>},
            {EventId::GTaskStepEvent, &call<GTaskStepEvent, &S::onTaskStep>},
        });
    return map;
}

GGamePlayScene::GGamePlayScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    setPeriod(20);
    addToMask(EventCategory::Game);
    linkToParent(parent, mostDerived);
}

GGamePlayScene::~GGamePlayScene() {
    dropTutorial();
    levelScene_ = nullptr;
    if (SoundManager* sounds = getCurrentSoundManager()) sounds->stopCue(makeNameId("AlmostEnd"), 0);
}

void GGamePlayScene::clearBindings() {
    internalScene_ = gameMenu_ = nullptr;
    moneyText_ = incomeText_ = guestsText_ = timeText_ = targetTimeText_ = nullptr;
    dayBar_ = ratingBar_ = nullptr;
    ratingNode_ = timeNode_ = longArrow_ = nullptr;
    clockSector_ = nullptr;
    menuStars_.clear();
    statisticsStars_.clear();
    menuGoals_.clear();
    statisticsGoals_.clear();
    actionsTabs_ = nullptr;
    for (BaseNode*& tab : tabs_) tab = nullptr;
    hotelsList_ = factoriesList_ = joysList_ = nullptr;
    materialsProgress_ = materialsButtons_ = workersButtons_ = workersProgress_ = nullptr;
    materialsHint_ = workersHint_ = buildingProgressHint_ = buildingHint_ = nullptr;
    buildingProgress_ = nullptr;
    materialsAmountText_ = workersAmountText_ = nullptr;
    incomeGuestsInfo_ = guestsInfo_ = costTooltip_ = workersTooltip_ = moneyTooltip_ = featureTooltip_ = nullptr;
    stopTooltip_ = nullptr;
}

void GGamePlayScene::onLoaded() {
    clearBindings();
    internalScene_ = child(this, "InternalGamePlayScene");
    gameMenu_ = child(internalScene_, "GameMenu");
    if (!gameMenu_) return;
    if (BaseNode* money = child(gameMenu_, "MoneyNode")) {
        moneyText_ = childOf<TextNode>(money, "MoneyText");
        incomeText_ = childOf<TextNode>(money, "IncomeText");
        dayBar_ = childOf<BaseProgressBarNode>(money, "ProgressBar");
    }
    ratingNode_ = child(gameMenu_, "RatingNode");
    if (ratingNode_) {
        guestsText_ = childOf<TextNode>(ratingNode_, "ProgressBarText");
        ratingBar_ = childOf<BaseProgressBarNode>(ratingNode_, "ProgressBar");
        for (int n = 1; n <= 6; ++n) menuStars_.push_back(child(ratingNode_, ("Star" + std::to_string(n)).c_str()));
    }
    timeNode_ = child(gameMenu_, "TimeNode");
    if (timeNode_) {
        clockSector_ = childOf<GEllipseSectorNode>(timeNode_, "Ellipse");
        timeText_ = childOf<TextNode>(timeNode_, "TimeText");
        targetTimeText_ = childOf<TextNode>(timeNode_, "TargetTimeText");
        longArrow_ = child(timeNode_, "LongArrow");
    }
    if (BaseNode* goals = child(gameMenu_, "GoalsNode")) {
        for (uint32_t i = 0; i < goals->getChildCount(); ++i) {
            if (CheckBoxNode* box = nodeCast<CheckBoxNode>(goals->getChild(i))) menuGoals_.push_back(box);
        }
    }
    actionsTabs_ = childOf<TabSceneNode>(gameMenu_, "ActionsTabScene");
    if (actionsTabs_) bindTabs(actionsTabs_);
    materialsAmountText_ = childOf<TextNode>(gameMenu_, "MaterialsAmountTabText");
    workersAmountText_ = childOf<TextNode>(gameMenu_, "WorkersAmountTabText");
    incomeGuestsInfo_ = child(gameMenu_, "IncomeGuestsInfoNode");
    guestsInfo_ = child(gameMenu_, "GuestsInfoNode");
    costTooltip_ = child(gameMenu_, "MaterialsWorkersTooltipNode");
    workersTooltip_ = child(gameMenu_, "WorkersInfoNode");
    moneyTooltip_ = child(gameMenu_, "MoneyInfoNode");
    featureTooltip_ = child(gameMenu_, "FeatureInfoNode");
    stopTooltip_ = child(gameMenu_, "StopInfoNode");
}

void GGamePlayScene::bindTabs(BaseNode* tabScene) {
    for (int i = 0; i < kTabCount; ++i) tabs_[i] = child(tabScene, ("Tab" + std::to_string(i + 1)).c_str());
    hotelsList_ = childOf<ListNode>(tabs_[0], "HotelsBuildList");
    joysList_ = childOf<ListNode>(tabs_[2], "JoysBuildList");
    factoriesList_ = childOf<ListNode>(tabs_[1], "FactoriesBuildList");
    materialsProgress_ = child(tabs_[3], "ProgressNode");
    materialsButtons_ = child(tabs_[3], "ButtonsNode");
    materialsHint_ = childOf<TextNode>(tabs_[3], "HintText");
    workersButtons_ = child(tabs_[4], "ButtonsNode");
    workersProgress_ = child(tabs_[4], "ProgressNode");
    workersHint_ = childOf<TextNode>(tabs_[4], "HintText");
    buildingProgress_ = childOf<ControlNode>(tabs_[5], "ProgressNode");
    if (buildingProgress_) buildingProgressHint_ = childOf<TextNode>(buildingProgress_, "HintText");
    buildingHint_ = childOf<TextNode>(tabs_[5], "HintText");
    if (BaseNode* statistics = tabs_[7]) {
        if (BaseNode* rating = child(statistics, "RatingNode")) {
            for (int n = 1; n <= 6; ++n) statisticsStars_.push_back(child(rating, ("Star" + std::to_string(n)).c_str()));
        }
        if (BaseNode* goals = child(statistics, "GoalsNode")) {
            for (int n = 1; n <= 4; ++n) {
                statisticsGoals_.push_back(childOf<CheckBoxNode>(goals, ("Goal" + std::to_string(n)).c_str()));
            }
        }
    }
}

ListNode* GGamePlayScene::getBuildList(int32_t kind) const {
    switch (kind) {
        case kHotelsKind: return hotelsList_;
        case kFactoriesKind: return factoriesList_;
        case kJoysKind: return joysList_;
        default: return nullptr;
    }
}

GBuildingNode* GGamePlayScene::getSelectedBuilding() const {
    return levelScene_ ? levelScene_->selectedBuilding() : nullptr;
}

GLevelConfig* GGamePlayScene::getLevelConfig() const { return levelScene_ ? levelScene_->levelConfig : nullptr; }

void GGamePlayScene::showControl(BaseNode* control, bool show) {
    if (!control) return;
    control->setVisible(show);
    if (ControlNode* asControl = nodeCast<ControlNode>(control)) asControl->setEnabled(show);
}

void GGamePlayScene::switchTab(int32_t index) {
    if (actionsTabs_) actionsTabs_->switchTab(index, false);
}

void GGamePlayScene::fillHotelsList() { fillBuildList(kHotelsKind); }
void GGamePlayScene::fillJoysList() { fillBuildList(kJoysKind); }
void GGamePlayScene::fillFactoriesList() { fillBuildList(kFactoriesKind); }

void GGamePlayScene::fillBuildList(int32_t kind) {
    static const int32_t kTabOfKind[] = {0, 1, 2};
    ListNode* list = getBuildList(kind);
    GLevelConfig* level = getLevelConfig();
    LevelAvailability* availability = levelScene_ ? levelScene_->availability : nullptr;
    BuildingsConfiguration* buildings = gameBuildings();
    if (!levelScene_ || !tabs_[kTabOfKind[kind]] || !list || !level || !availability || !buildings) return;
    int32_t count = 0;
    const BuildListEntry* entries = buildListEntries(kind, count);
    list->setItemCount(count);
    for (int32_t i = 0; i < count && i < list->getItemCount(); ++i) {
        const NameId type = makeNameId(entries[i].typeName);
        GBuildingConfig* record = buildings->find(type);
        if (!record) continue;
        if (availability->isBuildingAvailable(type)) {
            list->setItemTemplate(i, record->ButtonTemplate);
            list->setItemData(i, record);
            list->setItemEnabled(i, true);
            continue;
        }
        CountedRef<AtlasTextureContent> lock(loadAtlasTexture(getContentManager(), buildListLockImage(entries[i]), true));
        list->setItemImage(i, 0, lock.get());
        list->setItemTemplate(i, kNoName);
        list->setItemData(i, nullptr);
        list->setItemEnabled(i, false);
    }
    list->updateElements();
    showBuildingTabHint(nullptr);
}

namespace {

void fillOffers(ListNode* list, const std::vector<CountedRef<OrderOption>>& offers, const char* templatePrefix) {
    list->setItemCount(static_cast<int32_t>(offers.size()));
    for (int32_t i = 0; i < static_cast<int32_t>(offers.size()); ++i) {
        list->setItemData(i, offers[i].get());
        const int32_t number = i < 5 ? i + 1 : 5;
        list->setItemTemplate(i, makeNameId((std::string(templatePrefix) + std::to_string(number)).c_str()));
    }
    list->updateElements();
}

}  // namespace

void GGamePlayScene::fillMaterialsList() {
    GLevelConfig* level = getLevelConfig();
    if (!tabs_[3] || !materialsProgress_ || !materialsButtons_ || !level || !getCurrentDictionary()) return;
    if (ListNode* list = childOf<ListNode>(materialsButtons_, "BuyMaterialsList")) {
        fillOffers(list, level->materialOrderOptions, "Game_MaterialsButton");
    }
    showMaterialsHint(nullptr, false);
}

void GGamePlayScene::fillWorkersList() {
    GLevelConfig* level = getLevelConfig();
    if (!tabs_[4] || !workersProgress_ || !workersButtons_ || !level || !getCurrentDictionary()) return;
    if (ListNode* list = childOf<ListNode>(workersButtons_, "TrainWorkersList")) {
        fillOffers(list, level->workerOrderOptions, "Game_WorkersButton");
    }
    showWorkersHint(nullptr, false);
}

void GGamePlayScene::setUpGoals() {
    GLevelConfig* level = getLevelConfig();
    if (!level) return;
    layoutGoals(menuGoals_, level->objectives.get(), true);
    layoutGoals(statisticsGoals_, level->objectives.get(), false);
}

void GGamePlayScene::layoutGoals(const std::vector<CheckBoxNode*>& goals, GObjectiveList* objectives,
                                 bool withProgress) {
    const uint32_t objectiveCount = objectives ? objectives->size() : 0;
    size_t j = 0;
    for (; j < objectiveCount && j < goals.size(); ++j) {
        CheckBoxNode* box = goals[j];
        if (!box) continue;
        GObjective* objective = objectives->at(static_cast<uint32_t>(j));
        box->setVisible(true);
        stringw text = objective->getText(true);
        if (withProgress && levelScene_) {
            text += L" (";
            text += objective->getProgressText(levelScene_->stateView());
            text += L")";
        }
        box->setText(text);
    }
    stackGoals(goals, j, withProgress ? 1.0f : 4.0f);
    for (; j < goals.size(); ++j) {
        if (goals[j]) goals[j]->setVisible(false);
    }
}

void GGamePlayScene::stackGoals(const std::vector<CheckBoxNode*>& goals, size_t count, float gap) {
    float y = 0.0f;
    float bottom = 0.0f;
    float top = 0.0f;
    BaseNode* panel = nullptr;
    bool first = true;
    for (size_t j = 0; j < count && j < goals.size(); ++j) {
        CheckBoxNode* box = goals[j];
        ControlNode* root = box ? box->getTemplateRoot() : nullptr;
        if (!root) continue;
        TextNode* textNode = childOf<TextNode>(root, "Text");
        const vector3df position = box->getPosition();
        if (first) {
            y = top = position.Y;
            panel = box->getParent();
            first = false;
        } else {
            box->setPosition(vector3df(position.X, y, position.Z));
        }
        // A one-line goal is as tall as its text box (which the check box
        // matches); a wrapped one as its lines.
        float height = 0.0f;
        if (textNode) {
            height = textNode->getPosition().Y + std::max(textNode->getBounds().Y, textNode->getTextHeight());
        }
        bottom = y + height;
        y = bottom + gap;
    }
    if (!panel || first) return;
    // The panel keeps the margin above the first goal below the last one
    // too. A drawn panel (with its "Bg") fits its goals; a bare one only
    // grows to hold them.
    const float height = bottom + top;
    BaseNode* bg = child(panel, "Bg");
    const vector3df bounds = panel->getBounds();
    if (!bg && height <= bounds.Y) return;
    panel->setBounds(vector3df(bounds.X, height, bounds.Z));
    if (bg) {
        const vector3df bgBounds = bg->getBounds();
        bg->setBounds(vector3df(bgBounds.X, height, bgBounds.Z));
    }
}

void GGamePlayScene::refreshBuildTabButtons() {
    LevelAvailability* availability = levelScene_ ? levelScene_->availability : nullptr;
    if (!tabs_[9] || !getLevelConfig() || !availability) return;
    const struct {
        const char* button;
        const char* type;
    } buttons[] = {{"HotelsButton", "Camping1"}, {"JoysButton", "Cafe"}, {"FactoriesButton", "TruckStation"}};
    for (const auto& entry : buttons) {
        if (ControlNode* button = childOf<ControlNode>(tabs_[9], entry.button)) {
            button->setEnabled(availability->isBuildingAvailable(makeNameId(entry.type)));
        }
    }
}

void GGamePlayScene::dropTutorial() {
    if (!tutorial_) return;
    GTutorial* tutorial = tutorial_.get();
    removeListener(tutorial);
    if (levelScene_) {
        levelScene_->removeListener(tutorial);
        for (GBuildingNode* building : levelScene_->buildings) {
            if (building) building->removeListener(tutorial);
        }
    }
    if (actionsTabs_) actionsTabs_->removeListener(tutorial);
    tutorial->stop();
    tutorial_ = nullptr;
}

}  // namespace game
