#include "store/Schema.h"

#include "store/SqlDialect.h"

#include <QSqlError>
#include <QSqlQuery>

namespace
{

// Version 1. Single columns are REAL holding the float value; dates are ISO
// texts (yyyy-MM-dd) so a file stays right when the system's date notation
// changes. Keys (%1) are assigned by the engine, grow and are never reused,
// not even after the newest record has been deleted. Every name is quoted:
// the server keeps a quoted name as written.
const char *const kVersion1[] = {
    R"(CREATE TABLE "Verzeichnisse" (
        "VerzID" %1,
        "VerzName" TEXT NOT NULL,
        "VerzTyp" INTEGER NOT NULL))",

    R"(CREATE TABLE "Untersuchungen" (
        "UntID" %1,
        "VerzID" INTEGER NOT NULL,
        "Status" INTEGER NOT NULL,
        "Kovra" TEXT NOT NULL,
        "GrwBez" TEXT,
        "Benutzer" TEXT,
        "PrüfAm" TEXT,
        "BgArt" TEXT,
        "Bg" REAL,
        "HarzTyp" TEXT,
        "BgVon" TEXT,
        "BgVonAm" TEXT,
        "DrVon" TEXT,
        "DrVonAm" TEXT,
        "PaVon" TEXT,
        "PaVonAm" TEXT,
        "GesGew" REAL,
        "PaGew" REAL,
        "Luftdurch" REAL,
        "Temp" REAL,
        "Feuchte" REAL,
        "Fluß" REAL,
        "Asche" REAL,
        "Bemerk" TEXT,
        "x" TEXT,
        "y" TEXT,
        "Ein1" REAL, "Ein2" REAL, "Ein3" REAL, "Ein4" REAL, "Ein5" REAL,
        "Ein6" REAL, "Ein7" REAL, "Ein8" REAL, "Ein9" REAL, "Ein10" REAL,
        "Erg1" REAL, "Erg2" REAL, "Erg3" REAL, "Erg4" REAL, "Erg5" REAL,
        "GwO1" REAL, "GWO2" REAL, "GWO3" REAL, "GWO4" REAL, "GWO5" REAL,
        "GWU1" REAL, "GWU2" REAL, "GWU3" REAL, "GWU4" REAL, "GWU5" REAL))",

    R"(CREATE TABLE "Grenzwerte" (
        "GrwID" %1,
        "GrwName" TEXT NOT NULL,
        "VerzID" INTEGER NOT NULL,
        "uAushärtVnach" REAL, "oAushärtVnach" REAL,
        "uAushärtT" REAL, "oAushärtT" REAL,
        "uAushärtV" REAL, "oAushärtV" REAL,
        "uFließT" REAL, "oFließT" REAL,
        "uFlexibilität" REAL, "oFlexibilität" REAL))",

    R"(CREATE TABLE "Init" (
        "DisKvFa1" INTEGER, "DisKvFa2" INTEGER, "DisKvFa3" INTEGER, "DisKvFa4" INTEGER, "DisKvFa5" INTEGER,
        "PrnOffOb" REAL, "PrnOffUn" REAL, "PrnOffRe" REAL, "PrnOffLi" REAL,
        "AEB" INTEGER,
        "AZB" REAL,
        "LinieDr" INTEGER, "LinieGr" INTEGER,
        "Rührer" INTEGER,
        "Temp" REAL,
        "Viskos" REAL,
        "AD_Adr" INTEGER, "IO_ADR" INTEGER,
        "HostAddress" TEXT NOT NULL DEFAULT '127.0.0.1'))",
    // Red, green, blue, olive and purple (0xBBGGRR), margins of half an inch,
    // box 1, ten minutes, medium lines.
    R"(INSERT INTO "Init" VALUES (
        255, 32768, 16711680, 32896, 8388736,
        0.5, 0.5, 0.5, 0.5,
        1, 10, 4, 2, 1, 20, 0, 0, 0, '127.0.0.1'))",
};

// Version 2: how a graph's curve was measured (readings interpolated, run
// ended early; Null in older records means a whole curve), and the journal
// of the run in progress, written point by point so that a crash loses
// nothing measured. Files of version 1 get these when they are opened.
const char *const kVersion2[] = {
    R"(ALTER TABLE "Untersuchungen" ADD COLUMN "Fehlend" INTEGER)",
    R"(ALTER TABLE "Untersuchungen" ADD COLUMN "Unvollst" INTEGER)",
    R"(CREATE TABLE "Messjournal" (
        "LaufID" %1,
        "BoxNr" INTEGER NOT NULL,
        "Kovra" TEXT NOT NULL,
        "Beginn" TEXT NOT NULL,
        "Box" %2 NOT NULL))",
    R"(CREATE TABLE "Messpunkte" (
        "LaufID" INTEGER NOT NULL,
        "Punkt" INTEGER NOT NULL,
        "x" REAL NOT NULL,
        "y" REAL NOT NULL,
        "Ersatz" INTEGER NOT NULL,
        PRIMARY KEY ("LaufID", "Punkt")))",
};

// The lookup and listing indexes, by name; a file that lost one gets it back
// when it is opened. Index names are global in a file, so only Untersuchungen
// keeps the plain name "VerzID"; the key indexes are the primary keys
// themselves. The listing indexes carry the key right behind the directory,
// so the engine reads a directory's entries in key order without sorting,
// and hold the listed columns, so a listing never touches the table rows.
const char *const kIndexes[][2] = {
    { "Verzeichnisse_VerzName",
        R"(CREATE INDEX IF NOT EXISTS "Verzeichnisse_VerzName" ON "Verzeichnisse" ("VerzTyp", "VerzName"))" },
    { "VerzID",
        R"(CREATE INDEX IF NOT EXISTS "VerzID" ON "Untersuchungen" ("VerzID", "UntID", "Status", "Kovra"))" },
    { "Untersuchungen_Kovra",
        R"(CREATE INDEX IF NOT EXISTS "Untersuchungen_Kovra" ON "Untersuchungen" ("VerzID", "Kovra"))" },
    { "Grenzwerte_VerzID",
        R"(CREATE INDEX IF NOT EXISTS "Grenzwerte_VerzID" ON "Grenzwerte" ("VerzID", "GrwID", "GrwName"))" },
    { "Grenzwerte_GrwName",
        R"(CREATE INDEX IF NOT EXISTS "Grenzwerte_GrwName" ON "Grenzwerte" ("VerzID", "GrwName"))" },
};

QString runAll(
    QSqlDatabase &db, const SqlDialect &dialect, const char *const *statements, size_t count)
{
    QSqlQuery q(db);
    for (size_t i = 0; i < count; ++i) {
        QString sql = QString::fromUtf8(statements[i]);
        sql.replace(QLatin1String("%1"), dialect.keyColumn());
        sql.replace(QLatin1String("%2"), dialect.blobColumn());
        if (!q.exec(sql))
            return q.lastError().text();
    }
    return {};
}

} // namespace

namespace Schema
{

const QList<TableColumns> &requiredTables()
{
    static const QList<TableColumns> tables = {
        { "Verzeichnisse", { "VerzID", "VerzName", "VerzTyp" } },
        { "Untersuchungen",
            { "UntID", "VerzID", "Status", "Kovra", "GrwBez", "Benutzer", "PrüfAm", "BgArt", "Bg",
                "HarzTyp", "BgVon", "BgVonAm", "DrVon", "DrVonAm", "PaVon", "PaVonAm", "GesGew",
                "PaGew", "Luftdurch", "Temp", "Feuchte", "Fluß", "Asche", "Bemerk", "x", "y",
                "Ein1", "Ein2", "Ein3", "Ein4", "Ein5", "Ein6", "Ein7", "Ein8", "Ein9", "Ein10",
                "Erg1", "Erg2", "Erg3", "Erg4", "Erg5", "GwO1", "GWO2", "GWO3", "GWO4", "GWO5",
                "GWU1", "GWU2", "GWU3", "GWU4", "GWU5" } },
        { "Grenzwerte",
            { "GrwID", "GrwName", "VerzID", "uAushärtVnach", "oAushärtVnach", "uAushärtT",
                "oAushärtT", "uAushärtV", "oAushärtV", "uFließT", "oFließT", "uFlexibilität",
                "oFlexibilität" } },
        { "Init",
            { "DisKvFa1", "DisKvFa2", "DisKvFa3", "DisKvFa4", "DisKvFa5", "PrnOffOb", "PrnOffUn",
                "PrnOffRe", "PrnOffLi", "AEB", "AZB", "LinieDr", "LinieGr", "Rührer", "Temp",
                "Viskos", "AD_Adr", "IO_ADR", "HostAddress" } },
    };
    return tables;
}

const QList<TableColumns> &addedTables()
{
    static const QList<TableColumns> tables = {
        { "Messjournal", { "LaufID", "BoxNr", "Kovra", "Beginn", "Box" } },
        { "Messpunkte", { "LaufID", "Punkt", "x", "y", "Ersatz" } },
    };
    return tables;
}

const QList<TableColumns> &allTables()
{
    static const QList<TableColumns> tables = requiredTables() + addedTables();
    return tables;
}

QStringList addedColumns(const char *table)
{
    if (qstrcmp(table, "Untersuchungen") == 0)
        return { QStringLiteral("Fehlend"), QStringLiteral("Unvollst") };
    return {};
}

bool indexesComplete(QSqlDatabase &db, const SqlDialect &dialect)
{
    QSqlQuery q(db);
    if (!q.exec(dialect.indexNames()))
        return false;
    QStringList present;
    while (q.next())
        present << q.value(0).toString();
    for (const auto &index : kIndexes)
        if (!present.contains(QLatin1String(index[0])))
            return false;
    return true;
}

QString createIndexes(QSqlDatabase &db)
{
    QSqlQuery q(db);
    for (const auto &index : kIndexes)
        if (!q.exec(QString::fromUtf8(index[1])))
            return q.lastError().text();
    return {};
}

QString upgradeStep(QSqlDatabase &db, const SqlDialect &dialect, int from)
{
    switch (from) {
    case 0: {
        const QString complaint = runAll(db, dialect, kVersion1, std::size(kVersion1));
        return complaint.isEmpty() ? createIndexes(db) : complaint;
    }
    case 1:
        return runAll(db, dialect, kVersion2, std::size(kVersion2));
    default:
        return QStringLiteral("no upgrade from layout version %1").arg(from);
    }
}

} // namespace Schema
