// Forms used by the scenario tests: a form that logs its life-cycle events, and helpers
// to build forms from layout text.
#pragma once

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/testing/TestDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// One log shared by the forms of a test; entries read "Form2.OnShow".
inline std::vector<std::string>& EventLog()
{
    static std::vector<std::string> log;
    return log;
}

// A form that records OnCreate/OnShow/OnActivate/OnDeactivate/OnCloseQuery/OnClose/
// OnHide/OnDestroy in EventLog(), and runs optional hooks from them.
class TLogForm : public TForm {
    SKLAD_CLASS(TLogForm, TForm)
public:
    explicit TLogForm(TComponent* AOwner) : TForm(AOwner, TDeferLayout{}) { Wire(); }
    TLogForm(TComponent* AOwner, const AnsiString& name) : TForm(AOwner, TDeferLayout{})
    {
        SetName(name);
        Wire();
    }

    std::function<void()> WhenShown;
    std::function<void()> WhenActivated;
    std::function<void(TCloseAction&)> WhenClosing;
    std::function<void(bool&)> WhenAsked;

    void FormCreate(TObject*) { Log("OnCreate"); }
    void FormShow(TObject*)
    {
        Log("OnShow");
        if (WhenShown)
            WhenShown();
    }
    void FormActivate(TObject*)
    {
        Log("OnActivate");
        if (WhenActivated)
            WhenActivated();
    }
    void FormDeactivate(TObject*) { Log("OnDeactivate"); }
    void FormCloseQuery(TObject*, bool& canClose)
    {
        Log("OnCloseQuery");
        if (WhenAsked)
            WhenAsked(canClose);
    }
    void FormClose(TObject*, TCloseAction& action)
    {
        Log("OnClose");
        if (WhenClosing)
            WhenClosing(action);
    }
    void FormHide(TObject*) { Log("OnHide"); }
    void FormDestroy(TObject*) { EventLog().push_back(LogName + ".OnDestroy"); }

    std::string LogName;

private:
    void Wire()
    {
        OnCreate = TNotifyEvent(this, &TLogForm::FormCreate);
        OnShow = TNotifyEvent(this, &TLogForm::FormShow);
        OnActivate = TNotifyEvent(this, &TLogForm::FormActivate);
        OnDeactivate = TNotifyEvent(this, &TLogForm::FormDeactivate);
        OnCloseQuery = TCloseQueryEvent(this, &TLogForm::FormCloseQuery);
        OnClose = TCloseEvent(this, &TLogForm::FormClose);
        OnHide = TNotifyEvent(this, &TLogForm::FormHide);
        OnDestroy = TNotifyEvent(this, &TLogForm::FormDestroy);
        LogName = Name();
    }
    void Log(const char* what) { EventLog().push_back((LogName.empty() ? Name() : AnsiString(LogName)) + "." + what); }
};

// A fixture with a fresh application and the scripted services.
class GuiTest : public ::testing::Test {
protected:
    GuiTest() { EventLog().clear(); }
    TTestDriver D;

    // A named, empty form owned by the application; the first one is the main form.
    TLogForm* NewForm(const AnsiString& name)
    {
        TLogForm* form = nullptr;
        Application->CreateForm(form);
        form->SetName(name);
        form->LogName = name;
        return form;
    }
    static std::vector<std::string> Log() { return EventLog(); }
    static void ClearLog() { EventLog().clear(); }
};
