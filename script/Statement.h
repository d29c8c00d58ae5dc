// Statement.h - the statement list, root of every compiled program.
//
// A TscStatement is a list of child statements run in order. Control flow
// across nested lists travels through the flags of the owning script
// (BreakRequested, ContinueRequested, ExitRequested, Terminated): a list stops
// before a child when Terminated is set and after one when any of the other
// flags is, and leaves the flags for the enclosing construct to handle. Each
// child runs through RunChild, which gives an error raised inside the child's
// position (the error handling sits out of line, in ChildFailed). A list of one or
// two statements (a routine's body, a branch of an if, if ... return a; return b) runs
// them in place (RunList), with the same checks. The statement kinds (assignment, if, loops, try ...) are
// descendants added by the compiler's back end.
#pragma once

#include "script/Items.h"

#include <functional>
#include <type_traits>
#include <utility>

class TscScript;

// A host's run-line hook (TscScript::OnRunLine), used like the std::function it holds.
// The engine counts the hooks set anywhere, so that while none is set a statement does
// not walk up its script's parents looking for one.
class TscRunLineEvent {
public:
    using Function = std::function<void(TscScript* Sender, const AnsiString& UnitName, const AnsiString& SourcePos)>;

    TscRunLineEvent() = default;
    TscRunLineEvent(std::nullptr_t) {}
    template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, TscRunLineEvent> &&
                                                 std::is_constructible_v<Function, F>>>
    TscRunLineEvent(F&& f) : FFunction(std::forward<F>(f))
    {
        if (FFunction)
            ++FLive;
    }
    TscRunLineEvent(const TscRunLineEvent& other) : FFunction(other.FFunction)
    {
        if (FFunction)
            ++FLive;
    }
    TscRunLineEvent(TscRunLineEvent&& other) noexcept { FFunction.swap(other.FFunction); }
    TscRunLineEvent& operator=(TscRunLineEvent other) noexcept
    {
        FFunction.swap(other.FFunction); // other takes the old hook away with it
        return *this;
    }
    ~TscRunLineEvent()
    {
        if (FFunction)
            --FLive;
    }

    explicit operator bool() const { return static_cast<bool>(FFunction); }
    void operator()(TscScript* sender, const AnsiString& unitName, const AnsiString& sourcePos) const
    {
        FFunction(sender, unitName, sourcePos);
    }
    // True when some script anywhere has a hook.
    static bool AnySet() { return FLive != 0; }

private:
    Function FFunction;
    inline static int FLive = 0;
};

class TscStatement : public TscItemList {
public:
    TscStatement(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos);

    TscScript* Script;
    AnsiString SourcePos; // "line:col"
    AnsiString UnitName;  // empty for the main text

    virtual void Execute();
    // What Execute does once the position has gone to the host, for a statement that runs
    // no code, raises nothing and sets no flag on the way (a number stored into a plain
    // variable, a counter's step); false, with nothing changed, when Execute must run
    // instead. Chosen by the compiler when the statement is built; nullptr when the
    // statement has no such step. Loops take it while no run-line hook is set.
    using DirectFunction = bool (*)(TscStatement* stmt);
    DirectFunction Direct = nullptr;
    TscStatement* GetItem(int i) const { return static_cast<TscStatement*>(Get(i)); }
    // Runs child as a list runs each of its statements: an error raised inside leaves
    // with the child's position (a loop with a one-statement body runs it through here).
    static void RunChild(TscStatement* child)
    {
        try {
            child->Execute();
        } catch (...) {
            ChildFailed(*child);
        }
    }
    // Execute of a plain list (this class's own, not an override), with a list of one or
    // two statements run in place: the same checks, one call fewer. (Defined in Script.h.)
    inline void RunList();
    void RunLine()
    {
        if (TscRunLineEvent::AnySet())
            RunLineHook();
    }

private:
    friend class TscCompactBody;
    void RunLineHook();
    // Called in a catch block for child's error: throws it on as the list gives it out.
    [[noreturn]] static void ChildFailed(const TscStatement& child);
};
