// GuiTypes.h - the small value types and constants that windows and controls share.
//
// Enumerations keep the member order of the Windows class library, because scripts
// and layout files see their ordinals (alNone = 0, alTop = 1, ...). Sets are bit masks
// with member i at bit i. Cursor, modal-result and virtual-key numbers are the
// platform's own.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"
#include "platform/graphics/Geometry.h"
#include "platform/rtl/System.h"

#include <cstdint>

// TPoint, TRect, Rect and Bounds come from the graphics layer (canvases use them too).

// TShiftState, TMouseButton and TCloseAction come from the classes layer.
SKLAD_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)
SKLAD_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
using TAnchors = TSet<TAnchorKind>;
SKLAD_SET(TAnchors, TAnchorKind)
SKLAD_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
SKLAD_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
SKLAD_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
SKLAD_ENUM(TBevelKind, bkNone, bkTile, bkSoft, bkFlat)
SKLAD_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)
SKLAD_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)
SKLAD_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)
SKLAD_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
SKLAD_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable)
SKLAD_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
SKLAD_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
SKLAD_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = TSet<TBorderIcon>;
SKLAD_SET(TBorderIcons, TBorderIcon)
SKLAD_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter)
// Form and control border styles share one type, as they do for scripts.
SKLAD_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;
SKLAD_ENUM(TDateTimeKind, dtkDate, dtkTime)
SKLAD_ENUM(TDTDateFormat, dfShort, dfLong)
SKLAD_ENUM(TProgressBarOrientation, pbHorizontal, pbVertical)
SKLAD_ENUM(TUDOrientation, udHorizontal, udVertical)
SKLAD_ENUM(TUDAlignButton, udLeft, udRight)
SKLAD_ENUM(TUDBtnType, btNext, btPrev)
SKLAD_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider)
SKLAD_ENUM(TStatusPanelStyle, psText, psOwnerDraw)
SKLAD_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
SKLAD_ENUM(TResizeStyle, rsNone, rsLine, rsUpdate, rsPattern)
SKLAD_ENUM(TScrollBarKind, sbHorizontal, sbVertical)
// The requests a scroll bar makes: arrows, the track beside the thumb, the thumb dragged
// (scTrack) or dropped (scPosition), the ends.
SKLAD_ENUM(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom,
           scEndScroll)

// What one scroll bar of a window shows: positions Min .. Max, a thumb Page long at Pos.
// A bar that cannot scroll is shown disabled.
struct TScrollBarInfo {
    int Min = 0, Max = 0, Page = 0, Pos = 0;
    bool Enabled = false;
    bool operator==(const TScrollBarInfo&) const = default;
};
// Thickness of a window's scroll bar and of its client edge, in pixels.
constexpr int kScrollBarSize = 17;
constexpr int kClientEdgeWidth = 2;

// One notch of the mouse wheel.
constexpr int WHEEL_DELTA = 120;

// Modal results.
using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                       mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

// Cursors.
using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22, crSize = -22;

// Message dialogs.
SKLAD_ENUM(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
SKLAD_ENUM(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp)
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
SKLAD_SET(TMsgDlgButtons, TMsgDlgBtn)
constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo};
constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};

// MessageBox flags of the platform API (buttons in the low nibble, icon in the next).
constexpr int MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
              MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_ICONERROR = 0x10, MB_ICONSTOP = 0x10,
              MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30, MB_ICONEXCLAMATION = 0x30,
              MB_ICONINFORMATION = 0x40, MB_ICONASTERISK = 0x40;
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

// ShowWindow commands passed to shell-open.
constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3, SW_SHOW = 5;

// Virtual keys.
using Word = uint16_t;
constexpr Word VK_LBUTTON = 1, VK_RBUTTON = 2, VK_CANCEL = 3, VK_MBUTTON = 4, VK_BACK = 8, VK_TAB = 9,
               VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18, VK_PAUSE = 19,
               VK_CAPITAL = 20, VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34,
               VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40,
               VK_INSERT = 45, VK_DELETE = 46, VK_HELP = 47, VK_LWIN = 91, VK_RWIN = 92, VK_APPS = 93,
               VK_NUMPAD0 = 96, VK_MULTIPLY = 106, VK_ADD = 107, VK_SEPARATOR = 108,
               VK_SUBTRACT = 109, VK_DECIMAL = 110, VK_DIVIDE = 111, VK_F1 = 112, VK_F2 = 113,
               VK_F3 = 114, VK_F4 = 115, VK_F5 = 116, VK_F6 = 117, VK_F7 = 118, VK_F8 = 119,
               VK_F9 = 120, VK_F10 = 121, VK_F11 = 122, VK_F12 = 123, VK_NUMLOCK = 144, VK_SCROLL = 145;

// Menu short-cuts: the key in the low byte, scShift/scCtrl/scAlt above it.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(Word key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, Word& key, TShiftState& shift);
// "Ctrl+N", "Ctrl+Del", "F3", "Shift+Alt+X"; unknown text gives 0.
TShortCut TextToShortCut(const AnsiString& text);
AnsiString ShortCutToText(TShortCut shortCut);
