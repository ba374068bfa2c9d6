// The comics scene on the game object's managers over the engine's null
// device, with small comics written to a temporary content folder: parts and
// texts advance on clicks and on the ends of their animations, the page shows
// again at the end with its Back button, Esc and Back close it, the auction
// marker opens the loading scene once, content whose animations never end or
// whose nodes are missing still lets the player through, and the map starts a
// mini-game location when the comic before it closes. The comics
// configuration is read from good, missing and broken files.
#include "engine/content/CContentManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/Event.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/SceneManager.h"
#include "engine/core/State.h"
#include "engine/platform/EngineDevice.h"
#include "game/app/GGameApp.h"
#include "game/app/GameNodeKinds.h"
#include "game/config/LevelScores.h"
#include "game/flow/GLoadingLevelScene.h"
#include "game/menus/GComicsScene.h"
#include "game/menus/GMapScene.h"
#include "support/GameAppTest.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace engine;
using namespace game;
using testing_support::LogCapture;

namespace {

// ---- Scene-file pieces ------------------------------------------------------------

std::string nameProp(const std::string& name, const std::string& more = "") {
    return "<Properties><string Name=\"Name\" Value=\"" + name + "\"/>" + more + "</Properties>";
}

// A state that ends after `ms`, or, endless, after ten minutes: as good as
// never for a player (a looping animator ends its state's wait on its first
// pass, so a loop would not do).
std::string state(const std::string& name, int ms, bool endless = false) {
    return "<State Name=\"" + name +
           "\"><Animator Type=\"KeyFrame\" Name=\"A\"><Properties><vector3d Name=\"Scale\" Value=\"1;1;1\"/>"
           "</Properties><KeyFrame t=\"0\" Value0=\"1;1;1\"/><KeyFrame t=\"" +
           std::to_string(endless ? 600000 : ms) + "\" i=\"0\" Value0=\"1;1;1\"/></Animator></State>";
}

std::string node(const std::string& kind, const std::string& name, const std::string& states,
                 const std::string& children = "") {
    return "<SceneNode Type=\"" + kind + "\">" + nameProp(name) +
           (states.empty() ? "" : "<States>" + states + "</States>") + children + "</SceneNode>";
}

// A text box that appears in 100 ms and, as TextBg, goes in 100 ms.
std::string text(const std::string& kind, int appearMs = 100, int disappearMs = 100, bool endless = false) {
    std::string states = state("OnAppear", appearMs);
    if (disappearMs >= 0) states += state("OnDisappear", disappearMs, endless);
    return node("BaseNode", kind, states);
}

// A part: a picture and a Bg with the texts, each child appearing and going
// in 200 ms.
std::string part(const std::string& name, const std::string& texts, const std::string& extra = "",
                 bool endlessDisappear = false) {
    const std::string states = state("OnAppear", 200) + state("OnDisappear", 200, endlessDisappear) + state("Unhide", 200);
    return node("BaseNode", name, "",
                node("BaseNode", "Picture", states) + node("BaseNode", "Bg", states, texts) + extra);
}

std::string comic(const std::string& parts, bool withDarkBg = true, bool withBack = true) {
    std::string scene;
    if (withDarkBg) scene += node("BaseNode", "DarkBg", state("OnAppear", 100) + state("OnDisappear", 100));
    if (withBack) scene += node("ButtonNode", "BackButton", state("OnAppear", 100));
    scene += node("BaseNode", "Parts", "", parts);
    return "<?xml version=\"1.0\"?><SceneNode Type=\"GComicsScene\">" + nameProp("Comic") +
           node("ControlNode", "Scene", "", scene) + "</SceneNode>";
}

const char* const kLoadingScene = R"(<?xml version="1.0"?>
<SceneNode Type="GLoadingLevelScene"/>)";

// A map of 32 locations without templates; location i plays "place<i>", the
// mini-game locations their own folders.
std::string mapXml() {
    std::string buttons;
    for (int i = 0; i < 32; ++i) {
        std::string level = "place" + std::to_string(i);
        if (i == 7) level = "minigame_hidden";
        if (i == 15) level = "minigame_hidden2";
        if (i == 23) level = "minigame_auction";
        if (i == 31) level = "minigame_hidden3";
        buttons += "<SceneNode Type=\"GMapLocationButton\">" +
                   nameProp("Location" + std::to_string(i),
                            "<string Name=\"AssociatedLevelName\" Value=\"" + level + "\"/>") +
                   "</SceneNode>";
    }
    return "<?xml version=\"1.0\"?><SceneNode Type=\"GMapScene\">" +
           node("ControlNode", "Scene", "", node("ControlNode", "LocationButtons", "", buttons)) + "</SceneNode>";
}

class GComicsSceneTest : public testing_support::GameAppTest {
protected:
    void SetUp() override {
        folder.write("scenes/LoadingLevelScene.oscn", kLoadingScene);
        folder.write("scenes/MapScene.oscn", mapXml());
        // The map starts only a location whose level the content holds.
        for (const char* game : {"minigame_hidden", "minigame_hidden2", "minigame_auction", "minigame_hidden3"}) {
            folder.write(std::string("levels/") + game + "/Level.oscn", "<SceneNode Type=\"BaseNode\"/>");
        }
        enterFolder();
        createApp(false);
        ASSERT_NO_FATAL_FAILURE(addPlayer());
        player->setBool("ShowTutorialOn", false);
        showStart(new GBaseSceneNode(&context(), nullptr, nullptr));
    }

    GComicsScene* open(const std::string& xml, SceneNode* from = nullptr) {
        // A new name each time: a file read before stays cached under its path.
        const std::string path = "scenes/Comic" + std::to_string(++opened) + ".oscn";
        folder.write(path, xml);
        SceneNode* below = from ? from : start.get();
        auto* comics = dynamic_cast<GComicsScene*>(below->openScene(path.c_str(), false));
        advance(20);
        return comics;
    }

    // A click somewhere on the page (not on Back).
    static bool click(GComicsScene& comics) {
        CountedRef<NodePressedEvent> event(new NodePressedEvent(comics.findChild(makeNameId("Scene"), 1)));
        return comics.handleEvent(event.get());
    }

    static BaseNode* shownText(GComicsScene& comics) {
        const int32_t i = comics.getTextIndex();
        if (i < 0 || static_cast<size_t>(i) >= comics.getTextBoxes().size()) return nullptr;
        return comics.getTextBoxes()[i];
    }
    static bool running(BaseNode* node, const char* name) {
        return node && node->getRunningState() && node->getRunningState() == node->getState(makeNameId(name));
    }

    int opened = 0;
};

}  // namespace

// ---- Parts and texts -----------------------------------------------------------------

TEST_F(GComicsSceneTest, PartsAndTextsAdvanceOnClicksAndAnimationEndsToTheBackButton) {
    GComicsScene* comics =
        open(comic(part("P1", text("TextBgNoDisappear") + node("BaseNode", "Sticker", "") + text("TextBg") +
                                  text("TextBg")) +
                   part("P2", text("TextBgNoWait") + text("TextBg")) + part("P3", text("TextBg"))));
    ASSERT_NE(comics, nullptr);
    ASSERT_EQ(comics->getParts().size(), 3u);
    BaseNode* back = comics->getBackButton();
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(back->isVisible());

    // The first part comes up; its texts wait hidden (the sticker is not one).
    EXPECT_EQ(comics->getPartIndex(), 0);
    EXPECT_TRUE(comics->getParts()[0]->isVisible());
    EXPECT_FALSE(comics->getParts()[1]->isVisible());
    ASSERT_EQ(comics->getTextBoxes().size(), 3u);
    EXPECT_EQ(comics->getTextIndex(), -1);
    for (BaseNode* t : comics->getTextBoxes()) EXPECT_FALSE(t->isVisible());

    // The appearing ends: the caption comes, and goes on by itself to the
    // first text that waits for a click.
    advance(200);
    EXPECT_EQ(comics->getTextIndex(), 0);
    advance(100);
    EXPECT_EQ(comics->getTextIndex(), 1);
    std::vector<BaseNode*> texts = comics->getTextBoxes();
    EXPECT_TRUE(texts[0]->isVisible());
    EXPECT_TRUE(texts[1]->isVisible());
    advance(500);
    EXPECT_EQ(comics->getTextIndex(), 1);

    // A click: the first text goes, the second comes.
    EXPECT_TRUE(click(*comics));
    EXPECT_EQ(comics->getTextIndex(), 2);
    EXPECT_TRUE(running(texts[1], "OnDisappear"));
    EXPECT_TRUE(texts[2]->isVisible());
    advance(150);
    EXPECT_FALSE(comics->isPartClosing());

    // The last click: the part closes once its last text has gone; the
    // caption stays, the others are hidden; the dark background comes.
    EXPECT_TRUE(click(*comics));
    EXPECT_FALSE(comics->isPartClosing());
    advance(110);
    EXPECT_TRUE(comics->isPartClosing());
    EXPECT_TRUE(texts[0]->isVisible());
    EXPECT_FALSE(texts[1]->isVisible());
    EXPECT_FALSE(texts[2]->isVisible());
    EXPECT_TRUE(running(comics->getDarkBg(), "OnAppear"));
    // Presses while it goes are not taken.
    EXPECT_FALSE(click(*comics));
    EXPECT_EQ(comics->getPartIndex(), 0);

    // The second part: its first text goes on by itself when it has come.
    advance(200);
    EXPECT_FALSE(comics->isPartClosing());
    EXPECT_EQ(comics->getPartIndex(), 1);
    advance(200);
    EXPECT_EQ(comics->getTextIndex(), 0);
    advance(100);
    EXPECT_EQ(comics->getTextIndex(), 1);
    EXPECT_TRUE(click(*comics));
    advance(320);

    // The last part: when it closes the dark background goes and the earlier
    // parts show again; then the Back button comes.
    EXPECT_EQ(comics->getPartIndex(), 2);
    advance(300);
    EXPECT_TRUE(click(*comics));
    advance(110);
    EXPECT_TRUE(running(comics->getDarkBg(), "OnDisappear"));
    EXPECT_TRUE(running(comics->getParts()[0]->findChild(makeNameId("Picture"), 1), "Unhide"));
    EXPECT_TRUE(running(comics->getParts()[1]->findChild(makeNameId("Bg"), 1), "Unhide"));
    EXPECT_FALSE(back->isVisible());
    advance(200);
    EXPECT_EQ(comics->getPartIndex(), 3);
    EXPECT_TRUE(back->isVisible());
    EXPECT_TRUE(running(back, "OnAppear"));

    EXPECT_TRUE(press(*comics, back));
    advance(20);
    EXPECT_EQ(top(), start.get());
}

TEST_F(GComicsSceneTest, AClickAfterTheLastPartChangesNothing) {
    // The last part has no texts: it goes as soon as it has come.
    GComicsScene* comics = open(comic(part("P1", text("TextBg")) + part("P2", "")));
    ASSERT_NE(comics, nullptr);
    advance(300);
    EXPECT_TRUE(click(*comics));
    advance(320);
    EXPECT_EQ(comics->getPartIndex(), 1);
    advance(200);
    EXPECT_TRUE(comics->isPartClosing());
    advance(200);
    ASSERT_EQ(comics->getPartIndex(), 2);
    EXPECT_FALSE(comics->isPartClosing());
    EXPECT_TRUE(comics->getBackButton()->isVisible());

    for (int i = 0; i < 3; ++i) {
        click(*comics);
        advance(300);
        EXPECT_EQ(comics->getPartIndex(), 2);
        EXPECT_FALSE(comics->isPartClosing());
        EXPECT_TRUE(comics->getParts()[1]->isVisible());
    }
    EXPECT_EQ(top(), comics);
    EXPECT_TRUE(keyUp(*comics, KeyCode::Escape));
    advance(20);
    EXPECT_EQ(top(), start.get());
}

TEST_F(GComicsSceneTest, AClickWhileAPartComesUpShowsItsFirstTextWithoutSkippingIt) {
    GComicsScene* comics = open(comic(part("P1", text("TextBg") + text("TextBg"))));
    ASSERT_NE(comics, nullptr);
    advance(50);
    EXPECT_EQ(comics->getTextIndex(), -1);
    EXPECT_TRUE(click(*comics));
    EXPECT_EQ(comics->getTextIndex(), 0);
    // The end of the appearing leaves the first text where it is.
    advance(300);
    EXPECT_EQ(comics->getTextIndex(), 0);
    EXPECT_TRUE(shownText(*comics)->isVisible());
}

TEST_F(GComicsSceneTest, EscClosesAtAnyMoment) {
    const struct {
        const char* moment;
        uint32_t after;
        int clicks;
    } cases[] = {{"part appearing", 50, 0}, {"text shown", 400, 0}, {"part closing", 300, 1}};
    for (const auto& c : cases) {
        GComicsScene* comics = open(comic(part("P1", text("TextBg")) + part("P2", text("TextBg"))));
        ASSERT_NE(comics, nullptr) << c.moment;
        advance(c.after);
        for (int i = 0; i < c.clicks; ++i) click(*comics);
        advance(c.clicks ? 120 : 0);
        EXPECT_TRUE(keyUp(*comics, KeyCode::Escape)) << c.moment;
        advance(20);
        EXPECT_EQ(top(), start.get()) << c.moment;
    }
    // Other keys are not taken.
    GComicsScene* comics = open(comic(part("P1", text("TextBg"))));
    ASSERT_NE(comics, nullptr);
    EXPECT_FALSE(keyUp(*comics, KeyCode::Enter));
    EXPECT_EQ(top(), comics);
}

TEST_F(GComicsSceneTest, ComicsWithoutPartsOrWithoutTheirNodesLetThePlayerOut) {
    {
        // No parts: Back shows at once.
        GComicsScene* comics = open(comic(""));
        ASSERT_NE(comics, nullptr);
        EXPECT_TRUE(comics->getBackButton()->isVisible());
        EXPECT_TRUE(click(*comics));
        EXPECT_EQ(comics->getPartIndex(), 0);
        EXPECT_TRUE(press(*comics, comics->getBackButton()));
        advance(20);
        EXPECT_EQ(top(), start.get());
    }
    {
        // No Scene node: nothing is bound; a click does nothing; Esc closes.
        LogCapture log;
        GComicsScene* comics = open("<?xml version=\"1.0\"?><SceneNode Type=\"GComicsScene\"/>");
        ASSERT_NE(comics, nullptr);
        EXPECT_TRUE(log.contains("without a Scene node"));
        EXPECT_EQ(comics->getBackButton(), nullptr);
        click(*comics);
        EXPECT_TRUE(keyUp(*comics, KeyCode::Escape));
        advance(20);
        EXPECT_EQ(top(), start.get());
    }
    {
        // No dark background, no Back button, a part with no children at all
        // and texts without states: clicks take the player to the end.
        GComicsScene* comics = open(
            comic(node("BaseNode", "Empty", "") +
                      node("BaseNode", "P2", "", node("BaseNode", "Bg", "", node("BaseNode", "TextBg", "") +
                                                                           node("BaseNode", "TextBg", ""))),
                  false, false));
        ASSERT_NE(comics, nullptr);
        EXPECT_EQ(comics->getPartIndex(), 1);
        EXPECT_EQ(comics->getTextIndex(), 0);
        EXPECT_TRUE(click(*comics));
        EXPECT_EQ(comics->getTextIndex(), 1);
        EXPECT_TRUE(click(*comics));
        EXPECT_EQ(comics->getPartIndex(), 2);
        EXPECT_TRUE(keyUp(*comics, KeyCode::Escape));
        advance(20);
        EXPECT_EQ(top(), start.get());
    }
}

TEST_F(GComicsSceneTest, AnimationsThatNeverEndDoNotHoldThePlayer) {
    const struct {
        const char* what;
        std::string parts;
        const char* logged;
    } cases[] = {
        {"a part that never goes", part("P1", text("TextBg"), "", true) + part("P2", text("TextBg")),
         "did not end its OnDisappear; the comic goes on"},
        {"a text that never goes", part("P1", text("TextBg", 100, 100, true)) + part("P2", text("TextBg")),
         "did not end its OnDisappear; the part closes"},
    };
    for (const auto& c : cases) {
        LogCapture log;
        GComicsScene* comics = open(comic(c.parts));
        ASSERT_NE(comics, nullptr) << c.what;
        advance(300);
        EXPECT_TRUE(click(*comics)) << c.what;
        advance(1000);
        EXPECT_EQ(comics->getPartIndex(), 0) << c.what;
        advance(GComicsScene::kAnimationWaitLimitMs + 400);
        EXPECT_EQ(comics->getPartIndex(), 1) << c.what;
        EXPECT_TRUE(log.contains(c.logged)) << c.what;
        EXPECT_TRUE(keyUp(*comics, KeyCode::Escape));
        advance(20);
    }
    // A text waiting for its click is no stall: nothing moves on by itself.
    LogCapture log;
    GComicsScene* comics = open(comic(part("P1", text("TextBg")) + part("P2", text("TextBg"))));
    ASSERT_NE(comics, nullptr);
    advance(GComicsScene::kAnimationWaitLimitMs * 2);
    EXPECT_EQ(comics->getPartIndex(), 0);
    EXPECT_EQ(comics->getTextIndex(), 0);
    EXPECT_FALSE(log.hasErrors());
}

// ---- The auction ---------------------------------------------------------------------

TEST_F(GComicsSceneTest, TheMarkerPartOpensTheAuctionOnceAndShowsWhenThePlayerComesBack) {
    GComicsScene* comics = open(comic(part("P1", text("TextBg")) +
                                      part("P2", text("TextBg"), node("BaseNode", "NavToMini3Marker", "")) +
                                      part("P3", text("TextBg"))));
    ASSERT_NE(comics, nullptr);
    advance(300);
    EXPECT_TRUE(click(*comics));
    advance(400);
    // The loading scene is opened over the comic for the auction; the marker
    // part waits.
    auto* loading = dynamic_cast<GLoadingLevelScene*>(top());
    ASSERT_NE(loading, nullptr);
    EXPECT_STREQ(loading->getLevelName().c_str(), "minigame_auction");
    EXPECT_TRUE(comics->isMiniGameOpened());
    EXPECT_EQ(comics->getPartIndex(), 0);
    EXPECT_FALSE(comics->getParts()[1]->isVisible());

    // Back from the mini-game: the comic goes on with the marker part.
    loading->closeScene(0, navBackFromName(), navBackToName());
    advance(40);
    ASSERT_EQ(top(), comics);
    EXPECT_EQ(comics->getPartIndex(), 1);
    EXPECT_TRUE(comics->getParts()[1]->isVisible());
    advance(300);
    EXPECT_EQ(comics->getTextIndex(), 0);
    EXPECT_TRUE(click(*comics));
    advance(400);
    EXPECT_EQ(top(), comics);
    EXPECT_EQ(comics->getPartIndex(), 2);
}

TEST_F(GComicsSceneTest, WithoutTheLoadingSceneTheMarkerPartShowsAtOnce) {
    std::filesystem::remove(folder.file("scenes/LoadingLevelScene.oscn"));
    LogCapture log;
    GComicsScene* comics = open(comic(part("P1", text("TextBg"), node("BaseNode", "NavToMini3Marker", ""))));
    ASSERT_NE(comics, nullptr);
    EXPECT_TRUE(log.contains("could not open the auction"));
    EXPECT_TRUE(comics->isMiniGameOpened());
    EXPECT_EQ(top(), comics);
    EXPECT_EQ(comics->getPartIndex(), 0);
    EXPECT_TRUE(comics->getParts()[0]->isVisible());
    advance(300);
    EXPECT_EQ(comics->getTextIndex(), 0);
}

// ---- The map after a comic -----------------------------------------------------------

TEST_F(GComicsSceneTest, ClosingTheComicBeforeAMiniGameLocationStartsIt) {
    const struct {
        int32_t levelIndex;
        const char* started;  // null: the map stays
    } cases[] = {{7, "minigame_hidden"}, {15, "minigame_hidden2"}, {31, "minigame_hidden3"}, {23, nullptr},
                 {8, nullptr}};
    // The map starts only levels that are in the content: every location's is.
    for (const char* level : {"minigame_hidden", "minigame_hidden2", "minigame_hidden3", "minigame_auction", "place8"})
        folder.write(std::string("levels/") + level + "/Level.oscn", "<?xml version=\"1.0\"?><SceneNode/>");
    for (const auto& c : cases) {
        player->setInt("MaxUnlockedLevelIndex", c.levelIndex - 1);
        player->setInt("LevelIndex", c.levelIndex);
        auto* map = dynamic_cast<GMapScene*>(start->openScene("scenes/MapScene.oscn", false));
        advance(20);
        ASSERT_EQ(top(), map) << c.levelIndex;
        GComicsScene* comics = open(comic(part("P1", text("TextBg"))), map);
        ASSERT_NE(comics, nullptr);
        EXPECT_TRUE(keyUp(*comics, KeyCode::Escape));
        advance(40);
        if (c.started) {
            auto* loading = dynamic_cast<GLoadingLevelScene*>(top());
            ASSERT_NE(loading, nullptr) << c.levelIndex;
            EXPECT_STREQ(loading->getLevelName().c_str(), c.started);
        } else {
            EXPECT_EQ(top(), map) << c.levelIndex;
        }
        manager()->setScene(start.get());
        advance(20);
    }
}

// ---- Configuration -------------------------------------------------------------------

TEST_F(GComicsSceneTest, ComicsConfigurationFromGoodMissingAndBrokenFiles) {
    ComicsConfiguration* comics = app->getComicsConfiguration();
    ASSERT_NE(comics, nullptr);
    auto path = [](int32_t level, ComicsConfiguration* c) {
        GComic* comic = c->find(level);
        return comic ? std::string(comic->ScenePath.c_str()) : std::string("none");
    };
    folder.write("scenes/ComicsConfiguration.xml",
                 "<?xml version=\"1.0\"?><ComicsConfiguration>"
                 "<Comics><Level Value=\"7\"/><ScenePath Value=\"scenes/ComicsScene1.oscn\"/></Comics>"
                 "<Comics><Level Value=\"23\"/><ScenePath Value=\"scenes/ComicsScene3.oscn\"/></Comics>"
                 "</ComicsConfiguration>");
    app->loadComicsConfiguration();
    EXPECT_EQ(path(7, comics), "scenes/ComicsScene1.oscn");
    EXPECT_EQ(path(23, comics), "scenes/ComicsScene3.oscn");
    EXPECT_EQ(path(15, comics), "none");

    // A missing file leaves what was read.
    std::filesystem::remove(folder.file("scenes/ComicsConfiguration.xml"));
    app->loadComicsConfiguration();
    EXPECT_EQ(path(7, comics), "scenes/ComicsScene1.oscn");

    // A file cut off keeps the entries before the cut, and says so.
    {
        LogCapture log;
        folder.write("scenes/ComicsConfiguration.xml",
                     "<?xml version=\"1.0\"?><ComicsConfiguration>"
                     "<Comics><Level Value=\"15\"/><ScenePath Value=\"scenes/ComicsScene2.oscn\"/></Comics>"
                     "<Comics><Level Value=\"31\"/><Scene");
        app->loadComicsConfiguration();
        EXPECT_TRUE(log.hasErrors());
        EXPECT_EQ(path(15, comics), "scenes/ComicsScene2.oscn");
        EXPECT_EQ(path(31, comics), "none");
    }
    // Something that is not a comics configuration reads nothing.
    {
        LogCapture log;
        folder.write("scenes/ComicsConfiguration.xml", "<?xml version=\"1.0\"?><LevelScores/>");
        app->loadComicsConfiguration();
        EXPECT_TRUE(log.hasErrors());
        EXPECT_EQ(path(15, comics), "scenes/ComicsScene2.oscn");
    }
}
