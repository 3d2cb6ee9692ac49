#pragma once

#include "StoreFixture.h"

#include "store/SqliteFile.h"

#include <QSqlQuery>
#include <sys/mount.h>

// What the engine says of a file, seen from a connection of its own.
inline QString integrityOf(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return QStringLiteral("no file %1").arg(path); // the engine would make one
    SqliteFile::SideConnection side(path);
    if (!side.problem().isEmpty())
        return side.problem();
    const SqliteFile::Verdict v = SqliteFile::integrity(side.db());
    return v.sound() ? QStringLiteral("ok") : v.text;
}

// Record names in a file, read on a connection of its own.
inline QStringList recordNames(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return {};
    SqliteFile::SideConnection side(path);
    QStringList names;
    QSqlQuery q(side.db());
    if (q.exec(QStringLiteral("SELECT Kovra FROM Untersuchungen ORDER BY UntID")))
        while (q.next())
            names << q.value(0).toString();
    return names;
}

// Scribbles over the middle of a closed file's pages, leaving its header
// sound: the file opens, and the engine finds the damage when it reads there.
inline bool damageMiddlePage(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    file.seek(file.size() / 4096 / 2 * 4096 + 8);
    return file.write(QByteArray(2000, '\x5a')) == 2000;
}

// The first page of a table or index, counted from 1.
inline int rootPage(Database &db, const QString &name)
{
    QSqlQuery q(db.connection());
    q.prepare(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = ?"));
    q.addBindValue(name);
    return q.exec() && q.next() ? q.value(0).toInt() : -1;
}

// Scribbles over one page of a closed file.
inline bool damagePage(const QString &path, int page)
{
    QFile file(path);
    if (page < 2 || !file.open(QIODevice::ReadWrite))
        return false;
    file.seek(qint64(page - 1) * 4096);
    return file.write(QByteArray(4096, '\x5a')) == 4096;
}

// Fills a store with graphs of 300 points and deletes every second one, so
// that a compaction has work to do. Returns the keys kept.
inline QList<qint32> fillHalf(StoreFixture &f, qint32 &dir, int count = 60)
{
    dir = *f.store.addDirectory(DirectoryType::Graphs, "g");
    QList<qint32> kept;
    for (int i = 0; i < count; ++i) {
        BoxRecord b = sampleGraph(i, 300);
        f.store.SaveBox(b, SaveMode::Add, b.Kovra, dir);
        if (i % 2)
            f.store.deleteRecord(b.UntID);
        else
            kept << b.UntID;
    }
    return kept;
}

// A file system of its own, `size` big ("2m"), mounted on a new folder of
// dir for as long as this lives. Mounting needs root: mounted() says
// whether it was permitted.
class SmallDisk
{
public:
    SmallDisk(const QTemporaryDir &dir, const char *size)
        : m_path(dir.filePath(QStringLiteral("small")))
    {
        const QByteArray options = QByteArray("size=") + size;
        m_mounted = QDir().mkpath(m_path)
            && ::mount(
                   "tmpfs", QFile::encodeName(m_path).constData(), "tmpfs", 0, options.constData())
                == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool mounted() const { return m_mounted; }
    QString filePath(const QString &name) const { return m_path + QLatin1Char('/') + name; }

private:
    QString m_path;
    bool m_mounted = false;
};

// A small disk for the test, or the test skipped where mounting one is not
// permitted.
#define SMALL_DISK_OR_SKIP(disk, dir, size)                                                        \
    const SmallDisk disk(dir, size);                                                               \
    if (!disk.mounted())                                                                           \
        QSKIP("mounting a small tmpfs is not permitted here (needs root); the full-disk "          \
              "test did not run");

// Writes a file until the disk holding it is full.
inline void fillDisk(const QString &path)
{
    QFile ballast(path);
    if (!ballast.open(QIODevice::WriteOnly))
        return;
    const QByteArray block(16 * 1024, 'b');
    while (ballast.write(block) == block.size() && ballast.flush()) { }
}
