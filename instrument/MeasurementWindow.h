#pragma once

#include <QDialog>
#include <QTimer>

class MeasurementRun;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;
struct AppContext;

// The measurement window: runs the measurement of the active box when it is
// first shown (if one was requested through MeasureRequested), draws the
// curve as it grows and shows the run's live values. A run that ends by
// itself closes the window; one ended with "&End measurement" leaves it
// open until "&Return". The caller sets the caption and MeasureRequested,
// then calls exec().
class FrmMessen : public QDialog
{
    Q_OBJECT

public:
    explicit FrmMessen(AppContext &ctx, QWidget *parent = nullptr);
    ~FrmMessen() override;

    MeasurementRun *run() const { return m_run; }
    bool isFinished() const { return m_finished; }

    void cmdMessenBe_Click();
    void cmdMessenAb_Click();

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void startRequestedRun();
    void runStarted();
    void waitingForReading();
    void pointStored(int index);
    void timedOut(int count);
    void breaking();
    void runFinished();
    void offerReconnect();
    void showElapsed();
    void setStatus(const QString &text);

    AppContext &m_ctx;
    MeasurementRun *m_run = nullptr;
    bool m_finished = false;

    QWidget *m_plot = nullptr; // Picture1
    QWidget *m_lamp = nullptr; // Picture2
    QLineEdit *m_point = nullptr; // Text1
    QLineEdit *m_time = nullptr; // Text2
    QLineEdit *m_pointShort = nullptr; // Text3
    QLineEdit *m_value = nullptr;
    QLineEdit *m_elapsed = nullptr;
    QLineEdit *m_timeouts = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_info = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_end = nullptr; // cmdMessenBe
    QPushButton *m_return = nullptr; // cmdMessenAb
    QTimer m_clock;
    QTimer m_lampOff;
};
