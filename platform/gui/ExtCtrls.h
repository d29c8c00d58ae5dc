// ExtCtrls.h - panels, splitters, paint boxes, images, bevels and timers.
#pragma once

#include "platform/gui/Controls.h"

using TCanResizeSplitEvent = TEvent<void(TObject* Sender, int& NewSize, bool& Accept)>;
SKLAD_EVENT_TYPE(TCanResizeSplitEvent)

class TCustomPanel : public TCustomControl {
    SKLAD_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* AOwner);
    TBevelCut GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut value);
    TBevelCut GetBevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut value);
    int GetBevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int value);
    int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool GetFullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool value) { FFullRepaint = value; }
    // Children are placed inside the bevels and the border.
    TRect ClientRect() const override;

private:
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    TAlignment FAlignment = taCenter;
    bool FFullRepaint = true;
};

class TPanel : public TCustomPanel {
    SKLAD_CLASS(TPanel, TCustomPanel)
public:
    explicit TPanel(TComponent* AOwner);
};

// Resizes the control aligned against it on the same side (the one before it in the
// alignment order) when dragged. Default: aligned left, 3 pixels wide.
class TSplitter : public TGraphicControl {
    SKLAD_CLASS(TSplitter, TGraphicControl)
public:
    explicit TSplitter(TComponent* AOwner);
    int GetMinSize() const { return FMinSize; }
    void SetMinSize(int value) { FMinSize = value; }
    bool GetAutoSnap() const { return FAutoSnap; }
    void SetAutoSnap(bool value) { FAutoSnap = value; }
    TResizeStyle GetResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle value) { FResizeStyle = value; }
    int GetBeveled() const { return FBeveled; }
    void SetBeveled(bool value) { FBeveled = value; }
    // The control the splitter resizes, or nullptr.
    TControl* ResizeControl() const;

    TCanResizeSplitEvent OnCanResize;
    TNotifyEvent OnMoved;

    // The user dragged the splitter by `delta` pixels (right/down positive): the resized
    // control grows or shrinks, kept at MinSize and within the parent, then OnMoved.
    bool UserDragged(int delta);

private:
    int FMinSize = 30;
    bool FAutoSnap = true;
    bool FBeveled = false;
    TResizeStyle FResizeStyle = rsPattern;
};

// A surface for custom painting through OnPaint.
class TPaintBox : public TGraphicControl {
    SKLAD_CLASS(TPaintBox, TGraphicControl)
public:
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;
    void Paint(TCanvas& canvas) override;
};

// Shows a picture. The picture classes arrive with the graphics layer; until then the
// image keeps its display options and repaints through OnPaint-less Paint.
class TImage : public TGraphicControl {
    SKLAD_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* AOwner);
    bool GetStretch() const { return FStretch; }
    void SetStretch(bool value);
    bool GetCenter() const { return FCenter; }
    void SetCenter(bool value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool GetProportional() const { return FProportional; }
    void SetProportional(bool value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value) { FAutoSize = value; }

private:
    bool FStretch = false, FCenter = false, FTransparent = false, FProportional = false, FAutoSize = false;
};

SKLAD_ENUM(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)
SKLAD_ENUM(TBevelStyle, bsLowered, bsRaised)

class TBevel : public TGraphicControl {
    SKLAD_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape GetShape() const { return FShape; }
    void SetShape(TBevelShape value);
    TBevelStyle GetStyle() const { return FStyle; }
    void SetStyle(TBevelStyle value);

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

// Fires OnTimer every Interval milliseconds of the services' clock while Enabled and
// the event loop runs. A timer whose handler is still running is not fired again.
class TTimer : public TComponent {
    SKLAD_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool value);
    int GetInterval() const { return FInterval; }
    void SetInterval(int value);
    TNotifyEvent OnTimer;

    // When the timer is due next (services' TickCount), or 0 when not running.
    uint64_t DueAt() const { return FDueAt; }

protected:
    void Loaded() override;

private:
    friend class TApplication;
    void Restart();
    void Fire();
    bool FEnabled = true;
    int FInterval = 1000;
    uint64_t FDueAt = 0;
    bool FFiring = false;
};
