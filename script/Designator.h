// Designator.h - names with their steps, and set constructors.
//
// A designator is the run-time form of Report.Pages, List.Items[i].Caption,
// Max(a, b), s[3], arr[i, j] or TStringList.Create. The compiler resolves each
// step to an item and builds the step list; DoCalc walks it, hands each member
// the value before it, passes arguments and either returns the last value or
// assigns to the last step. Plain variables, characters of string variables and
// elements of array variables get shortcut classes that skip the walk.
//
// A step whose item is a TscLateMember is resolved against the value it is
// applied to each time it runs (a member of whatever object a Variant holds, an
// index into whatever string or array it holds): that is late binding.
//
// Writing back: a character or an element assigned at the last step goes into
// the value of the step before, which goes into the one before that, and so on
// (Thing.Caption[2][1], v[0][2][1]). Each of those steps is written back as it
// was read, whatever an index further on ran in between.
//
// Recursion: a call of a procedure that is already running saves its locals
// and parameters and puts them back afterwards, also when the call raises, so
// the caller's frame survives an exception caught further out. Var parameters
// reach the caller's arguments after its frame is back, so a recursive call
// that changes one (Count(n - 1, acc)) changes the caller's acc.
//
// Texts given to a script routine cost no copy per call, so a script that grows a text
// through routines stays linear. A var parameter given a String variable borrows the
// variable's text while the call runs (TscStringVariable, Items.h): the routine appends to
// it in place, while the variable, read during the call or after a call that failed, is
// what it was, and the write back at the end sets it as ever. When a call of a routine that
// was not running ends, its parameters let go of the texts and arrays they hold (after the
// write back): nothing reads them before the next call passes new values, and held they
// would make the caller's next append to that variable (s := s + 'x'; P(s)) copy it. During
// the call they keep them, where hosts read them by name.
//
// Speed: each step knows what its item is (found once per item, not by a type
// test per evaluation). A designator that is one call of a script routine skips
// the walk, and so do the read and the write of a host member of an object named by one
// step (Obj.Add(x), Obj.Total, Obj.Cells[1, 2], Obj.Total := n): the same calls in the
// same order, written out for two steps; arguments are handled out of line, so a member
// without them pays for none. An object held in a plain variable is handed to the member
// from the variable's value in place. Obj.Prop of a published property that way is known
// once per pair of items: an Integer operator above reads its Integer without a Variant
// (ReadMemberInt), and an assignment of an Integer or Int64 result writes it so
// (SetInteger, SetNumber), with the same host calls as the walk makes. Those keep the object
// and the property record the member found, with the address of an Integer field published
// as one data member (KeptProperty): the next read or write of the same live object takes
// them after a test of the handle, the count of handle deaths and the member's name. A host
// method called through a step knows it is one from the step (MethodOfRef), not from a type
// test per call, and a number argument goes into its parameter as the number it computes.
// With arguments too, an object held in a plain variable is read from its value in place
// (before the arguments, which may give the variable another object); and when no argument
// reached a var parameter and no parameter is left holding a text or an array (numbers, the
// usual case), the call has nothing to finish and goes back without the step that writes
// var parameters back and lets texts go.
// A call step keeps the call's shape (how many arguments reach
// parameters, whether a var parameter takes one), found again only when the
// routine or the counts change; the call's body (TscProcVariable::CallInPlace) runs
// inside that path, not behind another call. An argument whose tree always computes
// an Integer goes into a parameter that keeps Integers as a plain number, and any other
// number tree into a parameter that keeps what it is given as the number it computes. A
// procedure keeps the list of what a recursive call saves, and the saved values
// (with their items) and the argument values of a step live in place on the stack
// for the usual small counts; nothing is allocated per call. Numbers are saved and
// put back as their bytes; a text or an array is copied aside as a Variant copies
// (a shared reference) and its bytes go back in the end. One argument goes
// straight into its parameter; several are all computed first, since they may read
// the parameters of the very routine called. Locals stay in their items (hosts
// read and write them there, by name, also while a routine runs), so a recursive
// call copies the caller's values aside rather than giving the callee slots of
// its own.
//
// Compact calls: a routine whose body is number code only (CompactCall.h) is called through
// a shorter path of its own while no run-line hook is set, with what hosts can see after the
// call (its locals, the result, the errors and their positions) as this path leaves it.
#pragma once

#include "script/Expression.h"

#include <cstring>
#include <vector>

enum TscDesignatorKind : uint8_t { dkOther, dkVariable, dkStringArray, dkArray };

// One step: its item and its argument (or index) expressions.
class TscDesignatorItem : public TscItemList {
public:
    TscCustomVariable* Ref = nullptr; // not owned
    AnsiString SourcePos;
    bool Indexed = false; // an indexed property that has been given its index
    // What Ref is, found once per Ref so that evaluation tests no types.
    enum class RefKind : uint8_t { Other, Nested, Late, Proc, Helper };
    RefKind KindOfRef()
    {
        if (FKindOf != Ref)
            Classify();
        return FKind;
    }
    // A value written at this step goes back into the step before it (a character of a
    // text, an element of an array): the write needs that step as it was set.
    bool WritesIntoStepBefore()
    {
        if (FKindOf != Ref)
            Classify();
        return FIntoStepBefore;
    }
    // Ref is a plain variable or parameter: its value is its stored Value, read in place.
    bool ReadsInPlace()
    {
        if (FKindOf != Ref)
            Classify();
        return FInPlace;
    }
    // Ref as a host method (nullptr for any other item), so that no call tests its type.
    TscMethodHelper* MethodOfRef()
    {
        if (FKindOf != Ref)
            Classify();
        return FMethod;
    }
    TscExpression* GetItem(int i) const { return static_cast<TscExpression*>(Get(i)); }
    void AddArgument(std::unique_ptr<TscExpression> e) { Add(std::move(e)); }

    // A step that calls a script routine: how many arguments reach parameters, and whether
    // a var parameter takes one (its value goes back after the call). Found again only when
    // the routine, its parameter count or the argument count is not the one it was found for.
    struct CallShape {
        int ArgCount = 0;
        bool AnyVar = false;
        bool OneArgument = false; // one argument, and it reaches the one parameter taken
    };
    const CallShape& ShapeOfCall()
    {
        if (FShapeOf != Ref || FShapeArgs != Count() || FShapeParams != Ref->ParamCount())
            FindShapeOfCall();
        return FShape;
    }

private:
    void Classify();
    void FindShapeOfCall();
    const TscCustomVariable* FKindOf = nullptr;
    RefKind FKind = RefKind::Other;
    bool FIntoStepBefore = false;
    bool FInPlace = false;
    TscMethodHelper* FMethod = nullptr;
    const TscCustomVariable* FShapeOf = nullptr;
    int FShapeArgs = -1;
    int FShapeParams = -1;
    CallShape FShape;
};

// Where a host keeps what designators read at one moment to give the same values again
// later (a text made again over the values it was first made with). Only designators
// marked Logged consult it, and only while it is installed (TscDesignator::ReadLog).
class TscReadLog {
public:
    virtual ~TscReadLog() = default;
    // True with the value to give instead of reading the designator now.
    virtual bool Serve(const TscDesignator* d, Variant& value) = 0;
    // The designator was read now: begun before its value came, then given it.
    virtual void Begin(const TscDesignator* d) = 0;
    virtual void Record(const TscDesignator* d, const Variant& value) = 0;
};

class TscDesignator : public TscCustomVariable {
public:
    explicit TscDesignator(TscScript* script);
    ~TscDesignator() override;

    TscDesignatorKind Kind = dkOther;
    TscScript* Script;
    TscCustomVariable* IndexExpr = nullptr;
    TscDesignatorItem* IndexItem = nullptr;

    int StepCount() const { return static_cast<int>(FSteps.size()); }
    TscDesignatorItem* Step(int i) const { return FSteps[i].get(); }
    TscDesignatorItem* LastStep() const { return FSteps.empty() ? nullptr : FSteps.back().get(); }
    TscDesignatorItem* AddStep(TscCustomVariable* ref, const AnsiString& sourcePos);
    void RemoveLastStep();

    // Type, read-only flag and kind from the steps; see Designator.cpp.
    void Finalize();
    // Takes over other's steps and classification.
    void Borrow(TscDesignator& other);

    Variant GetValue() override;
    void SetValue(const Variant& value) override;
    // Logged: reads of this designator go through ReadLog while one is installed (no
    // shortcut reads it past the log: ReadMemberInt then declines).
    mutable bool Logged = false;
    static TscReadLog* ReadLog;
    // GetValue of Obj.Prop as an Integer operator above takes it: a published Integer,
    // enumeration or set property of an object held in a plain variable, read as GetValue
    // reads it, without a Variant. False, with the property not read, for any other
    // designator or property; GetValue then reads it.
    bool ReadMemberInt(int32_t& r);
    // SetValue(Variant(v)), an Integer given to Obj.Prop written as WriteMember writes it;
    // a published Integer or Int64 property takes it without a Variant.
    void SetInteger(int32_t v);
    // SetValue(n.ToVariant()) the same way, for an Integer or Int64 without a Variant.
    void SetNumber(const script_fast::Num& n);
    // Obj.Prop := Obj.Prop C e (C one of + - *) in one go: this designator the target, read
    // the left operand's, both Obj.Prop over the same two items without arguments, and e the
    // operator's right operand, a number tree or a value read in place (op->RightNum or
    // RightDirect), which runs no code and cannot see the property. Taken while read's kept
    // record stands for an Integer data member it reads and writes as one, and e and the
    // operation give an integer on the inline path: the member is read, e computed and the
    // sum written as the read, NumberValueOf and SetNumber do, and the member's fields are
    // left as their two walks leave them. False, with nothing read or changed, otherwise.
    template <char C>
    bool UpdateKeptInt(TscDesignator& read, const TscOperatorNode& op);

protected:
    Variant DoCalc(const Variant& value, bool assigning);

private:
    Variant GetValueNow();
    Variant GetLoggedValue();
    // DoCalc for reading and for assigning: the second keeps what a write at the last
    // step goes back through (Designator.cpp), which a read needs none of.
    template <bool Assigning>
    Variant Walk(const Variant& value);
    // GetValue of a designator that is one call of a script routine, without the walk.
    Variant CallRoutine(TscDesignatorItem* step);
    // Obj.Member(args), Obj.Prop: a first step with no arguments that is neither a script
    // routine nor late bound, then a host member; ReadMember is their reading walk.
    // WriteMember is their assigning walk, for a member that is not a character or an
    // element written back into the object.
    bool IsMemberRead();
    // The same for the assigning walk: a member read whose last step takes the value itself.
    bool IsMemberWrite();
    void FindMemberShape();
    Variant ObjectOfMember();
    Variant ReadMember();
    void WriteMember(const Variant& value);
    // Their walks for an object that is not a plain variable, or a member given arguments.
    [[gnu::noinline]] Variant ReadMemberWithArguments();
    [[gnu::noinline]] void WriteMemberWithArguments(const Variant& value);

    std::vector<std::unique_ptr<TscDesignatorItem>> FSteps;
    // The two steps' items IsMemberRead was last answered for, and the answers.
    const TscCustomVariable* FShapeOf[2] = {nullptr, nullptr};
    bool FMemberRead = false;
    bool FMemberWrite = false;
    bool FMemberProperty = false; // the member is a TscPropertyHelper
    // Both: an object held in a plain variable, and a TscPropertyHelper without arguments.
    bool FPlainProperty = false;
    // Obj.Prop of FPlainProperty's kind: the object and the property record its member last
    // found, kept here with what an Integer read and write may do with them, so that the next
    // read or write of the same object takes them in a few tests (Kept). The object is the one
    // the member found for the handle the variable holds, while no object with a handle has
    // died since (Handles.h): the same live object, so of the same class and property record.
    // The member's name is kept too: a member renamed finds its property again.
    struct KeptProperty {
        // The two steps' items it was kept for (Member nullptr: nothing kept); finding the
        // steps' shape again lets it go.
        const TscCustomVariable* ObjectItem = nullptr;
        const TscPropertyHelper* Member = nullptr;
        int32_t Handle = 0;
        uint64_t Deaths = 0;
        TObject* Object = nullptr;
        const TPropInfo* Prop = nullptr;
        void* Field = nullptr; // the data member read and written (TPropInfo::OrdField), or nullptr
        uint8_t FieldSize = 0;
        bool ReadsInt = false;  // an Integer, enumeration or set read as ReadInteger reads it
        bool WritesInt = false; // an Integer or Int64 written as WriteInteger writes it
        // The member's name: up to 8 bytes as one word (NameWord, the bytes past its end
        // masked off), a longer one compared whole.
        uint64_t NameWord = 0;
        uint64_t NameMask = 0;
        AnsiString Name;
    };
    KeptProperty FKept;
    // A name's first 8 bytes as one word. An AnsiString (std::string) keeps at least 16 bytes
    // at data(), its own buffer or one for more than 15, so the read stays inside them.
    static uint64_t FirstWord(const AnsiString& s)
    {
        uint64_t w;
        std::memcpy(&w, s.data(), 8);
        return w;
    }
    // The kept record, when it stands for the steps as they are, the object now held and the
    // member as it is named.
    [[gnu::always_inline]] bool Kept(const TscDesignatorItem* first, const TscDesignatorItem* second) const
    {
        if (second->Ref != FKept.Member || first->Ref != FKept.ObjectItem || first->Count() != 0 ||
            second->Count() != 0)
            return false;
        const Variant& object = first->Ref->Value;
        if (object.VType() != varInteger || object.RawInteger() != FKept.Handle || HandleDeaths() != FKept.Deaths)
            return false;
        const AnsiString& name = FKept.Member->Name;
        if (name.size() > 8) [[unlikely]]
            return SameLongName(FKept.Name, name);
        return name.size() == FKept.Name.size() && (FirstWord(name) & FKept.NameMask) == FKept.NameWord;
    }
    // Keeps what member found in the call just made (nothing when it found nothing).
    void KeepProperty(TscPropertyHelper* member);
    // The member's fields as the walk sets them, for a read or a write through the kept record.
    [[gnu::always_inline]] void HandOver()
    {
        TscCustomVariable* object = FSteps[0]->Ref;
        auto* member = const_cast<TscPropertyHelper*>(FKept.Member);
        object->NeedResult = true;
        member->ParentRef = object;
        Variant& held = member->ParentValue;
        const TVarType t = held.VType();
        if (t == varInteger || t == varEmpty || t == varNull) [[likely]]
            ::new (static_cast<void*>(&held)) Variant(FKept.Handle); // the old value owns nothing
        else
            CopyValue(held, object->Value);
        member->Script = Script;
    }
    // Out of line, so that the paths through the kept record call nothing as a rule.
    [[gnu::noinline]] static bool SameLongName(const AnsiString& a, const AnsiString& b)
    {
        return TscCustomHelper::SameBytes(a, b);
    }
    [[gnu::noinline]] static void CopyValue(Variant& to, const Variant& from) { to = from; }
    [[gnu::noinline]] int32_t GetKept() const { return static_cast<int>(FKept.Prop->GetOrd(*FKept.Object)); }
    [[gnu::noinline]] void SetKept(int64_t v) const { FKept.Prop->SetOrd(*FKept.Object, v); }
    // ReadMemberInt, SetInteger and SetNumber where the kept record does not stand.
    [[gnu::noinline]] bool ReadMemberIntFound(int32_t& r);
    [[gnu::noinline]] void SetIntegerFound(int32_t v);
    [[gnu::noinline]] void SetNumberFound(const script_fast::Num& n);
    // Writes an Integer or Int64 v through the kept record (which stands).
    [[gnu::always_inline]] void WriteKept(int64_t v)
    {
        HandOver();
        if (FKept.FieldSize == 4)
            *static_cast<int32_t*>(FKept.Field) = static_cast<int32_t>(v);
        else if (FKept.FieldSize == 8)
            *static_cast<int64_t*>(FKept.Field) = v;
        else
            SetKept(v);
    }
    template <class MakeValue>
    void WriteIntegerMember(int64_t v, MakeValue makeValue);
    // Obj.Prop of FPlainProperty's kind, as the steps stand now.
    bool IsPlainProperty()
    {
        if (FSteps.size() != 2)
            return false;
        TscDesignatorItem* first = FSteps[0].get();
        TscDesignatorItem* second = FSteps[1].get();
        if (first->Ref != FShapeOf[0] || second->Ref != FShapeOf[1]) [[unlikely]]
            FindMemberShape();
        return FPlainProperty && first->Count() == 0 && second->Count() == 0;
    }
};

template <char C>
[[gnu::always_inline]] inline bool TscDesignator::UpdateKeptInt(TscDesignator& read, const TscOperatorNode& op)
{
    const KeptProperty& k = read.FKept;
    if (!k.ReadsInt || !k.WritesInt || k.FieldSize != 4 || FSteps.size() != 2 || read.FSteps.size() != 2)
        return false;
    TscDesignatorItem* first = FSteps[0].get();
    TscDesignatorItem* second = FSteps[1].get();
    if (read.FSteps[0]->Ref != first->Ref || read.FSteps[1]->Ref != second->Ref || read.FSteps[0]->Count() != 0 ||
        read.FSteps[1]->Count() != 0 || !read.Kept(first, second))
        return false;
    // e first: it reads no property and runs nothing, so it gives what it gives after the read.
    script_fast::Num b;
    if (op.RightDirect ? !script_fast::Num::From(*op.RightDirect, b) : !op.RightNum->Num(b))
        return false;
    if (!script_fast::IsInt(b.Type))
        return false;
    int32_t* const field = static_cast<int32_t*>(k.Field);
    script_fast::Num n;
    if (!script_fast::TryIntArith<C>(varInteger, *field, b.Type, b.L, n))
        return false;
    // A result beyond 32 bits goes through SetValue, which raises the Variant's overflow.
    if (n.L < INT32_MIN || n.L > INT32_MAX)
        return false;
    read.HandOver();
    auto* member = const_cast<TscPropertyHelper*>(k.Member);
    member->NeedResult = read.NeedResult;
    member->Script = Script; // the write's HandOver, the rest of which the read's made
    *field = static_cast<int32_t>(n.L);
    return true;
}

class TscVariableDesignator : public TscDesignator {
public:
    using TscDesignator::TscDesignator;
    Variant GetValue() override { return RefItem->GetValue(); }
    void SetValue(const Variant& value) override { RefItem->SetValue(value); }
};

class TscStringDesignator : public TscDesignator {
public:
    using TscDesignator::TscDesignator;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
};

class TscArrayDesignator : public TscDesignator {
public:
    using TscDesignator::TscDesignator;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;

private:
    void PassIndexes();
};

// A member or index resolved at run time against the value before it.
// Name "[" is an index: a character of a string, an element of an array, the
// default property of an object. Any other name is a member of the object's
// class as the script knows it (found by class name up the ancestry), or a
// late-bound call of an automation object (through a TscOLEHelper, which
// sends a read or call with a result as method-or-get, a call statement as a
// plain method call and an assignment as a put).
class TscLateMember : public TscCustomHelper {
public:
    explicit TscLateMember(const AnsiString& name);
    ~TscLateMember() override;
    // indexed: args came in brackets (obj.Items[i]); a member without an index
    // then has its value indexed. Var parameters of the member found are
    // written back into args and their indices added to written.
    Variant Invoke(std::vector<Variant>& args, bool assigning, const Variant& value, bool indexed = false,
                   std::vector<int>* written = nullptr);
    // A value is written back through the step that read it, never into this item: a
    // write that reaches it has lost its way, and is refused rather than dropped.
    void SetValue(const Variant& value) override;

private:
    // The member of an automation object goes through its OLE helper, the one
    // path of late-bound automation calls (made on first use).
    std::unique_ptr<class TscOLEHelper> FOle;
};

// [a, b..c]: entries are expressions; a null entry marks a range between its
// neighbours.
class TscSetExpression : public TscCustomVariable {
public:
    TscSetExpression();
    ~TscSetExpression() override;
    void AddEntry(std::unique_ptr<TscExpression> e) { FEntries.push_back(std::move(e)); }
    int EntryCount() const { return static_cast<int>(FEntries.size()); }
    TscExpression* Entry(int i) const { return FEntries[i].get(); }
    bool Check(const Variant& value);
    // (a, b, gap, c ...) with 0 for each gap: what in and case selectors see.
    Variant GetValue() override;
    // The set as a bit mask: the union of the members' masks, a range a..b
    // taking every single-bit mask between its bounds.
    int64_t GetMask();

private:
    std::vector<std::unique_ptr<TscExpression>> FEntries;
};
