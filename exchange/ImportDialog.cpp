#include "exchange/ImportDialog.h"

#include "exchange/ExchangePaths.h"
#include "exchange/ImportFile.h"
#include "core/AppContext.h"
#include "core/BoxRecord.h"

#include <QApplication>
#include <QComboBox>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QListView>
#include <QPushButton>
#include <QTreeView>
#include <algorithm>

FrmImp::FrmImp(AppContext &ctx, QWidget *parent)
    : DriveDirectoryDialog(parent)
    , m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmImp"));
    if (ctx.store)
        m_target = std::make_unique<ImportTarget>(*ctx.store);
    m_files = new QFileSystemModel(this);
    m_files->setFilter(QDir::Files);
    m_files->setNameFilterDisables(false);
    filList = new QListView(this);
    filList->setObjectName(QStringLiteral("filList"));
    filList->setModel(m_files);
    filList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    cmdImp = new QPushButton(this);
    cmdImp->setObjectName(QStringLiteral("cmdImp"));
    cmdZu = new QPushButton(this);
    cmdZu->setObjectName(QStringLiteral("cmdZu"));
    cmdImp->setAutoDefault(false);
    cmdZu->setAutoDefault(false);

    setInnerSizeTwips(5865, 5040);
    placeTwips(drvList, 120, 120, 3375, 315);
    placeTwips(dirList, 120, 600, 3375, 3405);
    placeTwips(filList, 3600, 120, 2175, 3930);
    placeTwips(cmdImp, 1920, 4440, 1815, 495);
    placeTwips(cmdZu, 3960, 4440, 1800, 495);

    // Files arrive from the file system unordered; the list shows them by
    // name, as a file list box does, once the directory is read.
    connect(m_files, &QFileSystemModel::directoryLoaded, this, [this] { m_files->sort(0); });
    connect(cmdImp, &QPushButton::clicked, this, &FrmImp::cmdImp_Click);
    connect(cmdZu, &QPushButton::clicked, this, &FrmImp::cmdZu_Click);
    Form_Load();
}

FrmImp::~FrmImp() = default;

void FrmImp::Form_Load()
{
    setWindowTitle(QStringLiteral("Import graph/pattern"));
    cmdImp->setText(QStringLiteral("&OK"));
    cmdZu->setText(QStringLiteral("&Return"));
    m_files->setNameFilters({ importFilePattern() });
    dirList_Change();
}

QString FrmImp::fileListPath() const
{
    return m_files->rootPath();
}

void FrmImp::dirList_Change()
{
    filList->setRootIndex(m_files->setRootPath(directoryPath()));
}

void FrmImp::cmdImp_Click()
{
    if (!m_target)
        return;
    // The chosen entries in list order, held so that the list may refresh
    // while the files are read.
    const QString path = fileListPath();
    QModelIndexList rows;
    for (const QModelIndex &index : filList->selectionModel()->selectedIndexes())
        if (index.column() == 0)
            rows << index;
    std::sort(rows.begin(), rows.end(),
        [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    const QList<QPersistentModelIndex> chosen(rows.begin(), rows.end());

    // No progress window: one over the import would block the messages
    // about a bad file, and its Cancel would drop the files still to come.
    // Each file takes milliseconds; the hourglass says the dialog is busy,
    // and every message brings the arrow back while it waits.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // One buffer for the run: a field that a file does not carry keeps the
    // value of the file before.
    BoxRecord buffer;
    for (const QPersistentModelIndex &entry : chosen) {
        if (!entry.isValid())
            continue; // the file went away meanwhile
        const QString name = m_files->fileName(entry);
        filList->selectionModel()->select(
            entry, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        ImportOneFile(JoinDirectoryAndName(path, name), name, buffer, *m_target, m_ctx.messages);
    }
    QApplication::restoreOverrideCursor();
}

void FrmImp::cmdZu_Click()
{
    reject();
}
