// Time to produce a five-page test report as a PDF file (target: < 0.5 s).
// Usage: bench_report [output.pdf]  (keeps the file when a name is given)

#include "display/TestReport.h"
#include "core/Notation.h"
#include "core/Settings.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <cmath>

namespace {

void fillBox(BoxRecord &box, int k)
{
    box.Status = BoxStatus::Graph;
    box.Ein = {0, float(k), 20, 5, 2, 350, 100, 0.18f, 0.5f, 1.25f, 10};
    box.Kovra = QStringLiteral("Specimen %1").arg(k);
    box.Benutzer = QStringLiteral("Lab");
    box.PruefAm = QStringLiteral("01/06/05");
    box.Bemerk = QStringLiteral("Benchmark page %1\nwith a second line of notes").arg(k);
    box.GrwBez = QStringLiteral("Standard");
    box.Erg = {0, 2.5f, 6.25f, 0.321f, 48, 35};
    // 299 points over the ten minutes, an S-shaped hardening curve.
    for (int i = 0; i < CurveSize; ++i) {
        const double t = 2.0 * i;
        box.y[i] = float(t);
        box.x[i] = i < CurveLastPoint + 1
                       ? float(5 + (55 + 3 * k) / (1 + std::exp(-(t - 180 - 20 * k) / 40)))
                       : CurveEndMark;
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Settings settings;
    settings.ScopeOfTime = 10;
    for (int k = 1; k <= 5; ++k)
        fillBox(settings.Box(k), k);
    const Notation notation = Notation::fromSystem();

    QTemporaryDir dir;
    const QString file = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.filePath("bench.pdf");
    QTextStream out(stdout);
    // The first run loads the fonts; it is reported apart from the rest.
    double best = 1e9, first = 0, total = 0;
    const int runs = 10;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        QString error;
        if (!PrintReportToPdf(file, 0, settings, notation, &error)) {
            out << "failed: " << error << "\n";
            return 1;
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (r == 0)
            first = seconds;
        best = std::min(best, seconds);
        total += seconds;
    }
    out << "five-page PDF report: first run " << first << " s, best " << best << " s, mean "
        << total / runs << " s over " << runs << " runs (target < 0.5 s)\n";
    return 0;
}
