#pragma once
// The tasks of the service command and of active features:
//
//   GBusVisitTask  a bus drives to a building that asked for it, serves for
//                  the record's ServeTime and drives back
//   GServiceTask   the provider's service period
//   GFeatureTask   shows the running period of a building's active feature
#include "engine/core/EventMap.h"
#include "game/level/tasks/GBuildingTask.h"

namespace engine {
class NodeTagReachedEvent;
}

namespace game {

namespace BusVisitState {
constexpr int32_t None = 0;  // never left: the task always reaches a later one
constexpr int32_t BusDriving = 1;
constexpr int32_t Arrived = 2;  // or no bus
constexpr int32_t Serving = 3;
constexpr int32_t ServiceDone = 4;
constexpr int32_t BusLeaving = 5;
constexpr int32_t BusGone = 6;
constexpr int32_t Finished = 7;
}  // namespace BusVisitState

class GBusVisitTask : public GBuildingTask {
    ENGINE_DECLARE_EVENT_MAP(GBusVisitTask)

public:
    GBusVisitTask(GGameLevelScene* scene, GBuildingNode* building, engine::BaseNode* cargosNode,
                  engine::TemplateCollectionNode* templates, GLevelPath* path);
    ~GBusVisitTask() override;

    // (ServeTime - remaining) / ServeTime; 1.0 without a record or when
    // ServeTime <= 0.
    float getProgress() override;
    bool run(uint32_t ms) override;

    virtual bool onEvent70(engine::NodeTagReachedEvent* event);

    int32_t getState() const { return state_; }
    float getRemaining() const { return remaining_; }

private:
    float remaining_ = 0.0f;
};

class GServiceTask : public GBuildingTask {
public:
    GServiceTask(GGameLevelScene* scene, GBuildingNode* provider, engine::TemplateCollectionNode* templates);
    ~GServiceTask() override;

    // (period - remaining) / period; 1.0 without a record or when the
    // period is not positive.
    float getProgress() override;
    bool run(uint32_t ms) override;

    float getRemaining() const { return remaining_; }

private:
    float remaining_ = 0.0f;
};

class GFeatureTask : public GBuildingTask {
public:
    // Starts the feature (GBuildingNode::activateFeature).
    GFeatureTask(GGameLevelScene* scene, GBuildingNode* building, engine::BaseNode* cargosNode,
                 engine::TemplateCollectionNode* templates, int32_t featureIndex);
    ~GFeatureTask() override;

    // 1 - featureProgress (index); 0 without a building.
    float getProgress() override;
    // Ends once the feature is no longer active.
    bool run(uint32_t ms) override;

    int32_t getFeatureIndex() const { return featureIndex_; }

private:
    int32_t featureIndex_ = 0;
    bool finished_ = false;
};

}  // namespace game
