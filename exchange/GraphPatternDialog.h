#pragma once

#include <QDialog>
#include <functional>

class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
struct AppContext;

// Saves the active box into a directory of the database, loads a stored
// graph or pattern into it, deletes one, or exports one to a file: the task
// is DialogMode 1 (save), 2 (load), 3 (delete) or 4 (export) at opening.
// Save, load and export close the dialog when done; delete keeps it open.
class FrmDOrg : public QDialog
{
    Q_OBJECT
public:
    explicit FrmDOrg(AppContext &ctx, QWidget *parent = nullptr);

    // Asks for the export file name and leaves it in ExportFileName (empty
    // when cancelled). Opens the export file dialog unless replaced (tests).
    std::function<void(AppContext &)> chooseExportFile;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum Mode { SaveMode = 1, LoadMode = 2, DeleteMode = 3, ExportMode = 4 };

    void createControls();
    void layOut();
    void connectHandlers();
    void Form_Load();
    void preselectStoredRecord();

    void optDOrg_Click(int index);
    void List1_Click();
    void List2_Click();
    void txtNeu_GotFocus();
    void txtNeu_KeyUp();
    void cmdDOrgOk_Click();
    void cmdDOrgAb_Click();

    void saveClicked();
    void loadClicked();
    void deleteClicked();
    void exportClicked();

    void ListDirectories(int type);
    void ListRecords(qint32 directory);
    qint32 selectedDirectory() const;
    qint32 selectedRecord() const;

    AppContext &m_ctx;
    const int m_mode;
    int m_type = 0; // directory type listed: 0 graphs, 2 patterns

    QGroupBox *fraDOrg, *fraVz, *fraKrvVor, *fraNeu;
    QRadioButton *optDOrg_0, *optDOrg_2;
    QListWidget *List1, *List2;
    QLineEdit *txtNeu;
    QPushButton *cmdDOrgOk, *cmdDOrgAb;
};
