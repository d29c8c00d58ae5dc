#include "app/documents/WriteOff.h"

#include "app/documents/Documents.h"
#include "app/shell/CatalogueMessages.h"
#include "app/documents/Statements.h"
#include "platform/db/ADODB.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Math.h"

namespace {

// A refusal inside the posting's transaction: unwinding rolls everything back.
struct TRefusal {
    TPostStatus Status;
    AnsiString Message;
};

AnsiString Describe(TADOQuery* line)
{
    AnsiString out;
    for (const char* column : {"Марка", "Цвет", "Размеры", "Единица_измерения", "Группа"}) {
        const AnsiString value = line->FieldByName(column)->AsString();
        if (value.empty())
            continue;
        if (!out.empty())
            out += ", ";
        out += value;
    }
    return out;
}

TWriteOffDialog gWriteOffDialog = nullptr;

}  // namespace

void SetWriteOffDialog(TWriteOffDialog dialog)
{
    gWriteOffDialog = dialog;
}

TWriteOffOutcome ConfirmWriteOff(const TWriteOffAct& act)
{
    return gWriteOffDialog ? gWriteOffDialog(act) : TWriteOffOutcome::NotPosted;
}

TPostResult PostWriteOff(TADOQuery* work, TADOQuery* lines, const TWriteOffAct& act)
{
    TPostResult result;
    TADOConnection* connection = work->GetConnection();
    const TDateTime today = Date();
    try {
        TTransaction transaction(*connection);
        ExecSql(work, "Insert Into Akt (Дата_создания,Причина,Дата) Values (:created,:reason,:date)",
                {{"created", Variant(today)},
                 {"reason", act.Reason},
                 {"date", Variant(act.Date.Val != 0 ? act.Date : today)}});
        result.ActId = connection->LastInsertId();

        OpenSql(lines, "Select * From TempStructureDocuments Order By ID");
        for (lines->First(); !lines->Eof(); lines->Next()) {
            const AnsiString name = lines->FieldByName("Наименование")->AsString();
            const double quantity = RoundTo(lines->FieldByName("Количество")->AsFloat(), -2);
            const double price = lines->FieldByName("Цена")->AsFloat();
            if (!(quantity > 0))
                throw TRefusal{TPostStatus::BadQuantity,
                               CatalogueMessage(TCatalogueMessage::WriteOffQuantity, {name})};

            // The product the user picked for the line (by value only for a line that names none).
            const int64_t productId = LineProduct(work, lines);
            if (productId == 0)
                throw TRefusal{TPostStatus::UnknownProduct,
                               CatalogueMessage(TCatalogueMessage::WriteOffUnknown, {name, Describe(lines)})};
            OpenSql(work, "Select Количество From Products Where ID=:id", {{"id", productId}});
            const double stock = RoundTo(work->FieldByName("Количество")->AsFloat(), -2);
            // Two lines of one product lower it twice: this reads what the last line left. Stock
            // may go below zero (goods found missing beyond what was booked); the figure is kept.
            const double newStock = RoundTo(stock - quantity, -2);

            ExecSql(work, "Update Products Set Количество=:stock Where ID=:id", {{"stock", newStock}, {"id", productId}});
            ExecSql(work,
                    "INSERT INTO StructureAkt (IDДокумента,IDТовара,Количество,Сумма) VALUES (:act,:product,:q,:sum)",
                    {{"act", result.ActId},
                     {"product", productId},
                     {"q", quantity},
                     {"sum", LineSum(quantity, price)}});
        }
        // The lines go with the posting, so an act can never be posted twice.
        ExecSql(work, "Delete * From TempStructureDocuments");
        transaction.Commit();
        result.Status = TPostStatus::Posted;
    } catch (const TRefusal& refusal) {
        result.Status = refusal.Status;
        result.Message = refusal.Message;
        result.ActId = 0;
    } catch (const std::exception& e) {
        result.Status = TPostStatus::Failed;
        result.Message = CatalogueMessage(TCatalogueMessage::WriteOffFailed, {e.what()});
        result.ActId = 0;
    }
    return result;
}
