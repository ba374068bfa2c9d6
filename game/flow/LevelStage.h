#pragma once
// The scene a level is played on (the HUD, a floor above): the loading scene
// starts the level on it and the objectives scene starts its music. The flow
// scenes find it as the scene they load or cover, through this interface.
#include "engine/core/NameId.h"
#include "engine/core/Types.h"

namespace game {

class GGameLevelScene;

class LevelStage {
public:
    // Reads the level's files from the folder (text ending with "/") and
    // starts the level scene; false when the level cannot be started.
    virtual bool startLevel(const engine::stringc& folder, GGameLevelScene* level) = 0;
    // The level's music cue.
    virtual engine::NameId getMusicCue() const = 0;

protected:
    ~LevelStage() = default;
};

}  // namespace game
