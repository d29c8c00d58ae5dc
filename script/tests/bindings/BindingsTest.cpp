// The bindings from C++: registration, ownership of registered items, freeing
// rules, raw containers, and the sound behaviour the platform lacks.
#include "script/tests/bindings/BindingsFixture.h"

namespace {

TEST_F(BindingsTest, Placeholder)
{
    EXPECT_TRUE(ScriptBindingsActive());
}

} // namespace
