#pragma once
// A button with an on/off value that every accepted press toggles. The
// unchecked box shows the control states; the checked box shows eight "Check"
// states of its own, with their own fallbacks.
#include "engine/controls/ButtonNode.h"

namespace engine {

// The check states, each interned once on first use.
struct CheckStateNames {
    NameId normalCheck;           // "NormalCheck"
    NameId focusCheck;            // "FocusCheck"
    NameId normalCheckDisable;    // "NormalCheckDisable"
    NameId focusCheckDisable;     // "FocusCheckDisable"
    NameId normalCheckHover;      // "NormalCheckHover"
    NameId normalCheckKillHover;  // "NormalCheckKillHover"
    NameId focusCheckHover;       // "FocusCheckHover"
    NameId focusCheckKillHover;   // "FocusCheckKillHover"
};
const CheckStateNames& checkStateNames();

// The check box's fallback for a state, else the control node's.
NameId checkBoxStateTransition(NameId state);

class CheckBoxNode : public ButtonNode {
    ENGINE_NODE_TYPE(CheckBoxNode, ButtonNode, 11)

public:
    CheckBoxNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);

    // The button's table followed by "IsChecked".
    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // Stores the value and shows it; posts nothing.
    void setChecked(bool checked);
    bool isChecked() const { return checked_; }

    // Enters the state that shows the value and the flags.
    virtual void applyCheckState();

    // The control's press, then the toggle and a ValueChangedEvent to the
    // parent; false while a press is pending.
    bool press() override;
    void applyTemplate() override;
    void applyPressState() override;
    void applyPressEndState() override;
    void applyPressedState() override;
    void applyHoverState() override;
    void applyFocusState() override;
    void copyFrom(BaseNode* source, BaseNode* manager) override;
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

private:
    void enterCheckState(NameId state);

    bool checked_ = false;
};

}  // namespace engine
