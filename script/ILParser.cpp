// ILParser.cpp - the grammar walker: script text to IL (see ILParser.h).
//
// Walk(E) returns whether E matched. Token elements read one token; sequence
// walks its children; switch takes the first child that matches; loops repeat
// their children (with an optional separator character) until a pass fails or
// reads nothing; optional matches its children or nothing; any other name is
// a rule reference. What a matched element writes: its node wraps what it
// matched (a rule definition's node wraps its whole body, and is dropped with
// everything inside when the rule fails), its add writes a leaf with the token.
//
// Errors are recorded, not raised: the first one counts, its position is
// where the unmatched text begins. A loop that made more than one pass ends
// quietly where its last pass stopped; the errors recorded inside it are
// dropped when the loop has skip="1" or the error's element has term="1",
// together with what the dropped error's own pass recorded after it at or
// before its place (the pass where the list ended). Errors recorded in later
// passes are kept behind the first, so dropping it does not lose them. An
// optional list that fails at its very first name (term="1") is empty: that
// error is set aside and comes back only if the next error is recorded before
// the text has moved past it.
#include "script/ILParser.h"

#include "script/Il.h"
#include "script/Messages.h"
#include "script/Stack.h"
#include "script/Script.h"
#include "script/TypeRules.h"

#include "platform/classes/Streams.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <unordered_map>

// ---------------------------------------------------------------- the grammar, prepared

enum class TscGrammarKind : uint8_t {
    RuleDef, Char, Keyword, Ident, Number, String, FRString, Eol, Sequence, Switch, OptSwitch, Loop, OptLoop,
    Optional, Reference
};

struct TscGrammarElement {
    TscGrammarKind Kind = TscGrammarKind::Sequence;
    AnsiString Name; // rule name for definitions and references
    AnsiString Text;
    AnsiString Node; // lower case
    AnsiString Add;
    AnsiString AddText;
    bool HasAddText = false;
    const AnsiString* Err = nullptr; // text of the errors entry, when the element names one
    bool Term = false;
    bool NoSkip = false;    // char: no white space before it
    bool DropErrors = false; // loops: skip="1"
    bool IsRuleDef = false;
    const TscGrammarElement* Ref = nullptr; // the definition a reference names; nullptr: undefined
    std::vector<const TscGrammarElement*> Children;
};

struct TscGrammar {
    AnsiString Source;
    TscXMLDocument Doc;
    std::vector<std::unique_ptr<TscGrammarElement>> Elements;
    std::unordered_map<AnsiString, AnsiString> Errors;
    std::vector<std::pair<AnsiString, AnsiString>> Settings; // lower-cased name, value
    std::vector<AnsiString> Keywords;
    const TscXMLItem* Types = nullptr;
    const TscGrammarElement* Start = nullptr;
    AnsiString RequireEnd; // errors entry to report when text is left after the program
};

namespace {

TscGrammarKind KindOf(const AnsiString& name)
{
    static const std::pair<const char*, TscGrammarKind> kKinds[] = {
        {"char", TscGrammarKind::Char},         {"keyword", TscGrammarKind::Keyword},
        {"ident", TscGrammarKind::Ident},       {"number", TscGrammarKind::Number},
        {"string", TscGrammarKind::String},     {"frstring", TscGrammarKind::FRString},
        {"eol", TscGrammarKind::Eol},           {"sequence", TscGrammarKind::Sequence},
        {"switch", TscGrammarKind::Switch},     {"optionalswitch", TscGrammarKind::OptSwitch},
        {"loop", TscGrammarKind::Loop},         {"optionalloop", TscGrammarKind::OptLoop},
        {"optional", TscGrammarKind::Optional},
    };
    for (const auto& [text, kind] : kKinds)
        if (name == text)
            return kind;
    return TscGrammarKind::Reference;
}

class GrammarBuilder {
public:
    explicit GrammarBuilder(TscGrammar& g) : G(g) {}

    void Build()
    {
        const TscXMLItem* root = G.Doc.Root();
        if (const TscXMLItem* parser = FindChild(root, "parser")) {
            for (int i = 0; i < parser->Count(); ++i) {
                const TscXMLItem* s = parser->Items(i);
                const AnsiString name = AnsiLowerCase(s->Name);
                if (name == "keywords") {
                    for (int k = 0; k < s->Count(); ++k)
                        G.Keywords.push_back(s->Items(k)->Name);
                } else if (name == "errors") {
                    for (int k = 0; k < s->Count(); ++k)
                        G.Errors[AnsiLowerCase(s->Items(k)->Name)] = s->Items(k)->Prop("text");
                } else if (name == "requireend") {
                    G.RequireEnd = AnsiLowerCase(s->Prop("text"));
                } else {
                    G.Settings.emplace_back(name, s->Prop("text"));
                }
            }
        }
        G.Types = FindChild(root, "types");
        for (int i = 0; i < root->Count(); ++i) {
            const TscXMLItem* r = root->Items(i);
            const AnsiString name = AnsiLowerCase(r->Name);
            if (name == "parser" || name == "types" || FRules.count(name))
                continue;
            TscGrammarElement* def = New();
            def->Kind = TscGrammarKind::RuleDef;
            def->IsRuleDef = true;
            def->Name = name;
            FRules[name] = def;
            FPending.emplace_back(r, def);
        }
        for (auto& [item, def] : FPending)
            Fill(item, def, 0);
        for (TscGrammarElement* ref : FReferences) {
            const auto it = FRules.find(ref->Name);
            ref->Ref = it == FRules.end() ? nullptr : it->second;
        }
        const auto start = FRules.find("program");
        G.Start = start == FRules.end() ? nullptr : start->second;
    }

private:
    static const TscXMLItem* FindChild(const TscXMLItem* item, const char* name)
    {
        for (int i = 0; i < item->Count(); ++i)
            if (AnsiSameText(item->Items(i)->Name, name))
                return item->Items(i);
        return nullptr;
    }

    TscGrammarElement* New()
    {
        G.Elements.push_back(std::make_unique<TscGrammarElement>());
        return G.Elements.back().get();
    }

    void Fill(const TscXMLItem* item, TscGrammarElement* e, int depth)
    {
        if (depth > kMaxXmlDepth)
            scRaise(TscMessageId::SInvalidLanguage);
        if (!e->IsRuleDef) {
            e->Name = AnsiLowerCase(item->Name);
            e->Kind = KindOf(e->Name);
            if (e->Kind == TscGrammarKind::Reference)
                FReferences.push_back(e);
        }
        e->Text = item->Prop("text");
        e->Node = AnsiLowerCase(item->Prop("node"));
        e->Add = item->Prop("add");
        e->HasAddText = item->PropExists("addtext");
        e->AddText = item->Prop("addtext");
        const AnsiString err = AnsiLowerCase(item->Prop("err"));
        if (!err.empty()) {
            const auto it = G.Errors.find(err);
            if (it != G.Errors.end())
                e->Err = &it->second;
        }
        e->Term = item->Prop("term") == "1";
        const AnsiString skip = item->Prop("skip");
        e->NoSkip = skip == "0";
        e->DropErrors = skip == "1";
        for (int i = 0; i < item->Count(); ++i) {
            TscGrammarElement* child = New();
            Fill(item->Items(i), child, depth + 1);
            e->Children.push_back(child);
        }
    }

    TscGrammar& G;
    std::unordered_map<AnsiString, TscGrammarElement*> FRules;
    std::vector<std::pair<const TscXMLItem*, TscGrammarElement*>> FPending;
    std::vector<TscGrammarElement*> FReferences;
};

// Grammars are read once per language text and shared by every compilation.
std::shared_ptr<const TscGrammar> LoadGrammar(const AnsiString& name)
{
    static std::unordered_map<AnsiString, std::shared_ptr<const TscGrammar>> cache;
    const AnsiString text = scGetLanguage(name); // SLangNotFound for an unknown name
    const AnsiString key = AnsiUpperCase(name);
    const auto it = cache.find(key);
    if (it != cache.end() && it->second->Source == text)
        return it->second;
    auto g = std::make_shared<TscGrammar>();
    g->Source = text;
    try {
        TStringStream stream(text);
        g->Doc.LoadFromStream(stream);
    } catch (const Exception&) {
        scRaise(TscMessageId::SInvalidLanguage);
    }
    GrammarBuilder(*g).Build();
    cache[key] = g;
    return g;
}

// Thrown inside the walk when a limit is reached; MakeILScript turns it into the error.
struct WalkAbort {
    TscMessageId Id;
};

AnsiString Attr(const char* name, const AnsiString& value)
{
    return AnsiString(name) + "=\"" + StrToXML(value) + "\"";
}

} // namespace

// ---------------------------------------------------------------- TscILParser

TscILParser::TscILParser(TscScript* program) : ILScript(std::make_unique<TscXMLDocument>()), Program(program)
{
}

TscILParser::~TscILParser() = default;

void TscILParser::SelectLanguage(const AnsiString& name)
{
    Parser.Clear();
    NeedDeclareVars = true;
    LangName = name;
    FGrammar = LoadGrammar(name);
    for (const AnsiString& k : FGrammar->Keywords)
        Parser.AddKeyword(k);
    for (const auto& [setting, v] : FGrammar->Settings) {
        if (setting == "identchars")
            Parser.ConstructCharset(v);
        else if (setting == "commentline1")
            Parser.CommentLine1 = v;
        else if (setting == "commentline2")
            Parser.CommentLine2 = v;
        else if (setting == "commentblock1")
            Parser.SetCommentBlock1(v);
        else if (setting == "commentblock2")
            Parser.SetCommentBlock2(v);
        else if (setting == "stringquotes")
            Parser.StringQuotes = v;
        else if (setting == "hexsequence")
            Parser.HexSequence = v;
        else if (setting == "skipchar")
            Parser.SkipChar = v;
        else if (setting == "declarevars")
            NeedDeclareVars = v != "0";
        else if (setting == "skipeol")
            Parser.SkipEOL = v != "0";
    }
    if (Program && Program->ExtendedCharset)
        Parser.IncludeExtendedCharset();
}

bool TscILParser::MakeILScript(const AnsiString& text)
{
    FLines.clear();
    if (FUsedOwner == this)
        FUnitPrograms.clear();
    FErrorText.clear();
    FErrorPos.clear();
    FErrorUnit.clear();
    FErrors.clear();
    FAsideActive = false;
    FErrorFinal = false;
    FOpenDropLoops = 0;
    FPassSerials.clear();
    Parser.SetText(text);
    int start = 1;

    // "#language Name" on the very first line chooses the language.
    if (!text.empty() && text[0] == '#') {
        size_t i = 1;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        // The word must be exactly "language": #languages or #languageJScript is not one.
        if (text.size() - i >= 8 && AnsiSameText(text.substr(i, 8), "language") &&
            (text.size() == i + 8 || static_cast<unsigned char>(text[i + 8]) < 33)) {
            const size_t eol = text.find_first_of("\r\n", i + 8);
            const AnsiString lang = Trim(text.substr(i + 8, eol == AnsiString::npos ? AnsiString::npos : eol - i - 8));
            SelectLanguage(lang);
            Parser.SetText(text);
            if (eol == AnsiString::npos) {
                start = static_cast<int>(text.size()) + 1;
            } else {
                start = static_cast<int>(eol) + 2;
                if (text[eol] == '\r' && eol + 1 < text.size() && text[eol + 1] == '\n')
                    ++start;
            }
        }
    }
    if (!FGrammar)
        scRaise(TscMessageId::SInvalidLanguage);
    if (!FGrammar->Start)
        scRaise(TscMessageId::SInvalidLanguage);

    Parser.SetPosition(start);
    FDepth = 0;
    FSteps = 0;
    FStepLimit = 200000 + 5000 * static_cast<int64_t>(text.size());
    bool ok;
    try {
        ok = Walk(FGrammar->Start);
    } catch (const WalkAbort& a) {
        ok = false;
        FErrorText = AnsiString(scMessage(a.Id));
        FErrorPos = Parser.GetXYPosition();
        FErrorUnit = UnitName;
        FLines.clear();
    }
    if (FErrorText.empty() && !FGrammar->RequireEnd.empty()) {
        // A program that stopped matching before the end of its text has a
        // statement the grammar could not read: say so instead of dropping the
        // rest. A walk that failed without a message failed on its first line.
        if (!ok)
            Parser.SetPosition(start);
        for (;;) {
            Parser.SkipSpaces();
            if (!Parser.GetEOL())
                break;
        }
        if (Parser.Position() <= Parser.Size()) {
            const auto it = FGrammar->Errors.find(FGrammar->RequireEnd);
            FErrorText = it != FGrammar->Errors.end() ? it->second : AnsiString("?");
            FErrorPos = Parser.GetXYPosition();
            FErrorUnit = UnitName;
        }
    }
    const bool built = ok && FErrorText.empty();
    // A unit's lines go to the program that uses it as they are (CompileUnit).
    if (built && FUsedOwner == this)
        BuildDocument();
    if (Program) {
        Program->ErrorPos = FErrorPos;
        Program->ErrorText = FErrorText;
        Program->ErrorUnit = FErrorUnit;
    }
    return built;
}

void TscILParser::BuildDocument()
{
    ILScript->Clear();
    TscXMLItem* root = ILScript->Root();
    root->Name = "program";
    // The main text's lines, and within them a used unit's program where its Unit line
    // stands: read with a stack of their own, so a long chain of units is no deep recursion.
    struct Frame {
        std::vector<IlLine>* Lines;
        size_t Next;
        size_t Base; // items of the stack below this program's own
        const TscGrammar* Grammar;
    };
    std::vector<TscXMLItem*> stack{root};
    std::vector<Frame> frames{{&FLines, 0, 1, FGrammar.get()}};
    while (!frames.empty()) {
        Frame& f = frames.back();
        if (f.Next == f.Lines->size()) {
            stack.resize(f.Base);
            TscXMLItem* types = stack.back()->Add();
            if (f.Grammar->Types)
                types->Assign(f.Grammar->Types);
            types->Name = "types";
            stack.resize(f.Base - 1);
            frames.pop_back();
            continue;
        }
        IlLine& line = (*f.Lines)[f.Next++];
        switch (line.K) {
        case IlLine::Open: {
            TscXMLItem* item = stack.back()->Add();
            item->Name = std::move(line.Name);
            item->Text = std::move(line.Attrs);
            stack.push_back(item);
            break;
        }
        case IlLine::Close:
            if (stack.size() > f.Base)
                stack.pop_back();
            break;
        case IlLine::Leaf: {
            TscXMLItem* item = stack.back()->Add();
            item->Name = std::move(line.Name);
            item->Text = std::move(line.Attrs);
            break;
        }
        case IlLine::Unit: {
            UnitProgram& unit = FUnitPrograms[line.Index];
            TscXMLItem* program = stack.back()->Add();
            program->Name = "program";
            stack.push_back(program);
            frames.push_back({&unit.Lines, 0, stack.size(), unit.Grammar.get()});
            break;
        }
        }
    }
    FLines.clear();
    FUnitPrograms.clear();
}

void TscILParser::WriteLeaf(const AnsiString& name, const AnsiString& text, const AnsiString& pos)
{
    FLines.push_back({IlLine::Leaf, name, Attr("text", text) + " " + Attr("pos", pos)});
}

void TscILParser::ReportError(const TscGrammarElement* e, int entry)
{
    if (!e->Err)
        return;
    if (FErrorFinal)
        return;
    // The lexer is left where the standing error lies; an error that waits
    // behind it does not move it.
    const bool standing = FErrorText.empty() && !FAsideActive;
    const int here = Parser.Position();
    Parser.SetPosition(entry);
    Parser.SkipSpaces();
    RecordError(*e->Err, Parser.GetXYPosition(), UnitName, e->Term, Parser.Position());
    if (!standing)
        Parser.SetPosition(here);
}

void TscILParser::RecordError(const AnsiString& text, const AnsiString& pos, const AnsiString& unit, bool term,
                              int at)
{
    ++FErrorSerial;
    if (FAsideActive) {
        // The text did not get past the empty list: its error comes first after all.
        FAsideActive = false;
        if (!FErrorFinal) {
            FErrors.push_back(FAside);
            if (FErrors.size() == 1)
                SetStanding(&FAside);
        }
    }
    if (FErrorFinal)
        return;
    const bool droppable = term || FOpenDropLoops > 0;
    FErrors.push_back({text, pos, unit, term, droppable, FErrorSerial, at});
    if (FErrors.size() == 1)
        SetStanding(&FErrors.front());
}

void TscILParser::SetStanding(const RecordedError* error)
{
    if (!error) {
        FErrorText.clear();
        FErrorUnit.clear();
        FErrorPos.clear();
        return;
    }
    FErrorText = error->Text;
    FErrorPos = error->Pos;
    FErrorUnit = error->Unit;
    // One that no loop drops stands for good: what follows it no longer counts.
    FErrorFinal = !error->Droppable;
}

void TscILParser::SetAsideEmptyListError(int since, int entry)
{
    auto first = FErrors.end();
    while (first != FErrors.begin() && std::prev(first)->Serial > since)
        --first;
    if (first == FErrors.end() || !first->Term)
        return;
    Parser.SkipSpaces();
    const int start = Parser.Position();
    Parser.SetPosition(entry);
    if (first->At != start)
        return; // the item was begun: a broken item, not an empty list
    FAside = *first;
    FAsideActive = true;
    // What the failed item recorded after its first name went with it.
    FErrors.erase(first, FErrors.end());
    if (FErrors.empty())
        SetStanding(nullptr);
}

void TscILParser::DropLoopErrors(int since, bool all, size_t passMark)
{
    if (FErrors.empty() || FErrors.back().Serial <= since)
        return;
    const int standingSerial = FErrors.front().Serial;
    // The errors recorded inside the loop are the last ones.
    auto first = FErrors.end();
    while (first != FErrors.begin() && std::prev(first)->Serial > since)
        --first;
    const auto passes = FPassSerials.begin() + static_cast<std::ptrdiff_t>(passMark);
    auto kept = first;
    int passEnd = 0;   // errors up to this serial lie in the pass of a dropped error
    int droppedAt = 0; // and those not past its place in the text followed from it
    for (auto it = first; it != FErrors.end(); ++it) {
        if (it->Serial <= passEnd && it->At <= droppedAt)
            continue;
        if (all || it->Term) {
            const auto next = std::lower_bound(passes, FPassSerials.end(), it->Serial);
            passEnd = next == FPassSerials.end() ? std::numeric_limits<int>::max() : *next;
            droppedAt = it->At;
            continue;
        }
        if (kept != it)
            *kept = std::move(*it);
        ++kept;
    }
    FErrors.erase(kept, FErrors.end());
    if (FErrors.empty()) {
        SetStanding(nullptr);
    } else if (FErrors.front().Serial != standingSerial) {
        SetStanding(&FErrors.front());
        if (FErrorFinal)
            FErrors.resize(1);
    }
}

void TscILParser::WriteWrapper(const TscGrammarElement* e, size_t count, int entry, bool success)
{
    if (e->Node.empty())
        return;
    if (e->Node == "uses") {
        // Every line written since entry is a file leaf; the last is compiled first,
        // and each unit's block follows the one before (so they stand in reverse
        // order). The leaves go first, so a block is appended, not inserted.
        std::vector<AnsiString> files;
        for (size_t i = count; i < FLines.size(); ++i) {
            TscXMLItem probe;
            probe.Text = FLines[i].Attrs;
            AnsiString file = probe.Prop("text");
            if (file.size() >= 2 && file.front() == '\'' && file.back() == '\'')
                file = file.substr(1, file.size() - 2);
            files.push_back(std::move(file));
        }
        FLines.resize(count);
        for (auto it = files.rbegin(); it != files.rend(); ++it)
            CompileUnit(*it, count);
        return;
    }
    if (!success) {
        FLines.resize(count);
        return;
    }
    const int here = Parser.Position();
    Parser.SetPosition(entry);
    Parser.SkipSpaces();
    AnsiString attrs = Attr("pos", Parser.GetXYPosition());
    Parser.SetPosition(here);
    if (e->Node == "expr")
        attrs += " " + Attr("pos1", Parser.GetXYPosition());
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(count), IlLine{IlLine::Open, e->Node, attrs});
    FLines.push_back({IlLine::Close, e->Node, {}});
}

void TscILParser::CompileUnit(const AnsiString& fileName, size_t& count)
{
    // The list is the program's: a unit's parser adds to its user's list.
    TscILParser& owner = *FUsedOwner;
    if (!owner.FUsedKeys.insert(AnsiUpperCase(fileName)).second)
        return; // once per program, however often it is named
    owner.UsedUnits.push_back(fileName);

    AnsiString text;
    if (Program && Program->OnGetUnit) {
        Program->OnGetUnit(Program, fileName, text);
    } else {
        try {
            TMemoryStream m;
            m.LoadFromFile(fileName);
            text = m.DataString();
        } catch (const Exception&) {
            // The error lies in the uses clause of this text, not in the unit
            // that could not be read.
            RecordError(Format(scMessage(TscMessageId::SUnitNotFound), {fileName}), Parser.GetXYPosition(), UnitName,
                        false, Parser.Position());
            return;
        }
    }
    std::vector<IlLine> block;
    block.push_back({IlLine::Open, "uses", Attr("unit", fileName)});
    if (!text.empty()) {
        TscILParser unit(Program);
        unit.UnitName = fileName;
        unit.SelectLanguage(LangName);
        unit.FUsedOwner = &owner; // units it uses count as used here, and the other way
        const bool built = unit.MakeILScript(text);
        if (!built && !unit.FErrorText.empty()) {
            // The unit's own error and position, so the host can point into the unit;
            // the unit named is the one the position lies in, which may be a unit
            // that unit uses. An error this text recorded earlier stays the first.
            RecordError(unit.FErrorText, unit.FErrorPos, unit.FErrorUnit.empty() ? fileName : unit.FErrorUnit, false,
                        Parser.Position());
            return;
        }
        // A unit that holds no statement at all (only comments, in a syntax whose
        // program is a list of lines) fails without a message, as such a main text
        // does: like that text it compiles to nothing. The unit was found and read.
        if (built) {
            owner.FUnitPrograms.push_back({std::move(unit.FLines), unit.FGrammar});
            block.push_back({IlLine::Unit, {}, {}, owner.FUnitPrograms.size() - 1});
        }
        auto lexer = std::make_unique<TscParser>();
        lexer->SetText(text);
        owner.FUnitTexts[fileName] = std::move(lexer);
    }
    block.push_back({IlLine::Close, "uses", {}});
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(count), std::make_move_iterator(block.begin()),
                  std::make_move_iterator(block.end()));
    count += block.size();
}

bool TscILParser::Walk(const TscGrammarElement* e)
{
    if (++FSteps > FStepLimit)
        throw WalkAbort{TscMessageId::STextTooComplex};
    if (FDepth >= kMaxWalkDepth || (FDepth % 16 == 0 && scStackNearEnd()))
        throw WalkAbort{TscMessageId::SNestingTooDeep};
    struct Depth {
        int& d;
        explicit Depth(int& x) : d(x) { ++d; }
        ~Depth() { --d; }
    } depth(FDepth);

    const int entry = Parser.Position();
    const size_t count = FLines.size();
    bool isToken = false;
    bool result = true;
    AnsiString token;

    switch (e->Kind) {
    case TscGrammarKind::RuleDef:
    case TscGrammarKind::Sequence:
        break;
    case TscGrammarKind::Char:
        if (!e->NoSkip)
            Parser.SkipSpaces();
        token = Parser.GetChar();
        isToken = true;
        break;
    case TscGrammarKind::Keyword:
        token = Parser.GetWord();
        isToken = true;
        break;
    case TscGrammarKind::Ident:
        token = Parser.GetIdent();
        isToken = true;
        break;
    case TscGrammarKind::Number:
        token = Parser.GetNumber();
        isToken = true;
        break;
    case TscGrammarKind::String:
        token = Parser.GetString();
        isToken = true;
        break;
    case TscGrammarKind::FRString: {
        token = Parser.GetFRString();
        isToken = true;
        if (!token.empty()) {
            // <Name> is a call of the host's Get with the name as a string.
            const AnsiString p = Parser.GetXYPosition();
            FLines.push_back({IlLine::Open, "dsgn", Attr("pos", p)});
            WriteLeaf("node", "Get", p);
            FLines.push_back({IlLine::Open, "expr", Attr("pos", p)});
            WriteLeaf("string", "'" + token + "'", p);
            FLines.push_back({IlLine::Close, "expr", {}});
            FLines.push_back({IlLine::Close, "dsgn", {}});
        }
        break;
    }
    case TscGrammarKind::Eol:
        result = Parser.GetEOL();
        break;
    case TscGrammarKind::Switch:
    case TscGrammarKind::OptSwitch:
        for (const TscGrammarElement* c : e->Children)
            if (Walk(c))
                return true;
        if (e->Kind == TscGrammarKind::OptSwitch)
            return true;
        ReportError(e, entry);
        return false;
    case TscGrammarKind::Loop:
    case TscGrammarKind::OptLoop: {
        int passes = 0;
        int after = entry;
        bool r = true;
        // Errors recorded before the loop are not the loop's to drop.
        const int serial = FErrorSerial;
        if (e->DropErrors)
            ++FOpenDropLoops;
        const size_t passMark = FPassSerials.size();
        for (;;) {
            const int passStart = Parser.Position();
            ++passes;
            FPassSerials.push_back(FErrorSerial);
            r = true;
            for (const TscGrammarElement* c : e->Children)
                if (!Walk(c)) {
                    r = false;
                    break;
                }
            after = Parser.Position();
            if (!r)
                break;
            if (!e->Text.empty()) {
                Parser.SkipSpaces();
                if (Parser.GetChar() != e->Text) {
                    Parser.SetPosition(after);
                    break;
                }
            }
            // A pass that reads nothing would repeat for ever; an empty pass
            // followed by its separator read the separator (an empty statement).
            if (Parser.Position() == passStart)
                break;
        }
        // A list of more than one pass ends where its last pass stopped; an error
        // recorded inside the list is dropped when the loop or the erring element
        // allows it, whichever pass recorded it.
        if (e->DropErrors)
            --FOpenDropLoops;
        if (passes > 1) {
            if (FAsideActive && FAside.Serial > serial)
                FAsideActive = false; // dropped with the list's others
            DropLoopErrors(serial, e->DropErrors, passMark);
            if (!r)
                Parser.SetPosition(after);
            r = true;
        }
        FPassSerials.resize(passMark);
        if (e->Kind == TscGrammarKind::OptLoop) {
            if (!r) {
                Parser.SetPosition(entry);
                FLines.resize(count);
                SetAsideEmptyListError(serial, entry);
            }
            return true;
        }
        return r;
    }
    case TscGrammarKind::Optional:
        for (const TscGrammarElement* c : e->Children)
            if (!Walk(c)) {
                Parser.SetPosition(entry);
                FLines.resize(count);
                break;
            }
        return true;
    case TscGrammarKind::Reference:
        if (!e->Ref)
            scRaise(TscMessageId::SInvalidLanguage);
        result = Walk(e->Ref);
        break;
    }

    // Tail: tokens compare, then node, add and the children.
    if (isToken)
        result = !token.empty() && (e->Text.empty() || AnsiSameText(token, e->Text));
    if (FAsideActive && result && Parser.Position() > FAside.At)
        FAsideActive = false; // the text went on past the empty list
    if (!result) {
        ReportError(e, entry);
    } else {
        if (!e->IsRuleDef)
            WriteWrapper(e, count, entry, true);
        if (!e->Add.empty())
            WriteLeaf(e->Add, e->HasAddText ? e->AddText : token, Parser.GetXYPosition());
        for (const TscGrammarElement* c : e->Children)
            if (!Walk(c)) {
                result = false;
                break;
            }
    }
    if (!result) {
        Parser.SetPosition(entry);
        if (FLines.size() > count)
            FLines.resize(count); // what a failed element wrote goes with it
    }
    if (e->IsRuleDef)
        WriteWrapper(e, count, entry, result);
    return result;
}

// ---------------------------------------------------------------- entry points

IlElement IlElementOf(const AnsiString& tag)
{
    static const std::unordered_map<AnsiString, IlElement> kByTag = [] {
        std::unordered_map<AnsiString, IlElement> m;
        for (size_t i = 0; i < std::size(kIlTag); ++i)
            m.emplace(AnsiString(kIlTag[i]), static_cast<IlElement>(i));
        return m;
    }();
    auto it = kByTag.find(tag);
    if (it == kByTag.end())
        it = kByTag.find(AnsiLowerCase(tag));
    return it == kByTag.end() ? IlElement::Unknown : it->second;
}

void scInstallCompiler()
{
    TscCompilerHooks hooks;
    hooks.Compile = [](TscScript& script) {
        TscILParser parser(&script);
        parser.SelectLanguage(script.SyntaxType);
        if (parser.MakeILScript(script.Lines()->Text()))
            parser.ParseILScript();
        return script.ErrorText.empty();
    };
    hooks.GetILCode = [](TscScript& script, TStream& stream) {
        TscILParser parser(&script);
        parser.SelectLanguage(script.SyntaxType);
        if (!parser.MakeILScript(script.Lines()->Text()))
            return false;
        parser.ILScript->SaveToStream(stream);
        return true;
    };
    hooks.SetILCode = [](TscScript& script, TStream& stream) {
        TscILParser parser(&script);
        // The IL does not say whether names must be declared; the script's language does.
        try {
            parser.SelectLanguage(script.SyntaxType);
        } catch (const EScriptError&) {
        }
        try {
            parser.ILScript->LoadFromStream(stream);
        } catch (const Exception& e) {
            script.ErrorText = e.Message();
            script.ErrorPos.clear();
            return false;
        }
        parser.ParseILScript();
        return script.ErrorText.empty();
    };
    scSetCompilerHooks(std::move(hooks));
}
