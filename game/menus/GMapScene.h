#pragma once
// The level-select map: one location button per level location, in the
// order of the player's location index. It shows which locations are locked,
// playable or finished, the medal earned and whether the upgrades a level
// requires are bought; hovering a location shows a hint window with its
// name, the time to beat or the player's time, the rank and the required
// upgrades. Play starts the selected level through the loading scene; the
// map also opens the shop, goes back to the main menu, runs its two
// tutorials and, after a comic, starts a mini-game location at once.
#include "engine/core/RefCounted.h"
#include "game/common/GBaseSceneNode.h"

#include <vector>

namespace engine {
class ControlNode;
}

namespace game {

class GMapLocationButton;
class GTutorial;
class Upgrade;

struct MapLevelInfo {
    bool completed = false;
    int32_t rank = 0;    // 0 none, 1 silver, 2 gold
    int32_t timeMs = 0;  // to beat (not completed) or the player's own
    std::vector<bool> upgradeBought;
    std::vector<Upgrade*> upgrades;  // borrowed from the upgrades catalogue
};

class GMapScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GMapScene, GBaseSceneNode, 1116)

public:
    static constexpr int32_t kHintCount = 6;

    GMapScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
              bool mostDerived = true);
    ~GMapScene() override;

    // Binds "Scene" and under it "LocationButtons" (its location-button
    // children), "PlayButton" and "LevelHint1Node" to "LevelHint6Node".
    void onLoaded() override;

    bool onEvent31(engine::KeyDownEvent* event) override;
    bool onEvent32(engine::KeyUpEvent* event) override;
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onSceneEvent37(engine::SceneTransitionEndEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    bool onNodeHovered(engine::NodeHoveredEvent* event) override;
    bool onNodeUnhovered(engine::NodeUnhoveredEvent* event) override;
    bool onTimer(uint32_t periodMs) override;

    // One MapLevelInfo per location from the current player's progress, the
    // level scores and the upgrades catalogue.
    void rebuildLevelInfo();
    // Lock, platform colour, mini-game marker and medal of every location.
    void refreshLocationButtons();
    // The hint window for the location (null hides every hint).
    void showLevelHint(GMapLocationButton* button);
    // Places the hint beside the position with the matching arrow.
    void placeLevelHint(engine::BaseNode* hint, const engine::vector3df& position);
    void showHintArrow(engine::BaseNode* hint, const char* arrow);
    // True when the location has no information or every upgrade it
    // requires is bought, and always while the game has no shop to buy them.
    bool areRequiredUpgradesBought(int32_t index) const;
    void dropTutorial();

    // The location's position in the list, -1 when it is not one of them.
    int32_t indexOf(const engine::BaseNode* node) const;

    const std::vector<GMapLocationButton*>& getLocationButtons() const { return locationButtons_; }
    GMapLocationButton* getSelected() const { return selected_; }
    const std::vector<MapLevelInfo>& getLevels() const { return levels_; }
    engine::ControlNode* getPlayButton() const { return playButton_; }
    engine::BaseNode* getLevelHint(int32_t i) const { return i >= 0 && i < kHintCount ? levelHints_[i] : nullptr; }
    GTutorial* getTutorial() const { return tutorial_.get(); }
    const engine::stringc& getTutorialKey() const { return tutorialKey_; }
    bool isShopAvailable() const { return shopAvailable_; }
    // True when the level's scene file is in the content (or there is no file
    // system to ask). Locations of levels not shipped yet are on the map.
    bool isLevelPresent(const engine::stringc& levelName) const;

private:
    void selectLocation(GMapLocationButton* button, int32_t index);
    void startLevel(const engine::stringc& levelName);
    // Tells the player, in a message box over the map, that the location
    // cannot be played yet.
    void tellLevelMissing(const engine::stringc& levelName);
    void openShop();
    void closeBack();
    void loadTutorial(engine::BaseNode* previous);

    std::vector<GMapLocationButton*> locationButtons_;
    GMapLocationButton* selected_ = nullptr;
    engine::CountedRef<GTutorial> tutorial_;
    engine::stringc tutorialKey_;
    engine::BaseNode* scene_ = nullptr;
    engine::ControlNode* playButton_ = nullptr;
    engine::BaseNode* levelHints_[kHintCount] = {};
    std::vector<MapLevelInfo> levels_;
    bool shopAvailable_ = false;
};

}  // namespace game
