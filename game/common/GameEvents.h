#pragma once
// The events the level simulation, the HUD and the tutorial send each other:
// engine events of category 4096 with type ids 4096 to 4118, told apart by
// type id only. Building and record pointers in payloads are never counted.
#include "engine/core/Event.h"
#include "engine/core/EventIds.h"
#include "engine/core/NameId.h"
#include "engine/core/Types.h"

namespace game {

class GBuildingNode;
class GBuildingConfig;

// The common base of the game's events: category 4096, no payload.
class GGameEvent : public engine::Event {
    ENGINE_EVENT_TYPE(engine::Event, engine::EventId::GGameEvent)
    GGameEvent() : engine::Event(engine::EventCategory::Game) {}
};

// Every objective of the level is met. It shares the base's type id, so an
// event map entry for 4096 only ever receives this class. The flag is set by
// the sender and read by nobody.
class GLevelCompletedEvent : public GGameEvent {
    ENGINE_EVENT_TYPE(GGameEvent, engine::EventId::GLevelCompletedEvent)
    explicit GLevelCompletedEvent(bool flag = true) : flag_(flag ? 1 : 0) {}

    bool getFlag() const { return flag_ != 0; }

private:
    uint8_t flag_;
};

class GNewDayEvent : public GGameEvent {
    ENGINE_EVENT_TYPE(GGameEvent, engine::EventId::GNewDayEvent)
};

// The selected building changed: the new one (null when the selection was
// cleared) and the one selected before (may be null).
class GBuildingSelectionEvent : public GGameEvent {
    ENGINE_EVENT_TYPE(GGameEvent, engine::EventId::GBuildingSelectionEvent)
    GBuildingSelectionEvent(GBuildingNode* selected, GBuildingNode* previous)
        : selected_(selected), previous_(previous) {}

    GBuildingNode* getSelected() const { return selected_; }
    GBuildingNode* getPrevious() const { return previous_; }

private:
    GBuildingNode* selected_;
    GBuildingNode* previous_;
};

class GLevelChangedEvent : public GGameEvent {
    ENGINE_EVENT_TYPE(GGameEvent, engine::EventId::GLevelChangedEvent)
};

// The events that carry only the building they are about.
class GBuildingEvent : public GGameEvent {
public:
    GBuildingNode* getBuilding() const { return building_; }

protected:
    explicit GBuildingEvent(GBuildingNode* building) : building_(building) {}

private:
    GBuildingNode* building_;
};

// A construction or upgrade ended: the building and the record it now carries.
class GBuildingCompletedEvent : public GBuildingEvent {
    ENGINE_EVENT_TYPE(GBuildingEvent, engine::EventId::GBuildingCompletedEvent)
    GBuildingCompletedEvent(GBuildingNode* building, GBuildingConfig* record)
        : GBuildingEvent(building), record_(record) {}

    GBuildingConfig* getRecord() const { return record_; }

private:
    GBuildingConfig* record_;
};

#define GAME_BUILDING_EVENT(Name)                                              \
    class Name : public GBuildingEvent {                                       \
        ENGINE_EVENT_TYPE(GBuildingEvent, engine::EventId::Name)               \
        explicit Name(GBuildingNode* building) : GBuildingEvent(building) {}   \
    };

GAME_BUILDING_EVENT(GRepairCompletedEvent)
GAME_BUILDING_EVENT(GCleaningCompletedEvent)
GAME_BUILDING_EVENT(GBusVisitCompletedEvent)
GAME_BUILDING_EVENT(GServiceCompletedEvent)
GAME_BUILDING_EVENT(GDestructionCompletedEvent)

#undef GAME_BUILDING_EVENT

// A quarter payment of a boosting feature.
class GIncomeEvent : public GBuildingEvent {
    ENGINE_EVENT_TYPE(GBuildingEvent, engine::EventId::GIncomeEvent)
    GIncomeEvent(GBuildingNode* building, float amount) : GBuildingEvent(building), amount_(amount) {}

    float getAmount() const { return amount_; }

private:
    float amount_;
};

// A feature's active period ended.
class GFeatureUsedEvent : public GBuildingEvent {
    ENGINE_EVENT_TYPE(GBuildingEvent, engine::EventId::GFeatureUsedEvent)
    GFeatureUsedEvent(GBuildingNode* building, int32_t featureIndex)
        : GBuildingEvent(building), featureIndex_(featureIndex) {}

    int32_t getFeatureIndex() const { return featureIndex_; }

private:
    int32_t featureIndex_;
};

// A timed building task finished or was cancelled: the materials and workers
// it hands back to the level.
class GTaskStepEvent : public GBuildingEvent {
    ENGINE_EVENT_TYPE(GBuildingEvent, engine::EventId::GTaskStepEvent)
    GTaskStepEvent(GBuildingNode* building, float materials, int32_t workers)
        : GBuildingEvent(building), materials_(materials), workers_(workers) {}

    float getMaterials() const { return materials_; }
    int32_t getWorkers() const { return workers_; }

private:
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

class GPauseRequestEvent : public GGameEvent {
    ENGINE_EVENT_TYPE(GGameEvent, engine::EventId::GPauseRequestEvent)
    explicit GPauseRequestEvent(bool pause) : pause_(pause ? 1 : 0) {}

    bool isPause() const { return pause_ != 0; }

private:
    uint8_t pause_;
};

// Asks whether an owned building of one of the types exists; the level sets
// the answer, which is false when the event is sent.
class GBuildingExistsQueryEvent : public GGameEvent {
    ENGINE_EVENT_TYPE(GGameEvent, engine::EventId::GBuildingExistsQueryEvent)

    engine::array<engine::NameId>& getBuildingTypes() { return buildingTypes_; }
    const engine::array<engine::NameId>& getBuildingTypes() const { return buildingTypes_; }
    bool getAnswer() const { return answer_ != 0; }
    void setAnswer(bool answer) { answer_ = answer ? 1 : 0; }

private:
    engine::array<engine::NameId> buildingTypes_;
    uint8_t answer_ = 0;
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
