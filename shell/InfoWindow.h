#pragma once

#include <QDialog>

class QPushButton;

class FrmInfo : public QDialog
{
    Q_OBJECT
public:
    explicit FrmInfo(QWidget *parent = nullptr);
    QPushButton *cmdZu = nullptr;
};
