#include "display/DrawingSurface.h"

#include "display/ReportFonts.h"

void DrawingSurface::initialise(const QFont &font)
{
    InstallFontSubstitutions();
    m_font = font;
    resetScale();
}

void DrawingSurface::setScale(double x1, double y1, double x2, double y2)
{
    m_left = x1;
    m_top = y1;
    setScaleWidth(x2 - x1);
    setScaleHeight(y2 - y1);
}

// A zero extent would make every coordinate infinite; keep the last one.
void DrawingSurface::setScaleWidth(double width)
{
    if (width != 0)
        m_width = width;
}

void DrawingSurface::setScaleHeight(double height)
{
    if (height != 0)
        m_height = height;
}

void DrawingSurface::resetScale()
{
    const QSizeF extent = extentTwips();
    m_left = 0;
    m_top = 0;
    m_width = extent.width() > 0 ? extent.width() : 1;
    m_height = extent.height() > 0 ? extent.height() : 1;
}

double DrawingSurface::twipsX(double x) const
{
    return (x - m_left) * extentTwips().width() / m_width;
}

double DrawingSurface::twipsY(double y) const
{
    return (y - m_top) * extentTwips().height() / m_height;
}

double DrawingSurface::logicalWidth(double twips) const
{
    const double extent = extentTwips().width();
    return extent > 0 ? twips * m_width / extent : 0;
}

double DrawingSurface::logicalHeight(double twips) const
{
    const double extent = extentTwips().height();
    return extent > 0 ? twips * m_height / extent : 0;
}

void DrawingSurface::line(double x1, double y1, double x2, double y2)
{
    drawLine(twipsX(x1), twipsY(y1), twipsX(x2), twipsY(y2));
    m_curX = x2;
    m_curY = y2;
}

void DrawingSurface::lineTo(double x, double y)
{
    line(m_curX, m_curY, x, y);
}

void DrawingSurface::rectangle(double x1, double y1, double x2, double y2)
{
    drawRectangle(twipsX(x1), twipsY(y1), twipsX(x2), twipsY(y2));
    m_curX = x2;
    m_curY = y2;
}

void DrawingSurface::print(const QString &text)
{
    drawText(twipsX(m_curX), twipsY(m_curY), text);
    m_curX += textWidth(text);
}

double DrawingSurface::textWidth(const QString &text) const
{
    return logicalWidth(measureText(text).width());
}

double DrawingSurface::textHeight(const QString &text) const
{
    return logicalHeight(measureText(text).height());
}

void DrawingSurface::setFont(const QString &family, double pointSize, bool bold, bool underline)
{
    setFontName(family);
    setFontSize(pointSize);
    m_font.setBold(bold);
    m_font.setUnderline(underline);
}

void DrawingSurface::setFontName(const QString &family)
{
    m_font.setFamily(family);
}

// Qt refuses sizes that are not positive; the smallest sensible size stands in.
void DrawingSurface::setFontSize(double pointSize)
{
    m_font.setPointSizeF(pointSize > 0 ? pointSize : 1);
}
