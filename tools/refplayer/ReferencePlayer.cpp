#include "tools/refplayer/ReferencePlayer.h"

#include "engine/core/Event.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/hud/GGamePlayScene.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"

#include <algorithm>
#include <limits>

using engine::CountedRef;
using engine::NameId;
using game::GBuildingConfig;
using game::GBuildingNode;
using game::GGameLevelScene;

namespace refplayer {

namespace {

bool contains(const engine::array<NameId>& list, NameId name) {
    for (uint32_t i = 0; i < list.size(); ++i) {
        if (list[i] == name) return true;
    }
    return false;
}

bool listAccepts(const engine::array<NameId>& list, NameId name) { return list.empty() || contains(list, name); }

bool idle(const GBuildingNode* building) { return building->getJobState() == GBuildingNode::kNoJob; }

bool emptyPlace(const GBuildingNode* building) {
    const GBuildingConfig* record = building->getRecord();
    return record && record->Level == 0 && building->isOwnedByThePlayer() && idle(building);
}

// A goal big enough to come before any income.
constexpr float kGoalWeight = 1.0e6f;
// An investment that earns its price back within this much level time is
// always worth making first.
constexpr float kQuickPaybackMs = 150000.0f;

}  // namespace

const std::vector<std::string>& buildListRecords() {
    static const std::vector<std::string> records = [] {
        std::vector<std::string> names;
        for (int32_t kind : {game::GGamePlayScene::kHotelsKind, game::GGamePlayScene::kJoysKind,
                             game::GGamePlayScene::kFactoriesKind}) {
            int32_t count = 0;
            const game::BuildListEntry* entries = game::buildListEntries(kind, count);
            for (int32_t i = 0; i < count; ++i) names.push_back(entries[i].typeName);
        }
        return names;
    }();
    return records;
}

ReferencePlayer::ReferencePlayer(GGameLevelScene& scene) : scene_(scene) {
    if (scene.levelConfig && scene.levelConfig->objectives) {
        for (uint32_t i = 0; i < scene.levelConfig->objectives->size(); ++i) {
            objectives_.push_back(scene.levelConfig->objectives->at(i));
        }
    }
}

bool ReferencePlayer::act(bool done, const char* what, const GBuildingNode* building, const GBuildingConfig* record) {
    if (!done) return false;
    ++commands_;
    trace_ += " ";
    trace_ += what;
    if (building) trace_ += std::string("@") + engine::nameOfId(building->getName()).c_str();
    if (record) trace_ += std::string("=") + engine::nameOfId(record->Name).c_str();
    return true;
}

std::string ReferencePlayer::takeTrace() {
    std::string text;
    text.swap(trace_);
    return text;
}

bool ReferencePlayer::anyGoalUnmet() const {
    for (const game::GObjective* objective : objectives_) {
        if (!const_cast<game::GObjective*>(objective)->isMet(scene_.stateView())) return true;
    }
    return false;
}

void ReferencePlayer::decide() {
    if (scene_.paused || scene_.objectivesMet) return;
    collectLetters();
    keepBuildingsRunning();
    useFeatures();
    tradeBuildings();
    invest();
    orderSupplies();
}

void ReferencePlayer::collectLetters() {
    // A letter stands over its building: a click on it collects it.
    std::vector<GBuildingNode*> writers;
    for (engine::BaseNode* letter : scene_.moneyLetters) {
        const auto* data = dynamic_cast<const game::MoneyLetterData*>(letter->getUserData());
        if (data && data->building) writers.push_back(data->building);
    }
    for (GBuildingNode* building : writers) {
        CountedRef<engine::NodePressedEvent> press(new engine::NodePressedEvent(building));
        act(scene_.handleEvent(press.get()), "letter", building);
    }
}

void ReferencePlayer::keepBuildingsRunning() {
    for (GBuildingNode* building : scene_.buildings) {
        if (!building->isOwnedByThePlayer() || !building->getRecord() || !idle(building)) continue;
        const int32_t condition = building->getCondition();
        if (condition == GBuildingNode::kNoCondition) continue;
        if (condition >= GBuildingNode::kProviderServiceRequest) {
            act(scene_.serveRequest(building), "serve", building);
            continue;
        }
        const GGameLevelScene::CommandCost cost = scene_.maintenanceCost(building, condition);
        if (scene_.materials < cost.materials || scene_.workers < cost.workers) continue;
        switch (condition) {
            case GBuildingNode::kBroken: act(scene_.repair(building), "repair", building); break;
            case GBuildingNode::kDirty: act(scene_.clean(building), "clean", building); break;
            case GBuildingNode::kNeedsRestoring:
                // A ruin rebuilt is a building of the player's.
                if (act(scene_.restore(building), "restore", building)) ++built_;
                break;
            default: break;
        }
    }
}

float ReferencePlayer::reserve() const {
    const game::OrderOption* option = cheapestOption(true);
    return option ? option->price : 0.0f;
}

const game::OrderOption* ReferencePlayer::cheapestOption(bool materials) const {
    const game::GLevelConfig* config = scene_.levelConfig;
    if (!config) return nullptr;
    const auto& options = materials ? config->materialOrderOptions : config->workerOrderOptions;
    const game::OrderOption* best = nullptr;
    for (const auto& option : options) {
        if (!option || option->amount <= 0.0f) continue;
        if (!best || option->price < best->price) best = option.get();
    }
    return best;
}

float ReferencePlayer::materialsWanted() const {
    const game::GLevelConfig* config = scene_.levelConfig;
    float wanted = 0.0f;
    for (const GBuildingNode* building : scene_.buildings) {
        const GBuildingConfig* record = building->getRecord();
        if (!record || !building->isOwnedByThePlayer() || record->Level <= 0) continue;
        wanted = std::max(wanted, 2.0f * record->repairMaterialsCost(config));
    }
    for (const GBuildingNode* building : scene_.buildings) {
        if (!emptyPlace(building)) continue;
        for (const std::string& name : buildListRecords()) {
            const GBuildingConfig* record = scene_.buildingsConfiguration
                                                ? scene_.buildingsConfiguration->find(engine::makeNameId(name.c_str()))
                                                : nullptr;
            if (record && buildable(record)) wanted = std::max(wanted, record->buildMaterialsCost(config));
        }
        break;
    }
    return wanted;
}

void ReferencePlayer::orderSupplies() {
    const game::GLevelConfig* config = scene_.levelConfig;
    if (!config) return;
    if (scene_.materialCountdown < 0.0f && scene_.materials < materialsWanted()) {
        // The most materials for the money that can be spent now.
        const game::OrderOption* choice = nullptr;
        for (const auto& option : config->materialOrderOptions) {
            if (!option || option->amount <= 0.0f || scene_.materialsOrderCost(option.get()).money > scene_.money) continue;
            if (!choice || option->amount / std::max(1.0f, option->price) >
                               choice->amount / std::max(1.0f, choice->price)) {
                choice = option.get();
            }
        }
        if (choice) act(scene_.orderMaterials(choice), "materials");
    }
    // Short of hands: every worker is out and a broken or dirty building
    // waits; one more worker then (hiring for goals is an investment).
    bool waiting = false;
    for (const GBuildingNode* building : scene_.buildings) {
        if (building->isOwnedByThePlayer() && building->getCondition() != GBuildingNode::kNoCondition &&
            building->getCondition() < GBuildingNode::kProviderServiceRequest && idle(building)) {
            waiting = true;
        }
    }
    if (scene_.workerCountdown < 0.0f && scene_.workers == 0 && waiting && scene_.workersHired < 3) {
        const game::OrderOption* option = cheapestOption(false);
        if (option && scene_.workersOrderCost(option).money <= scene_.money) act(scene_.orderWorkers(option), "workers");
    }
}

int32_t ReferencePlayer::workersGoal() const {
    int32_t goal = 0;
    for (const game::GObjective* objective : objectives_) {
        if (const auto* workers = dynamic_cast<const game::WorkersObjective*>(objective)) {
            goal = std::max(goal, workers->value);
        }
    }
    return goal;
}

void ReferencePlayer::useFeatures() {
    // Features that goals ask to run together wait for each other.
    std::vector<std::pair<NameId, int32_t>> together;
    std::vector<std::pair<NameId, int32_t>> wanted;
    for (const game::GObjective* objective : objectives_) {
        auto* goal = const_cast<game::GObjective*>(objective);
        if (goal->isMet(scene_.stateView())) continue;
        if (const auto* concurrent = dynamic_cast<const game::HaveConcurrentFeaturesObjective*>(objective)) {
            for (uint32_t i = 0; i < concurrent->buildingTypes.size(); ++i) {
                const int32_t index = i < concurrent->featureIndices.size() ? concurrent->featureIndices[i] : 0;
                together.emplace_back(concurrent->buildingTypes[i], index);
            }
        } else if (const auto* history = dynamic_cast<const game::TypedHistoryActionsCountObjective*>(objective)) {
            if (history->action >= GGameLevelScene::kFeature0Used && history->action <= GGameLevelScene::kFeature2Used) {
                wanted.emplace_back(engine::kNoName, history->action - GGameLevelScene::kFeature0Used);
            }
        }
    }
    auto readyBuilding = [this](NameId type, int32_t index) -> GBuildingNode* {
        for (GBuildingNode* building : scene_.buildings) {
            const GBuildingConfig* record = building->getRecord();
            if (!record || record->Name != type || !building->isOperating()) continue;
            if (building->featureState(index) != GBuildingNode::kFeatureReady) continue;
            if (scene_.featureCost(building, index).money > scene_.money) continue;
            return building;
        }
        return nullptr;
    };
    if (!together.empty()) {
        std::vector<GBuildingNode*> ready;
        float cost = 0.0f;
        for (const auto& [type, index] : together) {
            GBuildingNode* building = readyBuilding(type, index);
            if (!building) break;
            ready.push_back(building);
            cost += scene_.featureCost(building, index).money;
        }
        if (ready.size() == together.size() && cost <= scene_.money) {
            for (size_t i = 0; i < ready.size(); ++i) act(scene_.activateFeature(ready[i], together[i].second), "feature", ready[i]);
        }
    }
    // The rest: whenever the money for it is to spare.
    for (GBuildingNode* building : scene_.buildings) {
        const GBuildingConfig* record = building->getRecord();
        if (!record || !building->isOperating()) continue;
        for (int32_t index = 0; index < static_cast<int32_t>(record->ActiveFeatures.size()); ++index) {
            bool reserved = false;
            for (const auto& entry : together) reserved = reserved || entry.first == record->Name;
            if (reserved || building->featureState(index) != GBuildingNode::kFeatureReady) continue;
            bool goal = false;
            for (const auto& entry : wanted) goal = goal || entry.second == index;
            const float cost = scene_.featureCost(building, index).money;
            // Money saved up for a goal is not spent on a boost.
            if (goal ? cost <= scene_.money : cost * 4.0f + reserve() + savingFor_ <= scene_.money) {
                act(scene_.activateFeature(building, index), "feature", building);
            }
        }
    }
}

void ReferencePlayer::tradeBuildings() {
    for (const game::GObjective* objective : objectives_) {
        auto* goal = const_cast<game::GObjective*>(objective);
        const auto* history = dynamic_cast<const game::TypedHistoryActionsCountObjective*>(objective);
        if (!history || history->action != GGameLevelScene::kSold || goal->isMet(scene_.stateView())) continue;
        // Put one matching building up for sale and take the first offer.
        for (GBuildingNode* building : scene_.buildings) {
            const GBuildingConfig* record = building->getRecord();
            if (!record || record->Level <= 0 || !building->isOwnedByThePlayer() || !idle(building)) continue;
            if (!listAccepts(history->buildingTypes, record->Name)) continue;
            if (!building->isForSale()) {
                building->setForSale(true);
                ++commands_;
            } else if (building->isBuyRequestPending()) {
                act(scene_.sellBuilding(building), "sell", building);
            }
            break;
        }
    }
}

bool ReferencePlayer::buildable(const GBuildingConfig* record) const {
    if (!record || !scene_.availability || !scene_.availability->isBuildingAvailable(record->Name)) return false;
    for (const std::string& name : buildListRecords()) {
        if (record->Name == engine::makeNameId(name.c_str())) return true;
    }
    return false;
}

float ReferencePlayer::incomeGain(GBuildingNode* place, const GBuildingConfig* record) const {
    const float before = place->getRecord() && place->getRecord()->Level > 0 ? place->income() : 0.0f;
    float after = place->income(record);
    // What a joy or a service adds to the hotels around it.
    if (record->ServeAreaIncomeBonus > 0.0f) {
        for (const GBuildingNode* other : place->buildingsInServeArea(record)) {
            const GBuildingConfig* served = other->getRecord();
            if (!served || served->Type != 0 || !other->isOwnedByThePlayer()) continue;
            after += served->Income * record->ServeAreaIncomeBonus / 100.0f;
        }
    }
    return after - before;
}

float ReferencePlayer::goalValue(const GBuildingConfig* record, const GBuildingNode* place) const {
    float value = 0.0f;
    const game::LevelStateView& state = scene_.stateView();
    for (const game::GObjective* objective : objectives_) {
        auto* goal = const_cast<game::GObjective*>(objective);
        if (goal->isMet(state)) continue;
        if (const auto* typed = dynamic_cast<const game::HaveTypedBuildingsCountObjective*>(objective)) {
            const bool bonusTest = typed->minIncomeBonus != game::HaveTypedBuildingsCountObjective::kNoIncomeBonusTest;
            if (!listAccepts(typed->placeNames, place->getName())) continue;
            if (!typed->buildingTypes.empty() && contains(typed->buildingTypes, record->Name)) {
                value += kGoalWeight;
            } else if (bonusTest && record->ServeAreaIncomeBonus > 0.0f) {
                // A joy next to the hotels that must earn their bonus.
                for (const GBuildingNode* other : place->buildingsInServeArea(record)) {
                    const GBuildingConfig* served = other->getRecord();
                    if (served && other->isOwnedByThePlayer() && contains(typed->buildingTypes, served->Name) &&
                        other->getIncomeBonusPercent() < typed->minIncomeBonus) {
                        value += kGoalWeight / 2.0f;
                    }
                }
            }
        } else if (const auto* each = dynamic_cast<const game::HaveEachTypeBuildingsCountObjective*>(objective)) {
            if (contains(each->buildingTypes, record->Name) && scene_.countBuildingsOfType(record->Name) < each->value) {
                value += kGoalWeight;
            }
        } else if (const auto* history = dynamic_cast<const game::TypedHistoryActionsCountObjective*>(objective)) {
            if (history->action == GGameLevelScene::kBuilt && listAccepts(history->buildingTypes, record->Name) &&
                listAccepts(history->placeNames, place->getName())) {
                value += kGoalWeight;
            }
        } else if (const auto* concurrent = dynamic_cast<const game::HaveConcurrentFeaturesObjective*>(objective)) {
            if (contains(concurrent->buildingTypes, record->Name) && scene_.countBuildingsOfType(record->Name) == 0) {
                value += kGoalWeight;
            }
        } else if (dynamic_cast<const game::GuestsCountObjective*>(objective)) {
            value += static_cast<float>(record->guestsCount(scene_.levelConfig)) * 100.0f;
        }
    }
    return value;
}

void ReferencePlayer::invest() {
    const game::GLevelConfig* config = scene_.levelConfig;
    if (!config || !scene_.buildingsConfiguration || !anyGoalUnmet()) return;
    // A money goal that is the only one left: spend only on what pays back
    // well before the goal would be reached without it.
    float moneyTarget = 0.0f;
    bool othersUnmet = false;
    for (const game::GObjective* objective : objectives_) {
        auto* goal = const_cast<game::GObjective*>(objective);
        if (goal->isMet(scene_.stateView())) continue;
        if (const auto* money = dynamic_cast<const game::MoneyObjective*>(objective)) {
            moneyTarget = std::max(moneyTarget, money->value);
        } else if (!dynamic_cast<const game::IncomeObjective*>(objective)) {
            othersUnmet = true;
        }
    }
    const float dayMs = static_cast<float>(std::max(1, config->dayLength)) * 1000.0f;

    std::vector<Investment> options;
    for (GBuildingNode* building : scene_.buildings) {
        if (emptyPlace(building)) {
            for (const std::string& name : buildListRecords()) {
                GBuildingConfig* record = scene_.buildingsConfiguration->find(engine::makeNameId(name.c_str()));
                if (!buildable(record)) continue;
                options.push_back({Investment::kBuild, building, record, scene_.buildCost(record).money,
                                   goalValue(record, building) + incomeGain(building, record)});
            }
        } else if (building->isOwnedByThePlayer() && building->isOperating() && idle(building)) {
            GBuildingConfig* next = scene_.upgradeRecord(building);
            if (!next || !scene_.availability || !scene_.availability->isBuildingAvailable(next->Name)) continue;
            options.push_back({Investment::kBuild, building, next, scene_.buildCost(next).money,
                               goalValue(next, building) + incomeGain(building, next)});
        } else if (!building->isOwnedByThePlayer() && building->isForSale() && building->getRecord()) {
            GBuildingConfig* record = building->getRecord();
            const float value = goalValue(record, building) + record->Income;
            options.push_back({Investment::kBuy, building, nullptr, scene_.buyCost(building).money, value});
        }
    }
    // Hands for a workers goal, saved up for like a building.
    if (scene_.workerCountdown < 0.0f && scene_.workersHired < workersGoal()) {
        if (const game::OrderOption* option = cheapestOption(false)) {
            options.push_back({Investment::kHire, nullptr, nullptr, scene_.workersOrderCost(option).money, kGoalWeight});
        }
    }
    savingFor_ = 0.0f;
    if (options.empty()) return;
    // Best value for the money first.
    auto worth = [](const Investment& i) { return i.value / std::max(1.0f, i.cost); };
    std::sort(options.begin(), options.end(),
              [&worth](const Investment& a, const Investment& b) { return worth(a) > worth(b); });
    auto forGoal = [](const Investment& i) { return i.value >= kGoalWeight / 2.0f; };
    auto paybackMs = [dayMs](const Investment& i) { return i.cost / std::max(1e-6f, i.value / dayMs); };
    const float spare = scene_.money - reserve();

    // An income that pays for itself quickly comes before saving up for a goal.
    for (const Investment& choice : options) {
        if (!forGoal(choice) && choice.value > 0.0f && choice.cost <= spare && paybackMs(choice) <= kQuickPaybackMs) {
            execute(choice);
            return;
        }
    }
    // Then the goals: the best one, saved up for when it is out of reach.
    for (const Investment& choice : options) {
        if (!forGoal(choice)) continue;
        if (choice.cost > scene_.money) {
            savingFor_ = choice.cost;
            return;
        }
        if (execute(choice)) return;
    }
    // Then income. With only a money goal left, only what pays back well
    // before the goal would be reached without it.
    const float incomePerMs = std::max(1.0f, scene_.dailyIncome) / dayMs;
    for (const Investment& choice : options) {
        if (forGoal(choice) || choice.value <= 0.0f) continue;
        if (moneyTarget > 0.0f && !othersUnmet) {
            const float toTargetMs = std::max(0.0f, moneyTarget - scene_.money) / incomePerMs;
            if (paybackMs(choice) > toTargetMs * 0.5f) continue;
        }
        if (choice.cost > spare) {
            // Worth saving up for when it is not far off.
            if (choice.cost < 3.0f * scene_.money + 1.0f) return;
            continue;
        }
        if (execute(choice)) return;
    }
}

bool ReferencePlayer::execute(const Investment& choice) {
    switch (choice.kind) {
        case Investment::kHire: return act(scene_.orderWorkers(cheapestOption(false)), "hire");
        case Investment::kBuy:
            if (!act(scene_.buyBuilding(choice.building), "buy", choice.building)) return false;
            ++built_;
            return true;
        case Investment::kBuild: break;
    }
    const GGameLevelScene::CommandCost cost = scene_.buildCost(choice.record);
    // Supplies come first: the materials order follows in this decision.
    if (scene_.materials < cost.materials || scene_.workers < cost.workers) return true;
    const bool done = choice.building->getRecord()->Level == 0 ? scene_.build(choice.building, choice.record)
                                                                 : scene_.upgrade(choice.building);
    if (!act(done, "build", choice.building, choice.record)) return false;
    ++built_;
    return true;
}

}  // namespace refplayer
