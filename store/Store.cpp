#include "store/Store.h"

#include "store/Database.h"
#include "store/SqlHelpers.h"

namespace
{
const int kNameSize = 50;

DirectoryEntry directoryFrom(const QSqlQuery &q)
{
    return { q.value(0).toInt(), q.value(1).toString(), q.value(2).toInt() };
}
} // namespace

Store::Store(Database &db, const Notation &notation)
    : m_db(db)
    , m_notation(notation)
{
}

QString Store::lastError() const
{
    return m_db.lastError();
}

QString Store::normalisedName(const QString &name)
{
    return name.trimmed().left(kNameSize).trimmed();
}

QList<DirectoryEntry> Store::listDirectories(int type)
{
    QList<DirectoryEntry> out;
    QSqlQuery &q = m_db.prepared(QStringLiteral(
        "SELECT VerzID, VerzName, VerzTyp FROM Verzeichnisse WHERE VerzTyp = ? ORDER BY VerzID"));
    Sql::Finish finish(q);
    m_db.setLastError({});
    if (!Sql::run(m_db, q, { type }))
        return out;
    while (q.next())
        out.append(directoryFrom(q));
    Sql::endedCleanly(m_db, q);
    return out;
}

QList<DirectoryEntry> Store::listAllDirectories()
{
    QList<DirectoryEntry> out;
    QSqlQuery &q = m_db.prepared(
        QStringLiteral("SELECT VerzID, VerzName, VerzTyp FROM Verzeichnisse ORDER BY VerzID"));
    Sql::Finish finish(q);
    m_db.setLastError({});
    if (!Sql::run(m_db, q))
        return out;
    while (q.next())
        out.append(directoryFrom(q));
    Sql::endedCleanly(m_db, q);
    return out;
}

std::optional<qint32> Store::findDirectory(int type, const QString &name)
{
    QSqlQuery &q = m_db.prepared(
        QStringLiteral("SELECT VerzID FROM Verzeichnisse INDEXED BY Verzeichnisse_VerzName "
                       "WHERE VerzTyp = ? AND VerzName = ? ORDER BY VerzID LIMIT 1"));
    Sql::Finish finish(q);
    if (!Sql::run(m_db, q, { type, normalisedName(name) }) || !q.next())
        return std::nullopt;
    return q.value(0).toInt();
}

std::optional<qint32> Store::addDirectory(int type, const QString &name)
{
    const QString wanted = normalisedName(name);
    if (wanted.isEmpty()) {
        m_db.setLastError(QStringLiteral("a directory needs a name"));
        return std::nullopt;
    }
    qint32 key = 0;
    const bool added = m_db.transaction([&] {
        if (findDirectory(type, wanted)) {
            m_db.setLastError(QStringLiteral("a directory of this name and type exists"));
            return false;
        }
        QSqlQuery &q = m_db.prepared(
            QStringLiteral("INSERT INTO Verzeichnisse (VerzName, VerzTyp) VALUES (?, ?)"));
        if (!Sql::run(m_db, q, { wanted, type }))
            return false;
        key = q.lastInsertId().toInt();
        return true;
    });
    if (!added)
        return std::nullopt;
    return key;
}

bool Store::deleteDirectory(qint32 verzId)
{
    return m_db.transaction([&] {
        QSqlQuery &type
            = m_db.prepared(QStringLiteral("SELECT VerzTyp FROM Verzeichnisse WHERE VerzID = ?"));
        int verzTyp = 0;
        {
            Sql::Finish finish(type);
            if (!Sql::run(m_db, type, { verzId }))
                return false;
            if (!type.next()) {
                m_db.setLastError(QStringLiteral("there is no directory %1").arg(verzId));
                return false;
            }
            verzTyp = type.value(0).toInt();
        }
        // Records of a deleted directory could never be listed again.
        const std::optional<bool> empty = isDirectoryEmpty(verzId, verzTyp);
        if (!empty)
            return false; // the engine's complaint, not "not empty"
        if (!*empty) {
            m_db.setLastError(QStringLiteral("the directory is not empty"));
            return false;
        }
        QSqlQuery &q = m_db.prepared(QStringLiteral("DELETE FROM Verzeichnisse WHERE VerzID = ?"));
        return Sql::run(m_db, q, { verzId });
    });
}

std::optional<bool> Store::isDirectoryEmpty(qint32 verzId, int type)
{
    QSqlQuery &q = m_db.prepared(type == DirectoryType::Limits
            ? QStringLiteral("SELECT 1 FROM Grenzwerte WHERE VerzID = ? LIMIT 1")
            : QStringLiteral("SELECT 1 FROM Untersuchungen WHERE VerzID = ? LIMIT 1"));
    Sql::Finish finish(q);
    if (!Sql::run(m_db, q, { verzId }))
        return std::nullopt;
    const bool found = q.next();
    if (!found && !Sql::endedCleanly(m_db, q))
        return std::nullopt;
    return !found;
}
