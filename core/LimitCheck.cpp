#include "core/LimitCheck.h"

#include "core/BoxRecord.h"

// Lower and upper limits are deliberately not compared with each other: with
// lower > upper a result below the lower limit still measures from it.
void CheckLimits(BoxRecord &box)
{
    for (int k = 1; k < int(box.Erg.size()); ++k) {
        const float v = box.Erg[k];
        if (v < box.GWU[k])
            box.Abw[k] = v - box.GWU[k];
        else if (v > box.GwO[k])
            box.Abw[k] = v - box.GwO[k];
        else
            box.Abw[k] = 0;
    }
}
