// The player's commands on the level: each checks its preconditions in a
// fixed order, pays, starts the task that carries out the work and tells the
// HUD. A refused command changes nothing.
//
// Besides the checks of each command, every command that starts a job on a
// building refuses while another job runs there: two tasks on one building
// would each take the place back when they end. A running feature is the
// exception for the work that lets it go on (repair, cleaning, restoring, a
// bus visit, a second feature): a feature only runs on an operating building,
// so refusing that work would stall the feature for good.
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/TemplateCollectionNode.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/common/GBaseSceneNode.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/level/tasks/GConstructionTask.h"
#include "game/level/tasks/GMaintenanceTasks.h"
#include "game/level/tasks/GServiceTasks.h"

#include <algorithm>
#include <cmath>

namespace game {

using namespace engine;

namespace {

bool isBuilt(const GBuildingConfig* record) { return record && record->Level != 0; }

bool isIdle(const GBuildingNode* building) { return building->getJobState() == GBuildingNode::kNoJob; }

// Idle, or only running a feature.
bool isIdleButForAFeature(const GBuildingNode* building) {
    return isIdle(building) || building->getJobState() == GBuildingNode::kFeatureJob;
}

}  // namespace

// ---- What the commands take ----------------------------------------------------------

GGameLevelScene::CommandCost GGameLevelScene::buildCost(const GBuildingConfig* record) const {
    CommandCost cost;
    if (!record) return cost;
    cost.money = record->Cost;
    cost.materials = record->buildMaterialsCost(levelConfig);
    cost.workers = record->buildWorkersCost(levelConfig);
    return cost;
}

GBuildingConfig* GGameLevelScene::upgradeRecord(const GBuildingNode* building) const {
    const GBuildingConfig* record = building ? building->getRecord() : nullptr;
    if (!record || !buildingsConfiguration || record->NextLevelName == kNoName) return nullptr;
    return buildingsConfiguration->find(record->NextLevelName);
}

GGameLevelScene::CommandCost GGameLevelScene::maintenanceCost(const GBuildingNode* building,
                                                              int32_t condition) const {
    CommandCost cost;
    const GBuildingConfig* record = building ? building->getRecord() : nullptr;
    if (!record) return cost;
    // A ruin is rebuilt at the materials and workers of building it.
    if (condition == GBuildingNode::kNeedsRestoring) {
        cost.materials = record->buildMaterialsCost(levelConfig);
        cost.workers = record->buildWorkersCost(levelConfig);
    } else {
        cost.materials = record->repairMaterialsCost(levelConfig);
        cost.workers = record->repairWorkersCost(levelConfig);
    }
    return cost;
}

GGameLevelScene::CommandCost GGameLevelScene::destroyCost(const GBuildingNode* building) const {
    CommandCost cost;
    if (const GBuildingConfig* record = building ? building->getRecord() : nullptr) {
        cost.workers = record->destroyWorkersCost(levelConfig);
    }
    return cost;
}

GGameLevelScene::CommandCost GGameLevelScene::featureCost(const GBuildingNode* building, int32_t featureIndex) const {
    CommandCost cost;
    const GBuildingConfig* record = building ? building->getRecord() : nullptr;
    if (record && featureIndex >= 0 && static_cast<size_t>(featureIndex) < record->ActiveFeatures.size()) {
        cost.money = record->ActiveFeatures[static_cast<size_t>(featureIndex)].moneyCost;
    }
    return cost;
}

GGameLevelScene::CommandCost GGameLevelScene::buyCost(const GBuildingNode* building) const {
    CommandCost cost;
    if (building && building->getRecord()) cost.money = building->price(building->getRecord());
    return cost;
}

GGameLevelScene::CommandCost GGameLevelScene::materialsOrderCost(const OrderOption* option) const {
    CommandCost cost;
    if (option && levelConfig) cost.money = levelConfig->modifierValues.MaterialPriceM * option->price;
    return cost;
}

GGameLevelScene::CommandCost GGameLevelScene::workersOrderCost(const OrderOption* option) const {
    CommandCost cost;
    if (option && levelConfig) cost.money = levelConfig->modifierValues.WorkerPriceM * option->price;
    return cost;
}

float GGameLevelScene::moneyLostOnStop(const GBuildingNode* building) const {
    if (!building || building->getJobState() != GBuildingNode::kConstructionJob) return 0.0f;
    // While the work runs the building holds the record being built.
    return buildCost(building->getRecord()).money;
}

// ---- Commands -------------------------------------------------------------------------

bool GGameLevelScene::canAfford(const GBuildingConfig* record) const {
    if (!record) return false;
    const CommandCost cost = buildCost(record);
    if (cost.money > money) return false;
    if (cost.materials > materials) return false;
    return workers >= cost.workers;
}

bool GGameLevelScene::canBuy(GBuildingNode* building) const {
    if (!building || !building->getRecord() || building->isOwnedByThePlayer()) return false;
    if (!building->isForSale()) {
        if (!levelConfig || levelConfig->modifierValues.BuyNotForSaleBuildingPriceBonus < 1.0f) return false;
    }
    return buyCost(building).money <= money;
}

void GGameLevelScene::startConstruction(GBuildingNode* building, GBuildingConfig* record) {
    building->saveState();
    building->setRecord(record, false);
    // The building keeps its old look while the work runs.
    const GBuildingConfig* previous = building->getPreviousRecord();
    if (previous && building->getTemplateName() != previous->Name) building->setTemplateName(previous->Name);
    GBuildingConfig* built = building->getRecord();
    const CommandCost cost = buildCost(built);
    startTask(new GConstructionTask(this, building, built, cargosNode, templateCollection(), pathFor(building),
                                    cost.materials, cost.workers),
              building, GBuildingNode::kConstructionJob);
    money -= cost.money;
    workers -= cost.workers;
    materials -= cost.materials;
    refresh();
    postLevelChanged();
}

bool GGameLevelScene::build(GBuildingNode* place, GBuildingConfig* record) {
    if (!cargosNode || !place) return false;
    const GBuildingConfig* current = place->getRecord();
    if (!current || current->Level != 0) return false;
    if (!record || !canAfford(record)) return false;
    if (!place->isOwnedByThePlayer() || !isIdle(place)) return false;
    startConstruction(place, record);
    return true;
}

bool GGameLevelScene::upgrade(GBuildingNode* building) {
    if (!building || !isBuilt(building->getRecord()) || !building->isOperating() || !isIdle(building)) return false;
    GBuildingConfig* next = upgradeRecord(building);
    if (!next || !canAfford(next)) return false;
    startConstruction(building, next);
    return true;
}

bool GGameLevelScene::repair(GBuildingNode* building) {
    return startMaintenance(building, GBuildingNode::kBroken);
}

bool GGameLevelScene::clean(GBuildingNode* building) {
    return startMaintenance(building, GBuildingNode::kDirty);
}

bool GGameLevelScene::restore(GBuildingNode* building) {
    return startMaintenance(building, GBuildingNode::kNeedsRestoring);
}

bool GGameLevelScene::startMaintenance(GBuildingNode* building, int32_t condition) {
    if (!building || !isBuilt(building->getRecord()) || !building->isOwnedByThePlayer()) return false;
    if (building->getCondition() != condition || !isIdleButForAFeature(building)) return false;
    const CommandCost cost = maintenanceCost(building, condition);
    const float materialsCost = cost.materials;
    const int32_t workersCost = cost.workers;
    TemplateCollectionNode* templates = templateCollection();
    GLevelPath* path = pathFor(building);
    GBuildingTask* task = nullptr;
    if (condition == GBuildingNode::kBroken) {
        task = new GRepairTask(this, building, cargosNode, templates, path, materialsCost, workersCost);
    } else if (condition == GBuildingNode::kDirty) {
        task = new GCleaningTask(this, building, cargosNode, templates, path, materialsCost, workersCost);
    } else {
        task = new GRestoringTask(this, building, cargosNode, templates, path, materialsCost, workersCost);
    }
    startTask(task, building, GBuildingNode::kMaintenanceJob);
    building->setCondition(GBuildingNode::kNoCondition);
    workers -= workersCost;
    materials -= materialsCost;
    // Of the three, only the cleaning recomputes the level at once.
    if (condition == GBuildingNode::kDirty) refresh();
    postLevelChanged();
    return true;
}

bool GGameLevelScene::destroy(GBuildingNode* building) {
    if (!building || !isBuilt(building->getRecord()) || !building->isOwnedByThePlayer() || !isIdle(building)) {
        return false;
    }
    // The place the building leaves behind must exist before anything is paid.
    GBuildingConfig* place = buildingsConfiguration ? buildingsConfiguration->find(makeNameId("BuildingPlace")) : nullptr;
    if (!place) {
        getLogger().log("No \"BuildingPlace\" record: the building cannot be destroyed", LOG_ERROR);
        return false;
    }
    building->saveState();
    building->clearSale();
    const NameId type = building->getRecord()->Name;
    const int32_t workersCost = destroyCost(building).workers;
    // The task hands back exactly the workers taken here.
    startTask(new GDestructionTask(this, building, cargosNode, templateCollection(), pathFor(building), workersCost),
              building, GBuildingNode::kDestructionJob);
    workers -= workersCost;
    for (GBuildingNode* other : buildings) {
        if (other->servingBuildingOfType(type) == building) other->setServingBuilding(type, nullptr);
    }
    building->setRecord(place, false);
    for (GBuildingNode* other : buildings) other->claimServedBuildings();
    // The requests are weighed against the services as they are now, without
    // the destroyed building.
    collectServices();
    dropUnservedRequests();
    refresh();
    postLevelChanged();
    return true;
}

bool GGameLevelScene::activateFeature(GBuildingNode* building, int32_t featureIndex) {
    if (!building || !building->getRecord() || !building->isOwnedByThePlayer()) return false;
    if (!building->isFeatureAvailable(featureIndex) || building->featureState(featureIndex) != 0) return false;
    const GBuildingConfig* record = building->getRecord();
    if (featureIndex < 0 || static_cast<size_t>(featureIndex) >= record->ActiveFeatures.size()) return false;
    if (record->Type >= 3) {
        // A feature job starts only where the feature can run (the HUD shows
        // its button only then), and beside nothing but another feature.
        if (!building->isOperating() || !isIdleButForAFeature(building)) return false;
        startTask(new GFeatureTask(this, building, cargosNode, templateCollection(), featureIndex), building,
                  GBuildingNode::kFeatureJob);
    } else {
        building->activateFeature(featureIndex);
    }
    money -= featureCost(building, featureIndex).money;
    refresh();
    building->playStateSound();
    postLevelChanged();
    return true;
}

bool GGameLevelScene::serveRequest(GBuildingNode* building) {
    if (!building || !building->getRecord() || !building->isOwnedByThePlayer()) return false;
    const int32_t service = building->getCondition();
    if (service <= GBuildingNode::kNeedsRestoring) return false;
    GBuildingNode* provider = findIdleProvider(service);
    if (!provider) return false;
    const bool busVisit = service == GBuildingNode::kBusVisitRequest;
    if (busVisit && (!isIdleButForAFeature(building) || provider == building)) return false;
    startTask(new GServiceTask(this, provider, templateCollection()), provider, GBuildingNode::kServiceJob);
    if (busVisit) {
        startTask(new GBusVisitTask(this, building, cargosNode, templateCollection(), pathFor(building)), building,
                  GBuildingNode::kMaintenanceJob);
    }
    building->setCondition(GBuildingNode::kNoCondition);
    collectServices();
    postLevelChanged();
    return true;
}

bool GGameLevelScene::sellBuilding(GBuildingNode* building) {
    if (!building || !building->getRecord() || !building->isOwnedByThePlayer()) return false;
    if (!building->isForSale() || !building->isBuyRequestPending()) return false;
    // Sold in the middle of its work, the building would keep a job that can
    // never end (an unowned building never operates).
    if (!isIdle(building)) return false;
    // The offer the HUD shows: taken while the buyer is still on the phone.
    const int32_t offer = building->getOfferPrice();
    playCue("Sold");
    appendHistory(kSold, building->getRecord(), building);
    building->clearSale();
    building->setOwned(false);
    money += static_cast<float>(offer);
    collectServices();
    dropUnservedRequests();
    refresh();
    postLevelChanged();
    return true;
}

bool GGameLevelScene::buyBuilding(GBuildingNode* building) {
    if (!building || !building->getRecord() || building->isOwnedByThePlayer()) return false;
    const float price = buyCost(building).money;
    if (price > money) return false;
    playCue("Bought");
    appendHistory(kBought, building->getRecord(), building);
    building->setForSale(false);
    building->setOwned(true);
    if (building->getRecord()->Type >= 3) building->setCondition(GBuildingNode::kNeedsRestoring);
    building->notifySelection();
    money -= price;
    refresh();
    postLevelChanged();
    return true;
}

bool GGameLevelScene::orderMaterials(const OrderOption* option) {
    if (!option || !levelConfig) return false;
    const float cost = materialsOrderCost(option).money;
    if (cost > money) return false;
    materialDeliveryTime = materialCountdown = option->timeMs;
    materialsOrdered = option->amount;
    money -= cost;
    postLevelChanged();
    return true;
}

bool GGameLevelScene::orderWorkers(const OrderOption* option) {
    if (!option || !levelConfig) return false;
    const float cost = workersOrderCost(option).money;
    if (cost > money) return false;
    workerDeliveryTime = workerCountdown = option->timeMs;
    workersOrdered = saturatingInt(option->amount);
    money -= cost;
    postLevelChanged();
    return true;
}

int32_t GGameLevelScene::ratingLevel() const {
    if (!levelConfig) return 0;
    // In double: subtracting a threshold from a large float rating can leave
    // it unchanged, and the count would never end.
    double x = rating;
    if (std::isnan(x)) return 0;
    const int32_t thresholdCount = static_cast<int32_t>(levelConfig->ratingThresholds.size());
    int32_t i = 0;
    while (x >= 0.0) {
        ++i;
        const int32_t threshold = levelConfig->ratingThreshold(i);
        // A threshold that passes nothing would never end the count.
        if (threshold <= 0) break;
        if (i >= thresholdCount - 1) {
            // Past the listed thresholds the last one repeats: count the rest
            // in one step.
            return saturatingAdd(i - 1, saturatingInt(std::floor(x / threshold)));
        }
        x -= threshold;
    }
    return i - 1;
}

GBuildingNode* GGameLevelScene::findIdleProvider(int32_t service) const {
    for (GBuildingNode* building : buildings) {
        const GBuildingConfig* record = building->getRecord();
        if (building->isOwnedByThePlayer() && isBuilt(record) && isIdle(building) &&
            record->ProvidedService == service) {
            return building;
        }
    }
    return nullptr;
}

void GGameLevelScene::dropUnservedRequests() {
    for (GBuildingNode* building : buildings) {
        if (!building->isOwnedByThePlayer() || !isBuilt(building->getRecord())) continue;
        const int32_t condition = building->getCondition();
        if (condition < GBuildingNode::kBusVisitRequest) continue;
        if (std::find(providedServices.begin(), providedServices.end(), condition) == providedServices.end()) {
            building->setCondition(GBuildingNode::kNoCondition);
        }
    }
}

}  // namespace game
