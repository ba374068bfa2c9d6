// How long the game takes to start on the shipped content: the wall time from
// the game object's creation to the main menu being shown (its opening
// transition ended), and the CPU time of each of the intro's twelve loading
// steps. Run from the build folder under a display:
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench/startup_bench [content folder]
// The content folder defaults to the program's build folder.
#include "engine/content/CContentManager.h"
#include "engine/core/ContentType.h"
#include "engine/core/Event.h"
#include "engine/core/SceneManager.h"
#include "engine/platform/EngineDevice.h"
#include "game/app/GGameApp.h"
#include "game/app/GIntroScene.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

using namespace engine;
using namespace game;

namespace {

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Ends the loop once a scene other than the logos and the intro is shown.
class MenuWatch : public EventReceiver {
public:
    explicit MenuWatch(GGameApp* app) : app_(app) { setMask(EventCategory::System); }
    bool handleEvent(Event* event) override {
        if (event->getTypeId() != EventId::RenderEvent || shown) return false;
        SceneManager* manager = app_->getSceneManager(0);
        SceneNode* top = manager ? manager->getTopScene() : nullptr;
        if (top && !top->isOfType(1101) && !top->isOfType(1102) && !manager->isBusy(top)) {
            shown = true;
            getEngine()->closeDevice();
        }
        return false;
    }
    bool shown = false;

private:
    GGameApp* app_;
};

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path content = argc > 1 ? argv[1] : LODGEROO_RUNTIME_DIR;
    std::filesystem::current_path(content);
    const auto start = std::chrono::steady_clock::now();
    CountedRef<GGameApp> app(new GGameApp());
    if (!app->init()) {
        std::fprintf(stderr, "The game did not start from %s\n", content.c_str());
        return 1;
    }
    CountedRef<MenuWatch> watch(new MenuWatch(app.get()));
    getEngine()->addEventReceiver(watch.get(), 3);
    app->run();
    const double toMenuMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("start to main menu shown: %.0f ms%s\n", toMenuMs, watch->shown ? "" : " (menu never shown)");

    // The steps again on a fresh intro, each timed alone. The content
    // manager's cache was emptied, so each loads from the files as at start.
    app->getContentManager()->clearCache();
    CountedRef<Content> loaded(app->getContentManager()->load(ContentType::SceneNode, "scenes/IntroScene.oscn", false));
    GIntroScene* intro = nodeCast<GIntroScene>(loaded.get());
    if (!intro) {
        std::fprintf(stderr, "No intro scene to time the loading steps with\n");
        return 1;
    }
    double total = 0.0;
    for (uint32_t i = 0; i < GIntroScene::kStepCount; ++i) {
        const double before = cpuMs();
        (intro->*GIntroScene::kLoadingSteps[i].run)();
        const double spent = cpuMs() - before;
        total += spent;
        std::printf("loading step %2u: %8.2f ms CPU\n", i, spent);
    }
    std::printf("loading steps total: %.2f ms CPU\n", total);
    loaded.reset();
    getEngine()->removeEventReceiver(watch.get());
    getEngine()->removeEventReceiver(app.get());
    return 0;
}
