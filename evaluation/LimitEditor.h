#pragma once

#include <QDialog>
#include <array>

class DecimalKeyFilter;
class LeaveChecks;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct AppContext;

// The limit editor: creates a limit file in the directory SelVerzID
// (DialogMode 0) or changes the limits of the file SelGrwID (any other
// mode). It writes the file through the store when "&OK" is pressed and
// nothing otherwise; the caller refreshes its list afterwards.
class FrmGrw : public QDialog
{
    Q_OBJECT
public:
    explicit FrmGrw(AppContext &ctx, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static constexpr int Rows = 5; // results 1..5 in rows 0..4

    void createControls();
    void layOut();
    void connectHandlers();
    void Form_Load();
    void showStoredLimit(QLineEdit *field, float value);

    void medUgs_LostFocus(int index);
    void medOgs_LostFocus(int index);
    void checkLimit(QLineEdit *field, int index);
    void txtNeu_GotFocus();
    void txtNeu_Change();
    void cmdGrwOK_Click();
    void cmdGrwAB_Click();

    // The ten limits as the fields show them; false, with the focus and the
    // range message at the first field that holds no number.
    bool readLimits(std::array<float, 6> &lower, std::array<float, 6> &upper);
    bool newMode() const { return m_dialogMode == 0; }

    AppContext &m_ctx;
    const int m_dialogMode;
    LeaveChecks *m_checks;
    DecimalKeyFilter *m_decimalKeys;

    QGroupBox *fraGrw;
    QLabel *lblGrw, *lblGrwmin, *lblGrWmax;
    std::array<QLabel *, Rows> lbl1 {}, lbl3 {}, lblrange {};
    std::array<QLineEdit *, Rows> medUgs {}, medOgs {};
    QGroupBox *fraNeu;
    QLineEdit *txtNeu;
    QPushButton *cmdGrwAB, *cmdGrwOK;
};
