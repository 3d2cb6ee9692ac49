// What a measurement costs the program: CPU time while a simulated NetPC
// delivers a 300-point curve, at the instrument's own pace and as fast as it
// can, and the time the program spends on each reply, every point written to
// the run journal of a database file as in the program; and what one journal
// write costs on its own. The simulator runs as
// a process of its own so that only the program's CPU time is counted.
//
//   bench_measurement [--pace-seconds N] [--no-window] [--skip-pace]
//
// The paced run spreads 300 points over N seconds (default 60) at speed 1,
// so the instrument sends a reply every N/300 seconds: denser than any cycle
// the adjustments allow (at least 1 s), an upper bound for real use.
#include "core/AppContext.h"
#include "core/Notation.h"
#include "core/ScriptedMessages.h"
#include "core/Settings.h"
#include "instrument/MeasurementRun.h"
#include "instrument/MeasurementWindow.h"
#include "instrument/NetLink.h"
#include "instrument/RunJournalWriter.h"
#include "store/Database.h"
#include "store/RunJournal.h"
#include "store/Store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <sys/resource.h>

namespace
{

QTextStream out(stdout);

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Starts the simulator on a port of its own choosing and returns that port
// (0 if it did not come up), read from the line it prints.
quint16 startSimulator(QProcess &simulator, double speed)
{
    simulator.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../netpc-sim"),
        { QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--speed"),
            QString::number(speed) });
    if (!simulator.waitForStarted(3000) || !simulator.waitForReadyRead(3000))
        return 0;
    const QString line = QString::fromLatin1(simulator.readLine()).trimmed();
    return quint16(line.mid(line.lastIndexOf(QLatin1Char(':')) + 1).toUInt());
}

struct Figures {
    int points = 0;
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double meanReplyMicros = 0;
    double maxReplyMicros = 0;
};

// Time from the link's hand-over to the end of the run's own handling of a
// reply: the first listener starts the clock, the last one stops it.
struct ReplyClock {
    QElapsedTimer clock;
    qint64 started = 0;
    qint64 total = 0;
    qint64 longest = 0;
    int count = 0;

    void start() { started = clock.nsecsElapsed(); }
    void stop()
    {
        const qint64 spent = clock.nsecsElapsed() - started;
        total += spent;
        longest = std::max(longest, spent);
        ++count;
    }
};

Figures measure(double speed, float scopeMinutes, float cycleSeconds, bool withWindow)
{
    QProcess simulator;
    const quint16 port = startSimulator(simulator, speed);
    if (!port) {
        out << "netpc-sim did not start" << Qt::endl;
        return {};
    }

    Settings settings;
    settings.ActiveBox = 1;
    settings.ScopeOfTime = scopeMinutes;
    settings.Box(1).Ein = { 0, 1, 20, 5, cycleSeconds, 350, 100, 0.18f, 0.5f, 0, scopeMinutes };
    const Notation notation;
    ScriptedMessages messages;
    NetLink link(messages);
    link.ConnectNetPC(QStringLiteral("127.0.0.1"), port);
    QElapsedTimer wait;
    wait.start();
    while (link.netState() != NetLink::StateGreeting && wait.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    ReplyClock replies;
    replies.clock.start();
    QObject::connect(&link, &NetLink::replyHandled, [&] { replies.start(); });

    QTemporaryDir folder;
    Database db;
    if (!db.open(folder.filePath(QStringLiteral("kovra.mdb")))) {
        out << "no database: " << db.lastError() << Qt::endl;
        return {};
    }
    Store store(db, notation);
    AppContext ctx { settings, notation, messages, &store, &link };
    FrmMessen window(ctx);
    MeasurementRun bare(settings, link, messages);
    RunJournalWriter journal(bare, db);
    MeasurementRun *run = &bare;
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    if (withWindow) {
        settings.MeasureRequested = 1;
        window.show();
        while (!window.run())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        run = window.run();
    } else {
        run->MeasureActiveBox();
    }
    QObject::connect(&link, &NetLink::replyHandled, [&] { replies.stop(); });
    run->waitUntilFinished();
    if (withWindow)
        QCoreApplication::processEvents();

    Figures f;
    f.wallSeconds = wall.elapsed() / 1000.0;
    f.cpuSeconds = cpuSeconds() - cpuBefore;
    f.points = run->pointIndex();
    f.meanReplyMicros = replies.count ? replies.total / 1000.0 / replies.count : 0;
    f.maxReplyMicros = replies.longest / 1000.0;
    link.CloseNetPC();
    simulator.terminate();
    simulator.waitForFinished(2000);
    return f;
}

// One journal write per point, as a run makes them, timed one by one.
void reportJournalCost(int points)
{
    QTemporaryDir folder;
    Database db;
    if (!db.open(folder.filePath(QStringLiteral("kovra.mdb"))))
        return;
    RunJournal journal(db);
    BoxRecord box;
    box.Kovra = QStringLiteral("bench");
    const auto id = journal.begin(box, QDateTime::currentDateTime());
    QElapsedTimer clock;
    qint64 total = 0, longest = 0;
    for (int i = 1; id && i <= points; ++i) {
        clock.start();
        journal.write(*id, { { i, float(i) / 3, float(i) * 1.7f, false } });
        const qint64 spent = clock.nsecsElapsed();
        total += spent;
        longest = std::max(longest, spent);
    }
    out << "journal: " << points << " points, "
        << QString::number(total / 1e6 / std::max(points, 1), 'f', 3) << " ms per point mean, "
        << QString::number(longest / 1e6, 'f', 3) << " ms longest (target: below 2 ms)" << Qt::endl;
}

void report(const QString &name, const Figures &f)
{
    out << name << ": " << f.points << " points in " << QString::number(f.wallSeconds, 'f', 1)
        << " s, CPU " << QString::number(f.cpuSeconds, 'f', 3)
        << " s = " << QString::number(100.0 * f.cpuSeconds / std::max(f.wallSeconds, 1e-9), 'f', 2)
        << " % of one core; per reply " << QString::number(f.meanReplyMicros, 'f', 1)
        << " us mean, " << QString::number(f.maxReplyMicros, 'f', 1) << " us longest" << Qt::endl;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool withWindow = !args.contains(QStringLiteral("--no-window"));
    double paceSeconds = 60;
    if (const int i = args.indexOf(QStringLiteral("--pace-seconds")); i > 0 && i + 1 < args.size())
        paceSeconds = std::max(1.0, args.at(i + 1).toDouble());

    reportJournalCost(299);
    out << "measurement " << (withWindow ? "with its window (painted off-screen)" : "core only")
        << ", every point journalled" << Qt::endl;
    // 300 cycles fit the scope; the run keeps 299 points and sends BREAK.
    report(QStringLiteral("high speed"), measure(1000, 10, 2, withWindow));
    if (!args.contains(QStringLiteral("--skip-pace"))) {
        const float scope = float(paceSeconds / 60);
        report(QStringLiteral("paced, one reply every %1 s").arg(paceSeconds / 300),
            measure(1, scope, float(paceSeconds / 300), withWindow));
        out << "target: below 2 % of one core at the instrument's pace" << Qt::endl;
    }
    return 0;
}
