#include "game/world/HintParticlesNode.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/XmlReader.h"

#include <cmath>

using namespace engine;

GHOHintParticlesNode::GHOHintParticlesNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                           bool mostDerived)
    : GParticleEffectNode(context, parent, manager) {
    particles_.reserve(kCapacity);
    linkToParent(parent, mostDerived);
}

void GHOHintParticlesNode::copyFrom(BaseNode* source, BaseNode* manager) {
    GParticleEffectNode::copyFrom(source, manager);
    GHOHintParticlesNode* other = nodeCast<GHOHintParticlesNode>(source);
    if (!other || other == this) return;
    settings_ = other->settings_;
}

ParticleTrack* GHOHintParticlesNode::trackNamed(const stringw& name) {
    if (name == L"AngularVelocity") return &settings_.angularVelocity;
    if (name == L"Scale") return &settings_.scale;
    if (name == L"ColorA") return &settings_.colorA;
    return nullptr;
}

void GHOHintParticlesNode::readSetting(const stringw& name, XmlReader& reader) {
    if (name == L"EmitRadiusXRange") settings_.emitRadiusXRange = readPair(reader);
    else if (name == L"EmitRadiusYRange") settings_.emitRadiusYRange = readPair(reader);
    else if (name == L"ParticlesDensity") settings_.particlesDensity = readPair(reader);
    else if (name == L"ParticlesVelRange") settings_.particlesVelRange = readPair(reader);
    else if (name == L"ParticlesLifetimeRange") settings_.particlesLifetimeRange = readPair(reader);
    else if (name == L"PPS") settings_.pps = readInt(reader);
}

void GHOHintParticlesNode::emit(int32_t ms) {
    const int32_t bursts = takeDueEmissions(ms, settings_.pps);
    RandomGenerator& random = getRandomGenerator();
    for (int32_t b = 0; b < bursts; ++b) {
        uint32_t n = static_cast<uint32_t>(std::max(0.0f, drawInRange(settings_.particlesDensity)));
        const uint32_t alive = getParticleCount();
        if (alive + n > kCapacity) n = kCapacity - alive;
        if (n == 0) continue;
        const float angularVelocity = settings_.angularVelocity.startValue(0.0f);
        const float scale = settings_.scale.startValue(1.0f);
        const float alpha = settings_.colorA.startValue(1.0f);
        float angle = random.nextUnitFloat() * 360.0f;  // taken as radians
        for (uint32_t i = 0; i < n; ++i) {
            Particle p;
            const float lifetime = drawInRange(settings_.particlesLifetimeRange);
            if (lifetime == 0.0f) {
                p.age = 1.0f;  // gone at the next update
                particles_.push_back(p);
                continue;
            }
            p.ageRate = 1000.0f / lifetime;
            const float rx = drawInRange(settings_.emitRadiusXRange);
            angle += 6.2831855f / static_cast<float>(n);
            p.x = rx * std::cos(angle);
            const float ry = drawInRange(settings_.emitRadiusYRange);
            p.y = ry * std::sin(angle);
            const float length = std::sqrt(p.x * p.x + p.y * p.y);
            const float speed = drawInRange(settings_.particlesVelRange);
            if (length > 0.0f) {
                p.vx = p.x / length * speed;
                p.vy = p.y / length * speed;
            }
            p.angularVelocity = angularVelocity;
            p.scale = scale;
            p.alpha = alpha;
            particles_.push_back(p);
        }
    }
}

void GHOHintParticlesNode::updateParticles(float s) {
    ageParticles(particles_, s, [this, s](Particle& p) {
        p.x += s * p.vx;
        p.y += s * p.vy;
        p.rotation += s * p.angularVelocity;  // the turning speed before this step's key
        settings_.angularVelocity.step(p.age, p.angularVelocity, p.angularVelocityKey);
        settings_.scale.step(p.age, p.scale, p.scaleKey);
        settings_.colorA.step(p.age, p.alpha, p.alphaKey);
    });
}

void GHOHintParticlesNode::writeQuads(float w, float h) {
    for (uint32_t k = 0; k < particles_.size(); ++k) {
        const Particle& p = particles_[k];
        const float hw = w * p.scale * 0.5f;
        const float hh = h * p.scale * 0.5f;
        setQuad(k, vector2df(p.x, p.y), vector2df(-hw, -hh), vector2df(hw, -hh), p.rotation, p.alpha);
    }
}
