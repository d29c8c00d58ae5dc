// The library's windows take every caption and hint from their resource text block.
#include "report/output/rpPageSettings.h"
#include "report/output/rpPreviewForm.h"
#include "report/output/rpPrintDialog.h"
#include "report/output/rpProgress.h"
#include "report/output/rpSearchDialog.h"
#include "report/output/tests/PreviewTestSupport.h"

#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct TWindowCase {
    const char* Key;
    int Lines;
    std::function<TComponent*()> Make;
};

std::vector<TWindowCase> Windows()
{
    return {
        {"TrpPreviewForm", 44, [] { return new TrpPreviewForm(Application); }},
        {"TrpPrintDialog", 18, [] { return new TrpPrintDialog(Application); }},
        {"TrpSearchDialog", 8, [] { return new TrpSearchDialog(Application); }},
        {"TrpPageSettingsForm", 23, [] { return new TrpPageSettingsForm(Application); }},
        {"TrpProgress", 1, [] { return new TrpProgress(nullptr); }},
    };
}

struct TBlockLine {
    AnsiString Component, Property, Text;
};

std::vector<TBlockLine> BlockLines(const AnsiString& Key)
{
    std::vector<TBlockLine> lines;
    TStringList text;
    text.SetText(rpResources().Get(Key));
    for (int i = 0; i < text.Count(); ++i) {
        const AnsiString line = text[i];
        const size_t eq = line.find('=');
        TBlockLine l;
        const AnsiString name = line.substr(0, eq);
        const size_t dot = name.find('.');
        if (dot != AnsiString::npos) {
            l.Component = name.substr(0, dot);
            l.Property = name.substr(dot + 1);
        } else {
            l.Property = name;
        }
        l.Text = line.substr(eq + 1);
        lines.push_back(l);
    }
    return lines;
}

AnsiString Shown(TComponent* Window, const TBlockLine& Line)
{
    TComponent* target = Line.Component.empty() ? Window : Window->FindComponent(Line.Component);
    if (!target)
        return "<no component " + Line.Component + ">";
    const TPropInfo* p = GetPropInfo(target, Line.Property);
    if (!p)
        return "<no property " + Line.Property + ">";
    return GetStrProp(target, p);
}

class WindowTextsTest : public ::testing::Test {
protected:
    void TearDown() override { frAddClassesRes(); }
    TPreviewEnv env;
};

TEST_F(WindowTextsTest, EveryRowOfEveryBlockReachesItsWindow)
{
    frAddClassesRes();
    for (const TWindowCase& w : Windows()) {
        SCOPED_TRACE(w.Key);
        const std::vector<TBlockLine> lines = BlockLines(w.Key);
        EXPECT_EQ(static_cast<int>(lines.size()), w.Lines);
        std::unique_ptr<TComponent> window(w.Make());
        for (const TBlockLine& line : lines)
            EXPECT_EQ(Shown(window.get(), line), line.Text) << line.Component << "." << line.Property;
    }
}

TEST_F(WindowTextsTest, WindowsHaveNoTextsOfTheirOwn)
{
    frAddClassesRes();
    for (const TWindowCase& w : Windows()) {
        SCOPED_TRACE(w.Key);
        const std::vector<TBlockLine> lines = BlockLines(w.Key);
        rpResources().Add(w.Key, "");
        std::unique_ptr<TComponent> window(w.Make());
        for (const TBlockLine& line : lines)
            EXPECT_EQ(Shown(window.get(), line), "") << line.Component << "." << line.Property;
        frAddClassesRes();
    }
}

TEST_F(WindowTextsTest, AChangedBlockChangesTheWindow)
{
    frAddClassesRes();
    rpResources().Add("TrpPreviewForm", "Caption=Просмотр\r\nPrintB.Hint=На принтер\r\nZoomCB.Hint=Zoom\r\n");
    std::unique_ptr<TrpPreviewForm> form(new TrpPreviewForm(Application));
    EXPECT_EQ(form->GetCaption(), "Просмотр");
    EXPECT_EQ(form->PrintB->GetHint(), "На принтер");
    EXPECT_EQ(form->PrintB->GetCaption(), "");
    EXPECT_EQ(form->ZoomCB->GetHint(), "Zoom");
    EXPECT_EQ(form->Showtemplate1->GetCaption(), "Show template") << "no row for it: the window's own text";
}

TEST_F(WindowTextsTest, TheDeveloperAidWritesTheBlocksOfTheWindows)
{
    frAddClassesRes();
    const AnsiString file = rpCreateTempFile("");
    DeleteFile(file);
    for (const TWindowCase& w : Windows()) {
        SCOPED_TRACE(w.Key);
        std::unique_ptr<TComponent> window(w.Make());
        rpFormToRes(window.get(), file);
        TStringList written;
        written.LoadFromFile(file);
        DeleteFile(file);
        ASSERT_GT(written.Count(), 1);
        EXPECT_EQ(written[0], AnsiString("rpResources.Add('") + w.Key + "',");
        EXPECT_EQ(written[written.Count() - 1], "    '');");
        for (const TBlockLine& line : BlockLines(w.Key)) {
            if (line.Component.empty())
                continue;  // the window's own caption is not a component's
            const AnsiString row = "    '" + line.Component + "." + line.Property + "=" + line.Text + "' + #13#10 +";
            EXPECT_GE(written.IndexOf(row), 0) << line.Component << "." << line.Property;
        }
    }
}

}  // namespace
