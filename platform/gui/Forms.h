// Forms.h - forms, the application object, the screen, and the event loop.
//
// Life of a form:
//   creation      Application->CreateForm<TForm1>(Form1) stores the pointer in Form1
//                 before the constructor body runs; the constructor reads the form's
//                 layout (object text) through the class registry, binding OnClick =
//                 Button1Click to the published methods, then OnCreate runs.
//   Show          Visible := true: OnShow, then the form becomes active (OnActivate,
//                 after OnDeactivate of the form that was active).
//   ShowModal     as Show, plus: other forms are blocked (their controls refuse input),
//                 a nested loop runs until ModalResult is set and the close is allowed
//                 (OnCloseQuery, OnClose with caNone refusing), then the form hides
//                 (OnHide) and the form that was active before is activated again, so
//                 it sees OnActivate after every modal dialog.
//   Close         OnCloseQuery, then OnClose(Action): caHide hides, caFree hides and
//                 releases (destroyed later, never under a loop still showing it),
//                 caMinimize minimises, caNone keeps it. On a modal form Close only sets
//                 ModalResult := mrCancel; its loop runs the close questions when it next
//                 turns, so closing an outer modal form from inside an inner one takes
//                 effect when the inner loop returns. Closing the main form ends Run.
//
// The event loop: posted calls (PostCall), timers (TTimer, by the services' TickCount)
// and native input (Services().WaitForInput). Every handler started by the loop runs in
// the exception guard: HandleException shows the error dialog and the loop goes on.
// Modal loops nest to any depth on the one thread.
//
// Sound behaviour kept here: a handler that raises never leaves a modal loop, the modal
// stack or the blocking of other forms broken (the modal showing restores them on every
// way out); a released form is destroyed only when no loop shows it.
#pragma once

#include "platform/graphics/Resources.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Services.h"
#include "platform/classes/ComponentRef.h"

#include <deque>
#include <functional>
#include <memory>
#include <new>
#include <vector>

class TMainMenu;
class TMenu;
class TButton;
class TTimer;
class TMonitor;

// Same signature as TCloseQueryEvent (Done instead of CanClose).
using TIdleEvent = TCloseQueryEvent;
using TExceptionEvent = TEvent<void(TObject* Sender, const std::exception& E)>;
SKLAD_EVENT_TYPE(TExceptionEvent)

// ---------------------------------------------------------------- forms

class TCustomForm : public TScrollingWinControl {
    SKLAD_CLASS(TCustomForm, TScrollingWinControl)
public:
    // Creates an empty form (no layout), hidden. Forms with a layout use the constructor
    // of TForm that takes the layout file.
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    // Fires OnDestroy while the whole form (its derived class's part too) still stands.
    void BeforeDestruction() override;

    // -- window properties
    TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle value);
    TBorderIcons GetBorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons value);
    TPosition GetPosition() const { return FPosition; }
    void SetPosition(TPosition value);
    TWindowState GetWindowState() const { return FWindowState; }
    void SetWindowState(TWindowState value);
    // The state a minimized window goes back to (maximized when it was maximized before it
    // was minimized, as the window manager restores it); wsNormal otherwise.
    TWindowState RestoredState() const { return FRestoredState; }
    TFormStyle GetFormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle value);
    bool GetKeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool value) { FKeyPreview = value; }
    TMainMenu* GetMenu() const { return FMenu.Get(); }
    void SetMenu(TMainMenu* value);
    // The form whose window owns this one's (the window it was created with as parent
    // window): an owned window stays above its owner. Cleared when the owner goes.
    TCustomForm* GetPopupParent() const { return FPopupParent; }
    void SetPopupParent(TCustomForm* value);
    // False for a window that showing leaves inactive (a floating tool bar's): the form
    // that has the keys keeps them; a click on the window still activates it.
    bool GetActivateOnShow() const { return FActivateOnShow; }
    void SetActivateOnShow(bool value)
    {
        if (FActivateOnShow == value)
            return;
        FActivateOnShow = value;
        Changed(TControlChange::Style);
    }
    TWinControl* GetActiveControl() const { return FActiveControl; }
    // Moves the focus (OnExit of the old control, OnEnter of the new one).
    void SetActiveControl(TWinControl* value);
    int GetPixelsPerInch() const { return kPixelsPerInch; }
    void SetPixelsPerInch(int) {}
    int GetTextHeight() const { return FTextHeight; }
    void SetTextHeight(int value) { FTextHeight = value; }
    bool GetOldCreateOrder() const { return false; }
    void SetOldCreateOrder(bool) {}
    // Whether the form counts as active (the window the user works in).
    bool Active() const;
    // The form shown modally right now (on the modal stack).
    bool IsModal() const { return FModalLevel > 0; }
    TRect ClientRect() const override;

    TModalResult GetModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult value) { FModalResult = value; }

    // -- showing and closing
    void Show();
    void Hide();
    // Shows the form modally and returns its ModalResult. Raises EInvalidOperation
    // "Cannot make a visible window modal" when the form is already shown.
    virtual TModalResult ShowModal();
    void Close();
    // Runs OnCloseQuery; true when the form may close.
    virtual bool CloseQuery();
    // Destroys the form once no loop shows it any more (from the event loop).
    void Release();
    void BringToFront();
    // The monitor that holds most of the window (the nearest when none does).
    TMonitor* Monitor() const;
    // Where the window lies on the desktop: its bounds, or for a maximized one the work
    // area of its monitor.
    TRect ShownRect() const;
    // Moves the window as little as it takes to lie wholly in the monitor's work area
    // (Monitor() when none is given); one larger than the area keeps its top-left corner on it.
    void MakeFullyVisible(TMonitor* monitor = nullptr);
    // Moves the focus to the next (or previous) windowed control in tab order.
    void SelectNext(TWinControl* current, bool forward = true);

    // -- one turn of the form's modal loop (also driven by the test driver): when
    // ModalResult is set, asks whether the form may close (OnCloseQuery, OnClose) and
    // clears ModalResult when refused. True when the modal showing is to end.
    bool ModalLoopTurn();
    // True once the modal showing has been allowed to end (until ShowModal returns).
    bool ModalEnding() const { return FModalEnding; }
    // True while a modal showing has its result: from the moment ModalResult is set until
    // the close questions refuse it or ShowModal returns. The form then takes no more input
    // (controls, menus, the close box): a second click on OK queued behind the first, or the
    // close box behind it, must not run the command again or turn OK into Cancel.
    bool ModalResultPending() const { return FModalEnding || (IsModal() && FModalResult != mrNone); }

    // -- user input
    // The close box (or Alt+F4). A window that may not close for a while (its work runs
    // under its own modal loop, which cannot turn to ask until the work is over) refuses it
    // here, so that no close result stands meanwhile taking its keys and clicks.
    virtual bool UserCloseRequested();
    // The user activated the window (clicked into it).
    bool UserActivated();
    // The user resized the window to this outer size.
    bool UserResized(int width, int height);
    // The user moved the window to this place.
    bool UserMoved(int left, int top);
    // The window system maximised, minimised or restored the window (a double click on the
    // title bar, the window manager's keys): the model takes the state as it stands and
    // does not ask the window system back. False when the state was already that.
    bool UserWindowStateChanged(TWindowState state);
    // The window system put the client area (dx, dy) in from the window's outer corner
    // (its frame, title bar and menu bar): from then on ClientToScreen gives the screen
    // the user sees. Headless there is no such frame and client points start at the
    // window's corner.
    void UserFramed(int dx, int dy) { FClientOffset = {dx, dy}; }
    TPoint WindowClientOffset() const override { return FClientOffset; }

    // -- events
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnPaint;

    // The button that Enter presses (Default) and the one Escape presses (Cancel).
    TButton* DefaultButton() const;
    TButton* CancelButton() const;
    TCanvas* GetCanvas() const { return FCanvas.get(); }
    // The window's client area is painted: OnPaint draws on Canvas (the peer gives the
    // canvas its device only for the length of the paint).
    void Paint(TCanvas& canvas) override;

    void SetVisible(bool value) override;
    void SetParent(TWinControl* value) override;
    // Streaming: the controls first, then the owned components that have no parent
    // (menus, dialogs, timers, queries).
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;
    bool HasParent() const override { return false; }
    // The form's peers, then its main menu's; destroyed the other way round.
    void CreatePeers() override;
    void DestroyPeers() override;

protected:
    // After the user moved or resized the window (the end of a move or size).
    virtual void UserMovedOrSized() {}
    // OnCreate, called once after the layout has been read (by TForm's constructor).
    void DoCreate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void Activate();
    virtual void Deactivate();
    virtual void DoClose(TCloseAction& action);
    void Notification(TComponent* component, TOperation operation) override;
    void KeyDown(Word& key, TShiftState shift) override;
    TRect AlignRect() const override { return ClientRect(); }

private:
    friend class TApplication;
    friend class TScreen;
    friend class TWinControl;
    // Hides the form after a close, per action (caHide, caFree, caMinimize).
    void CloseWith(TCloseAction action);
    int FrameWidth() const;   // left/right border
    int CaptionHeight() const;  // title bar plus menu bar

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TWindowState FRestoredState = wsNormal;
    TFormStyle FFormStyle = fsNormal;
    bool FKeyPreview = false;
    TComponentRef<TMainMenu> FMenu{this};
    TComponentRef<TCustomForm> FPopupParent{this};
    TPoint FClientOffset{0, 0};
    TWinControl* FActiveControl = nullptr;
    int FTextHeight = 13;
    TModalResult FModalResult = mrNone;
    int FModalLevel = 0;          // > 0 while on the modal stack
    bool FModalEnding = false;    // the modal loop has been told to end
    bool FReleasePending = false;
    bool FShowing = false;        // OnShow has run and OnHide not yet
    bool FActivateOnShow = true;
    bool FInShowHide = false;
    bool FHideEndsModal = false;  // hidden while modal: the loop ends without asking
    bool FDestroyFired = false;   // OnDestroy has run
    void FireOnDestroy();
    TCloseAction FModalCloseAction = caHide;
    int FBlockCount = 0;          // modal showings that block this form
    std::unique_ptr<TCanvas> FCanvas;
};

// A form built from its layout file: the constructor reads the object text into the
// form (components become owned by it, events bind to its published methods), then
// runs OnCreate. The layout path is resolved by TApplication::LayoutPath.
class TForm : public TCustomForm {
    SKLAD_CLASS(TForm, TCustomForm)
public:
    // An empty form (no layout file); OnCreate does not run.
    explicit TForm(TComponent* AOwner);
    // Reads the layout named `layoutFile` ("Unit5.dfm") into a plain TForm (events can
    // only bind to TForm's own methods), then runs OnCreate.
    TForm(TComponent* AOwner, const AnsiString& layoutFile);

    // The owned component `name`, which must be of class T: forms call this after the
    // layout was read to fill their member pointers (Button1 = &Bind<TButton>("Button1")).
    // Raises EComponentError naming the form, the component and the class when the layout
    // lacks it or it has another class.
    template <class T>
    T* Bind(std::string_view name)
    {
        T* found = dynamic_cast<T*>(FindComponent(name));
        if (!found)
            MissingComponent(name, T::StaticClass());
        return found;
    }
    template <class T>
    void Bind(T*& field, std::string_view name) { field = Bind<T>(name); }

protected:
    // A form class with handlers of its own reads its layout from its own constructor, so
    // the layout binds to the derived class's published methods:
    //
    //     TForm5::TForm5(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
    //     {
    //         InitLayout("Unit5.dfm");   // reads, binds events, runs OnCreate
    //     }
    struct TDeferLayout {};
    TForm(TComponent* AOwner, TDeferLayout);
    // Reads the layout file (found on Application->LayoutPath), then runs OnCreate.
    void InitLayout(const AnsiString& layoutFile);
    // The same from object text in program text (CP1251), for tests and generated forms.
    // `beforeCreate` runs between reading and OnCreate (to bind member pointers).
    void InitLayoutText(const AnsiString& text, const std::function<void()>& beforeCreate = {});
    void InitLayout(const AnsiString& layoutFile, const std::function<void()>& beforeCreate);

private:
    [[noreturn]] void MissingComponent(std::string_view name, TClass cls) const;
};

// A non-visual container of components with a layout (queries, data sources).
class TDataModule : public TComponent {
    SKLAD_CLASS(TDataModule, TComponent)
public:
    explicit TDataModule(TComponent* AOwner);
    ~TDataModule() override;
    void BeforeDestruction() override;  // fires OnDestroy, as a form does
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;

private:
    void FireOnDestroy();
    bool FDestroyFired = false;
};

// ---------------------------------------------------------------- screen

// What MonitorFromRect and MonitorFromPoint give for a place on no monitor.
enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };

// One monitor of the desktop, as the window system reports it (Screen->Monitors).
class TMonitor {
public:
    int MonitorNum() const { return FNum; }
    bool Primary() const { return FNum == 0; }
    int Left() const { return FBounds.Left; }
    int Top() const { return FBounds.Top; }
    int Width() const { return FBounds.Width(); }
    int Height() const { return FBounds.Height(); }
    TRect BoundsRect() const { return FBounds; }
    // The bounds less the desktop's panels: where windows go.
    TRect WorkareaRect() const { return FWorkArea; }

private:
    friend class TScreen;
    int FNum = 0;
    TRect FBounds, FWorkArea;
};

class TScreen : public TComponent {
    SKLAD_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;
    TCustomForm* GetActiveForm() const { return FActiveForm; }
    TWinControl* GetActiveControl() const;
    int FormCount() const { return int(FForms.size()); }
    TCustomForm* Forms(int index) const;
    const std::vector<TCustomForm*>& FormList() const { return FForms; }
    // The data modules alive, in creation order.
    int DataModuleCount() const { return int(FDataModules.size()); }
    TDataModule* DataModules(int index) const;
    const std::vector<TDataModule*>& DataModuleList() const { return FDataModules; }
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor value);
    int GetWidth() const;
    int GetHeight() const;
    // The desktop's monitors (the primary one first), as the window system has them now;
    // headless there is one, the screen. A monitor object stays valid while there are at
    // least as many monitors.
    int MonitorCount() const;
    TMonitor* Monitors(int index) const;
    TMonitor* PrimaryMonitor() const { return Monitors(0); }
    // The rectangle round every monitor.
    TRect DesktopRect() const;
    // The monitor that holds most of the rectangle (or the point); for one on no monitor,
    // the nearest, none or the primary as `fallback` says.
    TMonitor* MonitorFromRect(const TRect& rect, TMonitorDefaultTo fallback = mdNearest) const;
    TMonitor* MonitorFromPoint(TPoint point, TMonitorDefaultTo fallback = mdNearest) const;
    // The form on top of the modal stack, or nullptr when none is shown modally.
    TCustomForm* ModalForm() const { return FModalStack.empty() ? nullptr : FModalStack.back(); }
    const std::vector<TCustomForm*>& ModalStack() const { return FModalStack; }
    // True when a modal form above `form` blocks its input.
    bool IsBlocked(const TCustomForm* form) const;
    // The program's own cursors (the platform's Screen.Cursors), one table for the
    // process. SetCursors loads the named cursor resource (Resources.h) into slot `index`
    // ("" empties it); GetCursors gives the slot's resource name, "" when empty, and
    // GetCursorImage the loaded picture, nullptr when the slot is empty or its resource
    // did not exist when it was loaded. A control whose Cursor is that number shows it.
    static void SetCursors(int index, const AnsiString& resource);
    static AnsiString GetCursors(int index);
    static const TCursorImage* GetCursorImage(int index);

private:
    friend class TCustomForm;
    friend class TApplication;
    friend class TDataModule;
    void AddForm(TCustomForm* form);
    void AddDataModule(TDataModule* module) { FDataModules.push_back(module); }
    void RemoveDataModule(TDataModule* module);
    void RemoveForm(TCustomForm* form);
    // Makes `form` the active form (nullptr: none), firing Deactivate/Activate.
    void SetActiveForm(TCustomForm* form);

    std::vector<TCustomForm*> FForms;        // in creation order
    std::vector<TDataModule*> FDataModules;  // in creation order
    std::vector<TCustomForm*> FActivation;   // most recently active last
    std::vector<TCustomForm*> FModalStack;   // innermost last
    TCustomForm* FActiveForm = nullptr;
    TCursor FCursor = crDefault;
    // Refreshed from the services on every question.
    const std::vector<std::unique_ptr<TMonitor>>& MonitorList() const;
    mutable std::vector<std::unique_ptr<TMonitor>> FMonitors;
};

// ---------------------------------------------------------------- application

class TApplication : public TComponent {
    SKLAD_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    void Initialize();
    const AnsiString& GetTitle() const { return FTitle; }
    void SetTitle(const AnsiString& value) { FTitle = value; }
    AnsiString GetExeName() const;
    TCustomForm* MainForm() const { return FMainForm; }
    bool Terminated() const { return FTerminated; }
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool value) { FShowHint = value; }
    // Where layout files ("Unit1.dfm") are found: a list of folders tried in order.
    // Default: the folder of the program and its "forms" subfolder.
    std::vector<AnsiString> LayoutPath;
    // Finds a layout file on LayoutPath; raises EFOpenError naming it when missing.
    AnsiString FindLayout(const AnsiString& fileName) const;

    // Creates a form of class T owned by the application. `ref` is set before T's
    // constructor runs, so code run by the constructor (OnCreate) already sees it.
    // The first form created becomes the main form.
    template <class T>
    void CreateForm(T*& ref)
    {
        void* memory = ::operator new(sizeof(T));
        ref = static_cast<T*>(memory);
        try {
            new (memory) T(this);
        } catch (...) {
            // The constructor failed: its bases are undone, the memory goes back.
            ref = nullptr;
            ::operator delete(memory);
            throw;
        }
        if (!FMainForm)
            FMainForm = ref;
    }

    // Shows the main form and runs the main loop until the main form closes or
    // Terminate is called. With no main form it returns at once.
    void Run();
    void Terminate();
    // Runs posted calls, due timers and waiting input once, without blocking.
    void ProcessMessages();
    // Runs due timers and posted calls once, without touching native input: for the
    // desktop's own modal loops (message boxes, file dialogs), which dispatch the input
    // themselves while the program's timers must keep ticking. True when anything ran.
    bool DispatchPending() { return RunPending(); }
    // One turn of a loop: pending work, or else idle handling and a wait for input.
    void HandleMessage(const TLoopInfo& loop);
    // Queues fn to run from the event loop (the platform's PostMessage).
    void PostCall(std::function<void()> fn);
    // The error dialog: shows the exception's message (EAbort is silent) unless
    // OnException handles it.
    void HandleException(const std::exception* e);
    void ShowException(const std::exception& e);
    // The platform's message box: flags MB_* buttons and icon; returns IDOK .. IDNO.
    int MessageBox(const AnsiString& text, const AnsiString& caption, int flags = MB_OK);
    void Minimize();
    void Restore();
    void BringToFront();

    TIdleEvent OnIdle;
    TExceptionEvent OnException;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // Runs fn as a loop-dispatched handler: exceptions go to HandleException, process
    // exit and test-driver aborts pass through.
    void Guard(const std::function<void()>& fn);
    // Milliseconds until the next timer is due (-1: none).
    int NextTimerDue() const;

private:
    friend class TTimer;
    friend class TCustomForm;
    void AddTimer(TTimer* timer);
    void RemoveTimer(TTimer* timer);
    // Runs due timers and queued calls once; true when anything ran.
    bool RunPending();
    void ReleaseForms();
    void Idle();

    AnsiString FTitle;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FRunning = false;
    bool FShowHint = true;
    bool FHandlingException = false;
    std::deque<std::function<void()>> FPosted;
    std::vector<TTimer*> FTimers;
    std::vector<TCustomForm*> FReleased;
};

// The program's application and screen objects. They exist from CreateApplication()
// to DestroyApplication(): the program's main and each test fixture call these.
extern TApplication* Application;
extern TScreen* Screen;
void CreateApplication();
void DestroyApplication();

// Registers the gui classes by name (start-up, explicit).
void RegisterGuiClasses();

// Ends the process with the exit code through the services (tests capture it).
[[noreturn]] void Halt(int exitCode);
