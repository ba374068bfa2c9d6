#pragma once
// The menu scenes in a real OpenGL window over the built content tree, with
// the game object's managers and configuration: the fixture of the map, shop
// and comics window tests. The window is 1024 x 768 unless sized; in another
// shape the scenes are letterboxed as the game shows them, and clicks are
// given in virtual-screen units. Shots of chosen moments go to
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
    MenuWindowTest(const wchar_t* caption, const char* shotPrefix, int32_t width = 1024, int32_t height = 768)
        : caption(caption), shotPrefix(shotPrefix), width(width), height(height) {}

    void SetUp() override {
        const std::string missing = openWindow(device_test::builtContentTree(), caption, width, height);
        if (!missing.empty()) SKIP_OR_FAIL_UNDER_CI() << missing;
        app = std::make_unique<game::GGameApp>();
        app->createManagers(device.get());
        game::theGameApp = app.get();
        game::setGameServices(app.get());
        drawer->managers = {app->getSceneManager(0)};
        game::Letterbox box;
        if (game::computeLetterbox(width, height, box)) {
            app->getSceneManager(0)->setPosition(box.position);
            app->getSceneManager(0)->setScale(box.scale);
            offset = vector2df(box.position.X, box.position.Y);
            scale = vector2df(box.scale.X, box.scale.Y);
        }
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
        const vector2df window = toWindow(at);
        const int32_t x = static_cast<int32_t>(window.X), y = static_cast<int32_t>(window.Y);
        hover(at);
        CountedRef<Event> down(new LeftButtonDownEvent(x, y));
        device->deliverEvent(down.get());
        CountedRef<Event> up(new LeftButtonUpEvent(x, y));
        device->deliverEvent(up.get());
    }
    void hover(const vector2df& at) {
        const vector2df window = toWindow(at);
        CountedRef<Event> move(new MouseMoveEvent(static_cast<int32_t>(window.X), static_cast<int32_t>(window.Y)));
        device->deliverEvent(move.get());
    }
    vector2df toWindow(const vector2df& at) const {
        return vector2df(offset.X + at.X * scale.X, offset.Y + at.Y * scale.Y);
    }
    device_test::ScriptStep shot(std::string name) {
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
    int32_t width;
    int32_t height;
    vector2df offset{0.0f, 0.0f};
    vector2df scale{1.0f, 1.0f};
};

}  // namespace menu_window_test
