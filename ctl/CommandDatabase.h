#pragma once

#include "core/OperatorMessages.h"
#include "store/Database.h"

// Opens the database a command works on; when it cannot be used the reason,
// naming the file, goes to the operator and the command ends with status 1.
inline bool OpenCommandDatabase(Database &db, const QString &path, OperatorMessages &messages)
{
    const Database::OpenResult opened = db.open(path);
    if (!opened)
        messages.show(opened.message);
    return opened.ok();
}
