#pragma once

#include <QDialog>

class QGroupBox;
class QListWidget;
class QPushButton;
struct AppContext;

// The limit files by directory: create, change, delete them, and in relate
// mode (DialogMode 1 at opening) copy one into the active box. On closing,
// DialogMode is 1 when a file was related and 0 otherwise.
class FrmGrwOrg : public QDialog
{
    Q_OBJECT
public:
    explicit FrmGrwOrg(AppContext &ctx, QWidget *parent = nullptr);

    // Any way of closing other than relating counts as "&Return".
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    void layOut();
    void connectHandlers();
    void Form_Load();

    void List1_Click();
    void List2_Click();
    void cmdGrwOrgNeu_Click();
    void cmdGrwOrgAen_Click();
    void cmdGrwOrgLoe_Click();
    void cmdGrwOrgZO_Click();
    void cmdGrwOrgOk_Click();

    void fillDirectories(int type);
    void fillLimitFiles(qint32 verzId);
    // Refills the limit files after an edit; none is selected afterwards.
    void refreshLimitFiles();
    void enableFileButtons(bool enabled);
    qint32 selectedDirectory() const;
    qint32 selectedLimitFile() const;
    void openEditor();

    AppContext &m_ctx;
    const bool m_relateMode;

    QGroupBox *fraVz, *fraGrw;
    QListWidget *List1, *List2;
    QPushButton *cmdGrwOrgZO, *cmdGrwOrgAen, *cmdGrwOrgNeu, *cmdGrwOrgLoe, *cmdGrwOrgOk;
};
