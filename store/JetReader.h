#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

// Reads tables of a database file of the earlier program (Jet 3 or Jet 4)
// through libmdb. Only the command-line companion and the fuzzer link it:
// libmdb is C code reading untrusted bytes, so the program itself runs it
// in a process of its own.
//
// Values come as a null QVariant for Null, a qint32 for integer and long
// columns, a float for singles, a double for doubles, a QDate for dates
// (the day; a time of day is dropped) and a QString for text and memo
// columns ("" stays "", distinct from Null).
class JetReader
{
public:
    JetReader();
    ~JetReader();
    JetReader(const JetReader &) = delete;
    JetReader &operator=(const JetReader &) = delete;

    // Checks the header, then opens the file read-only. False with error()
    // when the file is no readable Jet database.
    bool open(const QString &path);
    bool openBuffer(const QByteArray &bytes); // for the fuzzer
    QString error() const { return m_error; }
    int version() const; // 3 or 4

    QStringList tables() const;
    // The number of rows the table's definition announces (for progress).
    qint64 rowCount(const QString &table);
    // Calls row(values) for each row of table with the values of `columns`
    // in that order (no columns: all, in the table's order); a column name
    // matches exactly, or else ignoring case.
    // Stops early when row returns false. False with error() when the table
    // or a column is missing.
    using RowFunction = std::function<bool(const QVariantList &)>;
    bool readTable(const QString &table, const QStringList &columns, const RowFunction &row);

private:
    struct Handle;
    bool fail(const QString &text);
    bool readCatalog();
    std::unique_ptr<Handle> m_handle;
    QString m_error;
};
