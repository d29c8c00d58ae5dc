#include "platform/qt/QtPeer.h"

#include "platform/qt/FontMap.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/QtText.h"

#include "platform/gui/Forms.h"

#include <QApplication>
#include <QColor>
#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <QContextMenuEvent>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState shift;
    if (modifiers & Qt::ShiftModifier) shift.Include(ssShift);
    if (modifiers & Qt::AltModifier) shift.Include(ssAlt);
    if (modifiers & Qt::ControlModifier) shift.Include(ssCtrl);
    if (buttons & Qt::LeftButton) shift.Include(ssLeft);
    if (buttons & Qt::RightButton) shift.Include(ssRight);
    if (buttons & Qt::MiddleButton) shift.Include(ssMiddle);
    return shift;
}

bool ToMouseButton(Qt::MouseButton button, TMouseButton& result)
{
    switch (button) {
    case Qt::LeftButton: result = mbLeft; return true;
    case Qt::RightButton: result = mbRight; return true;
    case Qt::MiddleButton: result = mbMiddle; return true;
    default: return false;
    }
}

struct KeyPair {
    int Qt;
    Word Vk;
};

constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK},  {Qt::Key_Tab, VK_TAB},         {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},   {Qt::Key_Enter, VK_RETURN},    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},        {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE},  {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},    {Qt::Key_PageDown, VK_NEXT},   {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},       {Qt::Key_Left, VK_LEFT},       {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},     {Qt::Key_Down, VK_DOWN},       {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},   {Qt::Key_Help, VK_HELP},       {Qt::Key_Menu, VK_APPS},
    {Qt::Key_NumLock, VK_NUMLOCK}, {Qt::Key_ScrollLock, VK_SCROLL}, {Qt::Key_Asterisk, VK_MULTIPLY},
    {Qt::Key_Plus, VK_ADD},        {Qt::Key_Minus, VK_SUBTRACT},  {Qt::Key_Slash, VK_DIVIDE},
};

// Set while a wheel turn that the model left alone is handed to a widget: every peer's
// filter lets it through untouched.
bool gForwardingWheel = false;

// The last mouse button or move event a model took. Qt hands an event a widget leaves
// alone on to its parent widgets, as a copy; the window system gives a mouse message to
// one window only, so the parents' controls must not hear it again (with the mouse
// captured, each of them would pass it to the holder once more).
struct TMouseSeen {
    QPointer<QWidget> Widget;
    QEvent::Type Type = QEvent::None;
    quint64 Time = 0;
    QPointF Global;
    Qt::MouseButtons Buttons;
    Qt::MouseButton Button = Qt::NoButton;
};
TMouseSeen gMouseSeen;

bool Matches(const TMouseSeen& seen, const QMouseEvent* e)
{
    return seen.Type == e->type() && seen.Time == e->timestamp() && seen.Global == e->globalPosition() &&
           seen.Buttons == e->buttons() && seen.Button == e->button();
}

// Whether a widget below this one in the same window took this event already.
bool SeenBelow(QWidget* widget, const QMouseEvent* e)
{
    return gMouseSeen.Widget && Matches(gMouseSeen, e) && widget->isAncestorOf(gMouseSeen.Widget);
}

void Seen(QWidget* widget, const QMouseEvent* e)
{
    gMouseSeen = {widget, e->type(), e->timestamp(), e->globalPosition(), e->buttons(), e->button()};
}

}  // namespace

// Hands the watched widgets' input events to their peer.
class TQtInputFilter : public QObject {
public:
    explicit TQtInputFilter(TQtControlPeer& peer) : FPeer(peer) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!watched->isWidgetType())
            return false;
        return FPeer.FilterInput(static_cast<QWidget*>(watched), event);
    }

private:
    TQtControlPeer& FPeer;
};

TQtControlPeer::TQtControlPeer(TControl& control, QWidget* widget)
    : FControl(control), FWidget(widget), FContext(std::make_unique<QObject>())
{
    FFilter = std::make_unique<TQtInputFilter>(*this);
    if (TWinControl* parent = control.GetParent()) {
        if (QWidget* container = ContainerOf(parent))
            widget->setParent(container);
    }
    WatchInput(widget);
}

TQtControlPeer::~TQtControlPeer()
{
    FFilter.reset();
    FContext.reset();  // cuts every connection made by this peer
    if (FWidget && QWidget::mouseGrabber() == FWidget)
        FWidget->releaseMouse();
    if (FWidget) {
        FWidget->hide();
        FWidget->setParent(nullptr);
        FWidget->deleteLater();
    }
}

TQtControlPeer::TApplyScope::TApplyScope(TQtControlPeer& peer) : FPeer(peer), FBlocked(false)
{
    ++FPeer.FApplying;
    if (FPeer.FWidget)
        FBlocked = FPeer.FWidget->blockSignals(true);
}

TQtControlPeer::TApplyScope::~TApplyScope()
{
    if (FPeer.FWidget)
        FPeer.FWidget->blockSignals(FBlocked);
    --FPeer.FApplying;
}

void TQtControlPeer::WatchInput(QWidget* widget)
{
    widget->installEventFilter(FFilter.get());
}

void TQtControlPeer::Changed(TControlChanges what)
{
    if (!FWidget)
        return;
    TApplyScope scope(*this);
    if (HasChange(what, TControlChange::Font))
        FWidget->setFont(ToQFont(*FControl.GetFont()));
    if (HasChange(what, TControlChange::Color) || HasChange(what, TControlChange::Font))
        ApplyColor();
    if (HasChange(what, TControlChange::Hint))
        FWidget->setToolTip(FControl.GetShowHint() ? ToQString(FControl.GetHint()) : QString());
    if (HasChange(what, TControlChange::Cursor))
        FWidget->setCursor(ToQCursor(FControl.GetCursor()));
    if (HasChange(what, TControlChange::Enabled))
        FWidget->setEnabled(FControl.GetEnabled());
    Update(what);
    if (HasChange(what, TControlChange::Bounds))
        ApplyBounds();
    // Siblings stack in their list order (the later on top); a control shown again takes
    // its place too, so a list laid over an edit box is not left under it.
    if (HasChange(what, TControlChange::Order) ||
        (HasChange(what, TControlChange::Visible) && FControl.GetVisible())) {
        if (TWinControl* parent = FControl.GetParent())
            for (TControl* sibling : parent->ControlList())
                if (TQtControlPeer* peer = QtPeerOf(sibling))
                    peer->Widget()->raise();
    }
    if (HasChange(what, TControlChange::Visible))
        FWidget->setVisible(FControl.GetVisible());
    if (HasChange(what, TControlChange::Focus) && FWidget->isVisible())
        FWidget->setFocus(Qt::OtherFocusReason);
    if (HasChange(what, TControlChange::Repaint))
        FWidget->update();
    if (HasChange(what, TControlChange::Capture) || HasChange(what, TControlChange::Visible))
        ApplyCapture();
}

void TQtControlPeer::ApplyCapture()
{
    // Qt's grab sends every mouse event to the grabbing widget, wherever the pointer is;
    // on X11 it grabs the pointer for the widget's window too, so a drag that left the
    // window where the button went down goes on reaching it.
    if (GetCapture() == &FControl) {
        // Only a shown widget can grab; one shown later grabs then.
        if (FWidget->isVisible() && QWidget::mouseGrabber() != FWidget)
            FWidget->grabMouse();
    } else if (QWidget::mouseGrabber() == FWidget) {
        FWidget->releaseMouse();
    }
}

void TQtControlPeer::ApplyBounds()
{
    const QRect r(FControl.GetLeft(), FControl.GetTop(), FControl.GetWidth(), FControl.GetHeight());
    if (FWidget->geometry() != r)
        FWidget->setGeometry(r);
}

void TQtControlPeer::ApplyColor()
{
    // System colours are the desktop's own; a plain colour the layout chose is kept.
    QPalette palette = FWidget->palette();
    const TColor color = FControl.GetColor();
    if (color >= 0 && color != clNone && color != clDefault) {
        palette.setColor(QPalette::Window, ToQColor(color));
        FWidget->setAutoFillBackground(true);
    }
    const TColor text = FControl.GetFont()->GetColor();
    if (text >= 0 && text != clNone && text != clDefault) {
        palette.setColor(QPalette::WindowText, ToQColor(text));
        palette.setColor(QPalette::Text, ToQColor(text));
        palette.setColor(QPalette::ButtonText, ToQColor(text));
    }
    FWidget->setPalette(palette);
}

bool TQtControlPeer::FilterInput(QWidget* widget, QEvent* event)
{
    if (Applying())
        return false;
    // Input may destroy this peer (a handler frees the control); stop touching it then.
    QPointer<QObject> alive = FContext.get();
    // The pointer in the control's coordinates from its screen position: a window the
    // program moves under the pointer (a dragged float window) gets events measured from
    // where the window system still had it, while the model has it where it goes.
    const auto pointerPoint = [&](const QMouseEvent* e) {
        return OriginWidget()->mapFromGlobal(e->globalPosition().toPoint());
    };
    auto* win = dynamic_cast<TWinControl*>(&FControl);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        if (IsNonClientPart(widget))
            return false;
        auto* e = static_cast<QMouseEvent*>(event);
        TMouseButton button;
        if (!ToMouseButton(e->button(), button))
            return false;
        const QPoint p = pointerPoint(e);
        TShiftState shift = ShiftOf(e->modifiers(), e->buttons() | e->button());
        // Only the control that takes the button hears it, and with it its menu and its
        // double click: the parents' widgets get Qt's copy of an event the child's widget
        // left alone, as the window system never sends them.
        if (SeenBelow(widget, e))
            return false;
        // A press into a window that showed without the keys gives it them when it lands
        // on a widget a click focuses (an edit, not a tool button or the caption bar).
        if (event->type() != QEvent::MouseButtonRelease && (widget->focusPolicy() & Qt::ClickFocus))
            if (TCustomForm* form = FControl.ParentForm(); form && !form->GetActivateOnShow() && !form->Active()) {
                QtClickedIntoForm(*form);
                if (!alive)
                    return false;
            }
        // A captured button's message, and so its menu or double click, is the holder's.
        TControl* target = GetCapture() ? GetCapture() : &FControl;
        TQtControlPeer* targetPeer = target == &FControl ? this : QtPeerOf(target);
        QPointer<QObject> targetAlive = targetPeer ? targetPeer->Context() : nullptr;
        const TPoint q = target == &FControl ? TPoint{p.x(), p.y()}
                                             : target->ScreenToClient(FControl.ClientToScreen({p.x(), p.y()}));
        if (event->type() == QEvent::MouseButtonRelease) {
            // The click comes before the button's release, when the pointer is still on the
            // control that the button went down on.
            const bool click = button == mbLeft && FPressedLeft && target == &FControl && ClicksOnRelease() &&
                               p.x() >= 0 && p.y() >= 0 && p.x() < FControl.GetWidth() && p.y() < FControl.GetHeight();
            if (button == mbLeft)
                FPressedLeft = false;
            if (click && FControl.UserClicked()) {
                Seen(widget, e);
                if (!alive)
                    return false;
            }
            if (!FControl.UserMouseUp(button, ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()))
                return false;
            Seen(widget, e);
            if (button == mbRight && targetAlive)
                target->UserContextMenu(q.X, q.Y);
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            if (!FControl.UserMouseDown(button, shift + TShiftState{ssDouble}, p.x(), p.y()))
                return false;
            Seen(widget, e);
            if (button == mbLeft && targetAlive && targetPeer->ForwardsDoubleClicks())
                target->UserDoubleClicked();
        } else if (FControl.UserMouseDown(button, shift, p.x(), p.y())) {
            Seen(widget, e);
            if (alive && button == mbLeft && target == &FControl)
                FPressedLeft = true;
        }
        return false;
    }
    case QEvent::MouseMove: {
        if (IsNonClientPart(widget))
            return false;
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint p = pointerPoint(e);
        if (!SeenBelow(widget, e) && FControl.UserMouseMove(ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()))
            Seen(widget, e);
        return false;
    }
    case QEvent::Wheel: {
        if (gForwardingWheel)
            return false;
        auto* e = static_cast<QWheelEvent*>(event);
        const int delta = e->angleDelta().y();
        if (delta == 0)
            return false;  // a sideways wheel: the platform's wheel turns only up and down
        const QPoint global = e->globalPosition().toPoint();
        bool handled = false;
        FControl.UserMouseWheel(delta, ShiftOf(e->modifiers(), e->buttons()), TPoint{global.x(), global.y()}, &handled);
        if (!handled && alive && !IsNonClientPart(widget)) {
            // A synthesized copy goes to this widget only; Qt does not pass it to parents.
            QWheelEvent copy(e->position(), e->globalPosition(), e->pixelDelta(), e->angleDelta(), e->buttons(),
                             e->modifiers(), e->phase(), e->inverted(), e->source());
            gForwardingWheel = true;
            QCoreApplication::sendEvent(widget, &copy);
            gForwardingWheel = false;
        }
        e->accept();
        return true;
    }
    case QEvent::ContextMenu:
        // The model pops its own menu (or a parent's) on the button release, and on the
        // Menu key or Shift+F10 as the key arrives (a platform that sends this event for the
        // key sends the key as well; some, as offscreen, send only the key); no desktop
        // default menu then.
        return FControl.ContextMenuHolder() != nullptr;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        if (FSending)
            return false;
        // A key the focused widget ignores travels on to its parents; the model hears it
        // once, from the control that has the focus (or the window when none has).
        if (QWidget* focus = QApplication::focusWidget(); !win || (focus ? widget != focus : !widget->isWindow()))
            return false;
        auto* e = static_cast<QKeyEvent*>(event);
        Word key = ToVirtualKey(e->key());
        const TShiftState shift = ShiftOf(e->modifiers(), Qt::NoButton);
        if (event->type() == QEvent::KeyRelease) {
            if (key)
                win->UserKeyUp(key, shift);
            return false;
        }
        if (key && !win->UserFilterKeyDown(key, shift))
            return true;  // the model took it
        if (!alive)
            return true;
        if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        // The characters the platform sends as key presses: printable ones, Enter,
        // Backspace, Escape and Tab (Delete and the cursor keys send none).
        const AnsiString typed = FromQString(e->text());
        if (typed.size() != 1)
            return false;
        const char original = typed[0];
        if (!(uint8_t(original) >= 32 && original != 0x7F) && original != '\r' && original != '\b' &&
            original != '\x1b' && original != '\t')
            return false;
        char c = original;
        if (!win->UserFilterKeyPress(c) || !alive)
            return true;
        if (!WidgetTakesCharacters())
            return true;
        if (c != original) {
            SendChangedCharacter(widget, *e, c);
            return true;
        }
        return false;
    }
    case QEvent::FocusIn:
        // A click leaves the caret where it landed; focus that came any other way (the
        // window system's Tab, a window activated) is the keyboard's, and selects an edit.
        if (win && widget->hasFocus())
            win->UserFocused(static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason);
        return false;
    default:
        return false;
    }
}

void TQtControlPeer::SendChangedCharacter(QWidget* widget, const QKeyEvent& original, char character)
{
    const QString text = ToQString(AnsiString(1, character));
    int key;
    switch (character) {
    case '\r': key = Qt::Key_Return; break;
    case '\b': key = Qt::Key_Backspace; break;
    case '\x1b': key = Qt::Key_Escape; break;
    case '\t': key = Qt::Key_Tab; break;
    default: key = text.isEmpty() ? Qt::Key_unknown : int(text.at(0).toUpper().unicode()); break;
    }
    QKeyEvent changed(QEvent::KeyPress, key, original.modifiers(), text, original.isAutoRepeat());
    QPointer<QObject> alive = FContext.get();
    FSending = true;
    QCoreApplication::sendEvent(widget, &changed);
    if (alive)
        FSending = false;
}

TQtControlPeer* QtPeerOf(const TControl* control)
{
    return control ? dynamic_cast<TQtControlPeer*>(control->Peer()) : nullptr;
}

QWidget* ContainerOf(const TWinControl* control)
{
    TQtControlPeer* peer = QtPeerOf(control);
    return peer ? peer->Container() : nullptr;
}

QFont ToQFont(const TFont& font)
{
    QFont result(ToQString(MapFontFamily(font.GetName())));
    // Heights are pixels at 96 dpi: negative = character height, positive = cell height.
    const int height = font.GetHeight();
    const int pixels = height < 0 ? -height : (height * 3 + 2) / 4;
    result.setPixelSize(pixels > 0 ? pixels : 11);
    const TFontStyles style = font.GetStyle();
    result.setBold(style.Contains(fsBold));
    result.setItalic(style.Contains(fsItalic));
    result.setUnderline(style.Contains(fsUnderline));
    result.setStrikeOut(style.Contains(fsStrikeOut));
    if (font.GetPitch() == fpFixed)
        result.setFixedPitch(true);
    return result;
}

QColor ToQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

Qt::CursorShape ToQtCursor(TCursor cursor)
{
    switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: case crVSplit: return cursor == crVSplit ? Qt::SplitVCursor : Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: case crSQLWait: return Qt::WaitCursor;
    case crAppStart: return Qt::BusyCursor;
    case crDrag: case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop: case crNo: return Qt::ForbiddenCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

QCursor ToQCursor(TCursor cursor)
{
    // The program's own cursors (hand, zoom and the like) are pictures loaded into the
    // screen's slots; every other number is one of the desktop's shapes.
    if (const TCursorImage* image = TScreen::GetCursorImage(cursor)) {
        const TPixelBuffer& p = image->Pixels;
        if (p.Width > 0 && p.Height > 0) {
            const QImage picture(reinterpret_cast<const uchar*>(p.Pixels.data()), p.Width, p.Height, p.Width * 4,
                                 QImage::Format_ARGB32);
            return QCursor(QPixmap::fromImage(picture.copy()), image->HotX, image->HotY);
        }
    }
    return QCursor(ToQtCursor(cursor));
}

Word ToVirtualKey(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return Word(qtKey);  // the platform numbers letters and digits by their ASCII capitals
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return Word(VK_F1 + (qtKey - Qt::Key_F1));
    for (const KeyPair& k : kKeys)
        if (k.Qt == qtKey)
            return k.Vk;
    return 0;
}

int ToQtKey(Word vk)
{
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return vk;
    if (vk >= VK_F1 && vk <= VK_F12)
        return Qt::Key_F1 + (vk - VK_F1);
    for (const KeyPair& k : kKeys)
        if (k.Vk == vk)
            return k.Qt;
    return 0;
}

QString StripAccelerators(const QString& caption)
{
    QString result;
    result.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;  // "&x" shows x, "&&" shows '&'
        result += caption[i];
    }
    return result;
}
