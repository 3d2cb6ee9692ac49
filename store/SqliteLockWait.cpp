#include "store/SqliteLockWait.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <cstdint>
#include <sqlite3.h>

namespace
{

// One wait at a time per thread: the engine calls the handler with count 0
// at the start of each wait and from the same thread until it ends.
thread_local QElapsedTimer waitClock;

int waitALittle(void *limit, int count)
{
    if (count == 0)
        waitClock.start();
    if (waitClock.elapsed() >= qint64(reinterpret_cast<std::intptr_t>(limit)))
        return 0; // give up: the caller gets "in use"
    sqlite3_sleep(1);
    return 1;
}

} // namespace

bool WaitForLocksUpTo(QSqlDatabase &db, int milliseconds)
{
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return false;
    sqlite3 *handle = *static_cast<sqlite3 *const *>(v.constData());
    return handle
        && sqlite3_busy_handler(
               handle, waitALittle, reinterpret_cast<void *>(std::intptr_t(milliseconds)))
        == SQLITE_OK;
}
