#include "TestSupport.h"
#include "shell/ClearBox.h"
#include "shell/MainWindow.h"
#include "shell/ScriptedMessages.h"
#include "shell/Settings.h"
#include "shell/ShutdownQuestion.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QSqlQuery>
#include <QTemporaryDir>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void activeBoxColours();
    void scopeOptionChangesBoxesWithoutGraph();
    void storedScopeIsSelectedAtStart();
    void iconsFollowStatusAndChanged();
    void limitNameShownWithItsBlanks();
    void colourMenuCaptions();
    void deleteInBox();
    void shutdownList();
    void closingAsksOnlyForUnsavedBoxes();
    void colourOfOneBoxWritesAllFiveColumns();
    void graphsOnlyForTheSelectedScope();

private:
    Settings *settings = nullptr;
    Notation notation = commaNotation();
    ScriptedMessages *messages = nullptr;
    AppContext *ctx = nullptr;
    FrmKovra *window = nullptr;
};

void MainWindowTest::init()
{
    settings = new Settings;
    messages = new ScriptedMessages;
    ctx = new AppContext{*settings, notation, *messages};
    for (int k = 1; k <= 5; ++k)
        ClearBox(*settings, k, notation);
    window = new FrmKovra(*ctx);
    window->SelectScopeOption();
    window->ShowAllBoxTiles();
}

void MainWindowTest::cleanup()
{
    window->setAskBeforeClosing(false);
    delete window;
    delete ctx;
    delete messages;
    delete settings;
}

void MainWindowTest::activeBoxColours()
{
    QCOMPARE(window->shapeColour(0), FrmKovra::ActiveShapeColour);
    QVERIFY(window->cmdAEB[0]->isDefault());
    window->cmdAEB[3]->click();
    QCOMPARE(settings->ActiveBox, 4);
    QCOMPARE(window->shapeColour(3), FrmKovra::ActiveShapeColour);
    QCOMPARE(window->shapeColour(0), FrmKovra::ShapeColour);
    for (int i : {1, 2, 4})
        QCOMPARE(window->shapeColour(i), FrmKovra::ShapeColour);
}

void MainWindowTest::scopeOptionChangesBoxesWithoutGraph()
{
    settings->Box(2).Status = BoxStatus::Graph;
    settings->Box(2).Ein[10] = 10;
    window->ShowBoxTile(2);
    window->ZbOption[4]->click();
    QCOMPARE(settings->ScopeOfTime, 25.0f);
    for (int k : {1, 3, 4, 5}) {
        QCOMPARE(settings->Box(k).Ein[10], 25.0f);
        QCOMPARE(window->lblZB[k - 1]->text(), QStringLiteral("25"));
    }
    QCOMPARE(settings->Box(2).Ein[10], 10.0f);
    QCOMPARE(window->lblZB[1]->text(), QStringLiteral("10"));
    window->ZbOption[1]->click();
    QCOMPARE(window->lblZB[0]->text(), QStringLiteral("2,5"));
}

void MainWindowTest::storedScopeIsSelectedAtStart()
{
    settings->ScopeOfTime = 250;
    window->SelectScopeOption();
    QVERIFY(window->ZbOption[7]->isChecked());
    for (int k = 1; k <= 5; ++k)
        QCOMPARE(settings->Box(k).Ein[10], 250.0f);

    // A stored scope that is none of the options selects nothing new.
    settings->ScopeOfTime = 7;
    window->SelectScopeOption();
    QCOMPARE(settings->Box(1).Ein[10], 250.0f);
}

void MainWindowTest::iconsFollowStatusAndChanged()
{
    window->show();
    for (int i = 0; i < 5; ++i) {
        QVERIFY(!window->imgTyp[i]->isVisible());
        QVERIFY(window->imgTyp[i + 5]->isVisible());
        QVERIFY(!window->imgEd[i]->isVisible());
    }
    settings->Box(3).Status = BoxStatus::Graph;
    settings->Box(3).Changed = true;
    settings->Box(3).Kovra = QStringLiteral("A1");
    window->ShowBoxTile(3);
    QVERIFY(window->imgTyp[2]->isVisible());
    QVERIFY(!window->imgTyp[7]->isVisible());
    QVERIFY(window->imgEd[2]->isVisible());
    QCOMPARE(window->lblBez[2]->text(), QStringLiteral("A1"));
}

void MainWindowTest::limitNameShownWithItsBlanks()
{
    settings->Box(1).GrwBez = QStringLiteral("Standard");
    window->ShowBoxTile(1);
    QCOMPARE(window->lblGWD[0]->text().size(), 50);
    QVERIFY(window->lblGWD[0]->text().startsWith("Standard "));
    QCOMPARE(window->lblGWD[1]->text().trimmed(), QString());
}

void MainWindowTest::colourMenuCaptions()
{
    QCOMPARE(window->mnuEbn[1]->text(), QStringLiteral("Box &1"));
    QCOMPARE(window->mnuEbn[5]->text(), QStringLiteral("Box &5"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Zandor 3.2 for Windows"));
}

void MainWindowTest::deleteInBox()
{
    settings->ActiveBox = 2;
    BoxRecord &b = settings->Box(2);
    b.Kovra = QStringLiteral("A7");
    b.Status = BoxStatus::Graph;
    b.PruefAm = QStringLiteral("01.01.05");
    window->ShowBoxTile(2);

    messages->answer(false);
    window->mnuLoEb->trigger();
    QCOMPARE(messages->texts(), QStringList{"Do you really want to delete ?"});
    QCOMPARE(b.Kovra, QStringLiteral("A7"));

    messages->answer(true);
    window->mnuLoEb->trigger();
    QCOMPARE(b.Kovra, QString());
    QCOMPARE(b.Status, BoxStatus::Pattern);
    QCOMPARE(b.PruefAm, notation.date(QDate::currentDate()));
    QCOMPARE(window->lblBez[1]->text(), QString());
}

void MainWindowTest::shutdownList()
{
    settings->Box(1).Changed = true;
    settings->Box(1).Status = BoxStatus::Graph;
    settings->Box(3).Changed = true;
    const QString list = UnsavedBoxesList(*settings);
    QCOMPARE(list, QStringLiteral("Graph  from box 1\nPattern  from box 3\n"));
    QCOMPARE(ShutdownQuestionText(QStringLiteral("Graph  from box 2\n")),
             QStringLiteral("Graph  from box 2\n\nwas not saved,\ndo you really intend to end ?"));
}

void MainWindowTest::closingAsksOnlyForUnsavedBoxes()
{
    window->show();
    QVERIFY(window->close());
    QVERIFY(messages->entries.isEmpty());

    window->show();
    settings->Box(2).Changed = true;
    messages->answer(false);
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QCOMPARE(messages->entries.size(), 1);
    messages->answer(true);
    QVERIFY(window->close());
}

void MainWindowTest::colourOfOneBoxWritesAllFiveColumns()
{
    QTemporaryDir dir;
    Database db;
    QVERIFY(db.open(dir.filePath("kovra.mdb")));
    Store store(db, notation);
    QVERIFY(store.LoadSettings(*settings));
    ctx->store = &store;
    const auto before = settings->DisKvFa;
    auto stored = [&db] {
        QSqlQuery q(db.connection());
        q.exec("SELECT DisKvFa1, DisKvFa2, DisKvFa3, DisKvFa4, DisKvFa5 FROM Init");
        q.next();
        QList<qint32> out;
        for (int i = 0; i < 5; ++i)
            out << q.value(i).toInt();
        return out;
    };

    // Colours changed in memory only reach the file with the next choice.
    settings->DisKvFa[1] = 0x123456;
    window->chooseColour = [](const QColor &) { return std::optional<QColor>(); };
    window->mnuEbn[3]->trigger();
    QCOMPARE(stored()[0], before[1]);

    QColor initial;
    window->chooseColour = [&initial](const QColor &c) {
        initial = c;
        return std::optional<QColor>(QColor(0x11, 0x22, 0x33));
    };
    window->mnuEbn[3]->trigger();
    QCOMPARE(initial, QColor(before[3] & 0xFF, (before[3] >> 8) & 0xFF, (before[3] >> 16) & 0xFF));
    QCOMPARE(settings->DisKvFa[3], 0x332211);
    const QList<qint32> columns = stored();
    QCOMPARE(columns[2], 0x332211);
    QCOMPARE(columns[0], 0x123456);
    QCOMPARE(columns[1], before[2]);
    QCOMPARE(columns[3], before[4]);
    QCOMPARE(columns[4], before[5]);
    ctx->store = nullptr;
}

void MainWindowTest::graphsOnlyForTheSelectedScope()
{
    BoxRecord &b = settings->Box(2);
    b.Status = BoxStatus::Graph;
    b.Ein[10] = 10;
    b.x[0] = b.x[1] = 20;
    b.y[1] = 60;
    b.x[2] = CurveEndMark;
    window->ZbOption[4]->click();
    window->cmdGraf->click();
    QCOMPARE(messages->texts(), QStringList{"No graph in selected scope of time!"});
    QVERIFY(!window->graphWindow());

    window->ZbOption[3]->click();
    window->cmdGraf->click();
    QVERIFY(window->graphWindow());
    QVERIFY(QTest::qWaitForWindowExposed(window->graphWindow()));
    QVERIFY(!window->mnuGraph->isEnabled());
    QCOMPARE(window->graphWindow()->windowTitle(), QStringLiteral("Display graphs"));
    window->graphWindow()->close();
    QTRY_VERIFY(!window->graphWindow());
    QVERIFY(window->mnuGraph->isEnabled());
}

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
