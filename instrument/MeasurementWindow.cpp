#include "instrument/MeasurementWindow.h"

#include "core/AppContext.h"
#include "core/ButtonKeys.h"
#include "core/CurveNote.h"
#include "core/Notation.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"
#include "display/BgrColor.h"
#include "instrument/LinkReconnect.h"
#include "instrument/MeasurementPlot.h"
#include "instrument/MeasurementRun.h"
#include "instrument/NetLink.h"
#include "instrument/RunJournalWriter.h"
#include "store/Store.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

// The readouts look like the instrument's own display: light figures on a
// dark panel, so they stand apart from the graph and read from a distance.
const char *const kPanelStyle = R"(
QFrame#panMessen { background: #1d252b; border-radius: 6px; }
QFrame#panMessen QLabel { color: #9fb3bf; background: transparent; }
QFrame#panMessen QLabel[role="status"] { color: #f2d17c; font-weight: bold; font-size: 11pt; }
QFrame#panMessen QLabel[role="info"] { color: #71848f; }
QFrame#panMessen QLineEdit { color: #7cf29a; background: #10161a; border: 1px solid #34424b;
                             border-radius: 3px; font-family: monospace; font-size: 17pt;
                             padding: 1px 6px; }
QFrame#panMessen QProgressBar { background: #10161a; border: 1px solid #34424b; color: #e3ecf1;
                                text-align: center; height: 14px; }
QFrame#panMessen QProgressBar::chunk { background: #2f8f55; }
)";

// Picture2: a lamp that is lit once a reading has been taken and dark while
// the run waits for the next one.
class ActivityLamp : public QWidget
{
public:
    explicit ActivityLamp(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(18, 18);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x0e, 0x3d, 0x1e), 1.5));
        p.setBrush(QColor(0x4c, 0xf0, 0x7a));
        p.drawEllipse(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
    }
};

QLineEdit *readout(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

QString clockText(qint64 ms)
{
    const qint64 s = ms / 1000;
    const auto twoDigits
        = [](qint64 n) { return QString::number(n).rightJustified(2, QLatin1Char('0')); };
    return twoDigits(s / 3600) + QLatin1Char(':') + twoDigits((s / 60) % 60) + QLatin1Char(':')
        + twoDigits(s % 60);
}

} // namespace

FrmMessen::FrmMessen(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmMessen"));
    new ButtonKeys(this);
    buildControls();
    connect(&m_clock, &QTimer::timeout, this, &FrmMessen::showElapsed);
    m_lampOff.setSingleShot(true);
    m_lampOff.setInterval(400);
    connect(&m_lampOff, &QTimer::timeout, m_lamp, &QWidget::hide);
    Form_Load();
}

FrmMessen::~FrmMessen() = default;

void FrmMessen::buildControls()
{
    auto *plot = new MeasurementPlot(m_ctx.settings, m_ctx.notation, this);
    plot->setObjectName(QStringLiteral("Picture1"));
    if (m_ctx.store)
        plot->offerReferenceChoice(*m_ctx.store, m_ctx.messages);
    m_plot = plot;

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("panMessen"));
    panel->setStyleSheet(QString::fromLatin1(kPanelStyle));
    panel->setFixedWidth(250);

    m_lamp = new ActivityLamp(panel);
    m_lamp->setObjectName(QStringLiteral("Picture2"));
    // The lamp goes dark while waiting; the caption beside it stays put.
    QSizePolicy lampPolicy = m_lamp->sizePolicy();
    lampPolicy.setRetainSizeWhenHidden(true);
    m_lamp->setSizePolicy(lampPolicy);
    m_status = new QLabel(panel);
    m_status->setObjectName(QStringLiteral("lblMessenStatus"));
    m_status->setProperty("role", "status");
    m_point = readout(QStringLiteral("Text1"), panel);
    m_value = readout(QStringLiteral("txtMessenWert"), panel);
    m_time = readout(QStringLiteral("Text2"), panel);
    m_elapsed = readout(QStringLiteral("txtMessenZeit"), panel);
    m_pointShort = readout(QStringLiteral("Text3"), panel);
    m_timeouts = readout(QStringLiteral("txtMessenTimeouts"), panel);
    m_progress = new QProgressBar(panel);
    m_progress->setObjectName(QStringLiteral("prbMessen"));
    m_progress->setRange(0, 100);
    m_progress->setFormat(QStringLiteral("%p %"));
    m_info = new QLabel(panel);
    m_info->setObjectName(QStringLiteral("lblMessenInfo"));
    m_info->setProperty("role", "info");

    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(14, 12, 14, 12);
    grid->setVerticalSpacing(3);
    grid->setHorizontalSpacing(10);
    auto *head = new QHBoxLayout;
    head->setSpacing(8);
    head->addWidget(m_lamp);
    head->addWidget(m_status, 1);
    int row = 0;
    grid->addLayout(head, row++, 0, 1, 2);
    grid->addItem(new QSpacerItem(0, 10), row++, 0);
    const auto caption = [panel](const QString &text) { return new QLabel(text, panel); };
    const auto big = [&](const QString &text, QWidget *value) {
        grid->addWidget(caption(text), row++, 0, 1, 2);
        grid->addWidget(value, row++, 0, 1, 2);
    };
    big(QStringLiteral("Point"), m_point);
    big(QStringLiteral("Value (%)"), m_value);
    big(QStringLiteral("Instrument time (ms)"), m_time);
    big(QStringLiteral("Elapsed"), m_elapsed);
    grid->addWidget(caption(QStringLiteral("Scope of time")), row++, 0, 1, 2);
    grid->addWidget(m_progress, row++, 0, 1, 2);
    grid->addItem(new QSpacerItem(0, 10), row++, 0);
    grid->addWidget(caption(QStringLiteral("Readings")), row, 0);
    grid->addWidget(caption(QStringLiteral("Time-outs")), row++, 1);
    grid->addWidget(m_pointShort, row, 0);
    grid->addWidget(m_timeouts, row++, 1);
    grid->setRowStretch(row++, 1);
    grid->addWidget(m_info, row++, 0, 1, 2);

    m_end = new QPushButton(this);
    m_end->setObjectName(QStringLiteral("cmdMessenBe"));
    m_return = new QPushButton(this);
    m_return->setObjectName(QStringLiteral("cmdMessenAb"));
    m_end->setAutoDefault(false);
    m_return->setAutoDefault(false);

    auto *side = new QVBoxLayout;
    side->addWidget(panel, 1);
    side->addSpacing(6);
    side->addWidget(m_end);
    side->addWidget(m_return);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_plot, 1);
    layout->addLayout(side);

    connect(m_end, &QPushButton::clicked, this, &FrmMessen::cmdMessenBe_Click);
    connect(m_return, &QPushButton::clicked, this, &FrmMessen::cmdMessenAb_Click);
    resize(1000, 580);
}

void FrmMessen::Form_Load()
{
    m_finished = false;
    m_end->setText(QStringLiteral("&End measurement"));
    m_return->setText(QStringLiteral("&Return"));
    m_end->setEnabled(false);
    m_point->setText(QStringLiteral("0"));
    m_pointShort->setText(QStringLiteral("0"));
    m_value->setText(QStringLiteral("--"));
    m_time->setText(QStringLiteral("--"));
    m_timeouts->setText(QStringLiteral("0"));
    m_elapsed->setText(clockText(0));
    m_progress->setValue(0);
    setStatus(QStringLiteral("Ready"));
    QApplication::restoreOverrideCursor();
}

void FrmMessen::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The run starts once the window is on screen, so the operator sees
    // the empty graph before the first reading arrives.
    if (m_ctx.settings.MeasureRequested == 1 && !m_run)
        QTimer::singleShot(0, this, &FrmMessen::startRequestedRun);
}

void FrmMessen::startRequestedRun()
{
    Settings &s = m_ctx.settings;
    if (s.MeasureRequested != 1 || m_run || !m_ctx.link)
        return;
    m_return->setEnabled(false);
    m_end->setEnabled(true);
    s.MeasureRequested = 0;

    m_run = new MeasurementRun(s, *m_ctx.link, m_ctx.messages, this);
    connect(m_run, &MeasurementRun::started, this, &FrmMessen::runStarted);
    connect(m_run, &MeasurementRun::waitingForReading, this, &FrmMessen::waitingForReading);
    connect(m_run, &MeasurementRun::pointStored, this, &FrmMessen::pointStored);
    connect(m_run, &MeasurementRun::timedOut, this, &FrmMessen::timedOut);
    connect(m_run, &MeasurementRun::breaking, this, &FrmMessen::breaking);
    connect(m_run, &MeasurementRun::finished, this, &FrmMessen::runFinished);
    // Every point reaches the file as it is taken.
    if (m_ctx.store)
        new RunJournalWriter(*m_run, m_ctx.store->database(), m_run);
    m_run->MeasureActiveBox();
}

void FrmMessen::runStarted()
{
    const BoxRecord &box = *m_run->box();
    const Notation &n = m_ctx.notation;
    m_info->setText(QStringLiteral("Box %1   %2\nVoltage %3 V, cycle %4 s, %5 min")
                        .arg(QString::number(box.BoxNr), box.Kovra.trimmed(),
                            n.plain(box.Ein[3]), n.plain(box.Ein[4]), n.plain(box.Ein[10])));
    static_cast<MeasurementPlot *>(m_plot)->setCurve(m_run->box(), false);
    m_clock.start(1000);
    setStatus(QStringLiteral("Measuring"));
}

void FrmMessen::waitingForReading()
{
    // The run waits again at once; the lamp stays lit a moment so that each
    // reading shows as a blink.
    m_lampOff.start();
}

void FrmMessen::pointStored(int index)
{
    const BoxRecord &box = *m_run->box();
    const QString number = QString::number(index);
    m_pointShort->setText(number);
    if (const auto ms = m_run->lastTimeMs())
        m_time->setText(m_ctx.notation.general(*ms));
    m_point->setText(number);
    m_value->setText(m_ctx.notation.format(box.x[size_t(index)], QStringLiteral("0.00")));
    const double scopeSeconds = double(box.Ein[10]) * 60;
    if (scopeSeconds > 0)
        m_progress->setValue(int(qBound(0.0, box.y[size_t(index)] / scopeSeconds, 1.0) * 100));
    m_lampOff.stop();
    m_lamp->setVisible(true);
    static_cast<MeasurementPlot *>(m_plot)->setCurve(m_run->box(), true);
    showElapsed();
}

void FrmMessen::timedOut(int count)
{
    m_timeouts->setText(QString::number(count));
    setStatus(QStringLiteral("No reading received"));
}

void FrmMessen::breaking()
{
    setStatus(QStringLiteral("Ending measurement"));
}

void FrmMessen::runFinished()
{
    m_clock.stop();
    showElapsed();
    BoxRecord &box = *m_run->box();
    // Whichever way it ended, the box now holds a graph with its results.
    box.Status = BoxStatus::Graph;
    box.Changed = true;
    m_return->setEnabled(true);
    m_end->setEnabled(false);
    if (const QString note = CurveNote(box); !note.isEmpty())
        m_info->setText(m_info->text() + QLatin1Char('\n') + note);
    if (m_run->outcome() == MeasurementRun::Outcome::LinkLost) {
        // The run has told why; the curve stays on screen until "&Return".
        setStatus(QStringLiteral("Connection lost"));
        m_return->setFocus();
        offerReconnect();
        return;
    }
    if (m_ctx.settings.EndRequest) {
        // Ended by the operator: the curve stays on screen until "&Return".
        setStatus(QStringLiteral("Measurement ended"));
        m_return->setFocus();
        return;
    }
    m_finished = true;
    setStatus(QStringLiteral("Finished"));
    accept();
}

void FrmMessen::offerReconnect()
{
    NetLink *link = m_ctx.link;
    if (!link || !m_ctx.messages.askYesNo(QStringLiteral("Reconnect to the NetPC now?")))
        return;
    // Owned by the link: the window may close before the NetPC answers.
    auto *reconnect = new LinkReconnect(*link, m_ctx.messages, m_ctx.settings, link);
    connect(reconnect, &LinkReconnect::finished, reconnect, &QObject::deleteLater);
    reconnect->start();
}

void FrmMessen::showElapsed()
{
    if (m_run)
        m_elapsed->setText(clockText(m_run->elapsedMs()));
}

void FrmMessen::setStatus(const QString &text)
{
    m_status->setText(text);
}

void FrmMessen::cmdMessenBe_Click()
{
    m_ctx.settings.EndRequest = true;
    m_end->setEnabled(false);
    setStatus(QStringLiteral("Ending after the next point"));
}

void FrmMessen::cmdMessenAb_Click()
{
    accept();
}

void FrmMessen::reject()
{
    // A running measurement is ended with its own button, never by Escape.
    if (m_run && m_run->isRunning())
        return;
    QDialog::reject();
}

void FrmMessen::closeEvent(QCloseEvent *event)
{
    if (m_run && m_run->isRunning()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
