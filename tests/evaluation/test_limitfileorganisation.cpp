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

// Two limit directories with files of mixed case; limits 1..5 of a file
// with base b are b*k and b*k + 0.5.
struct LimitFixture : FormFixture {
    explicit LimitFixture(int mode)
        : FormFixture(commaNotation())
    {
        settings.DialogMode = mode;
        dirA = *store.addDirectory(DirectoryType::Limits, "beta");
        const qint32 dirB = *store.addDirectory(DirectoryType::Limits, "Alpha");
        store.addDirectory(DirectoryType::Graphs, QStringLiteral("graphs only"));
        for (const char *name : { "zeta", "Eta", "eta 2", "Std" }) {
            LimitFile file;
            file.GrwName = QLatin1String(name);
            file.VerzID = file.GrwName == "Std" ? dirB : dirA;
            const float base = file.VerzID == dirB ? 10 : 1;
            for (int k = 1; k <= 5; ++k) {
                file.lower[k] = base * k;
                file.upper[k] = base * k + 0.5f;
            }
            std_ = *store.addLimitFile(file); // the last is Std
        }
        form = std::make_unique<FrmGrwOrg>(ctx);
        showActive(*form);
    }
    QListWidget *list(const char *name) { return form->findChild<QListWidget *>(name); }
    QStringList shown(const char *name)
    {
        QStringList out;
        for (const QListWidgetItem *item : list(name)->findItems("*", Qt::MatchWildcard))
            out << item->text();
        return out;
    }
    void select(const QString &directory, const QString &file = {})
    {
        list("List1")->setCurrentItem(
            list("List1")->findItems(directory, Qt::MatchExactly).value(0));
        if (!file.isEmpty())
            list("List2")->setCurrentItem(
                list("List2")->findItems(file, Qt::MatchExactly).value(0));
    }
    // Which of New, Change, Delete, Relate are enabled, as a word: "NCDR".
    QString enabledButtons()
    {
        QString out;
        for (const auto &[name, letter] : { std::pair { "cmdGrwOrgNeu", 'N' },
                 { "cmdGrwOrgAen", 'C' }, { "cmdGrwOrgLoe", 'D' }, { "cmdGrwOrgZO", 'R' } })
            if (button(*form, name)->isEnabled())
                out += QLatin1Char(letter);
        return out;
    }

    qint32 dirA = 0, std_ = 0;
    std::unique_ptr<FrmGrwOrg> form;
};

} // namespace

class TestLimitFileOrganisation : public QObject
{
    Q_OBJECT

private slots:
    void listsAndButtons_data();
    void listsAndButtons();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void relateAfterChange_data();
    void relateAfterChange();
};

void TestLimitFileOrganisation::listsAndButtons_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("management") << 0;
    QTest::newRow("relate") << 1;
}

void TestLimitFileOrganisation::listsAndButtons()
{
    QFETCH(int, mode);
    LimitFixture fx(mode);
    QCOMPARE(button(*fx.form, "cmdGrwOrgZO")->isVisible(), mode == 1);
    QCOMPARE(fx.shown("List1"), QStringList({ "Alpha", "beta" }));
    QCOMPARE(fx.enabledButtons(), QString());
    fx.select("beta");
    QCOMPARE(fx.shown("List2"), QStringList({ "Eta", "eta 2", "zeta" }));
    QCOMPARE(fx.enabledButtons(), QStringLiteral("N"));
    fx.select("beta", "zeta");
    QCOMPARE(fx.enabledButtons(), QStringLiteral("NCDR"));
    QVERIFY(button(*fx.form, "cmdGrwOrgOk")->isEnabled());

    // Back from the editor the list is refilled with nothing selected.
    whenModal<FrmGrw>([](FrmGrw *editor) { button(*editor, "cmdGrwAB")->click(); });
    button(*fx.form, "cmdGrwOrgAen")->click();
    QCOMPARE(fx.enabledButtons(), QStringLiteral("N"));
    // Each entry keeps its own key whatever its place.
    fx.select("Alpha");
    QCOMPARE(fx.list("List2")->item(0)->data(Qt::UserRole).toInt(), fx.std_);
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
    LimitFixture fx(0);
    fx.select("beta", "eta 2");
    fx.messages.answer(yes);
    if (escape)
        QTest::keyClick(fx.form.get(), Qt::Key_Escape);
    else
        button(*fx.form, "cmdGrwOrgLoe")->click();

    QCOMPARE(fx.messages.texts(), QStringList { "Limit-File delete?" });
    QVERIFY(fx.messages.entries.first().question);
    QVERIFY(fx.form->isVisible());
    const QStringList left
        = yes ? QStringList { "Eta", "zeta" } : QStringList { "Eta", "eta 2", "zeta" };
    QCOMPARE(fx.shown("List2"), left);
    QCOMPARE(fx.store.listLimitFiles(fx.dirA).size(), left.size());
}

// After a change in the editor the dialog relates the changed values and
// leaves DialogMode 1; returning, or closing the window, leaves the box as
// it was and DialogMode 0.
void TestLimitFileOrganisation::relateAfterChange_data()
{
    QTest::addColumn<int>("leave"); // 0 relate, 1 return, 2 close the window
    QTest::newRow("relate") << 0;
    QTest::newRow("return") << 1;
    QTest::newRow("window closed") << 2;
}

void TestLimitFileOrganisation::relateAfterChange()
{
    QFETCH(int, leave);
    LimitFixture fx(1);
    fx.settings.ActiveBox = 2;
    BoxRecord &box = fx.settings.Box(2);
    box.GrwBez = QStringLiteral("Old");
    box.GwO[1] = 7;
    fx.select("Alpha", "Std");
    whenModal<FrmGrw>([](FrmGrw *editor) {
        editor->findChild<QLineEdit *>("medOgs_3")->setText("444");
        button(*editor, "cmdGrwOK")->click();
    });
    button(*fx.form, "cmdGrwOrgAen")->click();
    fx.select("Alpha", "Std");
    if (leave == 0)
        button(*fx.form, "cmdGrwOrgZO")->click();
    else if (leave == 1)
        button(*fx.form, "cmdGrwOrgOk")->click();
    else
        fx.form->close();

    QVERIFY(!fx.form->isVisible());
    QCOMPARE(fx.settings.DialogMode, leave == 0 ? 1 : 0);
    if (leave != 0) {
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

QTEST_MAIN(TestLimitFileOrganisation)
#include "test_limitfileorganisation.moc"
