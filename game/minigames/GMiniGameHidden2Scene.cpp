#include "game/minigames/GMiniGameHidden2Scene.h"
#include "engine/core/ContentType.h"
#include "engine/core/Event.h"
#include "engine/core/IContentManager.h"
#include "engine/core/Logger.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TextRoutines.h"
#include "engine/particles/ParticleSystemNode.h"
#include "engine/particles/SpawnerNode.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/config/ConfigReading.h"
#include "game/config/LevelPaths.h"
#include "game/minigames/HiddenObjects.h"
#include "game/world/PathMovers.h"

#include <cmath>

namespace game {

using namespace engine;

namespace {

const char* const kPreviewFolder = "levels/minigame_hidden2/Preview/";

}  // namespace

GMiniGameHidden2Scene::GMiniGameHidden2Scene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                             bool mostDerived)
    : GMiniGameScene(context, parent, manager, false), hintPaths_(new GLevelPaths()) {
    setPeriod(kTimerMs);
    linkToParent(parent, mostDerived);
}

GMiniGameHidden2Scene::~GMiniGameHidden2Scene() = default;

void GMiniGameHidden2Scene::onLoaded() {
    GMiniGameScene::onLoaded();
    currentIndex_ = 0;
    findOrder_.clear();
    hintTrail_ = nullptr;
    foundNode_ = nullptr;
    playTimeText_ = targetTimeText_ = objCountText_ = nullptr;
    previewImage_ = nullptr;
    BaseNode* scene = childNamed(this, "Scene");
    if (BaseNode* game = childNamed(scene, "Game")) {
        if (BaseNode* background = childNamed(game, "BgObjects")) {
            hintTrail_ = nodeCast<GPathMovableNode>(childNamed(background, "HintTrailNode"));
            foundNode_ = nodeCast<SpawnerNode>(childNamed(background, "FoundNode"));
        }
        if (BaseNode* objects = childNamed(game, "HitObjects")) {
            // Every object once, in a uniformly random order.
            std::vector<BaseNode*> left;
            for (uint32_t i = 0; i < objects->getChildCount(); ++i) left.push_back(objects->getChild(i));
            while (!left.empty()) {
                const size_t i = getRandomGenerator().nextMT() % left.size();
                findOrder_.push_back(left[i]);
                left[i] = left.back();
                left.pop_back();
            }
        }
    }
    if (BaseNode* ui = childNamed(scene, "UI")) {
        playTimeText_ = nodeCast<TextNode>(childNamed(ui, "TimeTarg"));
        targetTimeText_ = nodeCast<TextNode>(childNamed(ui, "TimeCurr"));
        objCountText_ = nodeCast<TextNode>(childNamed(ui, "ObjCount"));
        previewImage_ = nodeCast<SpriteNode>(childNamed(ui, "PrevewImage"));
        if (previewImage_) {
            previewImage_->setImageStretchX(2);
            previewImage_->setImageStretchY(2);
        }
    }
}

bool GMiniGameHidden2Scene::routeToChildren(int32_t mode, Event* event) {
    if (event && event->getTypeId() == EventId::LeftButtonDownEvent) {
        const auto* click = static_cast<const MouseEvent*>(event);
        CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
        pickItem(click->getX(), click->getY());
    } else if (event && event->getTypeId() == EventId::MouseMoveEvent) {
        const auto* move = static_cast<const MouseEvent*>(event);
        onMouseMove(move->getX(), move->getY());
    }
    return GMiniGameScene::routeToChildren(mode, event);
}

bool GMiniGameHidden2Scene::onSceneActivated(SceneActivatedEvent* event) {
    if (GMiniGameScene::onSceneActivated(event)) return true;
    if (!event || event->getSecondScene() != this) return false;
    playMusic();
    currentIndex_ = 0;
    playTimeMs = 0;
    if (targetTimeText_) targetTimeText_->setText(formatMinutesSeconds(static_cast<uint32_t>(maxLevelTime)));
    if (objCountText_) objCountText_->setText(L"0");
    // The intro starts the play before the objects are counted: a play
    // without objects then completes as a play of its own.
    setPhase(Intro);
    showCurrentItem(true);
    return true;
}

bool GMiniGameHidden2Scene::onNodePressed(NodePressedEvent* event) {
    if (GMiniGameScene::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node) return false;
    if (node->getName() == makeNameId("MenuButton")) {
        closeScene(2, navBackFromName(), navBackToName());
        return true;
    }
    if (node->getName() == makeNameId("HintButton")) {
        playCue("HOHint");
        if (getCurrentObject() && trailIdle()) startHint(getCurrentObject(), kButtonHintPasses);
        return true;
    }
    return false;
}

bool GMiniGameHidden2Scene::onTimer(uint32_t periodMs) {
    if (!GMiniGameScene::onTimer(periodMs)) return false;
    playTimeMs += periodMs;
    if (playTimeText_) playTimeText_->setText(formatMinutesSeconds(playTimeMs));
    if (hintTrail_) {
        hintTrail_->update(periodMs);
        if (cursorOnCurrent_ && getCurrentObject() && trailIdle()) startHint(getCurrentObject(), kHoverHintPasses);
    }
    if (completionDue_) {
        completionDue_ = false;
        if (!isPlayCompleted()) {
            score = expertScore;
            complete();
        }
    }
    return true;
}

void GMiniGameHidden2Scene::readExtraElement(XmlReader& reader) {
    const stringw& name = reader.getNodeName();
    if (name == L"ItemsToFind") {
        readItemsToFind(reader);
    } else if (name == L"HintPaths") {
        readHintPathsElement(reader, *hintPaths_);
    } else if (name == L"HintTrailVelocity") {
        hintTrailVelocity_ = reader.getAttributeValueAsFloat(L"Value", 0.0f);
        // A negative speed would walk the trail backwards off its path.
        if (!(hintTrailVelocity_ >= 0.0f) || std::isinf(hintTrailVelocity_)) {
            getLogger().log("HintTrailVelocity out of range; the trail stands still",
                            narrow(reader.getAttributeValue(L"Value")).c_str(), LOG_ERROR);
            hintTrailVelocity_ = 0.0f;
        }
    } else if (name == L"HintTrailPPS") {
        hintTrailPps_ = reader.getAttributeValueAsInt(L"Value", 0);
        if (hintTrailPps_ < 0) {
            getLogger().log("HintTrailPPS out of range; the trail emits nothing",
                            narrow(reader.getAttributeValue(L"Value")).c_str(), LOG_ERROR);
            hintTrailPps_ = 0;
        }
    }
}

void GMiniGameHidden2Scene::readItemsToFind(XmlReader& reader) {
    itemsToFind_.clear();
    if (reader.finishEmptyElement()) return;
    const int32_t depth = reader.getDepth();
    while (reader.readInside(depth)) {
        if (reader.getNodeType() != irr::io::EXN_ELEMENT || reader.getNodeName() != L"Item") continue;
        const stringc name = narrow(reader.getAttributeValue(L"Name"));
        if (!name.empty()) itemsToFind_[makeNameId(name)] = narrow(reader.getAttributeValue(L"Filename"));
    }
}

BaseNode* GMiniGameHidden2Scene::getCurrentObject() const {
    return currentIndex_ >= 0 && static_cast<size_t>(currentIndex_) < findOrder_.size() ? findOrder_[currentIndex_]
                                                                                       : nullptr;
}

stringc GMiniGameHidden2Scene::previewPath(BaseNode* object) const {
    stringc file;
    if (object) {
        auto entry = itemsToFind_.find(object->getName());
        if (entry != itemsToFind_.end()) file = entry->second;
    }
    return stringc(kPreviewFolder) + file + ".png";
}

bool GMiniGameHidden2Scene::trailIdle() const { return hintTrail_ && !hintTrail_->isWalking(); }

void GMiniGameHidden2Scene::showCurrentItem(bool activating) {
    const size_t count = findOrder_.size();
    if (static_cast<size_t>(currentIndex_) >= count) {
        if (count == 0) {
            getLogger().log("The hidden-object game has no objects to find", "Scene/Game/HitObjects", LOG_ERROR);
        } else {
            // Nothing is left to ask for: the bar behind the results says so.
            if (objCountText_) objCountText_->setText(L"0");
            if (previewImage_) previewImage_->setVisible(false);
        }
        if (activating) {
            // Opening the results scene now would push a scene from inside
            // this scene's own activation; the next tick does it.
            completionDue_ = true;
        } else if (!isPlayCompleted()) {
            score = expertScore;
            complete();
        }
        return;
    }
    if (objCountText_) objCountText_->setText(widen(numberText(static_cast<int32_t>(count - currentIndex_))));
    if (previewImage_) {
        IContentManager* content = getContentManager();
        Content* loaded = content ? content->load(ContentType::AtlasTexture, previewPath(getCurrentObject()), true)
                                  : nullptr;
        previewImage_->setAtlasTexture(dynamic_cast<AtlasTextureContent*>(loaded));
        previewImage_->setVisible(true);
        if (loaded) loaded->release();
        previewImage_->updateAbsoluteTransform();
        previewImage_->updateAbsoluteColor();
        const vector3df& size = previewImage_->getBounds();
        previewImage_->setPivotPoint(vector2df(std::floor(size.X * 0.5f + 0.5f), std::floor(size.Y * 0.5f + 0.5f)));
    }
    cursorOnCurrent_ = false;
}

void GMiniGameHidden2Scene::onMouseMove(int32_t x, int32_t y) {
    BaseNode* current = getCurrentObject();
    if (!current) return;
    const bool on = current->findNodeAt(vector2df(static_cast<float>(x), static_cast<float>(y))) != nullptr;
    if (on == cursorOnCurrent_) return;
    if (on && trailIdle()) startHint(current, kHoverHintPasses);
    cursorOnCurrent_ = on;
}

void GMiniGameHidden2Scene::pickItem(int32_t x, int32_t y) {
    if (phase < Caption) return;
    if (phase == Caption) {
        setPhase(Playing);
        return;
    }
    BaseNode* current = getCurrentObject();
    if (phase != Playing || !current) return;
    if (!current->findNodeAt(vector2df(static_cast<float>(x), static_cast<float>(y)))) return;
    getLogger().log("Hidden object was found", nameOfId(current->getName()).c_str(), LOG_DEBUG);
    if (hintTrail_) hintTrail_->stop();
    showFoundEffect(*this, foundNode_, *current);
    current->setVisible(false);
    ++currentIndex_;
    showCurrentItem(false);
    playCue("ObjFound");
}

void GMiniGameHidden2Scene::startHint(BaseNode* object, int32_t passes) {
    if (!hintTrail_ || !object) return;
    GLevelPath* path = hintPaths_->randomCarPath(object->getName());
    std::vector<vector2df> points;
    if (!path || !hintWalkPoints(*path, passes, nameOfId(object->getName()).c_str(), points)) return;
    if (auto* particles = nodeCast<ParticleSystemNode>(childNamed(hintTrail_, "Particles"))) {
        if (BaseEmitter* emitter = particles->getEmitter()) {
            const float pps = static_cast<float>(hintTrailPps_);
            emitter->setPPSRange(vector2df(pps, pps));
        }
    }
    hintTrail_->setSpeed(hintTrailVelocity_);
    hintTrail_->start(points, makeNameId("HintFinished"), true, false);
}

}  // namespace game
