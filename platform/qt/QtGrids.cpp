// The data grid peer: a QTableView over an item model that reads the grid's rows
// through TDBGrid::RowCount/CellText and its columns through VisibleColumns. The
// dataset stays where the rows live; the view keeps no copy beyond Qt's paint cache.
//
// The current row is the dataset's: the view shows it selected (the whole row with
// dgRowSelect) whenever the dataset moves, and a row the user makes current in the view
// moves the dataset (UserMovedToRow). Navigation keys are the model's (TDBGrid::KeyDown);
// the view never moves on its own. The viewport scrolls to the current row once per turn
// of the event loop, not once per move of the dataset.
#include "platform/qt/QtPeer.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/QtText.h"

#include "platform/gui/DBGrids.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QTableView>

namespace {

Qt::Alignment ToQtAlignment(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify: return Qt::AlignRight | Qt::AlignVCenter;
    case taCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
    case taLeftJustify: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

class TGridItemModel : public QAbstractTableModel {
public:
    explicit TGridItemModel(TDBGrid& grid) : FGrid(grid) {}

    // Takes the grid's columns and row count afresh (dataset opened, closed, re-queried).
    void Reset()
    {
        beginResetModel();
        FColumns = FGrid.VisibleColumns();
        FRows = FGrid.RowCount();
        endResetModel();
    }
    const std::vector<TColumn*>& Columns() const { return FColumns; }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : FRows; }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : int(FColumns.size()); }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.column() >= int(FColumns.size()))
            return {};
        TColumn* column = FColumns[size_t(index.column())];
        if (role == Qt::DisplayRole)
            return ToQString(FGrid.CellText(index.row(), column));  // "" for a missing field
        if (role == Qt::TextAlignmentRole)
            return int(ToQtAlignment(column->GetAlignment()));
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Vertical)
            return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
        if (section < 0 || section >= int(FColumns.size()))
            return {};
        if (role == Qt::DisplayRole)
            return ToQString(FColumns[size_t(section)]->GetTitle()->GetCaption());
        if (role == Qt::TextAlignmentRole)
            return int(ToQtAlignment(FColumns[size_t(section)]->GetTitle()->GetAlignment()));
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

private:
    TDBGrid& FGrid;
    std::vector<TColumn*> FColumns;
    int FRows = 0;
};

class TGridPeer : public TQtControlPeer {
public:
    explicit TGridPeer(TDBGrid& grid) : TQtControlPeer(grid, new QTableView), FGrid(grid), FModel(grid)
    {
        auto* view = static_cast<QTableView*>(Widget());
        view->setModel(&FModel);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSortingEnabled(false);
        view->setWordWrap(false);
        view->verticalHeader()->setMinimumSectionSize(1);
        view->verticalHeader()->setDefaultSectionSize(grid.DefaultRowHeight());
        view->verticalHeader()->setFixedWidth(11);
        view->horizontalHeader()->setSectionsClickable(true);
        view->horizontalHeader()->setHighlightSections(false);
        WatchInput(view->viewport());
        QObject::connect(view, &QTableView::clicked, Context(), [this](const QModelIndex& index) {
            if (!FGrid.UserClickedCell(index.row(), index.column()))
                Changed(TControlChanges(TControlChange::ItemIndex));
        });
        // A current row the view chose itself (a mouse press, a drag): the dataset follows.
        QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, Context(),
                         [this](const QModelIndex& current) {
                             if (Applying() || !current.isValid() || current.row() == FGrid.CurrentRow())
                                 return;
                             if (!FGrid.UserMovedToRow(current.row()))
                                 Changed(TControlChanges(TControlChange::ItemIndex));
                         });
        QObject::connect(view, &QTableView::doubleClicked, Context(), [this](const QModelIndex& index) {
            FGrid.UserDoubleClickedCell(index.row(), index.column());
        });
        QObject::connect(view->horizontalHeader(), &QHeaderView::sectionClicked, Context(),
                         [this](int column) { FGrid.UserClickedTitle(column); });
        QObject::connect(view->horizontalHeader(), &QHeaderView::sectionResized, Context(),
                         [this](int column, int, int width) {
                             if (!Applying() && !FGrid.UserResizedColumn(column, width))
                                 Changed(TControlChanges(TControlChange::Items));
                         });
    }

    ~TGridPeer() override
    {
        // The view outlives the peer until Qt deletes it; it must not keep the model.
        if (auto* view = static_cast<QTableView*>(Widget())) {
            QObject::disconnect(view->selectionModel(), nullptr, Context(), nullptr);
            view->setModel(nullptr);
        }
    }

protected:
    // The view's double click is reported per cell (UserDoubleClickedCell).
    bool ForwardsDoubleClicks() const override { return false; }
    // The view's typing search would move the current row behind the dataset's back.
    bool WidgetTakesCharacters() const override { return false; }

    void Update(TControlChanges what) override
    {
        auto* view = static_cast<QTableView*>(Widget());
        const TDBGridOptions options = FGrid.GetOptions();
        if (HasChange(what, TControlChange::Style)) {
            view->setSelectionBehavior(options.Contains(dgRowSelect) ? QAbstractItemView::SelectRows
                                                                     : QAbstractItemView::SelectItems);
            view->setSelectionMode(options.Contains(dgMultiSelect) ? QAbstractItemView::ExtendedSelection
                                                                   : QAbstractItemView::SingleSelection);
            view->horizontalHeader()->setVisible(options.Contains(dgTitles));
            view->verticalHeader()->setVisible(options.Contains(dgIndicator));
            view->setShowGrid(options.Contains(dgColLines) || options.Contains(dgRowLines));
            view->horizontalHeader()->setSectionResizeMode(options.Contains(dgColumnResize) ? QHeaderView::Interactive
                                                                                            : QHeaderView::Fixed);
            view->setFrameShape(FGrid.GetBorderStyle() == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
        }
        if (HasChange(what, TControlChange::Data) || HasChange(what, TControlChange::Items)) {
            FModel.Reset();
            what |= uint32_t(TControlChange::ItemIndex);
        }
        if (HasChange(what, TControlChange::Data) || HasChange(what, TControlChange::Items) ||
            HasChange(what, TControlChange::Style)) {
            const auto& columns = FModel.Columns();
            for (size_t i = 0; i < columns.size(); ++i)
                if (view->columnWidth(int(i)) != columns[i]->GetWidth())
                    view->setColumnWidth(int(i), columns[i]->GetWidth());
        }
        if (HasChange(what, TControlChange::ItemIndex)) {
            const int row = FGrid.CurrentRow();
            QItemSelectionModel* selection = view->selectionModel();
            if (row < 0 || FModel.columnCount({}) == 0) {
                selection->clearSelection();
            } else {
                const int column = std::max(0, view->currentIndex().column());
                const QModelIndex index = FModel.index(row, column);
                QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
                if (options.Contains(dgRowSelect))
                    flags |= QItemSelectionModel::Rows;
                // The selection moves at once; the viewport scrolls once the event loop comes
                // round, to wherever the row is then. Each scroll moves the whole viewport
                // image, and a dataset walked in code (a total, a list of ids) moves the row
                // once per record: scrolling at every one cost 50 us a row.
                const bool autoScroll = view->hasAutoScroll();
                view->setAutoScroll(false);
                selection->setCurrentIndex(index, flags);
                view->setAutoScroll(autoScroll);
                ScrollLater();
            }
        }
    }

private:
    void ScrollLater()
    {
        if (FScrollPending)
            return;
        FScrollPending = true;
        // Queued on the peer's context: a peer destroyed first takes the call with it.
        QMetaObject::invokeMethod(
            Context(),
            [this] {
                FScrollPending = false;
                auto* view = static_cast<QTableView*>(Widget());
                if (view && view->currentIndex().isValid())
                    view->scrollTo(view->currentIndex());
            },
            Qt::QueuedConnection);
    }

    TDBGrid& FGrid;
    TGridItemModel FModel;
    bool FScrollPending = false;
};

}  // namespace

std::unique_ptr<TPeer> CreateGridPeer(TControl& control)
{
    if (auto* grid = dynamic_cast<TDBGrid*>(&control))
        return std::make_unique<TGridPeer>(*grid);
    return nullptr;
}
