#pragma once

#include "display/DrawingSurface.h"

#include <QRectF>

class QPainter;

// The drawing surface over a QPainter on any paint device: a widget being
// painted, an image, a printer or a PDF writer. The device's drawable area
// and its resolution come from the painter's device.
//
// Draw widths count pixels of the surface's kind: screen pixels at 96 dpi,
// or printer dots of a reference printer on paper, so a width looks the same
// on every screen and on every printer resolution.
class PainterSurface : public DrawingSurface
{
public:
    enum class Kind { Screen, Paper };

    // Dots per inch of the reference printer a paper draw width counts in.
    static constexpr double PaperDotsPerInch = 300;
    static constexpr double ScreenDotsPerInch = 96;

    // The painter must be active. The font starts as `font` (a picture
    // box's own font on screen); the paper's default is the report face.
    PainterSurface(QPainter &painter, Kind kind, const QFont &font);
    // A surface on part of the device only, e.g. inside a widget's frame;
    // `area` is in painter units.
    PainterSurface(QPainter &painter, Kind kind, const QFont &font, const QRectF &area);
    explicit PainterSurface(QPainter &painter, Kind kind = Kind::Screen);

    QSizeF extentTwips() const override;

    // Fills the whole surface with the background colour.
    void clear();

    QPainter &painter() { return m_painter; }

protected:
    void drawLine(double x1, double y1, double x2, double y2) override;
    void drawRectangle(double x1, double y1, double x2, double y2) override;
    void drawText(double x, double y, const QString &text) override;
    QSizeF measureText(const QString &text) const override;

    // Pixels of the painter per twip.
    double scaleX() const { return m_dpiX / 1440.0; }
    double scaleY() const { return m_dpiY / 1440.0; }

private:
    void applyPen();
    QPointF toPainter(double x, double y) const;

    QPainter &m_painter;
    Kind m_kind;
    double m_dpiX;
    double m_dpiY;
    QPointF m_origin; // painter units
    QSizeF m_size;
};
