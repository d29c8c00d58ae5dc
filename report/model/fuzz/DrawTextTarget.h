// DrawTextTarget.h - one run of the text layout over arbitrary bytes, shared by the fuzzer
// and by the test that replays its corpus.
#pragma once

#include <cstddef>
#include <cstdint>

// The first bytes choose the options, the width and the height; the rest is the text
// (tags allowed). Lays it out, measures, splits and draws it on a recording canvas.
void FuzzDrawText(const uint8_t* data, size_t size);
