#pragma once
// Rain or snow over a level: single particles start at random points of an
// emit area (by default a line above the 1024 x 768 screen), fly towards a
// centre point, sway sideways with a period of their own, turn, and change
// width, height and opacity along their timelines. The settings come from a
// "WeatherParticle" description file.
#include "game/world/ParticleEffectNode.h"

class GWeatherParticlesNode : public GParticleEffectNode {
    ENGINE_NODE_TYPE(GWeatherParticlesNode, GParticleEffectNode, 1149)

public:
    static constexpr uint32_t kCapacity = 2048;

    struct Particle {
        float age = 0.0f;
        float ageRate = 0.0f;
        float x = 0.0f, y = 0.0f;
        float vx = 0.0f, vy = 0.0f;
        engine::vector2df normal{0.0f, 0.0f};
        float swayAmplitude = 0.0f;
        int32_t swayPhase = 0;   // ms
        int32_t swayPeriod = 0;  // ms
        float rotation = 0.0f;
        float angularVelocity = 0.0f;
        float scaleX = 1.0f;
        float scaleY = 1.0f;
        int32_t scaleXKey = 1;
        int32_t scaleYKey = 1;
        float alpha = 1.0f;
        int32_t alphaKey = 1;
    };

    struct Settings {
        engine::vector2df emitRectangleXSize{-20.0f, 1044.0f};
        engine::vector2df emitRectangleYSize{-20.0f, 600.0f};  // only the first value is used
        engine::vector2df centerPoint{512.0f, 2000.0f};
        engine::vector2df particleVelRange{200.0f, 250.0f};
        engine::vector2df particleAccRange{0.0f, 0.0f};  // kept and copied, not used by the motion
        engine::vector2df particleAngularVelocityRange{0.0f, 0.0f};
        engine::vector2df particleNormalDeltaRange{0.0f, 0.0f};
        engine::vector2df particleNormalDeltaPeriodRange{0.0f, 0.0f};
        engine::vector2df particleLifetimeRange{0.0f, 0.0f};
        int32_t pps = 0;
        ParticleTrack scaleX;
        ParticleTrack scaleY;
        ParticleTrack colorA;
    };

    GWeatherParticlesNode(const engine::CreationContext* context, engine::BaseNode* parent,
                          engine::BaseNode* manager, bool mostDerived = true);

    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;
    void onLoaded() override {}

    uint32_t getParticleCount() const override { return static_cast<uint32_t>(particles_.size()); }
    void clearParticles() override { particles_.clear(); }
    void emit(int32_t ms) override;
    void updateParticles(float seconds) override;

    // Where the particle is drawn: its position moved sideways by its sway.
    static engine::vector2df swayedPosition(const Particle& particle);

    Settings& settings() { return settings_; }
    const std::vector<Particle>& getParticles() const { return particles_; }
    std::vector<Particle>& particles() { return particles_; }

protected:
    const wchar_t* rootElement() const override { return L"WeatherParticle"; }
    const wchar_t* timelineElement() const override { return L"ParticleTimeline"; }
    ParticleTrack* trackNamed(const engine::stringw& name) override;
    void readSetting(const engine::stringw& name, engine::XmlReader& reader) override;
    void writeQuads(float w, float h) override;

private:
    Settings settings_;
    std::vector<Particle> particles_;
};
