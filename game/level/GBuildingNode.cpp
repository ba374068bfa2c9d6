#include "game/level/GBuildingNode.h"

using namespace engine;

namespace game {

GBuildingNode::GBuildingNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : ControlNode(context, parent, manager, false), record_(new GBuildingConfig()) {
    setPeriod(kTickMs);
    linkToParent(parent, mostDerived);
}

GBuildingNode::~GBuildingNode() = default;

const PropertyTable& GBuildingNode::getPropertyTable() const { return classPropertyTable(); }
const PropertyTable& GBuildingNode::classPropertyTable() { return ControlNode::classPropertyTable(); }
void GBuildingNode::writeProperties(PropertySet* set) { ControlNode::writeProperties(set); }
void GBuildingNode::readProperties(PropertySet* set) { ControlNode::readProperties(set); }
void GBuildingNode::copyFrom(BaseNode* source, BaseNode* manager) { ControlNode::copyFrom(source, manager); }
void GBuildingNode::applyTemplate() { ControlNode::applyTemplate(); }
void GBuildingNode::applyPressState() {}
void GBuildingNode::applyHoverState() {}
void GBuildingNode::applyFocusState() {}
bool GBuildingNode::onEvent74(NodeStateFinishedEvent* event) { return ControlNode::onEvent74(event); }
bool GBuildingNode::onEvent21(LeftButtonDownEvent*) { return true; }
bool GBuildingNode::onEvent24(LeftButtonUpEvent*) { return false; }
bool GBuildingNode::onTick(uint32_t) { return true; }

void GBuildingNode::setLevelConfig(GLevelConfig* level) { levelConfig_ = CountedRef<GLevelConfig>::share(level); }
void GBuildingNode::setRecord(GBuildingConfig* record, bool) {
    previousRecord_ = record_;
    record_.reset(record ? record->copy() : new GBuildingConfig());
}
void GBuildingNode::saveState() {
    savedCondition_ = condition_;
    savedFeatureStates_ = featureStates_;
}
void GBuildingNode::setJob(int32_t jobState, GBuildingTask* job) {
    jobState_ = jobState;
    job_ = job;
}
bool GBuildingNode::clearJob(GBuildingTask* task) {
    if (!task || task != job_) return false;
    setJob(kNoJob, nullptr);
    return true;
}
void GBuildingNode::cancelJob() {}
float GBuildingNode::jobProgress() const { return jobState_ == kNoJob ? 1.0f : 0.0f; }
void GBuildingNode::setOwned(bool owned) { ownedByPlayer_ = owned; }
void GBuildingNode::setLuckinessType(int32_t type) { luckinessType_ = type; }
void GBuildingNode::showWorkers(int32_t) {}
void GBuildingNode::updateStars(int32_t, int32_t) {}
void GBuildingNode::placeOverlayIcons() {}
void GBuildingNode::updateFeatureIcons() {}
void GBuildingNode::updateSmileIcon() {}
void GBuildingNode::notifySelection() {}
void GBuildingNode::playStateSound() {}
void GBuildingNode::stopStateSound() {}
vector3df GBuildingNode::levelStarPosition() const { return vector3df(0.0f, 0.0f, 0.0f); }
BaseNode* GBuildingNode::getFeatureIcon(int32_t index) const {
    return index == 0 ? feature1Icon_.get() : feature2Icon_.get();
}

}  // namespace game
