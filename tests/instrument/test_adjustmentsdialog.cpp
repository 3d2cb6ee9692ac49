#include "MeasurementFixture.h"

#include "instrument/AdjustmentsDialog.h"
#include "shell/AppContext.h"
#include "shell/Notation.h"

#include <QApplication>
#include <QGroupBox>
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
    void fieldRanges_data();
    void fieldRanges();
    void checksAtOk_data();
    void checksAtOk();
    void okWritesBackAllButTheOpenCircuitAndScope_data();
    void okWritesBackAllButTheOpenCircuitAndScope();
    void traceRequest();
};

void TestAdjustmentsDialog::presetsForABoxWithoutGraph()
{
    DialogFixture fx;
    QVERIFY(fx.open());
    const QList<QPair<int, QString>> shown { { 10, "10" }, { 1, "1" }, { 3, "6" }, { 4, "10" },
        { 5, "350" }, { 6, "100" }, { 7, "0,18" }, { 8, "0,5" }, { 11, "3,25" } };
    for (const auto &[k, text] : shown)
        QCOMPARE(fx.field(k)->text(), text);
    QVERIFY(!fx.field(2)->isVisible());
    for (const char *name : { "labTrace", "txtTrace", "cmdTrace" })
        QVERIFY(!fx.dialog->findChild<QWidget *>(QLatin1String(name))->isVisible());
}

void TestAdjustmentsDialog::fieldRanges_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal"); // empty when accepted
    const QString ok;
    const QString voltages = QStringLiteral("valid user input:\r\r( 2 / 3 / 4 / 5 / 6 / 8 / 10 )");
    const QString specimens = QStringLiteral("valid user input:\r\r( 1 .... 99 )");
    const QString viscosity = QStringLiteral("valid user input:\r\r( 0 .... 9999 )");
    const QString cycle25 = QStringLiteral("valid user input:\r\r( 5 .... 999 )");
    QTest::newRow("voltage 7") << 3 << 10 << "7" << voltages;
    QTest::newRow("voltage 5,0") << 3 << 10 << "5,0" << ok;
    QTest::newRow("specimen 0") << 1 << 10 << "0" << specimens;
    QTest::newRow("not a number") << 6 << 10 << "1x" << viscosity;
    QTest::newRow("cycle 4 at 25 min") << 4 << 25 << "4" << cycle25;
    QTest::newRow("cycle 999 at 25 min") << 4 << 25 << "999" << ok;
    QTest::newRow("cycle 1000 at 25 min") << 4 << 25 << "1000" << cycle25;
    QTest::newRow("cycle 2,5 at 10 min") << 4 << 10 << "2,5" << ok;
    QTest::newRow("open circuit is not checked") << 11 << 10 << "abc" << ok;
}

void TestAdjustmentsDialog::fieldRanges()
{
    QFETCH(int, index);
    QFETCH(int, scope);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    DialogFixture fx;
    QVERIFY(fx.open());
    fx.field(10)->setText(QString::number(scope));
    QLineEdit *next = fx.field(index == 5 ? 6 : 5);
    fx.enter(index, text, next);
    QCOMPARE(fx.messages.texts(), refusal.isEmpty() ? QStringList() : QStringList { refusal });
    if (!refusal.isEmpty())
        QCOMPARE(fx.messages.entries.first().icon, OperatorMessages::Icon::Critical);
    // A refused field keeps the focus and the entry as typed.
    QCOMPARE(QApplication::focusWidget(), refusal.isEmpty() ? next : fx.field(index));
    QCOMPARE(fx.field(index)->text(), text);
}

void TestAdjustmentsDialog::checksAtOk_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal"); // empty when accepted
    const QString tooShort = QStringLiteral("The measuring cycle must be higher than 1,68");
    const QString viscosity = QStringLiteral("valid user input:\r\r( 0 .... 9999 )");
    QTest::newRow("cycle 2 s") << 4 << "2" << QString();
    QTest::newRow("cycle start + measuring + 1") << 4 << "1,68" << QString();
    QTest::newRow("cycle 1,6 s") << 4 << "1,6" << tooShort;
    // As by the Enter key: the field is never left, yet checked.
    QTest::newRow("empty field") << 6 << QString() << viscosity;
}

void TestAdjustmentsDialog::checksAtOk()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    DialogFixture fx;
    fx.settings.ScopeOfTime = 2.5f; // where cycles from 1 s are allowed
    QVERIFY(fx.open());
    fx.field(index)->setFocus();
    fx.field(index)->setText(text);
    fx.button("cmdEinOK")->click();
    QCOMPARE(fx.dialog->isVisible(), !refusal.isEmpty());
    QCOMPARE(fx.messages.texts(), refusal.isEmpty() ? QStringList() : QStringList { refusal });
    const float stored = fx.settings.Box(2).Ein[size_t(index)];
    QCOMPARE(stored, refusal.isEmpty() ? float(*fx.notation.parseNumber(text)) : 0.0f);
    if (!refusal.isEmpty())
        QCOMPARE(QApplication::focusWidget(), fx.field(index));
}

void TestAdjustmentsDialog::okWritesBackAllButTheOpenCircuitAndScope_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<float>>("ein"); // Ein[1..10] afterwards
    QTest::newRow("OK") << "cmdEinOK"
                        << QList<float> { 12, 20, 6, 15, 350, 100, 0.25f, 0.5f, 3.25f, 10 };
    QTest::newRow("Cancel") << "cmdEinAbr" << QList<float>(10, 0.0f);
}

void TestAdjustmentsDialog::okWritesBackAllButTheOpenCircuitAndScope()
{
    QFETCH(QString, button);
    QFETCH(QList<float>, ein);
    DialogFixture fx;
    QVERIFY(fx.open());
    fx.field(1)->setText(QStringLiteral("12"));
    fx.field(11)->setText(QStringLiteral("9,5")); // Ein9 stays as filled at opening
    fx.field(10)->setText(QStringLiteral("25")); // and Ein10 the scope
    fx.field(4)->setText(QStringLiteral("15"));
    fx.field(7)->setFocus();
    fx.field(7)->clear();
    QTest::keyClicks(fx.field(7), QStringLiteral("0.25")); // a point types the separator
    QCOMPARE(fx.field(7)->text(), QStringLiteral("0,25"));
    fx.button(qPrintable(button))->click();
    QVERIFY(!fx.dialog->isVisible());
    const BoxRecord &box = fx.settings.Box(2);
    QCOMPARE(QList<float>(box.Ein.begin() + 1, box.Ein.end()), ein);
    QVERIFY(!box.Changed);
    QCOMPARE(fx.settings.DialogMode, button == QLatin1String("cmdEinAbr") ? 1 : 0);
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
