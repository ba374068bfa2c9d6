#pragma once
// What the player must be told though nothing asked: a game file the game
// could not use (reported through engine::reportContentProblem) and saved
// progress that was restored, lost or cannot be saved (the profile store's
// notices). Each is shown once, in a one-button message box over the top
// scene, when that scene is at rest.
#include "engine/content/ProfileStore.h"
#include "engine/core/Types.h"
#include <string>

namespace engine {
class SceneManager;
class SceneNode;
}  // namespace engine

namespace game {

// The message box template the notices use.
extern const char* const kNoticeTemplate;

struct NoticeTexts {
    engine::stringw title;
    engine::stringw body;
    engine::stringw button;
};

// The texts, from the dictionary when it has them, else in English; ready to
// be shown as they stand (a "%" of a file name does not start a key).
NoticeTexts contentProblemTexts(const std::string& file);
NoticeTexts profileNoticeTexts(const engine::ProfileNotice& notice);

// Shows the texts over the scene; false when the manager cannot show a box
// there now (busy, no template yet).
bool showNotice(engine::SceneManager& manager, engine::SceneNode& owner, const NoticeTexts& texts);

// Holds the next notice until it is shown: profile notices first (the
// player's own data), then content problems in the order met.
class PlayerNotices {
public:
    // Shows the next waiting notice when the top scene is at rest and is
    // neither a message box nor one of the start scenes (logos, and the intro
    // while it loads). True when one was shown.
    bool showNext(engine::SceneManager* manager);

private:
    engine::ProfileNotice profile_;
};

}  // namespace game
