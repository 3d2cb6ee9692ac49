// The operator's road through the whole program: each story starts the
// program against the simulator on a fresh database file and works through
// the windows only, then checks what the operator sees and what the
// database holds. What a single window does is left to its own tests.
#include "OperatorSession.h"

#include "display/GraphWindow.h"
#include "evaluation/ResultsWindow.h"
#include "store/OtherAdjustmentsDialog.h"

#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QSqlRecord>

namespace
{

const QString LimitDirectory = QStringLiteral("Papiere");
const QString LimitName = QStringLiteral("Standard 80");
const QString Specimen = QStringLiteral("Probe A1");

// What one box tile shows.
struct Tile {
    QString name, scope, limit;
    bool graphIcon, patternIcon, changedIcon;
};

Tile tileOf(FrmKovra &w, int box)
{
    const size_t i = size_t(box - 1);
    return { w.lblBez[i]->text(), w.lblZB[i]->text(), w.lblGWD[i]->text(),
        w.imgTyp[i]->isVisibleTo(&w), w.imgTyp[i + 5]->isVisibleTo(&w),
        w.imgEd[i]->isVisibleTo(&w) };
}

// The limit file Standard 80, put straight into the database: the
// simulator's first specimen of a 2.5-minute run meets results 1 to 4 and
// misses result 5.
void givenLimitFile(Store &store)
{
    LimitFile file;
    file.GrwName = LimitName;
    file.VerzID = *store.addDirectory(DirectoryType::Limits, LimitDirectory);
    file.upper = { 0, 999.9f, 999.9f, 9.999f, 9999, 1 };
    QVERIFY(store.addLimitFile(file));
}

QString pdfText(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), file, QStringLiteral("-") });
    return p.waitForFinished(20000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

} // namespace

class TestOperatorStories : public QObject
{
    Q_OBJECT

private slots:
    void startsWithTheBoxAndScopeChosenForTheNextStart();
    void specimenInBoxTwoWithItsLimitFile();
    void measurementRunsAndShowsItsResults();
    void measuredBoxIsSavedIntoANewDirectory();
    void boxDeletedAndLoadedBack();
    void graphsDisplayedAndReportPrinted();
};

void TestOperatorStories::startsWithTheBoxAndScopeChosenForTheNextStart()
{
    OperatorSession s;
    STEP(s.start());
    FrmKovra &w = s.window();

    // Box 3 and five minutes from the next start on; this run keeps its own.
    whenModal<FrmSonst>([](FrmSonst *dialog) {
        dialog->findChild<QRadioButton *>(QStringLiteral("EbOpt_3"))->click();
        dialog->findChild<QRadioButton *>(QStringLiteral("ZbOpt_2"))->click();
        dialog->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    });
    w.mnuSonst->trigger();
    QCOMPARE(s.settings().ActiveBox, 1);
    QCOMPARE(s.settings().ScopeOfTime, 10.0f);
    const std::optional<StartChoices> stored = s.store().readStartChoices();
    QVERIFY(stored);
    QCOMPARE(stored->AEB, 3);
    QCOMPARE(stored->AZB, 5.0f);

    STEP(s.start());
    FrmKovra &again = s.window();
    QCOMPARE(s.settings().ActiveBox, 3);
    QCOMPARE(again.shapeColour(2), FrmKovra::ActiveShapeColour);
    QCOMPARE(again.shapeColour(0), FrmKovra::ShapeColour);
    QVERIFY(again.ZbOption[2]->isChecked());
    for (int k = 1; k <= 5; ++k) {
        QCOMPARE(tileOf(again, k).scope, QStringLiteral("5"));
        QCOMPARE(s.box(k).Ein[10], 5.0f);
    }
    QCOMPARE(s.messages.texts(), QStringList());
}

void TestOperatorStories::specimenInBoxTwoWithItsLimitFile()
{
    OperatorSession s;
    STEP(s.start());
    STEP(s.createDirectory(DirectoryType::Limits, LimitDirectory));
    LimitEntry typed;
    typed.lower = { QString(), "0", "0", "0", "0", "0" };
    typed.upper = { QString(), "999.9", "999.9", "9.999", "9999", "1" };
    for (QString &text : typed.upper)
        text.replace(QLatin1Char('.'), s.notation().decimalSeparator());
    STEP(s.createLimitFile(LimitDirectory, LimitName, typed));
    STEP(s.selectBox(2));
    STEP(s.enterSpecimen(sampleSpecimen(Specimen), [&](FrmEbn *form) {
        OperatorSession::snapshot(form, QStringLiteral("road-2-specimen"));
        s.relateLimitFile(form, LimitDirectory, LimitName);
    }));
    QCOMPARE(s.messages.texts(), QStringList());

    const Tile t = tileOf(s.window(), 2);
    QCOMPARE(t.name, Specimen);
    QCOMPARE(t.limit, LimitName.leftJustified(50));
    QVERIFY(t.patternIcon && t.changedIcon && !t.graphIcon);

    const BoxRecord &b = s.box(2);
    QVERIFY(b.Changed && !b.Stored);
    QCOMPARE(b.Benutzer, QStringLiteral("Meier"));
    QCOMPARE(b.Bg, 112.5f);
    QCOMPARE(b.Bemerk, QStringLiteral("Charge 4711"));
    QCOMPARE(b.GwO[3], 9.999f);

    // The limit file is in the database; the specimen is not, until saved.
    const std::optional<qint32> dir
        = s.store().findDirectory(DirectoryType::Limits, LimitDirectory);
    QVERIFY(dir);
    const std::optional<qint32> key = s.store().findLimitFile(*dir, LimitName);
    QVERIFY(key);
    QCOMPARE(s.store().readLimitFile(*key)->upper[4], 9999.0f);
    QVERIFY(s.store().listAllRecords().isEmpty());
}

void TestOperatorStories::measurementRunsAndShowsItsResults()
{
    // Slow enough to catch the window between two points.
    OperatorSession s(500);
    STEP(s.start());
    STEP(givenLimitFile(s.store()));
    STEP(s.chooseScope(2.5f));
    STEP(s.selectBox(2));
    MeasurementSeen seen;
    STEP(s.enterSpecimen(sampleSpecimen(Specimen), [&](FrmEbn *form) {
        s.relateLimitFile(form, LimitDirectory, LimitName);
        seen = s.startMeasurement(form, 45, [](FrmMessen *window) {
            OperatorSession::snapshot(window, QStringLiteral("road-3-measurement"));
        });
    }));
    QVERIFY(!seen.timedOut);
    QCOMPARE(seen.caption, QStringLiteral("Measurement of  <Probe A1>  in box 2"));
    QVERIFY(seen.seenRunning && seen.endEnabled && !seen.returnEnabled);
    QCOMPARE(s.messages.texts(), QStringList());
    // Voltage 6 from the paper weight, the cycle preset of 2.5 minutes.
    QVERIFY(s.simulator.receivedCommands().contains(
        QStringLiteral("run START  6 1.25  150000  180  500  1700")));

    const BoxRecord &b = s.box(2);
    QCOMPARE(b.Status, BoxStatus::Graph);
    QVERIFY(b.Changed && !b.Stored);
    const int n = b.pointCount();
    QVERIFY2(n >= 80 && n <= 90, qPrintable(QString::number(n))); // 150 s in 1.7 s cycles
    QVERIFY(b.y[size_t(n - 1)] <= 150.0f);
    for (int k = 1; k <= 4; ++k)
        QCOMPARE(b.Abw[size_t(k)], 0.0f);
    QVERIFY(b.Erg[5] > 1.0f);
    QCOMPARE(b.Abw[5], b.Erg[5] - 1.0f);

    const Tile t = tileOf(s.window(), 2);
    QVERIFY(t.graphIcon && t.changedIcon && !t.patternIcon);
    QCOMPARE(t.scope, s.notation().plain(2.5f));
    OperatorSession::snapshot(&s.window(), QStringLiteral("road-1-main"));

    // The results window of the box, opened from its specimen form: the
    // flexibility above its upper limit 1, everything else within.
    STEP(s.enterSpecimen({}, [&](FrmEbn *form) {
        whenModal<FrmErg>([&](FrmErg *results) {
            const auto cell = [results](const char *column, int row) {
                return results->findChild<QLabel *>(QStringLiteral("%1_%2").arg(column).arg(row))
                    ->text();
            };
            QCOMPARE(cell("lbl2", 4), QString::number(qRound(b.Erg[5])));
            QCOMPARE(cell("lbl6", 0), QStringLiteral("0"));
            QCOMPARE(cell("lbl5", 4), QStringLiteral("1"));
            QCOMPARE(cell("lbl6", 4), QString::number(qRound(b.Abw[5])));
            OperatorSession::snapshot(results, QStringLiteral("road-4-results"));
            results->findChild<QPushButton *>("cmdErgAb")->click();
        });
        form->findChild<QPushButton *>("cmdEbnErg")->click();
    }));
    QCOMPARE(s.messages.texts(), QStringList());
}

void TestOperatorStories::measuredBoxIsSavedIntoANewDirectory()
{
    OperatorSession s;
    STEP(s.start());
    STEP(s.chooseScope(2.5f));
    STEP(s.measure(2, sampleSpecimen(Specimen)));
    STEP(s.createDirectory(DirectoryType::Graphs, QStringLiteral("Serie 1")));
    std::pair<QString, QString> seen;
    STEP(seen = s.saveActiveBox(QStringLiteral("Serie 1")));
    QCOMPARE(seen.first, QStringLiteral("Save  Graph  from box 2"));
    QCOMPARE(seen.second, Specimen);
    QCOMPARE(s.messages.texts(), QStringList());

    const BoxRecord &b = s.box(2);
    QVERIFY(b.Stored && !b.Changed);
    const Tile t = tileOf(s.window(), 2);
    QVERIFY(t.graphIcon && !t.changedIcon);

    // One graph record in the new directory, with the whole curve and the
    // results of the box.
    const std::optional<qint32> dir = s.store().findDirectory(DirectoryType::Graphs, "Serie 1");
    QVERIFY(dir);
    const QList<RecordEntry> records = s.store().listRecords(*dir);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().UntID, b.UntID);
    QCOMPARE(records.first().Kovra, Specimen);
    QCOMPARE(records.first().Status, BoxStatus::Graph);
    const std::optional<QSqlRecord> row = s.store().rawRecord(b.UntID);
    QVERIFY(row);
    QCOMPARE(row->value("x").toString().size(), 6 * (b.pointCount() + 1));
    QCOMPARE(row->value("y").toString().size(), row->value("x").toString().size());
    for (int k = 1; k <= 5; ++k)
        QCOMPARE(row->value(QStringLiteral("Erg%1").arg(k)).toFloat(), b.Erg[size_t(k)]);
    QCOMPARE(row->value("Ein10").toFloat(), 2.5f);
    QCOMPARE(row->value(QStringLiteral("PrüfAm")).toDate(), QDate::currentDate());
}

void TestOperatorStories::boxDeletedAndLoadedBack()
{
    OperatorSession s;
    STEP(s.start());
    STEP(s.chooseScope(2.5f));
    STEP(s.measure(2, sampleSpecimen(Specimen)));
    STEP(s.createDirectory(DirectoryType::Graphs, QStringLiteral("Serie 1")));
    STEP(s.saveActiveBox(QStringLiteral("Serie 1")));
    const BoxRecord saved = s.box(2);

    s.messages.answer(true);
    s.window().mnuLoEb->trigger();
    QCOMPARE(s.messages.texts(), QStringList { "Do you really want to delete ?" });
    Tile t = tileOf(s.window(), 2);
    QCOMPARE(t.name, QString());
    QVERIFY(t.patternIcon && !t.graphIcon && !t.changedIcon);
    QCOMPARE(s.box(2).UntID, -1);
    QCOMPARE(s.store().listAllRecords().size(), 1); // deleted in the box only

    s.messages.clear();
    STEP(s.loadIntoActiveBox(DirectoryType::Graphs, QStringLiteral("Serie 1"), Specimen));
    QCOMPARE(s.messages.texts(), QStringList());
    const BoxRecord &b = s.box(2);
    QCOMPARE(b.Status, BoxStatus::Graph);
    QVERIFY(b.Stored && !b.Changed);
    QCOMPARE(b.UntID, saved.UntID);
    QCOMPARE(b.Benutzer, saved.Benutzer);
    QCOMPARE(b.Erg, saved.Erg);
    QCOMPARE(b.Ein, saved.Ein);
    QCOMPARE(b.pointCount(), saved.pointCount());
    // Six characters a stored value: what is lost lies in the last digit.
    for (int i = 0; i < saved.pointCount(); ++i)
        QVERIFY2(qAbs(b.x[size_t(i)] - saved.x[size_t(i)]) < 0.01f
                && qAbs(b.y[size_t(i)] - saved.y[size_t(i)]) < 0.01f,
            qPrintable(QString::number(i)));
    t = tileOf(s.window(), 2);
    QCOMPARE(t.name, Specimen);
    QCOMPARE(t.scope, s.notation().plain(2.5f));
    QVERIFY(t.graphIcon && !t.patternIcon && !t.changedIcon);
}

void TestOperatorStories::graphsDisplayedAndReportPrinted()
{
    OperatorSession s;
    STEP(s.start());
    STEP(givenLimitFile(s.store()));
    STEP(s.chooseScope(2.5f));
    STEP(s.selectBox(2));
    STEP(s.enterSpecimen(sampleSpecimen(Specimen), [&](FrmEbn *form) {
        s.relateLimitFile(form, LimitDirectory, LimitName);
        s.startMeasurement(form);
    }));
    FrmKovra &w = s.window();
    w.cmdGraf->click();
    QVERIFY(s.messages.entries.isEmpty());
    QPointer<QWidget> graphs = w.graphWindow();
    QVERIFY(graphs);
    QVERIFY(QTest::qWaitForWindowExposed(graphs));
    QVERIFY(!graphs->isModal());
    QVERIFY(!w.mnuGraph->isEnabled());
    OperatorSession::snapshot(graphs, QStringLiteral("road-5-graphs"));
    // The main window goes on working beside it.
    STEP(s.selectBox(4));

    const QString pdf = s.filePath(QStringLiteral("report.pdf"));
    s.app().context().printer->setOutputFormat(QPrinter::PdfFormat);
    s.app().context().printer->setOutputFileName(pdf);
    s.messages.answer(true);
    graphs->findChild<QPushButton *>(QStringLiteral("cmdGraphDrk"))->click();
    QCOMPARE(s.messages.texts(), QStringList { QStringLiteral("Print graph ?") });
    const QString text = pdfText(pdf);
    QCOMPARE(text.count(QLatin1Char('\f')), 1); // one page: one box in this scope
    for (const char *expected : { "Test report", "Zandor 3.2", "Box 2", "User: Meier",
             "Name: Probe A1", "Results", "Adjustments", "Limit-File: Standard 80" })
        QVERIFY2(text.contains(QLatin1String(expected)), expected);

    graphs->findChild<QPushButton *>(QStringLiteral("cmdGraphAb"))->click();
    QTRY_VERIFY(!graphs);
    QVERIFY(w.mnuGraph->isEnabled());
}

QTEST_MAIN(TestOperatorStories)
#include "test_operatorstories.moc"
