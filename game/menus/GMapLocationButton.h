#pragma once
// One level location on the map: a button that carries the level folder it
// starts and shows what the map tells it through its template: a platform
// coloured for locked (grey), playable (plain), missing upgrades (red) or a
// mini-game (green), the medal earned (gold or silver star), a selection
// marker and a looping "Wave" whose phase differs from button to button.
#include "engine/controls/ButtonNode.h"

namespace engine {
class SpriteNode;
}

namespace game {

class GMapLocationButton : public engine::ButtonNode {
    ENGINE_NODE_TYPE(GMapLocationButton, engine::ButtonNode, 1136)

public:
    GMapLocationButton(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                       bool mostDerived = true);

    // The button's table followed by "AssociatedLevelName".
    const engine::PropertyTable& getPropertyTable() const override;
    static const engine::PropertyTable& classPropertyTable();

    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;
    void writeProperties(engine::PropertySet* set) override;
    void readProperties(engine::PropertySet* set) override;
    // Binds "Selector", "Star", "Star"/"Star" and "Star"/"Platform" of the
    // new template instance.
    void applyTemplate() override;

    // A locked location shows the grey platform and no medal.
    void setEnabled(bool enabled) override;
    // Red platform while the level's required upgrades are missing; only on
    // an enabled location.
    void setUpgradesReady(bool ready);
    // Green platform on an enabled location; off changes nothing.
    void setMiniGameMarker(bool on);
    // 2 gold, 1 silver, anything else no medal.
    void setRank(int32_t medal);
    void setSelected(bool selected);
    // Enters "Wave" on the star group and moves its first animator to
    // phase (0 to 1) of its length, so neighbouring locations do not bob
    // in step.
    void startWave(float phase);

    const engine::stringc& getAssociatedLevelName() const { return associatedLevelName_; }
    void setAssociatedLevelName(const engine::stringc& name) { associatedLevelName_ = name; }

    engine::BaseNode* getSelector() const { return selector_; }
    engine::BaseNode* getStarGroup() const { return starGroup_; }
    engine::SpriteNode* getStar() const { return star_; }
    engine::SpriteNode* getPlatform() const { return platform_; }

private:
    void showImage(engine::SpriteNode* sprite, const char* path);

    engine::stringc associatedLevelName_;
    engine::BaseNode* selector_ = nullptr;
    engine::BaseNode* starGroup_ = nullptr;
    engine::SpriteNode* star_ = nullptr;
    engine::SpriteNode* platform_ = nullptr;
};

}  // namespace game
