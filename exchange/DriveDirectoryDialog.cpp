#include "exchange/DriveDirectoryDialog.h"

#include "core/ButtonKeys.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>

namespace
{

constexpr int BandHeight = 6; // pixels; the band stays above the first controls

bool isOnTheWayTo(QString directory, const QString &path)
{
    if (!directory.endsWith(QLatin1Char('/')))
        directory += QLatin1Char('/');
    return (path + QLatin1Char('/')).startsWith(directory);
}

} // namespace

DriveDirectoryDialog::DriveDirectoryDialog(QWidget *parent)
    : QDialog(parent)
{
    new ButtonKeys(this);
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAutoFillBackground(true);
    QPalette band = Picture1->palette();
    band.setColor(QPalette::Window, QColor(0, 0, 128));
    Picture1->setPalette(band);

    drvList = new QComboBox(this);
    drvList->setObjectName(QStringLiteral("drvList"));
    m_directories = new QFileSystemModel(this);
    m_directories->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_directories->setRootPath(QString());
    dirList = new QTreeView(this);
    dirList->setObjectName(QStringLiteral("dirList"));
    dirList->setModel(m_directories);
    dirList->setHeaderHidden(true);
    for (int column = 1; column < m_directories->columnCount(); ++column)
        dirList->hideColumn(column);
    dirList->installEventFilter(this);

    fillDrives();
    m_path = QDir::currentPath();
    showPathInList();

    // Directories are read in the background; keep the current one in view
    // as the entries above it arrive.
    // Directories are read in the background: while the ones on the way to
    // the current directory arrive, keep it in view. The view lays out the
    // new entries only after the signal, so the scroll waits for the loop.
    connect(m_directories, &QFileSystemModel::directoryLoaded, this, [this](const QString &dir) {
        if (!isOnTheWayTo(dir, m_path))
            return;
        QTimer::singleShot(0, this, [this] {
            dirList->scrollTo(dirList->currentIndex(), QAbstractItemView::PositionAtCenter);
        });
    });
    connect(drvList, &QComboBox::activated, this, &DriveDirectoryDialog::drvList_Change);
    connect(dirList, &QTreeView::activated, this,
        [this](const QModelIndex &index) { setDirectoryPath(m_directories->filePath(index)); });
}

void DriveDirectoryDialog::fillDrives()
{
    QStringList roots;
    for (const QFileInfo &drive : QDir::drives())
        roots << drive.absoluteFilePath();
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    roots.sort();
    drvList->addItems(roots);
}

void DriveDirectoryDialog::setDirectoryPath(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    if (clean == m_path)
        return;
    m_path = clean;
    showPathInList();
    dirList_Change();
}

// The drive of the path is chosen in the drive list (the longest root that
// holds it) and the path is highlighted and opened in the directory list.
void DriveDirectoryDialog::showPathInList()
{
    int best = -1;
    for (int i = 0; i < drvList->count(); ++i) {
        const QString root = drvList->itemText(i);
        if (m_path.startsWith(root) && (best < 0 || root.size() > drvList->itemText(best).size()))
            best = i;
    }
    if (best >= 0)
        drvList->setCurrentIndex(best);
    const QModelIndex index = m_directories->index(m_path);
    dirList->setCurrentIndex(index);
    for (QModelIndex open = index; open.isValid(); open = open.parent())
        dirList->expand(open);
    dirList->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void DriveDirectoryDialog::drvList_Change()
{
    // A drive that cannot be read (no medium) leaves the list where it was.
    const QString drive = drvList->currentText();
    if (QDir(drive).isReadable())
        setDirectoryPath(drive);
}

void DriveDirectoryDialog::dirList_LostFocus()
{
    const QModelIndex highlighted = dirList->currentIndex();
    if (highlighted.isValid())
        setDirectoryPath(m_directories->filePath(highlighted));
}

bool DriveDirectoryDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Only the focus moving to another control of the dialog counts, not a
    // message box or another window taking it.
    if (watched == dirList && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            dirList_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void DriveDirectoryDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Picture1->setGeometry(0, 0, width(), BandHeight);
}

void DriveDirectoryDialog::placeTwips(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

void DriveDirectoryDialog::setInnerSizeTwips(int width, int height)
{
    setFixedSize(twips(width), twips(height));
}
