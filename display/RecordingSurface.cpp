#include "display/RecordingSurface.h"

#include <QStringList>

RecordingSurface::RecordingSurface(QSizeF extentTwips, const QFont &font) : m_extent(extentTwips)
{
    initialise(font);
}

bool RecordingSurface::newPage()
{
    if (refuseNewPage)
        return false;
    ++page;
    return true;
}

// The primitives arrive in twips; the record keeps the caller's units.
void RecordingSurface::drawLine(double x1, double y1, double x2, double y2)
{
    lines.append({scaleLeft() + logicalWidth(x1), scaleTop() + logicalHeight(y1),
                  scaleLeft() + logicalWidth(x2), scaleTop() + logicalHeight(y2), drawWidth(),
                  foreColor(), page, drawn++});
}

void RecordingSurface::drawRectangle(double x1, double y1, double x2, double y2)
{
    rectangles.append({scaleLeft() + logicalWidth(x1), scaleTop() + logicalHeight(y1),
                       scaleLeft() + logicalWidth(x2), scaleTop() + logicalHeight(y2), page,
                       drawn++});
}

void RecordingSurface::drawText(double x, double y, const QString &text)
{
    texts.append({scaleLeft() + logicalWidth(x), scaleTop() + logicalHeight(y), text,
                  font().family(), font().pointSizeF(), font().bold(), font().underline(),
                  fontTransparent(), foreColor(), page, drawn++});
}

QSizeF RecordingSurface::measureText(const QString &text) const
{
    const double points = font().pointSizeF();
    const qsizetype lines = text.count(QLatin1Char('\n')) + 1;
    return QSizeF(text.size() * points * 0.6 * 20, points * 1.15 * 20 * lines);
}

QList<RecordingSurface::Text> RecordingSurface::textsEqualTo(const QString &text) const
{
    QList<Text> out;
    for (const Text &t : texts)
        if (t.text == text)
            out.append(t);
    return out;
}

QStringList RecordingSurface::textStrings() const
{
    QStringList out;
    for (const Text &t : texts)
        out << t.text;
    return out;
}
