#include "Zandorctl.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

CtlRun RunZandorctl(const QStringList &args, int timeoutMs)
{
    QString program = qEnvironmentVariable("ZANDORCTL");
    if (program.isEmpty())
        program = QCoreApplication::applicationDirPath() + QStringLiteral("/../zandorctl");
    QElapsedTimer clock;
    clock.start();
    QProcess ctl;
    ctl.start(program, args);
    ctl.closeWriteChannel();
    CtlRun r;
    if (!QTest::qWaitFor([&] { return ctl.state() == QProcess::NotRunning; }, timeoutMs)) {
        ctl.kill();
        ctl.waitForFinished();
        return r;
    }
    if (ctl.exitStatus() == QProcess::NormalExit)
        r.status = ctl.exitCode();
    r.out = QString::fromUtf8(ctl.readAllStandardOutput());
    r.err = QString::fromUtf8(ctl.readAllStandardError());
    r.millis = clock.elapsed();
    return r;
}
