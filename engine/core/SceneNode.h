#pragma once
// The root of one screen: the menu, the map, the level's playfield, a dialog.
//
// A scene is a control that its scene manager keeps in a stack (each scene
// holds the one below it) and gives a timer scheduler of its own, on which the
// states and animators of every node the scene owns play. Its operations ask
// the manager to open a scene above it, close it (and more scenes below),
// close down to a scene of a given kind, or show a message box over it; they
// answer false or null when the scene has no manager.
//
// Transition arguments are the name ids of the states the scenes play; -1
// lets the manager use its defaults ("NavFrom", "NavTo", "NavBackFrom",
// "NavBackTo").
#include "engine/core/ControlNode.h"
#include "engine/core/TimerScheduler.h"

namespace engine {

class SceneManager;

class SceneNode : public ControlNode {
    ENGINE_NODE_TYPE(SceneNode, ControlNode, 6)

public:
    SceneNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~SceneNode() override;

    // The control node's table; a scene adds no values.
    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // A finished state the control does not take travels on up the tree
    // (to the manager, which ends transitions on it).
    bool onEvent74(NodeStateFinishedEvent* event) override;

    // The scheduler the manager gave the scene.
    TimerScheduler* getTimerScheduler() const override { return timerScheduler_.get(); }

    // ---- Scene stack ----------------------------------------------------
    // Opens the scene above the manager's top scene. False for null, without
    // a manager, or when the manager refuses (busy scenes).
    bool pushScene(SceneNode* scene, bool keepVisible, NameId coveredTransition = kNoName,
                   NameId newTransition = kNoName);
    // Loads a scene file (a full path such as "scenes/MainMenuScene.oscn")
    // through the node's content manager and pushes its root. Null for an
    // empty path, without a content or scene manager, when nothing loads, when
    // the root is not a scene, or when the push is refused; the loaded node is
    // then dropped. The pushed scene belongs to the manager.
    SceneNode* openScene(const stringc& path, bool keepVisible, NameId coveredTransition = kNoName,
                         NameId newTransition = kNoName);
    // Closes this scene and `extraLevels` more below it, revealing the scene
    // under them. False when the stack is not that deep or the manager refuses.
    bool closeScene(int32_t extraLevels = 0, NameId closingTransition = kNoName,
                    NameId revealedTransition = kNoName);
    // Closes every scene above the nearest scene below this one whose type id
    // is the given one, revealing that scene. False when there is none.
    bool closeToSceneType(int32_t typeId, NameId closingTransition = kNoName,
                          NameId revealedTransition = kNoName);
    // Shows a message box of the template over this scene (see
    // SceneManager::showMessageBox); null without a manager.
    SceneNode* showMessageBox(NameId templateName, const array<stringw>& buttons, const stringw& title,
                              const stringw& body);

    // ---- Used by the scene manager ----------------------------------------
    // Holds the scene below (counted); nothing when it is the same one.
    void setSceneBelow(SceneNode* scene);
    SceneNode* getSceneBelow() const { return sceneBelow_.get(); }
    // Stops the state at once (at its end values) on each child of the
    // template root, then on each of the scene's own children.
    void stopChildrenState(NameId state);
    // The scheduler the scene's nodes play on. The scene holds a reference,
    // so that the manager can let go of a scheduler whose scene has left it
    // while the scene (held elsewhere) still points at it.
    void setTimerScheduler(TimerScheduler* scheduler) {
        timerScheduler_ = CountedRef<TimerScheduler>::share(scheduler);
    }
    // The manager as a scene manager, or null.
    SceneManager* getSceneManager() const;

private:
    CountedRef<TimerScheduler> timerScheduler_;
    CountedRef<SceneNode> sceneBelow_;
};

}  // namespace engine
