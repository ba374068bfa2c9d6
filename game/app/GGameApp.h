#pragma once
// The game object: the first receiver of every engine event. It sets the
// engine up, opens the window, makes the managers the scenes run on, owns the
// configuration holders and the achievements tracker, draws each frame with
// the letterbox bars that fit the 1024 x 768 virtual screen to the real one,
// pauses the sound while the window lacks the focus, and answers the
// developer keys.
#include "engine/core/EventMap.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/Types.h"
#include "engine/platform/DeviceParameters.h"
#include "game/app/PlayerNotices.h"
#include "game/common/GameServices.h"

#include <functional>
#include <string>

namespace engine {
class CContentManager;
class EngineDeviceBase;
class SceneManager;
class TimerScheduler;
class XmlReader;
}  // namespace engine

namespace game {

class AchievementsTracker;
class BuildingsConfiguration;
class ComicsConfiguration;
class GLogosConfiguration;
class LevelScores;
class UpgradesConfiguration;

// Hooks without behaviour of their own.
class AppHooks : public virtual engine::RefCounted {
public:
    bool onLoadingDone() { return true; }
    bool onShutdown() { return true; }
    void onLevelCompleted(const engine::stringc&, const LevelResult&) {}
};

// Where the letterbox puts the virtual screen: the two bars in screen pixels
// (left, top, right, bottom), and the scene manager's position and scale.
struct Letterbox {
    engine::recti bars[2];
    engine::vector3df position;
    engine::vector3df scale;
};

// The letterbox of a screen of width x height pixels; false (nothing
// computed) for a screen without area.
bool computeLetterbox(int32_t width, int32_t height, Letterbox& out);

// The size of the game's window when it is not full screen, on a screen of
// screenWidth x screenHeight pixels: the virtual screen's 1024 x 768 where it
// fits, else the largest 4:3 size that does (the letterbox scales the
// picture into it). A screen of unknown size (0) gets 1024 x 768.
void windowSizeForScreen(int32_t screenWidth, int32_t screenHeight, int32_t& width, int32_t& height);

// Whether typing this character completes the developer code, given the keys
// typed before (at most the last eight kept, a key without character as 0).
bool typeDeveloperKey(std::string& typedKeys, int32_t character);

class GGameApp : public engine::EventReceiver, public GameServices {
    ENGINE_DECLARE_EVENT_MAP(GGameApp)

public:
    static constexpr float kVirtualWidth = 1024.0f;
    static constexpr float kVirtualHeight = 768.0f;

    GGameApp();
    ~GGameApp() override;

    GGameApp(const GGameApp&) = delete;
    GGameApp& operator=(const GGameApp&) = delete;

    // Everything up to the logos scene; false when the window or the logos
    // scene cannot be had.
    bool init();
    // The engine loop; true when the window was closed normally.
    bool run();
    // The current player's volumes and music.
    void applySoundSettings() override;
    // Rebuilds the window in full screen (a desktop-sized window) or as a
    // window, the other creation parameters kept. When the new window cannot
    // be had the old parameters are applied again and the answer is false.
    bool setFullScreen(bool fullscreen) override;
    void updateLetterbox();
    void redrawNow() override;
    void reportLevelCompleted(const engine::stringc& levelName, const LevelResult& result) override;
    void emptyHook(const engine::stringc&) {}

    // Parts of init, in their order.
    void setEngineSettings();
    void setProfileDefaults();
    // The content manager, the two timer schedulers and the two scene
    // managers, registered with the device.
    void createManagers(engine::EngineDeviceBase* device);
    void mountAssets();
    void setUpSoundGroups();

    // The configuration files the intro reads, and the developer reload.
    void loadGameConfiguration();
    void loadComicsConfiguration();
    void reloadConfiguration();
    // Writes the current frame as "screenshot<N>.jpg" into the user data folder.
    void takeScreenshot();

    // ---- Event handlers --------------------------------------------------
    bool ignoreEvent(engine::Event* event);
    bool onVideoDriverCreated(engine::VideoDriverCreatedEvent* event);
    bool onUpdate(engine::UpdateEvent* event);
    bool onRender(engine::RenderEvent* event);
    bool onWindowFocus(engine::WindowFocusEvent* event);
    bool onCloseRequest(engine::CEventSystemFlowCloseRequest* event);
    bool onKeyDown(engine::KeyDownEvent* event);

    // ---- Access ------------------------------------------------------------
    const engine::vector2df& getVirtualScreenSize() const { return virtualScreenSize_; }
    const engine::recti& getBarRect(int index) const { return barRects_[index]; }
    const engine::DeviceParameters& getCreationParameters() const { return creationParameters_; }
    engine::TimerScheduler* getTimerScheduler(int index) const override { return schedulers_[index]; }
    engine::SceneManager* getSceneManager(int index) const override { return sceneManagers_[index]; }
    engine::CContentManager* getContentManager() const override { return contentManager_; }
    GLogosConfiguration* getLogosConfiguration() const { return logos_; }
    ComicsConfiguration* getComicsConfiguration() const override { return comics_; }
    LevelScores* getLevelScores() const override { return levelScores_; }
    BuildingsConfiguration* getBuildingsConfiguration() const override { return buildings_; }
    UpgradesConfiguration* getUpgradesConfiguration() const override { return upgrades_; }
    AchievementsTracker* getAchievementsTracker() const override { return achievements_; }
    AppHooks* getHooks() const { return hooks_; }
    uint32_t getLastStepMs() const override { return lastStepMs_; }
    const std::string& getTypedKeys() const { return typedKeys_; }

private:
    // Opens the file through the file system and hands its reader to the
    // holder; false when it does not open or is not XML (logged by the reader).
    bool readConfigurationFile(const char* path, const std::function<void(engine::XmlReader&)>& read);
    void fillCreationParameters();
    void installCursor();
    void readLogos();

    engine::vector2df virtualScreenSize_{kVirtualWidth, kVirtualHeight};
    engine::recti barRects_[2];
    engine::DeviceParameters creationParameters_;
    engine::TimerScheduler* schedulers_[2] = {nullptr, nullptr};      // one reference each
    engine::SceneManager* sceneManagers_[2] = {nullptr, nullptr};     // one reference each
    engine::CContentManager* contentManager_ = nullptr;               // one reference
    engine::EngineDeviceBase* registry_ = nullptr;                    // where the managers are registered
    GLogosConfiguration* logos_;
    ComicsConfiguration* comics_;
    LevelScores* levelScores_;
    BuildingsConfiguration* buildings_;
    UpgradesConfiguration* upgrades_;
    AchievementsTracker* achievements_;
    AppHooks* hooks_;
    uint32_t lastStepMs_ = 0;
    // Damaged game files and saved-progress troubles, told once each.
    PlayerNotices notices_;
    std::string typedKeys_;
    bool screenshotPending_ = false;
};

// The one game object, set by init; nothing clears it.
extern GGameApp* theGameApp;

}  // namespace game
