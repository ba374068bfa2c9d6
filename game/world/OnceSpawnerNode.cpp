#include "game/world/OnceSpawnerNode.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TextRoutines.h"
#include "game/world/PathMovers.h"

using namespace engine;

namespace game {

namespace {

OnceSpawnerNode& spawnerOf(PropertyTableOwner& o) { return static_cast<OnceSpawnerNode&>(o); }

void setTemplatesEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    spawnerOf(o).setObjTemplateIds(propertyDataToString(v));
}
CountedRef<IPropertyData> getTemplatesEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeStringProperty(spawnerOf(o).getObjTemplateIdsText()));
}
void setStatesEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    spawnerOf(o).setObjStates(propertyDataToString(v));
}
CountedRef<IPropertyData> getStatesEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeStringProperty(spawnerOf(o).getObjStatesText()));
}
void setPercentEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    spawnerOf(o).setShowLevelPercent(intFromProperty(v));
}
CountedRef<IPropertyData> getPercentEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(spawnerOf(o).getShowLevelPercent()));
}

stringc joined(const array<NameId>& names) {
    stringc text;
    for (uint32_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += ";";
        text += nameOfId(names[i]);
    }
    return text;
}

}  // namespace

OnceSpawnerNode::OnceSpawnerNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                 bool mostDerived)
    : BaseNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

const PropertyTable& OnceSpawnerNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("ObjTemplateIDs", &setTemplatesEntry, &getTemplatesEntry);
        t.add("ObjState", &setStatesEntry, &getStatesEntry);
        t.add("ShowLevelPercent", &setPercentEntry, &getPercentEntry);
        return t;
    }();
    return table;
}

const PropertyTable& OnceSpawnerNode::getPropertyTable() const { return classPropertyTable(); }

void OnceSpawnerNode::setObjTemplateIds(const stringc& names) { templateIds_ = splitBySemicolon(names); }
void OnceSpawnerNode::setObjStates(const stringc& names) { states_ = splitBySemicolon(names); }
stringc OnceSpawnerNode::getObjTemplateIdsText() const { return joined(templateIds_); }
stringc OnceSpawnerNode::getObjStatesText() const { return joined(states_); }

BaseNode* OnceSpawnerNode::getSpawned() const {
    return spawned_ && spawned_->getParent() == this ? spawned_.get() : nullptr;
}

void OnceSpawnerNode::copyFrom(BaseNode* source, BaseNode* manager) {
    BaseNode::copyFrom(source, manager);
    OnceSpawnerNode* other = nodeCast<OnceSpawnerNode>(source);
    if (!other || other == this) return;
    templateIds_ = other->templateIds_;
    states_ = other->states_;
}

void OnceSpawnerNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::writeProperties(set);
    if (!templateIds_.empty()) set->addString("ObjTemplateIDs", getObjTemplateIdsText());
    if (!states_.empty()) set->addString("ObjState", getObjStatesText());
    if (showLevelPercent_ != kDefaultShowPercent) set->addInt("ShowLevelPercent", showLevelPercent_);
}

void OnceSpawnerNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::readProperties(set);
    if (set->indexOf("ObjTemplateIDs") >= 0) setObjTemplateIds(propertyDataToString(set->find("ObjTemplateIDs")));
    if (set->indexOf("ObjState") >= 0) setObjStates(propertyDataToString(set->find("ObjState")));
    if (set->indexOf("ShowLevelPercent") >= 0) showLevelPercent_ = intFromProperty(set->find("ShowLevelPercent"));
}

void OnceSpawnerNode::spawnOnce() { spawnOnce(getRandomGenerator()); }

void OnceSpawnerNode::spawnOnce(RandomGenerator& random) {
    if (!spawnPending_) return;
    spawnPending_ = false;
    const int32_t chance = random.rangeInt(1, 99);
    BaseNode* manager = getManager();
    TemplateCollectionNode* collection = manager ? manager->getTemplateCollection() : nullptr;
    if (chance >= showLevelPercent_ || !collection || templateIds_.empty()) return;
    const int32_t pick = random.rangeInt(0, static_cast<int32_t>(templateIds_.size()));
    BaseNode* source = collection->getTemplate(templateIds_[static_cast<uint32_t>(pick)]);
    if (!source) return;
    CountedRef<BaseNode> clone(source->clone(nullptr, nullptr));
    if (!clone) return;
    if (GCarNode* car = nodeCast<GCarNode>(clone.get())) car->leaveAtEnd = false;
    clone->setVisible(true);
    clone->setGhost(true);
    addChild(clone.get());
    spawned_ = clone;
    if (!states_.empty()) {
        const int32_t state = random.rangeInt(0, static_cast<int32_t>(states_.size()));
        clone->enterStateInChildren(states_[static_cast<uint32_t>(state)]);
    }
}

void OnceSpawnerNode::attach(BaseNode* manager, BaseNode* scene) {
    BaseNode::attach(manager, scene);
    if (BaseNode* spawned = getSpawned()) spawned->attach(manager, scene);
}

void OnceSpawnerNode::updateAbsoluteTransform() {
    BaseNode::updateAbsoluteTransform();
    if (BaseNode* spawned = getSpawned()) spawned->updateAbsoluteTransform();
}

void OnceSpawnerNode::updateAbsoluteColor() {
    BaseNode::updateAbsoluteColor();
    if (BaseNode* spawned = getSpawned()) spawned->updateAbsoluteColor();
}

void OnceSpawnerNode::collectRenderItems(RenderList& list) {
    spawnOnce();
    BaseNode::collectRenderItems(list);
    if (!isVisible()) return;
    if (BaseNode* spawned = getSpawned()) spawned->collectRenderItems(list);
}

}  // namespace game
