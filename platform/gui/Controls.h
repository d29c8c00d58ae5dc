// Controls.h - the control model: bounds, alignment, visibility, enabling, fonts, text,
// mouse and key input, focus, and the peer hook.
//
// A control is a component (owned by its form, which destroys it) that also has a parent
// (the windowed control it sits on). The two relations are separate, as on the platform.
// All state lives here; a peer only mirrors it (Peer.h).
//
// Layout is done by the model itself: whenever a windowed control's client area or the
// alignment, visibility or size of a child changes, AlignControls() places the aligned
// children (alTop by their Top, then alBottom, alLeft, alRight, each group in position
// order, then alClient in what is left) and keeps the distances of right/bottom-anchored
// children. Peers just show the resulting bounds.
//
// Input: a peer or the test driver calls the User* methods. They refuse (return false)
// when the control does not accept input: hidden or disabled here or in a parent, or on
// a form that a modal form above it blocks. Handlers run inside the application's
// exception guard: an exception shows the error dialog and the program goes on.
//
// Mouse capture: while a control holds it (SetCapture), every mouse button and move
// message goes to that control, in its own client coordinates, wherever the pointer is
// and whichever control it was reported to; a drag that moves its control into another
// window goes on that way. The holder is told (its peer grabs the pointer on the
// desktop). It lasts until ReleaseCapture, another SetCapture, a modal form showing, or
// the holder's destruction.
#pragma once

#include <algorithm>

#include "platform/classes/Classes.h"
#include "platform/classes/ComponentRef.h"
#include "platform/classes/TypInfo.h"
#include "platform/graphics/Graphics.h"
#include "platform/gui/GuiTypes.h"
#include "platform/gui/Peer.h"

#include <memory>
#include <vector>

class TWinControl;
class TCustomForm;
class TControl;
class TPopupMenu;
class TCanvas;

// The wheel turned by WheelDelta (WHEEL_DELTA a notch, positive away from the user) with
// the mouse at MousePos (screen coordinates); a handler sets Handled to stop it there.
using TMouseWheelEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
SKLAD_EVENT_TYPE(TMouseWheelEvent)
using TMouseWheelUpDownEvent = TEvent<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
SKLAD_EVENT_TYPE(TMouseWheelUpDownEvent)

// The mouse capture (see the file header). SetCapture returns the previous holder;
// ReleaseCapture returns whether a control held it.
TControl* SetCapture(TControl* control);
bool ReleaseCapture();
TControl* GetCapture();

class TControl : public TComponent {
    SKLAD_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // -- parent and position
    TWinControl* GetParent() const { return FParent; }
    virtual void SetParent(TWinControl* value);
    TCustomForm* ParentForm() const;  // the form this control is on (itself for a form)

    int GetLeft() const { return FLeft; }
    void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
    int GetTop() const { return FTop; }
    void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
    int GetWidth() const { return FWidth; }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    int GetHeight() const { return FHeight; }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    // The client area in the control's own coordinates (0, 0 at its top-left).
    virtual TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }
    int GetClientWidth() const { return ClientRect().Width(); }
    void SetClientWidth(int value);
    int GetClientHeight() const { return ClientRect().Height(); }
    void SetClientHeight(int value);
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    // Where a window's client area starts inside its outer corner (a form's frame on the
    // desktop); nothing for other controls.
    virtual TPoint WindowClientOffset() const { return {0, 0}; }

    TAlign GetAlign() const { return FAlign; }
    void SetAlign(TAlign value);
    TAnchors GetAnchors() const { return FAnchors; }
    void SetAnchors(TAnchors value);

    // -- state
    bool GetVisible() const { return FVisible; }
    virtual void SetVisible(bool value);
    void Show();   // Visible := true (a form: see TCustomForm::Show)
    void Hide();   // Visible := false
    // Visible here and in every parent; a form counts as showing while visible.
    bool IsShowing() const;
    bool GetEnabled() const { return FEnabled; }
    virtual void SetEnabled(bool value);
    // Enabled here and in every parent: a disabled parent disables its children.
    bool IsEnabled() const;
    // Showing, enabled, and on a form that no modal form blocks.
    bool AcceptsInput() const;

    TFont* GetFont() const { return const_cast<TOwnFont*>(&FFont); }
    void SetFont(TFont* value);
    bool GetParentFont() const { return FParentFont; }
    void SetParentFont(bool value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor value);
    bool GetParentColor() const { return FParentColor; }
    void SetParentColor(bool value);

    // Caption and Text are one text, as on the platform; controls publish the name
    // that fits them.
    // Setting the text tells the peer and calls TextChanged (edits fire OnChange there).
    const AnsiString& GetText() const { return FText; }
    void SetText(const AnsiString& value);
    const AnsiString& GetCaption() const { return FText; }
    void SetCaption(const AnsiString& value) { SetText(value); }

    const AnsiString& GetHint() const { return FHint; }
    void SetHint(const AnsiString& value);
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    bool GetParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool value);
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* value);
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor value);
    int GetTag() const { return FTag; }
    void SetTag(int value) { FTag = value; }

    // -- events
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnResize;
    TCanResizeEvent OnCanResize;
    // The wheel: OnMouseWheel with the raw delta first; unless it handled the turn, whole
    // notches (partial turns add up) go to OnMouseWheelUp / OnMouseWheelDown.
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TMouseWheelUpDownEvent OnMouseWheelDown;

    // -- user input (peers and the test driver); false when the control refused
    virtual bool UserClicked();
    virtual bool UserDoubleClicked();
    bool UserMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    bool UserMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    bool UserMouseMove(TShiftState shift, int x, int y);
    // Right-button release: the control's popup menu pops up at (x, y), or, when it has
    // none, its nearest parent's (ContextMenuHolder).
    bool UserContextMenu(int x, int y);
    // The keyboard's way to the same menu (the Menu key, Shift+F10): it pops at the
    // control's ContextMenuPoint. False when there is no menu to pop.
    bool PopupByKeyboard();
    // The control whose menu a right click here pops: this one or the nearest parent with
    // a popup menu that pops by itself (AutoPopup); nullptr when none has one.
    TControl* ContextMenuHolder() const;
    // The wheel turned over this control (MousePos in screen coordinates). The control
    // hears it first, then each parent up to the form, until one handles it. Handled (when
    // given) tells whether one did; a peer lets its widget scroll by itself only when none
    // did. False when the control refused the input.
    bool UserMouseWheel(int WheelDelta, TShiftState Shift, TPoint MousePos, bool* Handled = nullptr);

    // Runs the click logic as if clicked (the platform's Click), without the input check.
    virtual void Click();
    // Paints: peers call this with a canvas when custom painting is needed.
    virtual void Paint(TCanvas& canvas);
    // Asks for a repaint of custom-painted content.
    void Invalidate();
    void Repaint() { Invalidate(); }
    void Refresh() { Invalidate(); }
    void BringToFront();
    void SendToBack();

    // -- streaming: a control is read and written as a child of its parent
    void SetParentComponent(TComponent* value) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }

    // -- peer
    TPeer* Peer() const { return FPeer.get(); }
    // Creates the peer (and, for windowed controls, the children's) when a widget set is
    // installed; does nothing when it already exists or when running headless.
    virtual void CreatePeers();
    virtual void DestroyPeers();

protected:
    // Tells the peer, if any, what changed.
    void Changed(TControlChanges what);
    void Changed(TControlChange what) { Changed(TControlChanges(what)); }

    virtual void DblClick();
    // Where a menu popped from the keyboard shows, in client coordinates: the top left
    // corner, or where the user's current item is.
    virtual TPoint ContextMenuPoint() const { return {0, 0}; }
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    // The wheel's handlers on this control; true when the turn was handled.
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
    virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
    virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
    virtual void Resize();
    // The control's size changed: a window control realigns its children first, so that
    // Resize sees them at their new sizes; then Resize (not while loading).
    virtual void SizeChanged();
    virtual void TextChanged() {}
    // What Text keeps of a value set to it, from code or typed (edits apply CharCase).
    virtual AnsiString AdjustText(const AnsiString& value) const { return value; }
    virtual void VisibleChanged();
    virtual void EnabledChanged();
    virtual void FontChanged();
    void Notification(TComponent* component, TOperation operation) override;
    void Loaded() override;
    // Runs fn inside the application's exception guard.
    void Guarded(const std::function<void()>& fn);
    // After a parent's font or colour change.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    // A parent's Enabled or Visible changed.
    virtual void ParentStateChanged(TControlChanges what);
    // Lets the parent realign after a change of this control's layout.
    void RequestAlign();
    // Sets ShowHint and hands it to the children that follow their parent's.
    void ApplyShowHint(bool value);

    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    AnsiString FText;
    bool FVisible = true;
    bool FEnabled = true;

private:
    friend class TWinControl;
    friend TControl* SetCapture(TControl* control);
    // The capture's holder when it is another control: (x, y) become its coordinates.
    TControl* CaptureInstead(int& x, int& y) const;
    TWinControl* FParent = nullptr;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    // Distances kept for right/bottom anchors, taken when the control is placed.
    int FAnchorRight = 0, FAnchorBottom = 0;
    // The font lives inside the control (one block to make and free) and tells it of
    // its changes itself, so no handler has to be made for it.
    struct TOwnFont final : TFont {
        explicit TOwnFont(TControl* control) : Control(control) {}
        void Changed() override;
        TControl* const Control;
    };
    TOwnFont FFont{this};
    bool FParentFont = true;
    bool FSettingParentFont = false;
    TColor FColor = clBtnFace;
    bool FParentColor = false;
    AnsiString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TComponentRef<TPopupMenu> FPopupMenu{this};
    TCursor FCursor = crDefault;
    int FTag = 0;
    int FWheelAccumulator = 0;  // the part of a notch not yet turned into Up/Down
    std::unique_ptr<TPeer> FPeer;
};

// A control that can hold other controls, take the focus and receive keys.
class TWinControl : public TControl {
    SKLAD_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    int ControlCount() const { return int(FControls.size()); }
    TControl* Controls(int index) const;
    const std::vector<TControl*>& ControlList() const { return FControls; }
    bool ContainsControl(const TControl* control) const;  // a child at any depth
    // Finds a direct child by component name (ignores case).
    TControl* FindChildControl(std::string_view name) const;
    // The deepest visible child under a point of the client area, or nullptr.
    TControl* ControlAtPos(TPoint p) const;

    int GetTabOrder() const;
    void SetTabOrder(int value);
    bool GetTabStop() const { return FTabStop; }
    void SetTabStop(bool value) { FTabStop = value; }

    // Focus: raises EInvalidOperation "Cannot focus a disabled or invisible window" when
    // the control cannot take it.
    virtual void SetFocus();
    bool Focused() const;
    virtual bool CanFocus() const;

    // Places the aligned and anchored children (see the file header).
    void AlignControls();
    void DisableAlign() { ++FAlignLock; }
    void EnableAlign();
    void Realign() { AlignControls(); }

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // A key pressed while this control has the focus: form key preview, the control's
    // OnKeyDown, menu short-cuts, then Enter/Escape for the default/cancel buttons and Tab.
    bool UserKeyDown(Word key, TShiftState shift = {});
    bool UserKeyUp(Word key, TShiftState shift = {});
    // A character typed while this control has the focus: form preview, then OnKeyPress,
    // then the control's own handling (an edit inserts it).
    bool UserKeyPress(char key);

    // The same for a peer whose widget acts on the key itself (a line edit inserts the
    // character, a list moves its selection). Each returns true when the widget should go
    // on with `key`, false when the model took it or refused it and the widget must drop
    // it: a handler set it to 0 (or raised), a short-cut, the default or cancel button
    // or Tab handling used it, or the control does not accept input.
    // UserFilterKeyDown runs what UserKeyDown runs. UserFilterKeyPress runs the preview
    // and OnKeyPress but not the control's own handling; a handler may change the
    // character, and the widget then inserts the changed one.
    bool UserFilterKeyDown(Word& key, TShiftState shift = {});
    bool UserFilterKeyPress(char& key);
    // The user moved the focus here: clicked into the control (byMouse), or the desktop
    // gave it the keys another way (its window system moved the focus by keyboard).
    bool UserFocused(bool byMouse = true);

    // -- the window's own scroll bars (a control whose window is made with scroll bars,
    //    not a scroll box). The peer shows a bar for each kind the control has, in a strip
    //    kScrollBarSize wide right of or below the client area, mirrors GetScrollBarInfo
    //    on TControlChange::Scroll, and reports the user's scrolling with UserScroll.
    //    ClientRect() of such a control already leaves the strips (and the edge) out.
    virtual bool HasScrollBar(TScrollBarKind /*kind*/) const { return false; }
    virtual TScrollBarInfo GetScrollBarInfo(TScrollBarKind /*kind*/) const { return {}; }
    // The sunken edge round the client area and the bars (kClientEdgeWidth or 0).
    virtual int GetEdgeWidth() const { return 0; }
    // The user worked a scroll bar; Pos is the thumb position for scTrack and scPosition.
    bool UserScroll(TScrollBarKind kind, TScrollCode code, int pos = 0);

    void SetBounds(int left, int top, int width, int height) override;
    void CreatePeers() override;
    void DestroyPeers() override;
    // Streaming: the child controls that `root` owns, in z-order.
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;

protected:
    friend class TControl;
    friend class TCustomForm;
    void SizeChanged() override;
    virtual void KeyDown(Word& key, TShiftState shift);
    virtual void KeyUp(Word& key, TShiftState shift);
    virtual void KeyPress(char& key);
    // An up-down control steps when its associate edit is given the Up or Down key, in
    // either orientation; true when this control took `key` for `buddy`.
    virtual bool StepForBuddy(TWinControl* /*buddy*/, Word /*key*/) { return false; }
    // What the control does with a scroll bar's request (nothing here).
    virtual void DoScroll(TScrollBarKind /*kind*/, TScrollCode /*code*/, int /*pos*/) {}
    // What the control does with a character that got through OnKeyPress.
    virtual void DefaultKeyPress(char) {}
    // Whether the control handles this key itself (so Enter does not press the default
    // button in a memo, and arrows do not move focus in a list).
    virtual bool WantsKey(Word key) const;
    virtual void DoEnter();
    virtual void DoExit();
    // While DoEnter runs: whether a mouse click brought the focus (an edit then leaves
    // the caret where the click put it instead of selecting its text).
    bool EnteringByMouse() const { return FEnteringByMouse; }
    // The control has the keys again without a change of the form's active control: its
    // form was shown again with the focus in it. Nothing here; an edit selects its text.
    virtual void FocusRegained() {}
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void ParentFontChanged() override;
    void ParentColorChanged() override;
    void ParentStateChanged(TControlChanges what) override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void Loaded() override;
    // The area AlignControls fills; the client rect less borders and captions.
    virtual TRect AlignRect() const { return ClientRect(); }
    // Places children before the aligned ones (a tool bar's buttons); may shrink `rect`.
    virtual void ArrangeChildren(TRect& /*rect*/) {}
    // Right and bottom anchors are measured against the client size at placing time.
    void ChildPlaced(TControl* control);
    // A child was placed, moved, sized or removed (not while aligning).
    virtual void ContentChanged() {}

private:
    void AlignPass();
    std::vector<TControl*> FControls;   // in z-order (creation order)
    std::vector<TWinControl*> FTabList; // windowed children in tab order
    bool FTabStop = false;
    int FAlignLock = 0;
    bool FAligning = false;
    bool FAlignPending = false;
    bool FEnteringByMouse = false;
};

// A control without a window of its own (labels, speed buttons, paint boxes).
class TGraphicControl : public TControl {
    SKLAD_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* GetCanvas() const { return FCanvas.get(); }

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// A windowed control that paints itself.
class TCustomControl : public TWinControl {
    SKLAD_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* GetCanvas() const { return FCanvas.get(); }

private:
    std::unique_ptr<TCanvas> FCanvas;
};

class TScrollingWinControl;

SKLAD_ENUM(TScrollBarStyle, ssRegular, ssFlat, ssHotTrack)

// One scroll bar of a scroll box or form. Range is the extent of what can be scrolled
// (with AutoScroll, how far the children reach plus Margin); the bar is needed when it
// is visible and Range exceeds the client area. Position runs from 0 to Range less the
// client extent; changing it moves the children (those not aligned) the other way.
// Setting Range switches the owner's AutoScroll off, as the class library does.
class TControlScrollBar : public TPersistent {
    SKLAD_CLASS(TControlScrollBar, TPersistent)
public:
    explicit TControlScrollBar(TScrollingWinControl* control = nullptr, TScrollBarKind kind = sbHorizontal);
    void Assign(TPersistent* source) override;
    TScrollBarKind GetKind() const { return FKind; }
    // Whether the bar shows: visible and more to scroll than the client area holds.
    bool IsScrollBarVisible() const;
    // The position while the bar shows, else 0.
    int GetScrollPos() const { return IsScrollBarVisible() ? FPosition : 0; }

    int GetButtonSize() const { return FButtonSize; }
    void SetButtonSize(int value) { FButtonSize = std::max(0, value); }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor value);
    int GetIncrement() const { return FIncrement; }
    void SetIncrement(int value);
    int GetMargin() const { return FMargin; }
    void SetMargin(int value) { FMargin = std::max(0, value); }
    bool GetParentColor() const { return FParentColor; }
    void SetParentColor(bool value) { FParentColor = value; }
    int GetPosition() const { return FPosition; }
    void SetPosition(int value);
    int GetRange() const;
    void SetRange(int value);
    int GetSize() const { return FSize; }
    void SetSize(int value) { FSize = std::max(0, value); }
    bool GetSmooth() const { return FSmooth; }
    void SetSmooth(bool value) { FSmooth = value; }
    TScrollBarStyle GetStyle() const { return FStyle; }
    void SetStyle(TScrollBarStyle value) { FStyle = value; }
    int GetThumbSize() const { return FThumbSize; }
    void SetThumbSize(int value) { FThumbSize = std::max(0, value); }
    bool GetTracking() const { return FTracking; }
    void SetTracking(bool value) { FTracking = value; }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool value);
    bool IsRangeStored() const;

private:
    friend class TScrollingWinControl;
    int ClientExtent() const;
    // The largest position the range allows.
    int MaxPosition() const { return std::max(0, GetRange() - ClientExtent()); }

    TScrollingWinControl* FControl;
    TScrollBarKind FKind;
    int FButtonSize = 0;
    TColor FColor = clBtnHighlight;
    int FIncrement = 8;
    int FMargin = 0;
    bool FParentColor = true;
    int FPosition = 0;
    int FRange = 0;
    int FSize = 0;
    bool FSmooth = false;
    TScrollBarStyle FStyle = ssRegular;
    int FThumbSize = 0;
    bool FTracking = false;
    bool FVisible = true;
};

// A control inside a scrolled area (scroll box, form).
class TScrollingWinControl : public TWinControl {
    SKLAD_CLASS(TScrollingWinControl, TWinControl)
public:
    explicit TScrollingWinControl(TComponent* AOwner);
    ~TScrollingWinControl() override;
    bool GetAutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool value);
    TControlScrollBar* GetHorzScrollBar() const { return FHorzScrollBar.get(); }
    void SetHorzScrollBar(TControlScrollBar* value) { FHorzScrollBar->Assign(value); }
    TControlScrollBar* GetVertScrollBar() const { return FVertScrollBar.get(); }
    void SetVertScrollBar(TControlScrollBar* value) { FVertScrollBar->Assign(value); }
    // Scrolls so that the control shows whole (as far as the ranges allow).
    void ScrollInView(TControl* control);

    // The bars as the window's own: shown while needed, worked by the user (lines by
    // Increment, pages by nine tenths of the client extent), their peer told of every
    // change of range or position. Unlike other windows with bars, the client area keeps
    // its size: a scroll box's peer lays the bars over its right and bottom edges.
    bool HasScrollBar(TScrollBarKind kind) const override;
    TScrollBarInfo GetScrollBarInfo(TScrollBarKind kind) const override;

protected:
    void DoScroll(TScrollBarKind kind, TScrollCode code, int pos) override;
    void ContentChanged() override;

private:
    friend class TControlScrollBar;
    // Moves the children that are not aligned by dx, dy.
    void ScrollChildren(int dx, int dy);
    void BarsChanged();

    bool FAutoScroll = true;
    bool FScrolling = false;
    std::unique_ptr<TControlScrollBar> FHorzScrollBar;
    std::unique_ptr<TControlScrollBar> FVertScrollBar;
};

class TScrollBox : public TScrollingWinControl {
    SKLAD_CLASS(TScrollBox, TScrollingWinControl)
public:
    explicit TScrollBox(TComponent* AOwner);
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TRect ClientRect() const override;
    int GetEdgeWidth() const override { return FBorderStyle == bsNone ? 0 : kClientEdgeWidth; }

private:
    TBorderStyle FBorderStyle = bsSingle;
};

// Paints the control into `bitmap` at (0, 0), as a designer shows a control whose window is
// not on screen (the platform's PaintTo): with a widget set the control's widget paints
// itself; headless, a raised frame and the caption are drawn simply, then the control's
// own Paint. What the control leaves unpainted keeps the bitmap's colour.
void PaintControlTo(TControl& control, TBitmap& bitmap);
