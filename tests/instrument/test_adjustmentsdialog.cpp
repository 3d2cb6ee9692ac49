#include "MeasurementFixture.h"

#include "instrument/AdjustmentChecks.h"
#include "instrument/AdjustmentsDialog.h"
#include "shell/AppContext.h"
#include "shell/Notation.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace std::chrono_literals;

namespace
{

struct DialogFixture {
    DialogFixture()
    {
        settings.ScopeOfTime = 10;
        settings.ZeroPoint = 3.25f;
        settings.ActiveBox = 2;
        settings.Box(2).PaGew = 80;
    }
    QLineEdit *field(int k) { return dialog->medEin(k); }
    QPushButton *button(const char *name)
    {
        return dialog->findChild<QPushButton *>(QLatin1String(name));
    }
    // Opens the dialog as the operator sees it, so focus moves are real.
    bool open()
    {
        dialog = std::make_unique<FrmEinst>(ctx);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        return QTest::qWaitForWindowActive(dialog.get());
    }
    // Types text into field k and moves on to field `next`.
    void enter(int k, const QString &text, QWidget *next)
    {
        field(k)->setFocus(Qt::TabFocusReason);
        field(k)->setText(text);
        next->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }

    Settings settings;
    Notation notation { QLatin1Char(','), QLatin1Char('.') };
    ScriptedMessages messages;
    AppContext ctx { settings, notation, messages };
    std::unique_ptr<FrmEinst> dialog;
};

} // namespace

class TestAdjustmentsDialog : public QObject
{
    Q_OBJECT

private slots:
    void presetsForABoxWithoutGraph();
    void aGraphShowsItsOwnAdjustments();
    void fieldRanges_data();
    void fieldRanges();
    void leavingAnInvalidFieldKeepsTheFocus();
    void cycleCheckAtOk_data();
    void cycleCheckAtOk();
    void okWritesBackAllButTheOpenCircuitAndScope();
    void okRefusesAnInvalidFieldNeverLeft();
    void cancelLeavesTheBox();
    void typedPointBecomesTheDecimalSeparator();
    void traceRequest();
};

void TestAdjustmentsDialog::presetsForABoxWithoutGraph()
{
    DialogFixture fx;
    QVERIFY(fx.open());
    QCOMPARE(fx.dialog->windowTitle(), QStringLiteral("Adjustments"));
    const QList<QPair<int, QString>> shown { { 10, "10" }, { 1, "1" }, { 3, "6" }, { 4, "10" },
        { 5, "350" }, { 6, "100" }, { 7, "0,18" }, { 8, "0,5" }, { 11, "3,25" } };
    for (const auto &[k, text] : shown)
        QCOMPARE(fx.field(k)->text(), text);
    QVERIFY(!fx.field(2)->isVisible());
    QCOMPARE(fx.dialog->findChild<QLabel *>(QStringLiteral("picEin_9"))->text(),
        QStringLiteral("Open circuit current:"));
    for (const char *name : { "labTrace", "txtTrace", "cmdTrace" })
        QVERIFY(!fx.dialog->findChild<QWidget *>(QLatin1String(name))->isVisible());
}

void TestAdjustmentsDialog::aGraphShowsItsOwnAdjustments()
{
    DialogFixture fx;
    BoxRecord &box = fx.settings.Box(2);
    box.Status = BoxStatus::Graph;
    box.Ein = { 0, 7, 21, 3, 12.5f, 400, 90, 0.2f, 0.6f, 4.5f, 10 };
    QVERIFY(fx.open());
    QCOMPARE(fx.field(4)->text(), QStringLiteral("12,5"));
    QCOMPARE(fx.field(11)->text(), QStringLiteral("4,5"));
    // The voltage follows the paper weight even for a graph.
    QCOMPARE(fx.field(3)->text(), QStringLiteral("6"));
}

void TestAdjustmentsDialog::fieldRanges_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("scope");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal"); // empty when accepted

    const QString voltages = QStringLiteral("valid user input:\r\r( 2 / 3 / 4 / 5 / 6 / 8 / 10 )");
    QTest::newRow("voltage 7") << 3 << "10"
                               << "7" << voltages;
    QTest::newRow("voltage 5,0") << 3 << "10"
                                 << "5,0" << QString();
    QTest::newRow("specimen 0") << 1 << "10"
                                << "0" << QStringLiteral("valid user input:\r\r( 1 .... 99 )");
    QTest::newRow("specimen 99") << 1 << "10"
                                 << "99" << QString();
    QTest::newRow("not a number") << 6 << "10"
                                  << "1x" << QStringLiteral("valid user input:\r\r( 0 .... 9999 )");
    QTest::newRow("starting time at its maximum") << 7 << "10"
                                                  << "9,999" << QString();
    const QString cycle25 = QStringLiteral("valid user input:\r\r( 5 .... 999 )");
    QTest::newRow("cycle 4 at 25 min") << 4 << "25"
                                       << "4" << cycle25;
    QTest::newRow("cycle 999 at 25 min") << 4 << "25"
                                         << "999" << QString();
    QTest::newRow("cycle 1000 at 25 min") << 4 << "25"
                                          << "1000" << cycle25;
    QTest::newRow("cycle 2,5 at 10 min") << 4 << "10"
                                         << "2,5" << QString();
    QTest::newRow("open circuit is not checked") << 11 << "10"
                                                 << "abc" << QString();
}

void TestAdjustmentsDialog::fieldRanges()
{
    QFETCH(int, index);
    QFETCH(QString, scope);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    DialogFixture fx;
    QVERIFY(fx.open());
    fx.field(10)->setText(scope);
    fx.field(index)->setText(text);
    QCOMPARE(fx.dialog->ValidateAdjustment(index), refusal.isEmpty());
    if (refusal.isEmpty()) {
        QVERIFY(fx.messages.entries.isEmpty());
        return;
    }
    QCOMPARE(fx.messages.texts(), QStringList { refusal });
    QCOMPARE(fx.messages.entries.first().icon, OperatorMessages::Icon::Critical);
    QCOMPARE(fx.field(index)->text(), text); // the entry stays as typed
}

void TestAdjustmentsDialog::leavingAnInvalidFieldKeepsTheFocus()
{
    DialogFixture fx;
    QVERIFY(fx.open());
    fx.enter(3, QStringLiteral("7"), fx.field(4));
    QCOMPARE(
        fx.messages.texts(), QStringList { "valid user input:\r\r( 2 / 3 / 4 / 5 / 6 / 8 / 10 )" });
    QCOMPARE(QApplication::focusWidget(), fx.field(3));

    // Mended, it lets the operator on without a further message.
    fx.messages.clear();
    fx.enter(3, QStringLiteral("8"), fx.field(4));
    QVERIFY(fx.messages.entries.isEmpty());
    QCOMPARE(QApplication::focusWidget(), fx.field(4));
}

void TestAdjustmentsDialog::cycleCheckAtOk_data()
{
    QTest::addColumn<QString>("cycle");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("2 s") << "2" << true;
    QTest::newRow("exactly start + measuring + 1") << "1,68" << true;
    QTest::newRow("1,6 s") << "1,6" << false;
}

void TestAdjustmentsDialog::cycleCheckAtOk()
{
    QFETCH(QString, cycle);
    QFETCH(bool, accepted);
    DialogFixture fx;
    fx.settings.ScopeOfTime = 2.5f; // where cycles from 1 s are allowed
    QVERIFY(fx.open());
    fx.field(4)->setText(cycle);
    fx.button("cmdEinOK")->click();
    QCOMPARE(fx.dialog->isVisible(), !accepted);
    if (accepted) {
        QCOMPARE(fx.settings.Box(2).Ein[4], float(*fx.notation.parseNumber(cycle)));
        QVERIFY(fx.messages.entries.isEmpty());
        return;
    }
    QCOMPARE(fx.messages.texts(), QStringList { "The measuring cycle must be higher than 1,68" });
    QCOMPARE(QApplication::focusWidget(), fx.field(4));
    QCOMPARE(fx.settings.Box(2).Ein[4], 0.0f);
}

void TestAdjustmentsDialog::okWritesBackAllButTheOpenCircuitAndScope()
{
    DialogFixture fx;
    QVERIFY(fx.open());
    fx.field(1)->setText(QStringLiteral("12"));
    fx.field(5)->setText(QStringLiteral("420"));
    fx.field(11)->setText(QStringLiteral("9,5"));
    fx.field(10)->setText(QStringLiteral("25"));
    fx.field(4)->setText(QStringLiteral("15"));
    fx.button("cmdEinOK")->click();
    QVERIFY(!fx.dialog->isVisible());
    const BoxRecord &box = fx.settings.Box(2);
    QCOMPARE(box.Ein[1], 12.0f);
    QCOMPARE(box.Ein[3], 6.0f);
    QCOMPARE(box.Ein[4], 15.0f);
    QCOMPARE(box.Ein[5], 420.0f);
    QCOMPARE(box.Ein[7], 0.18f);
    QCOMPARE(box.Ein[9], 3.25f); // as filled at opening
    QCOMPARE(box.Ein[10], 10.0f);
    QVERIFY(!box.Changed);
}

void TestAdjustmentsDialog::okRefusesAnInvalidFieldNeverLeft()
{
    DialogFixture fx;
    QVERIFY(fx.open());
    fx.field(6)->setFocus();
    fx.field(6)->setText(QString());
    fx.button("cmdEinOK")->click(); // as by the Enter key: no focus change
    QVERIFY(fx.dialog->isVisible());
    QCOMPARE(fx.messages.texts(), QStringList { "valid user input:\r\r( 0 .... 9999 )" });
    QCOMPARE(fx.settings.Box(2).Ein[6], 0.0f);
}

void TestAdjustmentsDialog::cancelLeavesTheBox()
{
    DialogFixture fx;
    QVERIFY(fx.open());
    fx.field(5)->setText(QStringLiteral("420"));
    fx.button("cmdEinAbr")->click();
    QVERIFY(!fx.dialog->isVisible());
    QCOMPARE(fx.settings.DialogMode, 1);
    QCOMPARE(fx.settings.Box(2).Ein[5], 0.0f);
}

void TestAdjustmentsDialog::typedPointBecomesTheDecimalSeparator()
{
    DialogFixture fx;
    QVERIFY(fx.open());
    fx.field(7)->setFocus();
    fx.field(7)->clear();
    QTest::keyClicks(fx.field(7), QStringLiteral("0.25"));
    QCOMPARE(fx.field(7)->text(), QStringLiteral("0,25"));
}

void TestAdjustmentsDialog::traceRequest()
{
    DialogFixture fx;
    ScriptedPeer peer;
    NetLink link(fx.messages);
    QVERIFY(connectLink(link, peer));
    fx.ctx.link = &link;
    fx.settings.TraceText = QStringLiteral("0");
    link.setNetState(NetLink::StateTraceSet); // a "set" from earlier
    QVERIFY(fx.open());

    auto *frame = fx.dialog->findChild<QGroupBox *>(QStringLiteral("fraEin"));
    QTest::mouseDClick(frame, Qt::LeftButton, {}, QPoint(5, 5));
    auto *text = fx.dialog->findChild<QLineEdit *>(QStringLiteral("txtTrace"));
    QVERIFY(text->isVisible());
    QCOMPARE(text->text(), QStringLiteral("0"));

    text->setText(QStringLiteral("1"));
    fx.button("cmdTrace")->click();
    QTRY_VERIFY(peer.hasLine(QStringLiteral("trace 1")));
    QVERIFY(fx.dialog->isTraceWaiting());
    QVERIFY(peer.reply(link, "set\r\n"));
    QVERIFY(!fx.dialog->isTraceWaiting());
    QVERIFY(fx.messages.entries.isEmpty());

    // No answer: the wait gives up with the start-up's message.
    fx.button("cmdTrace")->click();
    QVERIFY(fx.dialog->isTraceWaiting());
    QTRY_COMPARE(fx.messages.texts(), QStringList { "textErrCon" });
    QVERIFY(fx.button("cmdTrace")->isEnabled());
}

QTEST_MAIN(TestAdjustmentsDialog)
#include "test_adjustmentsdialog.moc"
