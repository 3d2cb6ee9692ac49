#include "TestSupport.h"
#include "core/ClearBox.h"
#include "core/Settings.h"

#include <QtTest>

class BoxRecordTest : public QObject
{
    Q_OBJECT
private slots:
    void clearBoxResetsSpecimenButKeepsMeasurement();
    void limitNameKeepsFiftyCharacters();
};

void BoxRecordTest::clearBoxResetsSpecimenButKeepsMeasurement()
{
    Settings s;
    s.Temp = 21.5f;
    BoxRecord &b = s.Box(2);
    b.Status = BoxStatus::Graph;
    b.Stored = b.Changed = true;
    b.UntID = 17;
    b.Kovra = "A1";
    b.PaGew = b.GwO[3] = b.Erg[3] = b.Ein[4] = b.x[1] = 42;
    b.GrwBez = QStringLiteral("limits");

    ClearBox(s, 2, commaNotation(), QDate(2026, 12, 6));

    QCOMPARE(b.Status, BoxStatus::Pattern);
    QVERIFY(!b.Stored && !b.Changed);
    QCOMPARE(b.UntID, -1);
    QCOMPARE(b.Temp, 21.5f);
    QVERIFY(b.Kovra.isEmpty() && b.PaGew == 0 && b.GwO[3] == 0 && b.GrwBez.isBlank());
    QCOMPARE(b.PaVonAm, QStringLiteral("06.12.26"));
    // What belongs to the last measurement stays until the next one.
    QVERIFY(b.Erg[3] == 42 && b.Ein[4] == 42 && b.x[1] == 42);
}

void BoxRecordTest::limitNameKeepsFiftyCharacters()
{
    BoxRecord b;
    b.GrwBez = QString(60, 'L');
    QCOMPARE(b.GrwBez.text(), QString(50, 'L'));
    b.GrwBez = QStringLiteral("short");
    QCOMPARE(b.GrwBez.text(), QStringLiteral("short").leftJustified(50));
}

QTEST_GUILESS_MAIN(BoxRecordTest)
#include "test_boxrecord.moc"
