#include "FormFixture.h"
#include "TestSupport.h"

#include "evaluation/LimitEditor.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace
{

const QString RateRange = QStringLiteral("valid user input:\n\n( 0 .... 9.999 )");
const QString CuringRange = QStringLiteral("valid user input:\n\n( 0 .... 999.9 )");
const QString FlexRange = QStringLiteral("valid user input:\n\n( 0 .... 999 )");

// The limit editor on a comma system, for the limit directory "D" that
// holds the file "Std".
struct EditorFixture : FormFixture {
    EditorFixture()
        : FormFixture(commaNotation())
    {
        LimitFile file;
        file.GrwName = QStringLiteral("Std");
        file.VerzID = settings.SelVerzID = *store.addDirectory(DirectoryType::Limits, "D");
        settings.SelGrwID = *store.addLimitFile(file);
        form = std::make_unique<FrmGrw>(ctx);
        shown = showActive(*form);
    }
    QLineEdit *field(const QString &name) { return form->findChild<QLineEdit *>(name); }
    void clickOk() { form->findChild<QPushButton *>("cmdGrwOK")->click(); }
    void typeName(const QString &name)
    {
        field("txtNeu")->setFocus(Qt::OtherFocusReason);
        QTest::keyClicks(field("txtNeu"), name);
    }
    QList<LimitFile> files() { return store.listLimitFiles(settings.SelVerzID); }

    std::unique_ptr<FrmGrw> form;
    bool shown = false;
};

struct LimitCase {
    bool byOk; // "&OK" pressed without leaving the field
    QString field, typed, shown;
    QString refusal; // empty: accepted
};

} // namespace

Q_DECLARE_METATYPE(LimitCase)

class TestLimitEditor : public QObject
{
    Q_OBJECT

private slots:
    void limitChecks_data();
    void limitChecks();
    void names_data();
    void names();
};

// A limit is checked when its field is left and again by "&OK", which
// stores nothing while a field is refused.
void TestLimitEditor::limitChecks_data()
{
    QTest::addColumn<LimitCase>("c");
    // The range text 9.999 reads as 9999 where the comma is the separator.
    QTest::newRow("comma: rate 10") << LimitCase { false, "medOgs_2", "10", "10", "" };
    QTest::newRow("comma: lower point") << LimitCase { false, "medUgs_0", "1.5", "1,5", "" };
    // Upper fields take the typed point as the separator too.
    QTest::newRow("comma: upper 999.9")
        << LimitCase { false, "medOgs_0", "999.9", "999,9", "" };
    QTest::newRow("upper letters, never left, OK")
        << LimitCase { true, "medOgs_0", "x1", "x1", CuringRange };
    QTest::newRow("upper empty, never left, OK")
        << LimitCase { true, "medOgs_2", "", "", RateRange };
    QTest::newRow("empty") << LimitCase { false, "medUgs_4", "", "", FlexRange };
    // A row takes no more characters than its range's maximum is long.
    QTest::newRow("result 5, long") << LimitCase { false, "medOgs_4", "1234567", "123", "" };
}

void TestLimitEditor::limitChecks()
{
    QFETCH(LimitCase, c);
    EditorFixture fx;
    QVERIFY(fx.shown);
    fx.typeName("New");
    QLineEdit *edit = fx.field(c.field);
    edit->clear();
    QTest::keyClicks(edit, c.typed);
    QCOMPARE(edit->text(), c.shown);
    if (c.byOk)
        fx.clickOk();
    else
        leaveWithTab(edit);

    QCOMPARE(fx.messages.texts(), c.refusal.isEmpty() ? QStringList() : QStringList { c.refusal });
    QCOMPARE(edit->hasFocus(), !c.refusal.isEmpty());
    QCOMPARE(edit->text(), c.shown);
    if (!c.refusal.isEmpty()) {
        QCOMPARE(fx.messages.entries.first().icon, OperatorMessages::Icon::Critical);
        QVERIFY(fx.form->isVisible());
        QCOMPARE(fx.files().size(), 1);
    }
}

// A new file is stored under its trimmed name, unique in its directory;
// cancelling stores nothing, even past a refused field.
void TestLimitEditor::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("otherDirectory");
    QTest::addColumn<int>("leave"); // 0 "&OK", 1 "&Cancel", 2 Escape
    QTest::addColumn<QString>("message"); // empty: stored on "&OK"
    QTest::newRow("trimmed") << "  Paper 80  " << false << 0 << "";
    QTest::newRow("blanks only") << "   " << false << 0 << "No name given!";
    QTest::newRow("taken") << " Std " << false << 0
                           << "Name of Limit-File already exists, please give another name!";
    QTest::newRow("other directory") << "Std" << true << 0 << "";
    QTest::newRow("cancel button") << "New" << false << 1 << "";
    QTest::newRow("escape key") << "New" << false << 2 << "";
}

void TestLimitEditor::names()
{
    QFETCH(QString, name);
    QFETCH(bool, otherDirectory);
    QFETCH(int, leave);
    QFETCH(QString, message);
    EditorFixture fx;
    QVERIFY(fx.shown);
    if (otherDirectory)
        fx.settings.SelVerzID = *fx.store.addDirectory(DirectoryType::Limits, "E");
    const qsizetype before = fx.files().size();
    fx.field("medUgs_0")->setText("1,5");
    // Emptying the field after typing leaves "&OK" enabled, so a name of
    // blanks reaches the check.
    fx.typeName("x");
    QTest::keyClick(fx.field("txtNeu"), Qt::Key_Backspace);
    QTest::keyClicks(fx.field("txtNeu"), name);
    QLineEdit *refused = fx.field("medOgs_1");
    if (leave == 0) {
        fx.clickOk();
    } else {
        refused->setText("x");
        refused->setFocus(Qt::OtherFocusReason);
        if (leave == 2)
            QTest::keyClick(refused, Qt::Key_Escape);
        else
            QTest::mouseClick(fx.form->findChild<QPushButton *>("cmdGrwAB"), Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    QCOMPARE(fx.messages.texts(), message.isEmpty() ? QStringList() : QStringList { message });
    QCOMPARE(fx.form->isVisible(), !message.isEmpty());
    QCOMPARE(fx.field("txtNeu")->hasFocus(), !message.isEmpty());
    const QList<LimitFile> after = fx.files();
    const bool stored = message.isEmpty() && leave == 0;
    QCOMPARE(after.size() - before, stored ? 1 : 0);
    if (stored)
        QVERIFY(std::any_of(after.begin(), after.end(),
            [&](const LimitFile &f) { return f.GrwName == name.trimmed() && f.lower[1] == 1.5f; }));
}

QTEST_MAIN(TestLimitEditor)
#include "test_limiteditor.moc"
