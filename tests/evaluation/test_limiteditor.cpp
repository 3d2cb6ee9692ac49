#include "FormFixture.h"
#include "TestSupport.h"

#include "evaluation/LimitEditor.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QLineEdit *limitField(FrmGrw &form, const QString &column, int row)
{
    return form.findChild<QLineEdit *>(column + QLatin1Char('_') + QString::number(row));
}

QLineEdit *nameField(FrmGrw &form)
{
    return form.findChild<QLineEdit *>(QStringLiteral("txtNeu"));
}

QPushButton *button(FrmGrw &form, const char *name)
{
    return form.findChild<QPushButton *>(QLatin1String(name));
}

void typeName(FrmGrw &form, const QString &name)
{
    nameField(form)->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(nameField(form), name);
}

} // namespace

class TestLimitEditor : public QObject
{
    Q_OBJECT

private slots:
    void newModeStartsFromZeroLimits();
    void fieldsTakeNoMoreThanTheRangeIsLong();
    void limitChecksOnLeaving_data();
    void limitChecksOnLeaving();
    void newLimitFileIsStoredUnderItsTrimmedName();
    void nameRefusals_data();
    void nameRefusals();
    void sameNameInAnotherDirectoryIsAccepted();
    void cancelLeavesNoRecord_data();
    void cancelLeavesNoRecord();
    void okRefusesWhatCannotBeStoredAsShown_data();
    void okRefusesWhatCannotBeStoredAsShown();
    void changeModeRewritesTheLimitsOnly();
};

void TestLimitEditor::newModeStartsFromZeroLimits()
{
    FormFixture fx(commaNotation());
    FrmGrw form(fx.ctx);
    QCOMPARE(form.windowTitle(), QStringLiteral("Limit management"));
    QVERIFY(!button(form, "cmdGrwOK")->isEnabled());
    const QStringList ranges = {"(0...999.9)", "(0...999.9)", "(0...9.999)", "(0...9999)",
                                "(0...999)"};
    const QStringList units = {"min.", "min.", "%/min.", "sec.", "%"};
    for (int k = 0; k < 5; ++k) {
        QCOMPARE(form.findChild<QLabel *>(QStringLiteral("lblrange_%1").arg(k))->text(),
                 ranges[k]);
        QCOMPARE(form.findChild<QLabel *>(QStringLiteral("lbl3_%1").arg(k))->text(), units[k]);
        QCOMPARE(limitField(form, "medUgs", k)->text(), QStringLiteral("0"));
        QCOMPARE(limitField(form, "medOgs", k)->text(), QStringLiteral("0"));
    }
}

void TestLimitEditor::fieldsTakeNoMoreThanTheRangeIsLong()
{
    FormFixture fx(commaNotation());
    FrmGrw form(fx.ctx);
    const int lengths[] = {5, 5, 5, 4, 3};
    for (int k = 0; k < 5; ++k) {
        for (const char *column : {"medUgs", "medOgs"}) {
            QLineEdit *field = limitField(form, column, k);
            field->clear();
            QTest::keyClicks(field, QStringLiteral("1234567"));
            QCOMPARE(field->text().size(), lengths[k]);
        }
    }
}

void TestLimitEditor::limitChecksOnLeaving_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("refusal"); // empty: accepted

    const QString rate = QStringLiteral("valid user input:\n\n( 0 .... 9.999 )");
    const QString curing = QStringLiteral("valid user input:\n\n( 0 .... 999.9 )");
    // The range text 9.999 reads as 9999 where the comma is the separator.
    QTest::newRow("comma: rate 10") << true << "medOgs" << 2 << "10" << "10" << "";
    QTest::newRow("point: rate 10") << false << "medOgs" << 2 << "10" << "10" << rate;
    QTest::newRow("point: rate 9.999") << false << "medOgs" << 2 << "9.999" << "9.999" << "";
    QTest::newRow("comma: lower point") << true << "medUgs" << 0 << "1.5" << "1,5" << "";
    // An upper field keeps a typed point, and 1.5 must not be stored as 15.
    QTest::newRow("comma: upper point") << true << "medOgs" << 0 << "1.5" << "1.5" << curing;
    QTest::newRow("comma: upper comma") << true << "medOgs" << 0 << "1,5" << "1,5" << "";
    QTest::newRow("point: comma") << false << "medUgs" << 0 << "1,5" << "1,5" << curing;
    QTest::newRow("flexibility 999") << true << "medUgs" << 4 << "999" << "999" << "";
    QTest::newRow("negative")
        << true << "medOgs" << 4 << "-1" << "-1" << "valid user input:\n\n( 0 .... 999 )";
    QTest::newRow("empty")
        << true << "medUgs" << 3 << "" << "" << "valid user input:\n\n( 0 .... 9999 )";
    QTest::newRow("letters") << true << "medUgs" << 1 << "a" << "a" << curing;
}

void TestLimitEditor::limitChecksOnLeaving()
{
    QFETCH(bool, comma);
    QFETCH(QString, column);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, refusal);

    FormFixture fx(comma ? commaNotation() : pointNotation());
    FrmGrw form(fx.ctx);
    QVERIFY(showActive(form));
    QLineEdit *field = limitField(form, column, row);
    field->clear();
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(field, typed);
    QCOMPARE(field->text(), shown);
    leaveWithTab(field);

    if (refusal.isEmpty()) {
        QVERIFY(fx.messages.entries.isEmpty());
        QVERIFY(!field->hasFocus());
        return;
    }
    QCOMPARE(fx.messages.texts(), QStringList{refusal});
    QCOMPARE(fx.messages.entries.first().icon, OperatorMessages::Icon::Critical);
    QVERIFY(field->hasFocus());
    QCOMPARE(field->text(), shown);
}

void TestLimitEditor::newLimitFileIsStoredUnderItsTrimmedName()
{
    FormFixture fx(commaNotation());
    QVERIFY(fx.opened);
    fx.settings.SelVerzID = *fx.store.addDirectory(DirectoryType::Limits, QStringLiteral("Std"));
    FrmGrw form(fx.ctx);
    QVERIFY(showActive(form));
    limitField(form, "medUgs", 0)->setText(QStringLiteral("1,5"));
    limitField(form, "medOgs", 0)->setText(QStringLiteral("2"));
    limitField(form, "medOgs", 4)->setText(QStringLiteral("999"));
    typeName(form, QStringLiteral("  Paper 80  "));
    QVERIFY(button(form, "cmdGrwOK")->isEnabled());
    button(form, "cmdGrwOK")->click();

    QCOMPARE(form.result(), int(QDialog::Accepted));
    const QList<LimitFile> files = fx.store.listLimitFiles(fx.settings.SelVerzID);
    QCOMPARE(files.size(), 1);
    QCOMPARE(files[0].GrwName, QStringLiteral("Paper 80"));
    QCOMPARE(files[0].lower[1], 1.5f);
    QCOMPARE(files[0].upper[1], 2.0f);
    QCOMPARE(files[0].upper[5], 999.0f);
    QCOMPARE(files[0].lower[3], 0.0f);
}

void TestLimitEditor::nameRefusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("blanks only") << "   " << "No name given!";
    QTest::newRow("taken") << " Std " << "Name of Limit-File already exists, please give another name!";
    QTest::newRow("taken, other case is free") << "STD" << "";
}

void TestLimitEditor::nameRefusals()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    FormFixture fx(commaNotation());
    fx.settings.SelVerzID = *fx.store.addDirectory(DirectoryType::Limits, QStringLiteral("D"));
    LimitFile existing;
    existing.GrwName = QStringLiteral("Std");
    existing.VerzID = fx.settings.SelVerzID;
    QVERIFY(fx.store.addLimitFile(existing));

    FrmGrw form(fx.ctx);
    QVERIFY(showActive(form));
    // Typing something enables "&OK"; emptying the field again does not
    // disable it, so a name of blanks reaches the check.
    typeName(form, QStringLiteral("x"));
    QTest::keyClick(nameField(form), Qt::Key_Backspace);
    QTest::keyClicks(nameField(form), name);
    button(form, "cmdGrwOK")->click();

    const int files = int(fx.store.listLimitFiles(fx.settings.SelVerzID).size());
    if (message.isEmpty()) {
        QCOMPARE(files, 2);
        return;
    }
    QCOMPARE(fx.messages.texts(), QStringList{message});
    QCOMPARE(files, 1);
    QVERIFY(form.isVisible());
    QVERIFY(nameField(form)->hasFocus());
}

void TestLimitEditor::sameNameInAnotherDirectoryIsAccepted()
{
    FormFixture fx(pointNotation());
    const qint32 first = *fx.store.addDirectory(DirectoryType::Limits, QStringLiteral("A"));
    const qint32 second = *fx.store.addDirectory(DirectoryType::Limits, QStringLiteral("B"));
    LimitFile existing;
    existing.GrwName = QStringLiteral("Std");
    existing.VerzID = first;
    QVERIFY(fx.store.addLimitFile(existing));

    fx.settings.SelVerzID = second;
    FrmGrw form(fx.ctx);
    QVERIFY(showActive(form));
    typeName(form, QStringLiteral("Std"));
    button(form, "cmdGrwOK")->click();
    QVERIFY(fx.messages.entries.isEmpty());
    QCOMPARE(fx.store.listLimitFiles(second).size(), 1);
}

void TestLimitEditor::cancelLeavesNoRecord_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("cancel button") << false;
    QTest::newRow("escape key") << true;
}

void TestLimitEditor::cancelLeavesNoRecord()
{
    QFETCH(bool, escape);
    FormFixture fx(commaNotation());
    fx.settings.SelVerzID = *fx.store.addDirectory(DirectoryType::Limits, QStringLiteral("D"));
    FrmGrw form(fx.ctx);
    QVERIFY(showActive(form));
    typeName(form, QStringLiteral("New"));
    // A refused entry does not stand in the way of cancelling.
    QLineEdit *field = limitField(form, "medOgs", 1);
    field->setText(QStringLiteral("x"));
    field->setFocus(Qt::OtherFocusReason);
    if (escape)
        QTest::keyClick(field, Qt::Key_Escape);
    else
        QTest::mouseClick(button(form, "cmdGrwAB"), Qt::LeftButton);
    QCoreApplication::processEvents();

    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(fx.messages.entries.isEmpty());
    QVERIFY(fx.store.listLimitFiles(fx.settings.SelVerzID).isEmpty());
}

void TestLimitEditor::okRefusesWhatCannotBeStoredAsShown_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("pasted point") << false << "medOgs" << 2 << "1.5"
                                  << "valid user input:\n\n( 0 .... 9.999 )";
    QTest::newRow("typed, never left") << true << "medOgs" << 4 << "-1"
                                       << "valid user input:\n\n( 0 .... 999 )";
}

void TestLimitEditor::okRefusesWhatCannotBeStoredAsShown()
{
    QFETCH(bool, typed);
    QFETCH(QString, column);
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    FormFixture fx(commaNotation());
    fx.settings.SelVerzID = *fx.store.addDirectory(DirectoryType::Limits, QStringLiteral("D"));
    FrmGrw form(fx.ctx);
    QVERIFY(showActive(form));
    typeName(form, QStringLiteral("New"));
    QLineEdit *field = limitField(form, column, row);
    field->clear();
    if (typed)
        QTest::keyClicks(field, text);
    else
        field->setText(text);
    button(form, "cmdGrwOK")->click();

    QCOMPARE(fx.messages.texts(), QStringList{refusal});
    QVERIFY(form.isVisible());
    QVERIFY(field->hasFocus());
    QVERIFY(fx.store.listLimitFiles(fx.settings.SelVerzID).isEmpty());
}

void TestLimitEditor::changeModeRewritesTheLimitsOnly()
{
    FormFixture fx(commaNotation());
    const qint32 dir = *fx.store.addDirectory(DirectoryType::Limits, QStringLiteral("D"));
    LimitFile file;
    file.GrwName = QStringLiteral("Std");
    file.VerzID = dir;
    file.lower = {0, 1.5f, 2, 0.125f, 40, 5};
    // A flexibility limit above today's range, stored long ago.
    file.upper = {0, 10, 20, 0.5f, 400, 5000};
    QVERIFY(fx.store.addLimitFile(file));

    fx.settings.DialogMode = 2;
    fx.settings.SelGrwID = file.GrwID;
    FrmGrw form(fx.ctx);
    QVERIFY(showActive(form));
    QCOMPARE(limitField(form, "medUgs", 0)->text(), QStringLiteral("1,5"));
    QCOMPARE(limitField(form, "medUgs", 2)->text(), QStringLiteral("0,125"));
    QCOMPARE(limitField(form, "medOgs", 3)->text(), QStringLiteral("400"));
    QVERIFY(button(form, "cmdGrwOK")->isEnabled());

    limitField(form, "medOgs", 1)->setText(QStringLiteral("25,5"));
    button(form, "cmdGrwOK")->click();
    QVERIFY(fx.messages.entries.isEmpty());
    const std::optional<LimitFile> stored = fx.store.readLimitFile(file.GrwID);
    QVERIFY(stored);
    QCOMPARE(stored->GrwName, QStringLiteral("Std"));
    QCOMPARE(stored->upper[2], 25.5f);
    QCOMPARE(stored->lower[3], 0.125f);
    QCOMPARE(stored->upper[5], 5000.0f);
    QCOMPARE(fx.store.listLimitFiles(dir).size(), 1);
}

QTEST_MAIN(TestLimitEditor)
#include "test_limiteditor.moc"
