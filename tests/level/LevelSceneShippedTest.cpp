// The shipped levels run headless from the built content tree: a script of
// commands wins each of them, and the same seed with the same commands gives
// the same level.
#include "engine/core/EventIds.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelObjectives.h"
#include "level/LevelSceneFixture.h"
#include "support/SetUpNeeds.h"

#include <functional>
#include <string>

using namespace engine;
using game::GBuildingNode;
using testing_support::HeadlessLevel;

namespace {

const char* const kContentTree = level_test::contentTree();

// The first script of level 1: a second camping, the first one upgraded, and
// the money earned over the days.
void playLevelOne(HeadlessLevel& level) {
    game::GGameLevelScene* scene = level.scene();
    GBuildingNode* first = level.building("Place01");
    GBuildingNode* second = level.building("Place02");
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(scene->build(second, level.record("Camping1")));
    ASSERT_TRUE(level.advanceUntil([second] { return second->getJobState() == 0; }, 60000));
    ASSERT_TRUE(scene->upgrade(first));
    ASSERT_TRUE(level.advanceUntil([first] { return first->getJobState() == 0; }, 60000));
}

// The level's places as text, for failure messages.
std::string describe(const game::GGameLevelScene& scene) {
    std::string text = "money " + std::to_string(scene.money) + ", income " + std::to_string(scene.dailyIncome) +
                       ", materials " + std::to_string(scene.materials) + ", workers " + std::to_string(scene.workers);
    for (const GBuildingNode* b : scene.buildings) {
        text += std::string("\n  ") + nameOfId(b->getName()).c_str() + " " + nameOfId(b->getRecord()->Name).c_str() +
                (b->isOwnedByThePlayer() ? " owned" : "") + (b->isOperating() ? " operating" : "") +
                (b->isForSale() ? " for sale" : "") + " job " + std::to_string(b->getJobState()) + " condition " +
                std::to_string(b->getCondition()) + " bonus " + std::to_string(b->getIncomeBonusPercent());
    }
    return text;
}

// What a player does between the steps of a script: repairs and cleans, and
// keeps some materials in stock for the work.
void tend(HeadlessLevel& level) {
    game::GGameLevelScene& scene = *level.scene();
    const game::OrderOption* materials = level.config()->materialOrderOptions[0].get();
    if (scene.materials < 150.0f && scene.materialCountdown < 0.0f && scene.money >= 2.0f * materials->price) {
        scene.orderMaterials(materials);
    }
    for (GBuildingNode* building : scene.buildings) {
        const int32_t condition = building->getCondition();
        if (!building->isOwnedByThePlayer() || building->getJobState() != 0) continue;
        const game::GBuildingConfig* record = building->getRecord();
        if (scene.materials < record->repairMaterialsCost(scene.levelConfig) ||
            scene.workers < record->repairWorkersCost(scene.levelConfig)) {
            continue;
        }
        if (condition == GBuildingNode::kBroken) scene.repair(building);
        if (condition == GBuildingNode::kDirty) scene.clean(building);
    }
}

// Runs the level, tending it, until the condition holds (at most an hour).
bool playUntil(HeadlessLevel& level, const std::function<bool()>& done) {
    return level.advanceUntil(
        [&level, &done] {
            tend(level);
            return done();
        },
        60 * 60 * 1000);
}

// Waits for the money a command needs.
void earn(HeadlessLevel& level, float money) {
    game::GGameLevelScene* scene = level.scene();
    ASSERT_TRUE(playUntil(level, [scene, money] { return scene->money >= money; }))
        << "money " << scene->money << " of " << money;
}

// Waits for the building's job to end, and for it to work again.
void finish(HeadlessLevel& level, GBuildingNode* building) {
    ASSERT_TRUE(playUntil(level, [building] { return building->getJobState() == 0 && building->isOperating(); }));
}

// Orders the cheapest delivery of materials or workers and waits for it.
void order(HeadlessLevel& level, bool materials) {
    game::GGameLevelScene* scene = level.scene();
    const game::OrderOption* option = (materials ? level.config()->materialOrderOptions
                                                 : level.config()->workerOrderOptions)[0].get();
    earn(level, option->price);
    ASSERT_TRUE(materials ? scene->orderMaterials(option) : scene->orderWorkers(option));
    ASSERT_TRUE(playUntil(
        level, [scene, materials] { return (materials ? scene->materialCountdown : scene->workerCountdown) < 0.0f; }));
}

// Builds the record on the place, or upgrades the building (no record),
// once the level can pay for it; then waits for the work to end.
void construct(HeadlessLevel& level, GBuildingNode* building, const char* recordName) {
    game::GGameLevelScene* scene = level.scene();
    const game::GBuildingConfig* record =
        recordName ? level.record(recordName) : level.buildings()->find(building->getRecord()->NextLevelName);
    ASSERT_NE(record, nullptr);
    while (scene->materials < record->buildMaterialsCost(scene->levelConfig)) {
        order(level, true);
        if (::testing::Test::HasFatalFailure()) return;
    }
    ASSERT_TRUE(playUntil(level, [scene, building, record, recordName] {
        return scene->canAfford(record) && building->getJobState() == 0 && (recordName || building->isOperating());
    })) << nameOfId(record->Name).c_str() << "; " << describe(*scene);
    ASSERT_TRUE(recordName ? scene->build(building, const_cast<game::GBuildingConfig*>(record))
                           : scene->upgrade(building))
        << nameOfId(record->Name).c_str();
    finish(level, building);
}

// Plays on until the level is won; then no second end follows.
void expectWon(HeadlessLevel& level) {
    const uint32_t completed = static_cast<uint32_t>(EventId::GLevelCompletedEvent);
    EXPECT_TRUE(playUntil(level, [&level, completed] { return level.count(completed) > 0; }))
        << "hint " << level.scene()->hintText.c_str() << "; " << describe(*level.scene());
    level.advance(1000);
    EXPECT_EQ(level.count(completed), 1);
}

}  // namespace

TEST(LevelSceneShippedTest, AScriptOfCommandsWinsLevelTwo) {
    if (!level_test::haveBuiltLevel("levels/level2")) SKIP_OR_FAIL_UNDER_CI() << "no built level 2 in " << kContentTree;
    HeadlessLevel level;
    HeadlessLevel::Options options;
    options.levelIndex = 1;  // the second location, with the hostels bought after level 1
    options.boughtUpgrades = "Hostel";
    ASSERT_TRUE(level.load(kContentTree, "levels/level2/", options)) << level.failure();
    game::GGameLevelScene* scene = level.scene();
    GBuildingNode* camping = level.building("Place01");
    GBuildingNode* hostel = level.building("Place02");
    ASSERT_TRUE(camping && hostel);

    // Two hostels built (the first and its upgrade), 12000 a day, five workers.
    construct(level, hostel, "Hostel1");
    construct(level, hostel, nullptr);
    construct(level, camping, nullptr);
    EXPECT_GE(scene->dailyIncome, 12000.0f);
    EXPECT_EQ(level.count(static_cast<uint32_t>(EventId::GLevelCompletedEvent)), 0);
    order(level, false);
    expectWon(level);
}

TEST(LevelSceneShippedTest, AScriptOfCommandsWinsLevelThree) {
    if (!level_test::haveBuiltLevel("levels/level3")) SKIP_OR_FAIL_UNDER_CI() << "no built level 3 in " << kContentTree;
    HeadlessLevel level;
    HeadlessLevel::Options options;
    options.levelIndex = 2;
    options.boughtUpgrades = "Hostel;GuestHouse";
    ASSERT_TRUE(level.load(kContentTree, "levels/level3/", options)) << level.failure();
    GBuildingNode* first = level.building("Place01");
    GBuildingNode* hostel = level.building("Place03");
    GBuildingNode* guestHouse = level.building("Place05");
    ASSERT_TRUE(first && hostel && guestHouse);

    // One hotel of each kind the goal names: the camping grown to its third
    // level, a hostel and a guest house; then the savings.
    construct(level, first, nullptr);
    construct(level, hostel, "Hostel1");
    construct(level, guestHouse, "GuestHouse1");
    EXPECT_EQ(level.count(static_cast<uint32_t>(EventId::GLevelCompletedEvent)), 0);
    expectWon(level);
}

// Every level of the route loads with the upgrades on sale before it: its
// places took their records, it has goals, and none is met at the start.
TEST(LevelSceneShippedTest, EveryLevelOfTheRouteLoadsWithGoalsToMeet) {
    if (!level_test::haveBuiltLevel("levels/level1")) SKIP_OR_FAIL_UNDER_CI() << "no built levels in " << kContentTree;
    for (int number = 1; number <= 35; ++number) {
        const std::string folder = "levels/level" + std::to_string(number) + "/";
        SCOPED_TRACE(folder);
        ASSERT_TRUE(level_test::haveBuiltLevel(folder));
        HeadlessLevel level;
        HeadlessLevel::Options options;
        options.levelIndex = (number - 1) + (number - 1) / 7;
        options.boughtUpgrades = "Hostel;Garden;GuestHouse;TruckStationFeature2;BusinessHotel;CityMall;Statue;"
                                 "REAgency;HotelN5;AquaPark;Memorial;PRAgency;HotelN6;AquaParkFeature2;REAgencyFeature2";
        ASSERT_TRUE(level.load(kContentTree, folder, options)) << level.failure();
        game::GGameLevelScene* scene = level.scene();
        EXPECT_EQ(scene->levelConfig->settingIndex, 1 + (number > 8) + (number > 17) + (number > 26));
        EXPECT_GE(scene->buildings.size(), 5u);
        for (const GBuildingNode* building : scene->buildings) {
            EXPECT_TRUE(building->getRecord()) << nameOfId(building->getName()).c_str();
        }
        EXPECT_GT(scene->levelConfig->objectives->size(), 0u);
        level.advance(2000);
        EXPECT_FALSE(scene->objectivesMet) << describe(*scene);
    }
}

TEST(LevelSceneShippedTest, AScriptOfCommandsWinsLevelOne) {
    if (!level_test::haveBuiltLevel("levels/level1")) SKIP_OR_FAIL_UNDER_CI() << "no built level 1 in " << kContentTree;
    HeadlessLevel level;
    ASSERT_TRUE(level.load(kContentTree, "levels/level1/")) << level.failure();
    game::GGameLevelScene* scene = level.scene();
    EXPECT_FALSE(scene->objectivesMet);
    playLevelOne(level);
    EXPECT_EQ(scene->countBuildingsOfType(makeNameId("Camping1")) +
                  scene->countBuildingsOfType(makeNameId("Camping2")),
              2);
    EXPECT_GE(scene->guests, 26);
    const uint32_t completed = static_cast<uint32_t>(EventId::GLevelCompletedEvent);
    // The money objective follows from the days' income.
    ASSERT_TRUE(level.advanceUntil([&level, completed] { return level.count(completed) > 0; }, 30 * 60 * 1000))
        << "money " << scene->money << ", hint " << scene->hintText.c_str();
    EXPECT_GE(scene->money, 60000.0f);
    // It took days of income, not a shortcut.
    EXPECT_GT(scene->totalTimeMs, 60000.0f);
    level.advance(10000);
    EXPECT_EQ(level.count(completed), 1);
}

TEST(LevelSceneShippedTest, TheSameSeedAndCommandsGiveTheSameLevel) {
    if (!level_test::haveBuiltLevel("levels/level1")) SKIP_OR_FAIL_UNDER_CI() << "no built level 1 in " << kContentTree;
    uint64_t hashes[2] = {0, 0};
    for (uint64_t& hash : hashes) {
        HeadlessLevel level;
        HeadlessLevel::Options options;
        options.seed = 77;
        ASSERT_TRUE(level.load(kContentTree, "levels/level1/", options)) << level.failure();
        playLevelOne(level);
        // Three more minutes with the level's random events.
        level.advance(3 * 60 * 1000);
        hash = level.stateHash();
        EXPECT_FALSE(level.scene()->history.empty());
    }
    EXPECT_EQ(hashes[0], hashes[1]);
}
