#include "KpfBuilder.h"
#include "store/StoreFixture.h"

#include "exchange/ImportTarget.h"
#include "core/ScriptedMessages.h"

#include <QSqlRecord>

namespace
{

// Import files written into the store's folder and imported from there.
struct ImportRun : StoreFixture {
    ScriptedMessages messages;
    BoxRecord buffer;

    void write(const QString &name, const QByteArray &bytes)
    {
        QVERIFY(writeFile(dir.filePath(name), bytes));
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
    void noPointsGivesAPatternInThePatternImportDirectory()
    {
        ImportRun run;
        run.write("p.kpf", KpfFile().bytes());
        ImportTarget target(run.store);
        QVERIFY(run.import("p.kpf", target));
        QVERIFY(run.messages.entries.isEmpty());
        QVERIFY(run.imported(DirectoryType::Graphs).isEmpty());

        const QList<RecordEntry> patterns = run.imported(DirectoryType::Patterns);
        QCOMPARE(patterns.size(), 1);
        QCOMPARE(patterns.first().Kovra, "p.kpf->Probe 7");
        const QSqlRecord r = *run.store.rawRecord(patterns.first().UntID);
        QCOMPARE(r.value("Status").toInt(), BoxStatus::Pattern);
        QCOMPARE(r.value("PrüfAm").toDate(), QDate(2024, 3, 5));
        QVERIFY(r.value("x").isNull());
        QVERIFY(r.value("Erg1").isNull());
    }

    // Names longer than the stored column: the second import must still find
    // the first.
    void sameFileTwiceLeavesOneRecord()
    {
        const QString fileName = "a-rather-long-file-name-for-a-specimen.kpf";
        ImportRun run;
        KpfFile file = KpfFile::withPoints(4);
        file.strings[3] = "with an even longer specimen name";
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
    }

    // Unreadable contents are the reader's tests; a directory in place of a
    // file fails before the reader sees a byte.
    // Two files whose names agree in their first 50 characters are two
    // specimens: neither replaces the other, and the import says how each
    // was named.
    void namesThatAgreeInTheirFirst50CharactersStayTwoRecords()
    {
        ImportRun run;
        const QString prefix = "a-file-name-that-takes-most-of-the-fifty-chars";
        KpfFile file = KpfFile::withPoints(4);
        file.strings[3] = "specimen one";
        run.write(prefix + "1.kpf", file.bytes());
        file.strings[3] = "specimen two";
        run.write(prefix + "2.kpf", file.bytes());
        ImportTarget target(run.store);
        QVERIFY(run.import(prefix + "1.kpf", target));
        QVERIFY(run.import(prefix + "2.kpf", target));
        QVERIFY(run.import(prefix + "1.kpf", target)); // again: replaces its own

        const QList<RecordEntry> records = run.imported(DirectoryType::Graphs);
        QCOMPARE(records.size(), 2);
        QVERIFY(records.at(0).Kovra != records.at(1).Kovra);
        for (const RecordEntry &r : records)
            QVERIFY(r.Kovra.size() <= 50);
        QCOMPARE(run.messages.entries.size(), 3);
        QVERIFY2(run.messages.texts().at(1).contains("is stored as \"" + records.at(1).Kovra),
            qPrintable(run.messages.texts().at(1)));
    }

    // A date that is no date is stored empty and named in the report.
    void unreadableDateIsStoredEmptyAndNamed()
    {
        ImportRun run;
        KpfFile file;
        file.strings[2] = "33.33.33";
        run.write("d.kpf", file.bytes());
        ImportTarget target(run.store);
        QVERIFY(run.import("d.kpf", target));
        QCOMPARE(run.messages.entries.size(), 1);
        QVERIFY2(run.messages.texts().first().contains("PrüfAm"),
            qPrintable(run.messages.texts().first()));
        const QList<RecordEntry> records = run.imported(DirectoryType::Patterns);
        QCOMPARE(records.size(), 1);
        QVERIFY(run.store.rawRecord(records.first().UntID)->value("PrüfAm").isNull());
    }

    void directoryInPlaceOfAFileIsReportedTwiceAndStoresNothing()
    {
        ImportRun run;
        QVERIFY(QDir(run.dir.path()).mkdir("2.kpf"));
        ImportTarget target(run.store);
        QVERIFY(!run.import("2.kpf", target));

        const QString broken = run.dir.filePath("2.kpf");
        QCOMPARE(run.messages.texts(),
            QStringList(
                { "error on reading file: " + broken, "error while reading <" + broken + ">" }));
        QVERIFY(run.store.listAllRecords().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestImportTarget)
#include "test_importtarget.moc"
