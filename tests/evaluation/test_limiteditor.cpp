#include "FormFixture.h"
#include "TestSupport.h"

#include "evaluation/LimitEditor.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace
{

QLineEdit *limitField(FrmGrw &form, const QString &column, int row)
{
    return form.findChild<QLineEdit *>(column + QLatin1Char('_') + QString::number(row));
}

QLineEdit *nameField(FrmGrw &form)
{
    return form.findChild<QLineEdit *>("txtNeu");
}
QPushButton *okButton(FrmGrw &form)
{
    return form.findChild<QPushButton *>("cmdGrwOK");
}

void typeName(FrmGrw &form, const QString &name)
{
    nameField(form)->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(nameField(form), name);
}

qint32 addLimitFile(Store &store, qint32 dir, const QString &name)
{
    LimitFile file;
    file.GrwName = name;
    file.VerzID = dir;
    file.lower = { 0, 1.5f, 2, 0.125f, 40, 5 };
    // A flexibility limit above today's range, stored long ago.
    file.upper = { 0, 10, 20, 0.5f, 400, 5000 };
    return *store.addLimitFile(file);
}

const QString RateRange = QStringLiteral("valid user input:\n\n( 0 .... 9.999 )");
const QString CuringRange = QStringLiteral("valid user input:\n\n( 0 .... 999.9 )");
const QString FlexRange = QStringLiteral("valid user input:\n\n( 0 .... 999 )");

} // namespace

class TestLimitEditor : public QObject
{
    Q_OBJECT

private slots:
    void rowsTakeNoMoreThanTheirRangeIsLong();
    void limitChecksOnLeaving_data();
    void limitChecksOnLeaving();
    void newLimitFileIsStoredUnderItsTrimmedName();
    void nameRefusals_data();
    void nameRefusals();
    void cancelLeavesNoRecord_data();
    void cancelLeavesNoRecord();
    void okRefusesWhatCannotBeStoredAsShown_data();
    void okRefusesWhatCannotBeStoredAsShown();
    void changeModeRewritesTheLimitsOnly();
};

void TestLimitEditor::rowsTakeNoMoreThanTheirRangeIsLong()
{
    FormFixture fx(commaNotation());
    FrmGrw form(fx.ctx);
    QVERIFY(!okButton(form)->isEnabled());
    const int lengths[] = { 5, 5, 5, 4, 3 }; // as long as the range's maximum text
    for (int k = 0; k < 5; ++k) {
        QLineEdit *field = limitField(form, k % 2 ? "medUgs" : "medOgs", k);
        QCOMPARE(field->text(), QStringLiteral("0"));
        QTest::keyClicks(field, QStringLiteral("1234567"));
        QCOMPARE(field->text().size(), lengths[k]);
    }
    QCOMPARE(form.findChild<QLabel *>("lblrange_2")->text(), QStringLiteral("(0...9.999)"));
}

void TestLimitEditor::limitChecksOnLeaving_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("refusal"); // empty: accepted
    const auto row = [](const char *name, bool comma, const char *field, const char *typed,
                         const char *shown, const QString &refusal) {
        QTest::newRow(name) << comma << QString(field) << QString(typed) << QString(shown)
                            << refusal;
    };
    // The range text 9.999 reads as 9999 where the comma is the separator.
    row("comma: rate 10", true, "medOgs_2", "10", "10", "");
    row("point: rate 10", false, "medOgs_2", "10", "10", RateRange);
    row("point: rate 9.999", false, "medOgs_2", "9.999", "9.999", "");
    row("comma: lower point", true, "medUgs_0", "1.5", "1,5", "");
    // An upper field keeps a typed point, and 1.5 must not be stored as 15.
    row("comma: upper point", true, "medOgs_0", "1.5", "1.5", CuringRange);
    row("comma: upper comma", true, "medOgs_0", "1,5", "1,5", "");
    row("point: comma", false, "medUgs_0", "1,5", "1,5", CuringRange);
    // The last field: Tab goes on to "&Cancel", and the check still runs.
    row("negative", true, "medOgs_4", "-1", "-1", FlexRange);
    row("empty", true, "medUgs_4", "", "", FlexRange);
}

void TestLimitEditor::limitChecksOnLeaving()
{
    QFETCH(bool, comma);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, refusal);

    FormFixture fx(comma ? commaNotation() : pointNotation());
    FrmGrw form(fx.ctx);
    QVERIFY(showActive(form));
    auto *edit = form.findChild<QLineEdit *>(field);
    edit->clear();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), shown);
    leaveWithTab(edit);

    QCOMPARE(fx.messages.texts(), refusal.isEmpty() ? QStringList() : QStringList { refusal });
    QCOMPARE(edit->hasFocus(), !refusal.isEmpty());
    QCOMPARE(edit->text(), shown);
    if (!refusal.isEmpty())
        QCOMPARE(fx.messages.entries.first().icon, OperatorMessages::Icon::Critical);
}

void TestLimitEditor::newLimitFileIsStoredUnderItsTrimmedName()
{
    FormFixture fx(commaNotation());
    QVERIFY(fx.opened);
    fx.settings.SelVerzID = *fx.store.addDirectory(DirectoryType::Limits, "Std");
    FrmGrw form(fx.ctx);
    QVERIFY(showActive(form));
    limitField(form, "medUgs", 0)->setText("1,5");
    limitField(form, "medOgs", 4)->setText("999");
    typeName(form, "  Paper 80  ");
    okButton(form)->click();

    QCOMPARE(form.result(), int(QDialog::Accepted));
    const QList<LimitFile> files = fx.store.listLimitFiles(fx.settings.SelVerzID);
    QCOMPARE(files.size(), 1);
    QCOMPARE(files[0].GrwName, QStringLiteral("Paper 80"));
    QCOMPARE(files[0].lower[1], 1.5f);
    QCOMPARE(files[0].upper[5], 999.0f);
    QCOMPARE(files[0].lower[3], 0.0f);
}

void TestLimitEditor::nameRefusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("otherDirectory");
    QTest::addColumn<QString>("message"); // empty: stored
    const auto row = [](const char *name, const char *typed, bool other, const char *message) {
        QTest::newRow(name) << QString(typed) << other << QString(message);
    };
    row("blanks only", "   ", false, "No name given!");
    row("taken", " Std ", false, "Name of Limit-File already exists, please give another name!");
    row("other case", "STD", false, "");
    row("other directory", "Std", true, "");
}

void TestLimitEditor::nameRefusals()
{
    QFETCH(QString, name);
    QFETCH(bool, otherDirectory);
    QFETCH(QString, message);
    FormFixture fx(commaNotation());
    const qint32 dir = *fx.store.addDirectory(DirectoryType::Limits, "D");
    const qint32 other = *fx.store.addDirectory(DirectoryType::Limits, "E");
    addLimitFile(fx.store, dir, "Std");
    fx.settings.SelVerzID = otherDirectory ? other : dir;

    FrmGrw form(fx.ctx);
    QVERIFY(showActive(form));
    // Emptying the field after typing leaves "&OK" enabled, so a name of
    // blanks reaches the check.
    typeName(form, "x");
    QTest::keyClick(nameField(form), Qt::Key_Backspace);
    QTest::keyClicks(nameField(form), name);
    okButton(form)->click();

    const int added
        = int(fx.store.listLimitFiles(fx.settings.SelVerzID).size()) - (otherDirectory ? 0 : 1);
    QCOMPARE(fx.messages.texts(), message.isEmpty() ? QStringList() : QStringList { message });
    QCOMPARE(added, message.isEmpty() ? 1 : 0);
    QCOMPARE(form.isVisible(), !message.isEmpty());
    QCOMPARE(nameField(form)->hasFocus(), !message.isEmpty());
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
    fx.settings.SelVerzID = *fx.store.addDirectory(DirectoryType::Limits, "D");
    FrmGrw form(fx.ctx);
    QVERIFY(showActive(form));
    typeName(form, "New");
    // A refused entry does not stand in the way of cancelling.
    QLineEdit *field = limitField(form, "medOgs", 1);
    field->setText("x");
    field->setFocus(Qt::OtherFocusReason);
    if (escape)
        QTest::keyClick(field, Qt::Key_Escape);
    else
        QTest::mouseClick(form.findChild<QPushButton *>("cmdGrwAB"), Qt::LeftButton);
    QCoreApplication::processEvents();

    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(!form.isVisible());
    QVERIFY(fx.messages.entries.isEmpty());
    QVERIFY(fx.store.listLimitFiles(fx.settings.SelVerzID).isEmpty());
}

void TestLimitEditor::okRefusesWhatCannotBeStoredAsShown_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("pasted point") << false << QString("medOgs_2") << QString("1.5") << RateRange;
    QTest::newRow("typed, never left") << true << QString("medOgs_4") << QString("-1") << FlexRange;
}

void TestLimitEditor::okRefusesWhatCannotBeStoredAsShown()
{
    QFETCH(bool, typed);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    FormFixture fx(commaNotation());
    fx.settings.SelVerzID = *fx.store.addDirectory(DirectoryType::Limits, "D");
    FrmGrw form(fx.ctx);
    QVERIFY(showActive(form));
    typeName(form, "New");
    auto *edit = form.findChild<QLineEdit *>(field);
    edit->clear();
    if (typed)
        QTest::keyClicks(edit, text);
    else
        edit->setText(text);
    okButton(form)->click();

    QCOMPARE(fx.messages.texts(), QStringList { refusal });
    QVERIFY(form.isVisible());
    QVERIFY(edit->hasFocus());
    QVERIFY(fx.store.listLimitFiles(fx.settings.SelVerzID).isEmpty());
}

void TestLimitEditor::changeModeRewritesTheLimitsOnly()
{
    FormFixture fx(commaNotation());
    const qint32 dir = *fx.store.addDirectory(DirectoryType::Limits, "D");
    fx.settings.DialogMode = 2;
    fx.settings.SelGrwID = addLimitFile(fx.store, dir, "Std");
    FrmGrw form(fx.ctx);
    QVERIFY(showActive(form));
    QCOMPARE(limitField(form, "medUgs", 2)->text(), QStringLiteral("0,125"));
    QCOMPARE(limitField(form, "medOgs", 4)->text(), QStringLiteral("5000"));
    QVERIFY(okButton(form)->isEnabled());

    limitField(form, "medOgs", 1)->setText("25,5");
    okButton(form)->click();
    QVERIFY(fx.messages.entries.isEmpty());
    const std::optional<LimitFile> stored = fx.store.readLimitFile(fx.settings.SelGrwID);
    QCOMPARE(stored->GrwName, QStringLiteral("Std"));
    QCOMPARE(stored->upper[2], 25.5f);
    QCOMPARE(stored->lower[3], 0.125f);
    QCOMPARE(stored->upper[5], 5000.0f); // not cut to the three characters of its row
    QCOMPARE(fx.store.listLimitFiles(dir).size(), 1);
}

QTEST_MAIN(TestLimitEditor)
#include "test_limiteditor.moc"
