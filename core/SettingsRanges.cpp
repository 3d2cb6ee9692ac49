#include "core/SettingsRanges.h"

#include "core/Settings.h"
#include "core/SettingsTables.h"

#include <cmath>

namespace
{

// Margins are inches on paper; beyond this nothing would be left to print.
const float kMaxMargin = 4.0f;

template <typename T> void replace(T &value, T fallback, const char *column, QStringList &notes)
{
    notes << QStringLiteral("%1 = %2 is out of range; %3 is used")
                 .arg(QString::fromLatin1(column), QString::number(double(value)),
                     QString::number(double(fallback)));
    value = fallback;
}

void checkMargin(float &margin, float fallback, const char *column, QStringList &notes)
{
    if (!std::isfinite(margin) || margin < 0 || margin > kMaxMargin)
        replace(margin, fallback, column, notes);
}

} // namespace

QStringList CorrectOutOfRange(Settings &s)
{
    const Settings defaults;
    QStringList notes;
    if (s.ActiveBox < 1 || s.ActiveBox > 5)
        replace(s.ActiveBox, defaults.ActiveBox, "AEB", notes);
    if (ScopeIndex(s.ScopeOfTime) == 0)
        replace(s.ScopeOfTime, defaults.ScopeOfTime, "AZB", notes);
    if (s.LinieGr < 1 || s.LinieGr > 3)
        replace(s.LinieGr, defaults.LinieGr, "LinieGr", notes);
    if (s.LinieDr != 2 && s.LinieDr != 4 && s.LinieDr != 6)
        replace(s.LinieDr, defaults.LinieDr, "LinieDr", notes);
    checkMargin(s.PrnOffOb, defaults.PrnOffOb, "PrnOffOb", notes);
    checkMargin(s.PrnOffUn, defaults.PrnOffUn, "PrnOffUn", notes);
    checkMargin(s.PrnOffRe, defaults.PrnOffRe, "PrnOffRe", notes);
    checkMargin(s.PrnOffLi, defaults.PrnOffLi, "PrnOffLi", notes);
    return notes;
}
