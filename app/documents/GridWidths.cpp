#include "app/documents/GridWidths.h"

#include "app/documents/Statements.h"
#include "platform/db/ADODB.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <cassert>
#include <exception>

namespace {

const TSavedGrid& SavedGridOf(const TForm& form)
{
    for (const TSavedGrid& g : kSavedGrids)
        if (form.Name() == g.Form)
            return g;
    assert(false && "a window without a saved grid asked for its widths");
    throw EComponentError(AnsiString("No saved grid for ") + form.Name());
}

TDBGrid* GridOf(const TComponent& form)
{
    auto* grid = dynamic_cast<TDBGrid*>(form.FindComponent("DBGrid1"));
    if (!grid)
        throw EComponentError(AnsiString("Layout of ") + form.Name() + " has no DBGrid1");
    return grid;
}

}  // namespace

void LoadGridWidths(TForm& form, TADOQuery* query)
{
    const TSavedGrid& saved = SavedGridOf(form);
    TDBGrid* grid = GridOf(form);
    OpenSql(query, "Select * From ColumnSize Where ID=:id", {{"id", saved.Id}});
    if (query->IsEmpty())
        return;
    for (int i = 0; i < saved.Columns && i < grid->GetColumns()->Count(); ++i)
        if (TField* f = query->FindField(IntToStr(i)); f && !f->IsNull())
            grid->GetColumns()->Items(i)->SetWidth(f->AsInteger());
}

void SaveGridWidths(TADOConnection* connection, TADOQuery* query) noexcept
{
    try {
        InTransaction(connection, [&] {
            for (const TSavedGrid& saved : kSavedGrids) {
                auto* form = Application->FindComponent(saved.Form);
                if (!form)
                    continue;
                TDBGrid* grid = GridOf(*form);
                for (int i = 0; i < saved.Columns; ++i)
                    ExecSql(query, "Update ColumnSize Set " + IntToStr(i) + "=:w Where ID=:id",
                            {{"w", grid->GetColumns()->Items(i)->GetWidth()}, {"id", saved.Id}});
            }
        });
    } catch (const std::exception&) {
        // Nothing to tell: the program is closing.
    }
}
