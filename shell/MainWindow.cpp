#include "shell/MainWindow.h"

#include "shell/BoxIcons.h"
#include "shell/ElidedLabel.h"
#include "core/Notation.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"
#include "shell/ShutdownQuestion.h"
#include "core/SettingsTables.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int kIconSize = 22;

QLabel *makeIcon(const QPixmap &pm, const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(pm);
    label->setFixedSize(kIconSize + 4, kIconSize + 4);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

void keepPlaceWhenHidden(QWidget *w)
{
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
}

QString indexed(const char *name, int index)
{
    return QLatin1String(name) + QLatin1Char('_') + QString::number(index);
}

} // namespace

FrmKovra::FrmKovra(AppContext &context, QWidget *parent) : QMainWindow(parent), ctx(context)
{
    setObjectName(QStringLiteral("frmKovra"));
    setWindowIcon(QIcon(BoxIcons::application(64)));
    auto *central = new QWidget(this);
    setCentralWidget(central);
    QGridLayout *tiles = buildTiles(central);
    buildScopeFrame();
    buildButtons();
    buildMenus();

    auto *left = new QVBoxLayout;
    left->addLayout(tiles);
    left->addSpacing(8);
    left->addWidget(fraZb);
    left->addStretch(1);

    auto *right = new QVBoxLayout;
    for (QPushButton *b : {cmdSv, cmdLa, cmdGraf, cmdGoEb})
        right->addWidget(b);
    right->addStretch(1);
    right->addWidget(cmdEnd);

    auto *outer = new QHBoxLayout(central);
    outer->addLayout(left, 1);
    outer->addSpacing(8);
    outer->addLayout(right);

    connectCommands();
    installDefaultChoosers();
    SetCaptions();
    for (int k = 1; k <= 5; ++k)
        ShowBoxTile(k);
    MarkActiveBox();
    // Wide enough for whole names in every tile, as far as the screen allows;
    // a narrower window shortens the names and shows them as tool-tips.
    QSize size = sizeHint().expandedTo(QSize(820, 420));
    if (const QScreen *shown = screen())
        size = size.boundedTo(shown->availableSize());
    resize(size);
}

QGridLayout *FrmKovra::buildTiles(QWidget *central)
{
    // Columns: inner margin, box button, name, scope of time, limit file,
    // icons, inner margin. The shape behind a tile spans all of them, so
    // the margins keep the button and the icons off its frame.
    enum Column { LeftMargin, Button, Name, Scope, Limit, Kind, Edited, RightMargin, Columns };
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnMinimumWidth(LeftMargin, 2);
    grid->setColumnMinimumWidth(RightMargin, 2);
    for (int c = 0; c < 4; ++c) {
        lblHeading[c] = new QLabel(central);
        lblHeading[c]->setObjectName(indexed("lblHeading", c));
        QFont f = lblHeading[c]->font();
        f.setBold(true);
        lblHeading[c]->setFont(f);
    }
    grid->addWidget(lblHeading[0], 0, Button, Qt::AlignCenter);
    grid->addWidget(lblHeading[1], 0, Name);
    grid->addWidget(lblHeading[2], 0, Scope);
    grid->addWidget(lblHeading[3], 0, Limit);

    for (int i = 0; i < 5; ++i) {
        const int row = i + 1;
        Shape1[i] = new QFrame(central);
        Shape1[i]->setObjectName(indexed("Shape1", i));
        grid->addWidget(Shape1[i], row, LeftMargin, 1, Columns);

        cmdAEB[i] = new QPushButton(QString::number(i + 1), central);
        cmdAEB[i]->setObjectName(indexed("cmdAEB", i));
        cmdAEB[i]->setFixedWidth(40);
        // The frame's border and some air above and below the button.
        Shape1[i]->setMinimumHeight(cmdAEB[i]->sizeHint().height() + 14);
        grid->addWidget(cmdAEB[i], row, Button, Qt::AlignCenter);

        // Room for the whole name and limit-file name (50 characters each).
        lblBez[i] = new ElidedLabel(50, central);
        lblBez[i]->setObjectName(indexed("lblBez", i));
        grid->addWidget(lblBez[i], row, Name);

        lblZB[i] = new QLabel(central);
        lblZB[i]->setObjectName(indexed("lblZB", i));
        lblZB[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const QFontMetrics metrics = lblZB[i]->fontMetrics();
        lblZB[i]->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("Scope of time")));
        grid->addWidget(lblZB[i], row, Scope);

        lblGWD[i] = new ElidedLabel(50, central);
        lblGWD[i]->setObjectName(indexed("lblGWD", i));
        grid->addWidget(lblGWD[i], row, Limit);

        imgTyp[i] = makeIcon(BoxIcons::graph(kIconSize), indexed("imgTyp", i), central);
        imgTyp[i]->setToolTip(tr("Graph"));
        imgTyp[i + 5] = makeIcon(BoxIcons::pattern(kIconSize), indexed("imgTyp", i + 5), central);
        imgTyp[i + 5]->setToolTip(tr("Pattern"));
        imgEd[i] = makeIcon(BoxIcons::changed(kIconSize), indexed("imgEd", i), central);
        imgEd[i]->setToolTip(tr("Changed, not saved"));
        // Graph and pattern icon share one place; the changed icon has its
        // own, kept when it is hidden, so nothing moves when an icon shows.
        for (QLabel *icon : { imgTyp[i], imgTyp[i + 5], imgEd[i] })
            keepPlaceWhenHidden(icon);
        grid->addWidget(imgTyp[i], row, Kind, Qt::AlignCenter);
        grid->addWidget(imgTyp[i + 5], row, Kind, Qt::AlignCenter);
        grid->addWidget(imgEd[i], row, Edited, Qt::AlignCenter);
        setShapeColour(i, ShapeColour);
    }
    grid->setColumnStretch(Name, 1);
    grid->setColumnStretch(Limit, 1);
    return grid;
}

void FrmKovra::buildScopeFrame()
{
    fraZb = new QGroupBox(this);
    fraZb->setObjectName(QStringLiteral("fraZb"));
    auto *row = new QHBoxLayout(fraZb);
    for (int k = 1; k <= 8; ++k) {
        ZbOption[k] = new QRadioButton(fraZb);
        ZbOption[k]->setObjectName(indexed("ZbOption", k));
        row->addWidget(ZbOption[k]);
    }
}

void FrmKovra::buildButtons()
{
    auto make = [this](const char *name) {
        auto *b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        b->setMinimumWidth(110);
        return b;
    };
    cmdSv = make("cmdSv");
    cmdLa = make("cmdLa");
    cmdGraf = make("cmdGraf");
    cmdGoEb = make("cmdGoEb");
    cmdEnd = make("cmdEnd");
    // Kept for the service technician: re-sends the initialisation.
    Command1 = make("Command1");
    Command1->setVisible(false);
}

void FrmKovra::buildMenus()
{
    auto action = [this](QMenu *menu, const char *name) {
        auto *a = menu->addAction(QString());
        a->setObjectName(QLatin1String(name));
        return a;
    };
    mnuDat = menuBar()->addMenu(QString());
    mnuDat->setObjectName(QStringLiteral("mnuDat"));
    mnuSvV = action(mnuDat, "mnuSvV");
    mnuLa = action(mnuDat, "mnuLa");
    mnuEx = action(mnuDat, "mnuEx");
    mnuDat->addSeparator();
    mnuLoEb = action(mnuDat, "mnuLoEb");
    mnuLoPl = action(mnuDat, "mnuLoPl");
    mnuDat->addSeparator();
    mnuVZV = mnuDat->addMenu(QString());
    mnuVZV->setObjectName(QStringLiteral("mnuVZV"));
    mnuVzVE = action(mnuVZV, "mnuVzVE");
    mnuVzVL = action(mnuVZV, "mnuVzVL");
    mnuDat->addSeparator();
    mnuGwV = action(mnuDat, "mnuGwV");
    mnuDat->addSeparator();
    mnuEnde = action(mnuDat, "mnuEnde");

    mnuGraph = menuBar()->addAction(QString());
    mnuGraph->setObjectName(QStringLiteral("mnuGraph"));

    mnuEin = menuBar()->addMenu(QString());
    mnuEin->setObjectName(QStringLiteral("mnuEin"));
    mnuPrn = action(mnuEin, "mnuPrn");
    mnuKvFa = mnuEin->addMenu(QString());
    mnuKvFa->setObjectName(QStringLiteral("mnuKvFa"));
    for (int k = 1; k <= 5; ++k) {
        mnuEbn[k] = mnuKvFa->addAction(QString());
        mnuEbn[k]->setObjectName(indexed("mnuEbn", k));
    }
    mnuSonst = action(mnuEin, "mnuSonst");

    mnuHilfs = menuBar()->addMenu(QString());
    mnuHilfs->setObjectName(QStringLiteral("mnuHilfs"));
    mnuImp = action(mnuHilfs, "mnuImp");
    mnuRep = action(mnuHilfs, "mnuRep");
    mnuStat = action(mnuHilfs, "mnuStat");

    mnuInf = menuBar()->addAction(QString());
    mnuInf->setObjectName(QStringLiteral("mnuInf"));
}

void FrmKovra::SetCaptions()
{
    setWindowTitle(QStringLiteral("Zandor 3.2 for Windows"));
    mnuDat->setTitle(QStringLiteral("&File"));
    mnuSvV->setText(QStringLiteral("Graph/Pattern &save..."));
    mnuLa->setText(QStringLiteral("Graph/Pattern &load..."));
    mnuEx->setText(QStringLiteral("Graph/Pattern &export..."));
    mnuLoEb->setText(QStringLiteral("Graph/Pattern delete in &box"));
    mnuLoPl->setText(QStringLiteral("Graph/Pattern delete on &disk"));
    mnuVZV->setTitle(QStringLiteral("Di&rectory management"));
    mnuVzVE->setText(QStringLiteral("Directory &create..."));
    mnuVzVL->setText(QStringLiteral("Directory &delete..."));
    mnuGwV->setText(QStringLiteral("Li&mit management..."));
    mnuEnde->setText(QStringLiteral("&End"));
    mnuGraph->setText(QStringLiteral("&Display graphs..."));
    mnuEin->setTitle(QStringLiteral("&Options"));
    mnuPrn->setText(QStringLiteral("&Install printer..."));
    mnuKvFa->setTitle(QStringLiteral("Color of &graphs"));
    mnuSonst->setText(QStringLiteral("&Other adjustments..."));
    mnuHilfs->setTitle(QStringLiteral("&Utils"));
    mnuImp->setText(QStringLiteral("&Import graphs..."));
    mnuRep->setText(QStringLiteral("&Reorganise database"));
    mnuStat->setText(QStringLiteral("&Statistics..."));
    mnuInf->setText(QStringLiteral("&Info"));
    mnuEin_Click();

    lblHeading[0]->setText(QStringLiteral("Box"));
    lblHeading[1]->setText(QStringLiteral("Name"));
    lblHeading[2]->setText(QStringLiteral("Scope of time"));
    lblHeading[3]->setText(QStringLiteral("Limit-File"));
    fraZb->setTitle(QStringLiteral("Scope of time in minutes"));
    cmdSv->setText(QStringLiteral("&Save"));
    cmdLa->setText(QStringLiteral("&Load"));
    cmdGraf->setText(QStringLiteral("&Graphs"));
    cmdGoEb->setText(QStringLiteral("&Box"));
    cmdEnd->setText(QStringLiteral("&End"));
    Command1->setText(QStringLiteral("run INIT"));
    for (int k = 1; k <= 8; ++k)
        ZbOption[k]->setText(ctx.notation.plain(ScopeMinutes(k)));
}

void FrmKovra::ShowBoxTile(int box)
{
    const BoxRecord &b = ctx.settings.Box(box);
    const int i = box - 1;
    imgEd[i]->setVisible(b.Changed);
    imgTyp[i]->setVisible(b.holdsGraph());
    imgTyp[i + 5]->setVisible(!b.holdsGraph());
    lblBez[i]->setText(b.Kovra);
    lblZB[i]->setText(ctx.notation.plain(b.Ein[10]));
    lblGWD[i]->setText(b.GrwBez.text());
}

void FrmKovra::ShowAllBoxTiles()
{
    for (int k = 1; k <= 5; ++k)
        ShowBoxTile(k);
}

void FrmKovra::setShapeColour(int index, unsigned rgb)
{
    QFrame *shape = Shape1[index];
    shape->setProperty("shapeColour", rgb);
    const QColor c = QColor::fromRgb(rgb);
    const QColor fill = rgb == ActiveShapeColour ? QColor(0xf3, 0xe6, 0xf3) : QColor(0xf4, 0xf4, 0xf4);
    shape->setStyleSheet(QStringLiteral("QFrame#%1 { border: 3px solid %2; border-radius: 4px;"
                                        " background: %3; }")
                             .arg(shape->objectName(), c.name(), fill.name()));
}

unsigned FrmKovra::shapeColour(int index) const
{
    return Shape1[index]->property("shapeColour").toUInt();
}

void FrmKovra::cmdAEB_Click(int index)
{
    ctx.settings.ActiveBox = index + 1;
    setShapeColour(PrevBox, ShapeColour);
    setShapeColour(index, ActiveShapeColour);
    // The default-button look goes with the selection: one box looks chosen.
    cmdAEB[PrevBox]->setDefault(false);
    cmdAEB[index]->setDefault(true);
    PrevBox = index;
}

void FrmKovra::MarkActiveBox()
{
    const int index = ctx.settings.ActiveBox - 1;
    if (index < 0 || index > 4)
        return;
    for (QPushButton *b : cmdAEB)
        b->setDefault(false);
    cmdAEB[index]->setDefault(true);
    cmdAEB[index]->setFocus();
    PrevBox = index;
    for (int i = 0; i < 5; ++i)
        setShapeColour(i, i == index ? ActiveShapeColour : ShapeColour);
}

void FrmKovra::ZbOption_Click(int index)
{
    const float minutes = ScopeMinutes(index);
    ctx.settings.ScopeOfTime = minutes;
    for (int k = 1; k <= 5; ++k) {
        BoxRecord &b = ctx.settings.Box(k);
        if (b.Status == BoxStatus::Graph)
            continue;
        b.Ein[10] = minutes;
        lblZB[k - 1]->setText(ctx.notation.plain(minutes));
    }
}

void FrmKovra::SelectScopeOption()
{
    for (int k = 1; k <= 8; ++k) {
        if (ScopeMinutes(k) == ctx.settings.ScopeOfTime) {
            ZbOption[k]->setChecked(true);
            ZbOption_Click(k);
            return;
        }
    }
}

void FrmKovra::Form_Activate()
{
    ShowBoxTile(ctx.settings.ActiveBox);
}

void FrmKovra::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
    QMainWindow::changeEvent(event);
}

void FrmKovra::cmdEnd_Click()
{
    close();
}

bool FrmKovra::Form_Unload()
{
    const QString list = UnsavedBoxesList(ctx.settings);
    if (!list.isEmpty() && !ctx.messages.askYesNo(ShutdownQuestionText(list)))
        return false;
    return true;
}

FrmKovra::~FrmKovra()
{
    // The graph window tells this window when it goes; it must go while this
    // window's menu entry and button are still there.
    delete m_graphWindow;
}

void FrmKovra::closeEvent(QCloseEvent *event)
{
    if (m_askBeforeClosing && !Form_Unload()) {
        event->ignore();
        return;
    }
    // The graph window beside this one ends with the program; left open it
    // would keep the program running after its end.
    if (m_graphWindow)
        m_graphWindow->close();
    emit shuttingDown();
    event->accept();
}

void FrmKovra::connectCommands()
{
    for (int i = 0; i < 5; ++i)
        connect(cmdAEB[i], &QPushButton::clicked, this, [this, i] { cmdAEB_Click(i); });
    for (int k = 1; k <= 8; ++k)
        connect(ZbOption[k], &QRadioButton::clicked, this, [this, k] { ZbOption_Click(k); });
    connect(cmdEnd, &QPushButton::clicked, this, &FrmKovra::cmdEnd_Click);
    connect(mnuEnde, &QAction::triggered, this, &FrmKovra::cmdEnd_Click);
    connect(mnuEin, &QMenu::aboutToShow, this, &FrmKovra::mnuEin_Click);
    connect(cmdSv, &QPushButton::clicked, this, &FrmKovra::mnuSvV_Click);
    connect(mnuSvV, &QAction::triggered, this, &FrmKovra::mnuSvV_Click);
    connect(cmdLa, &QPushButton::clicked, this, &FrmKovra::mnuLa_Click);
    connect(mnuLa, &QAction::triggered, this, &FrmKovra::mnuLa_Click);
    connect(mnuEx, &QAction::triggered, this, &FrmKovra::mnuEx_Click);
    connect(mnuLoEb, &QAction::triggered, this, &FrmKovra::mnuLoEb_Click);
    connect(mnuLoPl, &QAction::triggered, this, &FrmKovra::mnuLoPl_Click);
    connect(mnuVzVE, &QAction::triggered, this, &FrmKovra::mnuVzVE_Click);
    connect(mnuVzVL, &QAction::triggered, this, &FrmKovra::mnuVzVL_Click);
    connect(mnuGwV, &QAction::triggered, this, &FrmKovra::mnuGwV_Click);
    connect(cmdGraf, &QPushButton::clicked, this, &FrmKovra::mnuGraph_Click);
    connect(mnuGraph, &QAction::triggered, this, &FrmKovra::mnuGraph_Click);
    connect(mnuPrn, &QAction::triggered, this, &FrmKovra::mnuPrn_Click);
    for (int k = 1; k <= 5; ++k)
        connect(mnuEbn[k], &QAction::triggered, this, [this, k] { mnuEbn_Click(k); });
    connect(mnuSonst, &QAction::triggered, this, &FrmKovra::mnuSonst_Click);
    connect(mnuImp, &QAction::triggered, this, &FrmKovra::mnuImp_Click);
    connect(mnuRep, &QAction::triggered, this, &FrmKovra::mnuRep_Click);
    connect(mnuStat, &QAction::triggered, this, &FrmKovra::mnuStat_Click);
    connect(mnuInf, &QAction::triggered, this, &FrmKovra::mnuInf_Click);
    connect(cmdGoEb, &QPushButton::clicked, this, &FrmKovra::cmdGoEb_Click);
    connect(Command1, &QPushButton::clicked, this, &FrmKovra::Command1_Click);
}
