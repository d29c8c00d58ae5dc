// Menu peers: a main menu becomes a QMenuBar (which its form's peer places above the
// client area), a popup menu a QMenu. Any change of an item rebuilds the menu from
// the model's item tree; menus are small and this keeps them exact.
//
// Short-cuts are shown beside the captions but not registered with Qt: the key
// reaches the model through the focused control, and the form's key handling finds
// the item (after key preview and the control's own OnKeyDown, as on the platform).
#include "platform/qt/QtPeer.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/QtText.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"

#include <QCursor>
#include <QMenu>
#include <QMenuBar>

namespace {

class TQtMenuPeer : public TPeer {
public:
    explicit TQtMenuPeer(TMenu& menu) : FMenu(menu), FContext(std::make_unique<QObject>())
    {
        if (dynamic_cast<TMainMenu*>(&menu))
            FBar = new QMenuBar;
        else
            FPopup = new QMenu;
    }
    ~TQtMenuPeer() override
    {
        FContext.reset();
        for (QWidget* w : {static_cast<QWidget*>(FBar.data()), static_cast<QWidget*>(FPopup.data())})
            if (w) {
                w->hide();
                w->setParent(nullptr);
                w->deleteLater();
            }
    }

    QMenuBar* Bar() const { return FBar; }

    void Changed(TControlChanges what) override
    {
        Rebuild();
        auto* popup = dynamic_cast<TPopupMenu*>(&FMenu);
        if (popup && FPopup && (HasChange(what, TControlChange::Visible) || HasChange(what, TControlChange::DropDown)) &&
            what != TControlChanges(TControlChange::All))
            FPopup->popup(ScreenPoint(*popup));
    }

    // Where the model asked the menu to pop up. PopupPoint is in the model's screen
    // coordinates, which differ from the desktop's by the window frames; it is taken
    // back to a control (the one it popped up for, else the menu's form) and placed by
    // that control's widget. Without either, the point is used as it is.
    static QPoint ScreenPoint(const TPopupMenu& popup)
    {
        const TPoint p = popup.PopupPoint;
        const TControl* anchor = dynamic_cast<const TControl*>(popup.PopupComponent);
        if (!QtPeerOf(anchor))
            anchor = popup.OwnerForm();
        if (const TQtControlPeer* peer = QtPeerOf(anchor)) {
            const TPoint local = anchor->ScreenToClient(p);
            return peer->OriginWidget()->mapToGlobal(QPoint(local.X, local.Y));
        }
        return QPoint(p.X, p.Y);
    }

private:
    static QString CaptionOf(const TMenuItem& item)
    {
        QString caption = ToQString(item.GetCaption());
        if (item.GetShortCut())
            caption += QLatin1Char('\t') + ToQString(ShortCutToText(item.GetShortCut()));
        return caption;
    }

    void AddItems(QWidget* target, TMenuItem& parent)
    {
        for (int i = 0; i < parent.Count(); ++i) {
            TMenuItem* item = parent.Items(i);
            if (!item->GetVisible())
                continue;
            if (item->IsLine()) {
                if (auto* menu = qobject_cast<QMenu*>(target))
                    menu->addSeparator();
                continue;
            }
            QAction* action = nullptr;
            if (item->Count() > 0) {
                auto* sub = new QMenu(CaptionOf(*item), target);
                AddItems(sub, *item);
                action = sub->menuAction();
            } else {
                action = new QAction(CaptionOf(*item), target);
                action->setCheckable(item->GetChecked() || item->GetAutoCheck() || item->GetRadioItem());
                action->setChecked(item->GetChecked());
                QObject::connect(action, &QAction::triggered, FContext.get(), [item] { item->UserClicked(); });
            }
            action->setEnabled(item->GetEnabled());
            action->setToolTip(ToQString(item->GetHint()));
            target->addAction(action);
        }
    }

    void Rebuild()
    {
        QWidget* target = FBar ? static_cast<QWidget*>(FBar.data()) : FPopup.data();
        if (!target)
            return;
        // Old actions and submenus go with a fresh context; the menu widgets stay.
        FContext = std::make_unique<QObject>();
        for (QAction* action : target->actions()) {
            target->removeAction(action);
            if (QMenu* sub = action->menu())
                sub->deleteLater();
            else
                action->deleteLater();
        }
        if (TMenuItem* root = FMenu.GetItems())
            AddItems(target, *root);
    }

    TMenu& FMenu;
    QPointer<QMenuBar> FBar;
    QPointer<QMenu> FPopup;
    std::unique_ptr<QObject> FContext;
};

}  // namespace

std::unique_ptr<TPeer> CreateQtMenuPeer(TMenu& menu)
{
    return std::make_unique<TQtMenuPeer>(menu);
}

QMenuBar* MenuBarOf(const TMenu* menu)
{
    if (!menu)
        return nullptr;
    auto* peer = dynamic_cast<TQtMenuPeer*>(menu->Peer());
    return peer ? peer->Bar() : nullptr;
}
