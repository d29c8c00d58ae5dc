// QtPeers.h - factories of the widget peers, one per family of controls (internal).
#pragma once

#include "platform/gui/Peer.h"

#include <memory>

#include "platform/gui/GuiTypes.h"

class TControl;
class TWinControl;
class TMenu;
class QMenuBar;
class QScrollBar;

// Each returns nullptr when the control is not of its family.
std::unique_ptr<TPeer> CreateFormPeer(TControl& control);
std::unique_ptr<TPeer> CreateStdPeer(TControl& control);
std::unique_ptr<TPeer> CreateExtPeer(TControl& control);
std::unique_ptr<TPeer> CreateComPeer(TControl& control);
std::unique_ptr<TPeer> CreateGridPeer(TControl& control);
// A plain container for controls no family knows (custom controls of later layers), or a
// frame with scroll bars for a control whose window has its own.
std::unique_ptr<TPeer> CreateGenericPeer(TControl& control);
// A window's own scroll bar shown by its peer, or nullptr (tests read and drive it).
QScrollBar* QtWindowScrollBar(const TWinControl* control, TScrollBarKind kind);

class QObject;
class QRect;
class QWidget;

// A window's two scroll bars laid over the right and bottom edges of its client area
// (a form's bars: the model keeps its client size). Each shows while the model says it
// is needed, mirrors the model's range and position, and hands the user's requests to
// the model (UserScroll), which decides the position the bar then shows.
class TQtOverlayScrollBars {
public:
    // The bars are children of `parent`; their connections die with `context`.
    TQtOverlayScrollBars(TWinControl& window, QWidget* parent, QObject* context);
    // `client` is the client area in the parent's coordinates.
    void Update(const QRect& client);
    QScrollBar* Bar(TScrollBarKind kind) const { return FBars[kind]; }

private:
    void Mirror();
    void Report(TScrollBarKind kind, int action);
    TWinControl& FWindow;
    QObject* FContext;
    QScrollBar* FBars[2] = {};
};

// A mouse button pressed in a widget of `form` that takes the focus on a click: a window
// shown without taking the keys (a floating tool bar's) takes them now, as a click
// activates any window.
class TCustomForm;
void QtClickedIntoForm(TCustomForm& form);

std::unique_ptr<TPeer> CreateQtMenuPeer(TMenu& menu);
// The menu bar of a main menu's peer, or nullptr.
QMenuBar* MenuBarOf(const TMenu* menu);
