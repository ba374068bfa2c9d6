#include "ConfigTestSupport.h"
#include "engine/content/Dictionary.h"
#include "game/config/LevelObjectives.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>

using namespace config_test;
using game::GObjective;
using game::GObjectiveList;

namespace {

std::unique_ptr<GObjective> objective(const std::string& attributes) {
    auto reader = xmlAtRoot("<Objective " + attributes + "/>");
    std::unique_ptr<GObjective> made(game::createObjective(reader->getAttributeValue(L"Type")));
    if (made) made->read(*reader);
    return made;
}

// Installs a dictionary with the objective keys for the test's life.
class ObjectiveTexts : public testing::Test {
protected:
    void SetUp() override {
        const std::string path = dir_.write("d.xml",
                                            "<Dictionary><s n='MoneyDollar'>$#p</s><s n='Obj_Income'>Earn #p</s>"
                                            "<s n='Obj_IncomeFull'>Earn #p a day</s><s n='Obj_Workers'>Hire #p</s>"
                                            "<s n='Obj_HaveGuests'>Host #p</s></Dictionary>");
        ASSERT_TRUE(dictionary_.load(path.c_str()));
        engine::setCurrentDictionary(&dictionary_);
    }
    void TearDown() override { engine::setCurrentDictionary(nullptr); }

    testing_support::TempDir dir_;
    engine::Dictionary dictionary_;
};

}  // namespace

TEST_F(ObjectiveTexts, SimpleKindsTestTheLevelAndShowTheirTexts) {
    StubLevel level;
    auto money = objective("Type='Money' Value='1000' InfoStr='%Goal%'");
    ASSERT_NE(money, nullptr);
    level.moneyValue = 999.99f;
    EXPECT_FALSE(money->isMet(level));
    level.moneyValue = 1000.0f;
    EXPECT_TRUE(money->isMet(level));
    EXPECT_TRUE(money->getText(true) == L"%Goal%");
    level.moneyValue = 1234.5f;
    EXPECT_TRUE(money->getProgressText(level) == L"$1,235/$1,000");
    EXPECT_TRUE(money->getHint() == L"%GamePlay_CompleteHintMoney%");

    auto income = objective("Type='Income' Value='2500.9'");
    level.income = 2500.0f;
    EXPECT_FALSE(income->isMet(level));
    EXPECT_TRUE(income->getText(false) == L"Earn 2,500");
    EXPECT_TRUE(income->getText(true) == L"Earn 2,500 a day");
    EXPECT_TRUE(income->getProgressText(level) == L"$2,500/$2,500");

    auto workers = objective("Type='Workers' Value='6.7'");
    level.hired = 5;
    EXPECT_FALSE(workers->isMet(level));
    level.hired = 6;
    EXPECT_TRUE(workers->isMet(level));
    EXPECT_TRUE(workers->getText(true) == L"Hire 6");
    EXPECT_TRUE(workers->getProgressText(level) == L"6/6");
    EXPECT_TRUE(workers->getHint() == L"%GamePlay_CompleteHintWorkers%");

    auto guests = objective("Type='GuestsCount' Value='20'");
    level.guestCount = 20;
    EXPECT_TRUE(guests->isMet(level));
    EXPECT_TRUE(guests->getText(true) == L"Host 20");
    EXPECT_TRUE(guests->getHint() == L"%GamePlay_CompleteHintGuests%");
}

TEST(LevelObjectives, ListReadsKnownKindsOnly) {
    GObjectiveList list;
    auto reader = xmlAtRoot(
        "<Objectives><Objective Type='Money'/><Objective Type='money'/><Objective/><Note Type='Money'/>"
        "<Objective Type='Workers'><Child/></Objective><Objective Type='HaveConcurrentFeatures'/></Objectives>");
    ASSERT_TRUE(list.read(*reader));
    EXPECT_EQ(list.size(), 3u);
    auto empty = xmlAtRoot("<Objectives/>");
    ASSERT_TRUE(list.read(*empty));
    EXPECT_EQ(list.size(), 0u);
}

TEST(LevelObjectives, TypedBuildingsCount) {
    auto camping = record("Camping1");
    auto hostel = record("Hostel1");
    auto place = record("BuildingPlace", 0);
    StubLevel level;
    auto add = [&](const game::GBuildingConfig* r, const char* placeName) -> StubBuilding& {
        StubBuilding b;
        b.current = r;
        b.place = id(placeName);
        level.buildings.push_back(b);
        return level.buildings.back();
    };
    add(camping.get(), "P1");
    add(camping.get(), "P2").owned = false;
    add(hostel.get(), "P3").incomeBonus = 20.0f;
    {
        StubBuilding& upgrading = add(place.get(), "P4");  // Camping1 under construction over a place
        upgrading.job = 1;
        upgrading.previous = camping.get();
    }
    add(camping.get(), "P5").job = 2;  // being destroyed
    add(place.get(), "P6").incomeBonus = 30.0f;

    struct Case {
        const char* attributes;
        int32_t count;
    };
    const Case cases[] = {
        {"BuildingTypes='Camping1'", 3},
        {"BuildingTypes='Camping1' MustOwn='true'", 2},
        {"BuildingTypes='Camping1' MustOwn='TRUE'", 3},
        {"BuildingTypes='Camping1' PlaceNames='P2;P4'", 2},
        {"", 4},  // every built record counted, the destroyed one and the empty place left out
        {"MinIncomeBonus='15'", 2},  // no types: every building reaching the bonus, built or not
        {"MinIncomeBonus='15' BuildingTypes='Hostel1'", 1},
        {"MinServedGuests='1'", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attributes);
        auto goal = objective(std::string("Type='HaveTypedBuildingsCount' Value='2' ") + c.attributes);
        auto* counting = dynamic_cast<game::CountingObjective*>(goal.get());
        ASSERT_NE(counting, nullptr);
        EXPECT_EQ(counting->count(level), c.count);
        EXPECT_EQ(goal->isMet(level), c.count >= 2);
        EXPECT_TRUE(goal->getProgressText(level) == (std::to_wstring(c.count) + L"/2").c_str());
        EXPECT_TRUE(goal->getHint().empty());
    }
}

TEST(LevelObjectives, EachTypeCountsUpToTheValuePerType) {
    auto a = record("A");
    auto b = record("B");
    StubLevel level;
    for (const auto* r : {a.get(), a.get(), a.get(), b.get()}) {
        StubBuilding building;
        building.current = r;
        level.buildings.push_back(building);
    }
    auto goal = objective("Type='HaveEachTypeBuildingsCount' BuildingTypes='A;B' Value='2' InfoStr='x'");
    EXPECT_TRUE(goal->getProgressText(level) == L"3/4");
    EXPECT_FALSE(goal->isMet(level));
    level.buildings.push_back(level.buildings.back());
    EXPECT_TRUE(goal->isMet(level));
    // No types: met at once.
    auto none = objective("Type='HaveEachTypeBuildingsCount' Value='2'");
    EXPECT_TRUE(none->isMet(level));
}

TEST(LevelObjectives, HistoryActionsCount) {
    StubLevel level;
    level.actions = {{0, id("A"), id("P1")}, {0, id("B"), id("P2")}, {3, id("A"), id("P1")}, {0, id("A"), id("P3")}};
    struct Case {
        const char* attributes;
        int32_t count;
    };
    const Case cases[] = {
        {"Action='0'", 3},
        {"Action='0' BuildingTypes='A'", 2},
        {"Action='0' BuildingTypes='A' PlaceNames='P3'", 1},
        {"Action='3'", 1},
        {"", 3},  // a missing Action is 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attributes);
        auto goal = objective(std::string("Type='TypedHistoryActionsCount' Value='2' ") + c.attributes);
        EXPECT_EQ(dynamic_cast<game::CountingObjective*>(goal.get())->count(level), c.count);
    }
}

TEST(LevelObjectives, ConcurrentFeaturesLatchUntilReset) {
    auto truck = record("Truck", 1, 1);
    StubLevel level;
    StubBuilding first;
    first.current = truck.get();
    level.buildings = {first, first};
    // The extra index is ignored: two pairs.
    auto goal = objective("Type='HaveConcurrentFeatures' BuildingTypes='Truck;Truck' FeatureIndices='0;1;2'");
    auto* concurrent = dynamic_cast<game::HaveConcurrentFeaturesObjective*>(goal.get());
    ASSERT_NE(concurrent, nullptr);
    EXPECT_EQ(concurrent->featureIndices.size(), 2u);
    EXPECT_FALSE(goal->isMet(level));
    level.buildings[0].features[0] = 1;
    level.buildings[0].features[1] = 1;
    // One building cannot serve both pairs.
    EXPECT_TRUE(goal->getProgressText(level) == L"1/2");
    EXPECT_FALSE(goal->isMet(level));
    level.buildings[1].features[1] = 1;
    EXPECT_TRUE(goal->isMet(level));
    // Once met it stays met, until reset.
    level.buildings[1].features[1] = 0;
    EXPECT_TRUE(goal->isMet(level));
    goal->reset();
    EXPECT_FALSE(goal->isMet(level));
    // A building with a condition does not count.
    level.buildings[1].features[1] = 1;
    level.buildings[1].cond = 1;
    EXPECT_FALSE(goal->isMet(level));
}
