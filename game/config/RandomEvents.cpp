#include "game/config/RandomEvents.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/PropertyData.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TimerScheduler.h"
#include "game/common/GameEvents.h"

namespace game {

using engine::XmlReader;

namespace {

struct KindEntry {
    const wchar_t* name;
    RandomRequestKind request;
    bool regular;
};

const KindEntry kKinds[] = {
    {L"OneTimeSellBuildingRequest", RandomRequestKind::Sell, false},
    {L"RegularSellBuildingRequest", RandomRequestKind::Sell, true},
    {L"OneTimeBrokenBuildingRequest", RandomRequestKind::Broken, false},
    {L"RegularBrokenBuildingRequest", RandomRequestKind::Broken, true},
    {L"OneTimeDirtyBuildingRequest", RandomRequestKind::Dirty, false},
    {L"RegularDirtyBuildingRequest", RandomRequestKind::Dirty, true},
    {L"OneTimeLetterRequest", RandomRequestKind::Letter, false},
    {L"RegularLetterRequest", RandomRequestKind::Letter, true},
    {L"RegularWeatherEffectRequest", RandomRequestKind::Weather, true},
    {L"OneTimeCafeBuildingRequest", RandomRequestKind::Cafe, false},
    {L"RegularCafeBuildingRequest", RandomRequestKind::Cafe, true},
};

const char* const kWhat = "RandomEvents";

}  // namespace

std::vector<engine::stringw> randomEventKindNames() {
    std::vector<engine::stringw> names;
    for (const KindEntry& entry : kKinds) names.emplace_back(entry.name);
    return names;
}

GRandomEvent* createRandomEvent(const engine::stringw& typeName) {
    for (const KindEntry& entry : kKinds) {
        if (typeName == entry.name) return new GRandomEvent(entry.request, entry.regular);
    }
    return nullptr;
}

GRandomEvent::GRandomEvent(RandomRequestKind request, bool regular) : request_(request), regular_(regular) {
    setPeriod(kPeriodMs);
}

// A range that is not (0, 0) but ends at 0 or below would fire on every call
// (or, for a lifetime, never end); `zeroMeansNever` marks the period, for
// which (0, 0) does the same.
void GRandomEvent::checkFiringRange(IntRange& range, const char* name, bool zeroMeansNever) {
    keepWithin(range, -bounds::kTimeMs, bounds::kTimeMs, kWhat, name);
    orderRange(range, (engine::stringc(kWhat) + " " + name).c_str());
    if (range.max > 0) return;
    if (range.isZero() && !zeroMeansNever) return;
    logConfigError(kWhat, engine::stringc(name) + " " + numberText(range.min) + ", " + numberText(range.max) +
                              " ends at 0 or below; the event will not fire");
    canFire_ = false;
}

void GRandomEvent::read(const XmlReader& reader) {
    const bool weather = request_ == RandomRequestKind::Weather;
    canFire_ = true;
    if (regular_) {
        FirstTimeRange = parseIntRange(reader.getAttributeValue(L"FirstTimeRange"));
        LastTimeRange = parseIntRange(reader.getAttributeValue(L"LastTimeRange"));
        PeriodRange = parseIntRange(reader.getAttributeValue(L"PeriodRange"));
        checkFiringRange(FirstTimeRange, "FirstTimeRange", false);
        checkFiringRange(LastTimeRange, "LastTimeRange", false);
        checkFiringRange(PeriodRange, "PeriodRange", true);
    } else {
        TimeRange = parseIntRange(reader.getAttributeValue(L"TimeRange"));
        checkFiringRange(TimeRange, "TimeRange", false);
    }
    if (weather) {
        DurationTimeRange = parseIntRange(reader.getAttributeValue(L"DurationTimeRange"));
        keepWithin(DurationTimeRange, 0, bounds::kTimeMs, kWhat, "DurationTimeRange");
        orderRange(DurationTimeRange, "RandomEvents DurationTimeRange");
    } else {
        BuildingTypes = nameListAttribute(reader, L"BuildingTypes");
        PlaceNames = nameListAttribute(reader, L"PlaceNames");
    }
    if (request_ == RandomRequestKind::Letter) {
        MoneyRange = engine::parseVector2d(reader.getAttributeValue(L"MoneyRange"));
        WaitTimeRange = engine::parseVector2d(reader.getAttributeValue(L"WaitTimeRange"));
        // The money range scales the building's income: a factor.
        keepWithin(MoneyRange, 0.0f, bounds::kFactor, kWhat, "MoneyRange");
        keepWithin(WaitTimeRange, 0.0f, static_cast<float>(bounds::kTimeMs), kWhat, "WaitTimeRange");
        orderRange(MoneyRange, "RandomEvents MoneyRange");
        orderRange(WaitTimeRange, "RandomEvents WaitTimeRange");
    }
}

int32_t GRandomEvent::draw(const IntRange& range) {
    engine::RandomGenerator& random = random_ ? *random_ : engine::getRandomGenerator();
    return random.rangeInt(range.min, range.max);
}

void GRandomEvent::arm(engine::EventReceiver* receiver, engine::TimerScheduler* scheduler) {
    receiver_ = receiver;
    if (!canFire_) {
        setTimerScheduler(nullptr);
        return;
    }
    if (regular_) {
        countdown_ = draw(FirstTimeRange.isZero() ? PeriodRange : FirstTimeRange);
        if (!LastTimeRange.isZero()) lifetime_ = draw(LastTimeRange);
    } else {
        countdown_ = draw(TimeRange);
    }
    setTimerScheduler(scheduler);
}

void GRandomEvent::detach() {
    receiver_ = nullptr;
    setTimerScheduler(nullptr);
}

void GRandomEvent::send() {
    engine::CountedRef<engine::Event> event;
    switch (request_) {
        case RandomRequestKind::Weather:
            event.reset(new GWeatherRequestEvent(DurationTimeRange.min, DurationTimeRange.max));
            break;
        case RandomRequestKind::Letter: {
            auto* letter = new GLetterRequestEvent();
            letter->moneyRange = MoneyRange;
            letter->waitTimeRange = WaitTimeRange;
            event.reset(letter);
            break;
        }
        case RandomRequestKind::Sell: event.reset(new GSellBuildingRequestEvent()); break;
        case RandomRequestKind::Broken: event.reset(new GBrokenBuildingRequestEvent()); break;
        case RandomRequestKind::Dirty: event.reset(new GDirtyBuildingRequestEvent()); break;
        case RandomRequestKind::Cafe: event.reset(new GCafeBuildingRequestEvent()); break;
    }
    if (auto* request = dynamic_cast<GRequestEvent*>(event.get())) {
        request->buildingTypes = BuildingTypes;
        request->placeNames = PlaceNames;
    }
    // Keep the receiver: the level may detach this event while it handles it.
    engine::EventReceiver* receiver = receiver_;
    if (!receiver->handleEvent(event.get())) receiver->routeToParent(engine::DeliveryMode::HandleThenParent, event.get());
}

bool GRandomEvent::onTimer(uint32_t periodMs) {
    if (paused_) return true;
    // Saturating: a countdown set from outside the reader's bounds still ends.
    const int32_t elapsed = -engine::saturatingInt(periodMs);
    if (!regular_) {
        countdown_ = engine::saturatingAdd(countdown_, elapsed);
        if (countdown_ >= 1) return true;
        if (receiver_) send();
        return false;
    }
    if (lifetime_ > 0) {
        lifetime_ = engine::saturatingAdd(lifetime_, elapsed);
        if (lifetime_ <= 0) {
            // 1 keeps an ended event ended: the next call ends it again.
            lifetime_ = 1;
            return false;
        }
    }
    countdown_ = engine::saturatingAdd(countdown_, elapsed);
    if (countdown_ >= 0) return true;
    if (receiver_) send();
    countdown_ = draw(PeriodRange);
    return true;
}

void GRandomEventList::clear() {
    for (GRandomEvent* event : events_) {
        event->detach();
        event->release();
    }
    events_.clear();
}

bool GRandomEventList::read(XmlReader& reader) {
    clear();
    return forEachChild(reader, [this](XmlReader& r) {
        if (r.getNodeName() != L"Event") return true;
        // Unknown kinds are skipped.
        GRandomEvent* event = createRandomEvent(r.getAttributeValue(L"Type"));
        if (!event) return true;
        event->read(r);
        events_.push_back(event);
        return true;
    });
}

}  // namespace game
