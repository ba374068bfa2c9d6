#include "game/world/WeatherParticlesNode.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/XmlReader.h"

#include <cmath>

using namespace engine;

namespace {

vector2df unitOf(const vector2df& v) {
    const float length = std::sqrt(v.X * v.X + v.Y * v.Y);
    return length > 0.0f ? vector2df(v.X / length, v.Y / length) : vector2df(0.0f, 0.0f);
}

}  // namespace

GWeatherParticlesNode::GWeatherParticlesNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                             bool mostDerived)
    : GParticleEffectNode(context, parent, manager) {
    particles_.reserve(kCapacity);
    linkToParent(parent, mostDerived);
}

void GWeatherParticlesNode::copyFrom(BaseNode* source, BaseNode* manager) {
    GParticleEffectNode::copyFrom(source, manager);
    GWeatherParticlesNode* other = nodeCast<GWeatherParticlesNode>(source);
    if (!other || other == this) return;
    settings_ = other->settings_;
}

ParticleTrack* GWeatherParticlesNode::trackNamed(const stringw& name) {
    if (name == L"ScaleX") return &settings_.scaleX;
    if (name == L"ScaleY") return &settings_.scaleY;
    if (name == L"ColorA") return &settings_.colorA;
    return nullptr;
}

void GWeatherParticlesNode::readSetting(const stringw& name, XmlReader& reader) {
    struct PairSetting {
        const wchar_t* name;
        vector2df Settings::*field;
    };
    static const PairSetting pairs[] = {
        {L"EmitRectangleXSize", &Settings::emitRectangleXSize},
        {L"EmitRectangleYSize", &Settings::emitRectangleYSize},
        {L"CenterPoint", &Settings::centerPoint},
        {L"ParticleVelRange", &Settings::particleVelRange},
        {L"ParticleAccRange", &Settings::particleAccRange},
        {L"ParticleAngularVelocityRange", &Settings::particleAngularVelocityRange},
        {L"ParticleNormalDeltaRange", &Settings::particleNormalDeltaRange},
        {L"ParticleNormalDeltaPeriodRange", &Settings::particleNormalDeltaPeriodRange},
        {L"ParticleLifetimeRange", &Settings::particleLifetimeRange},
    };
    for (const PairSetting& pair : pairs) {
        if (name == pair.name) {
            settings_.*pair.field = readPair(reader);
            return;
        }
    }
    if (name == L"PPS") settings_.pps = readInt(reader);
}

void GWeatherParticlesNode::emit(int32_t ms) {
    int32_t due = takeDueEmissions(ms, settings_.pps);
    const int32_t room = static_cast<int32_t>(kCapacity - getParticleCount());
    if (due > room) due = room;
    const float scaleX = settings_.scaleX.startValue(1.0f);
    const float scaleY = settings_.scaleY.startValue(1.0f);
    const float alpha = settings_.colorA.startValue(1.0f);
    for (int32_t i = 0; i < due; ++i) {
        Particle p;
        const float lifetime = drawInRange(settings_.particleLifetimeRange);
        if (lifetime == 0.0f) {
            p.age = 1.0f;  // gone at the next update
            particles_.push_back(p);
            continue;
        }
        p.ageRate = 1000.0f / lifetime;
        p.x = drawInRange(settings_.emitRectangleXSize);
        p.y = drawInRange(vector2df(-20.0f, settings_.emitRectangleYSize.X));
        const vector2df towards = settings_.centerPoint - vector2df(p.x, p.y);
        p.rotation = 270.0f - static_cast<float>(towards.getAngle());
        const vector2df velocity = unitOf(towards) * drawInRange(settings_.particleVelRange);
        p.vx = velocity.X;
        p.vy = velocity.Y;
        p.angularVelocity = drawInRange(settings_.particleAngularVelocityRange);
        p.normal = unitOf(vector2df(-p.vy, p.vx));
        p.swayAmplitude = drawInRange(settings_.particleNormalDeltaRange);
        p.swayPeriod = saturatingInt(drawInRange(settings_.particleNormalDeltaPeriodRange));
        p.swayPhase = p.swayPeriod > 0 ? saturatingInt(drawInRange(vector2df(0.0f, static_cast<float>(p.swayPeriod)))) : 0;
        p.scaleX = scaleX;
        p.scaleY = scaleY;
        p.alpha = alpha;
        particles_.push_back(p);
    }
}

void GWeatherParticlesNode::updateParticles(float s) {
    ageParticles(particles_, s, [this, s](Particle& p) {
        p.x += s * p.vx;
        p.y += s * p.vy;
        p.rotation += s * p.angularVelocity;
        p.swayPhase = saturatingInt(s * 1000.0f + static_cast<float>(p.swayPhase));
        if (p.swayPhase > p.swayPeriod) p.swayPhase = 0;  // a new swing starts from its beginning
        settings_.scaleX.step(p.age, p.scaleX, p.scaleXKey);
        settings_.scaleY.step(p.age, p.scaleY, p.scaleYKey);
        settings_.colorA.step(p.age, p.alpha, p.alphaKey);
    });
}

vector2df GWeatherParticlesNode::swayedPosition(const Particle& p) {
    vector2df at(p.x, p.y);
    if (p.swayPeriod >= 1) {
        const int64_t degrees = static_cast<int64_t>(p.swayPhase) * 360 / p.swayPeriod + 90;
        at += p.normal * (p.swayAmplitude * p.scaleX * sineOfDegrees(degrees));
    }
    return at;
}

void GWeatherParticlesNode::writeQuads(float w, float h) {
    for (uint32_t k = 0; k < particles_.size(); ++k) {
        const Particle& p = particles_[k];
        const float hw = p.scaleX * 0.5f * w;
        const float hh = p.scaleY * 0.5f * h;
        setQuad(k, swayedPosition(p), vector2df(-hw, -hh), vector2df(hw, -hh), p.rotation, p.alpha);
    }
}
