#include "report/output/rpCtrls.h"

#include "report/output/rpPrinter.h"

#include "platform/classes/IniFiles.h"
#include "platform/graphics/Canvas.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

// ---------------------------------------------------------------- TrpScrollWin

SKLAD_DEFINE_CLASS(TrpScrollWin)

TrpScrollWin::TrpScrollWin(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetTabStop(true);
}

void TrpScrollWin::SetHorzRange(int Value)
{
    FHorzRange = Value;
    Changed(TControlChange::Scroll);
}

void TrpScrollWin::SetVertRange(int Value)
{
    FVertRange = Value;
    Changed(TControlChange::Scroll);
}

void TrpScrollWin::SetHorzPage(int Value)
{
    FHorzPage = Value;
    SetHorzRange(FHorzRange);
}

void TrpScrollWin::SetVertPage(int Value)
{
    FVertPage = Value;
    SetVertRange(FVertRange);
}

void TrpScrollWin::SetHorzPosition(int Value)
{
    Value = std::max(std::min(Value, FHorzRange - FHorzPage), 0);
    if (Value == FHorzPosition)
        return;
    FHorzPosition = Value;
    Changed(TControlChange::Scroll);
    OnHScrollChange();
}

void TrpScrollWin::SetVertPosition(int Value)
{
    Value = std::max(std::min(Value, FVertRange - FVertPage), 0);
    if (Value == FVertPosition)
        return;
    FVertPosition = Value;
    Changed(TControlChange::Scroll);
    OnVScrollChange();
}

TrpScrollBarInfo TrpScrollWin::ScrollBarInfo(bool Horizontal) const
{
    const int range = Horizontal ? FHorzRange : FVertRange;
    const int page = Horizontal ? FHorzPage : FVertPage;
    TrpScrollBarInfo info;
    // A bar that cannot scroll stays visible but disabled.
    info.Max = page > range ? 0 : range;
    info.Page = page;
    info.Pos = Horizontal ? FHorzPosition : FVertPosition;
    info.Enabled = info.Max > 0 && page < info.Max;
    return info;
}

void TrpScrollWin::Scroll(bool Horizontal, TrpScrollCode Code, int TrackPos)
{
    const int pos = Horizontal ? FHorzPosition : FVertPosition;
    int target = pos;
    switch (Code) {
    case scLineUp: target = pos - FSmallChange; break;
    case scLineDown: target = pos + FSmallChange; break;
    case scPageUp: target = pos - FLargeChange; break;
    case scPageDown: target = pos + FLargeChange; break;
    case scThumbPosition:
    case scThumbTrack: target = TrackPos; break;
    case scTop: target = 0; break;
    case scBottom: target = Horizontal ? FHorzRange : FVertRange; break;
    case scEndScroll: return;
    }
    if (Horizontal)
        SetHorzPosition(target);
    else
        SetVertPosition(target);
}

bool TrpScrollWin::UserScrolled(bool Horizontal, TrpScrollCode Code, int TrackPos)
{
    return UserScroll(Horizontal ? sbHorizontal : sbVertical, Code, TrackPos);
}

TRect TrpScrollWin::ClientRect() const
{
    const int inset = 2 * kClientEdgeWidth + kScrollBarSize;
    return Rect(0, 0, std::max(GetWidth() - inset, 0), std::max(GetHeight() - inset, 0));
}

void TrpScrollWin::DoScroll(TScrollBarKind Kind, TScrollCode Code, int Pos)
{
    if (Code != scEndScroll)
        Scroll(Kind == sbHorizontal, Code, Pos);
}

void TrpScrollWin::Paint(TCanvas& Canvas)
{
    Canvas.GetBrush()->SetColor(GetColor());
    Canvas.GetBrush()->SetStyle(bsSolid);
    Canvas.FillRect(ClientRect());
}

// ---------------------------------------------------------------- TrpCustomComboBox

SKLAD_DEFINE_CLASS(TrpCustomComboBox)

namespace {

int FontTextHeight(TFont* Font)
{
    TCanvas canvas;
    canvas.GetFont()->Assign(Font);
    return canvas.TextHeight("Wg");
}

}  // namespace

TrpCustomComboBox::TrpCustomComboBox(TComponent* AOwner) : TCustomComboBox(AOwner)
{
    SetStyle(csOwnerDrawFixed);
    SetWidth(100);
    SetItemHeight(FontTextHeight(GetFont()));
}

void TrpCustomComboBox::SetReadOnly(bool Value)
{
    if (FReadOnly == Value)
        return;
    FReadOnly = Value;
    Changed(TControlChange::Style);
}

int TrpCustomComboBox::GetListHeight() const
{
    const int count = GetItems()->Count();
    if (GetDropDownCount() > 0 && count > 0)
        return GetItemHeight() * std::min(GetDropDownCount(), count) + 4;
    return GetItemHeight() + 4;
}

void TrpCustomComboBox::PlaceList(int ScreenHeight, int ScreenWidth)
{
    PlaceList(Rect(0, 0, ScreenWidth, ScreenHeight));
}

void TrpCustomComboBox::PlaceList(const TRect& Monitor)
{
    const TPoint origin = ClientToScreen(Point(0, 0));
    const int width = FListWidth > 0 ? FListWidth : GetWidth() - 1;
    const int height = GetListHeight();
    const int fontHeight = FontTextHeight(GetFont());
    int top = origin.Y + GetHeight();
    // The list opens upwards when its bottom edge would leave the monitor.
    FListInverted = origin.Y + fontHeight + height + 6 > Monitor.Bottom;
    if (FListInverted)
        top = origin.Y - height - 2;
    // A list wider than the box stays on the monitor: it ends at the right edge, if it would
    // pass it, but never starts left of the monitor (which may lie left of the primary one).
    const int left = std::max(Monitor.Left, std::min(origin.X, Monitor.Right - width));
    FListRect = Bounds(left, top, width, height);
}

TRect TrpCustomComboBox::MonitorRect() const
{
    if (Screen) {
        if (TMonitor* monitor = Screen->MonitorFromPoint(ClientToScreen(Point(0, 0))))
            return monitor->BoundsRect();
        return Rect(0, 0, Screen->GetWidth(), Screen->GetHeight());
    }
    return Rect(0, 0, 1024, 768);
}

void TrpCustomComboBox::DropDown()
{
    // Whether the list opens upwards is known before it shows, so that what is placed
    // beside it (the font combo's sample) goes with it.
    PlaceList(MonitorRect());
    TCustomComboBox::DropDown();
}

void TrpCustomComboBox::DoEnter()
{
    SetEditFocused(true);
    TCustomComboBox::DoEnter();
}

void TrpCustomComboBox::DoExit()
{
    SetEditFocused(false);
    TCustomComboBox::DoExit();
}

TRect TrpCustomComboBox::EditRect() const
{
    return Bounds(FImageWidth + 3, 3, GetWidth() - FArrowWidth - 7 - FImageWidth, GetHeight() - 6);
}

bool TrpCustomComboBox::GetSolidBorder() const
{
    return Designing() || GetDroppedDown() || FEditFocused || FMouseInControl;
}

void TrpCustomComboBox::SetMouseInControl(bool Value)
{
    if (FMouseInControl == Value)
        return;
    FMouseInControl = Value;
    Invalidate();
}

void TrpCustomComboBox::SetEditFocused(bool Value)
{
    if (FEditFocused == Value)
        return;
    FEditFocused = Value;
    Invalidate();
}

TrpButtonState TrpCustomComboBox::ButtonState() const
{
    if (GetDroppedDown())
        return rbsPressed;
    return GetSolidBorder() ? rbsHot : rbsFlat;
}

void TrpCustomComboBox::FontChanged()
{
    TCustomComboBox::FontChanged();
    SetItemHeight(FontTextHeight(GetFont()));
    Invalidate();
}

void TrpCustomComboBox::Paint(TCanvas& Canvas)
{
    if (!IsEnabled()) {
        PaintDisabled(Canvas);
        return;
    }
    if (FImageWidth > 0)
        DrawImage(Canvas, Rect(3, 3, FImageWidth + 3, GetHeight() - 3));
    PaintBorder(Canvas, GetSolidBorder());
    PaintButton(Canvas, ButtonState());
}

void TrpCustomComboBox::DrawImage(TCanvas& Canvas, const TRect& R)
{
    Canvas.GetBrush()->SetColor(clWindow);
    Canvas.GetBrush()->SetStyle(bsSolid);
    Canvas.FillRect(R);
}

void TrpCustomComboBox::PaintBorder(TCanvas& Canvas, bool Active)
{
    const int w = GetWidth(), h = GetHeight();
    TBrush* brush = Canvas.GetBrush();
    brush->SetStyle(bsSolid);
    brush->SetColor(clBtnFace);
    Canvas.FrameRect(Rect(1, 1, w - 1, h - 1));
    brush->SetColor(clWindow);
    Canvas.FrameRect(Rect(2, 2, w - FArrowWidth - 2, h - 2));
    if (Active) {
        // Sunken outer edge.
        Canvas.GetPen()->SetColor(clBtnShadow);
        Canvas.MoveTo(0, h - 1);
        Canvas.LineTo(0, 0);
        Canvas.LineTo(w, 0);
        Canvas.GetPen()->SetColor(clBtnHighlight);
        Canvas.MoveTo(0, h - 1);
        Canvas.LineTo(w - 1, h - 1);
        Canvas.LineTo(w - 1, -1);
    } else {
        brush->SetColor(clBtnFace);
        Canvas.FrameRect(Rect(0, 0, w, h));
    }
}

void TrpCustomComboBox::PaintButton(TCanvas& Canvas, TrpButtonState State)
{
    const TRect r = Rect(GetWidth() - FArrowWidth - 2, 2, GetWidth() - 2, GetHeight() - 2);
    Canvas.GetBrush()->SetStyle(bsSolid);
    Canvas.GetBrush()->SetColor(clBtnFace);
    Canvas.FillRect(r);
    TPen* pen = Canvas.GetPen();
    switch (State) {
    case rbsFlat:
        Canvas.GetBrush()->SetColor(clWindow);
        Canvas.FrameRect(r);
        pen->SetColor(clWindow);
        Canvas.MoveTo(r.Left - 1, r.Top);
        Canvas.LineTo(r.Left - 1, r.Bottom);
        break;
    case rbsHot:
        pen->SetColor(clBtnHighlight);
        Canvas.MoveTo(r.Left, r.Bottom - 1);
        Canvas.LineTo(r.Left, r.Top);
        Canvas.LineTo(r.Right, r.Top);
        pen->SetColor(clBtnShadow);
        Canvas.MoveTo(r.Left, r.Bottom - 1);
        Canvas.LineTo(r.Right - 1, r.Bottom - 1);
        Canvas.LineTo(r.Right - 1, r.Top - 1);
        pen->SetColor(clBtnFace);
        Canvas.MoveTo(r.Left - 1, r.Top);
        Canvas.LineTo(r.Left - 1, r.Bottom);
        break;
    case rbsPressed:
        pen->SetColor(clBtnShadow);
        Canvas.MoveTo(r.Left, r.Bottom - 1);
        Canvas.LineTo(r.Left, r.Top);
        Canvas.LineTo(r.Right, r.Top);
        pen->SetColor(clBtnHighlight);
        Canvas.MoveTo(r.Left, r.Bottom - 1);
        Canvas.LineTo(r.Right - 1, r.Bottom - 1);
        Canvas.LineTo(r.Right - 1, r.Top - 1);
        break;
    }
    const int shift = State == rbsPressed ? 1 : 0;
    PaintButtonGlyph(Canvas, r.Left + (r.Width() - 5) / 2 + shift, r.Top + (r.Height() - 3) / 2 + shift);
}

void TrpCustomComboBox::PaintButtonGlyph(TCanvas& Canvas, int X, int Y)
{
    Canvas.GetPen()->SetColor(clBlack);
    for (int i = 0; i < 3; ++i) {
        Canvas.MoveTo(X + i, Y + i);
        Canvas.LineTo(X + 5 - i, Y + i);
    }
}

void TrpCustomComboBox::PaintDisabled(TCanvas& Canvas)
{
    const int w = GetWidth(), h = GetHeight();
    Canvas.GetBrush()->SetStyle(bsSolid);
    Canvas.GetBrush()->SetColor(clBtnFace);
    Canvas.FillRect(Rect(0, 0, w, h));
    Canvas.GetBrush()->SetColor(clWindow);
    Canvas.FrameRect(Rect(1, 1, w - 1, h - 1));
    PaintButtonGlyph(Canvas, w - FArrowWidth - 2 + (FArrowWidth - 5) / 2, (h - 3) / 2);
}

SKLAD_DEFINE_CLASS(TrpComboBox)
void TrpComboBox::Publish(TPropertyTable& t)
{
    t.Prop("ListWidth", &TrpComboBox::GetListWidth, &TrpComboBox::SetListWidth).Default(0);
    t.Prop("ReadOnly", &TrpComboBox::GetReadOnly, &TrpComboBox::SetReadOnly).Default(false);
}

TrpComboBox::TrpComboBox(TComponent* AOwner) : TrpCustomComboBox(AOwner) {}

// ---------------------------------------------------------------- TrpFontComboBox

namespace {

const char* const kMRUFontKey = "\\Software\\Report Library\\MRUFont";
constexpr int kMRUFonts = 5;

std::vector<TrpFontEntry> ProgramFonts()
{
    // The families of the program's own font table (see platform/qt/FontMap).
    return {{"Arial", TRUETYPE_FONTTYPE},           {"Arial Cyr", TRUETYPE_FONTTYPE},
            {"Courier New", TRUETYPE_FONTTYPE},     {"Courier New Cyr", TRUETYPE_FONTTYPE},
            {"MS Sans Serif", 1},                   {"Tahoma", TRUETYPE_FONTTYPE},
            {"Times New Roman", TRUETYPE_FONTTYPE}, {"Times New Roman Cyr", TRUETYPE_FONTTYPE}};
}

TrpFontSource& FontSource()
{
    static TrpFontSource source;
    return source;
}

}  // namespace

void rpSetFontSource(TrpFontSource Source) { FontSource() = std::move(Source); }

SKLAD_DEFINE_CLASS(TrpFontComboBox)
void TrpFontComboBox::Publish(TPropertyTable& t)
{
    t.Prop("ShowMRU", &TrpFontComboBox::GetShowMRU, &TrpFontComboBox::SetShowMRU).Default(true);
    t.Prop("MRURegKey", &TrpFontComboBox::GetMRURegKey, &TrpFontComboBox::SetRegKey);
}

// ---------------------------------------------------------------- TrpFontPreview

SKLAD_DEFINE_CLASS(TrpFontPreview)

TrpFontPreview::TrpFontPreview(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 200, 50);
    SetVisible(false);
    Panel = new TPanel(this);
    Panel->SetParent(this);
    Panel->SetAlign(alClient);
    Panel->SetColor(clWindow);
    Panel->SetBorderStyle(bsSingle);
    Panel->SetBevelInner(bvNone);
    Panel->SetBevelOuter(bvNone);
    Panel->SetParentFont(false);
    Panel->GetFont()->SetSize(18);
    Panel->GetFont()->SetColor(clWindowText);
    Panel->SetCaption("");
}

void TrpFontPreview::SetFontName(const AnsiString& Name)
{
    Panel->GetFont()->SetName(Name);
    Panel->SetCaption(Name);
}

void rpDrawTrueTypePicture(TCanvas& Canvas, int X, int Y)
{
    // Two T's, the second lower right and darker, as the font lists show them.
    TPen* pen = Canvas.GetPen();
    pen->SetStyle(psSolid);
    pen->SetWidth(1);
    pen->SetColor(clGray);
    Canvas.MoveTo(X, Y);
    Canvas.LineTo(X + 7, Y);
    Canvas.MoveTo(X + 3, Y);
    Canvas.LineTo(X + 3, Y + 8);
    pen->SetColor(clBlack);
    Canvas.MoveTo(X + 4, Y + 4);
    Canvas.LineTo(X + 12, Y + 4);
    Canvas.MoveTo(X + 8, Y + 4);
    Canvas.LineTo(X + 8, Y + 12);
}

// ---------------------------------------------------------------- TrpFontComboBox

TrpFontComboBox::TrpFontComboBox(TComponent* AOwner) : TrpCustomComboBox(AOwner), FMRURegKey(kMRUFontKey)
{
    SetDropDownCount(12);
    SetWidth(150);
    FImageWidth = 16;
    SetReadOnly(true);
    if (!Designing()) {
        FontPreview = new TrpFontPreview(this);
        if (auto* owner = dynamic_cast<TWinControl*>(AOwner))
            FontPreview->SetParent(owner);
    }
    Init();
}

void TrpFontComboBox::Init()
{
    SetItemHeight(std::max(kTrueTypePictureHeight + 1, FontTextHeight(GetFont())));
    Invalidate();
}

void TrpFontComboBox::FontChanged()
{
    TrpCustomComboBox::FontChanged();
    Init();
}

void TrpFontComboBox::Loaded()
{
    TrpCustomComboBox::Loaded();
    if (!Designing())
        Reset();
}

void TrpFontComboBox::DrawItem(TCanvas& Canvas, int Index, const TRect& R, bool Selected)
{
    if (Index < 0 || Index >= GetItems()->Count())
        return;
    const AnsiString name = GetItems()->Strings(Index);
    if (Selected && FontPreview)
        FontPreview->SetFontName(name);
    Canvas.GetBrush()->SetStyle(bsSolid);
    Canvas.GetBrush()->SetColor(Selected ? clHighlight : clWindow);
    Canvas.FillRect(R);
    int textLeft = R.Left + 15 + 2;
    if (FontTypeOf(Index) & TRUETYPE_FONTTYPE) {
        rpDrawTrueTypePicture(Canvas, R.Left + 1, R.Top + (R.Height() - kTrueTypePictureHeight) / 2);
        textLeft = R.Left + kTrueTypePictureWidth + 2;
    }
    Canvas.GetFont()->Assign(GetFont());
    Canvas.GetFont()->SetColor(Selected ? clHighlightText : clWindowText);
    Canvas.GetBrush()->SetStyle(bsClear);
    Canvas.TextOut(textLeft, R.Top + (R.Height() - Canvas.TextHeight(name)) / 2, name);
    // The recent fonts are set off from the rest by a line under the last of them.
    if (FShowMRU && FMRUCount >= 0 && Index == FMRUCount) {
        Canvas.GetPen()->SetStyle(psSolid);
        Canvas.GetPen()->SetColor(clBtnShadow);
        Canvas.MoveTo(R.Left, R.Bottom - 2);
        Canvas.LineTo(R.Right, R.Bottom - 2);
    }
}

void TrpFontComboBox::DrawImage(TCanvas& Canvas, const TRect& R)
{
    TrpCustomComboBox::DrawImage(Canvas, R);
    const int index = GetItems()->IndexOf(GetText());
    if (index >= 0 && (FontTypeOf(index) & TRUETYPE_FONTTYPE))
        rpDrawTrueTypePicture(Canvas, R.Left, R.Top + (R.Height() - kTrueTypePictureHeight) / 2);
}

TRect TrpFontComboBox::PreviewRect(int ScreenWidth) const
{
    const TPoint origin = ClientToScreen(Point(0, 0));
    const int w = FontPreview ? FontPreview->GetWidth() : 200, h = FontPreview ? FontPreview->GetHeight() : 50;
    int left = origin.X + GetWidth();
    if (left + w > ScreenWidth)
        left = origin.X - w;
    const int top = GetListInverted() ? origin.Y - h : origin.Y;
    return Bounds(left, top, w, h);
}

void TrpFontComboBox::DropDown()
{
    TrpCustomComboBox::DropDown();
    if (!FontPreview)
        return;
    if (GetItemIndex() >= 0 && GetItemIndex() < kMRUFonts && GetItems()->Count() > 0)
        FontPreview->SetFontName(GetItems()->Strings(0));
    else if (GetItemIndex() >= 0)
        FontPreview->SetFontName(GetItems()->Strings(GetItemIndex()));
    const TRect r = PreviewRect(MonitorRect().Right);
    TWinControl* parent = FontPreview->GetParent();
    const TPoint at = parent ? parent->ScreenToClient(Point(r.Left, r.Top)) : Point(r.Left, r.Top);
    FontPreview->SetBounds(at.X, at.Y, r.Width(), r.Height());
    FontPreview->BringToFront();
    FontPreview->SetVisible(true);
}

void TrpFontComboBox::CloseUp()
{
    if (FontPreview)
        FontPreview->SetVisible(false);
    TrpCustomComboBox::CloseUp();
}

void TrpFontComboBox::SetRegKey(const AnsiString& Value) { FMRURegKey = Value.empty() ? AnsiString(kMRUFontKey) : Value; }

int TrpFontComboBox::FontTypeOf(int Index) const
{
    return Index >= 0 && Index < static_cast<int>(FTypes.size()) ? FTypes[Index] : 0;
}

void TrpFontComboBox::PopulateList()
{
    std::vector<TrpFontEntry> fonts = FontSource() ? FontSource()() : ProgramFonts();
    // With printers installed, the current printer's own fonts as well.
    if (rpPrinters().HasPhysicalPrinters())
        if (auto* printer = dynamic_cast<TrpPrinter*>(rpPrinters().GetCurrentPrinter()))
            if (TPrintDevice* device = printer->Device())
                for (const TNamedCode& f : device->Fonts())
                    fonts.push_back({f.Name, f.Code});
    std::sort(fonts.begin(), fonts.end(),
              [](const TrpFontEntry& a, const TrpFontEntry& b) { return AnsiCompareText(a.Name, b.Name) < 0; });
    // Each face once.
    fonts.erase(std::unique(fonts.begin(), fonts.end(),
                            [](const TrpFontEntry& a, const TrpFontEntry& b) { return SameText(a.Name, b.Name); }),
                fonts.end());
    TStrings* items = GetItems();
    items->BeginUpdate();
    items->Clear();
    FTypes.clear();
    for (const TrpFontEntry& f : fonts) {
        items->Add(f.Name);
        FTypes.push_back(f.FontType);
    }
    FMRUCount = -1;
    if (FShowMRU) {
        TRegistry reg;
        if (reg.OpenKey(FMRURegKey, true)) {
            for (int i = kMRUFonts - 1; i >= 0; --i) {
                const AnsiString nameKey = "Font" + IntToStr(i), typeKey = "FontType" + IntToStr(i);
                const AnsiString name = reg.ValueExists(nameKey) ? reg.ReadString(nameKey) : AnsiString();
                const int family = name.empty() ? -1 : items->IndexOf(name);
                if (family >= FMRUCount + 1) {
                    const int type = reg.ValueExists(typeKey) ? reg.ReadInteger(typeKey) : 0;
                    items->Insert(0, name);
                    FTypes.insert(FTypes.begin(), type);
                    ++FMRUCount;
                } else {
                    reg.WriteString(nameKey, "");
                    reg.WriteInteger(typeKey, 0);
                }
            }
        }
    }
    items->EndUpdate();
}

void TrpFontComboBox::Reset()
{
    FUpdating = true;
    PopulateList();
    if (GetItems()->IndexOf(GetText()) < 0)
        SetItemIndex(0);
    FUpdating = false;
}

void TrpFontComboBox::WriteMRU()
{
    TRegistry reg;
    if (!reg.OpenKey(FMRURegKey, true))
        return;
    for (int i = 0; i < kMRUFonts; ++i) {
        const bool held = i <= FMRUCount;
        reg.WriteString("Font" + IntToStr(i), held ? GetItems()->Strings(i) : AnsiString());
        reg.WriteInteger("FontType" + IntToStr(i), held ? FTypes[i] : 0);
    }
}

bool TrpFontComboBox::UserSelected(int Index)
{
    if (!AcceptsInput() || Index < 0 || Index >= GetItems()->Count())
        return false;
    int chosen = Index;
    Guarded([&] {
        if (Index == 0 || !FShowMRU)
            return;
        TStrings* items = GetItems();
        const AnsiString name = items->Strings(Index);
        const int type = FTypes[Index];
        int recent = -1;
        for (int i = 0; i <= FMRUCount; ++i)
            if (items->Strings(i) == name)
                recent = i;
        if (recent < 0) {
            items->Insert(0, name);
            FTypes.insert(FTypes.begin(), type);
            if (FMRUCount == kMRUFonts - 1) {
                items->Delete(kMRUFonts);
                FTypes.erase(FTypes.begin() + kMRUFonts);
            } else {
                ++FMRUCount;
            }
        } else {
            items->Delete(recent);
            FTypes.erase(FTypes.begin() + recent);
            items->Insert(0, name);
            FTypes.insert(FTypes.begin(), type);
        }
        chosen = 0;
        WriteMRU();
    });
    if (!TrpCustomComboBox::UserSelected(chosen))
        return false;
    if (!FUpdating && !Loading())
        Guarded([&] { OnClick(this); });
    return true;
}

// ---------------------------------------------------------------- TrpComboEdit

SKLAD_DEFINE_CLASS(TrpComboEdit)
void TrpComboEdit::Publish(TPropertyTable& t)
{
    t.Prop("ButtonEnabled", &TrpComboEdit::GetButtonEnabled, &TrpComboEdit::SetButtonEnabled).Default(true);
    t.Prop("ButtonHint", &TrpComboEdit::GetButtonHint, &TrpComboEdit::SetButtonHint);
    t.Event("OnButtonClick", &TrpComboEdit::OnButtonClick);
}

TrpComboEdit::TrpComboEdit(TComponent* AOwner) : TCustomComboBox(AOwner)
{
    SetStyle(csSimple);
    ButtonPanel = new TPanel(this);
    ButtonPanel->SetBevelOuter(bvNone);
    ButtonPanel->SetParent(this);
    Button = new TSpeedButton(this);
    Button->SetParent(ButtonPanel);
    Button->SetAlign(alClient);
    Button->OnClick = TNotifyEvent(this, &TrpComboEdit::ButtonClick);
    SetBounds(GetLeft(), GetTop(), 121, 21);
}

void TrpComboEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
    PlaceButton();
}

void TrpComboEdit::PlaceButton()
{
    if (!ButtonPanel)
        return;
    const int side = GetHeight() - 4;
    ButtonPanel->SetBounds(GetWidth() - GetHeight() + 2, 2, side, side);
}

void TrpComboEdit::SetButtonEnabled(bool Value)
{
    FButtonEnabled = Value;
    Button->SetEnabled(Value && GetEnabled());
}

void TrpComboEdit::EnabledChanged()
{
    TCustomComboBox::EnabledChanged();
    if (Button)
        Button->SetEnabled(FButtonEnabled && GetEnabled());
}

void TrpComboEdit::KeyPress(char& Key)
{
    // Enter and Escape reach the form's default and cancel buttons.
    if (Key == '\r' || Key == 27) {
        if (TCustomForm* form = ParentForm()) {
            TButton* target = Key == '\r' ? form->DefaultButton() : form->CancelButton();
            if (target && target->IsEnabled())
                target->Click();
        }
    }
    TCustomComboBox::KeyPress(Key);
}

void TrpComboEdit::ButtonClick(TObject*)
{
    if (CanFocus())
        SetFocus();
    OnButtonClick(this);
}
