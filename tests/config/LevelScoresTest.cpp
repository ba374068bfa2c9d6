#include "ConfigTestSupport.h"
#include "game/config/LevelScores.h"
#include "support/LogCapture.h"
#include <gtest/gtest.h>

using namespace config_test;
using game::ComicsConfiguration;
using game::LevelScores;

TEST(LevelScores, ReadsEntriesAndAddsDefaultsOnLookup) {
    LevelScores scores;
    auto reader = xml(
        "<LevelScores><Level Name='level1' Score='1000' ExpertScore='2000.7' Time='300'/>"
        "<Level Name='level2' Score='5'/><Level Name='level1' Score='1500' ExpertScore='1' Time='2'/>"
        "<Other Name='level9' Score='1'/></LevelScores>");
    ASSERT_TRUE(scores.readLevelScores(*reader));
    EXPECT_EQ(scores.entries().size(), 2u);
    // The last entry of a name wins.
    EXPECT_EQ(scores["level1"].Score, 1500);
    EXPECT_EQ(scores["level1"].Time, 2);
    // An attribute missing from the file is 0 ...
    EXPECT_EQ(scores["level2"].Time, 0);
    EXPECT_EQ(scores["level2"].ExpertScore, 0);
    // ... while a level missing from the file gets 360 s, and is added.
    EXPECT_EQ(scores["level3"].Time, 360);
    EXPECT_EQ(scores["level3"].Score, 0);
    EXPECT_EQ(scores.entries().size(), 3u);

    // Reading again replaces every entry.
    auto again = xml("<LevelScores><Level Name='x' Score='1'/></LevelScores>");
    ASSERT_TRUE(scores.readLevelScores(*again));
    EXPECT_EQ(scores.entries().size(), 1u);
}

TEST(ComicsConfiguration, FirstEntryOfALocationWins) {
    ComicsConfiguration comics;
    auto reader = xml(
        "<ComicsConfiguration>"
        "<Comics><Level Value='7'/><ScenePath Value='scenes/ComicsScene1.oscn'/></Comics>"
        "<Comics><Level Value='7'/><ScenePath Value='scenes/Other.oscn'/></Comics>"
        "<Comics><ScenePath Value='scenes/Zero.oscn'/><Extra><Level Value='9'/></Extra></Comics>"
        "<Comics><Level Value='23'/></Comics>"
        "</ComicsConfiguration>");
    ASSERT_TRUE(comics.readComicsConfiguration(*reader));
    EXPECT_EQ(comics.comics().size(), 3u);
    ASSERT_NE(comics.find(7), nullptr);
    EXPECT_STREQ(comics.find(7)->ScenePath.c_str(), "scenes/ComicsScene1.oscn");
    // A Level nested deeper than a direct child is not the comic's.
    ASSERT_NE(comics.find(0), nullptr);
    EXPECT_EQ(comics.find(9), nullptr);
    // An entry without a path is found; its users take it as no comic.
    ASSERT_NE(comics.find(23), nullptr);
    EXPECT_TRUE(comics.find(23)->ScenePath.empty());
    EXPECT_EQ(comics.find(15), nullptr);

    auto empty = xml("<ComicsConfiguration/>");
    ASSERT_TRUE(comics.readComicsConfiguration(*empty));
    EXPECT_TRUE(comics.comics().empty());
}
