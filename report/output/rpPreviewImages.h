// rpPreviewImages.h - the pictures of the preview window's tool bar.
//
// The window's image list holds 22 pictures of 16 x 16 pixels, by the image index each
// tool button carries (open 0, save 1, print 2, export 3, find 4, outline 5, page settings
// 7, first 8, prior 9, next 10, last 11, whole page 12, page width 13, 100% 14, two pages
// 15, hand 16, zoom 17, add page 19, delete page 20, edit page 21; 6 and 18 are unused
// and stay empty). They are drawn here with the canvas on one 352 x 16 strip, so the
// program ships no picture files; the strip's background colour clFuchsia is transparent.
#pragma once

#include "platform/graphics/Graphics.h"

#include <memory>

class TBitmap;
class TCustomImageList;

constexpr int rpPreviewImageCount = 22;
constexpr TColor rpPreviewImageMask = clFuchsia;

// The strip of all pictures, left to right, on the mask colour.
std::unique_ptr<TBitmap> rpDrawPreviewImages();
// Fills a 16 x 16 image list with the strip's pictures.
void rpLoadPreviewImages(TCustomImageList* Images);
