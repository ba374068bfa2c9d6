#pragma once
// The shop between levels: permanent upgrades bought with the player's score
// (the best scores of all locations minus what was already spent). Each
// upgrade has a GShopButton that shows whether it is on sale yet, its price,
// or that it is bought; the upgrades the selected level (or an earlier one)
// requires carry a highlight. Buying writes the name into the player's
// "BoughtUpgrades" and saves at once; the purchase achievements are counted
// and announced here. Back or Esc return to the map.
#include "engine/core/RefCounted.h"
#include "game/common/GBaseSceneNode.h"

#include <vector>

namespace engine {
class TextNode;
}

namespace game {

class GShopButton;
class GTutorial;

class GShopScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GShopScene, GBaseSceneNode, 1117)

public:
    static constexpr int32_t kFeatureButtons = 6;

    GShopScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
               bool mostDerived = true);
    ~GShopScene() override;

    // Binds "Scene" and under it "ShopButtons" (its shop-button children and
    // the six named feature buttons), "ScoreText", "Hint1Node" and
    // "ShopButtonHLNode".
    void onLoaded() override;

    bool onEvent32(engine::KeyUpEvent* event) override;
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onSceneEvent37(engine::SceneTransitionEndEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    bool onNodeHovered(engine::NodeHoveredEvent* event) override;
    bool onNodeUnhovered(engine::NodeUnhoveredEvent* event) override;
    bool onTimer(uint32_t periodMs) override;

    // Recomputes the money, the score text, every button and the purchase
    // achievements from the current player; the tracker is saved when a
    // counter changed or when asked to.
    void refresh(bool saveTracker);
    // Highlights the buttons of upgrades the selected level or an earlier one
    // requires: "On" while not owned, "Off" once owned.
    void refreshHighlights();
    // The price and description window beside the button (null hides it).
    void showHint(GShopButton* button);
    // Pushes the achievement pop-up above the shop; false when it cannot.
    bool showAchievementPopup(int32_t index);
    void dropTutorial();

    int32_t getMoney() const { return money_; }
    const std::vector<GShopButton*>& getShopButtons() const { return shopButtons_; }
    GShopButton* getFeatureButton(int32_t i) const {
        return i >= 0 && i < kFeatureButtons ? featurePairs_[i] : nullptr;
    }
    engine::TextNode* getScoreText() const { return scoreText_; }
    engine::BaseNode* getHint() const { return hint_; }
    engine::BaseNode* getHighlightTemplate() const { return highlightTemplate_; }
    GTutorial* getTutorial() const { return tutorial_.get(); }
    const engine::stringc& getTutorialKey() const { return tutorialKey_; }

private:
    void closeBack();
    void loadTutorial();
    bool buy(GShopButton* button);
    bool isShopButton(const engine::BaseNode* node) const;

    int32_t money_ = 0;
    engine::BaseNode* scene_ = nullptr;
    engine::BaseNode* shopButtonsNode_ = nullptr;
    std::vector<GShopButton*> shopButtons_;
    GShopButton* featurePairs_[kFeatureButtons] = {};
    engine::TextNode* scoreText_ = nullptr;
    engine::BaseNode* hint_ = nullptr;
    engine::BaseNode* highlightTemplate_ = nullptr;
    engine::CountedRef<GTutorial> tutorial_;
    engine::stringc tutorialKey_;
};

}  // namespace game
