#pragma once
// Texts of the level-flow pop-ups.
#include "engine/core/Types.h"

namespace game {

// The dictionary's format of the key with one argument; the argument alone
// while no dictionary is installed.
engine::stringw formatKey(const char* key, const engine::stringw& argument);
// "- " and the formatted key: a line of a list of targets or results.
engine::stringw formatTarget(const char* key, const engine::stringw& argument);

}  // namespace game
