#include "store/StoreFixture.h"

#include "exchange/GraphPatternDialog.h"
#include "support/FormFixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlRecord>

namespace
{

// The dialog on a database with two graph directories and one pattern
// directory.
struct Harness : FormFixture {
    Harness()
        : FormFixture(commaNotation())
    {
        graphsA = *store.addDirectory(DirectoryType::Graphs, "Serie A");
        graphsB = *store.addDirectory(DirectoryType::Graphs, "Serie B");
        patterns = *store.addDirectory(DirectoryType::Patterns, "Vorlagen");
    }

    // A five-point graph whose first result lies 49 over its upper limit.
    qint32 saved(qint32 directory, const QString &name)
    {
        BoxRecord box = sampleGraph(1, 5);
        box.Erg[1] = 150;
        if (!store.SaveBox(box, SaveMode::Add, name, directory))
            qFatal("cannot store %s", qPrintable(name));
        return box.UntID;
    }

    FrmDOrg &open(int mode)
    {
        settings.DialogMode = mode;
        dialog = std::make_unique<FrmDOrg>(ctx);
        dialog->show();
        return *dialog;
    }

    void choose(const char *listName, const QString &text)
    {
        const auto found
            = control<QListWidget>(*dialog, listName)->findItems(text, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(text));
        found.first()->listWidget()->setCurrentItem(found.first());
    }

    void clickOk()
    {
        auto *ok = control<QPushButton>(*dialog, "cmdDOrgOk");
        QVERIFY(ok->isEnabled());
        ok->click();
    }

    bool okEnabled() { return control<QPushButton>(*dialog, "cmdDOrgOk")->isEnabled(); }

    qint32 graphsA = 0, graphsB = 0, patterns = 0;
    std::unique_ptr<FrmDOrg> dialog;
};

} // namespace

class TestGraphPatternDialog : public QObject
{
    Q_OBJECT

private slots:
    void savingUnderAName_data()
    {
        QTest::addColumn<bool>("loaded"); // else a new box named "Probe"
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("directory"); // chosen, "" to keep the preselection
        QTest::addColumn<QString>("name"); // typed, null to keep the proposal
        QTest::addColumn<QString>("question"); // "" for none
        QTest::addColumn<bool>("closes");
        QTest::addColumn<float>("erg2"); // of the stored "Probe" afterwards
        QTest::addColumn<int>("records");
        QTest::newRow("name in another directory adds a record")
            << false << true << "Serie B" << QString() << "" << true << 3.0f << 2;
        QTest::newRow("unchanged graph under its own name writes nothing")
            << true << false << "" << QString() << "" << false << 3.0f << 1;
        QTest::newRow("changed graph under its own name, Yes")
            << true << true << "" << QString()
            << "Do you really intend to overwrite the changed graph/pattern?" << true << 77.0f << 1;
        QTest::newRow("other record of the trimmed name, Yes")
            << false << false << "Serie A"
            << "  Probe   "
            << "Do you really intend to overwrite the other graph/pattern?" << true << 77.0f << 1;
    }

    void savingUnderAName()
    {
        QFETCH(bool, loaded);
        QFETCH(bool, changed);
        QFETCH(QString, directory);
        QFETCH(QString, name);
        QFETCH(QString, question);
        QFETCH(bool, closes);
        QFETCH(float, erg2);
        QFETCH(int, records);
        Harness h;
        const qint32 key = h.saved(h.graphsA, "Probe");
        BoxRecord &box = h.settings.activeBox();
        box = sampleGraph(2, 5);
        box.Kovra = "Probe";
        if (loaded)
            QVERIFY(h.store.LoadBox(box, key));
        box.Erg[2] = 77; // shows in the record when it is written
        box.Changed = changed;
        h.messages.answer(true); // to the question, where one is asked
        FrmDOrg &dialog = h.open(1);
        if (!directory.isEmpty())
            h.choose("List1", directory);
        if (!name.isNull())
            control<QLineEdit>(dialog, "txtNeu")->setText(name);
        h.clickOk();

        QCOMPARE(h.messages.texts(), question.isEmpty() ? QStringList() : QStringList { question });
        QCOMPARE(dialog.isVisible(), !closes);
        QCOMPARE(h.store.rawRecord(key)->value("Erg2").toFloat(), erg2);
        QCOMPARE(
            h.store.listRecords(h.graphsA).size() + h.store.listRecords(h.graphsB).size(), records);
        QCOMPARE(box.UntID == key, records == 1);
        QCOMPARE(box.VerzID, records == 2 ? h.graphsB : h.graphsA);
        QCOMPARE(box.Changed, changed && !closes);
        if (closes)
            QVERIFY(box.Stored);
    }

    void patternChosenForAGraphStoresSpecimenDataOnly()
    {
        Harness h;
        h.settings.activeBox() = sampleGraph(3, 5);
        FrmDOrg &dialog = h.open(1);
        control<QRadioButton>(dialog, "optDOrg_2")->click();
        h.choose("List1", "Vorlagen");
        h.clickOk();

        const QSqlRecord r = *h.store.rawRecord(h.settings.activeBox().UntID);
        QCOMPARE(r.value("Status").toInt(), BoxStatus::Pattern);
        QVERIFY(r.value("x").isNull());
        QVERIFY(r.value("Erg1").isNull());
    }

    void refusesANameWithoutDirectory()
    {
        Harness h;
        h.settings.activeBox() = sampleGraph(4, 5);
        h.settings.activeBox().Kovra.clear();
        FrmDOrg &dialog = h.open(1);
        auto *name = control<QLineEdit>(dialog, "txtNeu");
        name->setFocus();
        QTest::keyClick(name, Qt::Key_A);
        QCOMPARE(h.messages.texts(), QStringList { "There is no directory indicated!" });
        QVERIFY(!h.okEnabled());
    }

    void loadingIntoAnUnchangedBoxAsksNothing()
    {
        Harness h;
        const qint32 key = h.saved(h.graphsA, "Probe");
        BoxRecord &box = h.settings.activeBox();
        box.Kovra = "unsaved";
        FrmDOrg &dialog = h.open(2);
        control<QRadioButton>(dialog, "optDOrg_0")->click();
        h.choose("List1", "Serie A");
        QVERIFY(!h.okEnabled());
        h.choose("List2", "Probe");
        h.clickOk();

        QVERIFY(h.messages.entries.isEmpty());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(box.UntID, key);
        QCOMPARE(box.Abw[1], 49.0f); // the limits are checked after the load
    }

    void deletingAsksUnlessABoxHoldsTheRecord()
    {
        Harness h;
        const qint32 inBox = h.saved(h.graphsA, "Probe 1");
        const qint32 key = h.saved(h.graphsA, "Probe 2");
        QVERIFY(h.store.LoadBox(h.settings.Box(4), inBox));
        h.settings.ActiveBox = 1;
        h.messages.answer(true);
        FrmDOrg &dialog = h.open(3);
        h.choose("List1", "Serie A");
        h.choose("List2", "Probe 1");
        h.clickOk(); // refused without a question
        h.choose("List2", "Probe 2");
        h.clickOk();

        QCOMPARE(h.messages.texts(),
            QStringList({ "Graph/pattern cannot be deleted, because it is loaded in box!",
                "Do you really want to delete ?" }));
        QVERIFY(h.store.rawRecord(inBox).has_value());
        QVERIFY(!h.store.rawRecord(key).has_value());
        QCOMPARE(control<QListWidget>(dialog, "List2")->count(), 1); // "Probe 1"
        QVERIFY(!h.okEnabled());
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(TestGraphPatternDialog)
#include "test_graphpatterndialog.moc"
