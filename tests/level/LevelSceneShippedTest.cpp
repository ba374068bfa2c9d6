// The shipped levels run headless from the built content tree: a script of
// commands wins level 1, and the same seed with the same commands gives the
// same level.
#include "engine/core/EventIds.h"
#include "game/config/LevelConfig.h"
#include "level/LevelSceneFixture.h"
#include "support/SetUpNeeds.h"

#include <functional>


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

// What a player does between the steps of a script: repairs and cleans.
void tend(game::GGameLevelScene& scene) {
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
    game::GGameLevelScene* scene = level.scene();
    return level.advanceUntil(
        [scene, &done] {
            tend(*scene);
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

}  // namespace

TEST(LevelSceneShippedTest, AScriptOfCommandsWinsLevelTwo) {
    if (!level_test::haveBuiltLevel("levels/level2")) SKIP_OR_FAIL_UNDER_CI() << "no built level 2 in " << kContentTree;
    HeadlessLevel level;
    HeadlessLevel::Options options;
    options.levelIndex = 1;  // the second location, after level 1 with the hostels bought
    options.boughtUpgrades = "Hostel";
    ASSERT_TRUE(level.load(kContentTree, "levels/level2/", options)) << level.failure();
    game::GGameLevelScene* scene = level.scene();
    game::GLevelConfig* config = level.config();
    GBuildingNode* camping = level.building("Place01");
    GBuildingNode* hostel = level.building("Place02");
    ASSERT_TRUE(camping && hostel);

    // Two hostels built (the first and its upgrade), 12000 a day, five workers.
    ASSERT_TRUE(scene->build(hostel, level.record("Hostel1")));
    finish(level, hostel);
    auto order = [&](const game::OrderOption* option, bool materials) {
        earn(level, option->price);
        ASSERT_TRUE(materials ? scene->orderMaterials(option) : scene->orderWorkers(option));
        ASSERT_TRUE(level.advanceUntil(
            [scene, materials] { return (materials ? scene->materialCountdown : scene->workerCountdown) < 0.0f; },
            60000));
    };
    order(config->materialOrderOptions[0].get(), true);
    earn(level, 25000.0f);
    ASSERT_TRUE(scene->upgrade(hostel));
    finish(level, hostel);
    order(config->materialOrderOptions[0].get(), true);
    earn(level, 22000.0f);
    finish(level, camping);
    ASSERT_TRUE(scene->upgrade(camping)) << "condition " << camping->getCondition() << " job " << camping->getJobState()
                                         << " workers " << scene->workers << " materials " << scene->materials
                                         << " money " << scene->money << " for sale " << camping->isForSale();
    finish(level, camping);
    EXPECT_GE(scene->dailyIncome, 12000.0f);
    const uint32_t completed = static_cast<uint32_t>(EventId::GLevelCompletedEvent);
    EXPECT_EQ(level.count(completed), 0);
    order(config->workerOrderOptions[0].get(), false);
    // Whatever broke meanwhile is mended before the level ends.
    EXPECT_TRUE(playUntil(level, [&level, completed] { return level.count(completed) > 0; }))
        << "hint " << scene->hintText.c_str();
    level.advance(1000);
    EXPECT_EQ(level.count(completed), 1);
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
