#include "display/ReferenceDialog.h"

#include "core/OperatorMessages.h"
#include "display/ReferencePlot.h"
#include "store/Store.h"

#include <QComboBox>
#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>

FrmReferenz::FrmReferenz(Store &store, OperatorMessages &messages, const ReferenceCurve &current,
    int box, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , m_messages(messages)
    , m_reference(current)
    , cboVerz(new QComboBox(this))
    , lstGraph(new QListWidget(this))
    , cmdOk(new QPushButton(QStringLiteral("&OK"), this))
    , cmdNone(new QPushButton(QStringLiteral("&None"), this))
    , cmdCancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(QStringLiteral("frmReferenz"));
    setWindowTitle(QStringLiteral("Reference curve for box %1").arg(box));
    auto *grid = new QGridLayout(this);
    grid->addWidget(cboVerz, 0, 0, 1, 3);
    grid->addWidget(lstGraph, 1, 0, 1, 3);
    grid->addWidget(cmdOk, 2, 0);
    grid->addWidget(cmdNone, 2, 1);
    grid->addWidget(cmdCancel, 2, 2);
    for (const DirectoryEntry &d : store.listDirectories(DirectoryType::Graphs))
        cboVerz->addItem(d.VerzName, d.VerzID);
    const int at = cboVerz->findText(current.directory);
    cboVerz->setCurrentIndex(at >= 0 ? at : 0);
    cboVerz_Change();
    connect(cboVerz, &QComboBox::currentIndexChanged, this, &FrmReferenz::cboVerz_Change);
    connect(lstGraph, &QListWidget::itemDoubleClicked, this, &FrmReferenz::cmdOk_Click);
    connect(cmdOk, &QPushButton::clicked, this, &FrmReferenz::cmdOk_Click);
    connect(cmdNone, &QPushButton::clicked, this, &FrmReferenz::cmdNone_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmReferenz::cboVerz_Change()
{
    lstGraph->clear();
    if (cboVerz->currentIndex() < 0)
        return;
    for (const RecordEntry &r : m_store.listRecords(cboVerz->currentData().toInt())) {
        if ((r.Status & BoxStatus::Graph) == 0)
            continue;
        auto *item = new QListWidgetItem(r.Kovra, lstGraph);
        item->setData(Qt::UserRole, r.UntID);
        if (r.UntID == m_reference.UntID)
            lstGraph->setCurrentItem(item);
    }
    lstGraph->sortItems();
}

void FrmReferenz::cmdOk_Click()
{
    const QListWidgetItem *item = lstGraph->currentItem();
    if (!item)
        return;
    const std::optional<ReferenceCurve> loaded
        = LoadReferenceCurve(m_store, item->data(Qt::UserRole).toInt());
    if (!loaded) {
        m_messages.show(QStringLiteral("Graph cannot be loaded: ") + m_store.lastError(),
            OperatorMessages::Icon::Critical);
        return;
    }
    m_reference = *loaded;
    accept();
}

void FrmReferenz::cmdNone_Click()
{
    m_reference = ReferenceCurve();
    accept();
}

bool ChooseReference(
    Store &store, OperatorMessages &messages, ReferenceCurve &reference, int box, QWidget *parent)
{
    FrmReferenz dialog(store, messages, reference, box, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    reference = dialog.reference();
    return true;
}
