// Graphics.h - the whole graphics layer in one include.
//
//   GraphicsObjects.h  colours, TFont, TPen, TBrush
//   Geometry.h         TPoint, TRect, TSize
//   FontBackend.h      measuring text: the font backend interface and the exact fake
//   CanvasDevice.h     what a canvas draws on
//   Canvas.h           TCanvas
//   RecordingDevice.h  the recording device (metafiles, golden tests)
//   RasterDevice.h     the software device of bitmaps
//   Graphic.h          TGraphic, TBitmap, TPicture
//   Metafile.h         TMetafile, TMetafileCanvas
//   Jpeg.h             TJPEGImage
//
// Qt devices and the Qt font backend are in platform/qt; printing in platform/printers.
#pragma once

#include "platform/graphics/Canvas.h"
#include "platform/graphics/CanvasDevice.h"
#include "platform/graphics/FontBackend.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/GraphicsObjects.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/RasterDevice.h"
#include "platform/graphics/RecordingDevice.h"
