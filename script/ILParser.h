// ILParser.h - TscILParser, the script compiler.
//
// First half (ILParser.cpp): script text of any registered language becomes
// the IL (Il.h), an XML program, by walking the language's grammar as a
// recursive-descent recogniser with backtracking. No code here knows a
// language; the grammar says what to match and which IL to write. Used units
// are compiled once per program and spliced in.
//
// Second half (ILBuilder.cpp): the IL becomes objects inside the TscScript:
// variables, procedures with their local scripts, statements, designators and
// expression trees. Every name is resolved and every call's argument count and
// every assignment's types are checked here; the first violation becomes the
// script's ErrorText/ErrorPos/ErrorUnit.
//
// Limits: the walk stops with SNestingTooDeep past kMaxWalkDepth nested
// grammar elements and with STextTooComplex after a number of steps
// proportional to the text, so no text, however built, recurses or backtracks
// without bound. Compile errors are recorded, not raised; only a broken
// grammar (SInvalidLanguage) and an unknown language (SLangNotFound) raise.
#pragma once

#include "script/Lexer.h"
#include "script/XmlDocument.h"

#include <map>
#include <unordered_set>
#include <memory>
#include <vector>

class TscScript;
class TscStatement;
class TscWithStmt;
class TscCustomVariable;
class TscProcVariable;
class TscParamItem;
class TscExpression;
class TscDesignator;
class TscSetExpression;
struct TscGrammar;
struct TscGrammarElement;

inline constexpr int kMaxWalkDepth = 1200;

enum TscEmitOp : uint8_t { emNone, emCreate, emFree };

class TscILParser {
public:
    explicit TscILParser(TscScript* program);
    ~TscILParser();
    TscILParser(const TscILParser&) = delete;
    TscILParser& operator=(const TscILParser&) = delete;

    AnsiString SourcePos; // of the IL element being built; becomes the error position
    std::unique_ptr<TscXMLDocument> ILScript;
    AnsiString LangName;
    bool NeedDeclareVars = true;
    TscParser Parser;
    TscScript* Program;
    TscXMLItem* ILRoot = nullptr;
    AnsiString UnitName;
    std::vector<AnsiString> UsedUnits;

    // Loads the grammar and sets the lexer up; SLangNotFound for an unknown name.
    void SelectLanguage(const AnsiString& name);
    // Text -> ILScript. False on a syntax error (Program's ErrorText/ErrorPos hold it).
    bool MakeILScript(const AnsiString& text);
    // ILScript -> objects in Program; errors go to Program's error fields.
    void ParseILScript();

private:
    // ---- grammar walk (ILParser.cpp)
    // One line of the program being written. A used unit's program is not copied in:
    // a Unit line stands for it, Index naming its entry in the program's FUnitPrograms,
    // and BuildDocument reads it there. So each unit's lines are written once, however
    // deep the chain of units that use one another.
    struct IlLine {
        enum Kind : uint8_t { Open, Close, Leaf, Unit } K;
        AnsiString Name;
        AnsiString Attrs;
        size_t Index = 0;
    };
    struct UnitProgram {
        std::vector<IlLine> Lines;
        std::shared_ptr<const TscGrammar> Grammar; // a unit may name its own language
    };
    bool Walk(const TscGrammarElement* e);
    void ReportError(const TscGrammarElement* e, int entry);
    void WriteWrapper(const TscGrammarElement* e, size_t count, int entry, bool success);
    void WriteLeaf(const AnsiString& name, const AnsiString& text, const AnsiString& pos);
    void CompileUnit(const AnsiString& fileName, size_t& count);
    void BuildDocument();
    // Records an error. The first one stands (FErrorText); while a loop may still
    // drop it, the errors after it are kept too, so that dropping it brings the
    // next one forward instead of losing it.
    void RecordError(const AnsiString& text, const AnsiString& pos, const AnsiString& unit, bool term, int at);
    // A loop of several passes that began at serial `since` (its passes starting
    // at FPassSerials[passMark..]) ends: drops the errors recorded inside it that
    // it may drop (all of them, or those marked term). What a dropped error's own
    // pass recorded after it goes with it: that pass is where the list ended.
    void DropLoopErrors(int since, bool all, size_t passMark);
    // An optional list that ends before its first item, where the item's first
    // name (marked term) was missing, ends quietly: its error is set aside, and
    // stands again only if the next error comes before the text moves past it.
    void SetAsideEmptyListError(int since, int entry);
    struct RecordedError;
    void SetStanding(const RecordedError* error); // nullptr: none

    std::shared_ptr<const TscGrammar> FGrammar;
    std::vector<IlLine> FLines;
    AnsiString FErrorText, FErrorPos;
    AnsiString FErrorUnit; // the unit the recorded error lies in; empty for the main text
    // Whose UsedUnits a unit named here joins: this parser's, or for a unit's
    // parser the program's. FUsedKeys holds the names upper-cased, for lookup.
    TscILParser* FUsedOwner = this;
    std::unordered_set<AnsiString> FUsedKeys;
    int FErrorSerial = 0; // counts the errors recorded
    struct RecordedError {
        AnsiString Text, Pos, Unit;
        bool Term;
        bool Droppable; // marked term, or recorded inside a loop that drops errors
        int Serial;
        int At; // lexer position of the error
    };
    std::vector<RecordedError> FErrors; // in the order recorded; the first is FErrorText's
    bool FErrorFinal = false;           // the standing error is one no loop drops
    int FOpenDropLoops = 0;             // loops open now that drop the errors of their passes
    RecordedError FAside{};        // set aside by SetAsideEmptyListError
    bool FAsideActive = false;
    std::vector<int> FPassSerials;      // FErrorSerial at the start of each pass of the open loops
    int FDepth = 0;
    int64_t FSteps = 0, FStepLimit = 0;
    // Texts of the units compiled into this program, to cut expression texts from.
    // Like FUsedKeys these are the program's: a unit's parser adds to its owner's.
    std::map<AnsiString, std::unique_ptr<TscParser>> FUnitTexts;
    // The programs of the units used, in the order they were compiled (the owner's).
    std::vector<UnitProgram> FUnitPrograms;

    // ---- building (ILBuilder.cpp)
    struct WithEntry {
        AnsiString Name;
        TscWithStmt* Stmt;
        TscCustomVariable* Variable;
        // First entry of the run this one belongs to: objects of one with list
        // and of one type, which find the same names (ResolveWith skips a run).
        size_t RunStart;
    };
    std::vector<WithEntry> WithNames;
    int FHiddenCounter = 0;
    // What follows the names of the declaration CreateVar reads (see there).
    struct DeclParts {
        const TscXMLItem* Item = nullptr;
        int TypeAt = -1;
        std::vector<int> LastArray, LastInit; // from each index on: the last array, init; or -1
    } FDeclParts;
    int FWithCounter = 0;

    void DoProgram(TscXMLItem* item, TscScript* script);
    void DeclareRoutines(TscXMLItem* item, TscScript* script);
    void DoStmt(TscXMLItem* item, TscScript* script, TscStatement* list);
    void DoStatements(TscXMLItem* item, TscScript* script, TscStatement* list);
    // returning: the assignment of return e, which then also exits when it can (returns
    // false, adding nothing more, when it cannot and an exit statement must follow).
    bool DoAssign(TscXMLItem* item, TscScript* script, TscStatement* list, bool returning = false);
    void DoCall(TscXMLItem* item, TscScript* script, TscStatement* list, TscEmitOp emit);
    void DoIf(TscXMLItem* item, TscScript* script, TscStatement* list);
    void DoCase(TscXMLItem* item, TscScript* script, TscStatement* list);
    void DoWhile(TscXMLItem* item, TscScript* script, TscStatement* list);
    void DoRepeat(TscXMLItem* item, TscScript* script, TscStatement* list);
    void DoFor(TscXMLItem* item, TscScript* script, TscStatement* list);
    void DoVbFor(TscXMLItem* item, TscScript* script, TscStatement* list);
    void DoCppFor(TscXMLItem* item, TscScript* script, TscStatement* list);
    void DoTry(TscXMLItem* item, TscScript* script, TscStatement* list);
    void DoReturn(TscXMLItem* item, TscScript* script, TscStatement* list);
    void DoWith(TscXMLItem* item, TscScript* script, TscStatement* list);
    void DoUses(TscXMLItem* item, TscScript* script);
    void DoVar(TscXMLItem* item, TscScript* script, TscStatement* list);
    void DoConst(TscXMLItem* item, TscScript* script);
    void DoProc1(TscXMLItem* item, TscScript* script);
    void DoFunc1(TscXMLItem* item, TscScript* script);
    void DoRoutine2(TscXMLItem* item, TscScript* script, bool isFunction);
    void DoParameters(TscXMLItem* item, TscProcVariable* proc);
    std::unique_ptr<TscCustomVariable> CreateVar(TscXMLItem* item, int identIndex, TscScript* script, bool param,
                                                 bool varParam, TscXMLItem*& init);
    std::unique_ptr<TscExpression> DoExpression(TscXMLItem* item, TscScript* script);
    void AddExpressionItems(TscXMLItem* item, TscScript* script, TscExpression& e);
    std::unique_ptr<TscDesignator> DoDesignator(TscXMLItem* item, TscScript* script, TscEmitOp emit);
    bool ResolveWith(const AnsiString& name, TscScript* script, TscDesignator& d);
    void CheckArguments(TscDesignator& d);
    std::unique_ptr<TscDesignator> BindConstantCall(std::unique_ptr<TscDesignator> d, TscScript* script);
    std::unique_ptr<TscSetExpression> DoSet(TscXMLItem* item, TscScript* script);

    void CheckIdent(TscScript* script, const AnsiString& name);
    TscCustomVariable* Lookup(const TscScript* script, const AnsiString& name) const;
    class TscClassVariable* FindClass(const AnsiString& name) const;
    TscCustomVariable* FindVar(TscScript* script, const AnsiString& name);
    void MarkReadInside(const TscScript* script, const AnsiString& name, TscParamItem* param) const;
    uint8_t FindType(const AnsiString& name, TscXMLItem* at); // a TscVarType
    // Also shapes a set constructor given to a set into its bit mask.
    void CheckTypeCompatibility(const TscCustomVariable* target, TscCustomVariable* source);
    void ErrorPos(const TscXMLItem* item);
    TscCustomVariable* AddHidden(TscScript* script, std::unique_ptr<TscCustomVariable> item);
    AnsiString SourceTextOf(const TscXMLItem* expr) const;
    template <class T>
    std::unique_ptr<T> NewStmt(TscXMLItem* item, TscScript* script);
};

// Installs the compiler's entry points into TscScript (Compile, GetILCode,
// SetILCode). Called at engine start-up.
void scInstallCompiler();
