// Runs the published-property contract over every class this layer and its tests register.
#include "platform/classes/tests/PropertyContract.h"

#include "platform/classes/tests/TestClasses.h"

namespace {

TEST(PropertyContract, EveryRegisteredClassKeepsItsContract)
{
    RegisterTestClasses();
    for (TClass cls : RegisteredClasses())
        CheckPublishedContract(cls);
}

}  // namespace
