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
// takes the inline arithmetic of FastPaths.h; appending a text to a String
// variable, or to a Variant whose text nothing else shares, extends it in place,
// so building a long text by appending is linear. BasicScript's s = s & e does
// the same when e can neither run a script routine nor name s (the left side is
// read first there, so anything else goes the general way). The results, their
// types and the errors are those of the general operations.
#pragma once

#include "script/Designator.h"
#include "script/Statement.h"

class TscAssignmentStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscAssignmentStmt() override;
    std::unique_ptr<TscDesignator> Designator;
    std::unique_ptr<TscExpression> Expression;
    TscCustomVariable* Target = nullptr; // optimized operands, not owned
    TscCustomVariable* Source = nullptr;
    void Optimize();
    void Execute() override;

protected:
    // Decided once by Optimize, so running needs no type tests. PlainTarget: Target is a
    // plain variable or parameter (its stored Value is read and written directly);
    // StringTarget: Target is a String variable.
    TscCustomVariable* PlainTarget = nullptr;
    TscStringVariable* StringTarget = nullptr;
    // s := s & e (a join whose left side is the target itself and whose right side calls
    // no script routine and does not name the target): e, whose text is appended in place.
    TscExpressionNode* AppendSource = nullptr;

private:
    bool AppendInPlace();
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
    void Execute() override;
};

class TscCallStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    ~TscCallStmt() override;
    std::unique_ptr<TscDesignator> Designator;
    AnsiString Modificator; // "", "+" (x++) or "-" (x--)
    void Execute() override;
};

class TscIfStmt : public TscStatement {
public:
    TscIfStmt(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos);
    ~TscIfStmt() override;
    std::unique_ptr<TscExpression> Condition;
    std::unique_ptr<TscStatement> ElseStmt;
    void Execute() override;
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
};

class TscCppForStmt : public TscStatement {
public:
    TscCppForStmt(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos);
    ~TscCppForStmt() override;
    std::unique_ptr<TscStatement> FirstStmt;
    std::unique_ptr<TscExpression> Condition;
    std::unique_ptr<TscStatement> SecondStmt;
    void Execute() override;
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
