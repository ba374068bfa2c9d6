// Numbers of the configuration files past what their fields can hold: each
// reader keeps the field within its range and says so in the log, and what
// the game computes from the field (costs, guests, objective targets and
// texts, event clocks) stays defined.
#include "config/ConfigTestSupport.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/RandomGenerator.h"
#include "game/config/ConfigReading.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelPaths.h"
#include "game/config/LevelScores.h"
#include "game/config/UpgradesConfiguration.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <climits>
#include <functional>
#include <string>

using namespace engine;
using config_test::xml;
using game::bounds::kCount;
using game::bounds::kMoney;
using game::bounds::kTimeMs;

namespace {

game::GBuildingConfig* readBuilding(game::BuildingsConfiguration& configuration, const std::string& properties) {
    auto reader = xml("<BuildingsConfiguration><Building><Properties><string Name=\"Name\" Value=\"Hotel1\"/>" +
                      properties + "</Properties></Building></BuildingsConfiguration>");
    configuration.readBuildingsConfiguration(*reader);
    return configuration.find(config_test::id("Hotel1"));
}

CountedRef<game::GLevelConfig> readLevel(const std::string& properties, const std::string& objectives = "",
                                         const std::string& events = "") {
    CountedRef<game::GLevelConfig> level(new game::GLevelConfig());
    auto reader = xml("<Level><Properties>" + properties + "</Properties><Objectives>" + objectives +
                      "</Objectives><RandomEvents>" + events + "</RandomEvents></Level>");
    level->readLevelConfiguration(*reader);
    return level;
}

}  // namespace

TEST(NumberBoundsTest, BuildingFieldsAreKeptWithinTheirRangesAndLogged) {
    struct Case {
        const char* property;
        std::function<float(const game::GBuildingConfig&)> field;
        float expected;
    };
    const Case cases[] = {
        {"<float Name=\"Cost\" Value=\"1e20\"/>", [](auto& r) { return r.Cost; }, kMoney},
        {"<float Name=\"Cost\" Value=\"-5\"/>", [](auto& r) { return r.Cost; }, 0.0f},
        {"<float Name=\"Income\" Value=\"-1e20\"/>", [](auto& r) { return r.Income; }, 0.0f},
        {"<float Name=\"SellPrice\" Value=\"3e9\"/>", [](auto& r) { return r.SellPrice; }, kMoney},
        {"<float Name=\"BuildTime\" Value=\"1e20\"/>", [](auto& r) { return r.BuildTime; }, float(kTimeMs)},
        {"<int Name=\"GuestsCount\" Value=\"2147483647\"/>", [](auto& r) { return float(r.GuestsCount); }, float(kCount)},
        {"<int Name=\"BuildWorkersCost\" Value=\"-2147483648\"/>", [](auto& r) { return float(r.BuildWorkersCost); }, 0.0f},
        {"<int Name=\"Level\" Value=\"-2147483648\"/>", [](auto& r) { return float(r.Level); }, 0.0f},
        {"<vector2d Name=\"ServeArea\" Value=\"1e20;-1e20\"/>", [](auto& r) { return r.ServeArea.X + r.ServeArea.Y; },
         game::bounds::kDistance},
    };
    for (const Case& c : cases) {
        testing_support::LogCapture log;
        CountedRef<game::BuildingsConfiguration> configuration(new game::BuildingsConfiguration());
        const game::GBuildingConfig* record = readBuilding(*configuration, c.property);
        ASSERT_NE(record, nullptr) << c.property;
        EXPECT_FLOAT_EQ(c.field(*record), c.expected) << c.property;
        EXPECT_TRUE(log.contains("is outside")) << c.property;
    }
    // A value within its range says nothing.
    testing_support::LogCapture log;
    CountedRef<game::BuildingsConfiguration> configuration(new game::BuildingsConfiguration());
    readBuilding(*configuration, "<float Name=\"Cost\" Value=\"50000\"/><int Name=\"GuestsCount\" Value=\"40\"/>");
    EXPECT_FALSE(log.hasErrors());
}

TEST(NumberBoundsTest, CostsAndGuestsThroughExtremeModifiersStayWithinTheCountBound) {
    CountedRef<game::BuildingsConfiguration> configuration(new game::BuildingsConfiguration());
    const game::GBuildingConfig* record = readBuilding(
        *configuration, "<int Name=\"BuildWorkersCost\" Value=\"2147483647\"/><int Name=\"GuestsCount\" Value=\"2147483647\"/>");
    ASSERT_NE(record, nullptr);
    CountedRef<game::GLevelConfig> level(new game::GLevelConfig());
    level->modifierValues.WorkersCostA = -1e20f;
    level->modifierValues.GuestsCountM = 1e20f;
    EXPECT_EQ(record->buildWorkersCost(level.get()), kCount);
    EXPECT_EQ(record->guestsCount(level.get()), kCount);
    level->modifierValues.WorkersCostA = 1e20f;
    level->modifierValues.GuestsCountM = 0.5f;
    EXPECT_EQ(record->buildWorkersCost(level.get()), 1);
    EXPECT_EQ(record->guestsCount(level.get()), kCount / 2);
}

TEST(NumberBoundsTest, LevelFieldsAndRangesAreKeptWithinTheirRanges) {
    testing_support::LogCapture log;
    CountedRef<game::GLevelConfig> level =
        readLevel("<float Name=\"InitRating\" Value=\"1e12\"/><float Name=\"InitMoney\" Value=\"-1e20\"/>"
                  "<int Name=\"InitWorkersCount\" Value=\"2147483647\"/><int Name=\"DayLength\" Value=\"-2147483648\"/>"
                  "<vector2d Name=\"BuildingsSellTime\" Value=\"2147483647;-5\"/>"
                  "<vector2d Name=\"BuildingsBuyRequestPriceMultiplier\" Value=\"1e20;1\"/>");
    EXPECT_FLOAT_EQ(level->initRating, game::bounds::kPercent);
    EXPECT_FLOAT_EQ(level->initMoney, 0.0f);
    EXPECT_EQ(level->initWorkersCount, kCount);
    EXPECT_EQ(level->dayLength, 60);
    EXPECT_FLOAT_EQ(level->buildingsSellTime.X, 0.0f);
    EXPECT_FLOAT_EQ(level->buildingsSellTime.Y, float(kTimeMs));
    EXPECT_FLOAT_EQ(level->buildingsBuyRequestPriceMultiplier.X, 1.0f);
    EXPECT_FLOAT_EQ(level->buildingsBuyRequestPriceMultiplier.Y, game::bounds::kFactor);
    EXPECT_TRUE(log.contains("InitRating 1e+12 is outside"));
    EXPECT_TRUE(log.contains("DayLength -2147483648 is invalid"));
}

TEST(NumberBoundsTest, ObjectiveTargetsAndTextsStayDefinedAtTheEnds) {
    CountedRef<game::GLevelConfig> level = readLevel(
        "", "<Objective Type=\"HaveEachTypeBuildingsCount\" BuildingTypes=\"A;B;C\" Value=\"2147483647\"/>"
            "<Objective Type=\"Income\" Value=\"1e20\"/><Objective Type=\"Money\" Value=\"-1e20\"/>"
            "<Objective Type=\"Workers\" Value=\"-2147483648\"/>");
    ASSERT_EQ(level->objectives->size(), 4u);
    auto* each = dynamic_cast<game::HaveEachTypeBuildingsCountObjective*>(level->objectives->at(0));
    ASSERT_NE(each, nullptr);
    EXPECT_EQ(each->value, kCount);
    EXPECT_EQ(each->target(), 3 * kCount);
    EXPECT_FLOAT_EQ(dynamic_cast<game::IncomeObjective*>(level->objectives->at(1))->value, kMoney);
    EXPECT_FLOAT_EQ(dynamic_cast<game::MoneyObjective*>(level->objectives->at(2))->value, 0.0f);
    EXPECT_EQ(dynamic_cast<game::WorkersObjective*>(level->objectives->at(3))->value, 0);
    // A level far past any goal: the texts saturate.
    config_test::StubLevel state;
    state.moneyValue = 1e20f;
    state.income = 1e20f;
    const std::wstring progress = level->objectives->at(2)->getProgressText(state).c_str();
    EXPECT_NE(progress.find(L"2,147,483,647"), std::wstring::npos) << progress;
    const std::wstring text = level->objectives->at(1)->getText(false).c_str();
    EXPECT_NE(text.find(L"1,000,000,000"), std::wstring::npos) << text;
}

TEST(NumberBoundsTest, EventClocksFromExtremeRangesRunAndEnd) {
    testing_support::LogCapture log;
    CountedRef<game::GLevelConfig> level = readLevel(
        "", "",
        "<Event Type=\"OneTimeSellBuildingRequest\" TimeRange=\"5, -2147483648\"/>"
        "<Event Type=\"RegularDirtyBuildingRequest\" FirstTimeRange=\"-2147483648, 1\" PeriodRange=\"-2147483648, 1\" "
        "LastTimeRange=\"2147483647, 2147483647\"/>"
        "<Event Type=\"RegularWeatherEffectRequest\" PeriodRange=\"1, 1\" DurationTimeRange=\"2147483647, 2147483647\"/>");
    ASSERT_EQ(level->randomEvents->size(), 3u);
    const game::GRandomEvent& once = *level->randomEvents->at(0);
    EXPECT_EQ(once.TimeRange.min, -kTimeMs);
    EXPECT_EQ(once.TimeRange.max, 5);
    EXPECT_TRUE(log.contains("range 5, -100000000 is written backwards"));
    const game::GRandomEvent& regular = *level->randomEvents->at(1);
    EXPECT_EQ(regular.PeriodRange.min, -kTimeMs);
    EXPECT_EQ(regular.LastTimeRange.max, kTimeMs);
    EXPECT_EQ(level->randomEvents->at(2)->DurationTimeRange.max, kTimeMs);

    class Taking : public EventReceiver {
    public:
        bool handleEvent(Event*) override { return true; }
    };
    CountedRef<Taking> receiver(new Taking());
    RandomGenerator random;
    random.seed(7);
    for (uint32_t i = 0; i < level->randomEvents->size(); ++i) {
        game::GRandomEvent* event = level->randomEvents->at(i);
        event->setRandomGenerator(&random);
        event->arm(receiver.get(), nullptr);
        for (int step = 0; step < 1000; ++step) event->onTimer(game::GRandomEvent::kPeriodMs);
        EXPECT_GE(event->getCountdown(), -kTimeMs - 1000 * int32_t(game::GRandomEvent::kPeriodMs));
        event->detach();
    }
}

TEST(NumberBoundsTest, UpgradesScoresAndPathsKeepTheirNumbersWithinRange) {
    CountedRef<game::UpgradesConfiguration> upgrades(new game::UpgradesConfiguration());
    auto reader = xml(
        "<UpgradesConfiguration><Upgrade><Name Value=\"A\"/><Price Value=\"-2147483648\"/><Level Value=\"2147483647\"/>"
        "<AllowsBuildingFeature Building=\"Hotel1\" FeatureIndex=\"-2147483648\"/></Upgrade></UpgradesConfiguration>");
    upgrades->readUpgradesConfiguration(*reader);
    const game::Upgrade* upgrade = upgrades->find(config_test::id("A"));
    ASSERT_NE(upgrade, nullptr);
    EXPECT_EQ(upgrade->Price, 0);
    EXPECT_EQ(upgrade->Level, game::bounds::kSmall);
    ASSERT_EQ(upgrade->AllowsBuildingFeature.size(), 1u);
    EXPECT_EQ(upgrade->AllowsBuildingFeature[0].second, -1);

    CountedRef<game::LevelScores> scores(new game::LevelScores());
    reader = xml("<LevelScores><Level Name=\"1\" Score=\"-2147483648\" Time=\"2147483647\"/></LevelScores>");
    scores->readLevelScores(*reader);
    EXPECT_EQ((*scores)["1"].Score, 0);
    EXPECT_EQ((*scores)["1"].Time, kTimeMs / 1000);

    CountedRef<game::GLevelPaths> paths(new game::GLevelPaths());
    reader = xml("<LevelPaths><CarPaths><Path ID=\"NeutralCar\" Time=\"-2147483648, 2147483647\" Cars=\"Car1\">"
                 "<p p=\"1e20, -1e20\"/></Path></CarPaths></LevelPaths>");
    paths->readLevelPaths(*reader);
    const std::vector<game::GLevelPath*> found = paths->carPaths(config_test::id("NeutralCar"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->time.min, -kTimeMs);
    EXPECT_EQ(found[0]->time.max, kTimeMs);
    EXPECT_FLOAT_EQ(found[0]->points[0].x, game::bounds::kDistance);
    EXPECT_FLOAT_EQ(found[0]->points[0].y, -game::bounds::kDistance);
}
