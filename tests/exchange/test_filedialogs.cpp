#include "KpfBuilder.h"
#include "TestSupport.h"

#include "exchange/ExchangePaths.h"
#include "exchange/ExportDialog.h"
#include "exchange/ImportDialog.h"
#include "shell/AppContext.h"
#include "shell/ScriptedMessages.h"
#include "shell/Settings.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestFileDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void joinsDirectoryAndName_data();
    void joinsDirectoryAndName();

    void exportNameIsTheChosenPath();
    void emptyExportNameIsRefused();
    void returnLeavesNoExportName();

    void importsTheChosenFilesAndDeselectsThem();

private:
    QListView *openImport(FrmImp &dialog, int expectedFiles);
    QStringList importedNames(int type);

    Notation m_notation = commaNotation();
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Store> m_store;
    Settings m_settings;
    ScriptedMessages m_messages;
    std::unique_ptr<AppContext> m_ctx;
};

void TestFileDialogs::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_db = std::make_unique<Database>();
    QVERIFY(m_db->open(m_dir->filePath(QStringLiteral("kovra.mdb"))).ok());
    m_store = std::make_unique<Store>(*m_db, m_notation);
    m_messages = ScriptedMessages();
    m_settings.ExportFileName = QStringLiteral("left over");
    m_ctx = std::make_unique<AppContext>(
        AppContext { m_settings, m_notation, m_messages, m_store.get() });
}

void TestFileDialogs::cleanup()
{
    m_ctx.reset();
    m_store.reset();
    m_db.reset();
    m_dir.reset();
}

void TestFileDialogs::joinsDirectoryAndName_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("full");
    QTest::newRow("folder") << "/data/lab"
                            << "/data/lab/a.kpf";
    QTest::newRow("root") << "/"
                          << "/a.kpf";
    QTest::newRow("drive root") << "C:\\"
                                << "C:\\a.kpf";
}

void TestFileDialogs::joinsDirectoryAndName()
{
    QFETCH(QString, directory);
    QFETCH(QString, full);
    QCOMPARE(JoinDirectoryAndName(directory, QStringLiteral("a.kpf")), full);
}

void TestFileDialogs::exportNameIsTheChosenPath()
{
    FrmExp dialog(*m_ctx);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Export Graph/Pattern"));
    QCOMPARE(dialog.findChild<QLineEdit *>("Text1")->text(), QStringLiteral("export.dat"));
    dialog.setDirectoryPath(m_dir->path());
    dialog.show();
    dialog.findChild<QPushButton *>("cmdImp")->click();
    QCOMPARE(m_settings.ExportFileName, m_dir->filePath(QStringLiteral("export.dat")));
    QVERIFY(!dialog.isVisible());
}

void TestFileDialogs::emptyExportNameIsRefused()
{
    FrmExp dialog(*m_ctx);
    dialog.show();
    dialog.findChild<QLineEdit *>("Text1")->clear();
    dialog.findChild<QPushButton *>("cmdImp")->click();
    QCOMPARE(m_messages.texts(), QStringList { QStringLiteral("No valid filename!") });
    QCOMPARE(m_messages.entries.first().icon, OperatorMessages::Icon::Exclamation);
    QVERIFY(m_settings.ExportFileName.isEmpty());
    QVERIFY(dialog.isVisible());
}

void TestFileDialogs::returnLeavesNoExportName()
{
    FrmExp dialog(*m_ctx);
    dialog.show();
    dialog.findChild<QPushButton *>("cmdZu")->click();
    QVERIFY(m_settings.ExportFileName.isEmpty());
    QVERIFY(!dialog.isVisible());
}

QListView *TestFileDialogs::openImport(FrmImp &dialog, int expectedFiles)
{
    dialog.setDirectoryPath(m_dir->path());
    dialog.show();
    auto *list = dialog.findChild<QListView *>("filList");
    auto *model = static_cast<QFileSystemModel *>(list->model());
    // The file list fills and sorts itself in the background.
    const auto ready = [&] {
        QStringList names;
        for (int row = 0; row < model->rowCount(list->rootIndex()); ++row)
            names << model->index(row, 0, list->rootIndex()).data().toString();
        QStringList sorted = names;
        sorted.sort(Qt::CaseInsensitive);
        return names.size() == expectedFiles && names == sorted;
    };
    if (!QTest::qWaitFor(ready, 5000))
        return nullptr;
    return list;
}

QStringList TestFileDialogs::importedNames(int type)
{
    QStringList names;
    const std::optional<qint32> dir = m_store->findDirectory(type, QStringLiteral("import"));
    if (dir)
        for (const RecordEntry &e : m_store->listRecords(*dir))
            names << e.Kovra;
    return names;
}

void TestFileDialogs::importsTheChosenFilesAndDeselectsThem()
{
    KpfFile good = KpfFile::withPoints(3);
    QVERIFY(writeFile(m_dir->filePath("1.kpf"), good.bytes()));
    QVERIFY(writeFile(m_dir->filePath("2.KPF"), good.bytes().left(good.offsetOfString(12) + 1)));
    QVERIFY(writeFile(m_dir->filePath("3.kpf"), good.bytes()));
    QVERIFY(writeFile(m_dir->filePath("notes.txt"), "not an import file"));

    FrmImp dialog(*m_ctx);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Import graph/pattern"));
    QListView *list = openImport(dialog, 3);
    QVERIFY(list);
    QCOMPARE(dialog.fileListPath(), m_dir->path());
    list->selectAll();
    dialog.findChild<QPushButton *>("cmdImp")->click();

    const QString broken = m_dir->filePath("2.KPF");
    QCOMPARE(m_messages.texts(),
        QStringList({ QStringLiteral("error on reading file: ") + broken,
            QStringLiteral("error while reading <") + broken + QLatin1Char('>') }));
    QCOMPARE(importedNames(DirectoryType::Graphs),
        QStringList({ QStringLiteral("1.kpf->Probe 7"), QStringLiteral("3.kpf->Probe 7") }));
    QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());
    QVERIFY(dialog.isVisible());

    // Nothing chosen: a second OK imports nothing twice.
    m_messages.clear();
    dialog.findChild<QPushButton *>("cmdImp")->click();
    QVERIFY(m_messages.entries.isEmpty());
    QCOMPARE(importedNames(DirectoryType::Graphs).size(), 2);
}

QTEST_MAIN(TestFileDialogs)
#include "test_filedialogs.moc"
