#pragma once
// The menu scenes in a real 1024 x 768 OpenGL window over the built content
// tree, with the game object's managers and configuration: the fixture of the
// map and shop window tests. Shots of chosen moments go to
// screenshots/<prefix><moment>.png in the test's folder; no player is left
// behind in the profile store.
#include "engine/content/CContentManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/Event.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/ImageManager.h"
#include "game/app/GGameApp.h"
#include "platform/DeviceTestSupport.h"
#include "support/DisplayTestSupport.h"
#include "support/GameWindowTestSupport.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace menu_window_test {

using namespace engine;

class MenuWindowTest : public ::testing::Test, protected device_test::GameWindow {
protected:
    MenuWindowTest(const wchar_t* caption, const char* shotPrefix) : caption(caption), shotPrefix(shotPrefix) {}

    void SetUp() override {
        const std::string missing = openWindow(device_test::builtContentTree(), caption);
        if (!missing.empty()) SKIP_OR_FAIL_UNDER_CI() << missing;
        app = std::make_unique<game::GGameApp>();
        app->createManagers(device.get());
        game::theGameApp = app.get();
        game::setGameServices(app.get());
        drawer->managers = {app->getSceneManager(0)};
        drawer->beforeEnd = [this] {
            if (shotName.empty()) return;
            CountedRef<Image> frame(device->createScreenShot());
            device_test::writeShot(device.get(), frame.get(), std::string("screenshots/") + shotPrefix + shotName + ".png");
            lastShot = frame;
            shotName.clear();
        };
        clearPlayers();
    }

    void TearDown() override {
        if (app) app->getSceneManager(0)->setScene(nullptr);
        start.reset();
        atlases.clear();
        lastShot.reset();
        game::theGameApp = nullptr;
        game::setGameServices(nullptr);
        app.reset();
        closeWindow();
        clearPlayers();
    }

    static void clearPlayers() {
        ProfileStore& store = getProfileStore();
        while (store.getProfileCount() > 0) store.removeProfile(0);
    }

    void loadContent() {
        CContentManager* content = app->getContentManager();
        ASSERT_NO_FATAL_FAILURE(device_test::loadIntroContent(device.get(), content, device_test::builtContentTree(), atlases));
        CountedRef<BaseNode> templates(content->loadSceneNode("scenes/TemplateCollection.oscn", false));
        auto* collection = nodeCast<TemplateCollectionNode>(templates.get());
        ASSERT_TRUE(collection);
        app->getSceneManager(0)->setTemplateCollection(collection);
        app->loadGameConfiguration();
    }

    void click(const vector2df& at) {
        const int32_t x = static_cast<int32_t>(at.X), y = static_cast<int32_t>(at.Y);
        hover(at);
        CountedRef<Event> down(new LeftButtonDownEvent(x, y));
        device->deliverEvent(down.get());
        CountedRef<Event> up(new LeftButtonUpEvent(x, y));
        device->deliverEvent(up.get());
    }
    void hover(const vector2df& at) {
        CountedRef<Event> move(new MouseMoveEvent(static_cast<int32_t>(at.X), static_cast<int32_t>(at.Y)));
        device->deliverEvent(move.get());
    }
    device_test::ScriptStep shot(const char* name) {
        return {std::string("shot ") + name, [this, name] { shotName = name; }, [this] { return shotName.empty(); }};
    }

    testing_support::LogCapture log;
    std::unique_ptr<game::GGameApp> app;
    std::vector<CountedRef<Content>> atlases;
    CountedRef<SceneNode> start;
    std::string shotName;
    CountedRef<Image> lastShot;

private:
    const wchar_t* caption;
    const char* shotPrefix;
};

}  // namespace menu_window_test
