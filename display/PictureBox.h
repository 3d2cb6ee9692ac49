#pragma once

#include <QFrame>

class DrawingSurface;

// A framed white drawing area. Every paint hands a fresh surface over the
// area inside the frame (twips until the receiver sets a scale) to whoever
// is connected to `paint`; nothing drawn is kept between paints.
class PictureBox : public QFrame
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

signals:
    void paint(DrawingSurface &surface);

protected:
    void paintEvent(QPaintEvent *event) override;
};
