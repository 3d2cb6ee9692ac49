#include "StoreFixture.h"

#include "store/RunJournal.h"

#include <QSqlError>
#include <QSqlQuery>

// The run journal in the database file, and the graph's record of how its
// curve was measured.
class TestRunJournal : public QObject
{
    Q_OBJECT

private slots:
    void pointsSurviveAReopenAndComeBackAsAnIncompleteGraph();
    void clearedRunsAreGone();
    void missingAndIncompleteSurviveSaveAndLoad();
    void anOlderFileIsUpgradedWhenOpened();
};

void TestRunJournal::pointsSurviveAReopenAndComeBackAsAnIncompleteGraph()
{
    StoreFixture f;
    BoxRecord start = sampleGraph(3, 0);
    start.BoxNr = 2;
    start.Kovra = QStringLiteral("B7");
    const QDateTime begun(QDate(2026, 12, 5), QTime(9, 30));
    std::optional<qint64> id;
    {
        RunJournal journal(f.db);
        id = journal.begin(start, begun);
        QVERIFY(id);
        QVERIFY(journal.write(*id, { { 1, 10, 1.5f, false }, { 2, 10, 3, true } }));
        // The next reading: the substitute before it is rewritten interpolated.
        QVERIFY(journal.write(*id, { { 2, 15, 3, true }, { 3, 20, 4.5f, false } }));
        QVERIFY(journal.write(*id,
            {
                { 4, 20, 6, true },
            }));
    }
    f.db.close();
    QVERIFY(f.db.open(f.path()));

    const QList<RunJournal::Interrupted> runs = RunJournal(f.db).interrupted();
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs[0].boxNr, 2);
    QCOMPARE(runs[0].name, QStringLiteral("B7"));
    QCOMPARE(runs[0].begun, begun);
    QCOMPARE(specimenTexts(runs[0].box), specimenTexts(start));
    QVERIFY(runs[0].box.Ein == start.Ein);

    const BoxRecord box = RestoredBox(runs[0]);
    QCOMPARE(QList<float>(box.x.begin(), box.x.begin() + 5),
        (QList<float> { 10, 10, 15, 20, CurveEndMark })); // the trailing substitute dropped
    QCOMPARE(QList<float>(box.y.begin(), box.y.begin() + 4), (QList<float> { 0, 1.5f, 3, 4.5f }));
    QCOMPARE(box.Fehlend, 1);
    QVERIFY(box.Unvollst && box.Changed && !box.Stored);
    QCOMPARE(box.Status, BoxStatus::Graph);
}

void TestRunJournal::clearedRunsAreGone()
{
    StoreFixture f;
    RunJournal journal(f.db);
    const auto first = journal.begin(sampleGraph(1, 0), QDateTime::currentDateTime());
    const auto second = journal.begin(sampleGraph(2, 0), QDateTime::currentDateTime());
    QVERIFY(first && second && *first != *second);
    QVERIFY(journal.write(*first, { { 1, 5, 1, false } }));
    QSqlQuery flush(f.db.connection());
    QVERIFY(flush.exec("PRAGMA synchronous") && flush.next());
    QCOMPARE(flush.value(0).toInt(), 2); // saved records still go through to the disk
    flush.finish();
    QVERIFY(journal.clear(*first));
    const auto runs = journal.interrupted();
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs[0].id, *second);
    QVERIFY(runs[0].points.isEmpty());
    QCOMPARE(RestoredBox(runs[0]).pointCount(), 0); // no reading: an empty curve
    QSqlQuery q(f.db.connection());
    QVERIFY(q.exec("SELECT COUNT(*) FROM Messpunkte") && q.next());
    QCOMPARE(q.value(0).toInt(), 0);
}

void TestRunJournal::missingAndIncompleteSurviveSaveAndLoad()
{
    StoreFixture f;
    const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, QStringLiteral("d"));
    BoxRecord graph = sampleGraph(4);
    graph.Fehlend = 3;
    graph.Unvollst = true;
    QVERIFY(f.store.SaveBox(graph, SaveMode::Add, graph.Kovra, dir));
    BoxRecord loaded;
    loaded.Fehlend = 9;
    QVERIFY(f.store.LoadBox(loaded, graph.UntID));
    QCOMPARE(loaded.Fehlend, 3);
    QVERIFY(loaded.Unvollst);

    // Saved as a pattern, the record keeps no trace of the curve.
    loaded.Status = BoxStatus::Pattern;
    QVERIFY(f.store.SaveBox(loaded, SaveMode::Overwrite, loaded.Kovra, dir));
    BoxRecord pattern = graph; // a box that held the graph
    QVERIFY(f.store.LoadBox(pattern, graph.UntID));
    QCOMPARE(pattern.Fehlend, 0);
    QVERIFY(!pattern.Unvollst);
}

void TestRunJournal::anOlderFileIsUpgradedWhenOpened()
{
    StoreFixture f;
    const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, QStringLiteral("d"));
    BoxRecord graph = sampleGraph(5);
    QVERIFY(f.store.SaveBox(graph, SaveMode::Add, graph.Kovra, dir));
    f.db.close();
    {
        // Back to the first layout, as an older program left the file.
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
        raw.setDatabaseName(f.path());
        QVERIFY(raw.open());
        QSqlQuery q(raw);
        for (const char *sql : { "DROP TABLE Messpunkte", "DROP TABLE Messjournal",
                 "ALTER TABLE Untersuchungen DROP COLUMN Fehlend",
                 "ALTER TABLE Untersuchungen DROP COLUMN Unvollst", "PRAGMA user_version = 1" })
            QVERIFY2(q.exec(QString::fromLatin1(sql)), qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase("raw");

    QVERIFY(f.db.open(f.path()));
    BoxRecord loaded;
    QVERIFY(f.store.LoadBox(loaded, graph.UntID));
    QCOMPARE(loaded.Fehlend, 0); // an older record: a whole curve
    QVERIFY(!loaded.Unvollst);
    QVERIFY(RunJournal(f.db).begin(graph, QDateTime::currentDateTime()));
}

QTEST_GUILESS_MAIN(TestRunJournal)
#include "test_runjournal.moc"
