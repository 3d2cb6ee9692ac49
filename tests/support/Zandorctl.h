#pragma once

#include <QString>
#include <QStringList>

// What one run of zandorctl gave: exit status (-1 when it crashed or did not
// end in time), its output, and how long it took.
struct CtlRun {
    int status = -1;
    QString out;
    QString err;
    qint64 millis = 0;
};

// Runs zandorctl (the one ZANDORCTL names, else the one built beside the
// tests) with nothing on its input. The wait turns this process's event
// loop, so a simulator served from here goes on answering.
CtlRun RunZandorctl(const QStringList &args, int timeoutMs = 120000);
