#pragma once

struct sqlite3;

namespace odomira {

// How long an operation waits for another program's lock before it gives up.
inline constexpr int BusyWaitMs = 2000;

// Lets a connection wait for another program's lock at most BusyWaitMs. While it waits, the
// thread's pending events other than user input are processed, so a shown window keeps
// painting; clicks and keys wait until the operation is over, as nothing may use the
// connection meanwhile.
void installBusyWait(sqlite3* db);

} // namespace odomira
