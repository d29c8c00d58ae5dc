// The Qt backend's wheel, window scroll bars and tool-bar pictures, offscreen: a wheel
// turn reaches the model once and the widget scrolls by itself only when no handler took
// it; a window's own bars mirror the model and hand every request back to it; tool
// buttons show their list's pictures, fall back to captions, and show hints as tooltips.
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtPeer.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/QtText.h"
#include "platform/qt/tests/QtTestApp.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"

#include <QApplication>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

// A window with both scroll bars of its own, positions 0 .. Range - Page.
class TBarsWindow : public TCustomControl {
    SKLAD_CLASS_NOPUBLISH(TBarsWindow, TCustomControl)
public:
    explicit TBarsWindow(TComponent* AOwner) : TCustomControl(AOwner) {}
    int Range = 5000, Page = 200, Pos = 0;
    std::vector<int> Codes;

    bool HasScrollBar(TScrollBarKind) const override { return true; }
    TScrollBarInfo GetScrollBarInfo(TScrollBarKind kind) const override
    {
        if (kind == sbHorizontal)
            return {0, 0, 100, 0, false};
        return {0, Range, Page, Pos, true};
    }
    int GetEdgeWidth() const override { return kClientEdgeWidth; }
    TRect ClientRect() const override
    {
        const int inset = 2 * kClientEdgeWidth + kScrollBarSize;
        return Rect(0, 0, GetWidth() - inset, GetHeight() - inset);
    }
    void MoveTo(int pos)
    {
        Pos = std::clamp(pos, 0, Range - Page);
        Changed(TControlChange::Scroll);
    }

protected:
    void DoScroll(TScrollBarKind, TScrollCode code, int pos) override
    {
        Codes.push_back(int(code));
        switch (code) {
        case scLineDown: MoveTo(Pos + 8); break;  // steps of the window, not of the bar
        case scLineUp: MoveTo(Pos - 8); break;
        case scPageDown: MoveTo(Pos + 300); break;
        case scTrack: MoveTo(pos); break;
        case scBottom: MoveTo(Range); break;
        default: break;
        }
    }
};
SKLAD_DEFINE_CLASS(TBarsWindow)

class QtWheelScrollImages : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_qt";
        static char* argv[] = {name, nullptr};
        QtTestApp();
        static const bool registered = (RegisterGuiClasses(), true);
        (void)registered;
        FBackend = std::make_unique<TQtBackend>(argc, argv);
        CreateApplication();
        Application->CreateForm(Form);
        Form->SetBounds(100, 80, 520, 420);
        Form->SetShowHint(true);
    }
    void TearDown() override
    {
        QApplication::closeAllWindows();
        DestroyApplication();
        FBackend.reset();
        QApplication::processEvents();
    }
    template <class W = QWidget>
    W* WidgetOf(TControl* control) const
    {
        TQtControlPeer* peer = QtPeerOf(control);
        return peer ? qobject_cast<W*>(peer->Widget()) : nullptr;
    }
    // One notch (or `delta`) of the wheel over `widget`'s point p.
    static void Turn(QWidget* widget, int delta, QPoint p = {5, 5})
    {
        QWheelEvent e(p, widget->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &e);
    }

    TForm* Form = nullptr;

private:
    std::unique_ptr<TQtBackend> FBackend;
};

TEST_F(QtWheelScrollImages, AWheelTurnReachesTheModelOnceAndScrollsTheWidgetOnlyWhenNobodyTookIt)
{
    auto* tree = new TTreeView(Form);
    tree->SetParent(Form);
    tree->SetBounds(8, 8, 200, 120);
    for (int i = 0; i < 60; ++i)
        tree->GetItems()->Add(nullptr, "Группа " + IntToStr(i));
    std::vector<int> heard;
    bool take = false;
    Form->OnMouseWheel = TMouseWheelEvent::Lambda([&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        heard.push_back(delta);
        handled = take;
    });
    Form->Show();
    auto* view = WidgetOf<QTreeWidget>(tree);
    ASSERT_NE(view, nullptr);
    QScrollBar* bar = view->verticalScrollBar();
    ASSERT_EQ(bar->value(), 0);

    Turn(view->viewport(), -120);
    EXPECT_EQ(heard, (std::vector<int>{-120})) << "the tree passed the turn up to the form";
    EXPECT_GT(bar->value(), 0) << "no handler took it: the tree scrolls by itself";
    EXPECT_EQ(tree->TopIndex(), bar->value()) << "and the model hears where it went";

    const int before = bar->value();
    take = true;
    Turn(view->viewport(), -120);
    EXPECT_EQ(heard.size(), 2u);
    EXPECT_EQ(bar->value(), before) << "the form's handler took the turn: the tree stays";

    // A sideways wheel is not the platform's wheel.
    QWheelEvent sideways(QPointF(5, 5), view->viewport()->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(120, 0),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &sideways);
    EXPECT_EQ(heard.size(), 2u);
}

TEST_F(QtWheelScrollImages, WindowScrollBarsMirrorTheModelAndReportEveryRequest)
{
    auto* window = new TBarsWindow(Form);
    window->SetParent(Form);
    window->SetBounds(10, 10, 300, 250);
    int wheel = 0;
    window->OnMouseWheel = TMouseWheelEvent::Lambda([&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        wheel += delta;
        handled = true;
    });
    Form->Show();
    QScrollBar* v = QtWindowScrollBar(window, sbVertical);
    QScrollBar* h = QtWindowScrollBar(window, sbHorizontal);
    ASSERT_NE(v, nullptr);
    ASSERT_NE(h, nullptr);

    // Placed right of and below the client area, inside the edge.
    const TRect client = window->ClientRect();
    EXPECT_EQ(v->geometry(), QRect(2 + client.Width(), 2, kScrollBarSize, client.Height()));
    EXPECT_EQ(h->geometry(), QRect(2, 2 + client.Height(), client.Width(), kScrollBarSize));
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->maximum(), 5000 - 200);
    EXPECT_EQ(v->pageStep(), 200);
    EXPECT_TRUE(v->isEnabled());
    EXPECT_FALSE(h->isEnabled()) << "a bar that cannot scroll is shown disabled";

    // Requests on the bar go to the model, which decides the position.
    v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(window->Pos, 8);
    EXPECT_EQ(v->value(), 8) << "the window's line step, not the bar's";
    v->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(v->value(), 308);
    v->setSliderPosition(1234);  // the thumb dragged
    EXPECT_EQ(window->Pos, 1234);
    v->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(window->Pos, 4800);
    EXPECT_EQ(window->Codes, (std::vector<int>{scLineDown, scPageDown, scTrack, scBottom}));

    // The model moves: the bar follows, without reporting back.
    window->Codes.clear();
    window->MoveTo(100);
    EXPECT_EQ(v->value(), 100);
    window->Range = 150;  // now the page is larger than the range
    window->MoveTo(0);
    EXPECT_EQ(v->maximum(), 0);
    EXPECT_TRUE(window->Codes.empty());

    // The wheel over a bar is the window's: the bar does not scroll by itself.
    window->Range = 5000;
    window->MoveTo(500);
    Turn(v, -120);
    EXPECT_EQ(wheel, -120);
    EXPECT_EQ(v->value(), 500);
}

// A 16 x 16 picture: red with a transparent (fuchsia) top-left pixel.
std::unique_ptr<TBitmap> RedSquare()
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(16, 16);
    bitmap->GetCanvas()->GetBrush()->SetColor(clRed);
    bitmap->GetCanvas()->FillRect(Rect(0, 0, 16, 16));
    bitmap->GetCanvas()->SetPixel(0, 0, clFuchsia);
    return bitmap;
}

TEST_F(QtWheelScrollImages, ToolButtonsShowPicturesOrCaptionsAndHintsAsTooltips)
{
    auto* bar = new TToolBar(Form);
    bar->SetParent(Form);
    auto* list = new TImageList(Form);
    auto picture = RedSquare();
    list->AddMasked(picture.get(), clFuchsia);
    auto* print = new TToolButton(Form);
    print->SetParent(bar);
    print->SetImageIndex(0);
    print->SetCaption("Печать");
    print->SetHint("Печать отчета");
    auto* close = new TToolButton(Form);
    close->SetParent(bar);
    close->SetLeft(30);
    close->SetImageIndex(7);  // not in the list
    close->SetCaption("Закрыть");
    Form->Show();

    auto* printW = WidgetOf<QToolButton>(print);
    auto* closeW = WidgetOf<QToolButton>(close);
    ASSERT_NE(printW, nullptr);
    EXPECT_EQ(printW->toolButtonStyle(), Qt::ToolButtonTextOnly) << "no list yet: the caption";
    EXPECT_EQ(FromQString(printW->text()), "Печать");

    bar->SetImages(list);
    EXPECT_FALSE(printW->icon().isNull());
    EXPECT_EQ(printW->toolButtonStyle(), Qt::ToolButtonIconOnly);
    const QImage shown = printW->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0) << "the mask colour is transparent";
    EXPECT_EQ(shown.pixel(8, 8), qRgb(255, 0, 0));
    EXPECT_EQ(closeW->toolButtonStyle(), Qt::ToolButtonTextOnly) << "an index outside the list: the caption";
    EXPECT_EQ(FromQString(printW->toolTip()), "Печать отчета");

    bar->SetShowCaptions(true);
    EXPECT_EQ(printW->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);

    delete list;
    EXPECT_TRUE(printW->icon().isNull()) << "the list is gone";
    EXPECT_EQ(printW->toolButtonStyle(), Qt::ToolButtonTextOnly);
}

}  // namespace
