#include "game/level/tasks/GMaintenanceTasks.h"

#include "engine/audio/SoundManager.h"
#include "engine/core/Event.h"
#include "engine/core/KeyFrame.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/State.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/common/GameEvents.h"
#include "game/level/tasks/TaskAnimators.h"
#include "game/world/PathMovers.h"
#include <algorithm>
#include <cmath>

using namespace engine;
using namespace game::WorkTaskState;

namespace game {

namespace {

constexpr float kBusSpeed = 140.0f;

// "<prefix><n>" for the level's setting index.
void playSettingState(BaseNode* node, const char* prefix, const GLevelConfig* level) {
    stringc name(prefix);
    name += stringc(level ? level->settingIndex : 1);
    if (node) node->enterStateInChildren(makeNameId(name));
}


}  // namespace

// ---- GWorkTask ----------------------------------------------------------------

const EventMap<GWorkTask>& GWorkTask::getEventMap() { return tagReachedEventMap<GWorkTask>(); }

GWorkTask::GWorkTask(GGameLevelScene* scene, GBuildingNode* building, BaseNode* cargosNode,
                     TemplateCollectionNode* templates, GLevelPath* path, float materials, int32_t workers)
    : GBuildingTask(scene, building, cargosNode, templates, path, materials, workers) {}

void GWorkTask::begin() {
    listen();
    if (startBus(kBusSpeed, true, true)) {
        state_ = BusDriving;
    } else {
        // No path, or no bus to drive it: the workers are there at once.
        state_ = Arrived;
        onArrivedWithoutBus();
    }
    createProgressBar();
}

bool GWorkTask::onEvent70(NodeTagReachedEvent* event) {
    if (!event || !bus_ || event->getNode() != bus_.get() || state_ == Finished) return false;
    if (event->getName() == TaskNames::movingTo() && state_ == BusDriving) state_ = Arrived;
    else if (event->getName() == TaskNames::movingFrom()) state_ = BusGone;
    return false;
}

bool GWorkTask::run(uint32_t ms) {
    CountedRef<GWorkTask> keep = CountedRef<GWorkTask>::share(this);
    if (bus_) {
        CountedRef<GPathMovableNode> bus = bus_;
        bus->update(ms);
    }
    switch (state_) {
    case Arrived:
        state_ = WorkStarted;
        startWork();
        break;
    case WorkStarted:
        state_ = BusToLeave;
        break;
    case BusToLeave:
        if (bus_) {
            state_ = BusLeaving;
            CountedRef<GPathMovableNode> bus = bus_;
            bus->setState(TaskNames::movingFrom(), nullptr);
        } else {
            state_ = BusGone;
        }
        break;
    case BusGone:
        removeBus();
        break;
    default:
        break;
    }
    if (state_ >= Arrived && state_ <= BusGone) {
        advanceWork(ms);
        if (state_ != Finished) showProgress(getProgress());
    }
    return state_ != Finished;
}

// ---- GDestructionTask ---------------------------------------------------------

GDestructionTask::GDestructionTask(GGameLevelScene* scene, GBuildingNode* building, BaseNode* cargosNode,
                                   TemplateCollectionNode* templates, GLevelPath* path, int32_t workers)
    : GWorkTask(scene, building, cargosNode, templates, path, 0.0f, 0) {
    // The workers the command takes are fixed now: handing back a number
    // worked out again at the end could create or lose workers.
    if (workers >= 0) workers_ = workers;
    else if (record_) workers_ = record_->destroyWorkersCost(levelConfig());
    begin();
    remaining_ = record_ ? record_->DestroyTime : 0.0f;
    enterState(building_.get(), "Done");
}

GDestructionTask::~GDestructionTask() = default;

float GDestructionTask::getProgress() { return countdownShare(record_ ? record_->DestroyTime : 0.0f, remaining_); }

void GDestructionTask::onArrivedWithoutBus() {
    if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(makeNameId("Destroying"), false, 0);
}

void GDestructionTask::startWork() {
    if (!building_) return;
    building_->setTemplateName(makeNameId("BuildingPlace"));
    playSettingState(building_.get(), "DestroySetting", levelConfig());
    enterState(building_.get(), "Destroy");
    building_->showWorkers(workers_);
    if (buildingFocused()) building_->playStateSound();
}

void GDestructionTask::advanceWork(uint32_t ms) {
    remaining_ -= static_cast<float>(ms) * buildTimeM();
    if (remaining_ >= 0.0f && !(record_ && record_->DestroyTime <= 0.0f)) return;
    remaining_ = 0.0f;
    state_ = Finished;
    removeProgressBar();
    if (!building_) return;
    building_->stopStateSound();
    playSettingState(building_.get(), "DoneSetting", levelConfig());
    enterState(building_.get(), "Done");
    clearOwnJob();
    post(new GDestructionCompletedEvent(building_.get()));
    post(new GTaskStepEvent(building_.get(), 0.0f, workers_));
    building_->showWorkers(0);
}

void GDestructionTask::cancel() {
    if (!building_ || !building_->getPreviousRecord() || state_ == Finished) return;
    CountedRef<GDestructionTask> keep = CountedRef<GDestructionTask>::share(this);
    removeBus();
    removeProgressBar();
    state_ = Finished;
    CountedRef<GBuildingConfig> previous = CountedRef<GBuildingConfig>::share(building_->getPreviousRecord());
    building_->setRecord(previous.get(), true);
    building_->setTemplateName(previous->Name);
    building_->showWorkers(0);
    clearOwnJob();
    building_->stopStateSound();
    post(new GTaskStepEvent(building_.get(), 0.0f, workers_));
}

// ---- GRestoringTask -----------------------------------------------------------

GRestoringTask::GRestoringTask(GGameLevelScene* scene, GBuildingNode* building, BaseNode* cargosNode,
                               TemplateCollectionNode* templates, GLevelPath* path, float materials,
                               int32_t workers)
    : GWorkTask(scene, building, cargosNode, templates, path, materials, workers) {
    begin();
    remaining_ = record_ ? record_->BuildTime : 0.0f;
    fittedSpeed_ = buildTimeM();
    fitRestoringAnimations();
}

GRestoringTask::~GRestoringTask() = default;

float GRestoringTask::getProgress() { return countdownShare(record_ ? record_->BuildTime : 0.0f, remaining_); }

void GRestoringTask::onArrivedWithoutBus() {
    if (building_) building_->playStateSound();
}

void GRestoringTask::startWork() {
    if (!building_) return;
    enterState(building_.get(), "Restoring");
    building_->showWorkers(workers_);
    if (buildingFocused()) building_->playStateSound();
}

void GRestoringTask::fitRestoringAnimations() {
    const float speed = fittedSpeed_;
    // At a speed of 0 or below the work stands still: nothing to fit to.
    if (!building_ || speed <= 0.0f) return;
    const uint32_t time = static_cast<uint32_t>(std::max(0, engine::roundedInt(remaining_ / speed)));
    const NameId restoring = makeNameId("Restoring");
    const array<BaseNode*>& children = building_->getChildren();
    for (uint32_t i = 0; i < children.size(); ++i) {
        State* state = children[i]->getState(restoring);
        if (!state) continue;
        const array<Base*>& animators = state->getAnimatorList(State::Animators);
        for (uint32_t j = 0; j < animators.size(); ++j) {
            KeyFrame* keyFrame = asKeyFrame(animators[j]);
            if (keyFrame && keyFrame->getKeys().size() >= 2) animatorKey(keyFrame, 1)->time = time;
        }
    }
}

void GRestoringTask::advanceWork(uint32_t ms) {
    const float speed = buildTimeM();
    if (speed != fittedSpeed_) {
        fittedSpeed_ = speed;
        fitRestoringAnimations();
    }
    remaining_ -= static_cast<float>(ms) * speed;
    if (remaining_ >= 0.0f && !(record_ && record_->BuildTime <= 0.0f)) return;
    remaining_ = 0.0f;
    state_ = Finished;
    removeProgressBar();
    if (!building_) return;
    clearOwnJob();
    post(new GRepairCompletedEvent(building_.get()));
    post(new GTaskStepEvent(building_.get(), 0.0f, workers_));
    building_->showWorkers(0);
    building_->stopStateSound();
}

void GRestoringTask::cancel() {
    if (!building_ || state_ == Finished) return;
    CountedRef<GRestoringTask> keep = CountedRef<GRestoringTask>::share(this);
    state_ = Finished;
    removeProgressBar();
    clearOwnJob();
    building_->setCondition(GBuildingNode::kNeedsRestoring);
    enterState(building_.get(), "CancelRestoring");
    building_->showWorkers(0);
    // The work's sound would otherwise go on over the ruin.
    building_->stopStateSound();
    post(new GTaskStepEvent(building_.get(), materials_, workers_));
}

// ---- GMaintenanceTask ---------------------------------------------------------

GMaintenanceTask::GMaintenanceTask(GGameLevelScene* scene, GBuildingNode* building, BaseNode* cargosNode,
                                   TemplateCollectionNode* templates, GLevelPath* path, float materials,
                                   int32_t workers)
    : GWorkTask(scene, building, cargosNode, templates, path, materials, workers) {}

float GMaintenanceTask::getProgress() {
    const float total = record_ ? record_->RepairTime : 0.0f;
    if (total <= 0.0f) return 1.0f;
    const float progress = workTime_ / total;
    return progress > 1.0f ? 1.0f : progress;
}

void GMaintenanceTask::onStart() {
    if (buildingFocused()) building_->playStateSound();
}

void GMaintenanceTask::onArrivedWithoutBus() {
    if (buildingFocused()) building_->playStateSound();
}

void GMaintenanceTask::startWork() {
    if (building_) building_->showWorkers(workers_);
    onStart();
}

void GMaintenanceTask::advanceWork(uint32_t ms) {
    workTime_ += static_cast<float>(ms) * buildTimeM();
    if (workTime_ < (record_ ? record_->RepairTime : 0.0f)) return;
    workTime_ = 0.0f;
    state_ = Finished;
    removeProgressBar();
    if (!building_) return;
    clearOwnJob();
    onComplete();
    post(new GTaskStepEvent(building_.get(), 0.0f, workers_));
    building_->showWorkers(0);
}

void GMaintenanceTask::cancel() {
    if (!building_ || state_ == Finished) return;
    CountedRef<GMaintenanceTask> keep = CountedRef<GMaintenanceTask>::share(this);
    state_ = Finished;
    removeProgressBar();
    clearOwnJob();
    building_->showWorkers(0);
    onCancel();
    post(new GTaskStepEvent(building_.get(), materials_, workers_));
}

// ---- GRepairTask and GCleaningTask --------------------------------------------

GRepairTask::GRepairTask(GGameLevelScene* scene, GBuildingNode* building, BaseNode* cargosNode,
                         TemplateCollectionNode* templates, GLevelPath* path, float materials, int32_t workers)
    : GMaintenanceTask(scene, building, cargosNode, templates, path, materials, workers) {
    begin();
}

GRepairTask::~GRepairTask() = default;

void GRepairTask::onComplete() {
    building_->stopStateSound();
    post(new GRepairCompletedEvent(building_.get()));
}

void GRepairTask::onCancel() {
    building_->stopStateSound();
    building_->setCondition(GBuildingNode::kBroken);
}

GCleaningTask::GCleaningTask(GGameLevelScene* scene, GBuildingNode* building, BaseNode* cargosNode,
                             TemplateCollectionNode* templates, GLevelPath* path, float materials, int32_t workers)
    : GMaintenanceTask(scene, building, cargosNode, templates, path, materials, workers) {
    begin();
}

GCleaningTask::~GCleaningTask() = default;

void GCleaningTask::onComplete() {
    building_->stopStateSound();
    post(new GCleaningCompletedEvent(building_.get()));
}

void GCleaningTask::onCancel() {
    building_->stopStateSound();
    building_->setCondition(GBuildingNode::kDirty);
}

}  // namespace game
