#include "core/StderrMessages.h"

#include <QTextStream>
#include <cstdio>

void StderrMessages::write(const QString &text)
{
    // Message boxes break lines with carriage returns; a log wants one line
    // end per line.
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextStream(stderr) << m_prefix << ": " << lines << Qt::endl;
    shown.append(text);
    if (onMessage)
        onMessage(text);
}

void StderrMessages::show(const QString &text, Icon)
{
    write(text);
}

bool StderrMessages::askYesNo(const QString &text)
{
    write(text + QStringLiteral(" (answered No)"));
    return false;
}

bool StderrMessages::askOkCancel(const QString &text)
{
    write(text + QStringLiteral(" (answered Cancel)"));
    return false;
}
