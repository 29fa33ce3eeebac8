#pragma once
#include <windows.h>

#include <vector>

class Control;
class RadioButton;

// What a control needs of the form it lives on, and all it may reach of it. Form implements
// this; a control holds it by reference, never the form itself.
class ControlHost {
public:
    // The DPI the controls are laid out for.
    virtual int Dpi() const = 0;
    // The radio buttons of one group, in table order; empty for a group that does not exist.
    virtual const std::vector<RadioButton*>& RadioGroup(int group) const = 0;
    // Lays out the docked children of a container again (null: the form itself).
    virtual void AlignChildren(Control* container) = 0;
    // The control took the keyboard focus; the form gives it back to it when it is activated.
    virtual void ControlFocused(Control& control) = 0;
    // The focus is leaving the control for `next` (null: no window). If next is on the same
    // form, the control's exit event is raised once the focus change is over.
    virtual void ControlLostFocus(Control& control, HWND next) = 0;

protected:
    ~ControlHost() = default;
};
