#pragma once
// What the scenes below the program's top need of the game object: its
// managers, the configuration holders it owns, the achievements tracker and a
// few actions on the window and the sound. The game object implements it and
// registers itself when it is set up; the scenes ask for it through
// gameServices() and do without when none is registered (scenes run alone in
// tests, or before the game is set up).
#include "engine/core/Types.h"

#include <cstdint>

namespace engine {
class CContentManager;
class SceneManager;
class TimerScheduler;
}  // namespace engine

namespace game {

class AchievementsTracker;
class BuildingsConfiguration;
class ComicsConfiguration;
class LevelScores;
class UpgradesConfiguration;

// A level's result as the level-completed hook receives it.
struct LevelResult {
    engine::stringw playerName;
    int32_t playTimeSeconds = 0;
    int32_t unused = 0;
};

class GameServices {
public:
    // Index 0 runs the menus, index 1 the level.
    virtual engine::TimerScheduler* getTimerScheduler(int index) const = 0;
    virtual engine::SceneManager* getSceneManager(int index) const = 0;
    virtual engine::CContentManager* getContentManager() const = 0;
    virtual ComicsConfiguration* getComicsConfiguration() const = 0;
    virtual LevelScores* getLevelScores() const = 0;
    virtual BuildingsConfiguration* getBuildingsConfiguration() const = 0;
    virtual UpgradesConfiguration* getUpgradesConfiguration() const = 0;
    virtual AchievementsTracker* getAchievementsTracker() const = 0;
    // How long the last engine step took, for the statistics line.
    virtual uint32_t getLastStepMs() const = 0;

    // The current player's volumes and music.
    virtual void applySoundSettings() = 0;
    // Full screen or a window; false when the new window cannot be had.
    virtual bool setFullScreen(bool fullscreen) = 0;
    // Draws one frame at once, before the next step (so a scene opened while
    // the window loses the focus is shown).
    virtual void redrawNow() = 0;
    // Hands a finished level's result to the game's hooks.
    virtual void reportLevelCompleted(const engine::stringc& levelName, const LevelResult& result) = 0;

    // The number of locations of the map last shown, 0 before any was: a
    // level end writes progress only for an index the map has.
    void setMapLocationCount(int32_t count) { mapLocationCount_ = count; }
    int32_t getMapLocationCount() const { return mapLocationCount_; }

protected:
    ~GameServices() = default;

private:
    int32_t mapLocationCount_ = 0;
};

// The registered game object, or null.
GameServices* gameServices();
// Registers the game object (null unregisters); the caller keeps it alive
// while it is registered.
void setGameServices(GameServices* services);

// Set once the developer code has been typed; never cleared by the game.
extern bool developerModeEnabled;

}  // namespace game
