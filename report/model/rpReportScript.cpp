// rpReportScript.cpp - binding the report into its script, and evaluating expressions.
//
// Calc resolves plain names first (no compiling), then compiles each distinct expression
// text once per run as "_fN" in the expression script. Errors of an expression, at
// compile time or at run time, become one line of Errors naming the current object and
// the expression, and are raised as ErpExpressionError; an outer Calc lets an inner one's
// error pass unchanged, so a nested failure is reported once.
//
// Each text read as a name has one record (TNameRef) holding what every lookup found and
// the stamps it found it under, and the compiled form of the text. A read checks the
// stamps and looks again only when one moved, then reads the value; a field of a database
// dataset found before is read straight from the current row when nothing needs opening
// or looking up (KnownField). Get with a constant name is bound when compiled
// (TscMethodHelper::OnBind) to an item holding its own record, so <Goods."Price"> in an
// expression or a script reads the field as directly.
//
// Evaluating: the function of an expression is "Result := e". While no host follows the
// lines, Run evaluates e itself inside a TscCallFrame (the call's depth limit, scope and
// flags), stores it into Result as the assignment would, and hands e's value back; an
// error of e is raised again through a one-statement list at the assignment's place, so
// it gets the form and position the body's list gives it. With a line hook set, or a
// function of another shape, the function is called. An e of + - * / over bracketed fields,
// constants and plain variables is first computed without the frame, which nothing it reads
// can see: it reads no value that needs code run and computes in the inline arithmetic the
// operators take; where a value is no number (a Null, a text, a Currency) or the arithmetic
// leaves the inline path, e is evaluated in the frame as above, from the start. Where every
// field of such an e is a bracketed field of the report, the page-text log and the name stamps
// are read once for them all, and e's number goes into Result in place.
#include "report/model/rpClass.h"

#include "report/model/rpBands.h"
#include "report/model/rpConsts.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"
#include "report/model/rpVariables.h"
#include "report/model/rpViews.h"

#include "script/Expression.h"
#include "script/GlobalUnit.h"
#include "script/Items.h"
#include "script/NumberStore.h"
#include "script/Script.h"
#include "script/Stack.h"
#include "script/Statements.h"

#include "platform/classes/Handles.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <exception>
#include <typeinfo>

SKLAD_EXCEPTION(ErpExpressionError, Exception)

namespace {

AnsiString ParamText(const Variant& Params, int Index)
{
    if (!VarIsArray(Params) || VarArrayHighBound(Params, 1) < Index)
        return {};
    const int at[1] = {Index};
    return VarToStr(Params.Elem(std::span<const int>(at))); // the element read in place
}

}  // namespace

// ---------------------------------------------------------------- TrpExpressionCache

namespace {

// Raises the error in hand again from where the body of an expression function stands, so
// the statement list around it gives the error the same form and position a call gives it.
class TrpRaiseAgain : public TscStatement {
public:
    using TscStatement::TscStatement;
    std::exception_ptr Error;
    void Execute() override { std::rethrow_exception(Error); }
};

}  // namespace

struct TrpCompiledExpression {
    TscProcVariable* Function = nullptr;
    // Function's body when it is the single statement Result := e of a Variant Result:
    // e's value is then Function's value, read directly while no host follows the lines.
    TscAssignmentStmt* Body = nullptr;
    std::unique_ptr<TscStatement> RaiseList;  // a list of one TrpRaiseAgain at Body's place
    TrpRaiseAgain* Raise = nullptr;
    // The script variables e reads, found when a text for another page first needs them:
    // their values are recorded with the text, and a text made again runs over them.
    // CallsRoutine: e calls a script routine (or its shape is not known), which may read any.
    mutable bool ReadsFound = false;
    mutable bool CallsRoutine = false;
    mutable std::vector<TscCustomVariable*> Reads;
    // Runs: e may change more than script variables (a script routine, an object's method,
    // a function of the program, Set, a message box), or its shape is not known.
    mutable bool Runs = false;
    // e's root when e is + - * / over numbers that run no code to be read (bracketed fields
    // of the current row, constants, plain variables): see PureNumber.
    const TscOperatorNode* Numbers = nullptr;
    // Body's target when it is a plain variable that keeps what it is given (Result, a
    // Variant): Numbers' value is put into it as a number, as its SetValue stores it.
    TscCustomVariable* NumberResult = nullptr;
    // The report whose bracketed fields are all the number sources of Numbers, when they are
    // (TrpBracketItem): they are read under one reading of the report's name stamps.
    TrpReport* FieldsOf = nullptr;
};

// Get with a constant name in compiled code: reads as the call would, from a record of its
// own, so the name is neither passed nor looked up again while nothing it depends on moves.
class TrpBracketItem : public TscCustomVariable, public TscNumberSource {
public:
    TrpBracketItem(TrpReport* AReport, const AnsiString& AName)
        : TscCustomVariable(AnsiString(), fvtVariant, "Variant"), FReport(AReport), FRef(AName)
    {
    }
    Variant GetValue() override
    {
        // One value throughout, made where the caller wants it, without a copy in between.
        Variant r = script_detail::CallHost([this] {
            Variant v;
            TrpReport::TPageTextLog* log = FReport->PageTextLog;
            if (TField* f = log && log->Replay ? nullptr : FReport->KnownField(FRef)) {
                v = f->Value();
                if (VarIsNull(v))
                    FReport->NullAsEmpty(FRef, v);
                if (log)
                    log->Reads.push_back({FRef.Name, true, v, false});
            } else {
                v = FReport->ReadGet(FRef);
            }
            return v;
        });
        if (r.StrPtr())
            script_detail::CheckHostText(r);
        return r;
    }
    void SetValue(const Variant&) override {}  // as Get, which is no indexed property
    // A number in a known field of the current row, read where it lies; anything else (a
    // Null, a text, a name to look up, a dataset to open) goes through GetValue, and so does
    // every read while a text for another page is recorded or made again: GetValue keeps the
    // value read, or gives the one kept, where the row may since have moved on.
    bool ReadNumber(script_fast::Num& n) override
    {
        return !FReport->PageTextLog && ReadKnown(FReport->NameGuard(), n);
    }
    // ReadNumber while no text is recorded or made again, the report's name stamps being
    // Guard: KnownField's test, with the stamps read once for all the fields of an expression.
    [[gnu::always_inline]] bool ReadKnown(const TrpReport::TNameGuard& Guard, script_fast::Num& n) const
    {
        const TrpReport::TNameRef& ref = FRef;
        const TField* f =
            ref.Resolved && ref.DBField && !ref.Field.empty() && ref.Guard == Guard ? FReport->SlotField(ref) : nullptr;
        const Variant* v = f ? f->ValueInPlace() : nullptr;
        return v && script_fast::Num::From(*v, n);
    }
    TrpReport* Report() const { return FReport; }
    // The stamps a tree of such fields is read under. FieldsOf reads them, or gives false
    // while a text for another page is recorded or made again (ReadNumber declines then).
    struct TFields {
        TrpReport::TNameGuard Guard;
        [[gnu::always_inline]] bool operator()(TscNumberSource* Source, script_fast::Num& n) const
        {
            return static_cast<const TrpBracketItem*>(Source)->ReadKnown(Guard, n);
        }
    };
    static bool FieldsOf(const TrpReport* Report, TFields& Fields)
    {
        if (Report->PageTextLog)
            return false;
        Fields.Guard = Report->NameGuard();
        return true;
    }

private:
    TrpReport* FReport;
    TrpReport::TNameRef FRef;
};

namespace {

// An operator + - * / whose GetValue takes NumberOperands first (as TscOperatorNode's
// LeftChain), whose left operand is a number routine, a number source or such an operator
// and whose right one a constant, a number routine or a number source: PureNumber reads all
// of them without running code. Returns op, or nullptr.
const TscOperatorNode* PureNumbers(const TscOperatorNode* op)
{
    if (!op || op->NumCompute || !op->NumberFirst || op->SetOp || op->StrCat)
        return nullptr;
    if (op->Op != opPlus && op->Op != opMinus && op->Op != opMul && op->Op != opDivFloat)
        return nullptr;
    if (op->BothInteger && op->Op != opDivFloat)
        return nullptr;
    const bool left = op->LeftNum || op->LeftSource || (op->LeftChain && PureNumbers(op->LeftChain));
    const bool right = op->RightDirect || op->RightNum || op->RightSource;
    return left && right ? op : nullptr;
}

// The value of such a tree as its GetValue gives it when every operand is an Integer, Int64
// or Double and every operation takes the inline arithmetic (TryArith, as NumberOperands);
// false, having run nothing and changed nothing, where GetValue must compute it.
// Read reads a number source as its ReadNumber would now: AnySource, or TrpBracketItem::TFields
// where every source is a bracketed field of one report.
struct AnySource {
    bool operator()(TscNumberSource* Source, script_fast::Num& n) const { return Source->ReadNumber(n); }
};

template <class Read>
[[gnu::flatten]] bool PureNumber(const TscOperatorNode* op, script_fast::Num& n, const Read& read)
{
    script_fast::Num a, b;
    if (op->LeftNum ? !op->LeftNum->Num(a)
                    : op->LeftSource ? !read(op->LeftSource, a) : !PureNumber(op->LeftChain, a, read))
        return false;
    if (op->RightDirect ? !script_fast::Num::From(*op->RightDirect, b)
                        : op->RightNum ? !op->RightNum->Num(b) : !read(op->RightSource, b))
        return false;
    switch (op->Op) {
    case opPlus: return script_fast::TryArith<'+'>(a, b, n);
    case opMinus: return script_fast::TryArith<'-'>(a, b, n);
    case opMul: return script_fast::TryArith<'*'>(a, b, n);
    default: return script_fast::TryArith<'/'>(a, b, n);
    }
}

// Whether every number source of such a tree is a bracketed field of one report, kept in
// report (nullptr before the first).
bool FieldsOfOneReport(const TscOperatorNode* op, TrpReport*& report)
{
    for (TscNumberSource* source : {op->LeftSource, op->RightSource}) {
        if (!source)
            continue;
        const auto* item = dynamic_cast<const TrpBracketItem*>(source);
        if (!item || (report && item->Report() != report))
            return false;
        report = item->Report();
    }
    return !op->LeftChain || FieldsOfOneReport(op->LeftChain, report);
}

// v := n's value as a Variant, made in place (n is an Integer, Int64 or Double, as
// PureNumber gives it).
[[gnu::always_inline]] inline void PutNum(Variant& v, const script_fast::Num& n)
{
    switch (n.Type) {
    case varInteger: script_store::PutNumber(v, static_cast<int32_t>(n.L)); break;
    case varInt64: script_store::PutNumber(v, static_cast<long long>(n.L)); break;
    case varDouble: script_store::PutNumber(v, n.D); break;
    default: v = n.ToVariant(); break;
    }
}

// PureNumber of a tree whose number sources are all bracketed fields of report, the page-text
// log and the name stamps read once for them all: nothing in the tree runs code, so they are
// what each field's ReadNumber would find.
bool PureFields(const TrpReport* report, const TscOperatorNode* op, script_fast::Num& n)
{
    TrpBracketItem::TFields fields;
    return TrpBracketItem::FieldsOf(report, fields) && PureNumber(op, n, fields);
}

// Fills Body and RaiseList when the function is as the cache compiles it and its text does
// not name Result (which would be the function's own).
void FindBody(TrpCompiledExpression& c, const AnsiString& Expression)
{
    TscProcVariable* const fn = c.Function;
    TscScript* const local = fn->LocalScript();
    TscStatement* const list = local->MainStatement();
    if (!fn->IsFunc || !fn->RefItem || fn->RefItem->VarType != fvtVariant ||
        typeid(*fn->RefItem) != typeid(TscVariable) || !list || typeid(*list) != typeid(TscStatement) ||
        list->Count() != 1 || UpperCase(Expression).find("RESULT") != AnsiString::npos)
        return;
    auto* body = list->GetItem(0);
    if (typeid(*body) != typeid(TscAssignmentStmt))
        return;
    auto* assign = static_cast<TscAssignmentStmt*>(body);
    if (assign->Script != local || assign->Target != fn->RefItem || !assign->Source)
        return;
    c.RaiseList = std::make_unique<TscStatement>(local, assign->UnitName, assign->SourcePos);
    auto raise = std::make_unique<TrpRaiseAgain>(local, assign->UnitName, assign->SourcePos);
    c.Raise = raise.get();
    c.RaiseList->Add(std::move(raise));
    c.Body = assign;
    c.Numbers = PureNumbers(dynamic_cast<const TscOperatorNode*>(assign->Source));
    TscCustomVariable* const target = assign->Target;
    TrpReport* report = nullptr;
    c.FieldsOf = c.Numbers && FieldsOfOneReport(c.Numbers, report) ? report : nullptr;
    c.NumberResult = target && typeid(*target) == typeid(TscVariable) && target->VarType != fvtFloat ? target : nullptr;
}

// A variable the script may change (constants are read-only).
bool IsPlainVariable(const TscCustomVariable* Item)
{
    const std::type_info& t = typeid(*Item);
    return (t == typeid(TscVariable) || t == typeid(TscStringVariable)) && !Item->ReadOnly;
}

// What a plain variable holds, and putting it back as it was read (a String variable keeps
// its text apart from Value).
Variant ValueOf(TscCustomVariable* Var) { return Var->GetValue(); }
void PutValue(TscCustomVariable* Var, const Variant& Value)
{
    if (typeid(*Var) == typeid(TscStringVariable))
        Var->SetValue(Value);
    else
        Var->Value = Value;
}

// The function library's own functions that change nothing outside their var parameters
// (which are script variables): they are known by the registrar that stamped them.
bool IsLibraryReading(const TscMethodHelper* Method)
{
    // Looked up each time (once per compiled expression): the library registers anew when
    // the script engine starts again.
    const TscCustomVariable* known = scGlobalUnit() ? scGlobalUnit()->FindLocal("IntToStr") : nullptr;
    const TObject* const library = known ? known->RegisteredBy : nullptr;
    if (!library || Method->RegisteredBy != library || Method->ClassRef)
        return false;
    const AnsiString name = UpperCase(Method->Name);
    return name != "SHOWMESSAGE" && name != "RANDOMIZE" && name != "RANDOM" && name != "CREATEOLEOBJECT";
}

bool IsReportReading(const TscMethodHelper* Method)
{
    if (Method->ClassRef)
        return false;
    const AnsiString name = UpperCase(Method->Name);
    if (!Method->IsMacro)
        return name == "GET";
    return name == "IIF" || name == "SUM" || name == "AVG" || name == "MIN" || name == "MAX" || name == "COUNT";
}

void AddScriptRead(const TrpCompiledExpression& c, TscCustomVariable* Item)
{
    const std::type_info& t = typeid(*Item);
    if (t == typeid(TscClassVariable) || t == typeid(TscEventHelper))
        c.Runs = true;
    if (t == typeid(TscProcVariable))
        c.CallsRoutine = c.Runs = true;
    else if (IsPlainVariable(Item) && std::find(c.Reads.begin(), c.Reads.end(), Item) == c.Reads.end())
        c.Reads.push_back(Item);
}

// The variables and routines a node names, its operands and arguments included.
void FindScriptReads(const TrpCompiledExpression& c, const TscExpressionNode* Node)
{
    if (!Node)
        return;
    if (const auto* op = dynamic_cast<const TscOperatorNode*>(Node)) {
        FindScriptReads(c, op->Left.get());
        FindScriptReads(c, op->Right.get());
        return;
    }
    if (dynamic_cast<const TscSetNode*>(Node)) {
        c.CallsRoutine = c.Runs = true;  // not looked into
        return;
    }
    const auto* dn = dynamic_cast<const TscDesignatorNode*>(Node);
    if (!dn)
        return;  // a constant
    const TscDesignator* d = dn->Designator.get();
    if (d->StepCount() == 0)
        c.CallsRoutine = c.Runs = true;
    // An object's property or method (of an object of an object too): its value is kept
    // with the text, which, made again later, gives the value it had then.
    if (d->StepCount() >= 2)
        d->Logged = true;
    for (int i = 0; i < d->StepCount(); ++i) {
        const TscDesignatorItem* step = d->Step(i);
        // The report's IIF, totals and Get read (an IIF's arguments are walked below).
        if (const auto* method = dynamic_cast<const TscMethodHelper*>(step->Ref);
            method && !IsLibraryReading(method) && !IsReportReading(method))
            c.Runs = true;
        if (step->Ref)
            AddScriptRead(c, step->Ref);
        for (int j = 0; j < step->Count(); ++j)
            FindScriptReads(c, step->GetItem(j)->Root());
    }
}

const TrpCompiledExpression& ScriptReadsOf(const TrpCompiledExpression& c)
{
    if (c.ReadsFound)
        return c;
    c.ReadsFound = true;
    if (!c.Body || !c.Body->Expression || !c.Body->Expression->Root()) {
        c.CallsRoutine = c.Runs = true;
        return c;
    }
    FindScriptReads(c, c.Body->Expression->Root());
    if (c.Body->Source)
        AddScriptRead(c, c.Body->Source);
    return c;
}

// Script variables' values, put back as they were when it goes.
class TScriptValuesKept {
public:
    // A copy of the list: the script's own may be found again while the values are out.
    explicit TScriptValuesKept(const std::vector<TscCustomVariable*>& Vars) : FVars(Vars)
    {
        FValues.reserve(Vars.size());
        for (TscCustomVariable* v : Vars)
            FValues.push_back(ValueOf(v));
    }
    ~TScriptValuesKept()
    {
        for (size_t i = 0; i < FVars.size(); ++i)
            PutValue(FVars[i], FValues[i]);
    }
    TScriptValuesKept(const TScriptValuesKept&) = delete;
    TScriptValuesKept& operator=(const TScriptValuesKept&) = delete;

private:
    const std::vector<TscCustomVariable*> FVars;
    std::vector<Variant> FValues;
};

// Keys of the page-text log beside names: a script variable's value, a branch of IIF.
const char kScriptValueKey[] = "\x02";
const char kBranchKey[] = "\x03";
const char kDesignatorKey[] = "\x04";

AnsiString DesignatorKey(const TscDesignator* d)
{
    return kDesignatorKey + IntToHex(static_cast<int64_t>(reinterpret_cast<uintptr_t>(d)), 16);
}

}  // namespace

SKLAD_DEFINE_ABSTRACT_CLASS(TrpExpressionCache)

TrpExpressionCache::TrpExpressionCache(TscScript* AMainScript) : FMainScript(AMainScript)
{
    // Texts are told apart by case too: 'ИТОГО' and 'Итого' are two expressions with two
    // results, not one function that prints whichever came first.
    FExpressions.SetCaseSensitive(true);
    FExpressions.SetSorted(true);
    FExpressions.SetDuplicates(dupIgnore);
    FScript = std::make_unique<TscScript>(nullptr);
    FScript->ExtendedCharset = true;
}

TrpExpressionCache::~TrpExpressionCache() = default;

void TrpExpressionCache::Clear()
{
    ++FGeneration;
    FExpressions.Clear();
    FByText.clear();
    FScript->Clear();
}

Variant TrpExpressionCache::Calc(const AnsiString& Expression, AnsiString& ErrorMsg, TscScript* AScript)
{
    const TrpCompiledExpression* compiled = Function(Expression, ErrorMsg, AScript);
    return compiled ? Run(compiled, AScript) : Null();
}

const TrpCompiledExpression* TrpExpressionCache::Function(const AnsiString& Expression, AnsiString& ErrorMsg,
                                                          TscScript* AScript)
{
    ErrorMsg.clear();
    FScript->Parent = AScript;
    // A text read in the scope of a running routine (an argument of IIF) binds its names to
    // that routine's parameters and locals when it is compiled: the same text read in another
    // routine names other items, and is compiled for it apart.
    AnsiString key = Expression;
    if (AScript && AScript != FMainScript) {
        key += '\0';
        key += std::to_string(AScript->Serial());
    }
    if (const auto known = FByText.find(key); known != FByText.end())
        return known->second.get();
    const AnsiString name = "_f" + IntToStr(static_cast<int>(FByText.size()));
    FScript->Lines()->SetText("function " + name + ": Variant; begin Result := " + Expression +
                              " end; begin end.");
    FScript->SyntaxType = "PascalScript";
    const bool ok = FScript->Compile();
    auto* fn = ok ? dynamic_cast<TscProcVariable*>(FScript->FindLocal(name)) : nullptr;
    if (!fn) {
        // A failed compile may leave a half-made function of this name behind; it
        // must not shadow the next expression that gets the same number.
        if (TscCustomVariable* stale = FScript->FindLocal(name)) {
            std::unique_ptr<TscCustomVariable> dropped = FScript->Remove(stale); // freed here
        }
        ErrorMsg = rpResources().Get("clExprError") + " '" + Expression + "': " +
                   (ok ? AnsiString("function not found") : FScript->ErrorText);
        return nullptr;
    }
    auto compiled = std::make_unique<TrpCompiledExpression>();
    compiled->Function = fn;
    FindBody(*compiled, Expression);
    FExpressions.AddObject(Expression, fn);
    return FByText.emplace(key, std::move(compiled)).first->second.get();
}

// Inlined into its two callers here, the report's Calc above all.
[[gnu::always_inline]] inline Variant TrpExpressionCache::Run(const TrpCompiledExpression* Compiled, TscScript* AScript)
{
    FScript->Parent = AScript;
    struct MainAgain {
        TscScript* Script;
        ~MainAgain() { Script->IsMainScript = true; }
    } again{FMainScript};
    FMainScript->IsMainScript = false;
    if (!Compiled->Body || TscRunLineEvent::AnySet())
        return Compiled->Function->GetValue();
    if (Compiled->Numbers) {
        // A tree of numbers that reads them without running code: nothing can see the call's
        // frame, so it is not made while the call could be made and its flags are clear (else
        // the frame raises the error or clears them, below). Where a value is no number the
        // tree is computed as the call computes it.
        TscScript* const local = Compiled->Function->LocalScript();
        script_fast::Num n;
        if (script_detail::gCallDepth < script_detail::kMaxCallDepth && !scStackNearEnd() && !local->Terminated &&
            !local->BreakRequested && !local->ContinueRequested && !local->ExitRequested &&
            (Compiled->FieldsOf ? PureFields(Compiled->FieldsOf, Compiled->Numbers, n)
                                : PureNumber(Compiled->Numbers, n, AnySource()))) {
            if (TscCustomVariable* result = Compiled->NumberResult) {
                if (!result->ReadOnly)
                    PutNum(result->Value, n);
                return n.ToVariant();
            }
            Variant v = n.ToVariant();
            Compiled->Body->Target->SetValue(v);
            return v;
        }
    }
    // What the call does, without running the body as a list and reading Result back.
    TscCallFrame frame(Compiled->Function);
    try {
        Variant v = Compiled->Body->Source->GetValue();
        Compiled->Body->Target->SetValue(v);
        return v;
    } catch (...) {
        Compiled->Raise->Error = std::current_exception();
        struct Release {
            TrpRaiseAgain* r;
            ~Release() { r->Error = nullptr; }
        } release{Compiled->Raise};
        // Terminate from a host may have stopped the function's lists; the error leaves all the same.
        Compiled->Function->LocalScript()->Terminated = false;
        Compiled->RaiseList->Execute();
        throw;  // the list always raises; this keeps the error should it not
    }
}

// ---------------------------------------------------------------- bound names

// ---------------------------------------------------------------- binding

bool TrpReport::PrepareScript()
{
    FExpressionCache->Clear();
    if (FNameReads == 0)
    {
        FNameRefs.clear();  // else the stamps moved by the clearing below renew them
        FLastNameRef = nullptr;
    }
    FEngine->NotifyList.clear();
    FLocalValue = nullptr;
    FScript->ClearItems(this);
    struct OwnerReset {
        TscScript* s;
        ~OwnerReset() { s->RegisteringOwner = nullptr; }
    } reset{FScript.get()};
    FScript->RegisteringOwner = this;
    FScript->IsMainScript = true;

    for (TrpComponent* c : GetAllObjects()) {
        c->IsDesigning = false;
        c->BeforeStartReport();
        if (auto* pic = dynamic_cast<TrpPictureView*>(c))
            pic->PictureChangedFlag = false;
        if (!c->Name().empty())
            FScript->AddObject(c->Name(), c);
    }
    FScript->AddObject("Report", this);
    FScript->AddObject("Engine", FEngine.get());
    FScript->AddObject("Outline", FPreviewPages->Outline());
    FScript->AddVariable("Value", "Variant", Null());

    TscMethodHelper* get = FScript->AddMethod(
        "function Get(Name: String): Variant",
        [this](TObject* i, TClass c, const AnsiString& m, Variant& p) { return GetScriptValue(i, c, m, p); });
    get->OnBind = [this](const std::vector<Variant>& args) -> std::unique_ptr<TscCustomVariable> {
        if (args.size() != 1 || !VarIsStr(args[0]))
            return nullptr;
        return std::make_unique<TrpBracketItem>(this, args[0].AsString());
    };
    FScript->AddMethod("procedure Set(Name: String; Value: Variant)",
                       [this](TObject* i, TClass c, const AnsiString& m, Variant& p) { return SetScriptValue(i, c, m, p); });
    const char* const macros[] = {
        "macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
        "macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
        "macrofunction AVG(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
        "macrofunction MIN(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
        "macrofunction MAX(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
        "macrofunction COUNT(Band: Variant = 0; Flags: Integer = 0): Variant",
    };
    for (const char* decl : macros)
        FScript->AddMethod(decl, [this](TObject* i, TClass c, const AnsiString& m, Variant& p) {
            return CallMethod(i, c, m, p);
        });
    FLocalValue = FScript->FindLocal("Value");

    FScript->Lines()->Assign(FScriptText.get());
    FScript->SyntaxType = ScriptLanguage;
    bool ok = false;
    try {
        ok = FScript->Compile();
    } catch (const std::exception& e) {
        // An unknown language name raises; it is one more script error.
        FScript->ErrorText = e.what();
        FScript->ErrorPos.clear();
    }
    if (!ok)
        Errors.Add(Format(rpResources().Get("clScrError"), {FScript->ErrorPos, FScript->ErrorText}));
    return ok;
}

Variant TrpReport::GetLocalValue() const { return FLocalValue ? FLocalValue->GetValue() : Null(); }

void TrpReport::SetLocalValue(const Variant& Value)
{
    if (FLocalValue)
        FLocalValue->SetValue(Value);
}

void TrpReport::AddFunction(const AnsiString& FuncName, const AnsiString& Category, const AnsiString& Description)
{
    FScript->RegisteringOwner = nullptr;
    FScript->AddMethod(
        FuncName,
        [this](TObject* i, TClass c, const AnsiString& m, Variant& p) { return DoUserFunction(i, c, m, p); },
        Category, Description);
}

// ---------------------------------------------------------------- values

TrpReport::TNameGuard TrpReport::NameGuard() const
{
    return {rpDataSetNamesStamp(), rpVariableNamesStamp(), FScript->ItemsVersion(),
            SysVariables.Version() * 2 + (SysVariables.GetCaseSensitive() ? 1 : 0)};
}

TrpReport::TNameRef& TrpReport::NameRef(const AnsiString& Expr)
{
    // The same text asked again, as a band's expressions are row after row, is not hashed again.
    if (FLastNameRef && FLastNameRef->Name == Expr)
        return *FLastNameRef;
    if (const auto known = FNameRefs.find(Expr); known != FNameRefs.end())
        return *(FLastNameRef = &known->second);
    return *(FLastNameRef = &FNameRefs.emplace(Expr, TNameRef(Expr)).first->second);
}

void TrpReport::Resolve(TNameRef& Ref)
{
    Ref.Guard = NameGuard();
    GetWholeDatasetField(Ref.Name, Ref.DataSet, Ref.Field);
    // Only the class itself: a descendant may read its fields its own way.
    Ref.DBField = Ref.DataSet && typeid(*Ref.DataSet) == typeid(TrpDBDataset);
    Ref.Slot = {};
    Ref.SysIndex = SysVariables.IndexOf(Ref.Name);
    Ref.VarIndex = GetVariables()->IndexOf(Ref.Name);
    Ref.Local = FScript->FindLocal(Ref.Name);
    Ref.NoName = !(Ref.DataSet && !Ref.Field.empty()) && Ref.SysIndex < 0 && Ref.VarIndex < 0 && !Ref.Local;
    Ref.Resolved = true;
}

bool TrpReport::DoGetValue(const AnsiString& Expr, Variant& Value)
{
    return ReadName(NameRef(Expr), Value);
}

const TrpReport::TPageTextLog::TRead* TrpReport::Recorded(const AnsiString& Key)
{
    TPageTextLog* log = PageTextLog;
    // Reads come back in the order they were recorded, unless the page number took
    // another branch: look where the last one was found first.
    const size_t n = log->Reads.size();
    for (size_t k = 0; k < n; ++k) {
        const size_t at = (log->Next + k) % n;
        const TPageTextLog::TRead& r = log->Reads[at];
        if (!r.OfPage && r.Name == Key) {
            log->Next = at + 1;
            return &r;
        }
    }
    return nullptr;
}

template <class F>
bool TrpReport::LoggedRead(const AnsiString& Key, Variant& Value, F Read)
{
    TPageTextLog* log = PageTextLog;
    if (!log)
        return Read(Value);
    if (log->Replay) {
        if (const TPageTextLog::TRead* r = Recorded(Key)) {
            Value = r->Value;
            return r->Found;
        }
        const int before = log->PageReads;
        const bool found = Read(Value);
        // A text that is no name (a literal IIF gives back) reads nothing of the data.
        if (found && log->PageReads == before)
            log->Unseen = true;
        return found;
    }
    const int before = log->PageReads;
    const bool found = Read(Value);
    log->Reads.push_back({Key, found, Value, log->PageReads != before});
    return found;
}

bool TrpReport::ReadName(TNameRef& Ref, Variant& Value)
{
    if (!PageTextLog)
        return ReadNameNow(Ref, Value);
    return LoggedRead(Ref.Name, Value, [&](Variant& v) { return ReadNameNow(Ref, v); });
}

bool TrpReport::ReadNameNow(TNameRef& Ref, Variant& Value)
{
    struct Reading {
        int& n;
        ~Reading() { --n; }
    } reading{++FNameReads};
    Value = Null();
    if (!Ref.Resolved || !(Ref.Guard == NameGuard()))
        Resolve(Ref);
    if (Ref.DataSet && !Ref.Field.empty()) {
        if (TField* f = SlotField(Ref)) {
            Value = f->Value();
            if (VarIsNull(Value))
                NullAsEmpty(Ref, Value);
            return true;
        }
        // Copies: reading a field may run code that changes the datasets, and the record with them.
        TrpDataSet* const ds = Ref.DataSet;
        const AnsiString field = Ref.Field;
        Value = Ref.DBField ? static_cast<TrpDBDataset*>(ds)->GetValue(field, Ref.Slot) : ds->GetValue(field);
        NullAsEmpty(ds, field, Value);
        return true;
    }

    if (Ref.SysIndex >= 0) {
        int cur = FPreviewPages->CurPage;
        const int first = FPreviewPages->FirstPage;
        if (TPageTextLog* log = PageTextLog; log && (Ref.SysIndex == 2 || Ref.SysIndex == 3)) {
            ++log->PageReads;
            if (log->Replay && log->Page >= 0)
                cur = log->Page;
        }
        switch (Ref.SysIndex) {
        case 0: Value = Variant(FEngine->StartDate); break;
        case 1: Value = Variant(FEngine->StartTime); break;
        case 2: Value = Variant(cur - first + 1); break;
        case 3: Value = Variant(cur + 1); break;
        // Without a first pass the engine knows no total (0): a report appended after others
        // then has none either, not a count below zero.
        case 4: Value = Variant(std::max(0, FEngine->TotalPages - first)); break;
        case 5: Value = Variant(FEngine->TotalPages); break;
        case 6: Value = Variant(FEngine->CurLine); break;
        case 7: Value = Variant(FEngine->CurLineThrough); break;
        default: break;
        }
        return true;
    }

    if (OnGetValue) {
        Variant v;
        OnGetValue(Ref.Name, v);
        if (!VarIsEmpty(v)) {
            Value = v;
            return true;
        }
        // The handler may have changed the variables or the script: what follows is
        // looked up as it stands now.
        if (!(Ref.Guard == NameGuard()))
            Resolve(Ref);
    }

    if (Ref.VarIndex >= 0) {
        const int var = Ref.VarIndex;
        const Variant stored = GetVariables()->Items(var)->GetValue();
        if (!VarIsStr(stored)) {
            Value = stored;
            return true;
        }
        // An empty text is no expression: the variable has no value, as it reads back from
        // a file (where an empty value is not written).
        if (Trim(stored.AsString()).empty()) {
            Value = Null();
            return true;
        }
        const AnsiString name = GetVariables()->Items(var)->GetName();
        for (const AnsiString& open : FVariablesInCalc)
            if (AnsiSameText(open, name)) {
                const AnsiString msg = (CurObject.empty() ? AnsiString() : CurObject + ": ") +
                                       Format(rpmsg::kVariableCycle, {name});
                Errors.Add(msg);
                throw ErpExpressionError(msg);
            }
        FVariablesInCalc.push_back(name);
        struct Pop {
            std::vector<AnsiString>& v;
            ~Pop() { v.pop_back(); }
        } pop{FVariablesInCalc};
        Value = Calc(stored.AsString());
        return true;
    }

    if (TscCustomVariable* local = Ref.Local) {
        Value = local->GetValue();
        return true;
    }
    return false;
}

inline TField* TrpReport::KnownField(const TNameRef& Ref) const
{
    return Ref.Resolved && Ref.DBField && !Ref.Field.empty() && Ref.Guard == NameGuard() ? SlotField(Ref) : nullptr;
}

TField* TrpReport::SlotField(const TNameRef& Ref) const
{
    return Ref.DBField ? static_cast<TrpDBDataset*>(Ref.DataSet)->CurrentSlotField(Ref.Slot) : nullptr;
}

void TrpReport::NullAsEmpty(const TNameRef& Ref, Variant& Value)
{
    const AnsiString field = Ref.Field;  // the type is asked by a dataset's own code
    NullAsEmpty(Ref.DataSet, field, Value);
}

void TrpReport::NullAsEmpty(TrpDataSet* DataSet, const AnsiString& Field, Variant& Value)
{
    if (GetEngineOptions()->ConvertNulls && VarIsNull(Value)) {
        switch (DataSet->GetFieldType(Field)) {
        case fftNumeric: Value = Variant(0); break;
        case fftString: Value = Variant(AnsiString()); break;
        case fftBoolean: Value = Variant(false); break;
        }
    }
}

// Calc's body, inlined into it: Calc is its only caller.
[[gnu::always_inline]] inline Variant TrpReport::CalcGuarded(const AnsiString& Expr, TscScript* AScript)
{
    TscScript* script = AScript ? AScript : FScript.get();
    // NameRef, with its first test here: the same text asked again costs no call.
    TNameRef& ref = FLastNameRef && FLastNameRef->Name == Expr ? *FLastNameRef : NameRef(Expr);
    // A text that named nothing when last looked up skips the lookups while nothing moved.
    if (!(ref.Resolved && ref.NoName && !OnGetValue && ref.Guard == NameGuard())) {
        Variant v;
        if (ReadName(ref, v))
            return v;
    }
    AnsiString error;
    try {
        const uint64_t generation = FExpressionCache->Generation();
        if (!ref.Function || ref.FunctionGeneration != generation || ref.FunctionScope != script->Serial()) {
            ref.Function = FExpressionCache->Function(Expr, error, script);
            ref.FunctionGeneration = generation;
            ref.FunctionScope = script->Serial();
        }
        if (ref.Function)
            return PageTextLog ? RunLogged(ref.Function, script) : FExpressionCache->Run(ref.Function, script);
    } catch (const ErpExpressionError&) {
        throw;
    } catch (const std::exception& e) {
        if (FTerminated)
            throw;
        error = rpResources().Get("clExprError") + " '" + Expr + "': " + e.what();
    }
    if (!error.empty()) {
        if (!CurObject.empty())
            error = CurObject + ": " + error;
        Errors.Add(error);
        throw ErpExpressionError(error);
    }
    return Null();
}

Variant TrpReport::Calc(const AnsiString& Expr, TscScript* AScript)
{
    if (FCalcDepth >= kMaxCalcDepth) {
        const AnsiString msg = (CurObject.empty() ? AnsiString() : CurObject + ": ") +
                               rpResources().Get("clExprError") + " '" + Expr + "': " +
                               Format("expressions nested deeper than %d levels", {kMaxCalcDepth});
        Errors.Add(msg);
        throw ErpExpressionError(msg);
    }
    ++FCalcDepth;
    struct Depth {
        int& d;
        ~Depth() { --d; }
    } depth{FCalcDepth};
    return CalcGuarded(Expr, AScript);
}

AnsiString TrpReport::CalcText(const AnsiString& Expr, const Variant& Value)
{
    try {
        return rpValueToStr(Value);
    } catch (const std::exception& e) {
        RaiseExpressionError(Expr, e.what());
    }
}

void TrpReport::RaiseExpressionError(const AnsiString& Expr, const AnsiString& Detail)
{
    const AnsiString error = (CurObject.empty() ? AnsiString() : CurObject + ": ") +
                             rpResources().Get("clExprError") + " '" + Expr + "': " + Detail;
    Errors.Add(error);
    throw ErpExpressionError(error);
}

// ---------------------------------------------------------------- callbacks

Variant TrpReport::GetScriptValue(TObject*, TClass, const AnsiString&, Variant& Params)
{
    return ReadGet(NameRef(ParamText(Params, 0)));
}

Variant TrpReport::ReadGet(TNameRef& Ref)
{
    Variant v;
    if (ReadName(Ref, v))
        return v;
    const AnsiString& name = Ref.Name;
    const size_t paren = name.find('(');
    if (paren != AnsiString::npos) {
        const AnsiString fn = UpperCase(Trim(name.substr(0, paren)));
        if (fn == "SUM" || fn == "MIN" || fn == "MAX" || fn == "AVG" || fn == "COUNT")
            return Calc(name);
    }
    Errors.Add(rpResources().Get("clUnknownVar") + " " + name);
    return Null();
}

Variant TrpReport::SetScriptValue(TObject*, TClass, const AnsiString&, Variant& Params)
{
    if (VarIsArray(Params) && VarArrayHighBound(Params, 1) >= 1)
        GetVariables()->SetVariable(ParamText(Params, 0), VarArrayGet(Params, {1}));
    return Null();
}

Variant TrpReport::CallMethod(TObject*, TClass, const AnsiString& MethodName, Variant& Params)
{
    TscScript* scope = FScript->CurrentScope ? FScript->CurrentScope : FScript.get();
    auto optional = [&](int index) -> Variant {
        const AnsiString text = Trim(ParamText(Params, index));
        return text.empty() ? Variant(0) : Calc(text, scope);
    };
    const AnsiString name = UpperCase(MethodName);
    if (name == "IIF" && PageTextLog)
        return LoggedIIF(Params, scope);
    if (name == "IIF") {
        const Variant cond = Calc(ParamText(Params, 0), scope);
        const bool yes = !VarIsNull(cond) && !VarIsEmpty(cond) && cond.AsBoolean();
        return Calc(ParamText(Params, yes ? 1 : 2), scope);
    }
    const bool count = name == "COUNT";
    if (count || name == "SUM" || name == "AVG" || name == "MIN" || name == "MAX") {
        auto aggregate = [&](Variant& v) {
            const int first = count ? 0 : 1;
            auto* band = static_cast<TrpBand*>(VariantToObject(optional(first), TrpBand::StaticClass()));
            const int flags = optional(first + 1).AsInteger();
            v = FEngine->GetAggregateValue(name, count ? AnsiString() : ParamText(Params, 0), band, flags);
            return true;
        };
        Variant v;
        if (!PageTextLog) {
            aggregate(v);
            return v;
        }
        // The totals move on with the data: a text made again takes the one it had.
        AnsiString key = "\x01" + name;
        for (int i = 0; i <= (count ? 1 : 2); ++i)
            key += "\x01" + ParamText(Params, i);
        LoggedRead(key, v, aggregate);
        return v;
    }
    return Variant();
}

Variant TrpReport::RunLogged(const TrpCompiledExpression* Compiled, TscScript* AScript)
{
    TPageTextLog* log = PageTextLog;
    const TrpCompiledExpression& c = ScriptReadsOf(*Compiled);
    const std::vector<TscCustomVariable*>& vars = c.CallsRoutine ? ScriptVariables() : c.Reads;

    // Objects' properties and methods read by the text: recorded with the values they gave
    // when it was first made, given again from there when it is made again.
    class TDesignatorLog : public TscReadLog {
    public:
        explicit TDesignatorLog(TrpReport& Report) : FReport(Report), FPrevious(TscDesignator::ReadLog)
        {
            TscDesignator::ReadLog = this;
        }
        ~TDesignatorLog() override { TscDesignator::ReadLog = FPrevious; }
        bool Serve(const TscDesignator* d, Variant& value) override
        {
            TPageTextLog* log = FReport.PageTextLog;
            if (!log || !log->Replay)
                return false;
            const AnsiString key = DesignatorKey(d);
            if (const TPageTextLog::TRead* r = FReport.Recorded(key)) {
                value = r->Value;
                return true;
            }
            // One that read the page number is read again; one never read then is of
            // data that has moved on since.
            const bool known = std::any_of(log->Reads.begin(), log->Reads.end(),
                                           [&](const TPageTextLog::TRead& r) { return r.Name == key; });
            if (!known)
                log->Unseen = true;
            return false;
        }
        void Begin(const TscDesignator*) override
        {
            if (FReport.PageTextLog)
                FBefore.push_back(FReport.PageTextLog->PageReads);
        }
        void Record(const TscDesignator* d, const Variant& value) override
        {
            TPageTextLog* log = FReport.PageTextLog;
            if (!log || FBefore.empty())
                return;
            const int before = FBefore.back();
            FBefore.pop_back();
            if (!log->Replay)
                log->Reads.push_back({DesignatorKey(d), true, value, log->PageReads != before});
        }

    private:
        TrpReport& FReport;
        TscReadLog* FPrevious;
        std::vector<int> FBefore;
    };
    TDesignatorLog designators(*this);

    if (!log->Replay) {
        for (TscCustomVariable* v : vars)
            log->Reads.push_back({kScriptValueKey + v->Name, true, ValueOf(v), false});
        return FExpressionCache->Run(Compiled, AScript);
    }
    std::vector<const Variant*> then;
    then.reserve(vars.size());
    for (TscCustomVariable* v : vars) {
        const TPageTextLog::TRead* r = Recorded(kScriptValueKey + v->Name);
        if (!r) {
            // Not read when it was made: what it holds now is another row's.
            log->Unseen = true;
            return Null();
        }
        then.push_back(&r->Value);
    }
    // Over the values it read then; whatever it changes in them goes with them.
    TScriptValuesKept kept(vars);
    for (size_t i = 0; i < vars.size(); ++i)
        PutValue(vars[i], *then[i]);
    return FExpressionCache->Run(Compiled, AScript);
}

const std::vector<TscCustomVariable*>& TrpReport::ScriptVariables()
{
    if (FScriptVariablesVersion != FScript->ItemsVersion() || !FScriptVariablesKnown) {
        FScriptVariables.clear();
        for (int i = 0; i < FScript->Count(); ++i)
            if (TscCustomVariable* item = FScript->GetItem(i); item && IsPlainVariable(item))
                FScriptVariables.push_back(item);
        FScriptVariablesVersion = FScript->ItemsVersion();
        FScriptVariablesKnown = true;
    }
    return FScriptVariables;
}

Variant TrpReport::LoggedIIF(const Variant& Params, TscScript* AScript)
{
    TPageTextLog* log = PageTextLog;
    const int before = log->PageReads;
    const Variant cond = Calc(ParamText(Params, 0), AScript);
    const bool yes = !VarIsNull(cond) && !VarIsEmpty(cond) && cond.AsBoolean();
    const AnsiString taken = ParamText(Params, yes ? 1 : 2);
    if (log->Replay) {
        // A branch the page number did not go into gives its value as it was.
        if (const TPageTextLog::TRead* r = Recorded(kBranchKey + taken))
            return r->Value;
        return Calc(taken, AScript);
    }
    const bool ofPage = log->PageReads != before;
    int from = log->PageReads;
    Variant v = Calc(taken, AScript);
    log->Reads.push_back({kBranchKey + taken, true, v, log->PageReads != from});
    if (!ofPage)
        return v;
    // Another page takes the other branch: read it now, while the data is this record's.
    // It is only read: what it changes in the script's variables is put back, and what
    // fails in it is not this page's error.
    const AnsiString other = ParamText(Params, yes ? 2 : 1);
    AnsiString error;
    const TrpCompiledExpression* compiled = FExpressionCache->Function(other, error, AScript);
    // A branch that may change anything but script variables (an object, a report
    // variable, a dataset, the program) runs only where it is chosen: made again on a
    // later page it reads the data as it stands then (or keeps its text).
    if (compiled && ScriptReadsOf(*compiled).Runs) {
        // What it reads of the script's variables is recorded, so that it runs over it then.
        for (TscCustomVariable* var : compiled->CallsRoutine ? ScriptVariables() : compiled->Reads)
            log->Reads.push_back({kScriptValueKey + var->Name, true, ValueOf(var), false});
        return v;
    }
    TStringList errors;
    errors.Assign(&Errors);
    try {
        const std::vector<TscCustomVariable*> none;
        const std::vector<TscCustomVariable*>& vars =
            !compiled ? none : ScriptReadsOf(*compiled).CallsRoutine ? ScriptVariables() : compiled->Reads;
        TScriptValuesKept kept(vars);
        from = log->PageReads;
        const Variant o = Calc(other, AScript);
        log->Reads.push_back({kBranchKey + other, true, o, log->PageReads != from});
    } catch (const std::exception&) {
        if (FTerminated)
            throw;
        Errors.Assign(&errors);
    }
    return v;
}

Variant TrpReport::DoUserFunction(TObject*, TClass, const AnsiString& MethodName, Variant& Params)
{
    if (OnUserFunction)
        return OnUserFunction(MethodName, Params);
    return Variant();
}
