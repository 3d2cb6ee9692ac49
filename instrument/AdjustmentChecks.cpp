#include "instrument/AdjustmentChecks.h"

#include "core/Notation.h"
#include "core/Settings.h"
#include "core/SettingsTables.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace
{

constexpr std::array<int, 7> kVoltages = { 2, 3, 4, 5, 6, 8, 10 };

// The limits of field index: its own row, or for the cycle the row of the
// scope in the scope field.
const AdjLimitRow *limitRow(
    int index, const QString &scopeText, const Settings &s, const Notation &notation)
{
    switch (index) {
    case 1:
    case 5:
    case 6:
    case 7:
    case 8:
        return &s.AdjLimits[size_t(index)];
    case 4: {
        const float scope = float(notation.parseNumber(scopeText).value_or(0));
        return &s.AdjLimits[size_t(11 + ScopeIndex(scope))];
    }
    default:
        return nullptr;
    }
}

} // namespace

bool AdjustmentValid(int index, const QString &text, const QString &scopeText,
    const Settings &settings, const Notation &notation)
{
    if (index == 3) {
        const auto value = notation.parseNumber(text);
        if (!value)
            return false;
        for (int v : kVoltages)
            if (*value == v)
                return true;
        return false;
    }
    const AdjLimitRow *row = limitRow(index, scopeText, settings, notation);
    if (!row)
        return true;
    const auto value = notation.parseNumber(text);
    if (!value)
        return false;
    // The limits are single precision; so is the value they are meant for,
    // which keeps "9,999" inside a maximum of 9.999.
    const float v = float(*value);
    return row->minimum <= v && v <= row->maximum;
}

QString AdjustmentMessage(
    int index, const QString &scopeText, const Settings &settings, const Notation &notation)
{
    QString allowed;
    if (index == 3) {
        allowed = QStringLiteral("( 2 / 3 / 4 / 5 / 6 / 8 / 10 )");
    } else if (const AdjLimitRow *row = limitRow(index, scopeText, settings, notation)) {
        allowed = QStringLiteral("( ") + notation.plain(row->minimum) + QStringLiteral(" .... ")
            + notation.plain(row->maximum) + QStringLiteral(" )");
    }
    return QStringLiteral("valid user input:\r\r") + allowed;
}

double ShortestCycle(double startingTime, double measuringTime)
{
    return measuringTime + startingTime + 1;
}

bool CycleLongEnough(double cycle, double startingTime, double measuringTime)
{
    // Typed decimals are not exact in binary; a cycle typed equal to the sum
    // must not fail by a rounding residue.
    const double shortest = ShortestCycle(startingTime, measuringTime);
    return shortest - cycle <= 1e-6 * std::max(1.0, std::fabs(cycle));
}

QString CycleMessage(double startingTime, double measuringTime, const Notation &notation)
{
    return QStringLiteral("The measuring cycle must be higher than ")
        + notation.plain(float(ShortestCycle(startingTime, measuringTime)));
}
