// The small pop-ups around a level on a real scene manager: the quit
// question, the in-game menu, the help pages and the achievement pop-up, each
// closing exactly the scenes it should and leaving the rest usable.
#include "engine/controls/ButtonNode.h"
#include "engine/controls/TabSceneNode.h"
#include "engine/core/Event.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TimerScheduler.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/flow/GAchievementUnlockedScene.h"
#include "game/flow/GHelpScene.h"
#include "game/flow/GInGameMenuScene.h"
#include "game/menus/GQuitConfirmationScene.h"
#include "support/LogCapture.h"
#include "support/ScheduledSceneManagerTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace engine;
using testing_support::LogCapture;

namespace {

// A scene of a given kind standing in for the main menu, the map, the loading
// scene or the HUD below a pop-up.
class KindScene : public game::GBaseSceneNode {
public:
    explicit KindScene(int32_t kind) : GBaseSceneNode(nullptr, nullptr, nullptr), kind_(kind) {}
    int32_t getTypeId() const override { return kind_; }
    bool isOfType(int32_t typeId) const override { return typeId == kind_ || GBaseSceneNode::isOfType(typeId); }

    // The transitions this scene was asked to play, by name.
    std::vector<std::string> played;
    void enterSubtreeState(NameId state, StateResolver resolver) override {
        played.push_back(nameOfId(state).c_str());
        GBaseSceneNode::enterSubtreeState(state, resolver);
    }

private:
    int32_t kind_;
};

// A named node of type T under the parent, which holds the only reference.
template <class T = ControlNode>
T* child(BaseNode* parent, const char* name) {
    T* node = new T(nullptr, parent, nullptr);
    node->setName(makeNameId(name));
    node->release();
    return node;
}

class PopUpScenesTest : public testing_support::ScheduledSceneManagerTest {
protected:
    // Stacks the scenes bottom to top and lets their transitions end.
    void stack(std::initializer_list<SceneNode*> scenes) {
        SceneNode* top = nullptr;
        for (SceneNode* scene : scenes) {
            if (!top) {
                manager->setScene(scene);
            } else {
                ASSERT_TRUE(manager->pushScene(top, scene));
            }
            settle();
            top = scene;
        }
    }
    CountedRef<KindScene> kind(int32_t id) { return CountedRef<KindScene>(new KindScene(id)); }

    static bool press(game::GBaseSceneNode& scene, BaseNode* node) {
        CountedRef<NodePressedEvent> event(new NodePressedEvent(node));
        return scene.onNodePressed(event.get());
    }
    static bool press(game::GBaseSceneNode& scene, const char* name) {
        CountedRef<BaseNode> button(new BaseNode(nullptr, nullptr, nullptr));
        button->setName(makeNameId(name));
        return press(scene, button.get());
    }
    static bool key(game::GBaseSceneNode& scene, int32_t code) {
        CountedRef<KeyUpEvent> event(new KeyUpEvent(0, code, false, false));
        return scene.handleEvent(event.get());
    }
};

}  // namespace

TEST_F(PopUpScenesTest, QuitQuestionAnswersYesNoAndEscapeButNotEnter) {
    CountedRef<KindScene> menu = kind(1103);
    CountedRef<game::GQuitConfirmationScene> quit(new game::GQuitConfirmationScene(nullptr, nullptr, nullptr));
    stack({menu.get(), quit.get()});

    EXPECT_FALSE(key(*quit, KeyCode::Enter));
    EXPECT_FALSE(press(*quit, "Title"));
    settle();
    EXPECT_EQ(manager->getTopScene(), quit.get());
    {
        LogCapture log;
        EXPECT_TRUE(press(*quit, "YesButton"));
        EXPECT_TRUE(log.contains("closeDevice"));
    }

    // No and Esc close the question; the menu below comes back without moving.
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Esc" : "No");
        menu->played.clear();
        if (manager->getTopScene() != quit.get()) stack({quit.get()});
        EXPECT_TRUE(escape ? key(*quit, KeyCode::Escape) : press(*quit, "NoButton"));
        settle();
        EXPECT_EQ(manager->getTopScene(), menu.get());
        EXPECT_NE(std::find(menu->played.begin(), menu->played.end(), "NoTransTo"), menu->played.end());
        quit = CountedRef<game::GQuitConfirmationScene>(new game::GQuitConfirmationScene(nullptr, nullptr, nullptr));
        ASSERT_TRUE(manager->pushScene(menu.get(), quit.get()));
        settle();
    }
}

TEST_F(PopUpScenesTest, InGameMenuClosesTheScenesEachButtonNames) {
    struct Case {
        const char* button;
        int32_t topKind;  // the kind of scene on top afterwards
    };
    const Case cases[] = {
        {"ResumeButton", 1120},      // back to the HUD
        {"RestartButton", 1119},     // the loading scene loads the level anew
        {"MainMenuButton", 1103},    // past the map and the loading scene
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        CountedRef<KindScene> mainMenu = kind(1103), map = kind(1116), loading = kind(1119), hud = kind(1120);
        CountedRef<game::GInGameMenuScene> menu(new game::GInGameMenuScene(nullptr, nullptr, nullptr));
        stack({mainMenu.get(), map.get(), loading.get(), hud.get(), menu.get()});
        EXPECT_TRUE(press(*menu, c.button));
        settle();
        ASSERT_NE(manager->getTopScene(), nullptr);
        EXPECT_TRUE(manager->getTopScene()->isOfType(c.topKind));
        manager->setScene(nullptr);
        settle();
    }
}

TEST_F(PopUpScenesTest, InGameMenuOpensItsScenesOrLogsAndStaysUsable) {
    CountedRef<KindScene> hud = kind(1120);
    CountedRef<game::GInGameMenuScene> menu(new game::GInGameMenuScene(nullptr, nullptr, nullptr));
    stack({hud.get(), menu.get()});
    const char* const opened[][2] = {
        {"OptionsButton", "scenes/OptionsScene.oscn"},
        {"HelpButton", "scenes/HelpScene.oscn"},
        {"ExitGameButton", "scenes/QuitConfirmationScene.oscn"},
    };
    for (const auto& c : opened) {
        SCOPED_TRACE(c[0]);
        LogCapture log;
        EXPECT_TRUE(press(*menu, c[0]));
        EXPECT_TRUE(log.contains(c[1]));
        settle();
        EXPECT_EQ(manager->getTopScene(), menu.get());
    }
    EXPECT_FALSE(press(*menu, "GoalsButton"));
    // Esc closes the menu like Resume.
    EXPECT_TRUE(key(*menu, KeyCode::Escape));
    settle();
    EXPECT_EQ(manager->getTopScene(), hud.get());
}

TEST_F(PopUpScenesTest, HelpPagesTurnWithBackAndNextWithinTheirCount) {
    for (int32_t pages : {1, 3}) {
        SCOPED_TRACE(pages);
        CountedRef<KindScene> hud = kind(1120);
        CountedRef<game::GHelpScene> help(new game::GHelpScene(nullptr, nullptr, nullptr));
        BaseNode* panel = child(help.get(), "Scene");
        auto* tabs = child<TabSceneNode>(panel, "TabScene");
        tabs->setTabsCount(pages);
        for (int32_t i = 1; i <= pages; ++i) child(tabs, ("Tab" + std::to_string(i)).c_str());
        tabs->onLoaded();
        tabs->switchTab(0, true);
        auto* back = child<ButtonNode>(panel, "BackButton");
        auto* next = child<ButtonNode>(panel, "NextButton");
        help->onLoaded();
        stack({hud.get(), help.get()});
        EXPECT_FALSE(back->isEnabled());

        // Next walks to the last page and stops there; Back walks home.
        for (int32_t i = 1; i <= pages; ++i) {
            EXPECT_FALSE(press(*help, next));
            settle();
            EXPECT_EQ(tabs->getActiveTabIndex(), std::min(i, pages - 1));
        }
        EXPECT_FALSE(next->isEnabled());
        EXPECT_EQ(back->isEnabled(), pages > 1);
        for (int32_t i = 0; i < pages; ++i) {
            press(*help, back);
            settle();
        }
        EXPECT_EQ(tabs->getActiveTabIndex(), 0);
        EXPECT_FALSE(back->isEnabled());
        EXPECT_EQ(next->isEnabled(), pages > 1);

        EXPECT_TRUE(press(*help, "CloseButton"));
        settle();
        EXPECT_EQ(manager->getTopScene(), hud.get());
        manager->setScene(nullptr);
        settle();
    }
}

TEST_F(PopUpScenesTest, AchievementPopUpShowsTheAchievementAndClosesOnOk) {
    CountedRef<game::GAchievementUnlockedScene> bare(new game::GAchievementUnlockedScene(nullptr, nullptr, nullptr));
    bare->onLoaded();
    bare->showAchievement(3);  // nothing bound, nothing to fill
    EXPECT_EQ(bare->getNameText(), nullptr);

    CountedRef<KindScene> hud = kind(1120);
    CountedRef<game::GAchievementUnlockedScene> popUp(new game::GAchievementUnlockedScene(nullptr, nullptr, nullptr));
    BaseNode* panel = child(popUp.get(), "Scene");
    child<SpriteNode>(panel, "AchImage");
    child<TextNode>(panel, "AchName");
    child<TextNode>(panel, "AchDesc");
    popUp->onLoaded();
    popUp->showAchievement(3);
    ASSERT_NE(popUp->getNameText(), nullptr);
    EXPECT_EQ(stringc(popUp->getNameText()->getText()), "%Achievements_4Name%");
    EXPECT_EQ(stringc(popUp->getDescriptionText()->getText()), "%Achievements_4DescAfter%");
    EXPECT_NE(popUp->getImage(), nullptr);

    stack({hud.get(), popUp.get()});
    EXPECT_FALSE(press(*popUp, "Title"));
    EXPECT_TRUE(press(*popUp, "OkButton"));
    settle();
    EXPECT_EQ(manager->getTopScene(), hud.get());
}
