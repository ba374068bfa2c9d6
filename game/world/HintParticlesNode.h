#pragma once
// Sparkles around a hinted object: bursts of particles thrown outwards from an
// ellipse round the node's origin, turning, growing and fading along their
// timelines. The settings come from a "HintParticle" description file.
#include "game/world/ParticleEffectNode.h"

class GHOHintParticlesNode : public GParticleEffectNode {
    ENGINE_NODE_TYPE(GHOHintParticlesNode, GParticleEffectNode, 1147)

public:
    static constexpr uint32_t kCapacity = 4096;

    struct Particle {
        float age = 0.0f;
        float ageRate = 0.0f;
        float x = 0.0f, y = 0.0f;
        float vx = 0.0f, vy = 0.0f;
        float rotation = 0.0f;
        float angularVelocity = 0.0f;
        int32_t angularVelocityKey = 1;
        float scale = 1.0f;
        int32_t scaleKey = 1;
        float alpha = 1.0f;
        int32_t alphaKey = 1;
    };

    // Emitter settings, as the description file gives them.
    struct Settings {
        engine::vector2df emitRadiusXRange{0.0f, 0.0f};
        engine::vector2df emitRadiusYRange{0.0f, 0.0f};
        engine::vector2df particlesDensity{20.0f, 20.0f};
        engine::vector2df particlesVelRange{0.0f, 0.0f};
        engine::vector2df particlesLifetimeRange{0.0f, 0.0f};
        int32_t pps = 0;
        ParticleTrack angularVelocity;
        ParticleTrack scale;
        ParticleTrack colorA;
    };

    GHOHintParticlesNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                         bool mostDerived = true);

    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;
    void onLoaded() override {}

    uint32_t getParticleCount() const override { return static_cast<uint32_t>(particles_.size()); }
    void clearParticles() override { particles_.clear(); }
    // Bursts due in ms more milliseconds, each of a random number of particles
    // evenly spaced round the ellipse and flying straight outwards.
    void emit(int32_t ms) override;
    void updateParticles(float seconds) override;

    Settings& settings() { return settings_; }
    const std::vector<Particle>& getParticles() const { return particles_; }

protected:
    const wchar_t* rootElement() const override { return L"HintParticle"; }
    const wchar_t* timelineElement() const override { return L"ParticlesTimeline"; }
    ParticleTrack* trackNamed(const engine::stringw& name) override;
    void readSetting(const engine::stringw& name, engine::XmlReader& reader) override;
    void writeQuads(float w, float h) override;

private:
    Settings settings_;
    std::vector<Particle> particles_;
};
