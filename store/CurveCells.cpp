#include "store/CurveCells.h"

#include "shell/BoxRecord.h"
#include "shell/Notation.h"

#include <algorithm>

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

float ReadCurveCell(const QString &cell)
{
    QString t = cell.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? float(v) : 0.0f;
}

void ReadCurveCells(const QString &x, const QString &y, BoxRecord &box)
{
    const int n = std::min<int>(int(x.size() / 6), CurveSize);
    for (int i = 0; i < n; ++i) {
        box.x[i] = ReadCurveCell(x.mid(6 * i, 6));
        box.y[i] = ReadCurveCell(y.mid(6 * i, 6));
    }
}
