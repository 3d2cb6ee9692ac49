#pragma once

#include <QLabel>

// A one-line label that shows its whole text where there is room and ends it
// with "…" where there is not, the whole text then showing as its tool-tip.
// It asks for room for `reserve` characters, so a tile column keeps its
// width whatever the box holds, and can be narrowed with the window.
class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidedLabel(int reserve, QWidget *parent = nullptr);

    void setText(const QString &text);
    bool isElided() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateToolTip();
    int reserveWidth() const;

    int m_reserve;
};
