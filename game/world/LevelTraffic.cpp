#include "game/world/LevelTraffic.h"
#include "engine/core/BaseNode.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TemplateCollectionNode.h"
#include "game/common/GBaseSceneNode.h"
#include "game/world/PathMovers.h"

#include <algorithm>
#include <cmath>

using namespace engine;

namespace game {

LevelTraffic::LevelTraffic(BaseNode* levelScene, BaseNode* carParent) : carParent_(carParent) {
    buildSpawners(levelPathsOfScene(levelScene));
}

LevelTraffic::LevelTraffic(GLevelPaths* paths, BaseNode* carParent) : carParent_(carParent) {
    buildSpawners(paths);
}

LevelTraffic::~LevelTraffic() = default;

void LevelTraffic::buildSpawners(GLevelPaths* paths) {
    if (!paths) return;
    for (GLevelPath* path : paths->carPaths(makeNameId("NeutralCar"))) {
        if (path->cars.empty()) continue;
        if (path->time.min == 0 && path->time.max == 0) continue;
        if (path->points.size() < 2) {
            logWarning("A neutral car path of fewer than two points is skipped");
            continue;
        }
        if (path->time.max <= 0) {
            // Its countdown would be re-armed at or below zero: a car on every tick.
            logWarning("A neutral car path whose time range ends at 0 or below is skipped");
            continue;
        }
        TrafficSpawner spawner;
        spawner.path = CountedRef<GLevelPath>::share(path);
        spawner.countdown = static_cast<int32_t>(getRandomGenerator().nextMWC() % static_cast<uint32_t>(path->time.max));
        spawners_.push_back(spawner);
    }
}

void LevelTraffic::rearm(TrafficSpawner& spawner, uint32_t ms) {
    const int32_t low = std::min(spawner.path->time.min, spawner.path->time.max);
    const int32_t high = std::max(spawner.path->time.min, spawner.path->time.max);
    // The span in unsigned arithmetic: a range from the far negative to the far
    // positive end still has one.
    const uint32_t span = static_cast<uint32_t>(high) - static_cast<uint32_t>(low);
    int32_t countdown = low;
    if (span != 0) countdown = static_cast<int32_t>(static_cast<uint32_t>(low) + getRandomGenerator().nextMWC() % span);
    // Never sooner than the next tick.
    spawner.countdown = std::max(countdown, static_cast<int32_t>(std::max<uint32_t>(ms, 1u)));
}

GCarNode* LevelTraffic::spawnCar(size_t spawnerIndex) {
    if (spawnerIndex >= spawners_.size() || !carParent_) return nullptr;
    TrafficSpawner& spawner = spawners_[spawnerIndex];
    const GLevelPath& path = *spawner.path;
    const int32_t n = static_cast<int32_t>(path.cars.size());
    if (n == 0) return nullptr;
    int32_t k = 0;
    if (n >= 2) {
        k = getRandomGenerator().rangeInt(0, n - 1);
        if (k == spawner.lastIndex) k = n - 1;
    }
    spawner.lastIndex = k;

    BaseNode* manager = carParent_->getManager();
    TemplateCollectionNode* templates = manager ? manager->getTemplateCollection() : nullptr;
    BaseNode* templateNode = templates ? templates->getTemplate(path.cars[static_cast<uint32_t>(k)]) : nullptr;
    if (!nodeCast<GCarNode>(templateNode)) return nullptr;
    GCarNode* car = nodeCast<GCarNode>(templateNode->clone(carParent_, manager));
    if (!car) return nullptr;
    car->setVisible(true);
    car->setSpeed(70.0f + static_cast<float>(getRandomGenerator().nextMWC() % 10u));
    car->setTraffic(this, false);
    std::vector<vector2df> points;
    points.reserve(path.points.size());
    for (const PathPoint& p : path.points) points.emplace_back(p.x, p.y);
    car->start(points, kNoName, false, false);
    return car;
}

void LevelTraffic::tick(uint32_t ms) {
    RandomGenerator& random = getRandomGenerator();
    if (firstTick_) {
        for (size_t i = 0; i < spawners_.size(); ++i) {
            if ((random.nextMT() & 1u) != 0u) continue;
            if (GCarNode* car = spawnCar(i))
                car->update(ms * static_cast<uint32_t>(random.rangeInt(0, 510)));
        }
        firstTick_ = false;
    }

    for (size_t i = 0; i < spawners_.size(); ++i) {
        TrafficSpawner& spawner = spawners_[i];
        spawner.countdown = saturatingAdd(spawner.countdown, -saturatingInt(ms));
        if (spawner.countdown < 1) {
            rearm(spawner, ms);
            spawnCar(i);
        }
    }

    for (const TrafficMover& priority : movers_) {
        if (!priority.priority) continue;
        const vector3df& p = priority.mover->getPosition();
        for (TrafficMover& car : movers_) {
            if (car.priority || car.mover == priority.mover) continue;
            const vector3df& q = car.mover->getPosition();
            if (std::fabs(q.X - p.X) < kMakeWayDistanceX && std::fabs(q.Y - p.Y) < kMakeWayDistanceY) {
                car.state = MakingWay;
                car.timer = kMakeWayTimeMs;
                car.mover->setSpeed(kMakeWaySpeed);
            }
        }
    }

    for (TrafficMover& entry : movers_) {
        entry.position = entry.mover->getPosition();
        if (entry.state == MakingWay) {
            entry.timer -= static_cast<float>(ms);
            if (entry.timer < 0.0f) {
                entry.timer = 0.0f;
                entry.state = Normal;
                entry.mover->setSpeed(entry.savedSpeed);
            }
        }
        if (!entry.horn && entry.position.X >= kHornFromX && entry.position.X <= kHornToX) {
            entry.horn = true;
            playCue("GameCar");
        }
    }
}

void LevelTraffic::addMover(GPathMovableNode* mover, bool priority) {
    if (!mover) return;
    TrafficMover entry;
    entry.priority = priority;
    entry.savedSpeed = mover->getSpeed();
    entry.state = Normal;
    entry.timer = 0.0f;
    entry.horn = priority ? true : (getRandomGenerator().nextMWC() & 1u) != 0u;
    entry.position = mover->getPosition();
    entry.mover = mover;
    movers_.push_back(entry);
}

void LevelTraffic::removeMover(GPathMovableNode* mover) {
    for (auto it = movers_.begin(); it != movers_.end(); ++it) {
        if (it->mover == mover) {
            movers_.erase(it);
            return;
        }
    }
}

}  // namespace game
