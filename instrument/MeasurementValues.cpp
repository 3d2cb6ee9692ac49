#include "instrument/MeasurementValues.h"

#include "core/BoxRecord.h"
#include "core/Notation.h"

#include <cmath>

namespace
{

// The total duration of the long scopes has eight digits (30000000 ms for
// 500 minutes); in single precision's seven it would go out as "3E+07".
QString wireMilliseconds(double ms)
{
    const QString text = QString::number(ms, 'g', 15);
    return ms >= 0 ? QLatin1Char(' ') + text : text;
}

} // namespace

QString StartCommand(int n, const BoxRecord &box)
{
    const auto wire = [](float v) { return Notation::wire(v); };
    return QStringLiteral("START ") + wire(float(n)) + QStringLiteral(" 1.25 ")
        + wireMilliseconds(double(box.Ein[10]) * 60000.0) + QLatin1Char(' ')
        + wire(box.Ein[7] * 1000.0f) + QLatin1Char(' ') + wire(box.Ein[8] * 1000.0f)
        + QLatin1Char(' ') + wire(box.Ein[4] * 1000.0f);
}

QString SubstituteDataLine(int timeoutCount)
{
    return QStringLiteral("DATA 0.04 ") + Notation::wire(float(timeoutCount) * 1000.0f);
}

DataLineFields ParseDataLine(const QString &line)
{
    DataLineFields fields;
    // Without a blank the whole line is the rest.
    QString rest = line.mid(line.indexOf(QLatin1Char(' ')) + 1);
    for (int pass = 0; pass < 2; ++pass) {
        const int blank = rest.indexOf(QLatin1Char(' '));
        if (blank >= 0) {
            fields.reading = Notation::leadingNumber(rest.left(blank + 1));
            rest = rest.mid(blank + 1);
        } else {
            fields.timeMs = Notation::leadingNumber(rest);
        }
    }
    return fields;
}

float ValueFromReading(double reading, const BoxRecord &box)
{
    const float zero = box.Ein[9] / 10.0f;
    const float difference = float(reading - double(zero));
    const float v = float(double(difference) * 4096.0 / 10.0);
    const double ein3 = box.Ein[3];
    const double value = ((double(v) + 15.0) - 3.0 * ein3) * double(box.Ein[6]) / 200.0 / ein3;
    // A voltage of 0 would fill the curve with infinities that no stored
    // cell and no evaluation can hold.
    const float stored = float(value);
    return std::isfinite(stored) ? stored : 0.0f;
}
