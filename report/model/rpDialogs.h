// rpDialogs.h - dialog pages and the base of dialog controls.
//
// A dialog page is a window that the engine shows before the report is built so that the
// user can enter parameters. The page owns one TrpDialogForm; the page's properties pass
// through to it, and the window's events run the script procedures named in the page's
// event properties (only while the report's engine runs, never for an empty name).
// TrpDialogControl wraps one window control of the platform's gui layer and keeps its
// bounds, font and visibility in step with the component's own properties.
//
// Senders reach scripts as checked handles. A key-press handler that empties the key
// refuses the character: the key becomes #0 and nothing is typed.
#pragma once

#include "report/model/rpClass.h"

#include "platform/gui/Forms.h"

// The runtime window of a dialog page: client 115 x 59, caption a single blank, key
// preview on, Tahoma 8 point; it takes the arrow and tab keys itself. Until its page takes
// it over, it refuses every close request (so a half-initialised dialog cannot be
// dismissed). OnModify runs after the user has moved or resized it.
class TrpDialogForm : public TForm {
    SKLAD_CLASS(TrpDialogForm, TForm)
public:
    explicit TrpDialogForm(TComponent* AOwner);
    TNotifyEvent OnModify;

protected:
    void UserMovedOrSized() override;
    bool WantsKey(Word Key) const override;

private:
    void RefuseClose(TObject* Sender, bool& CanClose);
};

// The hidden form on which controls wait until they get a dialog page (made on first use).
TForm* rpParentForm();
void rpFreeParentForm();

class TrpDialogControl : public TrpReportComponent {
    SKLAD_CLASS(TrpDialogControl, TrpReportComponent)
public:
    explicit TrpDialogControl(TComponent* AOwner);
    ~TrpDialogControl() override;

    void InitControl(std::unique_ptr<TControl> AControl);
    // The class name without "Trp" and "Control" ("Button" for TrpButtonControl).
    AnsiString DefaultBaseName() const override;
    TControl* Control() const { return FControl.get(); }

    void SetParent(TrpComponent* AParent) override;
    void SetLeft(Extended Value) override;
    void SetTop(Extended Value) override;
    void SetWidth(Extended Value) override;
    void SetHeight(Extended Value) override;
    void SetVisible(bool Value) override;
    void SetParentFont(bool Value) override;
    AnsiString GetCaption() const;
    void SetCaption(const AnsiString& Value);
    TColor GetColor() const;
    void SetColor(TColor Value);
    bool GetEnabled() const;
    void SetEnabled(bool Value);
    // The designer's picture of the control (not scaled).
    void Draw(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
    void SetFocus();

    AnsiString OnClick, OnDblClick, OnEnter, OnExit, OnKeyDown, OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove,
        OnMouseUp;

protected:
    void FontChanged(TObject* Sender) override;

private:
    void PlaceControl();
    void DoClick(TObject*);
    void DoDblClick(TObject*);
    void DoEnter(TObject*);
    void DoExit(TObject*);
    void DoKeyDown(TObject*, uint16_t& Key, TShiftState Shift);
    void DoKeyUp(TObject*, uint16_t& Key, TShiftState Shift);
    void DoKeyPress(TObject*, char& Key);
    void DoMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y);
    void DoMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y);
    void DoMouseMove(TObject*, TShiftState Shift, int X, int Y);
    std::unique_ptr<TControl> FControl;
};

class TrpDialogPage : public TrpPage {
    SKLAD_CLASS(TrpDialogPage, TrpPage)
public:
    explicit TrpDialogPage(TComponent* AOwner);
    ~TrpDialogPage() override;

    bool IsDialogPage() const override { return true; }
    AnsiString GetDescription() const override;
    void SetLeft(Extended Value) override;
    void SetTop(Extended Value) override;
    void SetWidth(Extended Value) override;
    void SetHeight(Extended Value) override;
    const AnsiString& GetCaption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    int GetModalResult() const { return FForm->GetModalResult(); }
    void SetModalResult(int Value) { FForm->SetModalResult(Value); }
    TrpDialogForm* Form() const { return FForm.get(); }

    // Hides the window, copies Position and WindowState, and takes over its events.
    void Initialize();
    // Shows the window modally (BorderStyle applied now) and gives its modal result.
    int ShowModal();

    TFormBorderStyle BorderStyle = bsSizeable;
    TPosition Position = poScreenCenter;
    TWindowState WindowState = wsNormal;
    AnsiString OnActivate, OnClick, OnDeactivate, OnHide, OnShow, OnResize, OnCloseQuery, OnKeyDown, OnKeyUp,
        OnKeyPress;

protected:
    void FontChanged(TObject* Sender) override;

private:
    void Notify(TObject* Sender, const AnsiString& Event);
    void DoActivate(TObject* S) { Notify(S, OnActivate); }
    void DoClick(TObject* S) { Notify(S, OnClick); }
    void DoDeactivate(TObject* S) { Notify(S, OnDeactivate); }
    void DoHide(TObject* S) { Notify(S, OnHide); }
    void DoShow(TObject* S) { Notify(S, OnShow); }
    void DoResize(TObject* S) { Notify(S, OnResize); }
    void DoCloseQuery(TObject* Sender, bool& CanClose);
    void DoKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void DoKeyUp(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void DoKeyPress(TObject* Sender, char& Key);
    std::unique_ptr<TrpDialogForm> FForm;
    AnsiString FCaption;
    TColor FColor = clBtnFace;
};
