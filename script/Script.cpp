// Script.cpp - see Script.h.
#include "script/Script.h"

#include "script/GlobalUnit.h"
#include "script/Messages.h"
#include "script/Stack.h"

#include "platform/classes/Handles.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace {

// Parent chains are short; a longer one is a loop someone made by mistake.
constexpr int kMaxScopeDepth = 4096;

TscCompilerHooks& Hooks()
{
    static TscCompilerHooks hooks;
    return hooks;
}

bool InheritsFromName(TClass cls, std::string_view name)
{
    for (; cls; cls = cls->ClassParent())
        if (AnsiSameText(cls->ClassName(), name))
            return true;
    return false;
}

} // namespace

void scSetCompilerHooks(TscCompilerHooks hooks)
{
    Hooks() = std::move(hooks);
}

// ---------------------------------------------------------------- TscStatement

TscStatement::TscStatement(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos)
    : Script(script), SourcePos(sourcePos), UnitName(unitName)
{
}

namespace {

// The host callback's exception now unwinding, and whether a statement has
// recorded its position yet.
thread_local std::exception_ptr tHostException;
thread_local bool tHostExceptionPlaced = false;

bool IsHostException()
{
    return tHostException && std::current_exception() == tHostException;
}

// Records where a run-time error left a statement, on its script and the
// scripts enclosing it up to the main one.
void PlaceRunError(const TscStatement& stmt)
{
    for (TscScript* s = stmt.Script; s; s = s->Parent) {
        s->RunErrorUnit = stmt.UnitName;
        s->RunErrorPos = stmt.SourcePos;
        if (s->IsMainScript)
            break;
    }
}

} // namespace

void script_detail::NoteHostException()
{
    const std::exception_ptr e = std::current_exception();
    if (e != tHostException) {
        tHostException = e;
        tHostExceptionPlaced = false;
    }
}

void TscStatement::Execute()
{
    TscScript* const script = Script;
    const int last = Count() - 1;
    for (int i = 0; i < last; ++i) {
        if (script->Terminated)
            break;
        RunChild(GetItem(i));
        if (script->BreakRequested | script->ContinueRequested | script->ExitRequested)
            return;
    }
    // After the last statement a flag set ends the list as the end does.
    if (last >= 0 && !script->Terminated)
        RunChild(GetItem(last));
}

void TscStatement::ChildFailed(const TscStatement& child)
{
    try {
        throw;
    } catch (const EScriptRunError&) {
        throw; // already knows where it happened
    } catch (const EAbort&) {
        throw; // the silent exception stays silent
    } catch (...) {
        // A host callback's exception reaches the caller of Execute as the
        // host raised it, so the host can catch its own class; the position
        // goes on the script. The engine's own errors become EScriptRunError.
        if (IsHostException()) {
            if (!tHostExceptionPlaced) {
                tHostExceptionPlaced = true;
                PlaceRunError(child);
            }
            throw;
        }
        PlaceRunError(child);
        try {
            throw;
        } catch (const Exception& e) {
            const auto* own = dynamic_cast<const EScriptError*>(&e);
            throw EScriptRunError(e.Message(), child.UnitName, child.SourcePos, e.ClassName(),
                                  own ? static_cast<int>(own->Id()) : -1);
        } catch (const std::exception& e) {
            throw EScriptRunError(e.what(), child.UnitName, child.SourcePos, "Exception", -1);
        }
    }
}

void TscStatement::RunLineHook()
{
    Script->RunLine(UnitName, SourcePos);
}

// ---------------------------------------------------------------- TscScript

SKLAD_DEFINE_CLASS(TscScript)

void TscScript::Publish(TPropertyTable& t)
{
    t.Prop("Lines", &TscScript::Lines, &TscScript::SetLinesProp);
    t.Prop("SyntaxType", &TscScript::SyntaxType, &TscScript::SyntaxType);
}

TscScript::TscScript(TComponent* AOwner)
    : TComponent(AOwner), FLines(std::make_unique<TStringList>()), FCodeLines(std::make_unique<TStringList>()),
      FMainStatement(std::make_unique<TscStatement>(this, AnsiString(), AnsiString()))
{
    AddHelperItems();
}

TscScript::~TscScript()
{
    Clear();
    ++script_detail::gScopeVersion; // a routine may have found this one as its main script
}

void TscScript::SetLines(const TStrings& value)
{
    FLines->Assign(const_cast<TStrings*>(&value));
}

void TscScript::SetLinesProp(TStrings* value)
{
    if (value)
        SetLines(*value);
    else
        FLines->Clear();
}

void TscScript::AddHelperItems()
{
    Add("__StringHelper", std::make_unique<TscStringHelper>());
    Add("__ArrayHelper", std::make_unique<TscArrayHelper>("__ArrayHelper", -1, fvtVariant, AnsiString()));
}

bool TscScript::NameLess::operator()(const AnsiString& a, const AnsiString& b) const
{
    return AnsiCompareText(a, b) < 0;
}

void TscScript::RebuildOrder() const
{
    FOrder.clear();
    FOrder.reserve(FItems.size());
    for (const auto& e : FItems)
        FOrder.push_back(&e);
    FOrderStale = false;
}

TscCustomVariable* TscScript::Add(const AnsiString& name, std::unique_ptr<TscCustomVariable> item)
{
    if (!item)
        return nullptr;
    if (FItems.count(name))
        return nullptr; // the first stays; the new one is freed on leaving
    item->RegisteredBy = RegisteringOwner;
    TscCustomVariable* raw = item.get();
    FItems.emplace(name, Entry{raw, std::move(item)});
    FOrderStale = true;
    ++FItemsVersion;
    return raw;
}

TscCustomVariable* TscScript::AddLink(const AnsiString& name, TscCustomVariable* item)
{
    if (!item)
        return nullptr;
    if (!FItems.emplace(name, Entry{item, nullptr}).second)
        return nullptr;
    FOrderStale = true;
    ++FItemsVersion;
    return item;
}

std::unique_ptr<TscCustomVariable> TscScript::Remove(TscCustomVariable* item)
{
    const auto it = std::find_if(FItems.begin(), FItems.end(), [item](const auto& e) { return e.second.Item == item; });
    if (it == FItems.end())
        return nullptr;
    std::unique_ptr<TscCustomVariable> owned = std::move(it->second.Owned);
    FItems.erase(it);
    FOrderStale = true;
    ++FItemsVersion;
    return owned;
}

void TscScript::Clear()
{
    // Moved out first: an item's destructor that looks names up finds an empty table.
    Table items = std::move(FItems);
    FItems.clear();
    FOrder.clear();
    FOrderStale = false;
    ++FItemsVersion;
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        it->second.Owned.reset();
    items.clear();
    FMainStatement->Clear();
    ClearCodeLines();
}

void TscScript::ClearItems(const TObject* owner)
{
    RemoveItems(owner);
    FMainStatement->Clear();
    ClearCodeLines();
}

void TscScript::ClearCodeLines()
{
    FCodeLines->Clear();
    FCodeLineUnits.clear();
    FCodeLinesPending = false;
}

void TscScript::RemoveItems(const TObject* owner)
{
    // From the last entry to the first; an item's destructor may remove
    // others, so each is looked up again before it goes.
    std::vector<std::pair<AnsiString, TscCustomVariable*>> doomed;
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
        if (it->second.Item->RegisteredBy == owner)
            doomed.emplace_back(it->first, it->second.Item);
    for (const auto& [name, item] : doomed) {
        const auto it = FItems.find(name);
        if (it == FItems.end() || it->second.Item != item)
            continue;
        std::unique_ptr<TscCustomVariable> owned = std::move(it->second.Owned);
        FItems.erase(it);
        FOrderStale = true;
    ++FItemsVersion;
        owned.reset();
    }
}

TscCustomVariable* TscScript::FindLocal(const AnsiString& name) const
{
    const auto it = FItems.find(name);
    return it != FItems.end() ? it->second.Item : nullptr;
}

TscCustomVariable* TscScript::Find(const AnsiString& name) const
{
    int depth = 0;
    for (const TscScript* s = this; s && depth < kMaxScopeDepth; s = s->Parent, ++depth)
        if (TscCustomVariable* item = s->FindLocal(name))
            return item;
    return nullptr;
}

TscClassVariable* TscScript::FindClass(const AnsiString& name) const
{
    return dynamic_cast<TscClassVariable*>(Find(name));
}

Variant TscScript::GetVariables(const AnsiString& name) const
{
    TscCustomVariable* item = Find(name);
    return item ? item->GetValue() : Null();
}

void TscScript::SetVariables(const AnsiString& name, const Variant& value)
{
    if (TscCustomVariable* item = Find(name))
        item->SetValue(value);
    else
        AddVariable(name, "Variant", value);
}

// ---------------------------------------------------------------- registration

TscCustomVariable* TscScript::AddType(const AnsiString& typeName, TscVarType varType)
{
    if (TscCustomVariable* item = Find(typeName))
        return item;
    return Add(typeName, std::make_unique<TscTypeVariable>(typeName, varType, AnsiString()));
}

TscClassVariable* TscScript::AddClass(TClass classRef, const AnsiString& ancestorName)
{
    if (!classRef || Find(classRef->ClassName()))
        return nullptr;
    auto cls = std::make_unique<TscClassVariable>(classRef, ancestorName);
    cls->Script = this;
    if (TscClassVariable* ancestor = FindClass(ancestorName))
        cls->DefProperty = ancestor->DefProperty;
    return static_cast<TscClassVariable*>(Add(classRef->ClassName(), std::move(cls)));
}

TscCustomVariable* TscScript::AddConst(const AnsiString& name, const AnsiString& typeName, const Variant& value)
{
    if (TscCustomVariable* item = Find(name))
        return item;
    auto v = std::make_unique<TscVariable>(name, StrToVarType(typeName, this), typeName);
    v->Value = value;
    v->ReadOnly = true;
    return Add(name, std::move(v));
}

TscCustomVariable* TscScript::AddVariable(const AnsiString& name, const AnsiString& typeName, const Variant& value)
{
    if (TscCustomVariable* item = Find(name))
        return item;
    auto v = std::make_unique<TscVariable>(name, StrToVarType(typeName, this), typeName);
    v->Value = value;
    return Add(name, std::move(v));
}

TscCustomVariable* TscScript::AddObject(const AnsiString& name, TObject* instance)
{
    if (TscCustomVariable* item = Find(name))
        return item;
    // The object is typed by its own class when that is registered, else by its nearest
    // registered ancestor, so that members declared there reach it.
    AnsiString className = instance ? instance->ClassName() : AnsiString();
    for (TClass c = instance ? instance->ClassType() : nullptr; c; c = c->ClassParent())
        if (FindClass(c->ClassName())) {
            className = c->ClassName();
            break;
        }
    auto v = std::make_unique<TscVariable>(name, fvtClass, className);
    v->Value = ObjectToVariant(instance);
    return Add(name, std::move(v));
}

void TscScript::AddEnumItems(const AnsiString& typeName, const AnsiString& names, bool asSet)
{
    Add(typeName, std::make_unique<TscVariable>(typeName, fvtEnum, typeName));
    int i = 0;
    size_t start = 0;
    for (;;) {
        const auto comma = names.find(',', start);
        const AnsiString entry = Trim(names.substr(start, comma == AnsiString::npos ? AnsiString::npos : comma - start));
        if (!entry.empty()) {
            auto v = std::make_unique<TscVariable>(entry, fvtEnum, typeName);
            if (!asSet)
                v->Value = Variant(i);
            else if (i < 31)
                v->Value = Variant(1 << i);
            else
                v->Value = Variant(static_cast<long long>(1LL << std::min(i, 62)));
            v->ReadOnly = true;
            Add(entry, std::move(v));
        }
        ++i;
        if (comma == AnsiString::npos)
            break;
        start = comma + 1;
    }
}

void TscScript::AddEnum(const AnsiString& typeName, const AnsiString& names)
{
    AddEnumItems(typeName, names, false);
}

void TscScript::AddEnumSet(const AnsiString& typeName, const AnsiString& names)
{
    AddEnumItems(typeName, names, true);
}

TscMethodHelper* TscScript::AddMethod(const AnsiString& syntax, TscCallMethodEvent callEvent,
                                      const AnsiString& category, const AnsiString& description)
{
    auto m = std::make_unique<TscMethodHelper>(syntax, std::move(callEvent), this);
    m->Category = category;
    m->Description = description.empty() ? m->Name : description;
    const AnsiString name = m->Name;
    return static_cast<TscMethodHelper*>(Add(name, std::move(m)));
}

void TscScript::AddComponent(TComponent* component)
{
    if (!component)
        return;
    TscClassVariable* cls = FindClass(component->ClassName());
    if (!cls) {
        if (InheritsFromName(component->ClassType(), "TForm"))
            cls = AddClass(component->ClassType(), "TForm");
        else if (InheritsFromName(component->ClassType(), "TDataModule"))
            cls = AddClass(component->ClassType(), "TDataModule");
        if (!cls)
            return;
    }
    for (int i = 0; i < component->ComponentCount(); ++i)
        cls->AddComponent(component->Components(i));
    AddObject(component->Name(), component);
}

// ---------------------------------------------------------------- compiling and running

bool TscScript::Compile()
{
    ErrorText.clear();
    if (!Hooks().Compile) {
        scGetLanguage(SyntaxType); // an unknown language raises, as with a compiler
        ErrorText = AnsiString(scMessage(TscMessageId::SCompilerMissing));
        return false;
    }
    scRunOnScriptStack([this] { Hooks().Compile(*this); });
    if (ErrorText.empty())
        ErrorPos.clear();
    return ErrorText.empty();
}

void TscScript::Execute()
{
    // A break or continue outside any loop ends the run as exit does; the flags are
    // cleared for the next run like the others.
    BreakRequested = false;
    ContinueRequested = false;
    ExitRequested = false;
    Terminated = false;
    IsMainScript = true;
    RunErrorUnit.clear();
    RunErrorPos.clear();
    struct Reset {
        TscScript* s;
        ~Reset()
        {
            s->BreakRequested = false;
            s->ContinueRequested = false;
            s->ExitRequested = false;
            s->Terminated = false;
        }
    } reset{this};
    scRunOnScriptStack([this] { FMainStatement->Execute(); });
}

bool TscScript::Run()
{
    const bool ok = Compile();
    if (ok)
        Execute();
    return ok;
}

bool TscScript::GetILCode(TStream& stream)
{
    ErrorText.clear();
    if (!Hooks().GetILCode) {
        ErrorText = AnsiString(scMessage(TscMessageId::SCompilerMissing));
        return false;
    }
    scRunOnScriptStack([&] { Hooks().GetILCode(*this, stream); });
    if (ErrorText.empty())
        ErrorPos.clear();
    return ErrorText.empty();
}

bool TscScript::SetILCode(TStream& stream)
{
    ErrorText.clear();
    if (!Hooks().SetILCode) {
        ErrorText = AnsiString(scMessage(TscMessageId::SCompilerMissing));
        return false;
    }
    scRunOnScriptStack([&] { Hooks().SetILCode(*this, stream); });
    if (ErrorText.empty())
        ErrorPos.clear();
    return ErrorText.empty();
}

namespace {

// How many of the supplied values and declared parameters meet: never more
// than either side has.
int ArgumentsToPass(const TscProcVariable* proc, const Variant& params, int& low)
{
    low = 0;
    if (!VarIsArray(params) || VarArrayDimCount(params) != 1)
        return 0;
    low = VarArrayLowBound(params, 1);
    const int supplied = VarArrayHighBound(params, 1) - low + 1;
    return std::max(0, std::min(supplied, proc->ParamCount()));
}

// A host may call a routine while it runs: an event that its own handler raises
// through the host (a band shown from a band's handler). The inner call takes the
// same parameter and local items, so the running call's values are put aside and
// back when the inner one ends, as a recursive call from the script does.
class TReentrySave {
public:
    explicit TReentrySave(TscProcVariable* proc)
    {
        if (!proc->Executing)
            return;
        const TscProcVariable::FrameLayout& frame = proc->Frame();
        FValues.reserve(frame.Values.size());
        for (TscCustomVariable* item : frame.Values)
            FValues.emplace_back(item, item->Value);
        for (TscStringVariable* item : frame.Strings)
            FStrings.emplace_back(item, item->GetValue());
    }
    ~TReentrySave()
    {
        for (auto& [item, value] : FValues)
            item->Value = std::move(value);
        for (auto& [item, text] : FStrings)
            item->SetValue(text);
    }
    TReentrySave(const TReentrySave&) = delete;
    TReentrySave& operator=(const TReentrySave&) = delete;

private:
    std::vector<std::pair<TscCustomVariable*, Variant>> FValues;
    std::vector<std::pair<TscStringVariable*, Variant>> FStrings;
};

} // namespace

Variant TscScript::CallFunction(const AnsiString& name, const Variant& params)
{
    auto* proc = dynamic_cast<TscProcVariable*>(FindLocal(name));
    if (!proc)
        return Null();
    const TReentrySave running(proc);
    int low;
    const int n = ArgumentsToPass(proc, params, low);
    for (int i = 0; i < n; ++i)
        proc->GetParam(i)->SetValue(VarArrayGet(params, {low + i}));
    return proc->GetValue();
}

Variant TscScript::CallFunction1(const AnsiString& name, Variant& params)
{
    auto* proc = dynamic_cast<TscProcVariable*>(FindLocal(name));
    if (!proc)
        return Null();
    const TReentrySave running(proc); // put back after the values are copied out below
    int low;
    const int n = ArgumentsToPass(proc, params, low);
    for (int i = 0; i < n; ++i)
        proc->GetParam(i)->SetValue(VarArrayGet(params, {low + i}));
    Variant r = proc->GetValue();
    for (int i = 0; i < n; ++i)
        VarArrayPut(params, proc->GetParam(i)->GetValue(), {low + i});
    return r;
}

Variant TscScript::Evaluate(const AnsiString& expression)
{
    Variant result = Null();
    TscScript temp(nullptr);
    temp.Parent = CurrentScope ? CurrentScope : this;
    // The expression names this script's items: it is read by this script's rule for
    // identifier characters, so a name in Cyrillic is found here as in the script.
    temp.ExtendedCharset = ExtendedCharset;
    struct RestoreRunLine {
        TscScript* s;
        TscRunLineEvent saved;
        ~RestoreRunLine() { s->OnRunLine = std::move(saved); }
    } restore{this, std::move(OnRunLine)};
    OnRunLine = nullptr;
    temp.Lines()->SetText("function __f__: Variant; begin Result := " + expression + " end; begin end.");
    if (temp.Compile())
        result = temp.CallFunction("__f__", Null());
    else
        result = Variant(temp.ErrorText);
    return result;
}

void TscScript::Terminate()
{
    ExitRequested = true;
    Terminated = true;
    for (const auto& e : FItems)
        if (auto* proc = dynamic_cast<TscProcVariable*>(e.second.Item))
            proc->LocalScript()->Terminate();
}

void TscScript::RunLine(const AnsiString& unitName, const AnsiString& sourcePos)
{
    int depth = 0;
    for (TscScript* s = this; s && depth < kMaxScopeDepth; s = s->Parent, ++depth)
        if (s->OnRunLine) {
            s->OnRunLine(this, unitName, sourcePos);
            return;
        }
}

void TscScript::AddCodeLine(const AnsiString& unitName, const AnsiString& sourcePos)
{
    const AnsiString key = AnsiUpperCase(unitName);
    auto it = FCodeLineUnits.find(key);
    if (it == FCodeLineUnits.end()) {
        CodeLineUnit unit;
        unit.Entry = FCodeLines->Add(unitName + "=");
        unit.Name = unitName;
        it = FCodeLineUnits.emplace(key, std::move(unit)).first;
    }
    CodeLineUnit& unit = it->second;
    AnsiString line = sourcePos.substr(0, sourcePos.find(':'));
    if (!unit.Lines.insert(line).second)
        return;
    unit.Text += line;
    unit.Text += ',';
    unit.Pending = true;
    FCodeLinesPending = true;
}

TStrings* TscScript::CodeLines() const
{
    if (FCodeLinesPending) {
        for (auto& [key, unit] : FCodeLineUnits)
            if (unit.Pending) {
                FCodeLines->Put(unit.Entry, unit.Name + "=" + unit.Text);
                unit.Pending = false;
            }
        FCodeLinesPending = false;
    }
    return FCodeLines.get();
}

bool TscScript::IsExecutableLine(int lineNumber, const AnsiString& unitName) const
{
    const auto it = FCodeLineUnits.find(AnsiUpperCase(unitName));
    return it != FCodeLineUnits.end() && it->second.Lines.count(std::to_string(lineNumber)) > 0;
}
