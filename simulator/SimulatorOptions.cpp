#include "simulator/SimulatorOptions.h"

#include <QStringList>

namespace
{

bool readCount(const QString &text, int fallback, int *count)
{
    if (text.isEmpty()) {
        *count = fallback;
        return true;
    }
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0)
        return false;
    *count = value;
    return true;
}

} // namespace

bool SimulatorOptions::applyFault(const QString &fault, QString *error)
{
    const qsizetype eq = fault.indexOf(QLatin1Char('='));
    const QString name = eq < 0 ? fault : fault.left(eq);
    const QString count = eq < 0 ? QString() : fault.mid(eq + 1);
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (eq >= 0 && count.isEmpty())
        return fail(QStringLiteral("missing count in %1").arg(fault));

    bool ok = true;
    if (name == QLatin1String("drop"))
        ok = readCount(count, 1, &dropAfter);
    else if (name == QLatin1String("stall"))
        ok = readCount(count, 1, &stallAfter);
    else if (name == QLatin1String("gap"))
        ok = readCount(count, 1, &gapAt) && gapAt > 0;
    else if (name == QLatin1String("flood"))
        ok = readCount(count, 600, &floodCount);
    else if (!count.isEmpty())
        return fail(QStringLiteral("%1 takes no count").arg(name));
    else if (name == QLatin1String("err"))
        answerErr = true;
    else if (name == QLatin1String("garbage"))
        garbage = true;
    else if (name == QLatin1String("pair"))
        pairReplies = true;
    else if (name == QLatin1String("okfirst"))
        okFirst = true;
    else if (name == QLatin1String("split"))
        splitReplies = true;
    else if (name == QLatin1String("tail"))
        tailBlanks = true;
    else if (name == QLatin1String("okjoin"))
        okJoin = true;
    else
        return fail(QStringLiteral("unknown fault %1").arg(name));
    if (!ok)
        return fail(QStringLiteral("bad count in %1").arg(fault));
    return true;
}

QString SimulatorOptions::faultHelp()
{
    return QStringLiteral(
        "  drop[=k]    close the connection after k replies (greeting included; default 1)\n"
        "  stall[=k]   send nothing after k replies, keep the connection (default 1; 0: no "
        "greeting)\n"
        "  err         refuse every command with an ERR reply\n"
        "  garbage     follow every reply with a block of noise\n"
        "  pair        send data replies two to a packet\n"
        "  flood[=k]   answer ZERO and START with k data replies (default 600)\n"
        "  okfirst     answer ZERO and START with OK alone\n"
        "  split       send every reply after the greeting in two pieces\n"
        "  tail        put a blank behind every reply, before its line end\n"
        "  gap[=k]     withhold data reply k of every measurement, then pause past the\n"
        "              program's wait (one cycle and 12 s) (default 1)\n"
        "  okjoin      send the last data reply and OK in one packet\n");
}
