#pragma once
// The small test level of HeadlessLevel, started in a temporary folder, for
// the level scene, command and request tests.
#include "engine/core/EventIds.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "support/HeadlessLevel.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace level_test {

// The built content tree, or "" when the build did not say where it is.
inline const char* contentTree() {
#ifdef LODGEROO_CONTENT_TREE
    return LODGEROO_CONTENT_TREE;
#else
    return "";
#endif
}

// Whether the built content tree has the level folder's scene file.
inline bool haveBuiltLevel(const std::string& folder) {
    return std::filesystem::exists(std::filesystem::path(contentTree()) / folder / "Level.oscn");
}

inline uint32_t eventId(int32_t id) { return static_cast<uint32_t>(id); }

// The small level's configuration with its properties and objectives replaced
// (the name stays "test").
inline std::string levelConfiguration(const std::string& properties, const std::string& objectives) {
    return "<?xml version=\"1.0\"?>\n<Level><Properties><stringw Name=\"Name\" Value=\"test\"/>" + properties +
           "</Properties><Objectives>" + objectives + "</Objectives></Level>\n";
}

// The default upgrade of the small content with extra modifiers.
inline std::string upgradesWithModifiers(const std::string& modifiers) {
    std::string upgrades = testing_support::SmallContent().upgrades;
    const std::string end = "</Upgrade>";
    upgrades.insert(upgrades.find(end), "<LevelModifiers>" + modifiers + "</LevelModifiers>");
    return upgrades;
}

class SmallLevelTest : public ::testing::Test {
protected:
    void start(const testing_support::SmallContent& content = testing_support::SmallContent(), uint32_t seed = 1) {
        testing_support::HeadlessLevel::writeContent(folder.path().string(), content);
        testing_support::HeadlessLevel::Options options;
        options.seed = seed;
        ASSERT_TRUE(level.load(folder.path().string(), "levels/test/", options)) << level.failure();
        scene = level.scene();
    }
    game::GBuildingNode* place(const char* name) const { return level.building(name); }
    game::GBuildingConfig* record(const char* name) const { return level.record(name); }
    // Runs the level until the building has no job (at most limitMs).
    bool finishJob(game::GBuildingNode* building, uint32_t limitMs = 10000) {
        return level.advanceUntil([building] { return building->getJobState() == 0; }, limitMs);
    }
    engine::NameId recordName(const game::GBuildingNode* building) const {
        return building && building->getRecord() ? building->getRecord()->Name : engine::kNoName;
    }
    // The history entries of the action.
    int32_t historyCount(int32_t action) const {
        int32_t n = 0;
        for (const game::HistoryRecord& entry : scene->history) n += entry.action == action ? 1 : 0;
        return n;
    }

    testing_support::TempDir folder;
    testing_support::HeadlessLevel level;
    game::GGameLevelScene* scene = nullptr;
};

}  // namespace level_test
