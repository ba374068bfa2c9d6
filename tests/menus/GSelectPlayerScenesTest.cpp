// The player selection on small scene trees: the name rules, creating a
// player with a non-ASCII name, and deleting the current player after the
// confirmation.
#include "engine/content/ProfileStore.h"
#include "engine/controls/EditNode.h"
#include "engine/controls/ListNode.h"
#include "engine/core/ControlNode.h"
#include "engine/core/Event.h"
#include "game/menus/GSelectPlayerScenes.h"

#include <gtest/gtest.h>

using namespace engine;
using game::GSelectPlayerInputNameScene;
using game::GSelectPlayerScene;
using game::playerNameProblem;

namespace {

class PlayerSelectionTest : public ::testing::Test {
protected:
    void SetUp() override { clearPlayers(); }
    void TearDown() override { clearPlayers(); }
    static void clearPlayers() {
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
    }
    // A scene with "Scene" holding the named controls.
    template <class S>
    static CountedRef<S> makeScene(BaseNode** panelOut) {
        CountedRef<S> scene(new S(nullptr, nullptr, nullptr));
        BaseNode* panel = new BaseNode(nullptr, scene.get(), nullptr);
        panel->setName(makeNameId("Scene"));
        panel->release();  // held by the scene
        *panelOut = panel;
        return scene;
    }
    template <class C>
    static C* addControl(BaseNode* panel, const char* name) {
        C* control = new C(nullptr, panel, nullptr);
        control->setName(makeNameId(name));
        control->release();  // held by the panel
        return control;
    }
};

// The list scene as it is after asking whether to delete: the question's
// box needs a running scene manager, the answer does not.
class AskedScene : public GSelectPlayerScene {
public:
    using GSelectPlayerScene::GSelectPlayerScene;
    bool answer(int32_t result) {
        deleteAsked_ = true;
        CountedRef<MessageBoxResultEvent> event(new MessageBoxResultEvent(result));
        return onMessageBoxResult(event.get());
    }
};

}  // namespace

TEST_F(PlayerSelectionTest, NameRules) {
    ASSERT_TRUE(getProfileStore().addProfile(L"Ann"));
    struct Case {
        const wchar_t* name;
        const char* problem;
    };
    const Case cases[] = {
        {L"", "SelectPlayer_NameEmpty"},
        {L"   ", "SelectPlayer_NameEmpty"},
        {L"Ann", "SelectPlayer_NameTaken"},
        {L"ann", nullptr},
        {L" Ann", nullptr},
        {L"Zo\u00eb \u00c5sa", nullptr},
        {L"ABCDEFGHIJ", nullptr},
        {L"ABCDEFGHIJK", "SelectPlayer_NameTooLong"},
    };
    for (const Case& c : cases) {
        const char* problem = playerNameProblem(c.name, 10);
        if (c.problem)
            EXPECT_STREQ(problem, c.problem) << stringc(c.name).c_str();
        else
            EXPECT_EQ(problem, nullptr) << stringc(c.name).c_str();
    }
}

TEST_F(PlayerSelectionTest, NameInputCreatesOnlyAcceptableNamesAndKeepsThemIntact) {
    BaseNode* panel = nullptr;
    CountedRef<GSelectPlayerInputNameScene> input = makeScene<GSelectPlayerInputNameScene>(&panel);
    EditNode* edit = addControl<EditNode>(panel, "NameEdit");
    ControlNode* ok = addControl<ControlNode>(panel, "OkButton");
    input->onLoaded();

    CountedRef<SceneActivatedEvent> shown(new SceneActivatedEvent(nullptr, input.get(), true));
    EXPECT_TRUE(input->onSceneActivated(shown.get()));
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(input->createPlayer());
    EXPECT_EQ(getProfileStore().getProfileCount(), 0u);

    const stringw name(L"J\u00f3zef \u017b\u00f3\u0142w");
    edit->setText(name);
    CountedRef<ValueChangedEvent> changed(new ValueChangedEvent(edit));
    EXPECT_FALSE(input->onValueChanged(changed.get()));
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(input->createPlayer());
    ASSERT_EQ(getProfileStore().getProfileCount(), 1u);
    EXPECT_TRUE(getProfileStore().getProfile(0)->getPlayerName() == name);
    EXPECT_EQ(getProfileStore().getCurrentProfile(), nullptr);

    // The same name again is refused.
    input->onValueChanged(changed.get());
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(input->createPlayer());
    EXPECT_EQ(getProfileStore().getProfileCount(), 1u);
}

TEST_F(PlayerSelectionTest, DeletingAfterYesLeavesAValidSelection) {
    ProfileStore& store = getProfileStore();
    for (const wchar_t* name : {L"Ann", L"Bob", L"Cy"}) ASSERT_TRUE(store.addProfile(name));
    store.selectProfile(2);
    BaseNode* panel = nullptr;
    CountedRef<AskedScene> list = makeScene<AskedScene>(&panel);
    ListNode* players = addControl<ListNode>(panel, "PlayersList");
    ControlNode* ok = addControl<ControlNode>(panel, "OkButton");
    ControlNode* remove = addControl<ControlNode>(panel, "DeletePlayerButton");
    list->onLoaded();
    CountedRef<SceneActivatedEvent> shown(new SceneActivatedEvent(nullptr, list.get(), true));
    EXPECT_TRUE(list->onSceneActivated(shown.get()));
    EXPECT_EQ(players->getItemCount(), 3);
    EXPECT_EQ(players->getSelectedItem(), 2);

    // No: nothing changes.
    EXPECT_TRUE(list->answer(1));
    EXPECT_EQ(store.getProfileCount(), 3u);
    // The OK of a box the scene did not ask with (a notice) deletes nobody.
    CountedRef<MessageBoxResultEvent> notice(new MessageBoxResultEvent(0));
    EXPECT_TRUE(list->onMessageBoxResult(notice.get()));
    EXPECT_EQ(store.getProfileCount(), 3u);

    // Yes on the current, last player: no player current, the new last selected.
    EXPECT_TRUE(list->answer(0));
    EXPECT_EQ(store.getProfileCount(), 2u);
    EXPECT_EQ(store.getCurrentProfile(), nullptr);
    EXPECT_EQ(players->getItemCount(), 2);
    EXPECT_EQ(players->getSelectedItem(), 1);

    players->selectItem(0, true);
    list->answer(0);
    list->answer(0);
    EXPECT_EQ(store.getProfileCount(), 0u);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(remove->isEnabled());
    // Confirming an empty list does nothing.
    list->confirm();
    EXPECT_EQ(store.getCurrentProfile(), nullptr);
}
