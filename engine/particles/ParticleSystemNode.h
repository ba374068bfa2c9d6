#pragma once
// A particle effect in a scene: a clone of a cached emitter adds particles to
// the node's array, the node ages and moves them every 30 ms of its owner
// scene's timer scheduler and draws them as one mesh of textured quads from
// one atlas texture. In local mode the particles live in the node's space; in
// global mode they start at the node's screen position and then stay in
// screen space, so that a moving node leaves a trail.
#include "engine/core/BaseNode.h"
#include "engine/core/MemberTimer.h"
#include "engine/particles/Emitter.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/MeshBuffer.h"

namespace engine {

class ParticleSystemNode : public BaseNode {
    ENGINE_NODE_TYPE(ParticleSystemNode, BaseNode, 17)

public:
    static constexpr uint32_t kCapacity = 500;
    static constexpr uint32_t kUpdatePeriod = 30;

    ParticleSystemNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~ParticleSystemNode() override;

    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // Nothing when hidden. Otherwise the children's items; the update timer
    // and the emitter join the owner scene's scheduler when they are enabled
    // and on none; one item (key 0) when a texture is set and particles live.
    void collectRenderItems(RenderList& list) override;
    // Queues the particle quads with the driver's batcher, in screen space.
    void render(irr::video::IVideoDriver* driver, const rectf* clip) override;
    // Particles are never hit.
    bool hitTest(const vector2df&) override { return false; }
    void copyFrom(BaseNode* source, BaseNode* manager) override;

    // Ages, moves and removes the particles for the elapsed milliseconds and
    // rewrites the mesh; false (the timer leaves its scheduler) when no
    // particle lives or no texture is set.
    bool update(uint32_t elapsedMs);

    // Drops the current emitter and adopts a clone of the cached 'pemt' of
    // that name, if any (emitters come from collections loaded earlier).
    void setEmitterName(const stringc& name);
    stringc getEmitterName() const;
    void setParticleTexture(AtlasTextureContent* texture);
    AtlasTextureContent* getParticleTexture() const { return texture_.get(); }
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
    void setEmitterEnabled(bool enabled);
    bool isEmitterEnabled() const { return emitterEnabled_; }
    void setGlobal(bool global) { global_ = global; }
    bool isGlobal() const { return global_; }

    BaseEmitter* getEmitter() const { return emitter_.get(); }
    ParticleArray& getParticles() { return particles_; }
    const MeshBuffer& getMesh() const { return mesh_; }
    // The scheduler the update timer is on, or null.
    TimerScheduler* getUpdateScheduler() const;

    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

private:
    using UpdateTimer = MemberTimer<ParticleSystemNode>;

    TimerScheduler* ownerScheduler() const;
    void dropEmitter();
    void adoptEmitter(BaseEmitter* emitter);
    void followNode();
    void setTextureCoordinates(uint32_t firstVertex);

    CountedRef<UpdateTimer> timer_;
    CountedRef<AtlasTextureContent> texture_;
    CountedRef<BaseEmitter> emitter_;
    bool enabled_ = true;
    bool emitterEnabled_ = true;
    bool global_ = false;
    ParticleArray particles_{kCapacity};
    MeshBuffer mesh_;      // in particle space
    MeshBuffer drawMesh_;  // the same in screen space, for the batcher
};

}  // namespace engine
