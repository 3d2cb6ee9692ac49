#include "core/SettingsTables.h"

#include "core/Settings.h"

#include <array>

namespace {
constexpr std::array<float, 9> kScopes = {0, 2.5f, 5, 10, 25, 50, 100, 250, 500};
}

float ScopeMinutes(int index)
{
    return index >= 1 && index <= 8 ? kScopes[index] : 0.0f;
}

int ScopeIndex(float minutes)
{
    for (int k = 1; k <= 8; ++k)
        if (kScopes[k] == minutes)
            return k;
    return 0;
}

void FillSettingsTables(Settings &s)
{
    const float viscosityPreset = 350;
    s.AdjLimits[1] = {float(s.Ruehrer), 1, 99};
    s.AdjLimits[2] = {s.Temp, 0, 999};
    s.AdjLimits[3] = {0, 0, 10};
    s.AdjLimits[4] = {0, -1, -1};
    s.AdjLimits[5] = {viscosityPreset, 0, 99999};
    s.AdjLimits[6] = {100, 0, 9999};
    s.AdjLimits[7] = {0.18f, 0, 9.999f};
    s.AdjLimits[8] = {0.5f, 0, 300};
    s.AdjLimits[9] = {-1, -1, -1};
    s.AdjLimits[10] = {-1, -1, -1};
    s.AdjLimits[11] = {-1, -1, -1};
    s.AdjLimits[12] = {1.7f, 1, 99.9f};
    s.AdjLimits[13] = {3, 1.5f, 99.9f};
    s.AdjLimits[14] = {10, 2.5f, 99.9f};
    s.AdjLimits[15] = {15, 5, 999};
    s.AdjLimits[16] = {30, 10, 999};
    s.AdjLimits[17] = {100, 25, 9999};
    s.AdjLimits[18] = {150, 50, 9999};
    s.AdjLimits[19] = {300, 100, 9999};

    s.LimitRange[1] = {QStringLiteral("0"), QStringLiteral("999.9")};
    s.LimitRange[2] = {QStringLiteral("0"), QStringLiteral("999.9")};
    s.LimitRange[3] = {QStringLiteral("0"), QStringLiteral("9.999")};
    s.LimitRange[4] = {QStringLiteral("0"), QStringLiteral("9999")};
    s.LimitRange[5] = {QStringLiteral("0"), QStringLiteral("999")};
}
