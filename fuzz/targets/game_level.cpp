// A level run headless: its files (any of them replaced by the input's), then
// commands as a player and the random events would send them, for up to ten
// simulated minutes. Throughout: money and materials never go below zero (a
// command that costs something goes only when the stocks cover it, as the HUD
// sends it), the workers stay within what was hired, every job is a running
// task, and no 10 ms step of the level takes a second.
//
// The input is text in sections, each started by a line "@@ <name>": one of
// "configuration" (LevelConfiguration.xml), "buildings", "upgrades",
// "templates" (the level template collection), "level" (Level.oscn),
// "paths" and "commands". A file without its section is the small test
// level's (see tests/support/HeadlessLevel.h); the bytes of "commands" pick
// the commands, their buildings and the time between them.
#include "engine/core/Event.h"
#include "engine/core/Logger.h"
#include "fuzz/support/FuzzSupport.h"
#include "fuzz/support/NumberMutator.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/level/tasks/GBuildingTask.h"
#include "support/HeadlessLevel.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

using namespace engine;
using game::GBuildingNode;
using game::GGameLevelScene;
using testing_support::HeadlessLevel;

FUZZ_NUMBER_MUTATOR

namespace {

constexpr uint32_t kMostSimulatedMs = 10u * 60u * 1000u;
constexpr auto kLongestStep = std::chrono::seconds(1);

// A private folder for the level's files, removed at exit.
const std::string& folder() {
    static const std::string* const path = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz-level-XXXXXX";
        if (!::mkdtemp(pattern.data())) return new std::string();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder(), ignored);
        });
        return new std::string(pattern.c_str());
    }();
    return *path;
}

std::map<std::string, std::string> sections(const std::string& text) {
    std::map<std::string, std::string> found;
    std::string* current = nullptr;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        if (line.rfind("@@ ", 0) == 0) {
            current = &found[line.substr(3)];
        } else if (current) {
            *current += line;
            *current += '\n';
        }
        at = end + 1;
    }
    return found;
}

[[noreturn]] void fail(const char* what, uint32_t elapsed) {
    std::fprintf(stderr, "game_level: %s at %u ms of level time\n", what, elapsed);
    std::abort();
}

class Player {
public:
    Player(HeadlessLevel& level, const std::string& commands) : level_(level), scene_(*level.scene()), bytes_(commands) {}

    void play() {
        while (at_ < bytes_.size() && elapsed_ < kMostSimulatedMs) {
            command();
            advance(20u + 20u * pick(100));
            check();
        }
    }

private:
    uint32_t pick(uint32_t n) {
        if (n == 0) return 0;
        const uint32_t value = at_ < bytes_.size() ? static_cast<unsigned char>(bytes_[at_]) : 0u;
        ++at_;
        return value % n;
    }

    void advance(uint32_t ms) {
        for (uint32_t done = 0; done < ms && elapsed_ < kMostSimulatedMs; done += HeadlessLevel::kStepMs) {
            const auto start = std::chrono::steady_clock::now();
            level_.advance(HeadlessLevel::kStepMs);
            if (std::chrono::steady_clock::now() - start > kLongestStep) fail("a step took over a second", elapsed_);
            elapsed_ += HeadlessLevel::kStepMs;
        }
    }

    void check() const {
        if (scene_.money < -0.01f) fail("money below zero", elapsed_);
        if (scene_.materials < -0.01f) fail("materials below zero", elapsed_);
        if (scene_.workers < 0 || scene_.workers > scene_.workersHired) fail("workers outside what was hired", elapsed_);
        for (const GBuildingNode* building : scene_.buildings) {
            game::GBuildingTask* job = building->getJob();
            if (!job) continue;
            bool running = false;
            for (const game::GBuildingTask* task : scene_.tasks) running = running || task == job;
            if (!running) fail("a job without its running task", elapsed_);
        }
    }

    GBuildingNode* anyBuilding() {
        const uint32_t i = pick(static_cast<uint32_t>(scene_.buildings.size()) + 1);
        return i < scene_.buildings.size() ? scene_.buildings[i] : nullptr;
    }

    game::GBuildingConfig* anyRecord() {
        const auto& records = level_.buildings()->records();
        uint32_t i = pick(static_cast<uint32_t>(records.size()) + 1);
        for (const auto& entry : records) {
            if (i-- == 0) return entry.second;
        }
        return nullptr;
    }

    const game::OrderOption* anyOption(const std::vector<CountedRef<game::OrderOption>>& options) {
        const uint32_t i = pick(static_cast<uint32_t>(options.size()) + 1);
        return i < options.size() ? options[i].get() : nullptr;
    }

    bool covers(float materials, int32_t workers, float money = 0.0f) const {
        return scene_.materials >= materials && scene_.workers >= workers && scene_.money >= money;
    }

    void command() {
        GGameLevelScene& s = scene_;
        const game::GLevelConfig* config = s.levelConfig;
        const uint32_t which = pick(17);
        GBuildingNode* b = anyBuilding();
        const game::GBuildingConfig* r = b ? b->getRecord() : nullptr;
        switch (which) {
            case 0: s.build(b, anyRecord()); break;
            case 1: s.upgrade(b); break;
            case 2:
                if (!r || covers(r->repairMaterialsCost(config), r->repairWorkersCost(config))) s.repair(b);
                break;
            case 3:
                if (!r || covers(r->repairMaterialsCost(config), r->repairWorkersCost(config))) s.clean(b);
                break;
            case 4:
                if (!r || covers(r->buildMaterialsCost(config), r->buildWorkersCost(config))) s.restore(b);
                break;
            case 5:
                if (!r || covers(0.0f, r->destroyWorkersCost(config))) s.destroy(b);
                break;
            case 6: {
                const int32_t index = static_cast<int32_t>(pick(4)) - 1;
                const bool known = r && index >= 0 && static_cast<size_t>(index) < r->ActiveFeatures.size();
                if (!known || covers(0.0f, 0, r->ActiveFeatures[static_cast<size_t>(index)].moneyCost)) {
                    s.activateFeature(b, index);
                }
                break;
            }
            case 7: s.serveRequest(b); break;
            case 8: s.sellBuilding(b); break;
            case 9: s.buyBuilding(b); break;
            case 10:
                if (config) s.orderMaterials(anyOption(config->materialOrderOptions));
                break;
            case 11:
                if (config) s.orderWorkers(anyOption(config->workerOrderOptions));
                break;
            case 12:
                if (b) b->cancelJob();
                break;
            case 13: {
                CountedRef<NodePressedEvent> press(new NodePressedEvent(b ? static_cast<BaseNode*>(b) : &s));
                s.handleEvent(press.get());
                break;
            }
            case 14:
                if (b && b->isOwnedByThePlayer()) {
                    if (pick(2)) {
                        b->setForSale(!b->isForSale());
                    } else {
                        b->restartBuyRequestWait();
                    }
                }
                break;
            case 15:
                // What the HUD reads of the level and the selected building.
                s.ratingLevel();
                if (b) b->formatIncome(nullptr);
                break;
            default:
                if (b && b->isOwnedByThePlayer() && b->getJobState() == 0 && b->getCondition() == 0) {
                    b->setCondition(4 + static_cast<int32_t>(pick(2)));
                }
                break;
        }
    }

    HeadlessLevel& level_;
    GGameLevelScene& scene_;
    const std::string bytes_;
    size_t at_ = 0;
    uint32_t elapsed_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietLogger();
    if (folder().empty()) std::abort();
    std::map<std::string, std::string> parts = sections(std::string(reinterpret_cast<const char*>(data), size));
    testing_support::SmallContent content;
    const std::pair<const char*, std::string*> files[] = {
        {"configuration", &content.configuration}, {"buildings", &content.buildings}, {"upgrades", &content.upgrades},
        {"templates", &content.templates},         {"level", &content.level},         {"paths", &content.paths},
    };
    for (const auto& [name, text] : files) {
        auto found = parts.find(name);
        if (found != parts.end()) *text = found->second;
    }
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(folder()) / "levels/test/LevelPaths.xml", ignored);
    HeadlessLevel::writeContent(folder(), content);
    HeadlessLevel level;
    HeadlessLevel::Options options;
    options.drawEveryMs = 100;  // drawn as the game draws it: spawners and movers start on their first draw
    if (!level.load(folder(), "levels/test/", options)) return 0;
    Player player(level, parts["commands"]);
    player.play();
    return 0;
}
