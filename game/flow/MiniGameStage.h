#pragma once
// A mini-game scene as the loading scene sees it (the scenes live a floor
// above): a level folder whose "Level.oscn" root is one is not started under
// the HUD but reads its own configuration from the folder and is pushed above
// the loading scene.
#include "engine/core/Types.h"

#include <cstdint>

namespace game {

class MiniGameStage {
public:
    // The type id every mini-game scene answers is-a for.
    static constexpr int32_t kMiniGameSceneType = 1128;

    // Reads "MiniGameConfiguration.xml" from the folder (text ending with
    // "/"); false (logged) when the file cannot be opened.
    virtual bool loadConfiguration(const engine::stringc& folder) = 0;

protected:
    ~MiniGameStage() = default;
};

}  // namespace game
