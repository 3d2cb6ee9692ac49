#include "instrument/Adjustments.h"

#include "core/Rounding.h"
#include "core/Settings.h"
#include "core/SettingsTables.h"

int Ein3FromPaperWeight(float paperWeight)
{
    const int w = roundHalfEven(paperWeight);
    if (w == 0)
        return 6;
    if (w >= 1 && w <= 29)
        return 2;
    if (w >= 30 && w <= 39)
        return 3;
    if (w >= 40 && w <= 59)
        return 4;
    if (w >= 60 && w <= 79)
        return 5;
    if (w >= 80 && w <= 109)
        return 6;
    if (w >= 110 && w <= 200)
        return 8;
    return 10;
}

void TransferAdjustments(int mode, Settings &s)
{
    BoxRecord &box = s.activeBox();
    switch (mode) {
    case 0:
        for (int k = 1; k <= 10; ++k)
            box.Ein[k] = s.AdjCurrent[k];
        break;
    case 1:
        s.AdjCurrent[9] = s.ZeroPoint;
        s.AdjCurrent[10] = s.ScopeOfTime;
        for (int k = 1; k <= 10; ++k) {
            if (s.AdjLimits[k].preset > -1)
                s.AdjCurrent[k] = s.AdjLimits[k].preset;
            if (k == 4)
                s.AdjCurrent[4] = s.AdjLimits[11 + ScopeIndex(s.ScopeOfTime)].preset;
        }
        break;
    case 2:
        for (int k = 1; k <= 10; ++k)
            s.AdjCurrent[k] = box.Ein[k];
        break;
    default:
        break;
    }
}
