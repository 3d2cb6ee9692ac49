#include "FormFixture.h"
#include "TestSupport.h"

#include "evaluation/LimitEditor.h"
#include "evaluation/LimitFileOrganisation.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace
{

QPushButton *button(QWidget &form, const char *name)
{
    return form.findChild<QPushButton *>(QLatin1String(name));
}

// One limit directory with files of mixed case; limits 1..5 are 10k and 10k + 0.5.
struct LimitFixture : FormFixture {
    explicit LimitFixture(int mode)
        : FormFixture(commaNotation())
    {
        settings.DialogMode = mode;
        dir = *store.addDirectory(DirectoryType::Limits, "beta");
        for (const char *name : { "zeta", "Eta", "eta 2", "Std" }) {
            LimitFile file { .GrwName = QLatin1String(name), .VerzID = dir };
            for (int k = 1; k <= 5; ++k) {
                file.lower[k] = 10.0f * k;
                file.upper[k] = 10.0f * k + 0.5f;
            }
            store.addLimitFile(file);
        }
        form = std::make_unique<FrmGrwOrg>(ctx);
        showActive(*form);
    }
    QListWidget *list(const char *name) { return form->findChild<QListWidget *>(name); }
    void select(const QString &file)
    {
        list("List1")->setCurrentRow(0);
        list("List2")->setCurrentItem(list("List2")->findItems(file, Qt::MatchExactly).value(0));
    }

    qint32 dir = 0;
    std::unique_ptr<FrmGrwOrg> form;
};

} // namespace

class TestLimitFileOrganisation : public QObject
{
    Q_OBJECT

private slots:
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void relateAfterChange_data();
    void relateAfterChange();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
};

void TestLimitFileOrganisation::deleteAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("no") << false;
    QTest::newRow("yes") << true;
}

void TestLimitFileOrganisation::deleteAsksFirst()
{
    QFETCH(bool, yes);
    LimitFixture fx(0);
    fx.select("eta 2");
    fx.messages.answer(yes);
    button(*fx.form, "cmdGrwOrgLoe")->click();

    QCOMPARE(fx.messages.texts(), QStringList { "Limit-File delete?" });
    QVERIFY(fx.messages.entries.first().question);
    QVERIFY(fx.form->isVisible());
    const QStringList left = yes ? QStringList { "Eta", "Std", "zeta" }
                                 : QStringList { "Eta", "eta 2", "Std", "zeta" };
    QStringList shown;
    for (const QListWidgetItem *item : fx.list("List2")->findItems("*", Qt::MatchWildcard))
        shown << item->text();
    QCOMPARE(shown, left); // sorted ignoring case
    QCOMPARE(fx.store.listLimitFiles(fx.dir).size(), left.size());
}

// After a change in the editor the dialog relates the changed values and
// leaves DialogMode 1; returning leaves the box as it was and DialogMode 0.
void TestLimitFileOrganisation::relateAfterChange_data()
{
    QTest::addColumn<bool>("relate");
    QTest::newRow("relate") << true;
    QTest::newRow("return") << false;
}

void TestLimitFileOrganisation::relateAfterChange()
{
    QFETCH(bool, relate);
    LimitFixture fx(1);
    fx.settings.ActiveBox = 2;
    BoxRecord &box = fx.settings.Box(2);
    box.GrwBez = QStringLiteral("Old");
    box.GwO[1] = 7;
    fx.select("Std");
    whenModal<FrmGrw>([](FrmGrw *editor) {
        editor->findChild<QLineEdit *>("medOgs_3")->setText("444");
        button(*editor, "cmdGrwOK")->click();
    });
    button(*fx.form, "cmdGrwOrgAen")->click();
    fx.select("Std");
    button(*fx.form, relate ? "cmdGrwOrgZO" : "cmdGrwOrgOk")->click();

    QVERIFY(!fx.form->isVisible());
    QCOMPARE(fx.settings.DialogMode, relate ? 1 : 0);
    if (!relate) {
        QCOMPARE(box.GrwBez.trimmed(), QStringLiteral("Old"));
        QCOMPARE(box.GwO[1], 7.0f);
        return;
    }
    QCOMPARE(box.GrwBez.text(), QStringLiteral("Std").leftJustified(50));
    for (int k = 1; k <= 5; ++k) {
        QCOMPARE(box.GWU[k], 10.0f * k);
        QCOMPARE(box.GwO[k], k == 4 ? 444.0f : 10.0f * k + 0.5f);
    }
    QVERIFY(fx.settings.Box(1).GrwBez.isBlank());
}

// By keyboard: Tab from the list of limit files reaches "Relate &Limit-File"
// first; Enter presses the focused button, and "&Return" only from the list.
void TestLimitFileOrganisation::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<int>("tabs"); // from the list of limit files
    QTest::addColumn<QString>("outcome");
    QTest::newRow("relate") << 1 << "related";
    QTest::newRow("delete") << 4 << "asked";
    QTest::newRow("in the list") << 0 << "returned";
}

void TestLimitFileOrganisation::enterPressesTheFocusedButton()
{
    QFETCH(int, tabs);
    QFETCH(QString, outcome);
    LimitFixture fx(1);
    fx.settings.ActiveBox = 2;
    fx.select("Std");
    fx.list("List2")->setFocus(Qt::OtherFocusReason);
    for (int i = 0; i < tabs; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    QCOMPARE(fx.form->isVisible(), outcome == QStringLiteral("asked"));
    QCOMPARE(fx.messages.texts(),
        outcome == QStringLiteral("asked") ? QStringList { "Limit-File delete?" } : QStringList());
    QCOMPARE(fx.settings.DialogMode, outcome == QStringLiteral("returned") ? 0 : 1);
    QCOMPARE(fx.settings.Box(2).GrwBez.trimmed(),
        outcome == QStringLiteral("related") ? QStringLiteral("Std") : QString());
}

QTEST_MAIN(TestLimitFileOrganisation)
#include "test_limitfileorganisation.moc"
