#include "StoreFixture.h"

#include "store/CurveCells.h"

#include <QSqlQuery>
#include <QSqlRecord>

// Directories, limit files and records: keys, names, saving and loading.
class TestStoreRecords : public QObject
{
    Q_OBJECT

private slots:
    void namesRoundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("quotes") << "O'Brien \"best\" batch";
        QTest::newRow("percent") << "100% _resin_ %d";
        QTest::newRow("umlauts") << "Prüfung Größe Fluß";
        QTest::newRow("non-Latin") << "試験 испытание δοκιμή";
    }

    void namesRoundTrip()
    {
        QFETCH(QString, name);
        StoreFixture f;
        QVERIFY(f.store.addDirectory(DirectoryType::Patterns, "decoy"));
        const auto key = f.store.addDirectory(DirectoryType::Patterns, name);
        QVERIFY(key);
        QCOMPARE(f.store.findDirectory(DirectoryType::Patterns, name), key);
        QCOMPARE(f.store.listDirectories(DirectoryType::Patterns).last().VerzName, name);

        BoxRecord box = sampleGraph(1);
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, name, *key));
        QCOMPARE(f.store.findRecord(*key, name), box.UntID);
        BoxRecord loaded;
        QVERIFY(f.store.LoadBox(loaded, box.UntID));
        QCOMPARE(loaded.Kovra, name);
    }

    void namesCompareExactlyAfterTrimmingOncePerType()
    {
        StoreFixture f;
        const auto graphs = f.store.addDirectory(DirectoryType::Graphs, "  Resin A  ");
        const auto patterns = f.store.addDirectory(DirectoryType::Patterns, "Resin A");
        QVERIFY(graphs && patterns && *graphs != *patterns);
        QCOMPARE(f.store.listDirectories(DirectoryType::Graphs).first().VerzName, "Resin A");
        QCOMPARE(f.store.findDirectory(DirectoryType::Graphs, " Resin A"), graphs);
        QCOMPARE(f.store.findDirectory(DirectoryType::Patterns, "Resin A"), patterns);
        QVERIFY(!f.store.findDirectory(DirectoryType::Graphs, "resin a"));
        QVERIFY(!f.store.addDirectory(DirectoryType::Graphs, "Resin A"));
        QVERIFY(!f.store.addDirectory(DirectoryType::Graphs, "   "));
    }

    void graphDirectoryHoldingAPatternIsNotEmpty()
    {
        StoreFixture f;
        const qint32 graphs = *f.store.addDirectory(DirectoryType::Graphs, "g");
        QCOMPARE(
            f.store.isDirectoryEmpty(graphs, DirectoryType::Graphs), std::optional<bool>(true));
        BoxRecord pattern = sampleGraph(2);
        pattern.Status = BoxStatus::Pattern;
        QVERIFY(f.store.SaveBox(pattern, SaveMode::Add, "p", graphs));
        QCOMPARE(
            f.store.isDirectoryEmpty(graphs, DirectoryType::Graphs), std::optional<bool>(false));
        QVERIFY(!f.store.deleteDirectory(graphs));
        QVERIFY(f.store.deleteRecord(pattern.UntID));
        QVERIFY(f.store.deleteDirectory(graphs));
    }

    void limitFiles()
    {
        StoreFixture f;
        const qint32 dirA = *f.store.addDirectory(DirectoryType::Limits, "A");
        const qint32 dirB = *f.store.addDirectory(DirectoryType::Limits, "B");
        LimitFile file;
        file.GrwName = " Standard ";
        file.VerzID = dirA;
        file.lower.fill(1.25f);
        // A limit directory is tested against limit files only, even when a
        // record carries its key.
        BoxRecord stray = sampleGraph(3);
        QVERIFY(f.store.SaveBox(stray, SaveMode::Add, "stray", dirA));
        QCOMPARE(f.store.isDirectoryEmpty(dirA, DirectoryType::Limits), std::optional<bool>(true));
        const auto key = f.store.addLimitFile(file);
        QVERIFY(key);
        QCOMPARE(file.GrwID, *key);
        QCOMPARE(f.store.isDirectoryEmpty(dirA, DirectoryType::Limits), std::optional<bool>(false));

        LimitFile twin = file;
        QVERIFY(!f.store.addLimitFile(twin)); // same name, same directory
        twin.VerzID = dirB;
        QVERIFY(f.store.addLimitFile(twin)); // another directory is fine
        QCOMPARE(f.store.findLimitFile(dirA, "Standard"), key);
        QCOMPARE(f.store.findLimitFile(dirB, "Standard"), twin.GrwID);

        LimitFile changed = file;
        changed.GrwName = "renamed?";
        changed.VerzID = dirB;
        changed.upper[3] = 9.999f;
        QVERIFY(f.store.changeLimitFile(changed));
        const QList<LimitFile> inA = f.store.listLimitFiles(dirA);
        QCOMPARE(inA.size(), 1);
        QCOMPARE(inA.first().GrwName, "Standard"); // name and directory stay
        QCOMPARE(inA.first().upper[3], 9.999f);

        QVERIFY(f.store.deleteLimitFile(*key));
        QVERIFY(!f.store.readLimitFile(*key));
        QVERIFY(!f.store.changeLimitFile(changed));
    }

    void graphRoundTrip()
    {
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "g");
        BoxRecord box = sampleGraph(7, 300);
        box.x[1] = 12.3456789f; // cut, not rounded, to six characters: "12,345"
        box.Changed = true;
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, "  curve  ", dir));
        QVERIFY(box.Stored && box.Changed); // Changed is the caller's to clear
        QCOMPARE(box.Kovra, "curve");
        QCOMPARE(box.VerzID, dir);

        const QSqlRecord raw = *f.store.rawRecord(box.UntID);
        QCOMPARE(raw.value("x").toString().size(), 1806);
        QCOMPARE(raw.value("PrüfAm").toDate(), QDate(2026, 12, 5));
        QCOMPARE(raw.value("x").toString().mid(6, 6), "12,345");

        BoxRecord loaded = sampleGraph(99, 299); // stale content to be replaced
        loaded.Changed = true;
        QVERIFY(f.store.LoadBox(loaded, box.UntID, QDate(2030, 1, 1)));
        QCOMPARE(specimenTexts(loaded), specimenTexts(box)); // a graph keeps its test date
        QVERIFY(loaded.Stored && !loaded.Changed);
        box.x[1] = 12.345f;
        QCOMPARE(loaded.x, box.x);
        QCOMPARE(loaded.y, box.y);
        QCOMPARE(loaded.Ein, box.Ein);
        QCOMPARE(loaded.Erg, box.Erg);
        QCOMPARE(loaded.GWU, box.GWU);
    }

    // Overwriting a graph, so every curve, adjustment, result and limit
    // column held a value before.
    void patternStoresSpecimenDataOnly()
    {
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Patterns, "p");
        BoxRecord box = sampleGraph(3, 20);
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, "template", dir));
        const qint32 key = box.UntID;
        box.Status = BoxStatus::Pattern;
        box.Benutzer = "someone else";
        QVERIFY(f.store.SaveBox(box, SaveMode::Overwrite, "template", dir));
        QCOMPARE(box.UntID, key);
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
        QCOMPARE(target.Benutzer, "someone else");
        QCOMPARE(target.x, before.x);
        QCOMPARE(target.Erg, before.Erg);
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
        QVERIFY(!raw.isNull("Benutzer") && raw.isNull("DrVonAm") && raw.isNull("PaVonAm"));

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
        QCOMPARE(target.DrVonAm, ""); // no date: never the previous specimen's
        QVERIFY(target.GrwBez.isBlank());
        QCOMPARE(target.PruefAm, "05/12/26");
    }

    void firstMatchIsTheLowestKey()
    {
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "g");
        const qint32 other = *f.store.addDirectory(DirectoryType::Graphs, "h");
        BoxRecord a = sampleGraph(1), b = sampleGraph(2), c = sampleGraph(3);
        QVERIFY(f.store.SaveBox(c, SaveMode::Add, "twin", other));
        QVERIFY(f.store.SaveBox(a, SaveMode::Add, "twin", dir));
        // The store never writes a second one; a file edited elsewhere may
        // hold one.
        QVERIFY(!f.store.SaveBox(b, SaveMode::Add, "twin", dir));
        QVERIFY(f.store.SaveBox(b, SaveMode::Add, "twin two", dir));
        QVERIFY(QSqlQuery(f.db.connection())
                    .exec(QString("UPDATE Untersuchungen SET Kovra = 'twin' WHERE UntID = %1")
                              .arg(b.UntID)));
        QCOMPARE(f.store.findRecord(dir, "twin"), a.UntID);
        QCOMPARE(f.store.findRecord(other, "twin"), c.UntID);
        QVERIFY(!f.store.findRecord(dir, "Twin"));

        const QList<RecordEntry> listed = f.store.listRecords(dir);
        QCOMPARE(listed.size(), 2);
        QCOMPARE(listed[0].UntID, a.UntID);
        QCOMPARE(listed[1].UntID, b.UntID);

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
        QVERIFY(!f.store.LoadBox(box, 12345));
        QCOMPARE(specimenTexts(box), specimenTexts(sampleGraph(9)));
        QVERIFY(!box.Stored);
        QVERIFY(f.store.listAllRecords().isEmpty());
    }

    // Stored cells are read back with either separator, and a damaged text
    // never reads past the arrays.
    void readerAcceptsEitherSeparatorAndStaysInsideArrays()
    {
        BoxRecord box;
        box.x.fill(7);
        ReadCurveCells(
            QStringLiteral("1.5   2,25  -1000 "), QStringLiteral("0     30    60    "), box);
        QCOMPARE(box.x[1], 2.25f);
        QCOMPARE(box.y[1], 30.0f);
        QCOMPARE(box.pointCount(), 2);
        QCOMPARE(box.x[3], 7.0f); // beyond the stored cells nothing changes

        ReadCurveCells(QString(6 * 400, QLatin1Char('1')), QStringLiteral("5     "), box);
        QCOMPARE(box.x[300], 111111.0f);
        QCOMPARE(box.y[0], 5.0f);
        QCOMPARE(box.y[1], 0.0f);
    }
};

QTEST_GUILESS_MAIN(TestStoreRecords)
#include "test_storerecords.moc"
