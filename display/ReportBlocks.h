#pragma once

#include <QString>

class DrawingSurface;
class Notation;
struct BoxRecord;
struct ReportGeometry;
struct Settings;

// Every text of the report: font size (points), bold and underline set,
// placed with its top at y and its left end at x, or centred on x.
void PrintText(DrawingSurface &surface, const QString &text, double x, double y, double size,
               bool bold = false, bool underline = false, bool centred = false);

// The five blocks of one report page, in twips of the page (the graph block
// sets its own system and returns to twips).
void PrintReportHeader(DrawingSurface &surface, const ReportGeometry &g, const BoxRecord &box,
                       int boxNumber);
void PrintSpecimenData(DrawingSurface &surface, const ReportGeometry &g, const BoxRecord &box,
                       const Notation &notation);
// `shownBox` is the box of a one-box window, 0 for all boxes of the scope;
// `pageBox` is the box this page belongs to.
void PrintReportGraph(DrawingSurface &surface, const ReportGeometry &g, Settings &state,
                      int shownBox, int pageBox, const Notation &notation);
void PrintResults(DrawingSurface &surface, const ReportGeometry &g, const BoxRecord &box,
                  const Notation &notation);
void PrintAdjustments(DrawingSurface &surface, const ReportGeometry &g, const BoxRecord &box,
                      const Notation &notation);
