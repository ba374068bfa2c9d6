#pragma once
// The node for everything the player can point at, press or move the keyboard
// focus to, and the base of every control and scene.
//
// A control keeps four interaction flags (focused, hovered, pressed, press
// pending) and the Enabled switch consistent along the tree: gaining hover or
// focus makes the control ancestors hovered or focused too and takes it from
// their other children. A press is announced at once (press preview), plays
// the "Press" state, and is reported as done (pressed) only when that state
// has ended everywhere in the control's subtree. The arrow keys move the focus
// between named siblings. The look comes from a template of the scene
// manager's template collection, cloned into a hidden child (the template
// root), and every change of the flags makes the subtree enter one of the
// control states, with a fallback table for nodes that lack a state.
//
// The control tells the game about itself with the control events (ids 43 to
// 58), queued through the scene manager and delivered to the control and then
// up its ancestors.
#include "engine/core/BaseNode.h"

namespace engine {

// The names of the control states, each interned once on first use.
struct ControlStateNames {
    NameId focus;            // "Focus": focused, not hovered
    NameId killFocus;        // "KillFocus": not focused, not hovered
    NameId press;            // "Press": a press was accepted
    NameId pressed;          // "Pressed": the button is down on the control
    NameId killPressed;      // "KillPressed": the button is down, the cursor left
    NameId normalHover;      // "NormalHover": hovered, not focused
    NameId normalKillHover;  // "NormalKillHover": hover ended, not focused
    NameId focusHover;       // "FocusHover": hovered and focused
    NameId focusKillHover;   // "FocusKillHover": hover ended, focused
    NameId normalDisable;    // "NormalDisable": disabled, not focused
    NameId focusDisable;     // "FocusDisable": disabled, focused
    NameId normal;           // "Normal": the last fallback
};
const ControlStateNames& controlStateNames();

// The name id of the state name "Normal", made on first use and kept.
NameId normalNameId();

// The state a node that lacks a control state is asked for instead, or -1
// when the state has no fallback.
NameId controlStateTransition(NameId state);

class ControlNode : public BaseNode {
    ENGINE_DECLARE_EVENT_MAP(ControlNode)
    ENGINE_NODE_TYPE(ControlNode, BaseNode, 5)

public:
    ControlNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~ControlNode() override;

    // BaseNode's table followed by the control's ten entries.
    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // ---- Flags -------------------------------------------------------------
    // Gaining the focus needs WantFocus; it adds keyboard events to the mask,
    // makes the control ancestors focused and their other children unfocused,
    // and gives the focus on to a child when none holds it.
    virtual void setFocused(bool focused);
    // Stores the switch and refreshes the visual state (every time).
    virtual void setEnabled(bool enabled);
    virtual void setHovered(bool hovered);
    virtual void setPressed(bool pressed);
    // Accepts a press: false while one is still pending.
    virtual bool press();
    // Fills the template root from the manager's template collection.
    virtual void applyTemplate();
    virtual void applyPressState();
    virtual void applyPressEndState();
    virtual void applyPressedState();
    virtual void applyHoverState();
    virtual void applyFocusState();
    virtual void refreshState();
    // Focuses the default child, else the last child that is a control.
    virtual void focusDefault();

    // ---- Event handlers (reached through the event map) ----------------------
    virtual bool onEvent47(NodeHoverEvent* event);
    virtual bool onEvent49(NodeUnhoverEvent* event);
    virtual bool onEvent51(NodeFocusEvent* event);
    virtual bool onEvent53(NodeUnfocusEvent* event);
    virtual bool onEvent43(NodePressDownEvent* event);
    virtual bool onEvent45(NodeReleaseEvent* event);
    virtual bool onEvent57(NodePressEvent* event);
    virtual bool onEvent20(MouseMoveEvent* event);
    virtual bool onEvent21(LeftButtonDownEvent* event);
    virtual bool onEvent24(LeftButtonUpEvent* event);
    virtual bool onEvent31(KeyDownEvent* event);
    virtual bool onEvent32(KeyUpEvent* event);

    // Re-apply the template (scene shown, template collection set, event 35).
    bool onEvent33(SceneShownEvent* event) override;
    bool onEvent34(NodeEvent34* event) override;
    bool onEvent35(Event* event) override;
    bool onEvent66(StateStartedEvent* event) override;
    // The template root or this control finished a state over its subtree.
    bool onEvent74(NodeStateFinishedEvent* event) override;

    // ---- BaseNode operations ------------------------------------------------
    // The template root is drawn beneath the children.
    void collectRenderItems(RenderList& list) override;
    // Hit through the template instance only.
    bool hitTest(const vector2df& point) override;
    void updateAbsoluteTransform() override;
    void updateAbsoluteColor() override;
    // As BaseNode's, with the template root waited for as one more child.
    void enterSubtreeState(NameId state, StateResolver resolver) override;
    void copyFrom(BaseNode* source, BaseNode* manager) override;
    // The template root follows the control into (and out of) a scene.
    void attach(BaseNode* manager, BaseNode* scene) override;

    // A disabled control keeps input events from its children.
    bool routeToChildren(int32_t mode, Event* event) override;

    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

    // ---- Values ------------------------------------------------------------
    // Store the name and apply the template.
    void setTemplateName(NameId name);
    void setTemplateName(const stringc& name);
    NameId getTemplateName() const { return templateName_; }

    NameId getDefaultFocusObjectName() const { return defaultFocusObjectName_; }
    void setDefaultFocusObjectName(NameId name) { defaultFocusObjectName_ = name; }
    NameId getNavLeftObjectName() const { return navLeftObjectName_; }
    void setNavLeftObjectName(NameId name) { navLeftObjectName_ = name; }
    NameId getNavRightObjectName() const { return navRightObjectName_; }
    void setNavRightObjectName(NameId name) { navRightObjectName_ = name; }
    NameId getNavDownObjectName() const { return navDownObjectName_; }
    void setNavDownObjectName(NameId name) { navDownObjectName_ = name; }
    NameId getNavUpObjectName() const { return navUpObjectName_; }
    void setNavUpObjectName(NameId name) { navUpObjectName_ = name; }

    bool getWantFocus() const { return wantFocus_; }
    void setWantFocus(bool want) { wantFocus_ = want; }
    bool isFocusOnHover() const { return focusOnHover_; }
    void setFocusOnHover(bool focusOnHover) { focusOnHover_ = focusOnHover; }
    bool getHoverTrack() const { return hoverTrack_; }
    void setHoverTrack(bool track) { hoverTrack_ = track; }

    bool isFocused() const { return focused_; }
    bool isEnabled() const { return enabled_; }
    bool isHovered() const { return hovered_; }
    bool isPressed() const { return pressed_; }
    bool isPressPending() const { return pressPending_; }

    // The holder of the template instance, or null before the first
    // template was applied.
    ControlNode* getTemplateRoot() const { return templateRoot_.get(); }
    // The direct child that last took the focus through this control (not
    // counted; it may have left since).
    BaseNode* getFocusedChild() const { return focusedChild_; }
    // True when the node lies below this control.
    bool isAncestorOf(const BaseNode* node) const;

protected:
    // Queues a notification for this control (delivered to it, then up its
    // ancestors).
    void postToSelf(Event* event);
    // Enters a control state over the subtree with the control fallbacks.
    void enterControlState(NameId state);

private:
    void makeTemplateRoot();
    void dropTemplateRoot();
    bool isDirectChild(const BaseNode* node) const;
    void finishPress();
    bool isHitAt(int32_t x, int32_t y);

    NameId defaultFocusObjectName_ = kNoName;
    NameId navLeftObjectName_ = kNoName;
    NameId navRightObjectName_ = kNoName;
    NameId navDownObjectName_ = kNoName;
    NameId navUpObjectName_ = kNoName;
    NameId templateName_ = kNoName;
    CountedRef<ControlNode> templateRoot_;
    BaseNode* focusedChild_ = nullptr;
    bool wantFocus_ = true;
    bool focused_ = false;
    bool enabled_ = true;
    bool hoverTrack_ = true;
    bool hovered_ = false;
    bool focusOnHover_ = false;
    bool pressed_ = false;
    bool pressPending_ = false;
};

}  // namespace engine
