// What one 20 ms step of a level costs with 100 buildings: the level scene's
// tick alone (clocks, tasks, letters, deliveries and, once a day, the
// refresh), the whole scene scheduler for 20 ms (the level tick, the
// buildings' 50 ms timers, traffic and the running tasks), and one refresh.
// The level runs headless on the small test content, grown to a 10 x 10 grid
// of owned hotels, gardens and shops with a few constructions running.
//   bench/level_tick_bench [ticks]
#include "engine/core/TimerScheduler.h"
#include "game/config/LevelConfig.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "support/HeadlessLevel.h"
#include "support/TempDir.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

using testing_support::HeadlessLevel;
using testing_support::SmallContent;

namespace {

using Clock = std::chrono::steady_clock;

// 100 owned places: mostly hotels, a garden and a shop in every row, and
// every tenth place empty for the constructions.
std::string hundredPlaces() {
    std::string places;
    for (int i = 0; i < 100; ++i) {
        const int column = i % 10;
        const char* kind = column == 0 ? "BuildingPlace" : column == 4 ? "Garden" : column == 7 ? "Shop" : "Hotel1";
        char node[512];
        std::snprintf(node, sizeof(node),
                      "    <SceneNode Type=\"GBuildingNode\"><Properties><string Name=\"Name\" Value=\"Place%03d\"/>"
                      "<string Name=\"TemplateName\" Value=\"%s\"/><bool Name=\"IsOwnedByThePlayer\" Value=\"true\"/>"
                      "<vector3d Name=\"Position\" Value=\"%d;%d;0\"/><vector3d Name=\"Bounds\" Value=\"90;50;0\"/>"
                      "</Properties></SceneNode>\n",
                      i, kind, column * 100, (i / 10) * 70);
        places += node;
    }
    return places;
}

double nsSince(Clock::time_point start, uint32_t count) {
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / count;
}

}  // namespace

int main(int argc, char** argv) {
    const uint32_t ticks = argc > 1 ? static_cast<uint32_t>(std::atoi(argv[1])) : 50000;
    testing_support::TempDir folder;
    SmallContent content;
    const std::string buildingsStart = "<SceneNode Type=\"ControlNode\"><Properties><string Name=\"Name\" Value=\"Buildings\"/>"
                                       "<vector3d Name=\"Bounds\" Value=\"1024;768;0\"/></Properties>\n";
    const size_t from = content.level.find(buildingsStart) + buildingsStart.size();
    const size_t to = content.level.find("  </SceneNode>\n", from);
    content.level.replace(from, to - from, hundredPlaces());
    HeadlessLevel::writeContent(folder.path().string(), content);

    HeadlessLevel level;
    if (!level.load(folder.path().string(), "levels/test/")) {
        std::fprintf(stderr, "level_tick_bench: %s\n", level.failure().c_str());
        return 1;
    }
    game::GGameLevelScene* scene = level.scene();
    scene->money = 1e9f;
    scene->materials = 1e6f;
    scene->workers = 1000;
    level.config()->dayLength = 60;
    std::printf("level with %zu buildings, %zu tasks\n", scene->buildings.size(), scene->tasks.size());

    // A few constructions keep running through the measurement.
    auto startWork = [&] {
        for (game::GBuildingNode* building : scene->buildings) {
            if (building->getJobState() == 0 && building->getRecord()->Level == 0) {
                scene->build(building, level.record("Hotel1"));
            } else if (building->getJobState() == 0 && building->getRecord()->NextLevelName != engine::kNoName &&
                       building->getName() % 9 == 0) {
                scene->upgrade(building);
            }
        }
    };
    startWork();

    // The level's tick alone, as its timer calls it.
    const Clock::time_point tickStart = Clock::now();
    for (uint32_t i = 0; i < ticks; ++i) {
        scene->onTick(game::GGameLevelScene::kTickMs);
        if (i % 500 == 0) level.deliver();
    }
    const double tickNs = nsSince(tickStart, ticks);

    // Everything on the level's scheduler for 20 ms.
    startWork();
    engine::TimerScheduler* scheduler = scene->getTimerScheduler();
    const Clock::time_point stepStart = Clock::now();
    for (uint32_t i = 0; i < ticks; ++i) {
        scheduler->update(game::GGameLevelScene::kTickMs);
        if (i % 500 == 0) {
            level.deliver();
            startWork();
        }
    }
    const double stepNs = nsSince(stepStart, ticks);

    const uint32_t refreshes = ticks / 50 + 1;
    const Clock::time_point refreshStart = Clock::now();
    for (uint32_t i = 0; i < refreshes; ++i) scene->refresh();
    const double refreshNs = nsSince(refreshStart, refreshes);
    level.deliver();

    std::printf("level tick (onTick 20 ms):       %10.0f ns  (%.3f %% of a 10 ms step)\n", tickNs, tickNs / 1e5);
    std::printf("scene scheduler for 20 ms:       %10.0f ns  (%.3f %% of a 10 ms step)\n", stepNs, stepNs / 1e5);
    std::printf("refresh (once a day and on commands): %10.0f ns\n", refreshNs);
    std::printf("%u ticks, %zu history entries\n", ticks, scene->history.size());
    return 0;
}
