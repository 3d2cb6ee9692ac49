#include "evaluation/CurveText.h"

#include "evaluation/ResultCaptions.h"

#include <QIODevice>
#include <QTextStream>
#include <charconv>
#include <cmath>
#include <optional>
#include <utility>

namespace
{

// The most points a measured curve holds: indexes 0..299, the end mark at 300.
constexpr int MaxPoints = CurveLastPoint + 1;

std::optional<float> readField(QString field, QChar decimal)
{
    field = field.trimmed();
    if (field.startsWith(QLatin1Char('+')))
        field.remove(0, 1);
    if (decimal != QLatin1Char('.')) {
        if (field.contains(QLatin1Char('.')))
            return std::nullopt; // a grouping mark would silently scale the value
        field.replace(decimal, QLatin1Char('.'));
    }
    const QByteArray bytes = field.toLatin1();
    float value = 0;
    const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), value);
    if (bytes.isEmpty() || error != std::errc() || end != bytes.data() + bytes.size()
        || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Seconds and percent of one line, or nothing if it is not two numbers.
std::optional<std::pair<float, float>> readPoint(const QString &line)
{
    const bool commaDecimal = line.contains(QLatin1Char(';'));
    const QStringList fields = line.split(commaDecimal ? QLatin1Char(';') : QLatin1Char(','));
    if (fields.size() != 2)
        return std::nullopt;
    const QChar decimal = commaDecimal ? QLatin1Char(',') : QLatin1Char('.');
    const auto seconds = readField(fields.at(0), decimal);
    const auto percent = readField(fields.at(1), decimal);
    if (!seconds || !percent)
        return std::nullopt;
    return std::make_pair(*seconds, *percent);
}

} // namespace

CurveTextResult ReadCurveText(QIODevice &in, BoxRecord &box)
{
    box.x.fill(0);
    box.y.fill(0);
    CurveTextResult result;
    QTextStream text(&in);
    QString line;
    for (int lineNo = 1; text.readLineInto(&line); ++lineNo) {
        if (line.trimmed().isEmpty())
            continue;
        const auto point = readPoint(line);
        if (!point) {
            result.error = QStringLiteral("line %1: expected \"seconds,percent\" or "
                                          "\"seconds;percent\", got \"%2\"")
                               .arg(QString::number(lineNo), line.trimmed().left(60));
            return result;
        }
        if (result.points == MaxPoints) {
            result.error
                = QStringLiteral("line %1: more than %2 points")
                               .arg(QString::number(lineNo), QString::number(MaxPoints));
            return result;
        }
        box.y[result.points] = point->first;
        box.x[result.points] = point->second;
        ++result.points;
    }
    if (result.points == 0) {
        result.error = QStringLiteral("no points");
        return result;
    }
    box.x[result.points] = CurveEndMark;
    return result;
}

QString RoundTripFloat(float value)
{
    if (!std::isfinite(value))
        return QStringLiteral("null");
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    Q_UNUSED(error); // 32 characters hold any float
    return QString::fromLatin1(buffer, end - buffer);
}

QString ResultsJson(const CurveResults &erg)
{
    QStringList members;
    for (int k = 1; k <= ResultCount; ++k)
        members << QStringLiteral("\"Erg%1\": %2").arg(QString::number(k), RoundTripFloat(erg[k]));
    return QLatin1Char('{') + members.join(QStringLiteral(", ")) + QLatin1Char('}');
}

QString ResultsText(const CurveResults &erg)
{
    QString out;
    for (int k = 1; k <= ResultCount; ++k) {
        const ResultCaption &c = resultCaption(k);
        out += QStringLiteral("Erg%1  %2 %3 %4\n")
                   .arg(QString::number(k), c.caption.leftJustified(25),
                       RoundTripFloat(erg[k]), c.unit);
    }
    return out;
}
