#pragma once
// The player selection: the list of players (choose, delete after a
// confirmation, add) and the name input that creates a new player.
#include "game/common/GBaseSceneNode.h"

namespace engine {
class ControlNode;
class EditNode;
class ListNode;
class TextNode;
}  // namespace engine

namespace game {

constexpr uint32_t kMaxPlayers = 10;

// Why a name cannot become a new player: the dictionary key of the message
// the name input shows, or null when the name is fine. Refused: empty or
// blank names, names holding a control character (a line break, a tab),
// names longer than maxLength characters (no bound when maxLength <= 0) and
// names an existing player has (case-sensitive).
const char* playerNameProblem(const engine::stringw& name, int32_t maxLength);

class GSelectPlayerScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GSelectPlayerScene, GBaseSceneNode, 1108)

public:
    GSelectPlayerScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                       bool mostDerived = true);

    void onLoaded() override;
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    bool onMessageBoxResult(engine::MessageBoxResultEvent* event) override;
    bool onEvent32(engine::KeyUpEvent* event) override;

    void fillList(bool selectCurrent);
    // Makes the highlighted player current, saves, applies its sound settings
    // and loads its achievements, then closes the list.
    void confirm();
    // Removes the highlighted player after the Yes of the confirmation.
    void deleteSelected();

    engine::ListNode* getPlayersList() const { return playersList_; }

protected:
    // Only the answer to its own question deletes: another box (a notice the
    // game shows over any scene) answers 0 too.
    bool deleteAsked_ = false;

private:
    void updateButtons();

    uint32_t knownPlayerCount_ = 0;
    engine::ListNode* playersList_ = nullptr;
    engine::ControlNode* okButton_ = nullptr;
    engine::ControlNode* newPlayerButton_ = nullptr;
    engine::ControlNode* deletePlayerButton_ = nullptr;
};

class GSelectPlayerInputNameScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GSelectPlayerInputNameScene, GBaseSceneNode, 1109)

public:
    GSelectPlayerInputNameScene(const engine::CreationContext* context, engine::BaseNode* parent,
                                engine::BaseNode* manager, bool mostDerived = true);

    // Binds "Scene" and below it "NameEdit", "OkButton" and "HintText".
    void onLoaded() override;
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onValueChanged(engine::ValueChangedEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    bool onEvent32(engine::KeyUpEvent* event) override;

    // Adds the typed name as a new player, saves the players and closes;
    // false (the scene stays) when the name is refused.
    bool createPlayer();
    // Enables OK exactly for an acceptable name and shows why one is not.
    void checkName();

private:
    engine::EditNode* nameEdit_ = nullptr;
    engine::ControlNode* okButton_ = nullptr;
    engine::TextNode* hintText_ = nullptr;
};

}  // namespace game
