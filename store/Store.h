#pragma once

#include <QDate>
#include <QList>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

class Database;
class Notation;
struct BoxRecord;
struct Settings;

// Directory types of the table Verzeichnisse.
namespace DirectoryType
{
constexpr int Graphs = 0;
constexpr int Limits = 1;
constexpr int Patterns = 2;
} // namespace DirectoryType

// Modes of SaveBox.
namespace SaveMode
{
constexpr int Overwrite = 0; // the record whose key is the box's UntID
constexpr int Add = 1; // a new record
} // namespace SaveMode

struct DirectoryEntry {
    qint32 VerzID = 0;
    QString VerzName;
    int VerzTyp = 0;
};

struct RecordEntry {
    qint32 UntID = 0;
    qint32 VerzID = 0;
    int Status = 0;
    QString Kovra;
};

// A named set of lower and upper limits for the five results (1..5).
struct LimitFile {
    qint32 GrwID = -1; // -1 until added
    QString GrwName;
    qint32 VerzID = 0;
    std::array<float, 6> lower {};
    std::array<float, 6> upper {};
};

// The settings columns that only the other-adjustments dialog reads: the box
// and scope of time chosen for the next start.
struct StartChoices {
    int AEB = 1;
    float AZB = 10;
};

// Everything the program does with the tables of the database.
//
// Names: every name handed in (directory, record, limit file) is trimmed of
// leading and trailing blanks and cut to 50 characters by the store itself,
// the same way when storing and when looking up, so callers may pass the
// operator's text as typed. Comparison is exact (case-sensitive).
// Lists come in table order (ascending key); a lookup returns the first match
// in that order (the lowest key). A list is complete when lastError() is
// empty afterwards; when a row cannot be read the list holds what came
// before it and lastError() names the engine's complaint.
//
// Failures come back as values (false / empty optional) with lastError();
// the store never talks to the operator. Every write is one transaction.
class Store
{
public:
    Store(Database &db, const Notation &notation);
    // The store keeps a reference; a temporary notation would dangle.
    Store(Database &db, Notation &&notation) = delete;

    Database &database() { return m_db; }
    const Notation &notation() const { return m_notation; }
    QString lastError() const;
    static QString normalisedName(const QString &name);

    // Directories.
    QList<DirectoryEntry> listDirectories(int type);
    QList<DirectoryEntry> listAllDirectories(); // all types, table order
    std::optional<qint32> findDirectory(int type, const QString &name);
    std::optional<qint32> addDirectory(int type, const QString &name); // the new key
    bool deleteDirectory(qint32 verzId);
    // Graph and pattern directories (types 0, 2) are tested against the stored
    // records of any status, limit directories (1) against the limit files.
    // Empty optional when the engine could not tell (lastError() says why).
    std::optional<bool> isDirectoryEmpty(qint32 verzId, int type);

    // Stored graphs and patterns.
    QList<RecordEntry> listRecords(qint32 verzId);
    QList<RecordEntry> listAllRecords(); // every directory, table order
    // The same, handed to fn one by one as they are read from the listing
    // index, so that no list of the whole table is ever held. True when all
    // were read.
    bool forEachRecord(const std::function<void(const RecordEntry &)> &fn);
    std::optional<qint32> findRecord(qint32 verzId, const QString &name);
    // Stores the box under name in directory verzId: mode 1 adds a record,
    // any other mode overwrites the record box.UntID. Sets the box's Kovra,
    // VerzID, Stored and (when adding) UntID; Changed is the caller's. A
    // pattern (Status 2) stores the specimen data only; overwriting a graph
    // with a pattern clears the curve, adjustment, result and limit columns.
    // Date texts that are no date are stored as Null. The name must not be
    // another record's in that directory at the moment of writing: checked
    // in the same transaction as the write.
    bool SaveBox(BoxRecord &box, int mode, const QString &name, qint32 verzId);
    // Stores the box as the record of that name in directory verzId:
    // overwrites it when there is one, adds one otherwise, deciding and
    // writing in one transaction. *replaced tells which it was.
    bool SaveByName(BoxRecord &box, const QString &name, qint32 verzId, bool *replaced = nullptr);
    // Fills the box from record key. Null text columns leave the box's field
    // as it was; a date column without a date empties the box's field; a pattern gets today's test
    // date and keeps its curve, adjustments, results and limits.
    bool LoadBox(BoxRecord &box, qint32 key, QDate today = QDate::currentDate());
    bool deleteRecord(qint32 untId);
    // Every column of the record as stored, Nulls included, for the export
    // file. Date columns hold QDate values (Null when empty).
    std::optional<QSqlRecord> rawRecord(qint32 untId);

    // Limit files.
    QList<LimitFile> listLimitFiles(qint32 verzId);
    std::optional<qint32> findLimitFile(qint32 verzId, const QString &name);
    // Adds file (GrwID ignored) and sets file.GrwID to the new key.
    std::optional<qint32> addLimitFile(LimitFile &file);
    // Rewrites the ten limits of file.GrwID; key, name and directory stay.
    bool changeLimitFile(const LimitFile &file);
    bool deleteLimitFile(qint32 grwId);
    std::optional<LimitFile> readLimitFile(qint32 grwId);

    // Settings. LoadSettings also fills the adjustment and limit-range
    // tables and clears the run-time values TraceText and MeasureRequested.
    // A stored value out of its range is replaced by its default;
    // *corrected then names each one.
    bool LoadSettings(Settings &settings, QStringList *corrected = nullptr);
    std::optional<StartChoices> readStartChoices();
    bool writeColours(const Settings &settings);
    // Margins, line widths, AD/IO addresses, delay and NetPC address from
    // settings; AEB := aeb; AZB := azb unless it is empty.
    bool writeOtherAdjustments(const Settings &settings, int aeb, std::optional<float> azb);

private:
    bool writeBox(
        const BoxRecord &box, bool adding, const QString &name, qint32 verzId, qint32 &key);
    void takeStoredState(BoxRecord &box, const QString &name, qint32 verzId, qint32 key);

    Database &m_db;
    const Notation &m_notation;
};
