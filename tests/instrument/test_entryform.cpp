#include "FormFixture.h"
#include "TestSupport.h"

#include "instrument/SpecimenForm.h"
#include "instrument/MeasurementWindow.h"
#include "core/ClearBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace
{

// The form of box 3 as the operator finds it: reset, the 10-minute scope.
struct SpecimenFixture : FormFixture {
    SpecimenFixture()
        : FormFixture(commaNotation())
    {
        settings.ActiveBox = 3;
        settings.ScopeOfTime = 10;
        ClearBox(settings, 3, notation, QDate(2027, 12, 5));
    }
    BoxRecord &box() { return settings.Box(3); }
    bool open()
    {
        form = std::make_unique<FrmEbn>(ctx);
        return showActive(*form);
    }
    QLineEdit *field(const QString &name) { return form->findChild<QLineEdit *>(name); }
    void click(const char *button) { form->findChild<QPushButton *>(button)->click(); }

    std::unique_ptr<FrmEbn> form;
};

} // namespace

class TestSpecimenForm : public QObject
{
    Q_OBJECT

private slots:
    void fieldChecks_data();
    void fieldChecks();
    void returnTakesTheFields_data();
    void returnTakesTheFields();
    void startMeasurement_data();
    void startMeasurement();
    void buttonsCheckTheTypedFields_data();
    void buttonsCheckTheTypedFields();
    void enterPressesTheFocusedButton();
    void fieldLeftUncheckedIsCheckedByTheButton();
};

// Typed, then left with Tab: a refused field keeps the focus and, if it
// holds a date, is cleared.
void TestSpecimenForm::fieldChecks_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message"); // empty: accepted
    const QString whole = QStringLiteral("valid user input:\n\n(0 .... 999)");
    const QString percent = QStringLiteral("valid user input:\n\n(0 .... 99.9)");
    const QString date = QStringLiteral("Please enter a valid Date like: '05.12.27'");
    const auto row = [](const char *name, const char *field, const char *typed, const char *shown,
                         const QString &message) {
        QTest::newRow(name) << QString(field) << QString(typed) << QString(shown) << message;
    };
    row("typed point", "EbnTemp", "12.5", "12,5", "");
    row("moisture 100", "EbnFeuchte", "100", "100", percent);
    row("temperature 999", "EbnTemp", "999", "999", "");
    row("temperature 999,1", "EbnTemp", "999,1", "999,1", whole);
    row("temperature empty", "EbnTemp", "", "", whole);
    row("date rewritten", "EbnBgVonAm", " 5.12.27 ", "05.12.27", "");
    row("no such day", "EbnPaVonAm", "31.02.27", "", date);
}

void TestSpecimenForm::fieldChecks()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    SpecimenFixture fx;
    QVERIFY(fx.open());
    QLineEdit *edit = fx.field(field);
    edit->clear();
    QTest::keyClicks(edit, typed);
    leaveWithTab(edit);

    QCOMPARE(edit->text(), shown);
    QCOMPARE(edit->hasFocus(), !message.isEmpty());
    QCOMPARE(fx.messages.texts(), message.isEmpty() ? QStringList() : QStringList { message });
    // Every refused input, number or date, is an input error.
    if (!message.isEmpty())
        QCOMPARE(fx.messages.entries.first().icon, OperatorMessages::Icon::Critical);
}

// "&Return" takes the fields into the box. Mended: a number field that
// holds no number (put there without leaving it) stops the taking with its
// message and the focus, and nothing reaches the box.
void TestSpecimenForm::returnTakesTheFields_data()
{
    QTest::addColumn<QString>("field"); // empty: nothing typed
    QTest::addColumn<QString>("text");
    QTest::newRow("no change") << QString() << QString();
    QTest::newRow("new name with blanks") << "EbnKovra"
                                          << "  B 2  ";
    QTest::newRow("no number") << "EbnTemp"
                               << "warm";
}

void TestSpecimenForm::returnTakesTheFields()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    SpecimenFixture fx;
    fx.box().Kovra = QStringLiteral("A1");
    fx.box().Temp = 20;
    fx.box().Stored = true;
    fx.box().Changed = false;
    QVERIFY(fx.open());
    // Leaving fields without changing them rewrites nothing.
    leaveWithTab(fx.field("EbnTemp"));
    leaveWithTab(fx.field("EbnPruefAm"));
    if (!field.isEmpty())
        fx.field(field)->setText(text);
    fx.click("cmdEbnAb");

    const bool refused = text == QStringLiteral("warm");
    QCOMPARE(fx.messages.texts(),
        refused ? QStringList { "valid user input:\n\n(0 .... 999)" } : QStringList());
    QCOMPARE(fx.form->isVisible(), refused);
    QCOMPARE(fx.field("EbnTemp")->hasFocus(), refused);
    const bool renamed = field == QStringLiteral("EbnKovra");
    QCOMPARE(fx.box().Kovra, renamed ? QStringLiteral("B 2") : QStringLiteral("A1"));
    QCOMPARE(fx.box().Temp, 20.0f);
    QCOMPARE(fx.box().Changed, renamed);
    QCOMPARE(fx.box().Stored, !renamed);
}

// "&Start measurement" with paper weight 80 and voltage preset 0.
void TestSpecimenForm::startMeasurement_data()
{
    QTest::addColumn<bool>("graph");
    QTest::newRow("pattern: measured") << false;
    QTest::newRow("graph: asked, No") << true;
}

void TestSpecimenForm::startMeasurement()
{
    QFETCH(bool, graph);
    SpecimenFixture fx;
    // A name holding a place marker of its own stays as it is.
    fx.box().Kovra = QStringLiteral("A%1");
    fx.box().Stored = true;
    if (graph)
        fx.box().Status = BoxStatus::Graph;
    fx.box().Ein[3] = 0;
    fx.box().Ein[10] = 10;
    QVERIFY(fx.open());
    fx.field("EbnBenutzer")->setText(QStringLiteral("Smith"));
    fx.field("EbnPaGew")->setText(QStringLiteral("80"));
    QString caption;
    int requested = 0;
    if (!graph)
        whenModal<FrmMessen>([&](FrmMessen *window) {
            caption = window->windowTitle();
            requested = fx.settings.MeasureRequested;
            window->reject();
        });
    fx.messages.answer(false);
    fx.click("cmdEbnMess");

    // The typed data is taken either way.
    QCOMPARE(fx.box().Benutzer, QStringLiteral("Smith"));
    QCOMPARE(fx.box().Ein[3], 6.0f);
    QVERIFY(fx.box().Changed);
    QCOMPARE(fx.form->isVisible(), graph);
    QCOMPARE(fx.box().Stored, graph);
    if (graph) {
        QCOMPARE(fx.messages.texts(),
            QStringList { "A graph was already measured in box 3!\nStart measurement ?" });
        QVERIFY(fx.messages.entries.first().question);
        QCOMPARE(fx.settings.MeasureRequested, 0);
    } else {
        QVERIFY(fx.messages.entries.isEmpty());
        QCOMPARE(caption, QStringLiteral("Measurement of  <A%1>  in box 3"));
        QCOMPARE(requested, 1);
    }
}

// A button pressed by its access key or by Enter leaves the focus where it
// is, yet the typed entry gets the checks of leaving its field: the message,
// the focus back, and nothing taken into the box.
void TestSpecimenForm::buttonsCheckTheTypedFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key"); // with Alt; 0: Enter on a focused "&Return"
    QTest::addColumn<QString>("message");
    const QString whole = QStringLiteral("valid user input:\n\n(0 .... 999)");
    const QString percent = QStringLiteral("valid user input:\n\n(0 .... 99.9)");
    const QString testDate = QStringLiteral("Bitte geben Sie ein Datum ein z.B. '27.12.05'");
    const auto row = [](const char *name, const char *field, const char *typed, int key,
                         const QString &message) {
        QTest::newRow(name) << QString(field) << QString(typed) << key << message;
    };
    row("Alt+R, temperature 5000", "EbnTemp", "5000", Qt::Key_R, whole);
    row("Alt+S, moisture 150", "EbnFeuchte", "150", Qt::Key_S, percent);
    row("Alt+A, no date", "EbnPruefAm", "99.99.99", Qt::Key_A, testDate);
    row("Alt+L, temperature 5000", "EbnTemp", "5000", Qt::Key_L, whole);
    row("Alt+E, ash 100", "EbnAsche", "100", Qt::Key_E, percent);
    row("Alt+R, temperature 999", "EbnTemp", "999", Qt::Key_R, QString());
    row("Alt+R, date rewritten", "EbnPruefAm", "1.2.28", Qt::Key_R, QString());
}

void TestSpecimenForm::buttonsCheckTheTypedFields()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, message);
    SpecimenFixture fx;
    fx.box().Temp = 20;
    fx.box().Feuchte = 5;
    fx.box().Asche = 1;
    fx.box().Changed = false;
    const QString date = fx.box().PruefAm;
    QVERIFY(fx.open());
    // A window opened against the rule must not hold the test up.
    QStringList opened;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&opened] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            if (dialog->objectName() != QStringLiteral("frmEbn")) {
                opened << dialog->objectName();
                dialog->reject();
            }
    });
    guard.start(20);
    QLineEdit *edit = fx.field(field);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key(key), Qt::AltModifier);
    const bool refused = !message.isEmpty();
    if (refused) {
        QTRY_COMPARE(fx.messages.texts(), QStringList { message });
        QTest::qWait(150); // the button's own press would be over by now
        QCoreApplication::processEvents();
        QVERIFY(fx.form->isVisible());
        QVERIFY(edit->hasFocus());
        QCOMPARE(fx.box().Temp, 20.0f);
        QCOMPARE(fx.box().Feuchte, 5.0f);
        QCOMPARE(fx.box().Asche, 1.0f);
        QCOMPARE(fx.box().PruefAm, date);
        QVERIFY(!fx.box().Changed);
        QCOMPARE(opened, QStringList());
        return;
    }
    QTRY_VERIFY(!fx.form->isVisible());
    QVERIFY(fx.messages.texts().isEmpty());
    QCOMPARE(fx.box().Temp, field == QStringLiteral("EbnTemp") ? 999.0f : 20.0f);
    if (field == QStringLiteral("EbnPruefAm"))
        QCOMPARE(fx.box().PruefAm, QStringLiteral("01.02.28"));
}

// Enter presses the button that has the focus, whichever it is; in a field
// it presses nothing, since the form has no default button.
void TestSpecimenForm::enterPressesTheFocusedButton()
{
    SpecimenFixture fx;
    fx.box().Temp = 20;
    QVERIFY(fx.open());
    QLineEdit *temp = fx.field("EbnTemp");
    temp->setFocus(Qt::OtherFocusReason);
    temp->selectAll();
    QTest::keyClicks(temp, QStringLiteral("21"));
    QTest::keyClick(temp, Qt::Key_Return);
    QVERIFY(fx.form->isVisible());
    QCOMPARE(fx.box().Temp, 20.0f);

    auto *returnButton = fx.form->findChild<QPushButton *>("cmdEbnAb");
    returnButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(returnButton, Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(!fx.form->isVisible());
    QCOMPARE(fx.box().Temp, 21.0f);
}

// A typed entry whose field lost the focus without its check (the window
// went inactive meanwhile) is checked when a button takes the fields.
void TestSpecimenForm::fieldLeftUncheckedIsCheckedByTheButton()
{
    SpecimenFixture fx;
    fx.box().Feuchte = 5;
    const QString date = fx.box().DrVonAm;
    QVERIFY(fx.open());
    for (const char *name : { "EbnFeuchte", "EbnDrVonAm" }) {
        QLineEdit *edit = fx.field(name);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("150"));
        fx.field("EbnKovra")->setFocus(Qt::ActiveWindowFocusReason);
        QCoreApplication::processEvents();
        QVERIFY(fx.messages.texts().isEmpty());
        fx.click("cmdEbnAb");
        QCoreApplication::processEvents();
        QVERIFY(fx.form->isVisible());
        QVERIFY(edit->hasFocus());
        QCOMPARE(fx.messages.texts().size(), 1);
        // Refused once (a date is emptied by then), refused again.
        fx.field("EbnKovra")->setFocus(Qt::ActiveWindowFocusReason);
        fx.click("cmdEbnAb");
        QCoreApplication::processEvents();
        QVERIFY(fx.form->isVisible());
        QCOMPARE(fx.messages.texts().size(), 2);
        fx.messages.clear();
        edit->setText(name == QByteArray("EbnFeuchte") ? QStringLiteral("5") : date);
    }
    QCOMPARE(fx.box().Feuchte, 5.0f);
    QCOMPARE(fx.box().DrVonAm, date);
    fx.click("cmdEbnAb");
    QVERIFY(!fx.form->isVisible());
}

QTEST_MAIN(TestSpecimenForm)
#include "test_entryform.moc"
