// The coverage of the code by the levels, on a small tree: a tree whose
// levels use every kind reports nothing, and taking one use away reports
// exactly that kind. Records count only where a level places them or offers
// them with an upgrade on sale before it.
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelModifiers.h"
#include "game/config/LevelObjectives.h"
#include "game/config/RandomEvents.h"
#include "support/TempDir.h"
#include "tools/contentcheck/DataCoverage.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string narrow(const engine::stringw& text) {
    std::string out;
    for (uint32_t i = 0; i < text.size(); ++i) out += static_cast<char>(text[i]);
    return out;
}

void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// One record per Type 0-7; record 1 provides service 4, record 2 service 5;
// record 0 carries both feature types and every modifier kind.
std::string buildings() {
    std::string modifiers;
    for (const engine::stringw& name : game::levelModifierKindNames()) {
        modifiers += "<Modifier Type=\"" + narrow(name) + "\" Value=\"1\"/>";
    }
    std::string out = "<?xml version=\"1.0\"?>\n<BuildingsConfiguration>";
    for (int type = 0; type < 8; ++type) {
        out += "<Building><Properties><string Name=\"Name\" Value=\"R" + std::to_string(type) +
               "\"/><int Name=\"Level\" Value=\"1\"/><int Name=\"Type\" Value=\"" + std::to_string(type) + "\"/>";
        if (type == 1) out += "<int Name=\"ProvidedService\" Value=\"4\"/>";
        if (type == 2) out += "<int Name=\"ProvidedService\" Value=\"5\"/>";
        out += "</Properties>";
        if (type == 0) {
            out += "<LevelModifiers>" + modifiers + "</LevelModifiers><ActiveFeature>";
            for (const char* feature : game::featureTypeNames()) out += std::string("<Feature Type=\"") + feature + "\"/>";
            out += "</ActiveFeature>";
        }
        out += "</Building>";
    }
    return out + "</BuildingsConfiguration>\n";
}

struct Level {
    std::string offered = "R0;R1;R2";
    std::string placed = "R3;R4;R5;R6;R7";
    std::string skipObjective;
    std::string skipEvent;
};

void writeTree(const fs::path& root, const Level& level, int upgradeLevel = 0) {
    write(root / "levels/common/BuildingsConfiguration.xml", buildings());
    write(root / "levels/common/UpgradesConfiguration.xml",
          "<UpgradesConfiguration><Upgrade><Name Value=\"All\"/><Level Value=\"" + std::to_string(upgradeLevel) +
              "\"/><AllowsBuilding Value=\"R0\"/><AllowsBuilding Value=\"R1\"/><AllowsBuilding Value=\"R2\"/>"
              "</Upgrade></UpgradesConfiguration>\n");
    std::string objectives, events;
    for (const engine::stringw& name : game::objectiveKindNames()) {
        if (narrow(name) != level.skipObjective) objectives += "<Objective Type=\"" + narrow(name) + "\"/>";
    }
    for (const engine::stringw& name : game::randomEventKindNames()) {
        if (narrow(name) != level.skipEvent) events += "<Event Type=\"" + narrow(name) + "\"/>";
    }
    write(root / "levels/level1/LevelConfiguration.xml",
          "<Level><Properties><string Name=\"AvailableBuildingsForBuild\" Value=\"" + level.offered +
              "\"/></Properties><Objectives>" + objectives + "</Objectives><RandomEvents>" + events +
              "</RandomEvents></Level>\n");
    std::string places;
    size_t start = 0;
    while (start < level.placed.size()) {
        const size_t end = std::min(level.placed.find(';', start), level.placed.size());
        places += "<SceneNode Type=\"GBuildingNode\"><Properties><string Name=\"TemplateName\" Value=\"" +
                  level.placed.substr(start, end - start) + "\"/></Properties></SceneNode>";
        start = end + 1;
    }
    write(root / "levels/level1/Level.oscn", "<SceneNode Type=\"GGameLevelScene\">" + places + "</SceneNode>\n");
}

std::vector<std::string> gapsOf(const Level& level, int upgradeLevel = 0) {
    testing_support::TempDir folder;
    writeTree(folder.path(), level, upgradeLevel);
    contentcheck::DataCoverage coverage(folder.path().string());
    EXPECT_TRUE(coverage.run());
    EXPECT_EQ(coverage.levelCount(), 1);
    return coverage.gaps();
}

bool mentions(const std::vector<std::string>& gaps, const std::string& text) {
    for (const std::string& gap : gaps) {
        if (gap.find(text) != std::string::npos) return true;
    }
    return false;
}

TEST(DataCoverageTest, FullUseReportsNothing) { EXPECT_TRUE(gapsOf(Level()).empty()); }

TEST(DataCoverageTest, EachMissingUseIsReported) {
    struct Case {
        const char* what;
        Level level;
        const char* reported;
    };
    Level noPyramid;
    noPyramid.placed = "R3;R4;R6;R7";
    Level noService5;
    noService5.offered = "R0;R1";
    Level noLetters;
    noLetters.skipEvent = "RegularLetterRequest";
    Level noWorkersGoal;
    noWorkersGoal.skipObjective = "Workers";
    const Case cases[] = {
        {"a one-off kind placed nowhere", noPyramid, "building Type 5"},
        {"a record offered nowhere", noService5, "provided service 5"},
        {"a random event no level raises", noLetters, "random event RegularLetterRequest"},
        {"an objective no level asks for", noWorkersGoal, "objective Workers"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> gaps = gapsOf(c.level);
        EXPECT_TRUE(mentions(gaps, c.reported)) << c.what;
        EXPECT_EQ(gaps.size(), c.what == std::string("a record offered nowhere") ? 2u : 1u) << c.what;
    }
}

TEST(DataCoverageTest, OfferedRecordsCountOnlyOnceTheirUpgradeIsOnSale) {
    // The upgrade is sold after level 1: level 1 cannot build R0 to R2, so
    // hotels, services, the features and the modifiers they carry go unused.
    const std::vector<std::string> gaps = gapsOf(Level(), 1);
    EXPECT_TRUE(mentions(gaps, "building Type 0"));
    EXPECT_TRUE(mentions(gaps, "provided service 4"));
    EXPECT_TRUE(mentions(gaps, "feature type BoostIncome"));
    EXPECT_TRUE(mentions(gaps, "level modifier GuestsCountM"));
}

TEST(DataCoverageTest, MissingConfigurationIsReportedNotCrashed) {
    testing_support::TempDir folder;
    contentcheck::DataCoverage coverage(folder.path().string());
    EXPECT_FALSE(coverage.run());
    ASSERT_FALSE(coverage.gaps().empty());
    EXPECT_NE(coverage.gaps().front().find("BuildingsConfiguration.xml"), std::string::npos);
}

}  // namespace
