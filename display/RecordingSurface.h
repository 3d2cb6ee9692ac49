#pragma once

#include "display/DrawingSurface.h"

#include <QList>

// A surface that remembers what was drawn, in the logical units of the
// moment, for tests. Text is measured as a fixed-pitch face: every character
// 0.6 of the point size wide, a line 1.15 times the point size high.
class RecordingSurface : public DrawingSurface
{
public:
    struct Line
    {
        double x1, y1, x2, y2;
        int width;
        qint32 color;
        int page;
        int order; // position among everything drawn
    };
    struct Text
    {
        double x, y; // top left corner
        QString text;
        QString family;
        double size;
        bool bold;
        bool underline;
        bool transparent;
        qint32 color;
        int page;
        int order; // position among everything drawn
    };
    struct Rectangle
    {
        double x1, y1, x2, y2;
        int page;
        int order; // position among everything drawn
    };

    // The drawable area in twips, e.g. 9000 x 6000 for a 600 x 400 pixel box.
    explicit RecordingSurface(QSizeF extentTwips = QSizeF(25500, 15750),
                              const QFont &font = QFont(QStringLiteral("Sans"), 8));

    QSizeF extentTwips() const override { return m_extent; }
    bool newPage() override;

    // Texts whose text equals `text`, in drawing order.
    QList<Text> textsEqualTo(const QString &text) const;
    QStringList textStrings() const;

    QList<Line> lines;
    QList<Text> texts;
    QList<Rectangle> rectangles;
    int page = 0; // pages completed so far
    bool refuseNewPage = false;
    int drawn = 0; // count of everything drawn

protected:
    void drawLine(double x1, double y1, double x2, double y2) override;
    void drawRectangle(double x1, double y1, double x2, double y2) override;
    void drawText(double x, double y, const QString &text) override;
    QSizeF measureText(const QString &text) const override;

private:
    QSizeF m_extent;
};
