// OptionsTest.cpp - option defaults, Clear, password shift and check.
#include "report/model/rpOptions.h"
#include "report/model/tests/ModelTestClasses.h"

#include <gtest/gtest.h>

TEST(Options, ClearResetsOnlyItsShare)
{
    RegisterModelTestClasses();
    TTestReport r(nullptr);
    auto* e = r.GetEngineOptions();
    auto* p = r.GetPreviewOptions();
    e->ConvertNulls = false;
    e->DoublePass = true;
    e->MaxMemSize = 50;
    e->SilentMode = true;
    p->Zoom = 2;
    p->OutlineVisible = true;
    p->OutlineWidth = 300;
    r.GetPrintOptions()->Copies = 3;
    r.GetReportOptions()->Author = "Я";
    r.Clear();
    EXPECT_TRUE(e->ConvertNulls);
    EXPECT_FALSE(e->DoublePass);
    EXPECT_EQ(e->MaxMemSize, 50);
    EXPECT_TRUE(e->SilentMode);
    EXPECT_DOUBLE_EQ(static_cast<double>(p->Zoom), 2);
    EXPECT_FALSE(p->OutlineVisible);
    EXPECT_EQ(p->OutlineWidth, 120);
    EXPECT_EQ(r.GetPrintOptions()->Copies, 1);
    EXPECT_EQ(r.GetPrintOptions()->Printer, "По умолчанию");
    EXPECT_EQ(r.GetReportOptions()->Author, "");
    EXPECT_EQ(p->Buttons.Bits(), 0x7FFu) << "all eleven buttons: bytes FF 07";
}

TEST(Options, PasswordShiftAndCheck)
{
    const AnsiString typed = "\x01\xF6\xFF" "a";  // split: a hex escape would take the 'a'
    ASSERT_EQ(typed.size(), 4u);
    const AnsiString stored = rpEncodePassword(typed);
    ASSERT_EQ(stored.size(), typed.size());
    EXPECT_EQ(static_cast<unsigned char>(stored[0]), 0xF7);
    EXPECT_EQ(static_cast<unsigned char>(stored[2]), 0xF5);
    EXPECT_EQ(static_cast<unsigned char>(stored[3]), 0x57) << "the 'a' after 0xFF is stored too";
    EXPECT_EQ(rpDecodePassword(stored), typed);
    TrpReportOptions o;
    EXPECT_TRUE(o.CheckPassword()) << "no password, nothing asked";
    o.Password = "Секрет";
    rpSetPasswordQuery(nullptr);
    EXPECT_FALSE(o.CheckPassword()) << "nobody to ask: refused";
    rpSetPasswordQuery([](AnsiString& t) { t = "секрет"; return true; });
    EXPECT_FALSE(o.CheckPassword()) << "case counts";
    rpSetPasswordQuery([](AnsiString& t) { t = "Секрет"; return false; });
    EXPECT_FALSE(o.CheckPassword()) << "cancelled";
    rpSetPasswordQuery([](AnsiString& t) { t = "Секрет"; return true; });
    EXPECT_TRUE(o.CheckPassword());
    rpSetPasswordQuery(nullptr);
}

TEST(Options, ReportFileKeepsProgramSettingsAndChecksPassword)
{
    RegisterModelTestClasses();
    TTestReport src(nullptr);
    src.GetPreviewOptions()->Zoom = 3;
    src.GetEngineOptions()->SilentMode = true;
    src.GetEngineOptions()->DoublePass = true;
    src.GetPreviewOptions()->OutlineVisible = true;
    src.ShowProgress = false;
    TStringStream s;
    src.SaveToStream(s);
    TTestReport dst(nullptr);
    TStringStream in(s.DataString());
    dst.LoadFromStream(in);
    EXPECT_DOUBLE_EQ(static_cast<double>(dst.GetPreviewOptions()->Zoom), 1);
    EXPECT_FALSE(dst.GetEngineOptions()->SilentMode);
    EXPECT_TRUE(dst.ShowProgress);
    EXPECT_TRUE(dst.GetEngineOptions()->DoublePass);
    EXPECT_TRUE(dst.GetPreviewOptions()->OutlineVisible);

    src.GetReportOptions()->Password = "pw";
    new TTestPage(&src);
    TStringStream s2;
    src.SaveToStream(s2);
    TStringStream in2(s2.DataString());
    rpSetPasswordQuery([](AnsiString& t) { t = "wrong"; return true; });
    dst.LoadFromStream(in2);
    EXPECT_EQ(dst.ObjectCount(), 0) << "a wrong password leaves the report empty";
    rpSetPasswordQuery(nullptr);
    EXPECT_FALSE(dst.LoadFromFile("/nonexistent/report.xml"));
}

TEST(Options, TheReportsPictureTravelsWithTheFileAndClearEmptiesIt)
{
    RegisterModelTestClasses();
    TTestReport src(nullptr);
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(3, 2);
    src.GetReportOptions()->GetPicture()->SetGraphic(std::move(bmp));
    TStringStream s;
    src.SaveToStream(s);
    TTestReport dst(nullptr);
    TStringStream in(s.DataString());
    dst.LoadFromStream(in);
    EXPECT_EQ(dst.GetReportOptions()->GetPicture()->GetWidth(), 3);
    EXPECT_EQ(dst.GetReportOptions()->GetPicture()->GetHeight(), 2);
    TrpReportOptions copy;
    copy.Assign(dst.GetReportOptions());
    EXPECT_EQ(copy.GetPicture()->GetWidth(), 3) << "Assign copies the picture";
    dst.Clear();
    EXPECT_EQ(dst.GetReportOptions()->GetPicture()->GetGraphic(), nullptr);
}
