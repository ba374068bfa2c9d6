// The HUD driven through its scene tree with the small test level running
// headless: the selection picks the tab, the buttons and lists reach the
// level's commands (and do nothing without a selected building), the counters
// and goals follow GLevelChangedEvent, the level end writes the player's
// progress once and only for a valid location, and a level completed while a
// pop-up covers the HUD continues only when the HUD is on top again.
#include "engine/content/Dictionary.h"
#include "engine/content/ProfileStore.h"
#include "engine/controls/ProgressBarNode.h"
#include "engine/controls/ButtonNode.h"
#include "engine/controls/CheckBoxNode.h"
#include "engine/controls/ListNode.h"
#include "engine/controls/TabSceneNode.h"
#include "engine/core/Event.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TimerScheduler.h"
#include "engine/visual/TextNode.h"
#include "game/app/GGameApp.h"
#include "game/config/LevelConfig.h"
#include "game/hud/GGamePlayScene.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "support/HeadlessLevel.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <string>

using namespace engine;
using game::GBuildingNode;
using game::GGamePlayScene;
using testing_support::HeadlessLevel;
using testing_support::LogCapture;

namespace {

// ---- A HUD tree with every node the HUD binds ------------------------------------

// The parent holds the only reference to the new node.
template <class T = ControlNode>
T* add(BaseNode* parent, const char* name) {
    T* node = new T(nullptr, parent, nullptr);
    node->setName(makeNameId(name));
    node->release();
    return node;
}

void addInfo(BaseNode* tab) {
    BaseNode* info = add(tab, "BuildingInfoNode");
    add<TextNode>(info, "NameText");
    add<TextNode>(info, "StatsText");
    add(info, "BrokenNode");
    add<TextNode>(add(info, "DescriptionNode"), "Text");
}

CountedRef<GGamePlayScene> makeHud(bool withGameMenu = true) {
    CountedRef<GGamePlayScene> hud(new GGamePlayScene(nullptr, nullptr, nullptr));
    BaseNode* internal = add(hud.get(), "InternalGamePlayScene");
    if (!withGameMenu) {
        hud->onLoaded();
        return hud;
    }
    BaseNode* menu = add(internal, "GameMenu");
    BaseNode* money = add(menu, "MoneyNode");
    add<TextNode>(money, "MoneyText");
    add<TextNode>(money, "IncomeText");
    add<ProgressBarNode>(money, "ProgressBar");
    BaseNode* rating = add(menu, "RatingNode");
    add<TextNode>(rating, "ProgressBarText");
    add<ProgressBarNode>(rating, "ProgressBar");
    for (const char* star : {"Star1", "Star2", "Star4"}) add(rating, star);  // Star3, 5, 6 missing
    BaseNode* time = add(menu, "TimeNode");
    add<TextNode>(time, "TimeText");
    add<TextNode>(time, "TargetTimeText");
    add(time, "LongArrow");
    BaseNode* goals = add(menu, "GoalsNode");
    add<CheckBoxNode>(goals, "A");
    add(goals, "NotAGoal");
    add<CheckBoxNode>(goals, "B");
    add<TextNode>(menu, "MaterialsAmountTabText");
    add<TextNode>(menu, "WorkersAmountTabText");
    for (const char* tooltip : {"IncomeGuestsInfoNode", "GuestsInfoNode", "MaterialsWorkersTooltipNode",
                                "WorkersInfoNode", "MoneyInfoNode", "FeatureInfoNode", "StopInfoNode"}) {
        BaseNode* node = add(menu, tooltip);
        node->setVisible(false);
        node->setBounds(vector3df(200, 0, 0));
        for (const char* text : {"NameText", "MaterialsText", "WorkersText", "MoneyText", "Text"}) {
            add<TextNode>(node, text);
        }
    }
    TabSceneNode* tabs = add<TabSceneNode>(menu, "ActionsTabScene");
    tabs->setTabsCount(10);
    BaseNode* tab[10];
    for (int i = 0; i < 10; ++i) tab[i] = add(tabs, ("Tab" + std::to_string(i + 1)).c_str());
    const char* lists[] = {"HotelsBuildList", "FactoriesBuildList", "JoysBuildList"};
    for (int i = 0; i < 3; ++i) {
        add<ListNode>(tab[i], lists[i]);
        for (const char* name : {"HintText", "Label", "LabelText"}) add<TextNode>(tab[i], name);
        addInfo(tab[i]);
    }
    const char* offers[] = {"BuyMaterialsList", "TrainWorkersList"};
    for (int i = 3; i < 5; ++i) {
        BaseNode* progress = add(tab[i], "ProgressNode");
        add<ProgressBarNode>(progress, "ProgressBar");
        add<TextNode>(progress, "Text");
        add<ListNode>(add(tab[i], "ButtonsNode"), offers[i - 3]);
        add<TextNode>(tab[i], "HintText");
    }
    BaseNode* progress = add(tab[5], "ProgressNode");
    add<TextNode>(progress, "HintText");
    add<TextNode>(progress, "Text");
    add<ProgressBarNode>(progress, "ProgressBar");
    add(progress, "AbortButton");
    add<TextNode>(tab[5], "HintText");
    BaseNode* hotel = add(tab[5], "HotelButtonsNode");
    for (const char* name : {"UpgradeButton", "DestroyButton", "SellButton", "RepairButton", "CustomAction1Button"}) {
        add(hotel, name);
    }
    BaseNode* joy = add(tab[5], "JoyButtonsNode");
    for (const char* name : {"DestroyButton", "SellButton", "ActiveFeature1Button", "ActiveFeature2Button",
                             "CleanButton"}) {
        add<ButtonNode>(joy, name);
    }
    add(add(tab[5], "CustomServiceButtonsNode"), "CustomServeButton");
    addInfo(tab[5]);
    add(tab[6], "BuyButton");
    add<TextNode>(tab[6], "PriceText");
    add<TextNode>(tab[6], "HintText");
    addInfo(tab[6]);
    BaseNode* statsRating = add(tab[7], "RatingNode");
    for (int n = 1; n <= 6; ++n) add(statsRating, ("Star" + std::to_string(n)).c_str());
    BaseNode* statsGoals = add(tab[7], "GoalsNode");
    add<CheckBoxNode>(statsGoals, "Goal1");
    add(statsGoals, "Goal2");  // not a check box: bound as null
    for (const char* name : {"LevelText", "MoneyText", "IncomeText", "GuestsText"}) add<TextNode>(tab[7], name);
    add<TextNode>(tab[8], "OfferPriceText");
    add<TextNode>(tab[8], "HintText");
    addInfo(tab[8]);
    for (const char* name : {"HotelsButton", "JoysButton", "FactoriesButton", "SellButton"}) add(tab[9], name);
    add<TextNode>(tab[9], "HintText");
    addInfo(tab[9]);
    tabs->onLoaded();
    hud->onLoaded();
    return hud;
}

// The small level with the build lists' type names.
testing_support::SmallContent hudContent() {
    testing_support::SmallContent content;
    const std::pair<const char*, const char*> renames[] = {
        {"Hotel1", "Camping1"}, {"Hotel2", "Camping2"}, {"\"Shop\"", "\"Cafe\""}, {"\"Depot\"", "\"TruckStation\""}};
    for (std::string* text : {&content.buildings, &content.upgrades, &content.level}) {
        for (const auto& rename : renames) {
            for (size_t at = text->find(rename.first); at != std::string::npos;
                 at = text->find(rename.first, at + std::string(rename.second).size())) {
                text->replace(at, std::string(rename.first).size(), rename.second);
            }
        }
    }
    // Every kind may be built in this level.
    const std::string properties = "<Properties>";
    content.configuration.insert(content.configuration.find(properties) + properties.size(),
                                 "<string Name=\"AvailableBuildingsForBuild\" "
                                 "Value=\"Camping1;Camping2;Cafe;TruckStation;Garden;Ruin\"/>");
    // The garden has a feature of its own (a joy's feature button) and the
    // campings a name, so that their price shows in their title.
    const std::string garden = "<string Name=\"Name\" Value=\"Garden\"/>";
    const size_t gardenEnd = content.buildings.find("</Properties>", content.buildings.find(garden)) +
                             std::string("</Properties>").size();
    content.buildings.insert(gardenEnd,
                             "<ActiveFeature DurationTime=\"1000\" RechargeTime=\"3000\" MoneyCost=\"75\" "
                             "Name=\"%Show%\"><Feature Type=\"BoostIncome\"/></ActiveFeature>");
    for (const char* camping : {"Camping1", "Camping2"}) {
        const std::string name = std::string("<string Name=\"Name\" Value=\"") + camping + "\"/>";
        content.buildings.insert(content.buildings.find(name) + name.size(),
                                 "<string Name=\"DisplayName\" Value=\"Camp\"/>");
    }
    return content;
}

class GamePlaySceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        HeadlessLevel::writeContent(folder.path().string(), hudContent());
        std::ofstream(folder.path() / "Dictionary.xml")
            << "<?xml version=\"1.0\"?>\n<Dictionary><s n=\"MoneyDollar\">$#p</s><s n=\"GuestsSign\">#p guests</s>"
               "<s n=\"GamePlay_MONEY\">Money #p</s><s n=\"Obj_Money\">Have #p</s>"
               "<s n=\"Bld_Test\">Earns 10%% more</s><s n=\"Camp\">Camp</s><s n=\"Show\">Show</s>"
               "<s n=\"Hint_StopKeepsMoney\">Back but #p</s><s n=\"Hint_StopGivesBack\">All back</s>"
               "<s n=\"Hud_FeatureActive\">On #p s</s><s n=\"Hud_FeatureRecharging\">Ready in #p s</s>"
               "<s n=\"Hud_FeatureLocked\">Locked</s></Dictionary>\n";
        dictionary.load((folder.path() / "Dictionary.xml").string().c_str());
        ASSERT_TRUE(level.load(folder.path().string(), "levels/test/")) << level.failure();
        // After the load, which may make the engine and its own dictionary.
        previousDictionary = getCurrentDictionary();
        setCurrentDictionary(&dictionary);
        hud = makeHud();
        hud->setLevelScene(level.scene());
        clearPlayers();
    }
    void TearDown() override {
        clearPlayers();
        setCurrentDictionary(previousDictionary);
    }
    static void clearPlayers() {
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
    }

    game::GGameLevelScene* scene() const { return level.scene(); }
    GBuildingNode* select(const char* place) {
        GBuildingNode* building = place ? level.building(place) : nullptr;
        GBuildingNode* previous = scene()->selectedBuilding();
        if (building) {
            building->setFocused(true);
        } else if (previous) {
            previous->setFocused(false);
        }
        CountedRef<game::GBuildingSelectionEvent> event(new game::GBuildingSelectionEvent(building, previous));
        EXPECT_TRUE(hud->handleEvent(event.get()));
        return building;
    }
    int32_t activeTab() const { return hud->getActionsTabs()->getActiveTabIndex(); }
    bool press(const char* name) {
        // The HUD knows its buttons by name, wherever they are.
        CountedRef<BaseNode> button(new ControlNode(nullptr, nullptr, nullptr));
        button->setName(makeNameId(name));
        CountedRef<NodePressedEvent> event(new NodePressedEvent(button.get()));
        return hud->onNodePressed(event.get());
    }
    bool pressItem(ListNode* list, int32_t item) {
        CountedRef<ListItemPressedEvent> event(new ListItemPressedEvent(list, item));
        return hud->onListItemPressed(event.get());
    }
    void levelChanged() {
        CountedRef<game::GLevelChangedEvent> event(new game::GLevelChangedEvent());
        EXPECT_TRUE(hud->handleEvent(event.get()));
    }
    TextNode* text(BaseNode* parent, const char* name) {
        return nodeCast<TextNode>(parent->findChild(makeNameId(name), 1));
    }
    BaseNode* find(BaseNode* parent, const char* name) { return parent->findChild(makeNameId(name), 1); }
    // Hovers a button of that name placed at x in a parent placed at parentX.
    void hoverButton(const char* name, float x = 0.0f, float parentX = 0.0f) {
        CountedRef<ControlNode> parent(new ControlNode(nullptr, nullptr, nullptr));
        parent->setPosition(vector3df(parentX, 0, 0));
        ControlNode* button = add(parent.get(), name);
        button->setPosition(vector3df(x, 10, 0));
        CountedRef<NodeHoveredEvent> event(new NodeHoveredEvent(nullptr, button));
        hud->onNodeHovered(event.get());
    }
    void hoverItem(ListNode* list, int32_t item) {
        CountedRef<ListItemHoveredEvent> event(new ListItemHoveredEvent(list, item));
        hud->onListItemHovered(event.get());
    }
    ListNode* offerList(int32_t tab, const char* name) {
        return nodeCast<ListNode>(find(find(hud->getTab(tab), "ButtonsNode"), name));
    }

    testing_support::TempDir folder;
    Dictionary dictionary;
    IDictionary* previousDictionary = nullptr;
    HeadlessLevel level;
    CountedRef<GGamePlayScene> hud;
};

}  // namespace

TEST(GamePlaySceneBinding, BindsNamedNodesOfTheirTypeAndNothingWithoutTheGameMenu) {
    CountedRef<GGamePlayScene> bare = makeHud(false);
    EXPECT_NE(bare->getInternalScene(), nullptr);
    EXPECT_EQ(bare->getGameMenu(), nullptr);
    EXPECT_EQ(bare->getActionsTabs(), nullptr);
    EXPECT_TRUE(bare->getMenuStars().empty());

    CountedRef<GGamePlayScene> hud = makeHud();
    EXPECT_NE(hud->getMoneyText(), nullptr);
    EXPECT_NE(hud->getDayBar(), nullptr);
    EXPECT_EQ(hud->getClockSector(), nullptr);
    // Six stars with the missing ones as null entries; four statistics goals
    // with the one that is no check box null; menu goals only the check boxes.
    ASSERT_EQ(hud->getMenuStars().size(), 6u);
    EXPECT_NE(hud->getMenuStars()[1], nullptr);
    EXPECT_EQ(hud->getMenuStars()[2], nullptr);
    EXPECT_EQ(hud->getStatisticsStars().size(), 6u);
    ASSERT_EQ(hud->getStatisticsGoals().size(), 4u);
    EXPECT_NE(hud->getStatisticsGoals()[0], nullptr);
    EXPECT_EQ(hud->getStatisticsGoals()[1], nullptr);
    EXPECT_EQ(hud->getMenuGoals().size(), 2u);
    for (int i = 0; i < GGamePlayScene::kTabCount; ++i) EXPECT_NE(hud->getTab(i), nullptr) << i;
    EXPECT_NE(hud->getBuildList(GGamePlayScene::kJoysKind), nullptr);
    EXPECT_EQ(hud->getBuildList(3), nullptr);
}

TEST_F(GamePlaySceneTest, SelectionPicksTheTabOfTheBuilding) {
    struct Case {
        const char* place;  // null: a click on the ground
        int32_t tab;
    };
    const Case cases[] = {
        {"Place01", 9},  // owned empty place
        {"Place02", 5},  // owned hotel
        {"Place04", 6},  // not owned
        {nullptr, 7},    // nothing selected: statistics
    };
    for (const Case& c : cases) {
        select(c.place);
        EXPECT_EQ(activeTab(), c.tab) << (c.place ? c.place : "ground");
    }
    // An owned building with a buyer's call shows the offer only while it is for sale.
    GBuildingNode* hotel = level.building("Place02");
    hotel->setBuyRequestPending(true);
    select("Place02");
    EXPECT_EQ(activeTab(), 5);
    hotel->setForSale(true);
    hotel->setBuyRequestPending(true);
    select("Place01");
    select("Place02");
    EXPECT_EQ(activeTab(), 8);
}

TEST_F(GamePlaySceneTest, BuildListsShowAvailableTypesAndABuildGoesToTheLevel) {
    hud->fillHotelsList();
    ListNode* hotels = hud->getBuildList(GGamePlayScene::kHotelsKind);
    ASSERT_EQ(hotels->getItemCount(), 6);
    // Camping1 is known and available; the other hotel types are unknown here
    // and stay as they were.
    EXPECT_NE(hotels->getItemData(0), nullptr);
    EXPECT_EQ(hotels->getItemData(1), nullptr);

    GBuildingNode* place = select("Place01");
    EXPECT_TRUE(press("HotelsButton"));
    EXPECT_EQ(activeTab(), 0);
    EXPECT_TRUE(pressItem(hotels, 0));
    EXPECT_EQ(place->getJobState(), GBuildingNode::kConstructionJob);
    EXPECT_EQ(activeTab(), 5);
    // The construction can be stopped from the progress panel.
    EXPECT_TRUE(press("AbortButton"));
    EXPECT_EQ(place->getJobState(), GBuildingNode::kNoJob);

    // A Type 1 kind is offered once per level: the Cafe stands already.
    hud->fillJoysList();
    hud->refreshBuildList(GGamePlayScene::kJoysKind);
    ListNode* joys = hud->getBuildList(GGamePlayScene::kJoysKind);
    ASSERT_NE(joys->getItemData(0), nullptr);  // Cafe
    EXPECT_FALSE(joys->isItemEnabled(0));
    EXPECT_TRUE(joys->isItemEnabled(4));  // Garden
}

TEST_F(GamePlaySceneTest, BuildingButtonsCallTheLevelCommands) {
    GBuildingNode* hotel = select("Place02");
    EXPECT_TRUE(press("SellButton"));
    EXPECT_TRUE(hotel->isForSale());
    EXPECT_TRUE(press("SellButton"));
    EXPECT_FALSE(hotel->isForSale());

    EXPECT_TRUE(press("UpgradeButton"));
    EXPECT_EQ(hotel->getJobState(), GBuildingNode::kConstructionJob);
    level.advance(3000);
    EXPECT_EQ(hotel->getJobState(), GBuildingNode::kNoJob);

    hotel->setCondition(GBuildingNode::kBroken);
    EXPECT_TRUE(press("RepairButton"));
    EXPECT_EQ(hotel->getJobState(), GBuildingNode::kMaintenanceJob);
    level.advance(2000);

    GBuildingNode* garden = select("Place03");
    garden->setCondition(GBuildingNode::kDirty);
    EXPECT_TRUE(press("CleanButton"));
    EXPECT_EQ(garden->getJobState(), GBuildingNode::kMaintenanceJob);
    level.advance(2000);
    EXPECT_TRUE(press("DestroyButton"));
    EXPECT_EQ(garden->getJobState(), GBuildingNode::kDestructionJob);

    GBuildingNode* other = select("Place04");
    other->setForSale(true);
    const float money = scene()->money;
    EXPECT_TRUE(press("BuyButton"));
    EXPECT_TRUE(other->isOwnedByThePlayer());
    EXPECT_LT(scene()->money, money);
    EXPECT_EQ(activeTab(), 5);

    hud->fillMaterialsList();
    ListNode* materials = nodeCast<ListNode>(
        hud->getTab(3)->findChild(makeNameId("ButtonsNode"), 1)->findChild(makeNameId("BuyMaterialsList"), 1));
    ASSERT_NE(materials, nullptr);
    if (materials->getItemCount() > 0) {
        EXPECT_TRUE(pressItem(materials, 0));
        EXPECT_GE(scene()->materialCountdown, 0.0f);
    }
}

TEST_F(GamePlaySceneTest, ButtonsWithoutASelectedBuildingDoNothing) {
    select("Place02");
    select(nullptr);
    LogCapture log;
    const float money = scene()->money;
    for (const char* button : {"DestroyButton", "UpgradeButton", "RepairButton", "CleanButton", "AbortButton",
                               "SellButton", "BuyButton", "CustomServeButton", "ActiveFeature1Button"}) {
        EXPECT_TRUE(press(button)) << button;
    }
    for (const char* button : {"AcceptSellOfferButton", "DeclineSellOfferButton"}) EXPECT_FALSE(press(button));
    EXPECT_EQ(scene()->money, money);
    EXPECT_FALSE(log.hasErrors());
    EXPECT_EQ(level.building("Place02")->getJobState(), GBuildingNode::kNoJob);
}

TEST_F(GamePlaySceneTest, ABusVisitCannotBeAborted) {
    GBuildingNode* hotel = level.building("Place02");
    hotel->setCondition(GBuildingNode::kBusVisitRequest);
    select("Place02");
    EXPECT_TRUE(press("CustomServeButton"));
    ASSERT_EQ(hotel->getJobState(), GBuildingNode::kMaintenanceJob);
    hud->refreshBuildingTab();
    BaseNode* abort = hud->getTab(5)->findChild(makeNameId("ProgressNode"), 1)->findChild(makeNameId("AbortButton"), 1);
    EXPECT_FALSE(abort->isVisible());
    EXPECT_FALSE(press("AbortButton"));
    EXPECT_EQ(hotel->getJobState(), GBuildingNode::kMaintenanceJob);
}

TEST_F(GamePlaySceneTest, CountersFollowTheLevel) {
    scene()->money = 1234567.9f;
    scene()->dailyIncome = 99.5f;
    scene()->materials = 42.7f;
    scene()->workers = 3;
    scene()->workersHired = 10;
    levelChanged();
    EXPECT_EQ(hud->getMoneyText()->getText(), stringw(L"$1,234,567"));
    EXPECT_EQ(hud->getIncomeText()->getText(), stringw(L"$100"));
    EXPECT_EQ(hud->getMaterialsAmountText()->getText(), stringw(L"42"));
    EXPECT_EQ(hud->getWorkersAmountText()->getText(), stringw(L"3/10"));
    EXPECT_EQ(text(hud->getTab(7), "MoneyText")->getText(), stringw(L"Money 1,234,567"));
    // One objective, never met: the first goal box shows it unchecked, the
    // second is left alone.
    ASSERT_EQ(hud->getMenuGoals().size(), 2u);
    EXPECT_FALSE(hud->getMenuGoals()[0]->isChecked());
    EXPECT_FALSE(hud->getMenuGoals()[0]->getText().empty());
    EXPECT_TRUE(hud->getMenuGoals()[1]->getText().empty());

    // A fortune past the int range shows the largest amount, never a debt.
    scene()->money = 3.0e9f;
    scene()->materials = 5.0e9f;
    levelChanged();
    EXPECT_EQ(hud->getMoneyText()->getText(), stringw(L"$2,147,483,647"));
    EXPECT_EQ(hud->getMaterialsAmountText()->getText(), stringw(L"2147483647"));
}

TEST_F(GamePlaySceneTest, LevelEndWritesProgressOnceAndOnlyForAValidLocation) {
    ProfileStore& store = getProfileStore();
    ASSERT_TRUE(store.addProfile(L"Ann"));
    store.selectProfile(0);
    ProfileParameters* player = store.getCurrentProfile();
    game::GLevelConfig* config = scene()->levelConfig;
    config->score = 100;
    config->expertScore = 150;
    config->levelTime = 60;
    scene()->totalTimeMs = 30000.0f;

    struct Case {
        int32_t levelIndex;
        int32_t maxUnlocked;
        const char* scoresBefore;
        const char* scoresAfter;  // null: nothing written
        int32_t maxAfter, indexAfter;
        float gained;  // the level's scoreGained: the total above the stored best
    };
    const Case cases[] = {
        {5, 4, "7;8", "7;8;0;0;0;150", 5, 6, 150.0f},  // within the level time: the expert score
        {1, 7, "7;200", "7;200", 7, 1, 0.0f},          // a replay below the best score
        {-1, -1, "", nullptr, -1, -1, 150.0f},
        {1000000, -1, "", nullptr, -1, 1000000, 150.0f},
    };
    for (const Case& c : cases) {
        player->setInt("LevelIndex", c.levelIndex);
        player->setInt("MaxUnlockedLevelIndex", c.maxUnlocked);
        player->setString("Scores", c.scoresBefore);
        player->setString("Times", "");
        scene()->scoreGained = 0.0f;
        CountedRef<GGamePlayScene> fresh = makeHud();
        fresh->setLevelScene(scene());
        LogCapture log;
        EXPECT_TRUE(fresh->endLevel(false));
        EXPECT_EQ(player->getInt("MaxUnlockedLevelIndex"), c.maxAfter) << c.levelIndex;
        EXPECT_EQ(player->getInt("LevelIndex"), c.indexAfter) << c.levelIndex;
        EXPECT_EQ(scene()->scoreGained, c.gained) << c.levelIndex;
        if (c.scoresAfter) {
            EXPECT_EQ(std::string(player->getString("Scores").c_str()), c.scoresAfter) << c.levelIndex;
            EXPECT_FALSE(std::string(player->getString("Times").c_str()).empty());
        } else {
            EXPECT_EQ(std::string(player->getString("Scores").c_str()), "") << c.levelIndex;
            EXPECT_EQ(std::string(player->getString("Times").c_str()), "") << c.levelIndex;
            EXPECT_TRUE(log.hasErrors());
        }
        // A second end (the developer key, then the objectives met) writes nothing more.
        player->setInt("MaxUnlockedLevelIndex", -1);
        EXPECT_TRUE(fresh->endLevel(true));
        EXPECT_EQ(player->getInt("MaxUnlockedLevelIndex"), -1);
        EXPECT_TRUE(fresh->hasLevelEnded());
    }
}

TEST_F(GamePlaySceneTest, LevelEndWritesNoProgressPastTheLastLocationOfTheMap) {
    // The map last shown had three locations; after the last was won the
    // stored index may point one past it.
    ProfileStore& store = getProfileStore();
    ASSERT_TRUE(store.addProfile(L"Ann"));
    store.selectProfile(0);
    ProfileParameters* player = store.getCurrentProfile();
    CountedRef<game::GGameApp> app(new game::GGameApp());
    game::setGameServices(app.get());
    app->setMapLocationCount(3);
    scene()->levelConfig->score = 100;
    scene()->levelConfig->levelTime = 10;  // over time: the plain score
    scene()->totalTimeMs = 30000.0f;
    const struct {
        int32_t levelIndex;
        const char* scoresAfter;
        int32_t maxAfter;
    } cases[] = {{3, "10;20;30", 2}, {2, "10;20;100", 2}};
    for (const auto& c : cases) {
        player->setInt("LevelIndex", c.levelIndex);
        player->setInt("MaxUnlockedLevelIndex", 2);
        player->setString("Scores", "10;20;30");
        scene()->scoreGained = 0.0f;
        CountedRef<GGamePlayScene> fresh = makeHud();
        fresh->setLevelScene(scene());
        LogCapture log;
        EXPECT_TRUE(fresh->endLevel(false));
        EXPECT_EQ(std::string(player->getString("Scores").c_str()), c.scoresAfter) << c.levelIndex;
        EXPECT_EQ(player->getInt("MaxUnlockedLevelIndex"), c.maxAfter) << c.levelIndex;
        bool refused = false;
        for (const auto& entry : log.entries())
            refused = refused || entry.text.find("level index is out of range") != std::string::npos;
        EXPECT_EQ(refused, c.levelIndex == 3) << c.levelIndex;
    }
    game::setGameServices(nullptr);
}

TEST_F(GamePlaySceneTest, ACompletionUnderAPopUpContinuesWhenTheHudIsOnTopAgain) {
    CountedRef<SceneManager> manager(new SceneManager(nullptr, nullptr, nullptr));
    CountedRef<TimerScheduler> scheduler(new TimerScheduler());
    manager->setTimerScheduler(scheduler.get());
    manager->setScene(hud.get());
    manager->onTimer(0);
    EXPECT_EQ(hud->getPendingAction(), 1);  // the objectives come first
    hud->onTimer(20);
    EXPECT_EQ(hud->getPendingAction(), 0);

    CountedRef<game::GBaseSceneNode> popup(new game::GBaseSceneNode(nullptr, nullptr, nullptr));
    ASSERT_TRUE(manager->pushScene(hud.get(), popup.get()));
    manager->onTimer(0);
    {
        LogCapture log;
        CountedRef<game::GLevelCompletedEvent> completed(new game::GLevelCompletedEvent());
        EXPECT_TRUE(hud->handleEvent(completed.get()));
        EXPECT_TRUE(hud->hasLevelEnded());
        // Nothing opens over the pop-up.
        EXPECT_FALSE(log.contains("LevelCompletedScene"));
        EXPECT_EQ(manager->getTopScene(), popup.get());
    }
    ASSERT_TRUE(popup->closeScene());
    manager->onTimer(0);
    EXPECT_EQ(manager->getTopScene(), hud.get());
    EXPECT_EQ(hud->getPendingAction(), 3);
    LogCapture log;
    hud->onTimer(20);
    EXPECT_TRUE(log.contains("scenes/LevelCompletedScene.oscn"));
    manager->setScene(nullptr);
    manager->onTimer(0);
    manager->setTimerScheduler(nullptr);
}

TEST_F(GamePlaySceneTest, EscOpensTheMenuAndTheLevelKeysNeedDeveloperMode) {
    struct Case {
        int32_t key;
        float money, materials;
        int32_t workers;
    };
    const Case cases[] = {
        {107, 200000.0f, 500.0f, 10},  // numeric-pad plus
        {189, 0.0f, 500.0f, 10},       // minus
        {106, 100000.0f, 1500.0f, 10}, // numeric-pad multiply
        {111, 100000.0f, 500.0f, 11},  // numeric-pad divide
    };
    const bool developer = game::developerModeEnabled;
    for (const bool mode : {false, true}) {
        game::developerModeEnabled = mode;
        for (const Case& c : cases) {
            scene()->money = 100000.0f;
            scene()->materials = 500.0f;
            scene()->workers = 10;
            CountedRef<KeyUpEvent> key(new KeyUpEvent(0, c.key, false, false));
            EXPECT_EQ(hud->onEvent32(key.get()), mode) << c.key;
            EXPECT_EQ(scene()->money, mode ? c.money : 100000.0f) << c.key;
            EXPECT_EQ(scene()->materials, mode ? c.materials : 500.0f) << c.key;
            EXPECT_EQ(scene()->workers, mode ? c.workers : 10) << c.key;
        }
        if (mode) {
            scene()->money = 1234.0f;
            CountedRef<KeyUpEvent> key(new KeyUpEvent(0, 107, false, false));
            hud->onEvent32(key.get());
            EXPECT_EQ(hud->getMoneyText()->getText(), stringw(L"$101,234"));  // the counters follow
        }
    }
    game::developerModeEnabled = developer;
    LogCapture log;
    CountedRef<KeyUpEvent> escape(new KeyUpEvent(0, 27, false, false));
    EXPECT_TRUE(hud->onEvent32(escape.get()));
    EXPECT_TRUE(log.contains("scenes/InGameMenuScene.oscn"));
}

TEST_F(GamePlaySceneTest, CostTooltipTintsWhatIsMissingAndFollowsTheLevel) {
    select("Place02");  // a Camping1 whose next level is Camping2
    scene()->materials = 0.0f;
    CountedRef<ControlNode> upgrade(new ControlNode(nullptr, nullptr, nullptr));
    upgrade->setName(makeNameId("UpgradeButton"));
    upgrade->setPosition(vector3df(564, 10, 0));
    CountedRef<NodeHoveredEvent> hovered(new NodeHoveredEvent(nullptr, upgrade.get()));
    EXPECT_TRUE(hud->onNodeHovered(hovered.get()));
    BaseNode* tooltip = hud->getCostTooltip();
    ASSERT_TRUE(tooltip->isVisible());
    EXPECT_EQ(tooltip->getPosition().X, 564.0f);
    EXPECT_EQ(tooltip->getPosition().Y, 632.0f);
    const SColor red(0xFFFF8888u), white(0xFFFFFFFFu);
    EXPECT_EQ(text(tooltip, "MaterialsText")->getTintColor(), red);
    EXPECT_EQ(text(tooltip, "WorkersText")->getTintColor(), white);
    // Open tooltips follow the level's stock.
    scene()->materials = 100000.0f;
    levelChanged();
    EXPECT_EQ(text(tooltip, "MaterialsText")->getTintColor(), white);
    CountedRef<NodeUnhoveredEvent> left(new NodeUnhoveredEvent(upgrade.get(), nullptr));
    EXPECT_TRUE(hud->onNodeUnhovered(left.get()));
    EXPECT_FALSE(tooltip->isVisible());
}

TEST_F(GamePlaySceneTest, DescriptionShowsTheDictionarysLiteralPercent) {
    // A record names its description as "%KEY%"; the text's "%%" must reach
    // the screen as one "%", not two.
    GBuildingNode* hotel = level.building("Place02");
    ASSERT_TRUE(hotel && hotel->getRecord());
    hotel->getRecord()->Description = L"%Bld_Test%";
    hotel->getRecord()->FullDescription = L"%Bld_Test%";
    select("Place02");
    BaseNode* info = hud->getActionsTabs()->findChild(makeNameId("Tab6"), 1)->findChild(makeNameId("BuildingInfoNode"), 1);
    ASSERT_TRUE(info);
    TextNode* description = text(info->findChild(makeNameId("DescriptionNode"), 1), "Text");
    ASSERT_TRUE(description);
    EXPECT_EQ(dictionary.translate(description->getText()), stringw(L"Earns 10% more"));
}

TEST_F(GamePlaySceneTest, DeliveryHintsGoOnceTheDeliveryHasArrived) {
    // The tab says the truck (or the training) is on its way while it is,
    // and goes back to its own hint when the goods are in.
    const struct {
        int tab;
        bool (game::GGameLevelScene::*order)(const game::OrderOption*);
        const wchar_t* runningHint;
        const wchar_t* restHint;
    } cases[] = {
        {3, &game::GGameLevelScene::orderMaterials, L"%InProgress_MaterialsHint%", L"%Hint_MaterialsTab%"},
        {4, &game::GGameLevelScene::orderWorkers, L"%InProgress_WorkersHint%", L"%Hint_WorkersTab%"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tab);
        TextNode* hint = text(hud->getTab(c.tab), "HintText");
        ASSERT_TRUE(hint);
        CountedRef<game::OrderOption> offer(new game::OrderOption(5.0f, 10.0f, 300.0f));
        scene()->money = 1000.0f;
        ASSERT_TRUE((scene()->*c.order)(offer.get()));
        levelChanged();
        EXPECT_EQ(hint->getText(), stringw(c.runningHint));
        level.advance(1000);
        levelChanged();
        EXPECT_EQ(hint->getText(), stringw(c.restHint));
    }
    // A hint the player brought up by hovering an offer is not the stale one
    // and stays.
    TextNode* hint = text(hud->getTab(3), "HintText");
    hint->setText(L"hovered offer");
    levelChanged();
    EXPECT_EQ(hint->getText(), stringw(L"hovered offer"));
}

namespace {

// A text as gtest prints it.
std::wstring wide(const stringw& text) { return std::wstring(text.c_str()); }

// The whole number in a text such as "x $1,500" or "CAMP: $1,000".
int32_t amountIn(const stringw& text) {
    int32_t value = 0;
    for (uint32_t i = 0; i < text.size(); ++i) {
        if (text[i] >= L'0' && text[i] <= L'9') value = value * 10 + (text[i] - L'0');
    }
    return value;
}

}  // namespace

TEST_F(GamePlaySceneTest, EveryPriceShownIsTheOneCharged) {
    // Prices apart from the plain record values, so that a shown value taken
    // from anywhere else shows.
    scene()->levelConfig->modifierValues.MaterialPriceM = 1.5f;
    scene()->levelConfig->modifierValues.WorkerPriceM = 0.5f;
    hud->fillHotelsList();
    hud->fillMaterialsList();
    hud->fillWorkersList();
    ListNode* hotels = hud->getBuildList(GGamePlayScene::kHotelsKind);
    ListNode* materials = offerList(3, "BuyMaterialsList");
    ListNode* workers = offerList(4, "TrainWorkersList");
    ASSERT_TRUE(hotels && materials && workers);
    ASSERT_GT(materials->getItemCount(), 0);
    ASSERT_GT(workers->getItemCount(), 0);
    BaseNode* cost = hud->getCostTooltip();
    BaseNode* money = hud->getMoneyTooltip();
    struct Shown {
        int32_t money = 0, materials = 0, workers = 0;
        bool stock = false;  // materials and workers are shown as well
    };
    auto fromCost = [&] {
        EXPECT_TRUE(cost->isVisible());
        return Shown{amountIn(text(cost, "MoneyText")->getText()), amountIn(text(cost, "MaterialsText")->getText()),
                     amountIn(text(cost, "WorkersText")->getText()), true};
    };
    auto fromMoney = [&] {
        EXPECT_TRUE(money->isVisible());
        return Shown{amountIn(text(money, "MoneyText")->getText()), 0, 0, false};
    };
    auto fromOffer = [&](ListNode* list) {
        hud->refreshMaterialsTab();
        hud->refreshWorkersTab();
        const ListItem* offer = list->getItem(0);
        EXPECT_TRUE(offer && offer->texts.size() > 1);
        return Shown{offer && offer->texts.size() > 1 ? amountIn(offer->texts[1]) : -1, 0, 0, false};
    };
    struct Case {
        const char* what;
        std::function<Shown()> look;  // sets up and hovers; what the player is shown
        std::function<void()> act;
    };
    const Case cases[] = {
        {"build",
         [&] {
             select("Place01");
             press("HotelsButton");
             hoverItem(hotels, 0);
             // The title of the type not yet built names what building it costs.
             BaseNode* info = find(hud->getTab(0), "BuildingInfoNode");
             EXPECT_EQ(wide(text(info, "NameText")->getText()), L"CAMP: $1,000");
             return fromCost();
         },
         [&] { pressItem(hotels, 0); }},
        {"upgrade",
         [&] {
             select("Place02");
             hoverButton("UpgradeButton", 564);
             return fromCost();
         },
         [&] { press("UpgradeButton"); }},
        {"repair",
         [&] {
             level.building("Place02")->setCondition(GBuildingNode::kBroken);
             select("Place02");
             hoverButton("RepairButton", 676);
             return fromCost();
         },
         [&] { press("RepairButton"); }},
        {"clean",
         [&] {
             level.building("Place03")->setCondition(GBuildingNode::kDirty);
             select("Place03");
             hoverButton("CleanButton", 808);
             return fromCost();
         },
         [&] { press("CleanButton"); }},
        {"feature",
         [&] {
             select("Place03");
             hoverButton("ActiveFeature1Button", 564);
             return fromMoney();
         },
         [&] { press("ActiveFeature1Button"); }},
        {"buy",
         [&] {
             level.building("Place04")->setForSale(true);
             select("Place04");
             hoverButton("BuyButton", 564);
             return fromMoney();
         },
         [&] { press("BuyButton"); }},
        {"materials", [&] { return fromOffer(materials); }, [&] { pressItem(materials, 0); }},
        {"workers", [&] { return fromOffer(workers); }, [&] { pressItem(workers, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Shown shown = c.look();
        const float moneyBefore = scene()->money, materialsBefore = scene()->materials;
        const int32_t workersBefore = scene()->workers;
        c.act();
        EXPECT_EQ(std::lround(moneyBefore - scene()->money), shown.money);
        EXPECT_TRUE(scene()->money < moneyBefore || scene()->materials < materialsBefore)
            << "nothing was charged: the command did not run";
        if (shown.stock) {
            EXPECT_EQ(std::lround(materialsBefore - scene()->materials), shown.materials);
            EXPECT_EQ(workersBefore - scene()->workers, shown.workers);
        }
        for (BaseNode* tooltip : {cost, money}) tooltip->setVisible(false);
        level.advance(3000);
    }
}

TEST_F(GamePlaySceneTest, StopSaysBeforeTheClickThatThePaidMoneyStaysSpent) {
    hud->fillHotelsList();
    ListNode* hotels = hud->getBuildList(GGamePlayScene::kHotelsKind);
    BaseNode* tooltip = hud->getStopTooltip();
    ASSERT_TRUE(tooltip);
    tooltip->setBounds(vector3df(260, 0, 0));
    const float money = scene()->money, materials = scene()->materials;
    const int32_t workers = scene()->workers;
    GBuildingNode* place = select("Place01");
    ASSERT_TRUE(pressItem(hotels, 0));
    ASSERT_EQ(place->getJobState(), GBuildingNode::kConstructionJob);

    // The stop button sits in the progress panel, far right: the tooltip
    // names the money paid and stays on the HUD.
    hoverButton("AbortButton", 344, 564);
    ASSERT_TRUE(tooltip->isVisible());
    EXPECT_EQ(wide(text(tooltip, "Text")->getText()), L"Back but $1,000");
    EXPECT_LE(tooltip->getPosition().X + 260.0f, 1024.0f);
    EXPECT_GT(tooltip->getPosition().X, 564.0f);

    // The rule itself is kept: the materials and workers come back, the money does not.
    EXPECT_TRUE(press("AbortButton"));
    level.advance(100);
    EXPECT_FALSE(tooltip->isVisible());
    EXPECT_EQ(scene()->money, money - 1000.0f);
    EXPECT_EQ(scene()->materials, materials);
    EXPECT_EQ(scene()->workers, workers);

    // Work that took no money says only what comes back.
    level.building("Place02")->setCondition(GBuildingNode::kBroken);
    select("Place02");
    ASSERT_TRUE(press("RepairButton"));
    hoverButton("AbortButton", 344, 564);
    EXPECT_EQ(wide(text(tooltip, "Text")->getText()), L"All back");
}

TEST_F(GamePlaySceneTest, FeatureButtonsNameTheFeatureWithItsPriceOrTimeLeft) {
    GBuildingNode* garden = select("Place03");
    ButtonNode* feature = nodeCast<ButtonNode>(find(find(hud->getTab(5), "JoyButtonsNode"), "ActiveFeature1Button"));
    ASSERT_TRUE(feature);
    struct Step {
        const char* what;
        int32_t advanceMs;
        const wchar_t* caption;
        bool enabled;
    };
    // Runs 1000 ms, then recharges 3000 ms; whole seconds are rounded up.
    const Step steps[] = {
        {"ready", 0, L"Show\n$75", true},
        {"pressed", -1, L"Show\nOn 1 s", false},
        {"recharging", 1400, L"Show\nReady in 3 s", false},
        {"nearly ready", 2500, L"Show\nReady in 1 s", false},
        {"ready again", 1000, L"Show\n$75", true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.advanceMs < 0) {
            EXPECT_TRUE(press("ActiveFeature1Button"));
        } else {
            level.advance(static_cast<uint32_t>(step.advanceMs));
        }
        hud->refreshBuildingTab();
        EXPECT_EQ(wide(feature->getText()), step.caption);
        EXPECT_EQ(feature->isEnabled(), step.enabled);
    }
    // A feature the money does not cover is not offered: it would take the
    // money below zero.
    scene()->money = 74.0f;
    hud->refreshBuildingTab();
    EXPECT_FALSE(feature->isEnabled());
    EXPECT_EQ(garden->featureState(0), GBuildingNode::kFeatureReady);
}
