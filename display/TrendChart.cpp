#include "display/TrendChart.h"

#include "core/Notation.h"
#include "core/Settings.h"
#include "display/DashedLine.h"
#include "display/PrinterSurface.h"
#include "display/ReportBlocks.h"
#include "display/ReportGeometry.h"
#include "display/TestReport.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace
{

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// The value range the chart spans, widened to whole steps of a round size.
struct ValueAxis {
    double low = 0;
    double high = 1;
    double step = 1;
};

double roundStep(double raw)
{
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double n = raw / magnitude;
    return (n < 1.5 ? 1 : n < 3 ? 2 : n < 7 ? 5 : 10) * magnitude;
}

ValueAxis valueAxis(const TrendSeries &s)
{
    double low = INFINITY, high = -INFINITY;
    const auto take = [&](double v) {
        low = std::min(low, v);
        high = std::max(high, v);
    };
    for (const TrendPoint &p : s.points) {
        take(p.value);
        if (p.lower)
            take(*p.lower);
        if (p.upper)
            take(*p.upper);
    }
    if (s.mean && s.standardDeviation) {
        take(*s.mean - 3 * *s.standardDeviation);
        take(*s.mean + 3 * *s.standardDeviation);
    }
    if (!(low <= high))
        low = 0, high = 1;
    if (high - low < 1e-9 * std::max(1.0, std::abs(high)))
        low -= 1, high += 1;
    ValueAxis a;
    a.step = roundStep((high - low) / 5);
    a.low = std::floor(low / a.step) * a.step;
    a.high = std::ceil(high / a.step) * a.step;
    return a;
}

QString stepFormat(double step)
{
    const int decimals = std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
    return decimals == 0 ? QStringLiteral("0")
                         : QStringLiteral("0.") + QString(decimals, QLatin1Char('0'));
}

// Positions of the plot inside the chart's area, in twips.
class Plot
{
public:
    Plot(const QRectF &area, const ValueAxis &axis, qsizetype count)
        : m_rect(area.adjusted(1100, 150, -150, -700))
        , m_axis(axis)
        , m_count(std::max<qsizetype>(count, 1))
    {
    }
    const QRectF &rect() const { return m_rect; }
    double x(qsizetype i) const { return m_rect.left() + (i + 0.5) * slot(); }
    double slot() const { return m_rect.width() / double(m_count); }
    double y(double v) const
    {
        return m_rect.bottom() - (v - m_axis.low) / (m_axis.high - m_axis.low) * m_rect.height();
    }

private:
    QRectF m_rect;
    ValueAxis m_axis;
    qsizetype m_count;
};

void drawGrid(DrawingSurface &s, const Plot &p, const ValueAxis &a, const Notation &n)
{
    const QString format = stepFormat(a.step);
    const int steps = int(std::lround((a.high - a.low) / a.step));
    for (int i = 0; i <= steps; ++i) {
        const double v = a.low + i * a.step;
        s.setForeColor(TrendColour::Grid);
        s.line(p.rect().left(), p.y(v), p.rect().right(), p.y(v));
        const QString label = n.format(v, format);
        s.setForeColor(TrendColour::Point);
        s.setCurrentX(p.rect().left() - 80 - s.textWidth(label));
        s.setCurrentY(p.y(v) - s.textHeight(label) / 2);
        s.print(label);
    }
    s.setForeColor(TrendColour::Point);
    s.rectangle(p.rect().left(), p.rect().top(), p.rect().right(), p.rect().bottom());
}

// About six dates under the points, never two texts on top of each other.
void drawDates(DrawingSurface &s, const Plot &p, const TrendSeries &series, const Notation &n)
{
    const qsizetype count = series.points.size();
    double freeFrom = -INFINITY;
    const qsizetype every = std::max<qsizetype>(1, count / 6);
    for (qsizetype i = 0; i < count; i += every) {
        const QDate d = series.points.at(i).date;
        if (!d.isValid())
            continue;
        const QString text = n.date(d);
        const double left = p.x(i) - s.textWidth(text) / 2;
        if (left < freeFrom)
            continue;
        s.line(p.x(i), p.rect().bottom(), p.x(i), p.rect().bottom() + 60);
        s.setCurrentX(left);
        s.setCurrentY(p.rect().bottom() + 90);
        s.print(text);
        freeFrom = left + s.textWidth(text) + 150;
    }
}

// Each point's own limit as a step line: a straight line when the graphs
// share one limit file, visible steps where the limits changed.
void drawLimit(DrawingSurface &s, const Plot &p, const TrendSeries &series,
    std::optional<double> TrendPoint::*limit)
{
    s.setForeColor(TrendColour::Limit);
    s.setDrawWidth(3);
    std::optional<double> previous;
    for (qsizetype i = 0; i < series.points.size(); ++i) {
        const std::optional<double> v = series.points.at(i).*limit;
        if (v) {
            const double left = p.x(i) - p.slot() / 2, right = p.x(i) + p.slot() / 2;
            if (previous && *previous != *v)
                s.line(left, p.y(*previous), left, p.y(*v));
            s.line(left, p.y(*v), right, p.y(*v));
        }
        previous = v;
    }
    s.setDrawWidth(1);
}

void drawSpread(DrawingSurface &s, const Plot &p, const TrendSeries &series)
{
    if (!series.mean)
        return;
    s.setForeColor(TrendColour::Mean);
    s.setDrawWidth(2);
    s.line(p.rect().left(), p.y(*series.mean), p.rect().right(), p.y(*series.mean));
    s.setDrawWidth(1);
    if (!series.standardDeviation)
        return;
    s.setForeColor(TrendColour::Spread);
    for (const int sign : { -1, 1 }) {
        const double y = p.y(*series.mean + sign * 3 * *series.standardDeviation);
        DashedLine dashes(s, 120, 80);
        dashes.moveTo(p.rect().left(), y);
        dashes.lineTo(p.rect().right(), y);
    }
}

void drawCross(DrawingSurface &s, double x, double y, double r)
{
    s.line(x - r, y - r, x + r, y + r);
    s.line(x - r, y + r, x + r, y - r);
}

void drawPoints(DrawingSurface &s, const Plot &p, const TrendSeries &series)
{
    const double r = std::clamp(p.slot() / 3, 15.0, 45.0);
    // Where the marks crowd into each other a line between them says nothing
    // more and only costs drawing time.
    s.setForeColor(TrendColour::Grid);
    for (qsizetype i = 1; i < series.points.size() && p.slot() > 2 * r; ++i)
        s.line(
            p.x(i - 1), p.y(series.points.at(i - 1).value), p.x(i), p.y(series.points.at(i).value));
    for (qsizetype i = 0; i < series.points.size(); ++i) {
        const TrendPoint &pt = series.points.at(i);
        if (pt.outside) {
            s.setForeColor(TrendColour::Outside);
            s.setDrawWidth(3);
            drawCross(s, p.x(i), p.y(pt.value), 2 * r);
        } else {
            s.setForeColor(TrendColour::Point);
            s.setDrawWidth(2);
            s.rectangle(p.x(i) - r, p.y(pt.value) - r, p.x(i) + r, p.y(pt.value) + r);
        }
    }
    s.setDrawWidth(1);
}

// The line under the chart that names what each mark and line stands for.
void drawLegend(DrawingSurface &s, const QRectF &area)
{
    const double y = area.bottom() - s.textHeight(QStringLiteral("X")) - 30;
    const double mid = y + s.textHeight(QStringLiteral("X")) / 2;
    double x = area.left() + 1100;
    const auto item = [&](qint32 colour, const QString &text, auto &&mark) {
        s.setForeColor(colour);
        mark(x, mid);
        s.setForeColor(TrendColour::Point);
        s.setCurrentX(x + 320);
        s.setCurrentY(y);
        s.print(text);
        x += 320 + s.textWidth(text) + 300;
    };
    item(TrendColour::Point, QStringLiteral("inside"),
        [&](double px, double py) { s.rectangle(px + 100, py - 40, px + 180, py + 40); });
    item(TrendColour::Outside, QStringLiteral("outside"), [&](double px, double py) {
        s.setDrawWidth(3);
        drawCross(s, px + 140, py, 60);
        s.setDrawWidth(1);
    });
    item(TrendColour::Limit, QStringLiteral("limits"), [&](double px, double py) {
        s.setDrawWidth(3);
        s.line(px, py, px + 280, py);
        s.setDrawWidth(1);
    });
    item(TrendColour::Mean, QStringLiteral("mean"), [&](double px, double py) {
        s.setDrawWidth(2);
        s.line(px, py, px + 280, py);
        s.setDrawWidth(1);
    });
    item(TrendColour::Spread, QStringLiteral("mean \u00b1 3 s"), [&](double px, double py) {
        DashedLine dashes(s, 120, 80);
        dashes.moveTo(px, py);
        dashes.lineTo(px + 280, py);
    });
}

void printPage(
    DrawingSurface &s, const ReportGeometry &g, const TrendSeries &series, const Notation &n)
{
    const double top = g.PrnY[1], left = g.PrnLeft, right = g.PrnLeft + g.PrnWidth;
    const double bottom = g.PrnY[1] + g.PrnHeight;
    s.setForeColor(0);
    s.rectangle(left, top, right, top + 1000);
    PrintText(s, QStringLiteral("Trend chart"), g.column(30, 60), top + 1000 / 6.0, 20, true, false,
        true);
    PrintText(s, QStringLiteral("Zandor 3.2"), g.column(2, 60), top + 1000 / 6.0, 10);
    QString caption = series.caption;
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    PrintText(s, caption + QStringLiteral(" (") + series.unit + QLatin1Char(')'), g.column(2, 60),
        top + 4000 / 6.0, 10);
    PrintText(s, series.selection, g.column(30, 60), top + 4000 / 6.0, 10, false, false, true);

    const double figuresHeight = 250.0 * (series.figures.size() + 1);
    const QRectF chart(left, top + 1200, right - left, bottom - top - 1400 - figuresHeight);
    s.setFont(s.font().family(), 9);
    DrawTrendChart(s, series, chart, n, 9);
    double y = chart.bottom() + 200;
    for (const QString &line : series.figures) {
        PrintText(s, line, left, y, 9);
        y += 250;
    }
}

} // namespace

void DrawTrendChart(DrawingSurface &surface, const TrendSeries &series, const QRectF &area,
    const Notation &notation, double fontSize)
{
    surface.setFontSize(fontSize);
    surface.setFontBold(false);
    surface.setFontUnderline(false);
    surface.setDrawWidth(1);
    const ValueAxis axis = valueAxis(series);
    const Plot plot(area, axis, series.points.size());
    drawGrid(surface, plot, axis, notation);
    drawDates(surface, plot, series, notation);
    drawSpread(surface, plot, series);
    drawLimit(surface, plot, series, &TrendPoint::lower);
    drawLimit(surface, plot, series, &TrendPoint::upper);
    drawPoints(surface, plot, series);
    drawLegend(surface, area);
    surface.setForeColor(0);
}

bool PrintTrendCharts(DrawingSurface &surface, const QList<TrendSeries> &series,
    const Settings &margins, const Notation &notation, QString *error)
{
    if (series.isEmpty())
        return fail(error, QStringLiteral("No result chosen for the trend chart."));
    surface.resetScale();
    const ReportGeometry g = ComputeReportGeometry(
        margins, surface.extentTwips().width(), surface.extentTwips().height());
    surface.setFontTransparent(true);
    for (qsizetype i = 0; i < series.size(); ++i) {
        if (i > 0 && !surface.newPage())
            return fail(error, QStringLiteral("The printer did not accept a new page."));
        printPage(surface, g, series.at(i), notation);
    }
    return true;
}

bool PrintTrendChartsToPdf(const QString &fileName, const QList<TrendSeries> &series,
    const Settings &margins, const Notation &notation, QString *error)
{
    QSaveFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::WriteOnly))
        return fail(error,
            QStringLiteral("The trend chart could not be written to \"%1\": %2")
                .arg(fileName, file.errorString()));
    QPdfWriter writer(&file);
    writer.setPageLayout(ReportPdfLayout());
    writer.setResolution(1200);
    writer.setTitle(QStringLiteral("Trend chart"));
    writer.setCreator(QStringLiteral("Zandor 3.2"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        file.cancelWriting();
        return fail(
            error, QStringLiteral("The trend chart could not be started in \"%1\".").arg(fileName));
    }
    bool ok = false;
    {
        PrinterSurface surface(painter, writer);
        ok = PrintTrendCharts(surface, series, margins, notation, error);
    }
    if (!painter.end() && ok)
        ok = fail(error,
            QStringLiteral("The trend chart could not be finished in \"%1\".").arg(fileName));
    if (!ok) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return fail(error,
            QStringLiteral("The trend chart could not be written to \"%1\": %2")
                .arg(fileName, file.errorString()));
    return true;
}

bool PrintTrendCharts(QPrinter &printer, const QList<TrendSeries> &series, const Settings &margins,
    const Notation &notation, QString *error)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return PrintTrendChartsToPdf(printer.outputFileName(), series, margins, notation, error);
    QPainter painter;
    if (!painter.begin(&printer))
        return fail(error,
            QStringLiteral("The printer \"%1\" could not be started.").arg(printer.printerName()));
    bool ok = false;
    {
        PrinterSurface surface(painter, printer);
        ok = PrintTrendCharts(surface, series, margins, notation, error);
    }
    if (!ok) {
        printer.abort();
        painter.end();
        return false;
    }
    if (!painter.end())
        return fail(error,
            QStringLiteral("The printer \"%1\" did not finish the trend chart.")
                .arg(printer.printerName()));
    return true;
}
