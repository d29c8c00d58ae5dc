// Peers of panels, splitters, paint boxes, images, bevels and scroll boxes, and the
// plain container used for controls without a peer of their own.
#include "platform/qt/QtCanvasWidget.h"
#include "platform/qt/QtPeer.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/QtText.h"

#include "platform/gui/ExtCtrls.h"

#include <QFrame>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <array>

namespace {

// A panel draws its caption in the middle, over its bevels.
class TQtPanelWidget : public QFrame {
public:
    QString Caption;
    Qt::Alignment CaptionAlignment = Qt::AlignCenter;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        if (Caption.isEmpty())
            return;
        QPainter painter(this);
        painter.drawText(contentsRect().adjusted(2, 0, -2, 0), int(CaptionAlignment), Caption);
    }
};

class TPanelPeer : public TQtControlPeer {
public:
    explicit TPanelPeer(TCustomPanel& panel) : TQtControlPeer(panel, new TQtPanelWidget), FPanel(panel) {}
    bool ClicksOnRelease() const override { return true; }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<TQtPanelWidget*>(Widget());
        if (HasChange(what, TControlChange::Caption)) {
            w->Caption = StripAccelerators(ToQString(FPanel.GetCaption()));
            w->update();
        }
        if (HasChange(what, TControlChange::Style)) {
            const TBevelCut outer = FPanel.GetBevelOuter();
            if (outer == bvNone && FPanel.GetBorderStyle() == bsNone) {
                w->setFrameStyle(QFrame::NoFrame);
            } else {
                w->setFrameShape(QFrame::Panel);
                w->setFrameShadow(outer == bvLowered ? QFrame::Sunken : QFrame::Raised);
                w->setLineWidth(std::max(1, FPanel.GetBevelWidth()));
            }
            w->CaptionAlignment = Qt::AlignVCenter | (FPanel.GetAlignment() == taLeftJustify    ? Qt::AlignLeft
                                                      : FPanel.GetAlignment() == taRightJustify ? Qt::AlignRight
                                                                                                : Qt::AlignHCenter);
            w->update();
        }
    }

private:
    TCustomPanel& FPanel;
};

// Drag to resize: the model moves the splitter and the control it resizes.
class TQtSplitterWidget : public QWidget {
public:
    std::function<void(int)> OnDragged;
    bool Vertical = true;  // a vertical bar (left/right aligned) drags sideways

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            FLast = event->globalPosition().toPoint();
        FDragging = event->button() == Qt::LeftButton;
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!FDragging)
            return;
        const QPoint now = event->globalPosition().toPoint();
        const int delta = Vertical ? now.x() - FLast.x() : now.y() - FLast.y();
        if (delta != 0 && OnDragged) {
            FLast = now;
            // Through a copy: what it runs may take the peer, and this callback, away.
            const auto dragged = OnDragged;
            dragged(delta);
        }
    }
    void mouseReleaseEvent(QMouseEvent*) override { FDragging = false; }

private:
    QPoint FLast;
    bool FDragging = false;
};

class TSplitterPeer : public TQtControlPeer {
public:
    explicit TSplitterPeer(TSplitter& splitter) : TQtControlPeer(splitter, new TQtSplitterWidget), FSplitter(splitter)
    {
        static_cast<TQtSplitterWidget*>(Widget())->OnDragged = [this](int delta) { FSplitter.UserDragged(delta); };
    }
    // The widget outlives the peer (deleted later): its callback into this peer goes first.
    ~TSplitterPeer() override
    {
        if (auto* w = static_cast<TQtSplitterWidget*>(Widget()))
            w->OnDragged = nullptr;
    }

protected:
    void Update(TControlChanges what) override
    {
        if (HasChange(what, TControlChange::Bounds) || HasChange(what, TControlChange::Style)) {
            auto* w = static_cast<TQtSplitterWidget*>(Widget());
            w->Vertical = FSplitter.GetAlign() != alTop && FSplitter.GetAlign() != alBottom;
            w->setCursor(w->Vertical ? Qt::SplitHCursor : Qt::SplitVCursor);
        }
    }

private:
    TSplitter& FSplitter;
};

// Paint boxes and images: custom painting arrives with the canvas device; until then
// the widget keeps its place and colour.
class TPlainPeer : public TQtControlPeer {
public:
    // `clicks`: a press and release make a click (paint boxes and images).
    TPlainPeer(TControl& control, QWidget* widget, bool clicks = false)
        : TQtControlPeer(control, widget), FClicks(clicks)
    {
    }
    bool ClicksOnRelease() const override { return FClicks; }

protected:
    void Update(TControlChanges) override {}

private:
    bool FClicks;
};

class TBevelPeer : public TQtControlPeer {
public:
    explicit TBevelPeer(TBevel& bevel) : TQtControlPeer(bevel, new QFrame), FBevel(bevel) {}

protected:
    void Update(TControlChanges what) override
    {
        if (!HasChange(what, TControlChange::Style))
            return;
        auto* w = static_cast<QFrame*>(Widget());
        switch (FBevel.GetShape()) {
        case bsTopLine:
        case bsBottomLine: w->setFrameShape(QFrame::HLine); break;
        case bsLeftLine:
        case bsRightLine: w->setFrameShape(QFrame::VLine); break;
        case bsSpacer: w->setFrameShape(QFrame::NoFrame); break;
        default: w->setFrameShape(QFrame::Box); break;
        }
        w->setFrameShadow(FBevel.GetStyle() == bsRaised ? QFrame::Raised : QFrame::Sunken);
    }

private:
    TBevel& FBevel;
};

// Shows the window's scroll state on its Qt bar without the bar reporting it back.
void ShowScrollInfo(QScrollBar* bar, const TScrollBarInfo& info)
{
    const QSignalBlocker block(bar);
    bar->setRange(info.Min, std::max(info.Min, info.Max - info.Page));
    bar->setPageStep(std::max(info.Page, 1));
    bar->setValue(info.Pos);
    bar->setEnabled(info.Enabled);
}

// What a Qt scroll bar's action asks of the window; false for an action that asks nothing.
bool ScrollCodeOf(int action, TScrollCode& code)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; return true;
    case QAbstractSlider::SliderSingleStepSub: code = scLineUp; return true;
    case QAbstractSlider::SliderPageStepAdd: code = scPageDown; return true;
    case QAbstractSlider::SliderPageStepSub: code = scPageUp; return true;
    case QAbstractSlider::SliderToMinimum: code = scTop; return true;
    case QAbstractSlider::SliderToMaximum: code = scBottom; return true;
    case QAbstractSlider::SliderMove: code = scTrack; return true;
    default: return false;
    }
}

// A window with scroll bars of its own (TWinControl::HasScrollBar): a frame with the
// client edge, the client area where the children go, and a bar right of and below it.
// The bars mirror GetScrollBarInfo; every request the user makes on them (arrows, track,
// thumb, ends) goes to the model, which decides the position the bar then shows.
// A scroll box's client area keeps its whole size, so its bars lie over the client's
// right and bottom edges, shown while the model says they are needed; the children move
// only by the model's Position, never by the widget scrolling on its own.
class TScrollWindowPeer : public TQtControlPeer {
public:
    explicit TScrollWindowPeer(TWinControl& window, bool overlay = false)
        : TQtControlPeer(window, new QFrame), FWindow(window), FOverlay(overlay)
    {
        auto* frame = static_cast<QFrame*>(Widget());
        FClient = new QWidget(frame);
        WatchInput(FClient);
        for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
            auto* bar = new QScrollBar(kind == sbHorizontal ? Qt::Horizontal : Qt::Vertical, frame);
            bar->setFocusPolicy(Qt::NoFocus);
            QObject::connect(bar, &QAbstractSlider::actionTriggered, Context(),
                             [this, kind](int action) { Report(kind, action); });
            QObject::connect(bar, &QAbstractSlider::sliderReleased, Context(), [this, kind, bar] {
                QPointer<QObject> alive = Context();
                FWindow.UserScroll(kind, scPosition, bar->value());
                if (alive)
                    Mirror();
            });
            WatchInput(bar);
            FBars[kind] = bar;
        }
    }
    QWidget* Container() const override { return FClient; }
    QWidget* OriginWidget() const override { return FClient; }
    QScrollBar* Bar(TScrollBarKind kind) const { return FBars[kind]; }

protected:
    bool IsNonClientPart(QWidget* widget) const override
    {
        return widget != FBars[sbHorizontal] && widget != FBars[sbVertical];
    }
    void Update(TControlChanges what) override
    {
        if (HasChange(what, TControlChange::Style)) {
            auto* frame = static_cast<QFrame*>(Widget());
            const int edge = FWindow.GetEdgeWidth();
            frame->setFrameStyle(edge > 0 ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
            frame->setLineWidth(std::max(edge, 1));
        }
        if (HasChange(what, TControlChange::Bounds) || HasChange(what, TControlChange::Style) ||
            (FOverlay && HasChange(what, TControlChange::Scroll)))
            Layout();
        if (HasChange(what, TControlChange::Scroll) || HasChange(what, TControlChange::Bounds) ||
            HasChange(what, TControlChange::Enabled))
            Mirror();
    }

private:
    void Layout()
    {
        const int edge = FWindow.GetEdgeWidth();
        const TRect client = FWindow.ClientRect();
        FClient->setGeometry(edge, edge, client.Width(), client.Height());
        QScrollBar* h = FBars[sbHorizontal];
        QScrollBar* v = FBars[sbVertical];
        const bool hasH = FWindow.HasScrollBar(sbHorizontal), hasV = FWindow.HasScrollBar(sbVertical);
        if (FOverlay) {
            const int s = kScrollBarSize;
            h->setGeometry(edge, edge + client.Height() - s, std::max(0, client.Width() - (hasV ? s : 0)), s);
            v->setGeometry(edge + client.Width() - s, edge, s, std::max(0, client.Height() - (hasH ? s : 0)));
            h->raise();
            v->raise();
        } else {
            h->setGeometry(edge, edge + client.Height(), client.Width(), kScrollBarSize);
            v->setGeometry(edge + client.Width(), edge, kScrollBarSize, client.Height());
        }
        h->setVisible(hasH);
        v->setVisible(hasV);
    }
    void Mirror()
    {
        for (TScrollBarKind kind : {sbHorizontal, sbVertical})
            ShowScrollInfo(FBars[kind], FWindow.GetScrollBarInfo(kind));
    }
    void Report(TScrollBarKind kind, int action)
    {
        TScrollCode code;
        if (!ScrollCodeOf(action, code))
            return;
        QPointer<QObject> alive = Context();
        FWindow.UserScroll(kind, code, code == scTrack ? FBars[kind]->sliderPosition() : 0);
        // The bar goes on to move to where it thought the request led; it shows the
        // model's position instead, also when the model did not move.
        if (alive)
            Mirror();
    }

    TWinControl& FWindow;
    bool FOverlay;
    QWidget* FClient;
    std::array<QScrollBar*, 2> FBars{};
};

}  // namespace

TQtOverlayScrollBars::TQtOverlayScrollBars(TWinControl& window, QWidget* parent, QObject* context)
    : FWindow(window), FContext(context)
{
    for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
        auto* bar = new QScrollBar(kind == sbHorizontal ? Qt::Horizontal : Qt::Vertical, parent);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->hide();
        QObject::connect(bar, &QAbstractSlider::actionTriggered, context,
                         [this, kind](int action) { Report(kind, action); });
        QObject::connect(bar, &QAbstractSlider::sliderReleased, context, [this, kind, bar] {
            QPointer<QObject> alive = FContext;
            FWindow.UserScroll(kind, scPosition, bar->value());
            if (alive)
                Mirror();
        });
        FBars[kind] = bar;
    }
}

void TQtOverlayScrollBars::Update(const QRect& client)
{
    const int s = kScrollBarSize;
    const bool hasH = FWindow.HasScrollBar(sbHorizontal), hasV = FWindow.HasScrollBar(sbVertical);
    QScrollBar* h = FBars[sbHorizontal];
    QScrollBar* v = FBars[sbVertical];
    h->setGeometry(client.left(), client.bottom() + 1 - s, std::max(0, client.width() - (hasV ? s : 0)), s);
    v->setGeometry(client.right() + 1 - s, client.top(), s, std::max(0, client.height() - (hasH ? s : 0)));
    h->setVisible(hasH);
    v->setVisible(hasV);
    h->raise();
    v->raise();
    Mirror();
}

void TQtOverlayScrollBars::Mirror()
{
    for (TScrollBarKind kind : {sbHorizontal, sbVertical})
        ShowScrollInfo(FBars[kind], FWindow.GetScrollBarInfo(kind));
}

void TQtOverlayScrollBars::Report(TScrollBarKind kind, int action)
{
    TScrollCode code;
    if (!ScrollCodeOf(action, code))
        return;
    QPointer<QObject> alive = FContext;
    FWindow.UserScroll(kind, code, code == scTrack ? FBars[kind]->sliderPosition() : 0);
    // The bar goes on to move to where it thought the request led; it shows the model's
    // position instead, also when the model did not move.
    if (alive)
        Mirror();
}

QScrollBar* QtWindowScrollBar(const TWinControl* control, TScrollBarKind kind)
{
    auto* peer = dynamic_cast<TScrollWindowPeer*>(QtPeerOf(control));
    return peer ? peer->Bar(kind) : nullptr;
}

std::unique_ptr<TPeer> CreateExtPeer(TControl& control)
{
    if (auto* c = dynamic_cast<TCustomPanel*>(&control))
        return std::make_unique<TPanelPeer>(*c);
    if (auto* c = dynamic_cast<TSplitter*>(&control))
        return std::make_unique<TSplitterPeer>(*c);
    if (auto* c = dynamic_cast<TBevel*>(&control))
        return std::make_unique<TBevelPeer>(*c);
    if (auto* c = dynamic_cast<TScrollBox*>(&control))
        return std::make_unique<TScrollWindowPeer>(*c, true);
    if (auto* c = dynamic_cast<TPaintBox*>(&control))
        return std::make_unique<TPlainPeer>(control, new TQtCanvasWidget(*c), true);
    if (dynamic_cast<TImage*>(&control))
        return std::make_unique<TPlainPeer>(control, new QWidget, true);
    return nullptr;
}

std::unique_ptr<TPeer> CreateGenericPeer(TControl& control)
{
    auto* win = dynamic_cast<TWinControl*>(&control);
    std::unique_ptr<TQtControlPeer> peer;
    if (win && (win->HasScrollBar(sbHorizontal) || win->HasScrollBar(sbVertical)))
        peer = std::make_unique<TScrollWindowPeer>(*win);
    else
        peer = std::make_unique<TPlainPeer>(control, new QWidget);
    // A custom control that stops the tab key can hold the focus, so the model's active
    // control gets the keys (a preview scrolls by its arrows and page keys). A click does
    // not move the focus to it, as on the platform, where such a control takes the focus
    // only when its code asks: otherwise a click on a part of a composite control (the
    // preview's page surface) took the keys from the control the model has active.
    if (win && win->GetTabStop())
        peer->Widget()->setFocusPolicy(Qt::TabFocus);
    return peer;
}
