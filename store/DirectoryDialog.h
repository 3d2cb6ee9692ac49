#pragma once

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
struct AppContext;

// Creates (DialogMode other than 1) or deletes (DialogMode 1) directories of
// graphs, limit files or patterns. Stays open after each action; only
// "&Return" closes it.
class FrmVzV : public QDialog
{
    Q_OBJECT
public:
    explicit FrmVzV(AppContext &ctx, QWidget *parent = nullptr);

private:
    void createControls();
    void layOut();
    void connectHandlers();
    void Form_Load();

    void optVzV_Click(int index);
    void List1_Click();
    void txtNeu_KeyUp();
    void cmdVzVOk_Click();
    void createDirectory();
    void deleteSelectedDirectory();

    void ListDirectories(int type);

    AppContext &m_ctx;
    const bool m_deleteMode;
    int m_type = 0;

    QRadioButton *optVzV[3];
    QListWidget *List1;
    QGroupBox *fraNeu;
    QLineEdit *txtNeu;
    QPushButton *cmdVzVOk, *cmdVzVAb;
};
