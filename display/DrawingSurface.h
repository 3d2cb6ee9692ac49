#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>

// A surface the plots and the report draw on, in a logical coordinate system
// of the caller's choice. Until a scale is set the system is twips (1440 to
// the inch) with the origin at the top left corner of the drawable area, and
// it returns to that after resetScale(). The vertical axis grows downwards.
//
// The surface keeps the state the drawing routines rely on: a current
// position that lines and texts move, a foreground colour used for both, a
// draw width, a font and whether text is drawn without its background.
// Implementations only supply the primitives, in twips of the surface.
class DrawingSurface
{
public:
    virtual ~DrawingSurface() = default;

    // Logical system: (x1, y1) at the top left corner, (x2, y2) at the bottom
    // right corner of the whole surface.
    void setScale(double x1, double y1, double x2, double y2);
    // The four parts of the system one at a time, as the report sets them.
    void setScaleLeft(double left) { m_left = left; }
    void setScaleTop(double top) { m_top = top; }
    void setScaleWidth(double width);
    void setScaleHeight(double height);
    void resetScale();
    double scaleLeft() const { return m_left; }
    double scaleTop() const { return m_top; }
    double scaleWidth() const { return m_width; }
    double scaleHeight() const { return m_height; }

    // Size of the drawable area in twips.
    virtual QSizeF extentTwips() const = 0;

    // Lines in the foreground colour and draw width; both leave the current
    // position at the far end.
    void line(double x1, double y1, double x2, double y2);
    void lineTo(double x, double y);
    // Outline of a rectangle between two corners.
    void rectangle(double x1, double y1, double x2, double y2);

    double currentX() const { return m_curX; }
    double currentY() const { return m_curY; }
    void setCurrentX(double x) { m_curX = x; }
    void setCurrentY(double y) { m_curY = y; }

    // Text with its top left corner at the current position; the current
    // position moves to the text's right end.
    void print(const QString &text);
    double textWidth(const QString &text) const;
    double textHeight(const QString &text) const;

    // Colour as 0xBBGGRR, the order the colour settings are stored in.
    void setForeColor(qint32 bgr) { m_fore = bgr; }
    qint32 foreColor() const { return m_fore; }
    // Width of lines in pixels of the surface's kind (see PainterSurface).
    void setDrawWidth(int width) { m_drawWidth = width < 1 ? 1 : width; }
    int drawWidth() const { return m_drawWidth; }

    void setFont(const QString &family, double pointSize, bool bold = false,
                 bool underline = false);
    void setFontName(const QString &family);
    void setFontSize(double pointSize);
    void setFontBold(bool bold) { m_font.setBold(bold); }
    void setFontUnderline(bool underline) { m_font.setUnderline(underline); }
    const QFont &font() const { return m_font; }
    // False fills the text's cell with the background colour first.
    void setFontTransparent(bool transparent) { m_fontTransparent = transparent; }
    bool fontTransparent() const { return m_fontTransparent; }

    // Ends the current page and starts a new one; false if the device
    // refused. Surfaces without pages accept and do nothing.
    virtual bool newPage() { return true; }

    // Logical coordinates to twips of the surface and lengths back.
    double twipsX(double x) const;
    double twipsY(double y) const;
    double logicalWidth(double twips) const;
    double logicalHeight(double twips) const;

protected:
    // Call from the constructor once the extent is known.
    void initialise(const QFont &font);

    // Primitives in twips of the surface, with the state above.
    virtual void drawLine(double x1, double y1, double x2, double y2) = 0;
    virtual void drawRectangle(double x1, double y1, double x2, double y2) = 0;
    virtual void drawText(double x, double y, const QString &text) = 0;
    virtual QSizeF measureText(const QString &text) const = 0;

private:
    double m_left = 0;
    double m_top = 0;
    double m_width = 1;
    double m_height = 1;
    double m_curX = 0;
    double m_curY = 0;
    qint32 m_fore = 0;
    int m_drawWidth = 1;
    QFont m_font;
    bool m_fontTransparent = true;
};
