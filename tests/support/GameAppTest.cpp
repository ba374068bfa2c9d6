#include "support/GameAppTest.h"

#include "engine/content/CContentManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/ContentType.h"
#include "engine/core/Event.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/platform/EngineDevice.h"
#include "game/app/GameNodeKinds.h"
#include "game/common/GameServices.h"

#include <cstdlib>

using namespace engine;

namespace testing_support {

void GameAppTest::enterFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    previousDataHome_ = data ? data : "";
    hadDataHome_ = data != nullptr;
    setenv("XDG_DATA_HOME", folder.file("data").c_str(), 1);
    previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    entered_ = true;
}

void GameAppTest::createApp(bool loadConfiguration) {
    game::registerStartupNodeKinds();
    ::registerGameNodeKinds();
    app = CountedRef<game::GGameApp>(new game::GGameApp());
    game::theGameApp = app.get();
    game::setGameServices(app.get());
    app->createManagers(getEngine());
    if (loadConfiguration) app->loadGameConfiguration();
}

void GameAppTest::useTemplates(const char* path) {
    CountedRef<Content> templates(app->getContentManager()->load(ContentType::SceneNode, path, true));
    manager()->setTemplateCollection(nodeCast<TemplateCollectionNode>(templates.get()));
}

void GameAppTest::addPlayer() {
    clearPlayers();
    ProfileStore& store = getProfileStore();
    ASSERT_TRUE(store.addProfile(L"Ann"));
    store.selectProfile(0);
    player = store.getCurrentProfile();
}

void GameAppTest::clearPlayers() {
    ProfileStore& store = getProfileStore();
    while (store.getProfileCount() > 0) store.removeProfile(0);
}

void GameAppTest::showStart(game::GBaseSceneNode* scene) {
    start = CountedRef<game::GBaseSceneNode>(scene);
    manager()->setScene(start.get());
    update(10);
}

void GameAppTest::TearDown() {
    if (app) {
        for (int32_t i = 0; i < 2; ++i) {
            if (SceneManager* m = app->getSceneManager(i)) m->setScene(nullptr);
        }
        update(10);
    }
    start.reset();
    app.reset();
    game::theGameApp = nullptr;
    game::setGameServices(nullptr);
    clearPlayers();
    player = nullptr;
    if (entered_) {
        std::filesystem::current_path(previousFolder_);
        if (hadDataHome_) {
            setenv("XDG_DATA_HOME", previousDataHome_.c_str(), 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
        entered_ = false;
    }
}

SceneManager* GameAppTest::manager() const { return app->getSceneManager(0); }
SceneNode* GameAppTest::top() const { return manager()->getTopScene(); }

const CreationContext& GameAppTest::context() {
    context_ = CreationContext(app->getContentManager(), "");
    return context_;
}

void GameAppTest::update(uint32_t ms) {
    CountedRef<UpdateEvent> event(new UpdateEvent(ms));
    getEngine()->deliverEvent(event.get());
}

void GameAppTest::advance(uint32_t ms) {
    for (uint32_t done = 0; done < ms; done += 10) update(10);
}

bool GameAppTest::runUntil(const std::function<bool()>& done, uint32_t limitMs) {
    for (uint32_t t = 0; t < limitMs; t += 10) {
        if (done()) return true;
        update(10);
    }
    return done();
}

bool GameAppTest::press(EventReceiver& receiver, BaseNode* node) {
    CountedRef<NodePressedEvent> event(new NodePressedEvent(node));
    return receiver.handleEvent(event.get());
}

bool GameAppTest::press(EventReceiver& receiver, const char* name) {
    CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
    node->setName(makeNameId(name));
    return press(receiver, node.get());
}

bool GameAppTest::keyUp(EventReceiver& receiver, int32_t key) {
    CountedRef<KeyUpEvent> event(new KeyUpEvent(0, key, false, false));
    return receiver.handleEvent(event.get());
}

}  // namespace testing_support
