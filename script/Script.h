// Script.h - TscScript, the unit of the script engine.
//
// A script is one table of named items (variables, constants, types,
// enumerations, host classes, host functions, script procedures), one compiled
// main statement, and the source text with its language name. Scopes nest
// through Parent: scGlobalUnit is the root; a host script hangs under it; every
// script procedure owns a private script for its locals whose parent is the
// script that declared it. Parent and IsMainScript are TscScopeLinks: every store to
// one moves a version on, so a routine finds its main script once and again only after the
// tree has changed (TscProcVariable::MainScript), not by a walk on every call.
//
// The item table is sorted by name without regard to case (CP1251 rules) and
// searched by halving. It owns its items. A name is added once: Add with a name
// that is already present keeps the first item and frees the new one. Find
// walks the parent chain; FindLocal does not.
//
// Items added while RegisteringOwner is set are stamped with it, so the host
// that registered them can take exactly its own out again (RemoveItems).
//
// Compile errors never raise (ErrorText/ErrorPos/ErrorUnit hold the first
// one); run-time errors propagate out of Execute, CallFunction and Evaluate.
#pragma once

#include "script/Items.h"
#include "script/Stack.h"
#include "script/Statement.h"

#include "platform/classes/Classes.h"

#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class TscScript;

namespace script_detail {
// Moves on whenever any script's Parent or IsMainScript is given a value or a script is
// destroyed: what was found by walking the scope tree stays true while it stands still.
inline uint64_t gScopeVersion = 1;
// Moves on whenever a script is destroyed. A call that found its main script when it began
// knows that script is still there while this stands still, and asks ScriptAlive otherwise:
// a host may destroy a main script while one of its routines runs.
inline uint64_t gScriptDeaths = 0;
// True while the script made with serial stands at s (not one made later at its address).
bool ScriptAlive(const TscScript* s, uint64_t serial);
} // namespace script_detail

// A link of the scope tree (Parent, IsMainScript). It reads as the value it holds; every
// store moves script_detail::gScopeVersion on, so no remembered walk can outlive a change.
template <class T>
class TscScopeLink {
public:
    TscScopeLink(T value = T()) : FValue(value) {}
    TscScopeLink(const TscScopeLink&) = delete;
    TscScopeLink& operator=(const TscScopeLink&) = delete;
    TscScopeLink& operator=(T value)
    {
        FValue = value;
        ++script_detail::gScopeVersion;
        return *this;
    }
    operator T() const { return FValue; }
    T operator->() const { return FValue; }

private:
    T FValue;
};

using TscGetUnitEvent = std::function<void(TscScript* Sender, const AnsiString& UnitName, AnsiString& UnitText)>;

class TscScript : public TComponent {
    SKLAD_CLASS(TscScript, TComponent)
public:
    explicit TscScript(TComponent* AOwner);
    ~TscScript() override;

    // Published.
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(const TStrings& value);
    void SetLinesProp(TStrings* value);
    AnsiString SyntaxType = "PascalScript";
    TscGetUnitEvent OnGetILUnit;
    TscGetUnitEvent OnGetUnit;
    TscRunLineEvent OnRunLine;

    // Public state.
    const TObject* RegisteringOwner = nullptr;
    bool BreakRequested = false;
    bool ContinueRequested = false;
    bool ExitRequested = false;
    AnsiString ErrorText;
    AnsiString ErrorPos;
    AnsiString ErrorUnit;
    // Where the last run-time error left a statement: its unit (empty for the
    // main text) and "line:col". Set on the running script and the scripts
    // enclosing it up to the main one; cleared by Execute. A host reads them
    // for an exception of its own, which leaves Execute as it raised it.
    AnsiString RunErrorUnit;
    AnsiString RunErrorPos;
    bool ExtendedCharset = false;
    TscScopeLink<bool> IsMainScript = false;
    TscScopeLink<TscScript*> Parent = nullptr;
    TscScript* CurrentScope = nullptr;
    TscStatement* MainStatement() const { return FMainStatement.get(); }
    // Told apart from any script made before it or after it at the same address.
    uint64_t Serial() const { return FSerial; }
    bool Terminated = false;
    // The executable lines per unit as text, one entry per unit: the unit name,
    // "=", then line numbers each followed by ",". Kept by AddCodeLine, emptied
    // by Clear and ClearItems; hosts read it.
    TStrings* CodeLines() const;

    // The table.
    // Stores item under name; returns it, or nullptr when the name was taken
    // (the new item is freed then and the first one stays).
    TscCustomVariable* Add(const AnsiString& name, std::unique_ptr<TscCustomVariable> item);
    int Count() const { return static_cast<int>(FItems.size()); }
    // Item i in name order.
    TscCustomVariable* GetItem(int i) const { return Ordered()[static_cast<size_t>(i)]->second.Item; }
    const AnsiString& GetItemName(int i) const { return Ordered()[static_cast<size_t>(i)]->first; }
    // Names an item owned elsewhere (a procedure's parameters in its local
    // table); Clear and RemoveItems unlink it without freeing it.
    TscCustomVariable* AddLink(const AnsiString& name, TscCustomVariable* item);
    // Unlinks without freeing and hands the item to the caller (nullptr for a
    // link), who must keep it or free it on purpose.
    [[nodiscard]] std::unique_ptr<TscCustomVariable> Remove(TscCustomVariable* item);
    void Clear();
    void ClearItems(const TObject* owner);
    void RemoveItems(const TObject* owner);
    TscCustomVariable* Find(const AnsiString& name) const;
    TscCustomVariable* FindLocal(const AnsiString& name) const;
    TscClassVariable* FindClass(const AnsiString& name) const;
    // Moves on whenever an item is added to or taken from this table, so a host
    // that remembers what a name found here knows when to look again.
    uint64_t ItemsVersion() const { return FItemsVersion; }

    // Variables[name]: Null when missing; writing a missing name adds a Variant variable.
    Variant GetVariables(const AnsiString& name) const;
    void SetVariables(const AnsiString& name, const Variant& value);

    // Registration. Type names resolve with StrToVarType.
    TscCustomVariable* AddType(const AnsiString& typeName, TscVarType varType);
    TscClassVariable* AddClass(TClass classRef, const AnsiString& ancestorName);
    TscCustomVariable* AddConst(const AnsiString& name, const AnsiString& typeName, const Variant& value);
    TscCustomVariable* AddVariable(const AnsiString& name, const AnsiString& typeName, const Variant& value);
    TscCustomVariable* AddObject(const AnsiString& name, TObject* instance);
    void AddEnum(const AnsiString& typeName, const AnsiString& names);
    void AddEnumSet(const AnsiString& typeName, const AnsiString& names);
    TscMethodHelper* AddMethod(const AnsiString& syntax, TscCallMethodEvent callEvent,
                               const AnsiString& category = AnsiString(),
                               const AnsiString& description = AnsiString());
    void AddForm(TComponent* form) { AddComponent(form); }
    void AddComponent(TComponent* component);

    // Compilation and running. The compiler fills Compile, GetILCode and SetILCode.
    bool Compile();
    void Execute();
    bool Run();
    bool GetILCode(TStream& stream);
    bool SetILCode(TStream& stream);
    Variant CallFunction(const AnsiString& name, const Variant& params);
    Variant CallFunction1(const AnsiString& name, Variant& params);
    Variant Evaluate(const AnsiString& expression);
    void Terminate();
    void RunLine(const AnsiString& unitName, const AnsiString& sourcePos);
    void AddCodeLine(const AnsiString& unitName, const AnsiString& sourcePos);
    bool IsExecutableLine(int lineNumber, const AnsiString& unitName = AnsiString()) const;

private:
    struct Entry {
        TscCustomVariable* Item;
        std::unique_ptr<TscCustomVariable> Owned; // empty for a link
    };
    // Names compare as the locale compares text, ignoring case.
    struct NameLess {
        bool operator()(const AnsiString& a, const AnsiString& b) const;
    };
    using Table = std::map<AnsiString, Entry, NameLess>;
    // The entries in name order, for access by index; rebuilt after a change.
    const std::vector<const Table::value_type*>& Ordered() const
    {
        if (FOrderStale)
            RebuildOrder();
        return FOrder;
    }
    void RebuildOrder() const;
    void AddHelperItems();
    void AddEnumItems(const AnsiString& typeName, const AnsiString& names, bool asSet);
    void AssignParams(class TscProcVariable* proc, const Variant& params);

    // A tree sorted by name: adding to a table of thousands takes a few
    // comparisons, not a shift of the whole table.
    Table FItems;
    mutable std::vector<const Table::value_type*> FOrder;
    mutable bool FOrderStale = false;
    uint64_t FItemsVersion = 0;
    std::unique_ptr<TStringList> FLines;
    std::unique_ptr<TStringList> FCodeLines;
    // Beside the text of CodeLines, by upper-cased unit name: its entry, the
    // line numbers recorded and the text not yet written into the entry. Adding
    // a line is then constant time; CodeLines() writes the text on demand.
    struct CodeLineUnit {
        int Entry = 0;
        AnsiString Name;
        AnsiString Text;
        std::unordered_set<AnsiString> Lines;
        bool Pending = false;
    };
    mutable std::unordered_map<AnsiString, CodeLineUnit> FCodeLineUnits;
    mutable bool FCodeLinesPending = false;
    void ClearCodeLines();
    std::unique_ptr<TscStatement> FMainStatement;
    uint64_t FSerial;
};

// The inline parts of the call path, here because they need the whole TscScript.

inline void TscStatement::RunList()
{
    TscScript* const script = Script;
    const int n = Count();
    if (n == 1) {
        if (!script->Terminated)
            RunChild(GetItem(0));
    } else if (n == 2) { // if ... return ...; return ...
        if (script->Terminated)
            return;
        RunChild(GetItem(0));
        if (script->BreakRequested | script->ContinueRequested | script->ExitRequested | script->Terminated)
            return;
        RunChild(GetItem(1));
    } else {
        TscStatement::Execute();
    }
}

[[gnu::always_inline]] inline void TscProcVariable::CheckCallDepth() const
{
    if (script_detail::gCallDepth >= script_detail::kMaxCallDepth || scStackNearEnd()) [[unlikely]]
        RaiseCallTooDeep();
}

inline bool TscProcVariable::RunsCompact()
{
    if (FCompactState == CompactState::Unknown) [[unlikely]]
        FindCompactBody();
    return FCompactState == CompactState::Compact && !TscRunLineEvent::AnySet();
}

[[gnu::always_inline]] inline Variant TscProcVariable::CallInPlace()
{
    using script_detail::gCallDepth;
    CheckCallDepth();
    TscScript* const local = FLocalScript.get();
    TscScript* const main = MainScript();
    struct Restore {
        TscProcVariable* self;
        TscScript* local;
        TscScript* main;
        TscScript* savedScope;
        uint64_t mainSerial;
        uint64_t deaths;
        bool wasExecuting;
        ~Restore()
        {
            // A break or continue outside any loop ends the call as exit does; none of
            // them may reach the next call.
            local->BreakRequested = false;
            local->ContinueRequested = false;
            local->ExitRequested = false;
            local->Terminated = false;
            // Not into a main script the host destroyed meanwhile.
            if (main && (deaths == script_detail::gScriptDeaths || script_detail::ScriptAlive(main, mainSerial)))
                main->CurrentScope = savedScope;
            self->Executing = wasExecuting;
            --gCallDepth;
        }
    } restore{this, local, main, main ? main->CurrentScope : nullptr, main ? main->Serial() : 0,
              script_detail::gScriptDeaths, Executing};
    Executing = true;
    ++gCallDepth;
    if (main)
        main->CurrentScope = local;

    local->BreakRequested = false;
    local->ContinueRequested = false;
    local->ExitRequested = false;
    local->Terminated = false;
    local->MainStatement()->RunList();
    if (!IsFunc || !RefItem)
        return Null();
    // The Result made with the function is a plain variable: its value is read in place.
    return RefItem == FResult ? FResult->Value : RefItem->GetValue();
}

inline TscScript* TscProcVariable::MainScript()
{
    if (FMainVersion != script_detail::gScopeVersion) [[unlikely]]
        return FindMainScript();
    return FMain;
}

inline const TscProcVariable::FrameLayout& TscProcVariable::Frame()
{
    if (FFrameTableSize != FLocalScript->Count()) [[unlikely]]
        MakeFrame();
    return FFrame;
}

// The compiler's entry points, set by the compiler unit at engine start-up.
// Without them Compile fails with SCompilerMissing.
struct TscCompilerHooks {
    std::function<bool(TscScript& script)> Compile;
    std::function<bool(TscScript& script, TStream& stream)> GetILCode;
    std::function<bool(TscScript& script, TStream& stream)> SetILCode;
};
void scSetCompilerHooks(TscCompilerHooks hooks);
