#include "game/common/AchievementsTracker.h"

#include <gtest/gtest.h>

using game::AchievementsTracker;

TEST(AchievementsTrackerTest, LoadsCountersFromTheProfileText) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"", "1;0;0;0;0;0;0;0;0;0;0;0"},
        {"5;2", "5;2;0;0;0;0;0;0;0;0;0;0"},
        {"1;2;3;4;5;6;7;8;9;10;11;12;13;14", "1;2;3;4;5;6;7;8;9;10;11;12"},
        {"-3 x 4", "-3;4;0;0;0;0;0;0;0;0;0;0"},
    };
    AchievementsTracker tracker;
    for (const Case& c : cases) {
        tracker.addProgress(5, 7);  // loading starts from the reset state
        tracker.load(c.text);
        EXPECT_STREQ(tracker.toProfileText().c_str(), c.expected) << c.text;
    }
}

TEST(AchievementsTrackerTest, AddProgressReportsTheCallThatEarnsTheAchievement) {
    AchievementsTracker tracker;
    tracker.load("1;0;0;0;49");
    EXPECT_TRUE(tracker.addProgress(4, 1));
    EXPECT_FALSE(tracker.addProgress(4, 1));  // at 50 already
    EXPECT_EQ(tracker.getProgress(4), 51);

    tracker.load("1;0;0;0;0;0;0;1000000;1000000");
    EXPECT_TRUE(tracker.addProgress(7, 3000000));
    EXPECT_EQ(tracker.getProgress(7), 3000000);  // set, not added
    EXPECT_FALSE(tracker.addProgress(8, 3000000));
    EXPECT_EQ(tracker.getProgress(8), 3000000);

    // A counter lowered below its threshold earns it again when it rises.
    tracker.load("6");
    EXPECT_FALSE(tracker.addProgress(0, -2));
    EXPECT_TRUE(tracker.addProgress(0, 2));
}

TEST(AchievementsTrackerTest, ThresholdsAndResourceNames) {
    AchievementsTracker tracker;
    const int32_t thresholds[] = {6, 3, 3, 3, 50, 150, 250, 2500000, 7500000, 10000000, 35, 30};
    for (int32_t i = 0; i < AchievementsTracker::kCount; ++i) EXPECT_EQ(tracker.getThreshold(i), thresholds[i]);
    EXPECT_STREQ(tracker.getIconPath(11).c_str(), "scenes/images/Achievements/Icon12.png");
    EXPECT_EQ(tracker.getNameKey(0), L"%Achievements_1Name%");
    EXPECT_EQ(tracker.getDescriptionBeforeKey(2), L"%Achievements_3DescBefore%");
    EXPECT_EQ(tracker.getDescriptionAfterKey(9), L"%Achievements_10DescAfter%");
}
