// DialogTest.cpp - dialog controls nested in one another, their generated names, and the
// designer's pictures of dialog components and controls.
#include "report/model/tests/ReportFixture.h"

#include "platform/graphics/testing/RecordingCanvas.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"

namespace {

class TrpButtonControl : public TrpDialogControl {
    SKLAD_CLASS_NOPUBLISH(TrpButtonControl, TrpDialogControl)
public:
    explicit TrpButtonControl(TComponent* AOwner) : TrpDialogControl(AOwner)
    {
        InitControl(std::make_unique<TButton>(nullptr));
    }
};
SKLAD_DEFINE_CLASS(TrpButtonControl)

class TrpPanelControl : public TrpDialogControl {
    SKLAD_CLASS_NOPUBLISH(TrpPanelControl, TrpDialogControl)
public:
    explicit TrpPanelControl(TComponent* AOwner) : TrpDialogControl(AOwner)
    {
        InitControl(std::make_unique<TPanel>(nullptr));
    }
};
SKLAD_DEFINE_CLASS(TrpPanelControl)

}  // namespace

TEST_F(ReportTest, ControlsNestedInControlsAreFreedOnce)
{
    TrpReport* r = MakeReport();
    auto* dlg = new TrpDialogPage(r);
    dlg->SetName("DialogPage1");
    auto* outer = Add<TrpPanelControl>(dlg, "Panel1");
    auto* inner = Add<TrpPanelControl>(outer, "Panel2");
    auto* button = Add<TrpButtonControl>(inner, "Button1");
    EXPECT_EQ(button->Control()->GetParent(), inner->Control());
    EXPECT_EQ(inner->Control()->GetParent(), outer->Control());

    delete inner;  // a control freed on its own takes its controls with it
    EXPECT_EQ(r->FindObject("Button1"), nullptr);
    EXPECT_EQ(static_cast<TWinControl*>(outer->Control())->ControlCount(), 0);

    Add<TrpButtonControl>(Add<TrpPanelControl>(outer, "Panel3"), "Button2");
    delete r;  // and the whole report, page, panels and button (a double free under ASan before)
}

TEST_F(ReportTest, DialogControlsAreNamedAfterTheirOwnClass)
{
    TrpReport* r = MakeReport();
    auto* dlg = new TrpDialogPage(r);
    dlg->SetName("DialogPage1");
    struct Case {
        TrpComponent* control;
        const char* base;
        const char* name;
    };
    auto* b1 = new TrpButtonControl(dlg);
    b1->CreateUniqueName();
    auto* b2 = new TrpButtonControl(dlg);
    b2->CreateUniqueName();
    auto* p1 = new TrpPanelControl(dlg);
    p1->CreateUniqueName();
    for (const Case& c : {Case{b1, "Button", "Button1"}, Case{b2, "Button", "Button2"}, Case{p1, "Panel", "Panel1"}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.control->GetBaseName(), c.base);
        EXPECT_EQ(c.control->Name(), c.name);
    }
}

TEST_F(ReportTest, DialogComponentsCarryAnIconExceptUserDataSets)
{
    TrpReport* r = MakeReport();
    auto* dlg = new TrpDialogPage(r);
    auto* db = new TrpDBDataset(dlg);
    db->SetName("Data1");
    auto* user = new TrpUserDataSet(dlg);
    ASSERT_NE(db->Bitmap, nullptr);
    EXPECT_EQ(db->Bitmap->GetWidth(), 22);
    EXPECT_EQ(db->Bitmap->GetHeight(), 22);
    EXPECT_EQ(user->Bitmap, nullptr);
    EXPECT_EQ(db->Component, nullptr);

    db->SetBounds(40, 30, 100, 100);
    TRecordingCanvas c;
    db->Draw(&c.Canvas, 2, 2, 7, 7);
    EXPECT_EQ(db->GetWidth(), 28);
    EXPECT_EQ(db->GetHeight(), 28);
    const AnsiString dump = c.Dump();
    EXPECT_NE(dump.find("bitmap 43 33 65 55 22x22"), AnsiString::npos) << dump;
    EXPECT_NE(dump.find("Tahoma"), AnsiString::npos) << dump;
    EXPECT_NE(dump.find("Data1"), AnsiString::npos) << dump;
}

TEST_F(ReportTest, ADialogControlIsDrawnUnscaledAtItsPlace)
{
    TrpReport* r = MakeReport();
    auto* dlg = new TrpDialogPage(r);
    auto* panel = Add<TrpPanelControl>(dlg, "Panel1");
    panel->SetBounds(10, 20, 50, 30);
    auto* button = Add<TrpButtonControl>(panel, "Button1");
    button->SetBounds(5, 6, 30, 12);
    TRecordingCanvas c;
    button->Draw(&c.Canvas, 3, 3, 100, 100);
    const AnsiString dump = c.Dump();
    EXPECT_NE(dump.find("bitmap 15 26 45 38 30x12"), AnsiString::npos) << dump;
}
