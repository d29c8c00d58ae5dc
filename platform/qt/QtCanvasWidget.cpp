#include "platform/qt/QtCanvasWidget.h"

#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/qt/QtCanvas.h"

#include <QPaintEvent>

TQtCanvasWidget::TQtCanvasWidget(TGraphicControl& control, QWidget* parent)
    : TQtCanvasWidget(control, *control.GetCanvas(), parent)
{
}

TQtCanvasWidget::TQtCanvasWidget(TControl& control, TCanvas& canvas, QWidget* parent)
    : QWidget(parent), FControl(control), FCanvas(canvas)
{
}

void TQtCanvasWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.setClipRect(dirty);
    TQtPainterDevice device(&painter, logicalDpiX(), logicalDpiY(), Rect(0, 0, width(), height()));
    TCanvas* canvas = &FCanvas;
    canvas->SetDevice(&device);
    struct Detach {
        TCanvas* Canvas;
        ~Detach() { Canvas->SetDevice(nullptr); }
    } detach{canvas};
    // A failing paint handler is reported like any other handler; it must not unwind
    // through Qt's event dispatch.
    auto paint = [&] { FControl.Paint(*canvas); };
    if (Application) {
        Application->Guard(paint);
    } else {
        try {
            paint();
        } catch (const std::exception&) {
        }
    }
}
