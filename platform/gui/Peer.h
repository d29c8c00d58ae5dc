// Peer.h - how a control model talks to its on-screen widget, and back.
//
// The model is the single source of truth: a TControl holds its caption, text, items,
// checked state and bounds itself and works without any peer at all (tests, headless
// runs). When a widget set is installed (the Qt backend on a desktop), every control of
// a shown form gets a peer, and from then on:
//
//   model -> peer   after every change of visible state the model calls
//                   Peer->Changed(flags); the peer reads the model's current state for
//                   the flagged aspects through the model's ordinary getters. The model
//                   never hands the peer a value, so the peer can never disagree for long.
//   peer -> model   user input arrives as calls on the model's User* methods
//                   (TButton::UserClicked(), TEdit::UserTyped(text),
//                   TComboBox::UserSelected(index), TCustomForm::UserCloseRequested(),
//                   ...). These run the same event rules as the test driver does, catch
//                   handler exceptions into the application's error dialog, and return
//                   false when the control does not accept input (hidden, disabled,
//                   blocked by a modal form). A peer never writes a model field.
//
// Echo: a User* call changes the model, which calls Changed() on the very peer that
// reported the input. Peers must treat Changed() as "make the widget show the model"
// and be idempotent (compare before setting, block their own signals while setting).
//
// Lifetime: the model owns its peer (unique_ptr). Peers are created parent first when a
// form is first shown (or when a control is put on a parent that has a peer), and
// destroyed children first, before the control's own destructor body ends. A peer may
// therefore rely on its parent control's peer existing while it exists.
#pragma once

#include <cstdint>
#include <memory>

class TControl;
class TMenuItem;
class TMenu;
struct TPixelBuffer;

// What changed. One list; a peer ignores the flags that mean nothing to its widget.
enum class TControlChange : uint32_t {
    Bounds = 1u << 0,       // Left/Top/Width/Height (and so the client area)
    Visible = 1u << 1,      // Visible of the control itself (forms: shown or hidden)
    Enabled = 1u << 2,      // Enabled of the control or of a parent
    Caption = 1u << 3,      // Caption or Text
    Font = 1u << 4,         // Font, ParentFont
    Color = 1u << 5,        // Color, ParentColor
    Hint = 1u << 6,         // Hint, ShowHint
    Cursor = 1u << 7,
    Checked = 1u << 8,      // check box, radio button, menu item, tool button Down
    Items = 1u << 9,        // list items, tree nodes, status panels, grid columns
    ItemIndex = 1u << 10,   // selected item, selected tree node, grid current row
    Style = 1u << 11,       // style-like properties: ReadOnly, PasswordChar, MaxLength,
                            // combo Style, BorderStyle, BorderIcons, Alignment, Flat ...
    Value = 1u << 12,       // progress Position/Min/Max, up-down Position, date of a picker
    Data = 1u << 13,        // grid: the bound dataset's rows or fields changed
    Focus = 1u << 14,       // the model moved the focus to this control
    Repaint = 1u << 15,     // custom-painted content must be painted again
    Order = 1u << 16,       // z-order or tab order among siblings
    WindowState = 1u << 17, // form: normal/minimised/maximised, FormStyle
    Menu = 1u << 18,        // form: its main menu was set or one of its items changed
    DropDown = 1u << 19,    // combo box: DroppedDown changed
    Modal = 1u << 20,       // form: entered or left a modal showing; other forms' blocking
    Active = 1u << 21,      // form: became the active window (bring to front)
    Image = 1u << 22,       // picture/glyph changed
    Scroll = 1u << 23,      // scroll position, top item
    Capture = 1u << 24,     // the control took or lost the mouse capture (GetCapture)
    Selection = 1u << 25,   // edit: the program selected text (SelStart/SelLength, SelectAll)
    All = 0xFFFFFFFFu,
};
using TControlChanges = uint32_t;
constexpr TControlChanges operator|(TControlChange a, TControlChange b) { return uint32_t(a) | uint32_t(b); }
constexpr TControlChanges operator|(TControlChanges a, TControlChange b) { return a | uint32_t(b); }
constexpr bool HasChange(TControlChanges set, TControlChange c) { return (set & uint32_t(c)) != 0; }

// The widget side of one model object (control, form, menu).
class TPeer {
public:
    virtual ~TPeer() = default;
    // Mirror the model's current state for the flagged aspects.
    virtual void Changed(TControlChanges what) = 0;
};

// Creates peers. Installed once by the desktop program; absent in tests.
class TWidgetSet {
public:
    virtual ~TWidgetSet() = default;
    // The peer of a control (forms included). May return nullptr for a control the
    // widget set draws as part of its parent (for example a tool-bar separator).
    virtual std::unique_ptr<TPeer> CreatePeer(TControl& control) = 0;
    // The peer of a main menu or popup menu; its items report through it with
    // TControlChange::Menu and are read from the menu's item tree.
    virtual std::unique_ptr<TPeer> CreateMenuPeer(TMenu& menu) = 0;
    // Paints the control as its widget shows it into `pixels` (the control's own size,
    // origin at its top-left), also when the control is on no shown window; what the
    // widget leaves unpainted keeps the pixels' colour. False when it cannot.
    virtual bool RenderControl(TControl& /*control*/, TPixelBuffer& /*pixels*/) { return false; }
};

// The installed widget set, or nullptr when running headless.
TWidgetSet* WidgetSet();
// Installs (or with nullptr removes) the widget set. Forms shown afterwards get peers.
void SetWidgetSet(TWidgetSet* widgetSet);
