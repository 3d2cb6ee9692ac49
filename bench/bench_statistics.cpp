// Statistics across specimens: a database of 20,000 graphs with full curves,
// 10,000 of them in the directory chosen. Prints the time of the query and
// figures alone, and of the statistics window showing the same selection
// (table, figures, trend), first on a freshly opened file and then as the
// median of repeated runs. Target: under 1 s for the window.
#include "core/AppContext.h"
#include "core/BoxRecord.h"
#include "core/Notation.h"
#include "core/ScriptedMessages.h"
#include "core/Settings.h"
#include "evaluation/ResultStatistics.h"
#include "shell/StatisticsWindow.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

namespace
{

constexpr int Chosen = 10000;
constexpr int Others = 10000;

BoxRecord graph(int i, QRandomGenerator &random)
{
    BoxRecord b;
    b.Status = BoxStatus::Graph;
    b.PruefAm = QDate(2026, 1, 1).addDays(i % 340).toString(QStringLiteral("dd/MM/yy"));
    b.Benutzer = QStringLiteral("operator %1").arg(i % 7);
    b.GrwBez = QStringLiteral("standard");
    for (int k = 1; k <= 5; ++k) {
        b.Erg[k] = float(random.bounded(1000)) / 10;
        b.GWU[k] = 10;
        b.GwO[k] = 90;
    }
    for (int i = 0; i < 300; ++i) {
        b.x[i] = float(random.bounded(10000)) / 100;
        b.y[i] = float(i) * 2.5f;
    }
    b.x[300] = CurveEndMark;
    return b;
}

void build(Store &store, Database &db, qint32 chosen, qint32 other)
{
    QSqlQuery(db.connection()).exec(QStringLiteral("PRAGMA synchronous=OFF"));
    QRandomGenerator random(18);
    for (int i = 0; i < Chosen + Others; ++i) {
        BoxRecord b = graph(i, random);
        store.SaveBox(
            b, SaveMode::Add, QStringLiteral("specimen %1").arg(i), i % 2 == 0 ? chosen : other);
    }
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench_statistics-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("kovra.mdb"));
    const Notation notation('.', '/');
    QElapsedTimer t;
    {
        Database db;
        db.open(path);
        Store store(db, notation);
        const qint32 chosen = *store.addDirectory(DirectoryType::Graphs, QStringLiteral("chosen"));
        const qint32 other = *store.addDirectory(DirectoryType::Graphs, QStringLiteral("other"));
        t.start();
        build(store, db, chosen, other);
        out << "built " << Chosen + Others << " graphs in " << t.elapsed() / 1000.0 << " s\n";
    }

    Database db;
    db.open(path);
    Store store(db, notation);
    Settings settings;
    ScriptedMessages messages;
    AppContext ctx { settings, notation, messages, &store };
    ResultSelection selection;
    selection.directories
        = { *store.findDirectory(DirectoryType::Graphs, QStringLiteral("chosen")) };

    QList<double> query;
    for (int run = 0; run < 7; ++run) {
        t.start();
        const auto graphs = QueryGraphResults(db, selection);
        const auto figures = ComputeResultStatistics(*graphs);
        query << t.nsecsElapsed() / 1e6;
        if (run == 0)
            out << "query and figures, first: " << query.first() << " ms (" << graphs->size()
                << " graphs, mean 1 = " << figures[1].mean << ")\n";
    }
    out << "query and figures, median: " << median(query) << " ms\n";

    QList<double> window, shown;
    for (int run = 0; run < 5; ++run) {
        t.start();
        FrmStatistik w(ctx);
        w.directoryList()->item(0)->setSelected(true);
        w.cmdShow_Click();
        shown << t.nsecsElapsed() / 1e6;
        w.show();
        app.processEvents(); // the bench's own wait for the first paint
        window << t.nsecsElapsed() / 1e6;
        if (w.graphs().size() != Chosen)
            out << "wrong selection: " << w.graphs().size() << "\n";
    }
    out << "statistics window with " << Chosen << " graphs, first: " << window.first()
        << " ms, median: " << median(window) << " ms (target < 1000 ms), of which filled "
        << median(shown) << " ms and first painted " << median(window) - median(shown) << " ms\n";
    return 0;
}
