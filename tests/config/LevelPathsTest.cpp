#include "ConfigTestSupport.h"
#include "engine/core/RandomGenerator.h"
#include "game/config/LevelPaths.h"
#include "support/LogCapture.h"
#include <gtest/gtest.h>
#include <algorithm>

using namespace config_test;
using game::GLevelPaths;

namespace {

std::string carPaths(int count) {
    std::string text = "<LevelPaths><CarPaths>";
    for (int i = 0; i < count; ++i) text += "<Path ID='Route'><p p='" + std::to_string(i) + ", 0'/></Path>";
    return text + "</CarPaths></LevelPaths>";
}

}  // namespace

TEST(LevelPaths, ReadsCarAndPedestrianPaths) {
    GLevelPaths paths;
    testing_support::LogCapture log;
    auto reader = xml(
        "<LevelPaths><CarPaths>"
        "<Path ID='NeutralCar' Time='4000, 9000' Cars='Car1; Car2;'><p p='-80, 700' d1='4' d2='5'/><p p='1100,520'/></Path>"
        "<Path><p p='1, 2'/></Path><Path ID=''/>"
        "<Path ID='Place01'/><Path ID='NeutralCar' Time='100, 200'/>"
        "</CarPaths><PedestrianPaths><Path b='1' ID='Any'><p p='10'/></Path><Path/></PedestrianPaths></LevelPaths>");
    ASSERT_TRUE(paths.readLevelPaths(*reader));
    EXPECT_TRUE(log.entries().empty());
    const auto neutral = paths.carPaths(id("NeutralCar"));
    ASSERT_EQ(neutral.size(), 2u);
    EXPECT_EQ(neutral[0]->time.min, 4000);
    EXPECT_EQ(neutral[0]->time.max, 9000);
    ASSERT_EQ(neutral[0]->cars.size(), 2u);
    EXPECT_EQ(neutral[0]->cars[1], id("Car2"));
    ASSERT_EQ(neutral[0]->points.size(), 2u);
    EXPECT_FLOAT_EQ(neutral[0]->points[0].x, -80.0f);
    EXPECT_FLOAT_EQ(neutral[0]->points[0].d2, 5.0f);
    EXPECT_FLOAT_EQ(neutral[0]->points[1].y, 520.0f);
    EXPECT_FLOAT_EQ(neutral[0]->points[1].d1, 0.0f);
    EXPECT_FALSE(neutral[0]->twoWay);
    // Car paths without an ID are dropped.
    EXPECT_EQ(paths.carPathIds().size(), 2u);
    EXPECT_TRUE(paths.carPaths(id("Nothing")).empty());
    ASSERT_EQ(paths.pedestrianPaths().size(), 2u);
    EXPECT_TRUE(paths.pedestrianPaths()[0]->twoWay);
    EXPECT_FLOAT_EQ(paths.pedestrianPaths()[0]->points[0].y, 0.0f);
}

TEST(LevelPaths, TimeRanges) {
    struct Case {
        const char* time;
        int32_t min, max;
        bool logged;
    };
    const Case cases[] = {
        {"5000, 9000", 5000, 9000, false},
        {"", 0, 0, false},
        {"7000", 0, 7000, true},  // one number reads (7000, 0): swapped
        {"-1", -1, 0, false},
        {"9000;5000", 5000, 9000, true},
        {"2.9 x 4.5", 2, 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        testing_support::LogCapture log;
        GLevelPaths paths;
        auto reader = xml(std::string("<LevelPaths><CarPaths><Path ID='R' Time='") + c.time + "'/></CarPaths></LevelPaths>");
        ASSERT_TRUE(paths.readLevelPaths(*reader));
        ASSERT_EQ(paths.carPaths(id("R")).size(), 1u);
        EXPECT_EQ(paths.carPaths(id("R"))[0]->time.min, c.min);
        EXPECT_EQ(paths.carPaths(id("R"))[0]->time.max, c.max);
        EXPECT_EQ(log.hasErrors(), c.logged);
    }
}

TEST(LevelPaths, PicksNeverRepeatTheLastPath) {
    engine::RandomGenerator random;
    random.seed(77);
    for (int count : {1, 2, 3, 5}) {
        SCOPED_TRACE(count);
        GLevelPaths paths;
        auto reader = xml(carPaths(count));
        ASSERT_TRUE(paths.readLevelPaths(*reader));
        const auto all = paths.carPaths(id("Route"));
        game::GLevelPath* last = nullptr;
        std::vector<int> seen(static_cast<size_t>(count), 0);
        for (int i = 0; i < 200; ++i) {
            game::GLevelPath* pick = paths.randomCarPath(id("Route"), random);
            ASSERT_NE(pick, nullptr);
            if (count > 1) {
                EXPECT_NE(pick, last);
            }
            last = pick;
            const auto index = std::find(all.begin(), all.end(), pick) - all.begin();
            ++seen[static_cast<size_t>(index)];
        }
        for (int n : seen) EXPECT_GT(n, 0);
    }
    // Two pedestrian paths alternate after the first pick.
    GLevelPaths walkers;
    auto reader = xml("<LevelPaths><PedestrianPaths><Path/><Path/></PedestrianPaths></LevelPaths>");
    ASSERT_TRUE(walkers.readLevelPaths(*reader));
    game::GLevelPath* previous = walkers.randomPedestrianPath(random);
    for (int i = 0; i < 10; ++i) {
        game::GLevelPath* pick = walkers.randomPedestrianPath();
        ASSERT_NE(pick, nullptr);
        EXPECT_NE(pick, previous);
        previous = pick;
    }

    GLevelPaths empty;
    EXPECT_EQ(empty.randomCarPath(id("Route")), nullptr);
    EXPECT_EQ(empty.randomCarPath(id("Route"), random), nullptr);
    EXPECT_EQ(empty.randomPedestrianPath(random), nullptr);
}
