#include "store/DirectoryDialog.h"

#include "core/ButtonKeys.h"
#include "core/AppContext.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"
#include "store/SortedList.h"
#include "store/Store.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace
{
const int kNameLength = 50;
}

FrmVzV::FrmVzV(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
    , m_deleteMode(ctx.settings.DialogMode == 1)
{
    setObjectName(QStringLiteral("frmVzV"));
    new ButtonKeys(this);
    setModal(true);
    createControls();
    layOut();
    connectHandlers();
    Form_Load();
}

void FrmVzV::createControls()
{
    const char *captions[3] = { "Graphs", "Limits", "Pattern" };
    for (int i = 0; i < 3; ++i) {
        optVzV[i] = new QRadioButton(QString::fromLatin1(captions[i]), this);
        optVzV[i]->setObjectName(QStringLiteral("optVzV_%1").arg(i));
    }
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    fraNeu = new QGroupBox(this);
    fraNeu->setObjectName(QStringLiteral("fraNeu"));
    txtNeu = new QLineEdit(fraNeu);
    txtNeu->setObjectName(QStringLiteral("txtNeu"));
    txtNeu->setMaxLength(kNameLength);
    cmdVzVOk = new QPushButton(this);
    cmdVzVOk->setObjectName(QStringLiteral("cmdVzVOk"));
    cmdVzVAb = new QPushButton(this);
    cmdVzVAb->setObjectName(QStringLiteral("cmdVzVAb"));
    cmdVzVOk->setAutoDefault(false);
    cmdVzVAb->setAutoDefault(false);
}

void FrmVzV::layOut()
{
    auto *options = new QHBoxLayout;
    for (QRadioButton *option : optVzV)
        options->addWidget(option);
    auto *frame = new QVBoxLayout(fraNeu);
    frame->addWidget(txtNeu);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdVzVOk);
    buttons->addStretch();
    buttons->addWidget(cmdVzVAb);
    auto *main = new QVBoxLayout(this);
    main->addLayout(options);
    main->addWidget(List1);
    main->addWidget(fraNeu);
    main->addLayout(buttons);
}

void FrmVzV::connectHandlers()
{
    for (int i = 0; i < 3; ++i)
        connect(optVzV[i], &QRadioButton::clicked, this, [this, i] { optVzV_Click(i); });
    // A click on the entry already selected counts too.
    connect(List1, &QListWidget::itemSelectionChanged, this, &FrmVzV::List1_Click);
    connect(List1, &QListWidget::itemClicked, this, &FrmVzV::List1_Click);
    connect(txtNeu, &QLineEdit::textEdited, this, &FrmVzV::txtNeu_KeyUp);
    connect(cmdVzVOk, &QPushButton::clicked, this, &FrmVzV::cmdVzVOk_Click);
    connect(cmdVzVAb, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmVzV::Form_Load()
{
    if (m_deleteMode) {
        setWindowTitle(QStringLiteral("Directory delete"));
        cmdVzVOk->setText(QStringLiteral("&Delete"));
        fraNeu->setVisible(false);
    } else {
        setWindowTitle(QStringLiteral("Directory create"));
        cmdVzVOk->setText(QStringLiteral("&New"));
        fraNeu->setVisible(true);
    }
    cmdVzVAb->setText(QStringLiteral("&Return"));
    // Nothing to act on yet: a name must be typed or a directory chosen.
    cmdVzVOk->setEnabled(false);
    m_type = 0;
    optVzV[0]->setChecked(true);
    ListDirectories(0);
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void FrmVzV::ListDirectories(int type)
{
    List1->clear();
    if (!m_ctx.store)
        return;
    for (const DirectoryEntry &d : m_ctx.store->listDirectories(type))
        AddSorted(List1, d.VerzName, d.VerzID);
    ReportIncompleteList(*m_ctx.store, m_ctx.messages);
}

void FrmVzV::optVzV_Click(int index)
{
    m_type = index;
    ListDirectories(m_type);
    if (m_deleteMode)
        cmdVzVOk->setEnabled(false);
}

void FrmVzV::List1_Click()
{
    if (m_deleteMode && SelectedKey(List1) >= 0)
        cmdVzVOk->setEnabled(true);
}

void FrmVzV::txtNeu_KeyUp()
{
    // Not disabled again when the text becomes empty: OK then says so.
    if (!txtNeu->text().trimmed().isEmpty())
        cmdVzVOk->setEnabled(true);
}

void FrmVzV::cmdVzVOk_Click()
{
    if (m_deleteMode)
        deleteSelectedDirectory();
    else
        createDirectory();
    cmdVzVOk->setEnabled(false);
}

void FrmVzV::createDirectory()
{
    const QString name = txtNeu->text().trimmed();
    if (name.isEmpty()) {
        m_ctx.messages.show(QStringLiteral("No name given!"));
        txtNeu->setFocus();
        return;
    }
    if (m_ctx.store->findDirectory(m_type, name)) {
        m_ctx.messages.show(QStringLiteral("Bezeichnung schon vorhanden"));
    } else if (m_ctx.store->addDirectory(m_type, name)) {
        txtNeu->clear();
        ListDirectories(m_type);
    } else {
        m_ctx.messages.show(m_ctx.store->lastError(), OperatorMessages::Icon::Critical);
    }
    txtNeu->setFocus();
}

void FrmVzV::deleteSelectedDirectory()
{
    const qint32 key = SelectedKey(List1);
    if (key < 0)
        return;
    const std::optional<bool> empty = m_ctx.store->isDirectoryEmpty(key, m_type);
    if (!empty) {
        m_ctx.messages.show(m_ctx.store->lastError(), OperatorMessages::Icon::Critical);
        return;
    }
    if (!*empty) {
        m_ctx.messages.show(
            QStringLiteral("Directory cannot be deleted, because it is not empty !"));
        return;
    }
    if (!m_ctx.store->deleteDirectory(key))
        m_ctx.messages.show(m_ctx.store->lastError(), OperatorMessages::Icon::Critical);
    ListDirectories(m_type);
}
