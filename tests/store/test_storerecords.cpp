#include "StoreFixture.h"

#include <QSqlQuery>
#include <QSqlRecord>

// Saving boxes into records and loading them back.
class TestStoreRecords : public QObject
{
    Q_OBJECT

private:
    template <typename Array> static QList<float> head(const Array &a, int n)
    {
        return QList<float>(a.begin(), a.begin() + n);
    }

private slots:
    void graphRoundTrip_data()
    {
        QTest::addColumn<int>("points");
        QTest::newRow("no points") << 0;
        QTest::newRow("12 points") << 12;
        QTest::newRow("300 points") << 300;
    }

    void graphRoundTrip()
    {
        QFETCH(int, points);
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "g");
        BoxRecord box = sampleGraph(7, points);
        box.x[1] = 12.3456789f; // cut, not rounded, to six characters: "12,345"
        box.Changed = true;
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, "  curve  ", dir));
        QVERIFY(box.Stored && box.Changed); // Changed is the caller's to clear
        QCOMPARE(box.Kovra, "curve");
        QCOMPARE(box.VerzID, dir);

        const QSqlRecord raw = *f.store.rawRecord(box.UntID);
        QCOMPARE(raw.value("x").toString().size(), 6 * (points + 1));
        QCOMPARE(raw.value("y").toString().size(), 6 * (points + 1));
        QCOMPARE(raw.value("PrüfAm").toDate(), QDate(2026, 12, 5));
        QCOMPARE(raw.value("GrwBez").toString().size(), 50);
        if (points > 1)
            QCOMPARE(raw.value("x").toString().mid(6, 6), "12,345");

        BoxRecord loaded = sampleGraph(99, 299); // stale content to be replaced
        loaded.Changed = true;
        QVERIFY(f.store.LoadBox(loaded, box.UntID, QDate(2030, 1, 1)));
        QCOMPARE(specimenTexts(loaded), specimenTexts(box)); // a graph keeps its test date
        QCOMPARE(loaded.Status, BoxStatus::Graph);
        QVERIFY(loaded.Stored && !loaded.Changed);
        QCOMPARE(loaded.UntID, box.UntID);
        QCOMPARE(loaded.VerzID, dir);
        if (points > 1)
            box.x[1] = 12.345f;
        QCOMPARE(head(loaded.x, points + 1), head(box.x, points + 1));
        QCOMPARE(head(loaded.y, points + 1), head(box.y, points + 1));
        QCOMPARE(loaded.Ein, box.Ein);
        QCOMPARE(loaded.Erg, box.Erg);
        QCOMPARE(loaded.GwO, box.GwO);
        QCOMPARE(loaded.GWU, box.GWU);
    }

    void patternStoresSpecimenDataOnly_data()
    {
        QTest::addColumn<bool>("overGraph");
        QTest::newRow("added") << false;
        QTest::newRow("overwriting a graph") << true;
    }

    void patternStoresSpecimenDataOnly()
    {
        QFETCH(bool, overGraph);
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Patterns, "p");
        BoxRecord box = sampleGraph(3, 20);
        if (overGraph)
            QVERIFY(f.store.SaveBox(box, SaveMode::Add, "template", dir));
        const qint32 key = box.UntID;
        box.Status = BoxStatus::Pattern;
        box.Benutzer = "someone else";
        QVERIFY(
            f.store.SaveBox(box, overGraph ? SaveMode::Overwrite : SaveMode::Add, "template", dir));
        QCOMPARE(box.UntID == key, overGraph);
        QCOMPARE(f.store.listRecords(dir).size(), 1);

        const QSqlRecord raw = *f.store.rawRecord(box.UntID);
        QCOMPARE(raw.value("Status").toInt(), BoxStatus::Pattern);
        QCOMPARE(raw.value("Benutzer").toString(), "someone else");
        for (const char *c :
            { "x", "y", "Ein1", "Ein10", "Erg1", "Erg5", "GwO1", "GWO5", "GWU1", "GWU5" })
            QVERIFY2(raw.isNull(c), c);

        // Loading a pattern gives today's date and leaves curve, adjustments,
        // results and limits of the box alone.
        BoxRecord target = sampleGraph(50, 8);
        const BoxRecord before = target;
        QVERIFY(f.store.LoadBox(target, box.UntID, QDate(2027, 3, 9)));
        QCOMPARE(target.PruefAm, "09.03.27");
        QCOMPARE(target.Status, BoxStatus::Pattern);
        QCOMPARE(target.Benutzer, "someone else");
        QCOMPARE(target.x, before.x);
        QCOMPARE(target.Ein, before.Ein);
        QCOMPARE(target.Erg, before.Erg);
        QCOMPARE(target.GwO, before.GwO);
    }

    void nullColumnsKeepTheBoxFieldsAndDatesFollowTheSystem()
    {
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "g");
        BoxRecord box = sampleGraph(5);
        box.Benutzer = QString(); // empty, stored as "" and not as unknown
        box.DrVonAm = "not a date"; // stored as unknown
        box.PaVonAm = "31.02.25";
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, "n", dir));
        QSqlQuery q(f.db.connection());
        QVERIFY(q.exec(QString("UPDATE Untersuchungen SET Bemerk = NULL, GrwBez = NULL "
                               "WHERE UntID = %1")
                           .arg(box.UntID)));
        const QSqlRecord raw = *f.store.rawRecord(box.UntID);
        QVERIFY(!raw.isNull("Benutzer"));
        QVERIFY(raw.isNull("DrVonAm") && raw.isNull("PaVonAm"));

        BoxRecord target;
        target.Benutzer = "previous user";
        target.Bemerk = "previous note";
        target.DrVonAm = "31.12.99";
        target.GrwBez = "old limits";
        // Read on a system with another date notation than it was written in.
        const Notation slashes = pointNotation();
        QVERIFY(Store(f.db, slashes).LoadBox(target, box.UntID));
        QCOMPARE(target.Benutzer, "");
        QCOMPARE(target.Bemerk, "previous note");
        QCOMPARE(target.DrVonAm, "31.12.99");
        QVERIFY(target.GrwBez.isBlank());
        QCOMPARE(target.PruefAm, "05/12/26");
        QCOMPARE(target.BgVonAm, "01/02/25");
    }

    void firstMatchIsTheLowestKey()
    {
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "g");
        const qint32 other = *f.store.addDirectory(DirectoryType::Graphs, "h");
        BoxRecord a = sampleGraph(1), b = sampleGraph(2), c = sampleGraph(3);
        QVERIFY(f.store.SaveBox(c, SaveMode::Add, "twin", other));
        QVERIFY(f.store.SaveBox(a, SaveMode::Add, "twin", dir));
        QVERIFY(f.store.SaveBox(b, SaveMode::Add, "twin", dir));
        QCOMPARE(f.store.findRecord(dir, "twin"), a.UntID);
        QCOMPARE(f.store.findRecord(other, "twin"), c.UntID);
        QVERIFY(!f.store.findRecord(dir, "Twin"));

        const QList<RecordEntry> listed = f.store.listRecords(dir);
        QCOMPARE(listed.size(), 2);
        QCOMPARE(listed[0].UntID, a.UntID);
        QCOMPARE(listed[1].UntID, b.UntID);
        QCOMPARE(listed[1].Status, BoxStatus::Graph);
        QCOMPARE(listed[1].VerzID, dir);

        QVERIFY(f.store.deleteRecord(b.UntID));
        BoxRecord d = sampleGraph(4);
        QVERIFY(f.store.SaveBox(d, SaveMode::Add, "new", dir));
        QVERIFY(d.UntID > b.UntID); // the key read back is the new record's, never reused
        QCOMPARE(f.store.findRecord(dir, "new"), d.UntID);
    }

    void failuresLeaveTheBoxAlone()
    {
        StoreFixture f;
        BoxRecord box = sampleGraph(9);
        box.UntID = 12345;
        QVERIFY(!f.store.SaveBox(box, SaveMode::Overwrite, "nowhere", 1));
        QVERIFY(!f.store.lastError().isEmpty());
        QVERIFY(!f.store.LoadBox(box, 12345));
        QCOMPARE(specimenTexts(box), specimenTexts(sampleGraph(9)));
        QVERIFY(!box.Stored);
        QVERIFY(!f.store.deleteRecord(12345));
        QVERIFY(f.store.listAllRecords().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStoreRecords)
#include "test_storerecords.moc"
