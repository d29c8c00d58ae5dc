// Services.h - what windows need from the world outside the model, behind one interface.
//
// Modal loops, message boxes, file/font/colour dialogs, input prompts, the millisecond
// clock of timers, shell-open and process exit all go through TGuiServices. The desktop
// program installs the Qt implementation; tests install the scripted one from
// platform/gui/testing; without either, THeadlessServices answers every question with
// its default and never blocks.
//
// The loops themselves live in the model (TApplication::Run, TCustomForm::ShowModal):
// they run posted calls and timers and decide when a loop ends (ModalResult set, close
// allowed, application terminated). They call WaitForInput() only when there is nothing
// to do; the service then waits for and dispatches user input, which reaches the models
// as User* calls (see Peer.h). A scripted service runs the test's script for that loop
// instead.
//
// The calendar clock (Now, Date) is the run-time library's, which tests fix with
// SetClockForTesting(); TickCount() here is the monotonic clock timers are scheduled by.
#pragma once

#include "platform/graphics/Graphics.h"
#include "platform/gui/GuiTypes.h"
#include "platform/rtl/System.h"

#include <cstdint>
#include <vector>

class TCustomForm;

// One monitor of the desktop, in the desktop's coordinates: its bounds and its work area
// (the bounds less the desktop's panels).
struct TMonitorArea {
    TRect Bounds;
    TRect WorkArea;
};

// Which loop is waiting: the main loop (ModalForm == nullptr) or a form's modal loop.
struct TLoopInfo {
    TCustomForm* ModalForm = nullptr;
    int Depth = 0;  // 0 = main loop, 1 = first modal form, 2 = a modal form shown from it ...
};

// Who asked, so tests can tell a ShowMessage from a question or an error dialog.
enum class TMessageKind : uint8_t {
    ShowMessage,   // ShowMessage(text): OK only, caption = application title
    MessageDlg,    // MessageDlg(text, type, buttons)
    MessageBox,    // Application->MessageBox(text, caption, flags)
    Error,         // the application's error dialog for an exception
};

struct TMessageRequest {
    TMessageKind Kind = TMessageKind::ShowMessage;
    AnsiString Text;
    AnsiString Caption;
    TMsgDlgType Type = mtCustom;            // icon; mtCustom = none
    TMsgDlgButtons Buttons{mbOK};   // the buttons offered, in TMsgDlgBtn order
};

// The modal result a button of a message dialog gives.
TModalResult ModalResultOf(TMsgDlgBtn button);
// The answer when the user just closes the box: Cancel if offered, else No, else OK,
// else the first button.
TModalResult DefaultAnswer(TMsgDlgButtons buttons);

enum class TFileDialogKind : uint8_t { Open, Save };

struct TFileDialogRequest {
    TFileDialogKind Kind = TFileDialogKind::Open;
    AnsiString Title;
    AnsiString Filter;       // "Описание (*.kvb)|*.kvb|..."
    int FilterIndex = 1;     // 1-based, as the platform counts
    AnsiString InitialDir;
    AnsiString DefaultExt;
    AnsiString FileName;     // in: proposed name; out: the chosen file
    uint32_t Options = 0;    // TOpenOptions bits
    std::vector<AnsiString> Files;  // out: every chosen file (multi-select), else just FileName
};

// What a print or printer set-up dialog shows and the user chooses. Pages, copies and the
// range are the print dialog's; paper and orientation the set-up dialog's.
struct TPrintDialogRequest {
    bool Setup = false;                 // the printer set-up dialog
    std::vector<AnsiString> Printers;   // installed printers, in the system's order
    int PrinterIndex = -1;              // in/out: the chosen printer (-1: none)
    int Copies = 1;
    bool Collate = false;
    int FromPage = 0, ToPage = 0, MinPage = 0, MaxPage = 0;
    int PrintRange = 0;                 // TPrintRange
    uint32_t Options = 0;               // TPrintDialogOptions bits
    bool PrintToFile = false;
    int PaperCode = 0;                  // set-up: the paper (platform paper code)
    int Orientation = 0;                // set-up: 0 portrait, 1 landscape
};

class TGuiServices {
public:
    virtual ~TGuiServices() = default;

    // Waits up to maxWaitMs (-1: no limit) for user input and dispatches it. Returns at
    // the latest when a timer falls due. Called by the model's loops only when they
    // have nothing else to do.
    virtual void WaitForInput(const TLoopInfo& loop, int maxWaitMs) = 0;
    // Dispatches input that is already waiting, without blocking (ProcessMessages).
    virtual void ProcessNativeEvents() {}

    virtual TModalResult ShowMessageBox(const TMessageRequest& request) = 0;
    // True when the user chose; request.FileName/Files/FilterIndex then hold the choice.
    virtual bool ExecuteFileDialog(TFileDialogRequest& request) = 0;
    virtual bool ExecuteFontDialog(TFont& font) = 0;
    virtual bool ExecuteColorDialog(TColor& color) = 0;
    // The print or printer set-up dialog; true when the user confirmed, the request then
    // holding the choice. Without a desktop nobody can answer: cancelled.
    virtual bool ExecutePrintDialog(TPrintDialogRequest& /*request*/) { return false; }
    // One-line text prompt; on OK `value` holds the text and the result is true.
    virtual bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value) = 0;

    // Milliseconds of a monotonic clock; timers are due by it.
    virtual uint64_t TickCount() = 0;
    // Asks the desktop to open a document; returns > 32 on success as the platform did.
    virtual int ShellExecute(const AnsiString& verb, const AnsiString& file, const AnsiString& parameters,
                             const AnsiString& directory, int showCmd) = 0;
    // Ends the process with `code` at once (see ExitProcessNow). Never returns (a
    // scripted service unwinds instead).
    [[noreturn]] virtual void ExitProcess(int code) = 0;
    // Full path of the running program (CP1251).
    virtual AnsiString ExeName() = 0;
    // Size of the screen in pixels.
    virtual TRect ScreenRect() { return Rect(0, 0, 1280, 1024); }
    // The desktop's monitors, the primary one first. Without a desktop: one monitor, the
    // screen.
    virtual std::vector<TMonitorArea> MonitorAreas()
    {
        const TRect screen = ScreenRect();
        return {{screen, screen}};
    }
};

// No display and nobody to ask: messages go to standard error and get their default
// answer, dialogs are cancelled, a loop that would wait ends (modal: mrCancel).
class THeadlessServices : public TGuiServices {
public:
    void WaitForInput(const TLoopInfo& loop, int maxWaitMs) override;
    TModalResult ShowMessageBox(const TMessageRequest& request) override;
    bool ExecuteFileDialog(TFileDialogRequest& request) override;
    bool ExecuteFontDialog(TFont& font) override;
    bool ExecuteColorDialog(TColor& color) override;
    bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value) override;
    uint64_t TickCount() override;
    int ShellExecute(const AnsiString& verb, const AnsiString& file, const AnsiString& parameters,
                     const AnsiString& directory, int showCmd) override;
    [[noreturn]] void ExitProcess(int code) override;
    AnsiString ExeName() override;
};

// Ends the process at once, as the platform's ExitProcess does: no window closes, no
// handler runs, no destructor. Buffered standard streams are flushed first. Nothing else
// can be pending, which is why ending at once is safe:
//   - ini files (TIniFile, the registry stand-in) write the whole file at every write
//     and rename it into place before the write returns; file streams write through;
//   - the warehouse database commits each statement, or a whole transaction, before the
//     call returns (SQLite keeps no dirty pages after a commit; what is written sits in
//     the OS, which keeps it when the process ends). A transaction still open is not
//     committed: its rollback journal stays beside the file and SQLite rolls it back
//     when the warehouse is next opened, so the file holds all of it or none.
[[noreturn]] void ExitProcessNow(int code);

// The services in force (THeadlessServices until something else is installed).
TGuiServices& Services();
// Installs services; returns the previous ones. nullptr restores the headless default.
TGuiServices* SetServices(TGuiServices* services);

// Installs services for a scope.
class TServicesScope {
public:
    explicit TServicesScope(TGuiServices& services) : FPrevious(SetServices(&services)) {}
    ~TServicesScope() { SetServices(FPrevious); }
    TServicesScope(const TServicesScope&) = delete;
    TServicesScope& operator=(const TServicesScope&) = delete;

private:
    TGuiServices* FPrevious;
};
