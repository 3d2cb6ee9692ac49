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

// Two limit directories; limits 1..5 of a file with base b are b*k and b*k + 0.5.
struct LimitFixture : FormFixture {
    explicit LimitFixture(int mode)
        : FormFixture(commaNotation())
    {
        settings.DialogMode = mode;
        dirA = *store.addDirectory(DirectoryType::Limits, "beta");
        const qint32 dirB = *store.addDirectory(DirectoryType::Limits, "Alpha");
        for (const char *name : { "zeta", "Eta", "eta 2", "Std" }) {
            LimitFile file;
            file.GrwName = QLatin1String(name);
            file.VerzID = file.GrwName == "Std" ? dirB : dirA;
            const float base = file.VerzID == dirB ? 10 : 1;
            for (int k = 1; k <= 5; ++k) {
                file.lower[k] = base * k;
                file.upper[k] = base * k + 0.5f;
            }
            store.addLimitFile(file);
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

    qint32 dirA = 0;
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
    fx.select("beta", "eta 2");
    fx.messages.answer(yes);
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
    fx.select("Alpha", "Std");
    whenModal<FrmGrw>([](FrmGrw *editor) {
        editor->findChild<QLineEdit *>("medOgs_3")->setText("444");
        button(*editor, "cmdGrwOK")->click();
    });
    button(*fx.form, "cmdGrwOrgAen")->click();
    fx.select("Alpha", "Std");
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

QTEST_MAIN(TestLimitFileOrganisation)
#include "test_limitfileorganisation.moc"
