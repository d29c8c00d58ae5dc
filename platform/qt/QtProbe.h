// QtProbe.h - what the widgets of the Qt backend show, and user input on them, for tests
// of the layers above, which may not include Qt themselves.
//
// Each function works on the widget peer of a control (nothing, or an empty answer, when
// the control has no Qt peer) and sends input the way a user's would arrive: through the
// widget, so the peer reports it to the model.
#pragma once

#include "platform/gui/Controls.h"

// The scroll bar the peer shows for a window's own bar (Min 0, Max = the bar's maximum
// plus its page, as the model counts it); Enabled false when there is none.
TScrollBarInfo QtShownScrollBar(const TWinControl* control, TScrollBarKind kind);
// Drags the thumb of that bar to `pos`, as the user's mouse would; false without a bar.
bool QtDragScrollBar(const TWinControl* control, TScrollBarKind kind, int pos);
// One wheel turn of `delta` over the middle of the control's widget.
void QtTurnWheel(const TControl* control, int delta);
// The tooltip of the control's widget.
AnsiString QtToolTip(const TControl* control);
// Whether the control's widget (a tool button) shows a picture.
bool QtShowsPicture(const TControl* control);
