#pragma once

#include <QDate>
#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QStringList>
#include <optional>

class DrawingSurface;
class Notation;
class QPrinter;
struct Settings;

// One point of a trend: a graph's result, with the limits stored with it
// when it has a limit file.
struct TrendPoint {
    QDate date;
    double value = 0;
    std::optional<double> lower;
    std::optional<double> upper;
    bool outside = false;
};

// The trend of one result over a selection of graphs, in test-date order.
// The points stand in that order at equal distances (a run chart): graphs
// tested on one day stay apart, and the date labels say where time went.
struct TrendSeries {
    QString caption; // the result's caption, e.g. "Flow time:"
    QString unit;
    QList<TrendPoint> points;
    std::optional<double> mean;
    std::optional<double> standardDeviation;
    QStringList figures; // lines printed under the chart, already formatted
    QString selection; // what was chosen, for the page header
};

// Colours (0xBBGGRR) of the chart's parts, shared by screen and paper.
namespace TrendColour
{
constexpr qint32 Limit = 0x0000C0; // red
constexpr qint32 Mean = 0x008000; // green
constexpr qint32 Spread = 0xC00000; // blue
constexpr qint32 Point = 0x000000;
constexpr qint32 Outside = 0x0000FF;
constexpr qint32 Grid = 0xC0C0C0;
} // namespace TrendColour

// Draws the chart into `area` (twips of the surface, whose scale must be
// twips): value grid and labels, the limit lines of each point's own
// limits, the mean and mean +- 3 standard deviations, the points (those
// outside their limits as red crosses) and a legend line. `fontSize` in
// points sets the labels.
void DrawTrendChart(DrawingSurface &surface, const TrendSeries &series, const QRectF &area,
    const Notation &notation, double fontSize = 8);

// Pages of trend charts, one per series, in the report's face and margins.
bool PrintTrendCharts(DrawingSurface &surface, const QList<TrendSeries> &series,
    const Settings &margins, const Notation &notation, QString *error = nullptr);
// As a PDF file (the test report's page and resolution); the file appears
// only when written whole.
bool PrintTrendChartsToPdf(const QString &fileName, const QList<TrendSeries> &series,
    const Settings &margins, const Notation &notation, QString *error = nullptr);
// On the printer of the printer set-up (a printer set to PDF output writes
// its file as above).
bool PrintTrendCharts(QPrinter &printer, const QList<TrendSeries> &series, const Settings &margins,
    const Notation &notation, QString *error = nullptr);
