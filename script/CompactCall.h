// CompactCall.h - the short call path of routines whose body is number code only.
//
// A routine qualifies when its body is made of statement lists, if/else, exit, return e and
// assignments (x := e, x op= e) to its own plain variables, parameters and Result, and every
// expression in it is built of number and Boolean constants, those same variables, the
// arithmetic and comparison operators (not text joins or sets) and calls of qualifying routines
// (itself included) that give every parameter an argument; it has no var parameter, no macro
// parameter and declares nothing but plain variables (no text variable, no routine inside it).
// Nothing such a body runs can reach a host, a run-line hook or a name looked up at run time.
// The routine is looked at on its first call, when the whole program is resolved; one that
// calls another routine that is being looked at (mutual recursion) takes the general path.
//
// What a compact call leaves out, and why no one can tell:
//   - the routine's scope as its main script's CurrentScope: only a host reads it
//     (Evaluate), and no host runs inside the body;
//   - the run-line hook before each statement, the Terminated check before each statement
//     and the flag checks after each one: a call takes this path only while no hook is set
//     anywhere (one that a host sets while the call's arguments are computed sends the body
//     the general way), and nothing in the body can set a hook, call Terminate or set a flag;
//   - the statement objects' virtual Execute and their lists' bookkeeping: the body is
//     walked from a flat array of steps made once (TscCompactBody).
// What it keeps, as the general path does it: the caller's values saved and put back around
// a recursive call (as FrameSave does it), the arguments passed the same way, Executing, the depth
// limit and its error (checked once the arguments are passed), the routine's flags cleared
// before the body and after it, the parameters let go after a call of a routine that was not
// running, and the result read as CallInPlace reads it. Locals and parameters stay in their
// items, so every number routine of the expressions reads them in place as before, and what
// a host reads after the call, or after an error, is what the general path leaves.
//
// Speed: a call is written out in one function (scCompactCall, in a unit of its own so that
// the general call path is compiled as before; a call made by a step of a compact body has a
// copy of its own that leaves out the run-line hook test): a running routine's frame is copied
// aside as bytes through the pointers to its items' values made with the steps, the arguments
// go into their parameters as CallRoutine puts them, and the body is walked in place. A call it
// cannot take so (a frame value that owns something, a table changed since the steps were
// made, more than kMaxArguments arguments) takes the general path whole, before anything of it
// has happened; for a call made by a step of a compact body the number of arguments is looked
// at once, when the steps are made (AddStep). A + of two calls in a compact body calls the
// compact routines straight away: no hook can have been set since the outermost compact call
// began.
//
// Each step does what the statement's Execute does once its position has gone to the host:
// an if whose comparison's Test routine decides runs its branch's steps, a store takes the
// statement's Direct routine or copies a constant or variable as Execute copies it, and a + of
// two calls reads both calls (compactly where the callee qualifies) and joins them as Execute
// does. Whatever a step cannot do so (a Test or Direct routine that declines: a value that is
// not a number, an overflow, a zero divisor) runs the whole statement through its Execute
// (TscStatement::RunChild) before anything of it has happened, so its value, its error and
// the error's position are the general path's; a flag that statement sets ends the body as a
// list ends. An error raised while a + of two calls is read leaves with that statement's
// position, as RunChild gives it.
#pragma once

#include "script/Script.h"
#include "script/Statements.h"

#include <memory>
#include <unordered_set>
#include <vector>

class TscCompactBody {
public:
    // proc's body as compact steps, or nullptr when proc does not qualify.
    static std::unique_ptr<TscCompactBody> Make(TscProcVariable* proc);
    // CallInPlace of a routine that runs compactly, its parameters given; its value goes into
    // result, which holds Empty.
    static void RunCall(TscProcVariable* proc, Variant& result);
    // Runs the body once the call is set up.
    [[gnu::always_inline]] inline void Run() const;

    struct Step {
        enum class Kind : uint8_t { List, If, Copy, Direct, Join, Exit, General };
        Kind K = Kind::General;
        bool Ends = false; // return e: the routine ends once the value is stored
        TscStatement* Stmt = nullptr;
        uint32_t First = 0, Count = 0;         // List, and If's then-branch
        uint32_t ElseFirst = 0, ElseCount = 0; // If's else-branch
        const TscOperatorNode* TestNode = nullptr;
        TscOperatorNode::TestFunction Test = nullptr;
        TscStatement::DirectFunction Direct = nullptr;
        TscCustomVariable* Target = nullptr; // Copy
        const Variant* Source = nullptr;     // Copy
        // Join: the calls' designators, and the routines they call when these qualify.
        TscDesignator* Left = nullptr;
        TscDesignator* Right = nullptr;
        TscProcVariable* LeftProc = nullptr;
        TscProcVariable* RightProc = nullptr;
    };

    // The routine's frame (TscProcVariable::Frame) when it is at most kMaxFrame plain variables
    // and parameters, as it stood when the steps were made; usable while the table is as it was.
    static constexpr uint32_t kMaxFrame = 6;
    static constexpr int kMaxArguments = 4;
    bool FrameUsable() const { return FFrameTableSize == FLocal->Count(); }
    uint32_t FrameCount() const { return FFrameCount; }
    Variant* const* FrameValues() const { return FFrameValues; }

private:
    // True when the routine ends here (exit, return, a flag set by a statement run whole).
    bool WalkSteps(const Step* s, const Step* end) const;
    [[gnu::noinline]] bool Walk(const Step* s, const Step* end) const;
    static void StoreJoin(TscAssignmentStmt* stmt, const Variant& a, const Variant& b);
    [[gnu::noinline]] static void StoreJoinGenerally(TscAssignmentStmt* stmt, const Variant& a, const Variant& b);
    [[gnu::noinline]] bool RunWhole(const Step& s) const;

    bool AddList(const TscStatement& list, uint32_t& first, uint32_t& count);
    bool AddStep(TscStatement* stmt, uint32_t at);
    bool Qualifies(const TscExpression& e);
    bool Qualifies(const TscExpressionNode* node);
    bool CallQualifies(TscDesignator* d, TscProcVariable*& callee);

    TscProcVariable* FProc = nullptr;
    TscScript* FLocal = nullptr;
    std::vector<Step> FSteps;
    uint32_t FFirst = 0, FCount = 0;
    std::unordered_set<const TscCustomVariable*> FLocals; // while the steps are made
    Variant* FFrameValues[kMaxFrame] = {}; // the frame's items' values
    uint32_t FFrameCount = 0;
    int FFrameTableSize = -1;
};

// A call of proc, a routine that RunsCompact, by step (Designator.cpp's CallRoutine and a + of
// two calls in a compact body): the frame saved and the arguments passed as CallRoutine does,
// its value in result (which holds Empty). False, with nothing done, for a call the general
// path takes: an argument for each parameter but more than kMaxArguments, or a running
// routine whose frame is not its numbers as the steps found it (a value that owns something,
// a table changed since).
bool scCompactCall(TscDesignatorItem* step, TscProcVariable* proc, bool needResult, Variant& result);
