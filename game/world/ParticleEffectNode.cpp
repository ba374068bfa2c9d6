#include "game/world/ParticleEffectNode.h"
#include "engine/content/CContentManager.h"
#include "engine/visual/TextureContent.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertyDataCompound.h"
#include "engine/visual/PropertyDataVisual.h"
#include "engine/core/PropertySet.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TimerScheduler.h"
#include "engine/core/XmlReader.h"
#include "engine/io/FileSystem.h"
#include "engine/io/IrrRef.h"
#include "engine/visual/QuadBatcher.h"

using namespace engine;

// ---- Timeline tracks -------------------------------------------------------------

void ParticleTrack::step(float age, float& value, int32_t& index) const {
    if (index < 0 || static_cast<size_t>(index) >= keys.size()) return;
    const ParticleTrackKey& key = keys[static_cast<size_t>(index)];
    if (key.t <= age) {
        value = key.v;
        ++index;
        return;
    }
    if (index == 0) return;
    const ParticleTrackKey& previous = keys[static_cast<size_t>(index) - 1];
    const float span = key.t - previous.t;
    // Keys at one time are a jump to the later value, not a division by zero.
    value = span == 0.0f ? key.v : previous.v + (key.v - previous.v) * (age - previous.t) / span;
}

// ---- Properties --------------------------------------------------------------------

namespace {

GParticleEffectNode& effectOf(PropertyTableOwner& o) { return static_cast<GParticleEffectNode&>(o); }

void setFileEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    effectOf(o).setConfigurationFilename(propertyDataToString(v));
}
CountedRef<IPropertyData> getFileEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeStringProperty(effectOf(o).getConfigurationFilename()));
}
void setEnabledEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    effectOf(o).setEnabled(boolFromProperty(v));
}
CountedRef<IPropertyData> getEnabledEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(effectOf(o).isEnabled()));
}
void setAtlasEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    effectOf(o).setAtlasTexture(atlasTextureFromProperty(v));
}
CountedRef<IPropertyData> getAtlasEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeAtlasTextureData(effectOf(o).getAtlasTexture()));
}

}  // namespace

GParticleEffectNode::GParticleEffectNode(const CreationContext* context, BaseNode* parent, BaseNode* manager)
    : BaseNode(context, parent, manager, false),
      timer_(new UpdateTimer(this, &GParticleEffectNode::onTimer, kUpdatePeriod)) {
    mesh_.material.setMaterialType(EMT_TRANS_ALPHACH_VERTEXALPHA);
    mesh_.material.setTextureLayerCount(1);
    mesh_.material.flags().setFlag(irr::video::EMF_BILINEAR_FILTER, true);
    mesh_.primitiveType = irr::scene::EPT_TRIANGLES;
}

GParticleEffectNode::~GParticleEffectNode() {
    timer_->forget();
    timer_->setTimerScheduler(nullptr);
}

const PropertyTable& GParticleEffectNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("ConfigurationFilename", &setFileEntry, &getFileEntry);
        t.add("Enabled", &setEnabledEntry, &getEnabledEntry);
        t.add("AtlasTexture", &setAtlasEntry, &getAtlasEntry);
        return t;
    }();
    return table;
}

const PropertyTable& GParticleEffectNode::getPropertyTable() const { return classPropertyTable(); }

void GParticleEffectNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::writeProperties(set);
    if (!configurationFilename_.empty()) set->addString("ConfigurationFilename", configurationFilename_);
    if (!enabled_) PropertySet::addValue(set, "Enabled", false);
    if (atlasTexture_) set->add("AtlasTexture", makeAtlasTextureData(atlasTexture_.get()));
}

void GParticleEffectNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::readProperties(set);
    if (set->indexOf("ConfigurationFilename") >= 0)
        setConfigurationFilename(propertyDataToString(set->find("ConfigurationFilename")));
    if (set->indexOf("Enabled") >= 0) enabled_ = boolFromProperty(set->find("Enabled"));
    if (set->indexOf("AtlasTexture") >= 0) setAtlasTexture(atlasTextureFromProperty(set->find("AtlasTexture")));
}

void GParticleEffectNode::copyFrom(BaseNode* source, BaseNode* manager) {
    BaseNode::copyFrom(source, manager);
    GParticleEffectNode* other = dynamic_cast<GParticleEffectNode*>(source);
    if (!other || other == this) return;
    configurationFilename_ = other->configurationFilename_;
    enabled_ = other->enabled_;
    mesh_.material = other->mesh_.material;
    setAtlasTexture(other->atlasTexture_.get());
}

// ---- The description file ------------------------------------------------------------

void GParticleEffectNode::setConfigurationFilename(const stringc& path) {
    configurationFilename_ = path;
    IContentManager* contentManager = getContentManager();
    const stringc fullPath = contentManager ? contentManager->makeFullPath(path) : path;
    CountedRef<XmlReader> reader;
    auto* content = dynamic_cast<CContentManager*>(contentManager);
    if (FileSystem* files = content ? content->getFileSystem() : nullptr) {
        IrrRef<irr::io::IReadFile> file(files->createAndOpenFile(fullPath));
        if (file) reader.reset(new XmlReader(file.get()));
    } else if (!path.empty()) {
        reader.reset(new XmlReader(fullPath));
    }
    if (!path.empty() && (!reader || !reader->isValid()))
        logError("Could not read the particle description", fullPath.c_str());
    else if (reader && !readDescription(*reader))
        logError("The particle description ends before its end tag", fullPath.c_str());
    clearParticles();
}

bool GParticleEffectNode::readDescription(XmlReader& reader) {
    const stringw root = rootElement();
    const stringw timeline = timelineElement();
    while (reader.read()) {
        const irr::io::EXML_NODE type = reader.getNodeType();
        if (type == irr::io::EXN_ELEMENT_END && reader.getNodeName() == root) return true;
        if (type != irr::io::EXN_ELEMENT) continue;
        if (reader.getNodeName() == timeline)
            readTimeline(reader);
        else
            readSetting(reader.getNodeName(), reader);
    }
    return false;
}

void GParticleEffectNode::readTimeline(XmlReader& reader) {
    const stringw timeline = timelineElement();
    if (reader.finishEmptyElement()) return;
    while (reader.read()) {
        const irr::io::EXML_NODE type = reader.getNodeType();
        if (type == irr::io::EXN_ELEMENT_END && reader.getNodeName() == timeline) return;
        if (type != irr::io::EXN_ELEMENT) continue;
        if (ParticleTrack* track = trackNamed(reader.getNodeName())) readTrack(reader, *track);
    }
}

void GParticleEffectNode::readTrack(XmlReader& reader, ParticleTrack& track) {
    track.keys.clear();
    const stringw name = reader.getNodeName();
    if (reader.finishEmptyElement()) return;
    while (reader.read()) {
        const irr::io::EXML_NODE type = reader.getNodeType();
        if (type == irr::io::EXN_ELEMENT_END && reader.getNodeName() == name) return;
        if (type == irr::io::EXN_ELEMENT && reader.getNodeName() == L"k") {
            ParticleTrackKey key;
            key.t = reader.getAttributeValueAsFloat(L"T", 0.0f);
            key.v = reader.getAttributeValueAsFloat(L"V", 0.0f);
            track.keys.push_back(key);
        }
    }
}

float GParticleEffectNode::drawInRange(const vector2df& range) {
    return getRandomGenerator().rangeFloat(range.X, range.Y);
}

vector2df GParticleEffectNode::readPair(XmlReader& reader) { return parseVector2d(reader.getAttributeValue(L"Value")); }

int32_t GParticleEffectNode::readInt(XmlReader& reader) { return reader.getAttributeValueAsInt(L"Value", 0); }

// ---- Texture, emission clock and timer -------------------------------------------------

void GParticleEffectNode::setAtlasTexture(AtlasTextureContent* texture) {
    atlasTexture_ = CountedRef<AtlasTextureContent>::share(texture);
    mesh_.material.setTexture(texture ? texture->getTexture() : nullptr);
    if (texture) setTextureCoordinates(0);
}

void GParticleEffectNode::setTextureCoordinates(uint32_t firstVertex) {
    if (!atlasTexture_) return;
    const rectf& r = atlasTexture_->getTextureRect();
    const vector2df corners[4] = {{r.UpperLeftCorner.X, r.UpperLeftCorner.Y},
                                  {r.LowerRightCorner.X, r.UpperLeftCorner.Y},
                                  {r.LowerRightCorner.X, r.LowerRightCorner.Y},
                                  {r.UpperLeftCorner.X, r.LowerRightCorner.Y}};
    for (uint32_t i = firstVertex; i < mesh_.vertices.size(); ++i) mesh_.vertices[i].TCoords = corners[i % 4];
}

int32_t GParticleEffectNode::takeDueEmissions(int32_t ms, int32_t perSecond) {
    if (perSecond <= 0) return 0;
    const int32_t acc = ms + carry_;
    const float interval = 1000.0f / static_cast<float>(perSecond);
    const int32_t due = saturatingInt(static_cast<float>(acc) / interval);
    if (due == 0) {
        carry_ = acc;
        return 0;
    }
    carry_ = saturatingAdd(acc, -saturatingInt(interval * static_cast<float>(due)));
    return due;
}

TimerScheduler* GParticleEffectNode::timerSchedulerForNode() const {
    // Scene time first, so that a paused scene pauses its effects too.
    if (BaseNode* scene = getOwnerScene())
        if (TimerScheduler* scheduler = scene->getTimerScheduler()) return scheduler;
    BaseNode* manager = getManager();
    return manager ? manager->getTimerScheduler() : nullptr;
}

bool GParticleEffectNode::onTimer(uint32_t elapsedMs) {
    if (!atlasTexture_) return false;
    updateParticles(static_cast<float>(elapsedMs) * 0.001f);
    if (enabled_)
        emit(static_cast<int32_t>(elapsedMs));
    else if (getParticleCount() == 0)
        return false;
    const uint32_t count = getParticleCount();
    prepareQuads(count);
    TextureContent* texture = atlasTexture_->getTexture();
    const rectf& r = atlasTexture_->getTextureRect();
    const irr::core::dimension2d<irr::u32> size =
        texture ? getTextureImageSize(texture) : irr::core::dimension2d<irr::u32>(0, 0);
    writeQuads((r.LowerRightCorner.X - r.UpperLeftCorner.X) * static_cast<float>(size.Width),
               (r.LowerRightCorner.Y - r.UpperLeftCorner.Y) * static_cast<float>(size.Height));
    return true;
}

void GParticleEffectNode::prepareQuads(uint32_t count) {
    if (mesh_.vertices.size() < 4 * count || mesh_.indices.size() < 6 * count) {
        const uint32_t firstVertex = mesh_.vertices.size();
        for (uint32_t q = firstVertex / 4; q < count; ++q) {
            const irr::u16 base = static_cast<irr::u16>(4 * q);
            for (int corner = 0; corner < 4; ++corner) {
                irr::video::S3DVertex v;
                v.Pos.Z = 0.0f;
                v.Normal.set(0.0f, 0.0f, 0.0f);
                mesh_.vertices.push_back(v);
            }
            for (irr::u16 k : {0, 1, 2, 0, 2, 3}) mesh_.indices.push_back(static_cast<irr::u16>(base + k));
        }
        setTextureCoordinates(firstVertex);
    }
    mesh_.primitiveCount = 2 * count;
}

void GParticleEffectNode::setQuad(uint32_t k, const vector2df& p, vector2df c0, vector2df c1, float rotation,
                                  float alpha) {
    const int32_t degrees = saturatingInt(rotation);
    rotateVector2dDegrees(c0, degrees);
    rotateVector2dDegrees(c1, degrees);
    const SColor colour = multiplyColors(SColor(static_cast<irr::u32>(saturatingInt(alpha * 255.0f)) & 0xFFu,
                                                255, 255, 255),
                                         getAbsoluteColor());
    const vector2df corners[4] = {p + c0, p + c1, p - c0, p - c1};
    for (uint32_t c = 0; c < 4; ++c) {
        irr::video::S3DVertex& v = mesh_.vertices[4 * k + c];
        v.Pos.X = corners[c].X;
        v.Pos.Y = corners[c].Y;
        v.Color = colour;
    }
}

// ---- Drawing ----------------------------------------------------------------------------

void GParticleEffectNode::collectRenderItems(RenderList& list) {
    TextureContent* texture = atlasTexture_ ? atlasTexture_->getTexture() : nullptr;
    const bool drawable = texture && texture->getDriverTexture() && getParticleCount() > 0;
    if (!isVisible()) return;
    collectRenderItemsWithOwn(list, drawable, 0);
    if (enabled_ && atlasTexture_ && !timer_->getTimerScheduler()) {
        TimerScheduler* scheduler = timerSchedulerForNode();
        if (!scheduler) return;
        clearParticles();
        carry_ = 0;
        emit(kStartEmissionMs);
        timer_->setTimerScheduler(scheduler);
    }
}

void GParticleEffectNode::render(irr::video::IVideoDriver* driver, const rectf*) {
    QuadBatcher* batcher = getDriverQuadBatcher(driver);
    const uint32_t count = getParticleCount();
    if (!batcher || count == 0 || mesh_.vertices.size() < 4 * count) return;
    // The batcher draws in screen space: the quads are taken through the
    // node's 2D transform (its depth only orders the draw list).
    drawMesh_.material = mesh_.material;
    drawMesh_.primitiveType = mesh_.primitiveType;
    drawMesh_.primitiveCount = 2 * count;
    drawMesh_.vertices.set_used(4 * count);
    drawMesh_.indices.set_used(6 * count);
    const matrix4& m = getAbsoluteTransform();
    for (uint32_t i = 0; i < 4 * count; ++i) {
        irr::video::S3DVertex v = mesh_.vertices[i];
        const float x = v.Pos.X, y = v.Pos.Y;
        v.Pos.X = m[0] * x + m[4] * y + m[12];
        v.Pos.Y = m[1] * x + m[5] * y + m[13];
        v.Pos.Z = 0.0f;
        drawMesh_.vertices[i] = v;
    }
    for (uint32_t i = 0; i < 6 * count; ++i) drawMesh_.indices[i] = mesh_.indices[i];
    batcher->flush();
    batcher->addMeshBuffer(&drawMesh_);
    batcher->flush();
}
