// Cursor, bookmark, field-text and data-source rules of TDataSet over an in-memory dataset.
#include "platform/db/DB.h"

#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A dataset whose rows the test gives.
class TMemDataSet : public TDataSet {
public:
    explicit TMemDataSet(TComponent* owner = nullptr) : TDataSet(owner) {}
    std::vector<std::pair<AnsiString, TFieldType>> Columns;
    std::vector<std::vector<Variant>> Rows;

protected:
    void InternalOpen() override
    {
        for (const auto& [name, type] : Columns)
            FieldDefs().Add(name, type, type == ftString ? 20 : 0);
        for (const auto& row : Rows) {
            Variant* cells = AppendRow();
            for (size_t c = 0; c < row.size(); ++c)
                cells[c] = row[c];
        }
    }
};

std::unique_ptr<TMemDataSet> Numbers(int n)
{
    auto ds = std::make_unique<TMemDataSet>();
    ds->SetName("Mem");
    ds->Columns = {{"N", ftInteger}};
    for (int i = 1; i <= n; ++i)
        ds->Rows.push_back({i});
    return ds;
}

TEST(DataSetCursor, WalksBothWays)
{
    auto ds = Numbers(3);
    ds->Open();
    EXPECT_TRUE(ds->Bof());
    EXPECT_FALSE(ds->Eof());
    std::vector<int> forward, backward;
    for (ds->First(); !ds->Eof(); ds->Next())
        forward.push_back(ds->FieldByName("N")->AsInteger());
    for (ds->Last(); !ds->Bof(); ds->Prior())
        backward.push_back(ds->FieldByName("n")->AsInteger());
    EXPECT_EQ(forward, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(backward, (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(ds->RecordCount(), 3);
}

struct MoveCase {
    const char* why;
    int from;      // RecNo before
    int distance;
    int moved;
    int recNo;
    bool bof, eof;
};

const MoveCase kMoves[] = {
    {"forward inside", 1, 1, 1, 2, false, false},
    {"forward past the end stops on the last row", 2, 5, 1, 3, false, true},
    {"back past the start stops on the first row", 2, -5, -1, 1, true, false},
    {"exactly to the last row", 1, 2, 2, 3, false, false},
    {"no move", 2, 0, 0, 2, false, false},
};

TEST(DataSetCursor, MoveBy)
{
    for (const auto& c : kMoves) {
        SCOPED_TRACE(c.why);
        auto ds = Numbers(3);
        ds->Open();
        ds->SetRecNo(c.from);
        EXPECT_EQ(ds->MoveBy(c.distance), c.moved);
        EXPECT_EQ(ds->RecNo(), c.recNo);
        if (c.distance != 0) {
            EXPECT_EQ(ds->Bof(), c.bof);
            EXPECT_EQ(ds->Eof(), c.eof);
        }
    }
}

TEST(DataSetCursor, EmptyDataSet)
{
    auto ds = Numbers(0);
    ds->Open();
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_TRUE(ds->Bof());
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->RecNo(), 0);
    EXPECT_TRUE(ds->FieldByName("N")->IsNull());
    EXPECT_EQ(ds->FieldByName("N")->AsString(), "");
    EXPECT_FALSE(ds->GetBookmark().Assigned());
    EXPECT_THROW(ds->Delete(), EDbError);
}

TEST(DataSetBookmarks, ReturnAndCompare)
{
    auto ds = Numbers(5);
    ds->Open();
    ds->SetRecNo(3);
    const TBookmark third = ds->GetBookmark();
    ds->Last();
    const TBookmark last = ds->GetBookmark();
    EXPECT_FALSE(third == last);
    ds->GotoBookmark(third);
    EXPECT_EQ(ds->RecNo(), 3);
    EXPECT_TRUE(ds->GetBookmark() == third);
    EXPECT_LT(ds->CompareBookmarks(third, last), 0);
    EXPECT_EQ(ds->CompareBookmarks(third, ds->GetBookmark()), 0);
    // Deleting another row keeps the bookmark on its row.
    ds->First();
    ds->Delete();
    ds->GotoBookmark(third);
    EXPECT_EQ(ds->FieldByName("N")->AsInteger(), 3);
    // After reopening, old bookmarks are refused.
    ds->Close();
    ds->Open();
    EXPECT_FALSE(ds->BookmarkValid(third));
    EXPECT_THROW(ds->GotoBookmark(third), EDbError);
    auto other = Numbers(5);
    other->Open();
    EXPECT_FALSE(other->BookmarkValid(last));
}

TEST(DataSetFields, FieldByNameRaisesFindFieldDoesNot)
{
    auto ds = Numbers(1);
    ds->Open();
    EXPECT_EQ(ds->FindField("nope"), nullptr);
    try {
        ds->FieldByName("nope");
        FAIL();
    } catch (const EDbError& e) {
        EXPECT_EQ(e.Id(), TDbMessage::FieldNotFound);
        EXPECT_NE(e.Message().find("nope"), std::string::npos);
    }
}

struct TextCase {
    const char* why;
    TFieldType type;
    Variant value;
    const char* text;
};

TEST(DataSetFields, TextRules)
{
    const TFormatSettings saved = FormatSettings();
    SetFormatSettings(RussianFormatSettings());
    const TextCase kCases[] = {
        {"Null gives empty text", ftFloat, Variant::Null(), ""},
        {"a float with the locale's comma", ftFloat, 12.5, "12,5"},
        {"a whole float without decimals", ftFloat, 3.0, "3"},
        {"an integer", ftInteger, 42, "42"},
        {"a date without time", ftDateTime, TDateTime(45000.0), "15.03.2023"},
        {"a date with time", ftDateTime, TDateTime(45000.5), "15.03.2023 12:00:00"},
        {"a text", ftString, "Болт", "Болт"},
        {"a Boolean", ftBoolean, true, "True"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        TMemDataSet ds;
        ds.Columns = {{"F", c.type}};
        ds.Rows = {{c.value}};
        ds.Open();
        EXPECT_EQ(ds.FieldByName("F")->DisplayText(), c.text);
        EXPECT_EQ(ds.FieldByName("F")->AsString(), c.text);
    }
    SetFormatSettings(saved);
}

TEST(DataSetFields, NullReadsAsZero)
{
    TMemDataSet ds;
    ds.Columns = {{"F", ftFloat}};
    ds.Rows = {{Variant::Null()}};
    ds.Open();
    TField* f = ds.FieldByName("F");
    EXPECT_TRUE(f->IsNull());
    EXPECT_EQ(f->AsInteger(), 0);
    EXPECT_EQ(f->AsFloat(), 0.0);
    EXPECT_EQ(f->AsDateTime().Val, 0.0);
    EXPECT_FALSE(f->AsBoolean());
    EXPECT_TRUE(f->Value().IsNull());
}

struct WidthCase {
    TFieldType type;
    int width;
};

TEST(DataSetFields, DisplayWidths)
{
    const WidthCase kCases[] = {{ftString, 20}, {ftInteger, 11}, {ftFloat, 10}, {ftDateTime, 18}, {ftBoolean, 5}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(GetEnumName(TTypeInfoOf<TFieldType>::Get(), c.type));
        TMemDataSet ds;
        ds.Columns = {{"F", c.type}};
        ds.Open();
        EXPECT_EQ(ds.FieldByName("F")->DisplayWidth(), c.width);
    }
}

TEST(DataSetFields, AFieldPointerSurvivesReopening)
{
    auto ds = Numbers(2);
    ds->Open();
    TField* n = ds->FieldByName("N");
    ds->Close();
    EXPECT_THROW(n->Value(), EDbError);
    ds->Open();
    EXPECT_EQ(n, ds->FieldByName("N"));
    EXPECT_EQ(n->AsInteger(), 1);
}

class RecordingLink : public TDataLink {
public:
    std::vector<std::string> Events;
    void ActiveChanged() override { Events.push_back(Active() ? "active" : "inactive"); }
    void DataSetScrolled(int distance) override { Events.push_back("scroll " + std::to_string(distance)); }
    void DataSetChanged() override { Events.push_back("changed"); }
};

TEST(DataSource, TellsLinksOfOpenScrollChangeAndClose)
{
    auto ds = Numbers(3);
    TDataSource src(nullptr);
    RecordingLink link;
    link.SetDataSource(&src);
    src.SetDataSet(ds.get());
    link.Events.clear();
    ds->Open();
    ds->Next();
    ds->Last();
    ds->Delete();
    ds->DisableControls();
    ds->First();
    ds->Next();
    ds->EnableControls();
    ds->Close();
    EXPECT_EQ(link.Events, (std::vector<std::string>{"active", "scroll 1", "scroll 1", "changed", "changed", "inactive"}));
}

TEST(DataSource, ForgetsADestroyedDataSet)
{
    auto ds = Numbers(1);
    TDataSource src(nullptr);
    RecordingLink link;
    link.SetDataSource(&src);
    src.SetDataSet(ds.get());
    ds->Open();
    ds.reset();
    EXPECT_EQ(src.DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
}

TEST(DataSetEvents, AfterOpenAndAfterScroll)
{
    auto ds = Numbers(2);
    std::vector<std::string> seen;
    ds->AfterOpen = TDataSetNotifyEvent::Lambda([&](TDataSet*) { seen.push_back("open"); });
    ds->AfterScroll = TDataSetNotifyEvent::Lambda([&](TDataSet* d) { seen.push_back("scroll " + std::to_string(d->RecNo())); });
    ds->BeforeClose = TDataSetNotifyEvent::Lambda([&](TDataSet*) { seen.push_back("close"); });
    ds->Open();
    ds->Next();
    ds->Close();
    EXPECT_EQ(seen, (std::vector<std::string>{"open", "scroll 1", "scroll 2", "close"}));
}

}  // namespace
