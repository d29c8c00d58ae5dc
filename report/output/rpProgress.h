// rpProgress.h - the progress window of a report built, printed or exported without a
// preview, and the password prompt of a protected report.
//
// TrpProgress is borderless and modeless: while it exists the window that was active when
// it was made is disabled (and enabled again when it hides or is destroyed, or forgotten
// when that window goes first). Its Cancel button sets Terminated and hides it; the report
// polls CancelPressed between pages.
//
// TrpPasswordForm keeps its own English texts: no text block exists for it.
#pragma once

#include "report/model/rpClass.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

class TrpProgress : public TForm, public TrpCustomProgress {
    SKLAD_CLASS_NOPUBLISH(TrpProgress, TForm)
public:
    explicit TrpProgress(TComponent* AOwner);
    ~TrpProgress() override;

    // -- TrpCustomProgress
    void Execute(int MaxValue, const AnsiString& Msg, bool AShowProgress, bool ShowCancel) override;
    void SetMessage(const AnsiString& S) override;
    bool CancelPressed() const override { return FTerminated; }

    void SetProgress(bool Value);
    // The bar's position (the window's own placement keeps its TPosition overload).
    using TForm::SetPosition;
    void SetPosition(int Value);
    int GetBarPosition() const { return FPosition; }
    void Reset() { SetPosition(0); }
    void Tick() { SetPosition(FPosition + 1); }
    void SetTerminated(bool Value);
    bool GetTerminated() const { return FTerminated; }
    const AnsiString& GetMessage() const { return FMessage; }
    TCustomForm* GetActiveForm() const { return FActiveForm; }

    TPanel* Panel = nullptr;
    TLabel* LMessage = nullptr;
    TProgressBar* Bar = nullptr;
    TButton* CancelB = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // The body acts as a caption: pressing anywhere in it and moving drags the window.
    void BodyMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void BodyMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void BodyMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    void FormHide(TObject* Sender);
    void CancelBClick(TObject* Sender);
    void ReleaseActiveForm();

    TComponentRef<TCustomForm> FActiveForm{this};
    bool FTerminated = false;
    int FPosition = 0;
    AnsiString FMessage;
    bool FShowProgress = false;
    bool FDragging = false;
    TPoint FDragFrom{0, 0};  // screen point of the last drag step
};

class TrpPasswordForm : public TForm {
    SKLAD_CLASS_NOPUBLISH(TrpPasswordForm, TForm)
public:
    explicit TrpPasswordForm(TComponent* AOwner);
    TLabel* PasswordL = nullptr;
    TEdit* PasswordE = nullptr;
    TButton* OkB = nullptr;
    TButton* CancelB = nullptr;
};

// Asks for a password in a TrpPasswordForm: true and Typed set when OK was pressed.
bool rpAskPassword(AnsiString& Typed);
