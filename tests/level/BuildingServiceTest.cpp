// Serve areas, income and income bonus with the smile, the serve-area
// highlight, prices and offers, the for-sale clock and the timer dial, on the
// headless level. The small level's places stand at x = 50, 250, 450, 650 on
// two rows (y = 100 and 500), 140 x 56 each; its garden (Place03) reaches
// 600 x 300 around (520, 128): Place02 and Place04, not Place01.
#include "engine/content/Dictionary.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/common/GeometryNodes.h"
#include "level/BuildingTestSupport.h"

#include <functional>
#include <string>

using namespace engine;
using building_test::BuildingTest;
using building_test::textOf;
using game::GBuildingConfig;
using game::GBuildingNode;
using game::GLevelConfig;

namespace {

SpriteNode* bodyOf(GBuildingNode* building) {
    return nodeCast<SpriteNode>(building->getTemplateRoot()->findChild(makeNameId("Body"), 1));
}

}  // namespace

TEST_F(BuildingTest, IncomeBonusAddsServeAreasLevelValuesAndLuck) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place02");
    GBuildingNode* garden = place("Place03");
    GLevelConfig* config = level.config();
    CountedRef<GBuildingConfig> park = makeRecord("Park", 1, 2);
    park->ServeArea = vector2df(600.0f, 300.0f);
    park->ServeAreaIncomeBonus = 5.0f;
    CountedRef<GBuildingConfig> spa = makeRecord("Spa", 1, 0);
    spa->ServeArea = vector2df(100.0f, 100.0f);
    spa->ServeAreaIncomeBonus = 5.0f;
    spa->Income = 100.0f;

    struct Case {
        const char* what;
        std::function<void()> set;
        float bonus;
    };
    const Case cases[] = {
        {"garden", [] {}, 10.0f},
        {"broken garden gives its broken bonus", [&] { garden->setCondition(GBuildingNode::kBroken); }, 0.0f},
        {"garden at work gives nothing", [&] { garden->setJob(GBuildingNode::kServiceJob, nullptr); }, 0.0f},
        {"a second garden counts once", [&] { place("Place01")->setRecord(record("Garden"), false); }, 10.0f},
        {"another type adds", [&] { place("Place01")->setRecord(park.get(), false); }, 15.0f},
        {"a building inside its own area", [&] { hotel->setRecord(spa.get(), false); }, 15.0f},
        {"luck 1", [&] {
             config->incomeBonus1 = 7.0f;
             hotel->setLuckinessType(1);
         }, 17.0f},
        {"luck -1", [&] {
             config->incomeBonus2 = -4.0f;
             hotel->setLuckinessType(-1);
         }, 6.0f},
        {"public relations", [&] { config->modifierValues.PRIncomeBonus = 2.5f; }, 12.5f},
        {"station types", [&] {
             config->stationIncomeBonus1 = 3.0f;
             config->stationIncomeBonus1BuildingTypes.push_back(makeNameId("Hotel1"));
         }, 13.0f},
        {"station other type", [&] {
             config->stationIncomeBonus2 = 3.0f;
             config->stationIncomeBonus2BuildingTypes.push_back(makeNameId("Shop"));
         }, 10.0f},
        {"pyramid place", [&] {
             config->modifierValues.PyramidIncomeBonus = 20.0f;
             config->pyramidIncomeBonusPlaces.push_back(makeNameId("Place02"));
         }, 30.0f},
    };
    const auto reset = [&] {
        garden->setCondition(GBuildingNode::kNoCondition);
        garden->setJob(GBuildingNode::kNoJob, nullptr);
        place("Place01")->setRecord(record("BuildingPlace"), false);
        hotel->setRecord(record("Hotel1"), false);
        config->incomeBonus1 = config->incomeBonus2 = 0.0f;
        config->stationIncomeBonus1 = config->stationIncomeBonus2 = 0.0f;
        config->stationIncomeBonus1BuildingTypes.clear();
        config->stationIncomeBonus2BuildingTypes.clear();
        config->pyramidIncomeBonusPlaces.clear();
        config->modifierValues.reset();
        hotel->setLuckinessType(0);
    };
    for (const Case& c : cases) {
        c.set();
        hotel->updateIncomeBonus();
        EXPECT_FLOAT_EQ(hotel->getIncomeBonusPercent(), c.bonus) << c.what;
        reset();
    }

    // The bonus raises the income: 100 x 1.10.
    hotel->updateIncomeBonus();
    EXPECT_FLOAT_EQ(hotel->income(), 110.0f);
    ASSERT_EQ(hotel->getCoveringBuildings().size(), 1u);
    EXPECT_EQ(hotel->getCoveringBuildings()[0], garden);
}

TEST_F(BuildingTest, TheSmileShowsTheWholePercentInItsColour) {
    startWithOverlays();
    GBuildingNode* hotel = place("Place02");
    place("Place03")->setJob(GBuildingNode::kServiceJob, nullptr);  // no garden bonus
    TextNode* smile = hotel->getSmileIcon();
    ASSERT_NE(smile, nullptr);
    struct Case {
        float luck;
        bool shown;
        const char* text;
    };
    const Case cases[] = {{15.0f, true, "+15%"}, {14.9f, true, "+14%"}, {-10.5f, true, "-10%"}, {0.0f, false, ""}};
    for (const Case& c : cases) {
        level.config()->incomeBonus1 = c.luck;
        hotel->setLuckinessType(1);
        EXPECT_EQ(smile->isVisible(), c.shown) << c.luck;
        if (c.shown) {
            EXPECT_EQ(textOf(smile), c.text) << c.luck;
        }
    }
    // Only plain hotels (Type 0) show one.
    level.config()->incomeBonus1 = 20.0f;
    hotel->setRecord(record("Shop"), false);
    hotel->updateIncomeBonus();
    EXPECT_FALSE(smile->isVisible());
}

TEST_F(BuildingTest, ServingBuildingsClaimAndCountTheGuestsTheyReach) {
    startWithOverlays();
    CountedRef<GBuildingConfig> cafe = makeRecord("Cafe", 1, 1);
    cafe->ServeArea = vector2df(600.0f, 300.0f);
    cafe->ServeIncome = 2.0f;
    cafe->Income = 10.0f;
    GBuildingNode* server = place("Place03");
    GBuildingNode* second = place("Place01");
    GBuildingNode* hotel = place("Place02");
    server->setRecord(cafe.get(), false);
    second->setRecord(cafe.get(), false);
    EXPECT_EQ(hotel->servingBuildingOfType(cafe->Name), server);
    EXPECT_EQ(place("Place04")->servingBuildingOfType(cafe->Name), server);

    // Both hotels (5 guests each); the second cafe reaches only a hotel
    // the first one serves.
    EXPECT_EQ(server->servedGuests(nullptr), 10);
    EXPECT_EQ(second->servedGuests(nullptr), 0);
    server->updateIncomeBonus();  // the garden's own bonus is gone
    EXPECT_FLOAT_EQ(server->income(), 10.0f * 2.0f + 10.0f);

    hotel->setCondition(GBuildingNode::kDirty);
    EXPECT_EQ(server->servedGuests(nullptr), 5);
    hotel->setCondition(GBuildingNode::kNoCondition);

    // Forgetting the server frees the entry for the next claim.
    hotel->forgetServingBuilding(server);
    second->claimServedBuildings();
    EXPECT_EQ(hotel->servingBuildingOfType(cafe->Name), second);

    CountedRef<GBuildingConfig> weak = makeRecord("Kiosk", 1, 1);
    weak->ServeArea = vector2df(600.0f, 300.0f);
    weak->ServeIncome = 0.5f;
    EXPECT_EQ(server->servedGuests(weak.get()), 0);
    EXPECT_EQ(server->buildingsInServeArea(makeRecord("Nothing", 1, 1).get()).size(), 0u);

    // While a hotel is upgraded its income is that of the level before.
    hotel->setRecord(record("Hotel2"), false);
    hotel->setJob(GBuildingNode::kConstructionJob, nullptr);
    EXPECT_FLOAT_EQ(hotel->income(), 110.0f);
    EXPECT_FLOAT_EQ(hotel->income(record("Hotel2")), 275.0f);
    EXPECT_FLOAT_EQ(hotel->income(makeRecord("Place", 0, 0).get()), 0.0f);
}

TEST_F(BuildingTest, TheHighlightFramesTheAreaAndTintsWhatItReaches) {
    startWithOverlays();
    GBuildingNode* garden = place("Place03");
    GBuildingNode* hotel = place("Place02");
    garden->showServeAreaHighlight(garden->getRecord());
    BaseNode* area = garden->getServeArea();
    ASSERT_NE(area, nullptr);
    EXPECT_TRUE(area->isVisible());
    // The garden and the hotels at 250..390 and 650..790: 540 x 56 rounded
    // to the grid of 40, one row more in height.
    EXPECT_EQ(area->getBounds(), vector3df(560.0f, 80.0f, 0.0f));
    EXPECT_EQ(area->getPivotPoint(), vector2df(280.0f, 40.0f));
    EXPECT_EQ(area->getPosition(), vector3df(70.0f, 28.0f, -500.0f));
    EXPECT_EQ(bodyOf(hotel)->getTintColor().color, GBuildingNode::kIncomeBonusAreaTint);
    EXPECT_EQ(bodyOf(place("Place04"))->getTintColor().color, GBuildingNode::kIncomeBonusAreaTint);
    EXPECT_NE(bodyOf(place("Place01"))->getTintColor().color, GBuildingNode::kIncomeBonusAreaTint);

    garden->showServeAreaHighlight(nullptr);
    EXPECT_FALSE(area->isVisible());

    // A served building shows who gives it its bonus.
    bodyOf(garden)->setTintColor(SColor(GBuildingNode::kNeutralBodyTint));
    hotel->showServeAreaHighlight(hotel->getRecord());
    EXPECT_EQ(bodyOf(garden)->getTintColor().color, GBuildingNode::kIncomeBonusAreaTint);
}

TEST_F(BuildingTest, PricesFollowOwnershipModifiersAndOffers) {
    startWithOverlays();
    GBuildingNode* owned = place("Place02");    // Hotel1, SellPrice 2000
    GBuildingNode* other = place("Place04");    // Hotel1, not owned
    game::LevelModifierValues& modifiers = level.config()->modifierValues;
    modifiers.OwnedBuildingPriceBonus = 10.0f;
    modifiers.BuyBuildingPriceDiscount = 20.0f;
    modifiers.BuyNotForSaleBuildingPriceBonus = 50.0f;
    EXPECT_FLOAT_EQ(owned->price(), 2200.0f);
    EXPECT_FLOAT_EQ(other->price(), 2000.0f * 1.3f);
    other->setForSale(true);
    EXPECT_FLOAT_EQ(other->price(), 1600.0f);
    EXPECT_FLOAT_EQ(owned->price(record("Hotel2")), 5000.0f);

    // A buyer offering 1.25 times 10,400 is rounded to whole thousands.
    CountedRef<GBuildingConfig> dear = makeRecord("Dear", 1, 0);
    dear->SellPrice = 10400.0f;
    modifiers.OwnedBuildingPriceBonus = 0.0f;
    owned->setRecord(dear.get(), false);
    level.config()->buildingsBuyRequestTime = vector2df(100.0f, 100.0f);
    level.config()->buildingsBuyRequestPriceMultiplier = vector2df(1.25f, 1.25f);
    owned->setForSale(true);
    owned->updateSale(101);
    ASSERT_TRUE(owned->isBuyRequestPending());
    EXPECT_FLOAT_EQ(owned->getOfferMultiplier(), 1.25f);
    EXPECT_EQ(owned->getOfferPrice(), 13000);
    IDictionary* dictionary = getCurrentDictionary();
    const stringw tag = dictionary ? dictionary->format("MoneyDollar", L"13,000") : stringw(L"13,000");
    EXPECT_TRUE(owned->getPriceText()->getText() == tag) << textOf(owned->getPriceText());
}

TEST_F(BuildingTest, BuyersCallAndHangUpWhileUnownedOffersExpire) {
    startWithOverlays();
    GLevelConfig* config = level.config();
    config->buildingsBuyRequestTime = vector2df(1000.0f, 1000.0f);
    config->buildingsBuyRequestTimeWaiting = vector2df(500.0f, 500.0f);
    config->buildingsSellTime = vector2df(800.0f, 800.0f);
    config->buildingsBuyRequestPriceMultiplier = vector2df(0.9f, 0.9f);
    GBuildingNode* owned = place("Place02");
    GBuildingNode* other = place("Place04");

    owned->setForSale(true);
    other->setForSale(true);
    EXPECT_EQ(owned->getSaleWait(), 1000);
    EXPECT_EQ(other->getSaleWait(), 800);
    EXPECT_TRUE(owned->getForSaleNode()->isVisible());
    BaseNode* otherDial = other->getForSaleNode()->findChild(makeNameId("Progress"), 1);
    ASSERT_NE(otherDial, nullptr);
    EXPECT_TRUE(otherDial->isVisible());
    EXPECT_FALSE(owned->getForSaleNode()->findChild(makeNameId("Progress"), 1)->isVisible());

    level.advance(500);
    EXPECT_FALSE(owned->isBuyRequestPending());
    // Half the unowned offer's time has passed: the dial's hand shows it.
    const float hand = otherDial->getChild(2)->getRotation().Z;
    EXPECT_GT(hand, 180.0f);
    EXPECT_LT(hand, 260.0f);

    level.advance(400);  // 900 ms: the unowned offer is over
    EXPECT_FALSE(other->isForSale());

    level.advance(200);  // 1100 ms: a buyer calls
    EXPECT_TRUE(owned->isBuyRequestPending());
    EXPECT_TRUE(owned->getPhoneIcon()->isVisible());
    EXPECT_EQ(owned->getSaleWait(), 500);
    EXPECT_EQ(owned->getOfferPrice(), 2000);  // 1,800 to the nearest thousand

    level.advance(600);  // the buyer hangs up
    EXPECT_FALSE(owned->isBuyRequestPending());
    EXPECT_FALSE(owned->getPhoneIcon()->isVisible());
    EXPECT_TRUE(owned->isForSale());
    EXPECT_EQ(owned->getSaleWait(), 1000);

    owned->clearSale();
    EXPECT_FALSE(owned->isForSale());
    EXPECT_FALSE(owned->getForSaleNode()->isVisible());
}

TEST_F(BuildingTest, TheDialFillsFromGreenOverYellowToRed) {
    startWithOverlays();
    const CreationContext context(nullptr, "");
    CountedRef<BaseNode> dial(new BaseNode(&context, nullptr, nullptr));
    BaseNode* back = new BaseNode(&context, dial.get(), nullptr);
    back->release();
    GEllipseSectorNode* sector = new GEllipseSectorNode(&context, dial.get(), nullptr);
    sector->release();
    SpriteNode* hand = new SpriteNode(&context, dial.get(), nullptr);
    hand->release();

    struct Case {
        float progress;
        int32_t angle;
        uint32_t colour;
    };
    const Case cases[] = {
        {0.0f, 0, 0xFF00FF00u},   {0.25f, 90, 0xFF7FFF00u},  {0.5f, 180, 0xFFFFFF00u},
        {0.75f, 270, 0xFFFF7F00u}, {1.0f, 360, 0xFFFF0000u},
    };
    for (const Case& c : cases) {
        GBuildingNode::setTimerDial(dial.get(), c.progress);
        EXPECT_EQ(sector->getAngle2(), c.angle) << c.progress;
        EXPECT_EQ(sector->getFillColor().color, c.colour) << c.progress;
        EXPECT_FLOAT_EQ(hand->getRotation().Z, static_cast<float>(c.angle)) << c.progress;
    }

    // A dial without its hand is left alone.
    dial->removeChild(hand);
    GBuildingNode::setTimerDial(dial.get(), 0.5f);
    EXPECT_EQ(sector->getAngle2(), 360);
    GBuildingNode::setTimerDial(nullptr, 0.5f);
}
