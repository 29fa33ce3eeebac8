// A form's keyboard: the focus, Tab and the arrows among the tab stops and radio groups, Enter
// and Esc for the default and cancel buttons, Alt+mnemonics, and the form's key preview.
#include "win32/Form.h"

#include <algorithm>
#include <cwctype>

namespace {

bool IsPushButton(const Control* control) {
    return control && (control->Kind() == ControlKind::Button || control->Kind() == ControlKind::BitmapButton);
}

// The character after a single '&' in a caption ("&&" is a literal ampersand), or 0.
char16_t MnemonicOf(const std::u16string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] == u'&') {
            ++i;
            continue;
        }
        return caption[i + 1];
    }
    return 0;
}

char16_t Upper(char16_t ch) { return static_cast<char16_t>(std::towupper(static_cast<wint_t>(ch))); }

}  // namespace

bool Form::Usable(HWND form, HWND hwnd) {
    if (!hwnd || !::IsWindowVisible(hwnd)) return false;
    for (HWND w = hwnd; w && w != form; w = ::GetParent(w)) {
        if (!::IsWindowEnabled(w)) return false;
    }
    return true;
}

Control* Form::ActiveControl() const {
    for (HWND w = ::GetFocus(); w && w != Handle(); w = ::GetParent(w)) {
        auto* control = dynamic_cast<Control*>(Window::FromHandle(w));
        if (control && &control->Host() == this) return control;
    }
    return nullptr;
}

const std::vector<RadioButton*>& Form::RadioGroup(int group) const {
    static const std::vector<RadioButton*> none;
    const auto it = radioGroups_.find(group);
    return it == radioGroups_.end() ? none : it->second;
}

std::vector<Control*> Form::TabStops() const {
    std::vector<Control*> stops;
    for (Control* control : tabSequence_) {
        if (!Usable(Handle(), control->Handle())) continue;
        if (auto* radio = dynamic_cast<RadioButton*>(control)) {
            RadioButton* stop = nullptr;
            for (RadioButton* member : RadioGroup(radio->Group())) {
                if (member->Checked() && Usable(Handle(), member->Handle())) {
                    stop = member;
                    break;
                }
            }
            if (!stop) {
                for (RadioButton* member : RadioGroup(radio->Group())) {
                    if (Usable(Handle(), member->Handle())) {
                        stop = member;
                        break;
                    }
                }
            }
            if (stop != radio) continue;
        }
        stops.push_back(control);
    }
    return stops;
}

void Form::SelectNext(bool backward) {
    const std::vector<Control*> stops = TabStops();
    if (stops.empty()) return;
    Control* current = ActiveControl();
    // A radio button that is not its group's stop counts as the group's stop.
    if (auto* radio = dynamic_cast<RadioButton*>(current)) {
        for (Control* stop : stops) {
            auto* other = dynamic_cast<RadioButton*>(stop);
            if (other && other->Group() == radio->Group()) current = stop;
        }
    }
    const auto it = std::find(stops.begin(), stops.end(), current);
    size_t index;
    if (it == stops.end()) {
        index = backward ? stops.size() - 1 : 0;
    } else {
        const size_t at = static_cast<size_t>(it - stops.begin());
        index = backward ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
    }
    Control* next = stops[index];
    next->SetFocus();
    if (auto* edit = dynamic_cast<Edit*>(next)) edit->SelectAll();
}

void Form::MoveInRadioGroup(RadioButton& from, bool backward) {
    std::vector<RadioButton*> members;
    for (RadioButton* member : RadioGroup(from.Group())) {
        if (member == &from || Usable(Handle(), member->Handle())) members.push_back(member);
    }
    const auto it = std::find(members.begin(), members.end(), &from);
    if (it == members.end() || members.size() < 2) return;
    const size_t at = static_cast<size_t>(it - members.begin());
    RadioButton* next = members[backward ? (at + members.size() - 1) % members.size() : (at + 1) % members.size()];
    next->SetFocus();
    next->SetChecked(true);
}

bool Form::DialogKey(const MSG& msg) {
    const unsigned key = static_cast<unsigned>(msg.wParam);
    if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE && key != VK_LEFT && key != VK_RIGHT && key != VK_UP &&
        key != VK_DOWN) {
        return false;
    }
    // What the focused window wants for itself (a list that is dropped down wants Enter and Esc).
    MSG copy = msg;
    const LRESULT wants = ::SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&copy));
    if (wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
    const ShiftState shift = KeyboardShiftState();
    Control* focused = ActiveControl();
    switch (key) {
        case VK_TAB:
            if ((wants & DLGC_WANTTAB) || (shift & (kCtrl | kAlt))) return false;
            SelectNext(shift & kShift);
            return true;
        case VK_RETURN:
            if (IsPushButton(focused)) {
                static_cast<Button*>(focused)->Click();
                return true;
            }
            if (defaultButton_ && Usable(Handle(), defaultButton_->Handle())) {
                defaultButton_->Click();
                return true;
            }
            return false;
        case VK_ESCAPE:
            if (cancelButton_ && Usable(Handle(), cancelButton_->Handle())) {
                cancelButton_->Click();
                return true;
            }
            return false;
        default:  // arrows
            if (wants & DLGC_WANTARROWS) return false;
            if (auto* radio = dynamic_cast<RadioButton*>(focused)) {
                MoveInRadioGroup(*radio, key == VK_LEFT || key == VK_UP);
                return true;
            }
            return false;
    }
}

bool Form::Mnemonic(char16_t ch) {
    const char16_t wanted = Upper(ch);
    for (Control* control : controls_) {
        const ControlKind kind = control->Kind();
        if (kind != ControlKind::Button && kind != ControlKind::BitmapButton && kind != ControlKind::CheckBox &&
            kind != ControlKind::RadioButton) {
            continue;
        }
        const char16_t mnemonic = MnemonicOf(control->CaptionW());
        if (!mnemonic || Upper(mnemonic) != wanted || !Usable(Handle(), control->Handle())) continue;
        if (auto* button = dynamic_cast<Button*>(control)) {
            button->Click();
        } else if (auto* check = dynamic_cast<CheckBox*>(control)) {
            check->SetFocus();
            check->SetChecked(!check->Checked());
        } else if (auto* radio = dynamic_cast<RadioButton*>(control)) {
            radio->SetFocus();
            radio->SetChecked(true);
        }
        return true;
    }
    return false;
}

bool Form::PreTranslateKey(MSG& msg) {
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        if (keyPreview_ && OnKeyDown) {
            unsigned key = static_cast<unsigned>(msg.wParam);
            OnKeyDown(key, KeyboardShiftState());
            if (key == 0) return true;
            msg.wParam = key;
        }
        return msg.message == WM_KEYDOWN && DialogKey(msg);
    }
    if (msg.message == WM_SYSCHAR) return Mnemonic(static_cast<char16_t>(msg.wParam));
    return false;
}
