#include "game/common/GameServices.h"

namespace game {

namespace {
GameServices* registered = nullptr;
}  // namespace

bool developerModeEnabled = false;

GameServices* gameServices() { return registered; }

void setGameServices(GameServices* services) { registered = services; }

}  // namespace game
