#include "store/DatabaseFileCheck.h"

#include "store/JetFileCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{

const QByteArray kMagic("SQLite format 3\0", 16);
const int kHeaderSize = 100;

quint32 bigEndian(const QByteArray &bytes, int at, int size)
{
    quint32 v = 0;
    for (int i = 0; i < size; ++i)
        v = (v << 8) | quint8(bytes.at(at + i));
    return v;
}

FileCheck problem(Database::Problem p, const QString &cause)
{
    return { p, cause };
}

} // namespace

FileCheck CheckDatabaseFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return problem(Database::Problem::NotSqlite, QStringLiteral("it is a folder"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return problem(Database::Problem::CannotRead,
            QStringLiteral("it cannot be read (%1)").arg(file.errorString()));
    if (!info.isWritable())
        return problem(Database::Problem::CannotRead, QStringLiteral("it cannot be written"));

    const qint64 size = file.size();
    if (size == 0)
        return problem(Database::Problem::Truncated, QStringLiteral("it is empty"));
    const QByteArray header = file.read(kHeaderSize);
    if (!header.startsWith(kMagic.left(std::min<qsizetype>(header.size(), kMagic.size())))) {
        if (CheckJetFile(path).isJet())
            return problem(Database::Problem::NotSqlite,
                QStringLiteral("it is a database of the earlier program (Jet format); convert it "
                               "with \"zandorctl migrate %1 --db %1\"")
                    .arg(QDir::toNativeSeparators(path)));
        return problem(Database::Problem::NotSqlite, QStringLiteral("it is not a database file"));
    }
    if (header.size() < kHeaderSize)
        return problem(Database::Problem::Truncated,
            QStringLiteral("it is truncated (shorter than its header)"));

    quint32 pageSize = bigEndian(header, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return problem(Database::Problem::Damaged,
            QStringLiteral("it is damaged (page size %1)").arg(pageSize));
    if (size % pageSize != 0)
        return problem(Database::Problem::Truncated,
            QStringLiteral("it is truncated (it ends inside a page)"));

    // The page count in the header is only valid when its check value matches
    // the change counter; older writers leave it stale. While a write-ahead
    // log lies beside the file, the pages missing at the end may still be in
    // the log (a crash or a full disk while the log was being folded in): the
    // engine reads them from there, so only the engine can tell.
    if (QFileInfo(path + QLatin1String("-wal")).size() > 0)
        return {};
    const quint32 changeCounter = bigEndian(header, 24, 4);
    const quint32 pages = bigEndian(header, 28, 4);
    const quint32 validFor = bigEndian(header, 92, 4);
    if (pages != 0 && validFor == changeCounter && qint64(pages) * pageSize > size)
        return problem(Database::Problem::Truncated,
            QStringLiteral("it is truncated (%1 of %2 pages present)")
                .arg(QString::number(size / pageSize), QString::number(pages)));
    return {};
}
