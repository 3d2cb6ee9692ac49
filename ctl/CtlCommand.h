#pragma once

#include <QCommandLineParser>
#include <QList>
#include <QString>

// One call of a zandorctl command: its parsed command line, and the one way
// every command refuses a command line ("zandorctl COMMAND: ...", status 2).
struct CtlInvocation
{
    QString command;
    const QCommandLineParser &parser;

    int usageError(const QString &text) const;
};

// A zandorctl command: each lives in its own file and registers itself with
// ZANDORCTL_COMMAND, so adding one touches no other file. `declare` adds its
// options and positional arguments; the shared driver parses, answers --help
// and refuses unknown options before `run` is called.
struct CtlCommand
{
    const char *name;
    const char *summary; // one line in the list of commands
    void (*declare)(QCommandLineParser &parser);
    int (*run)(const CtlInvocation &call);
};

QList<CtlCommand> &CtlCommands();

struct CtlRegistrar
{
    explicit CtlRegistrar(const CtlCommand &command) { CtlCommands().append(command); }
};

#define ZANDORCTL_COMMAND(name, summary, declare, run) \
    static const CtlRegistrar registrar_##run(CtlCommand{name, summary, declare, run})

// The database option every command that works on a database shares.
void AddDatabaseOption(QCommandLineParser &parser);
QString DatabasePath(const QCommandLineParser &parser);

// Usage exit status: the command line was wrong, nothing was done.
constexpr int UsageStatus = 2;
