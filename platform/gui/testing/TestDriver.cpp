#include "platform/gui/testing/TestDriver.h"

#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// gtest messages are UTF-8; program text is CP1251.
std::string U(const AnsiString& s) { return AnsiToUtf8(s); }

}  // namespace

TTestDriver::TTestDriver()
{
    FPreviousServices = SetServices(this);
    if (!Application) {
        CreateApplication();
        FOwnsApplication = true;
    }
}

TTestDriver::~TTestDriver()
{
    for (const AnsiString& e : FErrors)
        ADD_FAILURE() << "error dialog not expected by the test: " << U(e);
    for (const auto& s : FModalScripts)
        ADD_FAILURE() << "expected modal form never shown: " << U(s.Form ? s.Form->Name() : s.Name);
    for (const auto& a : FAnswers)
        ADD_FAILURE() << "message answer never used" << (a.CheckText ? ": " + U(a.Text) : std::string());
    for (const auto& f : FFileAnswers)
        ADD_FAILURE() << "file dialog answer never used: " << (f ? U(*f) : std::string("cancel"));
    for (const auto& i : FInputAnswers)
        ADD_FAILURE() << "input answer never used: " << (i ? U(*i) : std::string("cancel"));
    if (FOwnsApplication) {
        try {
            DestroyApplication();
        } catch (...) {
            ADD_FAILURE() << "destroying the forms raised";
        }
    }
    if (FClockFixed)
        ResetClock();
    SetServices(FPreviousServices);
}

// ---------------------------------------------------------------- running

bool TTestDriver::Run(const std::function<void()>& fn)
{
    try {
        Application->Guard(fn);
        AfterInput();
        return true;
    } catch (const TProcessExit& e) {
        FExitCode = e.Code;
        return false;
    }
}

bool TTestDriver::RunApplication(const std::function<void()>& script)
{
    FMainScript = script ? script : [] {};
    struct Forget {
        TTestDriver& D;
        ~Forget()
        {
            auto& loops = D.FLoops;
            loops.erase(std::remove_if(loops.begin(), loops.end(),
                                       [&](const TLoopState& s) { return s.Key == &D.FMainScript; }),
                        loops.end());
        }
    } forget{*this};
    try {
        Application->Run();
        return true;
    } catch (const TProcessExit& e) {
        FExitCode = e.Code;
        return false;
    }
}

void TTestDriver::ExitProcess(int code) { throw TProcessExit{code}; }

// ---------------------------------------------------------------- the loops

void TTestDriver::WaitForInput(const TLoopInfo& loop, int)
{
    const void* key = loop.ModalForm ? static_cast<const void*>(loop.ModalForm) : static_cast<const void*>(&FMainScript);
    auto state = std::find_if(FLoops.begin(), FLoops.end(), [&](const TLoopState& s) { return s.Key == key; });
    if (state != FLoops.end() && state->ScriptRan) {
        // The script has had its turn and the loop still waits.
        if (loop.ModalForm) {
            ADD_FAILURE() << "modal form " << U(Describe(loop.ModalForm)) << " still open after its script; cancelled";
            ForceEnd(loop.ModalForm);
        } else {
            Application->Terminate();
        }
        return;
    }
    FLoops.push_back({key, true});
    if (!loop.ModalForm) {
        auto script = std::move(FMainScript);
        FMainScript = nullptr;
        if (script) {
            script();
            AfterInput();
        }
        if (!Application->Terminated() && (!Application->MainForm() || Application->MainForm()->GetVisible()))
            Application->Terminate();
        return;
    }

    TCustomForm* form = loop.ModalForm;
    // The loop's entry goes when its turn ends, whichever way.
    struct Forget {
        std::vector<TLoopState>& Loops;
        const void* Key;
        ~Forget()
        {
            Loops.erase(std::remove_if(Loops.begin(), Loops.end(), [&](const TLoopState& s) { return s.Key == Key; }),
                        Loops.end());
        }
    } forget{FLoops, key};
    FModals.push_back({form->Name(), form->GetCaption(), mrNone});
    const size_t record = FModals.size() - 1;
    auto it = std::find_if(FModalScripts.begin(), FModalScripts.end(), [&](const TModalScript& s) {
        return s.Form ? s.Form == form
                      : (SameText(s.Name, form->Name()) || SameText(s.Name, form->ClassName()));
    });
    if (it == FModalScripts.end()) {
        ADD_FAILURE() << "unexpected modal form " << U(Describe(form)) << "; cancelled";
        ForceEnd(form);
        FModals[record].Result = form->GetModalResult();
        return;
    }
    auto script = std::move(it->Script);
    FModalScripts.erase(it);
    script();
    AfterInput();
    if (!form->ModalLoopTurn()) {
        ADD_FAILURE() << "modal form " << U(Describe(form)) << " still open after its script; cancelled";
        ForceEnd(form);
    }
    FModals[record].Result = form->GetModalResult();
}

void TTestDriver::ForceEnd(TCustomForm* form)
{
    // Hiding ends a modal showing without the close questions.
    form->SetModalResult(mrCancel);
    form->Hide();
}

void TTestDriver::AfterInput()
{
    if (!Application)
        return;
    Application->ProcessMessages();
    if (Screen)
        if (TCustomForm* top = Screen->ModalForm(); top && top->GetModalResult() != mrNone)
            top->ModalLoopTurn();
}

// ---------------------------------------------------------------- input

AnsiString TTestDriver::Describe(const TControl* control) const
{
    if (!control)
        return "(null control)";
    AnsiString s = control->Name().empty() ? control->ClassName() : control->Name();
    if (const TCustomForm* form = control->ParentForm(); form && form != control)
        s = (form->Name().empty() ? form->ClassName() : form->Name()) + "." + s;
    return s + " '" + control->GetCaption() + "'";
}

void TTestDriver::Act(TControl* control, const char* what, const std::function<bool()>& action)
{
    if (!control) {
        ADD_FAILURE() << what << ": no control";
        return;
    }
    if (!control->AcceptsInput()) {
        const char* why = !control->IsShowing()  ? "not showing"
                          : !control->IsEnabled() ? "disabled"
                                                  : "blocked by a modal form";
        ADD_FAILURE() << what << " " << U(Describe(control)) << ": the control is " << why;
        return;
    }
    if (!action())
        ADD_FAILURE() << what << " " << U(Describe(control)) << ": refused";
    AfterInput();
}

void TTestDriver::Click(TControl* control)
{
    Act(control, "click", [&] { return control->UserClicked(); });
}

void TTestDriver::DoubleClick(TControl* control)
{
    Act(control, "double click", [&] { return control->UserDoubleClicked(); });
}

void TTestDriver::RightClick(TControl* control, int x, int y)
{
    Act(control, "right click", [&] {
        return control->UserMouseDown(mbRight, TShiftState{ssRight}, x, y) &&
               control->UserMouseUp(mbRight, TShiftState{}, x, y) && control->UserContextMenu(x, y);
    });
}

void TTestDriver::Type(TControl* control, const AnsiString& text)
{
    Act(control, "type into", [&] {
        if (auto* edit = dynamic_cast<TCustomEdit*>(control))
            return edit->UserTyped(text);
        if (auto* combo = dynamic_cast<TCustomComboBox*>(control))
            return combo->UserTyped(text);
        return false;
    });
}

void TTestDriver::Select(TCustomComboBox* combo, int index)
{
    Act(combo, "select in", [&] { return combo->UserSelected(index); });
}

void TTestDriver::Select(TCustomComboBox* combo, const AnsiString& itemText)
{
    Act(combo, "select in", [&] { return combo->UserSelectedText(itemText); });
}

void TTestDriver::Select(TCustomListBox* list, int index)
{
    Act(list, "select in", [&] { return list->UserSelected(index); });
}

void TTestDriver::Tick(TCheckBox* box, bool checked)
{
    Act(box, "tick", [&] {
        for (int i = 0; i < 3 && box->GetChecked() != checked; ++i)
            if (!box->UserClicked())
                return false;
        return box->GetChecked() == checked;
    });
}

void TTestDriver::Choose(TRadioButton* button)
{
    Act(button, "choose", [&] { return button->UserClicked(); });
}

void TTestDriver::ChooseNode(TTreeView* tree, TTreeNode* node)
{
    Act(tree, "choose a node in", [&] { return tree->UserSelectedNode(node); });
}

void TTestDriver::ChooseNode(TTreeView* tree, const AnsiString& text)
{
    TTreeNode* found = nullptr;
    if (tree)
        for (TTreeNode* n : tree->GetItems()->List())
            if (n->GetText() == text) {
                found = n;
                break;
            }
    if (!found) {
        ADD_FAILURE() << "no tree node '" << U(text) << "' in " << U(Describe(tree));
        return;
    }
    ChooseNode(tree, found);
}

void TTestDriver::RightClickNode(TTreeView* tree, TTreeNode* node)
{
    Act(tree, "right click a node in", [&] {
        const TRect r = tree->NodeRect(node);
        const int x = r.Left + 2, y = r.Top + r.Height() / 2;
        return tree->UserMouseDown(mbRight, TShiftState{ssRight}, x, y) &&
               tree->UserMouseUp(mbRight, TShiftState{}, x, y) && tree->UserContextMenu(x, y);
    });
}

void TTestDriver::Menu(TMenuItem* item)
{
    if (!item) {
        ADD_FAILURE() << "menu: no item";
        return;
    }
    if (!item->UserClicked())
        ADD_FAILURE() << "menu item " << U(item->Name()) << " '" << U(item->GetCaption())
                      << "' is hidden, disabled or its form is blocked";
    AfterInput();
}

namespace {

// Keys reach only the control that has the focus: one that can take it gets it first, as
// the user's click or Tab would have given it, so the form's handlers see it as active.
void TakeKeys(TWinControl* control)
{
    TCustomForm* form = control->ParentForm();
    if (form && form != control && form->GetActiveControl() != control && control->CanFocus())
        control->UserFocused();
}

// The character the desktop sends after a key that was not taken: Enter, Backspace,
// Escape and Tab (the printable ones are typed with Press).
char CharacterOf(Word key)
{
    switch (key) {
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_ESCAPE: return '\x1b';
    case VK_TAB: return '\t';
    default: return 0;
    }
}

}  // namespace

void TTestDriver::Key(TWinControl* control, Word key, TShiftState shift)
{
    Act(control, "key into", [&] {
        TakeKeys(control);
        Word k = key;
        const bool passedOn = control->UserFilterKeyDown(k, shift);
        // Like the desktop, the key's character follows when nobody took the key; the
        // control may be gone or closed by then, which is no refusal.
        const char c = CharacterOf(key);
        if (passedOn && c && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt) && StillThere(control) &&
            control->AcceptsInput())
            control->UserKeyPress(c);
        return !StillThere(control) || !control->AcceptsInput() || control->UserKeyUp(key, shift);
    });
}

void TTestDriver::Press(TWinControl* control, const AnsiString& characters)
{
    for (char c : characters)
        Act(control, "type into", [&] {
            TakeKeys(control);
            return control->UserKeyPress(c);
        });
}

TControl* TTestDriver::ControlAt(TPoint screen) const
{
    if (!Screen)
        return nullptr;
    auto ownedBy = [](const TCustomForm* form, const TCustomForm* owner) {
        for (const TCustomForm* f = form->GetPopupParent(); f; f = f->GetPopupParent())
            if (f == owner)
                return true;
        return false;
    };
    TCustomForm* top = nullptr;
    const std::vector<TCustomForm*>& forms = Screen->FormList();
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        TCustomForm* form = *it;
        if (!form->IsShowing() || !form->BoundsRect().Contains(screen))
            continue;
        if (!top || ownedBy(form, top))
            top = form;
    }
    if (!top)
        return nullptr;
    TControl* inner = top->ControlAtPos(top->ScreenToClient(screen));
    return inner ? inner : top;
}

bool TTestDriver::StillThere(const TControl* control)
{
    if (!Screen || !control)
        return false;
    for (const TCustomForm* form : Screen->FormList())
        if (form == control || form->ContainsControl(control))
            return true;
    return false;
}

TControl* TTestDriver::PointerTarget(TPoint screen) const
{
    if (TControl* capture = GetCapture())
        return capture;
    if (FPressed)
        return StillThere(FPressed) && FPressed->IsShowing() ? FPressed : nullptr;
    return ControlAt(screen);
}

void TTestDriver::PointerDown(TPoint screen, TMouseButton button)
{
    TControl* target = PointerTarget(screen);
    if (!target) {
        ADD_FAILURE() << "mouse down at " << screen.X << "," << screen.Y << ": no window there";
        return;
    }
    if (!FPressed)
        FPressed = target;
    const TPoint p = target->ScreenToClient(screen);
    const TShiftState shift{button == mbLeft ? ssLeft : button == mbRight ? ssRight : ssMiddle};
    target->UserMouseDown(button, shift, p.X, p.Y);
    AfterInput();
}

void TTestDriver::PointerMove(TPoint screen)
{
    TControl* target = PointerTarget(screen);
    if (!target)
        return;  // the button went down on a control that is gone: the desktop drops it
    const TPoint p = target->ScreenToClient(screen);
    target->UserMouseMove(FPressed ? TShiftState{ssLeft} : TShiftState{}, p.X, p.Y);
    AfterInput();
}

void TTestDriver::PointerUp(TPoint screen, TMouseButton button)
{
    TControl* target = PointerTarget(screen);
    FPressed = nullptr;
    if (!target)
        return;
    const TPoint p = target->ScreenToClient(screen);
    target->UserMouseUp(button, {}, p.X, p.Y);
    AfterInput();
}

bool TTestDriver::Wheel(TControl* control, int delta, TShiftState shift, int x, int y)
{
    bool handled = false;
    Act(control, "turn the wheel over", [&] {
        return control->UserMouseWheel(delta, shift, control->ClientToScreen({x, y}), &handled);
    });
    return handled;
}

void TTestDriver::Scroll(TWinControl* control, TScrollBarKind kind, TScrollCode code, int pos)
{
    Act(control, "scroll", [&] { return control->UserScroll(kind, code, pos); });
}

void TTestDriver::PickDate(TDateTimePicker* picker, TDateTime date)
{
    Act(picker, "pick a date in", [&] { return picker->UserPicked(date); });
}

void TTestDriver::PickDate(TMonthCalendar* calendar, TDateTime date)
{
    Act(calendar, "pick a date in", [&] { return calendar->UserPicked(date); });
}

void TTestDriver::Drag(TSplitter* splitter, int delta)
{
    Act(splitter, "drag", [&] { return splitter->UserDragged(delta); });
}

void TTestDriver::Step(TUpDown* upDown, bool up)
{
    Act(upDown, "step", [&] { return upDown->UserStepped(up ? btNext : btPrev); });
}

void TTestDriver::CloseForm(TCustomForm* form)
{
    if (!form || !form->UserCloseRequested())
        ADD_FAILURE() << "close box of " << U(form ? Describe(form) : AnsiString("(null form)")) << ": refused";
    AfterInput();
}

bool TTestDriver::IsShowing(const TCustomForm* form) const
{
    return form && form->GetVisible() && !form->ModalEnding();
}

// ---------------------------------------------------------------- modal forms

void TTestDriver::ExpectModal(TCustomForm* form, std::function<void()> script)
{
    FModalScripts.push_back({form, form ? form->Name() : AnsiString(), std::move(script)});
}

void TTestDriver::ExpectModal(const AnsiString& formOrClassName, std::function<void()> script)
{
    FModalScripts.push_back({nullptr, formOrClassName, std::move(script)});
}

std::vector<AnsiString> TTestDriver::ModalNames() const
{
    std::vector<AnsiString> names;
    for (const auto& m : FModals)
        names.push_back(m.FormName);
    return names;
}

// ---------------------------------------------------------------- messages

void TTestDriver::AnswerMessage(TModalResult answer) { FAnswers.push_back({false, {}, answer}); }

void TTestDriver::AnswerMessage(const AnsiString& expectedText, TModalResult answer)
{
    FAnswers.push_back({true, expectedText, answer});
}

std::vector<AnsiString> TTestDriver::MessageTexts() const
{
    std::vector<AnsiString> texts;
    for (const auto& m : FMessages)
        if (m.Kind != TMessageKind::Error)
            texts.push_back(m.Text);
    return texts;
}

std::vector<AnsiString> TTestDriver::TakeErrors()
{
    auto errors = std::move(FErrors);
    FErrors.clear();
    return errors;
}

TModalResult TTestDriver::ShowMessageBox(const TMessageRequest& request)
{
    TShownMessage shown{request.Kind, request.Caption, request.Text, request.Type, request.Buttons, mrNone};
    if (request.Kind == TMessageKind::Error) {
        FErrors.push_back(request.Text);
        shown.Answer = mrOk;
        FMessages.push_back(shown);
        return mrOk;
    }
    if (!FAnswers.empty()) {
        TAnswer answer = FAnswers.front();
        FAnswers.pop_front();
        if (answer.CheckText && answer.Text != request.Text)
            ADD_FAILURE() << "message box shows '" << U(request.Text) << "', the test expected '" << U(answer.Text)
                          << "'";
        shown.Answer = answer.Result;
    } else if (request.Buttons == TMsgDlgButtons{mbOK}) {
        shown.Answer = mrOk;
    } else {
        ADD_FAILURE() << "question not answered by the test: '" << U(request.Text) << "'";
        shown.Answer = DefaultAnswer(request.Buttons);
    }
    FMessages.push_back(shown);
    return shown.Answer;
}

// ---------------------------------------------------------------- dialogs

void TTestDriver::AnswerFileDialog(const AnsiString& fileName) { FFileAnswers.emplace_back(fileName); }
void TTestDriver::CancelFileDialog() { FFileAnswers.emplace_back(std::nullopt); }

bool TTestDriver::ExecuteFileDialog(TFileDialogRequest& request)
{
    FFileDialogs.push_back(request);
    if (FFileAnswers.empty()) {
        ADD_FAILURE() << "file dialog not answered by the test (filter '" << U(request.Filter) << "'); cancelled";
        return false;
    }
    auto answer = FFileAnswers.front();
    FFileAnswers.pop_front();
    if (!answer)
        return false;
    request.FileName = *answer;
    request.Files = {*answer};
    return true;
}

void TTestDriver::AnswerInput(const AnsiString& text) { FInputAnswers.emplace_back(text); }
void TTestDriver::CancelInput() { FInputAnswers.emplace_back(std::nullopt); }

bool TTestDriver::InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value)
{
    if (FInputAnswers.empty()) {
        ADD_FAILURE() << "input prompt not answered by the test: '" << U(caption) << "' / '" << U(prompt) << "'";
        return false;
    }
    auto answer = FInputAnswers.front();
    FInputAnswers.pop_front();
    if (!answer)
        return false;
    value = *answer;
    return true;
}

void TTestDriver::AnswerFont(std::function<void(TFont&)> change) { FFontAnswers.push_back(std::move(change)); }
void TTestDriver::AnswerColor(TColor color) { FColorAnswers.push_back(color); }

bool TTestDriver::ExecuteFontDialog(TFont& font)
{
    if (FFontAnswers.empty()) {
        ADD_FAILURE() << "font dialog not answered by the test; cancelled";
        return false;
    }
    auto change = std::move(FFontAnswers.front());
    FFontAnswers.pop_front();
    if (!change)
        return false;
    change(font);
    return true;
}

bool TTestDriver::ExecuteColorDialog(TColor& color)
{
    if (FColorAnswers.empty()) {
        ADD_FAILURE() << "colour dialog not answered by the test; cancelled";
        return false;
    }
    color = FColorAnswers.front();
    FColorAnswers.pop_front();
    return true;
}

void TTestDriver::AnswerPrintDialog(std::function<void(TPrintDialogRequest&)> change)
{
    FPrintAnswers.push_back(std::move(change));
}

bool TTestDriver::ExecutePrintDialog(TPrintDialogRequest& request)
{
    FPrintDialogs.push_back(request);
    if (FPrintAnswers.empty()) {
        ADD_FAILURE() << "print dialog not answered by the test; cancelled";
        return false;
    }
    auto change = std::move(FPrintAnswers.front());
    FPrintAnswers.pop_front();
    if (!change)
        return false;
    change(request);
    return true;
}

// ---------------------------------------------------------------- clock, shell

void TTestDriver::SetNow(TDateTime now)
{
    SetClockForTesting(now);
    FClockFixed = true;
}

void TTestDriver::AdvanceTime(int milliseconds)
{
    // Step to each due time in turn, so timers fire in order and as often as they would.
    const uint64_t end = FTick + uint64_t(std::max(0, milliseconds));
    for (int guard = 0; guard < 100000; ++guard) {
        const int due = Application->NextTimerDue();
        if (due < 0 || FTick + uint64_t(due) > end)
            break;
        FTick += uint64_t(due);
        Application->ProcessMessages();
        AfterInput();
    }
    FTick = end;
    Application->ProcessMessages();
    AfterInput();
}

int TTestDriver::ShellExecute(const AnsiString& verb, const AnsiString& file, const AnsiString& parameters,
                              const AnsiString& directory, int showCmd)
{
    FShellCalls.push_back({verb, file, parameters, directory, showCmd});
    return 42;
}
