// DbFaults.h - a test-only hook that makes the n-th statement fail.
//
// Every statement the layer runs for its callers (a query's Open, ExecSQL, the delete of the
// current row, and COMMIT) counts once. After FailStatement(n) the n-th one from then on raises
// EDbError (InjectedFault) before it reaches SQLite, exactly as a disk error would, so a test can
// break an operation at every step and check that the warehouse is left as it was. BEGIN and
// ROLLBACK never fail here: they are how a failure is cleaned up. Clear() switches the hook off.
// The hook is process-wide and not thread-safe: the program has one thread.
#pragma once

namespace DbFaults {
void FailStatement(int n);
void Clear();
// Statements counted since the last FailStatement/Clear/ResetCount.
int Count();
void ResetCount();
// Called by the layer before it runs a counted statement; raises when this one is to fail.
void BeforeStatement();
}  // namespace DbFaults
