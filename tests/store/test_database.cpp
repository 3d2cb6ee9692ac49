#include "StoreFixture.h"

#include "core/Settings.h"

#include <QSqlError>
#include <QSqlQuery>

// Opening, creating and refusing database files, and the settings record.
class TestDatabase : public QObject
{
    Q_OBJECT

private:
    // A file made by the program itself, with enough records to span many
    // pages, closed again.
    static QString makeDatabase(const QTemporaryDir &dir)
    {
        const QString path = dir.filePath(QStringLiteral("kovra.mdb"));
        Database db;
        const Notation n = commaNotation();
        Store store(db, n);
        if (!db.open(path))
            return {};
        const qint32 dir0 = *store.addDirectory(DirectoryType::Graphs, QStringLiteral("d"));
        for (int i = 0; i < 20; ++i) {
            BoxRecord b = sampleGraph(i, 300);
            store.SaveBox(b, SaveMode::Add, b.Kovra, dir0);
        }
        db.close();
        return path;
    }

    static void rawExec(const QString &path, const QStringList &statements)
    {
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
            raw.setDatabaseName(path);
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            for (const QString &s : statements)
                QVERIFY2(q.exec(s), qPrintable(q.lastError().text()));
        }
        QSqlDatabase::removeDatabase("raw");
    }

    static int count(Database &db, const QString &sql)
    {
        QSqlQuery q(db.connection());
        return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
    }

private slots:
    void missingFileIsCreatedWithDefaults()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sub/folder/kovra.mdb"));
        Database db;
        QVERIFY(db.open(path).ok());
        QCOMPARE(count(db, "PRAGMA user_version"), Database::SchemaVersion);

        Notation n = commaNotation();
        Store store(db, n);
        Settings s;
        s.DisKvFa.fill(0);
        QVERIFY(store.LoadSettings(s));
        QCOMPARE(QSet<qint32>(s.DisKvFa.begin() + 1, s.DisKvFa.end()).size(), 5);
        QCOMPARE(s.ActiveBox, 1);

        // Reopening the file finds it sound and adds no second settings record.
        db.close();
        QVERIFY(db.open(path).ok());
        QCOMPARE(count(db, "SELECT count(*) FROM Init"), 1);
    }

    void badFileIsRefusedUnchanged_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<Database::Problem>("problem");
        using P = Database::Problem;
        QTest::newRow("text file") << "text" << P::NotSqlite;
        QTest::newRow("empty file") << "empty" << P::Truncated;
        QTest::newRow("cut inside a page") << "ragged" << P::Truncated;
        QTest::newRow("other program's tables") << "foreign" << P::TablesMissing;
        QTest::newRow("newer layout") << "newer" << P::TooNew;
    }

    void badFileIsRefusedUnchanged()
    {
        QFETCH(QString, kind);
        QFETCH(Database::Problem, problem);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("kovra.mdb"));
        QFile f(path);
        if (kind == "text" || kind == "empty") {
            QVERIFY(f.open(QIODevice::WriteOnly));
            if (kind == "text")
                f.write(QByteArray("Standard Jet DB\0 not ours at all", 33).repeated(4));
            f.close();
        } else if (kind == "foreign") {
            rawExec(path, { "CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT)" });
        } else {
            QCOMPARE(makeDatabase(dir), path);
            if (kind == "newer")
                rawExec(path, { "PRAGMA user_version = 99" });
            if (kind == "ragged")
                QVERIFY(f.resize(f.size() - 100));
        }

        const QByteArray before = fileBytes(path);
        Database db;
        const Database::OpenResult r = db.open(path);
        QCOMPARE(r.problem, problem);
        QVERIFY2(r.message.contains(QDir::toNativeSeparators(path)), qPrintable(r.message));
        QVERIFY(!db.isOpen());
        QCOMPARE(fileBytes(path), before);
    }

    void fileLockedByAnotherProgramIsRefused()
    {
        QTemporaryDir dir;
        const QString path = makeDatabase(dir);
        const QByteArray before = fileBytes(path);
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "other");
            other.setDatabaseName(path);
            QVERIFY(other.open());
            QSqlQuery q(other);
            QVERIFY(q.exec("PRAGMA locking_mode = EXCLUSIVE"));
            QVERIFY(q.exec("BEGIN EXCLUSIVE"));

            Database db;
            const Database::OpenResult r = db.open(path);
            QCOMPARE(r.problem, Database::Problem::Locked);
            QVERIFY(r.message.contains("locked"));
            QVERIFY(q.exec("ROLLBACK"));
        }
        QSqlDatabase::removeDatabase("other");
        QCOMPARE(fileBytes(path), before);
    }

    void installedProgramsKeepTheirDataElsewhere_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("system");
        QTest::newRow("package") << "/usr/bin" << true;
        QTest::newRow("opt") << "/opt/zandor/bin" << true;
        QTest::newRow("portable copy") << "/home/lab/zandor" << false;
        QTest::newRow("look-alike") << "/usrdata/zandor" << false;
    }

    void installedProgramsKeepTheirDataElsewhere()
    {
        QFETCH(QString, folder);
        QFETCH(bool, system);
        QCOMPARE(Database::isSystemFolder(folder), system);
    }

    // Each writer of the settings record touches only the columns it owns.
    void writersTouchOnlyTheirColumns()
    {
        StoreFixture f;
        Settings s, loaded;
        QVERIFY(f.store.LoadSettings(s));
        s.DisKvFa = { 0, 1, 2, 3, 4, 0x00FFFFFF };
        s.PrnOffOb = 1.25f; // not a colour column: must not be written
        QVERIFY(f.store.writeColours(s));
        QVERIFY(f.store.LoadSettings(loaded));
        QCOMPARE(loaded.DisKvFa, s.DisKvFa);
        QCOMPARE(loaded.PrnOffOb, 0.5f);

        s.Viskos = 0.1234f;
        s.ActiveBox = 5; // the running program's choice: not written
        s.ScopeOfTime = 500; // neither
        s.DisKvFa[1] = 77; // owned by the colour command
        QVERIFY(f.store.writeOtherAdjustments(s, 2, std::nullopt));
        QVERIFY(f.store.LoadSettings(loaded));
        QCOMPARE(loaded.PrnOffOb, 1.25f);
        QCOMPARE(loaded.Viskos, 0.1234f);
        QCOMPARE(loaded.ActiveBox, 2);
        QCOMPARE(loaded.ScopeOfTime, 10.0f); // AZB left as it was
        QCOMPARE(loaded.DisKvFa[1], 1);
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
