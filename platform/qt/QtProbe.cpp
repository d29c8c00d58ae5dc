#include "platform/qt/QtProbe.h"

#include "platform/qt/QtPeer.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/QtText.h"

#include <QCursor>
#include <QImage>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolButton>
#include <QPointer>
#include <QWheelEvent>
#include <QWindow>

// Qt's window-system entry for synthesized mouse input (exported by QtGui; QTest uses it).
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                      Qt::KeyboardModifiers mods, int timestamp);

// Its twin for keys.
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key, Qt::KeyboardModifiers mods,
                                    const QString& text, bool autorep, ushort count);

namespace {

QPointer<QWindow> gPressedWindow;  // where the held button went down
int gPointerTime = 0;

QWindow* WindowAt(QPoint global)
{
    QWindow* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        QWindow* window = w->windowHandle();
        if (!window || !w->isVisible() || !w->frameGeometry().contains(global))
            continue;
        if (!found || window->transientParent() == found)
            found = window;
    }
    return found;
}

}  // namespace

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

TQtShownCursor QtShownCursor(const TControl* control)
{
    TQtShownCursor shown;
    TQtControlPeer* peer = QtPeerOf(control);
    if (!peer)
        return shown;
    const QCursor cursor = peer->Widget()->cursor();
    shown.Shape = int(cursor.shape());
    if (cursor.shape() == Qt::BitmapCursor) {
        shown.Picture = true;
        shown.Width = cursor.pixmap().width();
        shown.Height = cursor.pixmap().height();
        shown.HotX = cursor.hotSpot().x();
        shown.HotY = cursor.hotSpot().y();
    }
    return shown;
}

bool QtShowsPicture(const TControl* control)
{
    TQtControlPeer* peer = QtPeerOf(control);
    auto* button = peer ? qobject_cast<QToolButton*>(peer->Widget()) : nullptr;
    return button && !button->icon().isNull() && button->toolButtonStyle() != Qt::ToolButtonTextOnly;
}

bool QtWidgetShown(const TControl* control)
{
    TQtControlPeer* peer = QtPeerOf(control);
    return peer && peer->Widget()->isVisible();
}

bool QtWidgetInside(const TControl* control, const TControl* ancestor)
{
    TQtControlPeer* peer = QtPeerOf(control);
    TQtControlPeer* outer = QtPeerOf(ancestor);
    return peer && outer && outer->Widget()->isAncestorOf(peer->Widget());
}

bool QtWindowFrameless(const TControl* control)
{
    TQtControlPeer* peer = QtPeerOf(control);
    return peer && (peer->Widget()->window()->windowFlags() & Qt::FramelessWindowHint);
}

void QtMouse(const TControl* control, TQtMouseAction action, int x, int y)
{
    TQtControlPeer* peer = QtPeerOf(control);
    if (!peer)
        return;
    QWidget* widget = peer->Widget();
    const QPointF p(x, y);
    const QPointF global = widget->mapToGlobal(p);
    const QEvent::Type type = action == TQtMouseAction::Press  ? QEvent::MouseButtonPress
                            : action == TQtMouseAction::Move   ? QEvent::MouseMove
                                                               : QEvent::MouseButtonRelease;
    const Qt::MouseButton button = action == TQtMouseAction::Move ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = action == TQtMouseAction::Release ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, p, global, button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &e);
}

namespace {

void SendPointer(TQtMouseAction action, TPoint screen, Qt::MouseButton pressed, int time)
{
    const QPoint global(screen.X, screen.Y);
    QWindow* target = nullptr;
    if (QWidget* grabber = QWidget::mouseGrabber())
        target = grabber->window()->windowHandle();
    else if (gPressedWindow)
        target = gPressedWindow;
    else
        target = WindowAt(global);
    if (action == TQtMouseAction::Release)
        gPressedWindow = nullptr;
    if (!target)
        return;
    if (action == TQtMouseAction::Press)
        gPressedWindow = target;
    const QEvent::Type type = action == TQtMouseAction::Press  ? QEvent::MouseButtonPress
                            : action == TQtMouseAction::Move   ? QEvent::MouseMove
                                                               : QEvent::MouseButtonRelease;
    const Qt::MouseButton button = action == TQtMouseAction::Move ? Qt::NoButton : pressed;
    const Qt::MouseButtons held = action == TQtMouseAction::Release ? Qt::NoButton : Qt::MouseButtons(pressed);
    qt_handleMouseEvent(target, target->mapFromGlobal(QPointF(global)), QPointF(global), held, button, type,
                        Qt::NoModifier, time);
}

}  // namespace

void QtPointer(TQtMouseAction action, TPoint screen, TMouseButton button)
{
    const Qt::MouseButton pressed = button == mbRight ? Qt::RightButton
                                  : button == mbMiddle ? Qt::MiddleButton
                                                       : Qt::LeftButton;
    // A second apart, so no two presses make a double click.
    gPointerTime += 1000;
    SendPointer(action, screen, pressed, gPointerTime);
}

void QtDoubleClick(TPoint screen)
{
    gPointerTime += 1000;
    const TQtMouseAction steps[] = {TQtMouseAction::Press, TQtMouseAction::Release, TQtMouseAction::Press,
                                    TQtMouseAction::Release};
    for (TQtMouseAction step : steps)
        SendPointer(step, screen, Qt::LeftButton, gPointerTime += 20);
}

bool QtKey(Word key, TShiftState shift)
{
    QWindow* target = QGuiApplication::focusWindow();
    const int qtKey = ToQtKey(key);
    if (!target || !qtKey)
        return false;
    Qt::KeyboardModifiers mods;
    if (shift.Contains(ssShift)) mods |= Qt::ShiftModifier;
    if (shift.Contains(ssCtrl)) mods |= Qt::ControlModifier;
    if (shift.Contains(ssAlt)) mods |= Qt::AltModifier;
    // The text the X server sends with the key: characters, Enter, Escape, Backspace, Tab.
    QString text;
    if (!(mods & (Qt::ControlModifier | Qt::AltModifier))) {
        if (key == VK_ESCAPE) text = QChar(0x1b);
        else if (key == VK_RETURN) text = QChar('\r');
        else if (key == VK_BACK) text = QChar('\b');
        else if (key == VK_TAB) text = QChar('\t');
        else if (key == VK_SPACE) text = QChar(' ');
        else if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
            text = mods & Qt::ShiftModifier ? QChar(key) : QChar(key).toLower();
    }
    QPointer<QWindow> alive = target;
    qt_handleKeyEvent(target, QEvent::KeyPress, qtKey, mods, text, false, 1);
    if (alive)
        qt_handleKeyEvent(target, QEvent::KeyRelease, qtKey, mods, text, false, 1);
    return true;
}

bool QtWindowHasKeys(const TControl* control)
{
    TQtControlPeer* peer = QtPeerOf(control);
    QWindow* window = peer && peer->Widget() ? peer->Widget()->window()->windowHandle() : nullptr;
    return window && QGuiApplication::focusWindow() == window;
}

TRect QtWidgetOnScreen(const TControl* control)
{
    TQtControlPeer* peer = QtPeerOf(control);
    if (!peer)
        return {};
    const QWidget* widget = peer->Widget();
    const QPoint at = widget->mapToGlobal(QPoint(0, 0));
    return Bounds(at.x(), at.y(), widget->width(), widget->height());
}

TRect QtDroppedListOnScreen(const TControl* combo)
{
    TQtControlPeer* peer = QtPeerOf(combo);
    const auto* box = peer ? qobject_cast<const QComboBox*>(peer->Widget()) : nullptr;
    const QWidget* list = box && box->view() ? box->view()->window() : nullptr;
    if (!list || list == box->window() || !list->isVisible())
        return {};
    const QPoint at = list->mapToGlobal(QPoint(0, 0));
    return Bounds(at.x(), at.y(), list->width(), list->height());
}

bool QtDroppedListShowsWholeItems(const TControl* combo)
{
    TQtControlPeer* peer = QtPeerOf(combo);
    const auto* box = peer ? qobject_cast<const QComboBox*>(peer->Widget()) : nullptr;
    const QAbstractItemView* view = box ? box->view() : nullptr;
    return view && view->isVisible() && view->viewport()->width() >= view->sizeHintForColumn(0);
}

bool QtWindowOwnedBy(const TControl* window, const TControl* owner)
{
    TQtControlPeer* peer = QtPeerOf(window);
    TQtControlPeer* ownerPeer = QtPeerOf(owner);
    if (!peer || !ownerPeer)
        return false;
    const QWidget* frame = peer->Widget()->window();
    const QWindow* handle = frame->windowHandle();
    return handle && handle->transientParent() == ownerPeer->Widget()->window()->windowHandle() &&
           frame->windowType() == Qt::Tool;
}

bool QtGrabsMouse(const TControl* control)
{
    TQtControlPeer* peer = QtPeerOf(control);
    return peer && QWidget::mouseGrabber() == peer->Widget();
}

AnsiString QtTranslated(const char* context, const char* text)
{
    return FromQString(QCoreApplication::translate(context, text));
}

std::vector<int> QtShownGrays(const TControl* control, const TRect& area)
{
    std::vector<int> grays;
    TQtControlPeer* peer = QtPeerOf(control);
    if (!peer)
        return grays;
    const QImage shown = peer->Widget()->grab().toImage();
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if (shown.rect().contains(x, y))
                grays.push_back(qGray(shown.pixel(x, y)));
    return grays;
}
