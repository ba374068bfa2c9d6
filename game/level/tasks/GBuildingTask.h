#pragma once
// The base of every timed job on a building and of the level's cloud drift.
//
// The level scene keeps its tasks in a list, calls run(ms) once per level tick
// and releases a task whose run answered false. A task animates its props in
// the level (bus, helicopter, construction site, progress bar), counts its
// work time and reports its result to the level scene as game events. The
// HUD reads getProgress through the building and cancels through it.
//
// A task that watches its props listens (as a post-listener) to the level's
// CargosNode and to its building; its destructor stops listening and removes
// every node it created.
#include "engine/core/Event.h"
#include "engine/core/EventMap.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include <cstdint>
#include <vector>

namespace engine {
class BaseNode;
class BaseProgressBarNode;
class Event;
class TemplateCollectionNode;
}  // namespace engine

namespace game {

class GBuildingConfig;
class GBuildingNode;
class GGameLevelScene;
class GLevelConfig;
class GLevelPath;
class GPathMovableNode;

class GBuildingTask : public engine::EventReceiver {
public:
    // Takes game events (4096) and node events (32).
    GBuildingTask();
    ~GBuildingTask() override;
    GBuildingTask(const GBuildingTask&) = delete;
    GBuildingTask& operator=(const GBuildingTask&) = delete;

    // The base handles nothing; tasks that watch nodes install an event map.
    bool handleEvent(engine::Event* event) override;
    bool routeToParent(int32_t mode, engine::Event* event) override;
    bool routeToChildren(int32_t mode, engine::Event* event) override;

    // Share of the work done, 0 to 1.
    virtual float getProgress() = 0;
    // Advances the task by one level tick; false once it has finished (its
    // result events are posted by then).
    virtual bool run(uint32_t ms) = 0;
    // Reverts the building, clears its job and hands back what the command
    // took. A task is cancelled at most once; the level releases it at its
    // next run.
    virtual void cancel() {}

    GBuildingNode* getBuilding() const { return building_.get(); }
    float getMaterials() const { return materials_; }
    int32_t getWorkers() const { return workers_; }
    GPathMovableNode* getBus() const { return bus_.get(); }
    engine::BaseProgressBarNode* getProgressBar() const { return progressBar_.get(); }

protected:
    // The fields most tasks share. The level scene is not counted: it owns
    // the task.
    GBuildingTask(GGameLevelScene* scene, GBuildingNode* building, engine::BaseNode* cargosNode,
                  engine::TemplateCollectionNode* templates, GLevelPath* path, float materials,
                  int32_t workers);

    // Post-listening on CargosNode and the building; the destructor ends it.
    void listen();
    void stopListening();

    // Hands the event to the level scene; unhandled, it goes on to the
    // scene's parent (mode 3). Takes over the caller's reference.
    void post(engine::Event* adopted);

    // The level record (the scene's, else the building's), or null.
    GLevelConfig* levelConfig() const;
    // The level's work-speed factor; 1.0 without a level record.
    float buildTimeM() const;

    // A copy of the named template made under the parent, shown; null (and
    // an error logged once per name) when the collection lacks it.
    engine::BaseNode* instantiate(const char* templateName, engine::BaseNode* parent,
                                  bool logMissing = true);
    // The node's children enter the named state (nothing for a null node).
    static void enterState(engine::BaseNode* node, const char* state);
    // Takes a node out of its parent, keeping it alive across the removal.
    static void removeFromParent(engine::BaseNode* node);

    // Clears the building's job only when this task is its current job, so
    // that the end of an old task never frees a place another job now holds.
    void clearOwnJob();

    // Delivery bus along the path: made when the path has at least two points
    // and the "Bus" template exists. True when there is a bus now.
    bool startBus(float speed, bool joinTraffic, bool playCue);
    // The bus drives the path back with the end tag "MovingFrom".
    void driveBusBack();
    void removeBus();
    // Whether the path asks for a bus (two points or more).
    bool hasDeliveryPath() const { return pathPoints_.size() >= 2; }

    // The bar "ProgressBarOverBuilding" over the building: range 0..1, value 0.
    void createProgressBar();
    void showProgress(float value);
    void removeProgressBar();

    // Share of a time that counts down from total, clamped to 0..1; a total
    // of 0 or below is already done.
    static float countdownShare(float total, float remaining);

    // Whether the building has the input focus.
    bool buildingFocused() const;

    GGameLevelScene* scene_ = nullptr;
    engine::CountedRef<GBuildingNode> building_;
    engine::CountedRef<GBuildingConfig> record_;
    engine::CountedRef<engine::BaseNode> cargosNode_;
    engine::CountedRef<engine::TemplateCollectionNode> templates_;
    std::vector<engine::vector2df> pathPoints_;
    engine::CountedRef<GPathMovableNode> bus_;
    engine::CountedRef<engine::BaseProgressBarNode> progressBar_;
    int32_t state_ = 0;
    float materials_ = 0.0f;
    int32_t workers_ = 0;
    float workTime_ = 0.0f;

private:
    bool listening_ = false;
};

// The event map of a task that follows its props through their
// NodeTagReachedEvent (handled by the class's onEvent70).
template <class T>
const engine::EventMap<T>& tagReachedEventMap() {
    static const engine::EventMap<T> map({
        {engine::EventId::NodeTagReachedEvent,
         [](T& task, engine::Event* e) { return task.onEvent70(dynamic_cast<engine::NodeTagReachedEvent*>(e)); }},
    });
    return map;
}

// Name ids the tasks compare against, made once.
namespace TaskNames {
engine::NameId movingTo();
engine::NameId movingFrom();
}  // namespace TaskNames

}  // namespace game
