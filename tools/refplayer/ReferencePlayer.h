#pragma once
// A reference player: plays a shipped level headless through the level
// scene's own commands (build, upgrade, repair, order, feature, buy, sell,
// serve, collect a letter), the way a careful player would, and reports how
// it went. One general strategy serves every level: it reads the level's
// objectives and works towards the unmet ones, keeps its buildings running
// and otherwise invests in what pays back soonest. It never changes the level
// and never uses a developer key, so a level it wins is a level a person can
// win.
#include "game/config/LevelObjectives.h"

#include <cstdint>
#include <string>
#include <vector>

namespace game {
class GBuildingConfig;
class GBuildingNode;
class GGameLevelScene;
class OrderOption;
}  // namespace game

namespace refplayer {

struct Outcome {
    bool won = false;
    uint32_t timeMs = 0;     // simulated time until the objectives were met (or the cap)
    uint32_t commands = 0;   // commands the level carried out
    int32_t buildingsBuilt = 0;
    float peakMoney = 0.0f;
};

class ReferencePlayer {
public:
    explicit ReferencePlayer(game::GGameLevelScene& scene);

    // One decision: at most a few commands; called every few hundred
    // milliseconds of level time.
    void decide();
    uint32_t commands() const { return commands_; }
    // What the player did since the last call (for --trace).
    std::string takeTrace();
    int32_t buildingsBuilt() const { return built_; }

private:
    struct Goal {
        const game::GObjective* objective = nullptr;
        bool met = false;
    };
    // Ways to spend money, best first.
    struct Investment {
        enum Kind { kBuild, kBuy, kHire } kind = kBuild;
        game::GBuildingNode* building = nullptr;
        game::GBuildingConfig* record = nullptr;  // what a build or upgrade makes
        float cost = 0.0f;
        float value = 0.0f;  // income per day it adds, or a goal's weight
    };

    void collectLetters();
    void keepBuildingsRunning();
    void orderSupplies();
    void useFeatures();
    void tradeBuildings();
    void invest();
    // Carries the investment out; false when the level refused it. Short of
    // materials or workers it waits (true) for the supplies.
    bool execute(const Investment& choice);

    bool anyGoalUnmet() const;
    int32_t workersGoal() const;
    // What a built record is worth towards the unmet goals (0: nothing).
    float goalValue(const game::GBuildingConfig* record, const game::GBuildingNode* place) const;
    float incomeGain(game::GBuildingNode* place, const game::GBuildingConfig* record) const;
    bool buildable(const game::GBuildingConfig* record) const;
    // The money kept back: a materials order and the running features.
    float reserve() const;
    float materialsWanted() const;
    const game::OrderOption* cheapestOption(bool materials) const;
    bool act(bool done, const char* what = "", const game::GBuildingNode* building = nullptr,
             const game::GBuildingConfig* record = nullptr);

    game::GGameLevelScene& scene_;
    std::vector<const game::GObjective*> objectives_;
    uint32_t commands_ = 0;
    int32_t built_ = 0;
    std::string trace_;
    // The money being saved up for a goal's investment (0: none).
    float savingFor_ = 0.0f;
};

// The build lists' records, the ones a player can pick to build.
const std::vector<std::string>& buildListRecords();

}  // namespace refplayer
