// ResourcesTest.cpp - the resource dictionary and window localisation.
#include "report/model/rpRes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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

// The six window blocks: their line counts, rows that tell them apart, CR LF after every
// line. The dot-matrix export block holds only the rows the library gives for it.
TEST(Resources, WindowBlocks)
{
    frAddClassesRes();
    struct Block {
        const char* key;
        int lines;
        std::vector<const char*> rows;
    };
    const Block kBlocks[] = {
        {"TrpPreviewForm", 44,
         {"Caption=Предварительный просмотр", "PrintB.Caption=Печать", "Zoom50B.Caption=Две страницы",
          "OutlineB.Hint=Дерево отчета", "CancelB.Caption=Закрыть", "PageE.Hint=Номер страницы"}},
        {"TrpPrintDialog", 18,
         {"Caption=Печать", "Label12.Caption=Принтер   ",
          "DescrL.Caption=Введите номера и/или диапазоны страниц, разделенные запятыми. Например, 1,3,5-12",
          "CollateL.Caption=Разобрать по копиям", "ReverseCB.Caption=В обратном порядке"}},
        {"TrpSearchDialog", 8, {"Caption=Искать текст", "TopCB.Caption=Искать с начала", "CaseCB.Caption=Различать регистр"}},
        {"TrpPageSettingsForm", 23,
         {"Caption=Настройки страницы", "PortraitRB.Caption=Портретная", "cmL1.Caption=см", "cmL2.Caption=см",
          "cmL3.Caption=см", "cmL4.Caption=см", "cmL5.Caption=см", "cmL6.Caption=см",
          "ApplyToAllRB.Caption=Применить ко всем страницам"}},
        {"TrpDMPExportDialog", 4,
         {"Caption=Печать", "EscL.Caption=ESC-команды   ", "OemCB.Caption=OEM-кодировка",
          "SaveDialog1.Filter=Файл печати (*.prn)|*.prn"}},
        {"TrpProgress", 1, {"CancelB.Caption=Отмена"}},
    };
    for (const Block& b : kBlocks) {
        SCOPED_TRACE(b.key);
        const AnsiString text = rpResources().Get(b.key);
        ASSERT_GE(text.size(), 2u);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << "the last line ends in CR LF too";
        std::vector<AnsiString> lines;
        for (size_t at = 0; at < text.size();) {
            const size_t end = text.find("\r\n", at);
            ASSERT_NE(end, AnsiString::npos);
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        EXPECT_EQ(int(lines.size()), b.lines);
        for (const char* row : b.rows)
            EXPECT_NE(std::find(lines.begin(), lines.end(), AnsiString(row)), lines.end()) << row;
    }
    const AnsiString dmp = rpResources().Get("TrpDMPExportDialog");
    EXPECT_EQ(dmp.substr(dmp.rfind("\r\n", dmp.size() - 3) + 2), "SaveDialog1.Filter=Файл печати (*.prn)|*.prn\r\n")
        << "the save dialog's filter is the last line";
}
