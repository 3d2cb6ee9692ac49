#pragma once

#include <QList>
#include <QStringList>

// A zandorctl command: each lives in its own file and registers itself with
// ZANDORCTL_COMMAND, so adding one touches no other file.
struct CtlCommand
{
    const char *name;
    const char *usage;
    int (*run)(const QStringList &args); // args without the command name
};

QList<CtlCommand> &CtlCommands();

struct CtlRegistrar
{
    explicit CtlRegistrar(const CtlCommand &command) { CtlCommands().append(command); }
};

#define ZANDORCTL_COMMAND(name, usage, function) \
    static const CtlRegistrar registrar_##function(CtlCommand{name, usage, function})
