#include "ConfigTestSupport.h"
#include "game/config/LevelConfig.h"
#include "game/config/UpgradesConfiguration.h"
#include "support/LogCapture.h"
#include <gtest/gtest.h>

using namespace config_test;
using game::LevelAvailability;
using game::UpgradesConfiguration;

namespace {

std::string upgrade(const std::string& body) { return "<Upgrade>" + body + "</Upgrade>"; }

std::string file(const std::string& upgrades) {
    return "<UpgradesConfiguration>" + upgrades + "</UpgradesConfiguration>";
}

// A small catalogue: two free starters, a bought hotel from level 2 on and a
// feature unlock from level 4 on.
const char* const kCatalogue =
    "<UpgradesConfiguration>"
    "<Upgrade><Name Value='UCamping'/><Price Value='0'/><Level Value='0'/>"
    "<AllowsBuilding Value='UCamping1'/><AllowsBuilding Value='UCamping2'/>"
    "<LevelModifiers><Modifier Type='CanReceiveMoneyLetters' Value='1'/></LevelModifiers></Upgrade>"
    "<Upgrade><Name Value='UCafe'/><Price Value='0'/><AllowsBuilding Value='UCafe'/></Upgrade>"
    "<Upgrade><Name Value='UHostel'/><Price Value='500'/><Level Value='1'/><ObligatoryLevel Value='2'/>"
    "<AllowsBuilding Value='UHostel1'/><AllowsBuilding Value='UCamping1'/>"
    "<LevelModifiers><Modifier Type='BuildTimeM' Value='1.25'/></LevelModifiers></Upgrade>"
    "<Upgrade><Name Value='UTruckFeature2'/><Price Value='900'/><Level Value='3'/>"
    "<AllowsBuildingFeature Building='UTruck' FeatureIndex='2'/></Upgrade>"
    "</UpgradesConfiguration>";

}  // namespace

TEST(UpgradesConfiguration, ReadsEveryElement) {
    UpgradesConfiguration config;
    testing_support::LogCapture log;
    auto reader = xml(file(upgrade(
        "<Name Value='Camping'/><Info Value='%Upg_Camping%'/><Price Value='12.9'/><Level Value='2'/>"
        "<AllowsBuilding Value='Camping1'/><AllowsBuilding Value='Camping2'/>"
        "<AllowsBuildingFeature Building='Truck' FeatureIndex='2'/>"
        "<LevelModifiers><Modifier Type='PRIncomeBonus' Value='1'/></LevelModifiers>"
        "<LevelModifiers><Modifier Type='WorkersCostA' Value='1'/></LevelModifiers>"
        "<Unknown Value='1'><Nested/></Unknown>")));
    ASSERT_TRUE(config.readUpgradesConfiguration(*reader));
    EXPECT_TRUE(log.entries().empty());
    const game::Upgrade* u = config.find(id("Camping"));
    ASSERT_NE(u, nullptr);
    EXPECT_TRUE(u->Info == L"%Upg_Camping%");
    EXPECT_EQ(u->Price, 12);
    EXPECT_EQ(u->Level, 2);
    EXPECT_EQ(u->ObligatoryLevel, -1);
    ASSERT_EQ(u->AllowsBuilding.size(), 2u);
    EXPECT_EQ(u->AllowsBuilding[1], id("Camping2"));
    ASSERT_EQ(u->AllowsBuildingFeature.size(), 1u);
    EXPECT_EQ(u->AllowsBuildingFeature[0].first, id("Truck"));
    EXPECT_EQ(u->AllowsBuildingFeature[0].second, 1);
    // Repeated LevelModifiers children add up.
    EXPECT_EQ(u->LevelModifiers->size(), 2u);
}

TEST(UpgradesConfiguration, ObligatoryLevelRules) {
    struct Case {
        const char* body;
        int32_t obligatory;
        bool logged;
    };
    const Case cases[] = {
        {"<ObligatoryLevel/>", 0, false},
        {"<ObligatoryLevel Value='6'/><Level Value='4'/>", 6, false},
        {"<ObligatoryLevel Value='5'/><Level Value='4'/>", 5, false},
        // Sold only after level 4 but required by level 4 or earlier: locked out.
        {"<ObligatoryLevel Value='4'/><Level Value='4'/>", 4, true},
        {"<ObligatoryLevel Value='1'/><Level Value='3'/>", 1, true},
        {"<ObligatoryLevel Value='1'/><Level Value='0'/>", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        testing_support::LogCapture log;
        UpgradesConfiguration config;
        auto reader = xml(file(upgrade(std::string("<Name Value='U'/>") + c.body)));
        ASSERT_TRUE(config.readUpgradesConfiguration(*reader));
        ASSERT_NE(config.find(id("U")), nullptr);
        EXPECT_EQ(config.find(id("U"))->ObligatoryLevel, c.obligatory);
        EXPECT_EQ(log.hasErrors(), c.logged);
    }
}

TEST(UpgradesConfiguration, FirstUpgradeOfANameWins) {
    UpgradesConfiguration config;
    auto reader = xml(file(upgrade("<Name Value='U'/><Price Value='1'/>") + upgrade("<Name Value='U'/><Price Value='2'/>")));
    ASSERT_TRUE(config.readUpgradesConfiguration(*reader));
    EXPECT_EQ(config.upgrades().size(), 1u);
    EXPECT_EQ(config.find(id("U"))->Price, 1);
}

TEST(LevelAvailability, LevelNumberOfTheLocation) {
    UpgradesConfiguration config;
    auto reader = xml(kCatalogue);
    ASSERT_TRUE(config.readUpgradesConfiguration(*reader));
    struct Case {
        int32_t locationIndex;
        const char* bought;
        bool hostel;
        bool truckFeature2;
    };
    const Case cases[] = {
        {-1, "UHostel;UTruckFeature2", false, false},  // no level: only Level -1 or below
        {0, "UHostel;UTruckFeature2", false, false},   // level 1
        {1, "UHostel", true, false},                   // level 2
        {1, "", false, false},                         // not bought
        {2, " UTruckFeature2 ;; UHostel ", true, false},
        {3, "UTruckFeature2", false, true},            // level 4
        {7, "UTruckFeature2", false, true},            // the first mini-game location: n = 6
        {6, "Unknown;UTruckFeature2", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.locationIndex) + " " + c.bought);
        LevelAvailability availability;
        availability.fill(config, nullptr, c.locationIndex, c.bought);
        const bool levelOne = c.locationIndex >= 0;
        EXPECT_EQ(availability.isBuildingAvailable(id("UCamping1")), levelOne);
        EXPECT_EQ(availability.isBuildingAvailable(id("UCafe")), levelOne);
        EXPECT_EQ(availability.isBuildingAvailable(id("UHostel1")), c.hostel);
        EXPECT_EQ(availability.isFeatureAvailable(id("UTruck"), 1), c.truckFeature2);
        EXPECT_TRUE(availability.isFeatureAvailable(id("UTruck"), 0));
        EXPECT_FALSE(availability.isFeatureAvailable(id("UTruck"), 2));
    }
}

TEST(LevelAvailability, LevelListLimitsTypesAndModifierListsAreKeptOnce) {
    UpgradesConfiguration config;
    auto reader = xml(kCatalogue);
    ASSERT_TRUE(config.readUpgradesConfiguration(*reader));
    game::GLevelConfig level;
    level.availableBuildingsForBuild.push_back(id("UCamping1"));
    level.availableBuildingsForBuild.push_back(id("UHostel1"));

    LevelAvailability availability;
    // UCamping bought as well as free: processed twice, kept once.
    availability.fill(config, &level, 1, "UCamping;UHostel");
    EXPECT_TRUE(availability.isBuildingAvailable(id("UCamping1")));
    EXPECT_FALSE(availability.isBuildingAvailable(id("UCamping2")));  // not in the level's list
    EXPECT_FALSE(availability.isBuildingAvailable(id("UCafe")));
    EXPECT_TRUE(availability.isBuildingAvailable(id("UHostel1")));
    EXPECT_EQ(availability.availableBuildingTypes.size(), 2u);
    // UCamping, UHostel, UCafe: each list once.
    EXPECT_EQ(availability.upgradeModifierLists.size(), 3u);

    // The lists apply in order to the level's values.
    for (const auto& list : availability.upgradeModifierLists) list->apply(level);
    EXPECT_TRUE(level.modifierValues.CanReceiveMoneyLetters);
    EXPECT_FLOAT_EQ(level.modifierValues.BuildTimeM, 1.25f);

    LevelAvailability none;
    EXPECT_FALSE(none.isBuildingAvailable(id("UCamping1")));
}
