// TestDriver.h - drives windows in tests as a user would, and answers what they ask.
//
// A TTestDriver is the services of the gui layer for the length of a test: it installs
// itself (and a fresh Application/Screen when none exist) and restores the previous
// state when destroyed. Typical use:
//
//     TTestDriver d;
//     d.Run([] { Application->CreateForm(Form1); Application->CreateForm(Form5); });
//     d.ExpectModal(Form5, [&] {                      // answers Form5->ShowModal()
//         d.Type(Form5->Edit1, "18");
//         d.Click(Form5->Button1);                    // OK closes the dialog
//     });
//     d.AnswerMessage("Вы действительно хотите удалить?", mrYes);
//     d.Click(Form1->N3);                             // runs the command
//     EXPECT_EQ(d.MessageTexts(), (std::vector<AnsiString>{"Вы действительно хотите удалить?"}));
//
// Every action checks first that the control accepts input (visible, enabled, its form
// not blocked by a modal form) and fails the test with the control's name when not.
// After an action the driver runs what the event loop would: posted calls, and the close
// questions of a modal form whose ModalResult was set, so a script can see at once
// whether its dialog stayed open (d.IsShowing(Form5)).
//
// Modal forms: ShowModal of a form runs the script registered for it with ExpectModal
// (first registered, first used; scripts nest to any depth). A modal form shown with no
// script fails the test and is cancelled; a script that ends with its form still open
// fails the test and the form is cancelled.
//
// Message boxes: answered in order by AnswerMessage. A box with only an OK button needs
// no answer. A question without an answer fails the test and gets its default answer.
// Everything shown is recorded (Messages()). Error dialogs (exceptions reaching the
// application) are recorded apart (Errors()); any not taken by TakeErrors() fails the
// test when the driver is destroyed.
//
// File dialogs, input prompts, font and colour dialogs: answered in order too; without an
// answer they are cancelled and the test fails. Shell-open calls are recorded. Process
// exit unwinds to the nearest Run()/RunApplication() and its code is kept (ExitCode()).
// The clock: Now() is fixed by SetNow(); timers follow AdvanceTime().
#pragma once

#include "platform/gui/Forms.h"
#include "platform/gui/Services.h"

#include <deque>
#include <functional>
#include <optional>
#include <vector>

class TButton;
class TCheckBox;
class TRadioButton;
class TCustomComboBox;
class TCustomListBox;
class TCustomEdit;
class TTreeView;
class TTreeNode;
class TMenuItem;
class TDateTimePicker;
class TMonthCalendar;
class TSplitter;
class TDBGrid;
class TUpDown;

// Thrown by the driver's ExitProcess; not an Exception, so no handler swallows it.
struct TProcessExit {
    int Code;
};

struct TShownMessage {
    TMessageKind Kind;
    AnsiString Caption;
    AnsiString Text;
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
    TModalResult Answer;
};

struct TShownModal {
    AnsiString FormName;     // component name ("Form5")
    AnsiString Caption;      // the caption when it was shown
    TModalResult Result = mrNone;
};

struct TShellCall {
    AnsiString Verb, File, Parameters, Directory;
    int ShowCmd = 0;
};

class TTestDriver : public TGuiServices {
public:
    TTestDriver();
    ~TTestDriver() override;
    TTestDriver(const TTestDriver&) = delete;
    TTestDriver& operator=(const TTestDriver&) = delete;

    // -- running program code
    // Runs fn as the event loop would (exceptions go to the error dialog). Returns false
    // when the process exit was requested inside (see ExitCode()).
    bool Run(const std::function<void()>& fn);
    // Application->Run() with `script` as the user's actions in the main loop; the loop
    // ends when the script returns (or earlier, when the main form closes).
    bool RunApplication(const std::function<void()>& script = {});
    std::optional<int> ExitCode() const { return FExitCode; }

    // -- input (each fails the test when the control refuses)
    void Click(TControl* control);
    void DoubleClick(TControl* control);
    void RightClick(TControl* control, int x = 1, int y = 1);  // mouse down/up + popup
    // Replaces the text of an edit, memo or combo box's edit part.
    void Type(TControl* control, const AnsiString& text);
    void Select(TCustomComboBox* combo, int index);
    void Select(TCustomComboBox* combo, const AnsiString& itemText);
    void Select(TCustomListBox* list, int index);
    // Clicks a check box until it has the wanted state (nothing when it has it).
    void Tick(TCheckBox* box, bool checked = true);
    void Choose(TRadioButton* button);
    void ChooseNode(TTreeView* tree, TTreeNode* node);
    // The first node with this text, in display order.
    void ChooseNode(TTreeView* tree, const AnsiString& text);
    // Right button pressed over a node (selects it in most windows' handlers).
    void RightClickNode(TTreeView* tree, TTreeNode* node);
    void Menu(TMenuItem* item);
    // A key pressed and released in `control`, which takes the focus first when it can (keys
    // reach only the focused control). Enter, Backspace, Escape and Tab that nobody took on
    // the way down are followed by their character, as on the desktop.
    void Key(TWinControl* control, Word key, TShiftState shift = {});
    // Characters typed one by one into `control` (given the focus first, as for Key): for
    // each, the form's preview, OnKeyPress, then the control's own handling (an edit
    // inserts it), as TWinControl::UserKeyPress runs them.
    void Press(TWinControl* control, const AnsiString& characters);
    void PickDate(TDateTimePicker* picker, TDateTime date);
    void PickDate(TMonthCalendar* calendar, TDateTime date);
    void Drag(TSplitter* splitter, int delta);
    // The user's mouse at a screen point, delivered as the window system delivers it: to
    // the control holding the mouse capture; else, while the button is held, to the
    // control it went down on, and to nothing once that control no longer shows; else to
    // the control under the point (ControlAt).
    void PointerDown(TPoint screen, TMouseButton button = mbLeft);
    void PointerMove(TPoint screen);
    void PointerUp(TPoint screen, TMouseButton button = mbLeft);
    // The deepest visible control under a screen point: in the topmost shown form there
    // (later forms above earlier ones, an owned window above its owner), or nullptr.
    TControl* ControlAt(TPoint screen) const;
    // The wheel turned over a control by `delta` (WHEEL_DELTA a notch, positive away from
    // the user) with the mouse over its client point (x, y); returns whether a handler
    // took the turn.
    bool Wheel(TControl* control, int delta, TShiftState shift = {}, int x = 1, int y = 1);
    // A scroll bar of the control's own window worked (arrow, track, thumb, ends).
    void Scroll(TWinControl* control, TScrollBarKind kind, TScrollCode code, int pos = 0);
    void Step(TUpDown* upDown, bool up);
    // The close box of a form.
    void CloseForm(TCustomForm* form);
    // Data grid (needs the db layer; see TestDriverGrid.cpp).
    void ClickTitle(TDBGrid* grid, int column);
    void ClickRow(TDBGrid* grid, int row, int column = 0);  // row 0 = first record
    void DoubleClickRow(TDBGrid* grid, int row, int column = 0);

    // Whether a form is shown and (for a modal one) its loop not yet told to end.
    bool IsShowing(const TCustomForm* form) const;

    // -- modal forms
    void ExpectModal(TCustomForm* form, std::function<void()> script);
    // By component name or class name ("Form5", "TForm5"), for forms created later.
    void ExpectModal(const AnsiString& formOrClassName, std::function<void()> script);
    const std::vector<TShownModal>& Modals() const { return FModals; }
    std::vector<AnsiString> ModalNames() const;

    // -- message boxes
    void AnswerMessage(TModalResult answer);
    // Fails the test when the box shows another text.
    void AnswerMessage(const AnsiString& expectedText, TModalResult answer);
    const std::vector<TShownMessage>& Messages() const { return FMessages; }
    std::vector<AnsiString> MessageTexts() const;  // not counting error dialogs
    void ClearMessages() { FMessages.clear(); }
    std::vector<AnsiString> Errors() const { return FErrors; }
    std::vector<AnsiString> TakeErrors();

    // -- dialogs and prompts
    void AnswerFileDialog(const AnsiString& fileName);
    void CancelFileDialog();
    const std::vector<TFileDialogRequest>& FileDialogs() const { return FFileDialogs; }
    void AnswerInput(const AnsiString& text);
    void CancelInput();
    void AnswerFont(std::function<void(TFont&)> change);
    void AnswerColor(TColor color);
    // Print and printer set-up dialogs: `change` acts on what the dialog shows, as the
    // user would; an empty function cancels. Every dialog shown is recorded as it opened.
    void AnswerPrintDialog(std::function<void(TPrintDialogRequest&)> change);
    const std::vector<TPrintDialogRequest>& PrintDialogs() const { return FPrintDialogs; }

    // -- clock, shell, process
    void SetNow(TDateTime now);
    // Moves the timer clock on and runs the timers that fall due, in order.
    void AdvanceTime(int milliseconds);
    const std::vector<TShellCall>& ShellCalls() const { return FShellCalls; }
    void SetExeName(const AnsiString& path) { FExeName = path; }
    // The desktop's monitors, the primary one first (none set: one, the screen).
    void SetMonitors(std::vector<TMonitorArea> monitors) { FMonitors = std::move(monitors); }

    // -- TGuiServices
    void WaitForInput(const TLoopInfo& loop, int maxWaitMs) override;
    TModalResult ShowMessageBox(const TMessageRequest& request) override;
    bool ExecuteFileDialog(TFileDialogRequest& request) override;
    bool ExecuteFontDialog(TFont& font) override;
    bool ExecuteColorDialog(TColor& color) override;
    bool ExecutePrintDialog(TPrintDialogRequest& request) override;
    bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value) override;
    uint64_t TickCount() override { return FTick; }
    int ShellExecute(const AnsiString& verb, const AnsiString& file, const AnsiString& parameters,
                     const AnsiString& directory, int showCmd) override;
    [[noreturn]] void ExitProcess(int code) override;
    AnsiString ExeName() override { return FExeName; }
    std::vector<TMonitorArea> MonitorAreas() override
    {
        return FMonitors.empty() ? TGuiServices::MonitorAreas() : FMonitors;
    }

private:
    struct TModalScript {
        TCustomForm* Form = nullptr;
        AnsiString Name;
        std::function<void()> Script;
    };
    struct TAnswer {
        bool CheckText = false;
        AnsiString Text;
        TModalResult Result = mrNone;
    };
    struct TLoopState {
        const void* Key;
        bool ScriptRan = false;
    };
    // Runs the input action after checking that `control` accepts input.
    void Act(TControl* control, const char* what, const std::function<bool()>& action);
    // What the loop does after an input event: posted calls, modal close questions.
    void AfterInput();
    // Where a pointer message goes (see PointerDown), or nullptr.
    TControl* PointerTarget(TPoint screen) const;
    // Whether a control is still on a form of the screen (compared, not touched).
    static bool StillThere(const TControl* control);
    AnsiString Describe(const TControl* control) const;
    void ForceEnd(TCustomForm* form);

    TGuiServices* FPreviousServices = nullptr;
    bool FOwnsApplication = false;
    std::deque<TModalScript> FModalScripts;
    std::vector<TShownModal> FModals;
    std::deque<TAnswer> FAnswers;
    std::vector<TShownMessage> FMessages;
    std::vector<AnsiString> FErrors;
    std::deque<std::optional<AnsiString>> FFileAnswers;
    std::vector<TFileDialogRequest> FFileDialogs;
    std::deque<std::optional<AnsiString>> FInputAnswers;
    std::deque<std::function<void(TFont&)>> FFontAnswers;
    std::deque<TColor> FColorAnswers;
    std::deque<std::function<void(TPrintDialogRequest&)>> FPrintAnswers;
    std::vector<TPrintDialogRequest> FPrintDialogs;
    std::vector<TShellCall> FShellCalls;
    std::vector<TLoopState> FLoops;
    std::function<void()> FMainScript;
    std::optional<int> FExitCode;
    uint64_t FTick = 1000;
    AnsiString FExeName = "/opt/sklad/sklad";
    std::vector<TMonitorArea> FMonitors;
    bool FClockFixed = false;
    TControl* FPressed = nullptr;  // where the held button went down
};
