// Destruction, restoring, repair and cleaning: the bus, the work time under
// the level's speed factor, the events and resources they hand back, cancel.
#include "level/TaskTestSupport.h"

#include "engine/controls/BaseProgressBarNode.h"
#include "engine/core/KeyFrame.h"
#include "engine/core/SceneFile.h"
#include "engine/core/State.h"
#include "engine/core/XmlReader.h"
#include "game/level/tasks/GMaintenanceTasks.h"
#include "game/world/PathMovers.h"
#include "support/LogCapture.h"

#include <functional>

using namespace engine;
using namespace game;
using namespace task_tests;

namespace {

enum class Kind { Destruction, Restoring, Repair, Cleaning };

const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::Destruction: return "destruction";
    case Kind::Restoring: return "restoring";
    case Kind::Repair: return "repair";
    case Kind::Cleaning: return "cleaning";
    }
    return "?";
}

class WorkTaskTest : public TaskFixture {
protected:
    // The task of the kind as its command makes it: 5 materials, 2 workers
    // (destruction: the record's destroy workers cost).
    GWorkTask* make(Kind kind, GLevelPath* deliveryPath = nullptr) {
        GBuildingNode* b = building;
        TemplateCollectionNode* t = manager->collection.get();
        switch (kind) {
        case Kind::Destruction: {
            building->saveState();
            GDestructionTask* task = start(new GDestructionTask(scene, b, cargos, t, deliveryPath), 2);
            building->setRecord(place.get(), false);
            return task;
        }
        case Kind::Restoring:
            return start(new GRestoringTask(scene, b, cargos, t, deliveryPath, 5.0f, 2), 3);
        case Kind::Repair:
            return start(new GRepairTask(scene, b, cargos, t, deliveryPath, 5.0f, 2), 3);
        case Kind::Cleaning:
            return start(new GCleaningTask(scene, b, cargos, t, deliveryPath, 5.0f, 2), 3);
        }
        return nullptr;
    }

    // Gives the building a record whose work time for the kind is `ms`.
    void setWorkTime(Kind kind, float ms) {
        CountedRef<GBuildingConfig> record(hotel1->copy());
        record->DestroyWorkersCost = 3;
        if (kind == Kind::Destruction) record->DestroyTime = ms;
        else if (kind == Kind::Restoring) record->BuildTime = ms;
        else record->RepairTime = ms;
        building->setRecord(record.get(), false);
    }

    static int32_t completionOf(Kind kind) {
        switch (kind) {
        case Kind::Destruction: return Ids::DestructionCompleted;
        case Kind::Restoring: return Ids::RepairCompleted;
        case Kind::Repair: return Ids::RepairCompleted;
        case Kind::Cleaning: return Ids::CleaningCompleted;
        }
        return 0;
    }
};

struct TimeCase {
    Kind kind;
    float workTime;
    float speed;   // BuildTimeM
    int32_t endMs; // level time at which run answers false
};

TEST_F(WorkTaskTest, WorkEndsAfterItsTimeUnderTheSpeedFactorAndHandsBackOnlyTheWorkers) {
    const TimeCase cases[] = {
        {Kind::Repair, 2000.0f, 2.0f, 1000},      // counts up: done at RepairTime
        {Kind::Cleaning, 1000.0f, 1.0f, 1000},
        {Kind::Restoring, 1000.0f, 1.0f, 1020},   // counts down: done below 0
        {Kind::Destruction, 1500.0f, 1.0f, 1520},
        {Kind::Destruction, 1500.0f, 0.5f, 3020},
        // A time of 0 or below is done on the first step.
        {Kind::Repair, 0.0f, 1.0f, 20},
        {Kind::Restoring, 0.0f, 1.0f, 20},
        {Kind::Destruction, 0.0f, 1.0f, 20},
        {Kind::Destruction, -5.0f, 1.0f, 20},
    };
    for (const TimeCase& c : cases) {
        SCOPED_TRACE(std::string(kindName(c.kind)) + " time " + std::to_string(c.workTime));
        load();
        level->modifierValues.BuildTimeM = c.speed;
        setWorkTime(c.kind, c.workTime);
        GWorkTask* task = make(c.kind);
        EXPECT_TRUE(buildingChild("ProgressBarOverBuilding"));

        EXPECT_EQ(runToEnd(task), c.endMs);
        EXPECT_TRUE(task->isFinished());
        const int32_t workers = c.kind == Kind::Destruction ? 3 : 2;
        ASSERT_EQ(log.ids(), (std::vector<int32_t>{completionOf(c.kind), Ids::TaskStep}));
        EXPECT_EQ(log.events[0].building, building);
        EXPECT_FLOAT_EQ(log.events[1].materials, 0.0f);
        EXPECT_EQ(log.events[1].workers, workers);
        EXPECT_EQ(building->getJob(), nullptr);
        EXPECT_EQ(building->getJobState(), 0);
        EXPECT_FALSE(buildingChild("ProgressBarOverBuilding"));
        // A finished task stays finished.
        task->cancel();
        EXPECT_EQ(log.events.size(), 2u);
    }
}

TEST_F(WorkTaskTest, ProgressCountsTheWorkAndFillsTheBar) {
    for (Kind kind : {Kind::Destruction, Kind::Restoring, Kind::Repair, Kind::Cleaning}) {
        SCOPED_TRACE(kindName(kind));
        load();
        setWorkTime(kind, 1000.0f);
        GWorkTask* task = make(kind);
        EXPECT_FLOAT_EQ(task->getProgress(), 0.0f);
        ASSERT_TRUE(runFor(task, 400));
        EXPECT_NEAR(task->getProgress(), 0.4f, 1e-4f);
        auto* bar = nodeCast<BaseProgressBarNode>(buildingChild("ProgressBarOverBuilding"));
        ASSERT_TRUE(bar);
        EXPECT_FLOAT_EQ(bar->getValue(), task->getProgress());
        EXPECT_FLOAT_EQ(building->jobProgress(), task->getProgress());
    }
}

TEST_F(WorkTaskTest, ATimeOfZeroIsCompleteBeforeTheFirstStep) {
    for (Kind kind : {Kind::Destruction, Kind::Restoring, Kind::Repair}) {
        SCOPED_TRACE(kindName(kind));
        load();
        setWorkTime(kind, 0.0f);
        EXPECT_FLOAT_EQ(make(kind)->getProgress(), 1.0f);
    }
}

TEST_F(WorkTaskTest, TheBusBringsTheWorkersBeforeTheWorkStartsAndLeavesAfterwards) {
    load();
    setWorkTime(Kind::Repair, 1000.0f);
    GWorkTask* task = make(Kind::Repair, path.get());
    ASSERT_EQ(cargoCount("Bus"), 1);
    GPathMovableNode* bus = task->getBus();
    ASSERT_TRUE(bus);
    EXPECT_FLOAT_EQ(bus->getSpeed(), 140.0f);
    EXPECT_EQ(task->getState(), WorkTaskState::BusDriving);

    // 400 units at 140 a second: the bus arrives after 2858 ms.
    ASSERT_TRUE(runFor(task, 2840));
    EXPECT_EQ(task->getState(), WorkTaskState::BusDriving);
    EXPECT_FLOAT_EQ(task->getProgress(), 0.0f);
    ASSERT_TRUE(runFor(task, 40));
    EXPECT_GE(task->getState(), WorkTaskState::WorkStarted);

    // The bus leaves (600 ms) while the work goes on, and is taken away.
    ASSERT_TRUE(runFor(task, 800));
    EXPECT_EQ(task->getState(), WorkTaskState::BusGone);
    EXPECT_EQ(cargoCount("Bus"), 0);
    EXPECT_FALSE(task->getBus());
    EXPECT_GT(runToEnd(task), 0);
    EXPECT_EQ(log.count(Ids::RepairCompleted), 1);
}

TEST_F(WorkTaskTest, WithoutABusTemplateTheWorkersComeAtOnce) {
    testing_support::LogCapture capture;
    load({"Bus"});
    setWorkTime(Kind::Cleaning, 200.0f);
    GWorkTask* task = make(Kind::Cleaning, path.get());
    EXPECT_TRUE(capture.contains("\"Bus\""));
    EXPECT_FALSE(task->getBus());
    EXPECT_EQ(task->getState(), WorkTaskState::Arrived);
    EXPECT_EQ(runToEnd(task), 200);
    EXPECT_EQ(log.count(Ids::CleaningCompleted), 1);
}

TEST_F(WorkTaskTest, ARemovedTaskTakesItsBusAndBarAlong) {
    load();
    setWorkTime(Kind::Repair, 5000.0f);
    make(Kind::Repair, path.get());
    ASSERT_EQ(cargoCount("Bus"), 1);
    ASSERT_TRUE(buildingChild("ProgressBarOverBuilding"));
    task_.reset();
    EXPECT_EQ(cargoCount("Bus"), 0);
    EXPECT_FALSE(buildingChild("ProgressBarOverBuilding"));
    // No listener is left behind on the nodes it watched.
    EXPECT_EQ(cargos->getPostListeners().size(), 0u);
    EXPECT_EQ(building->getPostListeners().size(), 0u);
}

struct CancelCase {
    Kind kind;
    int32_t condition;  // the building's condition afterwards
    float materials;    // handed back
};

TEST_F(WorkTaskTest, CancelPutsTheConditionBackAndReturnsWhatTheCommandTook) {
    const CancelCase cases[] = {
        {Kind::Repair, GBuildingNode::kBroken, 5.0f},
        {Kind::Cleaning, GBuildingNode::kDirty, 5.0f},
        {Kind::Restoring, GBuildingNode::kNeedsRestoring, 5.0f},
    };
    for (const CancelCase& c : cases) {
        SCOPED_TRACE(kindName(c.kind));
        load();
        setWorkTime(c.kind, 1000.0f);
        building->setCondition(0);
        GWorkTask* task = make(c.kind, path.get());
        ASSERT_TRUE(runFor(task, 3200));

        building->cancelJob();
        EXPECT_EQ(building->getCondition(), c.condition);
        EXPECT_EQ(building->getJobState(), 0);
        ASSERT_EQ(log.ids(), std::vector<int32_t>{Ids::TaskStep});
        EXPECT_FLOAT_EQ(log.events[0].materials, c.materials);
        EXPECT_EQ(log.events[0].workers, 2);
        // Cancelled once: a second cancel and the bus's later arrival change nothing.
        task->cancel();
        EXPECT_FALSE(step(task));
        EXPECT_EQ(log.events.size(), 1u);
        task_.reset();
        EXPECT_EQ(cargoCount("Bus"), 0);
    }
}

TEST_F(WorkTaskTest, CancelledDestructionGivesTheBuildingBackWithItsSavedState) {
    load();
    setWorkTime(Kind::Destruction, 2000.0f);
    building->setCondition(GBuildingNode::kDirty);
    GWorkTask* task = make(Kind::Destruction, path.get());
    building->setCondition(0);  // the command ends the sale and clears it
    ASSERT_EQ(building->getRecord()->Name, place->Name);
    ASSERT_TRUE(runFor(task, 3500));
    EXPECT_EQ(building->getTemplateName(), makeNameId("BuildingPlace"));

    building->cancelJob();
    EXPECT_EQ(building->getRecord()->Name, hotel1->Name);
    EXPECT_EQ(building->getTemplateName(), hotel1->Name);
    EXPECT_EQ(building->getCondition(), GBuildingNode::kDirty);
    EXPECT_EQ(building->getJobState(), 0);
    ASSERT_EQ(log.ids(), std::vector<int32_t>{Ids::TaskStep});
    EXPECT_FLOAT_EQ(log.events[0].materials, 0.0f);
    EXPECT_EQ(log.events[0].workers, 3);
    EXPECT_FALSE(task->getBus());
    EXPECT_FALSE(step(task));
    EXPECT_EQ(log.events.size(), 1u);
}

TEST_F(WorkTaskTest, DestructionHandsBackExactlyTheWorkersItTook) {
    load();
    setWorkTime(Kind::Destruction, 100.0f);
    // Taken from the record as the command makes the task...
    GWorkTask* task = make(Kind::Destruction);
    EXPECT_EQ(task->getWorkers(), 3);
    // ...and kept when the cost changes before the end.
    building->getPreviousRecord()->DestroyWorkersCost = 9;
    level->modifierValues.BuildTimeM = 1.0f;
    runToEnd(task);
    ASSERT_TRUE(log.last(Ids::TaskStep));
    EXPECT_EQ(log.last(Ids::TaskStep)->workers, 3);

    // A command may also say how many it took.
    load();
    setWorkTime(Kind::Destruction, 100.0f);
    GDestructionTask* given =
        start(new GDestructionTask(scene, building, cargos, manager->collection.get(), nullptr, 4), 2);
    runToEnd(given);
    EXPECT_EQ(log.last(Ids::TaskStep)->workers, 4);
}

TEST_F(WorkTaskTest, DestructionTurnsTheBuildingIntoAPlace) {
    load();
    setWorkTime(Kind::Destruction, 100.0f);
    GWorkTask* task = make(Kind::Destruction);
    EXPECT_TRUE(step(task));
    EXPECT_EQ(building->getTemplateName(), makeNameId("BuildingPlace"));
    EXPECT_TRUE(bodyPart("Ground"));
    runToEnd(task);
    EXPECT_EQ(log.count(Ids::DestructionCompleted), 1);
}

TEST_F(WorkTaskTest, AFinishingTaskLeavesAnotherTasksJobAlone) {
    load();
    setWorkTime(Kind::Cleaning, 100.0f);
    GWorkTask* task = make(Kind::Cleaning);
    // The building has been given another job meanwhile.
    CountedRef<GRepairTask> other(new GRepairTask(scene, building, cargos, manager->collection.get(), nullptr, 0.0f, 0));
    building->setJob(3, other.get());
    runToEnd(task);
    EXPECT_EQ(log.count(Ids::CleaningCompleted), 1);
    EXPECT_EQ(building->getJob(), other.get());
    EXPECT_EQ(building->getJobState(), 3);
    // Nor does cancelling it.
    load();
    setWorkTime(Kind::Repair, 1000.0f);
    GWorkTask* cancelled = make(Kind::Repair);
    CountedRef<GRepairTask> next(new GRepairTask(scene, building, cargos, manager->collection.get(), nullptr, 0.0f, 0));
    building->setJob(3, next.get());
    cancelled->cancel();
    EXPECT_EQ(building->getJob(), next.get());
}

// A child of the building that plays a two-key "Restoring" animation.
BaseNode* addRuin(GBuildingNode* building) {
    const std::string text =
        "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Ruin\"/></Properties><States>"
        "<State Name=\"Restoring\"><Animator Type=\"KeyFrame\" Name=\"Rise\"><Properties><color Name=\"TintColor\" "
        "Value=\"ffffffff\"/></Properties><KeyFrame t=\"0\" Value0=\"ffffffff\"/><KeyFrame t=\"100\" i=\"0\" "
        "Value0=\"ffffffff\"/></Animator></State></States></SceneNode>";
    XmlReader reader(text.data(), text.size(), "memory");
    CountedRef<BaseNode> ruin(readSceneFile(reader, CreationContext(nullptr, "memory"), "memory"));
    building->addChild(ruin.get());
    return ruin.get();
}

uint32_t restoringKeyTime(BaseNode* ruin) {
    State* state = ruin->getState(makeNameId("Restoring"));
    KeyFrame* animator = state ? asKeyFrame(state->findAnimator(makeNameId("Rise"))) : nullptr;
    return animator ? animator->getKeys()[1].time : 0u;
}

TEST_F(WorkTaskTest, RestoringFitsItsAnimationsToTheWorkLeft) {
    load();
    BaseNode* ruin = addRuin(building);
    setWorkTime(Kind::Restoring, 4000.0f);
    level->modifierValues.BuildTimeM = 2.0f;
    GWorkTask* task = make(Kind::Restoring);
    EXPECT_EQ(restoringKeyTime(ruin), 2000u);

    ASSERT_TRUE(runFor(task, 500));  // 3000 of 4000 left after 25 steps of 40
    EXPECT_EQ(restoringKeyTime(ruin), 2000u);
    level->modifierValues.BuildTimeM = 4.0f;
    ASSERT_TRUE(step(task));
    // Refitted before the step: 3000 left at speed 4.
    EXPECT_EQ(restoringKeyTime(ruin), 750u);

    // At a speed of 0 the work stands still and nothing is refitted.
    level->modifierValues.BuildTimeM = 0.0f;
    ASSERT_TRUE(runFor(task, 200));
    EXPECT_EQ(restoringKeyTime(ruin), 750u);
    EXPECT_FALSE(log.count(Ids::RepairCompleted));

    load();
    ruin = addRuin(building);
    setWorkTime(Kind::Restoring, 4000.0f);
    level->modifierValues.BuildTimeM = 0.0f;
    make(Kind::Restoring);
    EXPECT_EQ(restoringKeyTime(ruin), 100u);
}

}  // namespace
