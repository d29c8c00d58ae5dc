// Statement.h - the statement list, root of every compiled program.
//
// A TscStatement is a list of child statements run in order. Control flow
// across nested lists travels through the flags of the owning script
// (BreakRequested, ContinueRequested, ExitRequested, Terminated): a list stops
// before a child when Terminated is set and after one when any of the other
// flags is, and leaves the flags for the enclosing construct to handle. The
// statement kinds (assignment, if, loops, try ...) are descendants added by the
// compiler's back end.
#pragma once

#include "script/Items.h"

class TscScript;

class TscStatement : public TscItemList {
public:
    TscStatement(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos);

    TscScript* Script;
    AnsiString SourcePos; // "line:col"
    AnsiString UnitName;  // empty for the main text

    virtual void Execute();
    TscStatement* GetItem(int i) const { return static_cast<TscStatement*>(Get(i)); }
    void RunLine();
};
