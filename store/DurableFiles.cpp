#include "store/DurableFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace DurableFiles
{

QString flush(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || ::fsync(f.handle()) != 0)
        return QStringLiteral("cannot flush %1 to disk").arg(path);
    return {};
}

QString flushFolder(const QString &path)
{
    // QFile opens no folders; the system call does.
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool flushed = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!flushed)
        return QStringLiteral("cannot flush the folder of %1 to disk").arg(path);
    return {};
}

QString renameOver(const QString &source, const QString &target)
{
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData())
        != 0)
        return QStringLiteral("cannot rename %1 to %2").arg(source, target);
    return flushFolder(target);
}

QString copyReplacing(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(source, in.errorString());
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(target, out.errorString());
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            return QStringLiteral("cannot read %1: %2").arg(source, in.errorString());
        if (out.write(chunk) != chunk.size())
            return QStringLiteral("cannot write %1: %2").arg(target, out.errorString());
    }
    // QSaveFile flushes the new file before it renames it over the old one.
    if (!out.commit())
        return QStringLiteral("cannot write %1: %2").arg(target, out.errorString());
    return flushFolder(target);
}

QString resolved(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

} // namespace DurableFiles
