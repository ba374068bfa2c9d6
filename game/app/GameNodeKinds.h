#pragma once
// The game's node kinds for the node factory: the five that scene files read
// before the intro may use, and the 47 that the intro's first loading step
// registers. Registering is idempotent: a kind already present keeps its
// first creator.
#include "engine/core/NodeFactory.h"
#include "engine/core/Types.h"

namespace game {

struct GameNodeKind {
    const wchar_t* name;
    int32_t typeId;
    // Null while the kind's class is not part of the game yet.
    engine::NodeFactory::NodeCreator creator;
};

// The kinds of the start-up scenes ("GDebugStatsScene", "GLogosScene",
// "GIntroScene", "GQuitConfirmationScene", "GRectangleNode").
const GameNodeKind* startupNodeKinds(size_t& count);
// The 47 kinds the intro registers, in their order.
const GameNodeKind* gameNodeKinds(size_t& count);

// Registers the kinds of the list whose class exists.
void registerKinds(const GameNodeKind* kinds, size_t count);
// Registers the start-up kinds whose class exists.
void registerStartupNodeKinds();

}  // namespace game

// Registers each of the 47 game kinds whose class exists (the intro's first
// loading step; the content check tool calls it too).
void registerGameNodeKinds();
