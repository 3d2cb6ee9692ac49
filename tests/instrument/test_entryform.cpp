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
    fx.box().Kovra = QStringLiteral("A1");
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
        QCOMPARE(caption, QStringLiteral("Measurement of  <A1>  in box 3"));
        QCOMPARE(requested, 1);
    }
}

QTEST_MAIN(TestSpecimenForm)
#include "test_entryform.moc"
