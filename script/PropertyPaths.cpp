// PropertyPaths.cpp - Obj.Prop read as an Integer and written with an Integer or Int64
// (TscDesignator::ReadMemberInt, SetInteger, SetNumber), through the record the designator
// keeps of what its member found (Designator.h). They live apart from the general walk so
// that they do not crowd the walk's own inlining.
#include "script/Designator.h"

void TscDesignator::KeepProperty(TscPropertyHelper* member)
{
    TObject* obj;
    const TPropInfo* p;
    FKept.Member = nullptr;
    if (!member->Found(obj, p))
        return;
    const TTypeKind kind = p->Kind();
    const bool ordinal = member->VarType != fvtBool;
    // What ReadInteger and WriteInteger (with GetOrdProp and SetOrdProp) would test each time.
    FKept.ReadsInt = p->Readable && ordinal && (kind == tkInteger || kind == tkEnumeration || kind == tkSet) &&
                     p->GetOrd;
    FKept.WritesInt = !member->ReadOnly && p->Writable && ordinal && (kind == tkInteger || kind == tkInt64) &&
                      p->SetOrd;
    FKept.FieldSize = p->OrdField ? p->OrdFieldSize : 0;
    FKept.Field = FKept.FieldSize ? p->OrdField(*obj) : nullptr;
    FKept.Handle = member->FoundHandle();
    FKept.Deaths = member->FoundDeaths();
    FKept.Object = obj;
    FKept.Prop = p;
    FKept.Name = member->Name;
    const size_t n = FKept.Name.size();
    FKept.NameMask = n >= 8 ? ~uint64_t(0) : (uint64_t(1) << (8 * n)) - 1;
    FKept.NameWord = FirstWord(FKept.Name) & FKept.NameMask;
    FKept.ObjectItem = FSteps[0]->Ref;
    FKept.Member = member;
}

bool TscDesignator::ReadMemberInt(int32_t& r)
{
    if (Logged && ReadLog) [[unlikely]]
        return false;
    if (FSteps.size() == 2 && FKept.ReadsInt && Kept(FSteps[0].get(), FSteps[1].get())) {
        HandOver();
        const_cast<TscPropertyHelper*>(FKept.Member)->NeedResult = NeedResult;
        r = FKept.FieldSize == 4 ? *static_cast<const int32_t*>(FKept.Field) : GetKept();
        return true;
    }
    return ReadMemberIntFound(r);
}

bool TscDesignator::ReadMemberIntFound(int32_t& r)
{
    if (!IsPlainProperty())
        return false;
    TscCustomVariable* object = FSteps[0]->Ref;
    auto* member = static_cast<TscPropertyHelper*>(FSteps[1]->Ref);
    // As ReadMember hands the object over; GetValue would do the same again.
    object->NeedResult = true;
    member->ParentRef = object;
    member->ParentValue = object->Value;
    member->Script = Script;
    member->NeedResult = NeedResult;
    if (!member->ReadInteger(r))
        return false;
    KeepProperty(member);
    return true;
}

// Obj.Prop := v as WriteMember writes it, for an Integer or Int64 v: the member's own Integer
// write, else its SetValue of the Variant v makes (which makeValue gives).
template <class MakeValue>
inline void TscDesignator::WriteIntegerMember(int64_t v, MakeValue makeValue)
{
    TscCustomVariable* object = FSteps[0]->Ref;
    auto* member = static_cast<TscPropertyHelper*>(FSteps[1]->Ref);
    object->NeedResult = true;
    member->ParentRef = object;
    member->ParentValue = object->Value;
    member->Script = Script;
    if (member->WriteInteger(v))
        KeepProperty(member);
    else
        member->SetValue(makeValue());
}

void TscDesignator::SetInteger(int32_t v)
{
    if (FSteps.size() == 2 && FKept.WritesInt && Kept(FSteps[0].get(), FSteps[1].get()))
        return WriteKept(v);
    SetIntegerFound(v);
}

void TscDesignator::SetIntegerFound(int32_t v)
{
    if (!IsPlainProperty())
        return SetValue(Variant(v));
    WriteIntegerMember(v, [v] { return Variant(v); });
}

void TscDesignator::SetNumber(const script_fast::Num& n)
{
    // An Int64 beyond 32 bits goes to an Integer member through SetValue, which raises the
    // Variant's overflow instead of keeping the low bits.
    if ((n.Type == varInteger || n.Type == varInt64) && FSteps.size() == 2 && FKept.WritesInt &&
        Kept(FSteps[0].get(), FSteps[1].get()) &&
        (n.Type == varInteger || (n.L >= INT32_MIN && n.L <= INT32_MAX) || FKept.Prop->Kind() == tkInt64))
        return WriteKept(n.L);
    SetNumberFound(n);
}

void TscDesignator::SetNumberFound(const script_fast::Num& n)
{
    if ((n.Type != varInteger && n.Type != varInt64) || !IsPlainProperty())
        return SetValue(n.ToVariant());
    WriteIntegerMember(n.L, [&n] { return n.ToVariant(); });
}
