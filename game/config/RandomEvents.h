#pragma once
// Random events: timers that, after random delays, ask the level for a sale
// offer, a breakdown, dirt, a money letter or a shower. The level scene arms
// them with its event receiver and its scheduler and answers the requests.
#include "engine/core/EventReceiver.h"
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/TimerListener.h"
#include "engine/core/Types.h"
#include "engine/core/XmlReader.h"
#include "game/config/ConfigReading.h"
#include <vector>

namespace engine {
class RandomGenerator;
class TimerScheduler;
}  // namespace engine

namespace game {

class GRequestEvent;

// The request each kind sends.
enum class RandomRequestKind : int32_t { Sell, Broken, Dirty, Cafe, Letter, Weather };

class GRandomEvent : public engine::TimerListener {
public:
    static constexpr uint32_t kPeriodMs = 500;

    GRandomEvent(RandomRequestKind request, bool regular);

    bool onTimer(uint32_t periodMs) override;
    // Draws the first countdown (and the lifetime), keeps the receiver (not
    // counted) and moves the timer to the scheduler (none when null).
    virtual void arm(engine::EventReceiver* receiver, engine::TimerScheduler* scheduler);
    // Forgets the receiver and leaves the scheduler.
    virtual void detach();
    // Takes the attributes of the "Event" element the reader stands on.
    virtual void read(const engine::XmlReader& reader);

    void setPaused(bool paused) { paused_ = paused; }
    bool isPaused() const { return paused_; }
    // The generator of the draws; the process-wide one when null.
    void setRandomGenerator(engine::RandomGenerator* random) { random_ = random; }
    // False for an event whose data let it fire nothing (logged when read).
    bool canFire() const { return canFire_; }

    RandomRequestKind getRequestKind() const { return request_; }
    bool isRegular() const { return regular_; }
    int32_t getCountdown() const { return countdown_; }
    int32_t getLifetime() const { return lifetime_; }

    // One-time kinds.
    IntRange TimeRange;
    // Regular kinds.
    IntRange FirstTimeRange;
    IntRange LastTimeRange;
    IntRange PeriodRange;
    IntRange DurationTimeRange;  // weather
    engine::array<engine::NameId> BuildingTypes;
    engine::array<engine::NameId> PlaceNames;
    engine::vector2df MoneyRange{0.0f, 0.0f};     // letters
    engine::vector2df WaitTimeRange{0.0f, 0.0f};  // letters

private:
    int32_t draw(const IntRange& range);
    void send();
    void checkFiringRange(IntRange& range, const char* name, bool zeroMeansNever);

    RandomRequestKind request_;
    bool regular_;
    bool paused_ = false;
    bool canFire_ = true;
    engine::EventReceiver* receiver_ = nullptr;
    engine::RandomGenerator* random_ = nullptr;
    int32_t countdown_ = 0;
    int32_t lifetime_ = 0;  // regular kinds; 0 = unlimited
};

// A new event of the named kind (exact name), or null.
GRandomEvent* createRandomEvent(const engine::stringw& typeName);
// Every kind's name (for the content check's coverage).
std::vector<engine::stringw> randomEventKindNames();

class GRandomEventList : public virtual engine::RefCounted {
public:
    GRandomEventList() = default;
    ~GRandomEventList() override { clear(); }
    GRandomEventList(const GRandomEventList&) = delete;
    GRandomEventList& operator=(const GRandomEventList&) = delete;

    // Replaces the list with the "Event" children of the "RandomEvents"
    // element the reader stands on; ends on its end tag. False when the input
    // ends first.
    bool read(engine::XmlReader& reader);
    void clear();
    uint32_t size() const { return static_cast<uint32_t>(events_.size()); }
    GRandomEvent* at(uint32_t i) const { return events_[i]; }

private:
    std::vector<GRandomEvent*> events_;  // one count each
};

}  // namespace game
