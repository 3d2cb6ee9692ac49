#include "StoreFixture.h"

#include <QSqlQuery>
#include <QSqlRecord>

// Saving boxes into records and loading them back.
class TestStoreRecords : public QObject
{
    Q_OBJECT

private:
    static void compareSpecimen(const BoxRecord &a, const BoxRecord &b)
    {
        QCOMPARE(a.Kovra, b.Kovra);
        QCOMPARE(a.Benutzer, b.Benutzer);
        QCOMPARE(a.BgArt, b.BgArt);
        QCOMPARE(a.Bg, b.Bg);
        QCOMPARE(a.HarzTyp, b.HarzTyp);
        QCOMPARE(a.BgVon, b.BgVon);
        QCOMPARE(a.BgVonAm, b.BgVonAm);
        QCOMPARE(a.DrVon, b.DrVon);
        QCOMPARE(a.DrVonAm, b.DrVonAm);
        QCOMPARE(a.PaVon, b.PaVon);
        QCOMPARE(a.PaVonAm, b.PaVonAm);
        QCOMPARE(a.GesGew, b.GesGew);
        QCOMPARE(a.PaGew, b.PaGew);
        QCOMPARE(a.Luftdurch, b.Luftdurch);
        QCOMPARE(a.Temp, b.Temp);
        QCOMPARE(a.Feuchte, b.Feuchte);
        QCOMPARE(a.Fluss, b.Fluss);
        QCOMPARE(a.Asche, b.Asche);
        QCOMPARE(a.Bemerk, b.Bemerk);
        QCOMPARE(a.GrwBez, b.GrwBez);
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
        box.x[1] = 100.123f; // cut to six characters: "100,12"
        box.Changed = true;
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, "  curve  ", dir));
        QVERIFY(box.Stored);
        QVERIFY(box.Changed); // the caller's to clear
        QCOMPARE(box.Kovra, "curve");
        QCOMPARE(box.VerzID, dir);
        QCOMPARE(f.store.findRecord(dir, "curve"), box.UntID);

        const QSqlRecord raw = *f.store.rawRecord(box.UntID);
        QCOMPARE(raw.value("x").toString().size(), 6 * (points + 1));
        QCOMPARE(raw.value("y").toString().size(), 6 * (points + 1));
        QCOMPARE(raw.value("PrüfAm").toDate(), QDate(2026, 12, 5));
        QCOMPARE(raw.value("GrwBez").toString().size(), 50);
        if (points > 1)
            QCOMPARE(raw.value("x").toString().mid(6, 6), "100,12");

        BoxRecord loaded = sampleGraph(99, 299); // stale content to be replaced
        loaded.Changed = true;
        QVERIFY(f.store.LoadBox(loaded, box.UntID, QDate(2030, 1, 1)));
        compareSpecimen(loaded, box);
        QCOMPARE(loaded.PruefAm, "05.12.26"); // a graph keeps its test date
        QCOMPARE(loaded.Status, BoxStatus::Graph);
        QVERIFY(loaded.Stored);
        QVERIFY(!loaded.Changed);
        QCOMPARE(loaded.UntID, box.UntID);
        QCOMPARE(loaded.VerzID, dir);
        QCOMPARE(loaded.pointCount(), points);
        for (int i = 0; i < points; ++i) {
            QCOMPARE(loaded.x[i], i == 1 ? 100.12f : box.x[i]);
            QCOMPARE(loaded.y[i], box.y[i]);
        }
        QCOMPARE(loaded.Ein, box.Ein);
        QCOMPARE(loaded.Erg, box.Erg);
        QCOMPARE(loaded.GwO, box.GwO);
        QCOMPARE(loaded.GWU, box.GWU);
    }

    void patternStoresSpecimenDataOnly()
    {
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Patterns, "p");
        BoxRecord box = sampleGraph(3, 20);
        box.Status = BoxStatus::Pattern;
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, "template", dir));

        QSqlRecord raw = *f.store.rawRecord(box.UntID);
        QStringList graphColumns = { "x", "y", "GwO1" };
        for (int k = 1; k <= 10; ++k)
            graphColumns << QString("Ein%1").arg(k);
        for (int k = 1; k <= 5; ++k)
            graphColumns << QString("Erg%1").arg(k) << QString("GWU%1").arg(k);
        for (int k = 2; k <= 5; ++k)
            graphColumns << QString("GWO%1").arg(k);
        for (const QString &c : graphColumns)
            QVERIFY2(raw.isNull(c), qPrintable(c));
        QCOMPARE(raw.value("Status").toInt(), BoxStatus::Pattern);
        QCOMPARE(raw.value("Benutzer").toString(), box.Benutzer);

        // Loading a pattern gives today's date and leaves curve, adjustments,
        // results and limits of the box alone.
        BoxRecord target = sampleGraph(50, 8);
        const BoxRecord before = target;
        QVERIFY(f.store.LoadBox(target, box.UntID, QDate(2027, 3, 9)));
        QCOMPARE(target.PruefAm, "09.03.27");
        QCOMPARE(target.Status, BoxStatus::Pattern);
        QCOMPARE(target.Benutzer, box.Benutzer);
        QCOMPARE(target.x, before.x);
        QCOMPARE(target.Ein, before.Ein);
        QCOMPARE(target.Erg, before.Erg);
        QCOMPARE(target.GwO, before.GwO);
    }

    void overwritingAGraphWithAPatternDropsTheCurve()
    {
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "g");
        BoxRecord box = sampleGraph(4, 30);
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, "a", dir));
        const qint32 key = box.UntID;
        box.Status = BoxStatus::Pattern;
        box.Benutzer = "someone else";
        QVERIFY(f.store.SaveBox(box, SaveMode::Overwrite, "a", dir));
        QCOMPARE(box.UntID, key);
        const QSqlRecord raw = *f.store.rawRecord(key);
        QCOMPARE(raw.value("Benutzer").toString(), "someone else");
        QVERIFY(raw.isNull("x") && raw.isNull("Erg1") && raw.isNull("Ein10"));
        QCOMPARE(f.store.listRecords(dir).size(), 1);
    }

    void nullColumnsKeepTheBoxFields()
    {
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "g");
        BoxRecord box = sampleGraph(5);
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, "n", dir));
        QSqlQuery q(f.db.connection());
        QVERIFY(q.exec(QString("UPDATE Untersuchungen SET Benutzer = NULL, Bemerk = NULL, "
                               "BgVonAm = NULL, GrwBez = NULL WHERE UntID = %1")
                           .arg(box.UntID)));

        BoxRecord target;
        target.Benutzer = "previous user";
        target.Bemerk = "previous note";
        target.BgVonAm = "31.12.99";
        target.GrwBez = "old limits";
        QVERIFY(f.store.LoadBox(target, box.UntID));
        QCOMPARE(target.Benutzer, "previous user");
        QCOMPARE(target.Bemerk, "previous note");
        QCOMPARE(target.BgVonAm, "31.12.99");
        QVERIFY(target.GrwBez.isBlank());
        QCOMPARE(target.DrVonAm, box.DrVonAm);
    }

    void emptyTextsAndBadDates()
    {
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "g");
        BoxRecord box = sampleGraph(6);
        box.Benutzer = QString(); // empty, stored as "" and not as unknown
        box.Bemerk = "";
        box.DrVonAm = "not a date";
        box.PaVonAm = "31.02.25";
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, "e", dir));
        const QSqlRecord raw = *f.store.rawRecord(box.UntID);
        QVERIFY(!raw.isNull("Benutzer"));
        QCOMPARE(raw.value("Benutzer").toString(), "");
        QVERIFY(!raw.isNull("Bemerk"));
        QVERIFY(raw.isNull("DrVonAm"));
        QVERIFY(raw.isNull("PaVonAm"));
    }

    void datesFollowTheSystemNotation()
    {
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "g");
        BoxRecord box = sampleGraph(8);
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, "d", dir)); // written as 05.12.26

        // The same file read on a system with another date notation.
        const Notation slashes = pointNotation();
        Store other(f.db, slashes);
        BoxRecord loaded;
        QVERIFY(other.LoadBox(loaded, box.UntID));
        QCOMPARE(loaded.PruefAm, "05/12/26");
        QCOMPARE(loaded.BgVonAm, "01/02/25");
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
        QVERIFY(a.UntID < b.UntID);
        QCOMPARE(f.store.findRecord(dir, "twin"), a.UntID);
        QCOMPARE(f.store.findRecord(other, "twin"), c.UntID);
        QVERIFY(!f.store.findRecord(dir, "Twin"));

        const QList<RecordEntry> listed = f.store.listRecords(dir);
        QCOMPARE(listed.size(), 2);
        QCOMPARE(listed[0].UntID, a.UntID);
        QCOMPARE(listed[1].UntID, b.UntID);
        QCOMPARE(listed[0].Status, BoxStatus::Graph);
        QCOMPARE(listed[0].VerzID, dir);
        QCOMPARE(f.store.listAllRecords().size(), 3);

        QVERIFY(f.store.deleteRecord(a.UntID));
        QCOMPARE(f.store.findRecord(dir, "twin"), b.UntID);
        BoxRecord d = sampleGraph(4);
        QVERIFY(f.store.SaveBox(d, SaveMode::Add, "new", dir));
        QVERIFY(d.UntID > b.UntID); // the key read back is the new record's
    }

    void failuresLeaveTheBoxAlone()
    {
        StoreFixture f;
        BoxRecord box = sampleGraph(9);
        box.UntID = 12345;
        const BoxRecord before = box;
        QVERIFY(!f.store.SaveBox(box, SaveMode::Overwrite, "nowhere", 1));
        QVERIFY(!f.store.lastError().isEmpty());
        QCOMPARE(box.Kovra, before.Kovra);
        QVERIFY(!box.Stored);
        QVERIFY(!f.store.LoadBox(box, 12345));
        QCOMPARE(box.Kovra, before.Kovra);
        QVERIFY(!f.store.rawRecord(12345));
        QVERIFY(!f.store.deleteRecord(12345));
        QVERIFY(f.store.listAllRecords().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStoreRecords)
#include "test_storerecords.moc"
