#pragma once
// The background traffic of a level: neutral cars spawned at random intervals
// on the level's "NeutralCar" paths, driving on their own (GCarNode), and the
// vehicles of the level tasks, which join as priority movers. Neutral cars
// near a priority mover speed up to clear the way; about half the neutral
// cars sound the horn once as they cross the middle of the screen.
//
// The traffic is counted: the level scene holds one reference and every mover
// that joined holds one more, so it lives until the last mover has left.
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "game/config/LevelPaths.h"

#include <cstdint>
#include <vector>

namespace engine {
class BaseNode;
}  // namespace engine

namespace game {

class GCarNode;
class GPathMovableNode;

class LevelTraffic : public virtual engine::RefCounted {
public:
    // Neutral cars within this distance of a priority mover (strictly) make way.
    static constexpr float kMakeWayDistanceX = 35.0f;
    static constexpr float kMakeWayDistanceY = 16.0f;
    static constexpr float kMakeWaySpeed = 160.0f;
    static constexpr float kMakeWayTimeMs = 1000.0f;
    // The stretch of x in which a car may sound its horn.
    static constexpr float kHornFromX = 400.0f;
    static constexpr float kHornToX = 600.0f;

    enum MoverState : int32_t { Normal = 1, MakingWay = 2 };

    struct TrafficSpawner {
        engine::CountedRef<GLevelPath> path;
        int32_t countdown = 0;  // ms to the next car
        int32_t lastIndex = 0;  // the car template used last
    };

    struct TrafficMover {
        bool priority = false;
        float savedSpeed = 0.0f;
        int32_t state = Normal;
        float timer = 0.0f;  // ms of making way left
        bool horn = false;   // the horn has sounded, or never will
        engine::vector3df position;
        GPathMovableNode* mover = nullptr;  // not counted: the mover leaves as it dies
    };

    // The traffic of a level scene, its cars made children of `carParent`
    // (the scene's "CargosNode"); spawners come from the scene's paths.
    LevelTraffic(engine::BaseNode* levelScene, engine::BaseNode* carParent);
    // The same from the paths themselves (null: no spawners).
    LevelTraffic(GLevelPaths* paths, engine::BaseNode* carParent);
    // Movers still listed lose their link to it.
    ~LevelTraffic() override;
    LevelTraffic(const LevelTraffic&) = delete;
    LevelTraffic& operator=(const LevelTraffic&) = delete;

    // One tick of ms milliseconds: the street is populated on the first call;
    // spawners count down and spawn; neutral cars near priority movers make
    // way and recover; horns sound.
    void tick(uint32_t ms);

    // Records a mover that joined (GPathMovableNode::setTraffic calls these).
    void addMover(GPathMovableNode* mover, bool priority);
    // Forgets the first entry of the mover; nothing when it is not listed.
    void removeMover(GPathMovableNode* mover);

    // Clones a car template of spawner i into the car parent and starts it
    // along the spawner's path; null when the template is missing or is not a
    // car, or for an index out of range.
    GCarNode* spawnCar(size_t spawnerIndex);

    const std::vector<TrafficSpawner>& getSpawners() const { return spawners_; }
    const std::vector<TrafficMover>& getMovers() const { return movers_; }
    engine::BaseNode* getCarParent() const { return carParent_; }

private:
    void buildSpawners(GLevelPaths* paths);
    // The next countdown: Time min plus a draw up to max, at least one tick.
    void rearm(TrafficSpawner& spawner, uint32_t ms);

    bool firstTick_ = true;
    engine::BaseNode* carParent_ = nullptr;  // not counted
    std::vector<TrafficSpawner> spawners_;
    std::vector<TrafficMover> movers_;
};

}  // namespace game
