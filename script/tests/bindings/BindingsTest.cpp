// The bindings from C++: what the units register and take away again, the
// freeing rules, checked object arguments, and the places where the platform
// would read, reserve or free what it should not.
#include "script/tests/bindings/BindingsFixture.h"

#include "script/XmlDocument.h"

#include "platform/classes/Handles.h"
#include "platform/graphics/Metafile.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

std::string U(const AnsiString& s)
{
    return AnsiToUtf8(s);
}

Variant ValueOf(const char* name)
{
    TscCustomVariable* v = scGlobalUnit()->Find(name);
    return v ? v->GetValue() : Variant(AnsiString("<missing>"));
}

TEST_F(BindingsTest, ConstantsAndEnumerationsHaveThePlatformValues)
{
    struct Row {
        const char* why;
        const char* name;
        int value;
    };
    const Row rows[] = {
        {"colours are $00BBGGRR", "clRed", 255},
        {"colours are $00BBGGRR", "clBlue", 0xFF0000},
        {"system colours are $80000000 + index", "clWindowText", static_cast<int>(0x80000008u)},
        {"special values are not system colours", "clNone", 0x1FFFFFFF},
        {"special values are not system colours", "clDefault", 0x20000000},
        {"file modes", "fmCreate", 0xFFFF},
        {"file modes", "fmShareDenyNone", 64},
        {"seek origins", "soFromEnd", 2},
        {"enumerations count from 0", "dupError", 2},
        {"sets are bit values", "fsStrikeout", 8},
        {"a list with a missing blank after a comma still counts", "ofNoChangeDir", 8},
        {"the last of twenty open options is bit 19", "ofEnableSizing", 524288},
        {"a doubled blank still counts", "fdNoVectorFonts", 1024},
        {"message buttons", "mbHelp", 1024},
        {"modal results", "mrNo", 7},
        {"crSize is crSizeAll", "crSize", -22},
        {"crSize is crSizeAll", "crSizeAll", -22},
        {"virtual keys", "VK_F3", 114},
        {"virtual keys", "VK_NUMPAD9", 105},
        {"border styles are plain integers", "bsSizeToolWin", 5},
        {"close actions", "caFree", 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.why) + ": " + r.name);
        EXPECT_EQ(ValueOf(r.name), Variant(r.value));
    }
    int colours = 0;
    GetColorValues([&](const AnsiString& ident) { colours += scGlobalUnit()->FindLocal(ident) ? 1 : 0; });
    EXPECT_EQ(colours, 52);
}

TEST_F(BindingsTest, ShutdownTakesEveryRegisteredItemOutAndStartupIsCounted)
{
    const char* names[] = {"TStringList", "clRed", "TForm", "MessageDlg", "Application", "TFontStyles", "mrOk"};
    ScriptBindingsStartup(); // counted: the second start-up registers nothing twice
    ScriptBindingsShutdown();
    for (const char* n : names)
        EXPECT_NE(scGlobalUnit()->FindLocal(n), nullptr) << n;
    ScriptBindingsShutdown();
    EXPECT_FALSE(ScriptBindingsActive());
    for (const char* n : names)
        EXPECT_EQ(scGlobalUnit()->FindLocal(n), nullptr) << n;
    // The engine's own items stay.
    EXPECT_NE(scGlobalUnit()->FindLocal("IntToStr"), nullptr);
    ScriptBindingsStartup();
    for (const char* n : names)
        EXPECT_NE(scGlobalUnit()->FindLocal(n), nullptr) << n;
}

TEST_F(BindingsTest, ApplicationIsTheObjectOfTheMoment)
{
    EXPECT_EQ(Run("PascalScript", "begin Print(Application.ExeName); end."),
              (std::vector<AnsiString>{"/opt/sklad/sklad"}));
    EXPECT_EQ(ValueOf("Application"), ObjectToVariant(Application));
}

// Scripts that must end in a clean error, never in a crash or in memory that is
// not theirs.
TEST_F(BindingsTest, BadObjectsAndOwnershipAreCleanErrors)
{
    auto host = std::make_unique<TStringList>();
    struct Row {
        const char* why;
        const char* script;
        const char* error; // a part of the message
    };
    const Row rows[] = {
        {"a number that was never a handle", "var v: Variant; sl: TStringList; begin sl := TStringList.Create; v := 7777777; sl.LoadFromStream(v); end.",
         "ссылка на него неверна"},
        {"an object of the wrong class", "var v: Variant; sl: TStringList; begin sl := TStringList.Create; v := TStringList.Create; sl.SaveToStream(v); end.",
         "Объект неподходящего класса: TStringList / TStream"},
        {"nil where an object is needed", "var sl: TStringList; begin sl := TStringList.Create; sl.Assign(nil); end.",
         "nil"},
        {"a stale handle as an argument", "var a, b: TStringList; begin a := TStringList.Create; b := TStringList.Create; b.Free; a.Assign(b); end.",
         "ссылка на него неверна"},
        {"the host's object is not the script's to free", "begin HostList.Free; end.", "не может быть уничтожен"},
        {"nor is the application", "begin Application.Free; end.", "не может быть уничтожен"},
        {"a control's font belongs to the control", "var e: TEdit; begin e := TEdit.Create(nil); e.Font.Free; end.",
         "не может быть уничтожен"},
        {"a document's root belongs to the document", "var d: TscXMLDocument; begin d := TscXMLDocument.Create; d.Root.Free; end.",
         "не может быть уничтожен"},
        {"and cannot join another tree", "var d: TscXMLDocument; x: TscXMLItem; begin d := TscXMLDocument.Create; x := TscXMLItem.Create; x.AddItem(d.Root); end.",
         "не может быть уничтожен"},
        {"an item cannot become its own child", "var x: TscXMLItem; begin x := TscXMLItem.Create; x.Add; x.Items[0].AddItem(x); end.",
         "child of itself"},
        {"a negative byte count", "var m: TMemoryStream; s: string; begin m := TMemoryStream.Create; m.Read(s, -1); end.",
         "Недопустимое число байтов"},
        {"a control cannot be its own parent", "var g: TGroupBox; begin g := TGroupBox.Create(nil); g.Parent := g; end.",
         "cannot be its own parent"},
        {"a message type outside the enumeration", "begin MessageDlg('x', 9, 4, 0); end.", "TMsgDlgType"},
        {"buttons outside the set", "begin MessageDlg('x', 0, 4096, 0); end.", "TMsgDlgButtons"},
        {"a file stream that could not be opened", "var f: TFileStream; begin f := TFileStream.Create('/nonexistent/dir/x', fmOpenRead); end.",
         "Cannot open file"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        Output.clear();
        S->Clear();
        RegisterHost(*S);
        S->AddObject("HostList", host.get());
        S->SyntaxType = "PascalScript";
        S->Lines()->SetText(r.script);
        if (!S->Compile()) {
            ADD_FAILURE() << U(S->ErrorPos + ": " + S->ErrorText);
            continue;
        }
        const AnsiString error = Execute();
        EXPECT_NE(error.find(r.error), AnsiString::npos) << U(error);
    }
    EXPECT_EQ(host->Count(), 0); // still alive and usable
}

TEST_F(BindingsTest, ReadAndWriteTakeOnlyTheBytesThatExist)
{
    const auto out = Run("PascalScript",
                         "var m: TMemoryStream; s: string; begin m := TMemoryStream.Create;"
                         " Print(m.Write('abc', 2000000000)); m.Position := 1;"
                         " Print(m.Read(s, 2000000000)); Print(s); Print(m.Position); m.Free; end.");
    EXPECT_EQ(out, (std::vector<AnsiString>{"3", "2", "bc", "3"}));
}

// Every route that writes into a memory stream a script holds, at a position the
// script set: just below the cap, and as far as a position goes (where the end of
// the write no longer fits in 64 bits). Each is refused before the memory is asked
// for, and the stream keeps its three bytes.
TEST_F(BindingsTest, EveryWriteIntoAMemoryStreamIsHeldToTheCap)
{
    struct Route {
        const char* why;
        const char* statement;
    };
    const Route routes[] = {
        {"Write", "m.Write('xy', 2)"},
        {"CopyFrom a count", "m.CopyFrom(src, 5)"},
        {"CopyFrom the whole source", "m.CopyFrom(src, 0)"},
        {"a memory stream saved into it", "src.SaveToStream(m)"},
        {"a string list saved into it", "sl.SaveToStream(m)"},
        {"an XML document saved into it", "doc.SaveToStream(m)"},
    };
    const char* const positions[] = {
        "m.Position := 268435455;",
        "v := 9.2e18; m.Seek(v, soFromBeginning); m.Seek(v, soFromCurrent);",
    };
    for (const Route& r : routes)
        for (const char* position : positions) {
            SCOPED_TRACE(std::string(r.why) + " after " + position);
            const AnsiString text = AnsiString(
                "var m, src: TMemoryStream; sl: TStringList; doc: TscXMLDocument; v: Variant;\r\n"
                "begin\r\n"
                "  m := TMemoryStream.Create; m.Write('abc', 3);\r\n"
                "  src := TMemoryStream.Create; src.Write('12345', 5); src.Position := 0;\r\n"
                "  sl := TStringList.Create; sl.Text := 'line';\r\n"
                "  doc := TscXMLDocument.Create; doc.Root.Name := 'r';\r\n  ") +
                position + "\r\n  " + r.statement + ";\r\nend.";
            ASSERT_TRUE(Compile("PascalScript", text)) << U(S->ErrorPos + ": " + S->ErrorText);
            const AnsiString error = Execute();
            EXPECT_EQ(error.rfind("line 8: ", 0), 0u) << U(error);
            EXPECT_NE(error.find("Поток в памяти слишком большой"), AnsiString::npos) << U(error);
            EXPECT_EQ(VarToStr(S->Evaluate("m.Size")), "3");
        }
    // Below the cap every route still writes.
    const auto out = Run("PascalScript",
                         "var m, src: TMemoryStream; sl: TStringList; doc: TscXMLDocument;\r\n"
                         "begin\r\n"
                         "  m := TMemoryStream.Create; src := TMemoryStream.Create; src.Write('12345', 5);\r\n"
                         "  sl := TStringList.Create; sl.Text := 'line';\r\n"
                         "  doc := TscXMLDocument.Create; doc.Root.Name := 'r';\r\n"
                         "  m.Position := 10; src.SaveToStream(m); Print(m.Size);\r\n"
                         "  sl.SaveToStream(m); Print(m.Size);\r\n"
                         "  doc.SaveToStream(m); m.Position := 21; Print(m.Size > 21);\r\n"
                         "  doc.LoadFromStream(m); Print(doc.Root.Name);\r\n"
                         "end.");
    EXPECT_EQ(out, (std::vector<AnsiString>{"15", "21", "True", "r"}));
}

TEST_F(BindingsTest, FileStreamsOpenThroughTheirConstructor)
{
    const AnsiString file = CreateTempFile("", "bind");
    const AnsiString text = "var f: TFileStream; s: string; begin"
                            " f := TFileStream.Create('" + file + "', fmCreate); f.Write('xyz', 3); f.Free;"
                            " f := TFileStream.Create('" + file + "', fmOpenRead); Print(f.Size); f.Read(s, 10);"
                            " Print(s); Print(f.ClassName); f.Free; end.";
    EXPECT_EQ(Run("PascalScript", text), (std::vector<AnsiString>{"3", "xyz", "TFileStream"}));
    std::remove(file.c_str());
}

TEST_F(BindingsTest, AStreamCopiedIntoItselfWritesTheCopyWhole)
{
    // Memory and file streams alike: the bytes read are written where the read
    // ends, and what the copy writes is never read back as its source. 100,000
    // bytes span several parts of the copy.
    for (const char* cls : {"TMemoryStream", "TFileStream"}) {
        SCOPED_TRACE(cls);
        const AnsiString file = CreateTempFile("", "bind");
        const AnsiString create = AnsiString(cls) == "TFileStream" ? "TFileStream.Create('" + file + "', fmCreate)"
                                                                   : AnsiString("TMemoryStream.Create");
        const AnsiString text = "var f: TStream; s: string; i: Integer; begin f := " + create + ";"
                                " for i := 0 to 9999 do f.Write(IntToStr(i mod 10) + 'abcdefghi', 10);"
                                " f.Position := 3; Print(f.CopyFrom(f, 99990)); Print(f.Size);"
                                " f.Position := 99993; f.Read(s, 12); Print(s);"
                                " f.Position := 199980; f.Read(s, 20); Print(s);"
                                " f.Position := 0; Print(f.CopyFrom(f, 0)); Print(f.Size);"
                                " f.Position := 199983; f.Read(s, 10); Print(s); f.Free; end.";
        EXPECT_EQ(Run("PascalScript", text),
                  (std::vector<AnsiString>{"99990", "199983", "cdefghi1abcd", "9ab", "199983", "399966", "0abcdefghi"}));
        std::remove(file.c_str());
    }
}

// A host object with a published Int64 member, read through the class's RTTI (no hook).
class TBigCounter : public TComponent {
    SKLAD_CLASS(TBigCounter, TComponent)
public:
    using TComponent::TComponent;
    int64_t Total = 0;
};

SKLAD_DEFINE_CLASS(TBigCounter)

void TBigCounter::Publish(TPropertyTable& t)
{
    t.Prop("Total", &TBigCounter::Total, &TBigCounter::Total);
}

TEST_F(BindingsTest, Int64MembersComputeIn64BitsInEveryForm)
{
    // A value past 32 bits, read through a typed variable or late-bound, from a
    // published member or a host's hook (a stream's Position and Size, Seek): every
    // form computes as the late-bound one always did, with no overflow.
    TBigCounter counter(nullptr);
    counter.Total = 3000000000LL;
    struct Form {
        const char* name;
        const char* language;
        const char* declare; // the object is o
        const char* setup;
        const char* member;
    };
    const Form forms[] = {
        {"published, typed", "PascalScript", "var o: TBigCounter;", "o := Counter;", "o.Total"},
        {"published, late-bound", "PascalScript", "var o: Variant;", "o := Counter;", "o.Total"},
        {"hook, typed", "PascalScript", "var o: TMemoryStream;",
         "o := TMemoryStream.Create; o.Position := 3000000000;", "o.Position"},
        {"hook, late-bound", "PascalScript", "var o: Variant;",
         "o := TMemoryStream.Create; o.Position := 3000000000;", "o.Position"},
        {"hook function, typed", "PascalScript", "var o: TMemoryStream;", "o := TMemoryStream.Create;",
         "o.Seek(3000000000, 0)"},
        {"hook, typed C++Script", "C++Script", "TMemoryStream o;",
         "o = TMemoryStream.Create; o.Position = 3000000000;", "o.Position"},
        {"published, typed C++Script", "C++Script", "TBigCounter o;", "o = Counter;", "o.Total"},
    };
    for (const Form& f : forms) {
        SCOPED_TRACE(f.name);
        const bool pascal = AnsiString(f.language) == "PascalScript";
        const AnsiString m = f.member;
        const AnsiString body = AnsiString(f.setup) + " Print(" + m + " + 1); Print(" + m + " * 2); Print(" + m +
                                " - 3000000001); Print(" + m + " div 1000); Print(" + m + " > 2147483647);";
        const AnsiString text = pascal ? AnsiString(f.declare) + " begin " + body + " end."
                                       : AnsiString(f.declare) + " { " + body + " }";
        S->Clear();
        RegisterHost(*S);
        S->AddClass(TBigCounter::StaticClass(), "TComponent");
        S->AddObject("Counter", &counter);
        S->SyntaxType = f.language;
        S->Lines()->SetText(text);
        ASSERT_TRUE(S->Compile()) << AnsiToUtf8(S->ErrorPos + ": " + S->ErrorText);
        Output.clear();
        EXPECT_EQ(AnsiToUtf8(Execute()), "");
        EXPECT_EQ(Output, (std::vector<AnsiString>{"3000000001", "6000000000", "-1", "3000000", "True"}));
    }
}

TEST_F(BindingsTest, XmlDocumentsRoundTripThroughAStream)
{
    const auto out = Run("PascalScript",
                         "var d, e: TscXMLDocument; m: TMemoryStream; x: TscXMLItem; begin"
                         " d := TscXMLDocument.Create; d.Root.Name := 'root'; x := d.Root.Add; x.Name := 'item';"
                         " x.Text := 'a=\"1\"'; m := TMemoryStream.Create; d.SaveToStream(m); m.Position := 0;"
                         " e := TscXMLDocument.Create; e.LoadFromStream(m);"
                         " Print(e.Root.Count); Print(e.Root[0].Name); Print(e.Root.FindItem('item').Prop('a'));"
                         " Print(e.Root.Find('item')); Print(e.Root[0].Parent.Name); e.Root[0].Free; Print(e.Root.Count);"
                         " d.Free; e.Free; m.Free; end.");
    EXPECT_EQ(out, (std::vector<AnsiString>{"1", "item", "1", "0", "root", "0"}));
}

TEST_F(BindingsTest, OwnerlessComponentsAScriptLeftAreFreedAtShutdown)
{
    ASSERT_TRUE(Compile("PascalScript", "var f: TForm; begin f := TForm.Create(nil); f.Name := 'Lost'; Print(f); end."));
    ASSERT_EQ(Execute(), "");
    ASSERT_EQ(Output.size(), 1u);
    const uint32_t form = static_cast<uint32_t>(StrToInt(Output[0]));
    EXPECT_TRUE(IsLiveHandle(form));
    S->Clear();
    ScriptBindingsShutdown();
    EXPECT_FALSE(IsLiveHandle(form));
    ScriptBindingsStartup();
}

TEST_F(BindingsTest, AMetafileFreedBeforeItsCanvasIsNotWrittenInto)
{
    const auto out = Run("PascalScript",
                         "var m: TMetafile; c: TMetafileCanvas; begin m := TMetafile.Create;"
                         " c := TMetafileCanvas.Create(m, 0); c.MoveTo(0, 0); c.LineTo(10, 10); m.Free; c.Free;"
                         " m := TMetafile.Create; c := TMetafileCanvas.Create(m, 0); c.Rectangle(0, 0, 30, 20); c.Free;"
                         " Print(m.Width); Print(m.Height); m.Free; end.");
    EXPECT_EQ(out, (std::vector<AnsiString>{"30", "20"}));
}

// A script's metafile canvas ends its recording as the platform's does: the drawing replaces
// the metafile's, so recording again keeps one drawing, and a picture drawn into a canvas of
// its own grows by one playing each round instead of doubling until memory runs out.
TEST_F(BindingsTest, AScriptsMetafileCanvasReplacesTheDrawing)
{
    TMetafile ellipse;
    {
        TMetafileCanvas c(&ellipse);
        c.Ellipse(0, 0, 10, 10);
    }
    const struct {
        const char* why;
        const char* language;
        const char* text;  // leaves the metafile in m and prints it
    } cases[] = {
        {"recorded again", "PascalScript",
         "var m: TMetafile; c: TMetafileCanvas; begin m := TMetafile.Create;"
         " c := TMetafileCanvas.Create(m, 0); c.Rectangle(5, 5, 30, 20); c.Free;"
         " c := TMetafileCanvas.Create(m, 0); c.Ellipse(0, 0, 10, 10); c.Free; Print(m); end."},
        {"recorded again, C++ syntax", "C++Script",
         "TMetafile m; TMetafileCanvas c; { m = new TMetafile;"
         " c = new TMetafileCanvas(m, 0); c.Rectangle(5, 5, 30, 20); c.Free;"
         " c = new TMetafileCanvas(m, 0); c.Ellipse(0, 0, 10, 10); c.Free; Print(m); }"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const auto out = Run(c.language, c.text);
        ASSERT_EQ(out.size(), 1u) << (out.empty() ? AnsiString() : out.back());
        auto* m = dynamic_cast<TMetafile*>(ResolveHandle(uint32_t(StrToInt(out[0]))));
        ASSERT_NE(m, nullptr);
        EXPECT_TRUE(m->Records() == ellipse.Records());
        EXPECT_EQ(m->GetWidth(), 30) << "the frame of the first recording stays";
    }

    // Drawn into its own canvas 1, 2, 4 and 8 times: the size moves by the same step a round.
    std::vector<size_t> sizes;
    for (int rounds : {1, 2, 4, 8}) {
        SCOPED_TRACE(rounds);
        const auto out = Run("PascalScript",
                             "var m: TMetafile; c: TMetafileCanvas; i: Integer; begin m := TMetafile.Create;"
                             " c := TMetafileCanvas.Create(m, 0); c.Rectangle(5, 5, 30, 20); c.Free;"
                             " for i := 1 to " + IntToStr(rounds) + " do begin"
                             " c := TMetafileCanvas.Create(m, 0); c.Draw(0, 0, m); c.Free; end; Print(m); end.");
        ASSERT_EQ(out.size(), 1u) << (out.empty() ? AnsiString() : out.back());
        auto* m = dynamic_cast<TMetafile*>(ResolveHandle(uint32_t(StrToInt(out[0]))));
        ASSERT_NE(m, nullptr);
        sizes.push_back(m->Records().size());
    }
    ASSERT_EQ(sizes.size(), 4u);
    const size_t step = sizes[1] - sizes[0];
    EXPECT_EQ(sizes[2] - sizes[1], 2 * step);
    EXPECT_EQ(sizes[3] - sizes[2], 4 * step);
}

TEST_F(BindingsTest, RegisteredClassesKeepTheirAncestors)
{
    struct Row {
        const char* cls;
        const char* ancestor;
    };
    const Row rows[] = {
        {"TObject", ""},          {"TStringList", "TStrings"},     {"TFileStream", "TStream"},
        {"TLabel", "TWinControl"}, {"TSaveDialog", "TCommonDialog"}, {"TBitmap", "TGraphic"},
        {"TForm", "TCustomForm"},  {"TApplication", "TComponent"},   {"TMetafileCanvas", "TCanvas"},
        {"TControlScrollBar", "TPersistent"}, {"TPrintDialog", "TCommonDialog"},
        {"TPrinterSetupDialog", "TCommonDialog"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.cls);
        TscClassVariable* c = scGlobalUnit()->FindClass(r.cls);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->Ancestor, r.ancestor);
    }
    // Members are found through the chain: OnClick of a button lives on TControl.
    EXPECT_NE(scGlobalUnit()->FindClass("TButton")->Find("OnClick"), nullptr);
    EXPECT_NE(scGlobalUnit()->FindClass("TStringList")->Find("Free"), nullptr);
}

// A raw container keeps the bare pointer of an object the script stored. Once that
// object is freed the pointer reads as its dead handle; once another object is born
// at the same address (the allocator hands the freed block to the next object of its
// size) the pointer names the newcomer, which was never stored through the script;
// when that one goes too, the pointer is dead again.
TEST_F(BindingsTest, AnObjectBornWhereAStoredOneDiedIsItself)
{
    auto list = std::make_unique<TList>();
    auto strings = std::make_unique<TStringList>();
    struct Row {
        const char* why;
        const char* store;  // stores a fresh string list in slot 0 and frees it
        const char* slots;  // the container as the script names it
        std::function<TObject*(int)> slot;
        std::function<void(TStringList*)> put;  // the platform's own code adds one
    };
    const Row rows[] = {
        {"a list's item", "var a: TStringList; begin a := TStringList.Create; List.Add(a); a.Free; end.", "List.Items",
         [&](int i) { return static_cast<TObject*>(list->Get(i)); }, [&](TStringList* b) { list->Add(b); }},
        {"a string's object", "var a: TStringList; begin a := TStringList.Create; Strs.AddObject('a', a); a.Free; end.",
         "Strs.Objects", [&](int i) { return strings->GetObject(i); }, [&](TStringList* b) { strings->AddObject("b", b); }},
    };
    auto run = [&](const AnsiString& text) {
        Output.clear();
        S->Clear();
        RegisterHost(*S);
        S->AddObject("List", list.get());
        S->AddObject("Strs", strings.get());
        S->SyntaxType = "PascalScript";
        S->Lines()->SetText(text);
        EXPECT_TRUE(S->Compile()) << U(S->ErrorText);
        const AnsiString error = Execute();
        if (!error.empty())
            Output.push_back("error");
        return Output;
    };
    const std::vector<AnsiString> dead{"error"};
    auto count = [](const Row& r, int i) {
        return AnsiString("Print(TStringList(") + r.slots + "[" + std::to_string(i) + "]).Count);";
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        list->Clear();
        strings->Clear();
        run(r.store);
        const AnsiString slot0 = "begin " + count(r, 0) + " end.";
        const void* grave = r.slot(0);
        ASSERT_NE(grave, nullptr);
        // Nothing born there yet: a clean error, not a read of freed memory.
        EXPECT_EQ(run(slot0), dead);

        std::vector<std::unique_ptr<TStringList>> tries;
        for (int i = 0; i < 20000 && r.slot(0) != static_cast<TObject*>(tries.empty() ? nullptr : tries.back().get()); ++i)
            tries.push_back(std::make_unique<TStringList>());
        if (tries.empty() || static_cast<TObject*>(tries.back().get()) != grave)
            GTEST_SKIP() << "the allocator kept the freed block (a sanitizer's quarantine)";
        TStringList* reborn = tries.back().get();
        reborn->Add("one");
        reborn->Add("two");
        r.put(reborn);
        // Both slots hold the newcomer's address now: it answers for both.
        EXPECT_EQ(run("begin " + count(r, 1) + " " + count(r, 0) + " end."),
                  (std::vector<AnsiString>{"2", "2"}));
        tries.pop_back();
        EXPECT_EQ(run(slot0), dead);
        list->Clear();
        strings->Clear();
    }
}

// A routine declared inside another and hooked up to a button runs when the user clicks,
// after the calls of the routine around it have returned, and reads that routine's parameters
// as the last call left them: by name in its text, or through a host that evaluates a name in
// its scope (Peek). Whichever call hooked it up, one, two levels or a sibling routine down.
TEST_F(BindingsTest, AHandlerDeclaredInsideARoutineReadsTheParametersTheLastCallLeft)
{
    struct Row {
        const char* why;
        const char* syntax;
        const char* program; // makes FormP.Button1 and calls Outer with '1', '12', '123'
    };
    const Row rows[] = {
        {"named in its text", "PascalScript",
         "var f: TForm; b: TButton; s: String; i: Integer;\n"
         "procedure Outer(Title: String);\n  procedure Click(Sender: TObject); begin Print('title ' + Title); end;\n"
         "begin b.OnClick := 'Click'; end;\n"
         "begin f := TForm.Create(Application); f.Name := 'FormP'; b := TButton.Create(f); b.Name := 'Button1';\n"
         "b.Parent := f; s := ''; for i := 1 to 3 do begin s := s + IntToStr(i); Outer(s); end; f.Show; end."},
        {"evaluated by the host", "PascalScript",
         "var f: TForm; b: TButton; s: String; i: Integer;\n"
         "procedure Outer(Title: String);\n"
         "  procedure Click(Sender: TObject); begin Print('title ' + Peek('Title')); end;\n"
         "begin b.OnClick := 'Click'; end;\n"
         "begin f := TForm.Create(Application); f.Name := 'FormP'; b := TButton.Create(f); b.Name := 'Button1';\n"
         "b.Parent := f; s := ''; for i := 1 to 3 do begin s := s + IntToStr(i); Outer(s); end; f.Show; end."},
        {"evaluated by the host, hooked up by the first call only", "PascalScript",
         "var f: TForm; b: TButton; s: String; i: Integer;\n"
         "procedure Outer(Title: String);\n"
         "  procedure Click(Sender: TObject); begin Print('title ' + Peek('Title')); end;\n"
         "begin if Length(Title) = 1 then b.OnClick := @Click; end;\n"
         "begin f := TForm.Create(Application); f.Name := 'FormP'; b := TButton.Create(f); b.Name := 'Button1';\n"
         "b.Parent := f; s := ''; for i := 1 to 3 do begin s := s + IntToStr(i); Outer(s); end; f.Show; end."},
        {"evaluated by the host, two levels down, hooked up by a sibling", "PascalScript",
         "var f: TForm; b: TButton; s: String; i: Integer;\n"
         "procedure Outer(Title: String);\n"
         "  procedure Mid(Depth: String);\n"
         "    procedure Click(Sender: TObject); begin Print('title ' + Peek('Title') + Peek('Depth')); end;\n"
         "    procedure Hook; begin b.OnClick := 'Click'; end;\n"
         "  begin Hook; end;\n"
         "begin Mid('.'); end;\n"
         "begin f := TForm.Create(Application); f.Name := 'FormP'; b := TButton.Create(f); b.Name := 'Button1';\n"
         "b.Parent := f; s := ''; for i := 1 to 3 do begin s := s + IntToStr(i); Outer(s); end; f.Show; end."},
        {"evaluated by the host", "JScript",
         "var f: TForm, b: TButton, s, i;\n"
         "function Outer(Title) {\n  function Click(Sender) { Print(\"title \" + Peek(\"Title\")); }\n"
         "  b.OnClick = \"Click\";\n}\n"
         "f = TForm.Create(Application); f.Name = \"FormP\"; b = TButton.Create(f); b.Name = \"Button1\";\n"
         "b.Parent = f; s = \"\"; for (i = 1; i <= 3; i++) { s = s + IntToStr(i); Outer(s); } f.Show();"},
        {"evaluated by the host, hooked up through a Variant", "JScript",
         "var f, b, s, i;\n"
         "function Outer(Title) {\n  function Click(Sender) { Print(\"title \" + Peek(\"Title\")); }\n"
         "  b.OnClick = \"Click\";\n}\n"
         "f = TForm.Create(Application); f.Name = \"FormP\"; b = TButton.Create(f); b.Name = \"Button1\";\n"
         "b.Parent = f; s = \"\"; for (i = 1; i <= 3; i++) { s = s + IntToStr(i); Outer(s); } f.Show();"},
        {"evaluated by the host", "BasicScript",
         "Dim f As TForm, b As TButton, s, i\n"
         "Sub Outer(Title)\n  Sub Click(Sender)\n    Print(\"title \" & Peek(\"Title\"))\n  End Sub\n"
         "  b.OnClick = \"Click\"\nEnd Sub\n"
         "f = TForm.Create(Application)\nf.Name = \"FormP\"\nb = TButton.Create(f)\nb.Name = \"Button1\"\n"
         "b.Parent = f\ns = \"\"\nFor i = 1 To 3\n  s = s & IntToStr(i)\n  Outer(s)\nNext\nf.Show"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.syntax) + ": " + r.why);
        Output.clear();
        S->Clear();
        RegisterHost(*S);
        S->AddMethod("function Peek(Name: String): Variant", [this](TObject*, TClass, const AnsiString&, Variant& p) {
            return S->Evaluate(VarToStr(VarArrayGet(p, {0})));
        });
        S->SyntaxType = r.syntax;
        S->Lines()->SetText(r.program);
        ASSERT_TRUE(S->Compile()) << U(S->ErrorPos + ": " + S->ErrorText);
        ASSERT_EQ(U(Execute()), "");
        TCustomForm* form = nullptr;
        for (TCustomForm* f : Screen->FormList())
            if (f->Name() == "FormP")
                form = f;
        ASSERT_NE(form, nullptr);
        auto* button = dynamic_cast<TControl*>(form->FindComponent("Button1"));
        ASSERT_NE(button, nullptr);
        Driver->Click(button);
        const bool twoLevels = std::string(r.why).find("two levels") != std::string::npos;
        EXPECT_EQ(Output, std::vector<AnsiString>{twoLevels ? "title 123." : "title 123"});
        delete form;
    }
}

} // namespace

TEST_F(BindingsTest, EveryDialogShowsItsOwnKindThroughTheOneExecute)
{
    struct Row {
        const char* language;
        const char* script;
    };
    const Row rows[] = {
        {"PascalScript",
         "var o: TOpenDialog; s: TSaveDialog; f: TFontDialog; c: TColorDialog;\n"
         "begin o := TOpenDialog.Create(nil); s := TSaveDialog.Create(nil); f := TFontDialog.Create(nil);\n"
         "c := TColorDialog.Create(nil); Print(o.Execute); Print(s.Execute); Print(f.Execute); Print(c.Execute);\n"
         "Print(s.FileName); Print(f.Font.Style); Print(c.Color); o.Free; s.Free; f.Free; c.Free; end."},
        {"C++Script",
         "TOpenDialog o; TSaveDialog s; TFontDialog f; TColorDialog c;\n"
         "{ o = TOpenDialog.Create(nil); s = TSaveDialog.Create(nil); f = TFontDialog.Create(nil);\n"
         "c = TColorDialog.Create(nil); Print(o.Execute()); Print(s.Execute()); Print(f.Execute()); Print(c.Execute());\n"
         "Print(s.FileName); Print(f.Font.Style); Print(c.Color); o.Free(); s.Free(); f.Free(); c.Free(); }"},
        {"JScript",
         "var o = TOpenDialog.Create(nil), s = TSaveDialog.Create(nil), f = TFontDialog.Create(nil);\n"
         "var c = TColorDialog.Create(nil); Print(o.Execute()); Print(s.Execute()); Print(f.Execute()); Print(c.Execute());\n"
         "Print(s.FileName); Print(f.Font.Style); Print(c.Color); o.Free(); s.Free(); f.Free(); c.Free();"},
        {"BasicScript",
         "Dim o, s, f, c\n"
         "o = TOpenDialog.Create(nil)\ns = TSaveDialog.Create(nil)\nf = TFontDialog.Create(nil)\n"
         "c = TColorDialog.Create(nil)\nPrint(o.Execute)\nPrint(s.Execute)\nPrint(f.Execute)\nPrint(c.Execute)\n"
         "Print(s.FileName)\nPrint(f.Font.Style)\nPrint(c.Color)\no.Free\ns.Free\nf.Free\nc.Free"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.language);
        const size_t before = Driver->FileDialogs().size();
        Driver->AnswerFileDialog("/tmp/opened.txt");
        Driver->AnswerFileDialog("/tmp/saved.txt");
        Driver->AnswerFont([](TFont& f) { f.SetStyle(TFontStyles{fsBold, fsItalic}); });
        Driver->AnswerColor(clRed);
        Output.clear();
        ASSERT_TRUE(Compile(r.language, r.script)) << U(S->ErrorPos + ": " + S->ErrorText);
        EXPECT_EQ(Execute(), "");
        const std::vector<AnsiString> expected = {"True", "True", "True", "True", "/tmp/saved.txt", "3", "255"};
        EXPECT_EQ(Output, expected);
        ASSERT_EQ(Driver->FileDialogs().size(), before + 2);
        EXPECT_EQ(Driver->FileDialogs()[before].Kind, TFileDialogKind::Open);
        EXPECT_EQ(Driver->FileDialogs()[before + 1].Kind, TFileDialogKind::Save);
    }
}
