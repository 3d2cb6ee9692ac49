#pragma once

#include <QDialog>
#include <optional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct AppContext;

// Print margins, line widths, the box and scope of time chosen at the next
// start, the stored AD/IO addresses and delay, and the NetPC's address.
// "&OK" takes the values into the settings and the database, "&Cancel"
// leaves both alone. A value that does not read gets "Error" and keeps its
// old value; the others are still taken. A database the field names in a
// way that cannot be used is refused before anything is taken, with the
// focus back on the field.
class FrmSonst : public QDialog
{
    Q_OBJECT
public:
    explicit FrmSonst(AppContext &ctx, QWidget *parent = nullptr);

private:
    void createControls();
    void layOut();
    void connectHandlers();
    void Form_Load();
    void cmdOK_Click();

    void showError();
    void takeNumber(QLineEdit *field, float &setting);
    void takeAddress(QLineEdit *field, int &setting);
    void takeHost();
    bool databaseUsable();
    void takeDatabase();
    QString shownDatabase() const;
    static int checkedNumber(const QButtonGroup *group); // 0 if none is checked

    AppContext &m_ctx;
    int m_storedAeb = 1;

    QGroupBox *fraRnd, *fraLi, *fraGr, *fraDr, *fraZb_Eb, *fraEb, *fraZb;
    QLabel *lblOb, *lblUn, *lblRe, *lblLi, *cm[4], *lblAD, *lblIO, *Label1, *lblHost, *lblDb;
    QLineEdit *txtOb, *txtUn, *txtRe, *txtLi, *txtAD, *txtIO, *Text1, *txtHost, *txtDb;
    QRadioButton *GrOpt[4], *DrOpt[4], *EbOpt[6], *ZbOpt[7]; // 1-based
    QButtonGroup *grGroup, *drGroup, *ebGroup, *zbGroup;
    QPushButton *cmdOK, *cmdAb;
};
