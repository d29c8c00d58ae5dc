#include "platform/rtl/Variant.h"

#include <gtest/gtest.h>

TEST(Cp1251, HeadersCompile) { SUCCEED(); }
