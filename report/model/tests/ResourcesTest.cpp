// ResourcesTest.cpp - the resource dictionary and window localisation.
#include "report/model/rpRes.h"

#include <gtest/gtest.h>

namespace {
class TTestWindow : public TComponent {
    SKLAD_CLASS(TTestWindow, TComponent)
public:
    explicit TTestWindow(TComponent* o) : TComponent(o) {}
    AnsiString Caption, Hint;
    int Number = 0;
};
class TTestLabel : public TComponent {
    SKLAD_CLASS(TTestLabel, TComponent)
public:
    explicit TTestLabel(TComponent* o) : TComponent(o) {}
    AnsiString Caption;
};
SKLAD_DEFINE_CLASS(TTestWindow)
void TTestWindow::Publish(TPropertyTable& t)
{
    t.Prop("Caption", &TTestWindow::Caption, &TTestWindow::Caption);
    t.Prop("Number", &TTestWindow::Number, &TTestWindow::Number);
}
SKLAD_DEFINE_CLASS(TTestLabel)
void TTestLabel::Publish(TPropertyTable& t) { t.Prop("Caption", &TTestLabel::Caption, &TTestLabel::Caption); }
}  // namespace

TEST(Resources, TextsByKey)
{
    frAddClassesRes();
    const int count = rpResources().Count();
    EXPECT_GE(count, 46);
    EXPECT_EQ(rpResources().Get("CLERRORS"), "Были обнаружены следующие ошибки:");
    EXPECT_EQ(rpResources().Get("obReport"), "obReport") << "a key without text is itself";
    EXPECT_EQ(rpResources().Get("clFirstPass"), "Первый проход: страница ");
    frAddClassesRes();
    EXPECT_EQ(rpResources().Count(), count) << "adding a key again replaces its text";
}

TEST(Resources, LocalizeForm)
{
    TrpResources res;
    res.Add("TTestWindow",
            "Caption=Печать\r\nLabel12.Caption=Принтер   \r\nNoSuch.Caption=x\r\n=empty\r\nno equals\r\n"
            "Number=5\r\nLabel12.Missing=y\r\n");
    TTestWindow w(nullptr);
    auto* label = new TTestLabel(&w);
    label->SetName("Label12");
    res.LocalizeForm(&w);
    EXPECT_EQ(w.Caption, "Печать");
    EXPECT_EQ(label->Caption, "Принтер   ") << "trailing blanks kept";
    EXPECT_EQ(w.Number, 0) << "only string properties";
    TTestLabel plain(nullptr);
    res.LocalizeForm(&plain);
    EXPECT_EQ(plain.Caption, "");
}
