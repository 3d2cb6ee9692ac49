#pragma once

#include <QString>

// The database a store test works on. By default a file in the folder given;
// when ZANDOR_TEST_ENGINE is "postgresql", a database of its own, created
// for this test and dropped after it, on the server that libpq's PG*
// variables name (pg_virtualenv starts one and sets them).
class ScratchDatabase
{
public:
    explicit ScratchDatabase(const QString &folder);
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase &) = delete;
    ScratchDatabase &operator=(const ScratchDatabase &) = delete;

    // What --db would name: the file, or the server connection text.
    QString target() const { return m_target; }
    static bool serverRun();

private:
    QString m_target;
    QString m_serverDatabase; // empty for a file
};

// Ends the running test function as skipped on a server run: for tests of
// the database file itself (its bytes, locks, log), which a server has not.
#define SKIP_UNLESS_FILE()                                                                         \
    do {                                                                                           \
        if (ScratchDatabase::serverRun())                                                          \
            QSKIP("works on the database file itself");                                            \
    } while (false)

// The opposite: for tests of what only a server has.
#define SKIP_UNLESS_SERVER()                                                                       \
    do {                                                                                           \
        if (!ScratchDatabase::serverRun())                                                         \
            QSKIP("needs the test server (ZANDOR_TEST_ENGINE=postgresql)");                        \
    } while (false)
