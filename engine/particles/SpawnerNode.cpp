#include "engine/particles/SpawnerNode.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/NameId.h"
#include "engine/core/PropertyDataCompound.h"
#include "engine/core/PropertySet.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TextRoutines.h"
#include "engine/core/TimerScheduler.h"
#include <cmath>

namespace engine {

namespace {

SpawnerNode& spawnerOf(PropertyTableOwner& o) { return static_cast<SpawnerNode&>(o); }

float rangeValue(const vector2df& range) { return getRandomGenerator().rangeFloat(range.X, range.Y); }

void setTemplateEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    spawnerOf(o).setObjTemplate(v ? propertyDataToString(v) : stringc());
}
CountedRef<IPropertyData> getTemplateEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeStringProperty(spawnerOf(o).getObjTemplate()));
}
void setEnabledEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    spawnerOf(o).setEnabled(boolFromProperty(v));
}
CountedRef<IPropertyData> getEnabledEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(spawnerOf(o).isEnabled()));
}
void setGhostEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    spawnerOf(o).setSpawnedObjectGhost(boolFromProperty(v));
}
CountedRef<IPropertyData> getGhostEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(spawnerOf(o).isSpawnedObjectGhost()));
}
template <vector2df SpawnerNode::*Member>
void setRangeEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    spawnerOf(o).*Member = vector2dFromProperty(v);
}
template <vector2df SpawnerNode::*Member>
CountedRef<IPropertyData> getRangeEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeVector2dProperty(spawnerOf(o).*Member));
}

struct RangeKey {
    const char* name;
    vector2df SpawnerNode::*member;
    vector2df defaultValue;
};
const RangeKey kRanges[] = {
    {"ObjectsSpawnStartDelayRange", &SpawnerNode::startDelayRange, {0.0f, 0.0f}},
    {"ObjectsPerSecRange", &SpawnerNode::perSecRange, {1.0f, 1.0f}},
    {"ObjectsLifeTimeRange", &SpawnerNode::lifeTimeRange, {1000.0f, 1000.0f}},
    {"ObjectsXDeltaRange", &SpawnerNode::xDeltaRange, {0.0f, 0.0f}},
    {"ObjectsYDeltaRange", &SpawnerNode::yDeltaRange, {0.0f, 0.0f}},
    {"ObjectsRotationDeltaRange", &SpawnerNode::rotationDeltaRange, {0.0f, 0.0f}},
};

}  // namespace

void setNodePropertyByName(BaseNode* node, const stringc& name, const CountedRef<IPropertyData>& value) {
    if (!node) return;
    const PropertyTable& table = node->getPropertyTable();
    const int32_t index = table.indexOf(name);
    if (index >= 0) table.set(*node, index, value);
}

SpawnerNode::SpawnerNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : BaseNode(context, parent, manager, false), timer_(new TickTimer(this, &SpawnerNode::tick, kTickPeriod)) {
    linkToParent(parent, mostDerived);
}

SpawnerNode::~SpawnerNode() {
    timer_->forget();
    timer_->setTimerScheduler(nullptr);
    releaseTemplates();
    if (objectsProperties_) objectsProperties_->release();
}

const PropertyTable& SpawnerNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("ObjTemplate", &setTemplateEntry, &getTemplateEntry);
        t.add("Enabled", &setEnabledEntry, &getEnabledEntry);
        t.add("IsSpawnedObjectGhost", &setGhostEntry, &getGhostEntry);
        t.add("ObjectsSpawnStartDelayRange", &setRangeEntry<&SpawnerNode::startDelayRange>,
              &getRangeEntry<&SpawnerNode::startDelayRange>);
        t.add("ObjectsPerSecRange", &setRangeEntry<&SpawnerNode::perSecRange>,
              &getRangeEntry<&SpawnerNode::perSecRange>);
        t.add("ObjectsLifeTimeRange", &setRangeEntry<&SpawnerNode::lifeTimeRange>,
              &getRangeEntry<&SpawnerNode::lifeTimeRange>);
        t.add("ObjectsXDeltaRange", &setRangeEntry<&SpawnerNode::xDeltaRange>,
              &getRangeEntry<&SpawnerNode::xDeltaRange>);
        t.add("ObjectsYDeltaRange", &setRangeEntry<&SpawnerNode::yDeltaRange>,
              &getRangeEntry<&SpawnerNode::yDeltaRange>);
        t.add("ObjectsRotationDeltaRange", &setRangeEntry<&SpawnerNode::rotationDeltaRange>,
              &getRangeEntry<&SpawnerNode::rotationDeltaRange>);
        return t;
    }();
    return table;
}

const PropertyTable& SpawnerNode::getPropertyTable() const { return classPropertyTable(); }

TimerScheduler* SpawnerNode::ownerScheduler() const {
    BaseNode* scene = getOwnerScene();
    return scene ? scene->getTimerScheduler() : nullptr;
}

TimerScheduler* SpawnerNode::getTickScheduler() const { return timer_->getTimerScheduler(); }

void SpawnerNode::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled) {
        timer_->setTimerScheduler(nullptr);
        return;
    }
    TimerScheduler* scheduler = ownerScheduler();
    if (scheduler != timer_->getTimerScheduler()) timer_->setTimerScheduler(scheduler);
}

void SpawnerNode::setObjTemplate(const stringc& names) {
    templateNames_ = splitBySemicolon(names);
    updateTemplates();
}

stringc SpawnerNode::getObjTemplate() const {
    stringc joined;
    for (uint32_t i = 0; i < templateNames_.size(); ++i) {
        if (i) joined += ";";
        joined += nameOfId(templateNames_[i]);
    }
    return joined;
}

void SpawnerNode::releaseTemplates() {
    for (BaseNode* node : templates_) node->release();
    templates_.clear();
}

void SpawnerNode::updateTemplates() {
    BaseNode* manager = getManager();
    TemplateCollectionNode* collection = manager ? manager->getTemplateCollection() : nullptr;
    if (!collection) return;
    releaseTemplates();
    for (uint32_t i = 0; i < templateNames_.size(); ++i) {
        if (BaseNode* found = collection->getTemplate(templateNames_[i])) {
            found->addRef();
            templates_.push_back(found);
        }
    }
}

bool SpawnerNode::onEvent33(SceneShownEvent*) {
    updateTemplates();
    return false;
}

bool SpawnerNode::onEvent34(NodeEvent34*) {
    updateTemplates();
    return false;
}

void SpawnerNode::setObjectsProperties(PropertySet* set) {
    if (set) set->addRef();
    if (objectsProperties_) objectsProperties_->release();
    objectsProperties_ = set;
}

void SpawnerNode::pruneGhosts() {
    // An object that ended itself has left the spawner; let it go.
    size_t kept = 0;
    for (size_t i = 0; i < spawnedGhosts_.size(); ++i) {
        if (spawnedGhosts_[i]->getParent() != this) continue;
        if (kept != i) spawnedGhosts_[kept] = spawnedGhosts_[i];
        ++kept;
    }
    spawnedGhosts_.resize(kept);
}

void SpawnerNode::collectRenderItems(RenderList& list) {
    BaseNode::collectRenderItems(list);
    pruneGhosts();
    if (isVisible()) {
        for (size_t i = 0; i < spawnedGhosts_.size(); ++i) spawnedGhosts_[i]->collectRenderItems(list);
    }
    if (!enabled_ || timer_->getTimerScheduler()) return;
    TimerScheduler* scheduler = ownerScheduler();
    if (!scheduler) return;
    accumulator_ = -rangeValue(startDelayRange);
    timer_->setTimerScheduler(scheduler);
}

bool SpawnerNode::tick(uint32_t elapsedMs) {
    accumulator_ += static_cast<float>(elapsedMs);
    if (!(accumulator_ > 0.0f)) return true;
    const float interval = 1000.0f / rangeValue(perSecRange);
    // A rate of 0 or below spawns nothing (the time is kept, not turned into
    // an endless or negative count).
    if (!(interval > 0.0f) || std::isinf(interval)) return true;
    const float whole = std::trunc(accumulator_ / interval);
    if (!(whole >= 1.0f)) return true;
    accumulator_ -= whole * interval;
    // One tick never spawns more than a bounded batch, and the spawner never
    // holds more than a bounded number of live objects, whatever the rate: a
    // rate far beyond what a scene can show would otherwise flood it. Time
    // that could not be spent on objects is dropped, not saved for a burst.
    constexpr int32_t kMostPerTick = 1000;
    pruneGhosts();
    const size_t live = ghostObjects_ ? spawnedGhosts_.size() : getChildCount();
    const int32_t room = live < kMostLive ? static_cast<int32_t>(kMostLive - live) : 0;
    int32_t count = saturatingInt(whole);
    if (count > kMostPerTick) count = kMostPerTick;
    if (count > room) {
        count = room;
        accumulator_ = 0.0f;
    }
    spawn(count);
    return true;
}

void SpawnerNode::spawn(int32_t count) {
    if (templates_.empty() || count <= 0) return;
    const uint32_t index = getRandomGenerator().nextMWC() % static_cast<uint32_t>(templates_.size());
    // Held for the whole call: a spawned object may change the templates.
    CountedRef<BaseNode> source = CountedRef<BaseNode>::share(templates_[index]);
    for (int32_t i = 0; i < count; ++i) {
        // A ghost is not among the children: it is written to no scene file
        // and copied with no spawner. The spawner holds it and draws it.
        CountedRef<BaseNode> clone(source->clone(nullptr, nullptr));
        if (!clone) continue;
        clone->setGhost(ghostObjects_);
        addChild(clone.get());
        if (ghostObjects_) spawnedGhosts_.push_back(clone);
        const float z = clone->getPosition().Z;
        const float x = rangeValue(xDeltaRange);
        const float y = rangeValue(yDeltaRange);
        clone->setPosition(vector3df(x, y, z));
        clone->setRotation(vector3df(0.0f, 0.0f, rangeValue(rotationDeltaRange)));
        clone->setVisible(true);
        if (objectsProperties_) {
            for (uint32_t k = 0; k < objectsProperties_->getCount(); ++k)
                setNodePropertyByName(clone.get(), objectsProperties_->getNameAt(k),
                                      objectsProperties_->getDataAt(k));
        }
        const float life = rangeValue(lifeTimeRange);
        setNodePropertyByName(clone.get(), "LifeTime", CountedRef<IPropertyData>(makeIntProperty(saturatingInt(life))));
    }
}

void SpawnerNode::copyFrom(BaseNode* source, BaseNode* manager) {
    BaseNode::copyFrom(source, manager);
    SpawnerNode* other = nodeCast<SpawnerNode>(source);
    if (!other) return;
    templateNames_ = other->templateNames_;
    ghostObjects_ = other->ghostObjects_;
    startDelayRange = other->startDelayRange;
    perSecRange = other->perSecRange;
    lifeTimeRange = other->lifeTimeRange;
    xDeltaRange = other->xDeltaRange;
    yDeltaRange = other->yDeltaRange;
    rotationDeltaRange = other->rotationDeltaRange;
    accumulator_ = other->accumulator_;
    setObjectsProperties(other->objectsProperties_ ? other->objectsProperties_->clone().get() : nullptr);
    updateTemplates();
    setEnabled(other->enabled_);
}

void SpawnerNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::writeProperties(set);
    if (!templateNames_.empty()) set->add("ObjTemplate", CountedRef<IPropertyData>(makeStringProperty(getObjTemplate())));
    if (!ghostObjects_) PropertySet::addValue(set, "IsSpawnedObjectGhost", false);
    if (!enabled_) PropertySet::addValue(set, "Enabled", false);
    for (const RangeKey& key : kRanges) {
        const vector2df& value = this->*key.member;
        if (value.X != key.defaultValue.X || value.Y != key.defaultValue.Y)
            set->add(key.name, CountedRef<IPropertyData>(makeVector2dProperty(value)));
    }
    if (objectsProperties_) set->setProperties("ObjectsProperties", objectsProperties_);
}

void SpawnerNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::readProperties(set);
    const auto has = [set](const char* name) { return set->indexOf(name) >= 0; };
    if (has(kRanges[0].name)) startDelayRange = vector2dFromProperty(set->find(kRanges[0].name));
    accumulator_ = -rangeValue(startDelayRange);
    for (uint32_t i = 1; i < sizeof(kRanges) / sizeof(kRanges[0]); ++i)
        if (has(kRanges[i].name)) this->*kRanges[i].member = vector2dFromProperty(set->find(kRanges[i].name));
    if (has("ObjectsProperties")) {
        const CountedRef<IPropertyData> value = set->find("ObjectsProperties");
        const CPropertyDataProperties* nested =
            propertyDataAs<CPropertyDataProperties>(value, PROPERTY_PROPERTIES);
        setObjectsProperties(nested ? nested->getSet() : nullptr);
    }
    if (has("ObjTemplate")) setObjTemplate(propertyDataToString(set->find("ObjTemplate")));
    if (has("Enabled")) setEnabled(boolFromProperty(set->find("Enabled")));
    if (has("IsSpawnedObjectGhost")) ghostObjects_ = boolFromProperty(set->find("IsSpawnedObjectGhost"));
}

}  // namespace engine
