#include "ConfigTestSupport.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelModifiers.h"
#include "support/LogCapture.h"
#include <gtest/gtest.h>

using namespace config_test;
using game::GLevelConfig;
using game::LevelModifierList;


TEST(LevelModifiers, EveryKindChangesItsOwnValue) {
    GLevelConfig level;
    LevelModifierList list;
    auto reader = xmlAtRoot(
        "<LevelModifiers>"
        "<Modifier Type='MaterialDeliveryTimeM' Value='0.5'/><Modifier Type='WorkerDeliveryTimeM' Value='2'/>"
        "<Modifier Type='MaterialPriceM' Value='0.8'/><Modifier Type='WorkerPriceM' Value='1.5'/>"
        "<Modifier Type='WorkersCostA' Value='1'/><Modifier Type='BuildTimeM' Value='1.25'/>"
        "<Modifier Type='CanReceiveMoneyLetters' Value='1'/><Modifier Type='CanBuildingsBroke' Value='0'/>"
        "<Modifier Type='PyramidIncomeBonus' Value='3'/><Modifier Type='StationIncomeBonus1' Value='4'/>"
        "<Modifier Type='StationIncomeBonus2' Value='5'/><Modifier Type='AquaParkIncomeBonus' Value='6'/>"
        "<Modifier Type='PRIncomeBonus' Value='7'/><Modifier Type='BuyNotForSaleBuildingPriceBonus' Value='8'/>"
        "<Modifier Type='BuyBuildingPriceDiscount' Value='9'/><Modifier Type='OwnedBuildingPriceBonus' Value='10'/>"
        "<Modifier Type='GuestsCountM' Value='1.5'/>"
        "</LevelModifiers>");
    ASSERT_TRUE(list.read(*reader));
    ASSERT_EQ(list.size(), 17u);
    list.apply(level);
    const auto& v = level.modifierValues;
    EXPECT_FLOAT_EQ(v.MaterialDeliveryTimeM, 0.5f);
    EXPECT_FLOAT_EQ(v.WorkerDeliveryTimeM, 2.0f);
    EXPECT_FLOAT_EQ(v.MaterialPriceM, 0.8f);
    EXPECT_FLOAT_EQ(v.WorkerPriceM, 1.5f);
    EXPECT_FLOAT_EQ(v.WorkersCostA, 1.0f);
    EXPECT_FLOAT_EQ(v.BuildTimeM, 1.25f);
    EXPECT_TRUE(v.CanReceiveMoneyLetters);
    EXPECT_FALSE(v.CanBuildingsBroke);
    EXPECT_FLOAT_EQ(v.PyramidIncomeBonus, 3.0f);
    EXPECT_FLOAT_EQ(v.StationIncomeBonus1, 4.0f);
    EXPECT_FLOAT_EQ(v.StationIncomeBonus2, 5.0f);
    EXPECT_FLOAT_EQ(v.AquaParkIncomeBonus, 6.0f);
    EXPECT_FLOAT_EQ(v.PRIncomeBonus, 7.0f);
    EXPECT_FLOAT_EQ(v.BuyNotForSaleBuildingPriceBonus, 8.0f);
    EXPECT_FLOAT_EQ(v.BuyBuildingPriceDiscount, 9.0f);
    EXPECT_FLOAT_EQ(v.OwnedBuildingPriceBonus, 10.0f);
    EXPECT_FLOAT_EQ(v.GuestsCountM, 1.5f);

    level.modifierValues.reset();
    EXPECT_FLOAT_EQ(level.modifierValues.MaterialDeliveryTimeM, 1.0f);
    EXPECT_FALSE(level.modifierValues.CanReceiveMoneyLetters);
    EXPECT_TRUE(level.modifierValues.CanBuildingsBroke);
}

TEST(LevelModifiers, FactorsCombineAndSwitchesTakeTheLastApplied) {
    GLevelConfig level;
    LevelModifierList halves;
    auto reader = xmlAtRoot(
        "<LevelModifiers><Modifier Type='MaterialDeliveryTimeM' Value='0.5'/>"
        "<Modifier Type='CanBuildingsBroke' Value='0'/></LevelModifiers>");
    ASSERT_TRUE(halves.read(*reader));
    LevelModifierList building;
    auto second = xmlAtRoot("<LevelModifiers><Modifier Type='CanBuildingsBroke' Value='1'/></LevelModifiers>");
    ASSERT_TRUE(building.read(*second));

    halves.apply(level);
    halves.apply(level);
    EXPECT_FLOAT_EQ(level.modifierValues.MaterialDeliveryTimeM, 0.25f);
    EXPECT_FALSE(level.modifierValues.CanBuildingsBroke);
    building.apply(level);
    EXPECT_TRUE(level.modifierValues.CanBuildingsBroke);
}

TEST(LevelModifiers, ReadingRulesAndRefusedValues) {
    struct Case {
        const char* modifier;
        size_t expectedCount;
        float expectedValue;
        bool logged;
    };
    const Case cases[] = {
        // A factor without a Value changes nothing.
        {"<Modifier Type='BuildTimeM'/>", 1, 1.0f, false},
        // An adding kind without a Value adds 0.
        {"<Modifier Type='WorkersCostA'/>", 1, 0.0f, false},
        // Factors of 0 or below would stop or reverse a delivery: refused.
        {"<Modifier Type='MaterialDeliveryTimeM' Value='0'/>", 0, 0.0f, true},
        {"<Modifier Type='GuestsCountM' Value='-2'/>", 0, 0.0f, true},
        {"<Modifier Type='WorkerPriceM' Value='abc'/>", 0, 0.0f, true},
        // Unknown or differently cased kinds are skipped quietly.
        {"<Modifier Type='Unknown' Value='3'/>", 0, 0.0f, false},
        {"<Modifier Type='buildtimem' Value='3'/>", 0, 0.0f, false},
        {"<Other Type='BuildTimeM' Value='3'/>", 0, 0.0f, false},
        // Adding kinds take any number.
        {"<Modifier Type='BuyBuildingPriceDiscount' Value='-5'/>", 1, -5.0f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.modifier);
        testing_support::LogCapture log;
        LevelModifierList list;
        auto reader = xmlAtRoot(std::string("<LevelModifiers>") + c.modifier + "<Modifier Type='PRIncomeBonus' Value='2'/></LevelModifiers>");
        ASSERT_TRUE(list.read(*reader));
        ASSERT_EQ(list.size(), c.expectedCount + 1);
        if (c.expectedCount) {
            EXPECT_FLOAT_EQ(list.at(0)->getValue(), c.expectedValue);
        }
        EXPECT_EQ(log.hasErrors(), c.logged);
    }
}

TEST(LevelModifiers, ReadReplacesTheListAndEndsOnItsEndTag) {
    LevelModifierList list;
    auto reader = xmlAtRoot(
        "<Root><LevelModifiers><Modifier Type='PRIncomeBonus' Value='2'><Nested/></Modifier></LevelModifiers>"
        "<After/></Root>");
    ASSERT_TRUE(reader->read());
    ASSERT_TRUE(list.read(*reader));
    EXPECT_EQ(reader->getNodeType(), irr::io::EXN_ELEMENT_END);
    EXPECT_TRUE(reader->getNodeName() == L"LevelModifiers");
    EXPECT_EQ(list.size(), 1u);
    auto empty = xmlAtRoot("<LevelModifiers/>");
    ASSERT_TRUE(list.read(*empty));
    EXPECT_EQ(list.size(), 0u);
}
