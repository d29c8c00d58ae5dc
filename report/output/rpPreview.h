// rpPreview.h - TrpPreview, the control that shows a report's prepared pages.
//
// A composite control: the outline tree on the left, a splitter, the page surface
// (TrpPreviewWorkspace) filling the rest, and a message panel shown in the middle during
// long operations. The surface lays the pages out with TrpPageList (unscaled pixels, one
// row per page, two in the many-pages mode), draws the ones near the view through the
// prepared pages' DrawPage, scrolls with 32-bit ranges, and turns the mouse into hand
// dragging, zoom-tool clicks and object clicks (hyperlinks are the prepared pages'
// business: ObjectOver with Click = true).
//
// The control only reads the prepared pages through TrpCustomPreviewPages. While the
// report is being prepared into it (between the progress start and stop callbacks,
// Running) every command that touches the pages does nothing, and the window hosting it
// refuses to close.
//
// Zoom: Zoom never drops below 0.25 when set; the modes derive it from the client size
// (whole page by height, page width, two pages side by side) and are not so limited.
//
// Search: the page is drawn into a metafile and its text records are searched, one record
// at a time (a phrase that a page wrote in two records is not found); the hit's rectangle
// is marked in XOR and scrolled into view. The find state is one for the whole process.
//
// The surface paints on screen through a paint box that fills it (the gui layer paints
// graphic controls); tests call Paint with a recording canvas.
#pragma once

#include "report/model/rpClass.h"
#include "report/model/rpOptions.h"

#include "report/output/rpCtrls.h"

#include "platform/graphics/Metafile.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"

#include <cstdint>
#include <memory>
#include <vector>

class TrpPreview;

// Cursor ids of the hand and zoom tools (registered by the report unit).
constexpr TCursor crrpHand = 50, crrpZoom = 51;

SKLAD_ENUM(TrpPreviewTool, ptHand, ptZoom)

using TrpPageChangedEvent = TEvent<void(TrpPreview* Sender, int PageNo)>;
SKLAD_EVENT_TYPE(TrpPageChangedEvent)

// What the window hosting a preview hears from it (TrpPreviewForm implements it).
class TrpPreviewHost {
public:
    virtual ~TrpPreviewHost() = default;
    // The page commands follow Running.
    virtual void UpdateControls() = 0;
    // The zoom box follows the preview's zoom.
    virtual void UpdateZoom() = 0;
    // The close button's caption: "clCancel" while running, "clClose" after.
    virtual void SetCloseCaption(const AnsiString& Text) = 0;
    virtual void SetMessageText(const AnsiString& Text) = 0;
};

// ---------------------------------------------------------------- page list

struct TrpPageItem {
    uint16_t Column = 0;  // position in its row
    uint16_t Height = 0;
    uint16_t Width = 0;
    int32_t OffsetY = 0;  // top of the page's row
};

// The pages laid out in rows, unscaled pixels; 10 pixels between rows and pages.
class TrpPageList {
public:
    int GetColumnCount() const { return FColumnCount; }
    // Clears the list.
    void SetColumnCount(int Value);
    void Clear();
    void AddPage(int Width, int Height);
    int Count() const { return static_cast<int>(FItems.size()); }
    const TrpPageItem& Item(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    int MaxWidth() const { return FMaxWidth; }

    // Screen rectangle of page Index before scrolling; an empty A4 page outside the list.
    TRect GetPageBounds(int Index, int ClientWidth, Extended Zoom) const;
    // Right and bottom extent of all pages; (0, 0) when empty.
    TPoint GetMaxBounds(int ClientWidth, Extended Zoom) const;
    // The last page whose top lies at or above Offset (with a tolerance of a fifth of its
    // height unless Exact); -1 when none.
    int FindPage(int Offset, Extended Zoom, bool Exact) const;

private:
    int FColumnCount = 1;
    int FMaxWidth = 0;
    std::vector<TrpPageItem> FItems;
};

// The find state shared by every preview of the process.
struct TrpFindState {
    AnsiString SearchText;
    bool CaseSensitive = false;
    bool TextFound = false;
    TRect FoundRect;  // page pixels at zoom 1
    int RecordNo = 0;
    int LastFoundRecord = -1;
};
TrpFindState& rpFindState();

// The position an outline node carries: (Page + 1) + (Top div 2) x 2^20 where that fits
// (pages below 2^20, tops below 4096 pixels), a wider form without loss otherwise.
// Unpacking gives the 1-based page number and the top.
intptr_t rpPackOutlinePosition(int Page, int Top);
void rpUnpackOutlinePosition(intptr_t Data, int& PageNo, int& Top);

// ---------------------------------------------------------------- the page surface

class TrpPreviewWorkspace : public TrpScrollWin {
    SKLAD_CLASS_NOPUBLISH(TrpPreviewWorkspace, TrpScrollWin)
public:
    TrpPreviewWorkspace(TComponent* AOwner, TrpPreview* APreview);
    ~TrpPreviewWorkspace() override;

    TrpCustomPreviewPages* PreviewPages() const;
    TrpPageList& PageList() { return FPageList; }
    const TrpPageList& PageList() const { return FPageList; }
    // Page rectangle at the preview's zoom over this surface's client width.
    TRect GetPageBounds(int Index) const;
    int FindPage(int Offset, bool Exact) const;
    // The page under a point of the client area (-1 above the first).
    int PageAt(int X, int Y) const;

    void Paint(TCanvas& Canvas) override;
    void UpdateScrollBars();
    // Scrolls so that page PageNo (1-based) starts 10 pixels below the top.
    void SetToPageNo(int PageNo);
    // Brings back to the top of the view the point of the current page that was there
    // before the zoom or the layout changed.
    void ScrollToAnchor();
    // Arrows, page keys, Home and End.
    void HandleKey(Word Key);
    // Searches from SearchPage for the next hit; scrolls it into view.
    void FindText();
    void Repaint();

    // Mouse on the surface (client coordinates).
    void DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void DoMouseMove(TShiftState Shift, int X, int Y);
    void DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);

    TCursor DefaultCursor = crDefault;
    bool DisableUpdate = false;
    bool Down = false;
    std::unique_ptr<TMetafile> FindMetafile;
    int FindMetafilePage = -1;
    int SearchPage = 0;
    int LastX = 0, LastY = 0;
    int OffsetX = 0, OffsetY = 0;
    TPaintBox* Surface;  // paints the pages on screen

protected:
    void OnHScrollChange() override;
    void OnVScrollChange() override;
    void Resize() override;
    // The surface is a part of the preview: keys it gets while focused are the preview's.
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    TrpPreview* FPreview = nullptr;
    TrpPageList FPageList;
    bool FScrollingToPage = false;
    // How far below the current page's top the view starts, in unscaled pixels.
    Extended FAnchorOffset = 0;
};

// ---------------------------------------------------------------- the preview control

class TrpPreview : public TrpCustomPreview {
    SKLAD_CLASS(TrpPreview, TrpCustomPreview)
public:
    explicit TrpPreview(TComponent* AOwner);
    ~TrpPreview() override;

    // -- the contract
    void Init() override;
    void Lock() override;
    void Unlock() override;
    void InternalOnProgressStart(TrpReport* AReport, TrpProgressType ProgressType, int Progress) override;
    void InternalOnProgress(TrpReport* AReport, TrpProgressType ProgressType, int Progress) override;
    void InternalOnProgressStop(TrpReport* AReport, TrpProgressType ProgressType, int Progress) override;

    // -- pages and navigation
    int GetPageCount() const;
    int GetPageNo() const { return FPageNo; }
    void SetPageNo(int Value);
    void First();
    void Prior();
    void Next();
    void Last();
    void UpdatePageNumbers();
    // Scrolls so that the point Top (pixels from the page's printable top) of page PageN
    // (1-based) is at the top of the view.
    void SetPosition(int PageN, int Top);

    // -- zoom and layout
    Extended GetZoom() const { return FZoom; }
    void SetZoom(Extended Value);
    TrpZoomMode GetZoomMode() const { return FZoomMode; }
    void SetZoomMode(TrpZoomMode Value);
    void UpdateZoom();
    void UpdatePages();
    bool GetOutlineVisible() const;
    void SetOutlineVisible(bool Value);
    void UpdateOutline();
    TrpPreviewTool GetTool() const { return FTool; }
    void SetTool(TrpPreviewTool Value);
    void ShowMessage(const AnsiString& S);
    void HideMessage();

    // -- commands (each does nothing while Running)
    void Print();
    void SaveToFile();
    void SaveToFile(const AnsiString& FileName);
    void LoadFromFile();
    void LoadFromFile(const AnsiString& FileName);
    void Export(TrpCustomExportFilter* Filter);
    void PageSetupDlg();
    void Find();
    void FindNext();
    void Edit();
    void EditTemplate();
    void Clear();
    void AddPage();
    void DeletePage();
    void Cancel();
    void MouseWheelScroll(int Delta);

    bool GetRunning() const { return FRunning; }
    bool GetLocked() const { return FLocked; }
    bool GetAllowF3() const { return FAllowF3; }

    TrpPreviewWorkspace* Workspace = nullptr;
    TTreeView* OutlineTree = nullptr;
    TSplitter* Splitter = nullptr;
    TPanel* MessagePanel = nullptr;
    TLabel* MessageLabel = nullptr;
    TButton* CancelButton = nullptr;
    TrpPageChangedEvent OnPageChanged;
    // Start tick of a run, then the page-refresh interval.
    uint32_t Tick = 0;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void Resize() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TrpPreviewWorkspace;
    TrpPreviewHost* Host() const;
    bool ButtonAllowed(TrpPreviewButton Button) const;
    void AddOutlineNodes(TTreeNode* Parent, int Depth);
    // The largest zoom at which the laid-out pages still fit the 32-bit coordinates of
    // the surface and its scroll bars.
    Extended MaxZoom() const;
    // Brings the zoom down to MaxZoom; true when it was larger.
    bool LimitZoom();
    void TreeClick(TObject* Sender);
    void CancelButtonClick(TObject* Sender);

    bool FAllowF3 = false;
    bool FLocked = false;
    int FPageNo = 1;
    bool FRunning = false;
    TrpPreviewTool FTool = ptHand;
    Extended FZoom = 1;
    TrpZoomMode FZoomMode = zmDefault;
};

// The top margin of a prepared page, in millimetres (0 without a page).
Extended rpPageTopMargin(const TrpReportPage* Page);
