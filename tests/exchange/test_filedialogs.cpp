#include "KpfBuilder.h"
#include "store/StoreFixture.h"
#include "support/FormFixture.h"

#include "exchange/ExportDialog.h"
#include "exchange/ImportDialog.h"

#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

namespace
{

// Answers each message after 700 ms of running events, noting any other
// window that showed in that time.
struct SlowMessages : ScriptedMessages {
    void show(const QString &text, Icon icon) override
    {
        QTest::qWait(700);
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w != dialog)
                others << w->metaObject()->className();
        ScriptedMessages::show(text, icon);
    }
    QWidget *dialog = nullptr;
    QStringList others;
};

} // namespace

class TestFileDialogs : public QObject
{
    Q_OBJECT

private slots:
    void exportNameIsTheChosenPath()
    {
        FormFixture h(commaNotation());
        h.settings.ExportFileName = "left over";
        FrmExp dialog(h.ctx);
        dialog.setDirectoryPath(h.dir.path());
        dialog.show();
        auto *name = control<QLineEdit>(dialog, "Text1");
        const QString proposed = name->text();
        name->clear();
        control<QPushButton>(dialog, "cmdImp")->click();
        QCOMPARE(h.messages.texts(), QStringList { "No valid filename!" });
        QVERIFY(h.settings.ExportFileName.isEmpty());
        QVERIFY(dialog.isVisible());

        name->setText(proposed);
        control<QPushButton>(dialog, "cmdImp")->click();
        QCOMPARE(h.settings.ExportFileName, h.dir.filePath("export.dat"));
        QVERIFY(!dialog.isVisible());
    }

    void importsTheChosenFilesAndDeselectsThem()
    {
        FormFixture h(commaNotation());
        const KpfFile good = KpfFile::withPoints(3);
        QVERIFY(writeFile(h.dir.filePath("1.kpf"), good.bytes()));
        QVERIFY(writeFile(h.dir.filePath("2.KPF"), good.bytes().left(good.offsetOfString(12) + 1)));
        QVERIFY(writeFile(h.dir.filePath("3.kpf"), good.bytes()));
        QVERIFY(writeFile(h.dir.filePath("notes.txt"), "not an import file"));

        // The operator takes a while over each message; meanwhile no other
        // window may come up over the import and its message.
        SlowMessages slow;
        AppContext ctx { h.settings, h.notation, slow, &h.store };
        FrmImp dialog(ctx);
        slow.dialog = &dialog;
        dialog.setDirectoryPath(h.dir.path());
        dialog.show();
        QCOMPARE(dialog.fileListPath(), h.dir.path());
        auto *list = control<QListView>(dialog, "filList");
        auto *model = static_cast<QFileSystemModel *>(list->model());
        // The file list fills and sorts itself in the background.
        const auto listed = [&] {
            QStringList names;
            for (int row = 0; row < model->rowCount(list->rootIndex()); ++row)
                names << model->index(row, 0, list->rootIndex()).data().toString();
            return names;
        };
        QVERIFY(QTest::qWaitFor([&] {
            return listed() == QStringList({ "1.kpf", "2.KPF", "3.kpf" });
        }));
        list->selectAll();
        control<QPushButton>(dialog, "cmdImp")->click();

        const QString broken = h.dir.filePath("2.KPF");
        QCOMPARE(slow.others, QStringList());
        QCOMPARE(slow.texts(),
            QStringList(
                { "error on reading file: " + broken, "error while reading <" + broken + ">" }));
        QStringList imported;
        for (const RecordEntry &e :
            h.store.listRecords(*h.store.findDirectory(DirectoryType::Graphs, "import")))
            imported << e.Kovra;
        QCOMPARE(imported, QStringList({ "1.kpf->Probe 7", "3.kpf->Probe 7" }));
        QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(TestFileDialogs)
#include "test_filedialogs.moc"
