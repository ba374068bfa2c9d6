#pragma once
#include "engine/core/NameId.h"

namespace engine {

// The game's 40 sound cues, in the order that gives them name ids 1 to 40.
constexpr int kSoundCueCount = 40;
extern const char* const kSoundCueNames[kSoundCueCount];

// Name id of the cue at position index (0 based): always index + 1.
inline NameId soundCueId(int index) { return index + 1; }

}  // namespace engine
