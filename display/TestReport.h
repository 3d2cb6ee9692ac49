#pragma once

#include <QList>
#include <QPageLayout>
#include <QString>

class DrawingSurface;
class Notation;
class QPrinter;
struct Settings;

// The test report: one page per box, with header, specimen data, graph,
// results and adjustments.
//
// `box` 0 prints every box holding a curve of the selected scope of time,
// each page's graph showing all of them; `box` 1..5 is the print of a
// one-box window and prints that box's page alone, its graph in the box's
// own scope of time. The curve routines set x[0] of a printed curve to x[1].

// Boxes that get a page, in printing order.
QList<int> ReportPages(const Settings &state, int box);

// Draws the pages onto a surface (twips from the printable origin). False,
// with the reason in `error`, when there is nothing to print or the surface
// refused a new page.
bool PrintReport(DrawingSurface &surface, int box, Settings &state, const Notation &notation,
                 QString *error = nullptr);

// Prints onto the printer chosen in the printer set-up; a printer set to
// PDF output writes its file the way PrintReportToPdf does. On failure the
// job is abandoned and nothing half-written is left behind.
bool PrintReport(QPrinter &printer, int box, Settings &state, const Notation &notation,
                 QString *error = nullptr);

// A4 portrait without margins of its own: the report's margins are the
// margin settings.
QPageLayout ReportPdfLayout();

// Writes the report as a PDF file. The file appears only when the whole
// report was written; an existing file is replaced then and only then.
bool PrintReportToPdf(const QString &fileName, int box, Settings &state, const Notation &notation,
                      QString *error = nullptr, const QPageLayout &layout = ReportPdfLayout(),
                      int resolution = 1200);
