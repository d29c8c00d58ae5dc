// ClassesTargets.h - the report classes under arbitrary input: a template read into a
// real report (every class registered) and then drawn and measured object by object, and
// a style file. Each returns normally for any input; anything else is a bug.
#pragma once

#include <cstddef>
#include <cstdint>

void FuzzReportTemplate(const uint8_t* data, size_t size);
void FuzzStyleFile(const uint8_t* data, size_t size);
