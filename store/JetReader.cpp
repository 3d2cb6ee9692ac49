#include "store/JetReader.h"

#include "store/JetFileCheck.h"
#include "store/JetTableMaps.h"

#include <QDate>
#include <QFile>
#include <cstring>
#include <vector>

extern "C" {
#include <mdbtools.h>
}

namespace
{

const int kOffsetMask = 0x1fff; // row offsets carry flags in their top bits
const size_t kBindSize = 1 << 16; // longest memo text taken whole

QString emptyOrText(const QString &text)
{
    return text.isNull() ? QString(QLatin1String("")) : text;
}

template <typename T> T raw(const unsigned char *buf, int at)
{
    T v;
    std::memcpy(&v, buf + at, sizeof v);
    return v;
}

// Days since 30 December 1899; the whole days are the date.
QVariant jetDate(double days)
{
    if (!(days > -700000.0 && days < 3000000.0))
        return QVariant(QDate());
    const qint64 whole = qint64(days >= 0 ? days : days - 1.0 + 1e-9);
    return QVariant(QDate(1899, 12, 30).addDays(whole));
}

MdbCatalogEntry *findTable(MdbHandle *mdb, const QString &name)
{
    if (!mdb->catalog)
        return nullptr;
    MdbCatalogEntry *loose = nullptr;
    for (guint i = 0; i < mdb->catalog->len; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE)
            continue;
        const QString entryName = QString::fromUtf8(entry->object_name);
        if (entryName == name)
            return entry;
        if (!loose && entryName.compare(name, Qt::CaseInsensitive) == 0)
            loose = entry;
    }
    return loose;
}

int findColumn(MdbTableDef *table, const QString &name)
{
    int loose = -1;
    for (guint i = 0; i < table->num_cols; ++i) {
        auto *col = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
        const QString colName = QString::fromUtf8(col->name);
        if (colName == name)
            return int(i);
        if (loose < 0 && colName.compare(name, Qt::CaseInsensitive) == 0)
            loose = int(i);
    }
    return loose;
}

QString textValue(MdbHandle *mdb, const unsigned char *buf, int start, int size)
{
    if (size == 0)
        return QString(QLatin1String(""));
    std::vector<char> out(size_t(size) * 2 + 16);
    const int n = mdb_unicode2ascii(
        mdb, reinterpret_cast<const char *>(buf + start), size_t(size), out.data(), out.size());
    return emptyOrText(QString::fromUtf8(out.data(), n > 0 ? n : 0));
}

QVariant fieldValue(MdbHandle *mdb, const MdbColumn *col, const MdbField &f)
{
    if (f.is_null)
        return {};
    const unsigned char *buf = mdb->pg_buf;
    const int start = f.start, size = f.siz;
    if (start < 0 || size < 0 || start + size > mdb->fmt->pg_size)
        return {};
    const auto fits = [&](int n) { return size >= n; };
    switch (col->col_type) {
    case MDB_BYTE:
        return fits(1) ? QVariant(qint32(buf[start])) : QVariant();
    case MDB_INT:
        return fits(2) ? QVariant(qint32(raw<qint16>(buf, start))) : QVariant();
    case MDB_LONGINT:
        return fits(4) ? QVariant(raw<qint32>(buf, start)) : QVariant();
    case MDB_FLOAT:
        return fits(4) ? QVariant(raw<float>(buf, start)) : QVariant();
    case MDB_DOUBLE:
        return fits(8) ? QVariant(raw<double>(buf, start)) : QVariant();
    case MDB_DATETIME:
        return fits(8) ? jetDate(raw<double>(buf, start)) : QVariant();
    case MDB_TEXT:
        return textValue(mdb, buf, start, size);
    default: {
        // Memos and anything else: libmdb's own text of the value.
        char *text = mdb_col_to_string(mdb, mdb->pg_buf, start, col->col_type, size);
        const QString value = emptyOrText(QString::fromUtf8(text ? text : ""));
        g_free(text);
        return value;
    }
    }
}

} // namespace

struct JetReader::Handle {
    MdbHandle *mdb = nullptr;
    QByteArray buffer; // the bytes an in-memory file reads from
    QFile file; // or the file, for checks before libmdb reads
    ~Handle()
    {
        if (mdb)
            mdb_close(mdb);
    }
    bool jet4() const { return mdb->f->jet_version != MDB_VER_JET3; }
    QByteArray page(quint32 number)
    {
        const qint64 size = mdb->fmt->pg_size;
        const qint64 at = qint64(number) * size;
        if (!buffer.isEmpty())
            return at + size <= buffer.size() ? buffer.mid(at, size) : QByteArray();
        if (at + size > file.size() || !file.seek(at))
            return {};
        return file.read(size);
    }
    // What is wrong with the table at definitionPage that libmdb would not
    // survive; empty when nothing is.
    QString mapProblem(quint32 definitionPage)
    {
        return CheckJetTableMaps([this](quint32 n) { return page(n); }, definitionPage, jet4());
    }
};

namespace
{
const quint32 kCatalogPage = 2;
}

JetReader::JetReader() = default;
JetReader::~JetReader() = default;

bool JetReader::fail(const QString &text)
{
    m_error = text;
    return false;
}

bool JetReader::open(const QString &path)
{
    m_handle.reset();
    const JetFileCheck check = CheckJetFile(path);
    if (!check.convertible())
        return fail(check.isJet() ? check.cause
                                  : QStringLiteral("it is not a database of the earlier program"));
    auto handle = std::make_unique<Handle>();
    handle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!handle->mdb)
        return fail(QStringLiteral("it cannot be read as a Jet database"));
    handle->file.setFileName(path);
    if (!handle->file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("it cannot be read (%1)").arg(handle->file.errorString()));
    m_handle = std::move(handle);
    return readCatalog();
}

bool JetReader::readCatalog()
{
    const QString problem = m_handle->mapProblem(kCatalogPage);
    if (!problem.isEmpty()) {
        m_handle.reset();
        return fail(QStringLiteral("it is damaged (%1)").arg(problem));
    }
    mdb_set_bind_size(m_handle->mdb, kBindSize);
    if (!mdb_read_catalog(m_handle->mdb, MDB_TABLE)) {
        m_handle.reset();
        return fail(QStringLiteral("it is damaged (its list of tables cannot be read)"));
    }
    return true;
}

bool JetReader::openBuffer(const QByteArray &bytes)
{
    m_handle.reset();
    const JetFileCheck check = CheckJetHeader(bytes.left(4096), bytes.size());
    if (!check.convertible())
        return fail(check.cause);
    auto handle = std::make_unique<Handle>();
    handle->buffer = bytes;
    handle->mdb
        = mdb_open_buffer(handle->buffer.data(), size_t(handle->buffer.size()), MDB_NOFLAGS);
    if (!handle->mdb)
        return fail(QStringLiteral("it cannot be read as a Jet database"));
    m_handle = std::move(handle);
    return readCatalog();
}

int JetReader::version() const
{
    if (!m_handle)
        return 0;
    return m_handle->mdb->f->jet_version == MDB_VER_JET3 ? 3 : 4;
}

QStringList JetReader::tables() const
{
    QStringList names;
    if (!m_handle || !m_handle->mdb->catalog)
        return names;
    GPtrArray *catalog = m_handle->mdb->catalog;
    for (guint i = 0; i < catalog->len; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(catalog, i));
        if (mdb_is_user_table(entry))
            names << QString::fromUtf8(entry->object_name);
    }
    return names;
}

qint64 JetReader::rowCount(const QString &table)
{
    if (!m_handle)
        return 0;
    MdbCatalogEntry *entry = findTable(m_handle->mdb, table);
    MdbTableDef *def = entry ? mdb_read_table(entry) : nullptr;
    if (!def)
        return 0;
    const qint64 rows = def->num_rows;
    mdb_free_tabledef(def);
    return rows;
}

bool JetReader::readTable(const QString &table, const QStringList &columns, const RowFunction &row)
{
    if (!m_handle)
        return fail(QStringLiteral("no file is open"));
    MdbHandle *mdb = m_handle->mdb;
    MdbCatalogEntry *entry = findTable(mdb, table);
    if (!entry)
        return fail(QStringLiteral("it has no table %1").arg(table));
    const QString problem = m_handle->mapProblem(quint32(entry->table_pg));
    if (!problem.isEmpty())
        return fail(QStringLiteral("it is damaged (the table %1: %2)").arg(table, problem));
    MdbTableDef *def = mdb_read_table(entry);
    if (!def)
        return fail(QStringLiteral("it is damaged (the table %1 cannot be read)").arg(table));
    const auto done = [def](bool ok) {
        mdb_free_tabledef(def);
        return ok;
    };
    if (!mdb_read_columns(def))
        return done(
            fail(QStringLiteral("it is damaged (the columns of %1 cannot be read)").arg(table)));

    QList<int> positions;
    if (columns.isEmpty())
        for (int i = 0; i < int(def->num_cols); ++i)
            positions << i;
    for (const QString &name : columns) {
        const int at = findColumn(def, name);
        if (at < 0)
            return done(fail(QStringLiteral("its table %1 has no column %2").arg(table, name)));
        positions << at;
    }

    std::vector<MdbField> fields(def->num_cols);
    const qint64 announced = def->num_rows;
    qint64 found = 0;
    mdb_rewind_table(def);
    while (mdb_fetch_row(def)) {
        ++found;
        // The fetch has cracked the row but keeps no Null flags; a text ""
        // and a Null differ only there, so crack it once more.
        int start = 0;
        size_t length = 0;
        if (mdb_find_row(mdb, int(def->cur_row) - 1, &start, &length) != 0)
            return done(
                fail(QStringLiteral("it is damaged (a row of %1 cannot be found)").arg(table)));
        start &= kOffsetMask;
        if (mdb_crack_row(def, start, length, fields.data()) < 0)
            return done(
                fail(QStringLiteral("it is damaged (a row of %1 cannot be read)").arg(table)));
        QVariantList values;
        values.reserve(positions.size());
        for (int at : positions) {
            auto *col = static_cast<MdbColumn *>(g_ptr_array_index(def->columns, guint(at)));
            values << fieldValue(mdb, col, fields[size_t(at)]);
        }
        if (!row(values))
            return done(true);
    }
    // libmdb passes over pages it cannot read; fewer rows than the table
    // announces means some of its pages are lost.
    if (found < announced)
        return done(fail(QStringLiteral("it is damaged (the table %1 holds %2 rows, %3 of them "
                                        "can be read)")
                             .arg(table, QString::number(announced), QString::number(found))));
    return done(true);
}
