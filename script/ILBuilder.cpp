// ILBuilder.cpp - the second half of the compiler: IL to program objects
// (see ILParser.h). Each Do* builds one IL element; statements are filled
// completely before they join their list, so a failed compile never leaves a
// half-built statement behind to be run.
#include "script/ILParser.h"

#include "script/Expression.h"
#include "script/GlobalUnit.h"
#include "script/Il.h"
#include "script/Messages.h"
#include "script/Script.h"
#include "script/Statements.h"

#include "platform/classes/Streams.h"
#include "platform/rtl/Cp1251.h"

#include <exception>

namespace {

// Array variables may hold at most this many elements.
constexpr int64_t kMaxArrayElements = 16 * 1024 * 1024;

IlElement El(const TscXMLItem* item)
{
    return IlElementOf(item->Name);
}

TscXMLItem* Child(const TscXMLItem* item, int i)
{
    if (i < 0 || i >= item->Count())
        scRaise(TscMessageId::SBadIL, "<" + item->Name + "> " + std::to_string(i + 1));
    return item->Items(i);
}

AnsiString TextOf(const TscXMLItem* item)
{
    return item->Prop("text");
}

Variant DefaultValue(TscVarType t)
{
    switch (t) {
    case fvtInt:
    case fvtFloat:
    case fvtClass: return Variant(0);
    case fvtBool: return Variant(false);
    case fvtChar:
    case fvtString: return Variant(AnsiString());
    default: return Null();
    }
}

// The designator of one plain variable.
std::unique_ptr<TscDesignator> VariableDesignator(TscScript* script, TscCustomVariable* var, const AnsiString& pos)
{
    TscDesignator general(script);
    general.AddStep(var, pos);
    general.Finalize();
    auto d = std::make_unique<TscVariableDesignator>(script);
    d->Borrow(general);
    return d;
}

// An array the element helper can index in place: one held by a variable or parameter.
bool IsPlainArray(const TscCustomVariable* item)
{
    return (dynamic_cast<const TscVariable*>(item) || dynamic_cast<const TscParamItem*>(item)) &&
           dynamic_cast<const TscArrayHelper*>(item->RefItem);
}

// Frees the object a script created (delete obj).
class TscFreeHelper : public TscCustomHelper {
public:
    TscFreeHelper() : TscCustomHelper("Free", fvtInt, AnsiString()) { ReadOnly = true; }
    Variant GetValue() override
    {
        TObject* obj = script_detail::ResolveInstance(ParentValue, nullptr, true, "Free");
        delete obj;
        return Null();
    }
};

} // namespace

// ---------------------------------------------------------------- checks and lookups

void TscILParser::ErrorPos(const TscXMLItem* item)
{
    SourcePos = item->Prop("pos");
}

TscCustomVariable* TscILParser::Lookup(const TscScript* script, const AnsiString& name) const
{
    if (TscCustomVariable* item = script->Find(name))
        return item;
    // A host that forgot to hang its script under the global unit still gets its types.
    TscScript* global = scGlobalUnit();
    return global && global != script ? global->Find(name) : nullptr;
}

TscClassVariable* TscILParser::FindClass(const AnsiString& name) const
{
    auto* cls = dynamic_cast<TscClassVariable*>(Lookup(Program, name));
    if (!cls)
        scRaise(TscMessageId::SUnknownType, "'" + name + "'");
    return cls;
}

void TscILParser::CheckIdent(TscScript* script, const AnsiString& name)
{
    if (script->FindLocal(name))
        scRaise(TscMessageId::SIdRedeclared, "'" + name + "'");
}

// A parameter found outside the routine's own table, in the table of a routine of this
// program around it: a routine declared inside another names the outer one's parameter.
// A text compiled while the program runs (Evaluate, an expression of a report) in the scope
// of a running routine finds its parameters too, through a program of its own: that reads
// them while the call runs, and keeps nothing past it.
void TscILParser::MarkReadInside(const TscScript* script, const AnsiString& name, TscParamItem* param) const
{
    constexpr int kMaxScopeDepth = 4096;
    int depth = 0;
    for (const TscScript* s = script->Parent; s && s != Program && depth < kMaxScopeDepth; s = s->Parent, ++depth)
        if (s->FindLocal(name) == param) {
            param->ReadAfterCall = true;
            return;
        }
}

TscCustomVariable* TscILParser::FindVar(TscScript* script, const AnsiString& name)
{
    if (TscCustomVariable* item = Lookup(script, name)) {
        if (auto* param = dynamic_cast<TscParamItem*>(item); param && script->FindLocal(name) != item)
            MarkReadInside(script, name, param);
        return item;
    }
    if (NeedDeclareVars)
        scRaise(TscMessageId::SIdUndeclared, "'" + name + "'");
    return script->Add(name, std::make_unique<TscVariable>(name, fvtVariant, "Variant"));
}

uint8_t TscILParser::FindType(const AnsiString& name, TscXMLItem* at)
{
    AnsiString mapped = name;
    // The language's own type names, from the types element of the enclosing program.
    TscXMLItem* program = at;
    while (program && !AnsiSameText(program->Name, "program"))
        program = program->Parent();
    if (program) {
        // The types element is the program's last child: look there first, so
        // that each declaration does not walk the whole program.
        TscXMLItem* types = nullptr;
        for (int i = program->Count() - 1; i >= 0 && !types; --i)
            if (AnsiSameText(program->Items(i)->Name, "types"))
                types = program->Items(i);
        if (!types)
            types = program->FindItem("types");
        if (types)
            for (int i = 0; i < types->Count(); ++i)
                if (AnsiSameText(types->Items(i)->Name, name)) {
                    mapped = types->Items(i)->Prop("type");
                    break;
                }
    }
    const TscCustomVariable* item = Lookup(Program, mapped);
    const TscVarType t = item ? item->VarType : fvtClass;
    if (t == fvtClass)
        FindClass(mapped);
    return t;
}

void TscILParser::CheckTypeCompatibility(const TscCustomVariable* target, TscCustomVariable* source)
{
    // Sets travel as bit masks: a set constructor given to a set becomes one.
    if (auto* e = dynamic_cast<TscExpression*>(source))
        e->ShapeFor(target);
    if (!AssignCompatible(target, source, Program))
        scRaise(TscMessageId::SIncompatibleTypes,
                ": '" + target->GetFullTypeName() + "', '" + source->GetFullTypeName() + "'");
}

TscCustomVariable* TscILParser::AddHidden(TscScript* script, std::unique_ptr<TscCustomVariable> item)
{
    // Hidden items get names no identifier can have, so the table keeps each one.
    AnsiString name;
    do
        name = " #" + std::to_string(++FHiddenCounter);
    while (script->FindLocal(name));
    return script->Add(name, std::move(item));
}

template <class T>
std::unique_ptr<T> TscILParser::NewStmt(TscXMLItem* item, TscScript* script)
{
    const AnsiString pos = item->Prop("pos");
    auto stmt = std::make_unique<T>(script, UnitName, pos);
    Program->AddCodeLine(UnitName, pos);
    return stmt;
}

// ---------------------------------------------------------------- program and statements

void TscILParser::ParseILScript()
{
    WithNames.clear();
    Program->ErrorUnit.clear();
    UnitName.clear();
    try {
        DoProgram(ILScript->Root(), Program);
        Program->ErrorPos.clear();
    } catch (const Exception& e) {
        Program->ErrorText = e.Message().empty() ? AnsiString(e.ClassName()) : e.Message();
        Program->ErrorPos = SourcePos;
        Program->ErrorUnit = UnitName;
    } catch (const std::exception& e) {
        Program->ErrorText = e.what();
        Program->ErrorPos = SourcePos;
        Program->ErrorUnit = UnitName;
    }
}

void TscILParser::DeclareRoutines(TscXMLItem* item, TscScript* script)
{
    for (int i = 0; i < item->Count(); ++i) {
        TscXMLItem* c = item->Items(i);
        switch (El(c)) {
        case IlElement::Procedure: DoProc1(c, script); break;
        case IlElement::Function: DoFunc1(c, script); break;
        case IlElement::CompoundStmt: DeclareRoutines(c, script); break;
        default: break;
        }
    }
}

void TscILParser::DoProgram(TscXMLItem* item, TscScript* script)
{
    TscXMLItem* saved = ILRoot;
    ILRoot = item;
    DeclareRoutines(item, script);
    DoStatements(item, script, script->MainStatement());
    ILRoot = saved;
}

void TscILParser::DoStatements(TscXMLItem* item, TscScript* script, TscStatement* list)
{
    for (int i = 0; i < item->Count(); ++i)
        DoStmt(item->Items(i), script, list);
}

void TscILParser::DoStmt(TscXMLItem* item, TscScript* script, TscStatement* list)
{
    switch (El(item)) {
    case IlElement::AssignStmt: DoAssign(item, script, list); break;
    case IlElement::CallStmt: DoCall(item, script, list, emNone); break;
    case IlElement::Delete: DoCall(item, script, list, emFree); break;
    case IlElement::IfStmt: DoIf(item, script, list); break;
    case IlElement::CaseStmt: DoCase(item, script, list); break;
    case IlElement::ForStmt: DoFor(item, script, list); break;
    case IlElement::VbForStmt: DoVbFor(item, script, list); break;
    case IlElement::CppForStmt: DoCppFor(item, script, list); break;
    case IlElement::WhileStmt: DoWhile(item, script, list); break;
    case IlElement::RepeatStmt: DoRepeat(item, script, list); break;
    case IlElement::TryStmt: DoTry(item, script, list); break;
    case IlElement::Break: list->Add(NewStmt<TscBreakStmt>(item, script)); break;
    case IlElement::Continue: list->Add(NewStmt<TscContinueStmt>(item, script)); break;
    case IlElement::Exit: list->Add(NewStmt<TscExitStmt>(item, script)); break;
    case IlElement::Return: DoReturn(item, script, list); break;
    case IlElement::With: DoWith(item, script, list); break;
    case IlElement::CompoundStmt: DoStatements(item, script, list); break;
    case IlElement::Uses: DoUses(item, script); break;
    case IlElement::Var: DoVar(item, script, list); break;
    case IlElement::Const: DoConst(item, script); break;
    case IlElement::Procedure: DoRoutine2(item, script, false); break;
    case IlElement::Function: DoRoutine2(item, script, true); break;
    default: break; // types, empty, name, parameters, type ...
    }
}

bool TscILParser::DoAssign(TscXMLItem* item, TscScript* script, TscStatement* list, bool returning)
{
    std::unique_ptr<TscDesignator> d = DoDesignator(Child(item, 0), script, emNone);
    int exprAt = 1;
    AnsiString modifier;
    if (El(Child(item, 1)) == IlElement::Modificator) {
        modifier = TextOf(item->Items(1));
        exprAt = 2;
    }
    std::unique_ptr<TscExpression> e = DoExpression(Child(item, exprAt), script);
    if (d->ReadOnly)
        scRaise(TscMessageId::SLeftCantAssigned);
    CheckTypeCompatibility(d.get(), e.get());
    AnsiString op = modifier;
    if (op.empty()) {
        AnsiString opText;
        e->Optimize(d.get(), opText);
        if (opText != " ")
            op = opText;
    }
    if (op == "/") {
        // x /= e on an Integer is refused as x := x / e is: the quotient is real.
        TscVariable quotient("", fvtFloat, "");
        if (!AssignCompatible(d.get(), &quotient, Program))
            scRaise(TscMessageId::SIncompatibleTypes,
                    ": '" + d->GetFullTypeName() + "', '" + quotient.GetFullTypeName() + "'");
    }
    std::unique_ptr<TscAssignmentStmt> stmt;
    const AnsiString pos = item->Prop("pos");
    Program->AddCodeLine(UnitName, pos);
    if (op.empty())
        stmt = returning ? std::make_unique<TscReturnStmt>(script, UnitName, pos)
                         : std::make_unique<TscAssignmentStmt>(script, UnitName, pos);
    else {
        auto assignOp = std::make_unique<TscAssignOpStmt>(script, UnitName, pos, op[0]);
        assignOp->SetOp = !modifier.empty() && e->IsSetMask();
        assignOp->IntegerOp = !assignOp->SetOp && op != "/" && d->VarType == fvtInt && e->Root() &&
                              e->Root()->VarType == fvtInt;
        stmt = std::move(assignOp);
    }
    stmt->Designator = std::move(d);
    stmt->Expression = std::move(e);
    stmt->Optimize();
    list->Add(std::move(stmt));
    return returning && op.empty();
}

void TscILParser::DoCall(TscXMLItem* item, TscScript* script, TscStatement* list, TscEmitOp emit)
{
    auto stmt = NewStmt<TscCallStmt>(item, script);
    stmt->Designator = DoDesignator(Child(item, 0), script, emit);
    if (item->Count() > 1) {
        stmt->Modificator = TextOf(item->Items(1));
        stmt->IntegerStep = stmt->Designator->VarType == fvtInt;
        if (stmt->Designator->ReadOnly)
            scRaise(TscMessageId::SLeftCantAssigned);
    }
    stmt->Optimize();
    list->Add(std::move(stmt));
}

void TscILParser::DoIf(TscXMLItem* item, TscScript* script, TscStatement* list)
{
    auto stmt = NewStmt<TscIfStmt>(item, script);
    stmt->Condition = DoExpression(Child(item, 0), script);
    // An else-if chain comes as a list: each link becomes an if in the else
    // part of the one before, built here in a loop rather than by recursion.
    TscIfStmt* current = stmt.get();
    std::vector<TscIfStmt*> chain{current};
    for (int i = 1; i < item->Count(); ++i) {
        TscXMLItem* c = item->Items(i);
        if (El(c) == IlElement::ThenStmt) {
            DoStatements(c, script, current);
        } else if (El(c) == IlElement::ElseIf) {
            auto link = NewStmt<TscIfStmt>(c, script);
            link->Condition = DoExpression(Child(c, 0), script);
            for (int j = 1; j < c->Count(); ++j)
                if (El(c->Items(j)) == IlElement::ThenStmt)
                    DoStatements(c->Items(j), script, link.get());
            TscIfStmt* next = link.get();
            current->ElseStmt->Add(std::move(link));
            current = next;
            chain.push_back(current);
        } else if (El(c) == IlElement::ElseStmt) {
            DoStatements(c, script, current->ElseStmt.get());
        }
    }
    for (TscIfStmt* s : chain)
        s->Optimize();
    list->Add(std::move(stmt));
}

void TscILParser::DoCase(TscXMLItem* item, TscScript* script, TscStatement* list)
{
    auto stmt = NewStmt<TscCaseStmt>(item, script);
    int first = 0;
    while (first < item->Count() && El(item->Items(first)) == IlElement::SwitchBreak) {
        stmt->BreakEndsCase = true;
        ++first;
    }
    stmt->Condition = DoExpression(Child(item, first), script);
    const int n = item->Count();
    for (int i = first + 1; i < n; ++i) {
        TscXMLItem* c = item->Items(i);
        if (El(c) == IlElement::CaseSelector) {
            if (c->Count() != 2)
                continue; // a label without a statement of its own is dropped
            auto selector = NewStmt<TscCaseSelector>(c, script);
            selector->SetExpr = DoSet(c->Items(0), script);
            DoStmt(c->Items(1), script, selector.get());
            stmt->Add(std::move(selector));
        } else if (i == n - 1) {
            DoStmt(c, script, stmt->ElseStmt.get());
        }
    }
    list->Add(std::move(stmt));
}

void TscILParser::DoWhile(TscXMLItem* item, TscScript* script, TscStatement* list)
{
    auto stmt = NewStmt<TscWhileStmt>(item, script);
    stmt->Condition = DoExpression(Child(item, 0), script);
    for (int i = 1; i < item->Count(); ++i)
        DoStmt(item->Items(i), script, stmt.get());
    list->Add(std::move(stmt));
}

void TscILParser::DoRepeat(TscXMLItem* item, TscScript* script, TscStatement* list)
{
    auto stmt = NewStmt<TscRepeatStmt>(item, script);
    int last = item->Count() - 1;
    if (last >= 0 && El(item->Items(last)) == IlElement::Inverse) {
        stmt->InverseCondition = true;
        --last;
    }
    stmt->Condition = DoExpression(Child(item, last), script);
    for (int i = 0; i < last; ++i)
        DoStmt(item->Items(i), script, stmt.get());
    list->Add(std::move(stmt));
}

namespace {

// The loop variable of a counting for: a plain variable of a numeric or Variant type.
TscCustomVariable* CheckLoopVariable(TscCustomVariable* var)
{
    const bool plain = (dynamic_cast<TscVariable*>(var) && !dynamic_cast<TscStringVariable*>(var)) ||
                       dynamic_cast<TscParamItem*>(var);
    if (!plain || var->ReadOnly || (var->VarType != fvtInt && var->VarType != fvtFloat && var->VarType != fvtVariant))
        scRaise(TscMessageId::SForError);
    return var;
}

} // namespace

void TscILParser::DoFor(TscXMLItem* item, TscScript* script, TscStatement* list)
{
    auto stmt = NewStmt<TscForStmt>(item, script);
    ErrorPos(Child(item, 0));
    stmt->LoopVariable = CheckLoopVariable(FindVar(script, TextOf(item->Items(0))));
    stmt->BeginValue = DoExpression(Child(item, 1), script);
    CheckTypeCompatibility(stmt->LoopVariable, stmt->BeginValue.get());
    int at = 2;
    if (El(Child(item, 2)) == IlElement::Downto) {
        stmt->Down = true;
        at = 3;
    }
    stmt->EndValue = DoExpression(Child(item, at), script);
    CheckTypeCompatibility(stmt->LoopVariable, stmt->EndValue.get());
    for (int i = at + 1; i < item->Count(); ++i)
        DoStmt(item->Items(i), script, stmt.get());
    list->Add(std::move(stmt));
}

void TscILParser::DoVbFor(TscXMLItem* item, TscScript* script, TscStatement* list)
{
    auto stmt = NewStmt<TscVbForStmt>(item, script);
    ErrorPos(Child(item, 0));
    stmt->LoopVariable = CheckLoopVariable(FindVar(script, TextOf(item->Items(0))));
    stmt->BeginValue = DoExpression(Child(item, 1), script);
    CheckTypeCompatibility(stmt->LoopVariable, stmt->BeginValue.get());
    stmt->EndValue = DoExpression(Child(item, 2), script);
    CheckTypeCompatibility(stmt->LoopVariable, stmt->EndValue.get());
    int at = 3;
    if (item->Count() > 3 && El(item->Items(3)) == IlElement::Expr) {
        stmt->Step = DoExpression(item->Items(3), script);
        CheckTypeCompatibility(stmt->LoopVariable, stmt->Step.get());
        at = 4;
    }
    for (int i = at; i < item->Count(); ++i)
        DoStmt(item->Items(i), script, stmt.get());
    list->Add(std::move(stmt));
}

void TscILParser::DoCppFor(TscXMLItem* item, TscScript* script, TscStatement* list)
{
    auto stmt = NewStmt<TscCppForStmt>(item, script);
    DoStmt(Child(item, 0), script, stmt->FirstStmt.get());
    stmt->Condition = DoExpression(Child(item, 1), script);
    DoStmt(Child(item, 2), script, stmt->SecondStmt.get());
    for (int i = 3; i < item->Count(); ++i)
        DoStmt(item->Items(i), script, stmt.get());
    stmt->Optimize();
    list->Add(std::move(stmt));
}

void TscILParser::DoTry(TscXMLItem* item, TscScript* script, TscStatement* list)
{
    auto stmt = NewStmt<TscTryStmt>(item, script);
    for (int i = 0; i < item->Count(); ++i) {
        TscXMLItem* c = item->Items(i);
        switch (El(c)) {
        case IlElement::ExceptStmt:
            stmt->IsExcept = true;
            DoStatements(c, script, stmt->ExceptStmt.get());
            break;
        case IlElement::FinallyStmt:
            DoStatements(c, script, stmt->ExceptStmt.get());
            break;
        default:
            DoStmt(c, script, stmt.get());
            break;
        }
    }
    list->Add(std::move(stmt));
}

void TscILParser::DoReturn(TscXMLItem* item, TscScript* script, TscStatement* list)
{
    if (item->Count() > 0 && El(item->Items(0)) == IlElement::Expr) {
        // return e is Result := e, then exit.
        TscXMLItem* expr = item->Items(0);
        TscXMLItem assign;
        assign.Name = "assignstmt";
        assign.Text = item->Text;
        TscXMLItem* dsgn = assign.Add();
        dsgn->Name = "dsgn";
        dsgn->SetProp("pos", expr->Prop("pos"));
        TscXMLItem* node = dsgn->Add();
        node->Name = "node";
        node->SetProp("text", "Result");
        node->SetProp("pos", expr->Prop("pos"));
        assign.Add()->Assign(expr);
        if (DoAssign(&assign, script, list, true)) {
            // The exit is in the assignment; its line is still one a host can stop at.
            Program->AddCodeLine(UnitName, item->Prop("pos"));
            return;
        }
    }
    list->Add(NewStmt<TscExitStmt>(item, script));
}

void TscILParser::DoWith(TscXMLItem* item, TscScript* script, TscStatement* list)
{
    const int n = item->Count();
    // The body is the last child unless it is missing (with X do ;): then
    // every designator is an object to check all the same.
    const bool hasBody = n > 0 && El(item->Items(n - 1)) != IlElement::Dsgn;
    const int objects = hasBody ? n - 1 : n;
    size_t pushed = 0;
    for (int i = 0; i < objects; ++i) {
        TscXMLItem* c = item->Items(i);
        if (El(c) != IlElement::Dsgn)
            continue;
        std::unique_ptr<TscDesignator> d = DoDesignator(c, script, emNone);
        if (d->VarType != fvtClass && d->VarType != fvtVariant)
            scRaise(TscMessageId::SClassRequired);
        // The hidden variable is named by a number: no identifier can clash
        // with it. Numbers are never reused in one compilation, so finding a
        // free one does not grow with the number of withs.
        AnsiString name;
        do
            name = std::to_string(FWithCounter++);
        while (script->FindLocal(name));
        TscCustomVariable* var = script->Add(name, std::make_unique<TscVariable>(name, d->VarType, d->TypeName));
        auto stmt = NewStmt<TscWithStmt>(c, script);
        stmt->Designator = std::move(d);
        stmt->WithVariable = var;
        size_t runStart = WithNames.size();
        if (pushed > 0 && WithNames.back().Variable->VarType == var->VarType &&
            AnsiSameText(WithNames.back().Variable->TypeName, var->TypeName))
            runStart = WithNames.back().RunStart;
        WithNames.push_back({name, stmt.get(), var, runStart});
        ++pushed;
        list->Add(std::move(stmt));
    }
    struct Pop {
        std::vector<WithEntry>& names;
        size_t count;
        ~Pop() { names.resize(names.size() - count); }
    } pop{WithNames, pushed};
    if (hasBody)
        DoStmt(item->Items(n - 1), script, list);
}

void TscILParser::DoUses(TscXMLItem* item, TscScript* script)
{
    const AnsiString saved = UnitName;
    UnitName = item->Prop("unit");
    // An error leaves the unit's name in place: it names where the error lies.
    struct Restore {
        AnsiString& name;
        AnsiString saved;
        int unwinding = std::uncaught_exceptions();
        ~Restore()
        {
            if (std::uncaught_exceptions() == unwinding)
                name = saved;
        }
    } restore{UnitName, saved};
    AnsiString il;
    if (Program->OnGetILUnit)
        Program->OnGetILUnit(Program, UnitName, il);
    if (!il.empty()) {
        TscXMLDocument doc;
        TStringStream stream(il);
        doc.LoadFromStream(stream);
        DoProgram(doc.Root(), script);
        return;
    }
    for (int i = 0; i < item->Count(); ++i)
        DoProgram(item->Items(i), script);
}

// ---------------------------------------------------------------- declarations

std::unique_ptr<TscCustomVariable> TscILParser::CreateVar(TscXMLItem* item, int identIndex, TscScript* script,
                                                         bool param, bool varParam, TscXMLItem*& init)
{
    const AnsiString name = TextOf(item->Items(identIndex));
    AnsiString typeName = "Variant";
    // The parts after a list of names (a, b, c: T = 1) serve every name of it;
    // they are found once per declaration, so a long list is built in one pass.
    if (FDeclParts.Item != item) {
        FDeclParts.Item = item;
        FDeclParts.TypeAt = item->Find("type");
        const int n = item->Count();
        FDeclParts.LastArray.assign(n + 1, -1);
        FDeclParts.LastInit.assign(n + 1, -1);
        for (int j = n - 1; j >= 0; --j) {
            const IlElement el = El(item->Items(j));
            FDeclParts.LastArray[j] = FDeclParts.LastArray[j + 1] >= 0 ? FDeclParts.LastArray[j + 1]
                                      : el == IlElement::Array      ? j
                                                                    : -1;
            FDeclParts.LastInit[j] = FDeclParts.LastInit[j + 1] >= 0 ? FDeclParts.LastInit[j + 1]
                                     : el == IlElement::Init       ? j
                                                                   : -1;
        }
    }
    const int typeAt = FDeclParts.TypeAt;
    if (typeAt >= 0) {
        ErrorPos(item->Items(typeAt));
        typeName = TextOf(item->Items(typeAt));
    }
    TscVarType varType = static_cast<TscVarType>(FindType(typeName, item));
    Variant value = DefaultValue(varType);
    init = nullptr;
    TscXMLItem* array = nullptr;
    const bool typeFirst = typeAt == 0;
    if (!typeFirst) {
        // The last array and initial value after the name, as the scan below finds them.
        const int a = FDeclParts.LastArray[identIndex + 1], i = FDeclParts.LastInit[identIndex + 1];
        array = a >= 0 ? item->Items(a) : nullptr;
        init = i >= 0 ? item->Items(i) : nullptr;
    }
    for (int j = identIndex + 1; typeFirst && j < item->Count(); ++j) {
        TscXMLItem* c = item->Items(j);
        const IlElement el = El(c);
        if (typeFirst && el == IlElement::Ident)
            break; // C++Script: what follows belongs to the next name
        if (el == IlElement::Array)
            array = c;
        else if (el == IlElement::Init)
            init = c;
    }

    std::unique_ptr<TscArrayHelper> helper;
    if (array) {
        std::vector<int> bounds;
        int64_t elements = 1;
        for (int k = 0; k < array->Count(); ++k) {
            TscXMLItem* dim = array->Items(k);
            if (El(dim) != IlElement::Dim)
                continue;
            ErrorPos(dim);
            int lo = 0, hi;
            if (dim->Count() >= 2) {
                lo = DoExpression(dim->Items(0), script)->GetValue().AsInteger();
                hi = DoExpression(dim->Items(1), script)->GetValue().AsInteger();
            } else {
                hi = DoExpression(Child(dim, 0), script)->GetValue().AsInteger() - 1;
            }
            if (bounds.size() >= 6)
                scRaise(TscMessageId::SArrayBounds);
            // The bounds printed are those this dimension could have had.
            const int64_t room = kMaxArrayElements / elements;
            if (hi < lo || int64_t(hi) - lo + 1 > room)
                scRaiseIndex(TscMessageId::SArrayIndex, hi, lo, static_cast<int>(std::min<int64_t>(lo + room - 1, INT32_MAX)));
            elements *= int64_t(hi) - lo + 1;
            bounds.push_back(lo);
            bounds.push_back(hi);
        }
        if (bounds.empty())
            bounds = {0, 0};
        value = VarArrayCreate(std::span<const int>(bounds), varVariant);
        helper = std::make_unique<TscArrayHelper>(AnsiString(), static_cast<int>(bounds.size() / 2), varType, typeName);
        varType = fvtArray;
    }

    std::unique_ptr<TscCustomVariable> v;
    if (param)
    {
        auto p = std::make_unique<TscParamItem>(name, varType, typeName, init != nullptr, varParam);
        p->TakesDeclaredType = true;
        v = std::move(p);
    }
    else if (varType == fvtChar || varType == fvtString)
        v = std::make_unique<TscStringVariable>(name, varType, typeName);
    else
        v = std::make_unique<TscVariable>(name, varType, typeName);
    v->SetValue(value);
    if (helper)
        v->RefItem = AddHidden(script, std::move(helper));
    return v;
}

void TscILParser::DoVar(TscXMLItem* item, TscScript* script, TscStatement* list)
{
    FDeclParts.Item = nullptr;
    for (int i = 0; i < item->Count(); ++i) {
        TscXMLItem* c = item->Items(i);
        if (El(c) != IlElement::Ident)
            continue;
        ErrorPos(c);
        const AnsiString name = TextOf(c);
        TscCustomVariable* existing = script->FindLocal(name);
        TscXMLItem* init = nullptr;
        TscCustomVariable* var;
        if (existing && !NeedDeclareVars && dynamic_cast<TscVariable*>(existing)) {
            // Languages without declarations may say "var x" twice; it is one variable.
            std::unique_ptr<TscCustomVariable> fresh = CreateVar(item, i, script, false, false, init);
            var = existing;
        } else {
            CheckIdent(script, name);
            std::unique_ptr<TscCustomVariable> created = CreateVar(item, i, script, false, false, init);
            var = script->Add(name, std::move(created));
        }
        if (init && list) {
            // The initial value is assigned where the declaration stands, each time it is reached.
            const AnsiString pos = init->Prop("pos");
            std::unique_ptr<TscExpression> e = DoExpression(Child(init, 0), script);
            CheckTypeCompatibility(var, e.get());
            auto stmt = std::make_unique<TscAssignmentStmt>(script, UnitName, pos);
            Program->AddCodeLine(UnitName, pos);
            stmt->Designator = VariableDesignator(script, var, pos);
            stmt->Expression = std::move(e);
            stmt->Optimize();
            list->Add(std::move(stmt));
        }
    }
}

void TscILParser::DoConst(TscXMLItem* item, TscScript* script)
{
    ErrorPos(Child(item, 0));
    const AnsiString name = TextOf(item->Items(0));
    CheckIdent(script, name);
    std::unique_ptr<TscExpression> e = DoExpression(Child(item, 1), script);
    auto c = std::make_unique<TscVariable>(name, e->VarType, e->TypeName);
    c->Value = e->GetValue();
    c->ReadOnly = true;
    script->Add(name, std::move(c));
}

void TscILParser::DoProc1(TscXMLItem* item, TscScript* script)
{
    ErrorPos(Child(item, 0));
    const AnsiString name = TextOf(item->Items(0));
    CheckIdent(script, name);
    auto* proc = static_cast<TscProcVariable*>(
        script->Add(name, std::make_unique<TscProcVariable>(name, fvtInt, AnsiString(), script, false)));
    for (int i = 1; i < item->Count(); ++i)
        if (El(item->Items(i)) == IlElement::Parameters)
            DoParameters(item->Items(i), proc);
}

void TscILParser::DoFunc1(TscXMLItem* item, TscScript* script)
{
    AnsiString name, typeName;
    // A function without a declared result type (JScript, BasicScript) returns any value.
    TscVarType varType = fvtVariant;
    bool named = false;
    for (int i = 0; i < item->Count(); ++i) {
        TscXMLItem* c = item->Items(i);
        ErrorPos(c);
        if (El(c) == IlElement::Type) {
            typeName = TextOf(c);
            varType = static_cast<TscVarType>(FindType(typeName, item));
        } else if (El(c) == IlElement::Name) {
            name = TextOf(c);
            CheckIdent(script, name);
            named = true;
        }
    }
    if (!named)
        scRaise(TscMessageId::SBadIL, "<function>");
    const bool isFunc = !AnsiSameText(typeName, "void");
    auto* proc = static_cast<TscProcVariable*>(
        script->Add(name, std::make_unique<TscProcVariable>(name, varType, typeName, script, isFunc)));
    for (int i = 0; i < item->Count(); ++i)
        if (El(item->Items(i)) == IlElement::Parameters)
            DoParameters(item->Items(i), proc);
}

void TscILParser::DoParameters(TscXMLItem* item, TscProcVariable* proc)
{
    FDeclParts.Item = nullptr;
    bool groupByRef = false;
    for (int i = 0; i < item->Count(); ++i) {
        TscXMLItem* group = item->Items(i);
        if (El(group) == IlElement::VarParams) {
            groupByRef = true;
            continue;
        }
        if (El(group) != IlElement::Var)
            continue;
        bool nextByRef = false;
        for (int k = 0; k < group->Count(); ++k) {
            TscXMLItem* c = group->Items(k);
            if (El(c) == IlElement::VarParam) {
                nextByRef = true;
                continue;
            }
            if (El(c) != IlElement::Ident)
                continue;
            ErrorPos(c);
            CheckIdent(proc->LocalScript(), TextOf(c));
            TscXMLItem* init = nullptr;
            std::unique_ptr<TscCustomVariable> v =
                CreateVar(group, k, proc->LocalScript(), true, groupByRef || nextByRef, init);
            nextByRef = false;
            auto* p = static_cast<TscParamItem*>(v.get());
            if (init) {
                // A default value is computed now and must suit the parameter's type.
                std::unique_ptr<TscExpression> e = DoExpression(Child(init, 0), proc->LocalScript());
                CheckTypeCompatibility(p, e.get());
                p->Value = e->GetValue();
            }
            p->DefValue = p->Value;
            proc->AddProcParam(std::unique_ptr<TscParamItem>(static_cast<TscParamItem*>(v.release())));
        }
        groupByRef = false;
    }
}

void TscILParser::DoRoutine2(TscXMLItem* item, TscScript* script, bool isFunction)
{
    AnsiString name;
    if (isFunction) {
        const int at = item->Find("name");
        name = at >= 0 ? TextOf(item->Items(at)) : AnsiString();
    } else {
        name = TextOf(Child(item, 0));
    }
    auto* proc = dynamic_cast<TscProcVariable*>(script->FindLocal(name));
    if (!proc) {
        // Declared inside a statement other than a block, so not known before
        // this point: it is declared where it stands (a name already in use
        // here is reported as redeclared).
        if (isFunction)
            DoFunc1(item, script);
        else
            DoProc1(item, script);
        proc = dynamic_cast<TscProcVariable*>(script->FindLocal(name));
        if (!proc)
            return;
    }
    DoProgram(item, proc->LocalScript());
}

// ---------------------------------------------------------------- expressions and designators

AnsiString TscILParser::SourceTextOf(const TscXMLItem* expr) const
{
    const TscParser* text = &Parser;
    if (!UnitName.empty()) {
        const auto it = FUnitTexts.find(UnitName);
        if (it == FUnitTexts.end())
            return AnsiString();
        text = it->second.get();
    }
    try {
        const TscPoint a = scPosToPoint(expr->Prop("pos"));
        const TscPoint b = scPosToPoint(expr->Prop("pos1"));
        const int from = text->GetPlainPosition(a.X, a.Y);
        const int to = text->GetPlainPosition(b.X, b.Y);
        if (from < 1 || to < from || to > text->Size() + 1)
            return AnsiString();
        return text->Text().substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from));
    } catch (const Exception&) {
        return AnsiString();
    }
}

void TscILParser::AddExpressionItems(TscXMLItem* item, TscScript* script, TscExpression& e)
{
    for (int i = 0; i < item->Count(); ++i) {
        TscXMLItem* c = item->Items(i);
        ErrorPos(c);
        e.SourcePos = SourcePos;
        switch (El(c)) {
        case IlElement::Op: e.AddOperator(AnsiLowerCase(TextOf(c))); break;
        case IlElement::Number:
        case IlElement::String: e.AddConst(ParserStringToVariant(TextOf(c))); break;
        case IlElement::Dsgn: e.AddDesignator(BindConstantCall(DoDesignator(c, script, emNone), script)); break;
        case IlElement::Set: e.AddSet(DoSet(c, script)); break;
        case IlElement::New: e.AddDesignator(DoDesignator(Child(c, 0), script, emCreate)); break;
        case IlElement::Expr: AddExpressionItems(c, script, e); break;
        default: break;
        }
    }
}

std::unique_ptr<TscExpression> TscILParser::DoExpression(TscXMLItem* item, TscScript* script)
{
    auto e = std::make_unique<TscExpression>(Program);
    ErrorPos(item);
    e->SourcePos = SourcePos;
    AddExpressionItems(item, script, *e);
    e->SourceText = SourceTextOf(item);
    AnsiString conflict;
    e->Finalize(conflict);
    if (!conflict.empty()) {
        SourcePos = conflict;
        scRaise(TscMessageId::SIncompatibleTypes);
    }
    e->SourcePos = item->Prop("pos");
    return e;
}

std::unique_ptr<TscSetExpression> TscILParser::DoSet(TscXMLItem* item, TscScript* script)
{
    auto set = std::make_unique<TscSetExpression>();
    for (int i = 0; i < item->Count(); ++i) {
        TscXMLItem* c = item->Items(i);
        if (El(c) == IlElement::Expr)
            set->AddEntry(DoExpression(c, script));
        else if (El(c) == IlElement::Range)
            set->AddEntry(nullptr);
    }
    return set;
}

bool TscILParser::ResolveWith(const AnsiString& name, TscScript* script, TscDesignator& d)
{
    // From the innermost object out. The objects of a run have one type and one
    // scope: when the innermost of them lacks the name, so do the others, and
    // the run is passed over whole (with a, a, a, ... do stays linear).
    for (size_t i = WithNames.size(); i-- > 0; i = WithNames[i].RunStart) {
        const WithEntry* it = &WithNames[i];
        if (Lookup(script, it->Name) != it->Variable)
            continue; // not visible from here
        TscCustomVariable* var = it->Variable;
        if (var->VarType == fvtVariant) {
            if (Lookup(script, name))
                return false;
            d.AddStep(var, SourcePos);
            d.AddStep(AddHidden(script, std::make_unique<TscLateMember>(name)), SourcePos);
            return true;
        }
        TscClassVariable* cls = FindClass(var->TypeName);
        if (TscCustomVariable* member = cls->Find(name)) {
            d.AddStep(var, SourcePos);
            d.AddStep(member, SourcePos);
            return true;
        }
    }
    return false;
}

std::unique_ptr<TscDesignator> TscILParser::DoDesignator(TscXMLItem* item, TscScript* script, TscEmitOp emit)
{
    auto d = std::make_unique<TscDesignator>(script);
    const int n = item->Count();
    if (n > 0 && El(item->Items(0)) == IlElement::Addr) {
        // @Name: the name of a routine as a string (event handlers).
        ErrorPos(item->Items(0));
        if (n != 2 || El(item->Items(1)) != IlElement::Node)
            scRaise(TscMessageId::SVarRequired);
        auto s = std::make_unique<TscStringVariable>(AnsiString(), fvtString, "String");
        s->SetValue(Variant(TextOf(item->Items(1))));
        s->ReadOnly = true;
        d->AddStep(AddHidden(script, std::move(s)), SourcePos);
        d->Finalize();
        auto v = std::make_unique<TscVariableDesignator>(script);
        v->Borrow(*d);
        return v;
    }
    for (int i = 0; i < n; ++i) {
        TscXMLItem* c = item->Items(i);
        ErrorPos(c);
        const IlElement el = El(c);
        if (el == IlElement::Expr) {
            TscDesignatorItem* step = d->LastStep();
            if (!step)
                scRaise(TscMessageId::SBadIL, "<dsgn>");
            step->AddArgument(DoExpression(c, script));
            if (auto* m = dynamic_cast<TscMethodHelper*>(step->Ref); m && m->IsIndexMethod)
                step->Indexed = true;
            continue;
        }
        if (el == IlElement::Addr)
            scRaise(TscMessageId::SVarRequired);
        if (el != IlElement::Node)
            continue;
        const AnsiString text = TextOf(c);
        if (d->StepCount() == 0) {
            if (!ResolveWith(text, script, *d))
                d->AddStep(FindVar(script, text), SourcePos);
            if (emit == emCreate) {
                auto* cls = dynamic_cast<TscClassVariable*>(d->LastStep()->Ref);
                if (!cls || d->StepCount() != 1)
                    scRaise(TscMessageId::SClassRequired);
                TscCustomVariable* create = cls->Find("Create");
                if (!create)
                    scRaise(TscMessageId::SIdUndeclared, "'Create'");
                d->AddStep(create, SourcePos);
            }
            continue;
        }
        TscDesignatorItem* prev = d->LastStep();
        TscCustomVariable* pi = prev->Ref;
        if (auto* m = dynamic_cast<TscMethodHelper*>(pi); m && m->IsIndexMethod && !prev->Indexed) {
            if (text != "[")
                scRaise(TscMessageId::SIndexRequired);
            prev->Indexed = true;
            continue;
        }
        const bool index = text == "[";
        if (pi->VarType == fvtVariant || dynamic_cast<TscLateMember*>(pi)) {
            // Decided by the value at run time. obj.Items[i] gives the index to
            // the member, which may be an indexed property (Strings[i]) or a
            // value to index (Lines[i], Caption[i]).
            if (auto* late = dynamic_cast<TscLateMember*>(pi);
                late && index && late->Name != "[" && prev->Count() == 0 && !prev->Indexed) {
                prev->Indexed = true;
                continue;
            }
            d->AddStep(AddHidden(script, std::make_unique<TscLateMember>(text)), SourcePos);
            continue;
        }
        TscVarType piType = pi->VarType;
        AnsiString piTypeName = pi->TypeName;
        if (piType == fvtConstructor) {
            // TStringList.Create.ClassName: a constructor yields its class.
            piType = fvtClass;
            if (d->StepCount() >= 2)
                piTypeName = d->Step(d->StepCount() - 2)->Ref->TypeName;
        }
        switch (piType) {
        case fvtString:
        case fvtChar:
            if (!index)
                scRaise(TscMessageId::SStringError);
            // A character of a character (s[i][1]) needs a helper of its own: one
            // helper cannot hold both indexes, nor write back into itself.
            if (dynamic_cast<TscStringHelper*>(pi))
                d->AddStep(AddHidden(script, std::make_unique<TscStringHelper>()), SourcePos);
            else
                d->AddStep(Lookup(script, "__StringHelper"), SourcePos);
            break;
        case fvtClass: {
            TscClassVariable* cls = FindClass(piTypeName);
            if (index) {
                if (!cls->DefProperty)
                    scRaise(TscMessageId::SClassError, cls->Name);
                d->AddStep(cls->DefProperty, SourcePos)->Indexed = true;
            } else {
                TscCustomVariable* member = cls->Find(text);
                if (!member)
                    scRaise(TscMessageId::SIdUndeclared, "'" + text + "'");
                d->AddStep(member, SourcePos);
            }
            break;
        }
        case fvtArray:
            if (!index)
                scRaise(TscMessageId::SIndexRequired);
            if (IsPlainArray(pi))
                d->AddStep(pi->RefItem, SourcePos);
            else
                d->AddStep(AddHidden(script, std::make_unique<TscLateMember>(text)), SourcePos);
            break;
        default:
            scRaise(TscMessageId::SArrayRequired);
        }
    }
    if (d->StepCount() == 0)
        scRaise(TscMessageId::SBadIL, "<dsgn>");
    if (emit == emFree) {
        const TscVarType t = d->LastStep()->Ref->VarType;
        if (t != fvtClass && t != fvtVariant && t != fvtConstructor)
            scRaise(TscMessageId::SClassRequired);
        TscCustomVariable* free = nullptr;
        if (auto* obj = dynamic_cast<TscClassVariable*>(Lookup(Program, "TObject")))
            free = obj->Find("Free");
        if (!free)
            free = AddHidden(script, std::make_unique<TscFreeHelper>());
        d->AddStep(free, SourcePos);
    }
    d->Finalize();
    CheckArguments(*d);
    std::unique_ptr<TscDesignator> special;
    switch (d->Kind) {
    case dkVariable: special = std::make_unique<TscVariableDesignator>(script); break;
    case dkStringArray: special = std::make_unique<TscStringDesignator>(script); break;
    case dkArray: special = std::make_unique<TscArrayDesignator>(script); break;
    default: return d;
    }
    special->Borrow(*d);
    return special;
}

namespace {

// A bound call: one step without arguments, read straight from the item its host gave
// instead of walking the steps.
class TscBoundDesignator final : public TscDesignator {
public:
    TscBoundDesignator(TscScript* script, TscCustomVariable* item, const AnsiString& sourcePos)
        : TscDesignator(script), FItem(item)
    {
        AddStep(item, sourcePos);
        Finalize();
    }
    Variant GetValue() override { return FItem->GetValue(); }
    TscCustomVariable* Item() const { return FItem; }

private:
    TscCustomVariable* FItem; // the only step's item
};

} // namespace

TscNumberSource* scNumberSourceOf(TscCustomVariable* valueSource)
{
    TscCustomVariable* item = valueSource;
    if (item && typeid(*item) == typeid(TscBoundDesignator))
        item = static_cast<TscBoundDesignator*>(item)->Item(); // its GetValue is the item's
    return dynamic_cast<TscNumberSource*>(item);
}

// A host function read in an expression with nothing but constants, when its host binds
// such calls (TscMethodHelper::OnBind): the item the host gives stands in for the call.
std::unique_ptr<TscDesignator> TscILParser::BindConstantCall(std::unique_ptr<TscDesignator> d, TscScript* script)
{
    if (d->StepCount() != 1)
        return d;
    TscDesignatorItem* step = d->Step(0);
    auto* m = dynamic_cast<TscMethodHelper*>(step->Ref);
    if (!m || !m->OnBind || m->ClassRef || m->IsIndexMethod || m->VarType == fvtConstructor)
        return d;
    std::vector<Variant> args;
    for (int j = 0; j < step->Count(); ++j) {
        const Variant* v = step->GetItem(j)->ConstValue();
        if (!v)
            return d;
        args.push_back(*v);
    }
    std::unique_ptr<TscCustomVariable> item = m->OnBind(args);
    if (!item)
        return d;
    // Typed as the call, so the expression around it compiles exactly as before.
    item->VarType = m->VarType;
    item->TypeName = m->TypeName;
    item->ReadOnly = m->ReadOnly;
    TscCustomVariable* stand = AddHidden(script, std::move(item));
    if (!stand)
        return d;
    return std::make_unique<TscBoundDesignator>(script, stand, step->SourcePos);
}

void TscILParser::CheckArguments(TscDesignator& d)
{
    for (int i = 0; i < d.StepCount(); ++i) {
        TscDesignatorItem* step = d.Step(i);
        TscCustomVariable* ref = step->Ref;
        if (dynamic_cast<TscDesignator*>(ref) || dynamic_cast<TscLateMember*>(ref))
            continue;
        SourcePos = step->SourcePos;
        const int params = ref->ParamCount();
        if (step->Count() < ref->GetNumberOfRequiredParams())
            scRaise(TscMessageId::SNotEnoughParams);
        if (step->Count() > params)
            scRaise(TscMessageId::STooManyParams);
        for (int j = step->Count(); j < params; ++j) {
            auto e = std::make_unique<TscExpression>(Program);
            e->SourcePos = SourcePos;
            e->AddConst(ref->GetParam(j)->DefValue);
            AnsiString ignored;
            e->Finalize(ignored);
            step->AddArgument(std::move(e));
        }
        for (int j = 0; j < params; ++j) {
            SourcePos = step->GetItem(j)->SourcePos;
            CheckTypeCompatibility(ref->GetParam(j), step->GetItem(j));
        }
    }
}
