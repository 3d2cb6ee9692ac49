#pragma once

#include <QString>

// The database the program and zandorctl use when no --db is given: the
// last one chosen, kept in the user's configuration file, always without a
// password (libpq finds that in ~/.pgpass or PGPASSWORD). Empty when none
// was ever chosen.
QString RememberedDatabase();
// Keeps text (a file or a connection text) as the choice; a password in it
// is left out.
void RememberDatabase(const QString &text);
