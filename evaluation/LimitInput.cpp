#include "evaluation/LimitInput.h"

#include "core/Notation.h"
#include "core/Settings.h"

std::optional<float> ReadLimitValue(const QString &text, const Notation &notation)
{
    const std::optional<double> value = notation.parseNumber(text);
    if (!value)
        return std::nullopt;
    return float(*value);
}

std::optional<float> ReadLimitInput(
    const QString &text, const LimitRangeRow &range, const Notation &notation)
{
    const std::optional<double> value = notation.parseNumber(text);
    const std::optional<double> minimum = notation.parseNumberLenient(range.minimum);
    const std::optional<double> maximum = notation.parseNumberLenient(range.maximum);
    if (!value || !minimum || !maximum || *value < *minimum || *value > *maximum)
        return std::nullopt;
    return float(*value);
}

QString LimitRangeCaption(const LimitRangeRow &range)
{
    return QStringLiteral("(") + range.minimum + QStringLiteral("...") + range.maximum
        + QStringLiteral(")");
}

QString LimitRangeMessage(const LimitRangeRow &range)
{
    return QStringLiteral("valid user input:\n\n( ") + range.minimum + QStringLiteral(" .... ")
        + range.maximum + QStringLiteral(" )");
}

int LimitInputLength(const LimitRangeRow &range)
{
    return int(range.maximum.size());
}
