#include "shell/ElidedLabel.h"

#include <QPainter>

namespace
{

// Trailing blanks (a limit-file name fills its 50 characters) take no room.
QString visiblePart(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

} // namespace

ElidedLabel::ElidedLabel(int reserve, QWidget *parent)
    : QLabel(parent)
    , m_reserve(reserve)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElidedLabel::setText(const QString &text)
{
    QLabel::setText(text);
    updateToolTip();
    updateGeometry();
    update();
}

bool ElidedLabel::isElided() const
{
    return fontMetrics().horizontalAdvance(visiblePart(text())) > contentsRect().width();
}

int ElidedLabel::reserveWidth() const
{
    // Digits are as wide as the common letters; a tenth more for capitals.
    return fontMetrics().horizontalAdvance(QString(m_reserve, QLatin1Char('0'))) * 11 / 10;
}

QSize ElidedLabel::sizeHint() const
{
    const QMargins m = contentsMargins();
    const int width
        = std::max(reserveWidth(), fontMetrics().horizontalAdvance(visiblePart(text())));
    return { width + m.left() + m.right(), fontMetrics().height() + m.top() + m.bottom() };
}

QSize ElidedLabel::minimumSizeHint() const
{
    const QMargins m = contentsMargins();
    return { fontMetrics().horizontalAdvance(QStringLiteral("M…")) + m.left() + m.right(),
        fontMetrics().height() + m.top() + m.bottom() };
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown
        = fontMetrics().elidedText(visiblePart(text()), Qt::ElideRight, area.width());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, int(alignment() | Qt::TextSingleLine), shown);
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    updateToolTip();
}

void ElidedLabel::updateToolTip()
{
    setToolTip(isElided() ? visiblePart(text()) : QString());
}
