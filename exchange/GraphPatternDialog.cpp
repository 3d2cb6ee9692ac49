#include "exchange/GraphPatternDialog.h"

#include "exchange/ExportDialog.h"
#include "exchange/ExportFile.h"
#include "core/ButtonKeys.h"
#include "core/AppContext.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"
#include "store/GraphPatternActions.h"
#include "store/SortedList.h"
#include "store/Store.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace
{

constexpr int KeyRole = Qt::UserRole;
constexpr int NameLength = 50;

// The first entry with this key, as a list box search finds it.
void selectKey(QListWidget *list, qint32 key)
{
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->data(KeyRole).toInt() == key) {
            list->setCurrentRow(i);
            return;
        }
    }
}

QListWidget *makeList(QWidget *parent, const char *name)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QGroupBox *makeFrame(QWidget *parent, const char *name)
{
    auto *frame = new QGroupBox(parent);
    frame->setObjectName(QLatin1String(name));
    return frame;
}

} // namespace

FrmDOrg::FrmDOrg(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
    , m_mode(ctx.settings.DialogMode)
{
    setObjectName(QStringLiteral("frmDOrg"));
    new ButtonKeys(this);
    chooseExportFile = [this](AppContext &c) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        FrmExp dialog(c, this);
        QApplication::restoreOverrideCursor();
        dialog.exec();
    };
    createControls();
    layOut();
    connectHandlers();
    Form_Load();
}

void FrmDOrg::createControls()
{
    fraDOrg = makeFrame(this, "fraDOrg");
    fraVz = makeFrame(this, "fraVz");
    fraKrvVor = makeFrame(this, "fraKrvVor");
    fraNeu = makeFrame(this, "fraNeu");
    optDOrg_0 = new QRadioButton(fraDOrg);
    optDOrg_0->setObjectName(QStringLiteral("optDOrg_0"));
    optDOrg_2 = new QRadioButton(fraDOrg);
    optDOrg_2->setObjectName(QStringLiteral("optDOrg_2"));
    List1 = makeList(fraVz, "List1");
    List2 = makeList(fraKrvVor, "List2");
    txtNeu = new QLineEdit(fraNeu);
    txtNeu->setObjectName(QStringLiteral("txtNeu"));
    txtNeu->setMaxLength(NameLength);
    txtNeu->installEventFilter(this);
    cmdDOrgOk = new QPushButton(this);
    cmdDOrgOk->setObjectName(QStringLiteral("cmdDOrgOk"));
    cmdDOrgAb = new QPushButton(this);
    cmdDOrgAb->setObjectName(QStringLiteral("cmdDOrgAb"));
    for (QPushButton *b : { cmdDOrgOk, cmdDOrgAb })
        b->setAutoDefault(false);
}

void FrmDOrg::layOut()
{
    auto *options = new QHBoxLayout(fraDOrg);
    options->addWidget(optDOrg_0);
    options->addWidget(optDOrg_2);
    (new QVBoxLayout(fraVz))->addWidget(List1);
    (new QVBoxLayout(fraKrvVor))->addWidget(List2);
    (new QVBoxLayout(fraNeu))->addWidget(txtNeu);

    auto *lists = new QHBoxLayout;
    lists->addWidget(fraVz);
    lists->addWidget(fraKrvVor);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdDOrgOk);
    buttons->addWidget(cmdDOrgAb);

    auto *root = new QVBoxLayout(this);
    root->addWidget(fraDOrg);
    root->addLayout(lists, 1);
    root->addWidget(fraNeu);
    root->addLayout(buttons);
    resize(520, 400);
}

void FrmDOrg::connectHandlers()
{
    connect(optDOrg_0, &QRadioButton::clicked, this, [this] { optDOrg_Click(0); });
    connect(optDOrg_2, &QRadioButton::clicked, this, [this] { optDOrg_Click(2); });
    connect(List1, &QListWidget::itemSelectionChanged, this, &FrmDOrg::List1_Click);
    connect(List2, &QListWidget::itemSelectionChanged, this, &FrmDOrg::List2_Click);
    connect(cmdDOrgOk, &QPushButton::clicked, this, &FrmDOrg::cmdDOrgOk_Click);
    connect(cmdDOrgAb, &QPushButton::clicked, this, &FrmDOrg::cmdDOrgAb_Click);
}

void FrmDOrg::Form_Load()
{
    const BoxRecord &box = m_ctx.settings.activeBox();
    const QString boxNumber = QString::number(m_ctx.settings.ActiveBox);
    optDOrg_0->setText(QStringLiteral("Graph"));
    optDOrg_2->setText(QStringLiteral("Pattern"));
    cmdDOrgAb->setText(QStringLiteral("&Return"));
    fraVz->setTitle(QStringLiteral("Directory"));
    fraKrvVor->setTitle(box.holdsGraph() ? QStringLiteral("Graphs") : QStringLiteral("Pattern"));
    fraNeu->setVisible(m_mode == SaveMode);
    cmdDOrgOk->setEnabled(false);

    switch (m_mode) {
    case SaveMode: {
        cmdDOrgOk->setText(QStringLiteral("&Save"));
        const bool graph = box.holdsGraph();
        // A box without a measured curve can only become a pattern.
        optDOrg_0->setEnabled(graph);
        const QString word = graph ? QStringLiteral("Graph") : QStringLiteral("Pattern");
        setWindowTitle(QStringLiteral("Save % from box §")
                           .replace(QLatin1Char('%'), QLatin1Char(' ') + word + QLatin1Char(' '))
                           .replace(QChar(0x00A7), boxNumber));
        (graph ? optDOrg_0 : optDOrg_2)->setChecked(true);
        optDOrg_Click(graph ? 0 : 2);
        break;
    }
    case LoadMode:
        cmdDOrgOk->setText(QStringLiteral("&Load"));
        setWindowTitle(QStringLiteral("Load graph/pattern to box ") + boxNumber);
        optDOrg_2->setChecked(true);
        optDOrg_Click(2);
        break;
    case DeleteMode:
        cmdDOrgOk->setText(QStringLiteral("&Delete"));
        setWindowTitle(QStringLiteral("Delete graph/pattern on disk"));
        optDOrg_0->setChecked(true);
        optDOrg_Click(0);
        break;
    case ExportMode:
        cmdDOrgOk->setText(QStringLiteral("&Export"));
        setWindowTitle(QStringLiteral("Load graph/pattern to box ") + boxNumber);
        ListDirectories(m_type); // no option chosen: graph directories
        break;
    default:
        break;
    }
    if (m_mode == SaveMode)
        preselectStoredRecord();
}

void FrmDOrg::preselectStoredRecord()
{
    const BoxRecord &box = m_ctx.settings.activeBox();
    if (!box.Stored) {
        txtNeu->setText(box.Kovra.trimmed());
        return;
    }
    selectKey(List1, box.VerzID); // lists the records and enables the button
    selectKey(List2, box.UntID);
}

void FrmDOrg::optDOrg_Click(int index)
{
    cmdDOrgOk->setEnabled(false);
    fraKrvVor->setTitle(index == 0 ? QStringLiteral("Graphs") : QStringLiteral("Pattern"));
    m_type = index;
    ListDirectories(m_type);
    List2->clear();
}

void FrmDOrg::List1_Click()
{
    if (List1->selectedItems().isEmpty())
        return;
    cmdDOrgOk->setEnabled(m_mode == SaveMode);
    ListRecords(selectedDirectory());
}

void FrmDOrg::List2_Click()
{
    if (!List2->selectedItems().isEmpty())
        cmdDOrgOk->setEnabled(true);
}

void FrmDOrg::txtNeu_GotFocus()
{
    // A typed name counts only when no listed record is chosen.
    List2->clearSelection();
}

void FrmDOrg::txtNeu_KeyUp()
{
    if (selectedDirectory() >= 0)
        return;
    m_ctx.messages.show(QStringLiteral("There is no directory indicated!"));
    List1->setFocus();
}

bool FrmDOrg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtNeu) {
        if (event->type() == QEvent::FocusIn)
            txtNeu_GotFocus();
        else if (event->type() == QEvent::KeyRelease
            && !static_cast<QKeyEvent *>(event)->isAutoRepeat())
            txtNeu_KeyUp();
    }
    return QDialog::eventFilter(watched, event);
}

void FrmDOrg::cmdDOrgAb_Click()
{
    reject();
}

void FrmDOrg::cmdDOrgOk_Click()
{
    // The button is enabled only after a choice; a click that still finds
    // nothing chosen (a list refilled meanwhile) does nothing.
    switch (m_mode) {
    case SaveMode:
        if (selectedDirectory() >= 0)
            saveClicked();
        break;
    case LoadMode:
    case DeleteMode:
    case ExportMode:
        if (selectedRecord() < 0)
            break;
        if (m_mode == LoadMode)
            loadClicked();
        else if (m_mode == DeleteMode)
            deleteClicked();
        else
            exportClicked();
        break;
    default:
        break;
    }
}

void FrmDOrg::saveClicked()
{
    const QList<QListWidgetItem *> chosen = List2->selectedItems();
    const QString name = chosen.isEmpty() ? txtNeu->text() : chosen.first()->text();
    if (SaveBoxAs(m_ctx.settings.activeBox(), selectedDirectory(), name, optDOrg_2->isChecked(),
            *m_ctx.store, m_ctx.messages))
        accept();
}

void FrmDOrg::loadClicked()
{
    if (LoadIntoBox(m_ctx.settings.activeBox(), selectedRecord(), *m_ctx.store, m_ctx.messages))
        accept();
}

void FrmDOrg::deleteClicked()
{
    if (!DeleteStoredRecord(m_ctx.settings, selectedRecord(), *m_ctx.store, m_ctx.messages))
        return;
    ListRecords(selectedDirectory());
    cmdDOrgOk->setEnabled(false);
}

void FrmDOrg::exportClicked()
{
    const qint32 key = selectedRecord();
    m_ctx.settings.ExportFileName.clear();
    chooseExportFile(m_ctx);
    const QString fileName = m_ctx.settings.ExportFileName;
    if (fileName.isEmpty())
        return;
    if (!ExportRecord(*m_ctx.store, key, fileName, m_ctx.notation)) {
        m_ctx.messages.show(QStringLiteral("error while writing <") + fileName + QLatin1Char('>'),
            OperatorMessages::Icon::Critical);
        return;
    }
    accept();
}

void FrmDOrg::ListDirectories(int type)
{
    List1->clear();
    for (const DirectoryEntry &d : m_ctx.store->listDirectories(type))
        AddSorted(List1, d.VerzName, d.VerzID);
    ReportIncompleteList(*m_ctx.store, m_ctx.messages);
}

void FrmDOrg::ListRecords(qint32 directory)
{
    List2->clear();
    for (const RecordEntry &r : m_ctx.store->listRecords(directory))
        AddSorted(List2, r.Kovra, r.UntID);
    ReportIncompleteList(*m_ctx.store, m_ctx.messages);
}

qint32 FrmDOrg::selectedDirectory() const
{
    return SelectedKey(List1);
}

qint32 FrmDOrg::selectedRecord() const
{
    return SelectedKey(List2);
}
