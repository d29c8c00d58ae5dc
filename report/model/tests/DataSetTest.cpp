// DataSetTest.cpp - datasets over an in-memory database dataset.
#include "report/model/rpDBSet.h"
#include "report/model/tests/ModelTestClasses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
class TMemDataSet : public TDataSet {
public:
    explicit TMemDataSet(TComponent* o) : TDataSet(o) {}
    int Rows = 10;

protected:
    void InternalOpen() override
    {
        FieldDefs().Clear();
        FieldDefs().Add("ID", ftInteger);
        FieldDefs().Add("Name", ftString, 20);
        FieldDefs().Add("Secret", ftString, 5);
        for (int i = 1; i <= Rows; ++i) {
            Variant* row = AppendRow();
            row[0] = i;
            row[1] = "row" + IntToStr(i);
            row[2] = "s";
        }
    }
};

int Walk(TrpDataSet& ds)
{
    int n = 0;
    ds.First();
    while (!ds.Eof() && n < 100) {
        ++n;
        ds.Next();
    }
    return n;
}
}  // namespace

TEST(DataSets, UserNameFollowsTheNameUntilSet)
{
    RegisterModelTestClasses();
    TComponent form(nullptr);
    auto* ds = new TrpDBDataset(&form);
    ds->SetName("rpDBDataset1");
    EXPECT_EQ(ds->GetUserName(), "rpDBDataset1");
    ds->SetName("rpDBDataset2");
    EXPECT_EQ(ds->GetUserName(), "rpDBDataset2");
    ds->SetUserName("Товары");
    ds->SetName("rpDBDataset3");
    EXPECT_EQ(ds->GetUserName(), "Товары");
    EXPECT_THROW(ds->SetUserName("  "), EPropertyError);
    EXPECT_EQ(ds->GetUserName(), "Товары");
}

TEST(DataSets, Ranges)
{
    RegisterModelTestClasses();
    TComponent form(nullptr);
    auto* q = new TMemDataSet(&form);
    auto* ds = new TrpDBDataset(&form);
    ds->SetName("D");
    ds->SetDataSet(q);
    struct Case { const char* why; TrpRangeBegin b; TrpRangeEnd e; int count; int current; int visited; };
    const Case cases[] = {
        {"all", rbFirst, reLast, 0, 1, 10},
        {"count three", rbFirst, reCount, 3, 1, 3},
        {"count zero", rbFirst, reCount, 0, 1, 0},
        {"from current", rbCurrent, reLast, 0, 4, 7},
        {"up to current", rbFirst, reCurrent, 0, 4, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ds->RangeBegin = c.b;
        ds->RangeEnd = c.e;
        ds->RangeEndCount = c.count;
        q->Open();
        q->SetRecNo(c.current);
        ds->Initialize();
        EXPECT_EQ(Walk(*ds), c.visited);
        ds->Finalize();
        ds->Close();
    }
}

TEST(DataSets, AliasesValuesAndErrors)
{
    RegisterModelTestClasses();
    TComponent form(nullptr);
    auto* q = new TMemDataSet(&form);
    auto* ds = new TrpDBDataset(&form);
    ds->SetName("D");
    auto* src = new TDataSource(&form);
    src->SetDataSet(q);
    ds->SetDataSource(src);
    ds->GetFieldAliases()->SetText("ID=Код\r\n-Secret=Hidden\r\n");
    TTestReport report(nullptr);
    ds->Report = &report;
    report.CurObject = "Memo1";
    EXPECT_EQ(ds->GetDisplayText("Код"), "D.\"Код\"") << "closed: where data would be";
    ds->Close();
    ds->Initialize();
    TStringList fields;
    ds->GetFieldList(&fields);
    EXPECT_EQ(fields.CommaText(), "Код");
    ds->First();
    ds->Next();
    EXPECT_EQ(ds->GetValue("код"), Variant(2));
    EXPECT_TRUE(ds->GetValue("ID").IsNull());
    ASSERT_EQ(report.Errors.Count(), 1);
    EXPECT_EQ(report.Errors[0], "Memo1: Поле не найдено: D.\"ID\"");
    EXPECT_EQ(ds->GetFieldType("Код"), fftNumeric);
    ds->Finalize();
    delete q;
    EXPECT_EQ(ds->EffectiveDataSet(), nullptr) << "a freed dataset is let go";
    EXPECT_THROW(ds->Initialize(), Exception);
}

TEST(DataSets, LookupAndReportCollections)
{
    RegisterModelTestClasses();
    TComponent form(nullptr);
    auto* onForm = new TrpDBDataset(&form);
    onForm->SetName("Shared");
    auto* r1 = new TTestReport(&form);
    auto* r2 = new TTestReport(&form);
    auto* own2 = new TrpUserDataSet(r2);
    own2->SetName("Own");
    EXPECT_EQ(rpFindDataSet(nullptr, "shared", r1), onForm);
    EXPECT_EQ(rpFindDataSet(nullptr, "Own", r1), nullptr) << "another report's dataset is skipped";
    EXPECT_EQ(rpFindDataSet(nullptr, "Own", r2), own2);
    own2->Enabled = false;
    TStringList list;
    rpGetDataSetList(&list);
    EXPECT_LT(list.IndexOf("Own"), 0);
    EXPECT_GE(list.IndexOf("Shared"), 0);
    r1->GetDataSets()->Add(onForm);
    EXPECT_EQ(r1->GetDataset("SHARED"), onForm);
    EXPECT_EQ(r1->GetAlias(onForm), "Shared");
    EXPECT_EQ(r1->GetAlias(own2), "(компонент не включен в Report.DataSets)");
    TrpDataSet* found;
    AnsiString field;
    r1->GetDatasetAndField("Shared.\"Кол-во\"", found, field);
    EXPECT_EQ(found, onForm);
    EXPECT_EQ(field, "Кол-во");
    onForm->Report = r1;
    delete onForm;
    EXPECT_EQ(r1->GetDataSets()->Count(), 0) << "a freed dataset leaves every report's list";
    auto* user = new TrpDBDataset(&form);
    user->Report = r2;
    delete r2;
    EXPECT_EQ(user->Report, nullptr) << "a freed report is forgotten";
}

TEST(DataSets, UserDataSetFromEvents)
{
    RegisterModelTestClasses();
    TrpUserDataSet ds(nullptr);
    ds.GetFields()->SetText("a\r\nb\r\n");
    EXPECT_EQ(ds.FieldsCount(), 2);
    EXPECT_TRUE(ds.HasField("B"));
    EXPECT_TRUE(ds.GetValue("a").IsNull());
    ds.OnGetValue = TrpGetValueEvent::Lambda([](const AnsiString& n, Variant& v) { v = n + "!"; });
    EXPECT_EQ(ds.GetDisplayText("a"), "a!");
    int calls = 0;
    ds.OnCheckEOF = TrpCheckEOFEvent::Lambda([&](TObject*, bool& eof) { eof = ++calls > 2; });
    EXPECT_EQ(Walk(ds), 2);
}

namespace {
// Owned by a holder: hears through it which components the holder is still told about.
class TNotifySpy : public TComponent {
public:
    TNotifySpy(TComponent* holder, TComponent* watched) : TComponent(holder), FWatched(watched) {}
    int Heard = 0;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        Heard += Operation == opRemove && AComponent == FWatched;
    }

private:
    TComponent* FWatched;
};

enum class TRefStep { SetA, SetB, SetNil };

struct RefCase {
    const char* why;
    std::vector<TRefStep> steps;
    bool pointsAtB;  // after A was freed
    int heard;       // times the holder was told of A's death
};

// The targets live under another owner, so the holder hears of them only through its own links.
const RefCase kDataSetRefs[] = {
    {"freeing the referenced dataset clears the reference", {TRefStep::SetA}, false, 1},
    {"a replaced dataset no longer reaches the holder", {TRefStep::SetA, TRefStep::SetB}, true, 0},
    {"setting the same dataset twice takes one link", {TRefStep::SetA, TRefStep::SetA, TRefStep::SetNil}, false, 0},
    {"a cleared reference no longer reaches the holder", {TRefStep::SetA, TRefStep::SetNil}, false, 0},
};
}  // namespace

TEST(DataSets, DataSetAndSourceReferencesFollowTheirTargets)
{
    RegisterModelTestClasses();
    for (const bool viaSource : {false, true}) {
        for (const auto& c : kDataSetRefs) {
            SCOPED_TRACE(std::string(c.why) + (viaSource ? " (DataSource)" : " (DataSet)"));
            TComponent data(nullptr), form(nullptr);
            auto* qa = new TMemDataSet(&data);
            auto* qb = new TMemDataSet(&data);
            auto* sa = new TDataSource(&data);
            auto* sb = new TDataSource(&data);
            sa->SetDataSet(qa);
            sb->SetDataSet(qb);
            auto* ds = new TrpDBDataset(&form);
            TComponent* a = viaSource ? static_cast<TComponent*>(sa) : qa;
            auto* spy = new TNotifySpy(ds, a);
            for (TRefStep s : c.steps) {
                if (viaSource)
                    ds->SetDataSource(s == TRefStep::SetA ? sa : s == TRefStep::SetB ? sb : nullptr);
                else
                    ds->SetDataSet(s == TRefStep::SetA ? qa : s == TRefStep::SetB ? qb : nullptr);
            }
            delete a;
            EXPECT_EQ(viaSource ? static_cast<TComponent*>(ds->GetDataSource()) : ds->GetDataSet(),
                      c.pointsAtB ? (viaSource ? static_cast<TComponent*>(sb) : qb) : nullptr);
            EXPECT_EQ(ds->EffectiveDataSet(), c.pointsAtB ? qb : nullptr);
            EXPECT_EQ(spy->Heard, c.heard);
        }
    }
}

TEST(DataSets, AFreedDataSetLeavesNothingBehindOfItsTargets)
{
    // The holder goes first, after hooking its dataset's AfterOpen; its targets must neither
    // call into it when they go nor keep its handler.
    RegisterModelTestClasses();
    TComponent data(nullptr);
    auto* q = new TMemDataSet(&data);
    auto* ds = new TrpDBDataset(nullptr);
    ds->SetDataSet(q);
    ds->SetDataSet(q);
    ds->Initialize();
    delete ds;
    EXPECT_FALSE(q->AfterOpen);
    delete q;
}
