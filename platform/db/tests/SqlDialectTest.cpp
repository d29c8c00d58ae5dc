#include "platform/db/SqlDialect.h"

#include "platform/db/ADODB.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct RewriteCase {
    const char* why;
    const char* in;
    const char* out;
};

const RewriteCase kRewrites[] = {
    {"Delete * From loses the star", "Delete * From TempStructureDocuments", "Delete From TempStructureDocuments"},
    {"star removal keeps the condition", "Delete * From Groups Where (ID=3)", "Delete From Groups Where (ID=3)"},
    {"any case of the keywords", "delete  *  from P", "delete  from P"},
    {"a star elsewhere stays", "Select * From Products", "Select * From Products"},
    {"digit column in Set is quoted", "Update ColumnSize Set 3=46 Where ID=1", "Update ColumnSize Set \"3\"=46 Where ID=1"},
    {"two-digit column in Set", "Update ColumnSize Set 12=40 Where ID=4", "Update ColumnSize Set \"12\"=40 Where ID=4"},
    {"digit columns after commas in Set", "Update ColumnSize Set 0=1,1=2 Where ID=9",
     "Update ColumnSize Set \"0\"=1,\"1\"=2 Where ID=9"},
    {"values and the Where id stay numbers", "Update NDS Set НДС=18", "Update NDS Set НДС=18"},
    {"digit columns of an insert column list", "Insert Into ColumnSize (ID,0,1) Values (5,10,20)",
     "Insert Into ColumnSize (ID,\"0\",\"1\") Values (5,10,20)"},
    {"qualified digit column", "Select ColumnSize.0 From ColumnSize", "Select ColumnSize.\"0\" From ColumnSize"},
    {"a decimal number is not a column", "Select * From Products Where Цена>1.5", "Select * From Products Where Цена>1.5"},
    {"text with a star and digits is untouched", "Insert Into P (Название) Values ('Delete * From 3=4')",
     "Insert Into P (Название) Values ('Delete * From 3=4')"},
    {"Or chain on one column folds into In", "Select * From Groups Where (IDName=1) Or (IDName=2) Or (IDName=3)",
     "Select * From Groups Where (IDName In (1,2,3))"},
    {"chain after a different first term folds from the second",
     "Select * From Groups Where (NameGroup='Склад') Or (IDName=1) Or (IDName=5)",
     "Select * From Groups Where (NameGroup='Склад') Or (IDName In (1,5))"},
    {"a single term stays", "Select * From Products Where (ID=7)", "Select * From Products Where (ID=7)"},
    {"And chain of <> folds into Not In", "Select * From P Where (Название <> 'a') And (Название <> 'b') ",
     "Select * From P Where (Название Not In ('a','b')) "},
    {"Or run bound by a preceding And keeps its first term",
     "Select * From T Where X=1 And (ID=1) Or (ID=2) Or (ID=3)",
     "Select * From T Where X=1 And (ID=1) Or (ID In (2,3))"},
    {"Or run followed by And keeps its last term", "Select * From T Where (ID=1) Or (ID=2) Or (ID=3) And X=1",
     "Select * From T Where (ID In (1,2)) Or (ID=3) And X=1"},
    {"Or run followed by Order By folds", "Select * From Documents Where (ID=1) Or (ID=2) Order By ID Asc",
     "Select * From Documents Where (ID In (1,2)) Order By ID Asc"},
    {"Not before a chain blocks folding", "Select * From T Where Not (ID=1) Or (ID=2)",
     "Select * From T Where Not (ID=1) Or (ID=2)"},
    {"different columns do not fold", "Select * From T Where (A=1) Or (B=2)", "Select * From T Where (A=1) Or (B=2)"},
    {"negative numbers fold", "Select * From T Where (A=-1) Or (A=2)", "Select * From T Where (A In (-1,2))"},
    {"column names compare ignoring case", "Select * From T Where (id=1) Or (ID=2)",
     "Select * From T Where (id In (1,2))"},
    {"qualified columns fold", "Select * From T Where (T.ID=1) Or (T.ID=2)", "Select * From T Where (T.ID In (1,2))"},
    {"a Where-less Or inside parentheses folds", "Select * From T Where X=1 And ((ID=1) Or (ID=2))",
     "Select * From T Where X=1 And ((ID In (1,2)))"},
};

TEST(SqlDialect, Rewrites)
{
    for (const auto& c : kRewrites) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(RewriteSql(c.in).Text, c.out);
    }
}

struct ParamCase {
    const char* why;
    const char* in;
    const char* out;
    std::vector<const char*> slots;
};

TEST(SqlDialect, ParametersBecomeSlots)
{
    const std::map<std::string, int> lists = {{"ids", 3}, {"none", 0}};
    const auto listSize = [&](std::string_view name) {
        auto it = lists.find(std::string(name));
        return it == lists.end() ? -1 : it->second;
    };
    const ParamCase kCases[] = {
        {"one parameter", "Select * From Groups Where NameGroup=:name", "Select * From Groups Where NameGroup=?", {"name"}},
        {"a repeated name gets a slot each time", "Update T Set A=:v Where B=:v", "Update T Set A=? Where B=?", {"v", "v"}},
        {"a colon inside text is text", "Select * From T Where A=':x' And B=:y", "Select * From T Where A=':x' And B=?", {"y"}},
        {"a list parameter expands", "Select * From Products Where ID In (:ids)",
         "Select * From Products Where ID In (?,?,?)", {"ids", "ids", "ids"}},
        {"an empty list leaves an empty In", "Select * From Products Where ID In (:none)",
         "Select * From Products Where ID In ()", {}},
        {"Cyrillic parameter names", "Select * From Products Where Группа=:группа", "Select * From Products Where Группа=?",
         {"группа"}},
        {"parameters inside a folded chain", "Select * From T Where (ID=:a) Or (ID=:b)",
         "Select * From T Where (ID In (?,?))", {"a", "b"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        const TRewrittenSql r = RewriteSql(c.in, listSize);
        EXPECT_EQ(r.Text, c.out);
        ASSERT_EQ(r.Slots.size(), c.slots.size());
        for (size_t i = 0; i < c.slots.size(); ++i)
            EXPECT_EQ(r.Slots[i].Name, c.slots[i]);
    }
}

TEST(SqlDialect, ParamNamesAreUniqueInOrder)
{
    EXPECT_EQ(SqlParamNames("Update T Set A=:b, C=:a Where D=:B And E=':c'"), (std::vector<AnsiString>{"b", "a"}));
}

TEST(SqlDialect, TokensGiveTheTextBack)
{
    const char* texts[] = {
        "Select * From \"Odd \"\" name\" Where [x y]=1 -- tail :p\n/* :q */ And 'it''s'=:r",
        "unterminated 'text", "unterminated \"name", "/* open comment", "a::b :: :", "",
    };
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        std::string joined;
        for (const auto& tok : TokenizeSql(t))
            joined += tok.Text;
        EXPECT_EQ(joined, t);
    }
}

TEST(SqlDialect, LongChainFoldsToOneTerm)
{
    std::string sql = "Select * From Groups Where (NameGroup='x')";
    for (int i = 1; i <= 2000; ++i)
        sql += " Or (IDName=" + std::to_string(i) + ")";
    const std::string folded = FoldSqlChains(sql);
    EXPECT_EQ(folded.find(" Or (IDName="), std::string::npos);
    EXPECT_NE(folded.find("(IDName In (1,2,3,"), std::string::npos);
    EXPECT_NE(folded.find(",2000))"), std::string::npos);
}

TEST(ConnectionString, AQuotedPathComesBackWhole)
{
    struct Case {
        const char* why;
        AnsiString path;
    };
    const Case cases[] = {
        {"plain", "/home/склад/New.kvb"},
        {"a semicolon", "/home/x;y/a;b.kvb"},
        {"a single quote", "/home/O'Neil/it's.kvb"},
        {"a double quote", "/home/\"x\".kvb"},
        {"both quotes and a semicolon", "/a'b\"c;d.kvb"},
        {"blanks at both ends", " /склад.kvb "},
        {"an equals sign", "/a=b.kvb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const AnsiString cs = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + ConnectionStringQuote(c.path) +
                              ";Mode=ReadWrite;Jet OLEDB:SFP=False";
        EXPECT_EQ(ConnectionStringValue(cs, "Data Source"), c.path);
        EXPECT_EQ(ConnectionStringValue(cs, "Mode"), "ReadWrite");
        TADOConnection connection(nullptr);
        connection.SetConnectionString(cs);
        EXPECT_EQ(connection.DataSource(), c.path);
    }
}

}  // namespace
