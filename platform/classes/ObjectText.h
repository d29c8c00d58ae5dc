// ObjectText.h - the object-text form of component streams, and window layouts.
//
//   object Form1: TForm1
//     Caption = 'Склад'
//     Font.Style = [fsBold]
//     Items.Strings = (
//       'first'
//       'second')
//     Columns = <
//       item
//         Width = 64
//       end>
//     Data = {0A0B0C}
//     OnClick = Button1Click
//     object Button1: TButton
//       Left = 8
//     end
//   end
//
// Strings are quoted with ' (doubled inside) and may use #nnn character codes and '+'
// continuation; floats carry '.', with an optional suffix s (Single), c (Currency) or d
// (Date); identifiers name enumeration values, integer constants (clBtnFace), component
// references and event handlers; True/False/nil/Null are their own values. Also accepted:
// "inherited" and "inline" in place of "object" and "item [n]" order values.
//
// Text is CP1251 inside; files are UTF-8 on disk. Text is converted to the binary form
// and read by TReader, so both forms share one reader. Errors name the file (when there
// is one), the line and what was expected: "layout.dfm, line 14: integer expected, found
// '12,5px'". Nesting is limited and every loop consumes input.
#pragma once

#include "platform/classes/Streaming.h"

// Text -> binary component stream (with signature). `lineMap`, when given, receives pairs
// (binary offset, text line) in rising order, for error messages of the later read.
void ObjectTextToBinary(const AnsiString& text, TStream& output,
                        std::vector<std::pair<int64_t, int>>* lineMap = nullptr);
// Binary component stream (with signature) -> text, two blanks per level, CR LF lines.
AnsiString ObjectBinaryToText(TStream& input);

// The text of a component and its children (through the binary writer).
AnsiString WriteComponentText(TComponent* Root);
// Reads text into an existing root (a form): children are created through the class
// registry, properties set through reflection, events bound to published methods of the
// root, references fixed up after loading. `sourceName` appears in error messages.
// Raises EReadError (with the line) on bad input; the children it created are destroyed.
void ReadComponentText(const AnsiString& text, TComponent* Root, const AnsiString& sourceName = {});
// Reads text whose root class is created through the registry.
std::unique_ptr<TComponent> ReadComponentTextNew(const AnsiString& text, const AnsiString& sourceName = {});

// A window layout file: UTF-8 object text on disk, read into `Root`. EFOpenError when the
// file cannot be read, EReadError on bad content.
void LoadLayout(const AnsiString& fileName, TComponent* Root);
void SaveLayout(const AnsiString& fileName, TComponent* Root);
