// QtCanvasWidget.h - a widget whose paint event paints a control through its canvas.
//
// TPaintBox and other graphic controls draw on their Canvas from OnPaint/Paint. While
// Qt paints this widget, the control's canvas draws on a TQtPainterDevice over the
// widget; outside a paint event it is detached again (drawing then goes nowhere, as on
// the platform outside WM_PAINT). A peer creates this widget in place of a plain one.
#pragma once

#include <QWidget>

class TCanvas;
class TControl;
class TGraphicControl;

class TQtCanvasWidget : public QWidget {
public:
    explicit TQtCanvasWidget(TGraphicControl& control, QWidget* parent = nullptr);
    // Any control with a canvas of its own (a form's client area).
    TQtCanvasWidget(TControl& control, TCanvas& canvas, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TControl& FControl;
    TCanvas& FCanvas;
};
