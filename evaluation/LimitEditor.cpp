#include "evaluation/LimitEditor.h"

#include "evaluation/LeaveChecks.h"
#include "evaluation/LimitInput.h"
#include "evaluation/ResultCaptions.h"
#include "core/ButtonKeys.h"
#include "core/AppContext.h"
#include "core/DecimalKeyFilter.h"
#include "core/Notation.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"
#include "store/Store.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

constexpr int NameLength = 50;

QString indexed(const char *name, int index)
{
    return QLatin1String(name) + QLatin1Char('_') + QString::number(index);
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption = QString())
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    // Enter in a field presses nothing; only Escape has a button.
    button->setAutoDefault(false);
    return button;
}

const LimitRangeRow &rangeOf(const Settings &settings, int index)
{
    return settings.LimitRange.at(index + 1);
}

} // namespace

FrmGrw::FrmGrw(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
    , m_dialogMode(ctx.settings.DialogMode)
    , m_checks(new LeaveChecks(this))
    , m_decimalKeys(new DecimalKeyFilter(ctx.notation, this))
{
    setObjectName(QStringLiteral("frmGrw"));
    new ButtonKeys(this);
    createControls();
    layOut();
    connectHandlers();
    Form_Load();
}

void FrmGrw::createControls()
{
    fraGrw = new QGroupBox(this);
    fraGrw->setObjectName(QStringLiteral("fraGrw"));
    lblGrw = makeLabel(fraGrw, QStringLiteral("lblGrw"));
    lblGrwmin = makeLabel(fraGrw, QStringLiteral("lblGrwmin"));
    lblGrWmax = makeLabel(fraGrw, QStringLiteral("lblGrWmax"));
    for (int k = 0; k < Rows; ++k) {
        lbl1[k] = makeLabel(fraGrw, indexed("lbl1", k));
        medUgs[k] = new QLineEdit(fraGrw);
        medUgs[k]->setObjectName(indexed("medUgs", k));
        medOgs[k] = new QLineEdit(fraGrw);
        medOgs[k]->setObjectName(indexed("medOgs", k));
        lblrange[k] = makeLabel(fraGrw, indexed("lblrange", k));
        lbl3[k] = makeLabel(fraGrw, indexed("lbl3", k));
        lbl1[k]->setBuddy(medUgs[k]);
        // Both columns turn a typed "." into the decimal separator: an
        // upper field that kept it would refuse "999.9" on a comma system
        // with a message naming 999.9 as the limit.
        m_decimalKeys->watch(medUgs[k]);
        m_decimalKeys->watch(medOgs[k]);
    }
    fraNeu = new QGroupBox(QStringLiteral("Name"), this);
    fraNeu->setObjectName(QStringLiteral("fraNeu"));
    txtNeu = new QLineEdit(fraNeu);
    txtNeu->setObjectName(QStringLiteral("txtNeu"));
    cmdGrwAB = makeButton(this, "cmdGrwAB", QString());
    cmdGrwOK = makeButton(this, "cmdGrwOK", QString());
}

void FrmGrw::layOut()
{
    auto *grid = new QGridLayout(fraGrw);
    grid->addWidget(lblGrw, 0, 1, 1, 2, Qt::AlignHCenter);
    grid->addWidget(lblGrwmin, 1, 1, Qt::AlignHCenter);
    grid->addWidget(lblGrWmax, 1, 2, Qt::AlignHCenter);
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("0000000"))
        + 4 * fontMetrics().averageCharWidth();
    for (int k = 0; k < Rows; ++k) {
        medUgs[k]->setFixedWidth(width);
        medOgs[k]->setFixedWidth(width);
        grid->addWidget(lbl1[k], k + 2, 0);
        grid->addWidget(medUgs[k], k + 2, 1);
        grid->addWidget(medOgs[k], k + 2, 2);
        grid->addWidget(lblrange[k], k + 2, 3);
        grid->addWidget(lbl3[k], k + 2, 4);
    }
    grid->setColumnStretch(5, 1);

    auto *nameLayout = new QHBoxLayout(fraNeu);
    nameLayout->addWidget(txtNeu);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdGrwAB);
    buttons->addWidget(cmdGrwOK);

    auto *root = new QVBoxLayout(this);
    root->addWidget(fraGrw);
    root->addWidget(fraNeu);
    root->addLayout(buttons);
    root->setSizeConstraint(QLayout::SetFixedSize);

    for (int k = 0; k < Rows; ++k) {
        QWidget::setTabOrder(k == 0 ? static_cast<QWidget *>(txtNeu) : medOgs[k - 1], medUgs[k]);
        QWidget::setTabOrder(medUgs[k], medOgs[k]);
    }
    QWidget::setTabOrder(medOgs[Rows - 1], cmdGrwAB);
    QWidget::setTabOrder(cmdGrwAB, cmdGrwOK);
}

void FrmGrw::connectHandlers()
{
    using Watch = LeaveChecks::Watch;
    for (int k = 0; k < Rows; ++k) {
        connect(m_checks->watch(medUgs[k]), &Watch::lostFocus, this,
            [this, k] { medUgs_LostFocus(k); });
        connect(m_checks->watch(medOgs[k]), &Watch::lostFocus, this,
            [this, k] { medOgs_LostFocus(k); });
    }
    // Cancelling never asks for a limit to be mended first.
    m_checks->exempt(cmdGrwAB);
    txtNeu->installEventFilter(this);
    connect(txtNeu, &QLineEdit::textEdited, this, &FrmGrw::txtNeu_Change);
    connect(cmdGrwOK, &QPushButton::clicked, this, &FrmGrw::cmdGrwOK_Click);
    connect(cmdGrwAB, &QPushButton::clicked, this, &FrmGrw::cmdGrwAB_Click);
}

void FrmGrw::Form_Load()
{
    lblGrw->setText(QStringLiteral("limit:"));
    lblGrwmin->setText(QStringLiteral("min."));
    lblGrWmax->setText(QStringLiteral("max."));
    for (int k = 0; k < Rows; ++k) {
        const ResultCaption &result = resultCaption(k + 1);
        const LimitRangeRow &range = rangeOf(m_ctx.settings, k);
        lbl1[k]->setText(result.caption);
        lbl3[k]->setText(result.unit);
        const int length = LimitInputLength(range);
        if (length > 0) {
            medUgs[k]->setMaxLength(length);
            medOgs[k]->setMaxLength(length);
        }
        lblrange[k]->setText(LimitRangeCaption(range));
    }
    setWindowTitle(QStringLiteral("Limit management"));
    cmdGrwOK->setText(QStringLiteral("&OK"));
    cmdGrwAB->setText(QStringLiteral("&Cancel"));

    if (newMode()) {
        cmdGrwOK->setEnabled(false);
        txtNeu->setMaxLength(NameLength);
        for (int k = 0; k < Rows; ++k) {
            medUgs[k]->setText(QStringLiteral("0"));
            medOgs[k]->setText(QStringLiteral("0"));
        }
        return;
    }
    // Changing: the name is shown for orientation only; it cannot change.
    txtNeu->setReadOnly(true);
    txtNeu->setFocusPolicy(Qt::NoFocus);
    const std::optional<LimitFile> file = m_ctx.store->readLimitFile(m_ctx.settings.SelGrwID);
    if (!file)
        return;
    txtNeu->setText(file->GrwName);
    for (int k = 0; k < Rows; ++k) {
        showStoredLimit(medUgs[k], file->lower[k + 1]);
        showStoredLimit(medOgs[k], file->upper[k + 1]);
    }
}

void FrmGrw::showStoredLimit(QLineEdit *field, float value)
{
    // The input length bounds typing only: a stored limit longer than it
    // (5000 where three characters are allowed) must not be cut to 500.
    const QString text = m_ctx.notation.plain(value);
    if (text.size() > field->maxLength())
        field->setMaxLength(int(text.size()));
    field->setText(text);
}

bool FrmGrw::eventFilter(QObject *watched, QEvent *event)
{
    // A message box closing over the dialog hands the focus back; that is no
    // getting of the focus by the operator.
    if (watched == txtNeu && event->type() == QEvent::FocusIn && newMode()) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            txtNeu_GotFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void FrmGrw::checkLimit(QLineEdit *field, int index)
{
    const LimitRangeRow &range = rangeOf(m_ctx.settings, index);
    if (ReadLimitInput(field->text(), range, m_ctx.notation))
        return;
    m_ctx.messages.show(LimitRangeMessage(range), OperatorMessages::Icon::Critical);
    m_checks->refuse(field);
}

void FrmGrw::medUgs_LostFocus(int index)
{
    checkLimit(medUgs[index], index);
}
void FrmGrw::medOgs_LostFocus(int index)
{
    checkLimit(medOgs[index], index);
}

void FrmGrw::txtNeu_GotFocus()
{
    cmdGrwOK->setEnabled(false);
    txtNeu->setMaxLength(NameLength);
}

void FrmGrw::txtNeu_Change()
{
    // Emptying the field again leaves "&OK" enabled; "&OK" then says why.
    if (!txtNeu->text().trimmed().isEmpty())
        cmdGrwOK->setEnabled(true);
}

bool FrmGrw::readLimits(std::array<float, 6> &lower, std::array<float, 6> &upper)
{
    for (int k = 0; k < Rows; ++k) {
        const LimitRangeRow &range = rangeOf(m_ctx.settings, k);
        for (QLineEdit *field : { medUgs[k], medOgs[k] }) {
            // What the operator typed keeps to its range even if the field
            // was never left; a stored limit outside today's range may stay.
            const std::optional<float> value = field->isModified()
                ? ReadLimitInput(field->text(), range, m_ctx.notation)
                : ReadLimitValue(field->text(), m_ctx.notation);
            if (!value) {
                field->setFocus(Qt::OtherFocusReason);
                m_ctx.messages.show(LimitRangeMessage(range), OperatorMessages::Icon::Critical);
                return false;
            }
            (field == medUgs[k] ? lower : upper)[k + 1] = *value;
        }
    }
    return true;
}

void FrmGrw::cmdGrwOK_Click()
{
    if (m_checks->refusing())
        return;
    Store &store = *m_ctx.store;
    LimitFile file;
    if (newMode()) {
        file.GrwName = txtNeu->text().trimmed();
        file.VerzID = m_ctx.settings.SelVerzID;
        if (file.GrwName.isEmpty()) {
            m_ctx.messages.show(QStringLiteral("No name given!"));
            txtNeu->setFocus(Qt::OtherFocusReason);
            return;
        }
        if (store.findLimitFile(file.VerzID, file.GrwName)) {
            m_ctx.messages.show(
                QStringLiteral("Name of Limit-File already exists, please give another name!"));
            txtNeu->setFocus(Qt::OtherFocusReason);
            return;
        }
    } else {
        file.GrwID = m_ctx.settings.SelGrwID;
    }
    if (!readLimits(file.lower, file.upper))
        return;
    const bool written
        = newMode() ? store.addLimitFile(file).has_value() : store.changeLimitFile(file);
    if (!written) {
        m_ctx.messages.show(
            QStringLiteral("The limit file could not be written:\n\n") + store.lastError(),
            OperatorMessages::Icon::Critical);
        return;
    }
    accept();
}

void FrmGrw::cmdGrwAB_Click()
{
    reject();
}
