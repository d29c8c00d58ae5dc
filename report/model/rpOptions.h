// rpOptions.h - the four option objects of a report (engine, printing, preview, report).
//
// Each has a constructor with every default, Clear (run by the report's Clear) that resets
// only some of them, and Assign that copies every published property from another object
// of the same class. Their published properties are attributes of the report XML and of
// the form resource ("PreviewOptions.Zoom").
#pragma once

#include "report/model/rpComponent.h"

#include <functional>

SKLAD_ENUM(TrpPrintPages, ppAll, ppOdd, ppEven)
SKLAD_ENUM(TrpPreviewButton, pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbPageSetup, pbTools,
           pbEdit, pbNavigator)
using TrpPreviewButtons = TSet<TrpPreviewButton>;
SKLAD_SET(TrpPreviewButtons, TrpPreviewButton)
SKLAD_ENUM(TrpZoomMode, zmDefault, zmWholePage, zmPageWidth, zmManyPages)

constexpr uint32_t kAllPreviewButtons = 0x7FF;

class TrpEngineOptions : public TPersistent {
    SKLAD_CLASS(TrpEngineOptions, TPersistent)
public:
    TrpEngineOptions() = default;
    void Clear();
    void Assign(TPersistent* Source) override;

    bool ConvertNulls = true;
    bool RestoreReport = true;     // save before a run and reload afterwards; not published
    bool DoublePass = false;
    int MaxMemSize = 10;
    bool PrintIfEmpty = true;
    TObject* ReportThread = nullptr;  // not published; nothing in this program sets it
    bool SilentMode = false;
    AnsiString TempDir;
    bool UseFileCache = false;
};

class TrpPrintOptions : public TPersistent {
    SKLAD_CLASS(TrpPrintOptions, TPersistent)
public:
    TrpPrintOptions();
    void Clear();
    void Assign(TPersistent* Source) override;

    int Copies = 1;
    bool Collate = true;
    AnsiString PageNumbers;
    AnsiString Printer;  // the "prDefault" text
    TrpPrintPages PrintPages = ppAll;
    bool ShowDialog = true;
};

class TrpPreviewOptions : public TPersistent {
    SKLAD_CLASS(TrpPreviewOptions, TPersistent)
public:
    TrpPreviewOptions() = default;
    void Clear();
    void Assign(TPersistent* Source) override;

    bool AllowEdit = true;
    TrpPreviewButtons Buttons = TrpPreviewButtons::FromBits(kAllPreviewButtons);
    bool DoubleBuffered = true;
    bool Maximized = true;
    bool MDIChild = false;
    bool Modal = true;
    bool OutlineVisible = false;
    int OutlineWidth = 120;
    bool ShowCaptions = false;
    Extended Zoom = 1;
    TrpZoomMode ZoomMode = zmDefault;
};

class TrpReportOptions : public TPersistent {
    SKLAD_CLASS(TrpReportOptions, TPersistent)
public:
    TrpReportOptions();
    void Clear();
    void Assign(TPersistent* Source) override;
    // True when there is no password, or when the password query gives the same text.
    bool CheckPassword();

    TStrings* GetDescription() const { return FDescription.get(); }
    void SetDescription(TStrings* Value) { FDescription->Assign(Value); }
    // The report's picture (shown by a designer's report list); setting copies it.
    TPicture* GetPicture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }

    AnsiString Author;
    bool Compressed = false;
    TDateTime CreateDate;
    AnsiString InitString;
    AnsiString Name;
    TDateTime LastChange;
    AnsiString Password;
    AnsiString VersionBuild, VersionMajor, VersionMinor, VersionRelease;

private:
    std::unique_ptr<TStringList> FDescription = std::make_unique<TStringList>();
    std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
};

// Asks the user for a report's password (the output layer installs the password window);
// gives false when cancelled. Without a query installed a protected report is refused.
using TrpPasswordQuery = std::function<bool(AnsiString& Typed)>;
void rpSetPasswordQuery(TrpPasswordQuery Query);

// The password as stored in files: every byte lowered by 10 (modulo 256), and back.
AnsiString rpEncodePassword(const AnsiString& Typed);
AnsiString rpDecodePassword(const AnsiString& Stored);
