#include "store/StoreFixture.h"

#include "exchange/ExportFile.h"

#include <QSqlField>
#include <QSqlRecord>

class TestExportFile : public QObject
{
    Q_OBJECT

private slots:
    // Only the columns the format names as decimal comma are turned, and the
    // curve cells; the others stay as a point system writes them.
    void wholeFileOnAPointSystem()
    {
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "d");
        BoxRecord box = sampleGraph(1, 2);
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, box.Kovra, dir));
        QSqlRecord r = *f.store.rawRecord(box.UntID);
        r.setValue("x", r.value("x").toString().replace(',', '.'));
        const QByteArray expected = "-1|-1|1|4|1|user 1|05/12/26|graph 1|limits A"
            + QByteArray(42, ' ')
            + "|type|2.5|resin|impregnator|01/02/25|printer|02/03/25|paper maker|03/04/25|"
              "120.25|80|21|12,5|4,5|3,25"
              "|0,75|line one  line two|2|3|4|5|6|101|102|103|104|105|1|2|3|4|5|"
              "1,5|2,5|3,5|4,5|5,5|6,5|7,5|8,5|9,5|10,5|\r\n"
              "0     |1,5   \r\n6     |2,5   \r\n0     |-1000 \r\n";
        QCOMPARE(FormatExportRecord(r, pointNotation()), expected);

        QSqlField note = r.field("Bemerk");
        note.clear();
        r.replace(r.indexOf("Bemerk"), note);
        QVERIFY(FormatExportRecord(r, pointNotation()).contains("|0,75||2|"));

        // Line breaks of any kind stay off the file's line structure.
        r.setValue("Bemerk", "line one\r\nline two\nthree");
        r.setValue("Benutzer", "Jürgen Größ €");
        const QByteArray file = FormatExportRecord(r, pointNotation());
        QCOMPARE(file.count('\n'), 4);
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
        for (qsizetype i = 1; i <= 301; ++i)
            QCOMPARE(lines.at(i).size(), 14); // 13 characters and the CR
        QCOMPARE(lines.at(300), "1794  |1,5   \r");
    }
};

QTEST_GUILESS_MAIN(TestExportFile)
#include "test_exportfile.moc"
