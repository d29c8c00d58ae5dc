// WriteOff.h - posting a write-off act: the password, the act, its lines and the lowered stock.
//
// The document window's OK of a write-off act calls ConfirmWriteOff() and does nothing else:
//
//     // lines are in TempStructureDocuments (Наименование, Марка, Цвет, Размеры,
//     // Единица_измерения, Группа, Цена, Количество), as the goods card wrote them
//     ConfirmWriteOff({.Reason = Edit2->GetText(), .Date = the act's date});
//
// It shows the password dialog (the shell's input dialog, TForm5, which registers itself with
// SetWriteOffDialog when it is made) asking for the warehouse password. On the right password
// the act is posted in one transaction (BEGIN IMMEDIATE): the Akt row, one StructureAkt row
// per line, every product's stock lowered, and the scratch line tables emptied; all of it lands
// or none of it does. A refused act (wrong password, a line whose product no longer exists, a
// quantity not above zero, a failed statement) writes nothing, says why, and leaves the input
// dialog open over the document window with its lines as they were. After a posting the input
// dialog and the document window (Form3) are closed, the goods grid is reloaded and the
// journal's list of acts rebuilt; the caller recomputes nothing.
//
// A line keeps the product picked for it (TempStructureDocuments.IDТовара); a line without
// one is found by its six describing columns. Stock is not compared with the quantity: a
// write-off may take it below zero, and the negative figure is written.
//
// Figures: quantities, sums and stock are doubles rounded with RoundTo(x, -2); ids are 64-bit.
// Every value is bound. PostWriteOff() is the posting alone, for the dialog and for tests.
#pragma once

#include "platform/rtl/SysUtils.h"

class TADOQuery;

struct TWriteOffAct {
    AnsiString Reason;   // Akt.Причина (the document window's Edit2)
    TDateTime Date = 0;  // Akt.Дата, the act's date
};

enum class TWriteOffOutcome {
    Posted,     // written; the dialog and the document window are closed
    NotPosted,  // the user closed the input dialog without a posting
};

// The write-off act's OK: asks for the password and posts (see above). Call it with the act's
// lines in TempStructureDocuments. Without a registered dialog nothing is posted.
TWriteOffOutcome ConfirmWriteOff(const TWriteOffAct& act);

// The dialog that asks for the password and posts; nullptr takes it away.
using TWriteOffDialog = TWriteOffOutcome (*)(const TWriteOffAct& act);
void SetWriteOffDialog(TWriteOffDialog dialog);

// What a posting did; anything but Posted wrote nothing.
enum class TPostStatus {
    Posted,
    UnknownProduct,  // a line names no product (the card was changed or deleted)
    BadQuantity,     // a line's quantity is not above zero
    Failed,          // the database refused a statement
};

struct TPostResult {
    TPostStatus Status = TPostStatus::Failed;
    int64_t ActId = 0;   // the new Akt.ID when posted
    AnsiString Message;  // for the user, when not posted
};

// Posts the act whose lines are in TempStructureDocuments, in one transaction, on the main
// window's connection, through `work` (statements) and `lines` (the walk over the scratch
// lines). Today's date comes from the clock (Date()). Never throws for a database error.
TPostResult PostWriteOff(TADOQuery* work, TADOQuery* lines, const TWriteOffAct& act);
