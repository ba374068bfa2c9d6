// The HUD over level 1 in a real 1024 x 768 OpenGL window, with the game
// object's managers and configuration, started the way the loading scene
// starts it, and played with mouse events handed to the device: the
// objectives are closed, an empty place is clicked, the hotel list is opened,
// its first hotel is hovered and pressed, and the construction runs to its
// end. Frames are written to screenshots/hud-<moment>.png in the test's
// folder for people to look at.
#include "engine/content/CContentManager.h"
#include "engine/content/Dictionary.h"
#include "engine/content/ProfileStore.h"
#include "engine/controls/CheckBoxNode.h"
#include "engine/controls/ButtonNode.h"
#include "engine/controls/ListNode.h"
#include "engine/controls/TabSceneNode.h"
#include "engine/core/ContentType.h"
#include "engine/core/Event.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/ImageManager.h"
#include "engine/visual/TextNode.h"
#include "game/app/GGameApp.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/hud/GGamePlayScene.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/common/GameEvents.h"
#include "game/tutorial/GTutorial.h"
#include "game/tutorial/GTutorialAction.h"
#include "platform/DeviceTestSupport.h"
#include "support/DisplayTestSupport.h"
#include "support/GameWindowTestSupport.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"
#include "tools/contentcheck/ContentChecker.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace engine;

namespace {

const char* const kTree = device_test::builtContentTree();

using device_test::centreOf;
using device_test::waitStep;

class HudXvfbTest : public ::testing::Test, protected device_test::GameWindow {
protected:
    void SetUp() override {
        const std::string missing = openWindow(kTree, L"Lodgeroo HUD");
        if (!missing.empty()) SKIP_OR_FAIL_UNDER_CI() << missing;
        app = std::make_unique<game::GGameApp>();
        app->createManagers(device.get());
        game::theGameApp = app.get();
        game::setGameServices(app.get());
        drawer->managers = {app->getSceneManager(0)};
        drawer->beforeEnd = [this] {
            if (shotName.empty()) return;
            CountedRef<Image> frame(device->createScreenShot());
            save(frame.get(), shotName);
            shotName.clear();
        };
        clearPlayers();
    }

    void TearDown() override {
        if (hud && hud->getLevelScene()) hud->getLevelScene()->setPaused(true);
        if (app) {
            app->getSceneManager(0)->setScene(nullptr);
            app->getSceneManager(1)->setScene(nullptr);
        }
        hud = nullptr;
        atlases.clear();
        game::theGameApp = nullptr;
        game::setGameServices(nullptr);
        app.reset();
        closeWindow();
        clearPlayers();
    }

    static void clearPlayers() {
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
    }

    void save(Image* frame, const std::string& name) {
        device_test::writeShot(device.get(), frame, "screenshots/" + name + ".png");
        ++shots;
    }

    // What the intro loads, then what the loading scene does for "level<number>".
    void openLevel(int number = 1) {
        CContentManager* content = app->getContentManager();
        ASSERT_NO_FATAL_FAILURE(device_test::loadIntroContent(device.get(), content, kTree, atlases));
        const char* const collections[] = {"scenes/TemplateCollection.oscn", "levels/common/TemplateCollection.oscn"};
        for (int i = 0; i < 2; ++i) {
            CountedRef<BaseNode> templates(content->loadSceneNode(collections[i], false));
            auto* collection = nodeCast<TemplateCollectionNode>(templates.get());
            ASSERT_TRUE(collection) << collections[i];
            app->getSceneManager(i)->setTemplateCollection(collection);
        }
        app->loadGameConfiguration();

        ProfileStore& store = getProfileStore();
        ASSERT_TRUE(store.addProfile(L"Ann"));
        store.selectProfile(0);
        ProfileParameters* player = store.getCurrentProfile();
        player->setInt("LevelIndex", number - 1);
        player->setInt("MaxUnlockedLevelIndex", number - 2);
        player->setBool("ShowTutorialOn", withTutorial);
        player->setInt("ShowTutorialLevel", -1);

        const std::string folder = "levels/level" + std::to_string(number) + "/";
        CountedRef<BaseNode> loadedLevel(content->loadSceneNode((folder + "Level.oscn").c_str(), false));
        level = nodeCast<game::GGameLevelScene>(loadedLevel.get());
        ASSERT_TRUE(level);
        CountedRef<BaseNode> loadedHud(content->loadSceneNode("scenes/GamePlayScene.oscn", false));
        hud = CountedRef<game::GGamePlayScene>::share(nodeCast<game::GGamePlayScene>(loadedHud.get()));
        ASSERT_TRUE(hud);
        ASSERT_TRUE(hud->startLevel(folder.c_str(), level));
        ASSERT_TRUE(app->getSceneManager(0)->setScene(hud.get()));
    }

    void click(const vector2df& at) {
        const int32_t x = static_cast<int32_t>(at.X), y = static_cast<int32_t>(at.Y);
        CountedRef<Event> move(new MouseMoveEvent(x, y));
        device->deliverEvent(move.get());
        CountedRef<Event> down(new LeftButtonDownEvent(x, y));
        device->deliverEvent(down.get());
        CountedRef<Event> up(new LeftButtonUpEvent(x, y));
        device->deliverEvent(up.get());
    }
    void hover(const vector2df& at) {
        CountedRef<Event> move(new MouseMoveEvent(static_cast<int32_t>(at.X), static_cast<int32_t>(at.Y)));
        device->deliverEvent(move.get());
    }
    device_test::ScriptStep shot(const std::string& name) {
        return {std::string("shot ") + name,
                [this, name] { shotName = std::string(withTutorial ? "hud-tutorial-" : "hud-") + name; },
                [this] { return shotName.empty(); }};
    }
    int32_t activeTab() const { return hud->getActionsTabs() ? hud->getActionsTabs()->getActiveTabIndex() : -1; }
    // Closes the objectives shown over a new level; true once the HUD is on top.
    std::vector<device_test::ScriptStep> closeObjectives() {
        SceneManager* scenes = app->getSceneManager(0);
        return {{"hud open", nullptr, [this] { return drawer->frames >= 3; }},
                {"objectives", nullptr, [scenes, this] { return scenes->getTopScene() != hud.get(); }},
                waitStep("objectives shown", 500),
                {"close objectives",
                 [scenes, this] {
                     BaseNode* ok = scenes->getTopScene()->findChild(makeNameId("OkButton"));
                     if (ok) click(centreOf(ok));
                 },
                 [scenes, this] { return scenes->getTopScene() == hud.get(); }},
                waitStep("hud shown", 800)};
    }
    bool runScript(const std::vector<device_test::ScriptStep>& steps) {
        device_test::FrameScript script(device.get(), steps);
        drawer->onFrame = [&] { script.onFrame(); };
        EXPECT_TRUE(device->run());
        drawer->onFrame = nullptr;
        EXPECT_TRUE(script.finished()) << "stopped at step " << script.current();
        return script.finished();
    }

    testing_support::LogCapture log;
    std::unique_ptr<game::GGameApp> app;
    std::vector<CountedRef<Content>> atlases;
    CountedRef<game::GGamePlayScene> hud;
    game::GGameLevelScene* level = nullptr;
    bool withTutorial = false;
    std::string shotName;
    int shots = 0;
};

}  // namespace

// The level's first play: the objectives, then the tutorial's windows and
// arrows over the HUD (its first window is answered with OK, the next steps
// follow the same clicks); or, with the tutorial off, the HUD alone, whose
// building tooltip and material and worker tabs are shown as well.
class HudXvfbRun : public HudXvfbTest, public ::testing::WithParamInterface<bool> {};

TEST_P(HudXvfbRun, LevelOneBuildsAFirstHotelThroughTheHud) {
    withTutorial = GetParam();
    openLevel();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(hud->getActionsTabs());
    game::GBuildingNode* place = nullptr;
    for (game::GBuildingNode* building : level->buildings) {
        const game::GBuildingConfig* record = building->getRecord();
        if (!place && building->isOwnedByThePlayer() && record && record->Level == 0) place = building;
    }
    ASSERT_TRUE(place);
    SceneManager* scenes = app->getSceneManager(0);
    BaseNode* objectives = nullptr;
    BaseNode* hotelsButton = hud->getTab(9)->findChild(makeNameId("HotelsButton"), 1);
    ASSERT_TRUE(hotelsButton);
    ListNode* hotels = hud->getBuildList(game::GGamePlayScene::kHotelsKind);
    ASSERT_TRUE(hotels);

    std::vector<device_test::ScriptStep> steps = {
        {"hud open", nullptr, [&] { return drawer->frames >= 3; }},
         {"objectives", nullptr,
          [&] {
              objectives = scenes->getTopScene() != hud.get() ? scenes->getTopScene() : nullptr;
              return objectives != nullptr;
          }},
         waitStep("objectives shown", 800),
         shot("objectives"),
         {"close objectives",
          [&] {
              if (BaseNode* ok = objectives->findChild(makeNameId("OkButton"))) click(centreOf(ok));
          },
          [&] { return scenes->getTopScene() == hud.get(); }},
         waitStep("hud shown", 800),
         shot("start"),
         {"select place", [&] { click(centreOf(place)); }, [&] { return activeTab() == 9; }},
         waitStep("place tab", 600),
         shot("place"),
         {"hotels", [&] { click(centreOf(hotelsButton)); }, [&] { return activeTab() == 0; }},
         waitStep("hotel list", 600),
         {"hover camping", [&] { hover(centreOf(hotels->getElement(0))); },
          [&] { return hud->getHoveredRecord() != nullptr; }},
         waitStep("preview", 400),
         shot("hotels"),
         {"hovered title stands alone", nullptr,
          [&] {
              // The tab's own label would lie under the hovered building's
              // title, and the description must end above the build hint.
              BaseNode* tab = hud->getTab(0);
              BaseNode* label = tab ? tab->findChild(makeNameId("Label"), 1) : nullptr;
              BaseNode* hint = tab ? tab->findChild(makeNameId("HintText"), 1) : nullptr;
              BaseNode* info = tab ? tab->findChild(makeNameId("BuildingInfoNode"), 1) : nullptr;
              BaseNode* description = info ? info->findChild(makeNameId("DescriptionNode"), 1) : nullptr;
              auto* text = description ? dynamic_cast<TextNode*>(description->findChild(makeNameId("Text"), 1)) : nullptr;
              if (!label || !hint || !info || !description || !text) return false;
              const float bottom = info->getPosition().Y + description->getPosition().Y + text->getTextHeight();
              return !label->isVisible() && info->isVisible() &&
                     (!description->isVisible() || bottom <= hint->getPosition().Y);
          }},
         {"build", [&] { click(centreOf(hotels->getElement(0))); },
          [&] { return place->getJobState() == game::GBuildingNode::kConstructionJob; }},
         waitStep("building", 2500),
         shot("building"),
         waitStep("construction", 8000),
         {"built", nullptr, [&] { return place->getJobState() == game::GBuildingNode::kNoJob; }},
         waitStep("settled", 1200),
         {"select built", [&] { click(centreOf(place)); }, [&] { return activeTab() == 5; }},
         waitStep("building tab", 600),
         shot("built")};
    const std::vector<device_test::ScriptStep> more = {
         {"pointer away", [&] { hover(vector2df(512, 560)); }, [] { return true; }},
         waitStep("away", 300),
         {"hover built", [&] { hover(centreOf(place)); },
          [&] { return hud->getIncomeGuestsInfoNode() && hud->getIncomeGuestsInfoNode()->isVisible(); }},
         waitStep("tooltip", 600),
         shot("tooltip"),
         {"materials", [&] { click(centreOf(hud->getActionsTabs()->getTabButton(3))); },
          [&] { return activeTab() == 3; }},
         waitStep("materials tab", 600),
         shot("materials"),
         {"workers", [&] { click(centreOf(hud->getActionsTabs()->getTabButton(4))); },
          [&] { return activeTab() == 4; }},
         waitStep("workers tab", 600),
         shot("workers")};
    if (!withTutorial) steps.insert(steps.end(), more.begin(), more.end());
    const std::vector<device_test::ScriptStep> firstWindow = {
        // The tutorial's first window greets the player; its OK goes on.
        {"tutorial ok",
         [&] {
             game::GTutorial* tutorial = hud->getTutorial();
             BaseNode* window = tutorial ? tutorial->getWindow() : nullptr;
             BaseNode* ok = window ? window->findChild(makeNameId("Button"), 1) : nullptr;
             if (ok && window->isVisible()) click(centreOf(ok));
         },
         [] { return true; }},
        waitStep("tutorial next", 600),
        shot("tutorial")};
    // After the shot of the HUD's start.
    if (withTutorial) steps.insert(steps.begin() + 7, firstWindow.begin(), firstWindow.end());
    device_test::FrameScript script(device.get(), steps);
    drawer->onFrame = [&] { script.onFrame(); };
    EXPECT_TRUE(device->run());
    drawer->onFrame = nullptr;
    ASSERT_TRUE(script.finished()) << "stopped at step " << script.current();
    EXPECT_EQ(shots, withTutorial ? 7 : 9);
    ASSERT_TRUE(place->getRecord());
    EXPECT_GE(place->getRecord()->Level, 1);
    for (const auto& entry : log.entries()) EXPECT_LT(entry.level, LOG_ERROR) << entry.text << " " << entry.hint;
}

INSTANTIATE_TEST_SUITE_P(Tutorial, HudXvfbRun, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "On" : "Off"; });

namespace {

// The part of the goal box's text that carries letters: its place and the
// height of its lines.
rectf goalTextRect(CheckBoxNode* box) {
    ControlNode* root = box->getTemplateRoot();
    TextNode* text = root ? nodeCast<TextNode>(root->findChild(makeNameId("Text"), 1)) : nullptr;
    if (!text) return rectf();
    rectf r = game::screenRectOf(text);
    r.LowerRightCorner.Y = r.UpperLeftCorner.Y + text->getTextHeight();
    return r;
}

bool inside(const rectf& inner, const rectf& outer) {
    return inner.UpperLeftCorner.X >= outer.UpperLeftCorner.X && inner.UpperLeftCorner.Y >= outer.UpperLeftCorner.Y &&
           inner.LowerRightCorner.X <= outer.LowerRightCorner.X && inner.LowerRightCorner.Y <= outer.LowerRightCorner.Y;
}

std::string text(const rectf& r) {
    return "(" + std::to_string(r.UpperLeftCorner.X) + ", " + std::to_string(r.UpperLeftCorner.Y) + ") - (" +
           std::to_string(r.LowerRightCorner.X) + ", " + std::to_string(r.LowerRightCorner.Y) + ")";
}

// The caption a HUD button shows: a ButtonNode's text child, or the "Text"
// of a plain control's template.
TextNode* captionOf(ControlNode* button) {
    if (auto* asButton = nodeCast<ButtonNode>(button)) {
        if (asButton->getTextChild()) return asButton->getTextChild();
    }
    BaseNode* root = button->getTemplateRoot();
    return root ? nodeCast<TextNode>(root->findChild(makeNameId("Text"), 1)) : nullptr;
}

float leftOf(BaseNode* node) { return node->getAbsoluteTransform()[12]; }

// Every shown button of the building tab's shown group has a caption that is
// laid out within the button, lies within the HUD's width and covers no
// other shown button. What is wrong, one line each; empty when all is well.
std::string panelFaults(BaseNode* tab) {
    std::string faults;
    std::vector<ControlNode*> shown;
    for (const char* group : {"HotelButtonsNode", "JoyButtonsNode", "CustomServiceButtonsNode"}) {
        BaseNode* node = tab->findChild(makeNameId(group), 1);
        if (!node || !node->isVisible()) continue;
        for (uint32_t i = 0; i < node->getChildCount(); ++i) {
            auto* button = nodeCast<ControlNode>(node->getChild(i));
            if (button && button->isVisible()) shown.push_back(button);
        }
    }
    if (shown.empty()) faults += "no button is shown\n";
    for (ControlNode* button : shown) {
        const std::string name = nameOfId(button->getName()).c_str();
        const float left = leftOf(button), right = left + button->getBounds().X;
        if (left < 0.0f || right > 1024.0f) faults += name + " leaves the HUD\n";
        for (ControlNode* other : shown) {
            if (other == button) continue;
            const float otherLeft = leftOf(other), otherRight = otherLeft + other->getBounds().X;
            if (left < otherRight && otherLeft < right && left <= otherLeft) {
                faults += name + " covers " + nameOfId(other->getName()).c_str() + "\n";
            }
        }
        TextNode* caption = captionOf(button);
        if (!caption || caption->getLineCount() == 0 || caption->getGlyphQuadCount() == 0) {
            faults += name + " has no caption\n";
            continue;
        }
        const float width = caption->getBounds().X;
        for (uint32_t line = 0; line < caption->getLineCount(); ++line) {
            const int32_t last = static_cast<int32_t>(caption->getLine(line).size()) - 1;
            if (last < 0) continue;
            const rectf first = caption->getGlyphRect(static_cast<int32_t>(line), 0);
            const rectf end = caption->getGlyphRect(static_cast<int32_t>(line), last);
            if (first.UpperLeftCorner.X < -1.0f || end.LowerRightCorner.X > width + 1.0f) {
                faults += name + " caption runs past the button\n";
            }
        }
        if (caption->getTextHeight() > caption->getBounds().Y + 2.0f) faults += name + " caption is too tall\n";
    }
    return faults;
}

}  // namespace

// Every shipped level's goals, with progress texts as long as play makes
// them: each goal stands below the one before and inside the panel, which
// grows to hold them. Shots: screenshots/goals-level<n>.png.
class HudGoalsXvfb : public HudXvfbTest, public ::testing::WithParamInterface<int> {};

TEST_P(HudGoalsXvfb, GoalsStackInsideTheirPanel) {
    const int number = GetParam();
    openLevel(number);
    if (HasFatalFailure()) return;
    std::vector<device_test::ScriptStep> steps = closeObjectives();
    steps.push_back({"long progress",
                     [&] {
                         // Five-figure amounts in every progress text.
                         level->money = 11450.0f;
                         level->dailyIncome = 11450.0f;
                         CountedRef<game::GLevelChangedEvent> changed(new game::GLevelChangedEvent());
                         hud->handleEvent(changed.get());
                     },
                     [] { return true; }});
    steps.push_back(waitStep("goals drawn", 300));
    steps.push_back({"shot", [&] { shotName = "goals-level" + std::to_string(number); },
                     [&] { return shotName.empty(); }});
    steps.push_back({"statistics", [&] { hud->getActionsTabs()->setActiveTabIndex(7); },
                     [&] { return activeTab() == 7; }});
    steps.push_back(waitStep("statistics tab", 600));
    steps.push_back({"statistics shot", [&] { shotName = "goals-statistics-level" + std::to_string(number); },
                     [&] { return shotName.empty(); }});
    ASSERT_TRUE(runScript(steps));

    game::GObjectiveList* objectives = hud->getLevelConfig()->objectives.get();
    ASSERT_TRUE(objectives);
    const std::vector<CheckBoxNode*>& goals = hud->getMenuGoals();
    ASSERT_GE(goals.size(), objectives->size()) << "a goal has no line";
    BaseNode* panel = goals[0]->getParent();
    const rectf panelRect = game::screenRectOf(panel);
    BaseNode* bg = panel->findChild(makeNameId("Bg"), 1);
    ASSERT_TRUE(bg);
    EXPECT_EQ(bg->getBounds().Y, panel->getBounds().Y);
    rectf previous;
    for (uint32_t i = 0; i < objectives->size(); ++i) {
        SCOPED_TRACE(i);
        const rectf r = goalTextRect(goals[i]);
        EXPECT_GT(r.getHeight(), 0.0f);
        EXPECT_TRUE(inside(r, panelRect)) << text(r) << " outside " << text(panelRect);
        if (i > 0) {
            EXPECT_LE(previous.LowerRightCorner.Y, r.UpperLeftCorner.Y) << text(previous) << " over " << text(r);
        }
        previous = r;
        // The dictionary's literal percent sign shows as one.
        const stringw shown = getCurrentDictionary()->translate(goals[i]->getText());
        EXPECT_EQ(stringc(shown).find("%%"), -1) << stringc(shown).c_str();
    }
    // Nothing else of the HUD's right side is covered by a grown panel: it
    // stays above the bottom panel.
    EXPECT_LE(panelRect.LowerRightCorner.Y, 626.0f);

    // The statistics tab lists the same goals, without progress, within the
    // bottom panel and clear of the tab's other texts.
    const std::vector<CheckBoxNode*>& listed = hud->getStatisticsGoals();
    const rectf bottomPanel(0.0f, 626.0f, 1024.0f, 768.0f);
    std::vector<rectf> others;
    for (const char* name : {"MoneyText", "IncomeText", "GuestsText", "PossibleIncomeText", "PossibleGuestsText"}) {
        auto* other = nodeCast<TextNode>(hud->getTab(7)->findChild(makeNameId(name), 1));
        ASSERT_TRUE(other) << name;
        others.push_back(game::screenRectOf(other));
    }
    for (uint32_t i = 0; i < objectives->size() && i < listed.size(); ++i) {
        SCOPED_TRACE("statistics " + std::to_string(i));
        ASSERT_TRUE(listed[i]);
        const rectf r = goalTextRect(listed[i]);
        EXPECT_TRUE(inside(r, bottomPanel)) << text(r);
        if (i > 0) {
            EXPECT_LE(previous.LowerRightCorner.Y, r.UpperLeftCorner.Y) << text(previous) << " over " << text(r);
        }
        for (const rectf& other : others) EXPECT_FALSE(r.isRectCollided(other)) << text(r) << " on " << text(other);
        previous = r;
    }
}

INSTANTIATE_TEST_SUITE_P(ShippedLevels, HudGoalsXvfb, ::testing::Values(1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& info) { return "Level" + std::to_string(info.param); });

// Every step of the shipped level tutorials: its window stands clear of what
// the step asks the player to use and inside the play area; the tooltips
// stand in front of the tutorial's window and arrows.
class HudTutorialXvfb : public HudXvfbTest, public ::testing::WithParamInterface<int> {};

TEST_P(HudTutorialXvfb, WindowsStayOffTheirTargets) {
    const int number = GetParam();
    withTutorial = true;
    openLevel(number);
    if (HasFatalFailure()) return;
    std::vector<device_test::ScriptStep> steps = closeObjectives();
    steps.push_back({"tutorial window", nullptr, [&] {
                         game::GTutorial* tutorial = hud->getTutorial();
                         return tutorial && tutorial->getWindow() && tutorial->getWindow()->isVisible();
                     }});
    ASSERT_TRUE(runScript(steps));
    game::GTutorial* tutorial = hud->getTutorial();
    const rectf area(8.0f, 64.0f, 1016.0f, 620.0f);
    int checked = 0;
    for (size_t i = 0; i < tutorial->getSteps().size(); ++i) {
        const game::GTutorialStep& step = tutorial->getSteps()[i];
        if (step.stepText.empty()) continue;
        SCOPED_TRACE("step " + std::to_string(i) + " " + stringc(step.stepText).c_str());
        rectf window = tutorial->windowCover();
        window += tutorial->windowPlace(step);
        EXPECT_TRUE(inside(window, area)) << text(window);
        const std::vector<rectf> targets = tutorial->stepTargets(step);
        for (const rectf& target : targets) {
            EXPECT_FALSE(window.isRectCollided(target)) << text(window) << " covers " << text(target);
        }
        ++checked;
    }
    EXPECT_GT(checked, 0);
    // Depths as drawn: tooltips in front of the tutorial.
    const float arrows = tutorial->getArrowLayer()->getAbsoluteTransform()[14];
    const float window = tutorial->getWindow()->getAbsoluteTransform()[14];
    hud->showCostTooltip(vector3df(100, 632, 0), L"X", 1, 1, 1);
    hud->getCostTooltip()->updateAbsoluteTransform();
    EXPECT_GT(hud->getCostTooltip()->getAbsoluteTransform()[14], std::max(arrows, window));
}

INSTANTIATE_TEST_SUITE_P(ShippedLevels, HudTutorialXvfb, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) { return "Level" + std::to_string(info.param); });

// The building tab of each kind of building the game ships (a hotel, the two
// joys with a feature and a cleaning, the service with two features), with a
// feature running, and the progress panel with the stop tooltip: every button
// is captioned, within the HUD and clear of the others. Shots
// hud-panel-<kind>.png, hud-upgrade-cost.png and hud-stop.png.
TEST_F(HudXvfbTest, EveryBuildingKindsPanelCaptionsItsButtonsWithinTheHud) {
    openLevel();
    if (HasFatalFailure()) return;
    game::GBuildingNode* place = nullptr;
    game::GBuildingNode* site = nullptr;
    for (game::GBuildingNode* building : level->buildings) {
        const game::GBuildingConfig* record = building->getRecord();
        if (!building->isOwnedByThePlayer() || !record || record->Level != 0) continue;
        if (!place) {
            place = building;
        } else if (!site) {
            site = building;
        }
    }
    ASSERT_TRUE(place && site);
    game::BuildingsConfiguration* records = level->buildingsConfiguration;
    ASSERT_TRUE(records);
    level->money = 500000.0f;
    level->materials = 5000.0f;
    level->workers = 20;
    SceneManager* scenes = app->getSceneManager(0);
    BaseNode* objectives = nullptr;
    BaseNode* tab = hud->getTab(5);
    std::vector<device_test::ScriptStep> steps = {
        {"hud open", nullptr, [&] { return drawer->frames >= 3; }},
        {"objectives", nullptr,
         [&] {
             objectives = scenes->getTopScene() != hud.get() ? scenes->getTopScene() : nullptr;
             return objectives != nullptr;
         }},
        waitStep("objectives shown", 800),
        {"close objectives",
         [&] {
             if (BaseNode* ok = objectives->findChild(makeNameId("OkButton"))) click(centreOf(ok));
         },
         [&] { return scenes->getTopScene() == hud.get(); }},
        waitStep("hud shown", 500)};
    struct Kind {
        const char* record;
        int32_t condition;
        bool feature;  // start its first feature
    };
    const Kind kinds[] = {{"Camping1", 0, false},
                          {"Cafe", game::GBuildingNode::kDirty, false},
                          {"Garden", 0, true},
                          {"TruckStation", 0, false}};
    std::map<std::string, std::string> faults;
    for (const Kind& kind : kinds) {
        std::string label = kind.record;
        for (char& c : label) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (kind.feature) label += "-feature";
        const std::vector<device_test::ScriptStep> more = {
            // The other place first, so that the next click selects anew.
            {std::string("away before ") + kind.record, [&] { click(centreOf(site)); },
             [&] { return activeTab() == 9; }},
            {std::string("put ") + kind.record,
             [&, kind] {
                 game::GBuildingConfig* record = records->find(makeNameId(kind.record));
                 ASSERT_TRUE(record) << kind.record;
                 place->setRecord(record, false);
                 place->setTemplateName(record->Name);
                 place->setCondition(kind.condition);
                 if (kind.feature) level->activateFeature(place, 0);
                 level->refresh();
                 click(centreOf(place));
             },
             [&] { return activeTab() == 5; }},
            waitStep("panel", 1500),
            {std::string("check ") + kind.record, [&, label] { faults[label] = panelFaults(tab); },
             [] { return true; }},
            shot("panel-" + label)};
        steps.insert(steps.end(), more.begin(), more.end());
    }
    BaseNode* abort = nullptr;
    const std::vector<device_test::ScriptStep> stop = {
        // The hotel's upgrade, hovered: what it takes, money first.
        {"away before hotel", [&] { click(centreOf(site)); }, [&] { return activeTab() == 9; }},
        {"hotel",
         [&] {
             place->setRecord(records->find(makeNameId("Camping1")), false);
             place->setTemplateName(makeNameId("Camping1"));
             place->setCondition(0);
             click(centreOf(place));
         },
         [&] { return activeTab() == 5; }},
        waitStep("hotel panel", 600),
        {"hover upgrade", [&] { hover(centreOf(tab->findChild(makeNameId("UpgradeButton")))); },
         [&] { return hud->getCostTooltip() && hud->getCostTooltip()->isVisible(); }},
        waitStep("upgrade tooltip", 400),
        shot("upgrade-cost"),
        // A construction, and its stop button hovered.
        {"build",
         [&] {
             hover(vector2df(512, 560));
             ASSERT_TRUE(level->build(site, records->find(makeNameId("Hostel1"))));
             click(centreOf(site));
         },
         [&] {
             abort = hud->getTab(5)->findChild(makeNameId("AbortButton"));
             return activeTab() == 5 && abort && abort->isVisible();
         }},
        waitStep("progress", 600),
        {"hover stop", [&] { hover(centreOf(abort)); },
         [&] { return hud->getStopTooltip() && hud->getStopTooltip()->isVisible(); }},
        waitStep("stop tooltip", 400),
        shot("stop")};
    steps.insert(steps.end(), stop.begin(), stop.end());
    device_test::FrameScript script(device.get(), steps);
    drawer->onFrame = [&] { script.onFrame(); };
    EXPECT_TRUE(device->run());
    drawer->onFrame = nullptr;
    ASSERT_TRUE(script.finished()) << "stopped at step " << script.current();
    for (const auto& entry : faults) EXPECT_EQ(entry.second, "") << entry.first;
    // The stop tooltip names the hostel's price, which stopping does not give back.
    TextNode* said = nodeCast<TextNode>(hud->getStopTooltip()->findChild(makeNameId("Text"), 1));
    ASSERT_TRUE(said);
    EXPECT_NE(std::wstring(said->getText().c_str()).find(L"$35,000"), std::wstring::npos);
    BaseNode* stopTooltip = hud->getStopTooltip();
    EXPECT_LE(leftOf(stopTooltip) + stopTooltip->getBounds().X, 1024.0f);
}
