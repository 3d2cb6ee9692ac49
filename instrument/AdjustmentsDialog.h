#pragma once

#include <QDialog>
#include <array>

class DecimalKeyFilter;
class ReplyWait;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct AppContext;

// The measurement adjustments of the active box: shows the working copy
// AdjCurrent (presets for a box without a graph, the box's own values for a
// graph), checks each field when the operator leaves it and the cycle at
// "&OK", and writes Ein1..Ein8 back. A double click on the frame reveals the
// trace request.
class FrmEinst : public QDialog
{
    Q_OBJECT

public:
    explicit FrmEinst(AppContext &ctx, QWidget *parent = nullptr);

    // Field k as the adjustments number them: 1..8, 10 (scope), 11 (Ein9).
    QLineEdit *medEin(int k) const;
    bool isTraceWaiting() const;

    // Checks field index; an invalid one gets the focus back and its message.
    bool ValidateAdjustment(int index);

    void cmdEinOK_Click();
    void cmdEinAbr_Click();
    void fraEin_DblClick();
    void cmdTrace_Click();

    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void fieldGotFocus();
    void validatePending();
    int fieldIndex(const QObject *object) const;
    void traceAnswered(bool acknowledged);
    void endTraceWait();

    AppContext &m_ctx;
    std::array<QLineEdit *, 12> m_fields {}; // index 9 unused
    std::array<QLabel *, 10> m_captions {};
    QGroupBox *m_frame = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QLabel *m_traceLabel = nullptr;
    QLineEdit *m_traceText = nullptr;
    QPushButton *m_traceButton = nullptr;
    DecimalKeyFilter *m_keyFilter = nullptr;

    int m_lastField = 99; // the field that last lost the focus
    int m_pendingField = 0; // a check waiting to run, 0 when none
    bool m_refocusing = false; // focus moves back to an invalid field
    ReplyWait *m_traceWait = nullptr;
};
