// rpCtrls.h - the report library's own window controls: a flat combo box (the preview's
// zoom box), a font picker that remembers the last five fonts, an edit with a button at
// its right end, and a window whose scroll bars carry 32-bit ranges and positions (the
// base of the preview's page surface).
//
// These are models like every control of the gui layer: they keep the state the flat
// look and the scroll bars are drawn from, and a peer (or a test) reads it. The dropped
// list of a combo box is not a window of ours: its size and whether it opens upwards are
// computed when the list drops (GetListRect, GetListInverted).
//
// Scroll bars: TrpScrollWin holds range, page and position for each direction and keeps
// the position within 0 .. range - page. Every position change calls the hooks
// OnHScrollChange / OnVScrollChange, which the page surface overrides. ScrollBarInfo()
// is what the bar shows (maximum 0 and disabled when the page is larger than the range);
// the window's peer shows both bars from it (the gui layer's window scroll bars) and
// hands the user's scrolling back through DoScroll.
#pragma once

#include "platform/gui/Buttons.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"

#include <functional>
#include <limits>
#include <vector>

// ---------------------------------------------------------------- scrolling window

// The scroll-bar requests of the platform (line, page, thumb, ends); the thumb codes
// under the names of the window messages.
using TrpScrollCode = TScrollCode;
constexpr TScrollCode scThumbPosition = scPosition, scThumbTrack = scTrack;

// What one scroll bar shows.
using TrpScrollBarInfo = TScrollBarInfo;

class TrpScrollWin : public TCustomControl {
    SKLAD_CLASS_NOPUBLISH(TrpScrollWin, TCustomControl)
public:
    explicit TrpScrollWin(TComponent* AOwner);

    int GetHorzRange() const { return FHorzRange; }
    void SetHorzRange(int Value);
    int GetVertRange() const { return FVertRange; }
    void SetVertRange(int Value);
    int GetHorzPage() const { return FHorzPage; }
    void SetHorzPage(int Value);
    int GetVertPage() const { return FVertPage; }
    void SetVertPage(int Value);
    int GetHorzPosition() const { return FHorzPosition; }
    // Kept within 0 .. range - page; a change calls OnHScrollChange.
    void SetHorzPosition(int Value);
    int GetVertPosition() const { return FVertPosition; }
    void SetVertPosition(int Value);
    int GetSmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value) { FSmallChange = Value; }
    int GetLargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value) { FLargeChange = Value; }

    TrpScrollBarInfo ScrollBarInfo(bool Horizontal) const;
    // A scroll-bar request; TrackPos is the 32-bit thumb position for the thumb codes.
    void Scroll(bool Horizontal, TrpScrollCode Code, int TrackPos = 0);
    // The user scrolled (a peer's bar, or the test driver).
    bool UserScrolled(bool Horizontal, TrpScrollCode Code, int TrackPos = 0);

    // The window has the client edge and both bars, always shown (disabled when they
    // cannot scroll): the client area is what is left inside them.
    TRect ClientRect() const override;
    bool HasScrollBar(TScrollBarKind) const override { return true; }
    TScrollBarInfo GetScrollBarInfo(TScrollBarKind Kind) const override { return ScrollBarInfo(Kind == sbHorizontal); }
    int GetEdgeWidth() const override { return kClientEdgeWidth; }

    // Fills the client area with the control's colour.
    void Paint(TCanvas& Canvas) override;

protected:
    virtual void OnHScrollChange() {}
    virtual void OnVScrollChange() {}
    void DoScroll(TScrollBarKind Kind, TScrollCode Code, int Pos) override;

private:
    int FHorzRange = 0, FVertRange = 0;
    int FHorzPage = 0, FVertPage = 0;
    int FHorzPosition = 0, FVertPosition = 0;
    int FSmallChange = 1, FLargeChange = 10;
};

// ---------------------------------------------------------------- flat combo boxes

// The three looks of the drop button.
SKLAD_ENUM(TrpButtonState, rbsFlat, rbsHot, rbsPressed)

class TrpCustomComboBox : public TCustomComboBox {
    SKLAD_CLASS_NOPUBLISH(TrpCustomComboBox, TCustomComboBox)
public:
    explicit TrpCustomComboBox(TComponent* AOwner);

    bool GetReadOnly() const { return FReadOnly; }
    // A read-only box takes no typing: its text is one of the items, picked or stepped to.
    void SetReadOnly(bool Value);
    bool EditReadOnly() const override { return FReadOnly; }
    int GetListWidth() const { return FListWidth; }
    void SetListWidth(int Value) { FListWidth = Value; }
    // The dropped list is ListWidth wide, whatever the box's width (0: the box's width).
    int DropDownWidth() const override { return FListWidth; }
    int GetArrowWidth() const { return FArrowWidth; }
    int GetImageWidth() const { return FImageWidth; }

    // Height of the dropped list: ItemHeight x min(DropDownCount, items) + 4, or one
    // item + 4 without items or without a drop-down count.
    int GetListHeight() const;
    // Where the list drops, in screen coordinates; computed by PlaceList.
    TRect GetListRect() const { return FListRect; }
    bool GetListInverted() const { return FListInverted; }
    // Computes the list's place below the box, or 2 pixels higher and marked inverted
    // when it would pass the bottom of a screen ScreenHeight pixels high; moved left as
    // far as it would pass the right edge of a screen ScreenWidth pixels wide.
    void PlaceList(int ScreenHeight, int ScreenWidth = std::numeric_limits<int>::max());
    // The same on a monitor that may lie anywhere on the desktop.
    void PlaceList(const TRect& Monitor);
    // The bounds of the monitor the box lies on.
    TRect MonitorRect() const;
    // Where the inner edit sits.
    TRect EditRect() const;

    // The border and the button look active while dropped, focused or under the mouse.
    bool GetSolidBorder() const;
    bool GetMouseInControl() const { return FMouseInControl; }
    // The mouse entered or left the box.
    void SetMouseInControl(bool Value);
    void SetEditFocused(bool Value);
    TrpButtonState ButtonState() const;

    void Paint(TCanvas& Canvas) override;

protected:
    // The list is placed (PlaceList) on the monitor of the box before it drops.
    void DropDown() override;
    // The edit gaining the focus makes the box look active, losing it flat again.
    void DoEnter() override;
    void DoExit() override;
    // The image area left of the text (empty in the plain box).
    virtual void DrawImage(TCanvas& Canvas, const TRect& R);
    void PaintBorder(TCanvas& Canvas, bool Active);
    void PaintButton(TCanvas& Canvas, TrpButtonState State);
    void PaintDisabled(TCanvas& Canvas);
    void PaintButtonGlyph(TCanvas& Canvas, int X, int Y);
    void FontChanged() override;

    int FImageWidth = 0;

private:
    void DroppedChanged();
    bool FListInverted = false;
    int FArrowWidth = 11;
    bool FMouseInControl = false;
    bool FEditFocused = false;
    bool FReadOnly = false;
    int FListWidth = 0;
    TRect FListRect;
};

class TrpComboBox : public TrpCustomComboBox {
    SKLAD_CLASS(TrpComboBox, TrpCustomComboBox)
public:
    explicit TrpComboBox(TComponent* AOwner);
};

// A font family as the font combo lists it: the name and the enumeration's type bits.
struct TrpFontEntry {
    AnsiString Name;
    int FontType = 0;
};
constexpr int TRUETYPE_FONTTYPE = 4;

// Where the font combo gets its families; the default gives the program's font table.
using TrpFontSource = std::function<std::vector<TrpFontEntry>()>;
void rpSetFontSource(TrpFontSource Source);

// The sample beside a dropped font list: the highlighted font's name written in that
// font, 18 point, on a bordered panel. A pop-up of the box's window; hidden until the list
// drops.
class TrpFontPreview : public TCustomControl {
    SKLAD_CLASS_NOPUBLISH(TrpFontPreview, TCustomControl)
public:
    explicit TrpFontPreview(TComponent* AOwner);
    TPanel* Panel = nullptr;
    // Shows Name written in that font.
    void SetFontName(const AnsiString& Name);
};

// The TrueType picture drawn before TrueType fonts (two overlapping T's).
constexpr int kTrueTypePictureWidth = 12, kTrueTypePictureHeight = 12;
void rpDrawTrueTypePicture(TCanvas& Canvas, int X, int Y);

class TrpFontComboBox : public TrpCustomComboBox {
    SKLAD_CLASS(TrpFontComboBox, TrpCustomComboBox)
public:
    explicit TrpFontComboBox(TComponent* AOwner);

    TrpFontPreview* FontPreview = nullptr;  // not made at design time
    // Item height := the larger of the picture's height + 1 and the font's height.
    void Init();
    // One item of the dropped list: a selected item's font goes to the preview; the
    // TrueType picture, the name, and a line under the last recent font.
    void DrawItem(TCanvas& Canvas, int Index, const TRect& R, bool Selected);
    // Where the preview goes when the list drops (screen coordinates): right of the box,
    // left of it when it would leave a screen ScreenWidth wide, above the box's level
    // when the list opens upwards.
    TRect PreviewRect(int ScreenWidth) const;

    bool GetShowMRU() const { return FShowMRU; }
    void SetShowMRU(bool Value) { FShowMRU = Value; }
    const AnsiString& GetMRURegKey() const { return FMRURegKey; }
    // An empty key means "\Software\Report Library\MRUFont".
    void SetRegKey(const AnsiString& Value);
    int GetMRUCount() const { return FMRUCount; }
    int FontTypeOf(int Index) const;

    // Rebuilds the list: the families sorted, then the recent fonts from the registry on
    // top (a recent font no longer installed is cleared there).
    void PopulateList();
    void Reset();
    // The user chose item Index from the list, with the mouse or the keys: the recent-font
    // rules (the font goes to the top), then the standard selection and the click.
    bool UserSelected(int Index) override;
    bool UserChose(int Index) { return UserSelected(Index); }

    TNotifyEvent OnClick;

protected:
    void DrawImage(TCanvas& Canvas, const TRect& R) override;
    void DropDown() override;
    void CloseUp() override;
    void FontChanged() override;
    void Loaded() override;

private:
    void WriteMRU();
    bool FShowMRU = true;
    AnsiString FMRURegKey;
    bool FUpdating = false;
    int FMRUCount = -1;
    std::vector<int> FTypes;  // font type of each item
};

// An edit (a simple combo box) with a small button at its right end.
class TrpComboEdit : public TCustomComboBox {
    SKLAD_CLASS(TrpComboEdit, TCustomComboBox)
public:
    explicit TrpComboEdit(TComponent* AOwner);
    bool GetButtonEnabled() const { return FButtonEnabled; }
    void SetButtonEnabled(bool Value);
    AnsiString GetButtonHint() const { return Button->GetHint(); }
    void SetButtonHint(const AnsiString& Value) { Button->SetHint(Value); }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnButtonClick;

    TPanel* ButtonPanel = nullptr;
    TSpeedButton* Button = nullptr;

protected:
    void KeyPress(char& Key) override;
    void EnabledChanged() override;

private:
    void ButtonClick(TObject* Sender);
    void PlaceButton();
    bool FButtonEnabled = true;
};
