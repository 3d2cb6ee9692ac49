#include "KpfBuilder.h"

#include "exchange/ImportFile.h"
#include "core/BoxRecord.h"

#include <QtTest>
#include <limits>

class TestImportFile : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryField()
    {
        KpfFile file = KpfFile::withPoints(3);
        const QByteArray dos("\x81\x84\x8e\x94\x99\x9a\xe1 \xe9", 9);
        file.strings[1] = dos; // user: its umlauts converted
        file.strings[2] = dos; // test date: taken as it is
        file.strings[5] = "112,5"; // numbers with either separator; empty is zero
        file.strings[13] = "";
        BoxRecord box;
        box.x[0] = 7; // index 0 is not carried by the file
        box.Ein[2] = 33; // neither is the second adjustment
        QVERIFY(ParseImportData(file.bytes(), box, "a.kpf"));

        QCOMPARE(box.Status, BoxStatus::Graph);
        QCOMPARE(
            (QStringList { box.Benutzer, box.PruefAm, box.Kovra, box.BgArt, box.HarzTyp, box.BgVon,
                box.BgVonAm, box.DrVon, box.DrVonAm, box.PaVon, box.PaVonAm, box.Bemerk }),
            (QStringList { "üäÄöÖÜß é", "\u0081\u201e\u017d\u201d\u2122\u0161\u00e1 \u00e9",
                "a.kpf->Probe 7", "Dekor", "Melamin", "Schmidt", "01.03.24", "Druck AG", "02.03.24",
                "Papier GmbH", "28.02.24", "first second" }));
        QCOMPARE((QList<float> { box.Bg, box.GesGew, box.Feuchte, box.PaGew, box.Fluss, box.Asche,
                     box.Luftdurch, box.Temp }),
            (QList<float> { 112.5f, 0, 6.5f, 80, 4.2f, 0.3f, 12, 21.5f }));
        QCOMPARE(box.Erg, (std::array<float, 6> { 0, 12.5f, 130, 0.75f, 40, 88 }));
        QCOMPARE(
            box.Ein, (std::array<float, 11> { 0, 3, 33, 4, 10, 350, 100, 0.18f, 0.5f, 0.02f, 10 }));
        QCOMPARE(QList<float>(box.x.begin(), box.x.begin() + 5),
            (QList<float> { 7, 11, 12, 13, CurveEndMark }));
        QCOMPARE(box.y[3], 6.0f);
    }

    void pointCounts_data()
    {
        QTest::addColumn<double>("count");
        QTest::addColumn<int>("points");
        QTest::newRow("none") << 0.0 << 0;
        QTest::newRow("negative: a pattern") << -1.0 << 0;
        QTest::newRow("far below: a pattern") << -1e300 << 0;
        QTest::newRow("a half: none") << 0.5 << 0;
        QTest::newRow("half to even") << 2.5 << 2;
        QTest::newRow("most the record holds") << 299.0 << 299;
    }

    void pointCounts()
    {
        QFETCH(double, count);
        QFETCH(int, points);
        KpfFile file = KpfFile::withPoints(points);
        file.count = count;
        BoxRecord box;
        box.x[1] = 55;
        // Bytes behind the last field are never looked at.
        QVERIFY(ParseImportData(file.bytes() + QByteArray(100, '\xff'), box, QString()));
        QCOMPARE(box.Status, points ? BoxStatus::Graph : BoxStatus::Pattern);
        QCOMPARE(box.x[1], points ? 11.0f : 55.0f); // a pattern keeps the curve it had
        if (points) {
            QCOMPARE(box.x[points], float(10 + points));
            QCOMPARE(box.y[points], float(2 * points));
            QCOMPARE(box.x[points + 1], CurveEndMark);
        }
    }

    // Number texts are read as the classic conversion reads them.
    void numberTexts_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<float>("value");
        QTest::newRow("exponent") << QByteArray("1e3") << 1000.0f;
        QTest::newRow("capital, signed") << QByteArray("2,5E-1") << 0.25f;
        QTest::newRow("point and exponent") << QByteArray(" 1.5e+2 ") << 150.0f;
        QTest::newRow("plain") << QByteArray("112.5") << 112.5f;
        QTest::newRow("empty") << QByteArray() << 0.0f;
    }

    void numberTexts()
    {
        QFETCH(QByteArray, text);
        QFETCH(float, value);
        KpfFile file = KpfFile::withPoints(2);
        file.strings[5] = text;
        BoxRecord box;
        QString why;
        QVERIFY2(ParseImportData(file.bytes(), box, QString(), &why), qPrintable(why));
        QCOMPARE(box.Bg, value);
    }

    void faultyFilesLeaveTheRecordAlone_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const KpfFile good = KpfFile::withPoints(5);
        const QByteArray whole = good.bytes();
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("cut inside field 12") << whole.left(good.offsetOfString(12) + 3);
        QTest::newRow("cut inside the times") << whole.left(whole.size() - 4);

        KpfFile f = good;
        const auto withCount = [&](double count) {
            f.count = count;
            return f.bytes();
        };
        QTest::newRow("more than 299 points") << withCount(300);
        QTest::newRow("count not a number") << withCount(std::numeric_limits<double>::quiet_NaN());
        QTest::newRow("count past the end") << withCount(8);

        f = good;
        f.x[2] = 1e39;
        QTest::newRow("value beyond single precision") << f.bytes();
        f = good;
        f.strings[5] = "4,2x";
        QTest::newRow("number text with trailing letters") << f.bytes();
        f.strings[5] = "1e";
        QTest::newRow("exponent without digits") << f.bytes();
        f.strings[5] = "1e3.5";
        QTest::newRow("exponent with a decimal") << f.bytes();
        f.strings[5] = "1e39";
        QTest::newRow("exponent beyond single precision") << f.bytes();
    }

    void faultyFilesLeaveTheRecordAlone()
    {
        QFETCH(QByteArray, bytes);
        BoxRecord box;
        box.Kovra = "before";
        box.Status = BoxStatus::Graph;
        box.x[1] = 42;
        box.Erg[3] = 9;
        const BoxRecord before = box;
        QString why;
        QVERIFY(!ParseImportData(bytes, box, "f", &why));
        QVERIFY(!why.isEmpty());
        QCOMPARE(box.Kovra, before.Kovra);
        QCOMPARE(box.Status, before.Status);
        QCOMPARE(box.x, before.x);
        QCOMPARE(box.Erg, before.Erg);
    }
};

QTEST_GUILESS_MAIN(TestImportFile)
#include "test_importfile.moc"
