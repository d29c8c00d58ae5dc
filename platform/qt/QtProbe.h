// QtProbe.h - what the widgets of the Qt backend show, and user input on them, for tests
// of the layers above, which may not include Qt themselves.
//
// Each function works on the widget peer of a control (nothing, or an empty answer, when
// the control has no Qt peer) and sends input the way a user's would arrive: through the
// widget, so the peer reports it to the model.
#pragma once

#include "platform/gui/Controls.h"

#include <vector>

// The scroll bar the peer shows for a window's own bar (Min 0, Max = the bar's maximum
// plus its page, as the model counts it); Enabled false when there is none.
TScrollBarInfo QtShownScrollBar(const TWinControl* control, TScrollBarKind kind);
// Drags the thumb of that bar to `pos`, as the user's mouse would; false without a bar.
bool QtDragScrollBar(const TWinControl* control, TScrollBarKind kind, int pos);
// One wheel turn of `delta` over the middle of the control's widget.
void QtTurnWheel(const TControl* control, int delta);
// The tooltip of the control's widget.
AnsiString QtToolTip(const TControl* control);
// The cursor over the control's widget: a picture (Width, Height and hot spot of its
// pixmap) or, with Picture false, one of the desktop's shapes (Shape: Qt's number).
struct TQtShownCursor {
    bool Picture = false;
    int Shape = 0, Width = 0, Height = 0, HotX = 0, HotY = 0;
};
TQtShownCursor QtShownCursor(const TControl* control);
// Whether the control's widget (a tool button) shows a picture.
bool QtShowsPicture(const TControl* control);

// Whether the control's widget is shown on screen (it and its window visible).
bool QtWidgetShown(const TControl* control);
// Whether the control's widget lies inside the widget of `ancestor`.
bool QtWidgetInside(const TControl* control, const TControl* ancestor);
// Whether the control's window is drawn without the window system's frame.
bool QtWindowFrameless(const TControl* control);
// The left mouse button pressed, the mouse moved with it held, or released, at (x, y) of
// the control's widget, as the user's mouse would arrive.
enum class TQtMouseAction { Press, Move, Release };
void QtMouse(const TControl* control, TQtMouseAction action, int x, int y);
// The user's mouse (the left button unless told) at a screen point, through Qt's window-system entry as
// the X server would deliver it: to the window holding the pointer grab; else, while the
// button is held, to the window it went down in; else to the window under the point (an
// owned window above its owner). Qt then picks the widget.
void QtPointer(TQtMouseAction action, TPoint screen, TMouseButton button = mbLeft);
// The left button pressed and released twice in quick succession at a screen point, the
// same way: Qt makes the second press a double click.
void QtDoubleClick(TPoint screen);
// A key pressed and released by the user (with Ctrl, Alt or Shift held as `shift` says),
// through Qt's window-system entry to the window holding the keyboard focus, as the X
// server delivers it; Qt then hands it to that window's focus widget. False when no
// window has the focus.
bool QtKey(Word key, TShiftState shift = {});
// Whether the control's window is the one holding the keyboard focus.
bool QtWindowHasKeys(const TControl* control);
// Where the control's widget lies on the screen.
TRect QtWidgetOnScreen(const TControl* control);
// Where the dropped list of a combo box lies on the screen; empty while it is closed.
TRect QtDroppedListOnScreen(const TControl* combo);
// Whether the dropped list shows every item whole (none cut short for want of width).
bool QtDroppedListShowsWholeItems(const TControl* combo);
// Whether the window of `window`'s widget has the window of `owner`'s as transient
// parent (WM_TRANSIENT_FOR on X11) and is a tool window, which stays above it.
bool QtWindowOwnedBy(const TControl* window, const TControl* owner);
// Whether the control's widget holds Qt's mouse grab.
bool QtGrabsMouse(const TControl* control);
// Qt's own text `text` of `context` in the language loaded at start-up.
AnsiString QtTranslated(const char* context, const char* text);

// The grey levels (0 black .. 255 white) the control's widget shows over `area` of its
// client area, row by row; points outside the widget are left out.
std::vector<int> QtShownGrays(const TControl* control, const TRect& area);
