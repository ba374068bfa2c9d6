// The configuration files shipped in assets/ load through the readers without
// a single message, and every name they use exists.
#include "engine/content/Dictionary.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/ConfigurationCheck.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelPaths.h"
#include "game/config/LevelScores.h"
#include "game/config/UpgradesConfiguration.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

// The regular levels the game ships.
constexpr int kLevels = 35;

// The source tree: the TEST_SOURCE_DIR environment variable when set, else
// the one the program was built from.
std::string sourceRoot() {
    if (const char* root = std::getenv("TEST_SOURCE_DIR")) return root;
    return TEST_SOURCE_DIR;
}

std::string assetPath(const std::string& relative) { return sourceRoot() + "/assets/" + relative; }

std::set<std::string> dictionaryKeys(const std::string& path) {
    std::set<std::string> keys;
    engine::XmlReader reader(path.c_str());
    while (reader.read()) {
        if (reader.getNodeType() == irr::io::EXN_ELEMENT && reader.getNodeName() == L"s") {
            keys.insert(engine::narrow(reader.getAttributeValue(L"n")).c_str());
        }
    }
    return keys;
}

class ShippedConfiguration : public testing::Test {
protected:
    void SetUp() override {
        engine::XmlReader b(assetPath("levels/common/BuildingsConfiguration.xml").c_str());
        ASSERT_TRUE(buildings.readBuildingsConfiguration(b));
        engine::XmlReader u(assetPath("levels/common/UpgradesConfiguration.xml").c_str());
        ASSERT_TRUE(upgrades.readUpgradesConfiguration(u));
        engine::XmlReader s(assetPath("levels/common/LevelScores.xml").c_str());
        ASSERT_TRUE(scores.readLevelScores(s));
        engine::XmlReader c(assetPath("scenes/ComicsConfiguration.xml").c_str());
        ASSERT_TRUE(comics.readComicsConfiguration(c));
        for (int n = 1; n <= kLevels; ++n) {
            const std::string folder = "levels/level" + std::to_string(n);
            engine::XmlReader l(assetPath(folder + "/LevelConfiguration.xml").c_str());
            levels[n - 1].reset(new game::GLevelConfig());
            ASSERT_TRUE(levels[n - 1]->readLevelConfiguration(l)) << folder;
            engine::XmlReader p(assetPath(folder + "/LevelPaths.xml").c_str());
            paths[n - 1].reset(new game::GLevelPaths());
            ASSERT_TRUE(paths[n - 1]->readLevelPaths(p)) << folder;
        }
    }

    testing_support::LogCapture log;
    game::BuildingsConfiguration buildings;
    game::UpgradesConfiguration upgrades;
    game::LevelScores scores;
    game::ComicsConfiguration comics;
    engine::CountedRef<game::GLevelConfig> levels[kLevels];
    engine::CountedRef<game::GLevelPaths> paths[kLevels];
};

}  // namespace

TEST_F(ShippedConfiguration, LoadsWithoutAMessage) {
    for (const auto& entry : log.entries()) ADD_FAILURE() << entry.text;
    EXPECT_NE(buildings.find(engine::makeNameId("BuildingPlace")), nullptr);
    for (int n = 1; n <= kLevels; ++n) {
        SCOPED_TRACE(n);
        const game::GLevelConfig& level = *levels[n - 1];
        EXPECT_EQ(level.levelNumber, n);
        EXPECT_GT(level.objectives->size(), 0u);
        EXPECT_GT(level.randomEvents->size(), 0u);
        for (uint32_t i = 0; i < level.randomEvents->size(); ++i) EXPECT_TRUE(level.randomEvents->at(i)->canFire());
        EXPECT_EQ(level.materialOrderOptions.size(), 6u);
        const std::string key = "level" + std::to_string(n);
        ASSERT_EQ(scores.entries().count(key), 1u);
        EXPECT_GT(scores.entries().at(key).Time, 0);
        EXPECT_GT(paths[n - 1]->carPaths(engine::makeNameId("NeutralCar")).size(), 0u);
        EXPECT_GT(paths[n - 1]->pedestrianPaths().size(), 0u);
        for (engine::NameId id : paths[n - 1]->carPathIds()) {
            for (const auto* path : paths[n - 1]->carPaths(id)) EXPECT_GE(path->points.size(), 2u);
        }
    }
    // The developer reload reads the scores from the scenes folder: the same file.
    EXPECT_EQ(testing_support::TempDir::read(assetPath("levels/common/LevelScores.xml")),
              testing_support::TempDir::read(assetPath("scenes/LevelScores.xml")));
}

TEST_F(ShippedConfiguration, EveryLevelCanBuildWhatItOffersAndUsesEveryObjectiveKind) {
    std::set<std::string> objectiveKinds;
    for (int n = 1; n <= kLevels; ++n) {
        SCOPED_TRACE(n);
        game::LevelAvailability availability;
        // A player who bought every upgrade the shop sold before this level.
        engine::stringc bought;
        for (const auto& entry : upgrades.upgrades()) {
            if (entry.second->Level < n) bought += engine::nameOfId(entry.first) + ";";
        }
        // The level's map location: every eighth one is a mini-game.
        availability.fill(upgrades, levels[n - 1].get(), (n - 1) + (n - 1) / 7, bought);
        const auto& offered = levels[n - 1]->availableBuildingsForBuild;
        for (uint32_t i = 0; i < offered.size(); ++i) {
            EXPECT_TRUE(availability.isBuildingAvailable(offered[i])) << engine::nameOfId(offered[i]).c_str();
        }
        for (uint32_t i = 0; i < levels[n - 1]->objectives->size(); ++i) {
            objectiveKinds.insert(typeid(*levels[n - 1]->objectives->at(i)).name());
        }
    }
    EXPECT_EQ(objectiveKinds.size(), 8u);
}

TEST_F(ShippedConfiguration, EveryNamedReferenceExists) {
    game::ConfigurationNames names;
    names.dictionaryKeys = dictionaryKeys(assetPath("strings/Dictionary.xml"));
    ASSERT_FALSE(names.dictionaryKeys.empty());
    // The dictionary loads whole: every key the configuration names is in it.
    engine::Dictionary texts;
    ASSERT_TRUE(texts.load(assetPath("strings/Dictionary.xml").c_str()));
    EXPECT_EQ(texts.getCount(), names.dictionaryKeys.size());
    std::vector<std::string> problems;
    EXPECT_TRUE(game::checkConfigurationFiles(sourceRoot() + "/assets", names, {}, problems));
    for (const std::string& problem : problems) ADD_FAILURE() << problem;
}

TEST_F(ShippedConfiguration, ScoresCoverEveryMapLocationAndRiseAlongTheRoute) {
    // The map's locations in order, as its scene names them.
    std::vector<std::string> route;
    engine::XmlReader map(assetPath("scenes/MapScene.oscn").c_str());
    while (map.read()) {
        if (map.getNodeType() == irr::io::EXN_ELEMENT && map.getNodeName() == L"string" &&
            map.getAttributeValue(L"Name") == L"AssociatedLevelName") {
            route.push_back(engine::narrow(map.getAttributeValue(L"Value")).c_str());
        }
    }
    ASSERT_EQ(route.size(), 39u);
    const game::GLevelScore* previous = nullptr;
    for (size_t i = 0; i < route.size(); ++i) {
        SCOPED_TRACE(route[i]);
        ASSERT_EQ(scores.entries().count(route[i]), 1u);
        const game::GLevelScore& entry = scores.entries().at(route[i]);
        EXPECT_GT(entry.Score, 0);
        EXPECT_GT(entry.ExpertScore, entry.Score);
        EXPECT_GT(entry.Time, 0);
        if (route[i].rfind("minigame_", 0) == 0) continue;
        // Regular levels reward a little more as the route goes on. Their
        // expert times follow each level's own work (the reference player
        // checks that they can be met), so they need not rise.
        if (previous) {
            EXPECT_GE(entry.Score, previous->Score);
            EXPECT_GE(entry.ExpertScore, previous->ExpertScore);
            EXPECT_LE(entry.Score, previous->Score * 2);
        }
        previous = &entry;
    }
    // Nothing in the file that no location asks for.
    EXPECT_EQ(scores.entries().size(), route.size());
}
