#include "ConfigTestSupport.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "support/LogCapture.h"
#include <gtest/gtest.h>

using namespace config_test;
using game::BuildingsConfiguration;
using game::GBuildingConfig;

namespace {

std::string building(const std::string& properties, const std::string& rest = "") {
    return "<Building><Properties>" + properties + "</Properties>" + rest + "</Building>";
}

std::string file(const std::string& buildings) {
    return "<?xml version='1.0'?><BuildingsConfiguration>" + buildings + "</BuildingsConfiguration>";
}

}  // namespace

TEST(BuildingsConfiguration, ReadsPropertiesFeaturesAndModifiers) {
    BuildingsConfiguration config;
    testing_support::LogCapture log;
    auto reader = xml(file(building(
        "<string Name='Name' Value='Camping1'/><string Name='NextLevelName' Value='Camping2'/>"
        "<string Name='DisplayName' Value='Camping'/><stringw Name='Description' Value='%Desc%'/>"
        "<int Name='Level' Value='1'/><int Name='Type' Value='0'/><float Name='BuildTime' Value='8000'/>"
        "<float Name='Cost' Value='20000'/><vector2d Name='ServeArea' Value='200;100'/>"
        "<int Name='GuestsCount' Value='10'/><string Name='SelectedSoundCueName' Value='CampingIdle'/>"
        "<int Name='ProvidedService' Value='5'/>",
        "<LevelModifiers><Modifier Type='GuestsCountM' Value='1.5'/></LevelModifiers>"
        "<ActiveFeature ButtonName='Game_Fire' DurationTime='8000' MoneyCost='500' Name='%F%'>"
        "<Feature Type='BoostIncome'/><Feature Type='BoostServeArea'/>"
        "<LevelModifiers><Modifier Type='PRIncomeBonus' Value='1'/></LevelModifiers>"
        "<LevelModifiers><Modifier Type='PRIncomeBonus' Value='2'/><Modifier Type='WorkersCostA' Value='1'/></LevelModifiers>"
        "</ActiveFeature>"
        "<ActiveFeature/>")));
    ASSERT_TRUE(config.readBuildingsConfiguration(*reader));
    EXPECT_TRUE(log.entries().empty());
    const GBuildingConfig* r = config.find(id("Camping1"));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->NextLevelName, id("Camping2"));
    EXPECT_STREQ(r->DisplayName.c_str(), "Camping");
    EXPECT_TRUE(r->Description == L"%Desc%");
    EXPECT_EQ(r->Level, 1);
    EXPECT_FLOAT_EQ(r->BuildTime, 8000.0f);
    EXPECT_FLOAT_EQ(r->RepairTime, 2000.0f);  // default
    EXPECT_FLOAT_EQ(r->ServicePeriod, 2000.0f);
    EXPECT_FLOAT_EQ(r->Cost, 20000.0f);
    EXPECT_EQ(r->GuestsCount, 10);
    EXPECT_EQ(r->ProvidedService, 5);
    EXPECT_EQ(r->SelectedSoundCueName, id("CampingIdle"));
    EXPECT_EQ(r->BuiltSoundCueName, engine::kNoName);
    // BoostedServeArea falls back to ServeArea.
    EXPECT_FLOAT_EQ(r->BoostedServeArea.X, 200.0f);
    EXPECT_FLOAT_EQ(r->BoostedServeArea.Y, 100.0f);
    ASSERT_NE(r->LevelModifiers, nullptr);
    EXPECT_EQ(r->LevelModifiers->size(), 1u);

    ASSERT_EQ(r->ActiveFeatures.size(), 2u);
    const auto& f = r->ActiveFeatures[0];
    EXPECT_EQ(f.buttonName, id("Game_Fire"));
    EXPECT_EQ(f.durationTime, 8000);
    EXPECT_EQ(f.rechargeTime, 8000);  // the duration when missing
    EXPECT_FLOAT_EQ(f.moneyCost, 500.0f);
    EXPECT_TRUE(f.name == L"%F%");
    ASSERT_EQ(f.features.size(), 2u);
    EXPECT_EQ(f.features[1], id("BoostServeArea"));
    // A second LevelModifiers child replaces the first.
    ASSERT_NE(f.levelModifiers, nullptr);
    EXPECT_EQ(f.levelModifiers->size(), 2u);
    // An empty ActiveFeature gets the read defaults.
    EXPECT_EQ(r->ActiveFeatures[1].durationTime, 15000);
    EXPECT_EQ(r->ActiveFeatures[1].rechargeTime, 15000);
    EXPECT_EQ(r->ActiveFeatures[1].levelModifiers, nullptr);
}

TEST(BuildingsConfiguration, PropertyValuesFollowTheirTypes) {
    struct Case {
        const char* property;
        int32_t provided;
        float buildTime;
        int32_t workers;
    };
    const Case cases[] = {
        {"<int Name='ProvidedService' Value='3'/>", 0, 5000.0f, 1},
        {"<int Name='ProvidedService' Value='4'/>", 4, 5000.0f, 1},
        {"<float Name='ProvidedService' Value='5'/>", 0, 5000.0f, 1},  // wrong type gives 0
        {"<int Name='BuildTime' Value='9000'/>", 0, 0.0f, 1},         // wrong type gives 0
        {"<float Name='BuildWorkersCost' Value='3'/>", 0, 5000.0f, 0},
        {"<int Name='BuildWorkersCost' Value='3'/>", 0, 5000.0f, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.property);
        BuildingsConfiguration config;
        auto reader = xml(file(building(std::string("<string Name='Name' Value='B'/>") + c.property)));
        ASSERT_TRUE(config.readBuildingsConfiguration(*reader));
        const GBuildingConfig* r = config.find(id("B"));
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->ProvidedService, c.provided);
        EXPECT_FLOAT_EQ(r->BuildTime, c.buildTime);
        EXPECT_EQ(r->BuildWorkersCost, c.workers);
    }
}

TEST(BuildingsConfiguration, FirstRecordOfANameWinsAndRereadingReplacesAll) {
    BuildingsConfiguration config;
    auto reader = xml(file(building("<string Name='Name' Value='A'/><float Name='Cost' Value='1'/>") +
                           "<Other><Building/></Other>" +
                           building("<string Name='Name' Value='A'/><float Name='Cost' Value='2'/>") +
                           building("<int Name='Level' Value='3'/>") + building("<int Name='Level' Value='4'/>")));
    ASSERT_TRUE(config.readBuildingsConfiguration(*reader));
    EXPECT_EQ(config.records().size(), 2u);
    EXPECT_FLOAT_EQ(config.find(id("A"))->Cost, 1.0f);
    // A building without a Name sits under -1; the first one stays.
    ASSERT_NE(config.find(engine::kNoName), nullptr);
    EXPECT_EQ(config.find(engine::kNoName)->Level, 3);

    auto again = xml(file(building("<string Name='Name' Value='C'/>")));
    ASSERT_TRUE(config.readBuildingsConfiguration(*again));
    EXPECT_EQ(config.records().size(), 1u);
    EXPECT_EQ(config.find(id("A")), nullptr);
}

TEST(BuildingsConfiguration, GettersApplyTheLevelModifiers) {
    struct Case {
        int32_t cost;
        float workersCostA;
        int32_t expected;
    };
    const Case cases[] = {{3, 2.5f, 1}, {3, 1.5f, 1}, {3, 0.5f, 2}, {3, 0.0f, 3}, {1, -2.0f, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.workersCostA);
        auto r = record("X");
        r->BuildWorkersCost = c.cost;
        r->DestroyWorkersCost = c.cost;
        game::GLevelConfig level;
        level.modifierValues.WorkersCostA = c.workersCostA;
        EXPECT_EQ(r->buildWorkersCost(&level), c.expected);
        EXPECT_EQ(r->destroyWorkersCost(&level), c.expected);
        EXPECT_EQ(r->buildWorkersCost(nullptr), c.cost);
        EXPECT_EQ(r->repairWorkersCost(&level), 1);
    }

    game::GLevelConfig level;
    level.modifierValues.GuestsCountM = 1.5f;
    auto hotel = record("H", 1, 0);
    hotel->GuestsCount = 7;
    EXPECT_EQ(hotel->guestsCount(&level), 11);
    EXPECT_EQ(hotel->guestsCount(nullptr), 7);
    auto joy = record("J", 1, 1);
    joy->GuestsCount = 7;
    EXPECT_EQ(joy->guestsCount(&level), 7);
    EXPECT_FLOAT_EQ(hotel->buildMaterialsCost(&level), 10.0f);
    EXPECT_FLOAT_EQ(hotel->repairMaterialsCost(&level), 10.0f);
}

TEST(BuildingsConfiguration, ServeAreaBonusFollowsTheBuildingsState) {
    auto r = record("Cafe", 1, 1);
    r->ServeAreaIncomeBonus = 10.0f;
    r->BrokenServeAreaIncomeBonus = 2.0f;
    StubBuilding b;
    EXPECT_FLOAT_EQ(r->serveAreaIncomeBonus(b), 10.0f);
    b.cond = 1;
    EXPECT_FLOAT_EQ(r->serveAreaIncomeBonus(b), 2.0f);
    b.job = 3;
    EXPECT_FLOAT_EQ(r->serveAreaIncomeBonus(b), 0.0f);
}

TEST(BuildingsConfiguration, CopySharesModifierListsAndKeepsFields) {
    BuildingsConfiguration config;
    auto reader = xml(file(building("<string Name='Name' Value='A'/><float Name='Income' Value='7'/>",
                                    "<LevelModifiers><Modifier Type='PRIncomeBonus' Value='1'/></LevelModifiers>"
                                    "<ActiveFeature><LevelModifiers/></ActiveFeature>")));
    ASSERT_TRUE(config.readBuildingsConfiguration(*reader));
    GBuildingConfig* original = config.find(id("A"));
    engine::CountedRef<GBuildingConfig> copy(original->copy());
    EXPECT_EQ(copy->getRefCount(), 1);
    EXPECT_FLOAT_EQ(copy->Income, 7.0f);
    EXPECT_EQ(copy->LevelModifiers, original->LevelModifiers);
    EXPECT_EQ(original->LevelModifiers->getRefCount(), 2);
    EXPECT_EQ(copy->ActiveFeatures[0].levelModifiers->getRefCount(), 2);
    // The copy outlives the holder's records.
    config.clear();
    EXPECT_EQ(copy->LevelModifiers->getRefCount(), 1);
    EXPECT_EQ(copy->LevelModifiers->size(), 1u);
}
