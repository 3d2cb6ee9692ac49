#include "FormFixture.h"
#include "TestSupport.h"

#include "display/GraphWindow.h"
#include "evaluation/LimitFileOrganisation.h"
#include "evaluation/ResultsWindow.h"
#include "evaluation/SpecimenForm.h"
#include "instrument/MeasurementWindow.h"
#include "shell/ClearBox.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace
{

QLineEdit *field(FrmEbn &form, const QString &name)
{
    auto *edit = form.findChild<QLineEdit *>(name);
    if (!edit)
        qFatal("no field %s", qPrintable(name));
    return edit;
}

QPushButton *button(FrmEbn &form, const char *name)
{
    return form.findChild<QPushButton *>(QLatin1String(name));
}

// A box as the operator finds it: reset, in box 3, the 10-minute scope.
struct SpecimenFixture : FormFixture {
    explicit SpecimenFixture(const Notation &n = commaNotation())
        : FormFixture(n)
    {
        settings.ActiveBox = 3;
        settings.ScopeOfTime = 10;
        ClearBox(settings, 3, notation, QDate(2027, 12, 5));
    }
    BoxRecord &box() { return settings.Box(3); }
    // A measured graph of the selected scope, saved and unchanged.
    void makeGraph()
    {
        box().Status = BoxStatus::Graph;
        box().Stored = true;
        box().Ein[10] = settings.ScopeOfTime;
    }
};

} // namespace

class TestSpecimenForm : public QObject
{
    Q_OBJECT

private slots:
    void opensWithTheBoxData_data();
    void opensWithTheBoxData();
    void typedPointEntersTheDecimalSeparator_data();
    void typedPointEntersTheDecimalSeparator();
    void numberChecksOnLeaving_data();
    void numberChecksOnLeaving();
    void dateChecksOnLeaving_data();
    void dateChecksOnLeaving();
    void takingRefusesAFieldWithoutNumber();
    void newNameIsTakenTrimmed();
    void returnWithoutChangeKeepsChanged_data();
    void returnWithoutChangeKeepsChanged();
    void startOnAGraphAsksFirst();
    void otherScopeRefusesStartAndAdjustments();
    void startOpensTheMeasurementWindow();
    void graphsAndResultsShowThisBox();
    void relatingALimitFileChecksTheLimits_data();
    void relatingALimitFileChecksTheLimits();
};

void TestSpecimenForm::opensWithTheBoxData_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<bool>("graph");
    QTest::addColumn<QString>("caption");
    QTest::newRow("pattern, comma") << true << false << QString("Pattern in box 3");
    QTest::newRow("graph, point") << false << true << QString("Graph in box 3");
}

void TestSpecimenForm::opensWithTheBoxData()
{
    QFETCH(bool, comma);
    QFETCH(bool, graph);
    QFETCH(QString, caption);
    SpecimenFixture fx(comma ? commaNotation() : pointNotation());
    if (graph)
        fx.makeGraph();
    fx.box().Ein[4] = 99;
    fx.box().Kovra = QStringLiteral("A1");
    fx.box().Temp = 12.5f;
    fx.box().GesGew = 123.45678f;

    FrmEbn form(fx.ctx);
    form.show();
    QCOMPARE(form.windowTitle(), caption);
    QCOMPARE(field(form, "EbnKovra")->text(), QStringLiteral("A1"));
    // Seven significant digits, no trailing zeros, the system's separator.
    const QChar point = fx.notation.decimalSeparator();
    QCOMPARE(field(form, "EbnTemp")->text(), QStringLiteral("12.5").replace(u'.', point));
    QCOMPARE(field(form, "EbnBg")->text(), QStringLiteral("0"));
    QCOMPARE(field(form, "EbnGesGew")->text(), QStringLiteral("123.4568").replace(u'.', point));
    QCOMPARE(field(form, "EbnPruefAm")->text(), fx.notation.date(QDate(2027, 12, 5)));
    // A box without a graph is measured with the presets; a graph keeps its own.
    QCOMPARE(fx.box().Ein[4], graph ? 99.0f : 10.0f);
    QCOMPARE(button(form, "cmdEbnGraph")->isEnabled(), graph);
    QCOMPARE(field(form, "EbnKovra")->maxLength(), 50);
    QCOMPARE(field(form, "EbnBgArt")->maxLength(), 60);
}

void TestSpecimenForm::typedPointEntersTheDecimalSeparator_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("shown");
    QTest::newRow("comma, number") << true << QString("EbnTemp") << QString("12,5");
    QTest::newRow("comma, level") << true << QString("EbnBg") << QString("12,5");
    QTest::newRow("point, number") << false << QString("EbnTemp") << QString("12.5");
    QTest::newRow("comma, text") << true << QString("EbnBenutzer") << QString("12.5");
}

void TestSpecimenForm::typedPointEntersTheDecimalSeparator()
{
    QFETCH(bool, comma);
    QFETCH(QString, field);
    QFETCH(QString, shown);
    SpecimenFixture fx(comma ? commaNotation() : pointNotation());
    FrmEbn form(fx.ctx);
    QLineEdit *edit = ::field(form, field);
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("12.5"));
    QCOMPARE(edit->text(), shown);
}

void TestSpecimenForm::numberChecksOnLeaving_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal"); // empty: accepted
    const QString whole = QStringLiteral("valid user input:\n\n(0 .... 999)");
    const QString percent = QStringLiteral("valid user input:\n\n(0 .... 99.9)");
    const auto row = [](const char *field, const char *text, const QString &refusal) {
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(field, text)))
            << QString(field) << QString(text) << refusal;
    };
    row("EbnFeuchte", "100", percent);
    row("EbnFeuchte", "99,9", "");
    row("EbnAsche", "99,95", percent);
    row("EbnTemp", "999", "");
    row("EbnTemp", "999,1", whole);
    row("EbnTemp", "", whole);
    row("EbnPaGew", "-1", whole);
    row("EbnLuftdurch", "0", "");
    row("EbnGesGew", "1.000", whole); // no grouping: it would not read as it looks
    row("EbnBg", "abc", whole);
}

void TestSpecimenForm::numberChecksOnLeaving()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    SpecimenFixture fx;
    FrmEbn form(fx.ctx);
    QVERIFY(showActive(form));
    QLineEdit *edit = ::field(form, field);
    edit->setText(text);
    leaveWithTab(edit);

    if (refusal.isEmpty()) {
        QVERIFY(fx.messages.entries.isEmpty());
        QVERIFY(!edit->hasFocus());
        return;
    }
    QCOMPARE(fx.messages.texts(), QStringList { refusal });
    QCOMPARE(fx.messages.entries.first().icon, OperatorMessages::Icon::Critical);
    QVERIFY(edit->hasFocus());
    QCOMPARE(edit->text(), text);
}

void TestSpecimenForm::dateChecksOnLeaving_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");
    const QString other = QStringLiteral("Please enter a valid Date like: '05.12.27'");
    const QString test = QStringLiteral("Bitte geben Sie ein Datum ein z.B. '27.12.05'");
    const auto row = [](const char *name, bool comma, const char *field, const char *text,
                         const char *shown, const QString &message) {
        QTest::newRow(name) << comma << QString(field) << QString(text) << QString(shown)
                            << message;
    };
    row("rewritten", true, "EbnBgVonAm", " 5.12.27 ", "05.12.27", "");
    row("four-digit year", true, "EbnDrVonAm", "5.12.2027", "05.12.27", "");
    row("point system", false, "EbnPaVonAm", "5/12/27", "05/12/27", "");
    row("no such day", true, "EbnPaVonAm", "31.02.27", "", other);
    row("test date empty", true, "EbnPruefAm", "", "", test);
    row("test date text", true, "EbnPruefAm", "today", "", test);
}

void TestSpecimenForm::dateChecksOnLeaving()
{
    QFETCH(bool, comma);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    SpecimenFixture fx(comma ? commaNotation() : pointNotation());
    FrmEbn form(fx.ctx);
    QVERIFY(showActive(form));
    QLineEdit *edit = ::field(form, field);
    edit->setText(text);
    leaveWithTab(edit);

    QCOMPARE(edit->text(), shown);
    QCOMPARE(edit->hasFocus(), !message.isEmpty());
    QCOMPARE(fx.messages.texts(), message.isEmpty() ? QStringList() : QStringList { message });
}

void TestSpecimenForm::takingRefusesAFieldWithoutNumber()
{
    SpecimenFixture fx;
    fx.box().Temp = 20;
    FrmEbn form(fx.ctx);
    QVERIFY(showActive(form));
    field(form, "EbnBenutzer")->setText(QStringLiteral("Smith"));
    // Put there without leaving the field, so only taking can notice it.
    field(form, "EbnTemp")->setText(QStringLiteral("warm"));
    button(form, "cmdEbnAb")->click();

    QCOMPARE(fx.messages.texts(), QStringList { "valid user input:\n\n(0 .... 999)" });
    QVERIFY(form.isVisible());
    QVERIFY(field(form, "EbnTemp")->hasFocus());
    QCOMPARE(fx.box().Benutzer, QString());
    QCOMPARE(fx.box().Temp, 20.0f);
    QVERIFY(!fx.box().Changed);
}

void TestSpecimenForm::newNameIsTakenTrimmed()
{
    SpecimenFixture fx;
    fx.box().Kovra = QStringLiteral("A1");
    fx.box().Stored = true;
    FrmEbn form(fx.ctx);
    QVERIFY(showActive(form));
    field(form, "EbnKovra")->setText(QStringLiteral("  B 2  "));
    button(form, "cmdEbnAb")->click();

    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(fx.box().Kovra, QStringLiteral("B 2"));
    QVERIFY(!fx.box().Stored);
    QVERIFY(fx.box().Changed);
}

void TestSpecimenForm::returnWithoutChangeKeepsChanged_data()
{
    QTest::addColumn<bool>("changed");
    QTest::newRow("unchanged box") << false;
    QTest::newRow("changed box") << true;
}

void TestSpecimenForm::returnWithoutChangeKeepsChanged()
{
    QFETCH(bool, changed);
    SpecimenFixture fx;
    fx.box().Kovra = QStringLiteral("A1");
    fx.box().Feuchte = 4.7f;
    fx.box().Bemerk = QStringLiteral("note");
    fx.box().Stored = true;
    fx.box().Changed = changed;
    FrmEbn form(fx.ctx);
    QVERIFY(showActive(form));
    // Leaving fields without changing them rewrites nothing.
    leaveWithTab(field(form, "EbnFeuchte"));
    leaveWithTab(field(form, "EbnPruefAm"));
    button(form, "cmdEbnAb")->click();

    QVERIFY(!form.isVisible());
    QCOMPARE(fx.box().Changed, changed);
    QVERIFY(fx.box().Stored);
    QCOMPARE(fx.box().Feuchte, 4.7f);
}

void TestSpecimenForm::startOnAGraphAsksFirst()
{
    SpecimenFixture fx;
    fx.makeGraph();
    fx.box().Ein[3] = 0;
    FrmEbn form(fx.ctx);
    QVERIFY(showActive(form));
    field(form, "EbnBenutzer")->setText(QStringLiteral("Smith"));
    field(form, "EbnPaGew")->setText(QStringLiteral("80"));
    fx.messages.answer(false);
    button(form, "cmdEbnMess")->click();

    QCOMPARE(fx.messages.texts(),
        QStringList { "A graph was already measured in box 3!\nStart measurement ?" });
    QVERIFY(fx.messages.entries.first().question);
    QVERIFY(form.isVisible());
    QCOMPARE(fx.box().Benutzer, QStringLiteral("Smith"));
    QVERIFY(fx.box().Changed);
    QCOMPARE(fx.box().Ein[3], 6.0f);
    QCOMPARE(fx.settings.MeasureRequested, 0);
    QVERIFY(fx.box().Stored);
}

void TestSpecimenForm::otherScopeRefusesStartAndAdjustments()
{
    SpecimenFixture fx;
    fx.makeGraph();
    fx.box().Ein[10] = 25;
    FrmEbn form(fx.ctx);
    QVERIFY(showActive(form));
    field(form, "EbnBenutzer")->setText(QStringLiteral("Smith"));

    button(form, "cmdEbnMess")->click();
    QCOMPARE(fx.messages.texts(), QStringList { "Graph not in selected scope of time!" });
    QCOMPARE(fx.box().Benutzer, QString()); // refused before taking

    fx.messages.clear();
    button(form, "cmdEbnMessAn")->click();
    QCOMPARE(fx.messages.texts(), QStringList { "Graph not in selected scope of time!" });
    QCOMPARE(fx.box().Benutzer, QStringLiteral("Smith")); // taken, then refused
    QVERIFY(form.isVisible());
}

void TestSpecimenForm::startOpensTheMeasurementWindow()
{
    SpecimenFixture fx;
    fx.box().Kovra = QStringLiteral("A1");
    fx.box().Stored = true;
    FrmEbn form(fx.ctx);
    QVERIFY(showActive(form));
    QCOMPARE(fx.box().Ein[3], 0.0f); // the preset leaves the voltage to the weight
    field(form, "EbnPaGew")->setText(QStringLiteral("80"));

    QString caption;
    int requested = 0;
    whenModal<FrmMessen>([&](FrmMessen *window) {
        caption = window->windowTitle();
        requested = fx.settings.MeasureRequested;
        window->reject();
    });
    button(form, "cmdEbnMess")->click();

    QCOMPARE(caption, QStringLiteral("Measurement of  <A1>  in box 3"));
    QCOMPARE(requested, 1);
    QVERIFY(fx.messages.entries.isEmpty());
    QCOMPARE(fx.box().Ein[3], 6.0f);
    QCOMPARE(fx.box().PaGew, 80.0f);
    QVERIFY(!fx.box().Stored);
    QVERIFY(!form.isVisible());
}

void TestSpecimenForm::graphsAndResultsShowThisBox()
{
    SpecimenFixture fx;
    fx.makeGraph();
    fx.settings.DialogMode = 5;
    FrmEbn form(fx.ctx);
    QVERIFY(showActive(form));
    QString caption;
    int mode = -1;
    whenModal<FrmGraph>([&](FrmGraph *window) {
        caption = window->windowTitle();
        mode = fx.settings.DialogMode;
        window->reject();
    });
    button(form, "cmdEbnGraph")->click();
    QCOMPARE(caption, QStringLiteral("Display graphs"));
    QCOMPARE(mode, 1);

    whenModal<FrmErg>([&](FrmErg *window) {
        caption = window->windowTitle();
        mode = fx.settings.DialogMode;
        window->reject();
    });
    button(form, "cmdEbnErg")->click();
    QCOMPARE(caption, QStringLiteral("Results"));
    QCOMPARE(mode, 0);
    QVERIFY(form.isVisible());
    QVERIFY(!fx.box().Changed);
}

void TestSpecimenForm::relatingALimitFileChecksTheLimits_data()
{
    QTest::addColumn<bool>("relate");
    QTest::newRow("related") << true;
    QTest::newRow("returned") << false;
}

void TestSpecimenForm::relatingALimitFileChecksTheLimits()
{
    QFETCH(bool, relate);
    SpecimenFixture fx;
    fx.box().Erg[1] = 12;
    LimitFile file;
    file.GrwName = QStringLiteral("Std");
    file.VerzID = *fx.store.addDirectory(DirectoryType::Limits, QStringLiteral("D"));
    file.lower[1] = 10;
    file.upper[1] = 11;
    QVERIFY(fx.store.addLimitFile(file));

    FrmEbn form(fx.ctx);
    QVERIFY(showActive(form));
    whenModal<FrmGrwOrg>([relate](FrmGrwOrg *org) {
        org->findChild<QListWidget *>(QStringLiteral("List1"))->setCurrentRow(0);
        org->findChild<QListWidget *>(QStringLiteral("List2"))->setCurrentRow(0);
        const char *name = relate ? "cmdGrwOrgZO" : "cmdGrwOrgOk";
        org->findChild<QPushButton *>(QLatin1String(name))->click();
    });
    button(form, "cmdEbnGrw")->click();

    QVERIFY(form.isVisible());
    QCOMPARE(fx.box().Changed, relate);
    QCOMPARE(fx.box().Abw[1], relate ? 1.0f : 0.0f);
    QCOMPARE(fx.box().GrwBez.trimmed(), relate ? QStringLiteral("Std") : QString());
}

QTEST_MAIN(TestSpecimenForm)
#include "test_specimenform.moc"
