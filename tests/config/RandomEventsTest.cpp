#include "ConfigTestSupport.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TimerScheduler.h"
#include "game/config/RandomEvents.h"
#include "game/common/GameEvents.h"
#include "support/LogCapture.h"
#include <gtest/gtest.h>

using namespace config_test;
using game::GRandomEvent;

namespace {

// Records the requests it is handed; answers `handles`.
class RecordingReceiver : public engine::EventReceiver {
public:
    bool handleEvent(engine::Event* event) override {
        ids.push_back(event->getTypeId());
        if (auto* request = dynamic_cast<game::GRequestEvent*>(event)) types = request->buildingTypes;
        if (auto* letter = dynamic_cast<game::GLetterRequestEvent*>(event)) moneyMax = letter->moneyRange.Y;
        if (auto* weather = dynamic_cast<game::GWeatherRequestEvent*>(event)) durationMax = weather->maxDuration;
        return handles;
    }
    bool routeToParent(int32_t mode, engine::Event*) override {
        routedModes.push_back(mode);
        return true;
    }
    bool handles = true;
    std::vector<int32_t> ids;
    std::vector<int32_t> routedModes;
    engine::array<engine::NameId> types;
    float moneyMax = 0.0f;
    int32_t durationMax = 0;
};

engine::CountedRef<GRandomEvent> event(const std::string& attributes) {
    auto reader = xmlAtRoot("<Event " + attributes + "/>");
    engine::CountedRef<GRandomEvent> made(game::createRandomEvent(reader->getAttributeValue(L"Type")));
    if (made) made->read(*reader);
    return made;
}

// Calls the event every 500 ms until it ends or `calls` calls were made;
// returns the call numbers (1-based) at which a request went out.
std::vector<int> run(GRandomEvent& e, RecordingReceiver& receiver, int calls, int* endedAt = nullptr) {
    std::vector<int> fired;
    if (endedAt) *endedAt = 0;
    for (int call = 1; call <= calls; ++call) {
        const size_t before = receiver.ids.size();
        const bool keep = e.onTimer(500);
        if (receiver.ids.size() > before) fired.push_back(call);
        if (!keep) {
            if (endedAt) *endedAt = call;
            break;
        }
    }
    return fired;
}

}  // namespace

TEST(RandomEvents, KindsSendTheirRequests) {
    struct Case {
        const char* type;
        int32_t id;
    };
    const Case cases[] = {
        {"OneTimeSellBuildingRequest", 4111},   {"RegularSellBuildingRequest", 4111},
        {"OneTimeBrokenBuildingRequest", 4112}, {"RegularBrokenBuildingRequest", 4112},
        {"OneTimeDirtyBuildingRequest", 4113},  {"RegularDirtyBuildingRequest", 4113},
        {"OneTimeCafeBuildingRequest", 4114},   {"RegularCafeBuildingRequest", 4114},
        {"OneTimeLetterRequest", 4115},         {"RegularLetterRequest", 4115},
        {"RegularWeatherEffectRequest", 4118},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        auto e = event(std::string("Type='") + c.type +
                       "' TimeRange='0, 0' PeriodRange='500, 500' BuildingTypes='A;B' MoneyRange='1, 3' "
                       "DurationTimeRange='15000, 25000'");
        ASSERT_TRUE(e);
        RecordingReceiver receiver;
        e->arm(&receiver, nullptr);
        run(*e, receiver, 2);
        ASSERT_FALSE(receiver.ids.empty());
        EXPECT_EQ(receiver.ids[0], c.id);
        if (c.id == 4118) {
            EXPECT_EQ(receiver.durationMax, 25000);
        } else {
            EXPECT_EQ(receiver.types.size(), 2u);
        }
        if (c.id == 4115) {
            EXPECT_FLOAT_EQ(receiver.moneyMax, 3.0f);
        }
        EXPECT_TRUE(receiver.routedModes.empty());
    }
    EXPECT_FALSE(game::createRandomEvent(L"OneTimeWeatherEffectRequest"));
    EXPECT_FALSE(game::createRandomEvent(L"onetimesellbuildingrequest"));
}

TEST(RandomEvents, UnhandledRequestGoesToTheParent) {
    auto e = event("Type='OneTimeDirtyBuildingRequest'");
    RecordingReceiver receiver;
    receiver.handles = false;
    e->arm(&receiver, nullptr);
    int ended = 0;
    EXPECT_EQ(run(*e, receiver, 3, &ended), std::vector<int>{1});
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(receiver.routedModes, std::vector<int32_t>{engine::DeliveryMode::HandleThenParent});
}

TEST(RandomEvents, OneTimeEventFiresOnceWhenItsCountdownRunsOut) {
    engine::RandomGenerator random;
    random.seed(3);
    auto e = event("Type='OneTimeLetterRequest' TimeRange='2000, 4000'");
    e->setRandomGenerator(&random);
    RecordingReceiver receiver;
    e->arm(&receiver, nullptr);
    const int32_t countdown = e->getCountdown();
    ASSERT_GE(countdown, 2000);
    ASSERT_LT(countdown, 4000);
    int ended = 0;
    const std::vector<int> fired = run(*e, receiver, 20, &ended);
    EXPECT_EQ(ended, fired.empty() ? -1 : fired[0]);
    // Fires at the first call at which the countdown has reached 0 or below.
    EXPECT_EQ(fired, std::vector<int>{(countdown + 499) / 500});

    // Without a receiver it ends without sending.
    auto lone = event("Type='OneTimeSellBuildingRequest'");
    lone->arm(nullptr, nullptr);
    EXPECT_FALSE(lone->onTimer(500));
}

TEST(RandomEvents, RegularEventRedrawsItsPeriodAndEndsWithItsLifetime) {
    engine::RandomGenerator random;
    random.seed(11);
    struct Case {
        const char* attributes;
        int endCall;  // 0: never within the run
    };
    const Case cases[] = {
        {"LastTimeRange='60000, 60000'", 120},
        {"LastTimeRange='60200, 60200'", 121},
        {"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attributes);
        auto e = event(std::string("Type='RegularSellBuildingRequest' FirstTimeRange='0, 0' PeriodRange='10000, 20000' ") +
                       c.attributes);
        e->setRandomGenerator(&random);
        RecordingReceiver receiver;
        e->arm(&receiver, nullptr);
        const int32_t first = e->getCountdown();
        int ended = 0;
        const std::vector<int> fired = run(*e, receiver, 400, &ended);
        ASSERT_FALSE(fired.empty());
        // First firing: when the countdown drops below 0, 10500 to 20000 ms in.
        EXPECT_EQ(fired[0], first / 500 + 1);
        EXPECT_GE(fired[0] * 500, 10500);
        EXPECT_LE(fired[0] * 500, 20000);
        for (size_t i = 1; i < fired.size(); ++i) {
            EXPECT_GE((fired[i] - fired[i - 1]) * 500, 10500);
            EXPECT_LE((fired[i] - fired[i - 1]) * 500, 20000);
        }
        EXPECT_EQ(ended, c.endCall);
        if (c.endCall) {
            EXPECT_LT(fired.back(), c.endCall);
            // An ended event stays ended.
            EXPECT_FALSE(e->onTimer(500));
        }
    }
}

TEST(RandomEvents, PausedEventsDoNotCount) {
    auto e = event("Type='OneTimeBrokenBuildingRequest' TimeRange='1000, 1000'");
    RecordingReceiver receiver;
    e->arm(&receiver, nullptr);
    e->setPaused(true);
    EXPECT_TRUE(run(*e, receiver, 10).empty());
    EXPECT_EQ(e->getCountdown(), 1000);
    e->setPaused(false);
    EXPECT_EQ(run(*e, receiver, 10), std::vector<int>{2});
}

TEST(RandomEvents, ArmingMovesTheEventToTheScheduler) {
    engine::TimerScheduler scheduler;
    auto e = event("Type='OneTimeSellBuildingRequest' TimeRange='1000, 1000'");
    RecordingReceiver receiver;
    e->arm(&receiver, nullptr);
    EXPECT_EQ(e->getTimerScheduler(), nullptr);
    e->arm(&receiver, &scheduler);
    EXPECT_EQ(e->getTimerScheduler(), &scheduler);
    EXPECT_EQ(e->getPeriod(), 500u);
    scheduler.update(500);
    EXPECT_TRUE(receiver.ids.empty());
    scheduler.update(500);
    EXPECT_EQ(receiver.ids.size(), 1u);
    // Dropped after firing; arming again restarts it with a fresh countdown.
    scheduler.update(5000);
    EXPECT_EQ(receiver.ids.size(), 1u);
    e->arm(&receiver, &scheduler);
    scheduler.update(1000);
    EXPECT_EQ(receiver.ids.size(), 2u);
    e->detach();
    EXPECT_EQ(e->getTimerScheduler(), nullptr);
}

TEST(RandomEvents, RangesThatCannotFireAreRefusedAtReading) {
    struct Case {
        const char* attributes;
        bool canFire;
        bool logged;
        int32_t min, max;  // the range read
    };
    const Case cases[] = {
        {"Type='OneTimeSellBuildingRequest' TimeRange='0, 0'", true, false, 0, 0},
        {"Type='OneTimeSellBuildingRequest' TimeRange='4000, 2000'", true, true, 2000, 4000},
        {"Type='OneTimeSellBuildingRequest' TimeRange='7000'", true, true, 0, 7000},
        {"Type='OneTimeSellBuildingRequest' TimeRange='-1'", false, true, -1, 0},
        {"Type='OneTimeSellBuildingRequest' TimeRange='-900, -100'", false, true, -900, -100},
        {"Type='OneTimeSellBuildingRequest' TimeRange='garbage'", true, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attributes);
        testing_support::LogCapture log;
        auto e = event(c.attributes);
        EXPECT_EQ(e->canFire(), c.canFire);
        EXPECT_EQ(log.hasErrors(), c.logged);
        EXPECT_EQ(e->TimeRange.min, c.min);
        EXPECT_EQ(e->TimeRange.max, c.max);
    }

    // A regular event without a period would fire on every call: refused.
    for (const char* period : {"", "PeriodRange='0, 0'", "PeriodRange='-500, 0'"}) {
        SCOPED_TRACE(period);
        testing_support::LogCapture log;
        auto e = event(std::string("Type='RegularDirtyBuildingRequest' FirstTimeRange='1000, 2000' ") + period);
        EXPECT_FALSE(e->canFire());
        EXPECT_TRUE(log.hasErrors());
        engine::TimerScheduler scheduler;
        RecordingReceiver receiver;
        e->arm(&receiver, &scheduler);
        EXPECT_EQ(e->getTimerScheduler(), nullptr);
        EXPECT_TRUE(run(*e, receiver, 0).empty());
    }
}

TEST(RandomEvents, ListReadsKnownKindsAndReleasesOnClear) {
    game::GRandomEventList list;
    auto reader = xmlAtRoot(
        "<RandomEvents><Event Type='RegularWeatherEffectRequest' PeriodRange='1000, 2000'/><Event Type='Nope'/>"
        "<Other Type='OneTimeSellBuildingRequest'/><Event Type='OneTimeSellBuildingRequest'><x/></Event></RandomEvents>");
    ASSERT_TRUE(list.read(*reader));
    ASSERT_EQ(list.size(), 2u);
    engine::TimerScheduler scheduler;
    RecordingReceiver receiver;
    list.at(0)->arm(&receiver, &scheduler);
    list.clear();
    EXPECT_EQ(list.size(), 0u);
    scheduler.update(5000);  // the cleared event left the scheduler
    EXPECT_TRUE(receiver.ids.empty());
}

TEST(RandomEvents, RequestsAreGameEventsAndRequests) {
    game::GSellBuildingRequestEvent sell;
    game::GLetterRequestEvent letter;
    game::GWeatherRequestEvent weather(1, 2);
    for (const engine::Event* e : {static_cast<const engine::Event*>(&sell), static_cast<const engine::Event*>(&letter)}) {
        EXPECT_TRUE(e->isOfType(engine::EventId::GRequestEvent));
        EXPECT_TRUE(e->isOfType(engine::EventId::GGameEvent));
        EXPECT_TRUE(e->isOfType(0));
        EXPECT_EQ(e->getCategory(), engine::EventCategory::Game);
    }
    EXPECT_FALSE(weather.isOfType(engine::EventId::GRequestEvent));
    EXPECT_TRUE(weather.isOfType(engine::EventId::GGameEvent));
    EXPECT_EQ(weather.getTypeId(), 4118);
    EXPECT_FALSE(sell.isOfType(engine::EventId::GLetterRequestEvent));
}
