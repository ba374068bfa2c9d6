#include "game/app/GameNodeKinds.h"

// No game node kind exists yet; the kinds join this table as they are written.
void registerGameNodeKinds() {}
