#include "game/minigames/GMiniGameHiddenScene.h"
#include "engine/core/Event.h"
#include "engine/core/Logger.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TextRoutines.h"
#include "engine/particles/SpawnerNode.h"
#include "engine/visual/TextNode.h"
#include "game/config/ConfigReading.h"
#include "game/config/LevelPaths.h"
#include "game/minigames/HiddenObjects.h"
#include "game/world/HintParticlesNode.h"
#include "game/world/PathMovers.h"

#include <cmath>

namespace game {

using namespace engine;

GMiniGameHiddenScene::GMiniGameHiddenScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                           bool mostDerived)
    : GMiniGameScene(context, parent, manager, false), hintPaths_(new GLevelPaths()) {
    setPeriod(kTimerMs);
    linkToParent(parent, mostDerived);
}

GMiniGameHiddenScene::~GMiniGameHiddenScene() = default;

void GMiniGameHiddenScene::onLoaded() {
    GMiniGameScene::onLoaded();
    hitObjects_ = nullptr;
    objCountText_ = playTimeText_ = targetTimeText_ = nullptr;
    foundNode_ = nullptr;
    hintEffect_ = nullptr;
    hintTrail_ = nullptr;
    hintedObject_ = nullptr;
    BaseNode* scene = childNamed(this, "Scene");
    if (BaseNode* game = childNamed(scene, "Game")) {
        if (BaseNode* background = childNamed(game, "BgObjects")) {
            hintTrail_ = nodeCast<GPathMovableNode>(childNamed(background, "HintTrailNode"));
            foundNode_ = nodeCast<SpawnerNode>(childNamed(background, "FoundNode"));
            // The glow round the hinted object.
            hintEffect_ = nodeCast<GHOHintParticlesNode>(childNamed(background, "HintEffect"));
        }
        hitObjects_ = childNamed(game, "HitObjects");
    }
    if (BaseNode* ui = childNamed(scene, "UI")) {
        playTimeText_ = nodeCast<TextNode>(childNamed(ui, "TimeTarg"));
        targetTimeText_ = nodeCast<TextNode>(childNamed(ui, "TimeCurr"));
        objCountText_ = nodeCast<TextNode>(childNamed(ui, "ObjCount"));
    }
}

bool GMiniGameHiddenScene::routeToChildren(int32_t mode, Event* event) {
    if (event && event->getTypeId() == EventId::LeftButtonDownEvent) {
        const auto* click = static_cast<const MouseEvent*>(event);
        // The scene may leave the stack while it answers.
        CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
        pickObject(click->getX(), click->getY());
    }
    return GMiniGameScene::routeToChildren(mode, event);
}

bool GMiniGameHiddenScene::onSceneActivated(SceneActivatedEvent* event) {
    if (GMiniGameScene::onSceneActivated(event)) return true;
    if (!event || event->getSecondScene() != this) return false;
    playMusic();
    playTimeMs = 0;
    if (targetTimeText_) targetTimeText_->setText(formatMinutesSeconds(static_cast<uint32_t>(maxLevelTime)));
    if (objCountText_ && hitObjects_) showObjectsLeft();
    if (!hitObjects_ || hitObjects_->getChildCount() == 0) {
        // Without HitObjects the play cannot end but through the menu button;
        // with no children it ends at the first click of the play.
        getLogger().log("The hidden-object game has no objects to find",
                        hitObjects_ ? "Scene/Game/HitObjects is empty" : "Scene/Game/HitObjects is missing",
                        LOG_ERROR);
    }
    setPhase(Intro);
    return true;
}

bool GMiniGameHiddenScene::onNodePressed(NodePressedEvent* event) {
    if (GMiniGameScene::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node) return false;
    if (node->getName() == makeNameId("MenuButton")) {
        // The mini-game, the loading scene under it and the map that opened it.
        closeScene(2, navBackFromName(), navBackToName());
        return true;
    }
    if (node->getName() == makeNameId("HintButton")) {
        giveHint();
        return true;
    }
    return false;
}

bool GMiniGameHiddenScene::onTimer(uint32_t periodMs) {
    if (!GMiniGameScene::onTimer(periodMs)) return false;
    playTimeMs += periodMs;
    if (playTimeText_) playTimeText_->setText(formatMinutesSeconds(playTimeMs));
    if (hintCooldownMs_ > 0) {
        hintCooldownMs_ -= static_cast<int32_t>(periodMs);
        if (hintCooldownMs_ <= 0 && hintEffect_) hintEffect_->setState(makeNameId("HintOff"), nullptr);
    }
    if (hintTrail_) hintTrail_->update(periodMs);
    return true;
}

void GMiniGameHiddenScene::readExtraElement(XmlReader& reader) {
    if (reader.getNodeName() == L"HintPaths") readHintPathsElement(reader, *hintPaths_);
}

void GMiniGameHiddenScene::pickObject(int32_t x, int32_t y) {
    if (phase < Caption) return;
    if (phase == Caption) {
        setPhase(Playing);
        return;
    }
    if (phase != Playing || !hitObjects_) return;
    const vector2df point(static_cast<float>(x), static_cast<float>(y));
    BaseNode* found = nullptr;
    for (uint32_t i = 0; i < hitObjects_->getChildCount() && !found; ++i) {
        BaseNode* object = hitObjects_->getChild(i);
        if (object->findNodeAt(point)) found = object;
    }
    if (found) {
        if (found == hintedObject_) {
            hintedObject_ = nullptr;
            hintCooldownMs_ = -1;
            if (hintEffect_) hintEffect_->setState(makeNameId("HintOff"), nullptr);
            if (hintTrail_) hintTrail_->stop();
        }
        getLogger().log("Hidden object was found", nameOfId(found->getName()).c_str(), LOG_DEBUG);
        showFoundEffect(*this, foundNode_, *found);
        CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(found);
        hitObjects_->removeChild(found);
        keep.reset();
        if (objCountText_) showObjectsLeft();
        playCue("ObjFound");
    }
    // A click after the last find (the results scene still opening above)
    // must not end the play again.
    if (hitObjects_->getChildCount() == 0 && !isPlayCompleted()) completePlay();
}

void GMiniGameHiddenScene::giveHint() {
    playCue("HOHint");
    if (hitObjects_ && hitObjects_->getChildCount() > 0 && !hintedObject_) {
        const uint32_t index = getRandomGenerator().nextMWC() % hitObjects_->getChildCount();
        hintedObject_ = hitObjects_->getChild(index);
    }
    if (!hintedObject_ || hintCooldownMs_ > 0) return;
    hintCooldownMs_ = kHintCooldownMs;
    const vector3df& size = hintedObject_->getBounds();
    if (hintEffect_) {
        hintEffect_->setPosition(hintedObject_->getPosition() + size * 0.5f);
        GHOHintParticlesNode::Settings& settings = hintEffect_->settings();
        settings.emitRadiusXRange = vector2df(size.X * 0.5f, size.X * 0.5f);
        settings.emitRadiusYRange = vector2df(size.Y * 0.5f, size.Y * 0.5f);
        settings.pps = static_cast<int32_t>(std::sqrt(std::trunc(size.X * size.Y)));
        hintEffect_->clearParticles();
        hintEffect_->setState(makeNameId("HintOn"), nullptr);
    }
    if (!hintTrail_) return;
    GLevelPath* path = hintPaths_->randomCarPath(hintedObject_->getName());
    std::vector<vector2df> points;
    if (!path || !hintWalkPoints(*path, 1, nameOfId(hintedObject_->getName()).c_str(), points)) return;
    hintTrail_->setSpeed(kHintTrailSpeed);
    hintTrail_->start(points, makeNameId("HintFinished"), true, false);
}

void GMiniGameHiddenScene::showObjectsLeft() {
    objCountText_->setText(widen(numberText(static_cast<int32_t>(hitObjects_->getChildCount()))));
}

void GMiniGameHiddenScene::completePlay() {
    score = expertScore;
    complete();
}

}  // namespace game
