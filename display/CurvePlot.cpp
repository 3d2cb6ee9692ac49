#include "display/CurvePlot.h"

#include "display/DrawingSurface.h"
#include "display/ReportFonts.h"
#include "core/BoxRecord.h"
#include "core/Notation.h"
#include "core/Rounding.h"

namespace {

using namespace GraphScale;

void drawAxesAndGrid(DrawingSurface &s, int axisWidth)
{
    const double d = Overhang;
    s.setDrawWidth(axisWidth);
    s.line(-d, 0, TimeAxisEnd + d, 0);
    s.line(0, d, 0, TopGridLine - d);

    s.setDrawWidth(1);
    for (int h = 75; h <= TimeAxisEnd; h += 150)
        s.line(h, 0, h, TopGridLine);
    for (int h = 0; h <= TimeAxisEnd; h += 150)
        s.line(h, d, h, TopGridLine - d);
    for (int v = 200; v <= 800; v += 200)
        s.line(-d, -v, TimeAxisEnd + d, -v);
}

void drawCaptions(DrawingSurface &s, float scope, const Notation &notation)
{
    const double labelTop = 2 * Overhang;
    for (int h = 0; h <= TimeAxisEnd; h += 300) {
        const QString text = notation.general(double(h) / TimeAxisEnd * double(scope));
        s.setCurrentX(h - s.textWidth(text) / 2);
        s.setCurrentY(labelTop);
        s.print(text);
    }

    const QString minutes = QStringLiteral("minutes");
    s.setCurrentX(1350 - s.textWidth(minutes) / 2);
    s.setCurrentY(labelTop);
    s.print(minutes);

    // The value axis caption stands upright, one letter per line.
    const QString hardness = QStringLiteral("hardness").leftJustified(10);
    for (int k = 1; k <= 10; ++k) {
        const QString ch = hardness.mid(k - 1, 1);
        s.setCurrentX(-40 - s.textWidth(ch) / 2);
        s.setCurrentY(TopGridLine + (k - 1) * s.textHeight(ch));
        s.print(ch);
    }
}

double timeAt(const BoxRecord &box, int j)
{
    return 25.0 * double(box.y[j]) / double(box.Ein[10]);
}

// The drawn value is the mean of two neighbouring readings.
double meanAt(const BoxRecord &box, int j)
{
    return -10.0 * (double(box.x[j - 1]) + double(box.x[j])) / 2;
}

bool hasCurve(const BoxRecord &box)
{
    return box.Ein[10] > 0 && box.x[0] > CurveEndMark && box.x[1] > CurveEndMark;
}

void printBoxNumber(DrawingSurface &s, const BoxRecord &box, int j, int label)
{
    const double keptX = roundHalfEven(s.currentX());
    const double keptY = roundHalfEven(s.currentY());
    const QString text = QString::number(label);
    s.setFontTransparent(false);
    s.setFontName(ReportFontFamily());
    s.setFontSize(8);
    const int w = roundHalfEven(s.textWidth(text) / 2);
    const int h = roundHalfEven(s.textHeight(text) / 2);
    s.setCurrentX(timeAt(box, j - 3) - w);
    s.setCurrentY(meanAt(box, j - 3) - h);
    s.print(text);
    s.setFontTransparent(true);
    s.setCurrentX(keptX);
    s.setCurrentY(keptY);
}

bool labelDue(int j, int label)
{
    return label != 0 && j >= 21 && (j - 4 * label) % 20 == 0;
}

// Shared by screen and paper; the paper labels the curve.
void drawCurvePoints(DrawingSurface &s, BoxRecord &box, int label)
{
    if (!hasCurve(box))
        return;
    box.x[0] = box.x[1];
    s.setCurrentX(0);
    s.setCurrentY(-10.0 * double(box.x[0]));
    for (int j = 1; j < CurveSize; ++j) {
        s.lineTo(timeAt(box, j), meanAt(box, j));
        if (labelDue(j, label))
            printBoxNumber(s, box, j, label);
        if (j + 1 >= CurveSize || box.x[j + 1] <= CurveEndMark)
            break;
    }
}

} // namespace

void DrawGraphAxes(DrawingSurface &surface, float scope, const Notation &notation)
{
    surface.setForeColor(ScreenAxisColor);
    drawAxesAndGrid(surface, 2);
    drawCaptions(surface, scope, notation);
}

void DrawCurve(DrawingSurface &surface, BoxRecord &box, int LinieGr)
{
    const int kept = surface.drawWidth();
    surface.setDrawWidth(LinieGr);
    drawCurvePoints(surface, box, 0);
    surface.setDrawWidth(kept);
}

void PrintGraphAxes(DrawingSurface &surface, float scope, const Notation &notation)
{
    drawAxesAndGrid(surface, 4);
    drawCaptions(surface, scope, notation);
}

void PrintCurve(DrawingSurface &surface, BoxRecord &box, int label)
{
    drawCurvePoints(surface, box, label);
}
