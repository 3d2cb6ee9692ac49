#include "store/StoreFixture.h"

#include "exchange/ExportFile.h"

#include <QSqlField>
#include <QSqlRecord>

namespace
{

// A stored two-point graph (sampleGraph 1) as the store hands it out.
QSqlRecord storedGraph(StoreFixture &f)
{
    const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "d");
    BoxRecord box = sampleGraph(1, 2);
    if (!f.store.SaveBox(box, SaveMode::Add, box.Kovra, dir))
        qFatal("cannot store the graph");
    return *f.store.rawRecord(box.UntID);
}

void setNull(QSqlRecord &r, const QString &name)
{
    QSqlField f = r.field(name);
    f.clear();
    r.replace(r.indexOf(name), f);
}

} // namespace

class TestExportFile : public QObject
{
    Q_OBJECT

private slots:
    void wholeFile_data()
    {
        QTest::addColumn<bool>("comma");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray results
            = "|0,75|line one  line two|2|3|4|5|6|101|102|103|104|105|1|2|3|4|5|"
              "1,5|2,5|3,5|4,5|5,5|6,5|7,5|8,5|9,5|10,5|\r\n"
              "0     |1,5   \r\n6     |2,5   \r\n0     |-1000 \r\n";
        const QByteArray limits = "limits A" + QByteArray(42, ' ');
        QTest::newRow("comma system") << true
                                      << "-1|-1|1|4|1|user 1|05.12.26|graph 1|" + limits
                + "|type|2,5|resin|impregnator|01.02.25|printer|02.03.25|paper maker|03.04.25|"
                  "120,25|80|21|12,5|4,5|3,25"
                + results;
        // Only the columns the format names as decimal comma are turned, and
        // the curve cells; the others stay as the system writes them.
        QTest::newRow("point system") << false
                                      << "-1|-1|1|4|1|user 1|05/12/26|graph 1|" + limits
                + "|type|2.5|resin|impregnator|01/02/25|printer|02/03/25|paper maker|03/04/25|"
                  "120.25|80|21|12,5|4,5|3,25"
                + results;
    }

    void wholeFile()
    {
        QFETCH(bool, comma);
        QFETCH(QByteArray, expected);
        StoreFixture f;
        QSqlRecord r = storedGraph(f);
        if (!comma) // cells as a point system stores them
            r.setValue("x", r.value("x").toString().replace(',', '.'));
        QCOMPARE(FormatExportRecord(r, comma ? commaNotation() : pointNotation()), expected);
    }

    void nullsNotesAndUmlauts()
    {
        StoreFixture f;
        QSqlRecord r = storedGraph(f);
        for (const char *column : { "Bemerk", "DrVonAm", "Ein10", "x", "y" })
            setNull(r, column);
        QByteArray file = FormatExportRecord(r, commaNotation());
        QVERIFY(file.contains("|0,75||2|")); // Asche, Bemerk, Erg1
        QVERIFY(file.contains("|printer||paper maker|"));
        QVERIFY(file.endsWith("|9,5||\r\n")); // and no point lines
        QCOMPARE(file.count('|'), 51);

        // Line breaks of any kind stay off the file's line structure.
        r.setValue("Bemerk", "line one\r\nline two\nthree");
        r.setValue("Benutzer", "Jürgen Größ €");
        file = FormatExportRecord(r, commaNotation());
        QCOMPARE(file.count('\n'), 1);
        QVERIFY(file.contains("|line one  line two  three|"));
        QVERIFY(file.contains("|J\xfcrgen Gr\xf6\xdf \x80|"));
    }

    void storedRecordReplacesAFileOrWritesNone()
    {
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "d");
        BoxRecord box = sampleGraph(2, 300);
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, box.Kovra, dir));
        const QString path = f.dir.filePath("export.dat");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(50000, 'z')));
        old.close();

        QVERIFY(!ExportRecord(f.store, box.UntID + 1, path, f.notation));
        QCOMPARE(fileBytes(path), QByteArray(50000, 'z'));
        QVERIFY(ExportRecord(f.store, box.UntID, path, f.notation));
        const QList<QByteArray> lines = fileBytes(path).split('\n');
        QCOMPARE(lines.size(), 1 + 301 + 1); // the record, the points, nothing after the last
        QVERIFY(lines.first().startsWith("-1|-1|"));
        for (qsizetype i = 1; i <= 301; ++i)
            QCOMPARE(lines.at(i).size(), 14); // 13 characters and the CR
        QCOMPARE(lines.at(300), "1794  |1,5   \r");
    }
};

QTEST_GUILESS_MAIN(TestExportFile)
#include "test_exportfile.moc"
