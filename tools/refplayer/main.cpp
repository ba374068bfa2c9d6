// Plays every shipped level (or the ones named) with the reference player and
// prints the game's difficulty curve: for each level whether it was won, the
// time it took against the level's expert time, the score reached, and what
// was to spare.
//
//   refplayer [--check] [--trace] [--seed N] [--cap-factor F] <assets-folder> [level<N> ...]
//
// --check makes the exit status fail when a level is not won within its cap
// (F times its expert time, 3 by default) or when fewer levels than six in
// seven reach their expert score (30 of 35). The upgrades the player owns at
// each level are the ones a player who finished every level before it could
// have bought; the table's last columns show that the scores earned so far
// cover their prices.
#include "engine/core/Logger.h"
#include "engine/core/XmlReader.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/EngineKinds.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelScores.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/level/GGameLevelScene.h"
#include "support/HeadlessLevel.h"
#include "tools/refplayer/ReferencePlayer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kDecisionMs = 250;

struct Row {
    std::string level;
    int number = 0;
    bool loaded = false;
    refplayer::Outcome outcome;
    game::GLevelScore score;
    int32_t earned = 0;
    int64_t earnedSoFar = 0;
    int64_t pricesSoFar = 0;
};

int levelNumber(const std::string& folder) {
    if (folder.rfind("level", 0) != 0) return 0;
    const std::string digits = folder.substr(5);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::atoi(digits.c_str());
}

template <class Read>
bool readXml(const fs::path& path, Read read) {
    engine::IrrRef<irr::io::IReadFile> file(engine::getEngine()->getFileSystem()->createAndOpenFile(path.string().c_str()));
    if (!file) return false;
    engine::CountedRef<engine::XmlReader> reader(new engine::XmlReader(file.get()));
    if (!reader->isValid()) return false;
    read(*reader);
    return true;
}

std::string minutes(uint32_t ms) {
    char text[16];
    std::snprintf(text, sizeof text, "%u:%02u", ms / 60000u, (ms / 1000u) % 60u);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    bool check = false;
    bool trace = false;
    uint32_t seed = 1;
    float capFactor = 3.0f;
    fs::path root;
    std::vector<std::string> wanted;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--check") {
            check = true;
        } else if (arg == "--trace") {
            trace = true;
        } else if (arg == "--seed" && i + 1 < argc) {
            seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--cap-factor" && i + 1 < argc) {
            capFactor = std::max(1.0f, std::strtof(argv[++i], nullptr));
        } else if (root.empty()) {
            root = fs::absolute(arg);
        } else {
            wanted.push_back(arg);
        }
    }
    if (root.empty() || !fs::is_directory(root / "levels")) {
        std::fprintf(stderr, "usage: refplayer [--check] [--trace] [--seed N] [--cap-factor F] <assets-folder> [level<N> ...]\n");
        return 2;
    }
    if (!std::getenv("ENGINE_DEBUG_LOG")) engine::getLogger().setLevel(engine::LOG_ERROR);
    engine::registerEngineKinds();

    std::vector<Row> rows;
    for (const auto& entry : fs::directory_iterator(root / "levels")) {
        const std::string name = entry.path().filename().string();
        const int number = levelNumber(name);
        if (number <= 0 || !fs::exists(entry.path() / "LevelConfiguration.xml")) continue;
        if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), name) == wanted.end()) continue;
        Row row;
        row.level = name;
        row.number = number;
        rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.number < b.number; });
    if (rows.empty()) {
        std::fprintf(stderr, "refplayer: no level found under %s\n", (root / "levels").string().c_str());
        return 2;
    }

    engine::CountedRef<game::LevelScores> scores(new game::LevelScores());
    readXml(root / "levels/common/LevelScores.xml", [&scores](engine::XmlReader& r) { scores->readLevelScores(r); });
    engine::CountedRef<game::UpgradesConfiguration> upgrades(new game::UpgradesConfiguration());
    readXml(root / "levels/common/UpgradesConfiguration.xml",
            [&upgrades](engine::XmlReader& r) { upgrades->readUpgradesConfiguration(r); });
    std::string everyUpgrade;
    for (const auto& entry : upgrades->upgrades()) {
        everyUpgrade += engine::nameOfId(entry.first).c_str();
        everyUpgrade += ";";
    }

    int64_t earnedSoFar = 0;
    for (Row& row : rows) {
        // The scores of every level before this one (each won once, at the
        // expert score where the player reached it) against the prices of
        // the upgrades on sale by now.
        row.earnedSoFar = earnedSoFar;
        for (const auto& entry : upgrades->upgrades()) {
            if (entry.second->Level > 0 && entry.second->Level < row.number) row.pricesSoFar += entry.second->Price;
        }
        row.score = (*scores)[row.level.c_str()];
        testing_support::HeadlessLevel level;
        testing_support::HeadlessLevel::Options options;
        options.seed = seed;
        options.levelIndex = (row.number - 1) + (row.number - 1) / 7;
        // The availability takes only the upgrades on sale before this level.
        options.boughtUpgrades = everyUpgrade;
        if (!level.load(root.string(), "levels/" + row.level + "/", options)) {
            std::fprintf(stderr, "refplayer: %s did not load: %s\n", row.level.c_str(), level.failure().c_str());
            continue;
        }
        row.loaded = true;
        game::GGameLevelScene& scene = *level.scene();
        refplayer::ReferencePlayer player(scene);
        const uint32_t expertMs = static_cast<uint32_t>(std::max(1, row.score.Time)) * 1000u;
        const uint32_t capMs = static_cast<uint32_t>(static_cast<float>(expertMs) * capFactor);
        uint32_t elapsed = 0;
        while (elapsed < capMs && !scene.objectivesMet) {
            player.decide();
            level.advance(kDecisionMs);
            elapsed += kDecisionMs;
            row.outcome.peakMoney = std::max(row.outcome.peakMoney, scene.money);
            if (trace && elapsed % 15000u == 0u) {
                std::printf("%s %s money %.0f income %.0f materials %.0f workers %d/%d guests %d:%s\n",
                            row.level.c_str(), minutes(elapsed).c_str(), scene.money, scene.dailyIncome,
                            scene.materials, scene.workers, scene.workersHired, scene.guests,
                            player.takeTrace().c_str());
            }
        }
        row.outcome.won = scene.objectivesMet;
        row.outcome.timeMs = static_cast<uint32_t>(scene.totalTimeMs);
        row.outcome.commands = player.commands();
        row.outcome.buildingsBuilt = player.buildingsBuilt();
        if (row.outcome.won) {
            row.earned = row.outcome.timeMs <= expertMs ? row.score.ExpertScore : row.score.Score;
        }
        earnedSoFar += row.earned;
    }

    std::printf("%-8s %-4s %7s %7s %8s %7s %7s %9s %9s %11s %11s\n", "level", "won", "time", "expert", "spare",
                "score", "expert", "commands", "built", "earned", "prices");
    int wonCount = 0, expertCount = 0, lost = 0;
    for (const Row& row : rows) {
        const uint32_t expertMs = static_cast<uint32_t>(std::max(1, row.score.Time)) * 1000u;
        const bool expert = row.outcome.won && row.outcome.timeMs <= expertMs;
        const int spareSeconds = static_cast<int>(expertMs / 1000u) - static_cast<int>(row.outcome.timeMs / 1000u);
        std::printf("%-8s %-4s %7s %7s %+7ds %7d %7s %9u %9d %11lld %11lld%s\n", row.level.c_str(),
                    !row.loaded ? "ERR" : row.outcome.won ? "yes" : "NO", minutes(row.outcome.timeMs).c_str(),
                    minutes(expertMs).c_str(), spareSeconds, row.earned, expert ? "yes" : "no", row.outcome.commands,
                    row.outcome.buildingsBuilt, static_cast<long long>(row.earnedSoFar),
                    static_cast<long long>(row.pricesSoFar),
                    row.earnedSoFar < row.pricesSoFar ? "  (upgrades not affordable)" : "");
        wonCount += row.outcome.won ? 1 : 0;
        expertCount += expert ? 1 : 0;
        lost += row.outcome.won ? 0 : 1;
    }
    const int needed = static_cast<int>((rows.size() * 6 + 6) / 7);
    std::printf("%d of %zu levels won, %d at the expert score (%d needed)\n", wonCount, rows.size(), expertCount,
                needed);
    if (!check) return 0;
    return lost == 0 && expertCount >= needed ? 0 : 1;
}
