// The achievements list and the credits on small scene trees over a real
// scene manager: the three lists and the earned count filled from the
// current player's profile, the progress texts, and both scenes closing with
// Back, Esc and Enter while the scene below slides back in.
#include "engine/content/Dictionary.h"
#include "engine/content/ProfileStore.h"
#include "engine/controls/ListNode.h"
#include "engine/controls/TabSceneNode.h"
#include "engine/core/ControlNode.h"
#include "engine/core/Event.h"
#include "engine/core/KeyCodes.h"
#include "engine/visual/TextNode.h"
#include "game/common/AchievementsTracker.h"
#include "game/menus/GAchievementsScene.h"
#include "game/menus/GCreditsScene.h"
#include "support/ScheduledSceneManagerTest.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace engine;
using game::AchievementsTracker;
using game::GAchievementsScene;

namespace {

class RevealedScene : public game::GBaseSceneNode {
public:
    RevealedScene() : GBaseSceneNode(nullptr, nullptr, nullptr) {}
    void enterSubtreeState(NameId state, StateResolver resolver) override {
        played.push_back(nameOfId(state).c_str());
        GBaseSceneNode::enterSubtreeState(state, resolver);
    }
    std::vector<std::string> played;
};

std::string text(const ListNode* list, int32_t item, int32_t column) {
    const ListItem* entry = list->getItem(item);
    if (!entry || column >= static_cast<int32_t>(entry->texts.size())) return "<none>";
    return stringc(entry->texts[static_cast<uint32_t>(column)]).c_str();
}

class AchievementsSceneTest : public testing_support::ScheduledSceneManagerTest {
protected:
    void SetUp() override {
        ScheduledSceneManagerTest::SetUp();
        clearPlayers();
        const std::string path = dir.write("d.xml", "<Dictionary><s n='MoneyDollar'>$#p</s></Dictionary>");
        ASSERT_TRUE(dictionary.load(path.c_str()));
        setCurrentDictionary(&dictionary);
    }
    void TearDown() override {
        ScheduledSceneManagerTest::TearDown();
        setCurrentDictionary(nullptr);
        clearPlayers();
    }
    static void clearPlayers() {
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
    }
    static void addCurrentPlayer(const char* progress) {
        ProfileStore& store = getProfileStore();
        ASSERT_TRUE(store.addProfile(L"Ann"));
        store.selectProfile(store.getProfileCount() - 1);
        store.getCurrentProfile()->setString("AchievementsProgress", progress);
    }
    // The layout of the scene file; withTabs false leaves out "TabScene".
    CountedRef<GAchievementsScene> makeScene(bool withTabs) {
        CountedRef<GAchievementsScene> scene(new GAchievementsScene(nullptr, nullptr, nullptr));
        BaseNode* panel = new ControlNode(nullptr, scene.get(), nullptr);
        panel->setName(makeNameId("Scene"));
        panel->release();  // each node is held by its parent only
        auto* earned = new TextNode(nullptr, panel, nullptr);
        earned->setName(makeNameId("EarnedText"));
        earned->release();
        if (withTabs) {
            auto* tabs = new TabSceneNode(nullptr, panel, nullptr);
            tabs->setName(makeNameId("TabScene"));
            tabs->release();
            for (int32_t i = 1; i <= 3; ++i) {
                BaseNode* page = new ControlNode(nullptr, tabs, nullptr);
                page->setName(makeNameId(("Tab" + std::to_string(i)).c_str()));
                page->release();
                auto* list = new ListNode(nullptr, page, nullptr);
                list->setName(makeNameId("AchievementsList"));
                list->release();
            }
        }
        scene->onLoaded();
        return scene;
    }
    static void activate(GAchievementsScene& scene) {
        CountedRef<SceneActivatedEvent> event(new SceneActivatedEvent(nullptr, &scene, true));
        EXPECT_TRUE(scene.onSceneActivated(event.get()));
    }

    testing_support::TempDir dir;
    Dictionary dictionary;
};

}  // namespace

TEST_F(AchievementsSceneTest, ListsAndCountFollowTheCurrentPlayersProgress) {
    struct Case {
        const char* progress;
        std::vector<int32_t> earned;  // indexes, in order
    };
    const Case cases[] = {
        {"", {}},  // a fresh player: counter 0 starts at 1
        {"6;0;3;0;49;0;0;1234567;0;0;35;0", {0, 2, 10}},
        {"6;3;3;3;250;250;250;10000000;10000000;10000000;35;30", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.progress);
        clearPlayers();
        addCurrentPlayer(c.progress);
        AchievementsTracker tracker;
        tracker.load(c.progress);
        CountedRef<GAchievementsScene> scene = makeScene(true);
        activate(*scene);
        ListNode* all = scene->getAllList();
        ListNode* earned = scene->getEarnedList();
        ListNode* open = scene->getOpenList();
        ASSERT_TRUE(all && earned && open);

        ASSERT_EQ(all->getItemCount(), 12);
        ASSERT_EQ(earned->getItemCount(), static_cast<int32_t>(c.earned.size()));
        ASSERT_EQ(open->getItemCount(), 12 - static_cast<int32_t>(c.earned.size()));
        EXPECT_EQ(std::string(stringc(scene->getEarnedText()->getText()).c_str()),
                  std::to_string(c.earned.size()) + "/12");

        size_t nextEarned = 0;
        int32_t nextOpen = 0;
        for (int32_t i = 0; i < 12; ++i) {
            SCOPED_TRACE(i);
            const std::string n = std::to_string(i + 1);
            const bool isEarned = nextEarned < c.earned.size() && c.earned[nextEarned] == i;
            EXPECT_EQ(text(all, i, 0), "%Achievements_" + n + "Name%");
            if (isEarned) {
                EXPECT_EQ(text(all, i, 1), "%Achievements_" + n + "DescAfter%");
                EXPECT_EQ(text(all, i, 2), "%Achievements_AlreadyEarned%");
                const int32_t item = static_cast<int32_t>(nextEarned++);
                EXPECT_EQ(text(earned, item, 0), "%Achievements_" + n + "Name%");
                EXPECT_EQ(text(earned, item, 1), "\n%Achievements_" + n + "DescAfter%");
                EXPECT_EQ(text(earned, item, 2), "");
            } else {
                const std::string progress = stringc(game::achievementProgressText(tracker, i)).c_str();
                EXPECT_EQ(text(all, i, 1), "%Achievements_" + n + "DescBefore%");
                EXPECT_EQ(text(all, i, 2), progress);
                EXPECT_EQ(text(open, nextOpen, 0), "%Achievements_" + n + "Name%");
                EXPECT_EQ(text(open, nextOpen, 1), "%Achievements_" + n + "DescBefore%");
                EXPECT_EQ(text(open, nextOpen, 2), progress);
                ++nextOpen;
            }
        }
    }
}

TEST_F(AchievementsSceneTest, ProgressIsGroupedAndMoneyShownAsMoney) {
    AchievementsTracker tracker;
    tracker.load("1;0;0;0;1234;0;1234;1234567;999;0;0;0");
    struct Case {
        int32_t index;
        const char* text;
    };
    const Case cases[] = {
        {0, "1/6"},
        {4, "1,234/50"},
        {6, "1,234/250"},
        {7, "$1,234,567/$2,500,000"},
        {8, "$999/$7,500,000"},
        {9, "$0/$10,000,000"},
        {11, "0/30"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::string(stringc(game::achievementProgressText(tracker, c.index)).c_str()), c.text) << c.index;
}

TEST_F(AchievementsSceneTest, WithoutTabsNothingIsFilledAndTheSceneStillCloses) {
    addCurrentPlayer("6;3");
    for (const char* how : {"BackButton", "Esc", "Enter"}) {
        SCOPED_TRACE(how);
        CountedRef<RevealedScene> menu(new RevealedScene());
        CountedRef<GAchievementsScene> scene = makeScene(false);
        manager->setScene(menu.get());
        settle();
        ASSERT_TRUE(manager->pushScene(menu.get(), scene.get()));
        settle();
        EXPECT_EQ(scene->getAllList(), nullptr);
        EXPECT_TRUE(scene->getEarnedText()->getText().empty());
        menu->played.clear();

        const std::string way = how;
        if (way == "BackButton") {
            CountedRef<BaseNode> back(new BaseNode(nullptr, nullptr, nullptr));
            back->setName(makeNameId("BackButton"));
            CountedRef<NodePressedEvent> pressed(new NodePressedEvent(back.get()));
            EXPECT_TRUE(scene->onNodePressed(pressed.get()));
        } else {
            CountedRef<KeyUpEvent> up(
                new KeyUpEvent(0, way == "Esc" ? KeyCode::Escape : KeyCode::Enter, false, false));
            EXPECT_TRUE(scene->handleEvent(up.get()));
        }
        settle();
        EXPECT_EQ(manager->getTopScene(), menu.get());
        EXPECT_NE(std::find(menu->played.begin(), menu->played.end(), "NavBackToSlide"), menu->played.end());
        manager->setScene(nullptr);
        settle();
    }
}

TEST_F(AchievementsSceneTest, CreditsCloseWithBackEscAndEnterOnly) {
    for (const char* how : {"BackButton", "Esc", "Enter"}) {
        SCOPED_TRACE(how);
        CountedRef<RevealedScene> menu(new RevealedScene());
        CountedRef<game::GCreditsScene> credits(new game::GCreditsScene(nullptr, nullptr, nullptr));
        manager->setScene(menu.get());
        settle();
        ASSERT_TRUE(manager->pushScene(menu.get(), credits.get()));
        settle();
        menu->played.clear();

        // Other buttons and keys leave the credits open.
        CountedRef<BaseNode> other(new BaseNode(nullptr, nullptr, nullptr));
        other->setName(makeNameId("Title"));
        CountedRef<NodePressedEvent> otherPress(new NodePressedEvent(other.get()));
        EXPECT_FALSE(credits->onNodePressed(otherPress.get()));
        CountedRef<KeyUpEvent> space(new KeyUpEvent(0, 32, false, false));
        EXPECT_FALSE(credits->handleEvent(space.get()));
        settle();
        ASSERT_EQ(manager->getTopScene(), credits.get());

        const std::string way = how;
        if (way == "BackButton") {
            CountedRef<BaseNode> back(new BaseNode(nullptr, nullptr, nullptr));
            back->setName(makeNameId("BackButton"));
            CountedRef<NodePressedEvent> pressed(new NodePressedEvent(back.get()));
            EXPECT_TRUE(credits->onNodePressed(pressed.get()));
        } else {
            CountedRef<KeyUpEvent> up(
                new KeyUpEvent(0, way == "Esc" ? KeyCode::Escape : KeyCode::Enter, false, false));
            EXPECT_TRUE(credits->handleEvent(up.get()));
        }
        settle();
        EXPECT_EQ(manager->getTopScene(), menu.get());
        EXPECT_NE(std::find(menu->played.begin(), menu->played.end(), "NavBackToSlide"), menu->played.end());
        manager->setScene(nullptr);
        settle();
    }
}

TEST(DebugStatsTextTest, ShowsRateStepAndQuads) {
    EXPECT_EQ(std::string(stringc(game::debugStatsText(60, 10, 20)).c_str()), "fps: 60\nms:10\n10");
    EXPECT_EQ(std::string(stringc(game::debugStatsText(0, 0, 1)).c_str()), "fps: 0\nms:0\n0");
}
