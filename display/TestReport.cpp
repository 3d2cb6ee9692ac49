#include "display/TestReport.h"

#include "display/PrinterSurface.h"
#include "display/ReportBlocks.h"
#include "display/ReportGeometry.h"
#include "core/Settings.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Why a run has no page: the all-boxes text is the one the main window uses.
QString nothingToPrint(int box)
{
    return box == 0 ? QStringLiteral("No graph in selected scope of time!")
                    : QStringLiteral("Box %1 holds no graph.").arg(box);
}

} // namespace

QList<int> ReportPages(const Settings &state, int box)
{
    QList<int> pages;
    if (box != 0) {
        if (box >= 1 && box <= 5 && state.Box(box).holdsGraph() && state.Box(box).Ein[10] > 0)
            pages << box;
        return pages;
    }
    for (int i = 1; i <= 5; ++i)
        if (state.Box(i).holdsGraph() && state.Box(i).Ein[10] == state.ScopeOfTime)
            pages << i;
    return pages;
}

bool PrintReport(DrawingSurface &surface, int box, Settings &state, const Notation &notation,
                 QString *error)
{
    const QList<int> pages = ReportPages(state, box);
    if (pages.isEmpty()) {
        setError(error, nothingToPrint(box));
        return false;
    }
    surface.resetScale();
    const ReportGeometry g = ComputeReportGeometry(state, surface.extentTwips().width(),
                                                   surface.extentTwips().height());
    surface.setDrawWidth(1);
    surface.setForeColor(0);
    surface.setFontTransparent(true);
    for (int n = 0; n < pages.size(); ++n) {
        if (n > 0 && !surface.newPage()) {
            setError(error, QStringLiteral("The printer did not accept a new page."));
            return false;
        }
        const int i = pages[n];
        const BoxRecord &page = state.Box(i);
        PrintReportHeader(surface, g, page, i);
        PrintSpecimenData(surface, g, page, notation);
        PrintReportGraph(surface, g, state, box, i, notation);
        PrintResults(surface, g, page, notation);
        PrintAdjustments(surface, g, page, notation);
    }
    return true;
}

QPageLayout ReportPdfLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

bool PrintReportToPdf(const QString &fileName, int box, Settings &state, const Notation &notation,
                      QString *error, const QPageLayout &layout, int resolution)
{
    if (ReportPages(state, box).isEmpty()) {
        setError(error, nothingToPrint(box));
        return false;
    }
    QSaveFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("The report could not be written to \"%1\": %2")
                            .arg(fileName, fileName.isEmpty() ? QStringLiteral("no file name")
                                                              : file.errorString()));
        return false;
    }
    QPdfWriter writer(&file);
    writer.setPageLayout(layout);
    writer.setResolution(resolution);
    writer.setTitle(QStringLiteral("Test report"));
    writer.setCreator(QStringLiteral("Zandor 3.2"));

    QPainter painter;
    if (!painter.begin(&writer)) {
        setError(error, QStringLiteral("The report could not be started in \"%1\".").arg(fileName));
        file.cancelWriting();
        return false;
    }
    bool ok = false;
    {
        PrinterSurface surface(painter, writer);
        ok = PrintReport(surface, box, state, notation, error);
    }
    const bool ended = painter.end();
    if (!ok || !ended) {
        if (ok)
            setError(error,
                     QStringLiteral("The report could not be finished in \"%1\".").arg(fileName));
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, QStringLiteral("The report could not be written to \"%1\": %2")
                            .arg(fileName, file.errorString()));
        return false;
    }
    return true;
}

bool PrintReport(QPrinter &printer, int box, Settings &state, const Notation &notation,
                 QString *error)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return PrintReportToPdf(printer.outputFileName(), box, state, notation, error,
                                printer.pageLayout(), printer.resolution());
    if (ReportPages(state, box).isEmpty()) {
        setError(error, nothingToPrint(box));
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        setError(error, QStringLiteral("The printer \"%1\" could not be started.")
                            .arg(printer.printerName()));
        return false;
    }
    bool ok = false;
    {
        PrinterSurface surface(painter, printer);
        ok = PrintReport(surface, box, state, notation, error);
    }
    if (!ok) {
        printer.abort();
        painter.end();
        return false;
    }
    if (!painter.end()) {
        setError(error, QStringLiteral("The printer \"%1\" did not finish the report.")
                            .arg(printer.printerName()));
        return false;
    }
    return true;
}
