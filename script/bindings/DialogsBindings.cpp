// DialogsBindings.cpp - the dialogs unit: the common dialogs, their option
// sets and enumerations, and MessageDlg, InputBox and InputQuery.
//
// Every dialog and box goes through the gui's services, so the desktop shows
// real dialogs and tests answer them. While this unit is registered the
// built-in ShowMessage shows its text through the same message box.
//
// Sound behaviour kept here: MessageDlg's type and buttons are checked (a type
// outside TMsgDlgType or bits outside TMsgDlgButtons is an error, not a box
// with no button to close it; an empty button set gets OK).
#include "script/bindings/BindingsCommon.h"

#include "script/Functions.h"

#include "platform/gui/Dialogs.h"
#include "platform/rtl/SysUtils.h"

namespace sc_idialogsrtti {

using namespace script_bindings;

namespace {

constexpr uint32_t kAllButtons = (1u << (mbHelp + 1)) - 1;

Variant DialogsCallMethod(TObject* inst, TClass ct, const AnsiString& n, Variant& p)
{
    if (ct == TCommonDialog::StaticClass()) {
        if (inst && n == "EXECUTE")
            return Variant(static_cast<TCommonDialog*>(inst)->Execute());
        return Variant(0);
    }
    if (n == "INPUTBOX")
        return Variant(InputBox(StrArg(p, 0), StrArg(p, 1), StrArg(p, 2)));
    if (n == "INPUTQUERY") {
        AnsiString value = StrArg(p, 2);
        const bool ok = InputQuery(StrArg(p, 0), StrArg(p, 1), value);
        if (ok)
            SetArg(p, 2, Variant(value));
        return Variant(ok);
    }
    if (n == "MESSAGEDLG") {
        const int type = IntArg(p, 1);
        const int64_t buttons = SetArg(p, 2);
        if (type < mtWarning || type > mtCustom)
            throw ERangeError("MessageDlg: " + IntToStr(type) + " is not a TMsgDlgType value");
        if (buttons < 0 || (static_cast<uint64_t>(buttons) & ~uint64_t(kAllButtons)) != 0)
            throw ERangeError("MessageDlg: " + IntToStr(buttons) + " is not a TMsgDlgButtons value");
        TMsgDlgButtons set = TMsgDlgButtons::FromBits(static_cast<uint32_t>(buttons));
        if (set.Empty())
            set = TMsgDlgButtons{mbOK};
        return Variant(MessageDlg(StrArg(p, 0), static_cast<TMsgDlgType>(type), set, IntArg(p, 3)));
    }
    return Variant(0);
}

class TFunctions : public TBindingRegistrar {
public:
    TFunctions()
    {
        TscScript& u = *scGlobalUnit();
        TRegistering mark(u, this);
        const TscCallMethodEvent call = DialogsCallMethod;

        u.AddEnumSet("TOpenOptions",
                     "ofReadOnly, ofOverwritePrompt, ofHideReadOnly,ofNoChangeDir, ofShowHelp, ofNoValidate, "
                     "ofAllowMultiSelect,ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,"
                     "ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton,ofNoLongNames, "
                     "ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify,ofEnableSizing");
        u.AddEnum("TFileEditStyle", "fsEdit, fsComboBox");
        u.AddEnumSet("TColorDialogOptions", "cdFullOpen, cdPreventFullOpen, cdShowHelp,cdSolidColor, cdAnyColor");
        u.AddEnumSet("TFontDialogOptions",
                     "fdAnsiOnly, fdTrueTypeOnly, fdEffects,fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel, "
                     "fdNoOEMFonts,fdNoSimulations, fdNoSizeSel, fdNoStyleSel,  fdNoVectorFonts,fdShowHelp, "
                     "fdWysiwyg, fdLimitSize, fdScalableOnly, fdApplyButton");
        u.AddEnum("TFontDialogDevice", "fdScreen, fdPrinter, fdBoth");
        u.AddEnum("TPrintRange", "prAllPages, prSelection, prPageNums");
        u.AddEnumSet("TPrintDialogOptions",
                     "poPrintToFile, poPageNums, poSelection,poWarning, poHelp, poDisablePrintToFile");
        u.AddEnum("TMsgDlgType", "mtWarning, mtError, mtInformation, mtConfirmation, mtCustom");
        u.AddEnumSet("TMsgDlgButtons", "mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, "
                                       "mbNoToAll, mbYesToAll, mbHelp");

        Class(u, TCommonDialog::StaticClass(), "TComponent").AddMethod("function Execute: Boolean", call);
        Class(u, TOpenDialog::StaticClass(), "TCommonDialog");
        Class(u, TSaveDialog::StaticClass(), "TCommonDialog");
        Class(u, TColorDialog::StaticClass(), "TCommonDialog");
        Class(u, TFontDialog::StaticClass(), "TCommonDialog");
        Class(u, TPrintDialog::StaticClass(), "TCommonDialog");
        Class(u, TPrinterSetupDialog::StaticClass(), "TCommonDialog");

        u.AddMethod("function MessageDlg(Msg: string; DlgType: TMsgDlgType; Buttons: TMsgDlgButtons; "
                    "HelpCtx: Longint): Integer",
                    call, TFunctions::ctOther);
        u.AddMethod("function InputBox(ACaption, APrompt, ADefault: string): string", call, TFunctions::ctOther);
        u.AddMethod("function InputQuery(ACaption, APrompt: string; var Value: string): Boolean", call,
                    TFunctions::ctOther);

        scSetShowMessageHook([](const AnsiString& msg) { ShowMessage(msg); });
    }
    ~TFunctions() override { scSetShowMessageHook(nullptr); }

    static constexpr const char* ctOther = ::TFunctions::ctOther;
};

} // namespace

} // namespace sc_idialogsrtti

std::unique_ptr<script_bindings::TBindingRegistrar> script_bindings::CreateDialogsRegistrar()
{
    return std::make_unique<sc_idialogsrtti::TFunctions>();
}
