#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/FormLayout.h"
#include "forms/FormRules.h"
#include "win32/ControlHost.h"
#include "win32/GdiCanvas.h"
#include "win32/Handles.h"
#include "win32/Window.h"

// Modifier keys and mouse buttons held during an event.
enum ShiftFlags : unsigned {
    kShift = 1u << 0,
    kAlt = 1u << 1,
    kCtrl = 1u << 2,
    kLeftButton = 1u << 3,
    kRightButton = 1u << 4,
    kMiddleButton = 1u << 5,
    kDoubleClick = 1u << 6,
};
using ShiftState = unsigned;
ShiftState KeyboardShiftState();

enum class MouseButton { Left, Right, Middle };

enum class Cursor { Arrow, SizeNWSE, SizeWE, SizeNESW, SizeNS, HandPoint, Cross, Wait };
HCURSOR LoadSystemCursor(Cursor cursor);

// A control of a form: a view of one child window with the id and name of its table row.
// The form creates the window and owns this object; the window tree owns the window. The
// control reaches its form only through the form's ControlHost side.
//
// Texts come in two spellings: ANSI bytes in the system code page (what files and the core
// hold: Caption, Text, Hint, Items) and UTF-16 (the ...W forms). Caption and Text are the
// same window text, except for drop-down lists, whose text is the chosen item.
class Control : public Window {
public:
    Control(ControlHost& host, const ControlLayout& row, Control* parent);

    const std::string& Name() const { return name_; }
    ControlKind Kind() const { return kind_; }
    int Id() const { return id_; }
    ControlHost& Host() const { return host_; }
    Control* Parent() const { return parent_; }

    std::string Caption() const;
    void SetCaption(std::string_view ansi);
    std::u16string CaptionW() const;
    virtual void SetCaptionW(std::u16string_view text);
    virtual std::string Text() const { return Caption(); }
    virtual void SetText(std::string_view ansi) { SetCaption(ansi); }
    virtual std::u16string TextW() const { return CaptionW(); }
    virtual void SetTextW(std::u16string_view text) { SetCaptionW(text); }
    // Stored for whoever shows hints; the forms of this program show none.
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string_view ansi) { hint_ = std::string(ansi); }

    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const;
    void SetVisible(bool visible);
    // Place in the parent's client area (the form's or the container's; inside a scroll box,
    // relative to the scrolled origin as it stands).
    RECT Bounds() const;
    void SetBounds(int left, int top, int width, int height);
    void SetSize(int width, int height);
    int Width() const;
    int Height() const;
    void SetFocus();
    bool Focused() const;

    // Docking flags of the table row and the place it was designed at.
    uint32_t DockFlags() const { return dockFlags_; }
    const DockRect& DesignPlace() const { return designPlace_; }

    // Creates the window as a child of parentWindow; called once by the form.
    virtual void Create(HWND parentWindow, const ControlLayout& row, int id) = 0;
    // Puts the control at its table place scaled to the form's new DPI (the form calls this
    // when its window changes scale). A docked control only takes the place as its design
    // place: the form aligns it afterwards.
    virtual void PlaceAt(const LayoutRect& place, int dpi);
    // A notification a child sent to its parent (WM_COMMAND, WM_DRAWITEM, WM_CTLCOLOR...),
    // passed back to the control it is about. True when handled.
    virtual bool Notified(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // A child of this container changed size (scroll boxes recompute their range).
    virtual void ChildResized() {}

    // Hands a notification a child sent to its parent (WM_COMMAND, WM_DRAWITEM...) to the
    // control it concerns. Every window that holds controls (forms, containers) calls this
    // first. True when handled.
    static bool ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // Creates the control's window as a child of parentWindow, at the row's place, with the
    // row's text and the given id: the styles every control takes from its row (visible,
    // disabled, tab stop) plus `style`. A system class (L"BUTTON", L"EDIT"...) is subclassed;
    // one of the toolkit's own classes is registered on first use.
    void CreateFromRow(const wchar_t* systemClass, HWND parentWindow, const ControlLayout& row, int id, DWORD style,
                       DWORD exStyle = 0);
    void CreateFromRow(const ClassInfo& ownClass, HWND parentWindow, const ControlLayout& row, int id, DWORD style,
                       DWORD exStyle = 0);
    // WM_SETFONT and WM_GETFONT for the toolkit's own classes, which keep the font here.
    bool KeepFont(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    ControlHost& host_;
    Control* parent_;
    std::string name_;
    ControlKind kind_;
    int id_ = 0;
    std::string hint_;
    uint32_t dockFlags_ = 0;
    DockRect designPlace_;
    HFONT font_ = nullptr;  // for own-class controls; standard controls keep their own
};

// A panel: a plain container on the button face; its caption, if any, centred.
class Panel : public Control {
public:
    using Control::Control;
    void Create(HWND parentWindow, const ControlLayout& row, int id) override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// A group box: an etched frame with its caption at the top left, holding controls.
class GroupBox : public Panel {
public:
    using Panel::Panel;
    void Create(HWND parentWindow, const ControlLayout& row, int id) override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

class Button : public Control {
public:
    using Control::Control;
    void Create(HWND parentWindow, const ControlLayout& row, int id) override;
    // Raises OnClick as a user's click does (the default and cancel keys use this).
    void Click();
    // Shows or drops the default-button look; the form calls this.
    virtual void SetDefaultLook(bool on);
    bool Notified(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    std::function<void(Control& sender)> OnClick;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// A push button with a picture left of its caption. The picture's bottom-left pixel gives
// the colour drawn transparent.
class BitmapButton : public Button {
public:
    using Button::Button;
    void Create(HWND parentWindow, const ControlLayout& row, int id) override;
    void SetGlyph(UniqueBitmap glyph);
    HBITMAP Glyph() const { return glyph_.Get(); }
    void SetDefaultLook(bool on) override;
    bool Notified(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Draw(const DRAWITEMSTRUCT& item);
    UniqueBitmap glyph_;
    bool defaultLook_ = false;
};

class CheckBox : public Control {
public:
    using Control::Control;
    void Create(HWND parentWindow, const ControlLayout& row, int id) override;
    bool Checked() const;
    // A change raises OnClick, as a click by the user does.
    void SetChecked(bool checked);
    bool Notified(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    std::function<void(Control& sender)> OnClick;
};

class RadioButton : public Control {
public:
    using Control::Control;
    void Create(HWND parentWindow, const ControlLayout& row, int id) override;
    bool Checked() const;
    // Choosing a button clears the others of its group and raises OnClick if it was not
    // chosen before; clearing raises nothing.
    void SetChecked(bool checked);
    // The radio group of the table (FormRules' RadioGroups); the form sets it once, when it
    // builds its groups.
    int Group() const { return group_; }
    void SetGroup(int group) { group_ = group; }
    bool Notified(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    std::function<void(Control& sender)> OnClick;

private:
    int group_ = -1;
};

class Edit : public Control {
public:
    using Control::Control;
    void Create(HWND parentWindow, const ControlLayout& row, int id) override;
    // Characters the user may type; 0 for no limit. Text set by code is not cut.
    int MaxLength() const;
    void SetMaxLength(int length);
    void SelectAll();

    // A typed character, before the box sees it; setting it to 0 discards it.
    std::function<void(Control& sender, char16_t& ch)> OnKeyPress;
    // The focus moved from this box to another window of the same form. Raised from the
    // message loop once the focus has moved, never from inside the focus change.
    std::function<void(Control& sender)> OnExit;
    std::function<void(Control& sender)> OnChange;

    bool Notified(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// A drop-down list with no free text.
class ComboBox : public Control {
public:
    using Control::Control;
    void Create(HWND parentWindow, const ControlLayout& row, int id) override;
    // The chosen item's text; setting it chooses the first item with that text, if any.
    std::string Text() const override;
    void SetText(std::string_view ansi) override;
    std::u16string TextW() const override;
    void SetTextW(std::u16string_view text) override;
    void SetCaptionW(std::u16string_view text) override { SetTextW(text); }
    void PlaceAt(const LayoutRect& place, int dpi) override;

    size_t ItemCount() const;
    std::vector<std::string> Items() const;
    std::u16string ItemW(size_t index) const;
    void SetItems(const std::vector<std::u16string>& items);
    void AddItem(std::u16string_view text);
    // Replaces the text of an existing item; the choice stays on the same index.
    void SetItem(size_t index, std::string_view ansi);
    void SetItemW(size_t index, std::u16string_view text);
    int ItemIndex() const;  // -1 when nothing is chosen
    void SetItemIndex(int index);

    std::function<void(Control& sender)> OnChange;
    bool Notified(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

// A static text. Sized to its text when the table gives it no width, and again whenever
// its caption changes.
class Label : public Control {
public:
    using Control::Control;
    void Create(HWND parentWindow, const ControlLayout& row, int id) override;
    void SetCaptionW(std::u16string_view text) override;
    void PlaceAt(const LayoutRect& place, int dpi) override;
    bool AutoSize() const { return autoSize_; }
    void AdjustSize();
    bool Notified(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool autoSize_ = false;
    bool red_ = false;
};

// An etched line along the top edge, or along the left edge for a bevel taller than wide.
class Bevel : public Control {
public:
    using Control::Control;
    void Create(HWND parentWindow, const ControlLayout& row, int id) override;
    bool Vertical() const { return vertical_; }
    bool Notified(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    bool vertical_ = false;
};

// A container whose children may be larger than it: scroll bars appear as needed and move
// the view while their thumbs are dragged.
class ScrollBox : public Control {
public:
    using Control::Control;
    void Create(HWND parentWindow, const ControlLayout& row, int id) override;
    // Paint the background off screen first (no flicker while a large child is scrolled).
    void SetDoubleBuffered(bool on);
    bool DoubleBuffered() const { return doubleBuffered_; }
    POINT ScrollPosition() const { return position_; }
    void ScrollTo(int x, int y);
    // Content size: the furthest right and bottom edge of the children.
    SIZE ContentSize() const;
    void UpdateRange();
    void ChildResized() override { UpdateRange(); }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Scroll(int bar, int request);
    bool doubleBuffered_ = false;
    bool updating_ = false;
    POINT position_{0, 0};
};

// Shows a bitmap at full size from its top-left corner (a transparent one, a decoration,
// stretched over the control); the control's own size is set by the caller and does not
// follow the picture. The control owns the bitmap it is given and
// paints from it, so whatever is drawn into the picture shows once the changed area is
// invalidated. Pointer positions in the events are picture pixels.
class Image : public Control {
public:
    using Control::Control;
    ~Image() override;
    void Create(HWND parentWindow, const ControlLayout& row, int id) override;
    // Moves only: the size is its picture's, shown pixel for pixel at every DPI; inside a
    // scroll box not even that, as the box keeps it at the scrolled origin. A transparent
    // image, a decoration, takes the scaled size as well.
    void PlaceAt(const LayoutRect& place, int dpi) override;

    // Takes the bitmap (a device-dependent bitmap or a DIB section). Invalidates the view.
    void SetPicture(UniqueBitmap picture);
    // Copies the bitmap; the caller keeps its own.
    void AssignPicture(HBITMAP picture);
    void ClearPicture();
    bool HasPicture() const { return static_cast<bool>(picture_); }
    SIZE PictureSize() const;
    // The bitmap, not selected into any device context (as GetDIBits and SetDIBits want it).
    HBITMAP PictureHandle();
    // A memory device context with the picture selected; valid while the picture is held.
    // Null without a picture.
    HDC PictureDC();
    // A canvas over PictureDC(); take it anew after PictureHandle(). Null without a picture.
    Canvas* PictureCanvas();

    void SetCursor(Cursor cursor);
    Cursor CurrentCursor() const { return cursor_; }
    // Repaints the given picture pixels (right and bottom edges excluded) on the next paint.
    void InvalidatePicture(int left, int top, int right, int bottom);
    void InvalidateAll();
    // Paints what is invalid now instead of at the next quiet moment.
    void UpdateNow();

    std::function<void(Control& sender, MouseButton button, ShiftState shift, int x, int y)> OnMouseDown;
    std::function<void(Control& sender, ShiftState shift, int x, int y)> OnMouseMove;
    std::function<void(Control& sender, MouseButton button, ShiftState shift, int x, int y)> OnMouseUp;
    std::function<void(Control& sender)> OnDblClick;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint();
    HDC SelectedDC();
    void MouseDown(MouseButton button, WPARAM wp, LPARAM lp, bool doubleClick);
    void MouseUp(MouseButton button, WPARAM wp, LPARAM lp);

    UniqueBitmap picture_;
    UniqueMemoryDC dc_;
    HGDIOBJ dcOriginal_ = nullptr;
    bool selected_ = false;
    std::unique_ptr<GdiCanvas> canvas_;
    bool transparent_ = false;
    Cursor cursor_ = Cursor::Arrow;
};

// Creates the control object a table row asks for (the window comes later).
std::unique_ptr<Control> MakeControl(ControlHost& host, const ControlLayout& row, Control* parent);
