#pragma once

#include "exchange/DriveDirectoryDialog.h"

class QLineEdit;
class QPushButton;
struct AppContext;

// Picks the export file: a directory and a file name (default "export.dat").
// Leaves the full path in ExportFileName, or an empty text when cancelled.
class FrmExp : public DriveDirectoryDialog
{
    Q_OBJECT
public:
    explicit FrmExp(AppContext &ctx, QWidget *parent = nullptr);

    void reject() override;

private:
    void Form_Load();
    void cmdImp_Click();
    void cmdZu_Click();

    AppContext &m_ctx;
    QLineEdit *Text1;
    QPushButton *cmdImp, *cmdZu;
};
