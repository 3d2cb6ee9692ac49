#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVariantList>
#include <array>
#include <functional>
#include <optional>

class Database;
struct BoxRecord;

// Which stored graphs a comparison across specimens takes in.
struct ResultSelection {
    QList<qint32> directories; // graph directories; empty takes them all
    std::optional<QDate> from; // test date, inclusive; a graph without one
    std::optional<QDate> to; //   is left out once either bound is given
    // Name filter: with * or ? a pattern for the whole name, otherwise a part
    // of the name; letters A-Z match either case. Empty takes every name.
    QString name;
};

// One stored graph as the comparison sees it: where it is, when it was
// tested, its five results and the limits stored with it.
struct GraphResult {
    qint32 UntID = 0;
    qint32 VerzID = 0;
    QString directory;
    QString Kovra;
    QDate PruefAm; // invalid when the graph has no test date
    QString GrwBez; // trimmed; empty when no limit file was related
    std::array<float, 6> Erg {}; // 1..5
    std::array<float, 6> GWU {};
    std::array<float, 6> GwO {};
    int Fehlend = 0; // readings that were missing and interpolated
    // The specimen columns in RecordColumns::specimen() order, as stored
    // (dates as ISO texts, Null where unknown); filled only on request.
    QVariantList specimen;

    bool hasLimitFile() const { return !GrwBez.isEmpty(); }
};

// Reads the selected graphs in test-date order (graphs without a date
// first, equal dates by key). Reads the result columns only, plus the
// specimen columns with `withSpecimen`; never the curve. Empty optional on
// a database failure, with db.lastError().
std::optional<QList<GraphResult>> QueryGraphResults(
    Database &db, const ResultSelection &selection, bool withSpecimen = false);

// Hands each selected graph with its curve (x, y and the end mark filled
// into `curve`) to `visit`, one at a time in the same order, so a large
// selection never sits in memory whole. False on a database failure.
bool ForEachGraphCurve(Database &db, const ResultSelection &selection,
    const std::function<void(const GraphResult &, const BoxRecord &curve)> &visit);

// The LIKE pattern of a name filter (escape character "\").
QString NameFilterPattern(const QString &filter);
