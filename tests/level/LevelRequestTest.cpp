// The requests, world events and clicks the level answers, on the small
// headless level: sale offers, breakdowns and dirt, money letters, weather,
// the building query, income, and the selection by clicks.
#include "engine/core/EventIds.h"
#include "game/world/WeatherParticlesNode.h"
#include "level/LevelSceneFixture.h"

#include <memory>

using namespace engine;
using game::GBuildingNode;
using game::GGameLevelScene;
using level_test::eventId;
using testing_support::SmallContent;
using testing_support::TempDir;

namespace {

class LevelRequestTest : public level_test::SmallLevelTest {
protected:
    template <class E>
    bool send(E* adopted) {
        CountedRef<E> event(adopted);
        return scene->handleEvent(event.get());
    }
    template <class E>
    CountedRef<E> request(std::initializer_list<const char*> types, std::initializer_list<const char*> places = {}) {
        CountedRef<E> event(new E());
        for (const char* type : types) event->buildingTypes.push_back(makeNameId(type));
        for (const char* name : places) event->placeNames.push_back(makeNameId(name));
        return event;
    }
    bool press(BaseNode* node) {
        CountedRef<NodePressedEvent> event(new NodePressedEvent(node));
        return scene->handleEvent(event.get());
    }
    std::vector<GBuildingNode*> withCondition(int32_t condition) const {
        std::vector<GBuildingNode*> found;
        for (GBuildingNode* building : scene->buildings) {
            if (building->getCondition() == condition) found.push_back(building);
        }
        return found;
    }
};

// Letters are allowed by the small level's upgrade.
SmallContent withLetters() {
    SmallContent content;
    content.upgrades = level_test::upgradesWithModifiers("<Modifier Type=\"CanReceiveMoneyLetters\" Value=\"1\"/>");
    return content;
}

CountedRef<game::GLetterRequestEvent> letterRequest(float moneyMin, float moneyMax, float waitMin, float waitMax) {
    CountedRef<game::GLetterRequestEvent> event(new game::GLetterRequestEvent());
    event->moneyRange = vector2df(moneyMin, moneyMax);
    event->waitTimeRange = vector2df(waitMin, waitMax);
    return event;
}

}  // namespace

TEST_F(LevelRequestTest, ASaleOfferPicksAnUnownedBuildingOfTheListedKinds) {
    start();
    auto offer = request<game::GSellBuildingRequestEvent>({"Ruin"});
    EXPECT_TRUE(scene->handleEvent(offer.get()));
    EXPECT_TRUE(place("Place08")->isForSale());
    EXPECT_FALSE(place("Place04")->isForSale());
    // Nothing left to offer of that kind: handled, nothing changes.
    EXPECT_TRUE(scene->handleEvent(offer.get()));
    auto owned = request<game::GSellBuildingRequestEvent>({"Shop"});
    EXPECT_TRUE(scene->handleEvent(owned.get()));
    EXPECT_FALSE(place("Place06")->isForSale());
}

TEST_F(LevelRequestTest, BreakdownsHitOnlyOperatingHotelsLeftAloneLongEnough) {
    start();
    auto broken = request<game::GBrokenBuildingRequestEvent>({});
    // Only Type 0 and operating: the owned hotel (Place02).
    EXPECT_TRUE(scene->handleEvent(broken.get()));
    EXPECT_EQ(withCondition(GBuildingNode::kBroken), std::vector<GBuildingNode*>{place("Place02")});
    ASSERT_TRUE(scene->repair(place("Place02")));
    ASSERT_TRUE(finishJob(place("Place02")));
    // Repaired a moment ago: spared.
    EXPECT_TRUE(scene->handleEvent(broken.get()));
    EXPECT_TRUE(withCondition(GBuildingNode::kBroken).empty());
    level.advance(10000);
    EXPECT_TRUE(scene->handleEvent(broken.get()));
    EXPECT_EQ(withCondition(GBuildingNode::kBroken).size(), 1u);
    // A place list that names nothing that fits.
    place("Place02")->setCondition(0);
    auto elsewhere = request<game::GBrokenBuildingRequestEvent>({}, {"Place03"});
    EXPECT_TRUE(scene->handleEvent(elsewhere.get()));
    EXPECT_TRUE(withCondition(GBuildingNode::kBroken).empty());
}

TEST_F(LevelRequestTest, NoBreakdownsWhereTheLevelForbidsThem) {
    SmallContent content;
    content.upgrades = level_test::upgradesWithModifiers("<Modifier Type=\"CanBuildingsBroke\" Value=\"0\"/>");
    start(content);
    auto broken = request<game::GBrokenBuildingRequestEvent>({});
    EXPECT_TRUE(scene->handleEvent(broken.get()));
    EXPECT_TRUE(withCondition(GBuildingNode::kBroken).empty());
}

TEST_F(LevelRequestTest, DirtHitsOnlyDecorations) {
    start();
    auto dirty = request<game::GDirtyBuildingRequestEvent>({});
    EXPECT_TRUE(scene->handleEvent(dirty.get()));
    EXPECT_EQ(withCondition(GBuildingNode::kDirty), std::vector<GBuildingNode*>{place("Place03")});
    // The cafe request is accepted without effect.
    auto cafe = request<game::GCafeBuildingRequestEvent>({});
    EXPECT_TRUE(scene->handleEvent(cafe.get()));
}

TEST_F(LevelRequestTest, ALetterPaysByTheIncomeWhenCollectedAndNothingWhenItExpires) {
    start(withLetters());
    GBuildingNode* hotel = place("Place02");
    // 100 and the garden's 10 %: 100 x floor(110 x 0.01 x 1 + 1) = 200.
    ASSERT_FLOAT_EQ(hotel->income(), 110.0f);
    EXPECT_TRUE(scene->handleEvent(letterRequest(1.0f, 1.0f, 3000.0f, 3000.0f).get()));
    ASSERT_EQ(scene->moneyLetters.size(), 1u);
    auto* data = dynamic_cast<game::MoneyLetterData*>(scene->moneyLetters[0]->getUserData());
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->amount, 200);
    EXPECT_EQ(data->total, 3000);
    EXPECT_EQ(data->building, hotel);
    EXPECT_FALSE(hotel->getWantFocus());
    // One letter per building.
    EXPECT_TRUE(scene->handleEvent(letterRequest(1.0f, 1.0f, 3000.0f, 3000.0f).get()));
    EXPECT_EQ(scene->moneyLetters.size(), 1u);

    // Clicking the building pays and does not select it.
    const float money = scene->money;
    EXPECT_TRUE(press(hotel));
    EXPECT_FLOAT_EQ(scene->money, money + 200.0f);
    EXPECT_TRUE(scene->moneyLetters.empty());
    EXPECT_EQ(scene->currentSelection, nullptr);
    EXPECT_TRUE(hotel->getWantFocus());
    EXPECT_EQ(hotel->sinceMoneyLetter(), 0);

    // The letter catches a click itself when it is drawn over its building:
    // that click pays it too.
    level.advance(5000);
    EXPECT_TRUE(scene->handleEvent(letterRequest(1.0f, 1.0f, 3000.0f, 3000.0f).get()));
    ASSERT_EQ(scene->moneyLetters.size(), 1u);
    const float beforeLetterClick = scene->money;
    EXPECT_TRUE(press(scene->moneyLetters[0]));
    EXPECT_FLOAT_EQ(scene->money, beforeLetterClick + 200.0f);
    EXPECT_TRUE(scene->moneyLetters.empty());
    EXPECT_EQ(scene->currentSelection, nullptr);

    // Too soon for another letter; later one comes and expires unpaid.
    EXPECT_TRUE(scene->handleEvent(letterRequest(1.0f, 1.0f, 1000.0f, 1000.0f).get()));
    EXPECT_TRUE(scene->moneyLetters.empty());
    level.advance(5000);
    EXPECT_TRUE(scene->handleEvent(letterRequest(1.0f, 1.0f, 1000.0f, 1000.0f).get()));
    ASSERT_EQ(scene->moneyLetters.size(), 1u);
    const float before = scene->money;
    level.advance(1100);
    EXPECT_TRUE(scene->moneyLetters.empty());
    EXPECT_FLOAT_EQ(scene->money, before);
    EXPECT_LT(hotel->sinceMoneyLetter(), 1000);
    // The letter node left the building.
    EXPECT_EQ(hotel->findChild(makeNameId("MoneyLetter"), 1), nullptr);
}

TEST_F(LevelRequestTest, ALetterGoesWhenItsBuildingStopsOperating) {
    start(withLetters());
    GBuildingNode* hotel = place("Place02");
    EXPECT_TRUE(scene->handleEvent(letterRequest(1.0f, 1.0f, 30000.0f, 30000.0f).get()));
    ASSERT_EQ(scene->moneyLetters.size(), 1u);
    hotel->setCondition(GBuildingNode::kBroken);
    level.advance(40);
    EXPECT_TRUE(scene->moneyLetters.empty());
}

TEST_F(LevelRequestTest, NoLettersWithoutTheModifierOrTheTemplate) {
    start();
    EXPECT_TRUE(scene->handleEvent(letterRequest(1.0f, 1.0f, 3000.0f, 3000.0f).get()));
    EXPECT_TRUE(scene->moneyLetters.empty());

    TempDir other;
    SmallContent content = withLetters();
    content.templates = "<?xml version=\"1.0\"?>\n<SceneNode Type=\"TemplateCollectionNode\"/>\n";
    testing_support::HeadlessLevel::writeContent(other.path().string(), content);
    testing_support::HeadlessLevel second;
    ASSERT_TRUE(second.load(other.path().string(), "levels/test/"));
    EXPECT_TRUE(second.scene()->handleEvent(letterRequest(1.0f, 1.0f, 3000.0f, 3000.0f).get()));
    EXPECT_TRUE(second.scene()->moneyLetters.empty());
}

TEST_F(LevelRequestTest, AShowerRunsForItsDrawnTimeAndASecondOneLengthensIt) {
    start();
    ASSERT_NE(scene->weatherNode, nullptr);
    EXPECT_FALSE(scene->weatherNode->isEnabled());
    EXPECT_TRUE(send(new game::GWeatherRequestEvent(1000, 1000)));
    EXPECT_TRUE(scene->weatherNode->isEnabled());
    EXPECT_EQ(scene->weatherRemainingMs, 1000);
    level.advance(500);
    EXPECT_TRUE(send(new game::GWeatherRequestEvent(1000, 1000)));
    EXPECT_EQ(scene->weatherRemainingMs, 1500);
    level.advance(1400);
    EXPECT_TRUE(scene->weatherNode->isEnabled());
    level.advance(200);
    EXPECT_FALSE(scene->weatherNode->isEnabled());
}

TEST_F(LevelRequestTest, TheBuildingQueryAnswersForOwnedBuildingsOnly) {
    start();
    struct Case {
        const char* type;
        bool exists;
    };
    for (const Case& c : {Case{"Hotel1", true}, Case{"Ruin", false}, Case{"Hotel2", false}}) {
        CountedRef<game::GBuildingExistsQueryEvent> query(new game::GBuildingExistsQueryEvent());
        query->getBuildingTypes().push_back(makeNameId(c.type));
        EXPECT_TRUE(scene->handleEvent(query.get()));
        EXPECT_EQ(query->getAnswer(), c.exists) << c.type;
    }
}

TEST_F(LevelRequestTest, IncomeAndTaskStepsReachTheStocks) {
    start();
    const float money = scene->money;
    EXPECT_FALSE(send(new game::GIncomeEvent(place("Place02"), 75.0f)));
    EXPECT_FLOAT_EQ(scene->money, money + 75.0f);
    EXPECT_FALSE(send(new game::GTaskStepEvent(place("Place02"), 12.5f, 3)));
    EXPECT_FLOAT_EQ(scene->materials, 512.5f);
    EXPECT_EQ(scene->workers, 13);
    // Completion events without a building are ignored.
    const size_t history = scene->history.size();
    EXPECT_FALSE(send(new game::GRepairCompletedEvent(nullptr)));
    EXPECT_FALSE(send(new game::GBuildingCompletedEvent(nullptr, nullptr)));
    EXPECT_FALSE(send(new game::GFeatureUsedEvent(nullptr, 0)));
    EXPECT_EQ(scene->history.size(), history);
}

TEST_F(LevelRequestTest, ClicksSelectBuildingsAndAClickOnTheGroundClearsTheSelection) {
    start();
    GBuildingNode* hotel = place("Place02");
    GBuildingNode* shop = place("Place06");
    const uint32_t selection = eventId(EventId::GBuildingSelectionEvent);
    EXPECT_TRUE(press(hotel));
    EXPECT_EQ(scene->currentSelection, hotel);
    EXPECT_TRUE(hotel->isFocused());
    EXPECT_EQ(scene->selectedBuilding(), hotel);
    EXPECT_TRUE(press(shop));
    EXPECT_EQ(scene->currentSelection, shop);
    EXPECT_EQ(scene->previousSelection, hotel);
    EXPECT_FALSE(press(scene));
    EXPECT_EQ(scene->currentSelection, nullptr);
    EXPECT_EQ(scene->previousSelection, shop);
    EXPECT_EQ(scene->selectedBuilding(), nullptr);
    level.deliver();
    EXPECT_GE(level.count(selection), 3);
    // Any other node is not the level's business.
    EXPECT_FALSE(press(scene->cargosNode));
}
