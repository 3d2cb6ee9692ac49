#include "StoreFixture.h"

#include "core/Settings.h"
#include "store/DatabaseFileCheck.h"
#include "store/JetFileCheck.h"
#include "store/JetMigration.h"
#include "support/JetWriter.h"
#include "support/OldDatabase.h"

#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>

// Converting files of the earlier program, written here by the test writer.
class TestJetMigration : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static QString write(
        const QString &file, const QList<Jet::Table> &tables, const Jet::Options &options = {})
    {
        if (!Jet::writeJet4File(file, tables, options))
            qFatal("cannot write %s", qPrintable(file));
        return file;
    }

    // Differences between a Jet table's rows and the converted table, by key.
    static QStringList differences(const QString &file, const Jet::Table &table)
    {
        QStringList out;
        Database db;
        if (!db.open(file))
            return { db.lastError() };
        const QString key = table.columns.first().name;
        QSqlQuery q(db.connection());
        q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY \"%2\"").arg(table.name, key));
        qsizetype at = 0;
        while (q.next()) {
            if (at >= table.rows.size()) {
                out << QStringLiteral("%1: row %2 too many").arg(table.name, q.value(0).toString());
                break;
            }
            const Jet::Row &expected = table.rows[at++];
            for (qsizetype c = 0; c < table.columns.size(); ++c) {
                const QString column = table.columns[c].name;
                const QString problem = compare(expected.value(c), q.value(column));
                if (!problem.isEmpty())
                    out << QStringLiteral("%1 %2 %3: %4")
                               .arg(table.name, expected.value(0).toString(), column, problem);
            }
        }
        if (at < table.rows.size())
            out << QStringLiteral("%1: %2 rows missing")
                       .arg(table.name)
                       .arg(table.rows.size() - at);
        return out;
    }

    static QString compare(const QVariant &expected, const QVariant &actual)
    {
        const auto differ = [&](const QString &e) {
            return QStringLiteral("expected %1, got %2")
                .arg(e, actual.isNull() ? QStringLiteral("Null") : actual.toString());
        };
        if (expected.isNull())
            return actual.isNull() ? QString() : differ(QStringLiteral("Null"));
        if (actual.isNull())
            return differ(expected.toString());
        switch (expected.metaType().id()) {
        case QMetaType::Float:
            // A server gives a single as its shortest text, which reads back
            // as the same single but not as the same double.
            return actual.toFloat() == expected.toFloat()
                ? QString()
                : differ(QString::number(double(expected.toFloat()), 'g', 9));
        case QMetaType::QDate:
            return actual.toString() == expected.toDate().toString(Qt::ISODate)
                ? QString()
                : differ(expected.toDate().toString(Qt::ISODate));
        case QMetaType::Int:
            return actual.toLongLong() == expected.toLongLong() ? QString()
                                                                : differ(expected.toString());
        default:
            return actual.toString() == expected.toString() ? QString()
                                                            : differ(expected.toString());
        }
    }

    // Where the n-th table's definition page starts: the definitions follow
    // the catalog's (page 2) and the long values, in the order written.
    static qsizetype definitionPage(const QByteArray &file, int n)
    {
        for (qsizetype at = 3 * 4096; at < file.size(); at += 4096)
            if (file[at] == 0x02 && n-- == 0)
                return at;
        qFatal("no table definition %d", n);
    }

    // The folder's files other than the given ones: a failed conversion
    // must leave nothing behind.
    QStringList strayFiles(const QStringList &expected) const
    {
        QStringList found = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
        for (const QString &e : expected)
            found.removeAll(e);
        return found;
    }

    void clearFolder()
    {
        for (const QString &f : QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(path(f));
    }

private slots:
    void init()
    {
        clearFolder();
        // The server run is for the conversion into a server database; the
        // rest works on files only and has run already.
        if (ScratchDatabase::serverRun()
            && qstrcmp(QTest::currentTestFunction(), "convertsIntoAServerDatabase") != 0)
            QSKIP("works on files only");
    }

    void convertsEveryValueAsWritten()
    {
        const QList<Jet::Table> tables = OldDatabase::tables(240, 7);
        const QString source = write(path(QStringLiteral("old.mdb")), tables);
        const QByteArray before = fileBytes(source);
        QCOMPARE(CheckJetFile(source).kind, JetFileCheck::Kind::Jet4);

        qint64 lastDone = 0, lastTotal = 0;
        const MigrationResult r = MigrateJetDatabase(
            source, path(QStringLiteral("kovra.mdb")), false, [&](qint64 done, qint64 total) {
                QVERIFY(done > lastDone);
                lastDone = done;
                lastTotal = total;
            });
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(fileBytes(source), before);
        qint64 rows = 0;
        for (const Jet::Table &t : tables)
            rows += t.rows.size();
        QCOMPARE(lastDone, rows);
        QCOMPARE(lastTotal, rows);
        QVERIFY(r.report.skipped.isEmpty());
        QVERIFY2(r.report.notes.isEmpty(), qPrintable(r.report.notes.join('\n')));
        for (const MigrationReport::TableCount &c : r.report.counts)
            QCOMPARE(c.skipped, 0);

        // Every row and column of the four tables (the settings record has
        // one more column here, the instrument's address).
        for (const Jet::Table &t : tables.mid(0, 3)) {
            const QStringList diff = differences(path(QStringLiteral("kovra.mdb")), t);
            QVERIFY2(diff.isEmpty(), qPrintable(diff.mid(0, 10).join('\n')));
        }
        const QStringList diff = differences(path(QStringLiteral("kovra.mdb")), tables[3]);
        QVERIFY2(diff.isEmpty(), qPrintable(diff.join('\n')));
        QCOMPARE(
            strayFiles({ QStringLiteral("old.mdb"), QStringLiteral("kovra.mdb") }), QStringList());
    }

    // The converted file is an ordinary database of this program: its lists
    // show the old keys, and new entries get keys above every old one.
    void convertedFileWorksAndKeysGrow()
    {
        const QList<Jet::Table> tables = OldDatabase::tables(30, 3);
        const QString target = path(QStringLiteral("kovra.mdb"));
        QVERIFY(
            MigrateJetDatabase(write(path(QStringLiteral("old.mdb")), tables), target, false).ok);
        Database db;
        QVERIFY(db.open(target));
        const Notation n = commaNotation();
        Store store(db, n);
        const QList<DirectoryEntry> graphs = store.listDirectories(DirectoryType::Graphs);
        QVERIFY(!graphs.isEmpty());
        QCOMPARE(graphs.first().VerzName, tables[0].rows[0][1].toString());
        BoxRecord box;
        const qint32 firstKey = tables[1].rows[0][0].toInt();
        QVERIFY(store.LoadBox(box, firstKey));
        QCOMPARE(box.Kovra, tables[1].rows[0][3].toString());
        QVERIFY(box.pointCount() >= 1);
        const qint32 added = *store.addDirectory(DirectoryType::Graphs, QStringLiteral("new"));
        QVERIFY(added > tables[0].rows.last()[0].toInt());
        Settings s;
        QVERIFY(store.LoadSettings(s));
        QCOMPARE(s.LinieDr, 6);
        QCOMPARE(s.Ruehrer, 40);
    }

    // Rows the program could not use are left out and reported with key
    // and reason; settings outside their ranges keep the defaults.
    void reportsSkippedRowsAndSettings()
    {
        QList<Jet::Table> tables = OldDatabase::tables(8, 5);
        const int graphDir = tables[0].rows[0][0].toInt();
        const int limitDir = tables[0].rows[1][0].toInt();
        tables[0].rows << Jet::Row { 900, QStringLiteral("odd"), 7 }
                       << Jet::Row { 901, QVariant(), 0 };
        Jet::Row orphan = tables[1].rows[0];
        orphan[0] = 5000;
        orphan[1] = 4711;
        Jet::Row wrongStatus = tables[1].rows[0];
        wrongStatus[0] = 5001;
        wrongStatus[2] = 3;
        Jet::Row inLimitDir = tables[1].rows[0];
        inLimitDir[0] = 5002;
        inLimitDir[1] = limitDir;
        tables[1].rows << orphan << wrongStatus << inLimitDir;
        Jet::Row limitInGraphDir = tables[2].rows[0];
        limitInGraphDir[0] = 6000;
        limitInGraphDir[2] = graphDir;
        tables[2].rows << limitInGraphDir;
        tables[3].rows[0][9] = 9; // AEB
        tables[3].rows[0][10] = 7.f; // AZB
        tables[3].rows[0][11] = 4; // LinieDr, valid

        const MigrationResult r = MigrateJetDatabase(write(path(QStringLiteral("old.mdb")), tables),
            path(QStringLiteral("kovra.mdb")), false);
        QVERIFY2(r.ok, qPrintable(r.message));
        const QString report = r.report.text();
        for (const char *line :
            { "Verzeichnisse VerzID 900: its type \"7\" is none of",
                "Verzeichnisse VerzID 901: it has no name",
                "Untersuchungen UntID 5000: its directory \"4711\" does not exist",
                "Untersuchungen UntID 5001: its status \"3\" is neither",
                "Untersuchungen UntID 5002: its directory", "Grenzwerte GrwID 6000: its directory",
                "Init AEB: \"9\" is not in 1 … 5", "Init AZB: \"7\" is not in",
                "Verzeichnisse: 3 converted, 2 skipped", "Untersuchungen: 8 converted, 3 skipped" })
            QVERIFY2(report.contains(QString::fromUtf8(line)), qPrintable(line + ("\n" + report)));
        QVERIFY(!report.contains(QLatin1String("LinieDr")));

        Database db;
        QVERIFY(db.open(path(QStringLiteral("kovra.mdb"))));
        const Notation n = commaNotation();
        Store store(db, n);
        const std::optional<StartChoices> start = store.readStartChoices();
        QVERIFY(start);
        QCOMPARE(start->AEB, 1);
        QCOMPARE(start->AZB, 10.f);
        Settings s;
        QVERIFY(store.LoadSettings(s));
        QCOMPARE(s.LinieDr, 4);
    }

    // Files that cannot be converted: a clear message naming the file, the
    // original unchanged, no database written.
    void refusesWhatItCannotRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cause");
        QTest::newRow("not Jet") << "text"
                                 << "it is not a database of the earlier program";
        QTest::newRow("cut inside a page") << "cut"
                                           << "it is truncated (it ends inside a page)";
        QTest::newRow("cut before the tables") << "short"
                                               << "it is truncated";
        QTest::newRow("pages missing") << "pages"
                                       << "it is damaged";
        QTest::newRow("data page lost") << "data"
                                        << "it is damaged (the table Untersuchungen holds";
        QTest::newRow("table definition damaged") << "tdef"
                                                  << "it is damaged";
        QTest::newRow("catalog's map lost") << "catalogmap"
                                            << "it is damaged (its page 4095 is missing)";
        QTest::newRow("table's map cut short") << "tablemap"
                                               << "it is damaged (the table Untersuchungen: row";
        QTest::newRow("encrypted") << "encrypted"
                                   << "it is encrypted or protected by a password";
        QTest::newRow("password") << "password"
                                  << "it is encrypted or protected by a password";
        QTest::newRow("later format") << "ace"
                                      << "a later Access format";
    }
    void refusesWhatItCannotRead()
    {
        QFETCH(QString, kind);
        QFETCH(QString, cause);
        const QList<Jet::Table> tables = OldDatabase::tables(40, 2);
        Jet::Options options;
        options.encrypted = kind == QLatin1String("encrypted");
        if (kind == QLatin1String("password"))
            options.password = QStringLiteral("geheim");
        QByteArray bytes = Jet::jet4File(tables, options);
        if (kind == QLatin1String("text"))
            bytes = "VerzID;VerzName\n1;Versuche\n";
        else if (kind == QLatin1String("cut"))
            bytes.truncate(bytes.size() - 100);
        else if (kind == QLatin1String("short"))
            bytes.truncate(4096 * 2);
        else if (kind == QLatin1String("pages"))
            bytes.truncate(4096 * 4);
        else if (kind == QLatin1String("ace"))
            bytes.replace(4, 15, "Standard ACE DB");
        else if (kind == QLatin1String("tdef"))
            bytes.replace(definitionPage(bytes, 0), 64, QByteArray(64, '\x7f'));
        else if (kind == QLatin1String("catalogmap"))
            bytes.replace(2 * 4096 + 55, 4, QByteArray("\x00\xff\x0f\x00", 4)); // page 4095, row 0
        else if (kind == QLatin1String("tablemap")) {
            // Its usage map row shrinks to two bytes, less than a map's head.
            const qsizetype tdef = definitionPage(bytes, 1);
            const quint32 pointer = quint8(bytes[tdef + 55]) | quint8(bytes[tdef + 56]) << 8
                | quint8(bytes[tdef + 57]) << 16;
            const qsizetype page = qsizetype(pointer >> 8) * 4096;
            const int row = int(pointer & 0xff);
            const int end = row == 0
                ? 4096
                : (quint8(bytes[page + 12 + 2 * row]) | quint8(bytes[page + 13 + 2 * row]) << 8);
            const int start = end - 2;
            bytes[page + 14 + 2 * row] = char(start & 0xff);
            bytes[page + 15 + 2 * row] = char(start >> 8);
        } else if (kind == QLatin1String("data"))
            bytes.replace(definitionPage(bytes, 1) + 4096, 4096, QByteArray(4096, '\0'));
        const QString source = path(QStringLiteral("old.mdb"));
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();

        const MigrationResult r
            = MigrateJetDatabase(source, path(QStringLiteral("kovra.mdb")), false);
        QVERIFY(!r.ok);
        QVERIFY2(r.message.contains(cause), qPrintable(r.message));
        QVERIFY2(r.message.contains(QDir::toNativeSeparators(source)), qPrintable(r.message));
        QCOMPARE(fileBytes(source), bytes);
        QCOMPARE(strayFiles({ QStringLiteral("old.mdb") }), QStringList());
    }

    // Converting kovra.mdb into its own place keeps the original beside it
    // as kovra-jet.mdb, and puts it back when the conversion fails.
    void convertsInPlaceKeepingTheOriginal()
    {
        const QString file = path(QStringLiteral("kovra.mdb"));
        QByteArray bytes = Jet::jet4File(OldDatabase::tables(12, 9));
        const auto put = [&](const QByteArray &b) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(b) == b.size());
        };
        bytes.replace(definitionPage(bytes, 2), 1, QByteArray(1, '\x09'));
        put(bytes);
        const MigrationResult failed = MigrateJetDatabase(file, file, false);
        QVERIFY(!failed.ok);
        QVERIFY2(
            failed.message.contains(QDir::toNativeSeparators(file)), qPrintable(failed.message));
        QCOMPARE(fileBytes(file), bytes);
        QCOMPARE(strayFiles({ QStringLiteral("kovra.mdb") }), QStringList());

        const QByteArray sound = Jet::jet4File(OldDatabase::tables(12, 9));
        put(sound);
        const MigrationResult r = MigrateJetDatabase(file, file, false);
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(r.originalKeptAs, path(QStringLiteral("kovra-jet.mdb")));
        QCOMPARE(fileBytes(r.originalKeptAs), sound);
        QVERIFY(differences(file, OldDatabase::tables(12, 9)[1]).isEmpty());
        QVERIFY(CheckDatabaseFile(file).problem == Database::Problem::None);

        // A second conversion would overwrite the kept original: refused.
        put(sound);
        const MigrationResult again = MigrateJetDatabase(file, file, false);
        QVERIFY(!again.ok);
        QVERIFY2(again.message.contains(QLatin1String("kovra-jet.mdb\" exists already")),
            qPrintable(again.message));
        QCOMPARE(fileBytes(file), sound);
    }

    // A command other than the conversion names the conversion.
    void otherOpenersNameTheConversion()
    {
        const QString file = write(path(QStringLiteral("kovra.mdb")), OldDatabase::tables(2, 1));
        Database db;
        const Database::OpenResult opened = db.open(file);
        QVERIFY(!opened.ok());
        QVERIFY2(opened.message.contains(QLatin1String("zandorctl migrate")),
            qPrintable(opened.message));
    }

    // An existing database is replaced only when asked, and then kept.
    void replacesOnlyWhenAskedAndKeepsBackup()
    {
        const QString target = path(QStringLiteral("kovra.mdb"));
        {
            Database db;
            QVERIFY(db.open(target));
        }
        const QByteArray previous = fileBytes(target);
        const QString source = write(path(QStringLiteral("old.mdb")), OldDatabase::tables(10, 4));

        const MigrationResult refused = MigrateJetDatabase(source, target, false);
        QVERIFY(!refused.ok);
        QVERIFY2(refused.message.contains(QLatin1String("--replace")), qPrintable(refused.message));
        QCOMPARE(fileBytes(target), previous);
        QCOMPARE(
            strayFiles({ QStringLiteral("old.mdb"), QStringLiteral("kovra.mdb") }), QStringList());

        const MigrationResult replaced = MigrateJetDatabase(source, target, true);
        QVERIFY2(replaced.ok, qPrintable(replaced.message));
        QVERIFY(!replaced.backupPath.isEmpty());
        QCOMPARE(fileBytes(replaced.backupPath), previous);
        QVERIFY(replaced.message.contains(QDir::toNativeSeparators(replaced.backupPath)));
        QVERIFY(differences(target, OldDatabase::tables(10, 4)[0]).isEmpty());
    }

    // Into a database on the server: the same values, the server's name in
    // the message, no file of its own left anywhere; data there is replaced
    // only when asked, after a backup file of it.
    void convertsIntoAServerDatabase()
    {
        SKIP_UNLESS_SERVER();
        QTemporaryDir serverFolder;
        ScratchDatabase server(serverFolder.path());
        const QList<Jet::Table> first = OldDatabase::tables(30, 3);
        const QString source = write(path(QStringLiteral("old.mdb")), first);
        const MigrationResult r = MigrateJetDatabase(source, server.target(), false);
        QVERIFY2(r.ok, qPrintable(r.message));
        QVERIFY2(r.message.contains(server.target()), qPrintable(r.message));
        for (const Jet::Table &t : first.mid(0, 3)) {
            const QStringList found = differences(server.target(), t);
            QVERIFY2(found.isEmpty(), qPrintable(found.mid(0, 8).join('\n')));
        }
        QCOMPARE(strayFiles({ QStringLiteral("old.mdb") }), QStringList());

        const QList<Jet::Table> second = OldDatabase::tables(10, 4);
        write(source, second);
        const MigrationResult refused = MigrateJetDatabase(source, server.target(), false);
        QVERIFY(!refused.ok);
        QCOMPARE(differences(server.target(), first[1]), QStringList());

        const MigrationResult replaced = MigrateJetDatabase(source, server.target(), true);
        QVERIFY2(replaced.ok, qPrintable(replaced.message));
        QVERIFY(replaced.message.contains(QDir::toNativeSeparators(replaced.backupPath)));
        QCOMPARE(differences(replaced.backupPath, first[1]), QStringList());
        QCOMPARE(differences(server.target(), second[1]), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestJetMigration)
#include "test_jetmigration.moc"
