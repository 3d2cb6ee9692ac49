#pragma once

#include <QString>

class Database;

struct MaintenanceReport {
    QString problem; // empty when every step ran
    QString summary; // what was done, for the operator
};

// The reorganisation of a database on a server: the server's own
// maintenance of the program's tables (VACUUM, ANALYZE) and a check of their
// indexes, rebuilding any that the server finds invalid or, where the amcheck
// extension is installed, inconsistent. Other workstations go on working
// meanwhile; keys are never touched.
MaintenanceReport MaintainServerDatabase(Database &db);
