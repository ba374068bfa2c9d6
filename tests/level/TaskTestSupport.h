#pragma once
// A small level for the task tests: a level scene with one building place and
// a CargosNode under a stand-in scene manager that holds a template collection
// of plain props (bus, helicopter, site, cargo, bars, star effect, clouds).
// Most prop states end at once; the few that take time say so. Tasks are made
// directly and run in fixed 20 ms steps of simulated time, with the scene's
// scheduler advanced alongside so that timed states and the building's own
// clock move. The game events the tasks post are recorded by a listener in
// front of the level scene's own handlers.
#include "engine/core/BaseNode.h"
#include "engine/core/Event.h"
#include "engine/core/EventIds.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/TimerScheduler.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelPaths.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/level/tasks/GBuildingTask.h"
#include "support/FakeSceneManager.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace task_tests {

// The game event ids the tasks post.
namespace Ids {
constexpr int32_t BuildingCompleted = engine::EventId::GBuildingCompletedEvent;
constexpr int32_t RepairCompleted = engine::EventId::GRepairCompletedEvent;
constexpr int32_t CleaningCompleted = engine::EventId::GCleaningCompletedEvent;
constexpr int32_t BusVisitCompleted = engine::EventId::GBusVisitCompletedEvent;
constexpr int32_t ServiceCompleted = engine::EventId::GServiceCompletedEvent;
constexpr int32_t FeatureUsed = engine::EventId::GFeatureUsedEvent;
constexpr int32_t DestructionCompleted = engine::EventId::GDestructionCompletedEvent;
constexpr int32_t TaskStep = engine::EventId::GTaskStepEvent;
}  // namespace Ids

// The scene-file elements of the props' templates (hotel looks "Hotel1",
// "Hotel2", "BuildingPlace"; "Bus", "Helicopter", "Construction", "Cargo",
// "ProgressBarOverBuilding", "LevelStarEffect", "ConstructionSelector",
// "Cloud1" to "Cloud3"), leaving out the named ones.
std::string taskTemplateElements(const std::vector<std::string>& without = {});

struct Posted {
    int32_t id = 0;
    game::GBuildingNode* building = nullptr;
    float materials = 0.0f;
    int32_t workers = 0;
    game::GBuildingConfig* record = nullptr;
};

// Records every game event offered to it; with `swallow` it also keeps them
// from the level scene's own handlers.
class EventLog : public engine::EventReceiver {
public:
    EventLog();
    bool handleEvent(engine::Event* event) override;

    std::vector<int32_t> ids() const;
    int32_t count(int32_t id) const;
    const Posted* last(int32_t id) const;

    std::vector<Posted> events;
    bool swallow = true;
};

class TaskFixture : public ::testing::Test {
protected:
    static constexpr uint32_t kStep = 20;

    TaskFixture();
    ~TaskFixture() override;

    // Loads the props' templates, leaving out the named ones, and the level.
    void load(const std::vector<std::string>& without = {});

    // A building record of the type, level and times given.
    engine::CountedRef<game::GBuildingConfig> makeRecord(const char* name, int32_t type, int32_t level);
    // A delivery path through the points (x, y pairs).
    engine::CountedRef<game::GLevelPath> makePath(const std::vector<float>& xy);

    // Makes the task the building's job and keeps it (adopts the reference).
    template <class T>
    T* start(T* adopted, int32_t jobState) {
        task_.reset(adopted);
        if (building && adopted->getBuilding() == building) building->setJob(jobState, adopted);
        return adopted;
    }

    // One 20 ms step: the scheduler, then the task. False once the task ended.
    bool step(game::GBuildingTask* task);
    // Steps until the task ends or `limitMs` passed; the simulated time in ms
    // when it ended, or -1 when it still runs.
    int32_t runToEnd(game::GBuildingTask* task, uint32_t limitMs = 60000);
    // Steps for the given time (stops early when the task ends); true while
    // the task still runs.
    bool runFor(game::GBuildingTask* task, uint32_t ms);

    // Nodes under CargosNode with the given name.
    int32_t cargoCount(const char* name) const;
    // Direct children of the building with that name.
    engine::BaseNode* buildingChild(const char* name) const;
    // The child of the building's template root with that name.
    engine::BaseNode* bodyPart(const char* name) const;

    testing_support::FakeSceneManager* manager = nullptr;
    engine::CountedRef<testing_support::FakeSceneManager> managerRef;
    engine::CountedRef<engine::TimerScheduler> scheduler;
    engine::CountedRef<game::GGameLevelScene> sceneRef;
    game::GGameLevelScene* scene = nullptr;
    game::GBuildingNode* building = nullptr;
    engine::BaseNode* cargos = nullptr;
    engine::CountedRef<game::GLevelConfig> level;
    engine::CountedRef<game::GBuildingConfig> hotel1;
    engine::CountedRef<game::GBuildingConfig> hotel2;
    engine::CountedRef<game::GBuildingConfig> place;
    engine::CountedRef<game::GLevelPath> path;
    EventLog log;
    engine::CountedRef<game::GBuildingTask> task_;
};

}  // namespace task_tests
