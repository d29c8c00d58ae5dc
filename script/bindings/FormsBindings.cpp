// FormsBindings.cpp - the forms and controls unit: controls, windowed controls,
// the standard controls, scroll boxes, forms, data modules and the application
// object; the modal-result, cursor, border-style and virtual-key constants and
// the enumerations the controls use; the script-visible events, each bound
// through its adapter.
//
// The dispatch rule is the classes unit's. Sound behaviour kept here:
//   - `Application` is read when used, so a script sees the application object
//     that exists then (tests and the program create it after start-up);
//   - a new parent is checked (a windowed control, not the control itself or
//     one of its children);
//   - the event adapters count the dispatch, so a control or form freed by its
//     own handler waits for the event loop (BindingsCommon.h).
#include "script/bindings/BindingsCommon.h"

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/SysUtils.h"

namespace sc_iformsrtti {

using namespace script_bindings;

namespace {

// The application object of the moment, read-only.
class TApplicationVariable : public TscVariable {
public:
    TApplicationVariable() : TscVariable("Application", fvtClass, "TApplication") { ReadOnly = true; }
    Variant GetValue() override { return ObjOut(Application); }
    void SetValue(const Variant&) override {}
};

void SetParentChecked(TControl* control, const Variant& value)
{
    auto* parent = static_cast<TWinControl*>(ObjValue(value, TWinControl::StaticClass(), "Parent", true));
    for (TControl* p = parent; p; p = p->GetParent())
        if (p == control)
            throw EInvalidOperation("Control " + control->Name() + " cannot be its own parent");
    control->SetParent(parent);
}

Variant FormsCallMethod(TObject* inst, TClass ct, const AnsiString& n, Variant& p)
{
    if (!inst)
        return Variant(0);
    if (ct == TControl::StaticClass()) {
        auto* c = static_cast<TControl*>(inst);
        if (n == "HIDE")
            c->Hide();
        else if (n == "SHOW")
            c->Show();
        else if (n == "SETBOUNDS")
            c->SetBounds(IntArg(p, 0), IntArg(p, 1), IntArg(p, 2), IntArg(p, 3));
    } else if (ct == TWinControl::StaticClass()) {
        if (n == "SETFOCUS")
            static_cast<TWinControl*>(inst)->SetFocus();
    } else if (ct == TCustomListBox::StaticClass()) {
        auto* l = static_cast<TCustomListBox*>(inst);
        if (n == "SELECTED.GET")
            return Variant(l->GetSelected(IntArg(p, 0)));
        if (n == "SELECTED.SET")
            l->SetSelected(IntArg(p, 0), BoolArg(p, 1));
    } else if (ct == TCustomForm::StaticClass()) {
        auto* f = static_cast<TCustomForm*>(inst);
        if (n == "CLOSE")
            f->Close();
        else if (n == "HIDE")
            f->Hide();
        else if (n == "SHOW")
            f->Show();
        else if (n == "SHOWMODAL")
            return Variant(static_cast<int>(f->ShowModal()));
    } else if (ct == TApplication::StaticClass()) {
        auto* a = static_cast<TApplication*>(inst);
        if (n == "MINIMIZE")
            a->Minimize();
        else if (n == "PROCESSMESSAGES")
            a->ProcessMessages();
        else if (n == "RESTORE")
            a->Restore();
    }
    return Variant(0);
}

Variant FormsGetProp(TObject* inst, TClass ct, const AnsiString& n)
{
    if (!inst)
        return Variant(0);
    if (ct == TControl::StaticClass() && n == "PARENT")
        return ObjOut(static_cast<TControl*>(inst)->GetParent());
    if (ct == TCustomComboBox::StaticClass()) {
        auto* c = static_cast<TCustomComboBox*>(inst);
        if (n == "DROPPEDDOWN")
            return Variant(c->GetDroppedDown());
        if (n == "ITEMINDEX")
            return Variant(c->GetItemIndex());
    } else if (ct == TCustomListBox::StaticClass()) {
        auto* l = static_cast<TCustomListBox*>(inst);
        if (n == "SELCOUNT")
            return Variant(l->SelCount());
        if (n == "ITEMINDEX")
            return Variant(l->GetItemIndex());
    } else if (ct == TCustomForm::StaticClass()) {
        auto* f = static_cast<TCustomForm*>(inst);
        if (n == "MODALRESULT")
            return Variant(static_cast<int>(f->GetModalResult()));
        if (n == "CANVAS")
            return ObjOut(f->GetCanvas());
    } else if (ct == TApplication::StaticClass() && n == "EXENAME") {
        return Variant(static_cast<TApplication*>(inst)->GetExeName());
    }
    return Variant(0);
}

void FormsSetProp(TObject* inst, TClass ct, const AnsiString& n, const Variant& v)
{
    if (!inst)
        return;
    if (ct == TControl::StaticClass() && n == "PARENT")
        SetParentChecked(static_cast<TControl*>(inst), v);
    else if (ct == TCustomComboBox::StaticClass()) {
        auto* c = static_cast<TCustomComboBox*>(inst);
        if (n == "DROPPEDDOWN")
            c->SetDroppedDown(v.AsBoolean());
        else if (n == "ITEMINDEX")
            c->SetItemIndex(v.AsInteger());
    } else if (ct == TCustomListBox::StaticClass()) {
        if (n == "ITEMINDEX")
            static_cast<TCustomListBox*>(inst)->SetItemIndex(v.AsInteger());
    } else if (ct == TCustomForm::StaticClass()) {
        if (n == "MODALRESULT")
            static_cast<TCustomForm*>(inst)->SetModalResult(v.AsInteger());
    }
}

class TFunctions : public TBindingRegistrar {
public:
    TFunctions()
    {
        TscScript& u = *scGlobalUnit();
        TRegistering mark(u, this);
        const TscCallMethodEvent call = FormsCallMethod;
        const TscGetValueEvent get = FormsGetProp;
        const TscSetValueEvent set = FormsSetProp;

        RegisterConstants(u);
        u.AddType("TFormBorderStyle", fvtInt);
        u.AddType("TBorderStyle", fvtInt);
        RegisterEnums(u);

        const TscEventClass notify = CountingEventClass<TscNotifyEvent, TNotifyEvent>();
        const TscEventClass mouse = CountingEventClass<TscMouseEvent, TMouseEvent>();

        TscClassVariable& control = Class(u, TControl::StaticClass(), "TComponent");
        control.AddMethod("procedure Hide", call);
        control.AddMethod("procedure Show", call);
        control.AddMethod("procedure SetBounds(ALeft, ATop, AWidth, AHeight: Integer)", call);
        control.AddProperty("Parent", "TWinControl", get, set);
        control.AddEvent("OnCanResize", CountingEventClass<TscCanResizeEvent, TCanResizeEvent>());
        control.AddEvent("OnClick", notify);
        control.AddEvent("OnDblClick", notify);
        control.AddEvent("OnMouseDown", mouse);
        control.AddEvent("OnMouseMove", CountingEventClass<TscMouseMoveEvent, TMouseMoveEvent>());
        control.AddEvent("OnMouseUp", mouse);
        control.AddEvent("OnResize", notify);

        TscClassVariable& win = Class(u, TWinControl::StaticClass(), "TControl");
        win.AddMethod("procedure SetFocus", call);
        win.AddEvent("OnEnter", notify);
        win.AddEvent("OnExit", notify);
        win.AddEvent("OnKeyDown", CountingEventClass<TscKeyEvent, TKeyEvent>());
        win.AddEvent("OnKeyPress", CountingEventClass<TscKeyPressEvent, TKeyPressEvent>());
        win.AddEvent("OnKeyUp", CountingEventClass<TscKeyEvent, TKeyEvent>());

        Class(u, TCustomControl::StaticClass(), "TWinControl");
        Class(u, TGraphicControl::StaticClass(), "TControl");
        Class(u, TGroupBox::StaticClass(), "TWinControl");
        Class(u, TLabel::StaticClass(), "TWinControl");
        Class(u, TEdit::StaticClass(), "TWinControl");
        Class(u, TMemo::StaticClass(), "TWinControl");

        TscClassVariable& combo = Class(u, TCustomComboBox::StaticClass(), "TWinControl");
        combo.AddProperty("DroppedDown", "Boolean", get, set);
        combo.AddProperty("ItemIndex", "Integer", get, set);
        combo.AddEvent("OnChange", notify);
        combo.AddEvent("OnDropDown", notify);
        combo.AddEvent("OnCloseUp", notify);
        Class(u, TComboBox::StaticClass(), "TCustomComboBox");

        Class(u, TButton::StaticClass(), "TWinControl");
        Class(u, TCheckBox::StaticClass(), "TWinControl");
        Class(u, TRadioButton::StaticClass(), "TWinControl");

        TscClassVariable& listBox = Class(u, TCustomListBox::StaticClass(), "TWinControl");
        listBox.AddProperty("ItemIndex", "Integer", get, set);
        listBox.AddProperty("SelCount", "Integer", get);
        listBox.AddIndexProperty("Selected", "Integer", "Boolean", call);
        Class(u, TListBox::StaticClass(), "TCustomListBox");

        Class(u, TControlScrollBar::StaticClass(), "TPersistent");

        Class(u, TScrollingWinControl::StaticClass(), "TWinControl");
        Class(u, TScrollBox::StaticClass(), "TScrollingWinControl");

        TscClassVariable& form = Class(u, TCustomForm::StaticClass(), "TScrollingWinControl");
        form.AddMethod("procedure Close", call);
        form.AddMethod("procedure Hide", call);
        form.AddMethod("procedure Show", call);
        form.AddMethod("function ShowModal: Integer", call);
        form.AddProperty("Canvas", "TCanvas", get);
        form.AddProperty("ModalResult", "Integer", get, set);
        form.AddEvent("OnActivate", notify);
        form.AddEvent("OnClose", CountingEventClass<TscCloseEvent, TCloseEvent>());
        form.AddEvent("OnCloseQuery", CountingEventClass<TscCloseQueryEvent, TCloseQueryEvent>());
        for (const char* e : {"OnCreate", "OnDestroy", "OnDeactivate", "OnHide", "OnPaint", "OnShow"})
            form.AddEvent(e, notify);
        Class(u, TForm::StaticClass(), "TCustomForm");
        Class(u, TDataModule::StaticClass(), "TComponent");

        TscClassVariable& app = Class(u, TApplication::StaticClass(), "TComponent");
        app.AddMethod("procedure Minimize", call);
        app.AddMethod("procedure ProcessMessages", call);
        app.AddMethod("procedure Restore", call);
        app.AddProperty("ExeName", "String", get);

        u.Add("Application", std::make_unique<TApplicationVariable>());
    }

private:
    static void RegisterConstants(TscScript& u)
    {
        struct Const {
            const char* name;
            int value;
        };
        static const Const kConsts[] = {
            // modal results
            {"mrNone", 0}, {"mrOk", 1}, {"mrCancel", 2}, {"mrAbort", 3}, {"mrRetry", 4}, {"mrIgnore", 5},
            {"mrYes", 6}, {"mrNo", 7}, {"mrAll", 8}, {"mrNoToAll", 9}, {"mrYesToAll", 10},
            // cursors
            {"crDefault", 0}, {"crNone", -1}, {"crArrow", -2}, {"crCross", -3}, {"crIBeam", -4},
            {"crSize", -22}, {"crSizeNESW", -6}, {"crSizeNS", -7}, {"crSizeNWSE", -8}, {"crSizeWE", -9},
            {"crUpArrow", -10}, {"crHourGlass", -11}, {"crDrag", -12}, {"crNoDrop", -13}, {"crHSplit", -14},
            {"crVSplit", -15}, {"crMultiDrag", -16}, {"crSQLWait", -17}, {"crNo", -18}, {"crAppStart", -19},
            {"crHelp", -20}, {"crHandPoint", -21}, {"crSizeAll", -22},
            // form border styles
            {"bsNone", 0}, {"bsSingle", 1}, {"bsSizeable", 2}, {"bsDialog", 3}, {"bsToolWindow", 4},
            {"bsSizeToolWin", 5},
            // virtual keys
            {"VK_RBUTTON", 2}, {"VK_CANCEL", 3}, {"VK_MBUTTON", 4}, {"VK_BACK", 8}, {"VK_TAB", 9},
            {"VK_RETURN", 13}, {"VK_SHIFT", 16}, {"VK_CONTROL", 17}, {"VK_MENU", 18}, {"VK_PAUSE", 19},
            {"VK_CAPITAL", 20}, {"VK_ESCAPE", 27}, {"VK_SPACE", 32}, {"VK_PRIOR", 33}, {"VK_NEXT", 34},
            {"VK_END", 35}, {"VK_HOME", 36}, {"VK_LEFT", 37}, {"VK_UP", 38}, {"VK_RIGHT", 39}, {"VK_DOWN", 40},
            {"VK_INSERT", 45}, {"VK_DELETE", 46}, {"VK_HELP", 47}, {"VK_LWIN", 91}, {"VK_RWIN", 92},
            {"VK_APPS", 93},
        };
        for (const Const& c : kConsts)
            u.AddConst(c.name, "Integer", Variant(c.value));
        for (int i = 0; i <= 9; ++i)
            u.AddConst("VK_NUMPAD" + IntToStr(i), "Integer", Variant(96 + i));
        static const Const kKeys2[] = {
            {"VK_MULTIPLY", 106}, {"VK_ADD", 107}, {"VK_SEPARATOR", 108}, {"VK_SUBTRACT", 109},
            {"VK_DECIMAL", 110}, {"VK_DIVIDE", 111},
        };
        for (const Const& c : kKeys2)
            u.AddConst(c.name, "Integer", Variant(c.value));
        for (int i = 1; i <= 12; ++i)
            u.AddConst("VK_F" + IntToStr(i), "Integer", Variant(111 + i));
        u.AddConst("VK_NUMLOCK", "Integer", Variant(144));
        u.AddConst("VK_SCROLL", "Integer", Variant(145));
    }

    static void RegisterEnums(TscScript& u)
    {
        u.AddEnumSet("TShiftState", "ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble");
        u.AddEnum("TAlignment", "taLeftJustify, taRightJustify, taCenter");
        u.AddEnum("TAlign", "alNone, alTop, alBottom, alLeft, alRight, alClient");
        u.AddEnum("TMouseButton", "mbLeft, mbRight, mbMiddle");
        u.AddEnumSet("TAnchors", "akLeft, akTop, akRight, akBottom");
        u.AddEnum("TBevelCut", "bvNone, bvLowered, bvRaised, bvSpace");
        u.AddEnum("TTextLayout", "tlTop, tlCenter, tlBottom");
        u.AddEnum("TEditCharCase", "ecNormal, ecUpperCase, ecLowerCase");
        u.AddEnum("TScrollStyle", "ssNone, ssHorizontal, ssVertical, ssBoth");
        u.AddEnum("TComboBoxStyle", "csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable");
        u.AddEnum("TCheckBoxState", "cbUnchecked, cbChecked, cbGrayed");
        u.AddEnum("TListBoxStyle", "lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable");
        u.AddEnum("TWindowState", "wsNormal, wsMinimized, wsMaximized");
        u.AddEnum("TFormStyle", "fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop");
        u.AddEnumSet("TBorderIcons", "biSystemMenu, biMinimize, biMaximize, biHelp");
        u.AddEnum("TPosition", "poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, "
                               "poDesktopCenter");
        u.AddEnum("TCloseAction", "caNone, caHide, caFree, caMinimize");
    }
};

} // namespace

} // namespace sc_iformsrtti

std::unique_ptr<script_bindings::TBindingRegistrar> script_bindings::CreateFormsRegistrar()
{
    return std::make_unique<sc_iformsrtti::TFunctions>();
}
