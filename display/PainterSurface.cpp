#include "display/PainterSurface.h"

#include "display/BgrColor.h"
#include "display/ReportFonts.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

namespace {

QFont paperFont()
{
    InstallFontSubstitutions();
    QFont font(ReportFontFamily());
    font.setPointSizeF(10);
    return font;
}

} // namespace

PainterSurface::PainterSurface(QPainter &painter, Kind kind, const QFont &font)
    : m_painter(painter), m_kind(kind)
{
    QPaintDevice *device = painter.device();
    m_dpiX = device && device->logicalDpiX() > 0 ? device->logicalDpiX() : ScreenDotsPerInch;
    m_dpiY = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : ScreenDotsPerInch;
    m_size = device ? QSizeF(device->width(), device->height()) : QSizeF();
    initialise(font);
    // Thin antialiased lines look ragged on paper output only in previews;
    // on screen they are what makes a curve read as a curve.
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
}

PainterSurface::PainterSurface(QPainter &painter, Kind kind)
    : PainterSurface(painter, kind,
                     kind == Kind::Paper ? paperFont()
                                         : (painter.device() ? painter.font() : QFont()))
{
}

QSizeF PainterSurface::extentTwips() const
{
    return QSizeF(m_size.width() / scaleX(), m_size.height() / scaleY());
}

void PainterSurface::clear()
{
    m_painter.fillRect(QRectF(QPointF(0, 0), m_size), Qt::white);
}

void PainterSurface::applyPen()
{
    const double perPixel = m_kind == Kind::Screen ? m_dpiX / ScreenDotsPerInch
                                                   : m_dpiX / PaperDotsPerInch;
    QPen pen(ColorFromBgr(foreColor()));
    pen.setWidthF(drawWidth() * perPixel);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
}

void PainterSurface::drawLine(double x1, double y1, double x2, double y2)
{
    applyPen();
    m_painter.drawLine(QPointF(x1 * scaleX(), y1 * scaleY()), QPointF(x2 * scaleX(), y2 * scaleY()));
}

void PainterSurface::drawRectangle(double x1, double y1, double x2, double y2)
{
    applyPen();
    m_painter.drawRect(QRectF(QPointF(x1 * scaleX(), y1 * scaleY()),
                              QPointF(x2 * scaleX(), y2 * scaleY()))
                           .normalized());
}

void PainterSurface::drawText(double x, double y, const QString &text)
{
    m_painter.setFont(font());
    const QFontMetricsF metrics(font(), m_painter.device());
    const QPointF topLeft(x * scaleX(), y * scaleY());
    if (!fontTransparent())
        m_painter.fillRect(QRectF(topLeft, QSizeF(metrics.horizontalAdvance(text), metrics.height())),
                           Qt::white);
    m_painter.setPen(ColorFromBgr(foreColor()));
    m_painter.drawText(topLeft + QPointF(0, metrics.ascent()), text);
}

QSizeF PainterSurface::measureText(const QString &text) const
{
    const QFontMetricsF metrics(font(), m_painter.device());
    // A text of several lines is as high as its lines together.
    const qsizetype lines = text.count(QLatin1Char('\n')) + 1;
    return QSizeF(metrics.horizontalAdvance(text) / scaleX(), metrics.height() * lines / scaleY());
}
