#include "platform/gui/Dialogs.h"

#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"

namespace {

AnsiString Title()
{
    if (Application && !Application->GetTitle().empty())
        return Application->GetTitle();
    return ChangeFileExt(ExtractFileName(Services().ExeName()), "");
}

}  // namespace

SKLAD_DEFINE_ABSTRACT_CLASS(TCommonDialog)
void TCommonDialog::Publish(TPropertyTable& t)
{
    t.Prop("Ctl3D", &TCommonDialog::GetCtl3D, &TCommonDialog::SetCtl3D).Default(true);
    t.Prop("HelpContext", &TCommonDialog::GetHelpContext, &TCommonDialog::SetHelpContext).Default(0);
    t.Event("OnClose", &TCommonDialog::OnClose);
    t.Event("OnShow", &TCommonDialog::OnShow);
}

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

SKLAD_DEFINE_CLASS(TOpenDialog)
void TOpenDialog::Publish(TPropertyTable& t)
{
    t.Prop("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::DefaultExt);
    t.Prop("FileName", &TOpenDialog::FileName, &TOpenDialog::FileName);
    t.Prop("Filter", &TOpenDialog::Filter, &TOpenDialog::Filter);
    t.Prop("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::FilterIndex).Default(1);
    t.Prop("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::InitialDir);
    t.Prop("Options", &TOpenDialog::Options, &TOpenDialog::Options).Default(TOpenOptions{ofHideReadOnly, ofEnableSizing});
    t.Prop("OptionsEx", &TOpenDialog::OptionsEx, &TOpenDialog::OptionsEx).Default(TOpenOptionsEx{});
    t.Prop("Title", &TOpenDialog::Title, &TOpenDialog::Title);
}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute()
{
    TFileDialogRequest request;
    request.Kind = Kind();
    request.Title = Title;
    request.Filter = Filter;
    request.FilterIndex = FilterIndex;
    request.InitialDir = InitialDir;
    request.DefaultExt = DefaultExt;
    request.FileName = FileName;
    request.Options = Options.Bits();
    OnShow(this);
    const bool chosen = Services().ExecuteFileDialog(request);
    OnClose(this);
    if (!chosen)
        return false;
    FileName = request.FileName;
    FilterIndex = request.FilterIndex;
    FFiles->Clear();
    if (request.Files.empty())
        FFiles->Add(request.FileName);
    for (const AnsiString& f : request.Files)
        FFiles->Add(f);
    return true;
}

SKLAD_DEFINE_CLASS(TSaveDialog)
void TSaveDialog::Publish(TPropertyTable&) {}
TSaveDialog::TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

SKLAD_DEFINE_CLASS(TFontDialog)
void TFontDialog::Publish(TPropertyTable& t)
{
    t.Prop("Device", &TFontDialog::Device, &TFontDialog::Device).Default(fdScreen);
    t.Prop("Font", &TFontDialog::GetFont, &TFontDialog::SetFont);
    t.Prop("MaxFontSize", &TFontDialog::MaxFontSize, &TFontDialog::MaxFontSize).Default(0);
    t.Prop("MinFontSize", &TFontDialog::MinFontSize, &TFontDialog::MinFontSize).Default(0);
    t.Prop("Options", &TFontDialog::Options, &TFontDialog::Options).Default(TFontDialogOptions{fdEffects});
}

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute()
{
    TFont work;
    work.Assign(FFont.get());
    OnShow(this);
    const bool chosen = Services().ExecuteFontDialog(work);
    OnClose(this);
    if (chosen)
        FFont->Assign(&work);
    return chosen;
}

SKLAD_DEFINE_CLASS(TColorDialog)
void TColorDialog::Publish(TPropertyTable& t)
{
    t.Prop("Color", &TColorDialog::Color, &TColorDialog::Color).Type("TColor").Default(clBlack);
    t.Prop("CustomColors", &TColorDialog::GetCustomColors, &TColorDialog::SetCustomColors);
    t.Prop("Options", &TColorDialog::Options, &TColorDialog::Options).Default(TColorDialogOptions{});
}

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner), FCustomColors(std::make_unique<TStringList>()) {}
TColorDialog::~TColorDialog() = default;

bool TColorDialog::Execute()
{
    TColor work = Color;
    OnShow(this);
    const bool chosen = Services().ExecuteColorDialog(work);
    OnClose(this);
    if (chosen)
        Color = work;
    return chosen;
}

void ShowMessage(const AnsiString& msg)
{
    TMessageRequest request;
    request.Kind = TMessageKind::ShowMessage;
    request.Text = msg;
    request.Caption = Title();
    request.Type = mtCustom;
    request.Buttons = TMsgDlgButtons{mbOK};
    Services().ShowMessageBox(request);
}

int MessageDlg(const AnsiString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, int)
{
    static const char* const kCaptions[] = {"Предупреждение", "Ошибка", "Информация", "Подтверждение"};
    TMessageRequest request;
    request.Kind = TMessageKind::MessageDlg;
    request.Text = msg;
    request.Caption = dlgType == mtCustom ? Title() : AnsiString(kCaptions[dlgType]);
    request.Type = dlgType;
    request.Buttons = buttons.Empty() ? TMsgDlgButtons{mbOK} : buttons;
    return Services().ShowMessageBox(request);
}

AnsiString InputBox(const AnsiString& caption, const AnsiString& prompt, const AnsiString& defaultValue)
{
    AnsiString value = defaultValue;
    return Services().InputQuery(caption, prompt, value) ? value : defaultValue;
}

bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value)
{
    AnsiString work = value;
    if (!Services().InputQuery(caption, prompt, work))
        return false;
    value = work;
    return true;
}
