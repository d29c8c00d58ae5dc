// Peers of the common controls: tree view, tool bar and its buttons, status bar,
// progress bar, up-down, date picker and month calendar.
#include "platform/qt/QtPeer.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/QtText.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/ImgList.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QProgressBar>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeWidget>

#include <cmath>
#include <unordered_map>
#include <vector>

namespace {

// Day 0 of the platform's dates.
const QDate kDateZero(1899, 12, 30);

QDateTime ToQDateTime(TDateTime value)
{
    const double days = std::floor(value.Val);
    const int ms = int(std::lround((value.Val - days) * 86400000.0));
    return QDateTime(kDateZero.addDays(qint64(days)), QTime(0, 0).addMSecs(ms));
}

TDateTime FromQDateTime(const QDateTime& value)
{
    const double days = double(kDateZero.daysTo(value.date()));
    return TDateTime(days + value.time().msecsSinceStartOfDay() / 86400000.0);
}

// ---------------------------------------------------------------- tree view

constexpr int kNodeRole = Qt::UserRole + 1;
constexpr int kLevelRole = Qt::UserRole + 2;  // the item's nesting level, 0 at the top

// Qt's tree view lays out an expanded item's children by calling itself for each level,
// and a tree widget item frees its children the same way: a chain of nested nodes tens of
// thousands deep would run the stack out. The widget therefore opens no more than this many
// levels (deeper nodes show closed, whatever the model says; the model keeps its state),
// and its items are freed children first.
constexpr int kMaxOpenLevels = 1000;

int LevelOf(const QTreeWidgetItem* item) { return item->data(0, kLevelRole).toInt(); }

// Frees every item of the widget without recursion: the top items are taken out of the view
// at once; then, deepest first, each item's children (by then without children of their
// own, so taking them walks nothing below) are taken from it and freed.
void DropItems(QTreeWidget* w)
{
    const QList<QTreeWidgetItem*> top = w->invisibleRootItem()->takeChildren();
    std::vector<QTreeWidgetItem*> order, pending(top.rbegin(), top.rend());
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        order.push_back(item);
        for (int i = item->childCount(); i-- > 0;)
            pending.push_back(item->child(i));
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        if ((*it)->childCount() > 0)
            qDeleteAll((*it)->takeChildren());
    qDeleteAll(top);
}

TTreeNode* NodeOf(const QTreeWidgetItem* item)
{
    return item ? reinterpret_cast<TTreeNode*>(item->data(0, kNodeRole).value<quintptr>()) : nullptr;
}

class TTreePeer : public TQtControlPeer {
public:
    explicit TTreePeer(TTreeView& tree) : TQtControlPeer(tree, new QTreeWidget), FTree(tree)
    {
        auto* w = static_cast<QTreeWidget*>(Widget());
        w->setHeaderHidden(true);
        w->setColumnCount(1);
        w->setUniformRowHeights(true);
        w->setSelectionMode(QAbstractItemView::SingleSelection);
        w->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // Whole rows scroll, so the scroll bar's value is the visible row at the top, as
        // the model counts it for GetNodeAt; the model hears every change, even its own.
        w->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        QObject::connect(w->verticalScrollBar(), &QScrollBar::valueChanged, Context(),
                         [this](int top) { FTree.UserScrolled(top); });
        WatchInput(w->viewport());
        QObject::connect(w, &QTreeWidget::currentItemChanged, Context(), [this](QTreeWidgetItem* item) {
            TTreeNode* node = NodeOf(item);
            if (FSettingCurrent)
                return;
            if (node && node != FTree.GetSelected() && !FTree.UserSelectedNode(node))
                Changed(TControlChanges(TControlChange::ItemIndex));
        });
        // A click beside the nodes takes the view's highlight away, not the tree's selection
        // (the platform's tree keeps both): the selected group shows selected again, so
        // the grid beside it never shows goods for no group the user can see.
        QObject::connect(w, &QTreeWidget::itemSelectionChanged, Context(), [this, w] {
            if (!Applying() && w->selectedItems().isEmpty() && FTree.GetSelected())
                Changed(TControlChanges(TControlChange::ItemIndex));
        });
        QObject::connect(w, &QTreeWidget::itemExpanded, Context(), [this](QTreeWidgetItem* item) {
            if (LevelOf(item) >= kMaxOpenLevels) {
                item->setExpanded(false);
                return;
            }
            if (TTreeNode* node = NodeOf(item); node && !node->GetExpanded())
                FTree.UserExpanded(node, true);
        });
        QObject::connect(w, &QTreeWidget::itemCollapsed, Context(), [this](QTreeWidgetItem* item) {
            // An item past the open levels never stays open: its closing is the widget's
            // own, not the user's, and leaves the node as the model has it.
            if (LevelOf(item) >= kMaxOpenLevels)
                return;
            if (TTreeNode* node = NodeOf(item); node && node->GetExpanded())
                FTree.UserExpanded(node, false);
        });
    }
    ~TTreePeer() override { DropItems(static_cast<QTreeWidget*>(Widget())); }
    // Node rows are measured from the viewport, as the model's GetNodeAt measures them.
    QWidget* OriginWidget() const override { return static_cast<QTreeWidget*>(Widget())->viewport(); }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<QTreeWidget*>(Widget());
        if (HasChange(what, TControlChange::Style)) {
            w->setIndentation(FTree.GetIndent());
            w->setRootIsDecorated(FTree.GetShowRoot());
            w->setStyleSheet(QStringLiteral("QTreeView::item { height: %1px; }").arg(FTree.ItemHeight()));
        }
        bool one = false;
        if (HasChange(what, TControlChange::Items)) {
            one = ShowOneNode(w);
            if (!one) {
                DropItems(w);
                FItems.clear();
                for (TTreeNode* node : FTree.GetItems()->List()) {
                    QTreeWidgetItem* parent = node->GetParent() ? FItems.at(node->GetParent()) : nullptr;
                    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(w);
                    item->setText(0, ToQString(node->GetText()));
                    item->setData(0, kNodeRole, QVariant::fromValue(quintptr(node)));
                    item->setData(0, kLevelRole, parent ? LevelOf(parent) + 1 : 0);
                    FItems[node] = item;
                }
            }
            what |= uint32_t(TControlChange::ItemIndex);
        }
        if ((HasChange(what, TControlChange::Items) && !one) || HasChange(what, TControlChange::Caption) ||
            HasChange(what, TControlChange::Scroll)) {
            for (const auto& [node, item] : FItems)
                ShowNode(*node, item);
        }
        if (HasChange(what, TControlChange::ItemIndex)) {
            const auto found = FItems.find(FTree.GetSelected());
            QTreeWidgetItem* item = found == FItems.end() ? nullptr : found->second;
            // A node deeper than the widget opens shows as its deepest ancestor on view
            // (making it current would open every level above it).
            while (item && LevelOf(item) > kMaxOpenLevels)
                item = item->parent();
            if (w->currentItem() != item) {
                FSettingCurrent = true;
                w->setCurrentItem(item);
                FSettingCurrent = false;
            }
            if (!item)
                w->clearSelection();
            else if (!item->isSelected())
                item->setSelected(true);
        }
    }

private:
    // One node added or altered alone in a tree the widget shows: its item goes in, or
    // changes, alone; an added one in the node's place among its siblings. False when the
    // widget must be filled anew.
    bool ShowOneNode(QTreeWidget* w)
    {
        const TTreeNodes& nodes = *FTree.GetItems();
        if (TTreeNode* altered = nodes.Altered()) {
            const auto found = FItems.find(altered);
            if (found == FItems.end() || FItems.size() != size_t(nodes.Count()))
                return false;
            ShowNode(*altered, found->second);
            return true;
        }
        TTreeNode* node = nodes.Attached();
        if (!node || FItems.size() + 1 != size_t(nodes.Count()) || FItems.count(node))
            return false;
        TTreeNode* parentNode = node->GetParent();
        QTreeWidgetItem* parent = nullptr;
        if (parentNode) {
            const auto found = FItems.find(parentNode);
            if (found == FItems.end())
                return false;
            parent = found->second;
        }
        const int at = nodes.AttachedIndex();
        if (at < 0 || at > (parent ? parent->childCount() : w->topLevelItemCount()))
            return false;
        auto* item = new QTreeWidgetItem;
        item->setText(0, ToQString(node->GetText()));
        item->setData(0, kNodeRole, QVariant::fromValue(quintptr(node)));
        item->setData(0, kLevelRole, parent ? LevelOf(parent) + 1 : 0);
        if (parent)
            parent->insertChild(at, item);
        else
            w->insertTopLevelItem(at, item);
        FItems[node] = item;
        if (OpensAt(*node, item))
            item->setExpanded(true);
        // A parent expanded before it had children opens now that it has one.
        if (parent && parent->isExpanded() != OpensAt(*parentNode, parent))
            parent->setExpanded(OpensAt(*parentNode, parent));
        return true;
    }

    // Whether the item shows its node's children (see kMaxOpenLevels).
    static bool OpensAt(const TTreeNode& node, const QTreeWidgetItem* item)
    {
        return node.GetExpanded() && LevelOf(item) < kMaxOpenLevels;
    }

    static void ShowNode(const TTreeNode& node, QTreeWidgetItem* item)
    {
        const QString text = ToQString(node.GetText());
        if (item->text(0) != text)
            item->setText(0, text);
        if (item->isExpanded() != OpensAt(node, item))
            item->setExpanded(OpensAt(node, item));
    }

    TTreeView& FTree;
    std::unordered_map<const TTreeNode*, QTreeWidgetItem*> FItems;
    bool FSettingCurrent = false;  // the model's selection going to the widget
};

// ---------------------------------------------------------------- tool bar

class TToolBarPeer : public TQtControlPeer {
public:
    explicit TToolBarPeer(TToolBar& bar) : TQtControlPeer(bar, new QFrame) {}

protected:
    void Update(TControlChanges) override {}
};

// Image Index of a list as an icon; transparent pixels stay transparent, and Qt greys the
// icon by itself for a disabled button. A null icon for a bad index.
QIcon IconOf(const TCustomImageList& images, int index)
{
    const TPixelBuffer pixels = images.GetImagePixels(index);
    if (pixels.Width == 0 || pixels.Height == 0)
        return QIcon();
    QImage image(pixels.Width, pixels.Height, QImage::Format_ARGB32);
    for (int y = 0; y < pixels.Height; ++y) {
        const uint32_t* row = pixels.Row(y);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < pixels.Width; ++x)
            line[x] = row[x];
    }
    return QIcon(QPixmap::fromImage(image));
}

class TToolButtonPeer : public TQtControlPeer {
public:
    explicit TToolButtonPeer(TToolButton& button) : TQtControlPeer(button, new QToolButton), FButton(button)
    {
        auto* w = static_cast<QToolButton*>(Widget());
        w->setFocusPolicy(Qt::NoFocus);
        w->setToolButtonStyle(Qt::ToolButtonTextOnly);
        QObject::connect(w, &QToolButton::clicked, Context(), [this] {
            FButton.UserClicked();
            Changed(TControlChanges(TControlChange::Checked));
        });
    }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<QToolButton*>(Widget());
        const bool separator = FButton.GetStyle() == tbsSeparator || FButton.GetStyle() == tbsDivider;
        if (HasChange(what, TControlChange::Caption) || HasChange(what, TControlChange::Style))
            w->setText(separator ? QString() : ToQString(FButton.GetCaption()));
        if (HasChange(what, TControlChange::Style)) {
            w->setAutoRaise(true);
            w->setEnabled(!separator && FButton.GetEnabled());
            w->setCheckable(FButton.GetStyle() == tbsCheck);
        }
        if (HasChange(what, TControlChange::Checked) && w->isChecked() != FButton.GetDown())
            w->setChecked(FButton.GetDown());
        if (HasChange(what, TControlChange::Image) || HasChange(what, TControlChange::Style)) {
            // The picture when the tool bar's list has one for this button, with the
            // caption under it when the bar shows captions; else the caption alone, so a
            // button is never blank.
            TToolBar* bar = FButton.ToolBar();
            TCustomImageList* images = bar ? bar->GetImages() : nullptr;
            const QIcon icon = images && !separator ? IconOf(*images, FButton.GetImageIndex()) : QIcon();
            w->setIcon(icon);
            if (!icon.isNull())
                w->setIconSize(QSize(images->GetWidth(), images->GetHeight()));
            w->setToolButtonStyle(icon.isNull()               ? Qt::ToolButtonTextOnly
                                  : bar && bar->GetShowCaptions() ? Qt::ToolButtonTextUnderIcon
                                                                 : Qt::ToolButtonIconOnly);
        }
    }

private:
    TToolButton& FButton;
};

// ---------------------------------------------------------------- status bar

class TQtStatusWidget : public QFrame {
public:
    struct Panel {
        QString Text;
        int Width;
        Qt::Alignment Alignment;
    };
    std::vector<Panel> Panels;
    QString Simple;
    bool UseSimple = false;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        if (UseSimple) {
            painter.drawText(rect().adjusted(3, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter, Simple);
            return;
        }
        int left = 0;
        for (size_t i = 0; i < Panels.size(); ++i) {
            const bool last = i + 1 == Panels.size();
            const QRect r(left, 0, last ? width() - left : Panels[i].Width, height());
            painter.drawText(r.adjusted(3, 0, -3, 0), int(Panels[i].Alignment | Qt::AlignVCenter), Panels[i].Text);
            if (!last)
                painter.drawLine(r.right(), 2, r.right(), height() - 3);
            left += r.width();
        }
    }
};

class TStatusBarPeer : public TQtControlPeer {
public:
    explicit TStatusBarPeer(TStatusBar& bar) : TQtControlPeer(bar, new TQtStatusWidget), FBar(bar) {}

protected:
    void Update(TControlChanges what) override
    {
        if (!(HasChange(what, TControlChange::Items) || HasChange(what, TControlChange::Caption) ||
              HasChange(what, TControlChange::Style)))
            return;
        auto* w = static_cast<TQtStatusWidget*>(Widget());
        w->UseSimple = FBar.GetSimplePanel();
        w->Simple = ToQString(FBar.GetSimpleText());
        w->Panels.clear();
        TStatusPanels* panels = FBar.GetPanels();
        for (int i = 0; i < panels->Count(); ++i) {
            TStatusPanel* p = panels->Items(i);
            const Qt::Alignment a = p->GetAlignment() == taCenter        ? Qt::AlignHCenter
                                    : p->GetAlignment() == taRightJustify ? Qt::AlignRight
                                                                          : Qt::AlignLeft;
            w->Panels.push_back({ToQString(p->GetText()), p->GetWidth(), a});
        }
        w->update();
    }

private:
    TStatusBar& FBar;
};

// ---------------------------------------------------------------- progress, up-down

class TProgressPeer : public TQtControlPeer {
public:
    explicit TProgressPeer(TProgressBar& bar) : TQtControlPeer(bar, new QProgressBar), FBar(bar)
    {
        static_cast<QProgressBar*>(Widget())->setTextVisible(false);
    }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<QProgressBar*>(Widget());
        if (HasChange(what, TControlChange::Style))
            w->setOrientation(FBar.GetOrientation() == pbVertical ? Qt::Vertical : Qt::Horizontal);
        if (HasChange(what, TControlChange::Value) || HasChange(what, TControlChange::Style)) {
            w->setRange(FBar.GetMin(), std::max(FBar.GetMin(), FBar.GetMax()));
            w->setValue(FBar.GetPosition());
        }
    }

private:
    TProgressBar& FBar;
};

class TUpDownPeer : public TQtControlPeer {
public:
    explicit TUpDownPeer(TUpDown& upDown) : TQtControlPeer(upDown, new QWidget), FUpDown(upDown)
    {
        FUp = new QToolButton(Widget());
        FDown = new QToolButton(Widget());
        for (QToolButton* b : {FUp, FDown}) {
            b->setFocusPolicy(Qt::NoFocus);
            b->setAutoRepeat(true);
        }
        QObject::connect(FUp, &QToolButton::clicked, Context(), [this] { FUpDown.UserStepped(btNext); });
        QObject::connect(FDown, &QToolButton::clicked, Context(), [this] { FUpDown.UserStepped(btPrev); });
    }

protected:
    void Update(TControlChanges what) override
    {
        if (!(HasChange(what, TControlChange::Bounds) || HasChange(what, TControlChange::Style)))
            return;
        const bool vertical = FUpDown.GetOrientation() == udVertical;
        FUp->setArrowType(vertical ? Qt::UpArrow : Qt::RightArrow);
        FDown->setArrowType(vertical ? Qt::DownArrow : Qt::LeftArrow);
        const int w = FUpDown.GetWidth(), h = FUpDown.GetHeight();
        if (vertical) {
            FUp->setGeometry(0, 0, w, h / 2);
            FDown->setGeometry(0, h / 2, w, h - h / 2);
        } else {
            FDown->setGeometry(0, 0, w / 2, h);
            FUp->setGeometry(w / 2, 0, w - w / 2, h);
        }
    }

private:
    TUpDown& FUpDown;
    QToolButton* FUp;
    QToolButton* FDown;
};

// ---------------------------------------------------------------- dates

class TDatePickerPeer : public TQtControlPeer {
public:
    explicit TDatePickerPeer(TDateTimePicker& picker) : TQtControlPeer(picker, new QDateTimeEdit), FPicker(picker)
    {
        auto* w = static_cast<QDateTimeEdit*>(Widget());
        QObject::connect(w, &QDateTimeEdit::dateTimeChanged, Context(), [this](const QDateTime& value) {
            if (!FPicker.UserPicked(FromQDateTime(value)))
                Changed(TControlChanges(TControlChange::Value));
        });
    }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<QDateTimeEdit*>(Widget());
        if (HasChange(what, TControlChange::Style)) {
            const bool time = FPicker.GetKind() == dtkTime;
            w->setCalendarPopup(!time);
            w->setDisplayFormat(time ? QStringLiteral("HH:mm:ss")
                                     : FPicker.GetDateFormat() == dfLong ? QStringLiteral("d MMMM yyyy")
                                                                         : QStringLiteral("dd.MM.yyyy"));
        }
        if (HasChange(what, TControlChange::Value) || HasChange(what, TControlChange::Style)) {
            const QDateTime value = ToQDateTime(FPicker.GetDateTime());
            if (w->dateTime() != value)
                w->setDateTime(value);
        }
    }

private:
    TDateTimePicker& FPicker;
};

class TCalendarPeer : public TQtControlPeer {
public:
    explicit TCalendarPeer(TMonthCalendar& calendar) : TQtControlPeer(calendar, new QCalendarWidget), FCalendar(calendar)
    {
        auto* w = static_cast<QCalendarWidget*>(Widget());
        w->setFirstDayOfWeek(Qt::Monday);
        const auto picked = [this](QDate date) {
            if (!FCalendar.UserPicked(FromQDateTime(QDateTime(date, QTime(0, 0)))))
                Changed(TControlChanges(TControlChange::Value));
        };
        QObject::connect(w, &QCalendarWidget::clicked, Context(), picked);
        // Enter on a day picks it as a click does, so a day can be chosen without the mouse. A
        // double click also activates, but its first click has already picked the day.
        QObject::connect(w, &QCalendarWidget::activated, Context(), [picked](QDate date) {
            if (QGuiApplication::mouseButtons() == Qt::NoButton)
                picked(date);
        });
    }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<QCalendarWidget*>(Widget());
        if (HasChange(what, TControlChange::Style))
            w->setVerticalHeaderFormat(FCalendar.GetWeekNumbers() ? QCalendarWidget::ISOWeekNumbers
                                                                  : QCalendarWidget::NoVerticalHeader);
        if (HasChange(what, TControlChange::Value)) {
            const QDate date = ToQDateTime(FCalendar.GetDate()).date();
            if (w->selectedDate() != date)
                w->setSelectedDate(date);
        }
    }

private:
    TMonthCalendar& FCalendar;
};

}  // namespace

std::unique_ptr<TPeer> CreateComPeer(TControl& control)
{
    if (auto* c = dynamic_cast<TTreeView*>(&control))
        return std::make_unique<TTreePeer>(*c);
    if (auto* c = dynamic_cast<TToolBar*>(&control))
        return std::make_unique<TToolBarPeer>(*c);
    if (auto* c = dynamic_cast<TToolButton*>(&control))
        return std::make_unique<TToolButtonPeer>(*c);
    if (auto* c = dynamic_cast<TStatusBar*>(&control))
        return std::make_unique<TStatusBarPeer>(*c);
    if (auto* c = dynamic_cast<TProgressBar*>(&control))
        return std::make_unique<TProgressPeer>(*c);
    if (auto* c = dynamic_cast<TUpDown*>(&control))
        return std::make_unique<TUpDownPeer>(*c);
    if (auto* c = dynamic_cast<TDateTimePicker*>(&control))
        return std::make_unique<TDatePickerPeer>(*c);
    if (auto* c = dynamic_cast<TMonthCalendar*>(&control))
        return std::make_unique<TCalendarPeer>(*c);
    return nullptr;
}
