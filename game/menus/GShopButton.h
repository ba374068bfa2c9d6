#pragma once
// One upgrade for sale in the shop. The button names the upgrade and shows
// its price in the child "PriceText"; a bought upgrade shows the child
// "Bought" instead and puts the button's template into the state "Bought",
// an upgrade not yet on sale (its level not finished, or not in the
// catalogue) into "Locked". Otherwise the ordinary control states apply.
#include "engine/controls/ButtonNode.h"

namespace engine {
class TextNode;
}

namespace game {

class GShopButton : public engine::ButtonNode {
    ENGINE_NODE_TYPE(GShopButton, engine::ButtonNode, 1137)

public:
    GShopButton(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                bool mostDerived = true);

    // The button's table followed by "UpgradeName".
    const engine::PropertyTable& getPropertyTable() const override;
    static const engine::PropertyTable& classPropertyTable();

    // Binds the direct children "PriceText" (a text node) and "Bought".
    void onLoaded() override;
    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;
    void writeProperties(engine::PropertySet* set) override;
    void readProperties(engine::PropertySet* set) override;

    void setBought(bool bought);
    void setLocked(bool locked);
    // A price above 0 is shown grouped by thousands; any other hides it.
    void setPrice(int32_t price);

    // Bought and locked buttons keep their own look through every control
    // state change (the press itself stays the base's, so it always ends).
    void applyPressEndState() override;
    void applyPressedState() override;
    void applyHoverState() override;
    void applyFocusState() override;

    bool isBought() const { return bought_; }
    bool isLocked() const { return locked_; }
    int32_t getPrice() const { return price_; }
    engine::NameId getUpgradeName() const { return upgradeName_; }
    void setUpgradeName(engine::NameId name) { upgradeName_ = name; }
    engine::TextNode* getPriceText() const { return priceText_; }
    engine::BaseNode* getBoughtNode() const { return boughtNode_; }

    // The control states' fallbacks plus "Bought" falling back to "Normal".
    static engine::NameId stateTransition(engine::NameId state);

private:
    // Enters "Bought" or "Locked" when the button is one; false otherwise.
    bool applyOwnState();

    bool bought_ = false;
    bool locked_ = false;
    int32_t price_ = 0;
    engine::NameId upgradeName_ = engine::kNoName;
    engine::TextNode* priceText_ = nullptr;
    engine::BaseNode* boughtNode_ = nullptr;
};

}  // namespace game
