// Variant arrays (bounds per dimension, copy on write) and late-bound calls.
#include "platform/rtl/Variant.h"

#include "platform/rtl/VariantImpl.h"

using detail::VarArrayRep;
using namespace rtl_variant;

namespace {

constexpr int64_t kMaxElements = int64_t(1) << 26;  // refuse absurd sizes instead of exhausting memory

[[noreturn]] void CreateError() { throw EVariantArrayCreateError("Error creating variant or safe array"); }
[[noreturn]] void BadIndex() { throw EVariantBadIndexError("Variant or safe array index out of bounds"); }
[[noreturn]] void NotArray() { throw EVariantNotAnArrayError("Variant is not an array"); }

bool ElemTypeAllowed(TVarType t)
{
    switch (t) {
    case varVariant:
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varOleStr:
    case varString:
    case varBoolean:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varDispatch:
        return true;
    default:
        return false;
    }
}

Variant InitialElement(TVarType t)
{
    switch (t) {
    case varVariant: return Variant();
    case varOleStr:
    case varString: return Variant(AnsiString());
    case varBoolean: return Variant(false);
    case varDispatch: return Variant(static_cast<IVariantDispatch*>(nullptr));
    default: return VarAsType(Variant(0), t);
    }
}

int64_t CountOf(const VarArrayRep& r)
{
    int64_t n = 1;
    for (int d = 0; d < r.Dims; ++d)
        n *= int64_t(r.High[d]) - r.Low[d] + 1;
    return n;
}

size_t Offset(const VarArrayRep& r, std::span<const int> idx)
{
    if (int(idx.size()) != r.Dims)
        BadIndex();
    int64_t off = 0, stride = 1;
    for (int d = 0; d < r.Dims; ++d) {
        if (idx[size_t(d)] < r.Low[d] || idx[size_t(d)] > r.High[d])
            BadIndex();
        off += (int64_t(idx[size_t(d)]) - r.Low[d]) * stride;
        stride *= int64_t(r.High[d]) - r.Low[d] + 1;
    }
    return size_t(off);
}

const VarArrayRep& Rep(const Variant& a)
{
    if (!a.IsArray())
        NotArray();
    return *VariantAccess::Arr(a);
}

}  // namespace

Variant VariantAccess::MakeArray(VarArrayRep* rep)
{
    Variant v;
    v.FType = TVarType(varArray | rep->ElemType);
    v.FData.VArray = rep;
    return v;
}

VarArrayRep* VariantAccess::MutableArr(Variant& v)
{
    if (!v.IsArray())
        NotArray();
    VarArrayRep* r = v.FData.VArray;
    if (r->Refs > 1) {
        auto* copy = new VarArrayRep(*r);
        copy->Refs = 1;
        --r->Refs;
        v.FData.VArray = copy;
        r = copy;
    }
    return r;
}

Variant VarArrayCreate(std::span<const int> bounds, TVarType elementType)
{
    if (bounds.size() % 2 != 0 || bounds.size() < 2 || bounds.size() > 6 || !ElemTypeAllowed(elementType))
        CreateError();
    auto rep = std::make_unique<VarArrayRep>();
    rep->ElemType = elementType == varOleStr ? TVarType(varString) : elementType;
    rep->Dims = int(bounds.size() / 2);
    for (int d = 0; d < rep->Dims; ++d) {
        rep->Low[d] = bounds[size_t(2 * d)];
        rep->High[d] = bounds[size_t(2 * d + 1)];
        if (int64_t(rep->High[d]) < int64_t(rep->Low[d]) - 1)
            CreateError();
    }
    int64_t n = CountOf(*rep);
    if (n > kMaxElements)
        CreateError();
    rep->Items.assign(size_t(n), InitialElement(rep->ElemType));
    return VariantAccess::MakeArray(rep.release());
}

Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType)
{
    return VarArrayCreate(std::span<const int>(bounds.begin(), bounds.size()), elementType);
}

Variant VarArrayOf(std::span<const Variant> values)
{
    Variant a = VarArrayCreate({0, int(values.size()) - 1}, varVariant);
    VarArrayRep* r = VariantAccess::MutableArr(a);
    for (size_t i = 0; i < values.size(); ++i)
        r->Items[i] = values[i];
    return a;
}

Variant VarArrayOf(std::initializer_list<Variant> values)
{
    return VarArrayOf(std::span<const Variant>(values.begin(), values.size()));
}

int VarArrayDimCount(const Variant& a) { return a.IsArray() ? VariantAccess::Arr(a)->Dims : 0; }

int VarArrayLowBound(const Variant& a, int dim)
{
    const VarArrayRep& r = Rep(a);
    if (dim < 1 || dim > r.Dims)
        BadIndex();
    return r.Low[dim - 1];
}

int VarArrayHighBound(const Variant& a, int dim)
{
    const VarArrayRep& r = Rep(a);
    if (dim < 1 || dim > r.Dims)
        BadIndex();
    return r.High[dim - 1];
}

TVarType VarArrayElementType(const Variant& a) { return Rep(a).ElemType; }

bool VarArrayIsList(const Variant& a, int count)
{
    if (!a.IsArray())
        return false;
    const VarArrayRep& r = *VariantAccess::Arr(a);
    return r.Dims == 1 && r.Low[0] == 0 && r.High[0] == count - 1 && r.ElemType == varVariant;
}

VarArrayRep* detail::UnshareArray(Variant& a)
{
    return VariantAccess::MutableArr(a);
}

void VarArrayRedim(Variant& a, int highBound)
{
    Rep(a);
    VarArrayRep* r = VariantAccess::MutableArr(a);
    int last = r->Dims - 1;
    if (int64_t(highBound) < int64_t(r->Low[last]) - 1)
        CreateError();
    int old = r->High[last];
    r->High[last] = highBound;
    int64_t n = CountOf(*r);
    if (n > kMaxElements) {
        r->High[last] = old;
        CreateError();
    }
    r->Items.resize(size_t(n), InitialElement(r->ElemType));
}

Variant& Variant::Elem(std::span<const int> indices)
{
    VarArrayRep* r = VariantAccess::MutableArr(*this);
    return r->Items[Offset(*r, indices)];
}

const Variant& Variant::Elem(std::span<const int> indices) const
{
    const VarArrayRep& r = Rep(*this);
    return r.Items[Offset(r, indices)];
}

Variant& Variant::Elem(int i)
{
    int idx[1] = {i};
    return Elem(std::span<const int>(idx));
}

Variant& Variant::Elem(int i, int j)
{
    int idx[2] = {i, j};
    return Elem(std::span<const int>(idx));
}

Variant& Variant::Elem(int i, int j, int k)
{
    int idx[3] = {i, j, k};
    return Elem(std::span<const int>(idx));
}

Variant VarArrayGet(const Variant& a, std::span<const int> indices)
{
    // One index into a list, the way every host reads its arguments, without the general walk.
    if (a.IsArray() && indices.size() == 1) {
        const VarArrayRep& r = *VariantAccess::Arr(a);
        if (r.Dims == 1 && indices[0] >= r.Low[0] && indices[0] <= r.High[0])
            return r.Items[size_t(int64_t(indices[0]) - r.Low[0])];
    }
    return a.Elem(indices);
}

Variant VarArrayGet(const Variant& a, std::initializer_list<int> indices)
{
    if (a.IsArray() && indices.size() == 1) {
        const VarArrayRep& r = *VariantAccess::Arr(a);
        const int i = *indices.begin();
        if (r.Dims == 1 && i >= r.Low[0] && i <= r.High[0])
            return r.Items[size_t(int64_t(i) - r.Low[0])];
    }
    return VarArrayGet(a, std::span<const int>(indices.begin(), indices.size()));
}

void VarArrayPut(Variant& a, const Variant& value, std::span<const int> indices)
{
    TVarType et = Rep(a).ElemType;
    // Convert first: a failed conversion leaves the array as it was.
    Variant v = et == varVariant ? value : VarAsType(value, et);
    a.Elem(indices) = std::move(v);
}

void VarArrayPut(Variant& a, const Variant& value, std::initializer_list<int> indices)
{
    VarArrayPut(a, value, std::span<const int>(indices.begin(), indices.size()));
}

Variant DispatchInvoke(const Variant& object, const AnsiString& name, uint16_t flags, std::span<const Variant> args)
{
    if (object.VType() != varDispatch || object.AsDispatch() == nullptr)
        throw EVariantDispatchError("Variant does not reference an automation object");
    IVariantDispatch* d = object.AsDispatch();
    int32_t id = d->GetIDOfName(name);
    if (id == DISPID_UNKNOWN)
        throw EVariantDispatchError("Method '" + name + "' not supported by automation object");
    // Hold a reference for the duration of the call: the callee may drop the last other one.
    Variant keep(object);
    return d->Invoke(id, flags, args);
}
