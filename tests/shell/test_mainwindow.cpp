#include "FormFixture.h"
#include "TestSupport.h"
#include "core/ClearBox.h"
#include "shell/ElidedLabel.h"
#include "shell/MainWindow.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QtTest>

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void activeBoxColours();
    void scopeOptionChangesBoxesWithoutGraph();
    void iconsFollowStatusAndChanged();
    void tilesShowWholeNamesAndKeepTheirPlaces();
    void deleteInBox();
    void colourOfOneBoxWritesAllFiveColumns();
    void graphsOnlyForTheSelectedScope();
    void printerSetUpConfirmsWithOk();

private:
    // Five reset boxes in the 10-minute scope, settings from a fresh file.
    std::unique_ptr<FormFixture> fx;
    std::unique_ptr<FrmKovra> window;
};

void MainWindowTest::init()
{
    fx = std::make_unique<FormFixture>(commaNotation());
    QVERIFY(fx->opened && fx->store.LoadSettings(fx->settings));
    for (int k = 1; k <= 5; ++k)
        ClearBox(fx->settings, k, fx->notation);
    window = std::make_unique<FrmKovra>(fx->ctx);
    window->SelectScopeOption();
    window->ShowAllBoxTiles();
}

void MainWindowTest::cleanup()
{
    window->setAskBeforeClosing(false);
    window.reset();
    fx.reset();
}

void MainWindowTest::activeBoxColours()
{
    fx->settings.ActiveBox = 1;
    window->MarkActiveBox();
    window->cmdAEB[3]->click();
    QCOMPARE(fx->settings.ActiveBox, 4);
    // One box looks chosen: the shape and the default-button look agree.
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(
            window->shapeColour(i), i == 3 ? FrmKovra::ActiveShapeColour : FrmKovra::ShapeColour);
        QCOMPARE(window->cmdAEB[i]->isDefault(), i == 3);
    }
}

void MainWindowTest::scopeOptionChangesBoxesWithoutGraph()
{
    fx->settings.Box(2).Status = BoxStatus::Graph;
    fx->settings.Box(2).Ein[10] = 10;
    window->ShowBoxTile(2);
    window->ZbOption[4]->click();
    QCOMPARE(fx->settings.ScopeOfTime, 25.0f);
    for (int k : { 1, 3, 4, 5 }) {
        QCOMPARE(fx->settings.Box(k).Ein[10], 25.0f);
        QCOMPARE(window->lblZB[k - 1]->text(), QStringLiteral("25"));
    }
    QCOMPARE(fx->settings.Box(2).Ein[10], 10.0f);
    QCOMPARE(window->lblZB[1]->text(), QStringLiteral("10"));
}

void MainWindowTest::iconsFollowStatusAndChanged()
{
    window->show();
    QVERIFY(!window->imgTyp[2]->isVisible() && window->imgTyp[7]->isVisible());
    QVERIFY(!window->imgEd[2]->isVisible());
    fx->settings.Box(3).Status = BoxStatus::Graph;
    fx->settings.Box(3).Changed = true;
    window->ShowBoxTile(3);
    QVERIFY(window->imgTyp[2]->isVisible());
    QVERIFY(!window->imgTyp[7]->isVisible());
    QVERIFY(window->imgEd[2]->isVisible());
}

// A 50-character name shows whole at the window's first size and ends with
// "…" and a tool-tip only in a narrower window; icons appearing move nothing.
void MainWindowTest::tilesShowWholeNamesAndKeepTheirPlaces()
{
    const QString name = QStringLiteral("Dekorpapier 80 g/m2, Linie 4, Harz MF 2, Probe 017");
    QCOMPARE(name.size(), 50);
    BoxRecord &b = fx->settings.Box(1);
    b.Kovra = name;
    b.GrwBez = FixedText<50>(QStringLiteral("Grenzwerte Dekorpapier Linie 4, Harz MF 2, Sommer"));
    window->ShowBoxTile(1);
    // At its own size (the first size where the screen is large enough).
    window->resize(window->sizeHint());
    QVERIFY(showActive(*window));
    const auto rect
        = [this](QWidget *w) { return QRect(w->mapTo(window.get(), QPoint()), w->size()); };
    QVERIFY(!window->lblBez[0]->isElided());
    QVERIFY(!window->lblGWD[0]->isElided());
    QVERIFY(window->lblBez[0]->toolTip().isEmpty());
    QVERIFY(window->cmdAEB[0]->geometry().top() > window->Shape1[0]->geometry().top() + 2);
    QVERIFY(window->cmdAEB[0]->geometry().left() > window->Shape1[0]->geometry().left() + 2);

    const QList<QWidget *> placed { window->lblBez[0], window->lblZB[0], window->lblGWD[0],
        window->imgTyp[0], window->imgTyp[5], window->imgEd[0] };
    QList<QRect> before;
    for (QWidget *w : placed)
        before << rect(w);
    b.Changed = true;
    b.Status = BoxStatus::Graph;
    window->ShowBoxTile(1);
    QCoreApplication::processEvents();
    for (int i = 0; i < placed.size(); ++i)
        QCOMPARE(rect(placed[i]), before[i]);

    window->resize(window->width() / 2, window->height());
    QTRY_VERIFY(window->lblBez[0]->isElided());
    QCOMPARE(window->lblBez[0]->toolTip(), name);
    QCOMPARE(window->lblBez[0]->text(), name);
}

void MainWindowTest::deleteInBox()
{
    fx->settings.ActiveBox = 2;
    BoxRecord &b = fx->settings.Box(2);
    b.Kovra = QStringLiteral("A7");
    b.Status = BoxStatus::Graph;
    b.PruefAm = QStringLiteral("01.01.05");
    window->ShowBoxTile(2);

    fx->messages.answer(false);
    window->mnuLoEb->trigger();
    QCOMPARE(fx->messages.texts(), QStringList { "Do you really want to delete ?" });
    QCOMPARE(b.Kovra, QStringLiteral("A7"));

    fx->messages.answer(true);
    window->mnuLoEb->trigger();
    QCOMPARE(b.Kovra, QString());
    QCOMPARE(b.PruefAm, fx->notation.date(QDate::currentDate()));
    QCOMPARE(window->lblBez[1]->text(), QString());
}

void MainWindowTest::colourOfOneBoxWritesAllFiveColumns()
{
    const auto before = fx->settings.DisKvFa;
    const auto stored = [this] {
        QSqlQuery q(fx->db.connection());
        q.exec("SELECT DisKvFa1, DisKvFa2, DisKvFa3, DisKvFa4, DisKvFa5 FROM Init");
        q.next();
        return QList<qint32> { q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(),
            q.value(3).toInt(), q.value(4).toInt() };
    };

    // Colours changed in memory only reach the file with the next choice.
    fx->settings.DisKvFa[1] = 0x123456;
    window->chooseColour = [](const QColor &) { return std::optional<QColor>(); };
    window->mnuEbn[3]->trigger();
    QCOMPARE(stored()[0], before[1]);

    window->chooseColour = [](const QColor &) { return QColor(0x11, 0x22, 0x33); };
    window->mnuEbn[3]->trigger();
    QCOMPARE(fx->settings.DisKvFa[3], 0x332211);
    QCOMPARE(stored(), (QList<qint32> { 0x123456, before[2], 0x332211, before[4], before[5] }));
}

void MainWindowTest::graphsOnlyForTheSelectedScope()
{
    BoxRecord &b = fx->settings.Box(2);
    b.Status = BoxStatus::Graph;
    b.Ein[10] = 10;
    b.x[0] = b.x[1] = 20;
    b.y[1] = 60;
    b.x[2] = CurveEndMark;
    window->ZbOption[4]->click();
    window->cmdGraf->click();
    QCOMPARE(fx->messages.texts(), QStringList { "No graph in selected scope of time!" });
    QVERIFY(!window->graphWindow());

    window->ZbOption[3]->click();
    window->cmdGraf->click();
    QVERIFY(window->graphWindow());
    QCOMPARE(fx->messages.entries.size(), 1);
    window->graphWindow()->close();
}

// The set-up only chooses the printer: its confirming button says OK.
void MainWindowTest::printerSetUpConfirmsWithOk()
{
    QPrinter printer;
    fx->ctx.printer = &printer;
    QStringList captions;
    whenModal<QPrintDialog>([&](QPrintDialog *dialog) {
        for (QDialogButtonBox *box : dialog->findChildren<QDialogButtonBox *>())
            for (QAbstractButton *b : box->buttons())
                if (box->buttonRole(b) == QDialogButtonBox::AcceptRole)
                    captions << b->text();
        dialog->reject();
    });
    window->mnuPrn->trigger();
    QCOMPARE(captions, QStringList { "OK" });
}

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
