#include "StoreFixture.h"

#include "shell/AppContext.h"
#include "shell/ScriptedMessages.h"
#include "shell/Settings.h"
#include "store/DirectoryDialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

// The directory dialog: refusals and when its action button is enabled.
class TestDirectoryDialog : public QObject
{
    Q_OBJECT

private:
    struct Harness {
        StoreFixture f;
        Settings settings;
        ScriptedMessages messages;
        AppContext ctx { settings, f.notation, messages, &f.store };
    };

    template <typename T> static T *child(QWidget &w, const char *name)
    {
        T *c = w.findChild<T *>(QLatin1String(name));
        if (!c)
            qFatal("no control %s", name);
        return c;
    }

    static QStringList listed(QWidget &w)
    {
        QStringList out;
        auto *list = child<QListWidget>(w, "List1");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

private slots:
    void createMode()
    {
        Harness h;
        h.settings.DialogMode = 0;
        h.f.store.addDirectory(DirectoryType::Patterns, "zeta");
        FrmVzV dialog(h.ctx);
        QCOMPARE(dialog.windowTitle(), "Directory create");
        auto *ok = child<QPushButton>(dialog, "cmdVzVOk");
        auto *name = child<QLineEdit>(dialog, "txtNeu");
        QCOMPARE(ok->text(), "&New");
        QVERIFY(!child<QWidget>(dialog, "fraNeu")->isHidden());
        QCOMPARE(name->maxLength(), 50);
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
        QVERIFY(h.f.store.findDirectory(DirectoryType::Graphs, "beta"));

        h.messages.clear();
        QTest::keyClicks(name, "beta");
        ok->click();
        QCOMPARE(h.messages.texts(), QStringList { "Bezeichnung schon vorhanden" });
        QCOMPARE(h.f.store.listDirectories(DirectoryType::Graphs).size(), 3);
        QCOMPARE(name->text(), "beta");

        // The same name as a pattern directory is another directory.
        child<QRadioButton>(dialog, "optVzV_2")->click();
        QCOMPARE(listed(dialog), QStringList { "zeta" });
        QTest::keyClicks(name, "x");
        name->setText("beta");
        ok->click();
        QCOMPARE(h.messages.entries.size(), 1);
        QCOMPARE(listed(dialog), (QStringList { "beta", "zeta" }));
        QVERIFY(h.f.store.findDirectory(DirectoryType::Patterns, "beta"));
    }

    void deleteMode()
    {
        Harness h;
        h.settings.DialogMode = 1;
        const qint32 full = *h.f.store.addDirectory(DirectoryType::Graphs, "full");
        h.f.store.addDirectory(DirectoryType::Graphs, "empty");
        const qint32 limits = *h.f.store.addDirectory(DirectoryType::Limits, "limits");
        BoxRecord pattern;
        QVERIFY(h.f.store.SaveBox(pattern, SaveMode::Add, "a pattern", full));
        LimitFile file;
        file.GrwName = "standard";
        file.VerzID = limits;
        QVERIFY(h.f.store.addLimitFile(file));

        FrmVzV dialog(h.ctx);
        QCOMPARE(dialog.windowTitle(), "Directory delete");
        auto *ok = child<QPushButton>(dialog, "cmdVzVOk");
        auto *list = child<QListWidget>(dialog, "List1");
        QCOMPARE(ok->text(), "&Delete");
        QVERIFY(child<QWidget>(dialog, "fraNeu")->isHidden());
        QVERIFY(!ok->isEnabled());
        QCOMPARE(listed(dialog), (QStringList { "empty", "full" }));

        list->setCurrentRow(1);
        QVERIFY(ok->isEnabled());
        ok->click();
        QCOMPARE(h.messages.texts(),
            QStringList { "Directory cannot be deleted, because it is not empty !" });
        QVERIFY(!ok->isEnabled());
        QCOMPARE(listed(dialog), (QStringList { "empty", "full" }));

        list->setCurrentRow(0);
        ok->click();
        QCOMPARE(listed(dialog), QStringList { "full" });
        QVERIFY(!h.f.store.findDirectory(DirectoryType::Graphs, "empty"));

        // Changing the type disables the button until a directory is chosen.
        auto *limitOption = child<QRadioButton>(dialog, "optVzV_1");
        list->setCurrentRow(0);
        QVERIFY(ok->isEnabled());
        limitOption->click();
        QVERIFY(!ok->isEnabled());
        QCOMPARE(listed(dialog), QStringList { "limits" });
        list->setCurrentRow(0);
        ok->click();
        QCOMPARE(h.messages.entries.size(), 2);
        QVERIFY(h.f.store.deleteLimitFile(file.GrwID));
        list->clearSelection();
        list->setCurrentRow(0);
        ok->click();
        QVERIFY(listed(dialog).isEmpty());
        QCOMPARE(h.messages.entries.size(), 2);
    }
};

QTEST_MAIN(TestDirectoryDialog)
#include "test_directorydialog.moc"
