// The engine's parts are layered bottom-up: core, io, content, then visual and
// audio, then controls and particles, and platform at the top, which sets the
// others up when the device is made. A part includes only the parts below it;
// a lower part that needs a service from above declares an interface or a hook
// that the higher part installs. Nothing in the engine includes game code.
//
// All Linux-specific code lives in engine/platform, so that folder also holds
// the system services that the middle parts use: threads, the clock, images.
// Those files form a layer of their own just above io and include nothing
// higher.
//
// The game stands on the engine and has floors of its own, lowest first:
// common (game events, the scene base, geometry nodes, the achievements
// tracker and the interface to the game object), config, world, level,
// tutorial, flow, hud, menus, minigames, and app at the top, which makes the
// game object. A floor includes any part of the engine, itself and the floors
// below it; a lower floor that needs something from above declares an
// interface or a hook that the higher floor implements or installs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kSystemServices = "system services";

// The layers each layer may include, besides itself.
const std::map<std::string, std::set<std::string>>& allowedIncludes() {
    static const std::map<std::string, std::set<std::string>> allowed = {
        {"core", {}},
        {"io", {"core"}},
        {kSystemServices, {"core", "io"}},
        {"content", {"core", "io"}},
        {"visual", {"core", "io", "content", kSystemServices}},
        {"audio", {"core", "io", "content", kSystemServices}},
        {"controls", {"core", "io", "content", "visual", kSystemServices}},
        {"particles", {"core", "io", "content", "visual", kSystemServices}},
        {"platform", {"core", "io", "content", "visual", "controls", "particles", "audio", kSystemServices}},
    };
    return allowed;
}

// The layer of a file or header, from its folder under engine/ and its name
// without extension.
std::string layerOf(const std::string& folder, const std::string& stem) {
    static const std::set<std::string> services = {"Thread",      "DeviceClock", "Image",        "ImagePixels",
                                                   "ImageLoaders", "ImageBridge", "ImageFileChecks", "ImageManager", "ImageDecoders"};
    return folder == "platform" && services.count(stem) ? kSystemServices : folder;
}

fs::path sourceRoot() { return fs::path(TEST_SOURCE_DIR); }

// Every include of an engine or game header that the including part's rule forbids,
// as "file:line: include".
std::vector<std::string> upwardIncludes(const fs::path& engineRoot) {
    static const std::regex include(R"re(^\s*#\s*include\s*["<](engine|game)/([A-Za-z0-9_]+)/([A-Za-z0-9_]+))re");
    std::vector<std::string> faults;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(engineRoot)) {
        if (!entry.is_regular_file()) continue;
        const std::string extension = entry.path().extension().string();
        if (extension != ".h" && extension != ".cpp") continue;
        const std::string part =
            layerOf(entry.path().lexically_relative(engineRoot).begin()->string(), entry.path().stem().string());
        const auto rule = allowedIncludes().find(part);
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch match;
            if (!std::regex_search(line, match, include)) continue;
            const bool game = match[1] == "game";
            const std::string target = layerOf(match[2], match[3]);
            const bool known = rule != allowedIncludes().end();
            if (!game && (target == part || (known && rule->second.count(target)))) continue;
            faults.push_back(entry.path().lexically_relative(engineRoot.parent_path()).string() + ":" +
                             std::to_string(number) + ": " + line);
        }
    }
    return faults;
}

// The game's floors, lowest first.
const std::vector<std::string>& gameFloors() {
    static const std::vector<std::string> floors = {"common", "config", "world", "level", "tutorial",
                                                       "flow",   "hud",    "menus", "minigames", "app"};
    return floors;
}

int floorOf(const std::string& folder) {
    const std::vector<std::string>& floors = gameFloors();
    const auto found = std::find(floors.begin(), floors.end(), folder);
    return found == floors.end() ? -1 : static_cast<int>(found - floors.begin());
}

// Every include of a game header from a higher floor, or from a folder in no
// floor, as "file:line: include".
std::vector<std::string> upwardGameIncludes(const fs::path& gameRoot) {
    static const std::regex include(R"re(^\s*#\s*include\s*["<]game/([A-Za-z0-9_]+)/)re");
    std::vector<std::string> faults;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(gameRoot)) {
        if (!entry.is_regular_file()) continue;
        const std::string extension = entry.path().extension().string();
        if (extension != ".h" && extension != ".cpp") continue;
        const fs::path relative = entry.path().lexically_relative(gameRoot);
        // A file directly in game/ stands on no floor and may include none.
        const int floor = std::distance(relative.begin(), relative.end()) > 1 ? floorOf(relative.begin()->string()) : -1;
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch match;
            if (!std::regex_search(line, match, include)) continue;
            const int target = floorOf(match[1]);
            if (floor >= 0 && target >= 0 && target <= floor) continue;
            faults.push_back(entry.path().lexically_relative(gameRoot.parent_path()).string() + ":" +
                             std::to_string(number) + ": " + line);
        }
    }
    return faults;
}

}  // namespace

TEST(Layering, EveryEngineFolderHasALayer) {
    const fs::path engineRoot = sourceRoot() / "engine";
    ASSERT_TRUE(fs::is_directory(engineRoot)) << "TEST_SOURCE_DIR does not name the source tree";
    for (const fs::directory_entry& entry : fs::directory_iterator(engineRoot)) {
        if (entry.is_directory()) {
            EXPECT_TRUE(allowedIncludes().count(entry.path().filename().string()))
                << entry.path().filename() << " is in no layer: give it one in this test";
        }
    }
}

TEST(Layering, NoPartIncludesAHigherPartOrTheGame) {
    const fs::path engineRoot = sourceRoot() / "engine";
    ASSERT_TRUE(fs::is_directory(engineRoot)) << "TEST_SOURCE_DIR does not name the source tree";
    std::string report;
    for (const std::string& fault : upwardIncludes(engineRoot)) report += "\n  " + fault;
    EXPECT_TRUE(report.empty()) << "Includes that go up the layers (core, io, content and the system services, "
                                   "visual/audio, controls/particles, platform) or into the game:"
                                << report;
}

TEST(Layering, EveryGameFolderHasAFloor) {
    const fs::path gameRoot = sourceRoot() / "game";
    ASSERT_TRUE(fs::is_directory(gameRoot)) << "TEST_SOURCE_DIR does not name the source tree";
    for (const fs::directory_entry& entry : fs::directory_iterator(gameRoot)) {
        if (entry.is_directory()) {
            EXPECT_GE(floorOf(entry.path().filename().string()), 0)
                << entry.path().filename() << " is on no floor: give it one in this test";
        }
    }
}

TEST(Layering, NoGameFloorIncludesAHigherFloor) {
    const fs::path gameRoot = sourceRoot() / "game";
    ASSERT_TRUE(fs::is_directory(gameRoot)) << "TEST_SOURCE_DIR does not name the source tree";
    std::string report;
    for (const std::string& fault : upwardGameIncludes(gameRoot)) report += "\n  " + fault;
    EXPECT_TRUE(report.empty()) << "Includes that go up the game's floors (common, config, world, level, tutorial, "
                                   "flow, hud, menus, minigames, app):"
                                << report;
}
