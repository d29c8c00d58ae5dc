// The form peer: a top-level window with the menu bar above a client widget. The
// client widget is the form's client area; the model's children sit on it at the
// bounds the model's own layout gave them.
#include "platform/qt/QtCanvasWidget.h"
#include "platform/qt/QtPeer.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/QtText.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

namespace {

class TQtFormPeer;

class TQtFormWidget : public QWidget {
public:
    explicit TQtFormWidget(TQtFormPeer& peer) : FPeer(&peer) {}
    void Detach() { FPeer = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    TQtFormPeer* FPeer;
};

class TQtFormPeer : public TQtControlPeer {
public:
    explicit TQtFormPeer(TCustomForm& form)
        : TQtControlPeer(form, new TQtFormWidget(*this)), FForm(form)
    {
        FClient = new TQtCanvasWidget(form, *form.GetCanvas(), Widget());
        FClient->setAutoFillBackground(false);
        FClient->show();
        WatchInput(FClient);
        FBars = std::make_unique<TQtOverlayScrollBars>(form, Widget(), Context());
        Widget()->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    // A click on the form's own surface is its OnClick, as on the platform.
    bool ClicksOnRelease() const override { return true; }
    ~TQtFormPeer() override
    {
        if (auto* frame = static_cast<TQtFormWidget*>(Widget()))
            frame->Detach();
        // The menu bar belongs to the menu's peer: give it back before the frame goes.
        if (QMenuBar* bar = MenuBarOf(FForm.GetMenu()); bar && bar->parentWidget() == Widget())
            bar->setParent(nullptr);
    }

    void Changed(TControlChanges what) override
    {
        TQtControlPeer::Changed(what);
        if (FResizeMissed && !Applying())
            WindowResized();
    }

    QWidget* Container() const override { return FClient; }
    QWidget* OriginWidget() const override { return FClient; }

    void UserClose()
    {
        if (!Applying())
            FForm.UserCloseRequested();
    }

    void WindowResized()
    {
        LayoutFrame();
        if (Applying()) {
            // Qt resized the window while we set it (a maximized window getting the
            // screen as it shows): the model hears of it once the setting is done.
            FResizeMissed = true;
            return;
        }
        FResizeMissed = false;
        if (FForm.GetWindowState() == wsMinimized)
            return;
        const TRect client = FForm.ClientRect();
        const int width = FClient->width(), height = FClient->height();
        if (width == client.Width() && height == client.Height())
            return;
        FForm.UserResized(width + (FForm.GetWidth() - client.Width()), height + (FForm.GetHeight() - client.Height()));
    }

    // Tells the model where the desktop put the client area inside the window's frame,
    // so the model's screen points are the desktop's.
    void ClientPlaced()
    {
        const QPoint client = FClient->mapToGlobal(QPoint(0, 0));
        const QPoint corner = Widget()->frameGeometry().topLeft();
        FForm.UserFramed(client.x() - corner.x(), client.y() - corner.y());
    }

    void WindowMoved()
    {
        if (Applying() || FForm.GetWindowState() != wsNormal)
            return;
        const QRect frame = Widget()->frameGeometry();
        FForm.UserMoved(frame.x(), frame.y());
    }

    // An owned window's window system window names its owner's (WM_TRANSIENT_FOR on
    // X11), so the window manager keeps it above that window. Set as the window is about
    // to be mapped, when both native windows exist.
    void ApplyOwner()
    {
        QWindow* window = Widget()->windowHandle();
        if (!window)
            return;
        TQtControlPeer* owner = QtPeerOf(FForm.GetPopupParent());
        QWindow* ownerWindow = owner ? owner->Widget()->window()->windowHandle() : nullptr;
        if (window->transientParent() != ownerWindow && ownerWindow != window)
            window->setTransientParent(ownerWindow);
    }

    // The window system changed the window's state (maximised from the title bar, restored
    // by the window manager's keys). The model's own changes come back here too, while
    // it applies them or later from the window system's queue: the model hears the state
    // the window has now and never sends it back, so nothing bounces between the two.
    void WindowStateChanged()
    {
        if (Applying())
            return;
        const Qt::WindowStates shown = Widget()->windowState();
        TWindowState state = wsNormal;
        if (shown & Qt::WindowMinimized)
            state = wsMinimized;
        else if (shown & (Qt::WindowMaximized | Qt::WindowFullScreen))
            state = wsMaximized;
        // Restored by the window system, the window is where it put it: the bounds kept
        // for the program's own way back are stale.
        if (state == wsNormal)
            FNormalGeometry = QRect();
        FForm.UserWindowStateChanged(state);
    }

    // Clicked into while another window has the keys.
    void TakeKeysOnClick()
    {
        if (FForm.Active() || !Widget()->isVisible())
            return;
        FTakesKeys = true;
        AcceptFocus(true);
        FForm.UserActivated();
    }

    void WindowActivated()
    {
        if (Applying() || FForm.Active())
            return;
        if (!FForm.GetActivateOnShow() && !FTakesKeys) {
            // Activated by the platform as it was mapped: the keys go back to the form
            // the model has active.
            if (TQtControlPeer* active = QtPeerOf(Screen ? Screen->GetActiveForm() : nullptr);
                active && active != this && active->Widget()->isVisible())
                active->Widget()->activateWindow();
            return;
        }
        // The window system made it active: the model follows without asking back.
        FActivatedBySystem = true;
        struct Reset {
            bool& Flag;
            ~Reset() { Flag = false; }
        } reset{FActivatedBySystem};
        FForm.UserActivated();
    }

protected:
    void Update(TControlChanges what) override
    {
        QWidget* frame = Widget();
        if (HasChange(what, TControlChange::Caption))
            frame->setWindowTitle(ToQString(FForm.GetCaption()));
        if (HasChange(what, TControlChange::Style))
            ApplyStyle();
        // Before TQtControlPeer shows the window: the model did not activate it. Shown
        // again, it leaves the keys where they are until it is clicked into again.
        if (HasChange(what, TControlChange::Visible)) {
            frame->setAttribute(Qt::WA_ShowWithoutActivating, !FForm.GetActivateOnShow());
            if (FForm.GetVisible() && !frame->isVisible()) {
                FTakesKeys = false;
                AcceptFocus(FForm.GetActivateOnShow());
            }
        }
        if (HasChange(what, TControlChange::Scroll))
            FBars->Update(FClient->geometry());
        if (HasChange(what, TControlChange::Menu))
            AttachMenu();
        if (HasChange(what, TControlChange::Modal)) {
            const Qt::WindowModality modality = FForm.IsModal() ? Qt::ApplicationModal : Qt::NonModal;
            if (frame->windowModality() != modality) {
                // Qt takes a new modality only while the window is hidden.
                const bool shown = frame->isVisible();
                if (shown)
                    frame->hide();
                frame->setWindowModality(modality);
                if (shown)
                    frame->show();
            }
        }
        if (HasChange(what, TControlChange::WindowState)) {
            Qt::WindowStates state = Qt::WindowNoState;
            if (FForm.GetWindowState() == wsMaximized)
                state = Qt::WindowMaximized;
            else if (FForm.GetWindowState() == wsMinimized)
                // A maximized window minimized keeps its maximized flag, as the window
                // manager leaves it, so that restoring it maximizes it again over the
                // bounds kept for the way back.
                state = FForm.RestoredState() == wsMaximized ? Qt::WindowMinimized | Qt::WindowMaximized
                                                             : Qt::WindowMinimized;
            // Not every desktop has a window manager to size a maximized window (nor
            // does the offscreen platform): give it the screen's work area ourselves, so
            // the first show already has the final size and the children laid out on it.
            // Qt drops the maximized state on a new geometry, so the area comes first and
            // the normal bounds are kept here for the way back.
            const bool wasMaximized = frame->windowState() & Qt::WindowMaximized;
            if (state == Qt::WindowMaximized && !wasMaximized)
                if (QScreen* screen = frame->screen()) {
                    FNormalGeometry = frame->geometry();
                    const QRect area = screen->availableGeometry();
                    if (frame->geometry() != area)
                        frame->setGeometry(area);
                }
            if (frame->windowState() != state)
                frame->setWindowState(state);
            if (state == Qt::WindowNoState && wasMaximized && FNormalGeometry.isValid())
                frame->setGeometry(FNormalGeometry);
            if (!(state & Qt::WindowMaximized))
                FNormalGeometry = QRect();
        }
        if (HasChange(what, TControlChange::Active) && FForm.Active() && frame->isVisible()) {
            // Only the program's own activations ask the window system: its notices of
            // activation arrive late, and answering each with a request of its own had two
            // windows take the focus from each other for ever.
            if (!FActivatedBySystem) {
                frame->raise();
                frame->activateWindow();
            }
            // The keys go to the form's active control, not to whatever widget Qt
            // would pick first in its focus chain.
            if (TQtControlPeer* active = QtPeerOf(FForm.GetActiveControl());
                active && active->Widget()->isVisible() && active->Widget()->focusPolicy() != Qt::NoFocus &&
                !frame->isAncestorOf(QApplication::focusWidget()))
                active->Widget()->setFocus(Qt::ActiveWindowFocusReason);
        }
    }

    void ApplyBounds() override
    {
        QWidget* frame = Widget();
        const TRect client = FForm.ClientRect();
        if (!(frame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))) {
            if (frame->pos() != QPoint(FForm.GetLeft(), FForm.GetTop()))
                frame->move(FForm.GetLeft(), FForm.GetTop());
            const QSize size(client.Width(), client.Height() + MenuHeight());
            if (frame->size() != size)
                frame->resize(size);
            if (FFixedSize)
                frame->setFixedSize(size);
        }
        LayoutFrame();
    }

private:
    int MenuHeight() const
    {
        QMenuBar* bar = MenuBarOf(FForm.GetMenu());
        return bar && bar->parentWidget() == Widget() && !bar->isHidden() ? bar->sizeHint().height() : 0;
    }

    // Places the menu bar and the client widget inside the frame.
    void LayoutFrame()
    {
        QWidget* frame = Widget();
        const int menuHeight = MenuHeight();
        if (QMenuBar* bar = MenuBarOf(FForm.GetMenu()); bar && bar->parentWidget() == frame)
            bar->setGeometry(0, 0, frame->width(), menuHeight);
        const QRect client(0, menuHeight, frame->width(), std::max(0, frame->height() - menuHeight));
        if (FClient->geometry() != client)
            FClient->setGeometry(client);
        FBars->Update(client);
        ClientPlaced();
    }

    void AttachMenu()
    {
        // A menu read with the layout has no peer yet when the form first shows.
        if (TMainMenu* menu = FForm.GetMenu(); menu && !menu->Peer())
            menu->CreatePeer();
        QMenuBar* bar = MenuBarOf(FForm.GetMenu());
        if (bar && bar->parentWidget() != Widget()) {
            bar->setParent(Widget());
            bar->show();
        }
        ApplyBounds();
    }

    void ApplyStyle()
    {
        QWidget* frame = Widget();
        Qt::WindowFlags flags = Qt::Window;
        const TFormBorderStyle border = FForm.GetBorderStyle();
        const TBorderIcons icons = FForm.GetBorderIcons();
        switch (border) {
        case bsNone: flags |= Qt::FramelessWindowHint; break;
        case bsDialog: flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint; break;
        case bsToolWindow:
        case bsSizeToolWin: flags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint; break;
        default:
            flags |= Qt::WindowTitleHint;
            if (icons.Contains(biSystemMenu))
                flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            if (icons.Contains(biMinimize))
                flags |= Qt::WindowMinimizeButtonHint;
            if (icons.Contains(biMaximize) && border == bsSizeable)
                flags |= Qt::WindowMaximizeButtonHint;
            break;
        }
        if (FForm.GetFormStyle() == fsStayOnTop)
            flags |= Qt::WindowStaysOnTopHint;
        // A window shown without activating (a floating tool bar's) never takes the keys
        // from its owner: Qt's offscreen platform and some window managers activate
        // every window they map, whatever the show asked for.
        if (!FForm.GetActivateOnShow() && !FTakesKeys)
            flags |= Qt::WindowDoesNotAcceptFocus;
        // A window with an owner is a tool window of it: Qt (and the window manager)
        // keeps such a window above its transient parent.
        if (FForm.GetPopupParent() && (flags & Qt::WindowType_Mask) == Qt::Window)
            flags = (flags & ~Qt::WindowType_Mask) | Qt::Tool;
        FFixedSize = border == bsDialog || border == bsSingle || border == bsToolWindow;
        if (!FFixedSize) {
            frame->setMinimumSize(0, 0);
            frame->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        }
        if (frame->windowFlags() != flags) {
            const bool shown = frame->isVisible();
            frame->setWindowFlags(flags);  // hides the window
            if (shown)
                frame->show();
        }
        ApplyOwner();
    }

    // Whether the window system may give the window the keys: told to the window as it
    // stands, as setting the widget's flags would hide it and make it anew.
    void AcceptFocus(bool accept)
    {
        QWidget* frame = Widget();
        Qt::WindowFlags flags = frame->windowFlags();
        flags.setFlag(Qt::WindowDoesNotAcceptFocus, !accept);
        if (flags == frame->windowFlags())
            return;
        frame->overrideWindowFlags(flags);
        if (QWindow* window = frame->windowHandle())
            window->setFlags(flags);
    }

    TCustomForm& FForm;
    QWidget* FClient = nullptr;
    bool FTakesKeys = false;  // clicked into since it was shown without the keys
    bool FActivatedBySystem = false;  // the model follows the window system's activation
    std::unique_ptr<TQtOverlayScrollBars> FBars;
    bool FFixedSize = false;
    bool FResizeMissed = false;
    QRect FNormalGeometry;  // the window's bounds before it was maximized
};

void TQtFormWidget::closeEvent(QCloseEvent* event)
{
    // The model decides: OnCloseQuery, OnClose, then hiding reaches us as Visible.
    event->ignore();
    if (FPeer)
        FPeer->UserClose();
}

void TQtFormWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (FPeer)
        FPeer->WindowResized();
}

void TQtFormWidget::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (FPeer)
        FPeer->ClientPlaced();
    // Only the user's moves: the window system's, not ours from the model.
    if (FPeer && event->spontaneous())
        FPeer->WindowMoved();
}

void TQtFormWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (FPeer) {
        FPeer->ApplyOwner();
        FPeer->ClientPlaced();
    }
}

void TQtFormWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (FPeer && event->type() == QEvent::ActivationChange && isActiveWindow())
        FPeer->WindowActivated();
    if (FPeer && event->type() == QEvent::WindowStateChange)
        FPeer->WindowStateChanged();
}

}  // namespace

void QtClickedIntoForm(TCustomForm& form)
{
    if (auto* peer = dynamic_cast<TQtFormPeer*>(form.Peer()))
        peer->TakeKeysOnClick();
}

std::unique_ptr<TPeer> CreateFormPeer(TControl& control)
{
    auto* form = dynamic_cast<TCustomForm*>(&control);
    if (!form)
        return nullptr;
    return std::make_unique<TQtFormPeer>(*form);
}
