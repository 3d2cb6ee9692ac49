#include "display/ReportBlocks.h"

#include "core/CurveNote.h"
#include "display/CurvePlot.h"
#include "display/DrawingSurface.h"
#include "display/ReportFonts.h"
#include "display/ReportGeometry.h"
#include "display/ReportNotes.h"
#include "core/Notation.h"
#include "core/Settings.h"

#include <array>

namespace {

constexpr qint32 Black = 0;

enum Block { Header = 1, Specimen = 2, Graph = 3, Results = 4, Adjustments = 5 };

void startBlock(DrawingSurface &s)
{
    s.setFontName(ReportFontFamily());
}

// "value unit", the unit left out where there is none.
QString withUnit(const QString &value, const QString &unit)
{
    return unit.isEmpty() ? value : value + QLatin1Char(' ') + unit;
}

QString joined(const QString &label, const QString &value, const QString &unit = QString())
{
    return label + QLatin1Char(' ') + withUnit(value, unit);
}

struct TextRow
{
    int row;
    const char *label;
    QString BoxRecord::*field;
};

struct NumberRow
{
    int row;
    const char *label;
    float BoxRecord::*field;
    const char *unit;
};

// A value of the adjustments or results table and how it is printed.
struct FormattedRow
{
    int row;
    const char *label;
    int index;
    const char *format;
    const char *unit;
};

} // namespace

void PrintText(DrawingSurface &s, const QString &text, double x, double y, double size, bool bold,
               bool underline, bool centred)
{
    s.setFontSize(size);
    s.setFontBold(bold);
    s.setFontUnderline(underline);
    s.setCurrentX(centred ? x - s.textWidth(text) / 2 : x);
    s.setCurrentY(y);
    s.print(text);
}

void PrintReportHeader(DrawingSurface &s, const ReportGeometry &g, const BoxRecord &box,
                       int boxNumber)
{
    startBlock(s);
    const int top = g.PrnY[Header];
    s.setForeColor(Black);
    s.rectangle(g.PrnLeft, top, g.PrnLeft + g.PrnWidth, top + ReportGeometry::BlockHeight[Header]);
    const int c1 = g.column(2, 60), c2 = g.column(30, 60), c3 = g.column(46, 60);
    const int r1 = g.row(Header, 1, 6), r2 = g.row(Header, 4, 6);
    PrintText(s, QStringLiteral("Test report"), c2, r1, 20, true, false, true);
    PrintText(s, QStringLiteral("Zandor 3.2"), c1, r1, 10);
    PrintText(s, joined(QStringLiteral("Box"), QString::number(boxNumber)), c1, r2, 10);
    PrintText(s, joined(QStringLiteral("User:"), box.Benutzer), c2, r2, 10, false, false, true);
    PrintText(s, joined(QStringLiteral("Date:"), box.PruefAm), c3, r2, 10);
}

void PrintSpecimenData(DrawingSurface &s, const ReportGeometry &g, const BoxRecord &box,
                       const Notation &notation)
{
    static const std::array<TextRow, 9> texts{{
        {3, "Name:", &BoxRecord::Kovra},
        {5, "Impregnation type :", &BoxRecord::BgArt},
        {9, "Resin type        :", &BoxRecord::HarzTyp},
        {12, "  Impregnator:", &BoxRecord::BgVon},
        {14, "         date:", &BoxRecord::BgVonAm},
        {16, "      Printer:", &BoxRecord::DrVon},
        {18, "         date:", &BoxRecord::DrVonAm},
        {20, "Paper made by:", &BoxRecord::PaVon},
        {22, "         date:", &BoxRecord::PaVonAm},
    }};
    static const std::array<NumberRow, 8> numbers{{
        {7, "Impregnation level:", &BoxRecord::Bg, "%"},
        {25, "Total weight      :", &BoxRecord::GesGew, "g/m\u00b2"},
        {27, "Paper basis weight:", &BoxRecord::PaGew, "g/m\u00b2"},
        {29, "Air permeability  :", &BoxRecord::Luftdurch, "ml/min"},
        {31, "Temperature       :", &BoxRecord::Temp, "\u00b0C"},
        {33, "Moisture            :", &BoxRecord::Feuchte, "%"},
        {35, "Resin flow          :", &BoxRecord::Fluss, "%"},
        {37, "Ash content of paper:", &BoxRecord::Asche, "%"},
    }};

    startBlock(s);
    PrintText(s, QStringLiteral("Paper"), g.PrnLeft, g.PrnY[Specimen], 11, true, true);
    for (const TextRow &t : texts)
        PrintText(s, joined(QString::fromUtf8(t.label), box.*t.field), g.PrnLeft,
                  g.row(Specimen, t.row, 43), 10);
    for (const NumberRow &n : numbers)
        PrintText(s,
                  joined(QString::fromUtf8(n.label), notation.plain(box.*n.field),
                         QString::fromUtf8(n.unit)),
                  g.PrnLeft, g.row(Specimen, n.row, 43), 10);

    const int notesX = g.column(8, 16);
    PrintText(s, QStringLiteral("Notes:"), notesX, g.row(Specimen, 25, 43), 10);
    const QStringList lines = NoteLines(box.Bemerk);
    for (int k = 0; k < lines.size(); ++k)
        PrintText(s, lines[k], notesX, g.row(Specimen, 27 + 2 * k, 43), 10);
}

namespace {

bool inScope(const BoxRecord &box, float scope)
{
    return box.holdsGraph() && box.Ein[10] == scope;
}

// Puts -100 ... 1600 across the printable width.
void setGraphColumns(DrawingSurface &s, const ReportGeometry &g)
{
    const double page = s.extentTwips().width();
    const double factor = 1700.0 / g.PrnWidth;
    s.setScaleWidth(factor * page);
    s.setScaleLeft(-(factor * g.PrnLeft + 100));
}

void setGraphRows(DrawingSurface &s, double factor, double top)
{
    s.setScaleHeight(factor * s.extentTwips().height());
    s.setScaleTop(top);
}

void printOneBoxGraph(DrawingSurface &s, const ReportGeometry &g, Settings &state, int shownBox,
                      const Notation &notation)
{
    const double f = 1050.0 / 4000;
    setGraphRows(s, f, -(f * g.PrnY[Graph]) - 880);
    BoxRecord &box = state.Box(shownBox);
    // The window shows this curve in its own scope; the paper says the same.
    PrintGraphAxes(s, box.Ein[10], notation);
    s.setDrawWidth(state.LinieDr);
    PrintCurve(s, box, 0);
    s.setDrawWidth(1);
}

void printAllBoxesGraph(DrawingSurface &s, const ReportGeometry &g, Settings &state, int pageBox,
                        const Notation &notation)
{
    const double f = 1220.0 / 4000;
    setGraphRows(s, f, 360 - f * (g.PrnY[Graph] + 4000));
    PrintGraphAxes(s, state.ScopeOfTime, notation);
    int legend = 0;
    for (int j = 1; j <= 5; ++j) {
        BoxRecord &box = state.Box(j);
        if (!inScope(box, state.ScopeOfTime))
            continue;
        if (j == pageBox) {
            s.setDrawWidth(state.LinieDr);
            PrintCurve(s, box, 0);
        } else {
            s.setDrawWidth(1);
            PrintText(s, QStringLiteral("Box %1: ").arg(j) + box.Kovra, -80, 100 + 60 * legend, 9);
            ++legend;
            PrintCurve(s, box, j);
        }
        s.setDrawWidth(1);
    }
}

} // namespace

void PrintReportGraph(DrawingSurface &s, const ReportGeometry &g, Settings &state, int shownBox,
                      int pageBox, const Notation &notation)
{
    startBlock(s);
    s.setForeColor(Black);
    s.rectangle(g.PrnLeft, g.PrnY[Graph], g.PrnLeft + g.PrnWidth,
                g.PrnY[Graph] + ReportGeometry::BlockHeight[Graph]);
    setGraphColumns(s, g);
    if (shownBox != 0)
        printOneBoxGraph(s, g, state, shownBox, notation);
    else
        printAllBoxesGraph(s, g, state, pageBox, notation);
    s.resetScale();
}

void PrintResults(DrawingSurface &s, const ReportGeometry &g, const BoxRecord &box,
                  const Notation &notation)
{
    static const std::array<FormattedRow, 5> rows{{
        {5, "Max. curing speed after: ", 1, "0.0;;0", "min."},
        {7, "Curing time            : ", 2, "0.0;;0", "min."},
        {9, "Curing rate            : ", 3, "0.000;;0", "%/min."},
        {11, "Flow time              : ", 4, "0;;0", "sec."},
        {13, "Flexibility            : ", 5, "0;;0", "%"},
    }};
    auto col = [&](int a) { return g.column(a, 12); };
    auto row = [&](int c) { return g.row(Results, c, 18); };

    startBlock(s);
    s.setForeColor(Black);
    s.line(col(4), row(4), col(12), row(4));
    s.line(col(8), row(2), col(8), row(15));
    s.line(col(6), row(0), col(6), row(15));
    s.line(col(10), row(0), col(10), row(15));

    PrintText(s, QStringLiteral("Results"), g.PrnLeft, g.PrnY[Results], 11, true, true);
    PrintText(s, QStringLiteral("limits"), col(8), row(0), 9, false, false, true);
    PrintText(s, QStringLiteral("abberation"), col(11), row(0), 9, false, false, true);
    PrintText(s, QStringLiteral("minimum"), col(7), row(2), 9, false, false, true);
    PrintText(s, QStringLiteral("maximum"), col(9), row(2), 9, false, false, true);

    for (const FormattedRow &r : rows) {
        const QString format = QString::fromUtf8(r.format);
        const QString unit = QString::fromUtf8(r.unit);
        const std::array<float, 4> values{box.Erg[r.index], box.GWU[r.index], box.GwO[r.index],
                                          box.Abw[r.index]};
        PrintText(s, QString::fromUtf8(r.label), g.PrnLeft, row(r.row), 9);
        for (int k = 0; k < 4; ++k)
            PrintText(s, withUnit(notation.format(values[k], format), unit), col(5 + 2 * k),
                      row(r.row), 9, false, false, true);
    }
    PrintText(s, QStringLiteral("Limit-File: ") + box.GrwBez.text(), g.PrnLeft, row(16), 9);
    if (const QString note = CurveNote(box); !note.isEmpty())
        PrintText(s, note, col(7), row(16), 9);
}

void PrintAdjustments(DrawingSurface &s, const ReportGeometry &g, const BoxRecord &box,
                      const Notation &notation)
{
    static const std::array<FormattedRow, 4> left{{
        {4, "Scope of time       :", 10, "0.0;;0", "min."},
        {6, "Specimen no.        :", 1, "0;;0", ""},
        {8, "Voltage             :", 3, "0;;0", "V"},
        {10, "Measuring cycle     :", 4, "0.0;;0", "s"},
    }};
    static const std::array<FormattedRow, 5> right{{
        {2, "Oil viscosity       :", 5, "0;;0", "m'Pa's"},
        {4, "Amplification       :", 6, "0;;0", ""},
        {6, "Starting time       :", 7, "0.000;;0", "s"},
        {8, "Measuring time      :", 8, "0.000;;0", "s"},
        {10, "Open circuit current:", 9, "0.0;;0", "mA"},
    }};
    auto printPairs = [&](const auto &rows, int labelX, int valueX) {
        for (const FormattedRow &r : rows) {
            const int y = g.row(Adjustments, r.row, 12);
            PrintText(s, QString::fromUtf8(r.label), labelX, y, 9);
            const QString value = notation.format(box.Ein[r.index], QString::fromUtf8(r.format));
            PrintText(s, withUnit(value, QString::fromUtf8(r.unit)), valueX, y, 9,
                      false, false, true);
        }
    };

    startBlock(s);
    PrintText(s, QStringLiteral("Adjustments"), g.PrnLeft, g.PrnY[Adjustments], 11, true, true);
    printPairs(left, g.PrnLeft, g.column(5, 16));
    printPairs(right, g.column(9, 16), g.column(14, 16));
}
