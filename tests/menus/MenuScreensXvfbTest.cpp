// Shipped menu screens in a real 1024 x 768 OpenGL window, played as a
// player would: the credits roll to their last line, the achievements list
// scrolls with the mouse wheel and with its scroll bar, and the name input
// opened from "New player" takes typed keys at once, keeps a long name inside
// its box and creates the player with Enter. Frames go to
// screenshots/menus-<moment>.png in the test's folder.
#include "engine/content/ProfileStore.h"
#include "engine/controls/EditNode.h"
#include "engine/controls/ListNode.h"
#include "engine/controls/SliderNode.h"
#include "engine/core/Event.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/SceneManager.h"
#include "game/menus/GAchievementsScene.h"
#include "game/menus/GSelectPlayerScenes.h"
#include "menus/MenuWindowTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace engine;

namespace {

using device_test::centreOf;
using device_test::waitStep;

BaseNode* child(BaseNode* parent, const char* name) {
    return parent ? parent->findChild(makeNameId(name), 1) : nullptr;
}

class MenuScreensXvfbTest : public menu_window_test::MenuWindowTest {
protected:
    MenuScreensXvfbTest() : MenuWindowTest(L"Lodgeroo menus", "menus-") {}

    // Content, a current player and an empty start scene to open from.
    void SetUpScenes(bool withPlayer) {
        loadContent();
        if (HasFatalFailure()) return;
        if (withPlayer) {
            ProfileStore& store = getProfileStore();
            ASSERT_TRUE(store.addProfile(L"Ann"));
            store.selectProfile(0);
        }
        scenes = app->getSceneManager(0);
        const CreationContext context(app->getContentManager(), "");
        start = CountedRef<SceneNode>(new SceneNode(&context, nullptr, nullptr));
        ASSERT_TRUE(scenes->setScene(start.get()));
    }

    bool play(std::vector<device_test::ScriptStep> steps) {
        device_test::FrameScript script(device.get(), std::move(steps));
        drawer->onFrame = [&] { script.onFrame(); };
        EXPECT_TRUE(device->run());
        drawer->onFrame = nullptr;
        EXPECT_TRUE(script.finished()) << "stopped at step " << script.current();
        return script.finished();
    }

    void key(int32_t code, wchar_t character) {
        CountedRef<Event> down(new KeyDownEvent(character, code, false, false));
        device->deliverEvent(down.get());
        CountedRef<Event> up(new KeyUpEvent(character, code, false, false));
        device->deliverEvent(up.get());
    }

    void noErrorsLogged() {
        for (const auto& entry : log.entries()) EXPECT_LT(entry.level, LOG_ERROR) << entry.text << " " << entry.hint;
    }

    SceneManager* scenes = nullptr;
};

}  // namespace

TEST_F(MenuScreensXvfbTest, CreditsRollToTheirLastLine) {
    SetUpScenes(true);
    if (HasFatalFailure()) return;
    SceneNode* credits = start->openScene("scenes/CreditsScene.oscn", true);
    ASSERT_NE(credits, nullptr);
    BaseNode* clip = child(child(credits, "Scene"), "ClipArea");
    BaseNode* roll = child(clip, "Roll");
    BaseNode* last = child(roll, "Line13");
    ASSERT_TRUE(clip && roll && last);
    // The roll moves up 25 pixels a second after a short wait; the last line
    // stands wholly inside the clip once the roll is 306 pixels up.
    const float lastShown = clip->getBounds().Y - last->getPosition().Y - last->getBounds().Y;
    ASSERT_TRUE(play({
        {"credits open", nullptr, [&] { return drawer->frames >= 3 && scenes->getTopScene() == credits; }},
        shot("credits-start"),
        {"rolling", nullptr, [&] { return roll->getPosition().Y < -60.0f; }},
        {"half way", nullptr, [&] { return roll->getPosition().Y < -200.0f; }},
        {"last line", nullptr, [&] { return roll->getPosition().Y <= lastShown - 4.0f; }},
        shot("credits-end"),
    }));
    EXPECT_LT(roll->getPosition().Y + last->getPosition().Y, clip->getBounds().Y);
    noErrorsLogged();
}

TEST_F(MenuScreensXvfbTest, AchievementsListScrollsWithTheWheelAndTheScrollBar) {
    SetUpScenes(true);
    if (HasFatalFailure()) return;
    auto* achievements = dynamic_cast<game::GAchievementsScene*>(start->openScene("scenes/AchievementsScene.oscn", true));
    ASSERT_NE(achievements, nullptr);
    auto* list = nodeCast<ListNode>(child(child(child(child(achievements, "Scene"), "TabScene"), "Tab1"), "AchievementsList"));
    ASSERT_NE(list, nullptr);
    BaseNode* slider = nullptr;
    const auto wheel = [&](float notches) {
        const vector2df at = centreOf(list);
        CountedRef<Event> turn(new MouseWheelEvent(static_cast<int32_t>(at.X), static_cast<int32_t>(at.Y), notches));
        device->deliverEvent(turn.get());
    };
    ASSERT_TRUE(play({
        {"achievements open", nullptr,
         [&] { return drawer->frames >= 3 && scenes->getTopScene() == achievements && list->getElementCount() > 0; }},
        waitStep("shown", 400),
        shot("achievements-top"),
        // The pointer rests on the list, as a player's does to turn the wheel.
        {"pointer on the list", [&] { hover(centreOf(list)); }, [&] { return list->isFocused(); }},
        {"wheel towards the player", [&] { wheel(-1.0f); }, [&] { return list->getTopItem() == 1; }},
        {"two more notches", [&] { wheel(-2.0f); }, [&] { return list->getTopItem() == 3; }},
        waitStep("scrolled", 200),
        shot("achievements-wheel"),
        {"wheel away", [&] { wheel(1.0f); }, [&] { return list->getTopItem() == 2; }},
        {"scroll bar bottom",
         [&] {
             ControlNode* root = list->getTemplateRoot();
             slider = root ? root->findChild(makeNameId("Slider"), 1) : nullptr;
             ASSERT_NE(slider, nullptr);
             const vector2df at = centreOf(slider);
             const int32_t x = static_cast<int32_t>(at.X);
             const int32_t bottom = static_cast<int32_t>(at.Y + slider->getBounds().Y / 2 - 3);
             hover(vector2df(at.X, at.Y));
             CountedRef<Event> down(new LeftButtonDownEvent(x, static_cast<int32_t>(at.Y)));
             device->deliverEvent(down.get());
             CountedRef<Event> drag(new MouseMoveEvent(x, bottom));
             device->deliverEvent(drag.get());
             CountedRef<Event> up(new LeftButtonUpEvent(x, bottom));
             device->deliverEvent(up.get());
         },
         [&] { return list->getTopItem() == list->getItemCount() - list->getRows(); }},
        waitStep("dragged", 200),
        shot("achievements-scroll-bar"),
        {"scroll bar top",
         [&] {
             const vector2df at = centreOf(slider);
             click(vector2df(at.X, at.Y - slider->getBounds().Y / 2 + 3));
         },
         [&] { return list->getTopItem() == 0; }},
    }));
    EXPECT_EQ(list->getItemCount(), 12);
    noErrorsLogged();
}

TEST_F(MenuScreensXvfbTest, NewPlayerTypesAtOnceKeepsALongNameInItsBoxAndEnterCreatesIt) {
    SetUpScenes(false);
    if (HasFatalFailure()) return;
    auto* list = dynamic_cast<game::GSelectPlayerScene*>(start->openScene("scenes/SelectPlayerScene.oscn", true));
    ASSERT_NE(list, nullptr);
    BaseNode* newPlayer = child(child(list, "Scene"), "NewPlayerButton");
    ASSERT_NE(newPlayer, nullptr);
    game::GSelectPlayerInputNameScene* input = nullptr;
    EditNode* edit = nullptr;
    // Twenty characters, as many as the box takes, wider than the box.
    const std::wstring name = L"Maximilian \x00d6" L"tzm\x00fcller";
    ASSERT_EQ(name.size(), 20u);
    ASSERT_TRUE(play({
        {"list open", nullptr, [&] { return drawer->frames >= 3 && scenes->getTopScene() == list; }},
        waitStep("shown", 300),
        // The pointer stays where New player was, over the name input's Create.
        {"new player", [&] { click(centreOf(newPlayer)); },
         [&] {
             input = dynamic_cast<game::GSelectPlayerInputNameScene*>(scenes->getTopScene());
             return input != nullptr;
         }},
        waitStep("input shown", 600),
        {"focus", nullptr,
         [&] {
             edit = nodeCast<EditNode>(child(child(input, "Scene"), "NameEdit"));
             return edit && edit->isFocused();
         }},
        {"type",
         [&] {
             for (wchar_t c : name) key(c == L' ' ? 32 : 'A', c);
         },
         [&] { return std::wstring(edit->getText().c_str()) == name; }},
        waitStep("typed", 300),
        shot("name-long"),
        {"enter", [&] { key(KeyCode::Enter, L'\r'); }, [&] { return scenes->getTopScene() == list; }},
        waitStep("list again", 500),
        shot("name-created"),
    }));
    ProfileStore& store = getProfileStore();
    ASSERT_EQ(store.getProfileCount(), 1u);
    EXPECT_EQ(std::wstring(store.getProfile(0)->getPlayerName().c_str()), name);
    noErrorsLogged();
}

TEST_F(MenuScreensXvfbTest, ANameTooWideForItsBoxIsCutAtTheBoxEdge) {
    SetUpScenes(false);
    if (HasFatalFailure()) return;
    auto* input = dynamic_cast<game::GSelectPlayerInputNameScene*>(
        start->openScene("scenes/SelectPlayerInputNameScene.oscn", true));
    ASSERT_NE(input, nullptr);
    auto* edit = nodeCast<EditNode>(child(child(input, "Scene"), "NameEdit"));
    ASSERT_NE(edit, nullptr);
    CountedRef<Image> empty;
    ASSERT_TRUE(play({
        {"input open", nullptr, [&] { return drawer->frames >= 3 && scenes->getTopScene() == input; }},
        waitStep("shown", 400),
        shot("name-empty"),
        {"empty frame", nullptr, [&] { return (empty = lastShot) != nullptr; }},
        {"type", [&] { for (wchar_t c : std::wstring(L"WWWWWWWWWWWWWWWWWWWW")) key('W', c); },
         [&] { return edit->getText().size() == 20u; }},
        waitStep("typed", 300),
        shot("name-wide"),
    }));
    ASSERT_TRUE(empty && lastShot && lastShot != empty);
    // Right of the box the screen is as it was before typing; inside it the
    // last letters are drawn (the text slid to show the cursor).
    const BaseNode* frame = child(child(input, "Scene"), "EditFrame");
    ASSERT_NE(frame, nullptr);
    const int32_t right = static_cast<int32_t>(frame->getPosition().X + frame->getBounds().X);
    const int32_t top = static_cast<int32_t>(frame->getPosition().Y), height = static_cast<int32_t>(frame->getBounds().Y);
    int32_t changedOutside = 0, changedInside = 0;
    for (int32_t y = top; y < top + height; ++y) {
        for (int32_t x = right + 2; x < right + 80; ++x) changedOutside += lastShot->getPixel(x, y) != empty->getPixel(x, y);
        for (int32_t x = right - 60; x < right - 10; ++x) changedInside += lastShot->getPixel(x, y) != empty->getPixel(x, y);
    }
    EXPECT_EQ(changedOutside, 0);
    EXPECT_GT(changedInside, 20);
    noErrorsLogged();
}
