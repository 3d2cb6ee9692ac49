#include "StoreFixture.h"

#include "store/GraphPatternDialog.h"
#include "support/FormFixture.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlRecord>

namespace
{

const QString OverwriteChanged = "Do you really intend to overwrite the changed graph/pattern?";
const QString OverwriteOther = "Do you really intend to overwrite the other graph/pattern?";

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

    QStringList entries(const char *listName)
    {
        QStringList out;
        auto *list = control<QListWidget>(*dialog, listName);
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
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
    void opensInEachMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("checked"); // option chosen, "" for none
        QTest::addColumn<bool>("graphOption");
        QTest::addColumn<QStringList>("directories");
        const QStringList graphs = { "Serie A", "Serie B" }, patterns = { "Vorlagen" };
        QTest::newRow("save graph") << 1 << 4 << "Save  Graph  from box 3"
                                    << "optDOrg_0" << true << graphs;
        QTest::newRow("save pattern") << 1 << 2 << "Save  Pattern  from box 3"
                                      << "optDOrg_2" << false << patterns;
        QTest::newRow("load") << 2 << 4 << "Load graph/pattern to box 3"
                              << "optDOrg_2" << true << patterns;
        QTest::newRow("delete") << 3 << 2 << "Delete graph/pattern on disk"
                                << "optDOrg_0" << true << graphs;
        QTest::newRow("export") << 4 << 2 << "Load graph/pattern to box 3"
                                << "" << true << graphs;
    }

    void opensInEachMode()
    {
        QFETCH(int, mode);
        QFETCH(int, status);
        QFETCH(QString, title);
        QFETCH(QString, checked);
        QFETCH(bool, graphOption);
        QFETCH(QStringList, directories);
        Harness h;
        h.settings.ActiveBox = 3;
        h.settings.activeBox().Status = status;
        h.settings.activeBox().Kovra = "  Probe 9 ";
        FrmDOrg &dialog = h.open(mode);

        QCOMPARE(dialog.windowTitle(), title);
        QVERIFY(!h.okEnabled());
        QCOMPARE(control<QRadioButton>(dialog, "optDOrg_0")->isChecked(), checked == "optDOrg_0");
        QCOMPARE(control<QRadioButton>(dialog, "optDOrg_2")->isChecked(), checked == "optDOrg_2");
        QCOMPARE(control<QRadioButton>(dialog, "optDOrg_0")->isEnabled(), graphOption);
        QCOMPARE(h.entries("List1"), directories);
        QCOMPARE(control<QGroupBox>(dialog, "fraNeu")->isVisible(), mode == 1);
        if (mode == 1)
            QCOMPARE(control<QLineEdit>(dialog, "txtNeu")->text(), "Probe 9");
    }

    void storedBoxIsPreselected()
    {
        Harness h;
        h.saved(h.graphsB, "Probe 1");
        QVERIFY(h.store.LoadBox(h.settings.activeBox(), h.saved(h.graphsB, "Probe 2")));
        FrmDOrg &dialog = h.open(1);
        QCOMPARE(control<QListWidget>(dialog, "List1")->currentItem()->text(), "Serie B");
        QCOMPARE(h.entries("List2"), QStringList({ "Probe 1", "Probe 2" }));
        QCOMPARE(control<QListWidget>(dialog, "List2")->currentItem()->text(), "Probe 2");
        QVERIFY(h.okEnabled());
        QVERIFY(control<QLineEdit>(dialog, "txtNeu")->text().isEmpty());
    }

    void savingUnderAName_data()
    {
        QTest::addColumn<bool>("loaded"); // else a new box named "Probe"
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("directory"); // chosen, "" to keep the preselection
        QTest::addColumn<QString>("name"); // typed, null to keep the proposal
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("question"); // "" for none
        QTest::addColumn<bool>("closes");
        QTest::addColumn<float>("erg2"); // of the stored "Probe" afterwards
        QTest::addColumn<int>("records");
        QTest::newRow("name in another directory adds a record")
            << false << true << "Serie B" << QString() << false << "" << true << 3.0f << 2;
        QTest::newRow("unchanged graph under its own name writes nothing")
            << true << false << "" << QString() << false << "" << false << 3.0f << 1;
        QTest::newRow("changed graph under its own name, Yes")
            << true << true << "" << QString() << true << OverwriteChanged << true << 77.0f << 1;
        QTest::newRow("changed graph under its own name, No")
            << true << true << "" << QString() << false << OverwriteChanged << false << 3.0f << 1;
        QTest::newRow("other record of the trimmed name, Yes")
            << false << false << "Serie A"
            << "  Probe   " << true << OverwriteOther << true << 77.0f << 1;
    }

    void savingUnderAName()
    {
        QFETCH(bool, loaded);
        QFETCH(bool, changed);
        QFETCH(QString, directory);
        QFETCH(QString, name);
        QFETCH(bool, yes);
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
        h.messages.answer(yes);
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
        QCOMPARE(control<QGroupBox>(dialog, "fraKrvVor")->title(), "Pattern");
        h.choose("List1", "Vorlagen");
        h.clickOk();

        const BoxRecord &box = h.settings.activeBox();
        QCOMPARE(box.Status, BoxStatus::Pattern);
        const QSqlRecord r = *h.store.rawRecord(box.UntID);
        QCOMPARE(r.value("Status").toInt(), BoxStatus::Pattern);
        QCOMPARE(r.value("Benutzer").toString(), "user 3");
        QVERIFY(r.value("x").isNull());
        QVERIFY(r.value("Erg1").isNull());
    }

    void refusesMissingNameAndDirectory()
    {
        Harness h;
        h.settings.activeBox() = sampleGraph(4, 5);
        h.settings.activeBox().Kovra.clear();
        FrmDOrg &dialog = h.open(1);
        auto *name = control<QLineEdit>(dialog, "txtNeu");
        name->setFocus();
        QTest::keyClick(name, Qt::Key_A);
        QCOMPARE(h.messages.texts(), QStringList { "There is no directory indicated!" });

        h.messages.clear();
        name->clear();
        h.choose("List1", "Serie A");
        h.clickOk();
        QCOMPARE(h.messages.texts(), QStringList { "No name given!" });
        QVERIFY(dialog.isVisible());
        QVERIFY(h.store.listRecords(h.graphsA).isEmpty());
    }

    void loadingAsksOnlyForAChangedBox_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("yes");
        QTest::newRow("unchanged box") << false << false;
        QTest::newRow("changed box, No") << true << false;
        QTest::newRow("changed box, Yes") << true << true;
    }

    void loadingAsksOnlyForAChangedBox()
    {
        QFETCH(bool, changed);
        QFETCH(bool, yes);
        Harness h;
        const qint32 key = h.saved(h.graphsA, "Probe");
        BoxRecord &box = h.settings.activeBox();
        box.Kovra = "unsaved";
        box.Changed = changed;
        h.messages.answer(yes);
        FrmDOrg &dialog = h.open(2);
        control<QRadioButton>(dialog, "optDOrg_0")->click();
        h.choose("List1", "Serie A");
        QVERIFY(!h.okEnabled());
        h.choose("List2", "Probe");
        h.clickOk();

        const bool loads = !changed || yes;
        QCOMPARE(h.messages.texts(),
            changed ? QStringList { "Graph/pattern was not saved, overwrite?" } : QStringList());
        QCOMPARE(dialog.isVisible(), !loads);
        QCOMPARE(box.Kovra, loads ? "Probe" : "unsaved");
        if (loads) {
            QCOMPARE(box.UntID, key);
            QCOMPARE(box.Status, BoxStatus::Graph);
            QCOMPARE(box.Abw[1], 49.0f); // the limits are checked after the load
        }
    }

    void deletingAsksUnlessABoxHoldsTheRecord()
    {
        Harness h;
        const qint32 inBox = h.saved(h.graphsA, "Probe 1");
        const qint32 key = h.saved(h.graphsA, "Probe 2");
        QVERIFY(h.store.LoadBox(h.settings.Box(4), inBox));
        h.settings.ActiveBox = 1;
        h.messages.answer(false);
        h.messages.answer(true);
        FrmDOrg &dialog = h.open(3);
        h.choose("List1", "Serie A");
        h.choose("List2", "Probe 1");
        h.clickOk(); // refused without a question
        h.choose("List2", "Probe 2");
        h.clickOk(); // No
        QVERIFY(h.store.rawRecord(key).has_value());
        h.clickOk(); // Yes

        const QString question = "Do you really want to delete ?";
        QCOMPARE(h.messages.texts(),
            QStringList({ "Graph/pattern cannot be deleted, because it is loaded in box!", question,
                question }));
        QVERIFY(h.store.rawRecord(inBox).has_value());
        QVERIFY(!h.store.rawRecord(key).has_value());
        QCOMPARE(h.entries("List2"), QStringList { "Probe 1" });
        QVERIFY(!h.okEnabled());
        QVERIFY(dialog.isVisible());
    }

    void exportWritesTheChosenFile()
    {
        Harness h;
        h.saved(h.graphsA, "Probe");
        const QString path = h.dir.filePath("export.dat");
        QString chosen; // the file dialog is cancelled at first
        FrmDOrg &dialog = h.open(4);
        dialog.chooseExportFile = [&](AppContext &ctx) { ctx.settings.ExportFileName = chosen; };
        h.choose("List1", "Serie A");
        h.choose("List2", "Probe");
        h.clickOk();
        QVERIFY(dialog.isVisible());
        QVERIFY(!QFile::exists(path));

        chosen = path;
        h.clickOk();
        QVERIFY(!dialog.isVisible());
        QVERIFY(h.messages.entries.isEmpty());
        QVERIFY(fileBytes(path).startsWith("-1|-1|"));
    }
};

QTEST_MAIN(TestGraphPatternDialog)
#include "test_graphpatterndialog.moc"
