#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "forms/FormLayout.h"
#include "platform/AppError.h"
#include "win32/ControlHost.h"
#include "win32/Controls.h"
#include "win32/Handles.h"
#include "win32/Window.h"

inline constexpr int kModalNone = 0;
inline constexpr int kModalOk = 1;
inline constexpr int kModalCancel = 2;

enum class FormBorder {
    Sizeable,  // caption, sizing border, system menu with minimise and maximise boxes
    Dialog,    // caption and a fixed dialog frame
};

enum class FormPosition {
    Default,       // where Windows puts a new window
    ScreenCenter,  // the centre of the primary screen, when first shown
    OwnerCenter,   // the centre of the owner window, when first shown
};

// A top-level window built from a form table. Its events are plain function objects: set
// one, or keep the one found there and call it from the new one to chain.
//
// Life: construct, Create(layout) (from the derived constructor), then AfterConstruction()
// raises OnCreate once the whole object is built; MakeForm<T>(...) does the three steps.
// Destroying the window (closing the main form, DestroyWindow) raises OnDestroy while the
// controls still exist. Deleting the object destroys a remaining window without events.
class Form : public Window, public ControlHost {
public:
    Form() = default;
    ~Form() override;

    // Builds the window and every control row of the layout (rows that are not controls
    // make no window). Throws AppError for a table that names an unknown parent.
    void Create(const FormLayout& layout, HWND owner = nullptr, FormBorder border = FormBorder::Sizeable,
                bool systemMenu = true);
    // Raises OnCreate the first time it is called; an error in it is reported.
    void AfterConstruction();

    const std::string& Name() const { return name_; }
    std::string Caption() const;
    void SetCaption(std::string_view ansi);
    std::u16string CaptionW() const;
    void SetCaptionW(std::u16string_view text);

    // The controls in table order, and by name.
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* FindControl(std::string_view name) const;
    // The named control as the kind the caller expects; throws std::logic_error otherwise
    // (a table and its code that disagree are a programming error).
    template <class T>
    T& Get(std::string_view name) const;

    void Show();
    void Hide();
    bool Visible() const;
    // The application's main form (Application::MainForm).
    bool IsMainForm() const;
    // The user's close: asks OnCloseQuery; then OnClose; the main form is destroyed, other
    // forms are hidden. A modal form gets kModalCancel instead.
    void Close();
    bool CloseQuery();
    // Shows the form and handles messages until a modal result is set (or the window is
    // closed, which gives kModalCancel); the owner and the main form are disabled meanwhile.
    int ShowModal();
    bool Modal() const { return modal_; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    // With key preview on, OnKeyDown sees every key pressed in the form before the focused
    // control and before the default and cancel buttons; setting the key to 0 swallows it.
    void SetKeyPreview(bool on) { keyPreview_ = on; }
    bool KeyPreview() const { return keyPreview_; }
    // Enter clicks the default button (unless the focus is on another button, which Enter
    // clicks instead); Esc clicks the cancel button. Null for none.
    void SetDefaultButton(Button* button);
    void SetCancelButton(Button* button) { cancelButton_ = button; }
    Button* DefaultButton() const { return defaultButton_; }
    Button* CancelButton() const { return cancelButton_; }

    // Font of the form and every control: the face name and the character height in pixels.
    void SetFont(std::u16string_view faceName, int pixelHeight, BYTE charset = SHIFTJIS_CHARSET);
    HFONT Font() const { return font_.Get(); }
    // Smallest outer width the user can size the window to, in 96-DPI pixels like the table
    // (scaled by the window's DPI); 0 for none.
    void SetMinimumWidth(int width) { minimumWidth_ = width; }
    // The DPI the form is laid out for: its window's when it was made or last moved to a
    // monitor of another scale.
    int Dpi() const override { return dpi_; }
    void SetPosition(FormPosition position) { position_ = position; }
    // Centred on the primary monitor, or on window, and seen whole on that monitor's work area
    // (PlaceCentred: a form larger than it keeps its title bar in reach).
    void CenterOnScreen();
    void CenterOn(HWND window);

    // Keyboard focus.
    Control* ActiveControl() const;
    // Moves the focus to the next (or previous) tab stop, wrapping around.
    void SelectNext(bool backward);
    // The controls Tab visits now, in order: enabled, visible, and of each radio group only
    // the chosen button (the first one when none is chosen).
    std::vector<Control*> TabStops() const;
    const std::vector<RadioButton*>& RadioGroup(int group) const override;

    // Lays out the docked children of a container (null: the form itself).
    void AlignChildren(Control* container) override;

    // The message loop's hook for keys: key preview, Tab and arrow navigation, Enter, Esc,
    // Alt+mnemonics. True when the message was used up.
    bool PreTranslateKey(MSG& msg) override;

    std::function<void()> OnCreate;
    std::function<void()> OnShow;
    std::function<void(bool& canClose)> OnCloseQuery;
    std::function<void()> OnClose;
    std::function<void()> OnDestroy;
    std::function<void(unsigned& key, ShiftState shift)> OnKeyDown;

protected:
    // A form of the program reads its own messages in one switch in its override, and passes
    // the rest on to this one.
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ControlFocused(Control& control) override { lastFocus_ = &control; }
    void ControlLostFocus(Control& control, HWND next) override;
    // A window the keyboard can reach: visible, and enabled up to the form.
    static bool Usable(HWND form, HWND hwnd);
    bool DialogKey(const MSG& msg);
    bool Mnemonic(char16_t ch);
    void MoveInRadioGroup(RadioButton& from, bool backward);
    void ApplyPosition();
    void RaiseDestroy();
    // Lays the form out again for a new DPI: font, and every control at its scaled table place.
    void ApplyDpi(int dpi);

    std::string name_;
    std::vector<std::unique_ptr<Control>> owned_;
    std::vector<Control*> controls_;
    std::vector<Control*> tabSequence_;
    std::map<int, std::vector<RadioButton*>> radioGroups_;
    UniqueFont font_;
    HWND ownerWindow_ = nullptr;
    Button* defaultButton_ = nullptr;
    Button* cancelButton_ = nullptr;
    Control* lastFocus_ = nullptr;
    FormPosition position_ = FormPosition::Default;
    bool positioned_ = false;
    bool createRaised_ = false;
    bool destroyRaised_ = false;
    bool keyPreview_ = false;
    bool modal_ = false;
    int modalResult_ = kModalNone;
    int minimumWidth_ = 0;
    int dpi_ = 96;
    std::vector<ControlLayout> designRows_;  // the table's rows, one per control of controls_
    std::u16string fontFace_;
    int designFontHeight_ = 0;
};

template <class T>
T& Form::Get(std::string_view name) const {
    Control* control = FindControl(name);
    if (!control) throw std::logic_error("form " + name_ + " has no control " + std::string(name));
    T* typed = dynamic_cast<T*>(control);
    if (!typed) throw std::logic_error("control " + std::string(name) + " of form " + name_ + " is of another kind");
    return *typed;
}

// Constructs a form and raises its creation event once the constructor has finished, so
// that handlers chained in by the constructor (the localiser's) are the ones that run.
template <class F, class... Args>
std::unique_ptr<F> MakeForm(Args&&... args) {
    auto form = std::make_unique<F>(std::forward<Args>(args)...);
    form->AfterConstruction();
    return form;
}
