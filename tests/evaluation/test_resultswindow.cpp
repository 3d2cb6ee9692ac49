#include "evaluation/ResultsWindow.h"
#include "shell/AppContext.h"
#include "shell/ScriptedMessages.h"
#include "shell/Settings.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace
{

// The window of box 3 with `fill` applied to that box; boxes 1 and 2 hold
// other values that must not show.
struct ResultsFixture {
    explicit ResultsFixture(const Notation &notation)
        : notation(notation)
    {
        settings.ActiveBox = 3;
        for (int b = 1; b <= 5; ++b)
            settings.Box(b).Erg.fill(float(100 * b));
    }

    QString text(const char *column, int row) const
    {
        const QString name = QLatin1String(column) + QLatin1Char('_') + QString::number(row);
        auto *label = window->findChild<QLabel *>(name);
        return label ? label->text() : QStringLiteral("<no %1>").arg(name);
    }

    void open() { window = std::make_unique<FrmErg>(ctx); }

    Settings settings;
    Notation notation;
    ScriptedMessages messages;
    AppContext ctx { settings, notation, messages };
    std::unique_ptr<FrmErg> window;
};

} // namespace

class TestResultsWindow : public QObject
{
    Q_OBJECT

private slots:
    void formatsEveryColumn_data();
    void formatsEveryColumn();
    void boxWithoutLimitFile();
    void returnClosesAndChangesNothing();
};

void TestResultsWindow::formatsEveryColumn_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<int>("row");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("curing rate, four decimals") << false << 2 << 0.123456f << "0.1235";
    QTest::newRow("curing rate, comma system") << true << 2 << 0.123456f << "0,1235";
    QTest::newRow("flow time, whole seconds") << false << 3 << 123.6f << "124";
    QTest::newRow("flexibility, whole percent") << false << 4 << 79.4f << "79";
    QTest::newRow("curing time, negative") << false << 1 << -1.5f << "-1.5";
    QTest::newRow("curing time, negative, comma") << true << 1 << -1.5f << "-1,5";
    QTest::newRow("speed after, one decimal") << false << 0 << 12.34f << "12.3";
    QTest::newRow("exactly zero is a plain 0") << false << 2 << 0.0f << "0";
    QTest::newRow("negative rate") << true << 2 << -0.25f << "-0,2500";
}

// The same value in the result, both limits and the deviation of one row:
// each column uses the row's format.
void TestResultsWindow::formatsEveryColumn()
{
    QFETCH(bool, comma);
    QFETCH(int, row);
    QFETCH(float, value);
    QFETCH(QString, shown);

    ResultsFixture f(comma ? commaNotation() : pointNotation());
    BoxRecord &box = f.settings.Box(3);
    box.Erg[row + 1] = value;
    box.GWU[row + 1] = value;
    box.GwO[row + 1] = value;
    box.Abw[row + 1] = value;
    f.open();
    for (const char *column : { "lbl2", "lbl4", "lbl5", "lbl6" })
        QCOMPARE(f.text(column, row), shown);
}

// Limits 0 and 0 after a reset: each result is its own deviation, as the
// last limit check left it; the window shows the box and computes nothing.
void TestResultsWindow::boxWithoutLimitFile()
{
    ResultsFixture f(pointNotation());
    BoxRecord &box = f.settings.Box(3);
    box.Erg = { 0, 12.25f, 14.5f, 0.5f, 95, 40 };
    box.GWU.fill(0);
    box.GwO.fill(0);
    box.Abw = box.Erg;
    box.Abw[5] = 7; // stale on purpose
    f.open();
    QCOMPARE(f.text("lbl2", 0), QStringLiteral("12.3"));
    QCOMPARE(f.text("lbl4", 0), QStringLiteral("0"));
    QCOMPARE(f.text("lbl5", 0), QStringLiteral("0"));
    QCOMPARE(f.text("lbl6", 0), QStringLiteral("12.3"));
    QCOMPARE(f.text("lbl6", 2), QStringLiteral("0.5000"));
    QCOMPARE(f.text("lbl6", 4), QStringLiteral("7"));
}

void TestResultsWindow::returnClosesAndChangesNothing()
{
    ResultsFixture f(pointNotation());
    BoxRecord &box = f.settings.Box(3);
    box.Erg = { 0, 1, 2, 3, 4, 5 };
    box.Abw = { 0, -1, 0, 1, 0, 2 };
    box.Changed = false;
    f.open();
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QTest::mouseClick(f.window->findChild<QPushButton *>("cmdErgAb"), Qt::LeftButton);
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.window->result(), int(QDialog::Accepted));
    QCOMPARE(box.Erg, (std::array<float, 6> { 0, 1, 2, 3, 4, 5 }));
    QCOMPARE(box.Abw, (std::array<float, 6> { 0, -1, 0, 1, 0, 2 }));
    QCOMPARE(box.Changed, false);
    QVERIFY(f.messages.entries.isEmpty());
}

QTEST_MAIN(TestResultsWindow)
#include "test_resultswindow.moc"
