#include "KpfBuilder.h"
#include "store/StoreFixture.h"

#include "exchange/ImportTarget.h"
#include "shell/ScriptedMessages.h"

#include <QSqlRecord>

namespace
{

// Import files written into the store's folder and imported from there.
struct ImportRun : StoreFixture {
    ScriptedMessages messages;
    BoxRecord buffer;

    void write(const QString &name, const QByteArray &bytes)
    {
        if (!writeFile(dir.filePath(name), bytes))
            qFatal("cannot write %s", qPrintable(name));
    }
    bool import(const QString &name, ImportTarget &target)
    {
        return ImportOneFile(dir.filePath(name), name, buffer, target, messages);
    }
    QList<RecordEntry> imported(int type)
    {
        const auto found = store.findDirectory(type, "import");
        return found ? store.listRecords(*found) : QList<RecordEntry>();
    }
};

} // namespace

class TestImportTarget : public QObject
{
    Q_OBJECT

private slots:
    void eachKindGoesToItsImportDirectory()
    {
        ImportRun run;
        run.write("p.kpf", KpfFile().bytes());
        run.write("g.kpf", KpfFile::withPoints(12).bytes());
        ImportTarget target(run.store);
        QVERIFY(run.import("p.kpf", target));
        QVERIFY(run.buffer.UntID == -1); // the buffer is no box: it gets no key
        QVERIFY(run.import("g.kpf", target));
        QVERIFY(run.messages.entries.isEmpty());

        const QList<RecordEntry> patterns = run.imported(DirectoryType::Patterns);
        QCOMPARE(patterns.size(), 1);
        QCOMPARE(patterns.first().Kovra, "p.kpf->Probe 7");
        QCOMPARE(patterns.first().Status, BoxStatus::Pattern);
        const QSqlRecord r = *run.store.rawRecord(patterns.first().UntID);
        QCOMPARE(r.value("PrüfAm").toDate(), QDate(2024, 3, 5));
        QCOMPARE(r.value("Fluß").toFloat(), 4.2f);
        QVERIFY(r.value("x").isNull());
        QVERIFY(r.value("Erg1").isNull());

        const QList<RecordEntry> graphs = run.imported(DirectoryType::Graphs);
        QCOMPARE(graphs.size(), 1);
        BoxRecord box;
        QVERIFY(run.store.LoadBox(box, graphs.first().UntID));
        QCOMPARE(box.Status, BoxStatus::Graph);
        QCOMPARE(box.pointCount(), 13); // x(0) from the buffer, then 12 points
        QCOMPARE(box.x[12], 22.0f);
        QCOMPARE(box.y[12], 24.0f);
        QCOMPARE(box.Erg[3], 0.75f);
    }

    void sameFileTwiceLeavesOneRecord_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("specimen");
        QTest::newRow("plain name") << "twice.kpf" << QByteArray("Probe 7");
        // Longer than a stored name: the second import must still find the first.
        QTest::newRow("name longer than the column")
            << "a-rather-long-file-name-for-a-specimen.kpf"
            << QByteArray("with an even longer specimen name");
    }

    void sameFileTwiceLeavesOneRecord()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, specimen);
        ImportRun run;
        KpfFile file = KpfFile::withPoints(4);
        file.strings[3] = specimen;
        run.write(fileName, file.bytes());
        ImportTarget target(run.store);
        QVERIFY(run.import(fileName, target));

        file.strings[1] = "Schulze";
        run.write(fileName, file.bytes());
        ImportTarget nextRun(run.store);
        QVERIFY(run.import(fileName, nextRun));

        const QList<RecordEntry> records = run.imported(DirectoryType::Graphs);
        QCOMPARE(records.size(), 1);
        QCOMPARE(
            run.store.rawRecord(records.first().UntID)->value("Benutzer").toString(), "Schulze");
        QCOMPARE(run.store.listDirectories(DirectoryType::Graphs).size(), 1);
    }

    // Three files with a broken second one, as the dialog imports them, are
    // in the file dialog's test; here each kind of unreadable file.
    void unreadableFileIsReportedTwiceAndStoresNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("cut inside field 12") << "cut";
        QTest::newRow("empty file") << "empty";
        QTest::newRow("a directory") << "directory";
        QTest::newRow("missing") << "missing";
    }

    void unreadableFileIsReportedTwiceAndStoresNothing()
    {
        QFETCH(QString, kind);
        ImportRun run;
        const KpfFile file = KpfFile::withPoints(3);
        if (kind == "cut")
            run.write("2.kpf", file.bytes().left(file.offsetOfString(12) + 2));
        if (kind == "empty")
            run.write("2.kpf", QByteArray());
        if (kind == "directory")
            QVERIFY(QDir(run.dir.path()).mkdir("2.kpf"));
        ImportTarget target(run.store);
        QVERIFY(!run.import("2.kpf", target));

        const QString broken = run.dir.filePath("2.kpf");
        QCOMPARE(run.messages.texts(),
            QStringList(
                { "error on reading file: " + broken, "error while reading <" + broken + ">" }));
        QVERIFY(run.store.listAllRecords().isEmpty());
    }

    void deletedImportDirectoryIsMadeAnewByTheNextRun()
    {
        ImportRun run;
        run.write("p.kpf", KpfFile().bytes());
        ImportTarget firstRun(run.store);
        QVERIFY(run.import("p.kpf", firstRun));
        const RecordEntry first = run.imported(DirectoryType::Patterns).first();
        QVERIFY(run.store.deleteRecord(first.UntID));
        QVERIFY(run.store.deleteDirectory(first.VerzID));

        ImportTarget nextRun(run.store);
        QVERIFY(run.import("p.kpf", nextRun));
        QCOMPARE(run.imported(DirectoryType::Patterns).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestImportTarget)
#include "test_importtarget.moc"
