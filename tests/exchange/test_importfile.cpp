#include "KpfBuilder.h"

#include "exchange/ImportFile.h"
#include "shell/BoxRecord.h"
#include "shell/ScriptedMessages.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <limits>

class TestImportFile : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryField();
    void convertsUmlautsOnlyWhereTheFieldHasThem();
    void numberTexts_data();
    void numberTexts();
    void pointCounts_data();
    void pointCounts();
    void faultyFilesLeaveTheRecordAlone_data();
    void faultyFilesLeaveTheRecordAlone();
    void bytesBehindTheLastFieldAreIgnored();
    void unreadablePathsAreReported_data();
    void unreadablePathsAreReported();
};

void TestImportFile::readsEveryField()
{
    const KpfFile file = KpfFile::withPoints(3);
    BoxRecord box;
    box.x[0] = 7; // index 0 is not carried by the file
    box.Ein[2] = 33;
    QVERIFY(ParseImportData(file.bytes(), box, QStringLiteral("a.kpf")));

    QCOMPARE(box.Status, BoxStatus::Graph);
    QCOMPARE(box.Benutzer, QStringLiteral("Meier"));
    QCOMPARE(box.PruefAm, QStringLiteral("05.03.24"));
    QCOMPARE(box.Kovra, QStringLiteral("a.kpf->Probe 7"));
    QCOMPARE(box.BgArt, QStringLiteral("Dekor"));
    QCOMPARE(box.Bg, 112.5f);
    QCOMPARE(box.HarzTyp, QStringLiteral("Melamin"));
    QCOMPARE(box.BgVon, QStringLiteral("Schmidt"));
    QCOMPARE(box.BgVonAm, QStringLiteral("01.03.24"));
    QCOMPARE(box.DrVon, QStringLiteral("Druck AG"));
    QCOMPARE(box.DrVonAm, QStringLiteral("02.03.24"));
    QCOMPARE(box.PaVon, QStringLiteral("Papier GmbH"));
    QCOMPARE(box.PaVonAm, QStringLiteral("28.02.24"));
    QCOMPARE(box.GesGew, 180.0f);
    QCOMPARE(box.Feuchte, 6.5f);
    QCOMPARE(box.PaGew, 80.0f);
    QCOMPARE(box.Fluss, 4.2f);
    QCOMPARE(box.Asche, 0.3f);
    QCOMPARE(box.Luftdurch, 12.0f);
    QCOMPARE(box.Bemerk, QStringLiteral("first second"));

    QCOMPARE(box.Erg[1], 12.5f);
    QCOMPARE(box.Erg[5], 88.0f);
    QCOMPARE(box.Ein[1], 3.0f);
    QCOMPARE(box.Temp, 21.5f);
    QCOMPARE(box.Ein[2], 33.0f);
    QCOMPARE(box.Ein[3], 4.0f);
    QCOMPARE(box.Ein[7], 0.18f);
    QCOMPARE(box.Ein[10], 10.0f);

    QCOMPARE(box.x[0], 7.0f);
    QCOMPARE(box.x[1], 11.0f);
    QCOMPARE(box.x[3], 13.0f);
    QCOMPARE(box.y[1], 2.0f);
    QCOMPARE(box.y[3], 6.0f);
    QCOMPARE(box.x[4], CurveEndMark);
    QCOMPARE(box.pointCount(), 4);
}

void TestImportFile::convertsUmlautsOnlyWhereTheFieldHasThem()
{
    KpfFile file;
    const QByteArray dos("\x81\x84\x8e\x94\x99\x9a\xe1 \xe9", 9);
    file.strings[1] = dos; // user: converted
    file.strings[2] = dos; // test date: taken as it is
    BoxRecord box;
    QVERIFY(ParseImportData(file.bytes(), box, QString()));
    QCOMPARE(box.Benutzer, QStringLiteral("üäÄöÖÜß é"));
    QCOMPARE(box.PruefAm, QStringLiteral("\u0081\u201e\u017d\u201d\u2122\u0161\u00e1 \u00e9"));
    QCOMPARE(box.Kovra, QStringLiteral("->Probe 7"));
}

void TestImportFile::numberTexts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<float>("value");
    QTest::newRow("empty is zero") << QByteArray() << true << 0.0f;
    QTest::newRow("decimal point") << QByteArray("2.25") << true << 2.25f;
    QTest::newRow("decimal comma") << QByteArray("2,25") << true << 2.25f;
    QTest::newRow("blanks around") << QByteArray(" -3 ") << true << -3.0f;
    QTest::newRow("letters") << QByteArray("12a") << false << 0.0f;
    QTest::newRow("two marks") << QByteArray("1.2.3") << false << 0.0f;
    QTest::newRow("too large for the record") << QByteArray(50, '9') << false << 0.0f;
}

void TestImportFile::numberTexts()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(float, value);
    KpfFile file;
    file.strings[5] = text; // Bg
    BoxRecord box;
    box.Bg = -1;
    QCOMPARE(ParseImportData(file.bytes(), box, QString()), ok);
    QCOMPARE(box.Bg, ok ? value : -1.0f);
}

void TestImportFile::pointCounts_data()
{
    QTest::addColumn<double>("count");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("status");
    QTest::newRow("none") << 0.0 << 0 << BoxStatus::Pattern;
    QTest::newRow("rounds down to none") << 0.4 << 0 << BoxStatus::Pattern;
    QTest::newRow("half to even") << 2.5 << 2 << BoxStatus::Graph;
    QTest::newRow("most the record holds") << 299.0 << 299 << BoxStatus::Graph;
}

void TestImportFile::pointCounts()
{
    QFETCH(double, count);
    QFETCH(int, points);
    QFETCH(int, status);
    KpfFile file = KpfFile::withPoints(points);
    file.count = count;
    BoxRecord box;
    box.x[1] = 55;
    QVERIFY(ParseImportData(file.bytes(), box, QString()));
    QCOMPARE(box.Status, status);
    if (points == 0) {
        QCOMPARE(box.x[1], 55.0f); // a pattern keeps the curve it had
    } else {
        QCOMPARE(box.x[points], float(10 + points));
        QCOMPARE(box.y[points], float(2 * points));
        QCOMPARE(box.x[points + 1], CurveEndMark);
    }
}

void TestImportFile::faultyFilesLeaveTheRecordAlone_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const KpfFile good = KpfFile::withPoints(5);
    const QByteArray whole = good.bytes();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("cut inside field 12") << whole.left(good.offsetOfString(12) + 3);
    QTest::newRow("cut before a length byte") << whole.left(good.offsetOfString(20));
    QTest::newRow("cut inside the results") << whole.left(good.offsetOfString(22) + 12);
    QTest::newRow("cut inside the times") << whole.left(whole.size() - 4);

    KpfFile f = good;
    f.count = 300;
    QTest::newRow("more than 299 points") << f.bytes();
    f.count = 1e300;
    QTest::newRow("huge count") << f.bytes();
    f.count = -1;
    QTest::newRow("negative count") << f.bytes();
    f.count = nan;
    QTest::newRow("count not a number") << f.bytes();
    f.count = 8;
    QTest::newRow("count past the end") << f.bytes();

    f = good;
    f.results[2] = inf;
    QTest::newRow("infinite result") << f.bytes();
    f = good;
    f.x[2] = 1e39;
    QTest::newRow("value beyond single precision") << f.bytes();
    f = good;
    f.strings[16] = "4,2x";
    QTest::newRow("bad number text") << f.bytes();
}

void TestImportFile::faultyFilesLeaveTheRecordAlone()
{
    QFETCH(QByteArray, bytes);
    BoxRecord box;
    box.Kovra = QStringLiteral("before");
    box.Benutzer = QStringLiteral("previous user");
    box.Status = BoxStatus::Graph;
    box.x[1] = 42;
    box.Erg[3] = 9;
    QString why;
    QVERIFY(!ParseImportData(bytes, box, QStringLiteral("f"), &why));
    QVERIFY(!why.isEmpty());
    QCOMPARE(box.Kovra, QStringLiteral("before"));
    QCOMPARE(box.Benutzer, QStringLiteral("previous user"));
    QCOMPARE(box.Status, BoxStatus::Graph);
    QCOMPARE(box.x[1], 42.0f);
    QCOMPARE(box.Erg[3], 9.0f);
}

void TestImportFile::bytesBehindTheLastFieldAreIgnored()
{
    BoxRecord box;
    QVERIFY(
        ParseImportData(KpfFile::withPoints(2).bytes() + QByteArray(100, '\xff'), box, QString()));
    QCOMPARE(box.pointCount(), 3);
}

void TestImportFile::unreadablePathsAreReported_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ok");
    QTest::newRow("good file") << QStringLiteral("good.kpf") << true;
    QTest::newRow("empty file") << QStringLiteral("empty.kpf") << false;
    QTest::newRow("missing file") << QStringLiteral("missing.kpf") << false;
    QTest::newRow("directory") << QStringLiteral("folder.kpf") << false;
}

void TestImportFile::unreadablePathsAreReported()
{
    QFETCH(QString, name);
    QFETCH(bool, ok);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("good.kpf")), KpfFile().bytes()));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("empty.kpf")), QByteArray()));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.kpf")));

    ScriptedMessages messages;
    BoxRecord box;
    const QString full = dir.filePath(name);
    QCOMPARE(ReadImportFile(full, box, name, messages), ok);
    if (ok) {
        QVERIFY(messages.entries.isEmpty());
        QCOMPARE(box.Kovra, name + QStringLiteral("->Probe 7"));
    } else {
        QCOMPARE(
            messages.texts(), QStringList { QStringLiteral("error on reading file: ") + full });
        QVERIFY(box.Kovra.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestImportFile)
#include "test_importfile.moc"
