// A soak of each shipped level: seeded random commands, valid and invalid,
// the way a player and the random events would send them, over simulated
// time. Throughout, the stocks never go below zero (unchecked commands are
// sent only when the stocks cover them, as the HUD does), every job belongs
// to a running task and no task runs for ever; at the end, with the
// commands stopped, every job finishes, every worker is back and the level's
// node count has stayed flat.
//
// The run is short in the test suite; LEVEL_SOAK_MINUTES sets the simulated
// minutes per level for a long run by hand (for example 240 under
// AddressSanitizer, see tools/test.sh --sanitize).
#include "engine/core/Event.h"
#include "engine/core/EventIds.h"
#include "game/config/LevelConfig.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/level/tasks/GBuildingTask.h"
#include "level/LevelSceneFixture.h"
#include "support/SetUpNeeds.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <map>
#include <string>
#include <malloc.h>
#include <random>
#include <typeinfo>

using namespace engine;
using game::GBuildingConfig;
using game::GBuildingNode;
using game::GGameLevelScene;
using testing_support::HeadlessLevel;

namespace {

const char* const kContentTree = level_test::contentTree();

uint32_t soakMinutes() {
    const char* text = std::getenv("LEVEL_SOAK_MINUTES");
    const int minutes = text ? std::atoi(text) : 0;
    return minutes > 0 ? static_cast<uint32_t>(minutes) : 3;
}

size_t countNodes(const BaseNode* node) {
    size_t count = 1;
    for (uint32_t i = 0; i < node->getChildCount(); ++i) count += countNodes(node->getChild(i));
    return count;
}

#if defined(__SANITIZE_ADDRESS__)
// Part of the sanitizer runtime's interface.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

// The bytes the program has allocated (under AddressSanitizer its own
// allocator's count, which malloc's statistics do not see).
size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

class Soak {
public:
    Soak(HeadlessLevel& level, uint32_t seed) : level_(level), scene_(*level.scene()), pick_(seed) {
        for (const auto& entry : level.buildings()->records()) records_.push_back(entry.second);
    }

    // One random command, then a random stretch of level time.
    void step() {
        command();
        const uint32_t ms = 20 + 20 * uniform(100);
        level_.advance(ms);
        elapsed_ += ms;
        checkInvariants();
    }

    void checkInvariants() {
        ASSERT_GE(scene_.money, -0.01f) << where();
        ASSERT_GE(scene_.materials, -0.01f) << where();
        ASSERT_GE(scene_.workers, 0) << where();
        ASSERT_LE(scene_.workers, scene_.workersHired) << where();
        std::map<const game::GBuildingTask*, bool> running;
        for (game::GBuildingTask* task : scene_.tasks) {
            running[task] = true;
            if (!task->getBuilding()) continue;
            uint32_t& since = taskSeen_[task];
            if (since == 0) since = elapsed_ + 1;
            // The longest job of the shipped records is well under this.
            ASSERT_LT(elapsed_ + 1 - since, 10u * 60u * 1000u)
                << "a task that never ends: " << typeid(*task).name() << " on "
                << nameOfId(task->getBuilding()->getName()).c_str() << " (job "
                << task->getBuilding()->getJobState() << ", progress " << task->getProgress() << ", level "
                << (scene_.paused ? "paused" : "running") << "); " << where();
        }
        for (auto it = taskSeen_.begin(); it != taskSeen_.end();) {
            it = running.count(it->first) ? std::next(it) : taskSeen_.erase(it);
        }
        for (const GBuildingNode* building : scene_.buildings) {
            const int32_t job = building->getJobState();
            ASSERT_TRUE(job >= 0 && job <= 5) << where();
            if (game::GBuildingTask* task = building->getJob()) {
                ASSERT_TRUE(running.count(task)) << "a job without its task; " << where();
            }
        }
    }

    uint32_t elapsed() const { return elapsed_; }
    // How many commands of each kind the level carried out.
    std::string summary() const {
        std::string text;
        for (uint32_t done : done_) text += std::to_string(done) + " ";
        return text;
    }

private:
    uint32_t uniform(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(pick_); }

    std::string where() const { return "at " + std::to_string(elapsed_) + " ms, command " + std::to_string(last_); }

    // Sometimes nothing, mostly one of the level's places.
    GBuildingNode* anyBuilding() {
        if (uniform(16) == 0) return nullptr;
        return scene_.buildings[uniform(static_cast<uint32_t>(scene_.buildings.size()))];
    }
    // Half of the time one of the buildings for which the command makes
    // sense (when there is one), else any.
    template <class Fits>
    GBuildingNode* likelyBuilding(Fits fits) {
        if (uniform(2) == 0) return anyBuilding();
        std::vector<GBuildingNode*> fitting;
        for (GBuildingNode* building : scene_.buildings) {
            if (fits(building)) fitting.push_back(building);
        }
        return fitting.empty() ? anyBuilding() : fitting[uniform(static_cast<uint32_t>(fitting.size()))];
    }
    GBuildingConfig* anyRecord() {
        if (uniform(16) == 0) return nullptr;
        // Mostly what the level offers for building.
        const auto& offered = scene_.availability->availableBuildingTypes;
        if (uniform(4) != 0 && !offered.empty()) {
            GBuildingConfig* record = level_.buildings()->find(offered[uniform(offered.size())]);
            if (record) return record;
        }
        return records_[uniform(static_cast<uint32_t>(records_.size()))];
    }
    const game::OrderOption* anyOption(const std::vector<CountedRef<game::OrderOption>>& options) {
        const uint32_t i = uniform(static_cast<uint32_t>(options.size()) + 1);
        return i < options.size() ? options[i].get() : nullptr;
    }
    // The HUD sends an unchecked command only when the stocks cover it; a
    // command the building refuses anyway may go.
    bool covers(float materials, int32_t workers, float money = 0.0f) const {
        return scene_.materials >= materials && scene_.workers >= workers && scene_.money >= money;
    }

    void command() {
        GGameLevelScene& s = scene_;
        const game::GLevelConfig* config = s.levelConfig;
        last_ = uniform(19);
        GBuildingNode* b = pickFor(last_);
        const GBuildingConfig* r = b ? b->getRecord() : nullptr;
        switch (last_) {
            case 0: done_[last_] += s.build(b, anyRecord()) ? 1 : 0; break;
            case 1: done_[last_] += s.upgrade(b) ? 1 : 0; break;
            case 2:
                if (!r || covers(r->repairMaterialsCost(config), r->repairWorkersCost(config))) done_[last_] += s.repair(b) ? 1 : 0;
                break;
            case 3:
                if (!r || covers(r->repairMaterialsCost(config), r->repairWorkersCost(config))) done_[last_] += s.clean(b) ? 1 : 0;
                break;
            case 4:
                if (!r || covers(r->buildMaterialsCost(config), r->buildWorkersCost(config))) done_[last_] += s.restore(b) ? 1 : 0;
                break;
            case 5:
                if (!r || covers(0.0f, r->destroyWorkersCost(config))) done_[last_] += s.destroy(b) ? 1 : 0;
                break;
            case 6: {
                const int32_t index = static_cast<int32_t>(uniform(4)) - 1;
                const bool known = r && index >= 0 && static_cast<size_t>(index) < r->ActiveFeatures.size();
                if (!known || covers(0.0f, 0, r->ActiveFeatures[static_cast<size_t>(index)].moneyCost)) {
                    done_[last_] += s.activateFeature(b, index) ? 1 : 0;
                }
                break;
            }
            case 7: done_[last_] += s.serveRequest(b) ? 1 : 0; break;
            case 8: done_[last_] += s.sellBuilding(b) ? 1 : 0; break;
            case 9: done_[last_] += s.buyBuilding(b) ? 1 : 0; break;
            case 10: done_[last_] += s.orderMaterials(anyOption(config->materialOrderOptions)) ? 1 : 0; break;
            case 11: done_[last_] += s.orderWorkers(anyOption(config->workerOrderOptions)) ? 1 : 0; break;
            case 12:
                if (b) b->cancelJob();
                break;
            case 13: {
                CountedRef<NodePressedEvent> press(new NodePressedEvent(b ? static_cast<BaseNode*>(b) : &s));
                s.handleEvent(press.get());
                break;
            }
            case 14:
                // The HUD's sell button and the decline of an offer.
                if (b && b->isOwnedByThePlayer()) {
                    if (uniform(2)) {
                        b->setForSale(!b->isForSale());
                    } else {
                        b->restartBuyRequestWait();
                    }
                }
                break;
            case 15: request(); break;
            case 17:
                // The developer's money key keeps the commands coming.
                if (uniform(8) == 0) s.money += 50000.0f;
                break;
            case 16:
                // A service request as the level's requests raise it.
                if (b && b->isOwnedByThePlayer() && b->getJobState() == 0 && b->getCondition() == 0) {
                    b->setCondition(4 + static_cast<int32_t>(uniform(2)));
                }
                break;
            case 18: {
                CountedRef<game::GPauseRequestEvent> pause(new game::GPauseRequestEvent(uniform(2) == 0));
                s.handleEvent(pause.get());
                if (s.paused) {
                    CountedRef<game::GPauseRequestEvent> resume(new game::GPauseRequestEvent(false));
                    level_.advance(100);
                    s.handleEvent(resume.get());
                }
                break;
            }
            default: break;
        }
    }

    GBuildingNode* pickFor(uint32_t command) {
        auto owned = [](const GBuildingNode* b) { return b->isOwnedByThePlayer() && b->getRecord(); };
        switch (command) {
            case 0:
                return likelyBuilding([owned](GBuildingNode* b) { return owned(b) && b->getRecord()->Level == 0; });
            case 1:
            case 5:
            case 6:
                return likelyBuilding([](GBuildingNode* b) { return b->isOperating(); });
            case 2:
            case 3:
            case 4:
            case 7:
                return likelyBuilding([owned](GBuildingNode* b) { return owned(b) && b->getCondition() != 0; });
            case 8:
                return likelyBuilding([](GBuildingNode* b) { return b->isBuyRequestPending(); });
            case 9:
                return likelyBuilding([](GBuildingNode* b) { return b->isForSale() && !b->isOwnedByThePlayer(); });
            default:
                return anyBuilding();
        }
    }

    void request() {
        CountedRef<Event> event;
        switch (uniform(5)) {
            case 0: event = CountedRef<Event>(new game::GBrokenBuildingRequestEvent()); break;
            case 1: event = CountedRef<Event>(new game::GDirtyBuildingRequestEvent()); break;
            case 2: event = CountedRef<Event>(new game::GSellBuildingRequestEvent()); break;
            case 3: {
                auto* letter = new game::GLetterRequestEvent();
                letter->moneyRange = vector2df(0.5f, 1.5f);
                letter->waitTimeRange = vector2df(2000.0f, 8000.0f);
                event = CountedRef<Event>(letter);
                break;
            }
            default: event = CountedRef<Event>(new game::GWeatherRequestEvent(1000, 5000)); break;
        }
        scene_.handleEvent(event.get());
    }

    HeadlessLevel& level_;
    GGameLevelScene& scene_;
    std::mt19937 pick_;
    std::vector<GBuildingConfig*> records_;
    std::map<const game::GBuildingTask*, uint32_t> taskSeen_;
    uint32_t elapsed_ = 0;
    uint32_t last_ = 0;
    uint32_t done_[12] = {};
};

// One play of the level until it is won or the time is spent; then the
// commands stop and everything must come to rest.
void play(const std::string& root, const char* folder, uint32_t seed, uint32_t runMs, uint32_t& elapsed) {
    HeadlessLevel level;
    HeadlessLevel::Options options;
    options.seed = seed;
    options.drawEveryMs = 100;  // drawn as the game draws it, so its traffic moves
    ASSERT_TRUE(level.load(root, folder, options)) << level.failure();
    GGameLevelScene* scene = level.scene();
    Soak soak(level, seed);
    size_t settledNodes = 0;
    size_t settledHeap = 0;
    const uint32_t budget = runMs - elapsed;
    // A won level is over: the HUD ends it and sends no more commands.
    while (soak.elapsed() < budget && !(scene->objectivesMet && scene->hintText.empty())) {
        soak.step();
        if (::testing::Test::HasFatalFailure()) return;
        if (settledNodes == 0 && soak.elapsed() >= budget / 4) {
            settledNodes = countNodes(scene);
            settledHeap = heapInUse();
        }
    }
    elapsed += soak.elapsed();
    const bool won = scene->objectivesMet && scene->hintText.empty();
    std::printf("%s seed %u: %u s%s, %zu history entries, commands done %s, heap %zu -> %zu KiB\n", folder, seed,
                soak.elapsed() / 1000u, won ? " (won)" : "", scene->history.size(), soak.summary().c_str(),
                settledHeap / 1024, heapInUse() / 1024);
    if (won) return;  // its tasks stand still with the level

    // The player takes the unsold buildings off the market, so that their
    // features run out.
    for (GBuildingNode* building : scene->buildings) {
        if (building->isOwnedByThePlayer() && building->isForSale()) building->setForSale(false);
    }
    level.advance(3 * 60 * 1000);
    soak.checkInvariants();
    for (const GBuildingNode* building : scene->buildings) {
        EXPECT_EQ(building->getJobState(), 0)
            << nameOfId(building->getName()).c_str() << " " << nameOfId(building->getRecord()->Name).c_str()
            << (building->isOwnedByThePlayer() ? " owned" : " not owned") << (building->isForSale() ? " for sale" : "")
            << " condition " << building->getCondition() << " visible " << building->isVisible();
    }
    for (const game::GBuildingTask* task : scene->tasks) EXPECT_EQ(task->getBuilding(), nullptr);
    EXPECT_EQ(scene->workers, scene->workersHired);
    if (settledNodes > 0) {
        const size_t nodes = countNodes(scene);
        EXPECT_LE(nodes, settledNodes + std::max<size_t>(100, settledNodes / 2))
            << settledNodes << " -> " << nodes << " (CargosNode " << countNodes(scene->cargosNode) << ", "
            << scene->cargosNode->getChildCount() << " movers)";
        // Memory stays flat too: a leak per command would add up over hours.
        EXPECT_LT(heapInUse(), settledHeap + 16u * 1024u * 1024u);
    }
}

}  // namespace

TEST(LevelSceneSoakTest, EveryShippedLevelTakesRandomCommandsForHours) {
    if (!level_test::haveBuiltLevel("levels/level1")) {
        SKIP_OR_FAIL_UNDER_CI() << "no built levels in " << kContentTree;
    }
    // The soak time is shared by the 35 levels, a minute of level time each at least.
    constexpr uint32_t kLevels = 35;
    const uint32_t runMs = std::max<uint32_t>(60u * 1000u, soakMinutes() * 60u * 1000u / kLevels);
    uint32_t seed = 1;
    for (uint32_t number = 1; number <= kLevels; ++number) {
        const std::string folder = "levels/level" + std::to_string(number) + "/";
        SCOPED_TRACE(folder);
        ASSERT_TRUE(level_test::haveBuiltLevel(folder));
        uint32_t elapsed = 0;
        while (elapsed < runMs) {
            play(kContentTree, folder.c_str(), seed++, runMs, elapsed);
            if (HasFatalFailure()) return;
        }
    }
}

// The small test level has what the shipped ones may lack: service
// providers, a ruin to restore, features with and without a job.
TEST(LevelSceneSoakTest, TheSmallLevelTakesRandomCommandsForHours) {
    testing_support::TempDir folder;
    HeadlessLevel::writeContent(folder.path().string());
    const uint32_t runMs = soakMinutes() * 60u * 1000u;
    uint32_t elapsed = 0;
    uint32_t seed = 100;
    while (elapsed < runMs) {
        play(folder.path().string(), "levels/test/", seed++, runMs, elapsed);
        if (HasFatalFailure()) return;
    }
}
