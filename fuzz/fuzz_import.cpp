// libFuzzer entry for the import-file reader: any bytes must either be
// refused or give a record that keeps the curve's invariants.
#include "exchange/ImportFile.h"
#include "core/BoxRecord.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace
{

bool finite(float v)
{
    return std::isfinite(v);
}

bool sound(const BoxRecord &box)
{
    if (box.Status != BoxStatus::Pattern && box.Status != BoxStatus::Graph)
        return false;
    if (box.Status == BoxStatus::Graph && box.pointCount() > CurveLastPoint + 1)
        return false;
    for (int i = 0; i < CurveSize; ++i)
        if (!finite(box.x[i]) || !finite(box.y[i]))
            return false;
    for (int k = 1; k <= 10; ++k)
        if (!finite(box.Ein[k]))
            return false;
    for (int k = 1; k <= 5; ++k)
        if (!finite(box.Erg[k]))
            return false;
    return finite(box.Bg) && finite(box.GesGew) && finite(box.PaGew) && finite(box.Temp)
        && finite(box.Feuchte) && finite(box.Fluss) && finite(box.Asche) && finite(box.Luftdurch);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    BoxRecord box;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (ParseImportData(bytes, box, QStringLiteral("fuzz.kpf")) && !sound(box))
        __builtin_trap();
    return 0;
}
