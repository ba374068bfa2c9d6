#include "game/level/GGameLevelScene.h"

#include "engine/audio/SoundManager.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/visual/AtlasTexture.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelPaths.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/common/GBaseSceneNode.h"
#include "game/level/GBuildingNode.h"
#include "game/level/tasks/GBuildingTask.h"
#include "game/level/tasks/GCloudsTask.h"
#include "game/world/LevelTraffic.h"
#include "game/world/PathMovers.h"
#include "game/world/WeatherParticlesNode.h"

#include <algorithm>

namespace game {

using namespace engine;

// The running level as the objectives read it.
class GGameLevelScene::StateView : public LevelStateView {
public:
    explicit StateView(const GGameLevelScene& scene) : scene_(scene) {}
    float money() const override { return scene_.money; }
    float dailyIncome() const override { return scene_.dailyIncome; }
    int32_t workersHired() const override { return scene_.workersHired; }
    int32_t guests() const override { return scene_.guests; }
    uint32_t buildingCount() const override { return static_cast<uint32_t>(scene_.buildings.size()); }
    const LevelBuildingView& building(uint32_t index) const override { return *scene_.buildings[index]; }
    const std::vector<HistoryRecord>& history() const override { return scene_.history; }

private:
    const GGameLevelScene& scene_;
};

namespace {

template <class E, bool (GGameLevelScene::*Handler)(E*)>
bool call(GGameLevelScene& scene, Event* event) {
    return (scene.*Handler)(dynamic_cast<E*>(event));
}

// Replaces a counted pointer field: the new object is held before the old
// one is let go.
template <class T>
void replaceCounted(T*& field, T* value) {
    if (value) value->addRef();
    T* old = field;
    field = value;
    if (old) old->release();
}

// How the movers find the paths of the scene they are drawn in.
GLevelPaths* levelPathsOfLevelScene(BaseNode* scene) {
    GGameLevelScene* level = nodeCast<GGameLevelScene>(scene);
    return level ? level->levelPaths : nullptr;
}

}  // namespace

BaseNode* directChild(const BaseNode& node, const char* name) { return node.findChild(makeNameId(name), 1); }

const EventMap<GGameLevelScene>& GGameLevelScene::getEventMap() {
    using S = GGameLevelScene;
    static const EventMap<GGameLevelScene> map(
        ControlNode::getEventMap(),
        {
            {EventId::SceneActivatedEvent, &call<SceneActivatedEvent, &S::onSceneActivated>},
            {EventId::NodePressPreviewEvent, &call<NodePressPreviewEvent, &S::onNodePressPreview>},
            {EventId::NodePressedEvent, &call<NodePressedEvent, &S::onNodePressed>},
            {EventId::NodeHoveredEvent, &call<NodeHoveredEvent, &S::onNodeHovered>},
            {EventId::NodeUnhoveredEvent, &call<NodeUnhoveredEvent, &S::onNodeUnhovered>},
            {EventId::NodeFocusedEvent, &call<NodeFocusedEvent, &S::onNodeFocused>},
            {EventId::NodeUnfocusedEvent, &call<NodeUnfocusedEvent, &S::onNodeUnfocused>},
            {EventId::GBuildingCompletedEvent, &call<GBuildingCompletedEvent, &S::onBuildingCompleted>},
            {EventId::GRepairCompletedEvent, &call<GRepairCompletedEvent, &S::onRepairCompleted>},
            {EventId::GCleaningCompletedEvent, &call<GCleaningCompletedEvent, &S::onCleaningCompleted>},
            {EventId::GBusVisitCompletedEvent, &call<GBusVisitCompletedEvent, &S::onBusVisitCompleted>},
            {EventId::GServiceCompletedEvent, &call<GServiceCompletedEvent, &S::onServiceCompleted>},
            {EventId::GIncomeEvent, &call<GIncomeEvent, &S::onIncome>},
            {EventId::GFeatureUsedEvent, &call<GFeatureUsedEvent, &S::onFeatureUsed>},
            {EventId::GDestructionCompletedEvent, &call<GDestructionCompletedEvent, &S::onDestructionCompleted>},
            {EventId::GTaskStepEvent, &call<GTaskStepEvent, &S::onTaskStep>},
            {EventId::GSellBuildingRequestEvent, &call<GSellBuildingRequestEvent, &S::onSellRequest>},
            {EventId::GBrokenBuildingRequestEvent, &call<GBrokenBuildingRequestEvent, &S::onBrokenRequest>},
            {EventId::GDirtyBuildingRequestEvent, &call<GDirtyBuildingRequestEvent, &S::onDirtyRequest>},
            {EventId::GCafeBuildingRequestEvent, &call<GCafeBuildingRequestEvent, &S::onCafeRequest>},
            {EventId::GLetterRequestEvent, &call<GLetterRequestEvent, &S::onLetterRequest>},
            {EventId::GPauseRequestEvent, &call<GPauseRequestEvent, &S::onPauseRequest>},
            {EventId::GBuildingExistsQueryEvent, &call<GBuildingExistsQueryEvent, &S::onBuildingExistsQuery>},
            {EventId::GWeatherRequestEvent, &call<GWeatherRequestEvent, &S::onWeatherRequest>},
        });
    return map;
}

GGameLevelScene::GGameLevelScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                 bool mostDerived)
    : SceneNode(context, parent, manager, false), stateView_(new StateView(*this)) {
    setLevelPathsLookup(&levelPathsOfLevelScene);
    TimerListener::setPeriod(kTickMs);
    linkToParent(parent, mostDerived);
}

GGameLevelScene::~GGameLevelScene() {
    if (levelConfig && levelConfig->randomEvents) {
        for (uint32_t i = 0; i < levelConfig->randomEvents->size(); ++i) levelConfig->randomEvents->at(i)->detach();
    }
    // Tasks first: they take their props out of the level as they go.
    for (GBuildingTask* task : tasks) task->release();
    tasks.clear();
    for (BaseNode* letter : moneyLetters) letter->release();
    moneyLetters.clear();
    releaseBuildings();
    if (buildingsNode) buildingsNode->removePostListener(this);
    replaceCounted(buildingsNode, static_cast<ControlNode*>(nullptr));
    replaceCounted(cargosNode, static_cast<BaseNode*>(nullptr));
    replaceCounted(weatherNode, static_cast<GWeatherParticlesNode*>(nullptr));
    replaceCounted(traffic, static_cast<LevelTraffic*>(nullptr));
    replaceCounted(levelConfig, static_cast<GLevelConfig*>(nullptr));
    replaceCounted(buildingsConfiguration, static_cast<BuildingsConfiguration*>(nullptr));
    replaceCounted(availability, static_cast<LevelAvailability*>(nullptr));
    replaceCounted(levelPaths, static_cast<GLevelPaths*>(nullptr));
    if (SoundManager* sounds = getCurrentSoundManager()) sounds->stopGroup(2);
    delete stateView_;
}

void GGameLevelScene::releaseBuildings() {
    for (GBuildingNode* building : buildings) {
        // A building's timer may keep it alive past the level.
        building->setLevelScene(nullptr);
        building->release();
    }
    buildings.clear();
    currentSelection = previousSelection = nullptr;
}

// ---- Loading and set-up ------------------------------------------------------

void GGameLevelScene::onLoaded() {
    SceneNode::onLoaded();
    releaseBuildings();
    if (buildingsNode) buildingsNode->removePostListener(this);
    replaceCounted(buildingsNode, nodeCast<ControlNode>(directChild(*this, "Buildings")));
    if (buildingsNode) {
        buildingsNode->addPostListener(this);
        for (uint32_t i = 0; i < buildingsNode->getChildCount(); ++i) {
            if (GBuildingNode* building = nodeCast<GBuildingNode>(buildingsNode->getChild(i))) {
                building->addRef();
                buildings.push_back(building);
            }
        }
    }
    replaceCounted(cargosNode, directChild(*this, "CargosNode"));
    if (BaseNode* pedestrians = directChild(*this, "Pedestrians")) pedestrians->setVisible(false);
}

void GGameLevelScene::copyFrom(BaseNode* source, BaseNode* manager) {
    SceneNode::copyFrom(source, manager);
    if (GGameLevelScene* other = nodeCast<GGameLevelScene>(source)) replaceCounted(levelConfig, other->levelConfig);
}

void GGameLevelScene::setBuildingsConfiguration(BuildingsConfiguration* configuration) {
    replaceCounted(buildingsConfiguration, configuration);
}

void GGameLevelScene::setLevelConfiguration(GLevelConfig* level) {
    replaceCounted(levelConfig, level);
    if (!level) return;
    dayClock = 0.0f;
    money = level->initMoney;
    rating = level->initRating;
    materials = level->initMaterialsCount;
    workers = workersHired = level->initWorkersCount;
    if (!buildingsConfiguration) getLogger().log("The level has no buildings configuration", LOG_ERROR);
    for (GBuildingNode* building : buildings) {
        building->setLevelScene(this);
        building->setLevelConfig(level);
        if (!buildingsConfiguration) {
            building->setVisible(false);
            continue;
        }
        GBuildingConfig* record = buildingsConfiguration->find(building->getTemplateName());
        if (record) {
            building->setRecord(record, false);
        } else {
            // A place the game knows nothing about stays out of play.
            getLogger().log("No building record for the place's template; the place is hidden",
                            nameOfId(building->getTemplateName()).c_str(), LOG_ERROR);
            building->setVisible(false);
        }
    }
    armRandomEvents(SceneNode::getTimerScheduler());
    if (level->objectives) {
        for (uint32_t i = 0; i < level->objectives->size(); ++i) level->objectives->at(i)->reset();
    }
}

void GGameLevelScene::setAvailability(LevelAvailability* levelAvailability) {
    replaceCounted(availability, levelAvailability);
    refresh();
}

void GGameLevelScene::setLevelPaths(GLevelPaths* paths) {
    replaceCounted(levelPaths, paths);
    LevelTraffic* made = new LevelTraffic(this, cargosNode);
    replaceCounted(traffic, made);
    made->release();
}

void GGameLevelScene::armRandomEvents(TimerScheduler* scheduler) {
    if (!levelConfig || !levelConfig->randomEvents) return;
    for (uint32_t i = 0; i < levelConfig->randomEvents->size(); ++i) {
        levelConfig->randomEvents->at(i)->arm(this, scheduler);
    }
}

const LevelStateView& GGameLevelScene::stateView() const { return *stateView_; }

TemplateCollectionNode* GGameLevelScene::templateCollection() const {
    SceneManager* manager = getSceneManager();
    return manager ? manager->getTemplateCollection() : nullptr;
}

// ---- Queries -------------------------------------------------------------------

GBuildingNode* GGameLevelScene::selectedBuilding() const {
    if (!buildingsNode) return nullptr;
    for (uint32_t i = 0; i < buildingsNode->getChildCount(); ++i) {
        ControlNode* control = nodeCast<ControlNode>(buildingsNode->getChild(i));
        if (control && control->isFocused()) return nodeCast<GBuildingNode>(control);
    }
    return nullptr;
}

int32_t GGameLevelScene::countBuildingsOfType(NameId type) const {
    int32_t count = 0;
    for (const GBuildingNode* building : buildings) {
        const GBuildingConfig* record = building->getRecord();
        const GBuildingConfig* previous = building->getPreviousRecord();
        if (building->isOwnedByThePlayer() && record && record->Name == type) {
            ++count;
        } else if (building->getJobState() == GBuildingNode::kDestructionJob && previous && previous->Name == type) {
            ++count;
        }
    }
    return count;
}

// ---- Activation ------------------------------------------------------------------

bool GGameLevelScene::onSceneActivated(SceneActivatedEvent* event) {
    if (!event) return false;
    if (event->getSecondScene() != this) {
        if (event->getFirstScene() == this) {
            if (TimerScheduler* scheduler = TimerListener::getTimerScheduler()) scheduler->removeTimer(this);
        }
        return false;
    }
    TimerScheduler* scheduler = SceneNode::getTimerScheduler();
    if (scheduler != TimerListener::getTimerScheduler()) TimerListener::setTimerScheduler(scheduler);
    refresh();
    postCompletion();
    if (levelConfig) {
        tasks.push_back(new GCloudsTask(cargosNode, templateCollection()));
        armRandomEvents(scheduler);
    }
    if (weatherNode) return true;

    const CreationContext context = getCreationContext();
    weatherNode = new GWeatherParticlesNode(&context, this, getManager());
    weatherNode->setName(kNoName);
    weatherNode->setPosition(vector3df(0.0f, 0.0f, 5000.0f));
    weatherNode->setEnabled(false);
    const bool snow = levelConfig && levelConfig->settingIndex == 4;
    weatherNode->setConfigurationFilename(snow ? "levels/common/Effects/Snow.xml" : "levels/common/Effects/Rain.xml");
    if (AtlasTextureContent* texture =
            loadAtlasTexture(getContentManager(), snow ? "particles/Snow.png" : "particles/Rain.png", true)) {
        weatherNode->setAtlasTexture(texture);
        texture->release();
    }
    return true;
}

// ---- Tick ----------------------------------------------------------------------------

bool GGameLevelScene::onTick(uint32_t ms) {
    if (traffic) traffic->tick(ms);
    if (paused) return true;
    if (objectivesMet && hintText.empty()) return true;

    totalTimeMs += static_cast<float>(ms);
    dayClock = static_cast<float>(static_cast<double>(dayClock) + ms * 0.001);
    updateTasks(ms);

    // Money letters: the dial fills; an expired letter (or one whose building
    // stopped operating) goes without paying.
    size_t i = 0;
    while (i < moneyLetters.size()) {
        BaseNode* letter = moneyLetters[i];
        MoneyLetterData* data = dynamic_cast<MoneyLetterData*>(letter->getUserData());
        if (!data) {
            removeLetterAt(i);
            continue;
        }
        data->elapsed = saturatingAdd(data->elapsed, saturatingInt(ms));
        if (data->elapsed < data->total && data->building && data->building->isOperating()) {
            if (BaseNode* progress = directChild(*letter, "Progress")) {
                GBuildingNode::setTimerDial(progress,
                                            static_cast<float>(data->elapsed) / static_cast<float>(data->total));
            }
            ++i;
            continue;
        }
        if (data->building) {
            data->building->setSinceMoneyLetter(0);
            data->building->setWantFocus(true);
        }
        CountedRef<BaseNode> held = CountedRef<BaseNode>::share(letter);
        removeLetterAt(i);
        held->enterStateInChildren(makeNameId("Disappear"));
    }

    if (!levelConfig) return true;
    bool changed = false;
    if (static_cast<float>(levelConfig->dayLength) <= dayClock) {
        if (dailyIncome > 0.0f) playCue("Income");
        dayClock = 0.0f;
        money += dailyIncome;
        postToParentNew(new GNewDayEvent());
        changed = true;
    }
    const LevelModifierValues& modifiers = levelConfig->modifierValues;
    if (materialCountdown >= 0.0f) {
        materialCountdown -= modifiers.MaterialDeliveryTimeM * static_cast<float>(ms);
        if (materialCountdown < 0.0f) {
            playCue("MaterialsDelivered");
            materialCountdown = -1.0f;
            materials += materialsOrdered;
            changed = true;
        }
    }
    if (workerCountdown >= 0.0f) {
        workerCountdown -= modifiers.WorkerDeliveryTimeM * static_cast<float>(ms);
        if (workerCountdown < 0.0f) {
            playCue("WorkersTrained");
            workerCountdown = -1.0f;
            workers += workersOrdered;
            workersHired += workersOrdered;
            changed = true;
        }
    }
    if (changed) {
        refresh();
        postLevelChanged();
    }
    if (weatherNode && weatherRemainingMs > 0) {
        weatherRemainingMs = saturatingAdd(weatherRemainingMs, -saturatingInt(ms));
        if (weatherRemainingMs <= 0) weatherNode->setEnabled(false);
    }
    return true;
}

void GGameLevelScene::updateTasks(uint32_t ms) {
    size_t i = 0;
    while (i < tasks.size()) {
        GBuildingTask* task = tasks[i];
        // Held across its run: whatever the run sets off, the task outlives it.
        CountedRef<GBuildingTask> held = CountedRef<GBuildingTask>::share(task);
        GBuildingTask* outer = runningTask_;
        runningTask_ = task;
        const bool keep = task->run(ms);
        runningTask_ = outer;
        // The run may have changed the list (a command started from an event).
        if (i >= tasks.size() || tasks[i] != task) {
            auto found = std::find(tasks.begin(), tasks.end(), task);
            if (found == tasks.end()) continue;
            i = static_cast<size_t>(found - tasks.begin());
        }
        if (keep) {
            ++i;
            continue;
        }
        tasks[i] = tasks.back();
        tasks.pop_back();
        task->release();
    }
}

// ---- Refresh ---------------------------------------------------------------------------

void GGameLevelScene::refresh() {
    if (!levelConfig) return;
    const float remembered = rating;
    dailyIncome = potentialIncome = 0.0f;
    guests = potentialGuests = 0;
    rating = levelConfig->initRating;

    levelConfig->modifierValues.reset();
    if (availability) {
        for (const CountedRef<LevelModifierList>& list : availability->upgradeModifierLists) {
            if (list) list->apply(*levelConfig);
        }
    }
    for (GBuildingNode* building : buildings) {
        const GBuildingConfig* record = building->getRecord();
        if (!record || record->Level == 0 || !building->isOwnedByThePlayer() || building->isForSale() ||
            !building->isOperating()) {
            continue;
        }
        if (record->LevelModifiers) record->LevelModifiers->apply(*levelConfig);
        for (size_t f = 0; f < record->ActiveFeatures.size(); ++f) {
            const GActiveFeatureConfig& feature = record->ActiveFeatures[f];
            if (feature.levelModifiers && building->featureState(static_cast<int32_t>(f)) == 1) {
                feature.levelModifiers->apply(*levelConfig);
            }
        }
    }
    if (!levelConfig->modifierValues.CanBuildingsBroke) {
        for (GBuildingNode* building : buildings) {
            if (building->getCondition() == GBuildingNode::kBroken) building->setCondition(GBuildingNode::kNoCondition);
        }
    }
    for (GBuildingNode* building : buildings) building->updateIncomeBonus();
    for (GBuildingNode* building : buildings) {
        const GBuildingConfig* record = building->getRecord();
        if (!record || record->Level == 0 || !building->isOwnedByThePlayer() || building->isForSale()) continue;
        if (building->isOperating()) {
            dailyIncome += building->income();
            guests = saturatingAdd(guests, record->guestsCount(levelConfig));
        } else {
            potentialIncome += building->income(record);
            potentialGuests = saturatingAdd(potentialGuests, record->guestsCount(levelConfig));
        }
    }
    potentialIncome += dailyIncome;
    potentialGuests = saturatingAdd(potentialGuests, guests);
    rating = std::max(remembered, rating);
    postLevelChanged();
    checkObjectives();
    collectServices();
}

void GGameLevelScene::collectServices() {
    providedServices.clear();
    idleServices.clear();
    for (const GBuildingNode* building : buildings) {
        const GBuildingConfig* record = building->getRecord();
        if (!building->isOwnedByThePlayer() || !record || record->Level == 0) continue;
        const GBuildingConfig* serving = record;
        if (building->getJobState() == GBuildingNode::kConstructionJob && record->Level > 0 &&
            building->getPreviousRecord()) {
            serving = building->getPreviousRecord();
        }
        if (serving->ProvidedService != 0) providedServices.push_back(serving->ProvidedService);
        if (building->getJobState() == GBuildingNode::kNoJob) idleServices.push_back(serving->ProvidedService);
    }
}

// ---- Pause -----------------------------------------------------------------------------

bool GGameLevelScene::onPauseRequest(GPauseRequestEvent* event) {
    if (!event) return true;
    paused = event->isPause();
    if (levelConfig && levelConfig->randomEvents) {
        for (uint32_t i = 0; i < levelConfig->randomEvents->size(); ++i) {
            levelConfig->randomEvents->at(i)->setPaused(paused);
        }
    }
    if (TimerScheduler* scheduler = SceneNode::getTimerScheduler()) scheduler->setEnabled(!paused);
    return true;
}

// ---- Small helpers ---------------------------------------------------------------------

void GGameLevelScene::postToParentNew(Event* adopted) {
    CountedRef<Event> event(adopted);
    postToParent(DeliveryMode::HandleThenParent, event.get());
}

void GGameLevelScene::postLevelChanged() { postToParentNew(new GLevelChangedEvent()); }

void GGameLevelScene::routeToParentNew(Event* adopted) {
    CountedRef<Event> event(adopted);
    routeToParent(DeliveryMode::HandleThenParent, event.get());
}

void GGameLevelScene::appendHistory(int32_t action, const GBuildingConfig* record, const GBuildingNode* building) {
    HistoryRecord entry;
    entry.action = action;
    entry.buildingType = record ? record->Name : kNoName;
    entry.placeName = building ? building->getName() : kNoName;
    history.push_back(entry);
}

void GGameLevelScene::startTask(GBuildingTask* adopted, GBuildingNode* building, int32_t jobState) {
    tasks.push_back(adopted);
    if (building) building->setJob(jobState, adopted);
}

GLevelPath* GGameLevelScene::pathFor(const GBuildingNode* building) {
    return levelPaths && building ? levelPaths->randomCarPath(building->getName()) : nullptr;
}

void GGameLevelScene::clearFinishedJob(GBuildingNode* building) {
    // Only the task that is running now can have finished; a completion sent
    // by anything else (a feature's recharge end) leaves the job alone.
    if (building && runningTask_) building->clearJob(runningTask_);
}

int32_t GGameLevelScene::findLetterOf(const GBuildingNode* building) const {
    for (size_t i = 0; i < moneyLetters.size(); ++i) {
        const MoneyLetterData* data = dynamic_cast<const MoneyLetterData*>(moneyLetters[i]->getUserData());
        if (data && data->building == building) return static_cast<int32_t>(i);
    }
    return -1;
}

void GGameLevelScene::removeLetterAt(size_t index) {
    BaseNode* letter = moneyLetters[index];
    moneyLetters[index] = moneyLetters.back();
    moneyLetters.pop_back();
    letter->release();
}

}  // namespace game
