#pragma once

#include "exchange/DriveDirectoryDialog.h"
#include "exchange/ImportTarget.h"

#include <memory>

class QFileSystemModel;
class QListView;
class QPushButton;
struct AppContext;

// Picks import files ("*.kpf", several at once) and stores each in the
// "import" directory of its kind. The dialog stays open for more; every file
// is deselected once it has been dealt with.
class FrmImp : public DriveDirectoryDialog
{
    Q_OBJECT
public:
    explicit FrmImp(AppContext &ctx, QWidget *parent = nullptr);
    ~FrmImp() override;

    // The file list's directory (filList.Path).
    QString fileListPath() const;

protected:
    void dirList_Change() override;

private:
    void Form_Load();
    void cmdImp_Click();
    void cmdZu_Click();

    AppContext &m_ctx;
    std::unique_ptr<ImportTarget> m_target;
    QFileSystemModel *m_files;
    QListView *filList;
    QPushButton *cmdImp, *cmdZu;
};
