// The level map and its location buttons on the game object's managers over
// the engine's null device, with a small map of nine locations (the eighth a
// mini-game) written to a temporary content folder, and the shipped map of
// the whole game (39 locations) against the same templates: which locations open
// from the player's progress, the platform and medal each shows, the level
// information and hint windows, the buttons and keys, the map tutorial, and
// progress values that a damaged profile could hold.
#include "engine/content/CContentManager.h"
#include "engine/content/Dictionary.h"
#include "engine/content/ProfileStore.h"
#include "engine/controls/MessageBoxNode.h"
#include "engine/core/Animator.h"
#include "engine/core/ContentType.h"
#include "engine/core/Event.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/PropertySet.h"
#include "engine/core/SceneManager.h"
#include "engine/core/State.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/Image.h"
#include "engine/platform/ImageManager.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/app/GGameApp.h"
#include "game/app/GameNodeKinds.h"
#include "game/common/AchievementsTracker.h"
#include "game/config/LevelScores.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/flow/GLoadingLevelScene.h"
#include "game/menus/GMainMenuScene.h"
#include "game/menus/GMapLocationButton.h"
#include "game/menus/GMapScene.h"
#include "game/tutorial/GTutorial.h"
#include "support/GameAppTest.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace engine;
using namespace game;
using testing_support::LogCapture;

namespace {

// The location template as the shipped one is built: a selection ring, the
// star group with its looping "Wave" (2000 ms), the platform and the star.
const char* const kTemplates = R"(<?xml version="1.0"?>
<SceneNode Type="TemplateCollectionNode">
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="MapLocation"/></Properties>
    <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Selector"/>
      <bool Name="Visible" Value="false"/></Properties></SceneNode>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="Star"/></Properties>
      <States><State Name="Wave"><Animator Type="KeyFrame" Name="Wave">
        <Properties><vector3d Name="Scale" Value="1;1;1"/></Properties>
        <KeyFrame t="0" Value0="1;1;1"/><KeyFrame t="1000" i="0" Value0="2;2;1"/>
        <KeyFrame t="1000" i="0" g="0" Value0="1;1;1"/></Animator></State></States>
      <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Platform"/></Properties></SceneNode>
      <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Star"/></Properties></SceneNode>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="MapMiniGame"/></Properties>
    <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Selector"/>
      <bool Name="Visible" Value="false"/></Properties></SceneNode>
    <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="Star"/></Properties>
      <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Platform"/></Properties></SceneNode>
      <SceneNode Type="SpriteNode"><Properties><string Name="Name" Value="Star"/></Properties></SceneNode>
    </SceneNode>
  </SceneNode>
  <SceneNode Type="ControlNode"><Properties><string Name="Name" Value="TutorialWindow"/></Properties>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="Text"/></Properties></SceneNode>
    <SceneNode Type="ButtonNode"><Properties><string Name="Name" Value="SkipTutorialButton"/></Properties></SceneNode>
    <SceneNode Type="ButtonNode"><Properties><string Name="Name" Value="Button"/></Properties></SceneNode>
  </SceneNode>
  <SceneNode Type="BaseNode"><Properties><string Name="Name" Value="TutorialArrow"/></Properties></SceneNode>
  <SceneNode Type="SceneNode"><Properties><string Name="Name" Value="MessageBox1Button"/></Properties>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="TitleText"/></Properties></SceneNode>
    <SceneNode Type="TextNode"><Properties><string Name="Name" Value="BodyText"/></Properties></SceneNode>
    <SceneNode Type="ButtonNode"><Properties><string Name="Name" Value="Button"/></Properties></SceneNode>
  </SceneNode>
</SceneNode>)";

const char* const kLevels[] = {"level1", "level2", "level3", "level4", "level5",
                               "level6", "level7", "minigame_hidden", "level8"};
constexpr int32_t kLocations = 9;

std::string hintXml(int n) {
    std::string xml = "<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"LevelHint" +
                      std::to_string(n) + "Node\"/><bool Name=\"Visible\" Value=\"false\"/></Properties>";
    for (const char* text : {"LevelText", "TimeText", "RankText", "Place1Text", "Place2Text"})
        xml += std::string("<SceneNode Type=\"TextNode\"><Properties><string Name=\"Name\" Value=\"") + text +
               "\"/></Properties></SceneNode>";
    for (const char* sprite : {"Place1Sign", "Place2Sign", "Icon1", "Icon2"})
        xml += std::string("<SceneNode Type=\"SpriteNode\"><Properties><string Name=\"Name\" Value=\"") + sprite +
               "\"/></Properties></SceneNode>";
    for (const char* arrow : {"Arrow", "ArrowL", "ArrowR"})
        xml += std::string("<SceneNode Type=\"BaseNode\"><Properties><string Name=\"Name\" Value=\"") + arrow +
               "\"/></Properties></SceneNode>";
    return xml + "</SceneNode>";
}

std::string mapXml() {
    std::string xml =
        "<?xml version=\"1.0\"?><SceneNode Type=\"GMapScene\">"
        "<SceneNode Type=\"ControlNode\"><Properties><string Name=\"Name\" Value=\"Scene\"/></Properties>"
        "<SceneNode Type=\"ControlNode\"><Properties><string Name=\"Name\" Value=\"LocationButtons\"/></Properties>";
    for (int32_t i = 0; i < kLocations; ++i) {
        xml += "<SceneNode Type=\"GMapLocationButton\"><Properties><string Name=\"Name\" Value=\"Location" +
               std::to_string(i) + "\"/><vector3d Name=\"Position\" Value=\"" + std::to_string(100 + i * 90) +
               ";400;0\"/><string Name=\"TemplateName\" Value=\"MapLocation\"/>"
               "<stringw Name=\"Text\" Value=\"Place " +
               std::to_string(i) + "\"/><string Name=\"AssociatedLevelName\" Value=\"" + kLevels[i] +
               "\"/></Properties></SceneNode>";
        // Something that is not a location among them is not counted.
        if (i == 3) xml += "<SceneNode Type=\"ButtonNode\"><Properties><string Name=\"Name\" Value=\"Sign\"/></Properties></SceneNode>";
    }
    xml += "</SceneNode><SceneNode Type=\"ButtonNode\"><Properties><string Name=\"Name\" Value=\"PlayButton\"/>"
           "</Properties></SceneNode>";
    for (int n = 1; n <= 6; ++n) xml += hintXml(n);
    return xml + "</SceneNode></SceneNode>";
}

// Level scores: level8 and the mini-game are not listed.
const char* const kLevelScores = R"(<?xml version="1.0"?>
<LevelScores>
  <Level Name="level1" Score="1000" ExpertScore="2000" Time="420"/>
  <Level Name="level2" Score="1500" ExpertScore="3000" Time="480"/>
  <Level Name="level3" Score="2500" ExpertScore="5000" Time="600"/>
</LevelScores>)";

// Hostel is required by level 2 (location 1), Pier and Tower by level 8
// (location 8: level numbers skip the mini-game at 7); Garden by no level,
// Castle by a level past the map.
const char* const kUpgrades = R"(<?xml version="1.0"?>
<UpgradesConfiguration>
  <Upgrade><Name Value="Hostel"/><Price Value="800"/><Level Value="1"/><ObligatoryLevel Value="2"/></Upgrade>
  <Upgrade><Name Value="Garden"/><Price Value="600"/><Level Value="1"/></Upgrade>
  <Upgrade><Name Value="Pier"/><Price Value="900"/><Level Value="1"/><ObligatoryLevel Value="8"/></Upgrade>
  <Upgrade><Name Value="Tower"/><Price Value="900"/><Level Value="1"/><ObligatoryLevel Value="8"/></Upgrade>
  <Upgrade><Name Value="Castle"/><Price Value="900"/><Level Value="1"/><ObligatoryLevel Value="40"/></Upgrade>
</UpgradesConfiguration>)";

const char* const kLoadingScene = R"(<?xml version="1.0"?>
<SceneNode Type="GLoadingLevelScene"/>)";

const char* const kLevelScene = R"(<?xml version="1.0"?>
<SceneNode Type="GGameLevelScene"/>)";

const char* const kShopScene = R"(<?xml version="1.0"?>
<SceneNode Type="SceneNode"><Properties><string Name="Name" Value="Shop"/></Properties></SceneNode>)";

const char* const kOtherScene = R"(<?xml version="1.0"?>
<SceneNode Type="SceneNode"><Properties><string Name="Name" Value="Other"/></Properties></SceneNode>)";

const char* const kTutorial = R"(<?xml version="1.0"?>
<Tutorial><Hint MessageBox="true"><Text Value="Pick a place"/></Hint></Tutorial>)";

const char* const kImages[] = {
    "Platform.png", "Platform(Grey).png", "Platform(Red).png", "Platform(Green).png", "GoldStar.png",
    "SilverStar.png", "O.png", "N.png", "Icons/Hostel.png", "Icons/Pier.png", "Icons/Tower.png"};

stringc textureName(SpriteNode* sprite) {
    AtlasTextureContent* texture = sprite ? sprite->getAtlasTexture() : nullptr;
    if (!texture) return "none";
    const stringc name = texture->getCreationContext().getName().c_str();
    const int32_t slash = name.findLast('/');
    return slash >= 0 ? name.subString(slash + 1, name.size() - slash - 1) : name;
}

class GMapSceneTest : public testing_support::GameAppTest {
protected:
    void SetUp() override {
        folder.write("scenes/TemplateCollection.oscn", kTemplates);
        folder.write("scenes/MapScene.oscn", mapXml());
        folder.write("scenes/LoadingLevelScene.oscn", kLoadingScene);
        folder.write("scenes/Other.oscn", kOtherScene);
        folder.write("levels/common/LevelScores.xml", kLevelScores);
        folder.write("levels/common/UpgradesConfiguration.xml", kUpgrades);
        // Every level of the small map is in the content except level8.
        for (const char* level : kLevels) {
            if (std::string(level) != "level8") folder.write(std::string("levels/") + level + "/Level.oscn", kLevelScene);
        }
        // Profiles saved by the map land in the test's own folder.
        enterFolder();
        createApp(true);
        for (const char* image : kImages) writeImage(std::string("scenes/images/Map/") + image);
        useTemplates("scenes/TemplateCollection.oscn");

        ASSERT_NO_FATAL_FAILURE(addPlayer());
        player->setInt("MaxUnlockedLevelIndex", 0);
        player->setInt("LevelIndex", 1);
        player->setBool("ShowTutorialOn", false);
        player->setBool("ShowTutorialMap1", true);
        player->setBool("ShowTutorialMap2", true);
        showStart(new GBaseSceneNode(&context(), nullptr, nullptr));
    }

    void writeImage(const std::string& path) {
        CountedRef<Image> image(new Image(CreationContext(), CF_A8R8G8B8, dimension2du(4, 4)));
        std::filesystem::create_directories(std::filesystem::path(folder.file(path)).parent_path());
        IrrRef<irr::io::IWriteFile> file(
            getEngine()->getFileSystem()->createAndWriteFile(folder.file(path).c_str(), false));
        ASSERT_TRUE(file);
        ASSERT_TRUE(ImageManager::instance().writeImage(image.get(), file.get()));
    }

    // Opens the map over the start scene and lets its opening end.
    GMapScene* openMap() {
        auto* map = dynamic_cast<GMapScene*>(start->openScene("scenes/MapScene.oscn", false));
        update(10);
        update(10);
        return map;
    }

    static bool press(GMapScene& map, BaseNode* node) {
        CountedRef<NodePressedEvent> event(new NodePressedEvent(node));
        return map.onNodePressed(event.get());
    }
    static bool press(GMapScene& map, const char* name) {
        CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
        node->setName(makeNameId(name));
        return press(map, node.get());
    }
    // Through the map's event entry, where its tutorial listens too.
    static bool deliver(GMapScene& map, BaseNode* node) {
        CountedRef<NodePressedEvent> event(new NodePressedEvent(node));
        return map.handleEvent(event.get());
    }
};

}  // namespace

// ---- Location button --------------------------------------------------------------

TEST_F(GMapSceneTest, LocationShowsLockUpgradesMiniGameAndMedalInTheMapsOrder) {
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    GMapLocationButton* button = map->getLocationButtons()[0];
    ASSERT_NE(button->getPlatform(), nullptr);
    ASSERT_NE(button->getStar(), nullptr);
    struct Case {
        bool enabled, ready, miniGame;
        int32_t medal;
        const char* platform;
        bool starShown;
        const char* star;
    };
    const Case cases[] = {
        {true, true, false, 0, "Platform.png", true, "none"},
        {true, true, false, 1, "Platform.png", true, "SilverStar.png"},
        {true, true, false, 2, "Platform.png", true, "GoldStar.png"},
        {true, true, false, 7, "Platform.png", true, "none"},
        {true, false, false, 2, "Platform(Red).png", true, "GoldStar.png"},
        // The mini-game marker wins over red; a locked location stays grey
        // without a star whatever follows.
        {true, false, true, 0, "Platform(Green).png", true, "none"},
        {false, false, true, 2, "Platform(Grey).png", false, "GoldStar.png"},
        {false, true, false, 1, "Platform(Grey).png", false, "SilverStar.png"},
    };
    for (const Case& c : cases) {
        button->setEnabled(c.enabled);
        button->setUpgradesReady(c.ready);
        button->setMiniGameMarker(c.miniGame);
        button->setRank(c.medal);
        const std::string what = std::to_string(c.enabled) + std::to_string(c.ready) + std::to_string(c.miniGame) +
                                 std::to_string(c.medal);
        EXPECT_EQ(textureName(button->getPlatform()), c.platform) << what;
        EXPECT_EQ(button->getStar()->isVisible(), c.starShown) << what;
        EXPECT_EQ(textureName(button->getStar()), c.star) << what;
        EXPECT_EQ(button->isEnabled(), c.enabled) << what;
    }
    // The marker off leaves the platform as it is.
    button->setEnabled(true);
    button->setUpgradesReady(false);
    button->setMiniGameMarker(false);
    EXPECT_EQ(textureName(button->getPlatform()), "Platform(Red).png");

    button->setSelected(true);
    EXPECT_TRUE(button->getSelector()->isVisible());
    button->setSelected(false);
    EXPECT_FALSE(button->getSelector()->isVisible());
}

TEST_F(GMapSceneTest, LocationWithoutTemplateTakesEveryOperation) {
    CountedRef<GMapLocationButton> bare(new GMapLocationButton(nullptr, nullptr, nullptr));
    bare->applyTemplate();
    bare->setEnabled(false);
    bare->setUpgradesReady(false);
    bare->setMiniGameMarker(true);
    bare->setRank(2);
    bare->setSelected(true);
    bare->startWave(0.5f);
    EXPECT_FALSE(bare->isEnabled());
    EXPECT_EQ(bare->getSelector(), nullptr);
    EXPECT_EQ(bare->getStarGroup(), nullptr);
    EXPECT_EQ(bare->getStar(), nullptr);
    EXPECT_EQ(bare->getPlatform(), nullptr);
}

TEST_F(GMapSceneTest, LevelNameIsWrittenOnlyWhenSetAndSurvivesReloadAndClone) {
    CountedRef<GMapLocationButton> button(new GMapLocationButton(nullptr, nullptr, nullptr));
    {
        CountedRef<PropertySet> set(new PropertySet());
        button->writeProperties(set.get());
        EXPECT_LT(set->indexOf("AssociatedLevelName"), 0);
    }
    button->setAssociatedLevelName("level12");
    CountedRef<PropertySet> set(new PropertySet());
    button->writeProperties(set.get());
    CountedRef<GMapLocationButton> reloaded(new GMapLocationButton(nullptr, nullptr, nullptr));
    reloaded->readProperties(set.get());
    EXPECT_EQ(reloaded->getAssociatedLevelName(), "level12");
    // A set without the name leaves the one held.
    CountedRef<PropertySet> empty(new PropertySet());
    reloaded->readProperties(empty.get());
    EXPECT_EQ(reloaded->getAssociatedLevelName(), "level12");

    CountedRef<BaseNode> copy(button->clone(nullptr, nullptr));
    auto* cloned = nodeCast<GMapLocationButton>(copy.get());
    ASSERT_NE(cloned, nullptr);
    EXPECT_EQ(cloned->getAssociatedLevelName(), "level12");

    // Read from a scene file, as the map's buttons are.
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->getLocationButtons().size(), static_cast<size_t>(kLocations));
    for (int32_t i = 0; i < kLocations; ++i) EXPECT_EQ(map->getLocationButtons()[i]->getAssociatedLevelName(), kLevels[i]);
}

TEST_F(GMapSceneTest, WaveStartsAtThePhaseOfItsAnimatorAndNeighboursDiffer) {
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    GMapLocationButton* button = map->getLocationButtons()[0];
    State* wave = button->getStarGroup()->getState(makeNameId("Wave"));
    ASSERT_NE(wave, nullptr);
    Base* animator = wave->getAnimator(0);
    ASSERT_NE(animator, nullptr);
    ASSERT_EQ(animator->getDuration(), 2000u);
    const struct {
        float phase;
        uint32_t at;
    } cases[] = {{0.4f, 800}, {0.25f, 500}, {0.0f, 0}, {0.8f, 1600}};
    for (const auto& c : cases) {
        button->startWave(c.phase);
        EXPECT_EQ(animator->getPosition(), c.at) << c.phase;
    }
    // The map gives the locations the phases 0, 0.2, ... 0.8, then 0 again;
    // they have played on together since, so their distances tell.
    map = openMap();
    auto at = [&](size_t i) {
        return map->getLocationButtons()[i]->getStarGroup()->getState(makeNameId("Wave"))->getAnimator(0)->getPosition();
    };
    const uint32_t offsets[] = {0, 400, 800, 1200, 1600, 0, 400};
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ((at(i) + 2000 - at(0)) % 2000, offsets[i]) << i;
}

// ---- Map: what the player's progress opens --------------------------------------------

TEST_F(GMapSceneTest, LocationsOpenUpToTheOneAfterTheLastFinished) {
    struct Case {
        int32_t maxUnlocked;
        int32_t open;  // locations 0 .. open - 1 are enabled
    };
    // Values a damaged profile could hold open nothing beyond the map and
    // never close the first location.
    const Case cases[] = {{-1, 1}, {0, 2}, {3, 5}, {7, 9}, {8, 9}, {INT_MAX, 9}, {-50, 1}, {INT_MIN, 1}};
    for (const Case& c : cases) {
        player->setInt("MaxUnlockedLevelIndex", c.maxUnlocked);
        GMapScene* map = openMap();
        ASSERT_NE(map, nullptr);
        for (int32_t i = 0; i < kLocations; ++i) {
            GMapLocationButton* button = map->getLocationButtons()[i];
            EXPECT_EQ(button->isEnabled(), i < c.open) << c.maxUnlocked << " location " << i;
            EXPECT_EQ(map->getLevels()[i].completed, i <= c.maxUnlocked) << c.maxUnlocked << " location " << i;
        }
        const std::string seven = textureName(map->getLocationButtons()[7]->getPlatform()).c_str();
        EXPECT_EQ(seven, c.open > 7 ? "Platform(Green).png" : "Platform(Grey).png") << c.maxUnlocked;
        manager()->setScene(start.get());
        update(10);
    }
}

TEST_F(GMapSceneTest, LevelInformationTakesScoresTimesAndTheLevelTable) {
    player->setInt("MaxUnlockedLevelIndex", 2);
    // level1 gold (at its expert score), level2 silver (at its score),
    // level3 nothing, level4 (not in the table: Score 0) gold; the list ends
    // before level5.
    player->setString("Scores", "2000;1500;2499;0");
    player->setString("Times", "61000;-5;x");
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    const std::vector<MapLevelInfo>& levels = map->getLevels();
    ASSERT_EQ(levels.size(), static_cast<size_t>(kLocations));
    const struct {
        int32_t index, rank, timeMs;
        bool completed;
        const char* star;
    } cases[] = {
        {0, 2, 61000, true, "GoldStar.png"},  {1, 1, 0, true, "SilverStar.png"}, {2, 0, 0, true, "none"},
        {3, 2, 360000, false, "GoldStar.png"}, {4, 0, 360000, false, "none"},  {5, 0, 360000, false, "none"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(levels[c.index].rank, c.rank) << c.index;
        EXPECT_EQ(levels[c.index].timeMs, c.timeMs) << c.index;
        EXPECT_EQ(levels[c.index].completed, c.completed) << c.index;
        EXPECT_EQ(textureName(map->getLocationButtons()[c.index]->getStar()), c.star) << c.index;
    }

    // Not yet finished: the level's own time to beat.
    player->setInt("MaxUnlockedLevelIndex", 0);
    player->setString("Scores", "");
    map = openMap();
    EXPECT_EQ(map->getLevels()[1].timeMs, 480000);
    EXPECT_EQ(map->getLevels()[2].timeMs, 600000);
    for (int32_t i = 0; i < kLocations; ++i) EXPECT_EQ(map->getLevels()[i].rank, 0) << i;
}

TEST_F(GMapSceneTest, RequiredUpgradesSitAtTheirLevelsLocationSkippingTheMiniGames) {
    player->setString("BoughtUpgrades", " Tower ;;Garden");
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    const std::vector<MapLevelInfo>& levels = map->getLevels();
    std::vector<std::string> names[kLocations];
    for (int32_t i = 0; i < kLocations; ++i)
        for (Upgrade* upgrade : levels[i].upgrades) names[i].push_back(nameOfId(upgrade->Name).c_str());
    EXPECT_EQ(names[1], (std::vector<std::string>{"Hostel"}));
    EXPECT_EQ(levels[1].upgradeBought, (std::vector<bool>{false}));
    // In the catalogue's order (name ids: Pier before Tower, as read).
    EXPECT_EQ(names[8], (std::vector<std::string>{"Pier", "Tower"}));
    EXPECT_EQ(levels[8].upgradeBought, (std::vector<bool>{false, true}));
    for (int32_t i : {0, 2, 3, 4, 5, 6, 7}) EXPECT_TRUE(names[i].empty()) << i;
}

TEST_F(GMapSceneTest, MissingUpgradesBlockALevelOnlyWhileThereIsAShopToBuyThemIn) {
    player->setInt("MaxUnlockedLevelIndex", 1);
    player->setInt("LevelIndex", 1);
    {
        // No shop in this game yet: the level stays playable, the hint still
        // shows what it would need.
        LogCapture log;
        GMapScene* map = openMap();
        ASSERT_NE(map, nullptr);
        EXPECT_FALSE(map->isShopAvailable());
        EXPECT_TRUE(map->getPlayButton()->isEnabled());
        EXPECT_EQ(textureName(map->getLocationButtons()[1]->getPlatform()), "Platform.png");
        EXPECT_TRUE(press(*map, map->getLocationButtons()[1]));
        EXPECT_TRUE(map->getPlayButton()->isEnabled());
        EXPECT_EQ(top(), map);
        EXPECT_FALSE(log.contains("ShopScene"));
    }
    manager()->setScene(start.get());
    update(10);
    folder.write("scenes/ShopScene.oscn", kShopScene);
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(map->isShopAvailable());
    EXPECT_FALSE(map->getPlayButton()->isEnabled());
    EXPECT_EQ(textureName(map->getLocationButtons()[1]->getPlatform()), "Platform(Red).png");
    // Another location: Play again; back on the red one the shop opens.
    EXPECT_TRUE(press(*map, map->getLocationButtons()[0]));
    EXPECT_TRUE(map->getPlayButton()->isEnabled());
    EXPECT_EQ(top(), map);
    EXPECT_TRUE(press(*map, map->getLocationButtons()[1]));
    EXPECT_FALSE(map->getPlayButton()->isEnabled());
    update(10);
    EXPECT_EQ(top()->getName(), makeNameId("Shop"));
}

// ---- Map: buttons and keys ------------------------------------------------------------

TEST_F(GMapSceneTest, ChoosingALocationSavesItAndPlayStartsItThroughTheLoadingScene) {
    player->setInt("MaxUnlockedLevelIndex", 2);
    player->setInt("LevelIndex", 0);
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->getSelected(), map->getLocationButtons()[0]);
    EXPECT_EQ(player->getString("LevelName"), "level1");

    EXPECT_TRUE(press(*map, map->getLocationButtons()[2]));
    EXPECT_EQ(map->getSelected(), map->getLocationButtons()[2]);
    EXPECT_TRUE(map->getLocationButtons()[2]->getSelector()->isVisible());
    EXPECT_FALSE(map->getLocationButtons()[0]->getSelector()->isVisible());
    EXPECT_EQ(player->getInt("LevelIndex"), 2);
    EXPECT_EQ(player->getString("LevelName"), "level3");

    EXPECT_TRUE(press(*map, "PlayButton"));
    auto* loading = dynamic_cast<GLoadingLevelScene*>(top());
    ASSERT_NE(loading, nullptr);
    EXPECT_EQ(loading->getLevelName(), "level3");
}

TEST_F(GMapSceneTest, PlayOnALocationWhoseLevelIsNotInTheContentTellsThePlayerAndStaysOnTheMap) {
    // Level 8 is on the map but its folder is not shipped yet.
    player->setInt("MaxUnlockedLevelIndex", 7);
    player->setInt("LevelIndex", 8);
    player->setString("Scores", "1;2;3;4;5;6;7;8");
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->getSelected(), map->getLocationButtons()[8]);
    EXPECT_TRUE(map->isLevelPresent("level1"));
    EXPECT_FALSE(map->isLevelPresent("level8"));
    const std::vector<std::string> keys = {"MaxUnlockedLevelIndex", "LevelIndex", "LevelName", "Scores", "Times"};
    std::vector<std::string> before;
    for (const std::string& key : keys) before.push_back(player->getString(key.c_str()).c_str());

    LogCapture log;
    EXPECT_TRUE(press(*map, "PlayButton"));
    EXPECT_TRUE(log.contains("The location's level is not in the content"));
    EXPECT_TRUE(log.hasErrors());
    // No loading scene: a notice over the map, which stays below it.
    auto* box = dynamic_cast<MessageBoxNode*>(top());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getSceneBelow(), map);
    EXPECT_EQ(stringc(box->getTitleText()), "%Map_NotYetOpenTitle%");
    EXPECT_EQ(stringc(box->getBodyText()), "%Map_NotYetOpenBody%");
    for (size_t k = 0; k < keys.size(); ++k) EXPECT_EQ(player->getString(keys[k].c_str()).c_str(), before[k]) << keys[k];

    // Its OK closes it; the map answers again, and a shipped level starts.
    ASSERT_EQ(box->getButtonCount(), 1u);
    CountedRef<NodePressedEvent> answer(new NodePressedEvent(box->getButton(0)));
    box->handleEvent(answer.get());
    for (int i = 0; i < 5; ++i) update(10);
    EXPECT_EQ(top(), map);
    EXPECT_TRUE(press(*map, map->getLocationButtons()[6]));
    EXPECT_TRUE(press(*map, "PlayButton"));
    auto* loading = dynamic_cast<GLoadingLevelScene*>(top());
    ASSERT_NE(loading, nullptr);
    EXPECT_EQ(loading->getLevelName(), "level7");
}

TEST_F(GMapSceneTest, BackEscAndScenesThatDoNotExistLeaveTheMapUsable) {
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    const struct {
        const char* button;
        const char* logged;
        bool handled;
    } cases[] = {{"ShopButton", "scenes/ShopScene.oscn", true}, {"Title", nullptr, false},
                 {"SkipTutorialButton", nullptr, false}};
    for (const auto& c : cases) {
        LogCapture log;
        EXPECT_EQ(press(*map, c.button), c.handled) << c.button;
        if (c.logged) {
            EXPECT_TRUE(log.contains(c.logged)) << c.button;
        }
        EXPECT_EQ(top(), map) << c.button;
    }
    {
        // The developer keys are off.
        LogCapture log;
        EXPECT_FALSE(keyUp(*map, '3'));
        EXPECT_FALSE(log.contains("ComicsScene"));
        developerModeEnabled = true;
        EXPECT_TRUE(keyUp(*map, '3'));
        developerModeEnabled = false;
        EXPECT_TRUE(log.contains("scenes/ComicsScene3.oscn"));
        EXPECT_EQ(top(), map);
    }

    EXPECT_TRUE(press(*map, "BackButton"));
    update(10);
    update(10);
    EXPECT_EQ(top(), start.get());

    map = openMap();
    ASSERT_EQ(top(), map);
    EXPECT_TRUE(keyUp(*map, KeyCode::Escape));
    update(10);
    update(10);
    EXPECT_EQ(top(), start.get());
}

TEST_F(GMapSceneTest, DeveloperKeyUnlocksOneMoreLocationUpToTheLast) {
    player->setInt("MaxUnlockedLevelIndex", 6);
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    CountedRef<KeyDownEvent> u(new KeyDownEvent(0, 85, false, false));
    map->handleEvent(u.get());
    EXPECT_EQ(player->getInt("MaxUnlockedLevelIndex"), 6) << "only in developer mode";
    developerModeEnabled = true;
    for (int i = 0; i < 4; ++i) map->handleEvent(u.get());
    developerModeEnabled = false;
    EXPECT_EQ(player->getInt("MaxUnlockedLevelIndex"), kLocations - 1);
    for (int32_t i = 0; i < kLocations; ++i) EXPECT_TRUE(map->getLocationButtons()[i]->isEnabled()) << i;
}

TEST_F(GMapSceneTest, StoredSelectionIsKeptInsideTheMapAndALockedOneIsNotStarted) {
    const struct {
        int32_t levelIndex, selected;
    } cases[] = {{1, 1}, {kLocations, kLocations - 1}, {INT_MAX, kLocations - 1}, {-1, 0}, {INT_MIN, 0}};
    for (const auto& c : cases) {
        player->setInt("MaxUnlockedLevelIndex", 0);
        player->setInt("LevelIndex", c.levelIndex);
        player->setString("Scores", "garbage;;--;99999999999999999999");
        LogCapture log;
        GMapScene* map = openMap();
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map->getSelected(), map->getLocationButtons()[c.selected]) << c.levelIndex;
        EXPECT_EQ(player->getString("LevelName"), kLevels[c.selected]) << c.levelIndex;
        // The index of the location selected is what the level's end reads.
        EXPECT_EQ(player->getInt("LevelIndex"), c.selected) << c.levelIndex;
        EXPECT_EQ(app->getMapLocationCount(), kLocations);
        EXPECT_TRUE(press(*map, "PlayButton"));
        // Locations 0 and 1 are open; the last one is not.
        EXPECT_EQ(dynamic_cast<GLoadingLevelScene*>(top()) != nullptr, c.selected <= 1) << c.levelIndex;
        manager()->setScene(start.get());
        update(10);
    }
}

TEST_F(GMapSceneTest, MapWithoutAPlayerOrWithoutItsSceneStillAnswers) {
    clearPlayers();
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    // Without a player: location 0 and 1 open (as for index 0), nothing to save.
    EXPECT_TRUE(map->getLocationButtons()[0]->isEnabled());
    EXPECT_TRUE(press(*map, map->getLocationButtons()[1]));
    EXPECT_EQ(map->getSelected(), map->getLocationButtons()[1]);

    folder.write("scenes/MapScene.oscn", "<?xml version=\"1.0\"?><SceneNode Type=\"GMapScene\"/>");
    app->getContentManager()->removeUnused();
    manager()->setScene(start.get());
    update(10);
    map = openMap();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(map->getLocationButtons().empty());
    EXPECT_EQ(map->getPlayButton(), nullptr);
    EXPECT_TRUE(press(*map, "PlayButton"));
    EXPECT_EQ(top(), map);
    map->showLevelHint(nullptr);
    EXPECT_TRUE(press(*map, "BackButton"));
}

// ---- Map: hints ------------------------------------------------------------------------

TEST_F(GMapSceneTest, HoverShowsTheHintForTheLocationsProgressAndUpgrades) {
    player->setInt("MaxUnlockedLevelIndex", 1);
    player->setString("Times", "75000;125000");
    player->setString("Scores", "2000;1500");
    player->setString("BoughtUpgrades", "Hostel");
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    auto text = [](BaseNode* hint, const char* name) {
        auto* node = nodeCast<TextNode>(hint->findChild(makeNameId(name), 1));
        return node ? std::string(stringc(node->getText()).c_str()) : std::string("-");
    };
    auto sprite = [](BaseNode* hint, const char* name) {
        return std::string(textureName(nodeCast<SpriteNode>(hint->findChild(makeNameId(name), 1))).c_str());
    };
    struct Case {
        int32_t location;
        int32_t hint;  // 0-based
        const char* time;
        const char* rank;
        const char* place1;
        const char* sign1;
        const char* place2;
    };
    const Case cases[] = {
        {0, 1, "01:15", "%Map_RankExpert%", "", "none", ""},
        {1, 3, "02:05", "%Map_RankGamer%", "%Hostel%", "O.png", ""},
        {2, 0, "10:00", "%Map_RankGamer%", "", "none", ""},
        {8, 4, "06:00", "%Map_RankGamer%", "%Pier%", "N.png", "%Tower%"},
    };
    for (const Case& c : cases) {
        GMapLocationButton* button = map->getLocationButtons()[c.location];
        CountedRef<NodeHoveredEvent> hovered(new NodeHoveredEvent(nullptr, button));
        EXPECT_TRUE(map->onNodeHovered(hovered.get()));
        EXPECT_TRUE(button->getSelector()->isVisible());
        for (int32_t k = 0; k < GMapScene::kHintCount; ++k)
            EXPECT_EQ(map->getLevelHint(k)->isVisible(), k == c.hint) << c.location << " hint " << k;
        BaseNode* hint = map->getLevelHint(c.hint);
        EXPECT_EQ(text(hint, "LevelText"), "Place " + std::to_string(c.location));
        // Without the dictionary's entry the time to beat stands alone.
        EXPECT_EQ(text(hint, "TimeText"), c.time) << c.location;
        EXPECT_EQ(text(hint, "RankText"), c.rank) << c.location;
        EXPECT_EQ(text(hint, "Place1Text"), c.place1) << c.location;
        EXPECT_EQ(sprite(hint, "Place1Sign"), c.sign1) << c.location;
        EXPECT_EQ(text(hint, "Place2Text"), c.place2) << c.location;
        if (*c.place1) {
            const std::string upgrade(c.place1 + 1, std::string(c.place1).size() - 2);
            EXPECT_EQ(sprite(hint, "Icon1"), upgrade + ".png") << c.location;
        }

        CountedRef<NodeUnhoveredEvent> left(new NodeUnhoveredEvent(button, nullptr));
        EXPECT_TRUE(map->onNodeUnhovered(left.get()));
        for (int32_t k = 0; k < GMapScene::kHintCount; ++k) EXPECT_FALSE(map->getLevelHint(k)->isVisible());
        // The selected location keeps its ring.
        EXPECT_EQ(button->getSelector()->isVisible(), button == map->getSelected()) << c.location;
    }
    CountedRef<BaseNode> other(new BaseNode(nullptr, nullptr, nullptr));
    CountedRef<NodeHoveredEvent> elsewhere(new NodeHoveredEvent(nullptr, other.get()));
    EXPECT_FALSE(map->onNodeHovered(elsewhere.get()));
}

TEST_F(GMapSceneTest, HintSitsBesideItsLocationWithTheMatchingArrow) {
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    struct Case {
        int32_t hint;
        float x, y;
        const char* arrow;
        float pivotX, pivotY;
    };
    const Case cases[] = {
        {0, 50, 500, "ArrowL", -52, 43},  {1, 950, 500, "ArrowR", 238, 43}, {0, 500, 100, "Arrow", 92, 133},
        {2, 300, 200, "ArrowL", -52, 81}, {3, 600, 200, "ArrowR", 238, 81}, {4, 50, 300, "ArrowL", -52, 81},
        {5, 950, 300, "ArrowR", 238, 81}, {4, 500, 250, "Arrow", 92, 219},
    };
    for (const Case& c : cases) {
        BaseNode* hint = map->getLevelHint(c.hint);
        map->placeLevelHint(hint, vector3df(c.x, c.y, 7));
        EXPECT_EQ(hint->getPosition(), vector3df(c.x, c.y, 3000)) << c.hint << " at " << c.x << ", " << c.y;
        EXPECT_EQ(hint->getPivotPoint(), vector2df(c.pivotX, c.pivotY)) << c.hint << " at " << c.x << ", " << c.y;
        for (const char* arrow : {"Arrow", "ArrowL", "ArrowR"})
            EXPECT_EQ(hint->findChild(makeNameId(arrow), 1)->isVisible(), std::string(arrow) == c.arrow)
                << c.hint << " at " << c.x << ", " << c.y << ": " << arrow;
    }
}

// ---- Map: tutorial ------------------------------------------------------------------------

TEST_F(GMapSceneTest, FirstTutorialRunsOnArrivalAndIsMarkedSeenOnlyOnceFinished) {
    folder.write("scenes/MapTutorial1.xml", kTutorial);
    player->setBool("ShowTutorialOn", true);
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    ASSERT_NE(map->getTutorial(), nullptr);
    EXPECT_EQ(map->getTutorialKey(), "ShowTutorialMap1");
    // Left while it runs: shown again next time.
    map->openScene("scenes/Other.oscn", false);
    update(10);
    update(10);
    EXPECT_EQ(map->getTutorial(), nullptr);
    EXPECT_TRUE(player->getBool("ShowTutorialMap1"));

    manager()->setScene(start.get());
    update(10);
    map = openMap();
    ASSERT_NE(map->getTutorial(), nullptr);
    // The window's OK ends the only step; the map drops the tutorial.
    GTutorial* tutorial = map->getTutorial();
    ASSERT_NE(tutorial->getOkButton(), nullptr);
    deliver(*map, tutorial->getOkButton());
    for (int i = 0; i < 20 && map->getTutorial(); ++i) update(30);
    EXPECT_EQ(map->getTutorial(), nullptr);
    EXPECT_TRUE(player->getBool("ShowTutorialMap1"));
    map->openScene("scenes/Other.oscn", false);
    update(10);
    update(10);
    EXPECT_FALSE(player->getBool("ShowTutorialMap1"));
}

TEST_F(GMapSceneTest, TutorialChoiceFollowsProgressTheFlagsAndWhereTheMapWasOpenedFrom) {
    folder.write("scenes/MapTutorial1.xml", kTutorial);
    folder.write("scenes/MapTutorial2.xml", kTutorial);
    struct Case {
        bool on, map1, map2;
        int32_t maxUnlocked;
        const char* key;
    };
    const Case cases[] = {
        {true, true, true, 0, "ShowTutorialMap1"}, {true, true, true, 2, "ShowTutorialMap2"},
        {true, false, true, 0, ""},                {true, true, false, 2, ""},
        {false, true, true, 0, ""},                {true, true, true, 1, ""},
    };
    for (const Case& c : cases) {
        player->setBool("ShowTutorialOn", c.on);
        player->setBool("ShowTutorialMap1", c.map1);
        player->setBool("ShowTutorialMap2", c.map2);
        player->setInt("MaxUnlockedLevelIndex", c.maxUnlocked);
        GMapScene* map = openMap();
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map->getTutorial() != nullptr, *c.key != 0) << c.maxUnlocked << c.on << c.map1 << c.map2;
        EXPECT_EQ(map->getTutorialKey(), c.key);
        manager()->setScene(start.get());
        update(10);
    }
    // Back from the shop the second one waits.
    player->setBool("ShowTutorialOn", true);
    player->setBool("ShowTutorialMap2", true);
    player->setInt("MaxUnlockedLevelIndex", 2);
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    struct ShopKind : BaseNode {
        using BaseNode::BaseNode;
        bool isOfType(int32_t id) const override { return id == 1117 || BaseNode::isOfType(id); }
    };
    CountedRef<ShopKind> fromShop(new ShopKind(nullptr, nullptr, nullptr));
    CountedRef<SceneActivatedEvent> back(new SceneActivatedEvent(fromShop.get(), map, false));
    EXPECT_TRUE(map->onSceneActivated(back.get()));
    EXPECT_EQ(map->getTutorial(), nullptr);
}

TEST_F(GMapSceneTest, MissingTutorialFileIsLoggedAndTheMapWorks) {
    player->setBool("ShowTutorialOn", true);
    LogCapture log;
    GMapScene* map = openMap();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(log.contains("scenes/MapTutorial1.xml"));
    EXPECT_EQ(map->getTutorial(), nullptr);
    EXPECT_TRUE(press(*map, "PlayButton"));
    EXPECT_NE(dynamic_cast<GLoadingLevelScene*>(top()), nullptr);
}

// ---- The ways in ------------------------------------------------------------------------

TEST_F(GMapSceneTest, NewGameOpensTheMapOnceALocationIsFinishedAndBackReturnsToTheMenu) {
    const CreationContext context(app->getContentManager(), "");
    CountedRef<GMainMenuScene> menu(new GMainMenuScene(&context, nullptr, nullptr));
    manager()->setScene(menu.get());
    update(10);
    player->setInt("MaxUnlockedLevelIndex", 0);
    player->setInt("LevelIndex", 1);
    LogCapture log;
    menu->startNewGame();
    update(10);
    update(10);
    auto* map = dynamic_cast<GMapScene*>(top());
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->getSelected(), map->getLocationButtons()[1]);
    EXPECT_TRUE(map->getLocationButtons()[1]->isEnabled());
    EXPECT_FALSE(map->getLocationButtons()[2]->isEnabled());
    EXPECT_TRUE(press(*map, "BackButton"));
    update(10);
    update(10);
    EXPECT_EQ(top(), menu.get());
    EXPECT_FALSE(log.hasErrors());
    manager()->setScene(start.get());
    update(10);
}

// ---- The shipped map ------------------------------------------------------------------

namespace {

std::string shippedAsset(const std::string& relative) {
    const char* root = std::getenv("TEST_SOURCE_DIR");
    return std::string(root ? root : TEST_SOURCE_DIR) + "/assets/" + relative;
}

constexpr int32_t kGameLocations = 39;

bool isMiniGameAt(int32_t index) { return index == 7 || index == 15 || index == 23 || index == 31; }

// The folder each location of the whole game holds: every eighth location is
// a mini-game, the others hold the regular levels 1 to 35 in order.
std::string folderAt(int32_t index) {
    switch (index) {
    case 7: return "minigame_hidden";
    case 15: return "minigame_hidden2";
    case 23: return "minigame_auction";
    case 31: return "minigame_hidden3";
    default: return "level" + std::to_string(index - (index + 1) / 8 + 1);
    }
}

class ShippedMapTest : public GMapSceneTest {
protected:
    // The shipped map and level scores in place of the small ones.
    GMapScene* openShippedMap() {
        folder.write("scenes/MapScene.oscn", testing_support::TempDir::read(shippedAsset("scenes/MapScene.oscn")));
        folder.write("levels/common/LevelScores.xml",
                     testing_support::TempDir::read(shippedAsset("levels/common/LevelScores.xml")));
        app->loadGameConfiguration();
        GMapScene* map = openMap();
        if (map) {
            EXPECT_EQ(map->getLocationButtons().size(), static_cast<size_t>(kGameLocations));
        }
        return map;
    }
};

}  // namespace

TEST_F(ShippedMapTest, EveryLocationHoldsItsLevelInRouteOrderWithANamedCaptionAndScores) {
    // A new player: every location shows the level's own time.
    player->setInt("MaxUnlockedLevelIndex", -1);
    player->setInt("LevelIndex", 0);
    GMapScene* map = openShippedMap();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->getLocationButtons().size(), static_cast<size_t>(kGameLocations));
    Dictionary texts;
    ASSERT_TRUE(texts.load(shippedAsset("strings/Dictionary.xml").c_str()));
    LevelScores* scores = app->getLevelScores();
    ASSERT_NE(scores, nullptr);
    int32_t miniGames = 0;
    for (int32_t i = 0; i < kGameLocations; ++i) {
        SCOPED_TRACE(i);
        GMapLocationButton* button = map->getLocationButtons()[i];
        const std::string folderName = folderAt(i);
        EXPECT_EQ(button->getAssociatedLevelName().c_str(), folderName);
        EXPECT_EQ(button->getTemplateName(), makeNameId(isMiniGameAt(i) ? "MapMiniGame" : "MapLocation"));
        // The caption is a dictionary key of the shipped dictionary: levels
        // by their number, mini-games by their order.
        const std::string expectedKey = isMiniGameAt(i) ? "Map_MiniGame" + std::to_string(++miniGames)
                                                        : "Map_Location" + folderName.substr(5);
        EXPECT_EQ(stringc(button->getText()).c_str(), "%" + expectedKey + "%");
        EXPECT_TRUE(texts.hasKey(expectedKey.c_str()));
        EXPECT_EQ(scores->entries().count(folderName), 1u);
        // Hovering still finds its level information.
        EXPECT_GT(map->getLevels()[i].timeMs, 0);
    }
}

TEST_F(ShippedMapTest, LocationsOpenOneByOneAlongTheRouteAndTheMiniGamesAreMarked) {
    struct Case {
        int32_t maxUnlocked;
        const char* why;
    };
    const Case cases[] = {
        {-1, "a new player: only the first level"},
        {5, "level 6 finished: level 7 open, the mini-game after it still closed"},
        {6, "level 7 finished: the mini-game open and green, level 8 beyond it closed"},
        {7, "the first mini-game played"},
        {22, "before the auction"},
        {37, "all but the last"},
        {38, "everything finished"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        player->setInt("MaxUnlockedLevelIndex", c.maxUnlocked);
        player->setInt("LevelIndex", std::max(c.maxUnlocked + 1, 0));
        GMapScene* map = openShippedMap();
        ASSERT_NE(map, nullptr);
        for (int32_t i = 0; i < kGameLocations; ++i) {
            SCOPED_TRACE(i);
            GMapLocationButton* button = map->getLocationButtons()[i];
            const bool open = i <= c.maxUnlocked + 1;
            EXPECT_EQ(button->isEnabled(), open);
            const char* platform = !open ? "Platform(Grey).png" : isMiniGameAt(i) ? "Platform(Green).png" : "Platform.png";
            EXPECT_EQ(textureName(button->getPlatform()), platform);
        }
        // The player's next location is selected and is the one Play starts.
        const int32_t next = std::min(std::max(c.maxUnlocked + 1, 0), kGameLocations - 1);
        EXPECT_EQ(map->getSelected(), map->getLocationButtons()[next]);
        EXPECT_EQ(player->getString("LevelName").c_str(), folderAt(next));
        manager()->setScene(start.get());
        update(10);
    }
}

TEST_F(ShippedMapTest, MapUpgradesLevelAvailabilityAndAchievementsCountTheSameRegularLevels) {
    // One upgrade required by each regular level, named by its number.
    std::string catalogue = "<?xml version=\"1.0\"?><UpgradesConfiguration>";
    for (int n = 1; n <= 35; ++n) {
        catalogue += "<Upgrade><Name Value=\"Need" + std::to_string(n) + "\"/><Price Value=\"10\"/><Level Value=\"" +
                     std::to_string(n - 1) + "\"/><ObligatoryLevel Value=\"" + std::to_string(n) +
                     "\"/><AllowsBuilding Value=\"Kind" + std::to_string(n) + "\"/></Upgrade>";
    }
    folder.write("levels/common/UpgradesConfiguration.xml", catalogue + "</UpgradesConfiguration>");
    GMapScene* map = openShippedMap();
    ASSERT_NE(map, nullptr);
    UpgradesConfiguration* upgrades = app->getUpgradesConfiguration();
    ASSERT_EQ(upgrades->upgrades().size(), 35u);
    stringc everything;
    for (int n = 1; n <= 35; ++n) everything += stringc("Need") + stringc(std::to_string(n).c_str()) + ";";

    int32_t regular = 0;
    for (int32_t i = 0; i < kGameLocations; ++i) {
        SCOPED_TRACE(i);
        const std::vector<Upgrade*>& required = map->getLevels()[i].upgrades;
        if (isMiniGameAt(i)) {
            EXPECT_TRUE(required.empty());
            continue;
        }
        ++regular;
        // The map's location of a level, the level's own upgrade, and the
        // upgrades a level played at this location may use, all agree on its
        // number.
        const std::string number = folderAt(i).substr(5);
        ASSERT_EQ(required.size(), 1u);
        EXPECT_EQ(nameOfId(required[0]->Name).c_str(), "Need" + number);
        LevelAvailability availability;
        availability.fill(*upgrades, nullptr, i, everything);
        EXPECT_TRUE(availability.isBuildingAvailable(makeNameId(("Kind" + number).c_str())));
        EXPECT_FALSE(availability.isBuildingAvailable(makeNameId(("Kind" + std::to_string(std::stoi(number) + 1)).c_str())));
    }
    EXPECT_EQ(regular, 35);
    // Finishing every regular level earns "all levels"; the expert one asks
    // for no more levels than there are. Their texts say the same numbers.
    AchievementsTracker tracker;
    EXPECT_EQ(tracker.getThreshold(10), regular);
    EXPECT_LE(tracker.getThreshold(11), regular);
    Dictionary texts;
    ASSERT_TRUE(texts.load(shippedAsset("strings/Dictionary.xml").c_str()));
    for (const char* key : {"Achievements_11DescBefore", "Achievements_11DescAfter"})
        EXPECT_NE(stringc(texts.lookup(key)).find(std::to_string(tracker.getThreshold(10)).c_str()), -1) << key;
    for (const char* key : {"Achievements_12DescBefore", "Achievements_12DescAfter"})
        EXPECT_NE(stringc(texts.lookup(key)).find(std::to_string(tracker.getThreshold(11)).c_str()), -1) << key;
}

TEST_F(ShippedMapTest, EveryHintStaysOnTheScreenBesideEveryLocation) {
    GMapScene* map = openShippedMap();
    ASSERT_NE(map, nullptr);
    for (int32_t h = 0; h < GMapScene::kHintCount; ++h) {
        BaseNode* hint = map->getLevelHint(h);
        ASSERT_NE(hint, nullptr) << h;
        BaseNode* panel = hint->findChild(makeNameId("Panel"), 1);
        ASSERT_NE(panel, nullptr) << h;
        for (int32_t i = 0; i < kGameLocations; ++i) {
            SCOPED_TRACE(std::to_string(h + 1) + " at location " + std::to_string(i));
            const vector3df at = map->getLocationButtons()[i]->getPosition();
            map->placeLevelHint(hint, at);
            const vector2df pivot = hint->getPivotPoint();
            const float left = at.X - pivot.X + panel->getPosition().X;
            const float top = at.Y - pivot.Y + panel->getPosition().Y;
            EXPECT_GE(left, 0.0f);
            EXPECT_GE(top, 0.0f);
            EXPECT_LE(left + panel->getBounds().X, 1024.0f);
            EXPECT_LE(top + panel->getBounds().Y, 768.0f);
        }
    }
}
