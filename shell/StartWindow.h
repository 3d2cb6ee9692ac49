#pragma once

#include <QWidget>

// The splash shown while the zero point is determined: only its caption
// speaks, so it carries it large enough to read across the lab.
class FrmStart : public QWidget
{
    Q_OBJECT
public:
    explicit FrmStart(QWidget *parent = nullptr);
    void setCaption(const QString &caption);
};
