#include "TestSupport.h"
#include "shell/ClearBox.h"
#include "shell/Settings.h"

#include <QtTest>

class BoxRecordTest : public QObject
{
    Q_OBJECT
private slots:
    void clearBoxResetsSpecimenButKeepsMeasurement();
    void limitNameKeepsFiftyCharacters();
    void curveEndsAtTheMark();
};

void BoxRecordTest::clearBoxResetsSpecimenButKeepsMeasurement()
{
    Settings s;
    s.Temp = 21.5f;
    BoxRecord &b = s.Box(2);
    b.Status = BoxStatus::Graph;
    b.Stored = b.Changed = true;
    b.UntID = 17;
    b.VerzID = 4;
    b.Kovra = b.Bemerk = "A1";
    b.PaGew = b.GWU[3] = b.GwO[3] = b.Erg[3] = b.Ein[4] = b.x[1] = 42;
    b.GrwBez = QStringLiteral("limits");

    ClearBox(s, 2, commaNotation(), QDate(2026, 12, 6));

    QCOMPARE(b.Status, BoxStatus::Pattern);
    QVERIFY(!b.Stored && !b.Changed);
    QCOMPARE(b.UntID, -1);
    QCOMPARE(b.BoxNr, 2);
    QCOMPARE(b.Temp, 21.5f);
    QVERIFY(b.Kovra.isEmpty() && b.Bemerk.isEmpty());
    QVERIFY(b.PaGew == 0 && b.GWU[3] == 0 && b.GwO[3] == 0);
    QCOMPARE(b.GrwBez.text(), QString(50, ' '));
    for (const QString &d : { b.PruefAm, b.BgVonAm, b.DrVonAm, b.PaVonAm })
        QCOMPARE(d, QStringLiteral("06.12.26"));
    // What belongs to the last measurement stays until the next one.
    QVERIFY(b.Erg[3] == 42 && b.Ein[4] == 42 && b.x[1] == 42);
    QCOMPARE(b.VerzID, 4);
}

void BoxRecordTest::limitNameKeepsFiftyCharacters()
{
    BoxRecord b;
    b.GrwBez = QString(60, 'L');
    QCOMPARE(b.GrwBez.text(), QString(50, 'L'));
    b.GrwBez = QStringLiteral("short");
    QCOMPARE(b.GrwBez.text(), QStringLiteral("short").leftJustified(50));
}

void BoxRecordTest::curveEndsAtTheMark()
{
    BoxRecord b;
    b.x[0] = CurveEndMark;
    QCOMPARE(b.pointCount(), 0);
    b.x[0] = 1;
    b.x[1] = -2000;
    QCOMPARE(b.pointCount(), 1);
    b.x.fill(1);
    QCOMPARE(b.pointCount(), CurveSize);
}

QTEST_GUILESS_MAIN(BoxRecordTest)
#include "test_boxrecord.moc"
