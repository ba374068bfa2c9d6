#include "game/world/CircularBirdNode.h"
#include "engine/core/Animator.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/State.h"
#include "engine/core/TemplateCollectionNode.h"
#include "game/world/PathMovers.h"

#include <cmath>

using namespace engine;

namespace game {

namespace {

GCircularBirdNode& birdOf(PropertyTableOwner& o) { return static_cast<GCircularBirdNode&>(o); }

void setTemplateEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    birdOf(o).setBirdTemplateId(nameIdFromProperty(v));
}
CountedRef<IPropertyData> getTemplateEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeStringPropertyFromNameId(birdOf(o).getBirdTemplateId()));
}

uint32_t nextFlapDelay() {
    return static_cast<uint32_t>(4000.0f + 3000.0f * getRandomGenerator().nextUnitFloat());
}

NameId flapName(NameId direction) {
    stringc name = nameOfId(direction);
    name += "_Flap";
    return makeNameId(name);
}

}  // namespace

const std::vector<EffectField<GCircularBirdNode>>& GCircularBirdNode::fields() {
    static const std::vector<EffectField<GCircularBirdNode>> list = {
        GAME_EFFECT_FIELD(GCircularBirdNode, ellipse1Size, "Ellipse1Size", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GCircularBirdNode, ellipse2Size, "Ellipse2Size", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GCircularBirdNode, angularVelocity1, "AngularVelocity1", 5.0f),
        GAME_EFFECT_FIELD(GCircularBirdNode, angularVelocity2, "AngularVelocity2", 5.0f),
    };
    return list;
}

const PropertyTable& GCircularBirdNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("BirdTemplateID", &setTemplateEntry, &getTemplateEntry);
        for (const EffectField<GCircularBirdNode>& field : fields()) t.add(field.name, field.setter, field.getter);
        return t;
    }();
    return table;
}

const PropertyTable& GCircularBirdNode::getPropertyTable() const { return classPropertyTable(); }

void GCircularBirdNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::writeProperties(set);
    if (birdTemplateId_ != kNoName)
        set->add("BirdTemplateID", CountedRef<IPropertyData>(makeStringPropertyFromNameId(birdTemplateId_)));
    writeEffectFields(*this, set, fields());
}

void GCircularBirdNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::readProperties(set);
    if (set->indexOf("BirdTemplateID") >= 0) setBirdTemplateId(nameIdFromProperty(set->find("BirdTemplateID")));
    readEffectFields(*this, set, fields());
}

void GCircularBirdNode::copyFrom(BaseNode* source, BaseNode* manager) {
    GSelfDrivenEffectNode::copyFrom(source, manager);
    const GCircularBirdNode* other = nodeCast<GCircularBirdNode>(source);
    if (!other || other == this) return;
    copyEffectFields(*this, *other, fields());
    angle1 = other->angle1;
    angle2 = other->angle2;
    setBirdTemplateId(other->birdTemplateId_);
}

GCircularBirdNode::GCircularBirdNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                     bool mostDerived)
    : GSelfDrivenEffectNode(context, parent, manager, kInterval) {
    linkToParent(parent, mostDerived);
}

GCircularBirdNode::~GCircularBirdNode() { dropBird(); }

void GCircularBirdNode::dropBird() {
    if (!bird_) return;
    const CountedRef<BaseNode> bird = bird_;
    bird_ = CountedRef<BaseNode>();
    bird->setParent(nullptr);
}

void GCircularBirdNode::setBirdTemplateId(NameId id) {
    bodyTemplate_ = CountedRef<BaseNode>();
    birdTemplateId_ = id;
    BaseNode* manager = getManager();
    lookupManager_ = manager;
    TemplateCollectionNode* collection = manager ? manager->getTemplateCollection() : nullptr;
    BaseNode* found = collection && id != kNoName ? collection->getTemplate(id) : nullptr;
    if (found) {
        bodyTemplate_ = CountedRef<BaseNode>::share(found->findChild(makeNameId("Body"), 1));
        if (!bodyTemplate_)
            logWarning((stringc("GCircularBirdNode: the template ") + nameOfId(id) + " has no Body; no bird flies")
                           .c_str());
    } else if (collection && id != kNoName) {
        logDebug((stringc("GCircularBirdNode: no template ") + nameOfId(id) + " in the collection").c_str());
    }
    unregisterTimer();
}

bool GCircularBirdNode::onEvent33(SceneShownEvent*) {
    setBirdTemplateId(birdTemplateId_);
    return false;
}

bool GCircularBirdNode::onEvent34(NodeEvent34*) {
    setBirdTemplateId(birdTemplateId_);
    return false;
}

void GCircularBirdNode::attach(BaseNode* manager, BaseNode* scene) {
    GSelfDrivenEffectNode::attach(manager, scene);
    if (bird_) bird_->attach(manager, scene);
}

vector2df GCircularBirdNode::placement(float a1, float a2) const {
    const float r1 = a1 * 0.017453292f;
    const float r2 = a2 * 0.017453292f;
    return vector2df(ellipse1Size.X * std::cos(r1) + ellipse2Size.X * std::cos(r2),
                     ellipse1Size.Y * std::sin(r1) + ellipse2Size.Y * std::sin(r2));
}

void GCircularBirdNode::collectRenderItems(RenderList& list) {
    // A node read from a scene file before it had a manager finds its
    // template once it is drawn in a scene.
    if (!bodyTemplate_ && birdTemplateId_ != kNoName && getManager() != lookupManager_)
        setBirdTemplateId(birdTemplateId_);
    GSelfDrivenEffectNode::collectRenderItems(list);
    if (bird_ && isVisible() && bird_->getParent() == this) bird_->collectRenderItems(list);
}

void GCircularBirdNode::setUpOnFirstDraw() {
    dropBird();
    CountedRef<BaseNode> bird(bodyTemplate_->clone(nullptr, getManager()));
    if (!bird) return;
    bird->setGhost(true);
    addChild(bird.get());
    bird_ = bird;
    RandomGenerator& random = getRandomGenerator();
    angle1 = 360.0f * random.nextUnitFloat();
    angle2 = 360.0f * random.nextUnitFloat();
    const vector2df p = placement(angle1, angle2);
    bird_->setPosition(vector3df(p.X, p.Y, 0.0f));
    flapCountdown_ = nextFlapDelay();
    directionState_ = kNoName;
}

void GCircularBirdNode::flapInto(NameId direction, bool keepPhase) {
    State* running = bird_->getRunningState();
    Base* animator = running ? running->getAnimator(0) : nullptr;
    if (keepPhase && !(animator && animator->isPlaying())) {
        bird_->setState(direction, nullptr, kNoName);
        return;
    }
    const uint32_t t = animator ? animator->getPosition() : 0u;
    bird_->setState(flapName(direction), nullptr, kNoName);
    if (!keepPhase) return;
    State* now = bird_->getRunningState();
    Base* next = now ? now->getAnimator(0) : nullptr;
    if (next) next->start(t, true);
}

bool GCircularBirdNode::onTimer(uint32_t elapsedMs) {
    if (!bird_ || bird_->getParent() != this) return false;
    const float dt = static_cast<float>(elapsedMs) * 0.001f;
    angle1 += angularVelocity1 * dt;
    angle2 += angularVelocity2 * dt;
    // Kept within a turn, so that hours of flight lose no precision.
    angle1 = std::fmod(angle1, 360.0f);
    angle2 = std::fmod(angle2, 360.0f);
    const float r2 = angle2 * 0.017453292f;
    const float scale = ellipse2Size.X * ellipse2Size.Y;
    // Adding 0 turns a negative zero into zero: without a second ellipse the
    // facing vector is the zero vector, which faces right, not left.
    const NameId dir = eightWayDirectionState(vector2df(-std::sin(r2) * scale + 0.0f, std::cos(r2) * scale + 0.0f));
    if (dir != directionState_) {
        directionState_ = dir;
        if (dir != kNoName) flapInto(dir, true);
    }
    const vector2df p = placement(angle1, angle2);
    bird_->setPosition(vector3df(p.X, p.Y, 0.0f));
    if (flapCountdown_ > elapsedMs) {
        flapCountdown_ -= elapsedMs;
    } else if (directionState_ != kNoName) {
        flapInto(directionState_, false);
        flapCountdown_ += nextFlapDelay();
    }
    return true;
}

}  // namespace game
