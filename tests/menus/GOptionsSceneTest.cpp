// The options on small scene trees over a real scene manager: what activation
// shows (and how it mends stored volumes outside the sliders' range), each
// switch and slider stored in the right profile, saved to the profile file
// and applied at once, the cues, the display switch and the pointer, and the
// way back to the main menu or to the pause menu.
#include "engine/content/ProfileStore.h"
#include "engine/controls/ButtonNode.h"
#include "engine/controls/SliderNode.h"
#include "engine/core/ControlNode.h"
#include "engine/core/Event.h"
#include "engine/core/KeyCodes.h"
#include "engine/io/FileSystem.h"
#include "engine/platform/EngineKinds.h"
#include "game/menus/GOptionsScene.h"
#include "support/ScheduledSceneManagerTest.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace engine;
using game::GOptionsScene;

namespace {

// What the scene did outside the profile, in order.
struct OutletLog {
    std::vector<std::string> calls;
    bool fullScreenWorks = true;
    int count(const std::string& call) const {
        int n = 0;
        for (const std::string& c : calls) n += c == call ? 1 : 0;
        return n;
    }
};

class RecordingOutlet : public game::OptionsOutlet {
public:
    explicit RecordingOutlet(OutletLog& log) : log_(log) {}
    void applySoundSettings() override { log_.calls.push_back("sound"); }
    void playCue(const char* cue, bool onlyIfNotPlaying) override {
        log_.calls.push_back(std::string("cue ") + cue + (onlyIfNotPlaying ? " once" : ""));
    }
    bool applyFullScreen(bool fullscreen) override {
        log_.calls.push_back(fullscreen ? "full screen" : "window");
        return log_.fullScreenWorks;
    }
    void applyCursor(bool windowsCursor, IContentManager*) override {
        log_.calls.push_back(windowsCursor ? "system cursor" : "game cursor");
    }

private:
    OutletLog& log_;
};

// The profile files go to a folder of the test's own.
class TempFolderFileSystem : public FileSystem {
public:
    explicit TempFolderFileSystem(std::string folder) : folder_(std::move(folder)) {}
    stringc getUserDataFolder() override { return folder_.c_str(); }
    stringc getSharedDataFolder() override { return folder_.c_str(); }

private:
    std::string folder_;
};

CountedRef<TempFolderFileSystem>& profileFileSystem() {
    static CountedRef<TempFolderFileSystem> fileSystem;
    return fileSystem;
}

ProfileServices tempProfileServices() { return {profileFileSystem().get(), nullptr}; }

// A scene of a given kind below the options, recording the transitions it plays.
class KindScene : public game::GBaseSceneNode {
public:
    explicit KindScene(int32_t kind) : GBaseSceneNode(nullptr, nullptr, nullptr), kind_(kind) {}
    int32_t getTypeId() const override { return kind_; }
    bool isOfType(int32_t typeId) const override { return typeId == kind_ || GBaseSceneNode::isOfType(typeId); }
    void enterSubtreeState(NameId state, StateResolver resolver) override {
        played.push_back(nameOfId(state).c_str());
        GBaseSceneNode::enterSubtreeState(state, resolver);
    }
    std::vector<std::string> played;

private:
    int32_t kind_;
};

class RecordingOptions : public GOptionsScene {
public:
    RecordingOptions() : GOptionsScene(nullptr, nullptr, nullptr) {}
    void enterSubtreeState(NameId state, StateResolver resolver) override {
        played.push_back(nameOfId(state).c_str());
        GOptionsScene::enterSubtreeState(state, resolver);
    }
    std::vector<std::string> played;
};

bool contains(const std::vector<std::string>& list, const std::string& item) {
    for (const std::string& entry : list)
        if (entry == item) return true;
    return false;
}

class OptionsSceneTest : public testing_support::ScheduledSceneManagerTest {
protected:
    void SetUp() override {
        ScheduledSceneManagerTest::SetUp();
        profileFileSystem() = CountedRef<TempFolderFileSystem>(new TempFolderFileSystem(folder.path().string()));
        setProfileServicesFinder(&tempProfileServices);
        clearPlayers();
        ProfileParameters* common = getProfileStore().getCommonProfile();
        common->setBool("FullScreen", true);
        common->setBool("WindowsCursor", false);

        options = CountedRef<RecordingOptions>(new RecordingOptions());
        panel = new ControlNode(nullptr, options.get(), nullptr);
        panel->setName(makeNameId("Scene"));
        panel->release();  // held by the scene, as are the nodes below
        for (const char* name : {"SoundSlider", "MusicSlider"}) {
            auto* slider = new SliderNode(nullptr, panel, nullptr);
            slider->setName(makeNameId(name));
            slider->setMinValue(0.0f);
            slider->setMaxValue(100.0f);
            slider->setValue(30.0f);
            slider->release();
        }
        for (const char* name : {"MuteSoundButton", "MuteMusicButton", "FullscreenButton", "CursorButton"}) {
            auto* button = new ButtonNode(nullptr, panel, nullptr);
            button->setName(makeNameId(name));
            button->setTemplateName(makeNameId("Options_OnOffButtonRed"));
            button->release();
        }
        options->onLoaded();
        options->setOutlet(std::unique_ptr<game::OptionsOutlet>(new RecordingOutlet(outlet)));
    }
    void TearDown() override {
        ScheduledSceneManagerTest::TearDown();
        options.reset();
        clearPlayers();
        // The profiles go back to the device's folders.
        registerEngineKinds();
        profileFileSystem().reset();
    }
    static void clearPlayers() {
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
    }
    static ProfileParameters* addCurrentPlayer(const wchar_t* name) {
        ProfileStore& store = getProfileStore();
        EXPECT_TRUE(store.addProfile(name));
        store.selectProfile(store.getProfileCount() - 1);
        ProfileParameters* player = store.getCurrentProfile();
        player->setFloat("SoundVolume", 50.0f);
        player->setFloat("MusicVolume", 50.0f);
        player->setBool("SoundOn", true);
        player->setBool("MusicOn", true);
        return player;
    }
    // The player's and the common values as the next start reads them from disk.
    static std::unique_ptr<ProfileStore> reloaded() {
        std::unique_ptr<ProfileStore> store(new ProfileStore());
        EXPECT_TRUE(store->loadPlayerProfiles());
        return store;
    }
    static ProfileParameters* savedPlayer(const std::unique_ptr<ProfileStore>& store) {
        ProfileParameters* player = store->findProfile(L"Ann");
        if (!player) ADD_FAILURE() << "Ann is not in the saved profile file";
        return player ? player : store->getPlayerDefaults();
    }
    static float savedFloat(const char* key) { return savedPlayer(reloaded())->getFloat(key); }
    static bool savedBool(const char* key) { return savedPlayer(reloaded())->getBool(key); }
    static bool savedCommonBool(const char* key) { return reloaded()->getCommonProfile()->getBool(key); }
    bool activate() {
        CountedRef<SceneActivatedEvent> event(new SceneActivatedEvent(nullptr, options.get(), true));
        return options->onSceneActivated(event.get());
    }
    bool press(const char* name) {
        BaseNode* node = panel->findChild(makeNameId(name), 1);
        CountedRef<BaseNode> stray;
        if (!node) {
            stray = CountedRef<BaseNode>(new BaseNode(nullptr, nullptr, nullptr));
            stray->setName(makeNameId(name));
            node = stray.get();
        }
        CountedRef<NodePressedEvent> event(new NodePressedEvent(node));
        return options->onNodePressed(event.get());
    }
    bool drag(SliderNode* slider, float value) {
        slider->setValue(value);
        CountedRef<ValueChangedEvent> event(new ValueChangedEvent(slider));
        return options->onValueChanged(event.get());
    }
    bool key(int32_t code) {
        CountedRef<KeyUpEvent> event(new KeyUpEvent(0, code, false, false));
        return options->handleEvent(event.get());
    }
    static bool shownOn(ButtonNode* button) { return GOptionsScene::isShownOn(button); }

    testing_support::TempDir folder;
    OutletLog outlet;
    CountedRef<RecordingOptions> options;
    BaseNode* panel = nullptr;
};

}  // namespace

TEST_F(OptionsSceneTest, ActivationShowsTheStoredChoicesAndClampsVolumesOutsideTheSliders) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float stored;
        float shown;  // the slider's value, and what the profile holds afterwards
        bool mended;
    };
    const Case cases[] = {
        {35.0f, 35.0f, false}, {0.0f, 0.0f, false}, {100.0f, 100.0f, false},
        {500.0f, 100.0f, true}, {-20.0f, 0.0f, true}, {nan, 0.0f, true},
    };
    ProfileParameters* player = addCurrentPlayer(L"Ann");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        outlet.calls.clear();
        player->setFloat("SoundVolume", c.stored);
        player->setFloat("MusicVolume", 20.0f);
        player->setBool("SoundOn", false);
        player->setBool("MusicOn", true);
        EXPECT_TRUE(activate());
        EXPECT_FLOAT_EQ(options->getSoundSlider()->getValue(), c.shown);
        EXPECT_FLOAT_EQ(options->getMusicSlider()->getValue(), 20.0f);
        EXPECT_FLOAT_EQ(player->getFloat("SoundVolume"), c.shown);
        EXPECT_FALSE(shownOn(options->getMuteSoundButton()));
        EXPECT_TRUE(shownOn(options->getMuteMusicButton()));
        EXPECT_TRUE(shownOn(options->getFullscreenButton()));
        EXPECT_FALSE(shownOn(options->getCursorButton()));
        EXPECT_EQ(options->getMuteMusicButton()->getText(), L"%Options_On%");
        EXPECT_EQ(options->getCursorButton()->getText(), L"%Options_Off%");
        // A mended volume is in force at once and on disk for the next start.
        EXPECT_EQ(outlet.count("sound"), c.mended ? 1 : 0);
        if (c.mended) {
            EXPECT_FLOAT_EQ(savedFloat("SoundVolume"), c.shown);
        }
    }
}

TEST_F(OptionsSceneTest, WithoutAPlayerOnlyTheDisplayChoicesAreShown) {
    getProfileStore().getCommonProfile()->setBool("WindowsCursor", true);
    EXPECT_TRUE(activate());
    EXPECT_TRUE(shownOn(options->getFullscreenButton()));
    EXPECT_TRUE(shownOn(options->getCursorButton()));
    EXPECT_FLOAT_EQ(options->getSoundSlider()->getValue(), 30.0f);
    EXPECT_FLOAT_EQ(options->getMusicSlider()->getValue(), 30.0f);
    EXPECT_EQ(options->getMuteSoundButton()->getTemplateName(), makeNameId("Options_OnOffButtonRed"));
    EXPECT_TRUE(outlet.calls.empty());

    // Another scene's activation is not the options'.
    CountedRef<SceneActivatedEvent> other(new SceneActivatedEvent(options.get(), nullptr, true));
    EXPECT_FALSE(options->onSceneActivated(other.get()));
}

TEST_F(OptionsSceneTest, SoundAndMusicSwitchesAreStoredSavedAndApplied) {
    struct Case {
        const char* button;
        const char* key;
        const char* cueWhenOn;  // null: no cue
    };
    const Case cases[] = {
        {"MuteSoundButton", "SoundOn", "cue ButtonClick"},
        {"MuteMusicButton", "MusicOn", nullptr},
    };
    ProfileParameters* player = addCurrentPlayer(L"Ann");
    ASSERT_TRUE(activate());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        auto* button = nodeCast<ButtonNode>(panel->findChild(makeNameId(c.button), 1));
        for (bool on : {false, true}) {
            outlet.calls.clear();
            // The switch acts and lets the press go on up the tree.
            EXPECT_FALSE(press(c.button));
            EXPECT_EQ(shownOn(button), on);
            EXPECT_EQ(player->getBool(c.key), on);
            EXPECT_EQ(savedBool(c.key), on);
            ASSERT_FALSE(outlet.calls.empty());
            EXPECT_EQ(outlet.calls[0], "sound");
            // Only switching the sound on is heard.
            const bool cue = on && c.cueWhenOn;
            EXPECT_EQ(outlet.calls.size(), cue ? 2u : 1u);
            if (cue) {
                EXPECT_EQ(outlet.calls[1], c.cueWhenOn);
            }
        }
    }
}

TEST_F(OptionsSceneTest, DisplaySwitchesGoToTheSharedProfile) {
    ProfileParameters* player = addCurrentPlayer(L"Ann");
    ProfileParameters* common = getProfileStore().getCommonProfile();
    ASSERT_TRUE(activate());

    // Leaving full screen puts the chosen pointer back on the new window.
    EXPECT_FALSE(press("FullscreenButton"));
    EXPECT_EQ(outlet.calls, (std::vector<std::string>{"window", "game cursor"}));
    EXPECT_FALSE(shownOn(options->getFullscreenButton()));
    EXPECT_FALSE(common->getBool("FullScreen"));
    EXPECT_FALSE(player->find("FullScreen"));
    EXPECT_FALSE(savedCommonBool("FullScreen"));

    // Entering it does not.
    outlet.calls.clear();
    EXPECT_FALSE(press("FullscreenButton"));
    EXPECT_EQ(outlet.calls, (std::vector<std::string>{"full screen"}));
    EXPECT_TRUE(savedCommonBool("FullScreen"));

    outlet.calls.clear();
    EXPECT_FALSE(press("CursorButton"));
    EXPECT_EQ(outlet.calls, (std::vector<std::string>{"system cursor"}));
    EXPECT_TRUE(shownOn(options->getCursorButton()));
    EXPECT_TRUE(savedCommonBool("WindowsCursor"));
    outlet.calls.clear();
    EXPECT_FALSE(press("CursorButton"));
    EXPECT_EQ(outlet.calls, (std::vector<std::string>{"game cursor"}));
    EXPECT_FALSE(savedCommonBool("WindowsCursor"));
}

TEST_F(OptionsSceneTest, AFailedDisplaySwitchChangesNothing) {
    ASSERT_TRUE(activate());
    outlet.fullScreenWorks = false;
    EXPECT_FALSE(press("FullscreenButton"));
    EXPECT_EQ(outlet.calls, (std::vector<std::string>{"window"}));
    EXPECT_TRUE(shownOn(options->getFullscreenButton()));
    EXPECT_TRUE(getProfileStore().getCommonProfile()->getBool("FullScreen"));
}

TEST_F(OptionsSceneTest, SlidersStoreTheirValueAndOnlyTheSoundSliderPlaysASample) {
    ProfileParameters* player = addCurrentPlayer(L"Ann");
    ASSERT_TRUE(activate());
    EXPECT_FALSE(drag(options->getSoundSlider(), 80.0f));
    EXPECT_FLOAT_EQ(player->getFloat("SoundVolume"), 80.0f);
    EXPECT_FLOAT_EQ(savedFloat("SoundVolume"), 80.0f);
    // The sample is asked for only while it is not already playing.
    EXPECT_EQ(outlet.calls, (std::vector<std::string>{"sound", "cue SoundVolumeChange once"}));

    outlet.calls.clear();
    EXPECT_FALSE(drag(options->getMusicSlider(), 15.0f));
    EXPECT_FLOAT_EQ(player->getFloat("MusicVolume"), 15.0f);
    EXPECT_FLOAT_EQ(savedFloat("MusicVolume"), 15.0f);
    EXPECT_EQ(outlet.calls, (std::vector<std::string>{"sound"}));
}

TEST_F(OptionsSceneTest, BackEscAndEnterReturnToTheSceneBelowWithItsTransitions) {
    struct Case {
        int32_t below;
        const char* closing;
        const char* revealed;
    };
    const Case cases[] = {
        {1103, "NavBackFromSlide", "NavBackToSlide"},  // the main menu
        {1125, "NavBackFrom", "NavBackTo"},            // the pause menu over a level
    };
    for (const Case& c : cases) {
        for (const char* how : {"BackButton", "Esc", "Enter"}) {
            SCOPED_TRACE(std::to_string(c.below) + " " + how);
            CountedRef<KindScene> below(new KindScene(c.below));
            options = CountedRef<RecordingOptions>(new RecordingOptions());
            options->setOutlet(std::unique_ptr<game::OptionsOutlet>(new RecordingOutlet(outlet)));
            panel = new ControlNode(nullptr, options.get(), nullptr);
            panel->setName(makeNameId("Scene"));
            panel->release();
            options->onLoaded();
            manager->setScene(below.get());
            settle();
            ASSERT_TRUE(manager->pushScene(below.get(), options.get()));
            settle();
            below->played.clear();
            options->played.clear();

            const std::string way = how;
            EXPECT_TRUE(way == "BackButton" ? press(how) : key(way == "Esc" ? KeyCode::Escape : KeyCode::Enter));
            settle();
            EXPECT_EQ(manager->getTopScene(), below.get());
            EXPECT_TRUE(contains(options->played, c.closing));
            EXPECT_TRUE(contains(below->played, c.revealed));
            manager->setScene(nullptr);
            settle();
        }
    }
    EXPECT_FALSE(press("Title"));
    EXPECT_FALSE(key(32));
}
