// The main window's commands: each reaches its dialog or does its work here.
#include "shell/MainWindow.h"

#include "display/BgrColor.h"
#include "evaluation/LimitFileOrganisation.h"
#include "evaluation/SpecimenForm.h"
#include "instrument/NetLink.h"
#include "shell/ClearBox.h"
#include "shell/InfoWindow.h"
#include "shell/Notation.h"
#include "shell/OperatorMessages.h"
#include "shell/Settings.h"
#include "store/Store.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

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

void FrmKovra::installDefaultChoosers()
{
    chooseColour = [this](const QColor &initial) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(initial, this);
        if (!c.isValid())
            return std::nullopt;
        return c;
    };
    setUpPrinter = [this] {
        if (!ctx.printer)
            return;
        QPrintDialog dialog(ctx.printer, this);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        dialog.setWindowTitle(tr("Install printer"));
        dialog.exec();
    };
}

void FrmKovra::mnuEin_Click()
{
    for (int k = 1; k <= 5; ++k)
        mnuEbn[k]->setText(QStringLiteral("Box") + QStringLiteral(" &") + QString::number(k));
}

void FrmKovra::mnuEbn_Click(int box)
{
    const std::optional<QColor> chosen = chooseColour(ColorFromBgr(ctx.settings.DisKvFa[box]));
    if (!chosen)
        return;
    const qint32 previous = ctx.settings.DisKvFa[box];
    ctx.settings.DisKvFa[box] = BgrFromColor(*chosen);
    if (ctx.store && !ctx.store->writeColours(ctx.settings)) {
        ctx.settings.DisKvFa[box] = previous;
        ctx.messages.show(ctx.store->lastError(), OperatorMessages::Icon::Critical);
    }
}

void FrmKovra::mnuPrn_Click()
{
    setUpPrinter();
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

void FrmKovra::mnuGwV_Click()
{
    ctx.settings.DialogMode = 0;
    openModal<FrmGrwOrg>(ctx, this);
}

void FrmKovra::cmdGoEb_Click()
{
    if (ctx.settings.ActiveBox < 1 || ctx.settings.ActiveBox > 5)
        return;
    openModal<FrmEbn>(ctx, this);
    ShowAllBoxTiles();
}

void FrmKovra::Command1_Click()
{
    if (ctx.link)
        ctx.link->SendNetPC(QStringLiteral("INIT"));
}

bool FrmKovra::hasGraphInSelectedScope() const
{
    for (int k = 1; k <= 5; ++k) {
        const BoxRecord &b = ctx.settings.Box(k);
        if (b.holdsGraph() && b.Ein[10] == ctx.settings.ScopeOfTime)
            return true;
    }
    return false;
}

void FrmKovra::mnuSvV_Click() {}
void FrmKovra::mnuLa_Click() {}
void FrmKovra::mnuEx_Click() {}
void FrmKovra::mnuLoPl_Click() {}
void FrmKovra::mnuVzVE_Click() {}
void FrmKovra::mnuVzVL_Click() {}
void FrmKovra::mnuGraph_Click() {}
void FrmKovra::mnuSonst_Click() {}
void FrmKovra::mnuImp_Click() {}
void FrmKovra::mnuRep_Click() {}
