// rpDock.h - tool-bar panels, docks and tool bars, and saving window and tool-bar
// positions in an ini file.
//
// The preview window uses only TrpTBPanel: a panel that holds a non-button control (the
// zoom box, the page number) inside a tool bar and turns with it. The tool bars here are
// fixed: a TrpToolBar sits in a TrpDock and can be moved to another dock, but it does not
// float in a window of its own and is not dragged by a grip (IsFloat stays false).
//
// Ini sections: "ToolBar." + tool-bar name, "Form." + window class name.
#pragma once

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"

class TCustomIniFile;

class TrpTBPanel : public TPanel {
    SKLAD_CLASS_NOPUBLISH(TrpTBPanel, TPanel)
public:
    explicit TrpTBPanel(TComponent* AOwner);
    // In a panel aligned left or right (a vertical tool bar) the panel aligns to the top,
    // in any other panel to the left; other parents leave its alignment alone.
    void SetParent(TWinControl* Value) override;
    void Paint(TCanvas& Canvas) override;
};

SKLAD_ENUM(TrpOrientation, toAny, toVertOnly, toHorzOnly)

// A strip along a window edge that holds tool bars in rows of RowSize pixels.
class TrpDock : public TPanel {
    SKLAD_CLASS_NOPUBLISH(TrpDock, TPanel)
public:
    explicit TrpDock(TComponent* AOwner);
    int RowSize = 26;
    // Depth := rows in use x RowSize + 1 (1 without tool bars).
    void AdjustBounds();
    bool IsVertical() const { return GetAlign() == alLeft || GetAlign() == alRight; }
};

class TrpToolBar : public TPanel {
    SKLAD_CLASS_NOPUBLISH(TrpToolBar, TPanel)
public:
    explicit TrpToolBar(TComponent* AOwner);
    TrpOrientation Orientation = toAny;
    bool CanFloat = true;
    bool IsFloat() const { return false; }
    // Moves the tool bar into Dock at (X, Y); refused for a dock of the wrong direction.
    bool DockTo(TrpDock* Dock, int X, int Y);
    TrpDock* Dock() const;
    // Lays the visible children one after another along the dock's direction and sets
    // the tool bar's length to their sum plus 4.
    void RealignControls();
};

void rpSaveToolbarPosition(TCustomIniFile& Ini, TrpToolBar* ToolBar);
// Docks it where "Dock" names a dock of its owner (anything else leaves it where it is),
// then bounds and visibility.
void rpRestoreToolbarPosition(TCustomIniFile& Ini, TrpToolBar* ToolBar);
void rpSaveFormPosition(TCustomIniFile& Ini, TCustomForm* Form);
void rpRestoreFormPosition(TCustomIniFile& Ini, TCustomForm* Form);
