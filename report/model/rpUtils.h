// rpUtils.h - the report library's shared routines: form-resource collections, component
// lookup and full names, list and quote handling, hexadecimal streams, float text,
// bracketed-expression scanning, page lists, colours and temporary files.
//
// Collections travel in two byte forms inside a report's defined properties:
//   form A (form resources, the platform's own collection writing):
//     14, then per item: 1, property name + typed value ..., 0; then 0.
//     After reading, every string of every item is decoded by ConvertHighChars.
//   form B (while the XML serializer writes the report, IsWriting set):
//     1, then per item: 1, 12, u32 length, the item's attribute text, 0; then 0.
// Either form is read back; a malformed one raises the component reader's error and
// leaves the collection empty rather than half filled. So does a value that does not fit an
// item when the collection is read outside a report file (which gathers such errors).
//
// Not here: image strips, transparent and stretched drawing, and the developer aid that
// wrote resource source text (they arrive with bitmaps and the canvas devices).
#pragma once

#include "report/model/rpComponent.h"

#include "platform/classes/Streaming.h"
#include "platform/gui/ImgList.h"

#include <functional>

void rpWriteCollection(TCollection* Collection, TWriter& Writer, TrpComponent* Owner);
// ItemRead, when given, sees each item of the attribute-text form with its text once applied;
// it may free the item, and returns what was wrong with it or an empty text. Inside a report
// file what was wrong goes to the report's errors; read on its own, the read fails with it.
void rpReadCollection(TCollection* Collection, TReader& Reader, TrpComponent* Owner,
                      const std::function<AnsiString(TCollectionItem*, const AnsiString&)>& ItemRead = {});
// Byte 1 followed by c stands for c + 128 (decoding); Encode writes it that way.
AnsiString ConvertHighChars(const AnsiString& Text, bool Encode);
void ConvertItemStrings(TCollectionItem* Item, bool Encode);

TComponent* rpFindComponent(TComponent* Owner, const AnsiString& Name);
AnsiString rpGetFullName(TComponent* Root, TComponent* Component);
// Every component of ClassRef (but Skip) owned by Owner when it is a report, then by
// every form of the screen, by its full name with the component as the line's object.
void rpGetComponents(TComponent* Owner, TClass ClassRef, TStrings* List, TComponent* Skip);
// Cuts a strip into Dx x Dy cells, left to right and row by row, each added to List1
// without its transparent colour (the cell's bottom-left pixel). With List2 the cells
// alternate: the one after each goes to List2 with pure white turned light grey.
void rpAssignImages(TBitmap* Bitmap, int Dx, int Dy, TCustomImageList* List1, TCustomImageList* List2 = nullptr);
// Draws the bitmap at (X, Y) leaving out its transparent colour (the bottom-left pixel).
void rpDrawTransparent(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap);
// Developer aid: appends to FileName the program text that registers the form's captions
// and hints as a text block of the resource dictionary (rpResources.Add('TForm', ...)).
void rpFormToRes(TComponent* Form, const AnsiString& FileName = "c:\\1.pas");
void rpSetCommaText(const AnsiString& Text, TStrings* List, char Separator);
AnsiString rpRemoveQuotes(const AnsiString& Text);
// The lines as one text for an attribute: joined by CR LF, without the final CR LF. When the
// last line is empty its CR LF stays, or reading the text back (SetText) would lose that line.
AnsiString rpLinesText(const TStrings& Lines);
AnsiString rpStreamToString(TStream& Stream);
void rpStringToStream(const AnsiString& Text, TStream& Stream);
// "," and "." both taken as the decimal separator, blanks removed; EConvertError on bad text.
Extended rpStrToFloat(const AnsiString& Text);
AnsiString rpFloatToStr(Extended Value);
// A value as the text a report shows for it (a memo without a format, an outline entry):
// the Variant's own text, except that a date-time without a date part (a time of day, as
// the system variable Time) is the time alone, not the time after "30.12.1899".
AnsiString rpValueToStr(const Variant& Value);
// A Variant property as attribute text (a report variable's value, which the report reads
// as an expression when it is a text). A number with a fraction is written with a point and
// as many digits as it takes to read back the same, so that it reads back as that number
// in any locale. A date is the Russian text ("07.12.2026 17:02:39") under every locale, the
// one that reads back as that date in any locale. Any other value is its own text.
AnsiString rpVariantToXMLText(const Variant& Value);
// Attribute text back to a Variant property: a string, as written. But a text no expression
// can be, which a comma locale wrote for a number, a date or a time ("2,5", "07.12.2026",
// "07.12.2026 17:02:39", "17:02:39"), is that number or date again, in the locale's form
// or the Russian one.
Variant rpXMLTextToVariant(const AnsiString& Text);
bool rpIsValidFloat(const AnsiString& Text);
TrpRect rpRect(Extended Left, Extended Top, Extended Right, Extended Bottom);
TrpPoint rpPoint(Extended X, Extended Y);
// The text of the bracketed expression that starts at i (1-based); j ends on its last
// closing delimiter. Delimiters inside quotes do not count.
AnsiString rpGetBrackedVariable(const AnsiString& Str, const AnsiString& OpenBracket, const AnsiString& CloseBracket,
                                int& i, int& j);
// "1,3,5-7" -> 1 3 5 6 7; an open range "3-" runs to PageCount. EConvertError on a bad piece.
void rpParsePageNumbers(const AnsiString& Text, TStrings* List, int PageCount);
AnsiString HTMLRGBColor(TColor Color);
AnsiString rpCreateTempFile(const AnsiString& Dir);

// The library's error box: the "mbError" caption and a stop icon. The window layer installs
// the box; until then (and in tests) messages go to the installed catcher or nowhere.
using TrpErrorMsgProc = std::function<void(const AnsiString& Message, const AnsiString& Caption)>;
void rpSetErrorMsgProc(TrpErrorMsgProc Proc);
void rpErrorMsg(const AnsiString& Message);
