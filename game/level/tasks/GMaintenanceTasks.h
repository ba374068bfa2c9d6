#pragma once
// The tasks that share one pattern: an optional bus brings the workers along
// the place's delivery path, a progress bar over the building fills while the
// work time runs (scaled by the level's BuildTimeM), the building shows its
// workers, and at the end the task posts its completion event and gives the
// workers back.
//
//   GDestructionTask  turns a building back into an empty place
//   GRestoringTask    rebuilds a ruin
//   GRepairTask       clears a broken building
//   GCleaningTask     clears a dirty building
#include "engine/core/EventMap.h"
#include "game/level/tasks/GBuildingTask.h"

namespace engine {
class NodeTagReachedEvent;
}

namespace game {

// The steps the four tasks go through.
namespace WorkTaskState {
constexpr int32_t None = 0;
constexpr int32_t BusDriving = 1;
constexpr int32_t Arrived = 2;  // or no bus
constexpr int32_t WorkStarted = 3;
constexpr int32_t BusToLeave = 4;
constexpr int32_t BusLeaving = 5;
constexpr int32_t BusGone = 6;  // or none
constexpr int32_t Finished = 7;
}  // namespace WorkTaskState

// The bus handling the four tasks share.
class GWorkTask : public GBuildingTask {
    ENGINE_DECLARE_EVENT_MAP(GWorkTask)

public:
    // From the bus: "MovingTo" -> arrived, "MovingFrom" -> gone.
    virtual bool onEvent70(engine::NodeTagReachedEvent* event);

    bool run(uint32_t ms) override;
    int32_t getState() const { return state_; }
    bool isFinished() const { return state_ == WorkTaskState::Finished; }

protected:
    GWorkTask(GGameLevelScene* scene, GBuildingNode* building, engine::BaseNode* cargosNode,
              engine::TemplateCollectionNode* templates, GLevelPath* path, float materials,
              int32_t workers);

    // Listens, starts the bus or, without one, calls onArrivedWithoutBus, and
    // places the progress bar. Derived constructors call it first.
    void begin();
    virtual void onArrivedWithoutBus() = 0;
    // The start of the work (state 2 -> 3).
    virtual void startWork() = 0;
    // One step of work (ms of level time, before the speed factor); the task
    // posts its result and goes to Finished when the work ends.
    virtual void advanceWork(uint32_t ms) = 0;
};

class GDestructionTask : public GWorkTask {
public:
    // Hands back the workers given (what the destroy command took from the
    // level); a negative count takes the record's destroy workers cost now.
    GDestructionTask(GGameLevelScene* scene, GBuildingNode* building, engine::BaseNode* cargosNode,
                     engine::TemplateCollectionNode* templates, GLevelPath* path, int32_t workers = -1);
    ~GDestructionTask() override;

    // (DestroyTime - remaining) / DestroyTime; 1.0 when DestroyTime <= 0.
    float getProgress() override;
    void cancel() override;
    float getRemaining() const { return remaining_; }

protected:
    void onArrivedWithoutBus() override;
    void startWork() override;
    void advanceWork(uint32_t ms) override;

private:
    float remaining_ = 0.0f;
};

class GRestoringTask : public GWorkTask {
public:
    GRestoringTask(GGameLevelScene* scene, GBuildingNode* building, engine::BaseNode* cargosNode,
                   engine::TemplateCollectionNode* templates, GLevelPath* path, float materials,
                   int32_t workers);
    ~GRestoringTask() override;

    // (BuildTime - remaining) / BuildTime; 1.0 when BuildTime <= 0.
    float getProgress() override;
    void cancel() override;
    float getRemaining() const { return remaining_; }

    // Sets the second key of every two-key animator of the "Restoring" state
    // of the building's direct children to the time the work still needs.
    // Skipped when the speed factor is 0 or below.
    void fitRestoringAnimations();

protected:
    void onArrivedWithoutBus() override;
    void startWork() override;
    void advanceWork(uint32_t ms) override;

private:
    float remaining_ = 0.0f;
    float fittedSpeed_ = 1.0f;
};

// Repair and cleaning: the work counts up to the record's RepairTime.
class GMaintenanceTask : public GWorkTask {
public:
    // elapsed / RepairTime; 1.0 when RepairTime <= 0.
    float getProgress() override;
    void cancel() override;
    float getElapsed() const { return workTime_; }

    virtual void onStart();
    virtual void onComplete() = 0;
    virtual void onCancel() = 0;

protected:
    GMaintenanceTask(GGameLevelScene* scene, GBuildingNode* building, engine::BaseNode* cargosNode,
                     engine::TemplateCollectionNode* templates, GLevelPath* path, float materials,
                     int32_t workers);

    void onArrivedWithoutBus() override;
    void startWork() override;
    void advanceWork(uint32_t ms) override;
};

class GRepairTask : public GMaintenanceTask {
public:
    GRepairTask(GGameLevelScene* scene, GBuildingNode* building, engine::BaseNode* cargosNode,
                engine::TemplateCollectionNode* templates, GLevelPath* path, float materials,
                int32_t workers);
    ~GRepairTask() override;

    void onComplete() override;
    void onCancel() override;
};

class GCleaningTask : public GMaintenanceTask {
public:
    GCleaningTask(GGameLevelScene* scene, GBuildingNode* building, engine::BaseNode* cargosNode,
                  engine::TemplateCollectionNode* templates, GLevelPath* path, float materials,
                  int32_t workers);
    ~GCleaningTask() override;

    void onComplete() override;
    void onCancel() override;
};

}  // namespace game
