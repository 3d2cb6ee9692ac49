#pragma once

#include <QList>
#include <QString>

class Notation;
class Store;
struct Settings;

// A report of stored graphs without a screen: the settings come from the
// database, the graphs with keys `keys` (at most five) go into boxes 1, 2,
// ... in that order, and the report of the scope `scope` (minutes) is
// written as a PDF file. `box` 0 prints all boxes of the scope, 1..5 the
// one-box print of that box. `notes` receives remarks for the user, such
// as a loaded record that gets no page. False with `error` on any failure;
// no file is left behind then.
struct StoredReportRequest
{
    QList<qint32> keys;
    float scope = 10;
    int box = 0;
    QString output;
};

bool PrintStoredReport(Store &store, const Notation &notation, const StoredReportRequest &request,
                       QString *error, QStringList *notes = nullptr);
