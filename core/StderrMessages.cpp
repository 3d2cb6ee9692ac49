#include "core/StderrMessages.h"

#include <QByteArray>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace
{

// Longer lines are not passwords anyone types; the rest is read and dropped.
const int kLongestPassword = 1024;

// One line from fd, byte by byte so that nothing after it is taken from a
// shared standard input. Empty when the input ends before anything came.
std::optional<QByteArray> readLine(int fd)
{
    QByteArray line;
    char c = 0;
    bool any = false;
    for (;;) {
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        any = true;
        if (c == '\n')
            break;
        if (line.size() < kLongestPassword)
            line.append(c);
    }
    if (!any)
        return std::nullopt;
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

} // namespace

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

// The terminal rather than standard input when there is one: input may be
// a pipe of data, and only on a terminal can the echo be turned off.
std::optional<QString> StderrMessages::askPassword(const QString &prompt)
{
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    const int fd = tty >= 0 ? tty : STDIN_FILENO;
    termios before {};
    const bool quiet = tty >= 0 && ::tcgetattr(fd, &before) == 0;
    if (quiet) {
        termios silent = before;
        silent.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(fd, TCSAFLUSH, &silent);
    }
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    std::optional<QByteArray> line = readLine(fd);
    if (quiet)
        ::tcsetattr(fd, TCSAFLUSH, &before);
    // The line end typed was not echoed; what is written next starts a line.
    std::fputs("\n", stderr);
    std::fflush(stderr);
    if (tty >= 0)
        ::close(tty);
    if (!line)
        return std::nullopt;
    const QString password = QString::fromLocal8Bit(*line);
    line->fill('\0');
    return password;
}
