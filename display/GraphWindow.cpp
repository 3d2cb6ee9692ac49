#include "display/GraphWindow.h"

#include "display/GraphLayout.h"
#include "display/GraphPlot.h"
#include "display/PictureBox.h"
#include "display/ReferenceDialog.h"
#include "display/TestReport.h"
#include "core/ButtonKeys.h"
#include "core/AppContext.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"

#include <QApplication>
#include <QPushButton>
#include <cmath>

FrmGraph::FrmGraph(AppContext &ctx, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), Picture1(new PictureBox(this)), Picture2(new PictureBox(this)),
      cmdGraphDrk(new QPushButton(this)), cmdGraphAb(new QPushButton(this)),
      cmdReferenz(new QPushButton(QStringLiteral("Re&ference..."), Picture1))
{
    setObjectName(QStringLiteral("frmGraph"));
    new ButtonKeys(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture2->setObjectName(QStringLiteral("Picture2"));
    cmdGraphDrk->setObjectName(QStringLiteral("cmdGraphDrk"));
    cmdGraphAb->setObjectName(QStringLiteral("cmdGraphAb"));
    cmdReferenz->setObjectName(QStringLiteral("cmdReferenz"));
    cmdReferenz->setAutoDefault(false);
    setWindowTitle(QStringLiteral("Display graphs"));
    setSizeGripEnabled(true);
    cmdGraphDrk->setAutoDefault(false);
    cmdGraphAb->setAutoDefault(false);
    resize(qRound(DesignWidth / twipsPerPixelX()), qRound(DesignHeight / twipsPerPixelY()));

    connect(Picture1, &PictureBox::paint, this, &FrmGraph::Picture1_Paint);
    connect(Picture2, &PictureBox::paint, this, &FrmGraph::Picture2_Paint);
    connect(cmdGraphDrk, &QPushButton::clicked, this, &FrmGraph::cmdGraphDrk_Click);
    connect(cmdGraphAb, &QPushButton::clicked, this, &FrmGraph::cmdGraphAb_Click);
    connect(cmdReferenz, &QPushButton::clicked, this, &FrmGraph::cmdReferenz_Click);
    connect(this, &QDialog::finished, this, &FrmGraph::Form_Unload);
    Form_Resize();
}

double FrmGraph::twipsPerPixelX() const
{
    return 1440.0 / (logicalDpiX() > 0 ? logicalDpiX() : 96);
}

double FrmGraph::twipsPerPixelY() const
{
    return 1440.0 / (logicalDpiY() > 0 ? logicalDpiY() : 96);
}

QRect FrmGraph::toPixels(const QRect &twips) const
{
    const double tx = twipsPerPixelX(), ty = twipsPerPixelY();
    const int left = qRound(twips.left() / tx), top = qRound(twips.top() / ty);
    // A control keeps at least one pixel so that it never vanishes entirely.
    return QRect(left, top, std::max(1, int(std::lround(twips.width() / tx))),
                 std::max(1, int(std::lround(twips.height() / ty))));
}

void FrmGraph::showEvent(QShowEvent *event)
{
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    QDialog::showEvent(event);
}

void FrmGraph::Form_Load()
{
    cmdGraphDrk->setText(QStringLiteral("&Print"));
    cmdGraphAb->setText(QStringLiteral("&Return"));
    emit graphWindowOpened(true);
    // The opener showed the hourglass while the window was being made.
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void FrmGraph::Form_Unload()
{
    if (m_unloaded || !m_loaded)
        return;
    m_unloaded = true;
    emit graphWindowOpened(false);
}

void FrmGraph::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void FrmGraph::Form_Resize()
{
    const int W = qRound(width() * twipsPerPixelX());
    const int H = qRound(height() * twipsPerPixelY());
    const GraphLayout layout = ComputeGraphLayout(W, H);
    Picture1->setGeometry(toPixels(layout.Picture1));
    Picture2->setGeometry(toPixels(layout.Picture2));
    cmdGraphDrk->setGeometry(toPixels(layout.cmdGraphDrk));
    cmdGraphAb->setGeometry(toPixels(layout.cmdGraphAb));
    // In the plot's top right corner, above the curves' room.
    cmdReferenz->adjustSize();
    cmdReferenz->move(std::max(0, Picture1->width() - cmdReferenz->width() - 4), 4);
    Picture1->update();
    Picture2->update();
}

void FrmGraph::Picture1_Paint(DrawingSurface &surface)
{
    DrawGraphPlot(surface, m_ctx.settings, m_ctx.notation);
}

void FrmGraph::Picture2_Paint(DrawingSurface &surface)
{
    DrawGraphLegend(surface, m_ctx.settings);
}

void FrmGraph::cmdGraphDrk_Click()
{
    if (!m_ctx.messages.askOkCancel(QStringLiteral("Print graph ?")))
        return;
    if (!m_ctx.printer) {
        m_ctx.messages.show(QStringLiteral("No printer is set up."),
                            OperatorMessages::Icon::Exclamation);
        return;
    }
    const int box = m_ctx.settings.DialogMode == 1 ? m_ctx.settings.ActiveBox : 0;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool printed = PrintReport(*m_ctx.printer, box, m_ctx.settings, m_ctx.notation, &error);
    QApplication::restoreOverrideCursor();
    if (!printed)
        m_ctx.messages.show(error, OperatorMessages::Icon::Critical);
}

void FrmGraph::cmdReferenz_Click()
{
    if (!m_ctx.store)
        return;
    const int box = m_ctx.settings.ActiveBox;
    if (ChooseReference(*m_ctx.store, m_ctx.messages, m_ctx.settings.References.at(box), box, this))
        Picture1->update();
}

void FrmGraph::cmdGraphAb_Click()
{
    close();
}
