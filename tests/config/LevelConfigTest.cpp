#include "ConfigTestSupport.h"
#include "game/config/LevelConfig.h"
#include "support/LogCapture.h"
#include <gtest/gtest.h>

using namespace config_test;
using game::GLevelConfig;

namespace {

bool readLevel(GLevelConfig& level, const std::string& body) {
    auto reader = xml("<Level>" + body + "</Level>");
    return level.readLevelConfiguration(*reader);
}

}  // namespace

TEST(LevelConfig, DefaultsBeforeReading) {
    GLevelConfig level;
    EXPECT_EQ(level.levelNumber, -1);
    EXPECT_EQ(level.settingIndex, 1);
    EXPECT_EQ(level.levelTime, -1);
    EXPECT_EQ(level.dayLength, 60);
    EXPECT_TRUE(level.isSellOn);
    EXPECT_FALSE(level.isNotOwnedDecorationsDirty);
    EXPECT_FLOAT_EQ(level.buildingsBuyRequestPriceMultiplier.X, 0.8f);
    EXPECT_EQ(level.objectives->size(), 0u);
    EXPECT_EQ(level.randomEvents->size(), 0u);
    EXPECT_TRUE(level.materialOrderOptions.empty());
    EXPECT_EQ(level.ratingThreshold(0), 0);
    EXPECT_EQ(level.ratingThreshold(1), 50);
    EXPECT_EQ(level.ratingThreshold(5), 50);
}

TEST(LevelConfig, ReadsPropertiesObjectivesAndEvents) {
    GLevelConfig level;
    testing_support::LogCapture log;
    ASSERT_TRUE(readLevel(level,
                          "<Properties><stringw Name='Name' Value='12'/><stringw Name='Description' Value='%D%'/>"
                          "<int Name='SettingIndex' Value='4'/>"
                          "<string Name='AvailableBuildingsForBuild' Value='A; ;B;'/>"
                          "<string Name='UnlockLevels' Value='x;y;'/><int Name='DayLength' Value='45'/>"
                          "<float Name='InitMoney' Value='5000'/><int Name='InitWorkersCount' Value='3'/>"
                          "<string Name='StationIncomeBonus1BuildingTypes' Value='A'/>"
                          "<vector2d Name='BuildingsSellTime' Value='1000;2000'/>"
                          "<int Name='IsSellOn' Value='1'/><bool Name='IsClockOn' Value='false'/></Properties>"
                          "<Unknown><Properties><int Name='DayLength' Value='5'/></Properties></Unknown>"
                          "<Objectives><Objective Type='Money' Value='10'/><Objective Type='Nope'/></Objectives>"
                          "<RandomEvents><Event Type='RegularWeatherEffectRequest' PeriodRange='1000, 2000'/></RandomEvents>"));
    EXPECT_TRUE(log.entries().empty());
    EXPECT_TRUE(level.name == L"12");
    EXPECT_EQ(level.levelNumber, 12);
    EXPECT_TRUE(level.description == L"%D%");
    EXPECT_EQ(level.settingIndex, 4);
    ASSERT_EQ(level.availableBuildingsForBuild.size(), 2u);
    EXPECT_EQ(level.availableBuildingsForBuild[1], id("B"));
    ASSERT_EQ(level.unlockLevels.size(), 3u);
    EXPECT_TRUE(level.unlockLevels[2].empty());
    EXPECT_EQ(level.dayLength, 45);
    EXPECT_FLOAT_EQ(level.initMoney, 5000.0f);
    EXPECT_EQ(level.initWorkersCount, 3);
    EXPECT_EQ(level.stationIncomeBonus1BuildingTypes.size(), 1u);
    EXPECT_FLOAT_EQ(level.buildingsSellTime.Y, 2000.0f);
    EXPECT_FALSE(level.isSellOn);  // an int property where a bool belongs
    EXPECT_FALSE(level.isClockOn);
    EXPECT_TRUE(level.isRatingOn);
    EXPECT_EQ(level.objectives->size(), 1u);
    EXPECT_EQ(level.randomEvents->size(), 1u);
    ASSERT_EQ(level.materialOrderOptions.size(), 6u);
    ASSERT_EQ(level.workerOrderOptions.size(), 4u);
    EXPECT_FLOAT_EQ(level.materialOrderOptions[5]->price, 250000.0f);
    EXPECT_FLOAT_EQ(level.workerOrderOptions[3]->timeMs, 12000.0f);
}

TEST(LevelConfig, LevelNumberFromTheName) {
    struct Case {
        const char* properties;
        int32_t number;
    };
    const Case cases[] = {
        {"<stringw Name='Name' Value='12abc'/>", 12},
        {"<stringw Name='Name' Value='a12'/>", 0},
        {"<stringw Name='Name' Value=' 3'/>", 0},
        {"<string Name='Name' Value='-4'/>", -4},
        {"<int Name='Name' Value='7'/>", 7},  // a text key takes any value's text
        {"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.properties);
        GLevelConfig level;
        ASSERT_TRUE(readLevel(level, std::string("<Properties>") + c.properties + "</Properties>"));
        EXPECT_EQ(level.levelNumber, c.number);
    }
}

TEST(LevelConfig, MendedValues) {
    struct Case {
        const char* properties;
        int32_t dayLength;
        float sellMin, sellMax;
        bool logged;
    };
    const Case cases[] = {
        {"<int Name='DayLength' Value='0'/>", 60, 10000, 60000, true},
        {"<int Name='DayLength' Value='-5'/>", 60, 10000, 60000, true},
        {"<float Name='DayLength' Value='30'/>", 60, 10000, 60000, true},  // wrong type reads as 0
        {"<int Name='DayLength' Value='1'/>", 1, 10000, 60000, false},
        {"<vector2d Name='BuildingsSellTime' Value='5000;1000'/>", 60, 1000, 5000, true},
        {"<vector2d Name='BuildingsSellTime' Value='5000'/>", 60, 0, 5000, true},
        {"<vector2d Name='BuildingsSellTime' Value='5000;5000'/>", 60, 5000, 5000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.properties);
        testing_support::LogCapture log;
        GLevelConfig level;
        ASSERT_TRUE(readLevel(level, std::string("<Properties>") + c.properties + "</Properties>"));
        EXPECT_EQ(level.dayLength, c.dayLength);
        EXPECT_FLOAT_EQ(level.buildingsSellTime.X, c.sellMin);
        EXPECT_FLOAT_EQ(level.buildingsSellTime.Y, c.sellMax);
        EXPECT_EQ(log.hasErrors(), c.logged);
    }
}

TEST(LevelConfig, SecondPropertiesElementDoesNotRepeatTheOrders) {
    GLevelConfig level;
    ASSERT_TRUE(readLevel(level,
                          "<Properties><int Name='InitWorkersCount' Value='2'/></Properties>"
                          "<Properties><float Name='InitMoney' Value='9'/></Properties><Properties/>"));
    EXPECT_EQ(level.materialOrderOptions.size(), 6u);
    EXPECT_EQ(level.workerOrderOptions.size(), 4u);
    // Keys missing from a later element keep their values.
    EXPECT_EQ(level.initWorkersCount, 2);
    EXPECT_FLOAT_EQ(level.initMoney, 9.0f);
}
