// VariablesTest.cpp - categories, lookup and the variables file.
#include "report/model/rpVariables.h"
#include "report/model/tests/ModelTestClasses.h"

#include <gtest/gtest.h>

namespace {
AnsiString Names(const TrpVariables& v)
{
    AnsiString r;
    for (int i = 0; i < v.Count(); ++i)
        r += "[" + v.Items(i)->GetName() + "]";
    return r;
}
void Fill(TrpVariables& v)
{
    for (const char* n : {" T", "A", "B", " D", "F"})
        v.Add()->SetName(n);
}
}  // namespace

TEST(Variables, Categories)
{
    RegisterModelTestClasses();
    TrpVariables v;
    Fill(v);
    TStringList list;
    v.GetCategoriesList(&list);
    EXPECT_EQ(list.CommaText(), "T,D");
    v.GetVariablesList("T", &list);
    EXPECT_EQ(list.CommaText(), "A,B");
    v.GetVariablesList("", &list);
    EXPECT_EQ(list.Count(), 0);
    v.AddVariable("T", "E", 1);
    v.AddVariable("D", "G", 2);
    v.AddVariable("X", "H", 3);
    EXPECT_EQ(Names(v), "[ T][A][B][E][ D][F][G]");
    v.DeleteCategory("T");
    EXPECT_EQ(Names(v), "[ D][F][G]");
    v.SetVariable("new", 5);
    EXPECT_EQ(Names(v), "[ D][F][G][new]");
    EXPECT_EQ(v.GetVariable("NEW"), Variant(5));
    EXPECT_TRUE(v.GetVariable("none").IsNull());
    v.Items(1)->SetName("");
    v.GetVariablesList("D", &list);
    EXPECT_EQ(list.Count(), 0) << "an empty name ends the category";
}

// An empty name ends a category, but the variables outside any category run up to the
// first heading.
TEST(Variables, EmptyNameEndsACategoryButNotTheUncategorised)
{
    RegisterModelTestClasses();
    TrpVariables v;
    for (const char* n : {"a", "", "b", " T", "c", "", "d"})
        v.Add()->SetName(n);
    TStringList list;
    v.GetVariablesList("", &list);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Strings(2), "b");
    v.GetVariablesList("T", &list);
    EXPECT_EQ(list.CommaText(), "c");
}

TEST(Variables, FileRoundTripAndWrongRoot)
{
    RegisterModelTestClasses();
    TrpVariables v;
    Fill(v);
    v.SetVariable("itog", Variant("'Склад \"1\"'"));
    TStringStream out;
    v.SaveToStream(out);
    EXPECT_EQ(out.DataString().find("<variables>"), 40u) << out.DataString();
    TrpVariables back;
    TStringStream in(out.DataString());
    back.LoadFromStream(in);
    EXPECT_EQ(Names(back), Names(v));
    EXPECT_EQ(VarToStr(back.GetVariable("itog")), "'Склад \"1\"'");
    EXPECT_TRUE(back.GetVariable("A").IsNull());
    TStringStream other("<?xml?><styles><item Name=\"x\"/></styles>");
    back.LoadFromStream(other);
    EXPECT_EQ(back.Count(), 0);
}
