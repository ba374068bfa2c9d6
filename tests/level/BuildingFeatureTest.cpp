// Conditions, the operating test and active features on the headless level:
// the quarter payments of a boosting feature on the building's 50 ms clock,
// the one report of a feature's end, recharges, features held by conditions,
// the icon fill, and the clock holding while the level is paused.
#include "engine/core/EventIds.h"
#include "engine/visual/SpriteNode.h"
#include "game/level/tasks/GBuildingTask.h"
#include "level/BuildingTestSupport.h"

#include <functional>
#include <string>
#include <vector>

using namespace engine;
using building_test::BuildingTest;
using game::GBuildingConfig;
using game::GBuildingNode;
using game::GGameLevelScene;

namespace {

// A job that never ends by itself.
class IdleTask : public game::GBuildingTask {
public:
    float getProgress() override { return 0.0f; }
    bool run(uint32_t) override { return true; }
};

class BuildingFeatureTest : public BuildingTest {
protected:
    // A hotel at Place02 whose serve area reaches the unowned hotel at
    // Place04 (5 guests), with one boosting feature of the given length.
    GBuildingNode* boostingHotel(int32_t duration, int32_t recharge) {
        GBuildingNode* hotel = place("Place02");
        CountedRef<GBuildingConfig> r = makeRecord("Boosted", 1, 0);
        r->ServeArea = vector2df(1000.0f, 300.0f);
        r->ServeIncome = 1.0f;
        r->ServeBoostedIncome = 4.0f;
        r->ActiveFeatures.push_back(feature(duration, recharge, "BoostIncome"));
        hotel->setRecord(r.get(), false);
        return hotel;
    }

    // Runs the level until right after one of the building's ticks.
    void alignToTick(GBuildingNode* building) {
        const int32_t before = building->sinceMoneyLetter();
        ASSERT_TRUE(level.advanceUntil([&] { return building->sinceMoneyLetter() != before; }, 100));
    }

    // The times (ms after now, one entry per event) at which income events
    // reach the level's parent during the next `ms`.
    std::vector<int32_t> incomeTimes(uint32_t ms) {
        std::vector<int32_t> times;
        int32_t seen = count(EventId::GIncomeEvent);
        for (uint32_t t = 10; t <= ms; t += 10) {
            level.advance(10);
            const int32_t now = count(EventId::GIncomeEvent);
            for (; seen < now; ++seen) times.push_back(static_cast<int32_t>(t));
        }
        return times;
    }
};

}  // namespace

TEST_F(BuildingFeatureTest, ABoostingFeaturePaysInQuartersAndEndsOnce) {
    struct Case {
        int32_t duration;
        std::vector<int32_t> payments;
    };
    const Case cases[] = {
        {10000, {2550, 5900, 9250, 10000}},
        {1000, {300, 650, 1000, 1000}},
    };
    startWithOverlays();
    for (const Case& c : cases) {
        GBuildingNode* hotel = boostingHotel(c.duration, 2000);
        ASSERT_EQ(hotel->servedGuests(nullptr), 5);
        alignToTick(hotel);
        level.clearEvents();
        const float money = scene->money;
        hotel->activateFeature(0);
        EXPECT_EQ(hotel->featureState(0), GBuildingNode::kFeatureActive);
        EXPECT_FLOAT_EQ(hotel->boostedIncome(), 20.0f);  // 5 guests x 4

        EXPECT_EQ(incomeTimes(static_cast<uint32_t>(c.duration) + 40), c.payments) << c.duration;
        // Each quarter: 0.25 x 5 guests x 4.
        EXPECT_FLOAT_EQ(scene->money - money, 5.0f * static_cast<float>(c.payments.size())) << c.duration;
        EXPECT_EQ(count(EventId::GFeatureUsedEvent), 1) << c.duration;
        EXPECT_EQ(hotel->featureState(0), GBuildingNode::kFeatureRecharging);
        EXPECT_EQ(count(EventId::GServiceCompletedEvent), 0);

        level.advance(2000);
        EXPECT_EQ(hotel->featureState(0), GBuildingNode::kFeatureReady);
        EXPECT_EQ(count(EventId::GServiceCompletedEvent), 1);
        EXPECT_EQ(count(EventId::GFeatureUsedEvent), 1);
        EXPECT_FLOAT_EQ(hotel->featureProgress(0), 1.0f);
    }
}

TEST_F(BuildingFeatureTest, ARestoredBuildingsFeatureIsRecordedOnceAndItsRechargeLeavesOtherJobsAlone) {
    startWithOverlays();
    GBuildingNode* ruin = place("Place08");  // Type 3, one boosting feature of 1000 ms
    ruin->setOwned(true);
    ruin->setCondition(GBuildingNode::kNoCondition);
    ASSERT_TRUE(ruin->isOperating());
    ASSERT_TRUE(scene->activateFeature(ruin, 0));
    EXPECT_EQ(ruin->getJobState(), GBuildingNode::kFeatureJob);

    ASSERT_TRUE(level.advanceUntil([&] { return ruin->featureState(0) == GBuildingNode::kFeatureRecharging; }, 3000));
    level.advance(100);
    EXPECT_EQ(count(EventId::GFeatureUsedEvent), 1);
    EXPECT_EQ(historyCount(GGameLevelScene::kFeature0Used), 1);
    EXPECT_EQ(ruin->getJobState(), GBuildingNode::kNoJob);

    // Another job runs when the recharge ends: it keeps the place.
    CountedRef<IdleTask> service(new IdleTask());
    ruin->setJob(GBuildingNode::kServiceJob, service.get());
    ASSERT_TRUE(ruin->isOperating());
    ASSERT_TRUE(level.advanceUntil([&] { return ruin->featureState(0) == GBuildingNode::kFeatureReady; }, 3000));
    level.advance(100);
    EXPECT_EQ(ruin->getJobState(), GBuildingNode::kServiceJob);
    EXPECT_EQ(ruin->getJob(), service.get());
    ruin->clearJob(service.get());
}

TEST_F(BuildingFeatureTest, FeaturesRunOnlyInOperatingTime) {
    startWithOverlays();
    GBuildingNode* hotel = boostingHotel(1000, 2000);
    hotel->activateFeature(0);
    level.advance(300);
    const int32_t left = hotel->getFeatureStates()[0].remaining;
    EXPECT_LT(left, 1000);

    struct Case {
        const char* what;
        std::function<void()> stop;
        std::function<void()> resume;
    };
    const Case cases[] = {
        {"broken", [&] { hotel->setCondition(GBuildingNode::kBroken); },
         [&] { hotel->setCondition(GBuildingNode::kNoCondition); }},
        {"for sale", [&] { hotel->setForSale(true); }, [&] { hotel->setForSale(false); }},
        {"not owned", [&] { hotel->setOwned(false); }, [&] { hotel->setOwned(true); }},
        {"hidden", [&] { hotel->setVisible(false); }, [&] { hotel->setVisible(true); }},
        {"other job", [&] { hotel->setJob(GBuildingNode::kMaintenanceJob, nullptr); },
         [&] { hotel->setJob(GBuildingNode::kNoJob, nullptr); }},
        {"paused level", [&] { scene->setPaused(true); }, [&] { scene->setPaused(false); }},
    };
    for (const Case& c : cases) {
        c.stop();
        EXPECT_EQ(hotel->isOperating(), std::string(c.what) == "paused level") << c.what;
        level.advance(500);
        EXPECT_EQ(hotel->getFeatureStates()[0].remaining, left) << c.what;
        EXPECT_EQ(hotel->featureState(0), GBuildingNode::kFeatureActive) << c.what;
        c.resume();
    }
    level.advance(100);
    EXPECT_LT(hotel->getFeatureStates()[0].remaining, left);
}

TEST_F(BuildingFeatureTest, ThePausedLevelHoldsTheBuildingsClock) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place02");
    level.config()->buildingsBuyRequestTime = vector2df(60000.0f, 60000.0f);
    hotel->setForSale(true);
    level.advance(200);
    const int32_t letter = hotel->sinceMoneyLetter();
    const int32_t condition = hotel->sinceCondition();
    const int32_t sale = hotel->getSaleElapsed();
    EXPECT_GT(sale, 0);

    scene->setPaused(true);
    level.advance(1000);
    EXPECT_EQ(hotel->sinceMoneyLetter(), letter);
    EXPECT_EQ(hotel->sinceCondition(), condition);
    EXPECT_EQ(hotel->getSaleElapsed(), sale);

    scene->setPaused(false);
    level.advance(1000);
    EXPECT_EQ(hotel->sinceMoneyLetter(), letter + 1000);
    EXPECT_EQ(hotel->sinceCondition(), condition + 1000);
    EXPECT_EQ(hotel->getSaleElapsed(), sale + 1000);
}

TEST_F(BuildingFeatureTest, AFeatureWithoutRunningTimeEndsOnTheNextOperatingTick) {
    startWithOverlays();
    GBuildingNode* hotel = boostingHotel(0, 500);
    alignToTick(hotel);
    level.clearEvents();
    hotel->activateFeature(0);
    EXPECT_FLOAT_EQ(hotel->featureProgress(0), 0.0f);
    hotel->activateFeature(0);  // not ready any more: nothing happens
    level.advance(50);
    EXPECT_EQ(hotel->featureState(0), GBuildingNode::kFeatureRecharging);
    EXPECT_EQ(count(EventId::GFeatureUsedEvent), 1);
    EXPECT_NEAR(hotel->featureProgress(0), 0.0f, 1e-6f);

    // Out-of-range indices are ignored or answer as past the end.
    hotel->activateFeature(1);
    hotel->activateFeature(-1);
    EXPECT_EQ(hotel->featureState(5), GBuildingNode::kFeatureRecharging);
    EXPECT_FLOAT_EQ(hotel->featureProgress(5), 1.0f);
    EXPECT_FALSE(hotel->isFeatureAvailable(1));
}

TEST_F(BuildingFeatureTest, TheIconFillGrowsOverTheFrame) {
    startWithOverlays();
    BaseNode* icon = place("Place02")->getFeatureIcon(0);
    ASSERT_NE(icon, nullptr);
    SpriteNode* frame = nodeCast<SpriteNode>(icon->getChild(0));
    SpriteNode* fill = nodeCast<SpriteNode>(icon->getChild(1));
    ASSERT_TRUE(frame && fill);

    GBuildingNode::showFeatureIconProgress(icon, 0.5f);  // d = 10 + 3
    EXPECT_EQ(frame->getBounds(), vector3df(28.0f, 13.0f, 0.0f));
    EXPECT_TRUE(fill->isVisible());
    EXPECT_EQ(fill->getPosition(), vector3df(0.0f, 13.0f, 0.01f));
    EXPECT_EQ(fill->getBounds(), vector3df(28.0f, 13.0f, 0.0f));
    EXPECT_EQ(fill->getImagePivotPoint(), vector2df(0.0f, 13.0f));
    EXPECT_EQ(frame->getImageStretchY(), 3);
    EXPECT_EQ(fill->getImageStretchY(), 3);

    GBuildingNode::showFeatureIconProgress(icon, 1.0f);
    EXPECT_EQ(frame->getBounds(), vector3df(28.0f, 3.0f, 0.0f));
    GBuildingNode::showFeatureIconProgress(icon, 0.0f);
    EXPECT_EQ(frame->getBounds(), vector3df(28.0f, 26.0f, 0.0f));
    EXPECT_FALSE(fill->isVisible());
}

TEST_F(BuildingFeatureTest, OperatingDependsOnRecordOwnershipSaleConditionAndJob) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place02");  // Type 0 with a feature
    GBuildingNode* ruin = place("Place08");   // Type 3 with a feature
    ruin->setOwned(true);
    ruin->setCondition(GBuildingNode::kNoCondition);
    struct Case {
        GBuildingNode* building;
        int32_t job;
        bool operating;
    };
    const Case cases[] = {
        {hotel, 0, true}, {hotel, 4, false}, {hotel, 5, false}, {ruin, 0, true},
        {ruin, 4, true},  {ruin, 5, true},   {ruin, 1, false},  {ruin, 3, false},
    };
    for (const Case& c : cases) {
        c.building->setJob(c.job, nullptr);
        EXPECT_EQ(c.building->isOperating(), c.operating) << c.building->getRecord()->Type << " job " << c.job;
        c.building->setJob(GBuildingNode::kNoJob, nullptr);
    }
    EXPECT_FALSE(place("Place01")->isOperating());  // an empty place
    EXPECT_FALSE(place("Place04")->isOperating());  // not owned
}
