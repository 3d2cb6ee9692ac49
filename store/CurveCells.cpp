#include "store/CurveCells.h"

#include "core/BoxRecord.h"
#include "core/Notation.h"

#include <algorithm>
#include <charconv>
#include <cmath>

QString CurveCell(float value, const Notation &notation)
{
    QString text = notation.plain(value).left(6);
    return text + QString(6 - text.size(), QLatin1Char(' '));
}

CurveTexts WriteCurveCells(const BoxRecord &box, const Notation &notation)
{
    CurveTexts out;
    out.x.reserve(CurveSize * 6);
    out.y.reserve(CurveSize * 6);
    for (int i = 0; i < CurveSize; ++i) {
        out.x += CurveCell(box.x[i], notation);
        out.y += CurveCell(box.y[i], notation);
        if (box.x[i] <= CurveEndMark)
            break;
    }
    return out;
}

// Loading a graph reads up to 602 cells, so a cell is read in place,
// without building a text of its own.
float ReadCurveCell(QStringView cell)
{
    const QStringView t = cell.trimmed();
    char digits[16] = {};
    qsizetype n = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (n == 0 && c == u'+' && t.size() > 1)
            continue;
        if (c > 0x7f || n + 1 >= qsizetype(sizeof digits))
            return 0.0f;
        digits[n++] = c == u',' ? '.' : char(c);
    }
    if (n == 0)
        return 0.0f;
    double v = 0;
    const auto [end, error] = std::from_chars(digits, digits + n, v);
    if (error != std::errc() || end != digits + n || !std::isfinite(v))
        return 0.0f;
    return float(v);
}

void ReadCurveCells(const QString &x, const QString &y, BoxRecord &box)
{
    const int n = std::min<int>(int(x.size() / 6), CurveSize);
    for (int i = 0; i < n; ++i) {
        box.x[i] = ReadCurveCell(QStringView(x).mid(6 * i, 6));
        box.y[i] = ReadCurveCell(QStringView(y).mid(6 * i, 6));
    }
}
