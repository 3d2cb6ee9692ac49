#include "store/OtherAdjustmentsDialog.h"

#include "core/ButtonKeys.h"
#include "store/Database.h"
#include "store/DatabaseChoice.h"
#include "store/DatabaseTarget.h"

#include "core/AppContext.h"
#include "core/Notation.h"
#include "core/OperatorMessages.h"
#include "core/Rounding.h"
#include "core/Settings.h"
#include "core/SettingsTables.h"
#include "store/HostName.h"
#include "store/Store.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

namespace
{

template <typename W> W *make(QWidget *parent, const QString &name, const QString &text = QString())
{
    auto *w = new W(parent);
    w->setObjectName(name);
    if constexpr (!std::is_same_v<W, QLineEdit>) {
        if (!text.isNull())
            w->setText(text);
    }
    return w;
}

QGroupBox *makeFrame(QWidget *parent, const char *name, const char *caption)
{
    auto *frame = new QGroupBox(QString::fromLatin1(caption), parent);
    frame->setObjectName(QLatin1String(name));
    return frame;
}

// Radio buttons name_1 .. name_count in an exclusive group, ids = numbers.
void makeOptions(
    QGroupBox *frame, const char *name, int count, QRadioButton **options, QButtonGroup *&group)
{
    group = new QButtonGroup(frame);
    auto *column = new QVBoxLayout(frame);
    for (int i = 1; i <= count; ++i) {
        options[i] = make<QRadioButton>(
            frame, QLatin1String(name) + QLatin1Char('_') + QString::number(i));
        group->addButton(options[i], i);
        column->addWidget(options[i]);
    }
}

const int kAddressMaximum = 32767;

const char kPasswordNotKept[]
    = "The password is not kept with the database chosen. At the next start it comes from "
      "~/.pgpass or PGPASSWORD, or the program asks for it.";

} // namespace

FrmSonst::FrmSonst(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmSonst"));
    new ButtonKeys(this);
    setModal(true);
    createControls();
    layOut();
    connectHandlers();
    Form_Load();
}

void FrmSonst::createControls()
{
    fraRnd = makeFrame(this, "fraRnd", "Margin offset for printing");
    lblOb = make<QLabel>(fraRnd, QStringLiteral("lblOb"), QStringLiteral("Top:"));
    lblUn = make<QLabel>(fraRnd, QStringLiteral("lblUn"), QStringLiteral("Bottom:"));
    lblRe = make<QLabel>(fraRnd, QStringLiteral("lblRe"), QStringLiteral("Right:"));
    lblLi = make<QLabel>(fraRnd, QStringLiteral("lblLi"), QStringLiteral("Left:"));
    txtOb = make<QLineEdit>(fraRnd, QStringLiteral("txtOb"));
    txtUn = make<QLineEdit>(fraRnd, QStringLiteral("txtUn"));
    txtRe = make<QLineEdit>(fraRnd, QStringLiteral("txtRe"));
    txtLi = make<QLineEdit>(fraRnd, QStringLiteral("txtLi"));
    for (int i = 0; i < 4; ++i)
        cm[i] = make<QLabel>(fraRnd, QStringLiteral("cm_%1").arg(i), QStringLiteral("inch"));

    fraLi = makeFrame(this, "fraLi", "Line width for graphs");
    fraGr = makeFrame(fraLi, "fraGr", "Graph");
    fraDr = makeFrame(fraLi, "fraDr", "Print");
    makeOptions(fraGr, "GrOpt", 3, GrOpt, grGroup);
    makeOptions(fraDr, "DrOpt", 3, DrOpt, drGroup);
    for (int i = 1; i <= 3; ++i) {
        GrOpt[i]->setText(QString::number(i));
        DrOpt[i]->setText(QString::number(i));
    }

    fraZb_Eb = makeFrame(this, "fraZb_Eb", "Current adjustments after start");
    fraEb = makeFrame(fraZb_Eb, "fraEb", "Box");
    fraZb = makeFrame(fraZb_Eb, "fraZb", "Time of scope");
    makeOptions(fraEb, "EbOpt", 5, EbOpt, ebGroup);
    makeOptions(fraZb, "ZbOpt", 6, ZbOpt, zbGroup);
    for (int i = 1; i <= 5; ++i)
        EbOpt[i]->setText(QStringLiteral("Box %1").arg(i));

    lblAD = make<QLabel>(this, QStringLiteral("lblAD"), QStringLiteral("AD-Adr:"));
    lblIO = make<QLabel>(this, QStringLiteral("lblIO"), QStringLiteral("IO-Adr:"));
    Label1 = make<QLabel>(this, QStringLiteral("Label1"), QStringLiteral("Delay:"));
    lblHost = make<QLabel>(this, QStringLiteral("lblHost"), QStringLiteral("NetPC address:"));
    txtAD = make<QLineEdit>(this, QStringLiteral("txtAD"));
    txtIO = make<QLineEdit>(this, QStringLiteral("txtIO"));
    Text1 = make<QLineEdit>(this, QStringLiteral("Text1"));
    txtHost = make<QLineEdit>(this, QStringLiteral("txtHost"));
    lblDb = make<QLabel>(this, QStringLiteral("lblDb"), QStringLiteral("&Database:"));
    txtDb = make<QLineEdit>(this, QStringLiteral("txtDb"));
    lblDb->setBuddy(txtDb); // Alt+D reaches the field
    // A folder path or a connection text is longer than the numbers above it.
    txtDb->setMinimumWidth(txtDb->fontMetrics().averageCharWidth() * 36);
    txtDb->setToolTip(
        QStringLiteral("A database file, or a server's connection text "
                       "postgresql://user@host:port/dbname; used from the next start"));

    cmdOK = make<QPushButton>(this, QStringLiteral("cmdOK"), QStringLiteral("&OK"));
    cmdAb = make<QPushButton>(this, QStringLiteral("cmdAb"), QStringLiteral("&Cancel"));
    cmdOK->setDefault(true);
}

void FrmSonst::layOut()
{
    auto *margins = new QGridLayout(fraRnd);
    QLabel *labels[4] = { lblOb, lblUn, lblRe, lblLi };
    QLineEdit *fields[4] = { txtOb, txtUn, txtRe, txtLi };
    for (int i = 0; i < 4; ++i) {
        margins->addWidget(labels[i], i, 0);
        margins->addWidget(fields[i], i, 1);
        margins->addWidget(cm[i], i, 2);
    }
    auto *lines = new QHBoxLayout(fraLi);
    lines->addWidget(fraGr);
    lines->addWidget(fraDr);
    auto *start = new QHBoxLayout(fraZb_Eb);
    start->addWidget(fraEb);
    start->addWidget(fraZb);

    auto *stored = new QFormLayout;
    stored->addRow(lblAD, txtAD);
    stored->addRow(lblIO, txtIO);
    stored->addRow(Label1, Text1);
    stored->addRow(lblHost, txtHost);
    stored->addRow(lblDb, txtDb);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdAb);

    auto *grid = new QGridLayout(this);
    grid->addWidget(fraRnd, 0, 0);
    grid->addWidget(fraLi, 0, 1);
    grid->addWidget(fraZb_Eb, 1, 0);
    grid->addLayout(stored, 1, 1);
    grid->addLayout(buttons, 2, 0, 1, 2);
}

void FrmSonst::connectHandlers()
{
    connect(cmdOK, &QPushButton::clicked, this, &FrmSonst::cmdOK_Click);
    connect(cmdAb, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmSonst::showError()
{
    m_ctx.messages.show(QStringLiteral("Error"), OperatorMessages::Icon::Critical);
}

void FrmSonst::Form_Load()
{
    setWindowTitle(QStringLiteral("Other adjustments"));
    const Settings &s = m_ctx.settings;
    const Notation &n = m_ctx.notation;

    std::optional<StartChoices> choices;
    if (m_ctx.store)
        choices = m_ctx.store->readStartChoices();
    if (!choices)
        showError();
    else
        m_storedAeb = choices->AEB;
    if (choices && choices->AEB >= 1 && choices->AEB <= 5)
        EbOpt[choices->AEB]->setChecked(true);
    else if (choices)
        showError();

    for (int i = 1; i <= 6; ++i) {
        ZbOpt[i]->setText(n.plain(ScopeMinutes(i)) + QStringLiteral(" min"));
        if (choices && choices->AZB == ScopeMinutes(i))
            ZbOpt[i]->setChecked(true);
    }

    if (s.LinieGr >= 1 && s.LinieGr <= 3)
        GrOpt[s.LinieGr]->setChecked(true);
    else
        showError();
    if (s.LinieDr % 2 == 0 && s.LinieDr >= 2 && s.LinieDr <= 6)
        DrOpt[s.LinieDr / 2]->setChecked(true);
    else
        showError();

    const QString twoDecimals = QStringLiteral("0.00");
    txtOb->setText(n.format(s.PrnOffOb, twoDecimals));
    txtUn->setText(n.format(s.PrnOffUn, twoDecimals));
    txtRe->setText(n.format(s.PrnOffRe, twoDecimals));
    txtLi->setText(n.format(s.PrnOffLi, twoDecimals));
    txtAD->setText(QString::number(s.AD_Adr));
    txtIO->setText(QString::number(s.IO_ADR));
    Text1->setText(n.format(s.Viskos, QStringLiteral("0.0000")));
    txtHost->setText(s.HostAddress);
    txtDb->setText(shownDatabase());
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void FrmSonst::takeNumber(QLineEdit *field, float &setting)
{
    const std::optional<double> v = m_ctx.notation.parseNumber(field->text());
    if (!v || std::fabs(*v) > double(std::numeric_limits<float>::max())) {
        showError();
        return;
    }
    setting = float(*v);
}

void FrmSonst::takeAddress(QLineEdit *field, int &setting)
{
    const std::optional<double> v = m_ctx.notation.parseNumber(field->text());
    if (!v || *v < -0.5 || *v > kAddressMaximum + 0.5) {
        showError();
        return;
    }
    const int whole = roundHalfEven(*v);
    if (whole < 0 || whole > kAddressMaximum) {
        showError();
        return;
    }
    setting = whole;
}

void FrmSonst::takeHost()
{
    const QString host = txtHost->text().trimmed();
    if (!IsHostName(host)) {
        showError();
        return;
    }
    m_ctx.settings.HostAddress = host;
}

// The database of the next start: the one chosen last, else the one open.
QString FrmSonst::shownDatabase() const
{
    const QString remembered = RememberedDatabase();
    if (!remembered.isEmpty())
        return DatabaseTarget::parse(remembered).display();
    return m_ctx.store ? m_ctx.store->database().target().display() : QString();
}

// A choice that could never be opened would only show at the next start,
// when the program cannot come up; it is refused now, while the operator
// can still correct it.
bool FrmSonst::databaseUsable()
{
    const QString text = txtDb->text().trimmed();
    if (text.isEmpty() || text == shownDatabase())
        return true;
    const QString problem = DatabaseTarget::parse(text).problem;
    if (problem.isEmpty())
        return true;
    m_ctx.messages.show(QStringLiteral("This database cannot be chosen: %1.").arg(problem),
        OperatorMessages::Icon::Critical);
    txtDb->setFocus(Qt::OtherFocusReason);
    txtDb->selectAll();
    return false;
}

// A changed choice is kept for the next start, without a password typed
// into it; the running program stays with the database it has open. The
// operator who typed a password learns that it is not kept, rather than
// finding out at the next start.
void FrmSonst::takeDatabase()
{
    const QString text = txtDb->text().trimmed();
    if (text.isEmpty() || text == shownDatabase())
        return;
    RememberDatabase(text);
    if (!DatabaseTarget::parse(text).password.isEmpty())
        m_ctx.messages.show(
            QString::fromLatin1(kPasswordNotKept), OperatorMessages::Icon::Information);
}

int FrmSonst::checkedNumber(const QButtonGroup *group)
{
    return std::max(group->checkedId(), 0);
}

void FrmSonst::cmdOK_Click()
{
    if (!databaseUsable())
        return;
    Settings &s = m_ctx.settings;
    takeNumber(txtUn, s.PrnOffUn);
    takeNumber(txtOb, s.PrnOffOb);
    takeNumber(txtRe, s.PrnOffRe);
    takeNumber(txtLi, s.PrnOffLi);
    takeNumber(Text1, s.Viskos);
    takeAddress(txtAD, s.AD_Adr);
    takeAddress(txtIO, s.IO_ADR);
    takeHost();
    takeDatabase();
    if (const int gr = checkedNumber(grGroup))
        s.LinieGr = gr;
    if (const int dr = checkedNumber(drGroup))
        s.LinieDr = 2 * dr;

    // The box and scope chosen here count from the next start; the running
    // program keeps its own.
    const int box = checkedNumber(ebGroup);
    const int scope = checkedNumber(zbGroup);
    const std::optional<float> azb
        = scope ? std::optional<float>(ScopeMinutes(scope)) : std::nullopt;
    if (m_ctx.store && !m_ctx.store->writeOtherAdjustments(s, box ? box : m_storedAeb, azb))
        m_ctx.messages.show(m_ctx.store->lastError(), OperatorMessages::Icon::Critical);
    accept();
}
