#pragma once

#include "evaluation/ResultCaptions.h"

#include <QDialog>
#include <array>

class QGridLayout;
class QLabel;
class QPushButton;
struct AppContext;

// The results window: the five results of the active box with the limits it
// holds and its deviations from them, as a ruled table. It only reads the
// box; the deviations are those of the last limit check.
class FrmErg : public QDialog
{
    Q_OBJECT
public:
    explicit FrmErg(AppContext &ctx, QWidget *parent = nullptr);

private:
    void createControls();
    void layOut();
    void Form_Load();
    void evenNumberColumns();
    void cmdErgAb_Click();

    AppContext &m_ctx;
    QGridLayout *m_grid = nullptr;

    QLabel *lblErg, *lblGrw, *lblGrwmin, *lblGrWmax, *lblAbw;
    QLabel *lblErgHinweis = nullptr; // how the curve was measured, when not whole
    // One control array per column, row k showing result k + 1.
    std::array<QLabel *, ResultCount> lbl1 {}, lbl2 {}, lbl3 {}, lbl4 {}, lbl5 {}, lbl6 {}, lbl7 {};
    QPushButton *cmdErgAb;
};
