#include "game/level/GBuildingNode.h"

using namespace engine;

namespace game {

void GBuildingNode::setCondition(int32_t condition) { condition_ = condition; }
bool GBuildingNode::isOperating() const { return false; }
bool GBuildingNode::isFeatureAvailable(int32_t) const { return false; }
int32_t GBuildingNode::featureState(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= featureStates_.size()) return kFeatureRecharging;
    return featureStates_[static_cast<size_t>(index)].state;
}
float GBuildingNode::featureProgress(int32_t) const { return 1.0f; }
void GBuildingNode::activateFeature(int32_t) {}
void GBuildingNode::updateFeatures(int32_t) {}
void GBuildingNode::showFeatureIconProgress(BaseNode*, float) {}

}  // namespace game
