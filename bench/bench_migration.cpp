// Converts a database of the earlier program with 10,000 stored graphs and
// patterns (written by the tests' Jet writer, curves of 1 to 299 points)
// and prints the time the conversion takes: once in-process, once as the
// program runs it, `zandorctl migrate` in a process of its own.
#include "store/JetMigration.h"
#include "support/JetWriter.h"
#include "support/OldDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("old.mdb"));
    if (!Jet::writeJet4File(source, OldDatabase::tables(records, 1))) {
        out << "cannot write the old database\n";
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    const MigrationResult r
        = MigrateJetDatabase(source, dir.filePath(QStringLiteral("a.mdb")), false);
    const double inProcess = timer.nsecsElapsed() / 1e9;
    if (!r.ok) {
        out << r.message << "\n";
        return 1;
    }
    out << "in-process:  " << records << " records (" << QFileInfo(source).size() / 1048576
        << " MB) in " << QString::number(inProcess, 'f', 2) << " s (target < 10 s)\n";

    const QString ctl = QCoreApplication::applicationDirPath() + QStringLiteral("/../zandorctl");
    if (QFileInfo(ctl).isExecutable()) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        timer.restart();
        process.start(ctl,
            { QStringLiteral("migrate"), source, QStringLiteral("--db"),
                dir.filePath(QStringLiteral("b.mdb")), QStringLiteral("--progress") });
        const bool finished = process.waitForFinished(-1);
        const int code
            = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        const double viaProcess = timer.nsecsElapsed() / 1e9;
        out << "zandorctl:   " << records << " records in " << QString::number(viaProcess, 'f', 2)
            << " s" << (code == 0 ? "" : " (failed)") << " (target < 10 s)\n";
    }
    return 0;
}
