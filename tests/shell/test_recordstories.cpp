// Stories of stored records: export, import, reorganisation, and ending the
// program with and without unsaved boxes.
#include "OperatorSession.h"
#include "exchange/KpfBuilder.h"

#include "instrument/NetLink.h"
#include "store/CurveCells.h"
#include "store/Database.h"
#include "store/Reorganisation.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace
{

const QString Series = QStringLiteral("Serie 1");
const QString Specimen = QStringLiteral("Probe A1");

// A measured graph in box 2, saved under its name in a new graph directory.
void givenSavedGraph(OperatorSession &s)
{
    STEP(s.chooseScope(2.5f));
    STEP(s.measure(2, sampleSpecimen(Specimen)));
    STEP(s.createDirectory(DirectoryType::Graphs, Series));
    s.saveActiveBox(Series);
}

QStringList exportLines(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly)
        ? QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)
        : QStringList();
}

double commaNumber(QString text)
{
    return text.trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
}

// The import file that carries what an export file holds: the same
// specimen, results, adjustments and curve (without its start point, which
// an import file does not carry).
KpfFile counterpartOf(const QStringList &lines)
{
    const QStringList c = lines.first().split(QLatin1Char('|'));
    const auto text = [&](int i) { return c.at(i).toLatin1(); };
    KpfFile f;
    f.strings = { "V1", text(5), text(6), text(7), text(9), text(10), text(11), text(12), text(13),
        text(14), text(15), text(16), text(17), text(18), text(22), text(19), text(23), text(24),
        text(21), text(25), "" };
    // Notes are two fields joined by a blank.
    const qsizetype blank = f.strings[19].indexOf(' ');
    f.strings[20] = f.strings[19].mid(blank + 1);
    f.strings[19] = f.strings[19].left(blank);
    for (int k = 0; k < 5; ++k)
        f.results[size_t(k)] = commaNumber(c.at(26 + k));
    f.adjustments[0] = commaNumber(c.at(41)); // Ein1
    f.adjustments[1] = commaNumber(c.at(20)); // the temperature
    for (int k = 3; k <= 10; ++k)
        f.adjustments[size_t(k - 1)] = commaNumber(c.at(40 + k));
    // Points 1 .. n; the last line is the end mark.
    for (int i = 2; i < lines.size() - 1; ++i) {
        const QStringList point = lines.at(i).split(QLatin1Char('|'));
        f.y.append(commaNumber(point.at(0)));
        f.x.append(commaNumber(point.at(1)));
    }
    return f;
}

} // namespace

class TestRecordStories : public QObject
{
    Q_OBJECT

private slots:
    void exportedFileHoldsTheStoredRecord();
    void importedCounterpartEqualsTheExportedRecord();
    void reorganisationKeepsRecordsAndKeys();
    void endingWithUnsavedBoxesAsksFirst();
    void endingWithEverythingSavedAsksNothing();
    void aLostServerFailsOneSaveAndTheNextSucceeds();
};

void TestRecordStories::exportedFileHoldsTheStoredRecord()
{
    OperatorSession s;
    STEP(s.start());
    STEP(givenSavedGraph(s));
    STEP(s.exportGraph(Series, Specimen, QStringLiteral("probe.dat")));
    QCOMPARE(s.messages.texts(), QStringList());

    const BoxRecord &b = s.box(2);
    const QStringList lines = exportLines(s.filePath(QStringLiteral("probe.dat")));
    QCOMPARE(lines.size(), 1 + b.pointCount() + 1); // record, points, end mark
    const QStringList c = lines.first().split(QLatin1Char('|'));
    QCOMPARE(c.size(), 2 + 49 + 1);
    QCOMPARE(c.at(7), Specimen);
    QCOMPARE(c.at(22), QStringLiteral("6,5")); // moisture, decimal comma always

    // Every stored cell as it is, padding included, with decimal commas.
    const QSqlRecord row = *s.store().rawRecord(b.UntID);
    const QString x = row.value(QStringLiteral("x")).toString();
    const QString y = row.value(QStringLiteral("y")).toString();
    for (int i = 0; i <= b.pointCount(); ++i) {
        QString expected = y.mid(6 * i, 6) + QLatin1Char('|') + x.mid(6 * i, 6);
        QCOMPARE(lines.at(1 + i), expected.replace(QLatin1Char('.'), QLatin1Char(',')));
    }
    QVERIFY(lines.last().endsWith(QStringLiteral("|-1000 ")));
}

void TestRecordStories::importedCounterpartEqualsTheExportedRecord()
{
    OperatorSession s;
    STEP(s.start());
    STEP(givenSavedGraph(s));
    STEP(s.exportGraph(Series, Specimen, QStringLiteral("probe.dat")));
    const QStringList lines = exportLines(s.filePath(QStringLiteral("probe.dat")));
    QVERIFY(lines.size() > 3);
    QVERIFY(writeFile(s.filePath(QStringLiteral("probe.kpf")), counterpartOf(lines).bytes()));

    STEP(s.importFile(QStringLiteral("probe.kpf")));
    QCOMPARE(s.messages.texts(), QStringList());
    const auto importDir = s.store().findDirectory(DirectoryType::Graphs, QStringLiteral("import"));
    const QString importedName = QStringLiteral("probe.kpf->") + Specimen;
    const std::optional<qint32> key = s.store().findRecord(importDir.value_or(-1), importedName);
    QVERIFY(key);

    // The imported record holds what the exported one holds; a curve cell
    // may be written "20.370" or "20.37 ", the number is the same.
    const QSqlRecord original = *s.store().rawRecord(s.box(2).UntID);
    const QSqlRecord imported = *s.store().rawRecord(*key);
    for (const char *column : { "Status", "Benutzer", "PrüfAm", "BgVonAm", "Feuchte", "Bemerk" })
        QVERIFY2(
            imported.value(QString::fromUtf8(column)) == original.value(QString::fromUtf8(column)),
            column);
    for (const char *column : { "Erg1", "Erg5", "Ein1", "Ein3", "Ein10" }) {
        const float a = imported.value(QLatin1String(column)).toFloat();
        const float b = original.value(QLatin1String(column)).toFloat();
        QVERIFY2(qAbs(a - b) <= 1e-5f * std::max(1.0f, qAbs(b)), column);
    }
    for (const char *column : { "x", "y" }) {
        const QString a = imported.value(QLatin1String(column)).toString();
        const QString b = original.value(QLatin1String(column)).toString();
        QCOMPARE(a.size(), b.size());
        for (qsizetype i = 6; i < b.size(); i += 6) // from the first measured point on
            QVERIFY2(
                ReadCurveCell(QStringView(a).mid(i, 6)) == ReadCurveCell(QStringView(b).mid(i, 6)),
                qPrintable(QStringLiteral("%1 at %2").arg(column).arg(i / 6)));
    }
}

void TestRecordStories::reorganisationKeepsRecordsAndKeys()
{
    OperatorSession s;
    STEP(s.start());
    STEP(givenSavedGraph(s));
    // A limit file beside the graph.
    LimitFile limits;
    limits.GrwName = QStringLiteral("Standard 80");
    limits.VerzID = *s.store().addDirectory(DirectoryType::Limits, QStringLiteral("Papiere"));
    QVERIFY(s.store().addLimitFile(limits));

    const auto contents = [&] {
        QStringList out;
        for (const RecordEntry &r : s.store().listAllRecords())
            out << QStringLiteral("%1 %2 %3").arg(r.UntID).arg(r.VerzID).arg(r.Kovra);
        return out << s.store().rawRecord(s.box(2).UntID)->value("x").toString();
    };
    const QStringList before = contents();

    s.messages.clear();
    s.messages.answer(true);
    s.window().mnuRep->trigger();
    const QStringList question { QStringLiteral(
        "The reorganisation will take some time, do you really want to start ?") };
    if (ScratchDatabase::serverRun()) {
        // The server's maintenance, told when done; no file to keep a copy of.
        QCOMPARE(s.messages.texts().first(), question.first());
        QCOMPARE(s.messages.texts().size(), 2);
    } else {
        QCOMPARE(s.messages.texts(), question);
        QVERIFY(QFile::exists(BackupPath(s.databasePath())));
    }
    QCOMPARE(contents(), before);
    QCOMPARE(s.store().findLimitFile(limits.VerzID, limits.GrwName).value_or(-1), limits.GrwID);
}

void TestRecordStories::endingWithUnsavedBoxesAsksFirst()
{
    OperatorSession s;
    STEP(s.start());
    STEP(s.chooseScope(2.5f));
    STEP(s.measure(2, sampleSpecimen(Specimen)));
    STEP(s.selectBox(4));
    STEP(s.enterSpecimen(sampleSpecimen(QStringLiteral("Vorlage 1"))));
    QCOMPARE(s.messages.texts(), QStringList());

    s.messages.answer(false);
    s.window().cmdEnd->click();
    QCOMPARE(s.messages.texts(),
        QStringList { QStringLiteral("Graph  from box 2\nPattern  from box 4\n\n"
                                     "was not saved,\ndo you really intend to end ?") });
    QVERIFY(s.window().isVisible());

    // Staying on, the operator saves the graph; then only the pattern is left.
    STEP(s.selectBox(2));
    STEP(s.createDirectory(DirectoryType::Graphs, Series));
    STEP(s.saveActiveBox(Series));
    s.messages.clear();
    s.messages.answer(true);
    s.window().cmdEnd->click();
    QCOMPARE(s.messages.texts(),
        QStringList { QStringLiteral("Pattern  from box 4\n\n"
                                     "was not saved,\ndo you really intend to end ?") });
    QVERIFY(!s.window().isVisible());
    QTRY_VERIFY(s.app().link().isClosed());

    // The graph is in the file; nothing else was saved on the way out.
    Database db;
    QVERIFY(db.open(s.databasePath()).ok());
    Store store(db, s.notation());
    QCOMPARE(store.listAllRecords().size(), 1);
}

void TestRecordStories::endingWithEverythingSavedAsksNothing()
{
    OperatorSession s;
    STEP(s.start());
    STEP(givenSavedGraph(s));
    const BoxRecord saved = s.box(2);
    s.messages.clear();
    s.window().cmdEnd->click();
    QCOMPARE(s.messages.texts(), QStringList());
    QVERIFY(!s.window().isVisible());

    // The next start finds the graph where it was saved.
    STEP(s.start());
    STEP(s.loadIntoActiveBox(DirectoryType::Graphs, Series, Specimen));
    QCOMPARE(s.box(1).UntID, saved.UntID);
    QCOMPARE(s.messages.texts(), QStringList());
}

// The server restarted (or the network broke) between two operations: the
// next one (filling the save dialog's list) says so and leaves the box
// unsaved; the operation after it connects anew and saves.
void TestRecordStories::aLostServerFailsOneSaveAndTheNextSucceeds()
{
    SKIP_UNLESS_SERVER();
    OperatorSession s;
    STEP(s.start());
    STEP(s.chooseScope(2.5f));
    STEP(s.measure(2, sampleSpecimen(Specimen)));
    STEP(s.createDirectory(DirectoryType::Graphs, Series));
    {
        Database admin;
        QVERIFY(admin.open(s.databasePath()));
        QSqlQuery q(admin.connection());
        QVERIFY(q.exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                       "WHERE datname = current_database() AND pid <> pg_backend_pid()"));
    }
    const BoxRecord before = s.box(2);
    s.messages.clear();
    whenModal<FrmDOrg>([&](FrmDOrg *dialog) {
        QCOMPARE(s.messages.texts().size(), 1);
        QVERIFY2(
            s.messages.texts().first().contains("lost"), qPrintable(s.messages.texts().first()));
        dialog->reject();
    });
    s.window().cmdSv->click();
    QVERIFY(!s.box(2).Stored);
    QCOMPARE(s.box(2).UntID, before.UntID);

    STEP(s.saveActiveBox(Series));
    QVERIFY(s.box(2).Stored);
    const auto dir = s.store().findDirectory(DirectoryType::Graphs, Series);
    QVERIFY(dir);
    QCOMPARE(s.store().listRecords(*dir).size(), 1);
}

QTEST_MAIN(TestRecordStories)
#include "test_recordstories.moc"
