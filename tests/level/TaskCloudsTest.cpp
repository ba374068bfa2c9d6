// The clouds drifting over the level.
#include "level/TaskTestSupport.h"

#include "engine/core/RandomGenerator.h"
#include "game/level/tasks/GCloudsTask.h"
#include "game/world/PathMovers.h"
#include "support/LogCapture.h"

using namespace engine;
using namespace game;
using namespace task_tests;

namespace {

class CloudsTest : public TaskFixture {
protected:
    GCloudsTask* clouds() {
        task_.reset(new GCloudsTask(cargos, manager->collection.get()));
        return static_cast<GCloudsTask*>(task_.get());
    }

    int32_t cloudNodes() const { return cargoCount("Cloud1") + cargoCount("Cloud2") + cargoCount("Cloud3"); }
};

TEST_F(CloudsTest, ThreeCloudsStartAtTheTopOrRightEdgeAndDriftToTheBottomLeft) {
    load();
    GCloudsTask* task = clouds();
    ASSERT_EQ(task->getClouds().size(), 3u);
    EXPECT_EQ(cloudNodes(), 3);
    for (const auto& cloud : task->getClouds()) {
        EXPECT_TRUE(cloud->isVisible());
        EXPECT_EQ(cloud->getEndTag(), makeNameId("MovingTo"));
        EXPECT_GE(cloud->getSpeed(), 30.0f);
        EXPECT_LT(cloud->getSpeed(), 40.0f);
        const auto& points = cloud->getStoredPath();  // last element first
        ASSERT_EQ(points.size(), 2u);
        const vector2df& from = points[1];
        const vector2df& to = points[0];
        const bool top = from.Y == -50.0f && from.X >= 0.0f && from.X <= 1024.0f;
        const bool right = from.X == 1074.0f && from.Y >= 0.0f && from.Y <= 550.0f;
        EXPECT_TRUE(top || right);
        EXPECT_NEAR(to.X - from.X, -1299.04f, 0.5f);
        EXPECT_NEAR(to.Y - from.Y, 750.0f, 0.5f);
    }
    EXPECT_FLOAT_EQ(task->getProgress(), 0.0f);
}

TEST_F(CloudsTest, CloudsKeepComingAndEachLeavesWhenItArrives) {
    load();
    GCloudsTask* task = clouds();
    ASSERT_TRUE(step(task));
    EXPECT_EQ(task->getSpawned(), 4);  // the first step brings a fourth
    ASSERT_TRUE(runFor(task, 60000));
    // About one more every ten seconds.
    EXPECT_GE(task->getSpawned(), 9);
    EXPECT_LE(task->getSpawned(), 10);
    // 1500 units at 30 to 40 a second: the first ones are gone.
    ASSERT_TRUE(runFor(task, 60000));
    EXPECT_GE(task->getArrived(), 4);
    EXPECT_EQ(task->getSpawned() - task->getArrived(), static_cast<int32_t>(task->getClouds().size()));
    EXPECT_EQ(cloudNodes(), static_cast<int32_t>(task->getClouds().size()));
    for (const auto& cloud : task->getClouds()) EXPECT_TRUE(cloud->isWalking());

    task_.reset();
    EXPECT_EQ(cloudNodes(), 0);
}

TEST_F(CloudsTest, TheSameGeneratorStateGivesTheSameSky) {
    load();
    const RandomGenerator saved(getRandomGenerator());
    auto sky = [this, &saved] {
        getRandomGenerator() = saved;
        std::vector<float> values;
        for (const auto& cloud : clouds()->getClouds()) {
            values.push_back(cloud->getStoredPath()[1].X);
            values.push_back(cloud->getStoredPath()[1].Y);
            values.push_back(cloud->getSpeed());
        }
        return values;
    };
    EXPECT_EQ(sky(), sky());
}

TEST_F(CloudsTest, WithoutCloudTemplatesNoCloudComesAndTheLevelGoesOn) {
    testing_support::LogCapture capture;
    load({"Cloud1", "Cloud2", "Cloud3"});
    GCloudsTask* task = clouds();
    EXPECT_TRUE(task->getClouds().empty());
    EXPECT_TRUE(runFor(task, 30000));
    EXPECT_EQ(task->getSpawned(), 0);
    // Said once, not every ten seconds.
    int32_t said = 0;
    for (const auto& entry : capture.entries()) said += entry.text.find("cloud template") != std::string::npos ? 1 : 0;
    EXPECT_EQ(said, 1);

    // Without any collection the task has nothing to do.
    CountedRef<GCloudsTask> bare(new GCloudsTask(cargos, nullptr));
    EXPECT_FALSE(bare->run(20));
}

}  // namespace
