// The construction task: helicopter, bus and site strands, the work time, the
// new look, the star of an upgraded hotel, cancel and missing templates.
#include "level/TaskTestSupport.h"

#include "engine/core/KeyFrame.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/PropertyData.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/State.h"
#include "engine/visual/SpriteNode.h"
#include "game/level/tasks/GConstructionTask.h"
#include "game/world/PathMovers.h"
#include "support/LogCapture.h"

using namespace engine;
using namespace game;
using namespace task_tests;

namespace {

class ConstructionTest : public TaskFixture {
protected:
    // As the build command does: the new record on the building, its old
    // look kept until the task gives it the new one.
    GConstructionTask* build(GBuildingConfig* newRecord, GLevelPath* deliveryPath = nullptr, float buildTime = 2000.0f) {
        newRecord->BuildTime = buildTime;
        const NameId oldLook = building->getRecord()->Name;
        building->setRecord(newRecord, false);
        building->setTemplateName(oldLook);
        return start(new GConstructionTask(scene, building, building->getRecord(), cargos, manager->collection.get(),
                                           deliveryPath, 10.0f, 2),
                     1);
    }

    // Steps until the predicate holds; false when it does not within the limit.
    template <class Pred>
    bool stepUntil(GConstructionTask* task, Pred pred, uint32_t limitMs = 20000) {
        for (uint32_t t = 0; t < limitMs; t += kStep) {
            if (pred()) return true;
            if (!step(task)) return pred();
        }
        return pred();
    }
};

TEST_F(ConstructionTest, WithoutAPathOnlyTheHelicopterIsAwaitedBeforeTheWork) {
    load();
    building->setRecord(place.get(), false);
    building->setTemplateName(place->Name);
    GConstructionTask* task = build(hotel1.get());
    EXPECT_EQ(task->getBusState(), GConstructionTask::BusLeftOrAbsent);
    EXPECT_EQ(cargoCount("Bus"), 0);
    EXPECT_EQ(cargoCount("Helicopter"), 1);
    EXPECT_TRUE(buildingChild("Construction"));
    EXPECT_FLOAT_EQ(task->getTotal(), 3500.0f);

    // The helicopter flies in for 3333 ms; the site waits in "Build".
    ASSERT_TRUE(runFor(task, 3000));
    EXPECT_EQ(task->getSiteState(), GConstructionTask::SiteBuild);
    EXPECT_EQ(task->getHelicopterState(), GConstructionTask::HeliFlyingIn);
    EXPECT_FLOAT_EQ(task->getProgress(), 0.0f);
    // The old look's body is hidden while the site works; its selector stays.
    ASSERT_TRUE(bodyPart("Ground"));
    EXPECT_FALSE(bodyPart("Ground")->isVisible());

    ASSERT_TRUE(stepUntil(task, [&] { return task->getSiteState() == GConstructionTask::SiteWorking; }));
    EXPECT_GT(task->getHelicopterState(), 6);
    // With the next step the cargo lands at the site.
    ASSERT_TRUE(step(task));
    BaseNode* site = buildingChild("Construction");
    ASSERT_TRUE(site);
    BaseNode* cargo = site->findChild(makeNameId("Cargo"), 1);
    ASSERT_TRUE(cargo);
    EXPECT_TRUE(cargo->isVisible());

    // 2000 ms of work, then the post-build steps and the new look.
    ASSERT_TRUE(runFor(task, 1000));
    EXPECT_NEAR(task->getProgress(), 1000.0f / 3500.0f, 0.02f);
    ASSERT_TRUE(stepUntil(task, [&] { return log.count(Ids::BuildingCompleted) == 1; }));
    EXPECT_EQ(log.ids(), (std::vector<int32_t>{Ids::BuildingCompleted, Ids::TaskStep}));
    EXPECT_EQ(log.events[0].record, building->getRecord());
    EXPECT_FLOAT_EQ(log.events[1].materials, 0.0f);
    EXPECT_EQ(log.events[1].workers, 2);
    EXPECT_EQ(building->getTemplateName(), hotel1->Name);
    EXPECT_TRUE(bodyPart("Roof"));
    EXPECT_FALSE(buildingChild("Construction"));
    EXPECT_EQ(building->getJob(), nullptr);

    // The task lasts until the helicopter has flown off.
    EXPECT_EQ(cargoCount("Helicopter"), 1);
    EXPECT_GT(runToEnd(task), 0);
    EXPECT_EQ(cargoCount("Helicopter"), 0);
    EXPECT_EQ(log.events.size(), 2u);
}

TEST_F(ConstructionTest, TheSelectorShowsTheSiteUntilTheNewLookComes) {
    load();
    GConstructionTask* task = build(hotel2.get(), nullptr, 100.0f);
    BaseNode* oldSelector = building->getSelector();
    ASSERT_TRUE(oldSelector);
    auto* selector = nodeCast<SpriteNode>(bodyPart("Selector"));
    ASSERT_TRUE(selector);
    EXPECT_EQ(selector->getBlendType(), 1);
    EXPECT_TRUE(selector->isVisible());
    // The replaced one lives on while the building may still point at it.
    EXPECT_NE(oldSelector, selector);
    EXPECT_EQ(oldSelector->getName(), makeNameId("Selector"));
    EXPECT_FALSE(oldSelector->getParent());
    EXPECT_GT(runToEnd(task), 0);
    EXPECT_FALSE(nodeCast<SpriteNode>(bodyPart("Selector")));
}

TEST_F(ConstructionTest, TheBodyIsLiftedDuringTheWorkAndUntintedAfterwards) {
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "finished");
        load();
        // A body sprite placed with the building itself outlives template changes.
        CountedRef<SpriteNode> plate(new SpriteNode(nullptr, nullptr, nullptr));
        plate->setName(makeNameId("Plate"));
        building->addChild(plate.get());
        GConstructionTask* task = build(hotel2.get(), nullptr, 100.0f);
        EXPECT_EQ(plate->getTintColor().color, 0xFF202020u);
        EXPECT_EQ(plate->getBlendType(), 1);
        if (cancel) {
            task->cancel();
        } else {
            EXPECT_GT(runToEnd(task), 0);
        }
        EXPECT_EQ(plate->getTintColor().color, GBuildingNode::kNeutralBodyTint);
    }
}

TEST_F(ConstructionTest, TheSiteWaitsForTheBusAsWell) {
    load();
    // A long way: 2000 units at 140 a second before the last stretch.
    CountedRef<GLevelPath> longWay = makePath({-2000.0f, 300.0f, 0.0f, 300.0f, 500.0f, 300.0f});
    GConstructionTask* task = build(hotel2.get(), longWay.get());
    EXPECT_EQ(task->getBusState(), GConstructionTask::BusDriving);
    ASSERT_TRUE(task->getBus());
    EXPECT_FLOAT_EQ(task->getBus()->getSpeed(), 140.0f);

    // The helicopter has unloaded long before the bus is on its last
    // stretch, where it starts leaving.
    ASSERT_TRUE(stepUntil(task, [&] { return task->getHelicopterState() > 6; }));
    EXPECT_EQ(task->getSiteState(), GConstructionTask::SiteBuild);
    ASSERT_TRUE(stepUntil(task, [&] { return task->getSiteState() == GConstructionTask::SiteWorking; }));
    EXPECT_GT(task->getBusState(), 6);
    EXPECT_GT(runToEnd(task), 0);
    EXPECT_EQ(cargoCount("Bus"), 0);
    EXPECT_EQ(log.count(Ids::BuildingCompleted), 1);
}

TEST_F(ConstructionTest, AnUpgradedHotelGetsItsNewStarAfterTheEffect) {
    load();
    GConstructionTask* task = build(hotel2.get(), nullptr, 100.0f);
    ASSERT_TRUE(stepUntil(task, [&] { return log.count(Ids::BuildingCompleted) == 1; }));
    EXPECT_EQ(task->getOverallState(), 1);
    ASSERT_TRUE(task->getStarEffect());
    EXPECT_TRUE(task->getStarEffect()->isVisible());
    EXPECT_FLOAT_EQ(task->getStarEffect()->getPosition().Z, 3000.0f);
    // "Activate" plays for 200 ms; then the effect goes.
    ASSERT_TRUE(stepUntil(task, [&] { return task->getOverallState() == 2; }, 400));
    EXPECT_EQ(cargoCount("LevelStarEffect"), 0);

    // A first level or another type has no star to show.
    load();
    task = build(hotel1.get(), nullptr, 100.0f);
    ASSERT_TRUE(stepUntil(task, [&] { return log.count(Ids::BuildingCompleted) == 1; }));
    EXPECT_EQ(task->getOverallState(), 2);
}

TEST_F(ConstructionTest, CancelDuringTheWorkRestoresTheOldBuildingAndReturnsTheStock) {
    load();
    GConstructionTask* task = build(hotel2.get(), path.get(), 5000.0f);
    ASSERT_TRUE(stepUntil(task, [&] { return task->getSiteState() == GConstructionTask::SiteWorking; }));
    ASSERT_TRUE(runFor(task, 500));

    building->cancelJob();
    EXPECT_EQ(building->getRecord()->Name, hotel1->Name);
    EXPECT_EQ(building->getTemplateName(), hotel1->Name);
    EXPECT_TRUE(bodyPart("Roof"));
    EXPECT_EQ(building->getJobState(), 0);
    EXPECT_FALSE(buildingChild("Construction"));
    ASSERT_EQ(log.ids(), std::vector<int32_t>{Ids::TaskStep});
    EXPECT_FLOAT_EQ(log.events[0].materials, 10.0f);
    EXPECT_EQ(log.events[0].workers, 2);

    // Helicopter and bus go with the next step; a second cancel does nothing.
    task->cancel();
    EXPECT_FALSE(step(task));
    EXPECT_EQ(cargoCount("Helicopter"), 0);
    EXPECT_EQ(cargoCount("Bus"), 0);
    EXPECT_EQ(log.events.size(), 1u);
}

TEST_F(ConstructionTest, AFinishedConstructionIsNotUndoneByCancel) {
    load();
    GConstructionTask* task = build(hotel2.get(), nullptr, 100.0f);
    ASSERT_TRUE(stepUntil(task, [&] { return log.count(Ids::BuildingCompleted) == 1; }));
    task->cancel();
    EXPECT_EQ(building->getRecord()->Name, hotel2->Name);
    EXPECT_EQ(log.count(Ids::TaskStep), 1);
}

struct MissingCase {
    const char* missing;
    bool withPath;
};

TEST_F(ConstructionTest, MissingPropsAreLoggedAndTheBuildingIsStillFinishedAfterItsTime) {
    const MissingCase cases[] = {
        {"Helicopter", false},
        {"Bus", true},
        {"Construction", false},
    };
    for (const MissingCase& c : cases) {
        SCOPED_TRACE(c.missing);
        testing_support::LogCapture capture;
        load({c.missing});
        GConstructionTask* task = build(hotel2.get(), c.withPath ? path.get() : nullptr, 1000.0f);
        EXPECT_TRUE(capture.contains(std::string("\"") + c.missing + "\""));
        EXPECT_GT(runToEnd(task, 20000), 0);
        EXPECT_EQ(log.count(Ids::BuildingCompleted), 1);
        EXPECT_EQ(building->getTemplateName(), hotel2->Name);
        EXPECT_EQ(building->getJobState(), 0);
        EXPECT_EQ(cargoCount(c.missing), 0);
    }
}

TEST_F(ConstructionTest, WithoutASiteTheWorkTakesTheBuildTimeOnceDelivered) {
    testing_support::LogCapture capture;
    load({"Construction", "Helicopter"});
    GConstructionTask* task = build(hotel1.get(), nullptr, 1000.0f);
    // Delivered at once: one step to start, 1000 ms of work, one to finish.
    EXPECT_EQ(runToEnd(task), 1040);
    EXPECT_EQ(log.ids(), (std::vector<int32_t>{Ids::BuildingCompleted, Ids::TaskStep}));
}

TEST_F(ConstructionTest, ProgressIsCompleteWhenThereIsNoTimeToBuild) {
    load();
    GConstructionTask* task = build(hotel2.get(), nullptr, -2000.0f);
    EXPECT_FLOAT_EQ(task->getProgress(), 1.0f);
    EXPECT_GT(runToEnd(task), 0);
    EXPECT_EQ(log.count(Ids::BuildingCompleted), 1);
}

struct DirectionCase {
    float x, y;
    // Expected index for each low two bits of the drawn value (0..3); all
    // four equal where nothing is drawn.
    int32_t byBits[4];
    bool draws;
};

TEST_F(ConstructionTest, TheHelicopterComesFromAWayThatFitsItsPlaceOnScreen) {
    const DirectionCase cases[] = {
        {100.0f, 100.0f, {2, 2, 2, 2}, false},  // top left: always from the left, upwards
        {341.0f, 210.0f, {2, 2, 2, 2}, false},
        {500.0f, 100.0f, {0, 2, 0, 2}, true},
        {900.0f, 100.0f, {0, 0, 0, 0}, false},
        {100.0f, 300.0f, {2, 3, 2, 3}, true},
        {500.0f, 300.0f, {0, 1, 2, 3}, true},
        {900.0f, 300.0f, {0, 1, 0, 1}, true},
        {100.0f, 500.0f, {3, 3, 3, 3}, false},
        {500.0f, 500.0f, {1, 3, 1, 3}, true},
        {900.0f, 500.0f, {1, 1, 1, 1}, false},
    };
    for (const DirectionCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        RandomGenerator expected(getRandomGenerator());
        const int32_t d = GConstructionTask::chooseDirection(vector2df(c.x, c.y));
        if (c.draws) {
            EXPECT_EQ(d, c.byBits[expected.nextMWC() & 3u]);
        } else {
            EXPECT_EQ(d, c.byBits[0]);
            // No number was drawn.
            EXPECT_EQ(getRandomGenerator().nextMWC(), expected.nextMWC());
        }
    }
}

vector3df keyPosition(KeyFrame* animator, uint32_t index) {
    PropertySet* set = animator->getPropertySet();
    const int32_t slot = set->indexOf("Position");
    return vector3dFromProperty(animator->getKeys()[index].values[static_cast<size_t>(slot)]);
}

TEST_F(ConstructionTest, TheHelicopterFliesAThousandUnitsToItsHoverPointAndOn) {
    load();
    // Place the building in the top left, where the way is fixed ("LeftUp").
    building->setPosition(vector3df(100.0f, 100.0f, 5.0f));
    GConstructionTask* task = build(hotel2.get());
    GPathMovableNode* heli = task->getHelicopter();
    ASSERT_TRUE(heli);
    EXPECT_EQ(task->getDirection(), makeNameId("LeftUp"));

    const vector3df hover(204.0f, 43.0f, 2005.0f);
    vector2df leg(1000.0f, 0.0f);
    rotateVector2dDegrees(leg, 210);
    const struct {
        const char* state;
        vector3df from, to;
    } legs[] = {{"MovingTo", hover - vector3df(leg.X, leg.Y, 0.0f), hover},
                {"MovingFrom", hover, hover + vector3df(leg.X, leg.Y, 0.0f)}};
    for (const auto& flight : legs) {
        SCOPED_TRACE(flight.state);
        State* state = heli->getState(makeNameId(flight.state));
        ASSERT_TRUE(state);
        KeyFrame* mover = asKeyFrame(state->findAnimator(makeNameId("Mover")));
        ASSERT_TRUE(mover);
        EXPECT_EQ(mover->getKeys()[1].time, 3333u);
        const vector3df from = keyPosition(mover, 0);
        const vector3df to = keyPosition(mover, 1);
        EXPECT_NEAR(from.X, flight.from.X, 0.5f);
        EXPECT_NEAR(from.Y, flight.from.Y, 0.5f);
        EXPECT_NEAR(to.X, flight.to.X, 0.5f);
        EXPECT_NEAR(to.Y, flight.to.Y, 0.5f);
        EXPECT_FLOAT_EQ(to.Z, 2005.0f);
    }
    // The template keeps its own keys.
    KeyFrame* original = asKeyFrame(manager->collection->getTemplate(makeNameId("Helicopter"))
                                        ->getState(makeNameId("MovingTo"))
                                        ->findAnimator(makeNameId("Mover")));
    ASSERT_TRUE(original);
    EXPECT_EQ(original->getKeys()[1].time, 100u);
    EXPECT_FLOAT_EQ(keyPosition(original, 1).X, 0.0f);
}

}  // namespace
