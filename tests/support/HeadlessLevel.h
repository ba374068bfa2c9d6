#pragma once
// A level running without a window, for the level simulation tests.
//
// load() reads a level the way the game's level start does, from a content
// root folder that holds "levels/common/BuildingsConfiguration.xml",
// "levels/common/UpgradesConfiguration.xml" (optional),
// "levels/common/TemplateCollection.oscn" (optional) and the level folder with
// "Level.oscn", "LevelConfiguration.xml" and "LevelPaths.xml" (optional). The
// root is the built content tree (LODGEROO_CONTENT_TREE) or a temporary folder
// filled by writeContent() (the small fixture set described by
// SmallContent, which tests change as they need).
//
// The level atlases and particle collection of the content tree are loaded
// first when present, as the game's intro loads them.
//
// The level is set up in the order of the level start (buildings
// configuration, level configuration, availability, paths, pause flag off)
// and made the scene of a scene manager of its own, whose template collection
// is the level template collection. advance(ms) then runs simulated time in
// 10 ms steps: the manager's event queue, then the level scene's scheduler
// (the level ticks every 20 ms, buildings every 50 ms).
//
// The process-wide random generator is reset and seeded by load(), so the
// same seed and the same commands give the same level. Every event the level
// posts or routes to its parent is recorded (see count()).
//
//   testing_support::TempDir folder;
//   testing_support::HeadlessLevel::writeContent(folder.path().string());
//   testing_support::HeadlessLevel level;
//   ASSERT_TRUE(level.load(folder.path().string(), "levels/test/"));
//   level.scene()->build(level.building("Place01"), level.record("Hotel1"));
//   level.advance(5000);
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace engine {
class CContentManager;
class Content;
class Event;
class SceneManager;
class TimerScheduler;
}  // namespace engine

namespace game {
class BuildingsConfiguration;
class GBuildingConfig;
class GBuildingNode;
class GGameLevelScene;
class GLevelConfig;
class UpgradesConfiguration;
}  // namespace game

namespace testing_support {

// The files of a small test level. Defaults:
// - records: "BuildingPlace"; hotels "Hotel1" -> "Hotel2" (Type 0; Hotel1
//   has a BoostIncome feature of 1000 ms with a 2000 ms recharge costing 50);
//   "Shop" (Type 1, provides service 4); "Depot" (Type 1, provides service
//   5); "Garden" (Type 2, +10 % serve-area bonus); "Ruin" (Type 3 with one
//   feature). Build, repair and destroy times are 1000, 500 and 400 ms.
// - upgrades: one free upgrade allowing every record and every feature.
// - level "levels/test/": places "Place01" (owned, empty), "Place02" (owned
//   Hotel1), "Place03" (owned Garden), "Place04" (not owned Hotel1),
//   "Place05" (owned, empty), "Place06" (owned Shop), "Place07" (owned
//   Depot), "Place08" (not owned Ruin), and a CargosNode; 100000 money, 500
//   materials, 10 workers, 60 s days; one objective that is never met, no
//   random events; no paths.
// - templates: none but "MoneyLetter" (with "Text" and "Progress").
struct SmallContent {
    std::string buildings;
    std::string upgrades;
    std::string templates;
    std::string level;          // Level.oscn
    std::string configuration;  // LevelConfiguration.xml
    std::string paths;          // LevelPaths.xml; empty writes no file
    SmallContent();
};

class HeadlessLevel {
public:
    static constexpr uint32_t kStepMs = 10;

    HeadlessLevel();
    ~HeadlessLevel();
    HeadlessLevel(const HeadlessLevel&) = delete;
    HeadlessLevel& operator=(const HeadlessLevel&) = delete;

    // Writes the content's files below root ("levels/common/..." and
    // "levels/test/...").
    static void writeContent(const std::string& root, const SmallContent& content = SmallContent());

    struct Options {
        uint32_t seed = 1;
        // The map location and the bought upgrades the availability is
        // filled for.
        int32_t levelIndex = 0;
        std::string boughtUpgrades;
        // When above 0, advance() collects the scene's render items every
        // drawEveryMs of simulated time, as the game draws each frame:
        // self-driven movers set themselves up on their first draw, so a
        // level that is never drawn keeps its cars parked where they spawned.
        uint32_t drawEveryMs = 0;
    };
    // Loads and starts the level folder (with its trailing "/") below root.
    // False, with the reason in failure(), when a required file is missing or
    // the level file's root is no level scene.
    bool load(const std::string& root, const std::string& levelFolder, const Options& options);
    bool load(const std::string& root, const std::string& levelFolder) { return load(root, levelFolder, Options()); }
    const std::string& failure() const { return failure_; }

    // Runs ms of simulated time (rounded up to whole 10 ms steps).
    void advance(uint32_t ms);
    // Runs simulated time until the condition holds (tested after every
    // step), at most limitMs; false when it never held.
    bool advanceUntil(const std::function<bool()>& done, uint32_t limitMs);
    // Delivers the events queued so far without advancing time.
    void deliver();

    game::GGameLevelScene* scene() const { return scene_.get(); }
    engine::SceneManager* manager() const { return manager_.get(); }
    game::BuildingsConfiguration* buildings() const { return buildings_.get(); }
    game::GLevelConfig* config() const { return config_.get(); }
    // The place of that name among the level's buildings, or null.
    game::GBuildingNode* building(const char* placeName) const;
    // The record of that name, or null.
    game::GBuildingConfig* record(const char* name) const;

    // A hash of the level's state: money, materials, workers, every
    // building's record, job, condition and ownership, and the history.
    // Two runs with the same seed and the same commands give the same hash.
    uint64_t stateHash() const;

    // Events of that type id the level handed to its parent since load or
    // the last clearEvents().
    int32_t count(uint32_t typeId) const;
    void clearEvents();

private:
    class Recorder;

    std::string failure_;
    std::filesystem::path previousFolder_;
    bool changedFolder_ = false;
    engine::CountedRef<engine::CContentManager> content_;
    std::vector<engine::CountedRef<engine::Content>> heldContent_;
    engine::CountedRef<engine::TimerScheduler> managerScheduler_;
    engine::CountedRef<engine::SceneManager> manager_;
    engine::CountedRef<game::BuildingsConfiguration> buildings_;
    engine::CountedRef<game::UpgradesConfiguration> upgrades_;
    engine::CountedRef<game::GLevelConfig> config_;
    engine::CountedRef<game::GGameLevelScene> scene_;
    Recorder* recorder_ = nullptr;
    uint32_t drawEveryMs_ = 0;
    uint32_t sinceDrawMs_ = 0;
};

}  // namespace testing_support
