#include "StoreFixture.h"

#include "store/DirectoryDialog.h"
#include "support/FormFixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

// The directory dialog: refusals and when its action button is enabled.
class TestDirectoryDialog : public QObject
{
    Q_OBJECT

private:
    static QStringList listed(QWidget &w)
    {
        QStringList out;
        auto *list = control<QListWidget>(w, "List1");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

private slots:
    void createMode()
    {
        FormFixture h(commaNotation());
        h.settings.DialogMode = 0;
        h.store.addDirectory(DirectoryType::Patterns, "zeta");
        FrmVzV dialog(h.ctx);
        auto *ok = control<QPushButton>(dialog, "cmdVzVOk");
        auto *name = control<QLineEdit>(dialog, "txtNeu");
        QVERIFY(!ok->isEnabled());

        // Blanks do not enable the button; a name does, and emptying the
        // field again does not disable it.
        QTest::keyClicks(name, "   ");
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(name, "b");
        QVERIFY(ok->isEnabled());
        name->selectAll();
        QTest::keyClick(name, Qt::Key_Backspace);
        QVERIFY(ok->isEnabled());
        ok->click();
        QCOMPARE(h.messages.texts(), QStringList { "No name given!" });
        QVERIFY(!ok->isEnabled());

        for (const char *n : { " beta ", "Alpha", "gamma" }) {
            QTest::keyClicks(name, n);
            ok->click();
        }
        QCOMPARE(name->text(), "");
        QCOMPARE(listed(dialog), (QStringList { "Alpha", "beta", "gamma" }));
        QVERIFY(h.store.findDirectory(DirectoryType::Graphs, "beta"));

        QTest::keyClicks(name, "beta");
        ok->click();
        QCOMPARE(h.messages.texts().last(), "Bezeichnung schon vorhanden");

        // The same name as a pattern directory is another directory.
        control<QRadioButton>(dialog, "optVzV_2")->click();
        QCOMPARE(listed(dialog), QStringList { "zeta" });
        name->clear();
        QTest::keyClicks(name, "beta");
        ok->click();
        QCOMPARE(listed(dialog), (QStringList { "beta", "zeta" }));
    }

    void deleteMode()
    {
        FormFixture h(commaNotation());
        h.settings.DialogMode = 1;
        const qint32 full = *h.store.addDirectory(DirectoryType::Graphs, "full");
        h.store.addDirectory(DirectoryType::Graphs, "empty");
        h.store.addDirectory(DirectoryType::Limits, "limits");
        BoxRecord pattern;
        QVERIFY(h.store.SaveBox(pattern, SaveMode::Add, "a pattern", full));

        FrmVzV dialog(h.ctx);
        auto *ok = control<QPushButton>(dialog, "cmdVzVOk");
        auto *list = control<QListWidget>(dialog, "List1");
        QVERIFY(!ok->isEnabled());
        QCOMPARE(listed(dialog), (QStringList { "empty", "full" }));

        list->setCurrentRow(1);
        ok->click();
        QCOMPARE(h.messages.texts(),
            QStringList { "Directory cannot be deleted, because it is not empty !" });
        QVERIFY(!ok->isEnabled());
        list->setCurrentRow(0);
        ok->click();
        QVERIFY(!h.store.findDirectory(DirectoryType::Graphs, "empty"));

        // Changing the type disables the button until a directory is chosen.
        list->setCurrentRow(0);
        QVERIFY(ok->isEnabled());
        control<QRadioButton>(dialog, "optVzV_1")->click();
        QVERIFY(!ok->isEnabled());
        QCOMPARE(listed(dialog), QStringList { "limits" });
    }
};

QTEST_MAIN(TestDirectoryDialog)
#include "test_directorydialog.moc"
