// The player's commands through the level's public operations on the small
// headless level: checks, prices, job states, history, stocks and workers,
// and the refusals that keep a building to one job at a time.
#include "engine/core/EventIds.h"
#include "game/config/LevelConfig.h"
#include "game/level/tasks/GBuildingTask.h"
#include "level/LevelSceneFixture.h"

#include <functional>

using namespace engine;
using game::GBuildingNode;
using game::GGameLevelScene;
using level_test::levelConfiguration;
using testing_support::SmallContent;
using testing_support::TempDir;

namespace {

class LevelCommandTest : public level_test::SmallLevelTest {
protected:
    // money, materials, workers as they stand.
    struct Stock {
        float money;
        float materials;
        int32_t workers;
    };
    Stock stock() const { return {scene->money, scene->materials, scene->workers}; }
    void expectStock(const Stock& expected, const char* what) const {
        EXPECT_FLOAT_EQ(scene->money, expected.money) << what;
        EXPECT_FLOAT_EQ(scene->materials, expected.materials) << what;
        EXPECT_EQ(scene->workers, expected.workers) << what;
    }
};

}  // namespace

TEST_F(LevelCommandTest, CanAffordWithExactlyTheCostsAndNotBelowThem) {
    start();
    const game::GBuildingConfig* hotel = record("Hotel1");  // 1000 money, 10 materials, 2 workers
    struct Case {
        float money;
        float materials;
        int32_t workers;
        bool affordable;
    };
    const Case cases[] = {
        {1000.0f, 10.0f, 2, true}, {999.5f, 10.0f, 2, false}, {1000.0f, 9.9f, 2, false}, {1000.0f, 10.0f, 1, false}};
    for (const Case& c : cases) {
        scene->money = c.money;
        scene->materials = c.materials;
        scene->workers = c.workers;
        EXPECT_EQ(scene->canAfford(hotel), c.affordable) << c.money << " " << c.materials << " " << c.workers;
    }
    EXPECT_FALSE(scene->canAfford(nullptr));
}

TEST_F(LevelCommandTest, EveryCommandRefusesANullBuilding) {
    start();
    const Stock before = stock();
    EXPECT_FALSE(scene->build(nullptr, record("Hotel1")));
    EXPECT_FALSE(scene->upgrade(nullptr));
    EXPECT_FALSE(scene->repair(nullptr));
    EXPECT_FALSE(scene->clean(nullptr));
    EXPECT_FALSE(scene->restore(nullptr));
    EXPECT_FALSE(scene->destroy(nullptr));
    EXPECT_FALSE(scene->activateFeature(nullptr, 0));
    EXPECT_FALSE(scene->serveRequest(nullptr));
    EXPECT_FALSE(scene->sellBuilding(nullptr));
    EXPECT_FALSE(scene->buyBuilding(nullptr));
    EXPECT_FALSE(scene->canBuy(nullptr));
    EXPECT_FALSE(scene->orderMaterials(nullptr));
    EXPECT_FALSE(scene->orderWorkers(nullptr));
    expectStock(before, "null");
}

TEST_F(LevelCommandTest, BuildPaysStartsTheConstructionAndRecordsTheFinishedBuilding) {
    start();
    GBuildingNode* site = place("Place01");
    const Stock before = stock();
    ASSERT_TRUE(scene->build(site, record("Hotel1")));
    expectStock({before.money - 1000.0f, before.materials - 10.0f, before.workers - 2}, "paid");
    EXPECT_EQ(site->getJobState(), GBuildingNode::kConstructionJob);
    EXPECT_EQ(recordName(site), makeNameId("Hotel1"));
    // The place keeps its look while the work runs.
    EXPECT_EQ(site->getTemplateName(), makeNameId("BuildingPlace"));
    EXPECT_EQ(scene->countBuildingsOfType(makeNameId("Hotel1")), 2);

    ASSERT_TRUE(finishJob(site));
    EXPECT_EQ(historyCount(GGameLevelScene::kBuilt), 1);
    EXPECT_EQ(scene->history.back().buildingType, makeNameId("Hotel1"));
    EXPECT_EQ(scene->history.back().placeName, makeNameId("Place01"));
    EXPECT_EQ(site->getTemplateName(), makeNameId("Hotel1"));
    // Only the workers come back; the materials went into the building.
    EXPECT_EQ(scene->workers, before.workers);
    EXPECT_FLOAT_EQ(scene->materials, before.materials - 10.0f);
    EXPECT_EQ(scene->guests, 10);
    EXPECT_LT(site->sinceCondition(), 10000);
}

TEST_F(LevelCommandTest, BuildRefusesWithoutPayingWhenAnyCheckFails) {
    SmallContent content;
    start(content);
    struct Case {
        const char* what;
        const char* place;
        const char* record;
        std::function<void()> prepare;
    };
    const Case cases[] = {
        {"built place", "Place02", "Hotel1", nullptr},
        {"not owned", "Place04", "Hotel1", [this] { place("Place04")->setRecord(record("BuildingPlace"), false); }},
        {"no record", "Place01", nullptr, nullptr},
        {"too expensive", "Place01", "Hotel1", [this] { scene->money = 999.0f; }},
        {"too few workers", "Place01", "Hotel1", [this] { scene->workers = 1; }},
    };
    for (const Case& c : cases) {
        if (c.prepare) c.prepare();
        const Stock before = stock();
        EXPECT_FALSE(scene->build(place(c.place), c.record ? record(c.record) : nullptr)) << c.what;
        expectStock(before, c.what);
        scene->money = 100000.0f;
        scene->workers = 10;
    }
    EXPECT_EQ(place("Place01")->getJobState(), 0);

    // A level without a CargosNode refuses every build.
    TempDir other;
    SmallContent noCargos;
    noCargos.level.replace(noCargos.level.find("CargosNode"), 10, "Elsewhere");
    testing_support::HeadlessLevel::writeContent(other.path().string(), noCargos);
    testing_support::HeadlessLevel second;
    ASSERT_TRUE(second.load(other.path().string(), "levels/test/"));
    EXPECT_FALSE(second.scene()->build(second.building("Place01"), second.record("Hotel1")));
    EXPECT_FLOAT_EQ(second.scene()->money, 100000.0f);
}

TEST_F(LevelCommandTest, UpgradeFollowsTheNextLevelAndKeepsTheOldLookMeanwhile) {
    start();
    GBuildingNode* hotel = place("Place02");
    const float before = scene->money;
    ASSERT_TRUE(scene->upgrade(hotel));
    EXPECT_FLOAT_EQ(scene->money, before - 2000.0f);
    EXPECT_EQ(recordName(hotel), makeNameId("Hotel2"));
    EXPECT_EQ(hotel->getTemplateName(), makeNameId("Hotel1"));
    // Still counted as earning on its old level while the work runs.
    EXPECT_FALSE(scene->upgrade(hotel));
    ASSERT_TRUE(finishJob(hotel));
    EXPECT_EQ(hotel->getTemplateName(), makeNameId("Hotel2"));
    EXPECT_EQ(historyCount(GGameLevelScene::kBuilt), 1);
    EXPECT_EQ(scene->guests, 8);
    // Hotel2 has no next level.
    EXPECT_FALSE(scene->upgrade(hotel));
    // A building that is not operating (broken) is not upgraded.
    GBuildingNode* shop = place("Place06");
    shop->setCondition(GBuildingNode::kBroken);
    EXPECT_FALSE(scene->upgrade(shop));
}

TEST_F(LevelCommandTest, RepairCleanAndRestoreTakeTheirCostsAndFinishWithTheirHistory) {
    start();
    struct Case {
        const char* what;
        const char* place;
        int32_t condition;
        std::function<bool(GBuildingNode*)> command;
        float materials;
        int32_t workers;
        int32_t history;
    };
    const Case cases[] = {
        {"repair", "Place02", GBuildingNode::kBroken, [this](GBuildingNode* b) { return scene->repair(b); }, 5.0f, 1,
         GGameLevelScene::kRepaired},
        {"clean", "Place03", GBuildingNode::kDirty, [this](GBuildingNode* b) { return scene->clean(b); }, 5.0f, 1,
         GGameLevelScene::kCleaned},
        {"restore", "Place06", GBuildingNode::kNeedsRestoring, [this](GBuildingNode* b) { return scene->restore(b); },
         10.0f, 2, GGameLevelScene::kRepaired},
    };
    for (const Case& c : cases) {
        GBuildingNode* building = place(c.place);
        // Without the condition there is nothing to do.
        EXPECT_FALSE(c.command(building)) << c.what;
        building->setCondition(c.condition);
        const Stock before = stock();
        ASSERT_TRUE(c.command(building)) << c.what;
        EXPECT_EQ(building->getCondition(), GBuildingNode::kNoCondition) << c.what;
        EXPECT_EQ(building->getJobState(), GBuildingNode::kMaintenanceJob) << c.what;
        expectStock({before.money, before.materials - c.materials, before.workers - c.workers}, c.what);
        const int32_t done = historyCount(c.history);
        ASSERT_TRUE(finishJob(building)) << c.what;
        EXPECT_EQ(historyCount(c.history), done + 1) << c.what;
        EXPECT_EQ(scene->workers, before.workers) << c.what;
        EXPECT_LT(building->sinceCondition(), 10000) << c.what;
    }
}

TEST_F(LevelCommandTest, ACancelledMaintenanceGivesEverythingBack) {
    start();
    GBuildingNode* garden = place("Place03");
    garden->setCondition(GBuildingNode::kDirty);
    const Stock before = stock();
    ASSERT_TRUE(scene->clean(garden));
    level.advance(100);
    garden->cancelJob();
    level.advance(100);
    expectStock(before, "cancelled");
    EXPECT_EQ(garden->getCondition(), GBuildingNode::kDirty);
    EXPECT_EQ(garden->getJobState(), 0);
    EXPECT_EQ(historyCount(GGameLevelScene::kCleaned), 0);
    EXPECT_EQ(scene->tasks.size(), 1u);  // the clouds
}

TEST_F(LevelCommandTest, DestroyFreesThePlaceAndReturnsExactlyTheWorkersItTook) {
    start();
    GBuildingNode* hotel = place("Place02");
    const Stock before = stock();
    ASSERT_TRUE(scene->destroy(hotel));
    EXPECT_EQ(scene->workers, before.workers - 1);
    EXPECT_EQ(hotel->getJobState(), GBuildingNode::kDestructionJob);
    EXPECT_EQ(recordName(hotel), makeNameId("BuildingPlace"));
    // Still counted while it comes down.
    EXPECT_EQ(scene->countBuildingsOfType(makeNameId("Hotel1")), 1);
    // No second job on the place meanwhile.
    EXPECT_FALSE(scene->build(hotel, record("Hotel1")));
    EXPECT_FALSE(scene->destroy(hotel));
    ASSERT_TRUE(finishJob(hotel));
    EXPECT_EQ(scene->workers, before.workers);
    EXPECT_EQ(historyCount(GGameLevelScene::kDestroyed), 1);
    EXPECT_EQ(scene->history.back().buildingType, makeNameId("Hotel1"));
    EXPECT_EQ(scene->countBuildingsOfType(makeNameId("Hotel1")), 0);
    EXPECT_EQ(scene->guests, 0);
    // An empty place is not destroyed.
    EXPECT_FALSE(scene->destroy(hotel));
    EXPECT_FALSE(scene->destroy(place("Place04")));  // not owned
}

TEST_F(LevelCommandTest, DestroyWithoutAnEmptyPlaceRecordRefusesBeforePaying) {
    SmallContent content;
    const std::string empty = "  <Building><Properties>\n    <string Name=\"Name\" Value=\"BuildingPlace\"/>";
    const size_t at = content.buildings.find(empty);
    ASSERT_NE(at, std::string::npos);
    content.buildings.replace(at, empty.size(),
                              "  <Building><Properties>\n    <string Name=\"Name\" Value=\"Lot\"/>");
    start(content);
    GBuildingNode* hotel = place("Place02");
    const Stock before = stock();
    EXPECT_FALSE(scene->destroy(hotel));
    expectStock(before, "no place record");
    EXPECT_EQ(hotel->getJobState(), 0);
    EXPECT_EQ(recordName(hotel), makeNameId("Hotel1"));
}

TEST_F(LevelCommandTest, AFeatureOfASmallBuildingStartsAtOnceAndIsRecordedOnce) {
    start();
    GBuildingNode* hotel = place("Place02");
    const float before = scene->money;
    ASSERT_TRUE(scene->activateFeature(hotel, 0));
    EXPECT_FLOAT_EQ(scene->money, before - 50.0f);
    EXPECT_EQ(hotel->featureState(0), 1);
    EXPECT_EQ(hotel->getJobState(), 0);
    EXPECT_FALSE(scene->activateFeature(hotel, 0));
    EXPECT_FALSE(scene->activateFeature(hotel, 1));
    ASSERT_TRUE(level.advanceUntil([hotel] { return hotel->featureState(0) == 2; }, 3000));
    level.advance(100);
    EXPECT_EQ(historyCount(GGameLevelScene::kFeature0Used), 1);
    ASSERT_TRUE(level.advanceUntil([hotel] { return hotel->featureState(0) == 0; }, 3000));
    EXPECT_EQ(historyCount(GGameLevelScene::kFeature0Used), 1);
    EXPECT_TRUE(scene->activateFeature(hotel, 0));
}

TEST_F(LevelCommandTest, AFeatureOfALargeBuildingRunsAsAJobAndIsRecordedOnce) {
    start();
    GBuildingNode* ruin = place("Place08");
    ASSERT_TRUE(scene->buyBuilding(ruin));
    EXPECT_EQ(ruin->getCondition(), GBuildingNode::kNeedsRestoring);
    ASSERT_TRUE(scene->restore(ruin));
    ASSERT_TRUE(finishJob(ruin));
    ASSERT_TRUE(ruin->isOperating());
    ASSERT_TRUE(scene->activateFeature(ruin, 0));
    EXPECT_EQ(ruin->getJobState(), GBuildingNode::kFeatureJob);
    // No other work beside a feature job.
    EXPECT_FALSE(scene->destroy(ruin));
    ASSERT_TRUE(finishJob(ruin, 3000));
    EXPECT_EQ(ruin->featureState(0), 2);
    level.advance(100);
    EXPECT_EQ(historyCount(GGameLevelScene::kFeature0Used), 1);
    // The recharge end leaves the job alone.
    ASSERT_TRUE(level.advanceUntil([ruin] { return ruin->featureState(0) == 0; }, 3000));
    EXPECT_EQ(ruin->getJobState(), 0);
}

TEST_F(LevelCommandTest, AServiceEndThatIsNotTheBuildingsJobLeavesTheJob) {
    start();
    GBuildingNode* hotel = place("Place02");
    ASSERT_TRUE(scene->destroy(hotel));
    // A service-completed event from outside the task list (a feature's
    // recharge end) must not free the place mid-destruction.
    CountedRef<game::GServiceCompletedEvent> stray(new game::GServiceCompletedEvent(hotel));
    scene->handleEvent(stray.get());
    EXPECT_EQ(hotel->getJobState(), GBuildingNode::kDestructionJob);
    EXPECT_FALSE(scene->build(hotel, record("Hotel1")));
    ASSERT_TRUE(finishJob(hotel));
    EXPECT_TRUE(scene->build(hotel, record("Hotel1")));
}

TEST_F(LevelCommandTest, ServiceRequestsSendTheProviderAndForFiveABusVisit) {
    start();
    GBuildingNode* hotel = place("Place02");
    GBuildingNode* shop = place("Place06");
    GBuildingNode* depot = place("Place07");
    EXPECT_EQ(scene->findIdleProvider(4), shop);
    EXPECT_EQ(scene->findIdleProvider(5), depot);
    EXPECT_EQ(scene->findIdleProvider(6), nullptr);
    EXPECT_FALSE(scene->serveRequest(hotel));  // no request

    hotel->setCondition(GBuildingNode::kProviderServiceRequest);
    ASSERT_TRUE(scene->serveRequest(hotel));
    EXPECT_EQ(hotel->getCondition(), 0);
    EXPECT_EQ(hotel->getJobState(), 0);
    EXPECT_EQ(shop->getJobState(), GBuildingNode::kServiceJob);
    EXPECT_EQ(scene->findIdleProvider(4), nullptr);
    // A second request for 4 finds no idle provider.
    GBuildingNode* garden = place("Place03");
    garden->setCondition(GBuildingNode::kProviderServiceRequest);
    EXPECT_FALSE(scene->serveRequest(garden));
    // The provider's period is 2000 ms of level time.
    level.advance(1900);
    EXPECT_EQ(shop->getJobState(), GBuildingNode::kServiceJob);
    ASSERT_TRUE(finishJob(shop, 500));

    hotel->setCondition(GBuildingNode::kBusVisitRequest);
    ASSERT_TRUE(scene->serveRequest(hotel));
    EXPECT_EQ(depot->getJobState(), GBuildingNode::kServiceJob);
    EXPECT_EQ(hotel->getJobState(), GBuildingNode::kMaintenanceJob);
    ASSERT_TRUE(finishJob(hotel));
    ASSERT_TRUE(finishJob(depot));
}

TEST_F(LevelCommandTest, RequestsNoBuildingProvidesAreDroppedExceptForServiceFour) {
    start();
    GBuildingNode* hotel = place("Place02");
    GBuildingNode* garden = place("Place03");
    hotel->setCondition(GBuildingNode::kBusVisitRequest);
    garden->setCondition(GBuildingNode::kProviderServiceRequest);
    scene->dropUnservedRequests();
    EXPECT_EQ(hotel->getCondition(), GBuildingNode::kBusVisitRequest);  // the depot provides 5
    // Destroying the depot leaves nobody for 5.
    ASSERT_TRUE(scene->destroy(place("Place07")));
    EXPECT_EQ(hotel->getCondition(), 0);
    EXPECT_EQ(garden->getCondition(), GBuildingNode::kProviderServiceRequest);
}

TEST_F(LevelCommandTest, SellingPaysTheOfferShownAndBuyingPaysThePrice) {
    start();
    GBuildingNode* hotel = place("Place02");
    EXPECT_FALSE(scene->sellBuilding(hotel));  // not for sale
    hotel->setForSale(true);
    EXPECT_FALSE(scene->sellBuilding(hotel));  // nobody calls
    hotel->setBuyRequestPending(true);
    const int32_t offer = hotel->getOfferPrice();
    const float before = scene->money;
    ASSERT_TRUE(scene->sellBuilding(hotel));
    EXPECT_FLOAT_EQ(scene->money, before + static_cast<float>(offer));
    EXPECT_FALSE(hotel->isOwnedByThePlayer());
    EXPECT_FALSE(hotel->isForSale());
    EXPECT_EQ(historyCount(GGameLevelScene::kSold), 1);
    EXPECT_EQ(scene->guests, 0);

    // Buying it back: only when offered, unless the level allows otherwise.
    EXPECT_FALSE(scene->canBuy(hotel));
    hotel->setForSale(true);
    EXPECT_TRUE(scene->canBuy(hotel));
    const float price = hotel->price(hotel->getRecord());
    const float money = scene->money;
    ASSERT_TRUE(scene->buyBuilding(hotel));
    EXPECT_FLOAT_EQ(scene->money, money - price);
    EXPECT_TRUE(hotel->isOwnedByThePlayer());
    EXPECT_FALSE(hotel->isForSale());
    EXPECT_EQ(historyCount(GGameLevelScene::kBought), 1);
    EXPECT_FALSE(scene->buyBuilding(hotel));  // owned

    scene->money = 1.0f;
    EXPECT_FALSE(scene->buyBuilding(place("Place04")));
    EXPECT_FLOAT_EQ(scene->money, 1.0f);
}

TEST_F(LevelCommandTest, OrdersPayTheModifiedPriceOnlyWhenAffordable) {
    start();
    const game::OrderOption* first = level.config()->materialOrderOptions[0].get();  // 125 for 12500
    scene->money = 12499.5f;
    EXPECT_FALSE(scene->orderMaterials(first));
    EXPECT_FLOAT_EQ(scene->materialCountdown, -1.0f);
    scene->money = 12500.0f;
    ASSERT_TRUE(scene->orderMaterials(first));
    EXPECT_FLOAT_EQ(scene->money, 0.0f);
    EXPECT_FLOAT_EQ(scene->materialsOrdered, 125.0f);
    EXPECT_FLOAT_EQ(scene->materialCountdown, 5000.0f);
}

TEST_F(LevelCommandTest, TheRatingLevelCountsWholeFifties) {
    start();
    const std::pair<float, int32_t> cases[] = {{0.0f, 0}, {49.99f, 0}, {50.0f, 1}, {99.99f, 1}, {100.0f, 2}, {-0.5f, -1}};
    for (const auto& [rating, expected] : cases) {
        scene->rating = rating;
        EXPECT_EQ(scene->ratingLevel(), expected) << rating;
    }
}

TEST_F(LevelCommandTest, AFeatureJobNeedsAnOperatingBuildingAndLetsRepairsJoinIt) {
    start();
    GBuildingNode* ruin = place("Place08");
    ASSERT_TRUE(scene->buyBuilding(ruin));
    // A ruin waiting for its restoration does not run features.
    const float money = scene->money;
    EXPECT_FALSE(scene->activateFeature(ruin, 0));
    EXPECT_FLOAT_EQ(scene->money, money);
    EXPECT_EQ(ruin->getJobState(), 0);
    ASSERT_TRUE(scene->restore(ruin));
    ASSERT_TRUE(finishJob(ruin));

    ASSERT_TRUE(scene->activateFeature(ruin, 0));
    level.advance(200);
    // A breakdown stops the feature; the repair may join its job, and then
    // the feature runs out.
    ruin->setCondition(GBuildingNode::kBroken);
    ASSERT_TRUE(scene->repair(ruin));
    EXPECT_EQ(ruin->getJobState(), GBuildingNode::kMaintenanceJob);
    ASSERT_TRUE(level.advanceUntil([ruin] { return ruin->featureState(0) == 2; }, 5000));
    ASSERT_TRUE(finishJob(ruin, 5000));
    level.advance(100);
    EXPECT_EQ(historyCount(GGameLevelScene::kRepaired), 2);
    EXPECT_EQ(historyCount(GGameLevelScene::kFeature0Used), 1);
    for (game::GBuildingTask* task : scene->tasks) EXPECT_EQ(task->getBuilding(), nullptr);
}

TEST_F(LevelCommandTest, ABuildingAtWorkIsNotSold) {
    start();
    GBuildingNode* hotel = place("Place02");
    ASSERT_TRUE(scene->upgrade(hotel));
    hotel->setForSale(true);
    hotel->setBuyRequestPending(true);
    const float money = scene->money;
    EXPECT_FALSE(scene->sellBuilding(hotel));
    EXPECT_FLOAT_EQ(scene->money, money);
    EXPECT_TRUE(hotel->isOwnedByThePlayer());
    ASSERT_TRUE(finishJob(hotel));
    hotel->setBuyRequestPending(true);
    EXPECT_TRUE(scene->sellBuilding(hotel));
}
