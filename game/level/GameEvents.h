#pragma once
#include "engine/core/Event.h"
#include "engine/core/EventIds.h"

namespace game {

class GBuildingNode;
class GBuildingRecord;

// The common base of the game's events: category 4096, no payload.
class GGameEvent : public engine::Event {
    ENGINE_EVENT_TYPE(engine::Event, engine::EventId::GGameEvent)
    GGameEvent() : engine::Event(engine::EventCategory::Game) {}
};

// A construction or upgrade ended: the building and the record it now carries.
// Neither pointer is counted.
class GBuildingCompletedEvent : public GGameEvent {
    ENGINE_EVENT_TYPE(GGameEvent, engine::EventId::GBuildingCompletedEvent)
    GBuildingCompletedEvent(GBuildingNode* building, GBuildingRecord* record)
        : building_(building), record_(record) {}

    GBuildingNode* getBuilding() const { return building_; }
    GBuildingRecord* getRecord() const { return record_; }

private:
    GBuildingNode* building_;
    GBuildingRecord* record_;
};

// A timed building task finished or was cancelled: the building (not counted),
// and the materials and workers it hands back to the level.
class GTaskStepEvent : public GGameEvent {
    ENGINE_EVENT_TYPE(GGameEvent, engine::EventId::GTaskStepEvent)
    GTaskStepEvent(GBuildingNode* building, float materials, int32_t workers)
        : building_(building), materials_(materials), workers_(workers) {}

    GBuildingNode* getBuilding() const { return building_; }
    float getMaterials() const { return materials_; }
    int32_t getWorkers() const { return workers_; }

private:
    GBuildingNode* building_;
    float materials_;
    int32_t workers_;
};

}  // namespace game
