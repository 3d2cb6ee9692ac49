// zandorctl list: the directories and the stored graphs and patterns.
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "core/StderrMessages.h"
#include "core/Notation.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace
{

QString typeName(int type)
{
    switch (type) {
    case DirectoryType::Graphs:
        return QStringLiteral("graphs");
    case DirectoryType::Limits:
        return QStringLiteral("limits");
    case DirectoryType::Patterns:
        return QStringLiteral("patterns");
    default:
        return QString::number(type);
    }
}

QString statusName(int status)
{
    return status == 4 ? QStringLiteral("graph")
        : status == 2  ? QStringLiteral("pattern")
                       : QString::number(status);
}

void printJson(const QList<DirectoryEntry> &directories, const QList<RecordEntry> &records)
{
    QJsonArray dirs, recs;
    for (const DirectoryEntry &d : directories)
        dirs.append(QJsonObject {
            { "VerzID", d.VerzID }, { "VerzTyp", d.VerzTyp }, { "VerzName", d.VerzName } });
    for (const RecordEntry &r : records)
        recs.append(QJsonObject { { "UntID", r.UntID }, { "VerzID", r.VerzID },
            { "Status", r.Status }, { "Kovra", r.Kovra } });
    QTextStream(stdout) << QJsonDocument(
        QJsonObject { { "directories", dirs },
            { "records",
                recs } }).toJson(QJsonDocument::Indented);
}

void printText(const QList<DirectoryEntry> &directories, const QList<RecordEntry> &records)
{
    QTextStream out(stdout);
    out << "directories (key, type, name):\n";
    for (const DirectoryEntry &d : directories)
        out << "  " << d.VerzID << '\t' << typeName(d.VerzTyp) << '\t' << d.VerzName << '\n';
    out << "records (key, directory, status, name):\n";
    for (const RecordEntry &r : records)
        out << "  " << r.UntID << '\t' << r.VerzID << '\t' << statusName(r.Status) << '\t'
            << r.Kovra << '\n';
}

void declareList(QCommandLineParser &parser)
{
    AddDatabaseOption(parser);
    parser.addOption(
        QCommandLineOption(QStringLiteral("json"), QStringLiteral("Print the lists as JSON.")));
}

int runList(const CtlInvocation &call)
{
    StderrMessages messages(QStringLiteral("zandorctl list"));
    if (!call.parser.positionalArguments().isEmpty())
        return call.usageError(QStringLiteral("unexpected argument '")
            + call.parser.positionalArguments().first() + QLatin1Char('\''));
    const QString dbPath = DatabasePath(call.parser);
    const bool json = call.parser.isSet(QStringLiteral("json"));

    Database db;
    if (!OpenCommandDatabase(db, dbPath, messages))
        return 1;
    const Notation notation = Notation::fromSystem();
    Store store(db, notation);
    const QList<DirectoryEntry> directories = store.listAllDirectories();
    const QList<RecordEntry> records = store.listAllRecords();
    if (!store.lastError().isEmpty()) {
        messages.show(store.lastError());
        return 1;
    }
    if (json)
        printJson(directories, records);
    else
        printText(directories, records);
    return 0;
}

} // namespace

ZANDORCTL_COMMAND("list", "the directories and the stored graphs and patterns", declareList,
    runList);
