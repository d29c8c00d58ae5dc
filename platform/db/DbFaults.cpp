#include "platform/db/DbFaults.h"

#include "platform/db/DbConsts.h"

#include <sqlite3.h>

#include <string>

namespace {
int gFailAt = 0;
int gCount = 0;
}  // namespace

namespace DbFaults {
void FailStatement(int n)
{
    gFailAt = n;
    gCount = 0;
}

void Clear()
{
    gFailAt = 0;
    gCount = 0;
}

int Count() { return gCount; }
void ResetCount() { gCount = 0; }

void BeforeStatement()
{
    ++gCount;
    if (gFailAt > 0 && gCount == gFailAt) {
        EDbError e(TDbMessage::InjectedFault, {std::to_string(gCount)});
        e.SetSqliteCode(SQLITE_IOERR);
        throw e;
    }
}
}  // namespace DbFaults
