#include "instrument/AdjustmentsDialog.h"

#include "instrument/AdjustmentChecks.h"
#include "instrument/Adjustments.h"
#include "instrument/NetLink.h"
#include "instrument/ReplyWait.h"
#include "core/ButtonKeys.h"
#include "core/AppContext.h"
#include "core/DecimalKeyFilter.h"
#include "core/Notation.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace
{

struct FieldRow {
    int field; // medEin index
    int caption; // picEin index
    const char *text;
    const char *unit;
};

// Top to bottom, as the operator reads them; the temperature row is kept
// (it is written back) but never shown.
constexpr std::array<FieldRow, 10> kRows = { {
    { 10, 0, "Scope of time:", "" },
    { 1, 1, "Specimen No.:", "" },
    { 3, 3, "Voltage:", "V" },
    { 4, 4, "Measuring cycle:", "s" },
    { 2, 2, "", "\u00b0C" },
    { 5, 5, "Oil viscosity:", "m-Pa-s" },
    { 6, 6, "Aamplification:", "%" },
    { 7, 7, "Starting time:", "s" },
    { 8, 8, "Measuring time:", "s" },
    { 11, 9, "Open circuit current:", "mA" },
} };

// The adjustments the fields stand for (field 11 shows Ein9).
int adjustmentOf(int field)
{
    return field == 11 ? 9 : field;
}

bool isOperatorFocusChange(const QEvent *event)
{
    // Focus that leaves with the window (a message box opening) or comes
    // back with it is no move between fields.
    const auto reason = static_cast<const QFocusEvent *>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

FrmEinst::FrmEinst(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmEinst"));
    new ButtonKeys(this);
    buildControls();
    Form_Load();
}

void FrmEinst::buildControls()
{
    m_keyFilter = new DecimalKeyFilter(m_ctx.notation, this);
    m_frame = new QGroupBox(this);
    m_frame->setObjectName(QStringLiteral("fraEin"));
    m_frame->installEventFilter(this);
    auto *grid = new QGridLayout(m_frame);
    grid->setColumnStretch(1, 1);
    int line = 0;
    for (const FieldRow &row : kRows) {
        auto *caption = new QLabel(m_frame);
        caption->setObjectName(QStringLiteral("picEin_%1").arg(row.caption));
        auto *field = new QLineEdit(m_frame);
        field->setObjectName(QStringLiteral("medEin_%1").arg(row.field));
        field->setAlignment(Qt::AlignRight);
        field->setMinimumWidth(90);
        field->installEventFilter(this);
        m_keyFilter->watch(field);
        auto *unit = new QLabel(QString::fromUtf8(row.unit), m_frame);
        unit->setObjectName(QStringLiteral("labEinUnit_%1").arg(row.field));
        caption->setBuddy(field);
        m_captions[size_t(row.caption)] = caption;
        m_fields[size_t(row.field)] = field;
        if (row.field == 2) {
            // Outside the visible area in the lab's dialog: held, not shown.
            caption->hide();
            field->hide();
            unit->hide();
            continue;
        }
        grid->addWidget(caption, line, 0);
        grid->addWidget(field, line, 1);
        grid->addWidget(unit, line, 2);
        ++line;
    }

    m_traceLabel = new QLabel(this);
    m_traceLabel->setObjectName(QStringLiteral("labTrace"));
    m_traceText = new QLineEdit(this);
    m_traceText->setObjectName(QStringLiteral("txtTrace"));
    m_traceText->setMaximumWidth(80);
    m_traceButton = new QPushButton(this);
    m_traceButton->setObjectName(QStringLiteral("cmdTrace"));
    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("cmdEinOK"));
    m_ok->installEventFilter(this);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("cmdEinAbr"));
    m_cancel->setAutoDefault(false);
    m_traceButton->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_traceLabel);
    buttons->addWidget(m_traceText);
    buttons->addWidget(m_traceButton);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame);
    layout->addLayout(buttons);

    // The order the operator tabs through: down the fields, then the buttons.
    QWidget *previous = nullptr;
    for (const FieldRow &row : kRows) {
        if (row.field == 2)
            continue;
        QWidget *field = m_fields[size_t(row.field)];
        if (previous)
            setTabOrder(previous, field);
        previous = field;
    }
    setTabOrder(previous, m_ok);
    setTabOrder(m_ok, m_cancel);

    connect(m_ok, &QPushButton::clicked, this, &FrmEinst::cmdEinOK_Click);
    connect(m_cancel, &QPushButton::clicked, this, &FrmEinst::cmdEinAbr_Click);
    connect(m_traceButton, &QPushButton::clicked, this, &FrmEinst::cmdTrace_Click);
}

void FrmEinst::Form_Load()
{
    Settings &s = m_ctx.settings;
    m_lastField = 99;
    setWindowTitle(QStringLiteral("Adjustments"));
    m_traceButton->hide();
    m_traceLabel->hide();
    m_traceText->hide();
    m_traceLabel->setText(QStringLiteral("Trace"));
    m_traceButton->setText(QStringLiteral("OK"));
    m_ok->setText(QStringLiteral("&OK"));
    m_cancel->setText(QStringLiteral("&Cancel"));
    m_ok->setDefault(true);

    BoxRecord &box = s.activeBox();
    TransferAdjustments(box.Status != BoxStatus::Graph ? 1 : 2, s);
    s.AdjCurrent[3] = float(Ein3FromPaperWeight(box.PaGew));

    for (const FieldRow &row : kRows) {
        m_fields[size_t(row.field)]->setText(
            m_ctx.notation.plain(s.AdjCurrent[size_t(adjustmentOf(row.field))]));
        m_captions[size_t(row.caption)]->setText(QString::fromUtf8(row.text));
    }
    QApplication::restoreOverrideCursor();
}

QLineEdit *FrmEinst::medEin(int k) const
{
    return k >= 0 && k < int(m_fields.size()) ? m_fields[size_t(k)] : nullptr;
}

int FrmEinst::fieldIndex(const QObject *object) const
{
    for (size_t k = 0; k < m_fields.size(); ++k)
        if (m_fields[k] && m_fields[k] == object)
            return int(k);
    return 0;
}

bool FrmEinst::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusOut:
        if (const int k = fieldIndex(watched); k && isOperatorFocusChange(event))
            m_lastField = k;
        break;
    case QEvent::FocusIn:
        if ((fieldIndex(watched) || watched == m_ok) && isOperatorFocusChange(event))
            fieldGotFocus();
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == m_frame)
            fraEin_DblClick();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmEinst::fieldGotFocus()
{
    if (m_refocusing)
        return;
    // The check runs once the focus change is complete: a message box in
    // the middle of a button press would leave the button half pressed.
    m_pendingField = m_lastField;
    QTimer::singleShot(0, this, &FrmEinst::validatePending);
}

void FrmEinst::validatePending()
{
    const int k = m_pendingField;
    m_pendingField = 0;
    if (k)
        ValidateAdjustment(k);
}

bool FrmEinst::ValidateAdjustment(int index)
{
    const QLineEdit *field = medEin(index);
    if (!field)
        return true;
    const QString scope = m_fields[10]->text();
    if (AdjustmentValid(index, field->text(), scope, m_ctx.settings, m_ctx.notation))
        return true;
    m_refocusing = true;
    m_fields[size_t(index)]->setFocus(Qt::OtherFocusReason);
    m_refocusing = false;
    m_ctx.messages.show(AdjustmentMessage(index, scope, m_ctx.settings, m_ctx.notation),
        OperatorMessages::Icon::Critical);
    return false;
}

void FrmEinst::cmdEinOK_Click()
{
    // The field left last is checked first, as on any focus change; then
    // every checked field, so that "&OK" by the Enter key cannot take a text
    // that is no valid number.
    if (m_pendingField) {
        const int k = m_pendingField;
        m_pendingField = 0;
        if (!ValidateAdjustment(k))
            return;
    }
    for (const int k : { 10, 1, 3, 4, 5, 6, 7, 8 })
        if (!ValidateAdjustment(k))
            return;

    const Notation &n = m_ctx.notation;
    const double cycle = n.parseNumber(m_fields[4]->text()).value_or(0);
    const double start = n.parseNumber(m_fields[7]->text()).value_or(0);
    const double measuring = n.parseNumber(m_fields[8]->text()).value_or(0);
    if (!CycleLongEnough(cycle, start, measuring)) {
        m_ctx.messages.show(CycleMessage(start, measuring, n), OperatorMessages::Icon::Critical);
        m_refocusing = true;
        m_fields[4]->setFocus(Qt::OtherFocusReason);
        m_refocusing = false;
        return;
    }

    Settings &s = m_ctx.settings;
    for (int k = 1; k <= 8; ++k)
        if (const auto value = n.parseNumber(m_fields[size_t(k)]->text()))
            s.AdjCurrent[size_t(k)] = float(*value);
    TransferAdjustments(0, s);
    endTraceWait();
    accept();
}

void FrmEinst::cmdEinAbr_Click()
{
    m_ctx.settings.DialogMode = 1;
    m_pendingField = 0;
    endTraceWait();
    QDialog::reject();
}

void FrmEinst::reject()
{
    // Escape and the window's close button cancel like "&Cancel".
    cmdEinAbr_Click();
}

void FrmEinst::fraEin_DblClick()
{
    m_traceLabel->show();
    m_traceText->show();
    m_traceButton->show();
    m_traceText->setText(m_ctx.settings.TraceText);
}

bool FrmEinst::isTraceWaiting() const
{
    return m_traceWait && m_traceWait->isWaiting();
}

void FrmEinst::cmdTrace_Click()
{
    if (!m_ctx.link || isTraceWaiting())
        return;
    NetLink &link = *m_ctx.link;
    if (!m_traceWait) {
        m_traceWait = new ReplyWait(link, this);
        connect(m_traceWait, &ReplyWait::finished, this, &FrmEinst::traceAnswered);
    }
    link.SendNetPC(QStringLiteral("trace ") + m_traceText->text());
    m_traceButton->setEnabled(false);
    // Like the start-up's own trace request, the answer gets ten seconds.
    m_traceWait->start(NetLink::StateTraceSet, link.timeouts().trace);
}

void FrmEinst::traceAnswered(bool acknowledged)
{
    m_traceButton->setEnabled(true);
    if (!acknowledged)
        m_ctx.messages.show(QStringLiteral("textErrCon"));
}

void FrmEinst::endTraceWait()
{
    if (m_traceWait)
        m_traceWait->cancel();
    m_traceButton->setEnabled(true);
}
