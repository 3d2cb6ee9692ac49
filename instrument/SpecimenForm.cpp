#include "instrument/SpecimenForm.h"

#include "display/GraphWindow.h"
#include "evaluation/LeaveChecks.h"
#include "core/LimitCheck.h"
#include "evaluation/LimitFileOrganisation.h"
#include "evaluation/ResultsWindow.h"
#include "core/ButtonKeys.h"
#include "instrument/Adjustments.h"
#include "instrument/AdjustmentsDialog.h"
#include "instrument/MeasurementWindow.h"
#include "core/AppContext.h"
#include "core/DecimalKeyFilter.h"
#include "core/Notation.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace
{

const QString ScopeRefusal = QStringLiteral("Graph not in selected scope of time!");
const QString DateMessage = QStringLiteral("Please enter a valid Date like: '05.12.27'");
const QString TestDateMessage = QStringLiteral("Bitte geben Sie ein Datum ein z.B. '27.12.05'");

QLabel *makeLabel(QWidget *parent, const char *name, const QString &caption)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLineEdit *makeEdit(QWidget *parent, const char *name, int maxLength = 0)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    // Enter in a field must not start a measurement.
    button->setAutoDefault(false);
    return button;
}

// Wide enough for sample plus the frame, at whatever font the form has.
void fitWidth(QLineEdit *edit, const QString &sample)
{
    const int text = edit->fontMetrics().horizontalAdvance(sample);
    edit->setFixedWidth(text + 4 * edit->fontMetrics().averageCharWidth());
}

QWidget *withUnit(QLineEdit *edit, QLabel *unit)
{
    auto *row = new QWidget(edit->parentWidget());
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);
    layout->addWidget(unit);
    layout->addStretch(1);
    unit->setBuddy(edit);
    return row;
}

// The hourglass shows while a window is being built and goes once it
// stands, before it waits for the operator.
template <typename Dialog> void openModal(Dialog &&build)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto dialog = build();
    QApplication::restoreOverrideCursor();
    dialog->exec();
}

} // namespace

FrmEbn::FrmEbn(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
    , m_checks(new LeaveChecks(this))
    , m_decimalKeys(new DecimalKeyFilter(ctx.notation, this))
{
    setObjectName(QStringLiteral("frmEbn"));
    new ButtonKeys(this);
    // A box without a measured graph starts from the preset adjustments.
    if (!box().holdsGraph()) {
        TransferAdjustments(1, m_ctx.settings);
        TransferAdjustments(0, m_ctx.settings);
    }
    createFields();
    createButtons();
    layOut();
    arrangeTabOrder();
    connectHandlers();

    SpecimenBuf = SpecimenOf(box());
    PutSpecimenFields(SpecimenBuf);
    Form_Activate();
    Form_Paint();
}

BoxRecord &FrmEbn::box()
{
    return m_ctx.settings.activeBox();
}

void FrmEbn::createFields()
{
    lblEbnKovra = makeLabel(this, "lblEbnKovra", QStringLiteral("Name: "));
    EbnKovra = makeEdit(this, "EbnKovra", 50);
    lblEbnKovra->setBuddy(EbnKovra);

    lblEbnBenutzer = makeLabel(this, "lblEbnBenutzer", QStringLiteral("User:"));
    EbnBenutzer = makeEdit(this, "EbnBenutzer", 30);
    lblEbnPruefAm = makeLabel(this, "lblEbnPruefAm", QStringLiteral("Test date:"));
    EbnPruefAm = makeEdit(this, "EbnPruefAm");
    lblEbnBgArt = makeLabel(this, "lblEbnBgArt", QStringLiteral("Impregn. type:"));
    EbnBgArt = makeEdit(this, "EbnBgArt", 60);
    lblEbnBg = makeLabel(this, "lblEbnBg", QStringLiteral("Impregn. level:"));
    EbnBg = makeEdit(this, "EbnBg");
    lblEbnBgEinh = makeLabel(this, "lblEbnBgEinh", QStringLiteral("%"));
    lblEbnHarztyp = makeLabel(this, "lblEbnHarztyp", QStringLiteral("Resin type:"));
    EbnHarztyp = makeEdit(this, "EbnHarztyp", 40);
    lblEbnBgVon = makeLabel(this, "lblEbnBgVon", QStringLiteral("Impregnator:"));
    EbnBgVon = makeEdit(this, "EbnBgVon", 50);
    lblEbnBgVonAm = makeLabel(this, "lblEbnBgVonAm", QStringLiteral("date:"));
    EbnBgVonAm = makeEdit(this, "EbnBgVonAm");
    lblEbnDrVon = makeLabel(this, "lblEbnDrVon", QStringLiteral("Printer:"));
    EbnDrVon = makeEdit(this, "EbnDrVon", 50);
    lblEbnDrVonAm = makeLabel(this, "lblEbnDrVonAm", QStringLiteral("date:"));
    EbnDrVonAm = makeEdit(this, "EbnDrVonAm");
    lblEbnPaVon = makeLabel(this, "lblEbnPaVon", QStringLiteral("Paper made by:"));
    EbnPaVon = makeEdit(this, "EbnPaVon", 50);
    lblEbnPaVonAm = makeLabel(this, "lblEbnPaVonAm", QStringLiteral("date:"));
    EbnPaVonAm = makeEdit(this, "EbnPaVonAm");

    lblEbnGesGew = makeLabel(this, "lblEbnGesGew", QStringLiteral("Total weight:"));
    EbnGesGew = makeEdit(this, "EbnGesGew");
    lblEbnGesGewEinh = makeLabel(this, "lblEbnGesGewEinh", QStringLiteral("g/m²"));
    lblEbnPaGew = makeLabel(this, "lblEbnPaGew", QStringLiteral("Paper basis weight:"));
    EbnPaGew = makeEdit(this, "EbnPaGew");
    lblEbnPaGewEinh = makeLabel(this, "lblEbnPaGewEinh", QStringLiteral("g/m²"));
    lblEbnLuftdurch = makeLabel(this, "lblEbnLuftdurch", QStringLiteral("Air permeability:"));
    EbnLuftdurch = makeEdit(this, "EbnLuftdurch");
    lblEbnLuftdurchEinh = makeLabel(this, "lblEbnLuftdurchEinh", QStringLiteral("ml/min"));
    lblEbnTemp = makeLabel(this, "lblEbnTemp", QStringLiteral("Temperature:"));
    EbnTemp = makeEdit(this, "EbnTemp");
    lblEbnTempEinh = makeLabel(this, "lblEbnTempEinh", QStringLiteral("°C"));
    lblEbnFeuchte = makeLabel(this, "lblEbnFeuchte", QStringLiteral("Moisture:"));
    EbnFeuchte = makeEdit(this, "EbnFeuchte");
    lblEbnFeuchteEinh = makeLabel(this, "lblEbnFeuchteEinh", QStringLiteral("%"));
    lblEbnFluss = makeLabel(this, "lblEbnFluss", QStringLiteral("Resin flow:"));
    EbnFluss = makeEdit(this, "EbnFluss");
    lblEbnFlussEinh = makeLabel(this, "lblEbnFlussEinh", QStringLiteral("%"));
    lblEbnAsche = makeLabel(this, "lblEbnAsche", QStringLiteral("Ash content of paper:"));
    EbnAsche = makeEdit(this, "EbnAsche");
    lblEbnAscheEinh = makeLabel(this, "lblEbnAscheEinh", QStringLiteral("%"));

    lblEbnBemerk = makeLabel(this, "lblEbnBemerk", QStringLiteral("Notes:"));
    EbnBemerk = new QPlainTextEdit(this);
    EbnBemerk->setObjectName(QStringLiteral("EbnBemerk"));
    EbnBemerk->setTabChangesFocus(true);
    lblEbnBemerk->setBuddy(EbnBemerk);

    // Top to bottom as they stand on the form: the order in which the first
    // refused number is found.
    m_numbers = {
        { EbnBg, WholeRange, &SpecimenRecord::Bg },
        { EbnGesGew, WholeRange, &SpecimenRecord::GesGew },
        { EbnPaGew, WholeRange, &SpecimenRecord::PaGew },
        { EbnLuftdurch, WholeRange, &SpecimenRecord::Luftdurch },
        { EbnTemp, WholeRange, &SpecimenRecord::Temp },
        { EbnFeuchte, PercentRange, &SpecimenRecord::Feuchte },
        { EbnFluss, PercentRange, &SpecimenRecord::Fluss },
        { EbnAsche, PercentRange, &SpecimenRecord::Asche },
    };
    m_dates = {
        { EbnPruefAm, TestDateMessage },
        { EbnBgVonAm, DateMessage },
        { EbnDrVonAm, DateMessage },
        { EbnPaVonAm, DateMessage },
    };
    m_texts = {
        { EbnBenutzer, &SpecimenRecord::Benutzer },
        { EbnPruefAm, &SpecimenRecord::PruefAm },
        { EbnBgArt, &SpecimenRecord::BgArt },
        { EbnHarztyp, &SpecimenRecord::HarzTyp },
        { EbnBgVon, &SpecimenRecord::BgVon },
        { EbnBgVonAm, &SpecimenRecord::BgVonAm },
        { EbnDrVon, &SpecimenRecord::DrVon },
        { EbnDrVonAm, &SpecimenRecord::DrVonAm },
        { EbnPaVon, &SpecimenRecord::PaVon },
        { EbnPaVonAm, &SpecimenRecord::PaVonAm },
    };
    for (const NumberField &n : m_numbers) {
        fitWidth(n.edit, QStringLiteral("0000000"));
        m_decimalKeys->watch(n.edit);
    }
    for (QLineEdit *date : { EbnPruefAm, EbnBgVonAm, EbnDrVonAm, EbnPaVonAm })
        fitWidth(date, QStringLiteral("00.00.0000"));
    // Names of people and firms should show whole at first sight.
    const int nameWidth = 28 * fontMetrics().averageCharWidth();
    for (QLineEdit *text : { EbnBenutzer, EbnBgVon, EbnDrVon, EbnPaVon })
        text->setMinimumWidth(nameWidth);
}

void FrmEbn::createButtons()
{
    cmdEbnMess = makeButton(this, "cmdEbnMess", QStringLiteral("&Start measurement"));
    cmdEbnMessAn = makeButton(this, "cmdEbnMessAn", QStringLiteral("&Adjustments"));
    cmdEbnGrw = makeButton(this, "cmdEbnGrw", QStringLiteral("Relate &Limit-File"));
    cmdEbnGraph = makeButton(this, "cmdEbnGraph", QStringLiteral("&Graphs"));
    cmdEbnErg = makeButton(this, "cmdEbnErg", QStringLiteral("R&esults"));
    cmdEbnAb = makeButton(this, "cmdEbnAb", QStringLiteral("&Return"));
}

void FrmEbn::layOut()
{
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(lblEbnKovra);
    nameRow->addWidget(EbnKovra, 1);

    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("fraEbn"));
    auto *grid = new QGridLayout(frame);
    // Columns: caption, field (with its unit), second caption, date field,
    // room that only the resin type and the notes use.
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(4, 1);
    const auto pair = [grid](int row, QLabel *label, QWidget *field, int span = 1) {
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1, 1, span);
        label->setBuddy(field);
    };
    const auto second = [grid](int row, QLabel *label, QWidget *field, int span = 1) {
        grid->addWidget(label, row, 2);
        grid->addWidget(field, row, 3, 1, span);
        label->setBuddy(field);
    };
    pair(0, lblEbnBenutzer, EbnBenutzer);
    second(0, lblEbnPruefAm, EbnPruefAm);
    pair(1, lblEbnBgArt, EbnBgArt, 4);
    pair(2, lblEbnBg, withUnit(EbnBg, lblEbnBgEinh));
    second(2, lblEbnHarztyp, EbnHarztyp, 2);
    pair(3, lblEbnBgVon, EbnBgVon);
    second(3, lblEbnBgVonAm, EbnBgVonAm);
    pair(4, lblEbnDrVon, EbnDrVon);
    second(4, lblEbnDrVonAm, EbnDrVonAm);
    pair(5, lblEbnPaVon, EbnPaVon);
    second(5, lblEbnPaVonAm, EbnPaVonAm);

    const QList<QPair<QLabel *, QLabel *>> captions = {
        { lblEbnGesGew, lblEbnGesGewEinh },
        { lblEbnPaGew, lblEbnPaGewEinh },
        { lblEbnLuftdurch, lblEbnLuftdurchEinh },
        { lblEbnTemp, lblEbnTempEinh },
        { lblEbnFeuchte, lblEbnFeuchteEinh },
        { lblEbnFluss, lblEbnFlussEinh },
        { lblEbnAsche, lblEbnAscheEinh },
    };
    grid->setRowMinimumHeight(6, fontMetrics().height() / 2);
    const int firstNumber = 7;
    for (int i = 0; i < captions.size(); ++i)
        pair(firstNumber + i, captions[i].first,
            withUnit(m_numbers[i + 1].edit, captions[i].second));
    grid->addWidget(lblEbnBemerk, firstNumber, 2, Qt::AlignTop);
    grid->addWidget(EbnBemerk, firstNumber, 3, int(captions.size()), 2);

    auto *left = new QVBoxLayout;
    left->addLayout(nameRow);
    left->addWidget(frame, 1);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : { cmdEbnMess, cmdEbnMessAn, cmdEbnGrw, cmdEbnGraph, cmdEbnErg, cmdEbnAb })
        buttons->addWidget(b);
    buttons->addStretch(1);

    auto *root = new QHBoxLayout(this);
    root->addLayout(left, 1);
    root->addLayout(buttons);
}

void FrmEbn::arrangeTabOrder()
{
    const QList<QWidget *> order = {
        EbnKovra,
        EbnBenutzer,
        EbnPruefAm,
        EbnBgArt,
        EbnHarztyp,
        EbnBgVon,
        EbnBgVonAm,
        EbnDrVon,
        EbnDrVonAm,
        EbnPaVon,
        EbnPaVonAm,
        EbnBemerk,
        cmdEbnMess,
        cmdEbnMessAn,
        cmdEbnGrw,
        cmdEbnGraph,
        cmdEbnErg,
        cmdEbnAb,
        EbnGesGew,
        EbnPaGew,
        EbnLuftdurch,
        EbnTemp,
        EbnFeuchte,
        EbnFluss,
        EbnAsche,
        EbnBg,
    };
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void FrmEbn::connectHandlers()
{
    connect(cmdEbnMess, &QPushButton::clicked, this, &FrmEbn::cmdEbnMess_Click);
    connect(cmdEbnMessAn, &QPushButton::clicked, this, &FrmEbn::cmdEbnMessAn_Click);
    connect(cmdEbnGrw, &QPushButton::clicked, this, &FrmEbn::cmdEbnGrw_Click);
    connect(cmdEbnGraph, &QPushButton::clicked, this, &FrmEbn::cmdEbnGraph_Click);
    connect(cmdEbnErg, &QPushButton::clicked, this, &FrmEbn::cmdEbnErg_Click);
    connect(cmdEbnAb, &QPushButton::clicked, this, &FrmEbn::cmdEbnAb_Click);

    using Watch = LeaveChecks::Watch;
    connect(m_checks->watch(EbnBg), &Watch::lostFocus, this, &FrmEbn::EbnBg_LostFocus);
    connect(m_checks->watch(EbnGesGew), &Watch::lostFocus, this, &FrmEbn::EbnGesGew_LostFocus);
    connect(m_checks->watch(EbnPaGew), &Watch::lostFocus, this, &FrmEbn::EbnPaGew_LostFocus);
    connect(
        m_checks->watch(EbnLuftdurch), &Watch::lostFocus, this, &FrmEbn::EbnLuftdurch_LostFocus);
    connect(m_checks->watch(EbnTemp), &Watch::lostFocus, this, &FrmEbn::EbnTemp_LostFocus);
    connect(m_checks->watch(EbnFeuchte), &Watch::lostFocus, this, &FrmEbn::EbnFeuchte_LostFocus);
    connect(m_checks->watch(EbnFluss), &Watch::lostFocus, this, &FrmEbn::EbnFluss_LostFocus);
    connect(m_checks->watch(EbnAsche), &Watch::lostFocus, this, &FrmEbn::EbnAsche_LostFocus);
    connect(m_checks->watch(EbnPruefAm), &Watch::lostFocus, this, &FrmEbn::EbnPruefAm_LostFocus);
    connect(m_checks->watch(EbnBgVonAm), &Watch::lostFocus, this, &FrmEbn::EbnBgVonAm_LostFocus);
    connect(m_checks->watch(EbnDrVonAm), &Watch::lostFocus, this, &FrmEbn::EbnDrVonAm_LostFocus);
    connect(m_checks->watch(EbnPaVonAm), &Watch::lostFocus, this, &FrmEbn::EbnPaVonAm_LostFocus);
}

void FrmEbn::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Form_Activate();
    Form_Paint();
}

void FrmEbn::keyPressEvent(QKeyEvent *event)
{
    // There is no cancel button: Escape must not throw away what was typed.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FrmEbn::Form_Activate()
{
    const QString kind = box().holdsGraph() ? QStringLiteral("Graph") : QStringLiteral("Pattern");
    setWindowTitle(kind + QStringLiteral(" in box ") + QString::number(m_ctx.settings.ActiveBox));
}

void FrmEbn::Form_Paint()
{
    cmdEbnGraph->setEnabled(box().holdsGraph());
}

void FrmEbn::PutSpecimenFields(const SpecimenRecord &rec)
{
    EbnKovra->setText(rec.Kovra);
    for (const TextField &t : m_texts)
        t.edit->setText(rec.*t.value);
    for (const NumberField &n : m_numbers)
        n.edit->setText(SpecimenNumberText(rec.*n.value, m_ctx.notation));
    EbnBemerk->setPlainText(rec.Bemerk);
}

bool FrmEbn::typedFieldsPass()
{
    // What the operator typed gets the checks of leaving its field, however
    // the button was pressed; a value loaded from a record may stay as it is.
    for (const NumberField &n : m_numbers)
        if (n.edit->isModified() && !checkNumber(n.edit, n.range))
            return false;
    for (const DateField &d : m_dates)
        if (d.edit->isModified() && !checkDate(d.edit, d.message))
            return false;
    return true;
}

bool FrmEbn::GetSpecimenFields(SpecimenRecord &rec)
{
    // A field that holds no number cannot be taken; nothing is taken then,
    // so the box never holds half of the form.
    if (!typedFieldsPass())
        return false;
    QList<float> numbers;
    for (const NumberField &n : m_numbers) {
        const std::optional<double> value = m_ctx.notation.parseNumber(n.edit->text());
        if (!value) {
            n.edit->setFocus(Qt::OtherFocusReason);
            m_ctx.messages.show(SpecimenNumberMessage(n.range), OperatorMessages::Icon::Critical);
            return false;
        }
        numbers.append(float(*value));
    }

    const QString name = EbnKovra->text().trimmed();
    if (name != rec.Kovra) {
        rec.Kovra = name;
        // The stored record no longer stands for what the box holds.
        box().Stored = false;
    }
    for (const TextField &t : m_texts)
        rec.*t.value = t.edit->text();
    for (int i = 0; i < m_numbers.size(); ++i)
        rec.*m_numbers[i].value = numbers[i];
    rec.Bemerk = EbnBemerk->toPlainText();
    return true;
}

bool FrmEbn::takeFields()
{
    if (!GetSpecimenFields(SpecimenBuf))
        return false;
    if (!SameSpecimen(SpecimenOf(box()), SpecimenBuf))
        box().Changed = true;
    PutSpecimen(SpecimenBuf, box());
    return true;
}

bool FrmEbn::checkNumber(QLineEdit *field, SpecimenRange range)
{
    if (ReadSpecimenNumber(field->text(), range, m_ctx.notation))
        return true;
    m_ctx.messages.show(SpecimenNumberMessage(range), OperatorMessages::Icon::Critical);
    m_checks->refuse(field);
    return false;
}

bool FrmEbn::checkDate(QLineEdit *field, const QString &message)
{
    if (const std::optional<QString> date = RewriteSpecimenDate(field->text(), m_ctx.notation)) {
        field->setText(*date);
        return true;
    }
    // A refused date leaves an empty field, never the text that failed; the
    // emptied field still counts as typed, so no button takes it in silence.
    field->clear();
    m_ctx.messages.show(message, OperatorMessages::Icon::Critical);
    m_checks->refuse(field);
    return false;
}

void FrmEbn::EbnBg_LostFocus()
{
    checkNumber(EbnBg, WholeRange);
}
void FrmEbn::EbnGesGew_LostFocus()
{
    checkNumber(EbnGesGew, WholeRange);
}
void FrmEbn::EbnPaGew_LostFocus()
{
    checkNumber(EbnPaGew, WholeRange);
}
void FrmEbn::EbnLuftdurch_LostFocus()
{
    checkNumber(EbnLuftdurch, WholeRange);
}
void FrmEbn::EbnTemp_LostFocus()
{
    checkNumber(EbnTemp, WholeRange);
}
void FrmEbn::EbnFeuchte_LostFocus()
{
    checkNumber(EbnFeuchte, PercentRange);
}
void FrmEbn::EbnFluss_LostFocus()
{
    checkNumber(EbnFluss, PercentRange);
}
void FrmEbn::EbnAsche_LostFocus()
{
    checkNumber(EbnAsche, PercentRange);
}
void FrmEbn::EbnPruefAm_LostFocus()
{
    checkDate(EbnPruefAm, TestDateMessage);
}
void FrmEbn::EbnBgVonAm_LostFocus()
{
    checkDate(EbnBgVonAm, DateMessage);
}
void FrmEbn::EbnDrVonAm_LostFocus()
{
    checkDate(EbnDrVonAm, DateMessage);
}
void FrmEbn::EbnPaVonAm_LostFocus()
{
    checkDate(EbnPaVonAm, DateMessage);
}

void FrmEbn::cmdEbnMess_Click()
{
    // A field that was just refused keeps the focus; the button waits.
    if (!m_checks->leaveFocused())
        return;
    Settings &s = m_ctx.settings;
    if (box().Ein[10] != s.ScopeOfTime) {
        m_ctx.messages.show(ScopeRefusal);
        return;
    }
    if (!takeFields())
        return;
    if (box().Ein[3] == 0)
        box().Ein[3] = float(Ein3FromPaperWeight(box().PaGew));
    if (box().Status == BoxStatus::Graph) {
        const QString question = QStringLiteral("A graph was already measured in box %1!\n"
                                                "Start measurement ?")
                                     .arg(s.ActiveBox);
        if (!m_ctx.messages.askYesNo(question))
            return;
    }
    s.MeasureRequested = 1;
    if (box().Status != BoxStatus::Graph)
        box().Stored = false;
    // Joined, not formatted: a name may hold "%1" of its own.
    const QString caption = QStringLiteral("Measurement of  <") + box().Kovra.trimmed()
        + QStringLiteral(">  in box ") + QString::number(s.ActiveBox);
    openMeasurementWindow(caption);
    accept();
}

void FrmEbn::cmdEbnMessAn_Click()
{
    if (!m_checks->leaveFocused() || !takeFields())
        return;
    if (box().Ein[10] != m_ctx.settings.ScopeOfTime) {
        m_ctx.messages.show(ScopeRefusal);
        return;
    }
    openAdjustmentsWindow();
}

void FrmEbn::cmdEbnGrw_Click()
{
    if (!m_checks->leaveFocused())
        return;
    m_ctx.settings.DialogMode = 1;
    openModal([this] { return std::make_unique<FrmGrwOrg>(m_ctx, this); });
    if (m_ctx.settings.DialogMode == 1) {
        CheckLimits(box());
        box().Changed = true;
    }
}

void FrmEbn::cmdEbnGraph_Click()
{
    if (!m_checks->leaveFocused())
        return;
    m_ctx.settings.DialogMode = 1;
    openGraphWindow();
    Form_Paint();
}

void FrmEbn::cmdEbnErg_Click()
{
    if (!m_checks->leaveFocused())
        return;
    m_ctx.settings.DialogMode = 0;
    openResultsWindow();
}

void FrmEbn::cmdEbnAb_Click()
{
    if (!m_checks->leaveFocused() || !takeFields())
        return;
    accept();
}

// The windows this form opens. Each is modal and built under the hourglass.

void FrmEbn::openMeasurementWindow(const QString &caption)
{
    openModal([this, &caption] {
        auto window = std::make_unique<FrmMessen>(m_ctx, this);
        window->setWindowTitle(caption);
        return window;
    });
}

void FrmEbn::openAdjustmentsWindow()
{
    openModal([this] { return std::make_unique<FrmEinst>(m_ctx, this); });
}

void FrmEbn::openGraphWindow()
{
    openModal([this] {
        auto window = std::make_unique<FrmGraph>(m_ctx, this);
        window->setWindowTitle(QStringLiteral("Display graphs"));
        return window;
    });
}

void FrmEbn::openResultsWindow()
{
    openModal([this] { return std::make_unique<FrmErg>(m_ctx, this); });
}
