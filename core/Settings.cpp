#include "core/Settings.h"

#include "core/SettingsTables.h"

Settings::Settings()
{
    // Five distinct colours until the database says otherwise.
    DisKvFa = {0, 0x0000FF, 0x008000, 0xFF0000, 0x008080, 0x800080};
    FillSettingsTables(*this);
    for (int k = 1; k <= 5; ++k)
        Box(k).BoxNr = k;
}
