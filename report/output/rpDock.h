// rpDock.h - tool-bar panels, docks, tool bars that dock, drag and float, a dock site for
// windows, and saving tool-bar, dock and window positions in an ini file.
//
// A TrpToolBar stands in a TrpDock (a strip along a window edge holding tool bars in rows
// of RowSize pixels) or floats in a borderless TrpFloatWindow of its own. Its grip
// (TrpDragBox) and its body drag it: inside its dock past its neighbours and from row to
// row; a drag that leaves the dock by more than 20 pixels floats it at the cursor (unless
// CanFloat is false); a float window dragged over a dock that takes the tool bar's
// orientation docks it there. A drag is followed in screen coordinates and holds the
// mouse capture from press to release (the tool bar while docked, its float window while
// floating), so it goes on while the tool bar changes windows and wherever the pointer goes.
//
// Dock compaction (TrpDock::AdjustBounds, also after loading): rows are counted from the
// dock's start for top and left docks and from its outer edge for bottom and right ones;
// a row no visible tool bar touches is removed and the tool bars beyond it move back by a
// row; the depth becomes rows x RowSize + 1, 1 without tool bars; a bottom or right dock
// keeps its outer edge, so its first tool bar starts at 1.
//
// The preview window uses only TrpTBPanel: a panel that holds a non-button control (the
// zoom box, the page number) inside a tool bar and turns with it.
//
// Ini sections: "ToolBar." + tool-bar name, "Dock." + dock-site name, "Form." + window
// class name.
#pragma once

#include "platform/gui/Buttons.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"

#include <vector>

class TCustomIniFile;
class TrpToolBar;
class TrpFloatWindow;

class TrpTBPanel : public TPanel {
    SKLAD_CLASS_NOPUBLISH(TrpTBPanel, TPanel)
public:
    explicit TrpTBPanel(TComponent* AOwner);
    // In a vertical tool bar (one in a left or right dock) or a panel aligned left or
    // right the panel aligns to the top, in any other panel to the left; other parents
    // leave its alignment alone.
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
    // Compaction, as the file header says.
    void AdjustBounds();
    bool IsVertical() const { return GetAlign() == alLeft || GetAlign() == alRight; }
    // Rows counted from the outer edge (bottom and right docks).
    bool CountsFromEnd() const { return GetAlign() == alBottom || GetAlign() == alRight; }
    // Where a tool bar dragged with the pointer at Pointer (dock coordinates) goes: the
    // row under the pointer (a new one just beyond either end), Along along the dock.
    TPoint PlaceFor(const TControl* Bar, TPoint Pointer, int Along) const;

protected:
    void Loaded() override;
};

// The grip at a tool bar's leading edge; its mouse events drag the tool bar.
class TrpDragBox : public TPaintBox {
    SKLAD_CLASS_NOPUBLISH(TrpDragBox, TPaintBox)
public:
    explicit TrpDragBox(TComponent* AOwner);
    void Paint(TCanvas& Canvas) override;
    TrpToolBar* ToolBar() const;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

class TrpToolBar : public TPanel {
    SKLAD_CLASS_NOPUBLISH(TrpToolBar, TPanel)
public:
    explicit TrpToolBar(TComponent* AOwner);
    ~TrpToolBar() override;

    TrpDragBox* DragBox() const { return FDragBox; }
    TrpFloatWindow* FloatWindow() const { return FFloatWindow; }
    bool IsFloat() const { return FIsFloat; }
    TrpOrientation Orientation = toAny;
    bool CanFloat = true;

    TrpDock* Dock() const;
    // Docked in a left or right dock, or floating as a vertical-only tool bar.
    bool IsVertical() const;

    // Moves the tool bar into Dock at (X, Y); refused (false) for a dock against its
    // orientation.
    bool DockTo(TrpDock* Dock, int X, int Y);
    // Docks it beyond the dock's occupied rows; compaction moves it into place.
    bool AddToDock(TrpDock* Dock);
    // Floats it with its window at (X, Y) (screen), or moves the window when floating.
    void FloatTo(int X, int Y);
    // Floats it at the cursor; during a drag the float window takes the mouse capture, so
    // the drag goes on with it wherever the pointer goes.
    void MakeFloat();
    // One step of a drag with the pointer at Screen.
    void MoveTo(TPoint Screen);
    bool Dragging() const { return FDragging; }

    // Lays the visible children one after another along the orientation (the grip
    // first), then AdjustBounds.
    void RealignControls();
    // Length := the visible children's widths (heights) plus 4.
    void AdjustBounds();

    // Visibility is the float window's while floating.
    bool GetVisible() const;
    void SetVisible(bool Value) override;

    void Paint(TCanvas& Canvas) override;
    TRect ClientRect() const override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    friend class TrpDragBox;
    friend class TrpFloatWindow;
    // A drag holds the mouse capture from the press to the release: the tool bar holds it
    // while docked, its float window while floating.
    void StartDrag(TPoint Screen);
    // Past the neighbours of its row: those it overlaps move on, each starting after the
    // one before it, so no tool bar hides another.
    void ClearRow();
    void EndDrag();
    // The grab (FGrab) for the bar lying upright (Vertical) once it lay so (WasVertical),
    // inside the bar.
    TPoint GrabAfterTurn(bool WasVertical, bool Vertical) const;
    void SetFrame();
    TrpDragBox* FDragBox = nullptr;
    TrpFloatWindow* FFloatWindow = nullptr;
    bool FIsFloat = false;
    bool FDragging = false;
    bool FLaidVertical = false;
    TPoint FGrab{0, 0};    // where the pointer took the tool bar, in its coordinates
    TPoint FCursor{0, 0};  // the pointer's last screen position during a drag
};

// The borderless window of a floating tool bar: a grey frame and caption bar (dragging
// the bar moves the window) and a close button. Its owner's form owns its window, so it
// stays above that form.
class TrpFloatWindow : public TForm {
    SKLAD_CLASS_NOPUBLISH(TrpFloatWindow, TForm)
public:
    explicit TrpFloatWindow(TComponent* AOwner);
    ~TrpFloatWindow() override;

    TrpToolBar* ToolBar = nullptr;
    TSpeedButton* CloseBtn = nullptr;
    TPaintBox* Surface = nullptr;  // the frame and caption, under the tool bar

    void PaintFrame(TCanvas& Canvas);
    // A dock of the owner's window under the screen point that takes the tool bar.
    TrpDock* FindDock(TPoint Screen) const;
    // Places the close button at the top right.
    void PlaceCloseButton();

protected:
    // The window's own mouse messages: those it gets while it holds the capture.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    // A press on the caption bar starts moving the window, or dragging the tool bar.
    void PointerDown(TMouseButton Button, TPoint Screen);
    void PointerMove(TPoint Screen);
    void PointerUp();
    void SurfacePaint(TObject* Sender);
    void SurfaceMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void SurfaceMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void SurfaceMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void CloseBtnClick(TObject* Sender);
    void WindowShow(TObject* Sender);
    bool FMoving = false;
    TPoint FLast{0, 0};
};

class TrpDockSite;

// The 3-pixel bar beside a dock site that resizes it.
class TrpDockSplitter : public TPaintBox {
    SKLAD_CLASS_NOPUBLISH(TrpDockSplitter, TPaintBox)
public:
    TrpDockSplitter(TComponent* AOwner, TrpDockSite* Site);
    void Paint(TCanvas& Canvas) override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TrpDockSite* FSite;
};

// A panel that windows dock into, with a splitter that resizes it.
class TrpDockSite : public TPanel {
    SKLAD_CLASS_NOPUBLISH(TrpDockSite, TPanel)
public:
    explicit TrpDockSite(TComponent* AOwner);
    ~TrpDockSite() override;

    TrpDockSplitter* Splitter = nullptr;
    bool Resizing = false;
    int DockWidth = 0;  // width of the window being docked

    // Dropping a window: its controls move onto a host panel in the site (the window
    // hides), the site widens to it and the splitter shows.
    void DockForm(TCustomForm* Form);
    // The controls go back to the window; undocking the last one hides the splitter.
    void UndockForm(TCustomForm* Form);
    std::vector<TCustomForm*> DockedForms() const;
    bool IsDocked(const TCustomForm* Form) const;
    // The splitter beside the site: 3 pixels beyond its right edge when the site is
    // aligned left, else 3 pixels before its left edge.
    void PlaceSplitter();

    void SetParent(TWinControl* Value) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TDocked {
        TCustomForm* Form;
        TPanel* Host;
    };
    std::vector<TDocked> FDocked;
};

// The dock site (among the window's owner's components) that holds the window, or none.
TrpDockSite* rpDockSiteOf(const TCustomForm* Form);

void rpSaveToolbarPosition(TCustomIniFile& Ini, TrpToolBar* ToolBar);
// Docks it where "Dock" names a dock of its owner (anything else leaves it where it is),
// or floats it; then bounds and visibility.
void rpRestoreToolbarPosition(TCustomIniFile& Ini, TrpToolBar* ToolBar);
// "Data": the site's width and its docked windows by name, as the text form of a stream.
void rpSaveDock(TCustomIniFile& Ini, TrpDockSite* Site);
void rpRestoreDock(TCustomIniFile& Ini, TrpDockSite* Site);
void rpSaveFormPosition(TCustomIniFile& Ini, TCustomForm* Form);
void rpRestoreFormPosition(TCustomIniFile& Ini, TCustomForm* Form);
