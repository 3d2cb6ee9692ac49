// libFuzzer entry for the reading side of the conversion: any bytes must
// either be refused or read table by table without a crash, and every value
// must be one of the kinds the conversion expects.
#include "store/JetReader.h"

#include <QDate>
#include <cstddef>
#include <cstdint>

namespace
{

// Damaged usage maps can make a table look endless; a few rows are enough
// to exercise every path of the row reader.
constexpr int kRowsPerTable = 64;

bool expectedKind(const QVariant &v)
{
    if (v.isNull())
        return true;
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::Float:
    case QMetaType::Double:
    case QMetaType::QDate:
    case QMetaType::QString:
        return true;
    default:
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    JetReader reader;
    if (!reader.openBuffer(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))))
        return 0;
    for (const QString &table : reader.tables()) {
        int rows = 0;
        reader.rowCount(table);
        reader.readTable(table, {}, [&](const QVariantList &values) {
            for (const QVariant &v : values)
                if (!expectedKind(v))
                    __builtin_trap();
            return ++rows < kRowsPerTable;
        });
    }
    return 0;
}
