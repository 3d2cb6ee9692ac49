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
    : PainterSurface(painter, kind, font,
                     painter.device() ? QRectF(0, 0, painter.device()->width(),
                                               painter.device()->height())
                                      : QRectF())
{
}

PainterSurface::PainterSurface(QPainter &painter, Kind kind, const QFont &font,
                               const QRectF &area)
    : m_painter(painter), m_kind(kind), m_origin(area.topLeft()), m_size(area.size())
{
    QPaintDevice *device = painter.device();
    m_dpiX = device && device->logicalDpiX() > 0 ? device->logicalDpiX() : ScreenDotsPerInch;
    m_dpiY = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : ScreenDotsPerInch;
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
    m_painter.fillRect(QRectF(m_origin, m_size), Qt::white);
}

QPointF PainterSurface::toPainter(double x, double y) const
{
    return m_origin + QPointF(x * scaleX(), y * scaleY());
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
    m_painter.drawLine(toPainter(x1, y1), toPainter(x2, y2));
}

void PainterSurface::drawRectangle(double x1, double y1, double x2, double y2)
{
    applyPen();
    m_painter.drawRect(QRectF(toPainter(x1, y1), toPainter(x2, y2)).normalized());
}

void PainterSurface::drawText(double x, double y, const QString &text)
{
    m_painter.setFont(font());
    const QFontMetricsF metrics(font(), m_painter.device());
    const QPointF topLeft = toPainter(x, y);
    if (!fontTransparent()) {
        const QSizeF cell(metrics.horizontalAdvance(text), metrics.height());
        m_painter.fillRect(QRectF(topLeft, cell), Qt::white);
    }
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
