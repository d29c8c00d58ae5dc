// DemoForm.h - a form with one of each control, read from AllControls.dfm; shared by
// the demo program and the Qt smoke test.
#pragma once

#include "platform/rtl/System.h"

class TForm;

// Path of AllControls.dfm in the source tree.
AnsiString DemoLayoutPath();
// Creates the form (owned by the application) from the layout and fills what a layout
// cannot hold: the groups tree. Raises when the layout cannot be read.
TForm* CreateDemoForm();
