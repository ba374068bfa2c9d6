#include "game/world/LakeWaveNodes.h"
#include "engine/core/KeyFrame.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/State.h"

#include <climits>
#include <cmath>

using namespace engine;

namespace game {

namespace {

float rangeOf(const vector2df& range) { return getRandomGenerator().rangeFloat(range.X, range.Y); }

NameId normalName() {
    static const NameId id = makeNameId("Normal");
    return id;
}
NameId blinkName() {
    static const NameId id = makeNameId("Blink");
    return id;
}

}  // namespace

// ---- GLakeWaveNode -----------------------------------------------------------------------

const std::vector<EffectField<GLakeWaveNode>>& GLakeWaveNode::fields() {
    static const std::vector<EffectField<GLakeWaveNode>> list = {
        GAME_EFFECT_FIELD(GLakeWaveNode, starBlinkRange, "StarBlinkRange", vector2df(5000.0f, 10000.0f)),
        GAME_EFFECT_FIELD(GLakeWaveNode, velocity, "Velocity", vector3df(0.0f, 0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GLakeWaveNode, lifeTime, "LifeTime", int32_t(-1)),
    };
    return list;
}

GAME_EFFECT_FIELDS_IMPL(GLakeWaveNode)

GLakeWaveNode::GLakeWaveNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GSelfDrivenEffectNode(context, parent, manager, kInterval) {
    linkToParent(parent, mostDerived);
}

void GLakeWaveNode::onLoaded() {
    wave_ = CountedRef<BaseNode>::share(findChild(makeNameId("Wave"), 1));
    star_ = CountedRef<BaseNode>::share(findChild(makeNameId("Star"), 1));
}

void GLakeWaveNode::setUpOnFirstDraw() {
    if (wave_) {
        wave_->setState(normalName(), nullptr, kNoName);
        State* running = wave_->getRunningState();
        KeyFrame* animator = running ? animatorCast<KeyFrame>(running->getAnimator(0)) : nullptr;
        const uint32_t d = animator ? animator->getDuration() : 0u;
        if (d > 1u) animator->start(getRandomGenerator().nextMWC() % d, true);
    }
    blinkCountdown_ = saturatingInt(getRandomGenerator().rangeFloat(500.0f, starBlinkRange.Y));
    if (star_) star_->setVisible(false);
}

bool GLakeWaveNode::onTimer(uint32_t elapsedMs) {
    const float dt = static_cast<float>(elapsedMs) * 0.001f;
    setPosition(getPosition() + velocity * dt);
    if (lifeTime > 0) {
        if (static_cast<uint32_t>(lifeTime) <= elapsedMs) {
            if (star_) star_->stopAllStates(false);
            return removeSelf();
        }
        lifeTime -= static_cast<int32_t>(elapsedMs);
        if (lifeTime < kFadeMs) {
            const float d = static_cast<float>(kFadeMs - lifeTime) / static_cast<float>(kFadeMs);
            setTintColor(SColor(static_cast<uint32_t>(255.0f * (1.0f - d)), 255, 255, 255));
        }
    }
    if (star_) {
        if (blinkCountdown_ > 0 && static_cast<uint32_t>(blinkCountdown_) > elapsedMs) {
            blinkCountdown_ -= static_cast<int32_t>(elapsedMs);
        } else {
            star_->setVisible(true);
            star_->setState(blinkName(), nullptr, kNoName);
            const vector3df& bounds = getBounds();
            RandomGenerator& random = getRandomGenerator();
            const float x = random.rangeFloat(0.0f, bounds.X);
            const float y = random.rangeFloat(0.0f, bounds.Y);
            star_->setPosition(vector3df(x, y, 1.0f));
            blinkCountdown_ = saturatingInt(static_cast<float>(blinkCountdown_) + rangeOf(starBlinkRange));
        }
    }
    return true;
}

// ---- GPicEffectNode ----------------------------------------------------------------------

const std::vector<EffectField<GPicEffectNode>>& GPicEffectNode::fields() {
    static const std::vector<EffectField<GPicEffectNode>> list = {
        GAME_EFFECT_FIELD(GPicEffectNode, animTime, "AnimTime", int32_t(1000)),
        GAME_EFFECT_FIELD(GPicEffectNode, widthRange, "WidthRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GPicEffectNode, yVelocityRange, "YVelocityRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GPicEffectNode, yAccelRange, "YAccelRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GPicEffectNode, yAccelTimeRange, "YAccelTimeRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GPicEffectNode, lifeTime, "LifeTime", int32_t(0)),
    };
    return list;
}

GAME_EFFECT_FIELDS_IMPL(GPicEffectNode)

GPicEffectNode::GPicEffectNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                               bool mostDerived)
    : GSelfDrivenEffectNode(context, parent, manager, kInterval) {
    linkToParent(parent, mostDerived);
}

void GPicEffectNode::setUpOnFirstDraw() {
    width_ = rangeOf(widthRange);
    circleTime_ = 0;
    yVelocity_ = rangeOf(yVelocityRange);
    yAcceleration_ = rangeOf(yAccelRange);
    timeLeft_ = lifeTime;
    const int32_t accelerationTime =
        getRandomGenerator().rangeInt(saturatingInt(yAccelTimeRange.X), saturatingInt(yAccelTimeRange.Y));
    accelerationEnd_ = saturatingAdd(timeLeft_, accelerationTime == INT32_MIN ? INT32_MAX : -accelerationTime);
    centre_ = getPosition();
}

bool GPicEffectNode::onTimer(uint32_t elapsedMs) {
    timeLeft_ = saturatingAdd(timeLeft_, -saturatingInt(elapsedMs));
    if (timeLeft_ <= 0) return removeSelf();
    if (timeLeft_ < 1000) setAlpha(lastSecondAlpha(timeLeft_));
    const float dt = static_cast<float>(elapsedMs) * 0.001f;
    if (timeLeft_ > accelerationEnd_) yVelocity_ += yAcceleration_ * dt;
    centre_.Y += yVelocity_ * dt;
    float x = centre_.X;
    float z = centre_.Z;
    if (animTime > 0) {
        circleTime_ = saturatingAdd(circleTime_, saturatingInt(elapsedMs));
        if (circleTime_ >= animTime) circleTime_ = 0;
        // 64 bits: a period near the int range would overflow the product.
        const int64_t a = static_cast<int64_t>(circleTime_) * 360 / animTime;
        x = centre_.X - width_ * sineOfDegrees(a);
        z = centre_.Y * 0.00001f;
        if (a >= 91 && a <= 269) z -= 0.1f;
    }
    setPosition(vector3df(x, centre_.Y, z));
    return true;
}

}  // namespace game
