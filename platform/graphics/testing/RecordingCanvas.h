// RecordingCanvas.h - a canvas that records onto the exact fake font, for layout tests.
//
//     TRecordingCanvas c;                 // 96 pixels per inch, fake font backend
//     c.Canvas.Rectangle(0, 0, 10, 10);
//     ExpectGolden("box", c.Device.Dump());
//
// A printer page is the same with TRecordingCanvas(600, 600, /*printer=*/true).
#pragma once

#include "platform/graphics/Canvas.h"
#include "platform/graphics/RecordingDevice.h"

struct TRecordingCanvas {
    explicit TRecordingCanvas(int dpiX = kPixelsPerInch, int dpiY = kPixelsPerInch, bool printer = false,
                              TRect bounds = {})
        : Device(&FakeFontBackend(), dpiX, dpiY, bounds)
    {
        Device.SetPrinter(printer);
        Canvas.SetDevice(&Device);
    }
    ~TRecordingCanvas() { Canvas.SetDevice(nullptr); }
    TRecordingCanvas(const TRecordingCanvas&) = delete;
    TRecordingCanvas& operator=(const TRecordingCanvas&) = delete;

    AnsiString Dump() const { return Device.Dump(); }

    TRecordingDevice Device;
    TCanvas Canvas;
};
