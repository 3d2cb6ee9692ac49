// A lab's database of years, 10,000 graphs with full curves, copied by
// zandorctl copy to another database (a server on the server run) and back
// into a new file: the file that comes back must hold the same rows, value
// for value, as the one that went out.
#include "StoreFixture.h"
#include "Zandorctl.h"
#include "core/Settings.h"
#include "store/CurveCells.h"
#include "store/RecordColumns.h"
#include "store/RunJournal.h"
#include "store/Schema.h"
#include "store/SqliteFile.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cstring>

namespace
{

constexpr int RecordCount = 10000;

// One value as the engine holds it: its kind, and floats by their bits, so
// that 0.1 and the single 0.1 (0.100000001490116...) are told apart, and
// a Null from an empty text.
QString canonical(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("null");
    switch (v.typeId()) {
    case QMetaType::Double: {
        const double d = v.toDouble();
        quint64 bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        return QStringLiteral("real:%1").arg(bits, 16, 16, QLatin1Char('0'));
    }
    case QMetaType::LongLong:
    case QMetaType::Int:
        return QStringLiteral("int:%1").arg(v.toLongLong());
    case QMetaType::QString:
        return QStringLiteral("text:") + v.toString();
    case QMetaType::QByteArray:
        return QStringLiteral("blob:") + QString::fromLatin1(v.toByteArray().toHex());
    default:
        return QStringLiteral("%1:%2").arg(QLatin1String(v.typeName()), v.toString());
    }
}

// Every table of a database file (the engine's table of key counters too),
// row by row in the order of all columns, each row as "column=value" cells.
QMap<QString, QStringList> dump(const QString &path)
{
    QMap<QString, QStringList> tables;
    SqliteFile::SideConnection side(path);
    if (!side.problem().isEmpty())
        qFatal("cannot read %s: %s", qPrintable(path), qPrintable(side.problem()));
    QStringList names = SqliteFile::tables(side.db());
    names << QStringLiteral("sqlite_sequence");
    for (const QString &table : names) {
        QSqlQuery q(side.db());
        q.setForwardOnly(true);
        const QSqlRecord columns = side.db().record(table);
        QStringList order;
        for (int i = 1; i <= columns.count(); ++i)
            order << QString::number(i);
        if (!q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY %2").arg(table, order.join(','))))
            qFatal("cannot read table %s: %s", qPrintable(table), qPrintable(q.lastError().text()));
        QStringList &rows = tables[table];
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < columns.count(); ++i)
                cells << columns.fieldName(i) + QLatin1Char('=') + canonical(q.value(i));
            rows << cells.join(QLatin1Char('|'));
        }
    }
    return tables;
}

qint64 rowsOf(const QString &path, const QString &table)
{
    SqliteFile::SideConnection side(path);
    QSqlQuery q(side.db());
    return q.exec(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)) && q.next()
        ? q.value(0).toLongLong()
        : -1;
}

QString bits(float v)
{
    quint32 b = 0;
    std::memcpy(&b, &v, sizeof b);
    return QString::number(b, 16);
}

// A loaded box as texts, field by field, floats by their bits.
QStringList boxTexts(const BoxRecord &b)
{
    QStringList out = specimenTexts(b);
    for (float v : { b.Bg, b.GesGew, b.PaGew, b.Luftdurch, b.Temp, b.Feuchte, b.Fluss, b.Asche })
        out << bits(v);
    out << QString::number(b.Status) << QString::number(b.UntID) << QString::number(b.VerzID)
        << QString::number(b.Fehlend) << QString::number(b.Unvollst);
    for (float v : b.Ein)
        out << bits(v);
    for (const auto *values : { &b.Erg, &b.GwO, &b.GWU })
        for (float v : *values)
            out << bits(v);
    for (int i = 0; i < CurveSize; ++i)
        out << bits(b.x[size_t(i)]) + QLatin1Char('/') + bits(b.y[size_t(i)]);
    return out;
}

QVariant orNull(bool isNull, const QVariant &v)
{
    return isNull ? QVariant(v.metaType()) : v;
}

// A single that has no short decimal form, as results and weights are.
float oddSingle(QRandomGenerator &random, double scale)
{
    return float(random.generateDouble() * scale);
}

} // namespace

class TestCopyRoundTrip : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_source;
    qint32 m_deletedNewest = 0;
    QList<qint32> m_sampleKeys;

    // The lab's file as years of work leave it: graphs of 90 to 300 points
    // in several directories, patterns, records from before the curve
    // columns had a count of interpolated readings (Null there), texts with
    // umlauts, empty texts beside Null ones, dates and missing dates, limit
    // files, changed settings, deleted records (the newest among them) and
    // an interrupted run in the journal. The records go in with one
    // statement reused in one transaction, as the store's columns hold them.
    void buildSource()
    {
        m_source = m_dir.filePath(QStringLiteral("source.mdb"));
        const Notation notation = commaNotation();
        Database db;
        QVERIFY(db.open(m_source));
        Store store(db, notation);
        QList<qint32> graphDirs;
        for (const char *name : { "Prüfungen 2023", "Prüfungen 2024", "Härtetests", "Ölpapier" })
            graphDirs << *store.addDirectory(DirectoryType::Graphs, QString::fromUtf8(name));
        const qint32 patterns = *store.addDirectory(DirectoryType::Patterns, "Vorlagen");
        const qint32 limits = *store.addDirectory(DirectoryType::Limits, "Grenzwerte");

        QRandomGenerator random(20240517);
        for (int i = 0; i < 6; ++i) {
            LimitFile file;
            file.GrwName = QStringLiteral("Güte %1").arg(i);
            file.VerzID = limits;
            for (int k = 1; k <= 5; ++k) {
                file.lower[size_t(k)] = oddSingle(random, 50);
                file.upper[size_t(k)] = 50 + oddSingle(random, 50);
            }
            QVERIFY(store.addLimitFile(file));
        }
        Settings settings;
        QVERIFY(store.LoadSettings(settings));
        settings.DisKvFa[2] = 0x10ab7f;
        QVERIFY(store.writeColours(settings));

        QStringList columns;
        for (const Schema::TableColumns &t : Schema::requiredTables())
            if (qstrcmp(t.table, "Untersuchungen") == 0)
                columns = t.columns.mid(1) + Schema::addedColumns(t.table); // key by the engine
        QStringList quoted, marks;
        for (const QString &c : columns) {
            quoted << SqlDialect::quoted(c);
            marks << QStringLiteral("?");
        }
        const bool written = db.transaction([&] {
            QSqlQuery insert(db.connection());
            if (!insert.prepare(QStringLiteral("INSERT INTO \"Untersuchungen\" (%1) VALUES (%2)")
                                    .arg(quoted.join(','), marks.join(','))))
                return false;
            for (int i = 0; i < RecordCount; ++i) {
                const bool pattern = i % 23 == 5;
                const bool older = i < RecordCount / 4; // before the count of readings
                BoxRecord b;
                const int points = 90 + int(random.bounded(211));
                for (int p = 0; p < points; ++p) {
                    b.x[size_t(p)] = float(random.bounded(10000)) / 100;
                    b.y[size_t(p)] = float(p * 6);
                }
                b.x[size_t(points)] = CurveEndMark;
                const CurveTexts curve = WriteCurveCells(b, notation);
                QHash<QString, QVariant> v;
                v["VerzID"] = pattern ? patterns : graphDirs.at(i % graphDirs.size());
                v["Status"] = pattern ? BoxStatus::Pattern : BoxStatus::Graph;
                v["Kovra"] = QStringLiteral("Prüfling %1 – „Bügel“ 'ß'").arg(i);
                v["GrwBez"] = i % 7 == 0 ? QVariant(QMetaType::fromType<QString>())
                    : i % 11 == 0        ? QVariant(QStringLiteral(""))
                                         : QVariant(QStringLiteral("Güte %1").arg(i % 6));
                v["Benutzer"] = QStringLiteral("Jürgen Größ %1").arg(i % 9);
                v["PrüfAm"] = orNull(
                    i % 13 == 0, QDate(2015, 1, 1).addDays(i % 3650).toString(Qt::ISODate));
                v["BgArt"] = i % 5 == 0 ? QStringLiteral("") : QStringLiteral("Melamin");
                v["HarzTyp"] = orNull(i % 3 == 0, QStringLiteral("Phenolharz"));
                v["BgVon"] = QStringLiteral("Tränkerei Süd");
                v["BgVonAm"] = orNull(i % 4 == 0, QStringLiteral("2024-02-29"));
                v["DrVon"] = QStringLiteral("");
                v["DrVonAm"] = QVariant(QMetaType::fromType<QString>());
                v["PaVon"] = QStringLiteral("Papierfabrik Düren");
                v["PaVonAm"] = QStringLiteral("1999-12-31");
                // Characters that a statement text would have to escape or
                // could take for a place marker.
                v["Bemerk"] = i % 2
                    ? QStringLiteral(
                        "Zeile eins\r\nZeile zwei: µ ± ° € \\\\srv\\Prüf ? $1 %1 \"x\" 'y'")
                    : QStringLiteral("");
                for (const char *c :
                    { "Bg", "GesGew", "PaGew", "Luftdurch", "Temp", "Feuchte", "Fluß", "Asche" })
                    v[QString::fromUtf8(c)] = orNull(i % 17 == 0, double(oddSingle(random, 200)));
                if (!pattern) {
                    v["x"] = curve.x;
                    v["y"] = curve.y;
                    // Adjustments, results and limits.
                    for (const QString &c : RecordColumns::graph().mid(2, 25))
                        v[c] = double(oddSingle(random, 100));
                    v["Erg2"] = double(-1e-30f); // tiny, and below zero
                    v["Erg3"] = double(3.4e38f);
                    if (!older) {
                        v["Fehlend"] = int(random.bounded(4));
                        v["Unvollst"] = int(i % 50 == 0);
                    }
                }
                for (int c = 0; c < columns.size(); ++c)
                    insert.bindValue(c, v.value(columns.at(c)));
                if (!insert.exec()) {
                    qWarning() << insert.lastError().text();
                    return false;
                }
            }
            return true;
        });
        QVERIFY(written);

        // Gaps in the keys, and the newest record gone: its key stays used.
        for (qint32 key = 1; key <= RecordCount; key += 997)
            QVERIFY(store.deleteRecord(key));
        BoxRecord newest = sampleGraph(7, 300);
        newest.Bg = 0.1f;
        QVERIFY(store.SaveBox(newest, SaveMode::Add, "newest", graphDirs.at(0)));
        BoxRecord kept = sampleGraph(8, 250);
        kept.Temp = 0.3f;
        kept.Bemerk = QString();
        QVERIFY(store.SaveBox(kept, SaveMode::Add, "kept", graphDirs.at(1)));
        QVERIFY(store.deleteRecord(newest.UntID));
        m_deletedNewest = newest.UntID;
        m_sampleKeys = { 2, 3, 6, 5000, 5001, 9999, RecordCount, kept.UntID };
        for (int i = 0; i < 20; ++i)
            m_sampleKeys << 1 + qint32(random.bounded(RecordCount));

        // A run that a crash interrupted, and one that was cleared.
        RunJournal journal(db);
        BoxRecord running = sampleGraph(3);
        running.BoxNr = 2;
        running.Kovra = QStringLiteral("läuft");
        const QDateTime begun(QDate(2024, 5, 17), QTime(9, 30, 12));
        const std::optional<qint64> cleared = journal.begin(running, begun);
        QVERIFY(cleared);
        QVERIFY(journal.clear(*cleared));
        const std::optional<qint64> interrupted = journal.begin(running, begun);
        QVERIFY(interrupted);
        QList<RunJournal::Point> points;
        for (int p = 1; p <= 120; ++p)
            points.append({ p, oddSingle(random, 100), float(p * 6), p % 40 == 0 });
        QVERIFY(journal.write(*interrupted, points));
    }

    static void compareLoadedBoxes(Store &a, Store &b, const QList<qint32> &keys)
    {
        const QDate today(2025, 1, 1);
        for (qint32 key : keys) {
            BoxRecord left, right;
            const bool here = a.LoadBox(left, key, today);
            QCOMPARE(b.LoadBox(right, key, today), here);
            QCOMPARE(boxTexts(right), boxTexts(left));
        }
    }

    static void compareStores(Store &a, Store &b)
    {
        QCOMPARE(b.listAllRecords().size(), a.listAllRecords().size());
        const QList<DirectoryEntry> dirs = a.listAllDirectories();
        QCOMPARE(b.listAllDirectories().size(), dirs.size());
        for (const DirectoryEntry &d : dirs) {
            const QList<LimitFile> left = a.listLimitFiles(d.VerzID),
                                   right = b.listLimitFiles(d.VerzID);
            QCOMPARE(right.size(), left.size());
            for (qsizetype i = 0; i < left.size(); ++i) {
                QCOMPARE(right[i].GrwName, left[i].GrwName);
                for (int k = 1; k <= 5; ++k) {
                    QCOMPARE(bits(right[i].lower[size_t(k)]), bits(left[i].lower[size_t(k)]));
                    QCOMPARE(bits(right[i].upper[size_t(k)]), bits(left[i].upper[size_t(k)]));
                }
            }
        }
        RunJournal leftJournal(a.database()), rightJournal(b.database());
        const QList<RunJournal::Interrupted> left = leftJournal.interrupted(),
                                             right = rightJournal.interrupted();
        QCOMPARE(right.size(), left.size());
        for (qsizetype i = 0; i < left.size(); ++i) {
            QCOMPARE(right[i].id, left[i].id);
            QCOMPARE(right[i].begun, left[i].begun);
            QCOMPARE(specimenTexts(right[i].box), specimenTexts(left[i].box));
            QCOMPARE(right[i].points.size(), left[i].points.size());
            for (qsizetype p = 0; p < left[i].points.size(); ++p) {
                QCOMPARE(bits(right[i].points[p].x), bits(left[i].points[p].x));
                QCOMPARE(right[i].points[p].substitute, left[i].points[p].substitute);
            }
        }
    }

    // The counts zandorctl printed, by table.
    static QMap<QString, qint64> printedCounts(const QString &out)
    {
        QMap<QString, qint64> counts;
        for (const QString &line : out.split('\n'))
            if (line.startsWith(QLatin1String("  ")) && line.contains('\t'))
                counts.insert(line.trimmed().section('\t', 0, 0),
                    line.section('\t', 1).trimmed().toLongLong());
        return counts;
    }

    QMap<QString, qint64> sourceCounts() const
    {
        QMap<QString, qint64> counts;
        SqliteFile::SideConnection side(m_source);
        for (const QString &table : SqliteFile::tables(side.db()))
            counts.insert(table, rowsOf(m_source, table));
        return counts;
    }

private slots:
    void initTestCase()
    {
        QElapsedTimer clock;
        clock.start();
        buildSource();
        qInfo("source file of %d records built in %lld ms", RecordCount, clock.elapsed());
    }

    void throughAnotherDatabaseAndBackEverythingIsEqual()
    {
        // The middle database is the server's on the server run.
        ScratchDatabase middle(m_dir.path());
        const QString back = m_dir.filePath(QStringLiteral("back.mdb"));
        QMap<QString, qint64> expected = sourceCounts();
        QCOMPARE(expected.value("Untersuchungen"), qint64(RecordCount - 11 + 1));

        const CtlRun out
            = RunZandorctl({ "copy", "--from", m_source, "--to", middle.target() }, 240000);
        QVERIFY2(out.status == 0, qPrintable(out.err));
        const CtlRun in = RunZandorctl({ "copy", "--from", middle.target(), "--to", back }, 240000);
        QVERIFY2(in.status == 0, qPrintable(in.err));
        qInfo("%d records copied out in %lld ms, back in %lld ms", RecordCount, out.millis,
            in.millis);
        QCOMPARE(printedCounts(out.out), expected);
        QCOMPARE(printedCounts(in.out), expected);

        const QMap<QString, QStringList> before = dump(m_source), after = dump(back);
        QCOMPARE(after.keys(), before.keys());
        for (auto table = before.begin(); table != before.end(); ++table) {
            const QStringList &rows = after[table.key()];
            QVERIFY2(rows.size() == table->size(), qPrintable(table.key()));
            for (qsizetype i = 0; i < rows.size(); ++i)
                QCOMPARE(rows[i], table->at(i));
        }

        // Through the store: the file, the middle and the copy back.
        const Notation notation = commaNotation();
        Database sourceDb, middleDb, backDb;
        QVERIFY(sourceDb.open(m_source));
        QVERIFY(middleDb.open(middle.target()));
        QVERIFY(backDb.open(back));
        Store source(sourceDb, notation), there(middleDb, notation), again(backDb, notation);
        for (Store *copy : { &there, &again }) {
            compareLoadedBoxes(source, *copy, m_sampleKeys);
            if (!QTest::currentTestFailed())
                compareStores(source, *copy);
            if (QTest::currentTestFailed())
                return;
        }

        // What the copies give next lies above every key the source gave.
        for (Store *copy : { &there, &again }) {
            BoxRecord fresh = sampleGraph(11, 150);
            QVERIFY2(
                copy->SaveBox(fresh, SaveMode::Add, "fresh", 1), qPrintable(copy->lastError()));
            QVERIFY(fresh.UntID > m_deletedNewest);
            const std::optional<qint32> dir = copy->addDirectory(DirectoryType::Graphs, "neu");
            QVERIFY(dir);
            QVERIFY(*dir > 6);
            LimitFile file;
            file.GrwName = QStringLiteral("neu");
            file.VerzID = 6;
            const std::optional<qint32> limitKey = copy->addLimitFile(file);
            QVERIFY(limitKey);
            QVERIFY(*limitKey > 6);
            RunJournal journal(copy->database());
            const std::optional<qint64> run
                = journal.begin(sampleGraph(1), QDateTime::currentDateTime());
            QVERIFY2(run, qPrintable(journal.lastError()));
            QVERIFY(*run > 2);
        }
    }
};

QTEST_GUILESS_MAIN(TestCopyRoundTrip)
#include "test_copyroundtrip.moc"
