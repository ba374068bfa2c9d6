// The shipped levels run headless from the built content tree: a script of
// commands wins level 1, and the same seed with the same commands gives the
// same level.
#include "engine/core/EventIds.h"
#include "game/config/LevelConfig.h"
#include "level/LevelSceneFixture.h"
#include "support/SetUpNeeds.h"


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

}  // namespace

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
