#include "engine/particles/ParticleSystemNode.h"
#include "engine/core/IContentManager.h"
#include "engine/core/MathRoutines.h"
#include "engine/visual/PropertyDataVisual.h"
#include "engine/core/PropertySet.h"
#include "engine/core/TimerScheduler.h"
#include "engine/visual/QuadBatcher.h"

namespace engine {

namespace {

ParticleSystemNode& systemOf(PropertyTableOwner& o) { return static_cast<ParticleSystemNode&>(o); }

void setEmitterNameEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    systemOf(o).setEmitterName(v ? propertyDataToString(v) : stringc());
}
CountedRef<IPropertyData> getEmitterNameEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeStringProperty(systemOf(o).getEmitterName()));
}
void setTextureEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    systemOf(o).setParticleTexture(atlasTextureFromProperty(v));
}
CountedRef<IPropertyData> getTextureEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeAtlasTextureData(systemOf(o).getParticleTexture()));
}
void setEnabledEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    systemOf(o).setEnabled(boolFromProperty(v));
}
CountedRef<IPropertyData> getEnabledEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(systemOf(o).isEnabled()));
}
void setEmitterEnabledEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    systemOf(o).setEmitterEnabled(boolFromProperty(v));
}
CountedRef<IPropertyData> getEmitterEnabledEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(systemOf(o).isEmitterEnabled()));
}
void setGlobalEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    systemOf(o).setGlobal(boolFromProperty(v));
}
CountedRef<IPropertyData> getGlobalEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(systemOf(o).isGlobal()));
}

SColor toColor(const Particle& p) {
    const auto channel = [](float value) {
        const float scaled = value * 255.0f;
        // Channels that ran past their range are held at its ends instead of
        // wrapping around.
        if (!(scaled > 0.0f)) return 0u;
        if (scaled >= 255.0f) return 255u;
        return static_cast<uint32_t>(scaled);
    };
    return SColor(channel(p.alpha), channel(p.red), channel(p.green), channel(p.blue));
}

}  // namespace

ParticleSystemNode::ParticleSystemNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                       bool mostDerived)
    : BaseNode(context, parent, manager, false), timer_(new UpdateTimer(this, &ParticleSystemNode::update, kUpdatePeriod)) {
    mesh_.material.setMaterialType(EMT_TRANS_ALPHACH_VERTEXALPHA);
    mesh_.material.setTextureLayerCount(1);
    irr::video::SMaterial& flags = mesh_.material.flags();
    flags.setFlag(irr::video::EMF_TRILINEAR_FILTER, true);
    flags.setFlag(irr::video::EMF_GOURAUD_SHADING, true);
    flags.setFlag(irr::video::EMF_LIGHTING, false);
    flags.setFlag(irr::video::EMF_ZBUFFER, false);
    flags.setFlag(irr::video::EMF_ZWRITE_ENABLE, false);
    mesh_.primitiveType = irr::scene::EPT_TRIANGLES;
    linkToParent(parent, mostDerived);
}

ParticleSystemNode::~ParticleSystemNode() {
    dropEmitter();
    timer_->forget();
    timer_->setTimerScheduler(nullptr);
}

const PropertyTable& ParticleSystemNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("EmitterName", &setEmitterNameEntry, &getEmitterNameEntry);
        t.add("AtlasTexture", &setTextureEntry, &getTextureEntry);
        t.add("Enabled", &setEnabledEntry, &getEnabledEntry);
        t.add("EmitterEnabled", &setEmitterEnabledEntry, &getEmitterEnabledEntry);
        t.add("Global", &setGlobalEntry, &getGlobalEntry);
        return t;
    }();
    return table;
}

const PropertyTable& ParticleSystemNode::getPropertyTable() const { return classPropertyTable(); }

TimerScheduler* ParticleSystemNode::ownerScheduler() const {
    BaseNode* scene = getOwnerScene();
    return scene ? scene->getTimerScheduler() : nullptr;
}

TimerScheduler* ParticleSystemNode::getUpdateScheduler() const { return timer_->getTimerScheduler(); }

void ParticleSystemNode::dropEmitter() {
    if (!emitter_) return;
    emitter_->detach();
    emitter_->setParticleArray(nullptr);
    emitter_.reset();
}

void ParticleSystemNode::adoptEmitter(BaseEmitter* emitter) {
    emitter_.reset(emitter);
    if (!emitter_) return;
    emitter_->setParticleArray(&particles_);
    if (global_) followNode();
}

void ParticleSystemNode::followNode() {
    if (!emitter_) return;
    const vector3df at = getAbsoluteTransform().getTranslation();
    emitter_->setPosition(vector2df(at.X, at.Y));
}

void ParticleSystemNode::setEmitterName(const stringc& name) {
    dropEmitter();
    IContentManager* manager = getContentManager();
    if (!manager) return;
    const CreationContext key(manager, name);
    Content* cached = manager->findCached(ContentType::ParticleEmitter, &key);
    if (!dynamic_cast<BaseEmitter*>(cached)) return;
    adoptEmitter(dynamic_cast<BaseEmitter*>(cached->clone()));
}

stringc ParticleSystemNode::getEmitterName() const { return emitter_ ? emitter_->getName() : stringc(); }

void ParticleSystemNode::setTextureCoordinates(uint32_t firstVertex) {
    if (!texture_) return;
    const rectf& r = texture_->getTextureRect();
    const float u[4] = {r.UpperLeftCorner.X, r.LowerRightCorner.X, r.LowerRightCorner.X, r.UpperLeftCorner.X};
    const float v[4] = {r.UpperLeftCorner.Y, r.UpperLeftCorner.Y, r.LowerRightCorner.Y, r.LowerRightCorner.Y};
    for (uint32_t i = firstVertex; i < mesh_.vertices.size(); ++i) mesh_.vertices[i].TCoords.set(u[i % 4], v[i % 4]);
}

void ParticleSystemNode::setParticleTexture(AtlasTextureContent* texture) {
    texture_ = CountedRef<AtlasTextureContent>::share(texture);
    if (!texture_) return;
    mesh_.material.setTexture(texture_->getTexture());
    setTextureCoordinates(0);
}

void ParticleSystemNode::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled) {
        timer_->setTimerScheduler(nullptr);
        return;
    }
    if (TimerScheduler* scheduler = ownerScheduler()) timer_->setTimerScheduler(scheduler);
}

void ParticleSystemNode::setEmitterEnabled(bool enabled) {
    emitterEnabled_ = enabled;
    if (!emitter_) return;
    if (global_) followNode();
    if (enabled)
        emitter_->attach(ownerScheduler());
    else
        emitter_->detach();
}

void ParticleSystemNode::copyFrom(BaseNode* source, BaseNode* manager) {
    BaseNode::copyFrom(source, manager);
    ParticleSystemNode* other = nodeCast<ParticleSystemNode>(source);
    if (!other) return;
    dropEmitter();
    if (other->emitter_) adoptEmitter(dynamic_cast<BaseEmitter*>(other->emitter_->clone()));
    mesh_.material = other->mesh_.material;
    setParticleTexture(other->texture_.get());
    setEnabled(other->enabled_);
    setEmitterEnabled(other->emitterEnabled_);
    global_ = other->global_;
}

void ParticleSystemNode::collectRenderItems(RenderList& list) {
    if (!prepareRenderItems()) return;
    for (uint32_t i = 0; i < getChildCount(); ++i) getChild(i)->collectRenderItems(list);
    TimerScheduler* scheduler = ownerScheduler();
    if (scheduler) {
        if (enabled_ && !timer_->getTimerScheduler()) timer_->setTimerScheduler(scheduler);
        if (emitterEnabled_ && emitter_ && !emitter_->getTimerScheduler()) {
            if (global_) followNode();
            emitter_->attach(scheduler);
        }
    }
    if (texture_ && texture_->getTexture() && particles_.size() > 0) addRenderItem(list, 0);
}

bool ParticleSystemNode::update(uint32_t elapsedMs) {
    if (particles_.size() == 0 || !texture_) return false;
    if (global_) followNode();
    const float dt = static_cast<float>(elapsedMs) * 0.001f;
    std::vector<Particle>& items = particles_.particles;
    for (size_t i = 0; i < items.size();) {
        Particle& p = items[i];
        p.age += elapsedMs;
        if (p.age >= p.lifetime) {
            // The last particle takes the place and is examined next.
            p = items.back();
            items.pop_back();
            continue;
        }
        p.velocityX += p.accelerationX * dt;
        p.velocityY += p.accelerationY * dt;
        p.x += p.velocityX * dt;
        p.y += p.velocityY * dt;
        p.angularVelocity += p.angularAcceleration * dt;
        p.angle += p.angularVelocity * dt;
        p.scale += p.scaleRate * dt;
        p.red += p.redRate * dt;
        p.green += p.greenRate * dt;
        p.blue += p.blueRate * dt;
        p.alpha += p.alphaRate * dt;
        ++i;
    }

    // The mesh grows to the most particles ever alive and never shrinks.
    const uint32_t count = particles_.size();
    mesh_.primitiveCount = 2 * count;
    if (mesh_.vertices.size() < 4 * count || mesh_.indices.size() < 6 * count) {
        const uint32_t firstVertex = mesh_.vertices.size();
        const uint32_t quads = count - firstVertex / 4;
        for (uint32_t q = 0; q < quads; ++q) {
            const irr::u16 base = static_cast<irr::u16>(firstVertex + 4 * q);
            for (int corner = 0; corner < 4; ++corner) {
                irr::video::S3DVertex v;
                v.Pos.Z = 0.0f;
                v.Normal.set(0.0f, 0.0f, 0.0f);
                mesh_.vertices.push_back(v);
            }
            const irr::u16 pattern[6] = {0, 1, 2, 0, 2, 3};
            for (irr::u16 k : pattern) mesh_.indices.push_back(static_cast<irr::u16>(base + k));
        }
        setTextureCoordinates(firstVertex);
    }

    const rectf& r = texture_->getTextureRect();
    const irr::core::dimension2d<irr::u32> size = getTextureImageSize(texture_->getTexture());
    const float width = (r.LowerRightCorner.X - r.UpperLeftCorner.X) * static_cast<float>(size.Width);
    const float height = (r.LowerRightCorner.Y - r.UpperLeftCorner.Y) * static_cast<float>(size.Height);
    const SColor nodeColor = getAbsoluteColor();
    for (uint32_t k = 0; k < count; ++k) {
        const Particle& p = items[k];
        const float half = p.scale * 0.5f;
        vector2df a(-width * half, -height * half);
        vector2df b(width * half, -height * half);
        const int32_t degrees = static_cast<int32_t>(p.angle);
        rotateVector2dDegrees(a, degrees);
        rotateVector2dDegrees(b, degrees);
        const SColor color = multiplyColors(toColor(p), nodeColor);
        const vector2df at(p.x, p.y);
        const vector2df corners[4] = {at + a, at + b, at - a, at - b};
        for (uint32_t c = 0; c < 4; ++c) {
            irr::video::S3DVertex& v = mesh_.vertices[4 * k + c];
            v.Pos.X = corners[c].X;
            v.Pos.Y = corners[c].Y;
            v.Color = color;
        }
    }
    return true;
}

void ParticleSystemNode::render(irr::video::IVideoDriver* driver, const rectf*) {
    QuadBatcher* batcher = getDriverQuadBatcher(driver);
    if (!batcher || mesh_.primitiveCount == 0) return;
    // The batcher draws in screen space: local particles are taken through
    // the node's transformation here, global ones are there already.
    drawMesh_.material = mesh_.material;
    drawMesh_.primitiveType = mesh_.primitiveType;
    drawMesh_.primitiveCount = mesh_.primitiveCount;
    drawMesh_.indices = mesh_.indices;
    drawMesh_.vertices = mesh_.vertices;
    if (!global_) {
        const matrix4& m = getAbsoluteTransform();
        for (uint32_t i = 0; i < drawMesh_.vertices.size(); ++i) {
            irr::core::vector3df& pos = drawMesh_.vertices[i].Pos;
            const float x = pos.X, y = pos.Y;
            pos.X = m[0] * x + m[4] * y + m[12];
            pos.Y = m[1] * x + m[5] * y + m[13];
        }
    }
    batcher->addMeshBuffer(&drawMesh_);
}

void ParticleSystemNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::writeProperties(set);
    if (emitter_) set->add("EmitterName", CountedRef<IPropertyData>(makeStringProperty(emitter_->getName())));
    if (texture_) set->add("ParticleTexture", makeAtlasTextureData(texture_.get()));
    if (!enabled_) PropertySet::addValue(set, "Enabled", false);
    if (!emitterEnabled_) PropertySet::addValue(set, "EmitterEnabled", false);
    if (global_) PropertySet::addValue(set, "Global", true);
}

void ParticleSystemNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::readProperties(set);
    const auto has = [set](const char* name) { return set->indexOf(name) >= 0; };
    if (has("ParticleTexture")) setParticleTexture(atlasTextureFromProperty(set->find("ParticleTexture")));
    if (has("Enabled")) setEnabled(boolFromProperty(set->find("Enabled")));
    if (has("EmitterEnabled")) setEmitterEnabled(boolFromProperty(set->find("EmitterEnabled")));
    if (has("Global")) global_ = boolFromProperty(set->find("Global"));
    if (has("EmitterName")) setEmitterName(propertyDataToString(set->find("EmitterName")));
}

}  // namespace engine
