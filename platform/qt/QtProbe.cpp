#include "platform/qt/QtProbe.h"

#include "platform/qt/QtPeer.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>

TScrollBarInfo QtShownScrollBar(const TWinControl* control, TScrollBarKind kind)
{
    const QScrollBar* bar = QtWindowScrollBar(control, kind);
    if (!bar)
        return {};
    return {bar->minimum(), bar->maximum() + bar->pageStep(), bar->pageStep(), bar->value(), bar->isEnabled()};
}

bool QtDragScrollBar(const TWinControl* control, TScrollBarKind kind, int pos)
{
    QScrollBar* bar = QtWindowScrollBar(control, kind);
    if (!bar)
        return false;
    bar->setSliderDown(true);
    bar->setSliderPosition(pos);
    bar->setSliderDown(false);
    return true;
}

void QtTurnWheel(const TControl* control, int delta)
{
    TQtControlPeer* peer = QtPeerOf(control);
    if (!peer)
        return;
    QWidget* widget = peer->Widget();
    const QPoint p(widget->width() / 2, widget->height() / 2);
    QWheelEvent e(p, widget->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &e);
}

AnsiString QtToolTip(const TControl* control)
{
    TQtControlPeer* peer = QtPeerOf(control);
    return peer ? FromQString(peer->Widget()->toolTip()) : AnsiString();
}

bool QtShowsPicture(const TControl* control)
{
    TQtControlPeer* peer = QtPeerOf(control);
    auto* button = peer ? qobject_cast<QToolButton*>(peer->Widget()) : nullptr;
    return button && !button->icon().isNull() && button->toolButtonStyle() != Qt::ToolButtonTextOnly;
}
