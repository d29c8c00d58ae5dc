// Statements.h - the statement kinds of a compiled program.
//
// Every statement list is a TscStatement (Statement.h); each kind here
// overrides Execute. Control flow crosses nested lists through the flags of
// the owning script (BreakRequested, ContinueRequested, ExitRequested,
// Terminated) instead of unwinding. Before most statements the position goes
// to the host (OnRunLine), which is how a host follows a running script and
// how it stops a runaway one: Terminate from that callback ends every loop and
// list at its next check. A loop whose body has no statements reports its own
// position on every pass, so even "while True do ;" can be stopped.
//
// Loop epilogue: after the body, leave when BreakRequested or ExitRequested is
// set, else clear ContinueRequested and go on. Every loop clears
// BreakRequested when it ends; ExitRequested propagates to the enclosing lists.
//
// Speed: an assignment decides once, when it is built, what its target is. On a
// plain variable or parameter, x := x op e reads the stored value in place and
// takes the inline arithmetic of FastPaths.h; appending to a String variable, to
// a Variant whose text nothing else shares, or to a var parameter's text borrowed from its
// String variable argument (Items.h), extends it in place, so building a long text by
// appending is linear. Every left-deep chain of joins that starts at the
// target does so (s := s + ', ' + IntToStr(i), BasicScript s = s & "," & i) when no
// operand can run a script routine or name s: the operands are evaluated in their
// order and each text appended as it comes; an error on the way cuts the target back
// to its old text, and an operand that is not a text turns the rest into the general
// join. The results, their types and the errors are those of the general operations.
//
// Numbers: an assignment to a plain variable or parameter whose source is a number tree
// (TscExpression::NumRoot), or a constant or plain variable holding a number, computes it
// without Variants and stores the result as the
// variable's SetValue would (an integer given to a floating variable converts); x op= e
// on numbers likewise. Conditions of if, while, repeat and C-style for take a comparison
// of numbers the same way. When an operand is not a number the general path runs, reading
// the same values again (nothing in such a tree runs code). An if whose comparison is so
// decided runs a branch of one statement at once: nothing ran since the flags were tested.
//
// Direct steps: the statements above that run no code on numbers (a number tree stored into
// a plain variable, x op= e on numbers, x++ and x--) get a Direct routine when they are
// built, made for their operator and their target's declared type: what Execute does once
// the position has gone to the host, or false, with nothing changed, where Execute must run
// (a text, an overflow, a zero divisor, an Integer variable holding a wider value). It never
// raises, so an error always comes from Execute, at the statement's own position.
// A constant or plain variable given to a plain variable or parameter that keeps what it is
// given (not a floating one) is copied there as it stands, before any number step. Any other
// value given to such a target is taken over as it comes, without the copy SetValue would make; a source
// that is a + of two calls (Fib(n - 1) + Fib(n - 2)) is read and joined by the assignment
// itself, in the operator's order and with its Join (two integers are added as Join adds
// them and the sum is made straight in the target's value). return e is one statement that
// stores e into Result as such an assignment and then exits (TscReturnStmt).
//
// Loops: a body of one statement runs it directly (TscStatement::RunChild, with the list's
// error handling), through its Direct routine while no host follows the lines. A C-style
// for loop runs condition, body and step in one pass: a step of one statement with a Direct
// routine (i++, i += 2) is done by it, without the step's statement list, while no host
// follows the lines; anything else (a hook set, a counter the routine declines) runs the
// step as written. When the condition is a comparison with a Test routine and body and step
// have Direct ones, passes run them back to back: nothing in such a pass runs code, so the
// flags and the hook, checked before, cannot change until a routine declines, and that
// routine's statement then runs as written. A BasicScript For..Next whose start, end and
// step are integers inside 32 bits counts with a plain number and gives the variable the
// values the general walk gives. A C-style for loop that counts (its step x++ or x-- on a plain
// variable, its condition a comparison of that variable with a value, both read in place) has
// a routine made for the comparison and the step's direction and width that compares and
// steps the counter inline between the body's direct steps, as the Test and Direct routines
// would; values that are not two integers go to the condition's routine, and a step the
// counter's kind declines ends the quick passes. Such a loop whose body has no Direct routine
// (it writes a host property, calls a routine) compares and steps the counter inline the same
// way, running the body as the list runs it: the step is made inline only while no hook is
// set once the body has run, so the counter holds what the general walk gives it whenever the
// body, or the host it calls, reads it. The Pascal for loop and that BasicScript one also run a body
// whose one statement has a Direct routine pass after pass without the checks between
// passes, which nothing in such a pass can change; when the routine declines, that pass runs
// as written and the checks resume.
//
// x op= e (+ - *) on a target that is not floating, whose source has an integer routine
// (Expression.h, WideCompute: i mod 7 over untyped values), takes the source's integer in
// registers and applies TryIntArith's rule over the target's Integer or Int64 (DirectWide).
//
// A number tree stored into a plain variable whose root has a floating routine
// (Expression.h, floating trees) is computed by it first, and by the number routines where it
// gives up; so is the source of x op= e on numbers.
//
// Order of effects: x op= e, and x := x op e shortened to it, read the target's value
// before evaluating e, as the left operand of an operator is read before the right one.
// When e cannot change x the order cannot be seen, and the stored value is used in place.
#pragma once

#include "script/Designator.h"
#include "script/Statement.h"

#include <string_view>
#include <vector>

class TscAssignmentStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscAssignmentStmt() override;
    std::unique_ptr<TscDesignator> Designator;
    std::unique_ptr<TscExpression> Expression;
    TscCustomVariable* Target = nullptr; // optimized operands, not owned
    TscCustomVariable* Source = nullptr;
    virtual void Optimize();
    void Execute() override;

protected:
    friend class TscCompactBody;
    // Decided once by Optimize, so running needs no type tests. PlainTarget: Target is a
    // plain variable or parameter (its stored Value is read and written directly);
    // StringTarget: Target is a String variable.
    TscCustomVariable* PlainTarget = nullptr;
    TscStringVariable* StringTarget = nullptr;
    // s := s + a + b ... (a left-deep chain of joins from the target itself whose operands
    // call no script routine and do not name the target): the join nodes, innermost first;
    // their right operands are appended in place. A host routine among them may still
    // change the target, so the text is taken only after they are all read.
    std::vector<TscOperatorNode*> AppendChain;
    // The source is a + of two designators that are not plain variables (calls of script
    // routines, f(x) + g(y)) and the target keeps what it is given: the two values are read
    // in their order and joined here, as the operator's GetValue does, one call fewer each.
    const TscOperatorNode* JoinSource = nullptr;
    TscDesignator* JoinLeft = nullptr;
    TscDesignator* JoinRight = nullptr;
    // Obj.Prop := e for an Integer + - * e that is no number tree: e's Integer goes to the
    // member without a Variant (TscDesignator::SetInteger).
    TscDesignator* IntegerMember = nullptr;
    TscOperatorNode* IntegerSource = nullptr;
    // The same for + - * / whose left operand gives a number (NumberFirst): e's number goes
    // to the member without a Variant where the arithmetic takes its inline path.
    TscDesignator* NumberMember = nullptr;
    TscOperatorNode* NumberSource = nullptr;
    TscOperatorNode::NumberFunction NumberRoutine = nullptr;
    // Obj.Prop := Obj.Prop + - * e of that kind, whose left operand is the target's own member
    // read (UpdateRead) and whose e is a number tree or a value read in place: read, sum and
    // write in one go while the member is an Integer data member (TscDesignator::UpdateKeptInt).
    using UpdateFunction = bool (*)(TscDesignator& target, TscDesignator& read, const TscOperatorNode& op);
    UpdateFunction MemberUpdate = nullptr;
    TscDesignator* UpdateRead = nullptr;
    // The source cannot change the target (scIsPlainExpression).
    bool SourcePlain = false;
    // The Direct routine Optimize found for the store itself, kept where Direct is not (return e).
    DirectFunction StoreDirect = nullptr;
    // The source as the inline number paths read it: an operator tree Num computes
    // (TscExpression::NumRoot), or a constant or plain variable read in place.
    const TscOperatorNode* NumSource = nullptr;
    const Variant* DirectSource = nullptr;
    // The source's number when it has one without running the general path.
    bool SourceNum(script_fast::Num& n) const
    {
        if (NumSource)
            return NumSource->Num(n);
        return DirectSource && script_fast::Num::From(*DirectSource, n);
    }

    // SourceNum for the direct steps: a floating routine's Double first, where the source has
    // one (the hooked path keeps the number routines).
    bool SourceNumDirect(script_fast::Num& n) const
    {
        if (NumSource && NumSource->FloatCompute) {
            const TscOperatorNode::FloatResult r = NumSource->FloatCompute(NumSource);
            if (r.Ok) {
                n = script_fast::Num(r.Value);
                return true;
            }
        }
        return SourceNum(n);
    }

    // The source's value as an Integer operand takes it (Num's value where ToInt32 takes it
    // without the general conversion).
    bool SourceInt(int32_t& y) const
    {
        if (NumSource)
            return NumSource->Int(y);
        return DirectSource && script_fast::Num::FromInt32(*DirectSource, y);
    }

private:
    bool AppendInPlace();
    const AnsiString* AppendTargetText() const;
    void AppendToTarget(std::string_view tail);
    static bool DirectNum(TscStatement* stmt);
    static bool DirectFloat(TscStatement* stmt);
    static bool DirectInt(TscStatement* stmt);
};

// return e in a routine: Result := e and the exit after it, run as one statement. The
// assignment runs as above (same position, same hook call, same errors); the exit follows
// when the list would have run it, that is when no flag is set once the value is stored.
class TscReturnStmt : public TscAssignmentStmt {
public:
    using TscAssignmentStmt::TscAssignmentStmt;
    void Optimize() override;
    void Execute() override;
};

// x += e and the like; also what x := x op e is shortened to.
class TscAssignOpStmt : public TscAssignmentStmt {
public:
    TscAssignOpStmt(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos, char op)
        : TscAssignmentStmt(script, unitName, sourcePos), Op(op)
    {
    }
    char Op; // '+', '-', '*', '/'
    bool SetOp = false; // a set's mask with a set constructor: union, difference, intersection
    // An Integer target and an Integer source: + - * in 32 bits, as x := x op e and
    // z := x op e compute it, not widened.
    bool IntegerOp = false;
    void Optimize() override;
    void Execute() override;

private:
    void Apply(const Variant& a, const Variant& b);
    template <char Op>
    static bool DirectInteger(TscStatement* stmt);
    template <char Op, bool FloatTarget>
    static bool DirectNumber(TscStatement* stmt);
    template <char Op>
    static bool DirectWide(TscStatement* stmt);
};

class TscCallStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscCallStmt() override;
    std::unique_ptr<TscDesignator> Designator;
    AnsiString Modificator; // "", "+" (x++) or "-" (x--)
    bool IntegerStep = false; // x++ on an Integer: 32 bits, as x := x + 1
    // Decides once what x++ and x-- count: a plain variable or parameter is stepped in place.
    void Optimize();
    void Execute() override;
    // The step of x++ or x-- done in place, as Execute would do it once its position has
    // gone to the host; false, with nothing changed, when it takes the general path.
    bool StepInPlace();

private:
    friend class TscCppForStmt; // a loop's counter step
    TscCustomVariable* PlainTarget = nullptr; // not owned
    int Step = 0;                             // +1 or -1 with a modificator
    template <int By, bool Integer>
    static bool DirectStep(TscStatement* stmt);
};

class TscIfStmt : public TscStatement {
public:
    TscIfStmt(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos);
    ~TscIfStmt() override;
    std::unique_ptr<TscExpression> Condition;
    std::unique_ptr<TscStatement> ElseStmt;
    // Finds once, when the statement and its branches are built, the condition's Test
    // routine and a branch's one statement: a comparison the routine decides runs no code, so
    // the branch's one statement then runs without the list's checks, which nothing can have
    // changed. An if not made ready so runs every test as it comes.
    void Optimize();
    void Execute() override;

private:
    friend class TscCompactBody;
    const TscOperatorNode* FTestNode = nullptr;
    TscOperatorNode::TestFunction FTest = nullptr;
    TscStatement* FThenOnly = nullptr;
    TscStatement* FElseOnly = nullptr;
};

class TscCaseSelector : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscCaseSelector() override;
    std::unique_ptr<TscSetExpression> SetExpr;
};

class TscCaseStmt : public TscStatement {
public:
    TscCaseStmt(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos);
    ~TscCaseStmt() override;
    std::unique_ptr<TscExpression> Condition;
    std::unique_ptr<TscStatement> ElseStmt;
    bool BreakEndsCase = false; // C++Script and JScript: break leaves the switch
    void Execute() override;
};

class TscRepeatStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscRepeatStmt() override;
    std::unique_ptr<TscExpression> Condition;
    bool InverseCondition = false;
    void Execute() override;
};

class TscWhileStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscWhileStmt() override;
    std::unique_ptr<TscExpression> Condition;
    void Execute() override;
};

class TscForStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscForStmt() override;
    std::unique_ptr<TscExpression> BeginValue;
    bool Down = false;
    std::unique_ptr<TscExpression> EndValue;
    TscCustomVariable* LoopVariable = nullptr;
    void Execute() override;
};

class TscVbForStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscVbForStmt() override;
    std::unique_ptr<TscExpression> BeginValue;
    std::unique_ptr<TscExpression> EndValue;
    std::unique_ptr<TscExpression> Step; // may be empty: step 1
    TscCustomVariable* LoopVariable = nullptr;
    void Execute() override;

private:
    // Runs the loop with a plain counter when start, end and step allow it; false to leave
    // it to the general walk.
    bool CountsInPlace(const Variant& b, const Variant& e, const Variant& s);
};

class TscCppForStmt : public TscStatement {
public:
    TscCppForStmt(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos);
    ~TscCppForStmt() override;
    std::unique_ptr<TscStatement> FirstStmt;
    std::unique_ptr<TscExpression> Condition;
    std::unique_ptr<TscStatement> SecondStmt;
    // Finds once whether the step is one statement with a direct step (i++, i += 2).
    void Optimize();
    using CountFunction = int (*)(TscCustomVariable* counter, const Variant* bound, const TscOperatorNode* node,
                                  TscStatement* only, DirectFunction bodyDirect, bool& bodyDone);
    using PassFunction = int (*)(TscCustomVariable* counter, const Variant* bound, const TscOperatorNode* node,
                                 TscStatement& loop, bool& bodyDone);
    void Execute() override;

private:
    TscStatement* FStep = nullptr; // the one statement of SecondStmt when it is such a step
    // A counting loop: the step is x++ or x-- on a plain variable and the condition compares
    // that variable, read in place, with a value read in place (for (i = 1; i <= n; i++)).
    // Its passes compare and step the counter inline, as the Test and Direct routines would.
    // The passes are run by a routine made for the comparison, the step's direction and
    // width, and whether the comparison is of 32-bit values (both operands statically Integer).
    TscCustomVariable* FCounter = nullptr;
    const Variant* FBound = nullptr;
    uint8_t FCmp = 0; // script_fast::Cmp
    CountFunction FCount = nullptr;
    // The same passes for a body that may run code (no direct step: a host property's write,
    // a call): the body runs as the list runs it, and the counter is stepped inline while no
    // hook is set.
    PassFunction FRun = nullptr;
    int CountedPasses(bool& bodyDone);
};

class TscTryStmt : public TscStatement {
public:
    TscTryStmt(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos);
    ~TscTryStmt() override;
    bool IsExcept = false;
    std::unique_ptr<TscStatement> ExceptStmt;
    void Execute() override;
};

class TscBreakStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    void Execute() override;
};

class TscContinueStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    void Execute() override;
};

class TscExitStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    void Execute() override;
};

class TscWithStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscWithStmt() override;
    std::unique_ptr<TscDesignator> Designator;
    TscCustomVariable* WithVariable = nullptr; // in the script's table
    void Execute() override;
};
