// The bus visit, the provider's service period and the feature task.
#include "level/TaskTestSupport.h"

#include "engine/controls/BaseProgressBarNode.h"
#include "game/common/GameEvents.h"
#include "game/level/tasks/GMaintenanceTasks.h"
#include "game/level/tasks/GServiceTasks.h"
#include "game/world/PathMovers.h"

using namespace engine;
using namespace game;
using namespace task_tests;

namespace {

class ServiceTaskTest : public TaskFixture {
protected:
    // The building's record with its serve and repair times.
    void setTimes(float serveTime, float repairTime) {
        CountedRef<GBuildingConfig> record(hotel1->copy());
        record->ServeTime = serveTime;
        record->RepairTime = repairTime;
        building->setRecord(record.get(), false);
    }

    GBusVisitTask* visit(GLevelPath* deliveryPath = nullptr) {
        return start(new GBusVisitTask(scene, building, cargos, manager->collection.get(), deliveryPath), 3);
    }
};

TEST_F(ServiceTaskTest, ABusVisitServesForItsServeTime) {
    load();
    // Counted down and measured against the same time, whatever the repair time.
    setTimes(1000.0f, 300.0f);
    GBusVisitTask* task = visit();
    EXPECT_EQ(task->getState(), BusVisitState::Arrived);
    EXPECT_FALSE(task->getBus());
    ASSERT_TRUE(runFor(task, 500));
    EXPECT_NEAR(task->getProgress(), 0.5f, 1e-4f);
    auto* bar = nodeCast<BaseProgressBarNode>(buildingChild("ProgressBarOverBuilding"));
    ASSERT_TRUE(bar);
    EXPECT_FLOAT_EQ(bar->getValue(), task->getProgress());
    EXPECT_TRUE(log.events.empty());

    EXPECT_EQ(runToEnd(task), 520);  // 1020 ms in all: done below 0
    EXPECT_EQ(log.ids(), std::vector<int32_t>{Ids::BusVisitCompleted});
    EXPECT_EQ(log.events[0].building, building);
    EXPECT_EQ(building->getJobState(), 0);
    EXPECT_FALSE(buildingChild("ProgressBarOverBuilding"));
}

TEST_F(ServiceTaskTest, ABusVisitWithoutServeTimeIsDoneAtOnce) {
    load();
    setTimes(0.0f, 2000.0f);
    GBusVisitTask* task = visit();
    EXPECT_FLOAT_EQ(task->getProgress(), 1.0f);
    EXPECT_EQ(runToEnd(task), 20);
    EXPECT_EQ(log.count(Ids::BusVisitCompleted), 1);
}

TEST_F(ServiceTaskTest, TheVisitingBusDrivesThereAndBackOutsideTheTraffic) {
    load();
    setTimes(1000.0f, 1000.0f);
    GBusVisitTask* task = visit(path.get());
    GPathMovableNode* bus = task->getBus();
    ASSERT_TRUE(bus);
    EXPECT_FLOAT_EQ(bus->getSpeed(), 180.0f);
    EXPECT_FALSE(bus->getTraffic());
    EXPECT_EQ(task->getState(), BusVisitState::BusDriving);

    // 400 units at 180 a second: no serving before the bus is there.
    ASSERT_TRUE(runFor(task, 2200));
    EXPECT_EQ(task->getState(), BusVisitState::BusDriving);
    EXPECT_FLOAT_EQ(task->getProgress(), 0.0f);
    ASSERT_TRUE(runFor(task, 1100));
    EXPECT_EQ(log.count(Ids::BusVisitCompleted), 1);
    EXPECT_EQ(task->getState(), BusVisitState::BusLeaving);
    // Back along the same points, to the first one.
    EXPECT_TRUE(bus->isWalking());
    EXPECT_EQ(bus->getEndTag(), makeNameId("MovingFrom"));
    ASSERT_FALSE(bus->getPath().empty());
    EXPECT_FLOAT_EQ(bus->getPath().front().X, 100.0f);

    EXPECT_GT(runToEnd(task), 2000);
    EXPECT_EQ(cargoCount("Bus"), 0);
    EXPECT_EQ(log.events.size(), 1u);
}

TEST_F(ServiceTaskTest, ABusVisitCannotBeCancelled) {
    load();
    GBusVisitTask* task = visit();
    building->cancelJob();
    EXPECT_EQ(building->getJob(), task);
    EXPECT_TRUE(step(task));
    EXPECT_TRUE(log.events.empty());
}

TEST_F(ServiceTaskTest, AProviderServesInPeriodsOfTwoSeconds) {
    load();
    GServiceTask* task = start(new GServiceTask(scene, building, manager->collection.get()), 4);
    EXPECT_FLOAT_EQ(task->getProgress(), 0.0f);
    ASSERT_TRUE(runFor(task, 1000));
    EXPECT_NEAR(task->getProgress(), 0.5f, 1e-4f);
    EXPECT_EQ(runToEnd(task), 1020);
    EXPECT_EQ(log.ids(), std::vector<int32_t>{Ids::ServiceCompleted});
    EXPECT_EQ(building->getJobState(), 0);
    EXPECT_FALSE(buildingChild("ProgressBarOverBuilding"));
}

TEST_F(ServiceTaskTest, TheEndOfAServicePeriodLeavesAJobThatReplacedItAlone) {
    load();
    GServiceTask* task = start(new GServiceTask(scene, building, manager->collection.get()), 4);
    CountedRef<GRepairTask> repair(
        new GRepairTask(scene, building, cargos, manager->collection.get(), nullptr, 0.0f, 1));
    building->setJob(3, repair.get());
    EXPECT_GT(runToEnd(task), 0);
    EXPECT_EQ(building->getJob(), repair.get());
    EXPECT_EQ(building->getJobState(), 3);
}

TEST_F(ServiceTaskTest, AFeaturesRechargeEndNeverTouchesTheJob) {
    load();
    log.swallow = false;  // the level scene answers the event itself
    CountedRef<GRepairTask> repair(
        new GRepairTask(scene, building, cargos, manager->collection.get(), nullptr, 0.0f, 1));
    building->setJob(3, repair.get());
    // What a building's own clock sends when a feature is ready again.
    CountedRef<GServiceCompletedEvent> ready(new GServiceCompletedEvent(building));
    scene->handleEvent(ready.get());
    EXPECT_EQ(log.count(Ids::ServiceCompleted), 1);
    EXPECT_EQ(building->getJob(), repair.get());
    EXPECT_EQ(building->getJobState(), 3);
}

class FeatureTaskTest : public ServiceTaskTest {
protected:
    // A Type 3 building with one feature of 1000 ms and a recharge of 2000.
    void loadFeatureBuilding() {
        load();
        CountedRef<GBuildingConfig> record = makeRecord("Hotel1", 3, 1);
        GActiveFeatureConfig feature;
        feature.durationTime = 1000;
        feature.rechargeTime = 2000;
        record->ActiveFeatures.push_back(feature);
        building->setRecord(record.get(), false);
        building->setCondition(0);
    }

    GFeatureTask* feature() {
        return start(new GFeatureTask(scene, building, cargos, manager->collection.get(), 0), 5);
    }
};

TEST_F(FeatureTaskTest, ShowsTheRunningFeatureAndEndsWithIt) {
    loadFeatureBuilding();
    GFeatureTask* task = feature();
    EXPECT_EQ(building->featureState(0), GBuildingNode::kFeatureActive);
    EXPECT_NEAR(task->getProgress(), 0.0f, 1e-4f);
    ASSERT_TRUE(runFor(task, 500));
    EXPECT_NEAR(task->getProgress(), 0.5f, 0.06f);

    EXPECT_GT(runToEnd(task, 3000), 0);
    EXPECT_NE(building->featureState(0), GBuildingNode::kFeatureActive);
    EXPECT_EQ(building->getJobState(), 0);
    EXPECT_FALSE(buildingChild("ProgressBarOverBuilding"));
    // Reported once, by the building's own clock.
    EXPECT_EQ(log.count(Ids::FeatureUsed), 1);
}

TEST_F(FeatureTaskTest, AFeatureAlreadyOverEndsTheTaskAtOnce) {
    loadFeatureBuilding();
    GFeatureTask* task = feature();
    building->updateFeatures(5000);
    EXPECT_FALSE(task->run(20));
    EXPECT_EQ(building->getJobState(), 0);
    EXPECT_FALSE(task->run(20));
}

}  // namespace
