#pragma once

#include "store/Database.h"

#include <QString>

// What the bytes of an existing file say before the engine touches it: is it
// a database file at all, and is it as long as its own header says (when no
// write-ahead log beside it may hold the rest).
struct FileCheck {
    Database::Problem problem = Database::Problem::None;
    QString cause; // for the operator, when there is a problem
};

FileCheck CheckDatabaseFile(const QString &path);
