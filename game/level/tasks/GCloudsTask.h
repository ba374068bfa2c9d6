#pragma once
// Keeps clouds drifting across the level for as long as the level runs: three
// at the start, one more about every 10 s; each one crosses the screen to the
// bottom left and is removed when it arrives.
#include "engine/core/EventMap.h"
#include "game/level/tasks/GBuildingTask.h"
#include <vector>

namespace engine {
class NodeTagReachedEvent;
}

namespace game {

class GCloudsTask : public GBuildingTask {
    ENGINE_DECLARE_EVENT_MAP(GCloudsTask)

public:
    GCloudsTask(engine::BaseNode* cargosNode, engine::TemplateCollectionNode* templates);
    ~GCloudsTask() override;

    float getProgress() override { return 0.0f; }
    // Runs for the whole level; false only without a template collection.
    bool run(uint32_t ms) override;

    virtual bool onEvent70(engine::NodeTagReachedEvent* event);

    const std::vector<engine::CountedRef<GPathMovableNode>>& getClouds() const { return clouds_; }
    int32_t getCountdown() const { return countdown_; }
    int32_t getSpawned() const { return spawned_; }
    int32_t getArrived() const { return arrived_; }

    // One more cloud; nothing when no cloud template is there.
    void spawn();

private:
    std::vector<engine::CountedRef<GPathMovableNode>> clouds_;
    int32_t countdown_ = 0;
    int32_t spawned_ = 0;
    int32_t arrived_ = 0;
    bool missingLogged_ = false;
};

}  // namespace game
