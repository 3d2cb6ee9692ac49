#include "StoreFixture.h"

#include "shell/Settings.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

// Opening, creating and refusing database files.
class TestDatabase : public QObject
{
    Q_OBJECT

private:
    // A file made by the program itself, with enough records to span many
    // pages, closed again.
    QString makeDatabase(const QTemporaryDir &dir)
    {
        const QString path = dir.filePath(QStringLiteral("kovra.mdb"));
        Database db;
        Notation n = commaNotation();
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

private slots:
    void missingFileIsCreatedWithDefaults()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sub/folder/kovra.mdb"));
        Database db;
        QVERIFY(db.open(path).ok());
        QVERIFY(db.isOpen());

        QSqlQuery q(db.connection());
        QVERIFY(q.exec("PRAGMA user_version") && q.next());
        QCOMPARE(q.value(0).toInt(), Database::SchemaVersion);
        q.finish();
        QVERIFY(q.exec("SELECT count(*) FROM Init") && q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        q.finish();

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
        QCOMPARE(s.Ruehrer, 1);
        QCOMPARE(s.Temp, 20.0f);
        QCOMPARE(s.HostAddress, QStringLiteral("127.0.0.1"));
        QCOMPARE(s.TraceText, QStringLiteral("0"));
        QCOMPARE(s.MeasureRequested, 0);
        QCOMPARE(s.AdjLimits[1].preset, 1.0f);
        QCOMPARE(s.AdjLimits[2].preset, 20.0f);

        // Reopening the file finds it sound and adds no second settings record.
        db.close();
        QVERIFY(db.open(path).ok());
        QSqlQuery again(db.connection());
        QVERIFY(again.exec("SELECT count(*) FROM Init") && again.next());
        QCOMPARE(again.value(0).toInt(), 1);
    }

    void badFileIsRefusedUnchanged_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("problem");
        QTest::newRow("text file") << "text" << int(Database::Problem::NotSqlite);
        QTest::newRow("empty file") << "empty" << int(Database::Problem::Truncated);
        QTest::newRow("header only") << "header" << int(Database::Problem::Truncated);
        QTest::newRow("cut in half") << "half" << int(Database::Problem::Truncated);
        QTest::newRow("cut inside a page") << "ragged" << int(Database::Problem::Truncated);
        QTest::newRow("other program's tables")
            << "foreign" << int(Database::Problem::TablesMissing);
        QTest::newRow("a column missing") << "column" << int(Database::Problem::TablesMissing);
        QTest::newRow("newer layout") << "newer" << int(Database::Problem::TooNew);
        QTest::newRow("a folder") << "folder" << int(Database::Problem::NotSqlite);
    }

    void badFileIsRefusedUnchanged()
    {
        QFETCH(QString, kind);
        QFETCH(int, problem);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("kovra.mdb"));

        if (kind == "text") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Standard Jet DB\0 this is not ours at all, but long enough for a header"
                    "................................................................");
        } else if (kind == "empty") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == "foreign") {
            rawExec(path,
                { "CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT)",
                    "INSERT INTO notes (body) VALUES ('keep me')" });
        } else {
            path = makeDatabase(dir);
            QVERIFY(!path.isEmpty());
            if (kind == "newer")
                rawExec(path, { "PRAGMA user_version = 99" });
            if (kind == "column")
                rawExec(path, { "ALTER TABLE Init DROP COLUMN HostAddress" });
            QFile f(path);
            const qint64 size = f.size();
            if (kind == "header")
                QVERIFY(f.resize(60));
            if (kind == "half")
                QVERIFY(f.resize(size / 2 / 4096 * 4096));
            if (kind == "ragged")
                QVERIFY(f.resize(size - 100));
        }

        const QByteArray before = QFileInfo(path).isDir() ? QByteArray() : fileBytes(path);
        Database db;
        const Database::OpenResult r = db.open(path);
        QVERIFY(!r.ok());
        QCOMPARE(int(r.problem), problem);
        QVERIFY2(r.message.contains(QDir::toNativeSeparators(path)), qPrintable(r.message));
        QVERIFY(!db.isOpen());
        if (!QFileInfo(path).isDir())
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
        Notation n = commaNotation();
        Store store(db, n);
        const qint32 graphs = *store.findDirectory(DirectoryType::Graphs, "d");
        QVERIFY(store.findRecord(graphs, "graph 3"));
    }

    void severalDatabasesOpenAtOnce()
    {
        QTemporaryDir a, b;
        Database first, second;
        QVERIFY(first.open(a.filePath("kovra.mdb")).ok());
        QVERIFY(second.open(b.filePath("kovra.mdb")).ok());
        Notation n = commaNotation();
        Store s1(first, n), s2(second, n);
        QVERIFY(s1.addDirectory(DirectoryType::Graphs, "only in first"));
        QVERIFY(s1.findDirectory(DirectoryType::Graphs, "only in first"));
        QVERIFY(!s2.findDirectory(DirectoryType::Graphs, "only in first"));
        first.close();
        QVERIFY(!first.isOpen());
        QVERIFY(!s1.listAllDirectories().size());
        QVERIFY(!s1.lastError().isEmpty());
        QVERIFY(second.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
