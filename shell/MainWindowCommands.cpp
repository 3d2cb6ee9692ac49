// The main window's commands: each reaches its dialog or does its work here.
#include "shell/MainWindow.h"

#include "display/BgrColor.h"
#include "display/GraphWindow.h"
#include "exchange/ImportDialog.h"
#include "evaluation/LimitFileOrganisation.h"
#include "instrument/SpecimenForm.h"
#include "instrument/NetLink.h"
#include "core/ClearBox.h"
#include "shell/InfoWindow.h"
#include "core/Notation.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"
#include "store/Database.h"
#include "store/DirectoryDialog.h"
#include "store/OtherAdjustmentsDialog.h"
#include "exchange/GraphPatternDialog.h"
#include "store/Reorganisation.h"
#include "store/Store.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPushButton>
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
        // Only the choice is made here; the confirming button must not
        // promise a print.
        for (QDialogButtonBox *buttons : dialog.findChildren<QDialogButtonBox *>())
            if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
                ok->setText(QStringLiteral("OK"));
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

void FrmKovra::openGraphPatternDialog(int mode)
{
    if (!ctx.store)
        return;
    ctx.settings.DialogMode = mode;
    openModal<FrmDOrg>(ctx, this);
    ShowAllBoxTiles();
}

void FrmKovra::mnuSvV_Click()
{
    openGraphPatternDialog(1);
}

void FrmKovra::mnuLa_Click()
{
    openGraphPatternDialog(2);
}

void FrmKovra::mnuLoPl_Click()
{
    openGraphPatternDialog(3);
}

void FrmKovra::mnuEx_Click()
{
    openGraphPatternDialog(4);
}

void FrmKovra::mnuRep_Click()
{
    if (!ctx.store)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The outcome goes to the operator from the reorganisation itself; the
    // database stays open whatever it is.
    Reorganise(ctx.store->database(), ctx.messages);
    QApplication::restoreOverrideCursor();
}
void FrmKovra::mnuVzVE_Click()
{
    if (!ctx.store)
        return;
    ctx.settings.DialogMode = 0;
    openModal<FrmVzV>(ctx, this);
}

void FrmKovra::mnuVzVL_Click()
{
    if (!ctx.store)
        return;
    ctx.settings.DialogMode = 1;
    openModal<FrmVzV>(ctx, this);
}

void FrmKovra::mnuGraph_Click()
{
    if (!hasGraphInSelectedScope()) {
        ctx.messages.show(QStringLiteral("No graph in selected scope of time!"));
        return;
    }
    if (m_graphWindow) {
        m_graphWindow->raise();
        m_graphWindow->activateWindow();
        return;
    }
    ctx.settings.DialogMode = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto *window = new FrmGraph(ctx, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setModal(false);
    window->setWindowTitle(QStringLiteral("Display graphs"));
    connect(window, &FrmGraph::graphWindowOpened, this, [this](bool open) {
        mnuGraph->setEnabled(!open);
        cmdGraf->setEnabled(!open);
    });
    connect(window, &QObject::destroyed, this, [this] {
        m_graphWindow = nullptr;
        mnuGraph->setEnabled(true);
        cmdGraf->setEnabled(true);
    });
    m_graphWindow = window;
    QApplication::restoreOverrideCursor();
    window->show();
}

void FrmKovra::mnuSonst_Click()
{
    if (!ctx.store)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FrmSonst dialog(ctx, this);
    dialog.setWindowTitle(QStringLiteral("Other adjustments"));
    QApplication::restoreOverrideCursor();
    dialog.exec();
}

void FrmKovra::mnuImp_Click()
{
    if (!ctx.store)
        return;
    openModal<FrmImp>(ctx, this);
}
