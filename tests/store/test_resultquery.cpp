#include "StoreFixture.h"

#include "store/ResultQuery.h"

class TestResultQuery : public QObject
{
    Q_OBJECT

private slots:
    void choosesByDirectoryDateAndName();
    void nameFilterTakesWildcardsAndLiteralPercent();
    void curvesComeWithTheirResults();
};

namespace
{

// Saves a graph named `name`, tested on `date` ("dd.mm.yy"), with result 1 = erg1.
qint32 save(StoreFixture &f, qint32 dir, const QString &name, const QString &date, float erg1,
    int status = BoxStatus::Graph)
{
    BoxRecord b = sampleGraph(int(erg1), 20);
    b.Status = status;
    b.PruefAm = date;
    b.Erg[1] = erg1;
    if (!f.store.SaveBox(b, SaveMode::Add, name, dir))
        qFatal("cannot save %s", qPrintable(name));
    return b.UntID;
}

QStringList names(const QList<GraphResult> &rows)
{
    QStringList n;
    for (const GraphResult &r : rows)
        n << r.Kovra;
    return n;
}

} // namespace

void TestResultQuery::choosesByDirectoryDateAndName()
{
    StoreFixture f;
    const qint32 a = *f.store.addDirectory(DirectoryType::Graphs, QStringLiteral("resin A"));
    const qint32 b = *f.store.addDirectory(DirectoryType::Graphs, QStringLiteral("resin B"));
    const qint32 p = *f.store.addDirectory(DirectoryType::Patterns, QStringLiteral("patterns"));
    save(f, a, QStringLiteral("late"), QStringLiteral("20.11.26"), 3);
    save(f, a, QStringLiteral("early"), QStringLiteral("01.11.26"), 1);
    save(f, a, QStringLiteral("undated"), QString(), 7);
    save(f, a, QStringLiteral("a pattern"), QStringLiteral("05.11.26"), 9, BoxStatus::Pattern);
    save(f, b, QStringLiteral("other"), QStringLiteral("10.11.26"), 2);
    save(f, p, QStringLiteral("in patterns"), QStringLiteral("10.11.26"), 2, BoxStatus::Pattern);

    // Graphs only, in test-date order, the undated first.
    auto all = QueryGraphResults(f.db, {});
    QVERIFY(all);
    QCOMPARE(names(*all), QStringList({ "undated", "early", "other", "late" }));
    QCOMPARE(all->at(1).Erg[1], 1.0f);
    QCOMPARE(all->at(1).PruefAm, QDate(2026, 11, 1));
    QCOMPARE(all->at(1).directory, QStringLiteral("resin A"));
    QCOMPARE(all->at(1).GrwBez, QStringLiteral("limits A"));
    QCOMPARE(all->at(1).GwO[3], 103.0f);
    QVERIFY(all->at(1).specimen.isEmpty());

    ResultSelection s;
    s.directories = { a };
    s.from = QDate(2026, 11, 1);
    s.to = QDate(2026, 11, 19);
    QCOMPARE(names(*QueryGraphResults(f.db, s)), QStringList({ "early" }));
    s.to = QDate(2026, 11, 20); // inclusive
    QCOMPARE(names(*QueryGraphResults(f.db, s)), QStringList({ "early", "late" }));
    s.directories = { a, b };
    s.from.reset();
    s.name = QStringLiteral("T");
    const auto named = QueryGraphResults(f.db, s, true);
    QCOMPARE(names(*named), QStringList({ "other", "late" }));
    QCOMPARE(named->first().specimen.size(), 20);
    QCOMPARE(named->first().specimen.at(2).toString(), QStringLiteral("2026-11-10"));
}

void TestResultQuery::nameFilterTakesWildcardsAndLiteralPercent()
{
    StoreFixture f;
    const qint32 a = *f.store.addDirectory(DirectoryType::Graphs, QStringLiteral("A"));
    for (const char *n : { "MF 12", "MF 120", "UF 12", "50% MF", "50_MF" })
        save(f, a, QString::fromLatin1(n), QStringLiteral("01.11.26"), 1);
    const auto find = [&](const QString &filter) {
        ResultSelection s;
        s.name = filter;
        QStringList n = names(*QueryGraphResults(f.db, s));
        n.sort();
        return n;
    };
    QCOMPARE(find(QStringLiteral("mf 12")), QStringList({ "MF 12", "MF 120" }));
    QCOMPARE(find(QStringLiteral("?F 12")), QStringList({ "MF 12", "UF 12" }));
    QCOMPARE(find(QStringLiteral("MF*")), QStringList({ "MF 12", "MF 120" }));
    QCOMPARE(find(QStringLiteral("50%")), QStringList({ "50% MF" }));
    QCOMPARE(find(QStringLiteral("0_")), QStringList({ "50_MF" }));
}

void TestResultQuery::curvesComeWithTheirResults()
{
    StoreFixture f;
    const qint32 a = *f.store.addDirectory(DirectoryType::Graphs, QStringLiteral("A"));
    save(f, a, QStringLiteral("one"), QStringLiteral("01.11.26"), 1);
    save(f, a, QStringLiteral("two"), QStringLiteral("02.11.26"), 2);
    QStringList seen;
    const bool read = ForEachGraphCurve(f.db, {}, [&](const GraphResult &g, const BoxRecord &c) {
        seen << g.Kovra;
        QCOMPARE(c.pointCount(), 20);
        QCOMPARE(c.y[19], 114.0f);
        QCOMPARE(c.x[0], sampleGraph(int(g.Erg[1]), 20).x[0]);
    });
    QVERIFY(read);
    QCOMPARE(seen, QStringList({ "one", "two" }));
    f.db.close();
    QVERIFY(!QueryGraphResults(f.db, {}));
    QVERIFY(!ForEachGraphCurve(f.db, {}, [](const GraphResult &, const BoxRecord &) {}));
}

QTEST_GUILESS_MAIN(TestResultQuery)
#include "test_resultquery.moc"
