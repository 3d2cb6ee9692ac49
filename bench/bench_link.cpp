// CPU time the program spends while it waits on the instrument: once for a
// NetPC that greets and then stays silent, once for a zero-point run against
// the simulator (run as a process of its own, so only the program's time is
// counted). Target: below 2 % of one core. --quick shortens both.
#include "instrument/NetLink.h"
#include "instrument/ReplyWait.h"
#include "instrument/ZeroPointDetermination.h"
#include "core/ScriptedMessages.h"
#include "core/Settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimer>
#include <ctime>

using namespace std::chrono_literals;

namespace
{

double cpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

struct Figures {
    double wall = 0;
    double cpu = 0;
};

void report(const char *what, const Figures &f)
{
    QTextStream(stdout) << what << ": wall " << QString::number(f.wall, 'f', 2) << " s, cpu "
                        << QString::number(f.cpu, 'f', 4) << " s, "
                        << QString::number(100.0 * f.cpu / f.wall, 'f', 3) << " % of one core"
                        << Qt::endl;
}

bool connectLink(NetLink &link, quint16 port)
{
    QEventLoop loop;
    bool greeted = false;
    QObject::connect(&link, &NetLink::connectFinished, &loop, [&](bool ok) {
        greeted = ok;
        loop.quit();
    });
    link.ConnectNetPC(QStringLiteral("127.0.0.1"), port);
    loop.exec();
    return greeted;
}

// A NetPC that greets and then never answers.
Figures silentWait(std::chrono::milliseconds wait)
{
    QTcpServer peer;
    peer.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&peer, &QTcpServer::newConnection, [&peer] {
        QTcpSocket *s = peer.nextPendingConnection();
        s->write("gol_kovra\r\n");
    });
    ScriptedMessages messages;
    NetLink link(messages);
    if (!connectLink(link, peer.serverPort()))
        return {};

    ReplyWait waitForOk(link);
    QEventLoop loop;
    QObject::connect(&waitForOk, &ReplyWait::finished, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    link.SendNetPC(QStringLiteral("INIT"));
    waitForOk.start(NetLink::StateOk, wait);
    loop.exec();
    return { wall.elapsed() / 1000.0, cpuSeconds() - cpu0 };
}

Figures zeroPointRun(double speed)
{
    const QString simulator
        = QCoreApplication::applicationDirPath() + QStringLiteral("/../netpc-sim");
    if (!QFileInfo::exists(simulator)) {
        QTextStream(stderr) << "bench_link: " << simulator << " not built" << Qt::endl;
        return {};
    }
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    QProcess sim;
    sim.start(simulator,
        { QStringLiteral("--port"), QString::number(port), QStringLiteral("--speed"),
            QString::number(speed) });
    sim.waitForReadyRead(5000); // the line that says it listens

    ScriptedMessages messages;
    NetLink link(messages);
    Figures f;
    if (connectLink(link, port)) {
        Settings settings;
        ZeroPointDetermination zero(link, messages, settings);
        QEventLoop loop;
        QObject::connect(&zero, &ZeroPointDetermination::finished, &loop, &QEventLoop::quit);
        QElapsedTimer wall;
        const double cpu0 = cpuSeconds();
        wall.start();
        zero.start();
        loop.exec();
        f = { wall.elapsed() / 1000.0, cpuSeconds() - cpu0 };
        QTextStream(stdout) << "zero point " << settings.ZeroPoint << " from " << link.dataCount()
                            << " readings" << Qt::endl;
    }
    sim.kill();
    sim.waitForFinished();
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    report(quick ? "silent NetPC, 3 s wait" : "silent NetPC, 30 s wait",
        silentWait(quick ? 3000ms : 30000ms));
    report(
        quick ? "zero point, simulator at speed 10" : "zero point, simulator at instrument speed",
        zeroPointRun(quick ? 10 : 1));
    return 0;
}
