// zandorctl list: the directories and the stored graphs and patterns.
#include "core/Notation.h"
#include "core/StderrMessages.h"
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "ctl/ListOutput.h"
#include "store/Database.h"
#include "store/Store.h"

namespace
{

const char *typeName(int type)
{
    switch (type) {
    case DirectoryType::Graphs:
        return "graphs";
    case DirectoryType::Limits:
        return "limits";
    case DirectoryType::Patterns:
        return "patterns";
    default:
        return nullptr;
    }
}

void printStatus(ListOutput &out, int status)
{
    if (status == 4)
        out << "graph";
    else if (status == 2)
        out << "pattern";
    else
        out << qint64(status);
}

// Records stream from the store to the output one by one, so a file of any
// size is listed in little memory; an incomplete list ends with false.
bool printJson(Store &store, ListOutput &out)
{
    out << "{\n  \"directories\": [";
    const QList<DirectoryEntry> directories = store.listAllDirectories();
    const bool directoriesComplete = store.lastError().isEmpty();
    const char *separator = "\n";
    for (const DirectoryEntry &d : directories) {
        out << separator << "    {\"VerzID\": " << qint64(d.VerzID)
            << ", \"VerzTyp\": " << qint64(d.VerzTyp) << ", \"VerzName\": ";
        out.json(d.VerzName) << '}';
        separator = ",\n";
    }
    out << "\n  ],\n  \"records\": [";
    separator = "\n";
    const bool recordsComplete
        = directoriesComplete && store.forEachRecord([&](const RecordEntry &r) {
              out << separator << "    {\"UntID\": " << qint64(r.UntID)
                  << ", \"VerzID\": " << qint64(r.VerzID) << ", \"Status\": " << qint64(r.Status)
                  << ", \"Kovra\": ";
              out.json(r.Kovra) << '}';
              separator = ",\n";
          });
    out << "\n  ]\n}\n";
    return recordsComplete;
}

bool printText(Store &store, ListOutput &out)
{
    out << "directories (key, type, name):\n";
    const QList<DirectoryEntry> directories = store.listAllDirectories();
    if (!store.lastError().isEmpty())
        return false;
    for (const DirectoryEntry &d : directories) {
        out << "  " << qint64(d.VerzID) << '\t';
        if (const char *name = typeName(d.VerzTyp))
            out << name;
        else
            out << qint64(d.VerzTyp);
        out << '\t' << d.VerzName << '\n';
    }
    out << "records (key, directory, status, name):\n";
    return store.forEachRecord([&](const RecordEntry &r) {
        out << "  " << qint64(r.UntID) << '\t' << qint64(r.VerzID) << '\t';
        printStatus(out, r.Status);
        out << '\t' << r.Kovra << '\n';
    });
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
    ListOutput out(stdout);
    const bool complete = json ? printJson(store, out) : printText(store, out);
    const bool written = out.flush();
    if (!complete) {
        messages.show(QStringLiteral("the list is not complete: %1").arg(store.lastError()));
        return 1;
    }
    if (!written) {
        messages.show(QStringLiteral("the list could not be written in full"));
        return 1;
    }
    return 0;
}

} // namespace

ZANDORCTL_COMMAND(
    "list", "the directories and the stored graphs and patterns", declareList, runList);
