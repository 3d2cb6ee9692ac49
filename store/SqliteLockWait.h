#pragma once

class QSqlDatabase;

// How a connection to a database file waits for another program's lock.
// The engine's own wait sleeps ever longer between looks (up to 100 ms), so
// a program writing one short transaction after another can keep a second
// one out until its time is up; looking every millisecond finds the gaps.
// Returns false when the connection is not to a database file.
bool WaitForLocksUpTo(QSqlDatabase &db, int milliseconds);
