// The binding cases: scripts that use the platform's classes, with their
// expectations and the user's answers inside, one folder per syntax under
// bindings/cases/. Lines (after the syntax's comment marker):
//
//   expect: <line>                       a line Print wrote, in order
//   expect runtime error line <N>: <text> the error that left the script
//   expect message: <text>               a message box shown, in order
//   answer message: <modal result>       the answer to the next message box
//   answer input: <text> / cancel input  the answer to the next input prompt
//   modal <Form>: <step>; <step> ...     what the user does in <Form>'s ShowModal;
//                                        steps: click <Control>, type <Control> <text>
//   answer file: <name>                  the answer to the next file dialog
//   printers: <name>, <name> ...         the installed printers (the first is the default)
//   answer print: <key>=<n> ...          the answer to the next print or set-up dialog
//                                        (printer, copies, collate, range, from, to,
//                                        file, paper, orientation) / cancel print
//   then click <Form>.<Control>          after the script, the user clicks a control;
//                                        an error dialog it raises is output as
//                                        "error dialog: <message>"
//   then press <Form>.<Control> <chars>  after the script, the user types characters
//
// Files are UTF-8 on disk and read into CP1251 like any script text.
#include "script/tests/bindings/BindingsFixture.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/printers/Printers.h"
#include "platform/printers/RecordingPrinter.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct CaseFile {
    std::string path;
    AnsiString language;
    AnsiString comment;
};

void PrintTo(const CaseFile& c, std::ostream* os)
{
    *os << c.path;
}

std::vector<CaseFile> CollectCases()
{
    static const struct {
        const char* ext;
        const char* language;
        const char* comment;
    } kSyntaxes[] = {
        {".pas", "PascalScript", "//"}, {".cpp", "C++Script", "//"}, {".js", "JScript", "//"}, {".vb", "BasicScript", "'"},
    };
    std::vector<CaseFile> files;
    for (const auto& entry : fs::recursive_directory_iterator(BINDINGS_CASES_DIR)) {
        if (!entry.is_regular_file())
            continue;
        for (const auto& s : kSyntaxes)
            if (entry.path().extension() == s.ext)
                files.push_back({entry.path().string(), s.language, s.comment});
    }
    std::sort(files.begin(), files.end(), [](const CaseFile& a, const CaseFile& b) { return a.path < b.path; });
    return files;
}

std::string U(const AnsiString& s)
{
    return AnsiToUtf8(s);
}

std::vector<std::string> U(const std::vector<AnsiString>& v)
{
    std::vector<std::string> r;
    for (const AnsiString& s : v)
        r.push_back(AnsiToUtf8(s));
    return r;
}

TControl* ControlOf(TComponent* form, const AnsiString& name)
{
    auto* c = form ? dynamic_cast<TControl*>(form->FindComponent(name)) : nullptr;
    EXPECT_NE(c, nullptr) << "no control " << U(name);
    return c;
}

TCustomForm* FormNamed(const AnsiString& name)
{
    for (TCustomForm* f : Screen->FormList())
        if (AnsiSameText(f->Name(), name))
            return f;
    ADD_FAILURE() << "no form " << U(name);
    return nullptr;
}

class BindingCase : public BindingsTest, public ::testing::WithParamInterface<CaseFile> {
protected:
    // "click Button1" / "type Edit1 some text" inside a modal form.
    void Step(TCustomForm* form, const AnsiString& step)
    {
        const AnsiString s = Trim(step);
        if (s.rfind("click ", 0) == 0) {
            if (TControl* c = ControlOf(form, Trim(s.substr(6))))
                Driver->Click(c);
        } else if (s.rfind("type ", 0) == 0) {
            const AnsiString rest = Trim(s.substr(5));
            const auto blank = rest.find(' ');
            if (TControl* c = ControlOf(form, rest.substr(0, blank)))
                Driver->Type(c, blank == AnsiString::npos ? AnsiString() : rest.substr(blank + 1));
        } else {
            ADD_FAILURE() << "unknown step " << U(s);
        }
    }
};

TEST_P(BindingCase, RunsAsItSays)
{
    const CaseFile& c = GetParam();
    std::ifstream in(c.path, std::ios::binary);
    const AnsiString text = Utf8ToAnsi(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));

    std::vector<AnsiString> expected, expectedMessages, thenClicks;
    std::unique_ptr<TRecordingPrinterSystem> printers;
    TPrinterSystem* previousPrinters = nullptr;
    struct TRestorePrinters {
        std::unique_ptr<TRecordingPrinterSystem>& Printers;
        TPrinterSystem*& Previous;
        ~TRestorePrinters()
        {
            if (Printers) {
                SetPrinterSystem(Previous);
                Printer()->Refresh();
            }
        }
    } restorePrinters{printers, previousPrinters};
    AnsiString runtimeError;
    const AnsiString m = c.comment + " ";
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == AnsiString::npos)
            end = text.size();
        AnsiString line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto at = line.find(m);
        if (at == AnsiString::npos)
            continue;
        const AnsiString d = line.substr(at + m.size());
        auto after = [&](const char* key) { return d.substr(std::string_view(key).size()); };
        if (d.rfind("expect: ", 0) == 0)
            expected.push_back(after("expect: "));
        else if (d.rfind("expect runtime error ", 0) == 0)
            runtimeError = after("expect runtime error ");
        else if (d.rfind("expect message: ", 0) == 0)
            expectedMessages.push_back(after("expect message: "));
        else if (d.rfind("answer message: ", 0) == 0)
            Driver->AnswerMessage(StrToInt(Trim(after("answer message: "))));
        else if (d.rfind("answer input: ", 0) == 0)
            Driver->AnswerInput(after("answer input: "));
        else if (d.rfind("cancel input", 0) == 0)
            Driver->CancelInput();
        else if (d.rfind("answer file: ", 0) == 0)
            Driver->AnswerFileDialog(after("answer file: "));
        else if (d.rfind("printers: ", 0) == 0) {
            TStringList names;
            names.SetCommaText(after("printers: "));
            std::vector<TRecordingPrinterSpec> specs;
            for (int i = 0; i < names.Count(); ++i)
                specs.emplace_back(names[i]);
            printers = std::make_unique<TRecordingPrinterSystem>(specs, specs.empty() ? AnsiString() : specs[0].Name);
            previousPrinters = SetPrinterSystem(printers.get());
            Printer()->Refresh();
        } else if (d.rfind("cancel print", 0) == 0)
            Driver->AnswerPrintDialog({});
        else if (d.rfind("answer print: ", 0) == 0) {
            std::map<std::string, int> v;
            std::istringstream pairs(after("answer print: "));
            for (std::string pair; pairs >> pair;) {
                const auto eq = pair.find('=');
                v[pair.substr(0, eq)] = std::stoi(pair.substr(eq + 1));
            }
            Driver->AnswerPrintDialog([v](TPrintDialogRequest& r) {
                auto set = [&](const char* key, auto& field) {
                    if (auto it = v.find(key); it != v.end())
                        field = static_cast<std::remove_reference_t<decltype(field)>>(it->second);
                };
                set("printer", r.PrinterIndex);
                set("copies", r.Copies);
                set("collate", r.Collate);
                set("range", r.PrintRange);
                set("from", r.FromPage);
                set("to", r.ToPage);
                set("file", r.PrintToFile);
                set("paper", r.PaperCode);
                set("orientation", r.Orientation);
            });
        } else if (d.rfind("then click ", 0) == 0)
            thenClicks.push_back(Trim(after("then click ")));
        else if (d.rfind("then press ", 0) == 0)
            thenClicks.push_back("\x01" + after("then press "));
        else if (d.rfind("modal ", 0) == 0) {
            const AnsiString rest = after("modal ");
            const auto colon = rest.find(':');
            const AnsiString steps = colon == AnsiString::npos ? AnsiString() : rest.substr(colon + 1);
            Driver->ExpectModal(Trim(rest.substr(0, colon)), [this, steps] {
                size_t from = 0;
                while (from <= steps.size()) {
                    const auto semi = steps.find(';', from);
                    const AnsiString step = steps.substr(from, semi == AnsiString::npos ? AnsiString::npos : semi - from);
                    if (!Trim(step).empty())
                        Step(Screen->ModalForm(), step);
                    if (semi == AnsiString::npos)
                        break;
                    from = semi + 1;
                }
            });
        }
    }

    Output.clear();
    ASSERT_TRUE(Compile(c.language, text)) << U(S->ErrorPos + ": " + S->ErrorText);
    const AnsiString error = Execute();
    for (AnsiString click : thenClicks) {
        const bool press = !click.empty() && click[0] == '\x01';
        AnsiString chars;
        if (press) {
            const auto blank = click.find(' ');
            chars = blank == AnsiString::npos ? AnsiString() : click.substr(blank + 1);
            click = click.substr(1, blank == AnsiString::npos ? AnsiString::npos : blank - 1);
        }
        const auto dot = click.find('.');
        if (TControl* ctl = ControlOf(FormNamed(click.substr(0, dot)), click.substr(dot + 1))) {
            if (press)
                Driver->Press(static_cast<TWinControl*>(ctl), chars);
            else
                Driver->Click(ctl);
        }
        for (const AnsiString& e : Driver->TakeErrors())
            Output.push_back("error dialog: " + e);
    }
    EXPECT_EQ(U(error), U(runtimeError));
    EXPECT_EQ(U(Output), U(expected));
    EXPECT_EQ(U(Driver->MessageTexts()), U(expectedMessages));
}

INSTANTIATE_TEST_SUITE_P(Cases, BindingCase, ::testing::ValuesIn(CollectCases()),
                         [](const ::testing::TestParamInfo<CaseFile>& info) {
                             const fs::path p(info.param.path);
                             std::string name = p.parent_path().filename().string() + "_" + p.stem().string();
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

} // namespace
