#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

// Writes small Jet 4 database files (4096-byte pages) for the tests: the
// catalog, one table definition per table, data pages and long-value pages,
// with no indexes. Enough for a reader to find every table, column and
// value; not enough for the database engine that once wrote such files to
// change them.
namespace Jet
{

// Column types as the file stores them.
enum class Type : quint8 {
    Integer = 0x03, // 16 bits
    Long = 0x04, // 32 bits
    Single = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Text = 0x0A,
    Ole = 0x0B,
    Memo = 0x0C,
};

struct Column {
    QString name;
    Type type = Type::Text;
    int maxChars = 50; // text columns only
    bool counter = false; // a Long the engine numbers
};

// A value is a null QVariant for Null, otherwise an int for Integer and
// Long, a float for Single, a double for Double, a QDateTime or QDate for
// DateTime, a QString for Text and Memo and a QByteArray for Ole.
using Row = QList<QVariant>;

struct Table {
    QString name;
    QList<Column> columns;
    QList<Row> rows;
};

struct Options {
    // A file whose pages are RC4-encrypted with a database key.
    bool encrypted = false;
    // A database password (at most 20 characters).
    QString password;
};

QByteArray jet4File(const QList<Table> &tables, const Options &options = {});
bool writeJet4File(const QString &path, const QList<Table> &tables, const Options &options = {});

} // namespace Jet
