// FuzzTargets.h - the readers of outside data in platform/classes, as functions that the
// libFuzzer programs and the corpus-replay test share. Each returns normally for any
// input; only an error of our own (a crash, a non-Exception throw) escapes.
#pragma once

#include <cstddef>
#include <cstdint>

void FuzzComponentStream(const uint8_t* data, size_t size);
void FuzzObjectText(const uint8_t* data, size_t size);
