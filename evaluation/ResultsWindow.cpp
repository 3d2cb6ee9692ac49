#include "evaluation/ResultsWindow.h"

#include "core/CurveNote.h"
#include "core/ButtonKeys.h"
#include "core/AppContext.h"
#include "core/Notation.h"
#include "core/Settings.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace
{

// Rows and columns of the table; the two head rows stand above the results.
constexpr int HeadRows = 2;
enum Column {
    NameColumn,
    ValueColumn,
    UnitColumn,
    LowerColumn,
    UpperColumn,
    DeviationColumn,
    DeviationUnitColumn,
    ColumnCount
};

QString indexed(const char *name, int index)
{
    return QLatin1String(name) + QLatin1Char('_') + QString::number(index);
}

// A table cell: the frame behind the cells shows through the one-pixel gaps
// between them as the grid lines.
QLabel *makeCell(QWidget *parent, const QString &name, Qt::Alignment alignment)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Base);
    label->setForegroundRole(QPalette::Text);
    label->setContentsMargins(8, 4, 8, 4);
    return label;
}

} // namespace

FrmErg::FrmErg(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmErg"));
    new ButtonKeys(this);
    createControls();
    layOut();
    connect(cmdErgAb, &QPushButton::clicked, this, &FrmErg::cmdErgAb_Click);
    Form_Load();
}

void FrmErg::createControls()
{
    lblErg = makeCell(this, QStringLiteral("lblErg"), Qt::AlignHCenter);
    lblGrw = makeCell(this, QStringLiteral("lblGrw"), Qt::AlignHCenter);
    lblGrwmin = makeCell(this, QStringLiteral("lblGrwmin"), Qt::AlignHCenter);
    lblGrWmax = makeCell(this, QStringLiteral("lblGrWmax"), Qt::AlignHCenter);
    lblAbw = makeCell(this, QStringLiteral("lblAbw"), Qt::AlignHCenter);
    for (int k = 0; k < ResultCount; ++k) {
        lbl1[k] = makeCell(this, indexed("lbl1", k), Qt::AlignLeft);
        lbl2[k] = makeCell(this, indexed("lbl2", k), Qt::AlignRight);
        lbl3[k] = makeCell(this, indexed("lbl3", k), Qt::AlignLeft);
        lbl4[k] = makeCell(this, indexed("lbl4", k), Qt::AlignRight);
        lbl5[k] = makeCell(this, indexed("lbl5", k), Qt::AlignRight);
        lbl6[k] = makeCell(this, indexed("lbl6", k), Qt::AlignRight);
        lbl7[k] = makeCell(this, indexed("lbl7", k), Qt::AlignLeft);
    }
    cmdErgAb = new QPushButton(this);
    cmdErgAb->setObjectName(QStringLiteral("cmdErgAb"));
    cmdErgAb->setDefault(true);
}

void FrmErg::layOut()
{
    auto *table = new QFrame(this);
    table->setObjectName(QStringLiteral("fraErg"));
    table->setAutoFillBackground(true);
    table->setBackgroundRole(QPalette::Dark);
    auto *grid = m_grid = new QGridLayout(table);
    grid->setContentsMargins(1, 1, 1, 1);
    grid->setSpacing(1);

    // The name column has no head; an empty cell keeps the ruling whole.
    grid->addWidget(makeCell(table, QString(), Qt::AlignLeft), 0, NameColumn, HeadRows, 1);
    grid->addWidget(lblErg, 0, ValueColumn, HeadRows, 2);
    grid->addWidget(lblGrw, 0, LowerColumn, 1, 2);
    grid->addWidget(lblGrwmin, 1, LowerColumn);
    grid->addWidget(lblGrWmax, 1, UpperColumn);
    grid->addWidget(lblAbw, 0, DeviationColumn, HeadRows, 2);
    for (int k = 0; k < ResultCount; ++k) {
        const int row = HeadRows + k;
        grid->addWidget(lbl1[k], row, NameColumn);
        grid->addWidget(lbl2[k], row, ValueColumn);
        grid->addWidget(lbl3[k], row, UnitColumn);
        grid->addWidget(lbl4[k], row, LowerColumn);
        grid->addWidget(lbl5[k], row, UpperColumn);
        grid->addWidget(lbl6[k], row, DeviationColumn);
        grid->addWidget(lbl7[k], row, DeviationUnitColumn);
    }
    for (QLabel *head : { lblErg, lblGrw, lblGrwmin, lblGrWmax, lblAbw }) {
        QFont bold = head->font();
        bold.setBold(true);
        head->setFont(bold);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdErgAb);

    auto *main = new QVBoxLayout(this);
    main->addWidget(table);
    lblErgHinweis = new QLabel(this);
    lblErgHinweis->setObjectName(QStringLiteral("lblErgHinweis"));
    main->addWidget(lblErgHinweis);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

void FrmErg::Form_Load()
{
    setWindowTitle(QStringLiteral("Results"));
    cmdErgAb->setText(QStringLiteral("&Return"));
    lblErg->setText(QStringLiteral("results:"));
    lblGrw->setText(QStringLiteral("limit:"));
    lblGrwmin->setText(QStringLiteral("min."));
    lblGrWmax->setText(QStringLiteral("max."));
    lblAbw->setText(QStringLiteral("abberation:"));

    const BoxRecord &box = m_ctx.settings.activeBox();
    const Notation &notation = m_ctx.notation;
    for (int k = 0; k < ResultCount; ++k) {
        const ResultCaption &result = resultCaption(k + 1);
        const auto shown = [&](float value) { return notation.format(value, result.format); };
        lbl1[k]->setText(result.caption);
        lbl3[k]->setText(result.unit);
        lbl7[k]->setText(result.unit);
        lbl2[k]->setText(shown(box.Erg[k + 1]));
        lbl4[k]->setText(shown(box.GWU[k + 1]));
        lbl5[k]->setText(shown(box.GwO[k + 1]));
        lbl6[k]->setText(shown(box.Abw[k + 1]));
    }
    const QString note = CurveNote(box);
    lblErgHinweis->setText(note);
    lblErgHinweis->setVisible(!note.isEmpty());
    evenNumberColumns();
}

// The four number columns share one width, so that the table reads as a
// table whatever the values.
void FrmErg::evenNumberColumns()
{
    int width = 0;
    for (const auto &column : { lbl2, lbl4, lbl5, lbl6 })
        for (const QLabel *cell : column)
            width = std::max(width, cell->sizeHint().width());
    for (int column : { ValueColumn, LowerColumn, UpperColumn, DeviationColumn })
        m_grid->setColumnMinimumWidth(column, width);
}

void FrmErg::cmdErgAb_Click()
{
    accept();
}
