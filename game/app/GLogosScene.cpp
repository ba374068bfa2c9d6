#include "game/app/GLogosScene.h"
#include "engine/core/MathRoutines.h"
#include "engine/content/Dictionary.h"
#include "engine/core/IContentManager.h"
#include "engine/core/ContentType.h"
#include "engine/core/Logger.h"
#include "engine/core/SceneManager.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/SpriteNode.h"
#include "game/app/GGameApp.h"
#include "game/app/GLogosConfiguration.h"

namespace game {

using namespace engine;

namespace {

const char* const kIntroScene = "scenes/IntroScene.oscn";

}  // namespace

GLogosScene::GLogosScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

void GLogosScene::onLoaded() {
    logoSprites_[0] = logoSprites_[1] = nullptr;
    BaseNode* scene = findChild(makeNameId("Scene"), 1);
    if (!scene) return;
    logoSprites_[0] = nodeCast<SpriteNode>(scene->findChild(makeNameId("Logo1"), 1));
    logoSprites_[1] = nodeCast<SpriteNode>(scene->findChild(makeNameId("Logo2"), 1));
}

bool GLogosScene::onSceneActivated(SceneActivatedEvent* event) {
    if (GBaseSceneNode::onSceneActivated(event)) return true;
    if (!event || event->getSecondScene() != this) return false;
    applyTitle();
    return true;
}

bool GLogosScene::onSceneEvent37(SceneTransitionEndEvent* event) {
    if (GBaseSceneNode::onSceneEvent37(event)) return true;
    if (!event || event->getSecondScene() != this) return false;
    showNextLogo();
    return true;
}

bool GLogosScene::routeToChildren(int32_t mode, Event* event) {
    if (event && event->getTypeId() == EventId::LeftButtonDownEvent)
        return onMouseDown(static_cast<LeftButtonDownEvent*>(event));
    return GBaseSceneNode::routeToChildren(mode, event);
}

bool GLogosScene::onMouseDown(LeftButtonDownEvent*) {
    if (skippable_) {
        timeLeftMs_ = 0;
        skippable_ = false;
    }
    return true;
}

void GLogosScene::applyTitle() {
    EngineDevice* engine = getEngine();
    stringw title(L"Lodgeroo");
    if (Dictionary* dictionary = engine->getDictionary()) {
        dictionary->load("strings/Dictionary.xml");
        const stringw text = dictionary->lookup("TitleName");
        if (!text.empty()) title = text;
    }
    engine->getSettings()->setStringW("TitleCaption", title);
    engine->setWindowCaption(title);
}

void GLogosScene::showNextLogo() {
    SpriteNode* previous = logoSprites_[0];
    SpriteNode* current = logoSprites_[1];
    const NameId swap = makeNameId("Swap");
    std::deque<LogoEntry>* logos = theGameApp ? &theGameApp->getLogosConfiguration()->logos : nullptr;
    if (logos && !logos->empty()) {
        const LogoEntry entry = logos->front();
        IContentManager* content = getContentManager();
        CountedRef<Content> loaded(content ? content->load(ContentType::AtlasTexture, entry.image, true) : nullptr);
        AtlasTextureContent* texture = dynamic_cast<AtlasTextureContent*>(loaded.get());
        timeLeftMs_ = entry.timeMs;
        skippable_ = entry.skippable;
        logos->pop_front();
        if (current) {
            if (previous) {
                previous->setState(swap, nullptr);
                previous->setAtlasTexture(current->getAtlasTexture());
            }
            current->setState(current->getAtlasTexture() ? swap : makeNameId("Swap0"), nullptr);
            current->setAtlasTexture(texture);
        }
        return;
    }
    if (current) {
        if (previous) {
            previous->setState(swap, nullptr);
            previous->setAtlasTexture(current->getAtlasTexture());
        }
        current->setAtlasTexture(nullptr);
    }
    finished_ = true;
    timeLeftMs_ = 1000;
}

bool GLogosScene::onTimer(uint32_t periodMs) {
    GBaseSceneNode::onTimer(periodMs);
    timeLeftMs_ -= engine::saturatingInt(periodMs);
    if (timeLeftMs_ >= 0) return true;
    const bool logosLeft = theGameApp && !theGameApp->getLogosConfiguration()->logos.empty();
    if (logosLeft || !finished_) {
        showNextLogo();
        return true;
    }
    const SceneTransitionNames& names = sceneTransitionNames();
    if (openScene(kIntroScene, false, names.navFrom, names.navTo)) return false;
    // Without the intro the game would stay on an empty screen: say so once
    // and try again on the following calls.
    if (!introFailureLogged_) {
        introFailureLogged_ = true;
        getLogger().log("Could not open the intro scene", kIntroScene, LOG_ERROR);
    }
    return true;
}

}  // namespace game
