#pragma once
// The common part of the game's self-drawing particle nodes (hint sparkles and
// weather): the ConfigurationFilename, Enabled and AtlasTexture properties,
// the reading of the small XML description with its timeline tracks, the
// emission clock, the 30 ms update timer and the quad mesh drawn in one call.
//
// The timer starts at the first draw that finds the node enabled and textured
// (with half a second of emission at once) and stops when the texture is gone,
// or when the node is disabled and its last particle has died; a later draw
// that finds it enabled again restarts it. A node that leaves its scene while
// the timer runs takes the timer off its scheduler as it dies.
#include "engine/core/BaseNode.h"
#include "engine/core/MemberTimer.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/MeshBuffer.h"

#include <vector>

namespace engine {
class XmlReader;
}

// One key of a timeline track: at age T (0 at birth, 1 at death) the value V.
struct ParticleTrackKey {
    float t = 0.0f;
    float v = 0.0f;
};

// A value that follows its keys over a particle's life.
struct ParticleTrack {
    std::vector<ParticleTrackKey> keys;

    // The first key's value, or the fallback for an empty track.
    float startValue(float fallback) const { return keys.empty() ? fallback : keys.front().v; }
    // One update at the particle's age; `index` is the next key to reach
    // (particles start at 1). At most one key is passed per update; between
    // keys the value is interpolated; past the last key it stays. Two keys at
    // the same time give the later key's value.
    void step(float age, float& value, int32_t& index) const;
};

class GParticleEffectNode : public engine::BaseNode {
public:
    static constexpr uint32_t kUpdatePeriod = 30;
    // The emission run at the first draw: all its particles at their start.
    static constexpr int32_t kStartEmissionMs = 500;

    ~GParticleEffectNode() override;

    const engine::PropertyTable& getPropertyTable() const override;
    static const engine::PropertyTable& classPropertyTable();

    void collectRenderItems(engine::RenderList& list) override;
    // Draws the mesh in one call after the quads batched before it.
    void render(irr::video::IVideoDriver* driver, const engine::rectf* clip) override;
    bool hitTest(const engine::vector2df&) override { return false; }
    // The file name, Enabled, the material and the texture.
    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;

    // Stores the path and reads the description from the content manager's
    // current folder; a file that cannot be opened or read leaves the settings
    // as they were (a cut-off file keeps what came before the cut), with a
    // logged error. All living particles are removed either way.
    void setConfigurationFilename(const engine::stringc& path);
    const engine::stringc& getConfigurationFilename() const { return configurationFilename_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool isEnabled() const { return enabled_; }
    void setAtlasTexture(engine::AtlasTextureContent* texture);
    engine::AtlasTextureContent* getAtlasTexture() const { return atlasTexture_.get(); }

    // One timer step of elapsed milliseconds: ages the particles, emits when
    // enabled and rewrites the quads. False (the timer leaves its scheduler)
    // without a texture, or when disabled with no particle left.
    bool onTimer(uint32_t elapsedMs);
    // The scheduler the update timer runs on, or null.
    engine::TimerScheduler* getUpdateScheduler() const { return timer_->getTimerScheduler(); }

    virtual uint32_t getParticleCount() const = 0;
    virtual void clearParticles() = 0;
    // Adds the particles due in that many milliseconds of emission.
    virtual void emit(int32_t ms) = 0;
    virtual void updateParticles(float seconds) = 0;

    const engine::MeshBuffer& getMesh() const { return mesh_; }
    int32_t getCarry() const { return carry_; }

    void writeProperties(engine::PropertySet* set) override;
    void readProperties(engine::PropertySet* set) override;

protected:
    GParticleEffectNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager);

    // The description's root element, its timeline element, a track of the
    // timeline by element name (null when unknown) and one setting element
    // (the reader stands on its start).
    virtual const wchar_t* rootElement() const = 0;
    virtual const wchar_t* timelineElement() const = 0;
    virtual ParticleTrack* trackNamed(const engine::stringw& name) = 0;
    virtual void readSetting(const engine::stringw& name, engine::XmlReader& reader) = 0;
    // Writes the quad of every living particle through setQuad; (w, h) is the
    // image's size in pixels.
    virtual void writeQuads(float w, float h) = 0;

    // How many emissions at `perSecond` fall due in ms more milliseconds, the
    // remainder carried to the next call. None at a rate of 0 or less.
    int32_t takeDueEmissions(int32_t ms, int32_t perSecond);
    void resetCarry() { carry_ = 0; }
    // The quad of particle k: corners p + c0, p + c1, p - c0, p - c1 after c0
    // and c1 are turned by the rotation in whole degrees, white at the alpha
    // (0..1) times the node's colour.
    void setQuad(uint32_t k, const engine::vector2df& p, engine::vector2df c0, engine::vector2df c1,
                 float rotation, float alpha);

    // A value in [range.X, range.Y) from the engine's generator; the lower
    // bound without a draw when both are equal.
    static float drawInRange(const engine::vector2df& range);

    // Ages every particle by `seconds` at its own rate; one whose life is over
    // is replaced by the last particle, which is then updated in its place.
    // `advance` moves a living particle on.
    template <class Particle, class Advance>
    static void ageParticles(std::vector<Particle>& particles, float seconds, Advance advance) {
        for (size_t i = 0; i < particles.size();) {
            Particle& p = particles[i];
            p.age += seconds * p.ageRate;
            if (p.age >= 1.0f) {
                p = particles.back();
                particles.pop_back();
                continue;
            }
            advance(p);
            ++i;
        }
    }

    // Reading helpers for the settings.
    static engine::vector2df readPair(engine::XmlReader& reader);
    static int32_t readInt(engine::XmlReader& reader);

private:
    using UpdateTimer = engine::MemberTimer<GParticleEffectNode>;

    // False when the input ends before the root's end tag.
    bool readDescription(engine::XmlReader& reader);
    void readTimeline(engine::XmlReader& reader);
    static void readTrack(engine::XmlReader& reader, ParticleTrack& track);
    // Grows the mesh to four vertices and six indices per particle.
    void prepareQuads(uint32_t count);
    void setTextureCoordinates(uint32_t firstVertex);
    engine::TimerScheduler* timerSchedulerForNode() const;

    engine::CountedRef<UpdateTimer> timer_;
    engine::stringc configurationFilename_;
    bool enabled_ = true;
    engine::CountedRef<engine::AtlasTextureContent> atlasTexture_;
    int32_t carry_ = 0;
    engine::MeshBuffer mesh_;      // in node space
    engine::MeshBuffer drawMesh_;  // the same in screen space, for the batcher
};
