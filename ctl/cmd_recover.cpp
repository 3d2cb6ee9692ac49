// zandorctl recover: the measurements a crash or a kill interrupted, listed
// from the run journal and, with --save, stored as graphs.
#include "core/Notation.h"
#include "core/StderrMessages.h"
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "evaluation/CurveText.h"
#include "instrument/RunJournalWriter.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>
#include <algorithm>

namespace
{

struct Recovered {
    RunJournal::Interrupted run;
    BoxRecord box;
};

// A text as a JSON string, quotes and control characters escaped.
QString jsonText(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString runJson(const Recovered &r)
{
    QStringList points;
    for (int i = 0; i < r.box.pointCount(); ++i)
        points << QStringLiteral("[%1, %2]")
                      .arg(RoundTripFloat(r.box.y[size_t(i)]), RoundTripFloat(r.box.x[size_t(i)]));
    QStringList fields {
        QStringLiteral("\"id\": %1").arg(r.run.id),
        QStringLiteral("\"box\": %1").arg(r.run.boxNr),
        QStringLiteral("\"name\": %1").arg(jsonText(r.box.Kovra)),
        QStringLiteral("\"begun\": %1").arg(jsonText(r.run.begun.toString(Qt::ISODate))),
        QStringLiteral("\"complete\": false"),
        QStringLiteral("\"missing\": %1").arg(r.box.Fehlend),
    };
    for (int k = 1; k <= 5; ++k)
        fields << QStringLiteral("\"Erg%1\": %2")
                      .arg(QString::number(k), RoundTripFloat(r.box.Erg[size_t(k)]));
    fields << QStringLiteral("\"points\": [%1]").arg(points.join(QStringLiteral(", ")));
    return QStringLiteral("{") + fields.join(QStringLiteral(", ")) + QStringLiteral("}");
}

QString runText(const Recovered &r)
{
    return QStringLiteral("run %1: \"%2\" in box %3, begun %4, %5 points, %6 missing\n")
        .arg(QString::number(r.run.id), r.box.Kovra.trimmed(), QString::number(r.run.boxNr),
            r.run.begun.toString(Qt::ISODate),
            QString::number(std::max(0, r.box.pointCount() - 1)), QString::number(r.box.Fehlend));
}

// Stores the run as a graph under its specimen name; false with a reason.
bool saveRun(Store &store, Recovered &r, const QString &directory, QString &error)
{
    if (r.box.Kovra.trimmed().isEmpty()) {
        error = QStringLiteral("run %1 has no specimen name").arg(r.run.id);
        return false;
    }
    auto dir = store.findDirectory(DirectoryType::Graphs, directory);
    if (!dir)
        dir = store.addDirectory(DirectoryType::Graphs, directory);
    if (!dir) // another program may have made it meanwhile
        dir = store.findDirectory(DirectoryType::Graphs, directory);
    if (dir && store.findRecord(*dir, r.box.Kovra)) {
        error = QStringLiteral("directory \"%1\" already holds a graph named \"%2\"")
                    .arg(directory, r.box.Kovra.trimmed());
        return false;
    }
    if (!dir || !store.SaveBox(r.box, SaveMode::Add, r.box.Kovra, *dir)) {
        error = QStringLiteral("cannot store run %1: %2")
                    .arg(QString::number(r.run.id), store.lastError());
        return false;
    }
    return true;
}

void declareRecover(QCommandLineParser &parser)
{
    AddDatabaseOption(parser);
    parser.addOption(QCommandLineOption(
        QStringLiteral("json"), QStringLiteral("Print the interrupted runs as JSON.")));
    parser.addOption(QCommandLineOption(QStringLiteral("save"),
        QStringLiteral("Store each run as a graph under its specimen name in this graph "
                       "directory and clear its journal."),
        QStringLiteral("DIRECTORY")));
}

int runRecover(const CtlInvocation &call)
{
    StderrMessages messages(QStringLiteral("zandorctl recover"));
    const QCommandLineParser &parser = call.parser;
    if (!parser.positionalArguments().isEmpty())
        return call.usageError(QStringLiteral("unexpected argument '")
            + parser.positionalArguments().first() + QLatin1Char('\''));
    const QString directory = parser.value(QStringLiteral("save")).trimmed();
    if (parser.isSet(QStringLiteral("save")) && directory.isEmpty())
        return call.usageError(QStringLiteral("--save needs a directory name"));

    Database database;
    if (!OpenCommandDatabase(database, DatabasePath(parser), messages))
        return 1;
    const Notation notation = Notation::fromSystem();
    Store store(database, notation);
    RunJournal journal(database);
    QList<Recovered> runs;
    for (const RunJournal::Interrupted &run : journal.interrupted())
        runs.append({ run, RestoredEvaluatedBox(run) });

    int status = 0;
    if (!directory.isEmpty()) {
        for (Recovered &r : runs) {
            QString error;
            if (!saveRun(store, r, directory, error)) {
                messages.show(error);
                status = 3;
                continue;
            }
            journal.clear(r.run.id);
        }
    }

    QTextStream out(stdout);
    if (parser.isSet(QStringLiteral("json"))) {
        QStringList items;
        for (const Recovered &r : runs)
            items << runJson(r);
        out << "{\"runs\": [" << items.join(QStringLiteral(",\n  ")) << "]}\n";
    } else {
        if (runs.isEmpty())
            out << "no interrupted measurement\n";
        for (const Recovered &r : runs)
            out << runText(r);
    }
    return status;
}

} // namespace

ZANDORCTL_COMMAND("recover", "measurements cut off by a crash, listed or stored as graphs",
    declareRecover, runRecover);
