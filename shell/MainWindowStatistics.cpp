// The main window's statistics command: results across stored specimens.
#include "shell/MainWindow.h"

#include "core/AppContext.h"
#include "shell/StatisticsWindow.h"

#include <QApplication>

void FrmKovra::mnuStat_Click()
{
    if (!ctx.store)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FrmStatistik dialog(ctx, this);
    connect(&dialog, &FrmStatistik::boxLoaded, this, &FrmKovra::ShowBoxTile);
    QApplication::restoreOverrideCursor();
    dialog.exec();
}
