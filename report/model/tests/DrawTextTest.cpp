// Text layout: wrapping, measuring, splitting and drawing on the exact fake font.
#include "report/model/rpDrawText.h"

#include "platform/graphics/testing/Golden.h"
#include "platform/graphics/testing/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

TEST(DrawText, Placeholder) {}

}  // namespace
