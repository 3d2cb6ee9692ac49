#include "store/DatabaseChoice.h"

#include "store/DatabaseTarget.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace
{
const char kKey[] = "database/connection";

// Only a named program has a configuration file of its own; a nameless one
// (a test) neither reads nor writes the user's.
bool hasConfiguration()
{
    return !QCoreApplication::organizationName().isEmpty();
}
} // namespace

QString RememberedDatabase()
{
    if (!hasConfiguration())
        return {};
    return QSettings().value(QLatin1String(kKey)).toString();
}

void RememberDatabase(const QString &text)
{
    if (!hasConfiguration())
        return;
    const DatabaseTarget target = DatabaseTarget::parse(text.trimmed());
    // A file is kept with its full path, so that it is the same file
    // whichever folder the program is started from.
    const QString kept
        = target.onServer() ? target.display() : QFileInfo(target.file).absoluteFilePath();
    QSettings().setValue(QLatin1String(kKey), kept);
}
