// FuzzTargets.h - the readers of outside data in the report model, as plain functions the
// libFuzzer programs and the corpus replay test share. Each returns normally for any
// input: a clean error is caught inside, anything else is a bug.
#pragma once

#include <cstddef>
#include <cstdint>

// Report XML read into a template root.
void FuzzReportXML(const uint8_t* data, size_t size);
// A form-resource collection (either byte form) read into the report's collections.
void FuzzFormCollection(const uint8_t* data, size_t size);
