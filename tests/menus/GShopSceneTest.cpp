// The shop and its upgrade buttons on the game object's managers over the
// engine's null device, with a small catalogue and shop written to a
// temporary content folder: the money and what each button shows, buying
// and saving, the feature pairs, the highlights of required upgrades, the
// purchase achievements, the keys and tutorial, progress values that a
// damaged profile could hold, and the map's lock lifting once the upgrade a
// level requires is bought.
#include "engine/content/CContentManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/ContentType.h"
#include "engine/core/TextRoutines.h"
#include "engine/core/Event.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/PropertySet.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/TextNode.h"
#include "game/app/GGameApp.h"
#include "game/app/GameNodeKinds.h"
#include "game/flow/GAchievementUnlockedScene.h"
#include "game/common/AchievementsTracker.h"
#include "game/menus/GMapLocationButton.h"
#include "game/menus/GMapScene.h"
#include "game/menus/GShopButton.h"
#include "game/menus/GShopScene.h"
#include "game/tutorial/GTutorial.h"
#include "support/GameAppTest.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace engine;
using namespace game;
using testing_support::LogCapture;

namespace {

// The card as the shipped one is built: a face that records the last state
// it entered, so the test can see "Bought" and "Locked" reach the template.
const char* const kTemplates = R"(<?xml version="1.0"?>
<SceneNode Type="TemplateCollectionNode">
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="ShopItem"/></Properties>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Face"/></Properties>
      <States>
        <State Name="Normal"><StartAnimator Type="SetProps"><Properties><stringw Name="Text" Value="Normal"/></Properties></StartAnimator></State>
        <State Name="NormalHover"><StartAnimator Type="SetProps"><Properties><stringw Name="Text" Value="NormalHover"/></Properties></StartAnimator></State>
        <State Name="NormalDisable"><StartAnimator Type="SetProps"><Properties><stringw Name="Text" Value="NormalDisable"/></Properties></StartAnimator></State>
        <State Name="Locked"><StartAnimator Type="SetProps"><Properties><stringw Name="Text" Value="Locked"/></Properties></StartAnimator></State>
      </States>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="TutorialWindow"/></Properties>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Text"/></Properties></SceneNode>
    <SceneNode Type="ButtonNode"><Properties><string Name="Name" Value="SkipTutorialButton"/></Properties></SceneNode>
    <SceneNode Type="ButtonNode"><Properties><string Name="Name" Value="Button"/></Properties></SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="TutorialArrow"/></Properties></SceneNode>
</SceneNode>)";

// Free: Camping (a hotel) and AquaPark (a feature base). Hotels for sale:
// Hostel (needed by level 2), GuestHouse, BusinessHotel, HotelN5 and HotelN6.
// Tower costs one more than Pier; Far is sold only after level 8.
const char* const kUpgrades = R"(<?xml version="1.0"?>
<UpgradesConfiguration>
  <Upgrade><Name Value="Camping"/><Price Value="0"/><Level Value="0"/></Upgrade>
  <Upgrade><Name Value="AquaPark"/><Price Value="0"/><Level Value="0"/></Upgrade>
  <Upgrade><Name Value="AquaParkFeature2"/><Price Value="500"/><Level Value="1"/></Upgrade>
  <Upgrade><Name Value="REAgency"/><Price Value="700"/><Level Value="1"/></Upgrade>
  <Upgrade><Name Value="REAgencyFeature2"/><Price Value="700"/><Level Value="1"/></Upgrade>
  <Upgrade><Name Value="Hostel"/><Info Value="Hostels"/><Price Value="4000"/><Level Value="1"/><ObligatoryLevel Value="2"/></Upgrade>
  <Upgrade><Name Value="GuestHouse"/><Price Value="100"/><Level Value="1"/><ObligatoryLevel Value="3"/></Upgrade>
  <Upgrade><Name Value="BusinessHotel"/><Price Value="100"/><Level Value="1"/></Upgrade>
  <Upgrade><Name Value="HotelN5"/><Price Value="100"/><Level Value="1"/></Upgrade>
  <Upgrade><Name Value="HotelN6"/><Price Value="100"/><Level Value="1"/></Upgrade>
  <Upgrade><Name Value="Pier"/><Price Value="6000"/><Level Value="1"/></Upgrade>
  <Upgrade><Name Value="Tower"/><Price Value="6001"/><Level Value="1"/></Upgrade>
  <Upgrade><Name Value="Near"/><Price Value="10"/><Level Value="8"/></Upgrade>
  <Upgrade><Name Value="Far"/><Price Value="10"/><Level Value="9"/></Upgrade>
</UpgradesConfiguration>)";

const char* const kButtonNames[] = {"Hostel", "GuestHouse", "BusinessHotel", "HotelN5", "HotelN6", "Pier",
                                    "Tower", "Near", "Far", "Nowhere", "AquaPark", "AquaParkFeature2",
                                    "REAgency", "REAgencyFeature2"};

std::string shopXml() {
    std::string xml =
        "<?xml version=\"1.0\"?><SceneNode Type=\"GShopScene\">"
        "<SceneNode Type=\"ControlNode\"><Properties><string Name=\"Name\" Value=\"Scene\"/></Properties>"
        "<SceneNode Type=\"TextNode\"><Properties><string Name=\"Name\" Value=\"ScoreText\"/></Properties></SceneNode>"
        "<SceneNode Type=\"ControlNode\"><Properties><string Name=\"Name\" Value=\"ShopButtons\"/></Properties>";
    int x = 0;
    for (const char* name : kButtonNames) {
        xml += std::string("<SceneNode Type=\"GShopButton\"><Properties><string Name=\"Name\" Value=\"") + name +
               "\"/><vector3d Name=\"Position\" Value=\"" + std::to_string(x) +
               ";300;0\"/><vector3d Name=\"Bounds\" Value=\"60;80;0\"/>"
               "<string Name=\"TemplateName\" Value=\"ShopItem\"/><string Name=\"UpgradeName\" Value=\"" +
               name + "\"/></Properties>"
               "<SceneNode Type=\"TextNode\"><Properties><string Name=\"Name\" Value=\"PriceText\"/></Properties></SceneNode>"
               "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Bought\"/></Properties></SceneNode>"
               "</SceneNode>";
        x += 70;
    }
    xml += "<SceneNode Type=\"ButtonNode\"><Properties><string Name=\"Name\" Value=\"Sign\"/></Properties></SceneNode>";
    xml += "</SceneNode>"
           "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"Hint1Node\"/></Properties>"
           "<SceneNode Type=\"TextNode\"><Properties><string Name=\"Name\" Value=\"Title\"/></Properties></SceneNode>"
           "<SceneNode Type=\"TextNode\"><Properties><string Name=\"Name\" Value=\"Info\"/></Properties></SceneNode>"
           "</SceneNode>"
           "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"ShopButtonHLNode\"/></Properties>"
           "<SceneNode Type=\"TextNode\"><Properties><string Name=\"Name\" Value=\"Mark\"/></Properties><States>"
           "<State Name=\"On\"><StartAnimator Type=\"SetProps\"><Properties><stringw Name=\"Text\" Value=\"On\"/></Properties></StartAnimator></State>"
           "<State Name=\"Off\"><StartAnimator Type=\"SetProps\"><Properties><stringw Name=\"Text\" Value=\"Off\"/></Properties></StartAnimator></State>"
           "</States></SceneNode></SceneNode>";
    return xml + "</SceneNode></SceneNode>";
}

// A map of three levels; level 2 needs the Hostel.
std::string mapXml() {
    std::string xml =
        "<?xml version=\"1.0\"?><SceneNode Type=\"GMapScene\">"
        "<SceneNode Type=\"ControlNode\"><Properties><string Name=\"Name\" Value=\"Scene\"/></Properties>"
        "<SceneNode Type=\"ControlNode\"><Properties><string Name=\"Name\" Value=\"LocationButtons\"/></Properties>";
    for (int i = 1; i <= 3; ++i) {
        xml += "<SceneNode Type=\"GMapLocationButton\"><Properties><string Name=\"Name\" Value=\"Location" +
               std::to_string(i) + "\"/><string Name=\"AssociatedLevelName\" Value=\"level" + std::to_string(i) +
               "\"/></Properties></SceneNode>";
    }
    return xml + "</SceneNode><SceneNode Type=\"ButtonNode\"><Properties><string Name=\"Name\" "
                 "Value=\"PlayButton\"/></Properties></SceneNode></SceneNode></SceneNode>";
}

const char* const kPopup = R"(<?xml version="1.0"?>
<SceneNode Type="GAchievementUnlockedScene"/>)";

const char* const kTutorial = R"(<?xml version="1.0"?>
<Tutorial><Hint MessageBox="true"><Text Value="Buy something"/></Hint></Tutorial>)";

std::string textOf(TextNode* node) {
    if (!node) return "<none>";
    const stringw& text = node->getText();
    return std::string(text.c_str(), text.c_str() + text.size());
}

class GShopSceneTest : public testing_support::GameAppTest {
protected:
    void SetUp() override {
        folder.write("scenes/TemplateCollection.oscn", kTemplates);
        folder.write("scenes/ShopScene.oscn", shopXml());
        folder.write("scenes/MapScene.oscn", mapXml());
        folder.write("scenes/AchievementUnlockedScene.oscn", kPopup);
        folder.write("levels/common/UpgradesConfiguration.xml", kUpgrades);
        enterFolder();
        createApp(true);
        useTemplates("scenes/TemplateCollection.oscn");

        ASSERT_NO_FATAL_FAILURE(addPlayer());
        player->setInt("MaxUnlockedLevelIndex", 0);
        player->setInt("LevelIndex", 1);
        player->setString("Scores", "10000");
        player->setString("BoughtUpgrades", "");
        player->setBool("ShowTutorialOn", false);
        tracker()->load("1;0;0;0;0;0;0;0;0;0;0;0");
        showStart(new GBaseSceneNode(&context(), nullptr, nullptr));
    }

    AchievementsTracker* tracker() const { return app->getAchievementsTracker(); }

    GShopScene* openShop(SceneNode* from = nullptr) {
        auto* shop = dynamic_cast<GShopScene*>((from ? from : start.get())->openScene("scenes/ShopScene.oscn", false));
        update(10);
        update(10);
        return shop;
    }

    static GShopButton* button(GShopScene& shop, const char* name) {
        for (GShopButton* b : shop.getShopButtons()) {
            if (b->getName() == makeNameId(name)) return b;
        }
        return nullptr;
    }
    static std::string faceOf(GShopButton* b) {
        ControlNode* root = b ? b->getTemplateRoot() : nullptr;
        return textOf(root ? nodeCast<TextNode>(root->findChild(makeNameId("Face"), -1)) : nullptr);
    }
    static std::string highlightOf(GShopButton* b) {
        BaseNode* hl = b ? b->findChild(makeNameId("ShopButtonHLNode"), 1) : nullptr;
        if (!hl) return "none";
        return textOf(nodeCast<TextNode>(hl->findChild(makeNameId("Mark"), 1)));
    }
    // The stored value after reading the player file back from disk.
    std::string savedBought() {
        clearPlayers();
        getProfileStore().loadPlayerProfiles();
        getProfileStore().selectProfile(0);
        player = getProfileStore().getCurrentProfile();
        return player ? player->getString("BoughtUpgrades").c_str() : "<no player>";
    }

};

}  // namespace

// ---- Shop button ------------------------------------------------------------------

TEST_F(GShopSceneTest, ButtonShowsPriceBoughtAndLockedThroughItsChildrenAndTemplate) {
    GShopScene* shop = openShop();
    ASSERT_NE(shop, nullptr);
    GShopButton* b = button(*shop, "Pier");
    ASSERT_NE(b, nullptr);
    ASSERT_NE(b->getPriceText(), nullptr);
    ASSERT_NE(b->getBoughtNode(), nullptr);
    struct Case {
        bool bought, locked;
        int32_t price;
        bool priceShown;
        const char* priceText;
        bool boughtShown;
        const char* face;
    };
    const Case cases[] = {
        {false, false, 1234567, true, "1,234,567", false, "Normal"},
        {false, false, 999, true, "999", false, "Normal"},
        {false, false, 0, false, "999", false, "Normal"},
        {false, false, -5, false, "999", false, "Normal"},
        // Bought wins over locked; the bought state falls back to "Normal"
        // where the template has none.
        {true, true, 1500, false, "999", true, "Normal"},
        {true, false, 1500, false, "999", true, "Normal"},
        {false, true, 0, false, "999", false, "Locked"},
    };
    for (const Case& c : cases) {
        b->setBought(false);
        b->setLocked(false);
        b->setEnabled(true);
        b->setPrice(999);
        b->setBought(c.bought);
        b->setLocked(c.locked);
        b->setPrice(c.price);
        update(10);
        const std::string what = std::to_string(c.bought) + std::to_string(c.locked) + std::to_string(c.price);
        EXPECT_EQ(b->getPriceText()->isVisible(), c.priceShown) << what;
        EXPECT_EQ(textOf(b->getPriceText()), c.priceText) << what;
        EXPECT_EQ(b->getBoughtNode()->isVisible(), c.boughtShown) << what;
        EXPECT_EQ(faceOf(b), c.face) << what;
        // Hovering does not take a bought or locked card out of its look.
        b->setHovered(true);
        update(10);
        EXPECT_EQ(faceOf(b), c.bought || c.locked ? c.face : "NormalHover") << what;
        b->setHovered(false);
    }
}

TEST_F(GShopSceneTest, UpgradeNameIsWrittenOnlyWhenSetAndSurvivesCloneWithItsChildren) {
    GShopScene* shop = openShop();
    GShopButton* b = button(*shop, "Hostel");
    ASSERT_NE(b, nullptr);
    CountedRef<PropertySet> set(new PropertySet());
    b->writeProperties(set.get());
    EXPECT_EQ(set->getString("UpgradeName"), "Hostel");

    CountedRef<GShopButton> bare(new GShopButton(nullptr, nullptr, nullptr));
    CountedRef<PropertySet> empty(new PropertySet());
    bare->writeProperties(empty.get());
    EXPECT_LT(empty->indexOf("UpgradeName"), 0);
    // Without children every operation is safe.
    bare->setPrice(10);
    bare->setBought(true);
    bare->setLocked(true);
    EXPECT_TRUE(bare->isBought());

    CountedRef<BaseNode> copy(b->clone(nullptr, nullptr));
    auto* cloned = nodeCast<GShopButton>(copy.get());
    ASSERT_NE(cloned, nullptr);
    EXPECT_EQ(cloned->getUpgradeName(), makeNameId("Hostel"));
    EXPECT_NE(cloned->getPriceText(), nullptr);
    EXPECT_NE(cloned->getPriceText(), b->getPriceText());
    EXPECT_NE(cloned->getBoughtNode(), nullptr);
}

// ---- Money and what each button shows ------------------------------------------------

TEST_F(GShopSceneTest, MoneyIsTheScoresLessWhatWasSpentAndEachButtonFollowsIt) {
    // 10,000 scored, Hostel (4,000) bought: 6,000 to spend.
    player->setString("Scores", "7000;3000");
    player->setString("BoughtUpgrades", "Hostel");
    player->setInt("MaxUnlockedLevelIndex", 8);
    GShopScene* shop = openShop();
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(shop->getMoney(), 6000);
    EXPECT_EQ(textOf(shop->getScoreText()), "6,000");

    struct Case {
        const char* name;
        bool locked, bought, enabled;
    };
    const Case cases[] = {
        {"Hostel", false, true, false},
        {"Pier", false, false, true},    // 6,000: just affordable
        {"Tower", false, false, false},  // 6,001: one too many
        {"Near", false, false, true},    // Level 8 with 8 - 9 / 8 = 7 finished
        {"Far", true, false, false},     // Level 9
        {"Nowhere", true, false, false}, // not in the catalogue
        {"AquaPark", false, true, false}, // free, so owned
    };
    for (const Case& c : cases) {
        GShopButton* b = button(*shop, c.name);
        ASSERT_NE(b, nullptr) << c.name;
        EXPECT_EQ(b->isLocked(), c.locked) << c.name;
        EXPECT_EQ(b->isBought(), c.bought) << c.name;
        EXPECT_EQ(b->isEnabled(), c.enabled) << c.name;
        if (c.locked) {
            EXPECT_EQ(b->getPrice(), 0) << c.name;
        }
    }
    EXPECT_EQ(textOf(button(*shop, "Pier")->getPriceText()), "6,000");
}

TEST_F(GShopSceneTest, FeatureTwinReplacesItsBaseOnceTheBaseIsOwned) {
    player->setString("Scores", "1000");
    GShopScene* shop = openShop();
    ASSERT_NE(shop, nullptr);
    // AquaPark is free, so its twin shows; REAgency is for sale.
    EXPECT_FALSE(button(*shop, "AquaPark")->isVisible());
    EXPECT_TRUE(button(*shop, "AquaParkFeature2")->isVisible());
    EXPECT_TRUE(button(*shop, "REAgency")->isVisible());
    EXPECT_FALSE(button(*shop, "REAgencyFeature2")->isVisible());

    press(*shop, button(*shop, "REAgency"));
    EXPECT_FALSE(button(*shop, "REAgency")->isVisible());
    EXPECT_TRUE(button(*shop, "REAgencyFeature2")->isVisible());
    EXPECT_EQ(shop->getMoney(), 300);

    // A locked base stays in place.
    player->setInt("MaxUnlockedLevelIndex", -1);
    shop->refresh(false);
    EXPECT_TRUE(button(*shop, "REAgency")->isVisible());
    EXPECT_FALSE(button(*shop, "REAgencyFeature2")->isVisible());
}

// ---- Buying ----------------------------------------------------------------------------

TEST_F(GShopSceneTest, BuyingNeedsTheScoreTheLevelAndANewUpgradeAndSavesAtOnce) {
    struct Case {
        const char* what;
        const char* scores;
        const char* bought;
        int32_t maxUnlocked;
        const char* pressed;
        const char* after;
    };
    const Case cases[] = {
        {"enough score", "5000", "", 0, "Hostel", "Hostel"},
        {"appended after others", "5000", "Garden", 0, "Hostel", "Garden;Hostel"},
        {"exactly enough", "4000", "", 0, "Hostel", "Hostel"},
        {"not enough score", "3999", "", 0, "Hostel", ""},
        {"already bought", "9000", "Hostel", 0, "Hostel", "Hostel"},
        {"level not reached", "9000", "", 0, "Far", ""},
        {"not in the catalogue", "9000", "", 8, "Nowhere", ""},
        {"free upgrade", "9000", "", 0, "AquaPark", ""},
    };
    for (const Case& c : cases) {
        player->setString("Scores", c.scores);
        player->setString("BoughtUpgrades", c.bought);
        player->setInt("MaxUnlockedLevelIndex", c.maxUnlocked);
        getProfileStore().savePlayerProfiles();
        GShopScene* shop = openShop();
        ASSERT_NE(shop, nullptr) << c.what;
        GShopButton* b = button(*shop, c.pressed);
        ASSERT_NE(b, nullptr) << c.what;
        EXPECT_FALSE(press(*shop, b)) << c.what;
        EXPECT_EQ(player->getString("BoughtUpgrades"), c.after) << c.what;
        EXPECT_EQ(savedBought(), c.after) << c.what;
        ASSERT_NE(player, nullptr);
        manager()->setScene(start.get());
        update(10);
    }
}

TEST_F(GShopSceneTest, NothingIsComputedOrBoughtWithoutAPlayer) {
    GShopScene* shop = openShop();
    ASSERT_NE(shop, nullptr);
    getProfileStore().selectProfile(99);
    ASSERT_EQ(getProfileStore().getCurrentProfile(), nullptr);
    shop->refresh(true);
    shop->refreshHighlights();
    EXPECT_FALSE(press(*shop, button(*shop, "Pier")));
    keyUp(*shop, 'U');
    getProfileStore().selectProfile(0);
    EXPECT_EQ(getProfileStore().getCurrentProfile()->getString("BoughtUpgrades"), "");
}

TEST_F(GShopSceneTest, DamagedProgressValuesGiveASafeShop) {
    struct Case {
        const char* what;
        const char* scores;
        const char* bought;
        int32_t maxUnlocked;
        int32_t money;
        bool farLocked;
    };
    const Case cases[] = {
        {"garbage scores", "abc;;x", "", 0, 0, true},
        {"negative scores count as none", "-50000;1000", "", 0, 1000, true},
        {"scores past int add up without wrapping", "2147483647;2147483647", "", 0, INT_MAX, true},
        {"unknown and repeated names cost nothing more", "5000", "Hostel;Hostel;;Ghost", 0, 1000, true},
        {"bought beyond the score leaves a debt", "100", "Hostel", 0, -3900, true},
        {"huge progress index", "0", "", INT_MAX, 0, false},
        {"negative progress index", "0", "", INT_MIN, 0, true},
    };
    for (const Case& c : cases) {
        player->setString("Scores", c.scores);
        player->setString("BoughtUpgrades", c.bought);
        player->setInt("MaxUnlockedLevelIndex", c.maxUnlocked);
        player->setInt("LevelIndex", c.maxUnlocked);
        GShopScene* shop = openShop();
        ASSERT_NE(shop, nullptr) << c.what;
        EXPECT_EQ(shop->getMoney(), c.money) << c.what;
        EXPECT_EQ(button(*shop, "Far")->isLocked(), c.farLocked) << c.what;
        // Nothing costs less than nothing: a debt buys nothing.
        if (c.money < 0) {
            EXPECT_FALSE(button(*shop, "Near")->isEnabled()) << c.what;
        }
        manager()->setScene(start.get());
        update(10);
    }
}

// ---- Highlights ------------------------------------------------------------------------

TEST_F(GShopSceneTest, UpgradesTheChosenLevelNeedsAreHighlightedUntilOwned) {
    player->setString("Scores", "9000");
    struct Case {
        int32_t levelIndex;
        const char* hostel;
        const char* guestHouse;
    };
    // Hostel is needed from level 2 (index 1), GuestHouse from level 3.
    const Case cases[] = {{0, "none", "none"}, {1, "On", "none"}, {2, "On", "On"}, {38, "On", "On"}};
    for (const Case& c : cases) {
        player->setInt("LevelIndex", c.levelIndex);
        GShopScene* shop = openShop();
        ASSERT_NE(shop, nullptr);
        EXPECT_FALSE(shop->getHighlightTemplate()->isVisible());
        EXPECT_EQ(highlightOf(button(*shop, "Hostel")), c.hostel) << c.levelIndex;
        EXPECT_EQ(highlightOf(button(*shop, "GuestHouse")), c.guestHouse) << c.levelIndex;
        EXPECT_EQ(highlightOf(button(*shop, "Pier")), "none") << c.levelIndex;
        manager()->setScene(start.get());
        update(10);
    }
    player->setInt("LevelIndex", 1);
    GShopScene* shop = openShop();
    BaseNode* hl = button(*shop, "Hostel")->findChild(makeNameId("ShopButtonHLNode"), 1);
    ASSERT_NE(hl, nullptr);
    EXPECT_TRUE(hl->isVisible());
    EXPECT_EQ(hl->getPosition(), vector3df(0, 0, 10));
    press(*shop, button(*shop, "Hostel"));
    update(10);
    EXPECT_EQ(highlightOf(button(*shop, "Hostel")), "Off");
    // A second pass reuses the highlight it made.
    shop->refreshHighlights();
    int count = 0;
    const array<BaseNode*>& children = button(*shop, "Hostel")->getChildren();
    for (uint32_t i = 0; i < children.size(); ++i) {
        count += children[i]->getName() == makeNameId("ShopButtonHLNode") ? 1 : 0;
    }
    EXPECT_EQ(count, 1);
}

// ---- Hint ------------------------------------------------------------------------------

TEST_F(GShopSceneTest, HintShowsPriceAndInfoAboveTheHoveredButton) {
    GShopScene* shop = openShop();
    ASSERT_NE(shop, nullptr);
    BaseNode* hint = shop->getHint();
    ASSERT_NE(hint, nullptr);
    EXPECT_FALSE(hint->isVisible());
    GShopButton* hostel = button(*shop, "Hostel");
    shop->showHint(hostel);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->getPosition(), vector3df(hostel->getPosition().X + 30, 300, 1000));
    EXPECT_EQ(textOf(nodeCast<TextNode>(hint->findChild(makeNameId("Title"), 1))), "4,000");
    EXPECT_EQ(textOf(nodeCast<TextNode>(hint->findChild(makeNameId("Info"), 1))), "Hostels");
    shop->showHint(button(*shop, "Nowhere"));
    EXPECT_FALSE(hint->isVisible());
    shop->showHint(hostel);
    shop->showHint(nullptr);
    EXPECT_FALSE(hint->isVisible());
}

// ---- Achievements ---------------------------------------------------------------------

TEST_F(GShopSceneTest, SixthHotelEarnsTheAchievementOnceAndItsPopupOpens) {
    player->setString("Scores", "9000");
    player->setString("BoughtUpgrades", "Hostel;GuestHouse;BusinessHotel;HotelN5");
    GShopScene* shop = openShop();
    ASSERT_NE(shop, nullptr);
    // Camping (free) and four bought: five hotels; AquaPark (free) counts
    // as a service.
    EXPECT_EQ(tracker()->getProgress(0), 5);
    EXPECT_EQ(top(), shop);
    EXPECT_EQ(std::string(player->getString("AchievementsProgress").c_str()), "5;1;0;0;0;0;0;0;0;0;0;0");

    press(*shop, button(*shop, "HotelN6"));
    EXPECT_EQ(tracker()->getProgress(0), 6);
    update(10);
    EXPECT_NE(dynamic_cast<GAchievementUnlockedScene*>(top()), nullptr);

    manager()->setScene(start.get());
    update(10);
    shop = openShop();
    EXPECT_EQ(top(), shop);
    EXPECT_EQ(tracker()->getProgress(0), 6);

    // A profile that lost a purchase lowers the counter again.
    player->setString("BoughtUpgrades", "Hostel");
    shop->refresh(false);
    EXPECT_EQ(tracker()->getProgress(0), 2);
}

TEST_F(GShopSceneTest, MissingPopupSceneIsLoggedAndTheShopStays) {
    std::filesystem::remove(folder.file("scenes/AchievementUnlockedScene.oscn"));
    LogCapture log;
    GShopScene* shop = openShop();
    ASSERT_NE(shop, nullptr);
    EXPECT_FALSE(shop->showAchievementPopup(0));
    EXPECT_TRUE(log.contains("AchievementUnlockedScene"));
    EXPECT_EQ(top(), shop);
}

// ---- Keys, Back and tutorial ---------------------------------------------------------

TEST_F(GShopSceneTest, BackAndEscReturnAndTheDeveloperKeyBuysEverything) {
    for (const char* how : {"BackButton", "Esc"}) {
        GShopScene* shop = openShop();
        ASSERT_NE(shop, nullptr);
        if (std::string(how) == "Esc") {
            EXPECT_TRUE(keyUp(*shop, KeyCode::Escape));
        } else {
            EXPECT_TRUE(press(*shop, how));
        }
        update(10);
        update(10);
        EXPECT_EQ(top(), start.get()) << how;
    }

    GShopScene* shop = openShop();
    developerModeEnabled = false;
    keyUp(*shop, 'U');
    EXPECT_EQ(player->getString("BoughtUpgrades"), "");
    developerModeEnabled = true;
    keyUp(*shop, 'U');
    developerModeEnabled = false;
    const stringc all = player->getString("BoughtUpgrades");
    EXPECT_EQ(splitBySemicolon(all).size(), 14u);
    EXPECT_TRUE(button(*shop, "Hostel")->isBought());
    EXPECT_EQ(savedBought(), std::string(all.c_str()));
}

TEST_F(GShopSceneTest, TutorialRunsAfterLevelThreeAndCountsAsSeenWhenLeft) {
    folder.write("scenes/ShopTutorial1.xml", kTutorial);
    player->setBool("ShowTutorialOn", true);
    player->setBool("ShowTutorialShop1", true);
    player->setBool("ShowTutorialShop2", true);
    struct Case {
        int32_t maxUnlocked;
        const char* key;
    };
    const Case cases[] = {{0, ""}, {2, "ShowTutorialShop1"}, {2, ""}};
    for (const Case& c : cases) {
        player->setInt("MaxUnlockedLevelIndex", c.maxUnlocked);
        // Held here too: closing hands the shop back to the manager, which
        // lets it go, and the test still looks at it afterwards.
        CountedRef<GShopScene> shop = CountedRef<GShopScene>::share(openShop());
        ASSERT_NE(shop.get(), nullptr);
        EXPECT_EQ(shop->getTutorialKey(), c.key) << c.maxUnlocked;
        EXPECT_EQ(shop->getTutorial() != nullptr, std::string(c.key) != "") << c.maxUnlocked;
        press(*shop, "BackButton");
        update(10);
        update(10);
        EXPECT_EQ(shop->getTutorial(), nullptr);
    }
    EXPECT_FALSE(player->getBool("ShowTutorialShop1"));

    // The second tutorial's file is missing: logged, the shop works.
    player->setInt("MaxUnlockedLevelIndex", 7);
    std::filesystem::remove(folder.file("scenes/ShopTutorial2.xml"));
    LogCapture log;
    GShopScene* shop = openShop();
    EXPECT_TRUE(log.contains("ShopTutorial2"));
    EXPECT_EQ(shop->getTutorial(), nullptr);
}

// ---- Map and shop together -------------------------------------------------------------

TEST_F(GShopSceneTest, BuyingTheRequiredUpgradeLiftsTheMapsLock) {
    player->setString("Scores", "5000");
    player->setInt("MaxUnlockedLevelIndex", 0);
    player->setInt("LevelIndex", 0);
    auto* map = dynamic_cast<GMapScene*>(start->openScene("scenes/MapScene.oscn", false));
    ASSERT_NE(map, nullptr);
    update(10);
    update(10);
    ASSERT_TRUE(map->isShopAvailable());
    EXPECT_FALSE(map->areRequiredUpgradesBought(1));

    // Choosing level 2 without its Hostel refuses Play and opens the shop.
    press(*map, map->getLocationButtons()[1]);
    update(10);
    update(10);
    EXPECT_FALSE(map->getPlayButton()->isEnabled());
    auto* shop = dynamic_cast<GShopScene*>(top());
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(highlightOf(button(*shop, "Hostel")), "On");

    press(*shop, button(*shop, "Hostel"));
    press(*shop, "BackButton");
    update(10);
    update(10);
    ASSERT_EQ(top(), map);
    EXPECT_TRUE(map->areRequiredUpgradesBought(1));
    EXPECT_TRUE(map->getPlayButton()->isEnabled());
}
