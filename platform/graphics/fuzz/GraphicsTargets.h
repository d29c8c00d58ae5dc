// GraphicsTargets.h - the graphics readers over arbitrary bytes, as the fuzz targets and the
// corpus replay in the tests run them. Each returns normally or the reader refused the
// data with EInvalidGraphic, caught here; anything else is a fault.
#pragma once

#include <cstddef>
#include <cstdint>

// JPEG data as a picture loads it, decoded into a bitmap.
void FuzzJpeg(const uint8_t* data, size_t size);
// BMP files.
void FuzzBmp(const uint8_t* data, size_t size);
// Our metafile stream, loaded and played onto a bitmap.
void FuzzMetafile(const uint8_t* data, size_t size);
