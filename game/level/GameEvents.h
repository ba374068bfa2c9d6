#pragma once
#include "engine/core/Event.h"
#include "engine/core/EventIds.h"
#include "engine/core/NameId.h"
#include "engine/core/Types.h"

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

// The base of the requests a level answers (never sent by itself): the building
// types and the place names the request may pick from; empty means any.
class GRequestEvent : public GGameEvent {
    ENGINE_EVENT_TYPE(GGameEvent, engine::EventId::GRequestEvent)
    GRequestEvent() = default;

    engine::array<engine::NameId> buildingTypes;
    engine::array<engine::NameId> placeNames;
};

// An offer to sell a building to the player.
class GSellBuildingRequestEvent : public GRequestEvent {
    ENGINE_EVENT_TYPE(GRequestEvent, engine::EventId::GSellBuildingRequestEvent)
};

// A building breaks down.
class GBrokenBuildingRequestEvent : public GRequestEvent {
    ENGINE_EVENT_TYPE(GRequestEvent, engine::EventId::GBrokenBuildingRequestEvent)
};

// A decoration gets dirty.
class GDirtyBuildingRequestEvent : public GRequestEvent {
    ENGINE_EVENT_TYPE(GRequestEvent, engine::EventId::GDirtyBuildingRequestEvent)
};

// Accepted by the level without an effect.
class GCafeBuildingRequestEvent : public GRequestEvent {
    ENGINE_EVENT_TYPE(GRequestEvent, engine::EventId::GCafeBuildingRequestEvent)
};

// A money letter arrives at a hotel: the money factor range and the letter's
// lifetime range in ms.
class GLetterRequestEvent : public GRequestEvent {
    ENGINE_EVENT_TYPE(GRequestEvent, engine::EventId::GLetterRequestEvent)

    engine::vector2df moneyRange{0.0f, 0.0f};
    engine::vector2df waitTimeRange{0.0f, 0.0f};
};

// A shower of rain or snow: its duration range in ms.
class GWeatherRequestEvent : public GGameEvent {
    ENGINE_EVENT_TYPE(GGameEvent, engine::EventId::GWeatherRequestEvent)
    GWeatherRequestEvent(int32_t minDuration, int32_t maxDuration)
        : minDuration(minDuration), maxDuration(maxDuration) {}

    int32_t minDuration;
    int32_t maxDuration;
};

}  // namespace game
