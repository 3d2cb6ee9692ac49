#include "exchange/ExportDialog.h"

#include "exchange/ExchangePaths.h"
#include "exchange/ExportFile.h"
#include "core/AppContext.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

FrmExp::FrmExp(AppContext &ctx, QWidget *parent)
    : DriveDirectoryDialog(parent)
    , m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmExp"));
    Text1 = new QLineEdit(defaultExportFileName(), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    cmdImp = new QPushButton(this);
    cmdImp->setObjectName(QStringLiteral("cmdImp"));
    cmdZu = new QPushButton(this);
    cmdZu->setObjectName(QStringLiteral("cmdZu"));
    cmdImp->setDefault(true);

    setInnerSizeTwips(3615, 5580);
    placeTwips(drvList, 120, 120, 3375, 315);
    placeTwips(dirList, 120, 600, 3375, 3405);
    placeTwips(Text1, 120, 4200, 3375, 285);
    placeTwips(cmdImp, 120, 4920, 1575, 495);
    placeTwips(cmdZu, 1920, 4920, 1575, 495);

    connect(cmdImp, &QPushButton::clicked, this, &FrmExp::cmdImp_Click);
    connect(cmdZu, &QPushButton::clicked, this, &FrmExp::cmdZu_Click);
    Form_Load();
}

void FrmExp::Form_Load()
{
    setWindowTitle(QStringLiteral("Export Graph/Pattern"));
    cmdImp->setText(QStringLiteral("&OK"));
    cmdZu->setText(QStringLiteral("&Return"));
    m_ctx.settings.ExportFileName.clear();
}

void FrmExp::cmdImp_Click()
{
    const QString name = Text1->text();
    if (name.isEmpty()) {
        m_ctx.messages.show(
            QStringLiteral("No valid filename!"), OperatorMessages::Icon::Exclamation);
        m_ctx.settings.ExportFileName.clear();
        Text1->setFocus();
        return;
    }
    m_ctx.settings.ExportFileName = JoinDirectoryAndName(directoryPath(), name);
    accept();
}

void FrmExp::cmdZu_Click()
{
    reject();
}

void FrmExp::reject()
{
    // Closing the window any other way is "&Return" too: nothing is exported.
    m_ctx.settings.ExportFileName.clear();
    DriveDirectoryDialog::reject();
}
