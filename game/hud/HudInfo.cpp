// What the HUD explains: the building information panel, the tooltips over
// buttons, lists and buildings, the build preview and the tab hints.
#include "engine/core/MathRoutines.h"
#include "engine/content/Dictionary.h"
#include "engine/core/SceneManager.h"
#include "engine/controls/ListNode.h"
#include "engine/core/TextRoutines.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/hud/GGamePlayScene.h"
#include "game/hud/HudText.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"

#include <algorithm>

namespace game {

using namespace engine;

namespace {

const SColor kEnough(0xFFFFFFFFu);
const SColor kMissing(0xFFFF8888u);
constexpr float kTooltipY = 632.0f;
// Tooltips stand in front of the game menu's panels and of the tutorial's
// window and arrows (depths 1999 and 2000 in the HUD, the game menu being at
// 1000), so that a lesson never hides a price.
constexpr float kTooltipDepth = 1100.0f;
vector3df tooltipPlace(const vector3df& at) { return vector3df(at.X, at.Y, kTooltipDepth); }

stringw displayName(const GBuildingConfig* record) { return lookupText(record->DisplayName.c_str()); }

void setTinted(BaseNode* parent, const char* name, const stringw& text, bool enough) {
    if (TextNode* node = childOf<TextNode>(parent, name)) {
        node->setText(text);
        node->setTintColor(enough ? kEnough : kMissing);
    }
}

stringw times(const stringw& value) {
    stringw text(L"x ");
    text += value;
    return text;
}

// The HUD is laid out for this width; tooltips stay within it.
constexpr float kHudWidth = 1024.0f;

int32_t wholeMoney(float amount) { return roundToInt(amount); }

// The width a tooltip takes: its bounds, or its background's when wider.
float tooltipWidth(const BaseNode* tooltip) {
    if (!tooltip) return 0.0f;
    float width = tooltip->getBounds().X;
    if (const BaseNode* background = child(tooltip, "Bg")) {
        width = std::max(width, background->getPosition().X + background->getBounds().X);
    }
    return width;
}

}  // namespace

vector3df GGamePlayScene::tooltipPosition(const BaseNode* control, const BaseNode* tooltip) const {
    // Buttons sit in groups and panels: their place on the HUD is the sum of
    // the positions up to the HUD's menu node.
    float x = 0.0f;
    for (const BaseNode* node = control; node && node != gameMenu_; node = node->getParent()) {
        x += node->getPosition().X;
        if (!node->getParent()) break;
    }
    x = std::max(0.0f, std::min(x, kHudWidth - tooltipWidth(tooltip)));
    return vector3df(x, kTooltipY, 0);
}

// ---- Information panel -----------------------------------------------------------

void GGamePlayScene::fillBuildingInfo(BaseNode* info, GBuildingConfig* record, GBuildingNode* building,
                                      bool fullDescription) {
    if (!getCurrentDictionary() || !info || !building || !record) return;
    GLevelConfig* level = getLevelConfig();
    TextNode* nameText = childOf<TextNode>(info, "NameText");
    TextNode* statsText = childOf<TextNode>(info, "StatsText");
    BaseNode* afterUpgrade = child(info, "AfterUpgradeNode");
    BaseNode* broken = child(info, "BrokenNode");
    BaseNode* description = child(info, "DescriptionNode");
    SpriteNode* preview = childOf<SpriteNode>(info, "Preview");
    for (BaseNode* node : {static_cast<BaseNode*>(statsText), afterUpgrade, broken, description}) {
        if (node) node->setVisible(false);
    }
    if (nameText && record->DisplayName.empty()) {
        // An empty place has no name to show with its price.
        nameText->setText(stringw());
    } else if (nameText) {
        const stringw name = upperCaseText(displayName(record));
        // A building not yet built (a type offered in a build list, or the
        // work running on the place) is named with what building it takes; a
        // standing one with its value, where buying and selling start.
        const bool notYetBuilt =
            record != building->getRecord() || building->getJobState() == GBuildingNode::kConstructionJob;
        const float amount = notYetBuilt && levelScene_ ? levelScene_->buildCost(record).money : building->price(record);
        const stringw price = moneyText(wholeMoney(amount));
        stringw text = name + L": " + price;
        nameText->setText(text);
        if (nameText->getLineCount() > 1) nameText->setText(name + L":\n" + price);
    }
    if (record->Level > 0) {
        stringw stats;
        const int32_t income = roundToInt(building->income(record));
        const int32_t boost = roundToInt(building->boostedIncome());
        if (income != 0 || boost != 0) {
            stringw argument = grouped(income);
            if (boost > 0) argument += L" + " + moneyText(boost);
            stats += formatText("GamePlay_Income", argument) + L"\n";
        }
        const int32_t baseGuests = record->guestsCount(nullptr);
        const int32_t guests = record->guestsCount(level);
        if (baseGuests > 0) {
            stringw argument = formatText("GuestsSign", grouped(baseGuests));
            if (guests != baseGuests) argument += L" + " + formatText("GuestsSign", grouped(guests - baseGuests));
            stats += formatText("GamePlay_Guests", argument) + L"\n";
        }
        if (record->ServeIncome > 0.0f) {
            stats += formatText("GamePlay_ServedGuests", formatText("GuestsSign", grouped(building->servedGuests(record)))) +
                     L"\n";
        }
        if (statsText) {
            statsText->setText(stats);
            if (!stats.empty()) statsText->setVisible(true);
        }
        TextNode* descriptionText = childOf<TextNode>(description, "Text");
        if (descriptionText && !record->Description.empty()) {
            const int32_t featureCount = static_cast<int32_t>(record->ActiveFeatures.size());
            stringw text;
            if (hoveredFeature_ >= 0 && hoveredFeature_ < featureCount) {
                text = record->ActiveFeatures[hoveredFeature_].infoText;
            } else {
                text = fullDescription ? record->FullDescription : record->Description;
            }
            // The record names its text as "%KEY%": the text node's
            // translation looks it up, literal percent signs included.
            descriptionText->setText(text);
            description->setVisible(true);
            if (statsText) {
                const vector3df position = description->getPosition();
                float y;
                if (descriptionText->getTextVAlign() == 1) {
                    y = statsText->getPosition().Y + statsText->getTextHeight() - 17.0f;
                } else if (!stats.empty()) {
                    y = statsText->getPosition().Y + statsText->getTextHeight() - 6.0f;
                } else if (nameText) {
                    y = nameText->getPosition().Y + nameText->getTextHeight() + 15.0f;
                } else {
                    y = statsText->getPosition().Y + 22.0f;
                }
                description->setPosition(vector3df(position.X, y, position.Z));
            }
        }
        if (building->isOwnedByThePlayer()) {
            if (building->isOperating()) {
                BuildingsConfiguration* buildings = gameBuildings();
                GBuildingConfig* next = record->Type == 0 && record->NextLevelName != kNoName && levelScene_ && buildings
                                            ? buildings->find(record->NextLevelName)
                                            : nullptr;
                if (next && afterUpgrade) {
                    setChildText(child(afterUpgrade, "IncomeNode"), "Text",
                                 formatText("GamePlay_Income", grouped(roundToInt(building->income(next)))));
                    setChildText(child(afterUpgrade, "GuestsNode"), "Text",
                                 formatText("GamePlay_Guests", decimalText(next->guestsCount(level))));
                    afterUpgrade->setVisible(true);
                }
            } else if (building->getCondition() == GBuildingNode::kBroken && broken) {
                broken->setVisible(true);
            }
        }
    }
    if (!preview) return;
    stringc icon = stringc("scenes/images/GameMenu/Icons/") + nameOfId(record->Name).c_str();
    if (level && level->settingIndex == 4) icon += "_snow";
    icon += ".png";
    CountedRef<AtlasTextureContent> texture(loadAtlasTexture(getContentManager(), icon, true));
    preview->setAtlasTexture(texture.get());
    int32_t k = 0;
    for (uint32_t i = 0; i < preview->getChildCount(); ++i) {
        SpriteNode* star = nodeCast<SpriteNode>(preview->getChild(i));
        if (!star) continue;
        if (record->Type == 0 && record->Level >= 1) {
            const char* path = k + 1 < record->Level ? "levels/common/Stars/FilledStar.png"
                                                     : "levels/common/Stars/EmptyStar.png";
            CountedRef<AtlasTextureContent> image(loadAtlasTexture(getContentManager(), path, true));
            star->setAtlasTexture(image.get());
        } else {
            star->setAtlasTexture(nullptr);
        }
        ++k;
    }
}

void GGamePlayScene::jobTexts(GBuildingNode* building, stringw& title, stringw& hint) const {
    GBuildingConfig* record = building ? building->getRecord() : nullptr;
    if (!building) return;
    const int32_t type = record ? record->Type : -1;
    const char* key = nullptr;
    switch (building->getJobState()) {
        case GBuildingNode::kConstructionJob:
            key = record && record->Level > 1 ? "InProgress_Upgrade" : "InProgress_Building";
            break;
        case GBuildingNode::kDestructionJob:
            key = "InProgress_Destroy";
            break;
        case GBuildingNode::kMaintenanceJob:
            key = type == 3                               ? "FishingCenterInProgress"
                  : (type == 4 || type == 6 || type == 7) ? "InProgress_Building"
                  : type == 5                             ? "PyramidInProgress"
                                                          : "InProgress_Repare";
            break;
        case GBuildingNode::kFeatureJob:
            key = type == 5 ? "PyramidConfInProgress" : "InProgress_Feature";
            break;
        default:
            return;
    }
    title = lookupText(key);
    hint = lookupText((std::string(key) + "Hint").c_str());
}

// ---- Hover ---------------------------------------------------------------------------

void GGamePlayScene::clearBuildPreview() {
    if (incomeGuestsInfo_) incomeGuestsInfo_->setVisible(false);
    if (guestsInfo_) guestsInfo_->setVisible(false);
    if (hoveredBuilding_) hoveredBuilding_->showBuildPreview(nullptr);
    hoveredBuilding_ = nullptr;
    hoveredRecord_ = nullptr;
    highlightBuilding(nullptr, nullptr);
    resetBuildTabHints();
}

void GGamePlayScene::resetBuildTabHints() {
    showBuildTabHint(kHotelsKind, tabs_[0], nullptr, nullptr);
    showBuildTabHint(kJoysKind, tabs_[2], nullptr, nullptr);
    showBuildTabHint(kFactoriesKind, tabs_[1], nullptr, nullptr);
}

bool GGamePlayScene::onNodeHovered(NodeHoveredEvent* event) {
    if (GBaseSceneNode::onNodeHovered(event)) return true;
    BaseNode* node = event ? event->getOrigin() : nullptr;
    if (incomeGuestsInfo_) incomeGuestsInfo_->setVisible(false);
    if (guestsInfo_) guestsInfo_->setVisible(false);
    if (!node) return false;
    GBuildingNode* b = getSelectedBuilding();
    GBuildingConfig* rec = b ? b->getRecord() : nullptr;
    const bool ready = b && rec && levelScene_;

    if (named(node, "UpgradeButton")) {
        showBuildingTabHint(node);
        if (GBuildingConfig* next = ready ? levelScene_->upgradeRecord(b) : nullptr) {
            const GGameLevelScene::CommandCost cost = levelScene_->buildCost(next);
            showCostTooltip(tooltipPosition(node, costTooltip_), L"%Hint_UpgradeBuildingTitle%",
                            engine::saturatingInt(cost.materials), cost.workers, wholeMoney(cost.money));
        }
    } else if (named(node, "RepairButton") || named(node, "CleanButton")) {
        showBuildingTabHint(node);
        if (ready) {
            // Cleaning takes the materials of a repair as well as its workers.
            const bool repair = named(node, "RepairButton");
            const GGameLevelScene::CommandCost cost =
                levelScene_->maintenanceCost(b, repair ? GBuildingNode::kBroken : GBuildingNode::kDirty);
            showCostTooltip(tooltipPosition(node, costTooltip_),
                            repair ? L"%Hint_RepairBuildingTitle%" : L"%Hint_CleanBuildingTitle%",
                            engine::saturatingInt(cost.materials), cost.workers, wholeMoney(cost.money));
        }
    } else if (named(node, "DestroyButton")) {
        showBuildingTabHint(node);
        if (ready) {
            showWorkersTooltip(tooltipPosition(node, workersTooltip_), L"%Hint_DestroyBuildingTitle%",
                               levelScene_->destroyCost(b).workers);
        }
    } else if (named(node, "AbortButton")) {
        if (ready) showStopTooltip(tooltipPosition(node, stopTooltip_));
    } else if (named(node, "BuyButton")) {
        if (ready) {
            showMoneyTooltip(tooltipPosition(node, moneyTooltip_), L"%Hint_BuyBuildingTitle%", true,
                             wholeMoney(levelScene_->buyCost(b).money));
        }
        showBuyTabHint(node);
    } else if (named(node, "AcceptSellOfferButton") || named(node, "DeclineSellOfferButton")) {
        showSellOfferHint(node);
    } else if (named(node, "SellButton")) {
        if (ready) {
            showMoneyTooltip(tooltipPosition(node, moneyTooltip_), L"%Hint_SaleBuildingTitle%", false,
                             roundToInt(b->price()));
        }
        showBuildingPlaceHint(node);
        showBuildingTabHint(node);
    } else if (named(node, "ActiveFeature1Button") || named(node, "ActiveFeature2Button")) {
        showBuildingTabHint(node);
        const int32_t index = named(node, "ActiveFeature1Button") ? 0 : 1;
        // A feature is paid for when it starts: its name with its price.
        if (ready && static_cast<int32_t>(rec->ActiveFeatures.size()) > index && b->isFeatureAvailable(index)) {
            showMoneyTooltip(tooltipPosition(node, moneyTooltip_), rec->ActiveFeatures[index].name, true,
                             wholeMoney(levelScene_->featureCost(b, index).money));
        }
    } else if (named(node, "CustomServeButton")) {
        showBuildingTabHint(node);
        if (ready && rec->Type >= 3) {
            if (b->getCondition() != GBuildingNode::kNeedsRestoring) {
                // The button starts the building's feature, whatever its Type.
                if (!rec->ActiveFeatures.empty()) {
                    showMoneyTooltip(tooltipPosition(node, moneyTooltip_), L"%Hint_ActivateFeatureTitle%", true,
                                     wholeMoney(levelScene_->featureCost(b, 0).money));
                }
            } else {
                const wchar_t* title = rec->Type == 3   ? L"%Hint_BuildingTabRestore%"
                                       : rec->Type == 5 ? L"%Hint_BuildingTabExcavate%"
                                                        : L"%Hint_BuildingTabBuild%";
                const GGameLevelScene::CommandCost cost =
                    levelScene_->maintenanceCost(b, GBuildingNode::kNeedsRestoring);
                showCostTooltip(tooltipPosition(node, costTooltip_), title, engine::saturatingInt(cost.materials),
                                cost.workers, wholeMoney(cost.money));
            }
        }
        // Serving a guest's request (a hotel's button) takes nothing.
    } else if (named(node, "BackToBuildButton")) {
        showBuildTabHint(kHotelsKind, tabs_[0], nullptr, b);
        showBuildTabHint(kJoysKind, tabs_[2], nullptr, b);
        showBuildTabHint(kFactoriesKind, tabs_[1], nullptr, b);
    } else if (named(node, "HotelsButton") || named(node, "JoysButton") || named(node, "FactoriesButton")) {
        showBuildingPlaceHint(node);
    } else if (named(node, "SkipTutorialButton")) {
        // nothing to explain
    } else if (GBuildingNode* building = nodeCast<GBuildingNode>(node)) {
        hoveredBuilding_ = building;
        hoveredRecord_ = building->getRecord();
        showBuildingTooltip(hoveredRecord_, building);
        highlightBuilding(hoveredRecord_, building);
        return false;
    } else {
        return false;
    }
    return true;
}

bool GGamePlayScene::onNodeUnhovered(NodeUnhoveredEvent* event) {
    if (GBaseSceneNode::onNodeUnhovered(event)) return true;
    for (BaseNode* tooltip : {moneyTooltip_, costTooltip_, workersTooltip_, featureTooltip_, stopTooltip_}) {
        if (tooltip) tooltip->setVisible(false);
    }
    BaseNode* node = event ? event->getTarget() : nullptr;
    if (!node) return false;
    if (named(node, "HotelsBuildList") || named(node, "JoysBuildList") || named(node, "FactoriesBuildList") ||
        named(node, "BackToBuildButton")) {
        if (named(node, "BackToBuildButton")) {
            resetBuildTabHints();
        } else {
            clearBuildPreview();
        }
    } else if (named(node, "BuyMaterialsList")) {
        showMaterialsHint(nullptr, false);
    } else if (named(node, "TrainWorkersList")) {
        showWorkersHint(nullptr, false);
    } else if (named(node, "SellButton")) {
        showBuildingPlaceHint(nullptr);
        showBuildingTabHint(nullptr);
    } else if (named(node, "BuyButton")) {
        showBuyTabHint(nullptr);
    } else if (named(node, "AcceptSellOfferButton") || named(node, "DeclineSellOfferButton")) {
        showSellOfferHint(nullptr);
    } else if (named(node, "UpgradeButton") || named(node, "RepairButton") || named(node, "CleanButton") ||
               named(node, "DestroyButton") || named(node, "CustomServeButton") ||
               named(node, "ActiveFeature1Button") || named(node, "ActiveFeature2Button")) {
        showBuildingTabHint(nullptr);
    } else if (named(node, "HotelsButton") || named(node, "JoysButton") || named(node, "FactoriesButton")) {
        showBuildingPlaceHint(nullptr);
    } else if (GBuildingNode* building = nodeCast<GBuildingNode>(node)) {
        if (incomeGuestsInfo_) incomeGuestsInfo_->setVisible(false);
        if (guestsInfo_) guestsInfo_->setVisible(false);
        hoveredBuilding_ = nullptr;
        hoveredRecord_ = nullptr;
        highlightBuilding(nullptr, nullptr);
        if (building != getSelectedBuilding()) building->showServeAreaHighlight(nullptr);
    } else {
        return false;
    }
    return true;
}

bool GGamePlayScene::onListItemHovered(ListItemHoveredEvent* event) {
    if (GBaseSceneNode::onListItemHovered(event)) return true;
    ListNode* list = event ? nodeCast<ListNode>(event->getNode()) : nullptr;
    if (!list) return false;
    const int32_t item = event->getItemIndex();
    if (named(list, "BuyMaterialsList")) {
        if (levelScene_ && levelScene_->materialCountdown < 0.0f) {
            showMaterialsHint(dynamic_cast<OrderOption*>(list->getItemData(item)), list->isItemEnabled(item));
        }
        return true;
    }
    if (named(list, "TrainWorkersList")) {
        if (levelScene_ && levelScene_->workerCountdown < 0.0f) {
            showWorkersHint(dynamic_cast<OrderOption*>(list->getItemData(item)), list->isItemEnabled(item));
        }
        return true;
    }
    int32_t kind = -1;
    int32_t tab = -1;
    if (named(list, "HotelsBuildList")) {
        kind = kHotelsKind;
        tab = 0;
    } else if (named(list, "JoysBuildList")) {
        kind = kJoysKind;
        tab = 2;
    } else if (named(list, "FactoriesBuildList")) {
        kind = kFactoriesKind;
        tab = 1;
    } else {
        return false;
    }
    GBuildingConfig* rec = dynamic_cast<GBuildingConfig*>(list->getItemData(item));
    GBuildingNode* b = getSelectedBuilding();
    GBuildingConfig* placeRecord = b ? b->getRecord() : nullptr;
    if (!b) return true;
    if (!rec) {
        clearBuildPreview();
        return true;
    }
    if (!placeRecord || placeRecord->Level != 0) return true;
    if (hoveredBuilding_ && hoveredBuilding_ != b) hoveredBuilding_->showBuildPreview(nullptr);
    hoveredBuilding_ = b;
    hoveredRecord_ = rec;
    const int32_t element = list->elementIndexOfItem(item);
    vector3df at(list->getPosition().X + list->getElementPosition(element).X, kTooltipY, 0);
    at.X = std::max(0.0f, std::min(at.X, kHudWidth - tooltipWidth(costTooltip_)));
    const GGameLevelScene::CommandCost cost = levelScene_->buildCost(rec);
    showCostTooltip(at, upperCaseText(displayName(rec)), roundToInt(cost.materials), cost.workers,
                    wholeMoney(cost.money));
    highlightBuilding(rec, b);
    b->showBuildPreview(rec);
    showBuildTabHint(kind, tabs_[tab], rec, b);
    return true;
}

// ---- Tooltips ---------------------------------------------------------------------------

void GGamePlayScene::showBuildingTooltip(GBuildingConfig* record, GBuildingNode* building) {
    if (!record || !building || !levelScene_ || !getCurrentDictionary()) return;
    BaseNode* tooltip = building->isOwnedByThePlayer() ? incomeGuestsInfo_ : guestsInfo_;
    const bool shows = record->Type == 0 ? record->Level > 0 : record->ServeIncome > 0.0f;
    if (!tooltip || !shows) return;
    const vector3df position = building->getPosition();
    tooltip->setVisible(true);
    tooltip->setPosition(vector3df(std::min(std::max(position.X, 38.0f), 846.0f), position.Y, kTooltipDepth));
    setChildText(tooltip, "NameText", upperCaseText(displayName(record)));
    stringw income, guests;
    if (record->Level > 0) {
        if (building->isOwnedByThePlayer()) income = formatText("MoneyDollar", building->formatIncome(record));
        guests = record->Type == 0 ? formatText("GuestsSign", decimalText(record->guestsCount(getLevelConfig())))
                                   : formatText("GuestsSign", decimalText(building->servedGuests(record)));
    }
    setChildText(tooltip, "IncomeText", times(income));
    setChildText(tooltip, "GuestsText", times(guests));
}

void GGamePlayScene::showCostTooltip(const vector3df& position, const stringw& title, int32_t materials,
                                     int32_t workers, int32_t money) {
    if (!costTooltip_ || !getCurrentDictionary()) return;
    tooltipTitle_ = title;
    tooltipValues_[0] = materials;
    tooltipValues_[1] = workers;
    tooltipValues_[2] = money;
    costTooltip_->setVisible(true);
    costTooltip_->setPosition(tooltipPlace(position));
    const float haveMoney = levelScene_ ? levelScene_->money : 0.0f;
    const float haveMaterials = levelScene_ ? levelScene_->materials : 0.0f;
    const int32_t haveWorkers = levelScene_ ? levelScene_->workers : 0;
    setTinted(costTooltip_, "MoneyText", times(moneyText(money)), haveMoney >= static_cast<float>(money));
    setTinted(costTooltip_, "MaterialsText", times(decimalText(materials)), haveMaterials >= static_cast<float>(materials));
    setTinted(costTooltip_, "WorkersText", times(decimalText(workers)), haveWorkers >= workers);
    setChildText(costTooltip_, "NameText", translateText(title));
}

void GGamePlayScene::showMoneyTooltip(const vector3df& position, const stringw& title, bool check, int32_t amount) {
    if (!moneyTooltip_ || !getCurrentDictionary()) return;
    tooltipTitle_ = title;
    tooltipValues_[1] = check ? 1 : 0;
    tooltipValues_[2] = amount;
    moneyTooltip_->setVisible(true);
    moneyTooltip_->setPosition(tooltipPlace(position));
    const float money = levelScene_ ? levelScene_->money : 0.0f;
    setTinted(moneyTooltip_, "MoneyText", times(moneyText(amount)), !(check && money < static_cast<float>(amount)));
    setChildText(moneyTooltip_, "NameText", translateText(title));
}

void GGamePlayScene::showWorkersTooltip(const vector3df& position, const stringw& title, int32_t workers) {
    if (!workersTooltip_ || !getCurrentDictionary()) return;
    tooltipTitle_ = title;
    tooltipValues_[1] = workers;
    workersTooltip_->setVisible(true);
    workersTooltip_->setPosition(tooltipPlace(position));
    const int32_t have = levelScene_ ? levelScene_->workers : 0;
    setTinted(workersTooltip_, "WorkersText", times(decimalText(workers)), have >= workers);
    setChildText(workersTooltip_, "NameText", translateText(title));
}

void GGamePlayScene::showStopTooltip(const vector3df& position) {
    GBuildingNode* building = getSelectedBuilding();
    if (!stopTooltip_ || !building || !levelScene_ || !getCurrentDictionary()) return;
    stopTooltip_->setVisible(true);
    stopTooltip_->setPosition(position);
    setChildText(stopTooltip_, "NameText", lookupText("Hint_StopTitle"));
    // Stopping gives back the materials and workers the work took, never the
    // money paid for it: the player is told before the click.
    const int32_t lost = wholeMoney(levelScene_->moneyLostOnStop(building));
    setChildText(stopTooltip_, "Text",
                 lost > 0 ? formatText("Hint_StopKeepsMoney", moneyText(lost)) : lookupText("Hint_StopGivesBack"));
}

void GGamePlayScene::showFeatureTooltip(const vector3df& position, const stringw& title) {
    if (!featureTooltip_) return;
    tooltipTitle_ = title;
    featureTooltip_->setVisible(true);
    featureTooltip_->setPosition(tooltipPlace(position));
    setChildText(featureTooltip_, "NameText", title);
}

// ---- Tab hints ------------------------------------------------------------------------------

void GGamePlayScene::showMaterialsHint(OrderOption* offer, bool canBuy) {
    if (!materialsHint_ || !getCurrentDictionary()) return;
    if (!offer) {
        materialsHint_->setText(lookupText("Hint_MaterialsTab"));
        return;
    }
    const int32_t price = engine::saturatingInt(levelScene_ ? levelScene_->materialsOrderCost(offer).money : offer->price);
    const int32_t amount = engine::saturatingInt(offer->amount);
    materialsHint_->setText(canBuy ? formatText("Hint_MaterialsBuy", grouped(amount), grouped(price))
                                   : formatText("Hint_MaterialsCantBuy", grouped(amount)));
}

void GGamePlayScene::showWorkersHint(OrderOption* offer, bool canBuy) {
    if (!workersHint_ || !getCurrentDictionary()) return;
    if (!offer) {
        workersHint_->setText(lookupText("Hint_WorkersTab"));
        return;
    }
    const int32_t price = engine::saturatingInt(levelScene_ ? levelScene_->workersOrderCost(offer).money : offer->price);
    const int32_t count = engine::saturatingInt(offer->amount);
    workersHint_->setText(canBuy ? formatText("Hint_WorkersBuy", decimalText(count), grouped(price))
                                 : formatText("Hint_WorkersCantBuy", decimalText(count)));
}

void GGamePlayScene::showBuildingPlaceHint(BaseNode* control) {
    TextNode* hint = childOf<TextNode>(tabs_[9], "HintText");
    if (!hint || !getCurrentDictionary()) return;
    if (!control) {
        hint->setText(L"%Hint_BuildingPlace%");
    } else if (named(control, "SellButton")) {
        ControlNode* sell = nodeCast<ControlNode>(control);
        const bool unsell = sell && sell->getTemplateName() == makeNameId("Game_UnSellButton");
        hint->setText(unsell ? L"%Hint_BuildingPlaceUnSellButton%" : L"%Hint_BuildingPlaceSellButton%");
    } else if (named(control, "HotelsButton")) {
        hint->setText(L"%Hint_BuildingPlaceHotels%");
    } else if (named(control, "JoysButton")) {
        hint->setText(L"%Hint_BuildingPlaceJoys%");
    } else if (named(control, "FactoriesButton")) {
        hint->setText(L"%Hint_BuildingPlaceFactories%");
    }
}

void GGamePlayScene::showBuildTabHint(int32_t kind, BaseNode* tab, GBuildingConfig* record, GBuildingNode* building) {
    if (!tab || !getCurrentDictionary()) return;
    TextNode* hint = childOf<TextNode>(tab, "HintText");
    TextNode* label = childOf<TextNode>(tab, "Label");
    TextNode* labelText = childOf<TextNode>(tab, "LabelText");
    BaseNode* info = child(tab, "BuildingInfoNode");
    if (labelText) labelText->setVisible(true);
    if (label) label->setVisible(true);
    if (info) info->setVisible(false);
    if (!hint || !label || !labelText || !info) return;
    if (building && record) {
        if (kind == kJoysKind) {
            const bool bonus = record->ServeAreaIncomeBonus > 0.0f;
            label->setText(bonus ? L"%Hint_BuildTabJoys2%" : L"%Hint_BuildTabJoys1%");
            labelText->setText(bonus ? L"%Hint_BuildTabJoys2Tip%" : L"%Hint_BuildTabJoys1Tip%");
        }
        // The hovered building's own title stands where the tab's label is.
        label->setVisible(false);
        labelText->setVisible(false);
        info->setVisible(true);
        fillBuildingInfo(info, record, building, false);
        hint->setText(formatText("Hint_BuildTabBuild", displayName(record)));
        // The description runs on below the stats. Where it would reach the
        // build hint's line, and the Back button beside it, the build tab
        // leaves it out: the building's panel shows it once it stands.
        if (BaseNode* description = child(info, "DescriptionNode")) {
            TextNode* text = childOf<TextNode>(description, "Text");
            const float bottom =
                info->getPosition().Y + description->getPosition().Y + (text ? text->getTextHeight() : 0.0f);
            if (description->isVisible() && bottom > hint->getPosition().Y) description->setVisible(false);
        }
    } else if (building) {
        hint->setText(L"%Hint_BuildTabBack%");
    } else if (kind == kHotelsKind) {
        hint->setText(L"%Hint_BuildTab_Hotels%");
    } else if (kind == kFactoriesKind) {
        hint->setText(L"%Hint_BuildTab_Factories%");
    } else if (kind == kJoysKind) {
        hint->setText(L"%Hint_BuildTab_Joys%");
        label->setText(L"%Hint_BuildTabJoys%");
        labelText->setText(L"%Hint_BuildTabJoysTip%");
    }
}

void GGamePlayScene::showBuildingTabHint(BaseNode* control) {
    if (!buildingHint_ || !getCurrentDictionary()) return;
    hoveredFeature_ = -1;
    GBuildingNode* b = getSelectedBuilding();
    GBuildingConfig* rec = b ? b->getRecord() : nullptr;
    const int32_t job = b ? b->getJobState() : 0;
    if (b && job != GBuildingNode::kNoJob && job != GBuildingNode::kServiceJob) {
        stringw title, hint;
        jobTexts(b, title, hint);
        buildingHint_->setText(hint);
    } else if (!control) {
        const bool quiet = b && rec && rec->Type >= 3 && b->isOperating() && rec->ActiveFeatures.empty();
        buildingHint_->setText(quiet ? stringw() : stringw(L"%Hint_BuildingTab%"));
    } else if (b && rec) {
        ControlNode* asControl = nodeCast<ControlNode>(control);
        const bool can = asControl && asControl->isEnabled();
        const int32_t condition = b->getCondition();
        const wchar_t* text = nullptr;
        if (named(control, "SellButton")) {
            const bool unsell = asControl && asControl->getTemplateName() == makeNameId("Game_UnSellButton");
            text = unsell ? L"%Hint_BuildingUnSellButton%" : L"%Hint_BuildingSellButton%";
        } else if (named(control, "UpgradeButton")) {
            BuildingsConfiguration* buildings = gameBuildings();
            const bool hasNext = buildings && rec->NextLevelName != kNoName && buildings->find(rec->NextLevelName);
            text = !hasNext ? L"%Hint_BuildingTabNoUpgrade%"
                   : can    ? L"%Hint_BuildingTabUpgrade%"
                            : L"%Hint_BuildingTabCantUpgrade%";
        } else if (named(control, "RepairButton")) {
            text = condition != GBuildingNode::kBroken ? L"%Hint_BuildingTabNoRepare%"
                   : can                               ? L"%Hint_BuildingTabRepare%"
                                                       : L"%Hint_BuildingTabCantRepare%";
        } else if (named(control, "CleanButton")) {
            text = condition != GBuildingNode::kDirty ? L"%Hint_BuildingTabNoClean%"
                   : can                              ? L"%Hint_BuildingTabClean%"
                                                      : L"%Hint_BuildingTabCantClean%";
        } else if (named(control, "DestroyButton")) {
            text = can ? L"%Hint_BuildingTabDestroy%" : L"%Hint_BuildingTabCantDestroy%";
        } else if (named(control, "CustomServeButton")) {
            const bool restore = condition == GBuildingNode::kNeedsRestoring;
            switch (rec->Type) {
                case 3:
                    if (restore) text = can ? L"%Hint_BuildingTabRestoreFishingCenter%"
                                            : L"%Hint_BuildingTabCantRestoreFishingCenter%";
                    break;
                case 4:
                    if (restore) text = can ? L"%Hint_BuildingTabObservationBuild%"
                                            : L"%Hint_BuildingTabObservationCantBuild%";
                    break;
                case 5:
                    if (restore) {
                        text = can ? L"%Hint_BuildingTabPyramidClean%" : L"%Hint_BuildingTabCantPyramidClean%";
                    } else {
                        text = can ? L"%Hint_BuildingTabPyramidShow%" : L"%Hint_BuildingTabCantPyramidShow%";
                    }
                    break;
                case 6:
                    if (restore) text = can ? L"%Hint_BuildingTabStationBuild%" : L"%Hint_BuildingTabStationCantBuild%";
                    break;
                case 7:
                    if (restore) text = can ? L"%Hint_BuildingTabHQBuild%" : L"%Hint_BuildingTabHQCantBuild%";
                    break;
                default:
                    break;
            }
        } else if (named(control, "ActiveFeature1Button") || named(control, "ActiveFeature2Button")) {
            const int32_t index = named(control, "ActiveFeature1Button") ? 0 : 1;
            if (b->isFeatureAvailable(index)) {
                const int32_t state = b->featureState(index);
                if (state == GBuildingNode::kFeatureRecharging) {
                    buildingHint_->setText(L"%Hint_BuildingTabFeatureRecharging%");
                } else if (state == GBuildingNode::kFeatureActive) {
                    buildingHint_->setText(L"%Hint_BuildingTabFeatureActive%");
                } else if (static_cast<int32_t>(rec->ActiveFeatures.size()) > index) {
                    buildingHint_->setText(rec->ActiveFeatures[index].buttonInfoText);
                }
            } else {
                buildingHint_->setText(L"%Hint_BuildingTabFeatureUnavailable%");
            }
            hoveredFeature_ = index;
        }
        if (text) buildingHint_->setText(text);
    }
    if (b && rec) fillBuildingInfo(child(tabs_[5], "BuildingInfoNode"), rec, b, true);
}

void GGamePlayScene::showBuyTabHint(BaseNode* control) {
    TextNode* hint = childOf<TextNode>(tabs_[6], "HintText");
    if (!tabs_[6] || !hint || !getCurrentDictionary()) return;
    GBuildingNode* b = getSelectedBuilding();
    GLevelConfig* level = getLevelConfig();
    if (!control) {
        hint->setText(L"%Hint_BuyTab%");
    } else if (named(control, "BuyButton") && b && levelScene_) {
        const float bonus = level ? level->modifierValues.BuyNotForSaleBuildingPriceBonus : 0.0f;
        if (!b->isForSale() && bonus < 1.0f) {
            hint->setText(L"%Hint_CantBuyNotForSaleButton%");
        } else {
            hint->setText(b->price() <= levelScene_->money ? L"%Hint_BuyButton%" : L"%Hint_CantBuyButton%");
        }
    }
}

void GGamePlayScene::showSellOfferHint(BaseNode* control) {
    TextNode* hint = childOf<TextNode>(tabs_[8], "HintText");
    if (!hint || !getCurrentDictionary()) return;
    if (!control) {
        hint->setText(L"%Hint_BuyRequestTab%");
    } else if (named(control, "AcceptSellOfferButton")) {
        hint->setText(L"%Hint_BuyRequestAcceptButton%");
    } else if (named(control, "DeclineSellOfferButton")) {
        hint->setText(L"%Hint_BuyRequestDeclineButton%");
    }
}

}  // namespace game
