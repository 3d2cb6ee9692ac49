#pragma once

#include "core/OperatorMessages.h"
#include "store/Database.h"
#include "store/DatabaseTarget.h"

#include <QFileInfo>

// Opens the database a command works on; when it cannot be used the reason,
// naming the file, goes to the operator and the command ends with status 1.
// A server that wants a password has it asked for through messages.
inline bool OpenCommandDatabase(Database &db, const QString &path, OperatorMessages &messages)
{
    const Database::OpenResult opened = db.open(path, &messages);
    if (!opened)
        messages.show(opened.message);
    return opened.ok();
}

// The same for commands that only read: opening would create a missing
// database file, so a file that is not there is refused first. A server
// database is always there to be asked.
inline bool OpenExistingCommandDatabase(
    Database &db, const QString &path, OperatorMessages &messages)
{
    if (!DatabaseTarget::isConnectionText(path) && !QFileInfo::exists(path)) {
        messages.show(QStringLiteral("there is no database <") + path + QLatin1Char('>'));
        return false;
    }
    return OpenCommandDatabase(db, path, messages);
}
