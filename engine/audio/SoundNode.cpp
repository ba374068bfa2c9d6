#include "engine/audio/SoundNode.h"
#include "engine/audio/SoundManager.h"
#include "engine/core/PropertySet.h"

namespace engine {

namespace {

SoundNode& soundOf(PropertyTableOwner& object) { return static_cast<SoundNode&>(object); }

void setCueEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    soundOf(o).setCue(v ? makeNameId(v->toString()) : kNoName);
}
CountedRef<IPropertyData> getCueEntry(PropertyTableOwner& o) {
    const NameId cue = soundOf(o).getCue();
    return CountedRef<IPropertyData>(makeStringProperty(cue == kNoName ? stringc() : nameOfId(cue)));
}
void setPlayEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    soundOf(o).setPlay(boolFromProperty(v));
}
CountedRef<IPropertyData> getPlayEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(soundOf(o).isPlaying()));
}

}  // namespace

SoundNode::SoundNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : BaseNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

SoundNode::~SoundNode() = default;

const PropertyTable& SoundNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add("SoundCueName", &setCueEntry, &getCueEntry);
        t.add("Play", &setPlayEntry, &getPlayEntry);
        return t;
    }();
    return table;
}

const PropertyTable& SoundNode::getPropertyTable() const { return classPropertyTable(); }

void SoundNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::writeProperties(set);
    if (cueName_ != kNoName) set->addString("SoundCueName", nameOfId(cueName_));
    set->add("Play", CountedRef<IPropertyData>(makeBoolProperty(play_)));
}

void SoundNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseNode::readProperties(set);
    if (set->indexOf("Play") >= 0) setPlay(boolFromProperty(set->find("Play")));
    if (set->indexOf("SoundCueName") >= 0) {
        CountedRef<IPropertyData> name = set->find("SoundCueName");
        setCue(name ? makeNameId(name->toString()) : kNoName);
    }
}

void SoundNode::copyFrom(BaseNode* source, BaseNode* manager) {
    BaseNode::copyFrom(source, manager);
    SoundNode* other = nodeCast<SoundNode>(source);
    if (!other || other == this) return;
    cueName_ = other->cueName_;
    play_ = other->play_;
    synced_ = false;
}

bool SoundNode::isPlaying() const { return instance_ && instance_->getState() == 2; }

void SoundNode::setCue(NameId cue) {
    if (instance_) {
        instance_->stop(0);
        instance_.reset();
    }
    cueName_ = cue;
    synced_ = false;
    sync();
}

void SoundNode::setPlay(bool play) {
    play_ = play;
    synced_ = false;
    sync();
}

void SoundNode::sync() {
    if (synced_ || !getManager() || !isVisible()) return;
    if (!play_) {
        if (instance_) instance_->stop(0);
        synced_ = true;
        return;
    }
    if (cueName_ == kNoName) return;
    SoundManager* sounds = getCurrentSoundManager();
    if (!sounds) return;
    if (instance_) {
        instance_->stop(0);
        instance_.reset();
    }
    SoundCue* started = sounds->playCue(cueName_, false, 0);
    if (!started) return;  // tried again next frame
    instance_ = CountedRef<SoundCue>::share(started);
    synced_ = true;
}

void SoundNode::collectRenderItems(RenderList& list) {
    if (!isVisible()) return;
    if (isTransformDirty()) updateAbsoluteTransform();
    if (isColorDirty()) updateAbsoluteColor();
    sync();
    for (uint32_t i = 0; i < getChildCount(); ++i) getChild(i)->collectRenderItems(list);
}

}  // namespace engine
