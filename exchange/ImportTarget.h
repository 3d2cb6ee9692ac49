#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

struct BoxRecord;
class OperatorMessages;
class Store;

// Stores imported specimens in the directory "import" of their kind: graph
// directories for a record with a curve, pattern directories otherwise.
// Each directory is looked up (and made when missing) once per target; a
// target lives for one import run, so a directory deleted between two runs
// is made anew instead of receiving records under a stale key.
class ImportTarget
{
public:
    explicit ImportTarget(Store &store)
        : m_store(store)
    {
    }

    // Adds the record, or overwrites the one of the same name in that
    // directory, deciding and writing in one transaction. The box itself is
    // not changed. False when the database refused; Store::lastError() says
    // why. notes gets what the operator should know about a stored record:
    // a name that had to be changed, dates that are no dates.
    bool StoreImportedGraph(const BoxRecord &box, QStringList *notes = nullptr);

    QString lastError() const;

    static QString directoryName() { return QStringLiteral("import"); }
    // The name a specimen is stored under. Names of up to 50 characters stay
    // as they are; a longer one keeps its first 41 characters and gets "~"
    // and 8 characters derived from the whole name, so that two files whose
    // names agree in their first 50 characters never replace each other,
    // while importing the same file again replaces its record.
    static QString storedName(const QString &fullName);

private:
    std::optional<qint32> importDirectory(int type);

    Store &m_store;
    std::array<std::optional<qint32>, 3> m_directories {}; // by directory type
};

// One file of an import run: reads fileName (the specimen name gets
// displayName + "->" in front) into buffer and stores it. A file that cannot
// be read is reported twice, as the operator knows it from the reader and
// then with its full name; nothing is stored then. Returns true when the
// file is in the database.
bool ImportOneFile(const QString &fileName, const QString &displayName, BoxRecord &buffer,
    ImportTarget &target, OperatorMessages &messages);
