// The action tabs that follow the selected building, their buttons and lists,
// and the level commands behind them.
#include "engine/content/ProfileStore.h"
#include "engine/core/SceneManager.h"
#include "engine/controls/BaseProgressBarNode.h"
#include "engine/controls/ButtonNode.h"
#include "engine/controls/ListNode.h"
#include "engine/controls/TabSceneNode.h"
#include "engine/core/Logger.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/hud/GGamePlayScene.h"
#include "game/hud/HudText.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/level/tasks/GServiceTasks.h"
#include "game/tutorial/GTutorial.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace game {

using namespace engine;

namespace {

// The job a player may cancel: construction, destruction and repair-like
// jobs, but not a bus visit, whose cancel would do nothing.
bool canAbort(const GBuildingNode* building) {
    if (!building) return false;
    const int32_t job = building->getJobState();
    if (job == GBuildingNode::kConstructionJob || job == GBuildingNode::kDestructionJob) return true;
    return job == GBuildingNode::kMaintenanceJob && !dynamic_cast<const GBusVisitTask*>(building->getJob());
}

// The area of the building tab's buttons, and the space between two.
constexpr float kButtonsLeft = 564.0f;
constexpr float kButtonsRight = 1012.0f;
constexpr float kButtonsGap = 8.0f;

// Whole seconds, rounded up, so that a wait shows "1 s" to its end.
stringw secondsText(int32_t ms) { return decimalText((std::max(ms, 0) + 999) / 1000); }

// Sets the caption of a HUD button: a ButtonNode's own text (which its
// template's "Text" shows), or the "Text" of a plain control's template.
void setCaption(ControlNode* button, const stringw& text) {
    if (!button) return;
    if (ButtonNode* asButton = nodeCast<ButtonNode>(button)) {
        asButton->setText(text);
    } else if (TextNode* caption = childOf<TextNode>(button->getTemplateRoot(), "Text")) {
        caption->setText(text);
    }
}

}  // namespace

// ---- Selection ---------------------------------------------------------------------

bool GGamePlayScene::onBuildingSelection(GBuildingSelectionEvent* event) {
    if (event) handleSelection(event->getSelected(), event->getPrevious());
    return true;
}

void GGamePlayScene::handleSelection(GBuildingNode* selected, GBuildingNode* previous) {
    if (previous) previous->stopStateSound();
    if (selected && selected != previous) selected->playStateSound();
    if (actionsTabs_) {
        GBuildingConfig* record = selected ? selected->getRecord() : nullptr;
        if (!record) {
            switchTab(7);
        } else if (!selected->isOwnedByThePlayer()) {
            switchTab(6);
            refreshBuyTab();
            showBuyTabHint(nullptr);
        } else if (selected->isForSale() && selected->isBuyRequestPending()) {
            switchTab(8);
            refreshSellOfferTab();
            showSellOfferHint(nullptr);
        } else if (record->Level == 0 && selected->getJobState() == GBuildingNode::kNoJob) {
            switchTab(9);
            refreshBuildingPlaceTab();
            showBuildingPlaceHint(nullptr);
        } else {
            switchTab(5);
            refreshBuildingTab();
            showBuildingTabHint(nullptr);
        }
    }
    highlightBuilding(hoveredRecord_, hoveredBuilding_);
}

// ---- Tabs -----------------------------------------------------------------------------

void GGamePlayScene::refreshPanels() {
    refreshBuildList(kHotelsKind);
    refreshBuildList(kJoysKind);
    refreshBuildList(kFactoriesKind);
    refreshMaterialsTab();
    refreshWorkersTab();
    refreshBuildingTab();
    refreshBuyTab();
    refreshSellOfferTab();
    refreshStatisticsTab();
}

void GGamePlayScene::refreshBuildList(int32_t kind) {
    GLevelConfig* level = getLevelConfig();
    ListNode* list = getBuildList(kind);
    if (!level || !list) return;
    for (int32_t i = 0; i < list->getItemCount(); ++i) {
        GBuildingConfig* record = dynamic_cast<GBuildingConfig*>(list->getItemData(i));
        if (!record) continue;
        bool enabled = levelScene_->canAfford(record);
        if (record->Type == 1) enabled = enabled && levelScene_->countBuildingsOfType(record->Name) == 0;
        list->setItemEnabled(i, enabled);
    }
    list->updateElements();
}

void GGamePlayScene::refreshBuildingPlaceTab() {
    GBuildingNode* building = getSelectedBuilding();
    GLevelConfig* level = getLevelConfig();
    BaseNode* tab = tabs_[9];
    if (!tab || !level || !building) return;
    if (ControlNode* sell = childOf<ControlNode>(tab, "SellButton")) {
        sell->setTemplateName(makeNameId(building->isForSale() ? "Game_UnSellButton" : "Game_SellButton"));
        sell->setEnabled(level->isSellOn);
    }
    fillBuildingInfo(child(tab, "BuildingInfoNode"), building->getRecord(), building, true);
}

void GGamePlayScene::refreshBuildingTab() {
    GBuildingNode* building = getSelectedBuilding();
    GLevelConfig* level = getLevelConfig();
    BaseNode* tab = tabs_[5];
    GBuildingConfig* record = building ? building->getRecord() : nullptr;
    if (!tab || !level || !building || !record || !buildingProgress_) return;
    ControlNode* hotelButtons = childOf<ControlNode>(tab, "HotelButtonsNode");
    ControlNode* joyButtons = childOf<ControlNode>(tab, "JoyButtonsNode");
    ControlNode* customButtons = childOf<ControlNode>(tab, "CustomServiceButtonsNode");
    showControl(hotelButtons, false);
    showControl(joyButtons, false);
    showControl(customButtons, false);
    showControl(buildingProgress_, false);
    const int32_t job = building->getJobState();
    // The stop tooltip speaks of the running job only.
    if (stopTooltip_ && !canAbort(building)) stopTooltip_->setVisible(false);
    if (job != GBuildingNode::kNoJob && job != GBuildingNode::kServiceJob) {
        if (ControlNode* abort = childOf<ControlNode>(buildingProgress_, "AbortButton")) {
            abort->setVisible(canAbort(building));
        }
        if (BaseProgressBarNode* bar = childOf<BaseProgressBarNode>(buildingProgress_, "ProgressBar")) {
            bar->setMaxValue(1.0f);
            bar->setValue(building->jobProgress());
        }
        stringw title, hint;
        jobTexts(building, title, hint);
        setChildText(buildingProgress_, "Text", title);
        setText(buildingProgressHint_, hint);
        setText(buildingHint_, stringw());
        showControl(buildingProgress_, true);
        // The hidden abort button must not be pressable either.
        if (ControlNode* abort = childOf<ControlNode>(buildingProgress_, "AbortButton")) {
            abort->setEnabled(abort->isVisible());
        }
    } else if (record->Type == 1 || record->Type == 2) {
        if (joyButtons) {
            setUpJoyButtons(building, joyButtons);
            showControl(joyButtons, true);
        }
    } else if (record->Type >= 3) {
        if (customButtons) {
            setUpCustomServiceButtons(building, customButtons);
            showControl(customButtons, true);
        }
    } else if (building->getCondition() == GBuildingNode::kNoCondition ||
               building->getCondition() == GBuildingNode::kBroken) {
        if (hotelButtons) {
            setUpHotelButtons(building, hotelButtons);
            showControl(hotelButtons, true);
        }
    } else if (customButtons) {
        // Both kinds of guest request are served from this button: it must
        // not keep the look of another building's restore.
        if (building->getCondition() >= GBuildingNode::kProviderServiceRequest) {
            if (ControlNode* serve = childOf<ControlNode>(customButtons, "CustomServeButton")) {
                serve->setTemplateName(makeNameId("Game_CafeOrderButton"));
            }
        }
        showControl(customButtons, true);
    }
    fillBuildingInfo(child(tab, "BuildingInfoNode"), record, building, true);
}

void GGamePlayScene::setUpHotelButtons(GBuildingNode* building, BaseNode* group) {
    GLevelConfig* level = getLevelConfig();
    GBuildingConfig* record = building ? building->getRecord() : nullptr;
    if (!group || !record || !levelScene_) return;
    const bool sound = building->getCondition() == GBuildingNode::kNoCondition;
    if (ControlNode* upgrade = childOf<ControlNode>(group, "UpgradeButton")) {
        GBuildingConfig* next = levelScene_->upgradeRecord(building);
        upgrade->setVisible(record->Level > 0);
        upgrade->setEnabled(!building->isForSale() && sound && next && levelScene_->canAfford(next));
    }
    if (ControlNode* destroy = childOf<ControlNode>(group, "DestroyButton")) {
        destroy->setVisible(record->Level > 0);
        destroy->setEnabled(levelScene_->workers >= levelScene_->destroyCost(building).workers);
    }
    if (ControlNode* sell = childOf<ControlNode>(group, "SellButton")) {
        sell->setTemplateName(makeNameId(building->isForSale() ? "Game_UnSellButton" : "Game_SellButton"));
        sell->setVisible(true);
        sell->setEnabled(level && level->isSellOn && sound);
    }
    if (ControlNode* repair = childOf<ControlNode>(group, "RepairButton")) {
        const GGameLevelScene::CommandCost cost = levelScene_->maintenanceCost(building, GBuildingNode::kBroken);
        repair->setEnabled(building->getCondition() == GBuildingNode::kBroken && levelScene_->materials >= cost.materials &&
                           levelScene_->workers >= cost.workers);
    }
    if (ControlNode* custom = childOf<ControlNode>(group, "CustomAction1Button")) {
        custom->setVisible(false);
        custom->setEnabled(false);
    }
}

stringw GGamePlayScene::featureCaption(GBuildingNode* building, int32_t index) const {
    const GBuildingConfig* record = building ? building->getRecord() : nullptr;
    if (!record || index < 0 || static_cast<size_t>(index) >= record->ActiveFeatures.size()) return stringw();
    // The name, then on a second line what the player needs to know before
    // pressing: where a locked feature comes from, how long a running one
    // lasts or a spent one recharges, or what a ready one costs.
    stringw text = translateText(record->ActiveFeatures[static_cast<size_t>(index)].name);
    text += L"\n";
    if (!building->isFeatureAvailable(index)) return text + lookupText("Hud_FeatureLocked");
    const std::vector<GBuildingNode::FeatureState>& states = building->getFeatureStates();
    const int32_t remaining = static_cast<size_t>(index) < states.size() ? states[static_cast<size_t>(index)].remaining : 0;
    switch (building->featureState(index)) {
        case GBuildingNode::kFeatureActive:
            return text + formatText("Hud_FeatureActive", secondsText(remaining));
        case GBuildingNode::kFeatureRecharging:
            return text + formatText("Hud_FeatureRecharging", secondsText(remaining));
        default:
            return text + moneyText(roundToInt(levelScene_ ? levelScene_->featureCost(building, index).money : 0.0f));
    }
}

void GGamePlayScene::setUpJoyButtons(GBuildingNode* building, BaseNode* group) {
    GBuildingConfig* record = building ? building->getRecord() : nullptr;
    if (!group || !record || !levelScene_) return;
    const size_t featureCount = record->ActiveFeatures.size();
    if (ButtonNode* destroy = childOf<ButtonNode>(group, "DestroyButton")) {
        destroy->setVisible(record->Level > 0);
        destroy->setEnabled(levelScene_->workers >= levelScene_->destroyCost(building).workers);
    }
    if (ButtonNode* sell = childOf<ButtonNode>(group, "SellButton")) sell->setVisible(false);
    const bool noneActive = building->featureState(0) != GBuildingNode::kFeatureActive &&
                            building->featureState(1) != GBuildingNode::kFeatureActive;
    ButtonNode* first = childOf<ButtonNode>(group, "ActiveFeature1Button");
    if (first) {
        if (featureCount == 0) {
            first->setVisible(false);
        } else {
            first->setVisible(true);
            first->setTemplateName(record->ActiveFeatures[0].buttonName);
            setCaption(first, featureCaption(building, 0));
            if (building->isFeatureAvailable(0)) {
                const bool ready = building->featureState(0) == GBuildingNode::kFeatureReady;
                first->setEnabled(noneActive && ready && canPayFeature(building, 0));
                showFeatureProgress(first, ready ? -1.0f : building->featureProgress(0));
            } else {
                first->setEnabled(false);
            }
        }
    }
    ButtonNode* second = childOf<ButtonNode>(group, "ActiveFeature2Button");
    if (second) {
        if (featureCount < 2) {
            second->setVisible(false);
        } else {
            second->setVisible(true);
            SpriteNode* addImage = childOf<SpriteNode>(second, "AddImage");
            if (building->isFeatureAvailable(1)) {
                second->setTemplateName(record->ActiveFeatures[1].buttonName);
                setCaption(second, featureCaption(building, 1));
                const bool ready = building->featureState(1) == GBuildingNode::kFeatureReady;
                second->setEnabled(noneActive && ready && canPayFeature(building, 1));
                showFeatureProgress(second, ready ? -1.0f : building->featureProgress(1));
                if (addImage) addImage->setAtlasTexture(nullptr);
            } else {
                second->setTemplateName(makeNameId("Game_U"));
                setCaption(second, featureCaption(building, 1));
                if (addImage) {
                    const stringc path = stringc("scenes/images/GameMenu/Buttons/") + record->DisplayName +
                                         "Feature2ButtonLock.png";
                    CountedRef<AtlasTextureContent> lock(loadAtlasTexture(getContentManager(), path, true));
                    addImage->setAtlasTexture(lock.get());
                    addImage->setPosition(addImage->getPosition());
                }
                second->setEnabled(false);
            }
        }
    }
    ButtonNode* clean = childOf<ButtonNode>(group, "CleanButton");
    if (clean) {
        const GGameLevelScene::CommandCost cost = levelScene_->maintenanceCost(building, GBuildingNode::kDirty);
        clean->setVisible(record->ServeAreaIncomeBonus > 0.0f);
        clean->setEnabled(building->getCondition() == GBuildingNode::kDirty && levelScene_->materials >= cost.materials &&
                          levelScene_->workers >= cost.workers);
    }
    ButtonNode* destroy = childOf<ButtonNode>(group, "DestroyButton");
    // The shown buttons side by side from the left of the button area, in
    // this order, as far apart as the area allows and never over its right
    // edge: fixed places made two features, the cleaning and the pulling
    // down run over each other and out of the panel.
    std::vector<ButtonNode*> shown;
    for (ButtonNode* button : {first, second, clean, destroy}) {
        if (button && button->isVisible()) shown.push_back(button);
    }
    float width = 0.0f;
    for (ButtonNode* button : shown) width += button->getBounds().X;
    const float room = kButtonsRight - kButtonsLeft - width;
    const float gap = shown.size() > 1 ? std::max(0.0f, std::min(kButtonsGap, room / (shown.size() - 1))) : 0.0f;
    float x = kButtonsLeft;
    for (ButtonNode* button : shown) {
        button->setPosition(vector3df(x, 10, 0));
        x += button->getBounds().X + gap;
    }
}

void GGamePlayScene::setUpCustomServiceButtons(GBuildingNode* building, BaseNode* group) {
    GBuildingConfig* record = building ? building->getRecord() : nullptr;
    ControlNode* serve = childOf<ControlNode>(group, "CustomServeButton");
    if (!serve || !record || !levelScene_) return;
    if (building->getCondition() == GBuildingNode::kNeedsRestoring) {
        serve->setTemplateName(makeNameId("Game_RestoreButton"));
        serve->setEnabled(levelScene_->canAfford(record));
    } else if (building->isFeatureAvailable(0) && !record->ActiveFeatures.empty()) {
        const GActiveFeatureConfig& feature = record->ActiveFeatures[0];
        serve->setVisible(true);
        serve->setTemplateName(feature.buttonName);
        setCaption(serve, featureCaption(building, 0));
        const bool ready = building->featureState(0) == GBuildingNode::kFeatureReady;
        serve->setEnabled(canPayFeature(building, 0) && ready);
        showFeatureProgress(serve, ready ? -1.0f : building->featureProgress(0));
    } else {
        serve->setVisible(false);
    }
}

bool GGamePlayScene::canPayFeature(GBuildingNode* building, int32_t index) const {
    return levelScene_ && levelScene_->money >= levelScene_->featureCost(building, index).money;
}

void GGamePlayScene::showFeatureProgress(BaseNode* button, float progress) {
    ControlNode* control = nodeCast<ControlNode>(button);
    BaseNode* root = control ? control->getTemplateRoot() : nullptr;
    if (!root || root->getChildCount() < 2) return;
    SpriteNode* top = nodeCast<SpriteNode>(root->getChild(0));
    SpriteNode* fill = nodeCast<SpriteNode>(root->getChild(1));
    if (!top || !fill) return;
    if (progress < 0.0f) {
        top->setBounds(vector3df(119, 101, 0));
        fill->setVisible(false);
    } else {
        const float c = std::floor((1.0f - progress) * 91.0f + 0.5f) + 5.0f;
        top->setBounds(vector3df(119, c, 0));
        fill->setVisible(true);
        fill->setPosition(vector3df(0, c, 0.01f));
        fill->setBounds(vector3df(119, 101 - c, 0));
        fill->setImagePivotPoint(0, c);
        fill->setImageStretchY(3);
    }
    top->setImageStretchY(3);
}

void GGamePlayScene::refreshBuyTab() {
    GBuildingNode* building = getSelectedBuilding();
    BaseNode* tab = tabs_[6];
    if (!tab || !getLevelConfig() || !building) return;
    if (ControlNode* buy = childOf<ControlNode>(tab, "BuyButton")) buy->setEnabled(levelScene_->canBuy(building));
    setChildText(tab, "PriceText", moneyText(roundToInt(building->price())));
    fillBuildingInfo(child(tab, "BuildingInfoNode"), building->getRecord(), building, true);
}

void GGamePlayScene::refreshSellOfferTab() {
    GBuildingNode* building = getSelectedBuilding();
    BaseNode* tab = tabs_[8];
    if (!tab || !getLevelConfig() || !building) return;
    setChildText(tab, "OfferPriceText", moneyText(building->getOfferPrice()));
    fillBuildingInfo(child(tab, "BuildingInfoNode"), building->getRecord(), building, true);
}

// ---- Presses ---------------------------------------------------------------------------

void GGamePlayScene::closeHintWindow() {
    if (hintWindow_ && hintWindow_->isVisible() && hintCountdownMs_ > 0) {
        hintCountdownMs_ = 0;
        hintWindow_->setState(navFromName(), nullptr);
    }
}

bool GGamePlayScene::onNodePressed(NodePressedEvent* event) {
    if (GBaseSceneNode::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node) return false;
    closeHintWindow();
    GBuildingNode* building = getSelectedBuilding();
    GLevelConfig* level = getLevelConfig();

    if (named(node, "MenuButton")) {
        openSceneOrLog(*this, "scenes/InGameMenuScene.oscn", true, navFromName(), navToName());
        return true;
    }
    if (named(node, "HelpButton")) {
        openSceneOrLog(*this, "scenes/HelpScene.oscn", true, navFromName(), navToName());
        return true;
    }
    static const struct {
        const char* button;
        int32_t kind;
    } kBuildButtons[] = {{"HotelsButton", kHotelsKind}, {"JoysButton", kJoysKind}, {"FactoriesButton", kFactoriesKind}};
    for (const auto& entry : kBuildButtons) {
        if (!named(node, entry.button)) continue;
        switchTab(entry.kind);
        refreshBuildList(entry.kind);
        ListNode* list = getBuildList(entry.kind);
        showBuildTabHint(entry.kind, list ? list->getParent() : nullptr, nullptr, nullptr);
        return true;
    }
    if (named(node, "BackToBuildButton")) {
        switchTab(9);
        refreshBuildingPlaceTab();
        showBuildingPlaceHint(nullptr);
        return true;
    }
    if (named(node, "GoalsButton")) {
        openObjectivesScene();
        return false;
    }
    if (named(node, "SkipTutorialButton")) {
        if (!tutorial_) return false;
        tutorial_->stop();
        if (ProfileParameters* player = getProfileStore().getCurrentProfile()) {
            player->setBool("ShowTutorialOn", false);
            player->save();
        }
        if (levelScene_ && levelScene_->paused) {
            CountedRef<GPauseRequestEvent> resume(new GPauseRequestEvent(false));
            if (!levelScene_->handleEvent(resume.get())) levelScene_->routeToParent(3, resume.get());
        }
        return false;
    }

    // Everything below acts on the selected building: after a click on the
    // ground there is none, while the old panel's buttons can still be hit.
    static const char* const kBuildingButtons[] = {
        "DestroyButton", "UpgradeButton", "RepairButton", "CleanButton", "AbortButton",
        "SellButton", "BuyButton", "AcceptSellOfferButton", "DeclineSellOfferButton", "CustomServeButton",
        "ActiveFeature1Button", "ActiveFeature2Button", "ActiveFeature3Button"};
    bool buildingButton = false;
    for (const char* name : kBuildingButtons) buildingButton = buildingButton || named(node, name);
    if (!buildingButton) return false;
    const bool consumed = !named(node, "AcceptSellOfferButton") && !named(node, "DeclineSellOfferButton");
    if (!building || !levelScene_) {
        getLogger().log("No building is selected for the button", nameOfId(node->getName()).c_str(), LOG_DEBUG);
        return consumed;
    }
    (void)level;

    if (named(node, "DestroyButton")) {
        if (levelScene_->destroy(building) && workersTooltip_) workersTooltip_->setVisible(false);
    } else if (named(node, "UpgradeButton")) {
        if (levelScene_->upgrade(building) && costTooltip_) costTooltip_->setVisible(false);
    } else if (named(node, "RepairButton")) {
        if (levelScene_->repair(building) && costTooltip_) costTooltip_->setVisible(false);
    } else if (named(node, "CleanButton")) {
        if (levelScene_->clean(building) && costTooltip_) costTooltip_->setVisible(false);
    } else if (named(node, "AbortButton")) {
        if (!canAbort(building)) {
            // A bus visit (or a feature job) cannot be cancelled.
            getLogger().log("The running job cannot be cancelled", LOG_DEBUG);
            return false;
        }
        building->cancelJob();
        if (stopTooltip_) stopTooltip_->setVisible(false);
        hoveredBuilding_ = nullptr;
        hoveredRecord_ = nullptr;
        highlightBuilding(nullptr, nullptr);
        handleSelection(building, building);
        levelScene_->refresh();
    } else if (named(node, "SellButton")) {
        if (building->isOwnedByThePlayer()) {
            building->setForSale(!building->isForSale());
            levelScene_->refresh();
            building->notifySelection();
        }
    } else if (named(node, "BuyButton")) {
        if (levelScene_->canBuy(building) && levelScene_->buyBuilding(building)) {
            if (moneyTooltip_) moneyTooltip_->setVisible(false);
            handleSelection(building, building);
        }
    } else if (named(node, "AcceptSellOfferButton")) {
        if (building->isOwnedByThePlayer() && levelScene_->sellBuilding(building)) {
            handleSelection(building, building);
            checkMoneyAchievements();
        }
    } else if (named(node, "DeclineSellOfferButton")) {
        if (building->isOwnedByThePlayer()) {
            building->restartBuyRequestWait();
            handleSelection(building, building);
        }
    } else if (named(node, "CustomServeButton")) {
        GBuildingConfig* record = building->getRecord();
        if (!record || record->Type < 3) {
            levelScene_->serveRequest(building);
        } else if (building->getCondition() == GBuildingNode::kNeedsRestoring) {
            levelScene_->restore(building);
            if (costTooltip_) costTooltip_->setVisible(false);
        } else {
            levelScene_->activateFeature(building, 0);
            if (moneyTooltip_) moneyTooltip_->setVisible(false);
        }
    } else {
        const int32_t index = named(node, "ActiveFeature1Button") ? 0 : named(node, "ActiveFeature2Button") ? 1 : 2;
        levelScene_->activateFeature(building, index);
        refreshBuildingTab();
    }
    return consumed;
}

bool GGamePlayScene::onListItemPressed(ListItemPressedEvent* event) {
    if (GBaseSceneNode::onListItemPressed(event)) return true;
    ListNode* list = event ? nodeCast<ListNode>(event->getNode()) : nullptr;
    if (!list) return false;
    const int32_t item = event->getItemIndex();
    if (list == hotelsList_ || list == joysList_ || list == factoriesList_ || named(list, "HotelsBuildList") ||
        named(list, "JoysBuildList") || named(list, "FactoriesBuildList")) {
        GBuildingConfig* record = dynamic_cast<GBuildingConfig*>(list->getItemData(item));
        GBuildingNode* building = getSelectedBuilding();
        if (record && building && levelScene_->build(building, record)) {
            if (costTooltip_) costTooltip_->setVisible(false);
            switchTab(5);
            refreshBuildingTab();
        }
        return true;
    }
    if (named(list, "BuyMaterialsList")) {
        if (OrderOption* offer = dynamic_cast<OrderOption*>(list->getItemData(item))) {
            if (levelScene_) levelScene_->orderMaterials(offer);
        }
        return true;
    }
    if (named(list, "TrainWorkersList")) {
        if (OrderOption* offer = dynamic_cast<OrderOption*>(list->getItemData(item))) {
            if (levelScene_) levelScene_->orderWorkers(offer);
        }
        return true;
    }
    return false;
}

bool GGamePlayScene::onNodeUnfocused(NodeUnfocusedEvent* event) {
    if (GBaseSceneNode::onNodeUnfocused(event)) return true;
    GBuildingNode* building = event ? nodeCast<GBuildingNode>(event->getTarget()) : nullptr;
    if (!building) return false;
    building->showServeAreaHighlight(nullptr);
    return true;
}

void GGamePlayScene::highlightBuilding(GBuildingConfig* record, GBuildingNode* building) {
    if (!levelScene_) return;
    for (GBuildingNode* each : levelScene_->buildings) {
        if (each) each->tintBody(SColor(GBuildingNode::kNeutralBodyTint));
    }
    if (building) building->showServeAreaHighlight(record);
    GBuildingNode* selected = getSelectedBuilding();
    if (selected && selected != building) selected->showServeAreaHighlight(selected->getRecord());
    if (building) building->tintBody(SColor(0xFF202020u));
}

}  // namespace game
