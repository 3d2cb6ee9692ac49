// The operator's road through the whole program, through the windows only;
// what a single window does is left to its own tests.
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
    void specimenInBoxTwoMeasuredWithItsLimitFile();
    void measuredBoxIsSavedIntoANewDirectory();
    void boxDeletedAndLoadedBack();
    void graphsDisplayedAndReportPrinted();
};

void TestOperatorStories::startsWithTheBoxAndScopeChosenForTheNextStart()
{
    OperatorSession s;
    STEP(s.start());

    // Box 3 and five minutes from the next start on; this run keeps its own.
    whenModal<FrmSonst>([](FrmSonst *dialog) {
        dialog->findChild<QRadioButton *>(QStringLiteral("EbOpt_3"))->click();
        dialog->findChild<QRadioButton *>(QStringLiteral("ZbOpt_2"))->click();
        dialog->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    });
    s.window().mnuSonst->trigger();
    QCOMPARE(s.settings().ActiveBox, 1);
    QCOMPARE(s.store().readStartChoices()->AEB, 3);

    STEP(s.start());
    QCOMPARE(s.settings().ActiveBox, 3);
    QCOMPARE(tileOf(s.window(), 5).scope, QStringLiteral("5"));
    QCOMPARE(s.messages.texts(), QStringList());
}

void TestOperatorStories::specimenInBoxTwoMeasuredWithItsLimitFile()
{
    // Slow enough to catch the window between two points for its picture.
    OperatorSession s(500);
    STEP(s.start());
    STEP(givenLimitFile(s.store()));
    STEP(s.chooseScope(2.5f));
    STEP(s.selectBox(2));
    MeasurementSeen seen;
    STEP(s.enterSpecimen(sampleSpecimen(Specimen), [&](FrmEbn *form) {
        OperatorSession::snapshot(form, QStringLiteral("road-2-entry-form"));
        s.relateLimitFile(form, LimitDirectory, LimitName);
        QVERIFY(s.box(2).Changed && s.store().listAllRecords().isEmpty()); // not until saved
        seen = s.startMeasurement(form, 45, [](FrmMessen *window) {
            OperatorSession::snapshot(window, QStringLiteral("road-3-measurement"));
        });
    }));
    QVERIFY(!seen.timedOut);
    QCOMPARE(seen.caption, QStringLiteral("Measurement of  <Probe A1>  in box 2"));
    QCOMPARE(s.messages.texts(), QStringList());
    // Voltage 6 from the paper weight, the cycle preset of 2.5 minutes.
    QVERIFY(s.simulator.receivedCommands().contains(
        QStringLiteral("run START  6 1.25  150000  180  500  1700")));

    const BoxRecord &b = s.box(2);
    QCOMPARE(b.Bg, 112.5f);
    QCOMPARE(b.GwO[3], 9.999f);
    const int n = b.pointCount();
    QVERIFY2(n >= 80 && n <= 90, qPrintable(QString::number(n))); // 150 s in 1.7 s cycles
    QCOMPARE(b.Abw[1], 0.0f);
    QCOMPARE(b.Abw[5], b.Erg[5] - 1.0f);

    const Tile t = tileOf(s.window(), 2);
    QVERIFY(t.graphIcon && t.changedIcon && !t.patternIcon);
    QCOMPARE(t.scope, s.notation().plain(2.5f));
    QCOMPARE(t.limit, LimitName.leftJustified(50));
    OperatorSession::snapshot(&s.window(), QStringLiteral("road-1-main"));

    // The results window of the box, opened from its specimen form: the
    // flexibility above its upper limit 1, everything else within.
    STEP(s.enterSpecimen({}, [&](FrmEbn *form) {
        whenModal<FrmErg>([&](FrmErg *results) {
            const auto cell = [results](const char *column, int row) {
                return results->findChild<QLabel *>(QStringLiteral("%1_%2").arg(column).arg(row))
                    ->text();
            };
            QCOMPARE(cell("lbl6", 0), QStringLiteral("0"));
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
    QString suggested;
    STEP(suggested = s.saveActiveBox(QStringLiteral("Serie 1")));
    QCOMPARE(suggested, Specimen);
    QCOMPARE(s.messages.texts(), QStringList());

    const BoxRecord &b = s.box(2);
    QVERIFY(b.Stored && !b.Changed);
    const Tile t = tileOf(s.window(), 2);
    QVERIFY(t.graphIcon && !t.changedIcon);

    // One graph record in the new directory, with the whole curve and the
    // results of the box.
    const auto dir = s.store().findDirectory(DirectoryType::Graphs, "Serie 1");
    const QList<RecordEntry> records = s.store().listRecords(dir.value_or(-1));
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().UntID, b.UntID);
    const std::optional<QSqlRecord> row = s.store().rawRecord(b.UntID);
    QCOMPARE(row->value("x").toString().size(), 6 * (b.pointCount() + 1));
    QCOMPARE(row->value("Erg5").toFloat(), b.Erg[5]);
    QCOMPARE(row->value("Ein10").toFloat(), 2.5f);
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
    QVERIFY(b.Stored && !b.Changed);
    QCOMPARE(b.UntID, saved.UntID);
    QCOMPARE(b.Erg, saved.Erg);
    QCOMPARE(b.pointCount(), saved.pointCount());
    const int last = saved.pointCount() - 1; // six characters a value: the last digit may go
    QVERIFY(qAbs(b.x[size_t(last)] - saved.x[size_t(last)]) < 0.01f);
    t = tileOf(s.window(), 2);
    QCOMPARE(t.name, Specimen);
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
    s.window().cmdGraf->click();
    QPointer<QWidget> graphs = s.window().graphWindow();
    QVERIFY(graphs && QTest::qWaitForWindowExposed(graphs));
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
    for (const char *expected : { "Box 2", "Name: Probe A1", "Limit-File: Standard 80" })
        QVERIFY2(text.contains(QLatin1String(expected)), expected);

    graphs->findChild<QPushButton *>(QStringLiteral("cmdGraphAb"))->click();
    QTRY_VERIFY(!graphs);
}

QTEST_MAIN(TestOperatorStories)
#include "test_operatorstories.moc"
