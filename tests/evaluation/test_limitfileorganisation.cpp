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

QListWidget *list(FrmGrwOrg &form, const char *name)
{
    return form.findChild<QListWidget *>(QLatin1String(name));
}

QPushButton *button(QWidget &form, const char *name)
{
    return form.findChild<QPushButton *>(QLatin1String(name));
}

QStringList shown(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void select(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> items = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(text));
    list->setCurrentItem(items.first());
}

// Which of New, Change, Delete, Relate are enabled, as a word: "NCDR".
QString enabledButtons(FrmGrwOrg &form)
{
    QString out;
    const std::pair<const char *, QChar> buttons[] = { { "cmdGrwOrgNeu", 'N' },
        { "cmdGrwOrgAen", 'C' }, { "cmdGrwOrgLoe", 'D' }, { "cmdGrwOrgZO", 'R' } };
    for (const auto &[name, letter] : buttons)
        if (button(form, name)->isEnabled())
            out += letter;
    return out;
}

struct LimitFixture : FormFixture {
    LimitFixture()
        : FormFixture(commaNotation())
    {
        dirA = *store.addDirectory(DirectoryType::Limits, "beta");
        dirB = *store.addDirectory(DirectoryType::Limits, "Alpha");
        store.addDirectory(DirectoryType::Graphs, QStringLiteral("graphs only"));
        for (const char *name : { "zeta", "Eta", "eta 2" })
            addFile(dirA, QLatin1String(name), 1);
        std_ = addFile(dirB, "Std", 10);
    }

    qint32 addFile(qint32 dir, const QString &name, float base)
    {
        LimitFile file;
        file.GrwName = name;
        file.VerzID = dir;
        for (int k = 1; k <= 5; ++k) {
            file.lower[k] = base * k;
            file.upper[k] = base * k + 0.5f;
        }
        return *store.addLimitFile(file);
    }

    qint32 dirA = 0, dirB = 0, std_ = 0;
};

} // namespace

class TestLimitFileOrganisation : public QObject
{
    Q_OBJECT

private slots:
    void listsAreSortedIgnoringCase();
    void buttonsFollowTheSelection_data();
    void buttonsFollowTheSelection();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void relateAfterChangeCopiesTheChangedValues();
    void leavingWithoutRelatingChangesNothing_data();
    void leavingWithoutRelatingChangesNothing();
};

void TestLimitFileOrganisation::listsAreSortedIgnoringCase()
{
    LimitFixture fx;
    FrmGrwOrg form(fx.ctx);
    QCOMPARE(shown(list(form, "List1")), QStringList({ "Alpha", "beta" }));
    select(list(form, "List1"), "beta");
    QCOMPARE(shown(list(form, "List2")), QStringList({ "Eta", "eta 2", "zeta" }));
    // Each entry keeps its own key whatever its place.
    select(list(form, "List1"), "Alpha");
    QCOMPARE(list(form, "List2")->item(0)->data(Qt::UserRole).toInt(), fx.std_);
}

void TestLimitFileOrganisation::buttonsFollowTheSelection_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("relateShown");
    QTest::newRow("management") << 0 << false;
    QTest::newRow("relate") << 1 << true;
}

void TestLimitFileOrganisation::buttonsFollowTheSelection()
{
    QFETCH(int, mode);
    QFETCH(bool, relateShown);
    LimitFixture fx;
    fx.settings.DialogMode = mode;
    FrmGrwOrg form(fx.ctx);
    form.show();
    QCOMPARE(button(form, "cmdGrwOrgZO")->isVisible(), relateShown);
    QCOMPARE(enabledButtons(form), QString());
    select(list(form, "List1"), "beta");
    QCOMPARE(enabledButtons(form), QStringLiteral("N"));
    select(list(form, "List2"), "zeta");
    QCOMPARE(enabledButtons(form), QStringLiteral("NCDR"));
    QVERIFY(button(form, "cmdGrwOrgOk")->isEnabled());

    // Back from the editor the list is refilled with nothing selected.
    whenModal<FrmGrw>([](FrmGrw *editor) { button(*editor, "cmdGrwAB")->click(); });
    button(form, "cmdGrwOrgAen")->click();
    QCOMPARE(enabledButtons(form), QStringLiteral("N"));
}

void TestLimitFileOrganisation::deleteAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("escape");
    QTest::newRow("no") << false << false;
    QTest::newRow("yes") << true << false;
    QTest::newRow("escape, yes") << true << true;
}

void TestLimitFileOrganisation::deleteAsksFirst()
{
    QFETCH(bool, yes);
    QFETCH(bool, escape);
    LimitFixture fx;
    FrmGrwOrg form(fx.ctx);
    QVERIFY(showActive(form));
    select(list(form, "List1"), "beta");
    select(list(form, "List2"), "eta 2");
    fx.messages.answer(yes);
    if (escape)
        QTest::keyClick(&form, Qt::Key_Escape);
    else
        button(form, "cmdGrwOrgLoe")->click();

    QCOMPARE(fx.messages.texts(), QStringList { "Limit-File delete?" });
    QVERIFY(fx.messages.entries.first().question);
    QVERIFY(form.isVisible());
    const QStringList left
        = yes ? QStringList { "Eta", "zeta" } : QStringList { "Eta", "eta 2", "zeta" };
    QCOMPARE(shown(list(form, "List2")), left);
    QCOMPARE(fx.store.listLimitFiles(fx.dirA).size(), left.size());
}

void TestLimitFileOrganisation::relateAfterChangeCopiesTheChangedValues()
{
    LimitFixture fx;
    fx.settings.ActiveBox = 2;
    fx.settings.DialogMode = 1;
    FrmGrwOrg form(fx.ctx);
    QVERIFY(showActive(form));
    select(list(form, "List1"), "Alpha");
    select(list(form, "List2"), "Std");
    whenModal<FrmGrw>([](FrmGrw *editor) {
        editor->findChild<QLineEdit *>("medOgs_3")->setText("444");
        button(*editor, "cmdGrwOK")->click();
    });
    button(form, "cmdGrwOrgAen")->click();
    // The editor leaves DialogMode 2 behind; the dialog stays in relate mode.
    select(list(form, "List2"), "Std");
    button(form, "cmdGrwOrgZO")->click();

    QCOMPARE(fx.settings.DialogMode, 1);
    const BoxRecord &box = fx.settings.Box(2);
    QCOMPARE(box.GrwBez.text(), QStringLiteral("Std").leftJustified(50));
    for (int k = 1; k <= 5; ++k) {
        QCOMPARE(box.GWU[k], 10.0f * k);
        QCOMPARE(box.GwO[k], k == 4 ? 444.0f : 10.0f * k + 0.5f);
    }
    QVERIFY(fx.settings.Box(1).GrwBez.isBlank());
}

void TestLimitFileOrganisation::leavingWithoutRelatingChangesNothing_data()
{
    QTest::addColumn<bool>("closeWindow");
    QTest::newRow("return") << false;
    QTest::newRow("window closed") << true;
}

void TestLimitFileOrganisation::leavingWithoutRelatingChangesNothing()
{
    QFETCH(bool, closeWindow);
    LimitFixture fx;
    fx.settings.DialogMode = 1;
    fx.settings.activeBox().GrwBez = QStringLiteral("Old");
    fx.settings.activeBox().GwO[1] = 7;
    FrmGrwOrg form(fx.ctx);
    form.show();
    select(list(form, "List1"), "Alpha");
    select(list(form, "List2"), "Std");
    if (closeWindow)
        form.close();
    else
        button(form, "cmdGrwOrgOk")->click();

    QVERIFY(!form.isVisible());
    QCOMPARE(fx.settings.DialogMode, 0);
    QCOMPARE(fx.settings.activeBox().GrwBez.trimmed(), QStringLiteral("Old"));
    QCOMPARE(fx.settings.activeBox().GwO[1], 7.0f);
}

QTEST_MAIN(TestLimitFileOrganisation)
#include "test_limitfileorganisation.moc"
