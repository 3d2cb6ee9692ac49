#include "StoreFixture.h"

#include "shell/Settings.h"

#include <QSqlError>
#include <QSqlQuery>

// Opening, creating and refusing database files.
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
        for (int i = 0; i < 40; ++i) {
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
        s.TraceText = "5";
        s.MeasureRequested = 1;
        QVERIFY(store.LoadSettings(s));
        QCOMPARE(QSet<qint32>(s.DisKvFa.begin() + 1, s.DisKvFa.end()).size(), 5);
        QCOMPARE(s.PrnOffOb, 0.5f);
        QCOMPARE(s.PrnOffLi, 0.5f);
        QCOMPARE(s.ActiveBox, 1);
        QCOMPARE(s.ScopeOfTime, 10.0f);
        QCOMPARE(s.LinieDr, 4);
        QCOMPARE(s.LinieGr, 2);
        QCOMPARE(s.AdjLimits[1].preset, 1.0f); // Rührer
        QCOMPARE(s.AdjLimits[2].preset, 20.0f); // Temp
        QCOMPARE(s.TraceText, QStringLiteral("0"));
        QCOMPARE(s.MeasureRequested, 0);

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
        QTest::newRow("a folder") << "folder" << P::NotSqlite;
        QTest::newRow("empty file") << "empty" << P::Truncated;
        QTest::newRow("header only") << "header" << P::Truncated;
        QTest::newRow("cut in half") << "half" << P::Truncated;
        QTest::newRow("cut inside a page") << "ragged" << P::Truncated;
        QTest::newRow("other program's tables") << "foreign" << P::TablesMissing;
        QTest::newRow("a column missing") << "column" << P::TablesMissing;
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
        } else if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == "foreign") {
            rawExec(path, { "CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT)" });
        } else {
            QCOMPARE(makeDatabase(dir), path);
            if (kind == "newer")
                rawExec(path, { "PRAGMA user_version = 99" });
            if (kind == "column")
                rawExec(path, { "ALTER TABLE Init DROP COLUMN HostAddress" });
            const qint64 size = f.size();
            if (kind == "header")
                QVERIFY(f.resize(60));
            if (kind == "half")
                QVERIFY(f.resize(size / 2 / 4096 * 4096));
            if (kind == "ragged")
                QVERIFY(f.resize(size - 100));
        }

        const QByteArray before = fileBytes(path);
        Database db;
        const Database::OpenResult r = db.open(path);
        QCOMPARE(r.problem, problem);
        QVERIFY2(r.message.contains(QDir::toNativeSeparators(path)), qPrintable(r.message));
        QVERIFY(!db.isOpen());
        QCOMPARE(fileBytes(path), before);
        QVERIFY(!QFileInfo::exists(path + "-wal"));
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

    void lostIndexComesBack()
    {
        QTemporaryDir dir;
        const QString path = makeDatabase(dir);
        rawExec(path, { "DROP INDEX Untersuchungen_Kovra" });
        Database db;
        QVERIFY(db.open(path).ok());
        QCOMPARE(
            count(db, "SELECT count(*) FROM sqlite_master WHERE name = 'Untersuchungen_Kovra'"), 1);
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
