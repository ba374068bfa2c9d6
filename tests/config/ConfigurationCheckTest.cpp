#include "ConfigTestSupport.h"
#include "game/config/ConfigurationCheck.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelPaths.h"
#include "game/config/UpgradesConfiguration.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>

using namespace config_test;

namespace {

bool contains(const std::vector<std::string>& problems, const std::string& fragment) {
    for (const std::string& p : problems) {
        if (p.find(fragment) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

TEST(ConfigurationCheck, ReportsEveryMissingName) {
    game::BuildingsConfiguration buildings;
    auto b = xml(
        "<BuildingsConfiguration>"
        "<Building><Properties><string Name='Name' Value='CkA'/><int Name='Level' Value='1'/>"
        "<string Name='NextLevelName' Value='CkMissingNext'/><string Name='DisplayName' Value='CkA'/>"
        "<stringw Name='Description' Value='%CkDesc% and %%'/><string Name='SelectedSoundCueName' Value='CkCue'/>"
        "</Properties><ActiveFeature/></Building></BuildingsConfiguration>");
    ASSERT_TRUE(buildings.readBuildingsConfiguration(*b));
    game::UpgradesConfiguration upgrades;
    auto u = xml(
        "<UpgradesConfiguration><Upgrade><Name Value='CkU'/><Price Value='0'/><Level Value='2'/>"
        "<AllowsBuilding Value='CkA'/><AllowsBuilding Value='CkGhost'/>"
        "<AllowsBuildingFeature Building='CkA' FeatureIndex='2'/><ObligatoryLevel Value='5'/></Upgrade>"
        "</UpgradesConfiguration>");
    ASSERT_TRUE(upgrades.readUpgradesConfiguration(*u));
    game::GLevelConfig level;
    auto l = xml(
        "<Level><Properties><stringw Name='Name' Value='1'/><string Name='AvailableBuildingsForBuild' Value='CkA'/>"
        "<string Name='PyramidIncomeBonusPlaces' Value='CkNowhere'/></Properties>"
        "<Objectives><Objective Type='HaveTypedBuildingsCount' BuildingTypes='CkGone' PlaceNames='P1' InfoStr='%CkGoal%'/>"
        "</Objectives><RandomEvents><Event Type='OneTimeSellBuildingRequest' BuildingTypes='CkA' PlaceNames='CkLost'/>"
        "</RandomEvents></Level>");
    ASSERT_TRUE(level.readLevelConfiguration(*l));
    game::GLevelPaths paths;
    auto p = xml("<LevelPaths><CarPaths><Path ID='CkBusStop' Cars='CkCar'/><Path ID='P1'/></CarPaths></LevelPaths>");
    ASSERT_TRUE(paths.readLevelPaths(*p));

    game::ConfigurationNames names;
    names.soundCues = {"Other"};
    names.levelTemplates = {"CkA", "BuildingPlace"};
    names.dictionaryKeys = {"CkA"};
    game::LevelReferences entry;
    entry.folder = "levels/levelX";
    entry.level = &level;
    entry.paths = &paths;
    entry.placeNames = {"P1"};
    std::vector<std::string> problems;
    EXPECT_FALSE(game::checkConfigurationReferences(buildings, upgrades, {entry}, names, problems));

    const char* expected[] = {
        "\"BuildingPlace\" is missing", "CkMissingNext", "sound cue \"CkCue\"", "dictionary key \"CkDesc\"",
        "CkGhost", "has no feature 2", "dictionary key \"CkU\"", "CkNowhere", "CkGone", "dictionary key \"CkGoal\"",
        "CkLost", "bus path \"CkBusStop\"", "template \"CkCar\"", "no upgrade that applies in level 1 allows \"CkA\"",
    };
    for (const char* fragment : expected) EXPECT_TRUE(contains(problems, fragment)) << fragment;
    EXPECT_EQ(problems.size(), sizeof(expected) / sizeof(expected[0]));

    // With no names to compare against, only the files' own links are checked.
    problems.clear();
    entry.placeNames.clear();
    EXPECT_FALSE(game::checkConfigurationReferences(buildings, upgrades, {entry}, game::ConfigurationNames(), problems));
    EXPECT_FALSE(contains(problems, "CkLost"));
    EXPECT_FALSE(contains(problems, "sound cue"));
    EXPECT_TRUE(contains(problems, "CkGhost"));
}

TEST(ConfigurationCheck, FilesOfAContentFolder) {
    testing_support::TempDir dir;
    testing_support::LogCapture log;
    std::vector<std::string> problems;
    // Nothing there: both common files are missing.
    EXPECT_FALSE(game::checkConfigurationFiles(dir.path().string(), game::ConfigurationNames(), {}, problems));
    EXPECT_TRUE(contains(problems, "levels/common/BuildingsConfiguration.xml: missing"));
    EXPECT_TRUE(contains(problems, "levels/common/UpgradesConfiguration.xml: missing"));

    dir.write("levels/common/BuildingsConfiguration.xml",
              "<BuildingsConfiguration><Building><Properties><string Name='Name' Value='BuildingPlace'/></Properties>"
              "</Building><Building><Properties><string Name='Name' Value='FcHotel'/><int Name='Level' Value='1'/>"
              "</Properties></Building></BuildingsConfiguration>");
    dir.write("levels/common/UpgradesConfiguration.xml",
              "<UpgradesConfiguration><Upgrade><Name Value='FcHotel'/><AllowsBuilding Value='FcHotel'/></Upgrade>"
              "</UpgradesConfiguration>");
    dir.write("levels/level1/LevelConfiguration.xml",
              "<Level><Properties><stringw Name='Name' Value='1'/><string Name='AvailableBuildingsForBuild' Value='FcHotel'/>"
              "</Properties><RandomEvents><Event Type='OneTimeSellBuildingRequest' PlaceNames='FcPlace'/></RandomEvents></Level>");
    dir.write("levels/level1/LevelPaths.xml", "<LevelPaths><CarPaths><Path ID='FcPlace'/></CarPaths></LevelPaths>");
    dir.write("levels/level2/LevelConfiguration.xml", "<Level><Properties>");  // cut off
    dir.write("levels/minigame_x/LevelConfiguration.xml", "not a regular level");
    problems.clear();
    EXPECT_FALSE(game::checkConfigurationFiles(dir.path().string(), game::ConfigurationNames(),
                                               {{"levels/level1", {"FcPlace"}}}, problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(contains(problems, "levels/level2/LevelConfiguration.xml: does not read whole"));

    problems.clear();
    EXPECT_FALSE(game::checkConfigurationFiles(dir.path().string(), game::ConfigurationNames(),
                                               {{"levels/level1", {"Elsewhere"}}}, problems));
    EXPECT_TRUE(contains(problems, "place \"FcPlace\""));
    EXPECT_TRUE(contains(problems, "bus path \"FcPlace\""));
}
