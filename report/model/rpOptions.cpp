// rpOptions.cpp - the report's option objects.
#include "report/model/rpOptions.h"

#include "report/model/rpRes.h"

#include "platform/rtl/SysUtils.h"

// ---------------------------------------------------------------- TrpEngineOptions

SKLAD_DEFINE_CLASS(TrpEngineOptions)
void TrpEngineOptions::Publish(TPropertyTable& t)
{
    t.Prop("ConvertNulls", &TrpEngineOptions::ConvertNulls, &TrpEngineOptions::ConvertNulls).Default(true);
    t.Prop("DoublePass", &TrpEngineOptions::DoublePass, &TrpEngineOptions::DoublePass).Default(false);
    t.Prop("MaxMemSize", &TrpEngineOptions::MaxMemSize, &TrpEngineOptions::MaxMemSize).Default(10);
    t.Prop("PrintIfEmpty", &TrpEngineOptions::PrintIfEmpty, &TrpEngineOptions::PrintIfEmpty).Default(true);
    t.Prop("SilentMode", &TrpEngineOptions::SilentMode, &TrpEngineOptions::SilentMode).Default(false);
    t.Prop("TempDir", &TrpEngineOptions::TempDir, &TrpEngineOptions::TempDir);
    t.Prop("UseFileCache", &TrpEngineOptions::UseFileCache, &TrpEngineOptions::UseFileCache).Default(false);
}

void TrpEngineOptions::Clear()
{
    ConvertNulls = true;
    DoublePass = false;
}

void TrpEngineOptions::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TrpEngineOptions*>(Source);
    if (!s || s == this)
        return;
    ConvertNulls = s->ConvertNulls;
    DoublePass = s->DoublePass;
    MaxMemSize = s->MaxMemSize;
    PrintIfEmpty = s->PrintIfEmpty;
    SilentMode = s->SilentMode;
    TempDir = s->TempDir;
    UseFileCache = s->UseFileCache;
}

// ---------------------------------------------------------------- TrpPrintOptions

SKLAD_DEFINE_CLASS(TrpPrintOptions)
void TrpPrintOptions::Publish(TPropertyTable& t)
{
    t.Prop("Copies", &TrpPrintOptions::Copies, &TrpPrintOptions::Copies).Default(1);
    t.Prop("Collate", &TrpPrintOptions::Collate, &TrpPrintOptions::Collate).Default(true);
    t.Prop("PageNumbers", &TrpPrintOptions::PageNumbers, &TrpPrintOptions::PageNumbers);
    t.Prop("Printer", &TrpPrintOptions::Printer, &TrpPrintOptions::Printer);
    t.Prop("PrintPages", &TrpPrintOptions::PrintPages, &TrpPrintOptions::PrintPages).Default(ppAll);
    t.Prop("ShowDialog", &TrpPrintOptions::ShowDialog, &TrpPrintOptions::ShowDialog).Default(true);
}

TrpPrintOptions::TrpPrintOptions() { Clear(); }

void TrpPrintOptions::Clear()
{
    Copies = 1;
    Collate = true;
    PageNumbers.clear();
    Printer = rpResources().Get("prDefault");
    PrintPages = ppAll;
    ShowDialog = true;
}

void TrpPrintOptions::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TrpPrintOptions*>(Source);
    if (!s || s == this)
        return;
    Copies = s->Copies;
    Collate = s->Collate;
    PageNumbers = s->PageNumbers;
    Printer = s->Printer;
    PrintPages = s->PrintPages;
    ShowDialog = s->ShowDialog;
}

// ---------------------------------------------------------------- TrpPreviewOptions

SKLAD_DEFINE_CLASS(TrpPreviewOptions)
void TrpPreviewOptions::Publish(TPropertyTable& t)
{
    using O = TrpPreviewOptions;
    t.Prop("AllowEdit", &O::AllowEdit, &O::AllowEdit).Default(true);
    t.Prop("Buttons", &O::Buttons, &O::Buttons).Default(TrpPreviewButtons::FromBits(kAllPreviewButtons));
    t.Prop("DoubleBuffered", &O::DoubleBuffered, &O::DoubleBuffered).Default(true);
    t.Prop("Maximized", &O::Maximized, &O::Maximized).Default(true);
    t.Prop("MDIChild", &O::MDIChild, &O::MDIChild).Default(false);
    t.Prop("Modal", &O::Modal, &O::Modal).Default(true);
    t.Prop("OutlineVisible", &O::OutlineVisible, &O::OutlineVisible).Default(false);
    t.Prop("OutlineWidth", &O::OutlineWidth, &O::OutlineWidth).Default(120);
    t.Prop("ShowCaptions", &O::ShowCaptions, &O::ShowCaptions).Default(false);
    t.Prop("Zoom", &O::Zoom, &O::Zoom);
    t.Prop("ZoomMode", &O::ZoomMode, &O::ZoomMode).Default(zmDefault);
}

void TrpPreviewOptions::Clear()
{
    OutlineVisible = false;
    OutlineWidth = 120;
}

void TrpPreviewOptions::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TrpPreviewOptions*>(Source);
    if (!s || s == this)
        return;
    AllowEdit = s->AllowEdit;
    Buttons = s->Buttons;
    DoubleBuffered = s->DoubleBuffered;
    Maximized = s->Maximized;
    MDIChild = s->MDIChild;
    Modal = s->Modal;
    OutlineVisible = s->OutlineVisible;
    OutlineWidth = s->OutlineWidth;
    ShowCaptions = s->ShowCaptions;
    Zoom = s->Zoom;
    ZoomMode = s->ZoomMode;
}

// ---------------------------------------------------------------- TrpReportOptions

SKLAD_DEFINE_CLASS(TrpReportOptions)
void TrpReportOptions::Publish(TPropertyTable& t)
{
    using O = TrpReportOptions;
    t.Prop("Author", &O::Author, &O::Author);
    t.Prop("Compressed", &O::Compressed, &O::Compressed).Default(false);
    t.Prop("CreateDate", &O::CreateDate, &O::CreateDate);
    t.Prop("Description", &O::GetDescription, &O::SetDescription);
    t.Prop("InitString", &O::InitString, &O::InitString);
    t.Prop("Name", &O::Name, &O::Name);
    t.Prop("LastChange", &O::LastChange, &O::LastChange);
    t.Prop("Password", &O::Password, &O::Password);
    t.Prop("Picture", &O::GetPicture, &O::SetPicture);
    t.Prop("VersionBuild", &O::VersionBuild, &O::VersionBuild);
    t.Prop("VersionMajor", &O::VersionMajor, &O::VersionMajor);
    t.Prop("VersionMinor", &O::VersionMinor, &O::VersionMinor);
    t.Prop("VersionRelease", &O::VersionRelease, &O::VersionRelease);
}

TrpReportOptions::TrpReportOptions() { Clear(); }

void TrpReportOptions::Clear()
{
    Author.clear();
    Compressed = false;
    CreateDate = Now();
    FDescription->Clear();
    InitString.clear();
    Name.clear();
    LastChange = CreateDate;
    Password.clear();
    FPicture->SetGraphic(static_cast<TGraphic*>(nullptr));
    VersionBuild.clear();
    VersionMajor.clear();
    VersionMinor.clear();
    VersionRelease.clear();
}

void TrpReportOptions::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TrpReportOptions*>(Source);
    if (!s || s == this)
        return;
    Author = s->Author;
    Compressed = s->Compressed;
    CreateDate = s->CreateDate;
    FDescription->Assign(s->FDescription.get());
    InitString = s->InitString;
    Name = s->Name;
    LastChange = s->LastChange;
    Password = s->Password;
    FPicture->Assign(s->FPicture.get());
    VersionBuild = s->VersionBuild;
    VersionMajor = s->VersionMajor;
    VersionMinor = s->VersionMinor;
    VersionRelease = s->VersionRelease;
}

namespace {
TrpPasswordQuery& PasswordQuery()
{
    static TrpPasswordQuery query;
    return query;
}
}  // namespace

void rpSetPasswordQuery(TrpPasswordQuery Query) { PasswordQuery() = std::move(Query); }

bool TrpReportOptions::CheckPassword()
{
    if (Password.empty())
        return true;
    if (!PasswordQuery())
        return false;
    AnsiString typed;
    return PasswordQuery()(typed) && typed == Password;
}

AnsiString rpEncodePassword(const AnsiString& Typed)
{
    AnsiString r = Typed;
    for (char& c : r)
        c = static_cast<char>(static_cast<unsigned char>(c) - 10);
    return r;
}

AnsiString rpDecodePassword(const AnsiString& Stored)
{
    AnsiString r = Stored;
    for (char& c : r)
        c = static_cast<char>(static_cast<unsigned char>(c) + 10);
    return r;
}
