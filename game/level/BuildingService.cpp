#include "game/level/GBuildingNode.h"

using namespace engine;

namespace game {

recti GBuildingNode::serveAreaRect(const GBuildingConfig*) const { return recti(); }
recti GBuildingNode::selfServingRect() const { return recti(); }
std::vector<GBuildingNode*> GBuildingNode::buildingsInServeArea(const GBuildingConfig*) const { return {}; }
void GBuildingNode::claimServedBuildings() {}
void GBuildingNode::setServingBuilding(NameId type, GBuildingNode* building) { servedBy_[type] = building; }
GBuildingNode* GBuildingNode::servingBuildingOfType(NameId type) const {
    auto it = servedBy_.find(type);
    return it == servedBy_.end() ? nullptr : it->second;
}
void GBuildingNode::forgetServingBuilding(GBuildingNode* building) {
    for (auto& entry : servedBy_)
        if (entry.second == building) entry.second = nullptr;
}
int32_t GBuildingNode::servedGuests(const GBuildingConfig*) const { return 0; }
float GBuildingNode::income(const GBuildingConfig*) const { return 0.0f; }
float GBuildingNode::boostedIncome() const { return 0.0f; }
stringw GBuildingNode::formatIncome(const GBuildingConfig*) const { return stringw(); }
void GBuildingNode::updateIncomeBonus() {}
float GBuildingNode::price(const GBuildingConfig*) const { return 0.0f; }
int32_t GBuildingNode::getOfferPrice() const { return 0; }
void GBuildingNode::showServeAreaHighlight(const GBuildingConfig*) {}
void GBuildingNode::showBuildPreview(const GBuildingConfig*) {}
void GBuildingNode::tintBody(SColor) {}
void GBuildingNode::setForSale(bool forSale) { forSale_ = forSale; }
void GBuildingNode::setBuyRequestPending(bool pending) { buyRequestPending_ = pending; }
void GBuildingNode::restartBuyRequestWait() {}
void GBuildingNode::clearSale() {}
void GBuildingNode::updateSale(int32_t) {}
void GBuildingNode::setTimerDial(BaseNode*, float) {}

}  // namespace game
