// The program entry: one instance at a time, the content folder as the
// working directory, then the game object until its window closes.
#include "engine/core/Logger.h"
#include "engine/platform/CrashDump.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/SingleInstance.h"
#include "game/app/ContentLocation.h"
#include "game/app/GGameApp.h"

#include <clocale>

#ifndef LODGEROO_DATA_DIR
#error "LODGEROO_DATA_DIR must be defined by the build"
#endif

namespace {

// Both are in place before the entry runs.
engine::MiniDumper crashHandler(true, 0);
engine::SingleInstanceGuard instanceGuard("Lodgeroo Game Instance");

// Unregisters the game object from the device, drops the last reference to
// it, and then closes the engine.
void releaseGame(game::GGameApp* app) {
    engine::getEngine()->removeEventReceiver(app);
    app->release();
    engine::releaseEngineDevice();
}

}  // namespace

int main() {
    // Window captions need the user's character set; numbers stay in "C".
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    if (instanceGuard.isSecondInstance()) return 0;
    if (!game::enterContentFolder(LODGEROO_DATA_DIR)) return 1;

    game::GGameApp* app = new game::GGameApp();
    if (!app->init()) {
        engine::logError("Failed to initialize game");
        releaseGame(app);
        return 1;
    }
    instanceGuard.setWindow(engine::getEngine()->getWindowHandle());
    if (!app->run()) {
        engine::logError("Failed to run game");
        releaseGame(app);
        return 1;
    }
    releaseGame(app);
    return 0;
}
