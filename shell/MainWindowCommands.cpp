// The main window's commands: each reaches its dialog or does its work here.
#include "shell/MainWindow.h"

#include "shell/ClearBox.h"
#include "shell/InfoWindow.h"
#include "shell/Notation.h"
#include "shell/OperatorMessages.h"
#include "shell/Settings.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace {

// The hourglass shows while a dialog is being built; it goes once the
// dialog stands, before it waits for the operator.
template <typename Dialog, typename... Args>
int openModal(Args &&...args)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Dialog dialog(std::forward<Args>(args)...);
    QApplication::restoreOverrideCursor();
    return dialog.exec();
}

} // namespace

void FrmKovra::mnuEin_Click()
{
    for (int k = 1; k <= 5; ++k)
        mnuEbn[k]->setText(QStringLiteral("Box") + QStringLiteral(" &") + QString::number(k));
}

void FrmKovra::mnuLoEb_Click()
{
    if (!ctx.messages.askYesNo(QStringLiteral("Do you really want to delete ?")))
        return;
    ClearBox(ctx.settings, ctx.settings.ActiveBox, ctx.notation);
    ShowBoxTile(ctx.settings.ActiveBox);
}

void FrmKovra::mnuInf_Click()
{
    openModal<FrmInfo>(this);
}

void FrmKovra::mnuSvV_Click() {}
void FrmKovra::mnuLa_Click() {}
void FrmKovra::mnuEx_Click() {}
void FrmKovra::mnuLoPl_Click() {}
void FrmKovra::mnuVzVE_Click() {}
void FrmKovra::mnuVzVL_Click() {}
void FrmKovra::mnuGwV_Click() {}
void FrmKovra::mnuGraph_Click() {}
void FrmKovra::mnuPrn_Click() {}
void FrmKovra::mnuEbn_Click(int) {}
void FrmKovra::mnuSonst_Click() {}
void FrmKovra::mnuImp_Click() {}
void FrmKovra::mnuRep_Click() {}
void FrmKovra::cmdGoEb_Click() {}
void FrmKovra::Command1_Click() {}
