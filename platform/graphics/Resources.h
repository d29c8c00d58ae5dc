// Resources.h - the program's named resources: bitmaps and cursors by name.
//
// On the platform a program carries its bitmaps and cursors in its own module and loads
// them by name (LoadBitmap, LoadCursor). Here each library registers, at its start-up, a
// maker for every image it ships; the first load makes the image and keeps it, later loads
// hand out the kept one. Names compare without regard to ASCII case, as resource names do.
//
// Not here: where the pictures come from. Each library draws its own.
#pragma once

#include "platform/graphics/CanvasDevice.h"
#include "platform/rtl/System.h"

#include <functional>

SKLAD_EXCEPTION(EResNotFound, Exception)

// A cursor's picture: pixels with alpha (0 where the screen shows through) and the hot
// spot, the pixel that points.
struct TCursorImage {
    TPixelBuffer Pixels;
    int HotX = 0, HotY = 0;
};

using TBitmapResourceMaker = std::function<TPixelBuffer()>;
using TCursorResourceMaker = std::function<TCursorImage()>;

// Registers (or replaces) a resource; a replaced one is made again on its next load.
void RegisterBitmapResource(const AnsiString& name, TBitmapResourceMaker maker);
void RegisterCursorResource(const AnsiString& name, TCursorResourceMaker maker);
// The resource's picture, made on first use; nullptr when no resource has that name.
// The pointer stays valid until the resource is registered again.
const TPixelBuffer* FindBitmapResource(const AnsiString& name);
const TCursorImage* FindCursorResource(const AnsiString& name);
