// Dialogs.h - common dialogs, message boxes and input prompts.
//
// Each goes through the services (Services.h), so the desktop shows Qt dialogs and tests
// answer them. Message texts are shown exactly as given. A dialog blocks the forms like a
// modal form does; input to the models while it is open is refused.
#pragma once

#include "platform/gui/Controls.h"
#include "platform/gui/Services.h"

SKLAD_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp,
           ofNoValidate, ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist,
           ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton,
           ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing)
using TOpenOptions = TSet<TOpenOption>;
SKLAD_SET(TOpenOptions, TOpenOption)
SKLAD_ENUM(TOpenOptionEx, ofExNoPlacesBar)
using TOpenOptionsEx = TSet<TOpenOptionEx>;
SKLAD_SET(TOpenOptionsEx, TOpenOptionEx)
SKLAD_ENUM(TColorDialogOption, cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor)
using TColorDialogOptions = TSet<TColorDialogOption>;
SKLAD_SET(TColorDialogOptions, TColorDialogOption)
SKLAD_ENUM(TFontDialogOption, fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist,
           fdNoFaceSel, fdNoOEMFonts, fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts,
           fdShowHelp, fdWysiwyg, fdLimitSize, fdScalableOnly, fdApplyButton)
using TFontDialogOptions = TSet<TFontDialogOption>;
SKLAD_SET(TFontDialogOptions, TFontDialogOption)
SKLAD_ENUM(TFontDialogDevice, fdScreen, fdPrinter, fdBoth)
SKLAD_ENUM(TPrintRange, prAllPages, prSelection, prPageNums)
SKLAD_ENUM(TPrintDialogOption, poPrintToFile, poPageNums, poSelection, poWarning, poHelp, poDisablePrintToFile)
using TPrintDialogOptions = TSet<TPrintDialogOption>;
SKLAD_SET(TPrintDialogOptions, TPrintDialogOption)

class TCommonDialog : public TComponent {
    SKLAD_CLASS(TCommonDialog, TComponent)
public:
    explicit TCommonDialog(TComponent* AOwner);
    // Shows the dialog; true when the user confirmed.
    virtual bool Execute() = 0;
    bool GetCtl3D() const { return FCtl3D; }
    void SetCtl3D(bool value) { FCtl3D = value; }
    int GetHelpContext() const { return FHelpContext; }
    void SetHelpContext(int value) { FHelpContext = value; }
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

private:
    bool FCtl3D = true;
    int FHelpContext = 0;
};

class TOpenDialog : public TCommonDialog {
    SKLAD_CLASS(TOpenDialog, TCommonDialog)
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;
    bool Execute() override;
    AnsiString DefaultExt;
    AnsiString FileName;
    AnsiString Filter;
    int FilterIndex = 1;
    AnsiString InitialDir;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
    TOpenOptionsEx OptionsEx;
    AnsiString Title;
    // Every file chosen (one unless ofAllowMultiSelect).
    TStrings* GetFiles() const { return FFiles.get(); }

protected:
    virtual TFileDialogKind Kind() const { return TFileDialogKind::Open; }

private:
    std::unique_ptr<TStringList> FFiles;
};

class TSaveDialog : public TOpenDialog {
    SKLAD_CLASS(TSaveDialog, TOpenDialog)
public:
    explicit TSaveDialog(TComponent* AOwner);

protected:
    TFileDialogKind Kind() const override { return TFileDialogKind::Save; }
};

class TFontDialog : public TCommonDialog {
    SKLAD_CLASS(TFontDialog, TCommonDialog)
public:
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;
    bool Execute() override;
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* value) { FFont->Assign(value); }
    TFontDialogDevice Device = fdScreen;
    int MinFontSize = 0;
    int MaxFontSize = 0;
    TFontDialogOptions Options{fdEffects};

private:
    std::unique_ptr<TFont> FFont;
};

class TColorDialog : public TCommonDialog {
    SKLAD_CLASS(TColorDialog, TCommonDialog)
public:
    explicit TColorDialog(TComponent* AOwner);
    ~TColorDialog() override;
    bool Execute() override;
    TColor Color = clBlack;
    TStrings* GetCustomColors() const { return FCustomColors.get(); }
    void SetCustomColors(TStrings* value) { FCustomColors->Assign(value); }
    TColorDialogOptions Options;

private:
    std::unique_ptr<TStringList> FCustomColors;
};

// The print dialog: the printer (the program's Printer()), copies and collation, the
// page range and printing to a file. Options decide what the user may choose: the page
// numbers only with poPageNums, the selection only with poSelection, the file box with
// poPrintToFile (disabled by poDisablePrintToFile); poWarning warns and gives false when
// no printer is installed. The printer chosen becomes the program's current printer.
class TPrintDialog : public TCommonDialog {
    SKLAD_CLASS(TPrintDialog, TCommonDialog)
public:
    explicit TPrintDialog(TComponent* AOwner);
    bool Execute() override;
    bool Collate = false;
    int Copies = 0;  // 0: one copy
    int FromPage = 0;
    int MinPage = 0;
    int MaxPage = 0;
    TPrintDialogOptions Options;
    bool PrintToFile = false;
    TPrintRange PrintRange = prAllPages;
    int ToPage = 0;
};

// The printer set-up dialog: the printer, its paper and orientation, which become the
// program's printer's.
class TPrinterSetupDialog : public TCommonDialog {
    SKLAD_CLASS(TPrinterSetupDialog, TCommonDialog)
public:
    explicit TPrinterSetupDialog(TComponent* AOwner);
    bool Execute() override;
};

// A message with an OK button; the caption is the application's title.
void ShowMessage(const AnsiString& msg);
// A message dialog; returns the modal result of the button pressed (mrYes, mrNo ...).
int MessageDlg(const AnsiString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, int helpCtx = 0);
// A prompt for one line of text; the default when the user cancels.
AnsiString InputBox(const AnsiString& caption, const AnsiString& prompt, const AnsiString& defaultValue);
// A prompt for one line of text; true and `value` changed when the user confirmed.
bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value);
