// The four shipped comics in a real OpenGL window over the built content,
// each opened over a start scene and clicked through as a player would: a
// click on the page for each text that waits for one, until the whole page
// is back with its Continue button, which closes the comic. The third comic
// opens the auction through the loading scene at its third panel; the test
// comes back from it the way the auction's menu button does and goes on. The
// shipped configuration places the four before the mini-game locations.
// Played at 1024 x 768 and in a wide 1280 x 720 window, where the page is
// letterboxed as the game shows it. Frames of the first text of every panel
// and of the finished page go to screenshots/comics-<size>-<n>-<moment>.png.
#include "engine/core/Event.h"
#include "engine/core/SceneManager.h"
#include "game/config/LevelScores.h"
#include "game/menus/GComicsScene.h"
#include "menus/MenuWindowTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace engine;

namespace {

using device_test::ScriptStep;
using device_test::waitStep;

constexpr int32_t kComicsSceneType = 1127;

class ComicsXvfbTest : public menu_window_test::MenuWindowTest {
protected:
    ComicsXvfbTest(int32_t width = 1024, int32_t height = 768)
        : MenuWindowTest(L"Lodgeroo comics", "comics-", width, height) {}

    // Its appearing has ended: the shipped boxes and button fade in to opaque.
    static bool fullyShown(BaseNode* node) { return node->getTintColor().getAlpha() == 255; }

    // The comic waits for a click: the text shown is one that waits for it
    // and has come up, or the page is finished with its button shown.
    static bool waitsForClick(game::GComicsScene* comics) {
        if (comics->isPartClosing()) return false;
        const std::vector<BaseNode*>& texts = comics->getTextBoxes();
        const int32_t i = comics->getTextIndex();
        if (i < 0 || static_cast<size_t>(i) >= texts.size()) return false;
        BaseNode* text = texts[i];
        return text->getName() == makeNameId("TextBg") && text->isVisible() && fullyShown(text);
    }

    // The steps that play comic n from its opening to its closing; what it
    // holds is read from a copy of its file. `shown` receives the comic.
    void addComic(int n, const std::string& size, std::vector<ScriptStep>& steps,
                  std::shared_ptr<game::GComicsScene*> shown) {
        const std::string path = "scenes/ComicsScene" + std::to_string(n) + ".oscn";
        CountedRef<BaseNode> copy(app->getContentManager()->loadSceneNode(path.c_str(), false));
        ASSERT_TRUE(copy) << path;
        BaseNode* scene = copy->findChild(makeNameId("Scene"), 1);
        BaseNode* parts = scene ? scene->findChild(makeNameId("Parts"), 1) : nullptr;
        ASSERT_NE(parts, nullptr) << path;
        ASSERT_EQ(parts->getChildren().size(), 4u) << path;
        const std::string prefix = size + "-" + std::to_string(n) + "-";
        SceneManager* scenes = app->getSceneManager(0);
        // Off every panel: the paper's lower right corner.
        const vector2df page(990, 740);

        steps.push_back({path,
                         [=] {
                             *shown = dynamic_cast<game::GComicsScene*>(start->openScene(path.c_str(), false));
                         },
                         [=] { return *shown && scenes->getTopScene() == *shown; }});
        for (uint32_t p = 0; p < parts->getChildren().size(); ++p) {
            BaseNode* bg = parts->getChildren()[p]->findChild(makeNameId("Bg"), 1);
            ASSERT_NE(bg, nullptr) << path << " part " << p;
            int32_t waiting = 0;
            for (uint32_t c = 0; c < bg->getChildren().size(); ++c)
                waiting += bg->getChildren()[c]->getName() == makeNameId("TextBg");
            ASSERT_GT(waiting, 0) << path << " part " << p << " would never close";
            const int32_t part = static_cast<int32_t>(p);
            if (parts->getChildren()[p]->findChild(makeNameId("NavToMini3Marker"), 1)) {
                steps.push_back({"auction opened", nullptr, [=] {
                                     return scenes->getTopScene() != *shown || (*shown)->getPartIndex() == part;
                                 }});
                // Asked again until the scenes over the comic take it: while
                // one of them is still coming in, the manager refuses.
                steps.push_back({"back from the auction", nullptr, [=] {
                                     SceneNode* top = scenes->getTopScene();
                                     if (top != *shown) top->closeToSceneType(kComicsSceneType);
                                     return scenes->getTopScene() == *shown;
                                 }});
            }
            for (int32_t t = 0; t < waiting; ++t) {
                const std::string at = path + " panel " + std::to_string(p + 1) + " text " + std::to_string(t + 1);
                steps.push_back({at, nullptr, [=] { return (*shown)->getPartIndex() == part && waitsForClick(*shown); }});
                if (t == 0) steps.push_back(shot(prefix + "panel" + std::to_string(p + 1)));
                steps.push_back({"click " + at, [=] { click(page); },
                                 [=] { return !waitsForClick(*shown) || (*shown)->getPartIndex() != part; }});
            }
        }
        steps.push_back({path + " page done", nullptr, [=] {
                             BaseNode* back = (*shown)->getBackButton();
                             return back && back->isVisible() && fullyShown(back);
                         }});
        steps.push_back(waitStep("whole page", 500));
        steps.push_back(shot(prefix + "page"));
        steps.push_back({path + " continue",
                         [=] {
                             EXPECT_EQ((*shown)->getPartIndex(), 4) << path;
                             EXPECT_EQ((*shown)->isMiniGameOpened(), n == 3) << path;
                             click(device_test::centreOf((*shown)->getBackButton()));
                         },
                         [=] { return scenes->getTopScene() == start.get(); }});
        steps.push_back(waitStep("closed", 100));
    }

    void playAll(const std::string& size) {
        loadContent();
        if (HasFatalFailure()) return;
        ProfileStore& store = getProfileStore();
        ASSERT_TRUE(store.addProfile(L"Ann"));
        store.selectProfile(0);
        const CreationContext context(app->getContentManager(), "");
        start = CountedRef<SceneNode>(new SceneNode(&context, nullptr, nullptr));
        ASSERT_TRUE(app->getSceneManager(0)->setScene(start.get()));
        // The shipped configuration puts comic n before the mini-game location
        // 8n - 1; the third one, before the auction, is the one with the marker.
        app->loadComicsConfiguration();
        for (int n = 1; n <= 4; ++n) {
            const game::GComic* comic = app->getComicsConfiguration()->find(8 * n - 1);
            ASSERT_NE(comic, nullptr) << n;
            EXPECT_STREQ(comic->ScenePath.c_str(), ("scenes/ComicsScene" + std::to_string(n) + ".oscn").c_str());
        }
        std::vector<ScriptStep> steps;
        auto shown = std::make_shared<game::GComicsScene*>(nullptr);
        for (int n = 1; n <= 4; ++n) {
            addComic(n, size, steps, shown);
            if (HasFatalFailure()) return;
        }
        device_test::FrameScript script(device.get(), steps);
        drawer->onFrame = [&] { script.onFrame(); };
        EXPECT_TRUE(device->run());
        drawer->onFrame = nullptr;
        ASSERT_TRUE(script.finished()) << "stopped at step " << steps[std::min(script.current(), steps.size() - 1)].name;
        ASSERT_TRUE(lastShot);
        for (const auto& entry : log.entries()) EXPECT_LT(entry.level, LOG_ERROR) << entry.text << " " << entry.hint;
    }
};

class WideComicsXvfbTest : public ComicsXvfbTest {
protected:
    WideComicsXvfbTest() : ComicsXvfbTest(1280, 720) {}
};

}  // namespace

TEST_F(ComicsXvfbTest, EachComicIsClickedThroughToItsWholePage) { playAll("1024x768"); }

TEST_F(WideComicsXvfbTest, EachComicIsClickedThroughInAWideWindow) { playAll("1280x720"); }
