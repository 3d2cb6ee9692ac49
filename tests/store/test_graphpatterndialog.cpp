#include "TestSupport.h"

#include "shell/AppContext.h"
#include "shell/BoxRecord.h"
#include "shell/ScriptedMessages.h"
#include "shell/Settings.h"
#include "store/Database.h"
#include "store/GraphPatternDialog.h"
#include "store/Store.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

const QString OverwriteChanged
    = QStringLiteral("Do you really intend to overwrite the changed graph/pattern?");
const QString OverwriteOther
    = QStringLiteral("Do you really intend to overwrite the other graph/pattern?");

BoxRecord graphBox(const QString &name, float firstValue = 10)
{
    BoxRecord b;
    b.Status = BoxStatus::Graph;
    b.Kovra = name;
    b.PruefAm = QStringLiteral("05.03.24");
    for (int i = 0; i < 5; ++i) {
        b.x[i] = firstValue + i;
        b.y[i] = 2.0f * i;
    }
    b.x[5] = CurveEndMark;
    b.Erg[1] = 50;
    b.GwO[1] = 40;
    return b;
}

} // namespace

class TestGraphPatternDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensInEachMode_data();
    void opensInEachMode();
    void storedBoxIsPreselected();

    void nameInAnotherDirectoryAddsARecord();
    void unchangedGraphUnderItsOwnNameWritesNothing();
    void changedGraphUnderItsOwnNameAsksFirst_data();
    void changedGraphUnderItsOwnNameAsksFirst();
    void otherRecordOfTheNameIsOverwrittenOnYes();
    void patternChosenForAGraphStoresSpecimenDataOnly();
    void refusesMissingNameAndDirectory();

    void loadingIntoAnUnchangedBoxAsksNothing();
    void loadingIntoAChangedBoxAsksFirst();

    void recordLoadedInAnotherBoxCannotBeDeleted();
    void deletingAsksAndRefreshesTheList();

    void exportWritesTheChosenFile_data();
    void exportWritesTheChosenFile();

private:
    qint32 store(BoxRecord box, qint32 directory, const QString &name);
    std::unique_ptr<FrmDOrg> open(int mode);
    template <typename T> T *control(const char *name)
    {
        T *c = m_dialog->findChild<T *>(QLatin1String(name));
        if (!c)
            qFatal("no control %s", name);
        return c;
    }
    void choose(const char *listName, const QString &text);
    QStringList entries(const char *listName);
    void clickOk();

    Notation m_notation = commaNotation();
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<Settings> m_settings;
    ScriptedMessages m_messages;
    std::unique_ptr<AppContext> m_ctx;
    std::unique_ptr<FrmDOrg> m_dialog;
    qint32 m_graphsA = 0, m_graphsB = 0, m_patterns = 0;
};

void TestGraphPatternDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_db = std::make_unique<Database>();
    QVERIFY(m_db->open(m_dir->filePath(QStringLiteral("kovra.mdb"))).ok());
    m_store = std::make_unique<Store>(*m_db, m_notation);
    m_settings = std::make_unique<Settings>();
    m_messages = ScriptedMessages();
    m_ctx = std::make_unique<AppContext>(
        AppContext { *m_settings, m_notation, m_messages, m_store.get() });
    m_graphsA = *m_store->addDirectory(DirectoryType::Graphs, QStringLiteral("Serie A"));
    m_graphsB = *m_store->addDirectory(DirectoryType::Graphs, QStringLiteral("Serie B"));
    m_patterns = *m_store->addDirectory(DirectoryType::Patterns, QStringLiteral("Vorlagen"));
}

void TestGraphPatternDialog::cleanup()
{
    m_dialog.reset();
    m_ctx.reset();
    m_store.reset();
    m_db.reset();
    m_dir.reset();
}

qint32 TestGraphPatternDialog::store(BoxRecord box, qint32 directory, const QString &name)
{
    if (!m_store->SaveBox(box, SaveMode::Add, name, directory))
        qFatal("cannot store %s", qPrintable(name));
    return box.UntID;
}

std::unique_ptr<FrmDOrg> TestGraphPatternDialog::open(int mode)
{
    m_settings->DialogMode = mode;
    auto dialog = std::make_unique<FrmDOrg>(*m_ctx);
    dialog->show();
    return dialog;
}

void TestGraphPatternDialog::choose(const char *listName, const QString &text)
{
    QListWidget *list = control<QListWidget>(listName);
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

QStringList TestGraphPatternDialog::entries(const char *listName)
{
    QStringList out;
    QListWidget *list = control<QListWidget>(listName);
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void TestGraphPatternDialog::clickOk()
{
    QPushButton *ok = control<QPushButton>("cmdDOrgOk");
    QVERIFY(ok->isEnabled());
    ok->click();
}

void TestGraphPatternDialog::opensInEachMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("checked"); // option chosen, "" for none
    QTest::addColumn<bool>("graphOption");
    QTest::addColumn<QStringList>("directories");
    const QStringList graphDirs = { QStringLiteral("Serie A"), QStringLiteral("Serie B") };
    const QStringList patternDirs = { QStringLiteral("Vorlagen") };
    QTest::newRow("save graph") << 1 << 4 << "Save  Graph  from box 3"
                                << "&Save"
                                << "optDOrg_0" << true << graphDirs;
    QTest::newRow("save pattern") << 1 << 2 << "Save  Pattern  from box 3"
                                  << "&Save"
                                  << "optDOrg_2" << false << patternDirs;
    QTest::newRow("load") << 2 << 4 << "Load graph/pattern to box 3"
                          << "&Load"
                          << "optDOrg_2" << true << patternDirs;
    QTest::newRow("delete") << 3 << 2 << "Delete graph/pattern on disk"
                            << "&Delete"
                            << "optDOrg_0" << true << graphDirs;
    QTest::newRow("export") << 4 << 2 << "Load graph/pattern to box 3"
                            << "&Export"
                            << "" << true << graphDirs;
}

void TestGraphPatternDialog::opensInEachMode()
{
    QFETCH(int, mode);
    QFETCH(int, status);
    QFETCH(QString, title);
    QFETCH(QString, button);
    QFETCH(QString, checked);
    QFETCH(bool, graphOption);
    QFETCH(QStringList, directories);
    m_settings->ActiveBox = 3;
    m_settings->activeBox().Status = status;
    m_settings->activeBox().Kovra = QStringLiteral("  Probe 9 ");
    m_dialog = open(mode);

    QCOMPARE(m_dialog->windowTitle(), title);
    QCOMPARE(control<QPushButton>("cmdDOrgOk")->text(), button);
    QVERIFY(!control<QPushButton>("cmdDOrgOk")->isEnabled());
    QCOMPARE(control<QPushButton>("cmdDOrgAb")->text(), QStringLiteral("&Return"));
    QCOMPARE(control<QRadioButton>("optDOrg_0")->isChecked(), checked == "optDOrg_0");
    QCOMPARE(control<QRadioButton>("optDOrg_2")->isChecked(), checked == "optDOrg_2");
    QCOMPARE(control<QRadioButton>("optDOrg_0")->isEnabled(), graphOption);
    QCOMPARE(entries("List1"), directories);
    QCOMPARE(control<QGroupBox>("fraNeu")->isVisible(), mode == 1);
    if (mode == 1)
        QCOMPARE(control<QLineEdit>("txtNeu")->text(), QStringLiteral("Probe 9"));
}

void TestGraphPatternDialog::storedBoxIsPreselected()
{
    store(graphBox("Probe 1"), m_graphsB, QStringLiteral("Probe 1"));
    BoxRecord &box = m_settings->activeBox();
    QVERIFY(m_store->LoadBox(box, store(graphBox("Probe 2"), m_graphsB, "Probe 2")));
    m_dialog = open(1);
    QCOMPARE(control<QListWidget>("List1")->currentItem()->text(), QStringLiteral("Serie B"));
    QCOMPARE(entries("List2"), QStringList({ "Probe 1", "Probe 2" }));
    QCOMPARE(control<QListWidget>("List2")->currentItem()->text(), QStringLiteral("Probe 2"));
    QVERIFY(control<QPushButton>("cmdDOrgOk")->isEnabled());
    QVERIFY(control<QLineEdit>("txtNeu")->text().isEmpty());
}

void TestGraphPatternDialog::nameInAnotherDirectoryAddsARecord()
{
    const qint32 first = store(graphBox("Probe"), m_graphsA, QStringLiteral("Probe"));
    BoxRecord &box = m_settings->activeBox();
    box = graphBox("Probe", 20);
    box.Changed = true;
    m_dialog = open(1);
    choose("List1", QStringLiteral("Serie B"));
    clickOk();

    QVERIFY(m_messages.entries.isEmpty());
    QVERIFY(!m_dialog->isVisible());
    QVERIFY(box.UntID != first);
    QCOMPARE(box.VerzID, m_graphsB);
    QVERIFY(box.Stored);
    QVERIFY(!box.Changed);
    QCOMPARE(m_store->listRecords(m_graphsA).size(), 1);
    QCOMPARE(m_store->listRecords(m_graphsB).size(), 1);
}

void TestGraphPatternDialog::unchangedGraphUnderItsOwnNameWritesNothing()
{
    const qint32 key = store(graphBox("Probe"), m_graphsA, QStringLiteral("Probe"));
    BoxRecord &box = m_settings->activeBox();
    QVERIFY(m_store->LoadBox(box, key));
    box.Erg[2] = 77; // would show in the record if anything were written
    m_dialog = open(1);
    clickOk();

    QVERIFY(m_messages.entries.isEmpty());
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_store->rawRecord(key)->value(QStringLiteral("Erg2")).toFloat(), 0.0f);
}

void TestGraphPatternDialog::changedGraphUnderItsOwnNameAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestGraphPatternDialog::changedGraphUnderItsOwnNameAsksFirst()
{
    QFETCH(bool, yes);
    const qint32 key = store(graphBox("Probe"), m_graphsA, QStringLiteral("Probe"));
    BoxRecord &box = m_settings->activeBox();
    QVERIFY(m_store->LoadBox(box, key));
    box.Erg[2] = 77;
    box.Changed = true;
    m_messages.answer(yes);
    m_dialog = open(1);
    clickOk();

    QCOMPARE(m_messages.texts(), QStringList { OverwriteChanged });
    QCOMPARE(m_dialog->isVisible(), !yes);
    QCOMPARE(m_store->rawRecord(key)->value(QStringLiteral("Erg2")).toFloat(), yes ? 77.0f : 0.0f);
    QCOMPARE(box.Changed, !yes);
    QCOMPARE(m_store->listRecords(m_graphsA).size(), 1);
}

void TestGraphPatternDialog::otherRecordOfTheNameIsOverwrittenOnYes()
{
    const qint32 other = store(graphBox("Probe"), m_graphsA, QStringLiteral("Probe"));
    BoxRecord &box = m_settings->activeBox();
    box = graphBox("New one", 30);
    m_messages.answer(true);
    m_dialog = open(1);
    choose("List1", QStringLiteral("Serie A"));
    control<QLineEdit>("txtNeu")->setText(
        QStringLiteral("  Probe   ")); // trimmed, it names "Probe"
    clickOk();

    QCOMPARE(m_messages.texts(), QStringList { OverwriteOther });
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(box.UntID, other);
    QCOMPARE(box.Kovra, QStringLiteral("Probe"));
    QCOMPARE(m_store->listRecords(m_graphsA).size(), 1);
    BoxRecord stored;
    QVERIFY(m_store->LoadBox(stored, other));
    QCOMPARE(stored.x[0], 30.0f);
}

void TestGraphPatternDialog::patternChosenForAGraphStoresSpecimenDataOnly()
{
    BoxRecord &box = m_settings->activeBox();
    box = graphBox("Probe");
    box.Benutzer = QStringLiteral("Meier");
    m_dialog = open(1);
    control<QRadioButton>("optDOrg_2")->click();
    QCOMPARE(control<QGroupBox>("fraKrvVor")->title(), QStringLiteral("Pattern"));
    choose("List1", QStringLiteral("Vorlagen"));
    clickOk();

    QCOMPARE(box.Status, BoxStatus::Pattern);
    const QSqlRecord r = *m_store->rawRecord(box.UntID);
    QCOMPARE(r.value(QStringLiteral("Status")).toInt(), BoxStatus::Pattern);
    QCOMPARE(r.value(QStringLiteral("Benutzer")).toString(), QStringLiteral("Meier"));
    QVERIFY(r.value(QStringLiteral("x")).isNull());
    QVERIFY(r.value(QStringLiteral("Erg1")).isNull());
}

void TestGraphPatternDialog::refusesMissingNameAndDirectory()
{
    m_settings->activeBox() = graphBox(QString());
    m_dialog = open(1);
    QLineEdit *name = control<QLineEdit>("txtNeu");
    name->setFocus();
    QTest::keyClick(name, Qt::Key_A);
    QCOMPARE(
        m_messages.texts(), QStringList { QStringLiteral("There is no directory indicated!") });

    m_messages.clear();
    name->clear();
    choose("List1", QStringLiteral("Serie A"));
    clickOk();
    QCOMPARE(m_messages.texts(), QStringList { QStringLiteral("No name given!") });
    QVERIFY(m_dialog->isVisible());
    QVERIFY(m_store->listRecords(m_graphsA).isEmpty());
}

void TestGraphPatternDialog::loadingIntoAnUnchangedBoxAsksNothing()
{
    const qint32 key = store(graphBox("Probe"), m_graphsA, QStringLiteral("Probe"));
    m_dialog = open(2);
    control<QRadioButton>("optDOrg_0")->click();
    choose("List1", QStringLiteral("Serie A"));
    QVERIFY(!control<QPushButton>("cmdDOrgOk")->isEnabled());
    choose("List2", QStringLiteral("Probe"));
    clickOk();

    const BoxRecord &box = m_settings->activeBox();
    QVERIFY(m_messages.entries.isEmpty());
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(box.UntID, key);
    QCOMPARE(box.Status, BoxStatus::Graph);
    QCOMPARE(box.Abw[1], 10.0f); // result 50 over the upper limit 40
}

void TestGraphPatternDialog::loadingIntoAChangedBoxAsksFirst()
{
    store(graphBox("Probe"), m_graphsA, QStringLiteral("Probe"));
    BoxRecord &box = m_settings->activeBox();
    box.Kovra = QStringLiteral("unsaved");
    box.Changed = true;
    m_dialog = open(2);
    control<QRadioButton>("optDOrg_0")->click();
    choose("List1", QStringLiteral("Serie A"));
    choose("List2", QStringLiteral("Probe"));
    clickOk();

    QCOMPARE(m_messages.texts(),
        QStringList { QStringLiteral("Graph/pattern was not saved, overwrite?") });
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(box.Kovra, QStringLiteral("unsaved"));
}

void TestGraphPatternDialog::recordLoadedInAnotherBoxCannotBeDeleted()
{
    const qint32 key = store(graphBox("Probe"), m_graphsA, QStringLiteral("Probe"));
    QVERIFY(m_store->LoadBox(m_settings->Box(4), key));
    m_settings->ActiveBox = 1;
    m_messages.answer(true);
    m_dialog = open(3);
    choose("List1", QStringLiteral("Serie A"));
    choose("List2", QStringLiteral("Probe"));
    clickOk();

    QCOMPARE(m_messages.texts(),
        QStringList {
            QStringLiteral("Graph/pattern cannot be deleted, because it is loaded in box!") });
    QVERIFY(m_store->rawRecord(key).has_value());
    QVERIFY(m_dialog->isVisible());
}

void TestGraphPatternDialog::deletingAsksAndRefreshesTheList()
{
    store(graphBox("Probe 1"), m_graphsA, QStringLiteral("Probe 1"));
    const qint32 key = store(graphBox("Probe 2"), m_graphsA, QStringLiteral("Probe 2"));
    m_messages.answer(false);
    m_messages.answer(true);
    m_dialog = open(3);
    choose("List1", QStringLiteral("Serie A"));
    choose("List2", QStringLiteral("Probe 2"));
    clickOk(); // No
    QVERIFY(m_store->rawRecord(key).has_value());
    clickOk(); // Yes

    QCOMPARE(m_messages.texts(), QStringList(2, QStringLiteral("Do you really want to delete ?")));
    QVERIFY(!m_store->rawRecord(key).has_value());
    QCOMPARE(entries("List2"), QStringList { QStringLiteral("Probe 1") });
    QVERIFY(!control<QPushButton>("cmdDOrgOk")->isEnabled());
    QVERIFY(m_dialog->isVisible());
}

void TestGraphPatternDialog::exportWritesTheChosenFile_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("file chosen") << true;
    QTest::newRow("cancelled") << false;
}

void TestGraphPatternDialog::exportWritesTheChosenFile()
{
    QFETCH(bool, chosen);
    store(graphBox("Probe"), m_graphsA, QStringLiteral("Probe"));
    const QString path = m_dir->filePath(QStringLiteral("export.dat"));
    m_dialog = open(4);
    m_dialog->chooseExportFile
        = [&](AppContext &ctx) { ctx.settings.ExportFileName = chosen ? path : QString(); };
    choose("List1", QStringLiteral("Serie A"));
    choose("List2", QStringLiteral("Probe"));
    clickOk();

    QCOMPARE(m_dialog->isVisible(), !chosen);
    QVERIFY(m_messages.entries.isEmpty());
    QFile file(path);
    QCOMPARE(file.open(QIODevice::ReadOnly), chosen);
    if (chosen)
        QVERIFY(file.readLine().startsWith("-1|-1|"));
}

QTEST_MAIN(TestGraphPatternDialog)
#include "test_graphpatterndialog.moc"
