#include "store/JetTableMaps.h"

namespace
{

struct Format {
    int pageSize;
    int rowCountAt; // on data pages
    int usageMapAt; // in table definitions
    int freeMapAt;
};

const Format kJet3 { 2048, 0x08, 35, 39 };
const Format kJet4 { 4096, 0x0c, 55, 59 };
const int kOffsetMask = 0x1fff;
const int kMapHeader = 5; // kind and start page

quint32 le16(const QByteArray &b, int at)
{
    return quint32(quint8(b.at(at))) | quint32(quint8(b.at(at + 1))) << 8;
}

quint32 le32(const QByteArray &b, int at)
{
    return le16(b, at) | le16(b, at + 2) << 16;
}

QString checkMap(const JetPageReader &readPage, quint32 pointer, const Format &f)
{
    const quint32 pageNo = pointer >> 8, row = pointer & 0xff;
    const QByteArray page = readPage(pageNo);
    if (page.size() != f.pageSize)
        return QStringLiteral("its page %1 is missing").arg(pageNo);
    const quint32 rows = le16(page, f.rowCountAt);
    if (row >= rows || f.rowCountAt + 2 + 2 * int(row) + 2 > f.pageSize)
        return QStringLiteral("page %1 has no row %2")
            .arg(QString::number(pageNo), QString::number(row));
    const int start = int(le16(page, f.rowCountAt + 2 + 2 * int(row)) & kOffsetMask);
    const int end
        = row == 0 ? f.pageSize : int(le16(page, f.rowCountAt + 2 * int(row)) & kOffsetMask);
    if (start >= end || end > f.pageSize || end - start < kMapHeader)
        return QStringLiteral("row %1 of page %2 is no usage map")
            .arg(QString::number(row), QString::number(pageNo));
    const char kind = page.at(start);
    if (kind != 0 && kind != 1)
        return QStringLiteral("row %1 of page %2 is no usage map")
            .arg(QString::number(row), QString::number(pageNo));
    return {};
}

} // namespace

QString CheckJetTableMaps(const JetPageReader &readPage, quint32 definitionPage, bool jet4)
{
    const Format &f = jet4 ? kJet4 : kJet3;
    const QByteArray definition = readPage(definitionPage);
    if (definition.size() != f.pageSize)
        return QStringLiteral("its table definition page %1 is missing").arg(definitionPage);
    if (definition.at(0) != 0x02)
        return QStringLiteral("its page %1 is no table definition").arg(definitionPage);
    for (const int at : { f.usageMapAt, f.freeMapAt }) {
        const QString problem = checkMap(readPage, le32(definition, at), f);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}
