#include "core/BoxRecord.h"

int BoxRecord::pointCount() const
{
    int n = 0;
    while (n < CurveSize && x[n] > CurveEndMark)
        ++n;
    return n;
}
