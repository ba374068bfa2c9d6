// How the level answers the events that reach it: the completion events of
// its tasks, the requests of the random events and the tutorial, clicks on
// the playfield, and the objectives check that ends the level.
#include "engine/audio/SoundManager.h"
#include "engine/content/Dictionary.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TextRoutines.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/TextNode.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/ConfigReading.h"
#include "game/config/LevelConfig.h"
#include "game/common/GBaseSceneNode.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/world/WeatherParticlesNode.h"

#include <algorithm>
#include <cmath>

namespace game {

using namespace engine;

namespace {

bool contains(const array<NameId>& list, NameId id) {
    for (uint32_t i = 0; i < list.size(); ++i) {
        if (list[i] == id) return true;
    }
    return false;
}

void logNode(const char* text, BaseNode* node) {
    getLogger().log(text, node ? nameOfId(node->getName()).c_str() : "", LOG_DEBUG);
}

GBuildingNode* pickAtRandom(const std::vector<GBuildingNode*>& candidates) {
    return candidates[getRandomGenerator().nextMWC() % static_cast<uint32_t>(candidates.size())];
}

// min, or a value drawn between min and max.
float drawBetween(const vector2df& range) {
    const float span = range.Y - range.X;
    return span != 0.0f ? range.X + span * getRandomGenerator().nextUnitFloat() : range.X;
}

}  // namespace

bool GGameLevelScene::matchesTypeAndPlace(const GBuildingNode* building, const array<NameId>& types,
                                          const array<NameId>& places) const {
    if (!building) return false;
    const GBuildingConfig* record = building->getRecord();
    if (!types.empty() && !(record && contains(types, record->Name))) return false;
    return places.empty() || contains(places, building->getName());
}

// ---- Completion events of the tasks ----------------------------------------------

bool GGameLevelScene::onBuildingCompleted(GBuildingCompletedEvent* event) {
    GBuildingNode* building = event ? event->getBuilding() : nullptr;
    if (!building) return false;
    appendHistory(kBuilt, building->getRecord(), building);
    building->setSinceCondition(0);
    clearFinishedJob(building);
    refresh();
    const GBuildingConfig* record = building->getRecord();
    if (record && record->BuiltSoundCueName != kNoName) {
        if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(record->BuiltSoundCueName, false, 0);
    }
    return false;
}

bool GGameLevelScene::onRepairCompleted(GRepairCompletedEvent* event) {
    GBuildingNode* building = event ? event->getBuilding() : nullptr;
    if (!building) return false;
    appendHistory(kRepaired, building->getRecord(), building);
    building->setSinceCondition(0);
    clearFinishedJob(building);
    refresh();
    postLevelChanged();
    return false;
}

bool GGameLevelScene::onCleaningCompleted(GCleaningCompletedEvent* event) {
    GBuildingNode* building = event ? event->getBuilding() : nullptr;
    if (!building) return false;
    appendHistory(kCleaned, building->getRecord(), building);
    building->setSinceCondition(0);
    clearFinishedJob(building);
    refresh();
    postLevelChanged();
    return false;
}

bool GGameLevelScene::onBusVisitCompleted(GBusVisitCompletedEvent* event) {
    GBuildingNode* building = event ? event->getBuilding() : nullptr;
    if (!building) return false;
    clearFinishedJob(building);
    refresh();
    postLevelChanged();
    return false;
}

bool GGameLevelScene::onServiceCompleted(GServiceCompletedEvent* event) {
    GBuildingNode* building = event ? event->getBuilding() : nullptr;
    if (!building) return false;
    clearFinishedJob(building);
    collectServices();
    postLevelChanged();
    return false;
}

bool GGameLevelScene::onIncome(GIncomeEvent* event) {
    if (event) money += event->getAmount();
    return false;
}

bool GGameLevelScene::onFeatureUsed(GFeatureUsedEvent* event) {
    GBuildingNode* building = event ? event->getBuilding() : nullptr;
    if (!building) return false;
    const int32_t index = event->getFeatureIndex();
    const int32_t action = index == 1 ? kFeature1Used : index == 2 ? kFeature2Used : kFeature0Used;
    appendHistory(action, building->getRecord(), building);
    refresh();
    postLevelChanged();
    return false;
}

bool GGameLevelScene::onDestructionCompleted(GDestructionCompletedEvent* event) {
    GBuildingNode* building = event ? event->getBuilding() : nullptr;
    if (!building) return false;
    if (const GBuildingConfig* previous = building->getPreviousRecord()) appendHistory(kDestroyed, previous, building);
    clearFinishedJob(building);
    refresh();
    postLevelChanged();
    if (building->isFocused()) postToParentNew(new GBuildingSelectionEvent(building, building));
    return false;
}

bool GGameLevelScene::onTaskStep(GTaskStepEvent* event) {
    if (!event) return false;
    materials += event->getMaterials();
    workers += event->getWorkers();
    return false;
}

// ---- Requests ------------------------------------------------------------------------

bool GGameLevelScene::onSellRequest(GSellBuildingRequestEvent* event) {
    if (!event) return true;
    std::vector<GBuildingNode*> candidates;
    for (GBuildingNode* building : buildings) {
        if (building->isVisible() && !building->isOwnedByThePlayer() && !building->isForSale() &&
            matchesTypeAndPlace(building, event->buildingTypes, event->placeNames)) {
            candidates.push_back(building);
        }
    }
    if (candidates.empty()) return true;
    GBuildingNode* chosen = pickAtRandom(candidates);
    chosen->setForSale(true);
    chosen->notifySelection();
    return true;
}

bool GGameLevelScene::onBrokenRequest(GBrokenBuildingRequestEvent* event) {
    if (!event || !levelConfig || !levelConfig->modifierValues.CanBuildingsBroke) return true;
    return strikeBuilding(*event, 0, "Broken", GBuildingNode::kBroken);
}

bool GGameLevelScene::onDirtyRequest(GDirtyBuildingRequestEvent* event) {
    if (!event) return true;
    return strikeBuilding(*event, 2, "Dirty", GBuildingNode::kDirty);
}

bool GGameLevelScene::strikeBuilding(const GRequestEvent& event, int32_t type, const char* cue, int32_t condition) {
    std::vector<GBuildingNode*> candidates;
    for (GBuildingNode* building : buildings) {
        const GBuildingConfig* record = building->getRecord();
        if (building->isOperating() && record && record->Type == type && building->sinceCondition() >= 10000 &&
            matchesTypeAndPlace(building, event.buildingTypes, event.placeNames)) {
            candidates.push_back(building);
        }
    }
    if (candidates.empty()) return true;
    playCue(cue);
    pickAtRandom(candidates)->setCondition(condition);
    refresh();
    routeToParentNew(new GLevelChangedEvent());
    return true;
}

bool GGameLevelScene::onCafeRequest(GCafeBuildingRequestEvent*) { return true; }

bool GGameLevelScene::onLetterRequest(GLetterRequestEvent* event) {
    if (!event || !levelConfig || !levelConfig->modifierValues.CanReceiveMoneyLetters) return true;
    std::vector<GBuildingNode*> candidates;
    for (GBuildingNode* building : buildings) {
        const GBuildingConfig* record = building->getRecord();
        if (building->isOperating() && record && record->Level > 0 && record->Type == 0 &&
            building->sinceMoneyLetter() >= 5000 && findLetterOf(building) < 0 &&
            matchesTypeAndPlace(building, event->buildingTypes, event->placeNames)) {
            candidates.push_back(building);
        }
    }
    if (candidates.empty()) return true;
    TemplateCollectionNode* templates = templateCollection();
    BaseNode* letterTemplate = templates ? templates->getTemplate(makeNameId("MoneyLetter")) : nullptr;
    if (!letterTemplate) return true;

    playCue("MoneyLetter");
    GBuildingNode* building = pickAtRandom(candidates);
    const float factor = drawBetween(event->moneyRange);
    // Whole hundreds, and never more than a sum of money can be.
    const double hundreds = std::floor(static_cast<double>(building->income()) * 0.01 * factor + 1.0);
    const int32_t amount = 100 * saturatingInt(std::min(hundreds, static_cast<double>(bounds::kMoney) / 100.0));
    const float wait = drawBetween(event->waitTimeRange);
    const int32_t total = roundedInt(wait);

    CountedRef<MoneyLetterData> data(new MoneyLetterData(amount, total, building));
    BaseNode* letter = letterTemplate->clone(building, getManager());
    if (!letter) return true;
    letter->setVisible(true);
    letter->setUserData(data.get());
    letter->enterStateInChildren(makeNameId("Appear"));
    letter->addRef();
    moneyLetters.push_back(letter);
    building->setWantFocus(false);

    if (TextNode* text = nodeCast<TextNode>(directChild(*letter, "Text"))) {
        EngineDevice* device = getEngine();
        Dictionary* dictionary = device ? device->getDictionary() : nullptr;
        const stringw written = formatWithSeparator(amount, L',');
        text->setText(dictionary ? dictionary->format("MoneyDollar", written) : written);
    }
    if (BaseNode* progress = directChild(*letter, "Progress")) GBuildingNode::setTimerDial(progress, 0.0f);
    return true;
}

bool GGameLevelScene::onWeatherRequest(GWeatherRequestEvent* event) {
    if (!event || !weatherNode) return true;
    weatherNode->setEnabled(true);
    // However many showers add up, the time left stays an int.
    weatherRemainingMs =
        saturatingAdd(weatherRemainingMs, getRandomGenerator().rangeInt(event->minDuration, event->maxDuration));
    if (!levelConfig || levelConfig->settingIndex != 4) {
        if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(makeNameId("Rain"), true, 0);
    }
    return true;
}

bool GGameLevelScene::onBuildingExistsQuery(GBuildingExistsQueryEvent* event) {
    if (!event) return true;
    for (const GBuildingNode* building : buildings) {
        const GBuildingConfig* record = building->getRecord();
        if (building->isOwnedByThePlayer() && record && contains(event->getBuildingTypes(), record->Name)) {
            event->setAnswer(true);
            break;
        }
    }
    return true;
}

// ---- Input -------------------------------------------------------------------------------

bool GGameLevelScene::onNodePressPreview(NodePressPreviewEvent*) { return false; }

bool GGameLevelScene::onNodePressed(NodePressedEvent* event) {
    BaseNode* node = event ? event->getNode() : nullptr;
    logNode("Node was pressed", node);
    GBuildingNode* building = nodeCast<GBuildingNode>(node);
    if (!building) {
        // A letter drawn over its building catches the click itself: it
        // stands for a click on the building that shows it.
        for (BaseNode* letter : moneyLetters) {
            for (BaseNode* at = node; at; at = at->getParent()) {
                if (at != letter) continue;
                const auto* data = dynamic_cast<const MoneyLetterData*>(letter->getUserData());
                if (data) building = data->building;
                break;
            }
            if (building) break;
        }
    }
    if (!building) {
        if (node == this) {
            if (GBuildingNode* selected = selectedBuilding()) selected->setFocused(false);
            previousSelection = currentSelection;
            currentSelection = nullptr;
            postToParentNew(new GBuildingSelectionEvent(nullptr, previousSelection));
        }
        return false;
    }
    const int32_t letterIndex = findLetterOf(building);
    if (letterIndex >= 0) {
        CountedRef<BaseNode> letter = CountedRef<BaseNode>::share(moneyLetters[static_cast<size_t>(letterIndex)]);
        const MoneyLetterData* data = dynamic_cast<const MoneyLetterData*>(letter->getUserData());
        money += static_cast<float>(data->amount);
        refresh();
        building->setSinceMoneyLetter(0);
        building->setWantFocus(true);
        removeLetterAt(static_cast<size_t>(letterIndex));
        letter->enterStateInChildren(makeNameId("DisappearHit"));
        playCue("ObjFound");
        return true;
    }
    previousSelection = currentSelection;
    currentSelection = building;
    postToParentNew(new GBuildingSelectionEvent(building, previousSelection));
    building->setFocused(true);
    return true;
}

bool GGameLevelScene::onNodeHovered(NodeHoveredEvent* event) {
    logNode("Node was hovered", event ? event->getNode() : nullptr);
    return false;
}

bool GGameLevelScene::onNodeUnhovered(NodeUnhoveredEvent*) { return false; }

bool GGameLevelScene::onNodeFocused(NodeFocusedEvent* event) {
    logNode("Node was focused", event ? event->getNode() : nullptr);
    return false;
}

bool GGameLevelScene::onNodeUnfocused(NodeUnfocusedEvent*) { return false; }

// ---- Completion ------------------------------------------------------------------------

void GGameLevelScene::checkObjectives() {
    if (objectivesMet && hintText.empty()) return;
    hintText = "";
    objectivesMet = true;
    if (levelConfig && levelConfig->objectives) {
        int32_t unmet = 0;
        for (uint32_t i = 0; i < levelConfig->objectives->size(); ++i) {
            GObjective* objective = levelConfig->objectives->at(i);
            if (objective->isMet(stateView())) continue;
            objectivesMet = false;
            if (++unmet == 1) {
                hintText = narrow(objective->getHint().c_str());
            } else {
                // Two or more unmet: no single hint to give.
                hintText = "";
                break;
            }
        }
    }
    if (hintText.empty() && objectivesMet) {
        bool broken = false;
        bool dirty = false;
        for (const GBuildingNode* building : buildings) {
            const GBuildingConfig* record = building->getRecord();
            if (!building->isOwnedByThePlayer() || !record) continue;
            const int32_t condition = building->getCondition();
            const bool maintained = building->getJobState() == GBuildingNode::kMaintenanceJob;
            if (record->Type == 0) {
                if (condition == GBuildingNode::kBroken || maintained) {
                    broken = true;
                } else if (condition == GBuildingNode::kDirty) {
                    dirty = true;
                }
            } else if (condition == GBuildingNode::kDirty || maintained) {
                dirty = true;
            }
        }
        if (broken && dirty) {
            hintText = "%GamePlay_CompleteBlocked1Hint%";
        } else if (dirty) {
            hintText = "%GamePlay_CompleteBlocked3Hint%";
        } else if (broken) {
            hintText = "%GamePlay_CompleteBlocked2Hint%";
        }
    }
    postCompletion();
}

bool GGameLevelScene::canPost() { return getManager() && getManager()->getEventQueue(); }

void GGameLevelScene::postCompletion() {
    if (completionSent_ || !objectivesMet || !hintText.empty() || !canPost()) return;
    completionSent_ = true;
    postToParentNew(new GLevelCompletedEvent(true));
}

}  // namespace game
