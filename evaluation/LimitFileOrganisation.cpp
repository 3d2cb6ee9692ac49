#include "evaluation/LimitFileOrganisation.h"

#include "evaluation/LimitEditor.h"
#include "core/ButtonKeys.h"
#include "core/AppContext.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"
#include "store/SortedList.h"
#include "store/Store.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QListWidget *makeList(QWidget *parent, const char *name)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

} // namespace

FrmGrwOrg::FrmGrwOrg(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
    , m_relateMode(ctx.settings.DialogMode == 1)
{
    setObjectName(QStringLiteral("frmGrwOrg"));
    new ButtonKeys(this);
    createControls();
    layOut();
    connectHandlers();
    Form_Load();
}

void FrmGrwOrg::createControls()
{
    fraVz = new QGroupBox(QStringLiteral("Directories"), this);
    fraVz->setObjectName(QStringLiteral("fraVz"));
    fraGrw = new QGroupBox(QStringLiteral("Limit-Files"), this);
    fraGrw->setObjectName(QStringLiteral("fraGrw"));
    List1 = makeList(fraVz, "List1");
    List2 = makeList(fraGrw, "List2");
    cmdGrwOrgZO = makeButton(this, "cmdGrwOrgZO", QStringLiteral("Relate &Limit-File"));
    cmdGrwOrgAen = makeButton(this, "cmdGrwOrgAen", QStringLiteral("&Change"));
    cmdGrwOrgNeu = makeButton(this, "cmdGrwOrgNeu", QStringLiteral("&New"));
    cmdGrwOrgLoe = makeButton(this, "cmdGrwOrgLoe", QStringLiteral("&Delete"));
    cmdGrwOrgOk = makeButton(this, "cmdGrwOrgOk", QStringLiteral("&Return"));
    cmdGrwOrgOk->setDefault(true);
}

void FrmGrwOrg::layOut()
{
    (new QVBoxLayout(fraVz))->addWidget(List1);
    (new QVBoxLayout(fraGrw))->addWidget(List2);
    auto *frames = new QHBoxLayout;
    frames->addWidget(fraVz);
    frames->addWidget(fraGrw);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : { cmdGrwOrgZO, cmdGrwOrgAen, cmdGrwOrgNeu, cmdGrwOrgLoe, cmdGrwOrgOk })
        buttons->addWidget(b);

    auto *root = new QVBoxLayout(this);
    root->addLayout(frames, 1);
    root->addLayout(buttons);
}

void FrmGrwOrg::connectHandlers()
{
    connect(List1, &QListWidget::itemSelectionChanged, this, &FrmGrwOrg::List1_Click);
    connect(List2, &QListWidget::itemSelectionChanged, this, &FrmGrwOrg::List2_Click);
    connect(cmdGrwOrgZO, &QPushButton::clicked, this, &FrmGrwOrg::cmdGrwOrgZO_Click);
    connect(cmdGrwOrgAen, &QPushButton::clicked, this, &FrmGrwOrg::cmdGrwOrgAen_Click);
    connect(cmdGrwOrgNeu, &QPushButton::clicked, this, &FrmGrwOrg::cmdGrwOrgNeu_Click);
    connect(cmdGrwOrgLoe, &QPushButton::clicked, this, &FrmGrwOrg::cmdGrwOrgLoe_Click);
    connect(cmdGrwOrgOk, &QPushButton::clicked, this, &FrmGrwOrg::cmdGrwOrgOk_Click);
}

void FrmGrwOrg::Form_Load()
{
    setWindowTitle(QStringLiteral("Limit management"));
    cmdGrwOrgAen->setEnabled(false);
    cmdGrwOrgLoe->setEnabled(false);
    cmdGrwOrgNeu->setEnabled(false);
    fillDirectories(DirectoryType::Limits);
    cmdGrwOrgZO->setVisible(m_relateMode);
    cmdGrwOrgZO->setEnabled(false);
}

void FrmGrwOrg::fillDirectories(int type)
{
    List1->clear();
    for (const DirectoryEntry &d : m_ctx.store->listDirectories(type))
        AddSorted(List1, d.VerzName, d.VerzID);
    ReportIncompleteList(*m_ctx.store, m_ctx.messages);
}

void FrmGrwOrg::fillLimitFiles(qint32 verzId)
{
    List2->clear();
    for (const LimitFile &f : m_ctx.store->listLimitFiles(verzId))
        AddSorted(List2, f.GrwName, f.GrwID);
    ReportIncompleteList(*m_ctx.store, m_ctx.messages);
}

void FrmGrwOrg::enableFileButtons(bool enabled)
{
    cmdGrwOrgZO->setEnabled(enabled);
    cmdGrwOrgLoe->setEnabled(enabled);
    cmdGrwOrgAen->setEnabled(enabled);
}

void FrmGrwOrg::refreshLimitFiles()
{
    fillLimitFiles(selectedDirectory());
    enableFileButtons(false);
}

qint32 FrmGrwOrg::selectedDirectory() const
{
    return SelectedKey(List1);
}

qint32 FrmGrwOrg::selectedLimitFile() const
{
    return SelectedKey(List2);
}

void FrmGrwOrg::List1_Click()
{
    if (List1->selectedItems().isEmpty())
        return;
    fillLimitFiles(selectedDirectory());
    cmdGrwOrgNeu->setEnabled(true);
    enableFileButtons(false);
}

void FrmGrwOrg::List2_Click()
{
    if (List2->selectedItems().isEmpty())
        return;
    cmdGrwOrgOk->setEnabled(true);
    enableFileButtons(true);
}

void FrmGrwOrg::openEditor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FrmGrw editor(m_ctx, this);
    editor.setWindowTitle(QStringLiteral("Limit management"));
    QApplication::restoreOverrideCursor();
    editor.exec();
}

void FrmGrwOrg::cmdGrwOrgNeu_Click()
{
    m_ctx.settings.SelVerzID = selectedDirectory();
    m_ctx.settings.DialogMode = 0;
    openEditor();
    refreshLimitFiles();
}

void FrmGrwOrg::cmdGrwOrgAen_Click()
{
    m_ctx.settings.SelGrwID = selectedLimitFile();
    m_ctx.settings.DialogMode = 2;
    openEditor();
    refreshLimitFiles();
}

void FrmGrwOrg::cmdGrwOrgLoe_Click()
{
    if (!m_ctx.messages.askYesNo(QStringLiteral("Limit-File delete?")))
        return;
    // Boxes holding a copy of its limits keep them.
    if (!m_ctx.store->deleteLimitFile(selectedLimitFile()))
        m_ctx.messages.show(
            QStringLiteral("The limit file could not be deleted:\n\n") + m_ctx.store->lastError(),
            OperatorMessages::Icon::Critical);
    refreshLimitFiles();
}

void FrmGrwOrg::cmdGrwOrgZO_Click()
{
    const std::optional<LimitFile> file = m_ctx.store->readLimitFile(selectedLimitFile());
    if (!file) {
        // Gone since the list was filled: nothing to relate.
        refreshLimitFiles();
        return;
    }
    BoxRecord &box = m_ctx.settings.activeBox();
    box.GrwBez = file->GrwName;
    for (int k = 1; k <= 5; ++k) {
        box.GWU[k] = file->lower[k];
        box.GwO[k] = file->upper[k];
    }
    m_ctx.settings.DialogMode = 1;
    accept();
}

void FrmGrwOrg::cmdGrwOrgOk_Click()
{
    m_ctx.settings.DialogMode = 0;
    accept();
}

void FrmGrwOrg::reject()
{
    // Closing the window must not leave the opener's DialogMode 1 behind,
    // which would read as a limit file related.
    m_ctx.settings.DialogMode = 0;
    QDialog::reject();
}

void FrmGrwOrg::keyPressEvent(QKeyEvent *event)
{
    // Escape presses "&Delete", which asks before it deletes anything.
    if (event->key() == Qt::Key_Escape) {
        if (cmdGrwOrgLoe->isEnabled())
            cmdGrwOrgLoe->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
