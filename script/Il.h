// Il.h - the intermediate program (IL): one XML element per construct.
//
// The grammar walker writes it (ILParser.cpp), the builder reads it
// (ILBuilder.cpp); hosts may store it (TscScript::GetILCode) and load it back.
// Wrappers carry pos = "line:col" of the construct's first character; expr
// also pos1, the position just after it. Leaves carry text and pos, the
// position just after their token.
//
//   <program>                  root; also each spliced unit's root; last child <types>
//   <uses unit="">             a used unit: its own <program> inside
//   <var>                      declaration: ident+ [type] [array] [init] [varparam]
//   <const>                    ident expr
//   <array> dim* </array>      no dim: open array 0..0
//   <dim>                      expr (size n: 0..n-1) or expr expr (low, high)
//   <init>                     expr
//   <procedure> <function>     name [parameters] [type] declarations compoundstmt
//   <parameters>               var groups; an empty <varparams/> marks the next group by reference
//   <compoundstmt>             statements
//   <assignstmt>               dsgn [modificator] expr
//   <callstmt>                 dsgn [modificator: "+" for ++, "-" for --]
//   <ifstmt>                   expr thenstmt elseif* [elsestmt]
//   <elseif>                   expr thenstmt  (else if: a link of a chain, not a nesting)
//   <casestmt>                 [switchbreak] expr caseselector* [else statement]
//   <caseselector>             set statement
//   <whilestmt>                expr statement
//   <repeatstmt>               statements expr [inverse]  (inverse: repeat while true)
//   <forstmt>                  ident expr [downto] expr statement
//   <vbforstmt>                ident expr expr [expr step] statements
//   <cppforstmt>               init-part expr step-part statement
//   <trystmt>                  statements (finallystmt | exceptstmt)
//   <with>                     dsgn+ statement
//   <delete>                   dsgn
//   <return>                   [expr]
//   <break> <continue> <exit> <empty>
//   <expr>                     operands and op leaves in source order; nested expr for brackets
//   <dsgn>                     [addr] node leaves with expr arguments between them
//   <set>                      expr, range leaf between the bounds of a range
//   <new>                      dsgn (object creation)
//   leaves: ident name type number string op node addr range downto inverse
//           modificator varparam file switchbreak
#pragma once

#include "platform/rtl/System.h"

#include <cstdint>
#include <string_view>

#define SCRIPT_IL_ELEMENTS(X)         \
    X(Program, "program")             \
    X(Uses, "uses")                   \
    X(Var, "var")                     \
    X(Const, "const")                 \
    X(Array, "array")                 \
    X(Dim, "dim")                     \
    X(Init, "init")                   \
    X(Procedure, "procedure")         \
    X(Function, "function")           \
    X(Parameters, "parameters")       \
    X(VarParams, "varparams")         \
    X(CompoundStmt, "compoundstmt")   \
    X(AssignStmt, "assignstmt")       \
    X(CallStmt, "callstmt")           \
    X(IfStmt, "ifstmt")               \
    X(ThenStmt, "thenstmt")           \
    X(ElseStmt, "elsestmt")           \
    X(ElseIf, "elseif")               \
    X(CaseStmt, "casestmt")           \
    X(CaseSelector, "caseselector")   \
    X(WhileStmt, "whilestmt")         \
    X(RepeatStmt, "repeatstmt")       \
    X(ForStmt, "forstmt")             \
    X(VbForStmt, "vbforstmt")         \
    X(CppForStmt, "cppforstmt")       \
    X(TryStmt, "trystmt")             \
    X(FinallyStmt, "finallystmt")     \
    X(ExceptStmt, "exceptstmt")       \
    X(With, "with")                   \
    X(Delete, "delete")               \
    X(Return, "return")               \
    X(Break, "break")                 \
    X(Continue, "continue")           \
    X(Exit, "exit")                   \
    X(Empty, "empty")                 \
    X(Expr, "expr")                   \
    X(Dsgn, "dsgn")                   \
    X(Set, "set")                     \
    X(New, "new")                     \
    X(Types, "types")                 \
    X(Ident, "ident")                 \
    X(Name, "name")                   \
    X(Type, "type")                   \
    X(Number, "number")               \
    X(String, "string")               \
    X(Op, "op")                       \
    X(Node, "node")                   \
    X(Addr, "addr")                   \
    X(Range, "range")                 \
    X(Downto, "downto")               \
    X(Inverse, "inverse")             \
    X(Modificator, "modificator")     \
    X(VarParam, "varparam")           \
    X(File, "file")                   \
    X(SwitchBreak, "switchbreak")

enum class IlElement : uint8_t {
#define X(id, tag) id,
    SCRIPT_IL_ELEMENTS(X)
#undef X
    Unknown
};

constexpr std::string_view kIlTag[] = {
#define X(id, tag) tag,
    SCRIPT_IL_ELEMENTS(X)
#undef X
};
static_assert(std::size(kIlTag) == static_cast<size_t>(IlElement::Unknown), "one tag per IL element");

// The element an IL tag names, ignoring case; Unknown for any other name.
IlElement IlElementOf(const AnsiString& tag);
