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

std::unique_ptr<TPeer> CreateQtMenuPeer(TMenu& menu);
// The menu bar of a main menu's peer, or nullptr.
QMenuBar* MenuBarOf(const TMenu* menu);
