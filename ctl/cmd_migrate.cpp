// zandorctl migrate: converts a database of the earlier program (Jet
// format) into a database of this program. The program runs this command
// as a process of its own, reading the progress lines from its output.
#include "core/StderrMessages.h"
#include "ctl/CtlCommand.h"
#include "store/JetMigration.h"

#include <QTextStream>

namespace
{

const QString kReplace = QStringLiteral("replace");
const QString kProgress = QStringLiteral("progress");

void declareMigrate(QCommandLineParser &parser)
{
    AddDatabaseOption(parser);
    parser.addOption(QCommandLineOption(kReplace,
        QStringLiteral("Replace an existing database; it is kept beside it as a backup.")));
    parser.addOption(QCommandLineOption(
        kProgress, QStringLiteral("Write \"progress DONE TOTAL\" lines while converting.")));
    parser.addPositionalArgument(QStringLiteral("OLD"),
        QStringLiteral("The database file of the earlier program (Jet/Access .mdb)."),
        QStringLiteral("OLD.mdb"));
}

int runMigrate(const CtlInvocation &call)
{
    StderrMessages messages(QStringLiteral("zandorctl migrate"));
    const QStringList files = call.parser.positionalArguments();
    if (files.size() != 1)
        return call.usageError(files.isEmpty() ? QStringLiteral("no file to convert given")
                                               : QStringLiteral("one file to convert at a time"));
    QTextStream out(stdout);
    int lastPercent = -1;
    MigrationProgress progress;
    if (call.parser.isSet(kProgress)) {
        // One line per percent: enough for a progress bar, little for a pipe.
        progress = [&](qint64 done, qint64 total) {
            const int percent = total > 0 ? int(done * 100 / total) : 100;
            if (percent == lastPercent)
                return;
            lastPercent = percent;
            out << "progress " << done << ' ' << total << Qt::endl;
        };
    }
    const MigrationResult result = MigrateJetDatabase(
        files.first(), DatabasePath(call.parser), call.parser.isSet(kReplace), progress);
    if (!result.ok) {
        messages.show(result.message);
        return 1;
    }
    out << result.message << '\n' << result.report.text() << Qt::endl;
    return 0;
}

} // namespace

ZANDORCTL_COMMAND("migrate", "convert a database of the earlier program (Jet format)",
    declareMigrate, runMigrate);
