#pragma once

#include "store/Database.h"

#include <QSqlError>
#include <QString>

// What an error of the engine means for the operator. The engine names its
// errors by number; these turn the number into the cause (full disk, lock,
// damage, ...) so that no message calls a full disk a damaged file.
namespace EngineErrors
{

Database::Problem problemOf(const QSqlError &error);
// "it is locked by another program", "the disk is full (...)", ...
QString causeOf(Database::Problem problem, const QString &detail);
// One line for a failed read or write: the cause in words, then the
// engine's own text.
QString describe(const QSqlError &error);

} // namespace EngineErrors
