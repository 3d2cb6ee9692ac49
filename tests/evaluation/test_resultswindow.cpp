#include "evaluation/ResultsWindow.h"
#include "support/FormFixture.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QtTest>

class TestResultsWindow : public QObject
{
    Q_OBJECT

private slots:
    void formatsEveryColumn_data();
    void formatsEveryColumn();
    void showsInterpolatedReadings();
};

void TestResultsWindow::formatsEveryColumn_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<int>("row");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("curing time, negative") << true << 1 << -1.5f << "-1,5";
    QTest::newRow("curing rate, comma system") << true << 2 << 0.123456f << "0,1235";
    QTest::newRow("flow time, whole seconds") << false << 3 << 123.6f << "124";
}

// The same value in the result, both limits and the deviation of one row of
// the active box: each column shows it in the row's format, so the window
// neither computes a deviation of its own nor shows another box.
void TestResultsWindow::formatsEveryColumn()
{
    QFETCH(bool, comma);
    QFETCH(int, row);
    QFETCH(float, value);
    QFETCH(QString, shown);
    FormFixture fx(comma ? commaNotation() : pointNotation());
    for (int b = 1; b <= 5; ++b)
        fx.settings.Box(b).Erg.fill(float(100 * b));
    fx.settings.ActiveBox = 3;
    BoxRecord &box = fx.settings.Box(3);
    box.Erg[row + 1] = box.GWU[row + 1] = box.GwO[row + 1] = box.Abw[row + 1] = value;

    FrmErg window(fx.ctx);
    for (const char *column : { "lbl2", "lbl4", "lbl5", "lbl6" }) {
        const QString name = QStringLiteral("%1_%2").arg(column).arg(row);
        auto *label = window.findChild<QLabel *>(name);
        QVERIFY2(label, qPrintable(name));
        QCOMPARE(label->text(), shown);
    }
    QVERIFY(fx.messages.entries.isEmpty());
    QVERIFY(window.findChild<QLabel *>("lblErgHinweis")->isHidden());
}

void TestResultsWindow::showsInterpolatedReadings()
{
    FormFixture fx(pointNotation());
    fx.settings.ActiveBox = 2;
    fx.settings.Box(2).Status = BoxStatus::Graph;
    fx.settings.Box(2).Fehlend = 1;
    fx.settings.Box(2).Unvollst = true;
    FrmErg window(fx.ctx);
    auto *note = window.findChild<QLabel *>("lblErgHinweis");
    QCOMPARE(
        note->text(), QStringLiteral("measurement incomplete, 1 reading missing, interpolated"));
    QVERIFY(!note->isHidden());
}

QTEST_MAIN(TestResultsWindow)
#include "test_resultswindow.moc"
