#include "support/JetWriter.h"

#include <QDateTime>
#include <QFile>
#include <array>
#include <cstring>

// The layout follows the public notes on the Jet format: page 0 describes
// the database (its middle part masked with RC4), page 2 is the definition
// of the catalog table MSysObjects, every table has a definition page, its
// rows live on data pages listed in a usage map, and long texts live on
// long-value pages that the rows point to by page and row number.
namespace Jet
{
namespace
{

constexpr int kPage = 4096;
constexpr int kRowsStart = 14; // offset of the row offset table on data pages
constexpr int kMaxRowsPerPage = 255; // a row number is one byte in a pointer
constexpr int kMemoHeader = 12;
constexpr int kInlineMemoLimit = 64; // longer memos go to long-value pages
constexpr int kLvalChunk = 4000; // payload of one page of a chained memo
constexpr quint32 kHeaderKey = 0x6b39dac7;
constexpr int kHeaderMasked = 128;
constexpr int kHeaderMaskAt = 0x18;

void put16(QByteArray &b, int at, quint32 v)
{
    b[at] = char(v & 0xff);
    b[at + 1] = char((v >> 8) & 0xff);
}

void put32(QByteArray &b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}

void append16(QByteArray &b, quint32 v)
{
    b.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}

template <typename T> void putRaw(QByteArray &b, int at, T v)
{
    std::memcpy(b.data() + at, &v, sizeof v);
}

// RC4, as the format uses it for the header mask and page encryption.
void rc4(QByteArray &b, int at, int length, quint32 key32)
{
    const std::array<quint8, 4> key
        = { quint8(key32), quint8(key32 >> 8), quint8(key32 >> 16), quint8(key32 >> 24) };
    std::array<quint8, 256> s {};
    for (int i = 0; i < 256; ++i)
        s[i] = quint8(i);
    quint8 j = 0;
    for (int i = 0; i < 256; ++i) {
        j = quint8(j + s[i] + key[i % 4]);
        std::swap(s[i], s[j]);
    }
    quint8 x = 0, y = 0;
    for (int k = 0; k < length; ++k) {
        x = quint8(x + 1);
        y = quint8(y + s[x]);
        std::swap(s[x], s[y]);
        b[at + k] = char(quint8(b[at + k]) ^ s[quint8(s[x] + s[y])]);
    }
}

// Text as Jet 4 stores it: "compressed" (a marker, then one byte per
// character) when every character fits in a byte, otherwise UTF-16LE.
QByteArray encodeText(const QString &text)
{
    bool narrow = true;
    for (QChar c : text)
        narrow = narrow && c.unicode() > 0 && c.unicode() < 256;
    if (narrow && !text.isEmpty()) {
        QByteArray bytes("\xff\xfe", 2);
        for (QChar c : text)
            bytes.append(char(c.unicode()));
        return bytes;
    }
    QByteArray bytes;
    for (QChar c : text)
        append16(bytes, c.unicode());
    return bytes;
}

QByteArray encodeName(const QString &name)
{
    QByteArray bytes;
    for (QChar c : name)
        append16(bytes, c.unicode());
    return bytes;
}

int fixedSize(Type t)
{
    switch (t) {
    case Type::Integer:
        return 2;
    case Type::Long:
    case Type::Single:
        return 4;
    case Type::Double:
    case Type::DateTime:
        return 8;
    default:
        return 0;
    }
}

double jetDate(const QVariant &v)
{
    const QDate epoch(1899, 12, 30);
    if (v.metaType().id() == QMetaType::QDate)
        return double(epoch.daysTo(v.toDate()));
    const QDateTime dt = v.toDateTime();
    return double(epoch.daysTo(dt.date())) + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

// A data or long-value page, filled from its end.
class RowPage
{
public:
    explicit RowPage(const QByteArray &owner)
        : m_page(kPage, '\0')
    {
        m_page[0] = 0x01;
        m_page[1] = 0x01;
        m_page.replace(4, 4, owner);
        update();
    }
    bool fits(int length) const
    {
        return m_rows < kMaxRowsPerPage && m_top - length >= kRowsStart + 2 * (m_rows + 1);
    }
    int add(const QByteArray &row)
    {
        m_top -= int(row.size());
        m_page.replace(m_top, row.size(), row);
        put16(m_page, kRowsStart + 2 * m_rows, quint32(m_top));
        ++m_rows;
        update();
        return m_rows - 1;
    }
    int rows() const { return m_rows; }
    const QByteArray &bytes() const { return m_page; }

private:
    void update()
    {
        put16(m_page, 12, quint32(m_rows));
        put16(m_page, 2, quint32(m_top - (kRowsStart + 2 * m_rows)));
    }
    QByteArray m_page;
    int m_rows = 0;
    int m_top = kPage;
};

QByteArray owner(quint32 page)
{
    QByteArray b(4, '\0');
    put32(b, 0, page);
    return b;
}

// Long values, stored on pages numbered from `first` on.
class LongValues
{
public:
    explicit LongValues(quint32 first)
        : m_first(first)
    {
    }

    // The 12-byte field header (and for short values the value) that goes
    // into the row.
    QByteArray store(const QByteArray &data)
    {
        QByteArray field(kMemoHeader, '\0');
        const quint32 length = quint32(data.size());
        if (data.size() <= kInlineMemoLimit) {
            put32(field, 0, length | 0x80000000u);
            return field + data;
        }
        if (data.size() <= kPage - kRowsStart - 2) {
            put32(field, 0, length | 0x40000000u);
            put32(field, 4, place(data));
            return field;
        }
        put32(field, 0, length);
        put32(field, 4, chain(data));
        return field;
    }
    QList<QByteArray> pages() const
    {
        QList<QByteArray> out;
        for (const RowPage &p : m_pages)
            out << p.bytes();
        return out;
    }
    quint32 count() const { return quint32(m_pages.size()); }

private:
    quint32 place(const QByteArray &row)
    {
        if (m_pages.isEmpty() || !m_pages.last().fits(int(row.size())))
            m_pages.append(RowPage(QByteArrayLiteral("LVAL")));
        const int r = m_pages.last().add(row);
        return ((m_first + count() - 1) << 8) | quint32(r);
    }
    // A value longer than a page: one row per fresh page, each naming the
    // next, the last naming none.
    quint32 chain(const QByteArray &data)
    {
        const int pieces = int((data.size() + kLvalChunk - 1) / kLvalChunk);
        const quint32 firstPage = m_first + count();
        for (int k = 0; k < pieces; ++k) {
            QByteArray row(4, '\0');
            if (k + 1 < pieces)
                put32(row, 0, (firstPage + quint32(k) + 1) << 8);
            row += data.mid(qsizetype(k) * kLvalChunk, kLvalChunk);
            m_pages.append(RowPage(QByteArrayLiteral("LVAL")));
            m_pages.last().add(row);
        }
        return firstPage << 8;
    }
    quint32 m_first;
    QList<RowPage> m_pages;
};

struct Layout {
    QList<int> fixedOffset; // per column, -1 for variable ones
    QList<int> varIndex; // per column, -1 for fixed ones
    int fixedBytes = 0;
    int varCount = 0;
};

Layout layoutOf(const QList<Column> &columns)
{
    Layout l;
    for (const Column &c : columns) {
        const int size = fixedSize(c.type);
        l.fixedOffset << (size ? l.fixedBytes : -1);
        l.varIndex << (size ? -1 : l.varCount);
        if (size)
            l.fixedBytes += size;
        else
            ++l.varCount;
    }
    return l;
}

void putFixed(QByteArray &row, int at, Type type, const QVariant &v)
{
    switch (type) {
    case Type::Integer:
        put16(row, at, quint32(quint16(qint16(v.toInt()))));
        break;
    case Type::Long:
        put32(row, at, quint32(v.toLongLong()));
        break;
    case Type::Single:
        putRaw(row, at, v.toFloat());
        break;
    case Type::Double:
        putRaw(row, at, v.toDouble());
        break;
    case Type::DateTime:
        putRaw(row, at, jetDate(v));
        break;
    default:
        break;
    }
}

QByteArray varBytes(const Column &c, const QVariant &v, LongValues &longValues)
{
    switch (c.type) {
    case Type::Text:
        return encodeText(v.toString());
    case Type::Memo:
        return longValues.store(encodeText(v.toString()));
    case Type::Ole:
        return longValues.store(v.toByteArray());
    default:
        return {};
    }
}

// One row: column count, fixed columns, variable columns, end of data,
// the variable columns' offsets last to first, their count, null mask.
QByteArray packRow(const QList<Column> &columns, const Row &values, LongValues &longValues)
{
    const Layout l = layoutOf(columns);
    QByteArray row;
    append16(row, quint32(columns.size()));
    row.append(QByteArray(l.fixedBytes, '\0'));
    QByteArray nullMask((columns.size() + 7) / 8, '\0');
    QList<int> varOffsets(l.varCount);
    for (int i = 0; i < columns.size(); ++i) {
        const QVariant v = i < values.size() ? values.at(i) : QVariant();
        if (!v.isNull())
            nullMask[i / 8] = char(quint8(nullMask[i / 8]) | (1 << (i % 8)));
        if (l.fixedOffset[i] >= 0) {
            if (!v.isNull())
                putFixed(row, 2 + l.fixedOffset[i], columns[i].type, v);
            continue;
        }
        varOffsets[l.varIndex[i]] = int(row.size());
        if (!v.isNull())
            row.append(varBytes(columns[i], v, longValues));
    }
    append16(row, quint32(row.size()));
    for (int k = l.varCount - 1; k >= 0; --k)
        append16(row, quint32(varOffsets[k]));
    append16(row, quint32(l.varCount));
    return row + nullMask;
}

struct PlacedTable {
    const Table *table = nullptr;
    quint32 tdefPage = 0;
    QList<QByteArray> dataPages;
    quint32 firstDataPage = 0;
    qint32 nextCounter = 1;
};

// The table definition page: header, columns, column names; no indexes.
QByteArray definitionPage(
    const Table &t, const PlacedTable &placed, bool system, quint32 usageMap, quint32 freeMap)
{
    const Layout l = layoutOf(t.columns);
    QByteArray p(kPage, '\0');
    p[0] = 0x02;
    p[1] = 0x01;
    put32(p, 16, quint32(t.rows.size()));
    put32(p, 20, quint32(placed.nextCounter));
    p[24] = 0x01;
    p[40] = char(system ? 0x53 : 0x4e);
    put16(p, 41, quint32(t.columns.size()));
    put16(p, 43, quint32(l.varCount));
    put16(p, 45, quint32(t.columns.size()));
    put32(p, 55, usageMap);
    put32(p, 59, freeMap);
    int at = 63;
    for (int i = 0; i < t.columns.size(); ++i, at += 25) {
        const Column &c = t.columns[i];
        p[at] = char(c.type);
        put16(p, at + 5, quint32(i));
        put16(p, at + 7, quint32(l.varIndex[i] < 0 ? 0 : l.varIndex[i]));
        put16(p, at + 9, quint32(i));
        if (c.type == Type::Text || c.type == Type::Memo)
            put16(p, at + 11, 0x409); // general sort order
        quint8 flags = 0x02; // may be Null
        if (l.fixedOffset[i] >= 0)
            flags |= 0x01;
        if (c.counter)
            flags |= 0x04;
        p[at + 15] = char(flags);
        p[at + 16] = char(c.type == Type::Text || c.type == Type::Memo ? 0x01 : 0x00);
        put16(p, at + 21, quint32(l.fixedOffset[i] < 0 ? 0 : l.fixedOffset[i]));
        const int length = c.type == Type::Text ? c.maxChars * 2 : fixedSize(c.type);
        put16(p, at + 23, quint32(length));
    }
    for (const Column &c : t.columns) {
        const QByteArray name = encodeName(c.name);
        put16(p, at, quint32(name.size()));
        p.replace(at + 2, name.size(), name);
        at += 2 + int(name.size());
    }
    Q_ASSERT(at <= kPage);
    put32(p, 8, quint32(at - 8));
    put16(p, 2, quint32(kPage - at - 8));
    return p;
}

// A usage map of type 0: a start page and one bit per page from there.
QByteArray usageMap(quint32 first, int count)
{
    QByteArray map(5 + (count + 7) / 8, '\0');
    put32(map, 1, first);
    for (int i = 0; i < count; ++i)
        map[5 + i / 8] = char(quint8(map[5 + i / 8]) | (1 << (i % 8)));
    return map;
}

QList<QByteArray> packRows(const Table &t, quint32 tdefPage, LongValues &longValues)
{
    QList<QByteArray> pages;
    RowPage current(owner(tdefPage));
    for (const Row &values : t.rows) {
        const QByteArray row = packRow(t.columns, values, longValues);
        if (!current.fits(int(row.size()))) {
            pages << current.bytes();
            current = RowPage(owner(tdefPage));
        }
        Q_ASSERT(current.fits(int(row.size())));
        current.add(row);
    }
    if (current.rows() > 0)
        pages << current.bytes();
    return pages;
}

qint32 nextCounter(const Table &t)
{
    qint32 next = 1;
    for (int i = 0; i < t.columns.size(); ++i)
        if (t.columns[i].counter)
            for (const Row &r : t.rows)
                if (i < r.size() && !r[i].isNull())
                    next = std::max(next, r[i].toInt() + 1);
    return next;
}

Table catalogTable()
{
    Table t;
    t.name = QStringLiteral("MSysObjects");
    t.columns = { { QStringLiteral("Id"), Type::Long }, { QStringLiteral("ParentId"), Type::Long },
        { QStringLiteral("Name"), Type::Text, 128 }, { QStringLiteral("Type"), Type::Integer },
        { QStringLiteral("Flags"), Type::Long }, { QStringLiteral("LvProp"), Type::Ole } };
    return t;
}

QByteArray headerPage(const Options &options)
{
    QByteArray p(kPage, '\0');
    p[1] = 0x01;
    p.replace(4, 15, QByteArrayLiteral("Standard Jet DB"));
    put32(p, 0x14, 1); // Jet 4
    put16(p, 0x3c, 1252);
    put32(p, 0x3e, options.encrypted ? 0x2a5c17e3u : 0u);
    const QByteArray password = encodeName(options.password.left(20));
    p.replace(0x42, password.size(), password);
    put32(p, 0x6e, 0x409);
    putRaw(p, 0x72, 0.0); // created at the epoch: the password needs no further mask
    rc4(p, kHeaderMaskAt, kHeaderMasked, kHeaderKey);
    return p;
}

} // namespace

QByteArray jet4File(const QList<Table> &tables, const Options &options)
{
    // Pages 0 (header), 1 (the engine's own map; unused here) and 2 (the
    // catalog's definition), then the long values, then each table's
    // definition and data, the catalog's data, and the usage maps.
    QList<QByteArray> pages { headerPage(options), RowPage(owner(0)).bytes(), QByteArray() };
    Table catalog = catalogTable();

    // Long values first: their page numbers must be known when the rows
    // that point to them are packed, and they do not depend on anything.
    LongValues probe(0);
    for (const Table &t : tables)
        packRows(t, 0, probe);
    LongValues longValues(quint32(pages.size()));
    QList<PlacedTable> placed;
    quint32 next = quint32(pages.size()) + probe.count();
    for (const Table &t : tables) {
        PlacedTable p;
        p.table = &t;
        p.tdefPage = next;
        p.dataPages = packRows(t, p.tdefPage, longValues);
        p.firstDataPage = next + 1;
        p.nextCounter = nextCounter(t);
        next += 1 + quint32(p.dataPages.size());
        placed << p;
        catalog.rows << Row { int(p.tdefPage), 0x0F000000 + 1, t.name, 1, 0, QVariant() };
    }
    catalog.rows << Row { 2, 0x0F000000 + 1, catalog.name, 1, int(0x80000002u), QVariant() };
    pages << longValues.pages();
    Q_ASSERT(longValues.count() == probe.count());

    PlacedTable catalogPlaced;
    catalogPlaced.table = &catalog;
    catalogPlaced.tdefPage = 2;
    catalogPlaced.firstDataPage = next;
    catalogPlaced.dataPages = packRows(catalog, 2, longValues);
    next += quint32(catalogPlaced.dataPages.size());

    // Usage and free-space maps, two rows per table, on pages of their own.
    QList<PlacedTable *> all;
    for (PlacedTable &p : placed)
        all << &p;
    all << &catalogPlaced;
    QList<RowPage> mapPages;
    QList<std::pair<quint32, quint32>> mapPointers;
    const auto placeMap = [&](const QByteArray &map) {
        if (mapPages.isEmpty() || !mapPages.last().fits(int(map.size())))
            mapPages.append(RowPage(owner(0)));
        const int r = mapPages.last().add(map);
        return ((next + quint32(mapPages.size()) - 1) << 8) | quint32(r);
    };
    for (PlacedTable *p : all) {
        const quint32 used = placeMap(usageMap(p->firstDataPage, int(p->dataPages.size())));
        const quint32 free = placeMap(usageMap(0, 0) + QByteArray(1, '\0'));
        mapPointers.append({ used, free });
    }

    for (int i = 0; i < placed.size(); ++i) {
        pages << definitionPage(
            *placed[i].table, placed[i], false, mapPointers[i].first, mapPointers[i].second);
        pages << placed[i].dataPages;
    }
    pages[2] = definitionPage(
        catalog, catalogPlaced, true, mapPointers.last().first, mapPointers.last().second);
    pages << catalogPlaced.dataPages;
    for (const RowPage &m : mapPages)
        pages << m.bytes();

    QByteArray file;
    file.reserve(pages.size() * kPage);
    for (int pg = 0; pg < pages.size(); ++pg) {
        QByteArray page = pages[pg];
        if (options.encrypted && pg > 0)
            rc4(page, 0, kPage, 0x2a5c17e3u ^ quint32(pg));
        file += page;
    }
    return file;
}

bool writeJet4File(const QString &path, const QList<Table> &tables, const Options &options)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = jet4File(tables, options);
    return f.write(bytes) == bytes.size() && f.flush();
}

} // namespace Jet
