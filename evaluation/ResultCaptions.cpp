#include "evaluation/ResultCaptions.h"

#include <QtGlobal>
#include <array>

const ResultCaption &resultCaption(int k)
{
    static const std::array<ResultCaption, ResultCount> captions { {
        { QStringLiteral("Max. curing speed after:"), QStringLiteral("min."),
            QStringLiteral("0.0;-0.0;0") },
        { QStringLiteral("Curing time:"), QStringLiteral("min."), QStringLiteral("0.0;-0.0;0") },
        { QStringLiteral("Curing rate:"), QStringLiteral("%/min."),
            QStringLiteral("0.0000;-0.0000;0") },
        { QStringLiteral("Flow time:"), QStringLiteral("sec."), QStringLiteral("0;-0;0") },
        { QStringLiteral("Flexibility:"), QStringLiteral("%"), QStringLiteral("0;-0;0") },
    } };
    Q_ASSERT(k >= 1 && k <= ResultCount);
    return captions.at(k - 1);
}
