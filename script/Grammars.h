// Grammars.h - the four script languages as grammar documents.
//
// A grammar is data: an XML text that sets up the lexer (comment markers,
// quotes, hex prefix, line ends, reserved words), lists the syntax-error texts,
// maps language type names to engine type names, and describes the syntax as
// rules. The walker in ILParser.cpp interprets the rules; which IL element a
// construct produces is written in the grammar itself (node, add, addtext), so
// the four languages share one IL vocabulary (Il.h) and one back end.
//
// Rule element kinds: char, keyword, ident, number, string, frstring, eol (one
// token each); sequence, switch, optionalswitch, loop, optionalloop, optional;
// any other name refers to the rule of that name. Attributes: text, node, add,
// addtext, err, term, skip (see ILParser.cpp for exact matching).
//
// Our additions: C++Script and JScript write an empty "switchbreak" leaf into
// every switch, telling the builder that break ends the switch there; the
// parser setting "requireend" (JScript, BasicScript, whose programs have no
// closing word) names the error reported when text is left after the program,
// so an unreadable statement is an error and not the silent end of the program.
#pragma once

#include "platform/classes/Classes.h"

const char* scPascalGrammar();
const char* scCppGrammar();
const char* scJScriptGrammar();
const char* scBasicGrammar();

// Registers the four languages with scRegisterLanguage, once per engine
// start-up (a second call finds them registered and changes nothing).
void scRegisterGrammars();

// Empty components whose only use is to name a language in a host project.
class TscPascal : public TComponent {
    SKLAD_CLASS_NOPUBLISH(TscPascal, TComponent)
public:
    using TComponent::TComponent;
};
class TscCPP : public TComponent {
    SKLAD_CLASS_NOPUBLISH(TscCPP, TComponent)
public:
    using TComponent::TComponent;
};
class TscJScript : public TComponent {
    SKLAD_CLASS_NOPUBLISH(TscJScript, TComponent)
public:
    using TComponent::TComponent;
};
class TscBasic : public TComponent {
    SKLAD_CLASS_NOPUBLISH(TscBasic, TComponent)
public:
    using TComponent::TComponent;
};
