#include "game/level/tasks/GServiceTasks.h"

#include "engine/core/Event.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/common/GameEvents.h"
#include "game/world/PathMovers.h"

using namespace engine;

namespace game {

namespace {

constexpr float kVisitBusSpeed = 180.0f;

}  // namespace

// ---- GBusVisitTask ------------------------------------------------------------

const EventMap<GBusVisitTask>& GBusVisitTask::getEventMap() { return tagReachedEventMap<GBusVisitTask>(); }

GBusVisitTask::GBusVisitTask(GGameLevelScene* scene, GBuildingNode* building, BaseNode* cargosNode,
                             TemplateCollectionNode* templates, GLevelPath* path)
    : GBuildingTask(scene, building, cargosNode, templates, path, 0.0f, 0) {
    listen();
    // The visiting bus keeps out of the traffic and comes without a horn.
    state_ = startBus(kVisitBusSpeed, false, false) ? BusVisitState::BusDriving : BusVisitState::Arrived;
    createProgressBar();
    // The visit is counted down and measured against the same time.
    remaining_ = record_ ? record_->ServeTime : 0.0f;
}

GBusVisitTask::~GBusVisitTask() = default;

float GBusVisitTask::getProgress() {
    if (!record_) return 1.0f;
    return countdownShare(record_->ServeTime, remaining_);
}

bool GBusVisitTask::onEvent70(NodeTagReachedEvent* event) {
    if (!event || !bus_ || event->getNode() != bus_.get()) return false;
    if (event->getName() == TaskNames::movingTo() && state_ == BusVisitState::BusDriving) {
        state_ = BusVisitState::Arrived;
    } else if (event->getName() == TaskNames::movingFrom() && state_ == BusVisitState::BusLeaving) {
        state_ = BusVisitState::BusGone;
    }
    return false;
}

bool GBusVisitTask::run(uint32_t ms) {
    using namespace BusVisitState;
    CountedRef<GBusVisitTask> keep = CountedRef<GBusVisitTask>::share(this);
    if (bus_) {
        CountedRef<GPathMovableNode> bus = bus_;
        bus->update(ms);
    }
    if (state_ == Arrived) state_ = Serving;
    if (state_ == Serving) {
        remaining_ -= static_cast<float>(ms);
        if (remaining_ < 0.0f || !record_ || record_->ServeTime <= 0.0f) {
            remaining_ = 0.0f;
            state_ = ServiceDone;
            removeProgressBar();
            clearOwnJob();
            post(new GBusVisitCompletedEvent(building_.get()));
        } else {
            showProgress(getProgress());
        }
    }
    if (state_ == ServiceDone) {
        if (bus_) {
            state_ = BusLeaving;
            driveBusBack();
        } else {
            state_ = BusGone;
        }
    }
    if (state_ == BusGone) {
        state_ = Finished;
        removeBus();
    }
    return state_ != Finished;
}

// ---- GServiceTask -------------------------------------------------------------

GServiceTask::GServiceTask(GGameLevelScene* scene, GBuildingNode* provider, TemplateCollectionNode* templates)
    : GBuildingTask(scene, provider, nullptr, templates, nullptr, 0.0f, 0) {
    createProgressBar();
    remaining_ = record_ ? record_->ServicePeriod : 0.0f;
}

GServiceTask::~GServiceTask() = default;

float GServiceTask::getProgress() {
    if (!record_) return 1.0f;
    return countdownShare(record_->ServicePeriod, remaining_);
}

bool GServiceTask::run(uint32_t ms) {
    if (state_ != 0) return false;
    remaining_ -= static_cast<float>(ms);
    if (remaining_ >= 0.0f && record_ && record_->ServicePeriod > 0.0f) {
        showProgress(getProgress());
        return true;
    }
    CountedRef<GServiceTask> keep = CountedRef<GServiceTask>::share(this);
    remaining_ = 0.0f;
    state_ = 1;
    removeProgressBar();
    clearOwnJob();
    post(new GServiceCompletedEvent(building_.get()));
    return false;
}

// ---- GFeatureTask -------------------------------------------------------------

GFeatureTask::GFeatureTask(GGameLevelScene* scene, GBuildingNode* building, BaseNode* cargosNode,
                           TemplateCollectionNode* templates, int32_t featureIndex)
    : GBuildingTask(scene, building, cargosNode, templates, nullptr, 0.0f, 0), featureIndex_(featureIndex) {
    createProgressBar();
    if (building_) building_->activateFeature(featureIndex_);
}

GFeatureTask::~GFeatureTask() = default;

float GFeatureTask::getProgress() {
    if (!building_) return 0.0f;
    return 1.0f - building_->featureProgress(featureIndex_);
}

bool GFeatureTask::run(uint32_t) {
    if (finished_) return false;
    if (building_ && building_->featureState(featureIndex_) == GBuildingNode::kFeatureActive) {
        showProgress(getProgress());
        return true;
    }
    // The building's own feature clock reports the feature's end (and the
    // recharge's); reporting it here too would count every use twice.
    finished_ = true;
    removeProgressBar();
    clearOwnJob();
    return false;
}

}  // namespace game
