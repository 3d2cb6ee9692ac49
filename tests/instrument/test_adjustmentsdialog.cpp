#include "MeasurementFixture.h"

#include "instrument/AdjustmentsDialog.h"
#include "core/AppContext.h"
#include "core/Notation.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

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
    QPushButton *button(const char *name) { return dialog->findChild<QPushButton *>(name); }
    // Shown and active, so focus moves are real.
    bool open()
    {
        dialog = std::make_unique<FrmEinst>(ctx);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        return QTest::qWaitForWindowActive(dialog.get());
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
    void okWritesBackAllButTheOpenCircuitAndScope();
    void traceRequest();
    void keyboard_data();
    void keyboard();
};

void TestAdjustmentsDialog::presetsForABoxWithoutGraph()
{
    DialogFixture fx;
    QVERIFY(fx.open());
    const QList<QPair<int, QString>> shown { { 10, "10" }, { 1, "1" }, { 3, "6" }, { 4, "10" },
        { 7, "0,18" }, { 11, "3,25" } };
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
    const QString cycle25 = QStringLiteral("valid user input:\r\r( 5 .... 999 )");
    QTest::newRow("voltage 7") << 3 << 10 << "7" << voltages;
    QTest::newRow("cycle 4 at 25 min") << 4 << 25 << "4" << cycle25;
    QTest::newRow("cycle 999 at 25 min") << 4 << 25 << "999" << ok;
    QTest::newRow("cycle 1000 at 25 min") << 4 << 25 << "1000" << cycle25;
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
    QLineEdit *next = fx.field(5);
    fx.field(index)->setFocus(Qt::TabFocusReason);
    fx.field(index)->setText(text);
    next->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
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

void TestAdjustmentsDialog::okWritesBackAllButTheOpenCircuitAndScope()
{
    DialogFixture fx;
    QVERIFY(fx.open());
    fx.field(1)->setText(QStringLiteral("12"));
    fx.field(11)->setText(QStringLiteral("9,5")); // Ein9 stays as filled at opening
    fx.field(10)->setText(QStringLiteral("25")); // and Ein10 the scope
    fx.field(4)->setText(QStringLiteral("15"));
    fx.field(7)->setText(QStringLiteral("0,25"));
    fx.button("cmdEinOK")->click();
    QVERIFY(!fx.dialog->isVisible());
    const BoxRecord &box = fx.settings.Box(2);
    QCOMPARE(QList<float>(box.Ein.begin() + 1, box.Ein.end()),
        (QList<float> { 12, 20, 6, 15, 350, 100, 0.25f, 0.5f, 3.25f, 10 }));
}

void TestAdjustmentsDialog::traceRequest()
{
    DialogFixture fx;
    ScriptedPeer peer;
    NetLink link(fx.messages);
    QVERIFY(connectLink(link, peer.port()));
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

// Alt+O checks the field it leaves the focus in; Enter presses the focused
// button, and "&OK" only from a field.
void TestAdjustmentsDialog::keyboard_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("typed"); // into the voltage field
    QTest::addColumn<bool>("taken");
    QTest::newRow("Alt+O, voltage 7") << "alt" << "7" << false;
    QTest::newRow("Alt+O, voltage 8") << "alt" << "8" << true;
    QTest::newRow("Enter in the field") << "field" << "8" << true;
    QTest::newRow("Enter on Cancel") << "cancel" << "8" << false;
}

void TestAdjustmentsDialog::keyboard()
{
    QFETCH(QString, way);
    QFETCH(QString, typed);
    QFETCH(bool, taken);
    DialogFixture fx;
    QVERIFY(fx.open());
    QLineEdit *voltage = fx.field(3);
    voltage->setFocus(Qt::TabFocusReason);
    voltage->selectAll();
    QTest::keyClicks(voltage, typed);
    if (way == QStringLiteral("alt")) {
        QTest::keyClick(voltage, Qt::Key_O, Qt::AltModifier);
    } else if (way == QStringLiteral("field")) {
        QTest::keyClick(voltage, Qt::Key_Return);
    } else {
        fx.button("cmdEinAbr")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(fx.button("cmdEinAbr"), Qt::Key_Return);
    }
    if (!taken && way == QStringLiteral("alt")) {
        QTRY_COMPARE(fx.messages.texts(),
            QStringList { "valid user input:\r\r( 2 / 3 / 4 / 5 / 6 / 8 / 10 )" });
        QCOMPARE(QApplication::focusWidget(), voltage);
        QVERIFY(fx.dialog->isVisible());
    } else {
        QTRY_VERIFY(!fx.dialog->isVisible());
        QVERIFY(fx.messages.texts().isEmpty());
    }
    QCOMPARE(fx.settings.Box(2).Ein[3], taken ? 8.0f : 0.0f);
}

QTEST_MAIN(TestAdjustmentsDialog)
#include "test_adjustmentsdialog.moc"
