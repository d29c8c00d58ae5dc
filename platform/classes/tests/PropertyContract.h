// PropertyContract.h - a contract checker for published properties, for any layer's tests.
//
// For a class that can be created by name it checks that
//   - every readable and writable ordinal, float and string property returns what its
//     setter stored (a changed value, not the current one);
//   - a fresh instance written to a component stream, read into another fresh instance
//     and written again gives the same bytes.
// Like a model tester it covers classes nobody wrote a test for. Properties whose setter
// legitimately changes the value (clamps, normalises) are named in `skip`.
#pragma once

#include "platform/classes/Streaming.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <set>

inline void CheckPublishedContract(TClass cls, const std::set<AnsiString>& skip = {})
{
    SCOPED_TRACE(cls->ClassName());
    if (cls->IsAbstract() || cls->Kind() == TMetaClass::FactoryKind::CollectionItem)
        return;
    auto make = [&]() -> std::unique_ptr<TObject> { return cls->NewInstance(); };
    auto obj = make();
    for (const TPropInfo* p : cls->Properties()) {
        if (!p->Readable || !p->Writable || skip.count(p->Name) || p->Name == "Name")
            continue;
        SCOPED_TRACE(p->Name);
        const TTypeInfo* t = p->PropType;
        switch (t->Kind) {
        case tkInteger: case tkInt64: {
            const int64_t v = GetOrdProp(obj.get(), p) == 7 ? 8 : 7;
            SetOrdProp(obj.get(), p, v);
            EXPECT_EQ(GetOrdProp(obj.get(), p), v);
            break;
        }
        case tkChar: {
            const int64_t v = GetOrdProp(obj.get(), p) == 'Q' ? 'R' : 'Q';
            SetOrdProp(obj.get(), p, v);
            EXPECT_EQ(GetOrdProp(obj.get(), p), v);
            break;
        }
        case tkEnumeration: {
            const int64_t v = GetOrdProp(obj.get(), p) == t->MaxValue ? t->MinValue : t->MaxValue;
            SetOrdProp(obj.get(), p, v);
            EXPECT_EQ(GetOrdProp(obj.get(), p), v);
            break;
        }
        case tkSet: {
            const int n = t->CompType ? t->CompType->MaxValue + 1 : 0;
            const int64_t all = n >= 32 ? 0xFFFFFFFF : (int64_t(1) << n) - 1;
            const int64_t v = GetOrdProp(obj.get(), p) == all ? 0 : all;
            SetOrdProp(obj.get(), p, v);
            EXPECT_EQ(GetOrdProp(obj.get(), p), v);
            break;
        }
        case tkFloat: {
            const long double v = GetFloatProp(obj.get(), p) == 1.5L ? 2.5L : 1.5L;
            SetFloatProp(obj.get(), p, v);
            EXPECT_EQ(GetFloatProp(obj.get(), p), v);
            break;
        }
        case tkLString: case tkString: case tkWString: {
            const AnsiString v = GetStrProp(obj.get(), p) == "Проверка" ? "Другое" : "Проверка";
            SetStrProp(obj.get(), p, v);
            EXPECT_EQ(GetStrProp(obj.get(), p), v);
            break;
        }
        default: break;
        }
    }
    if (cls->Kind() != TMetaClass::FactoryKind::Component)
        return;
    auto write = [](TComponent* c) {
        TMemoryStream ms;
        WriteComponentToStream(ms, c);
        return AnsiString(ms.Memory(), static_cast<size_t>(ms.GetSize()));
    };
    auto first = cls->CreateComponent(nullptr);
    first->SetName("Probe");
    const AnsiString bytes = write(first.get());
    auto second = cls->CreateComponent(nullptr);
    TStringStream in(bytes);
    ReadRootComponentFromStream(in, second.get());
    EXPECT_EQ(write(second.get()), bytes);
}
