#include "TestSupport.h"

#include "exchange/ExportFile.h"
#include "shell/BoxRecord.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QDate>
#include <QSqlField>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

// A stored record as the store hands it out: every column, dates as dates.
QSqlRecord storedRecord()
{
    const QList<std::pair<QString, QVariant>> columns = {
        { "UntID", 17 },
        { "Status", 4 },
        { "VerzID", 3 },
        { "Benutzer", "Meier" },
        { "PrüfAm", QDate(2024, 3, 5) },
        { "Kovra", "Probe 7" },
        { "GrwBez", QString("Dekor").leftJustified(50) },
        { "BgArt", "Dekor" },
        { "Bg", 112.5 },
        { "HarzTyp", "Melamin" },
        { "BgVon", "Schmidt" },
        { "BgVonAm", QDate(2024, 3, 1) },
        { "DrVon", "Druck AG" },
        { "DrVonAm", QDate(2024, 3, 2) },
        { "PaVon", "Papier GmbH" },
        { "PaVonAm", QDate(2024, 2, 28) },
        { "GesGew", 180.25 },
        { "PaGew", 80 },
        { "Luftdurch", 12 },
        { "Temp", 21.5 },
        { "Feuchte", 6.5 },
        { "Fluß", 4.25 },
        { "Asche", 0.5 },
        { "Bemerk", "glatt" },
        { "x", QString("0     12.5  -1000 ") },
        { "y", QString("0     2.25  4.5   ") },
    };
    QSqlRecord r;
    for (const auto &[name, value] : columns) {
        QSqlField f(name, value.metaType());
        f.setValue(value);
        r.append(f);
    }
    const char *numbered[] = { "Erg", "GWO", "GWU", "Ein" };
    for (const char *prefix : numbered) {
        const int count = QByteArray(prefix) == "Ein" ? 10 : 5;
        for (int k = 1; k <= count; ++k) {
            QString name = QString::fromLatin1(prefix) + QString::number(k);
            if (name == QLatin1String("GWO1"))
                name = QStringLiteral("GwO1");
            QSqlField f(name, QMetaType::fromType<double>());
            f.setValue(k + 0.5);
            r.append(f);
        }
    }
    return r;
}

void setNull(QSqlRecord &r, const QString &name)
{
    QSqlField f = r.field(name);
    f.clear();
    r.replace(r.indexOf(name), f);
}

QList<QByteArray> lines(const QByteArray &file)
{
    QList<QByteArray> out = file.split('\n');
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

} // namespace

class TestExportFile : public QObject
{
    Q_OBJECT

private slots:
    void recordLine_data();
    void recordLine();
    void nullColumnsWriteNothing();
    void notesStayOnTheRecordLine();
    void pointLinesKeepTheCells();
    void emptyCurveWritesNoPoints();
    void umlautsAreWrittenInTheAnsiCodePage();
    void storedRecordReplacesAnExistingFile();
    void unknownKeyWritesNoFile();
};

void TestExportFile::recordLine_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray limits = "1,5|2,5|3,5|4,5|5,5|1,5|2,5|3,5|4,5|5,5|1,5|2,5|3,5|4,5|5,5|"
                              "1,5|2,5|3,5|4,5|5,5|6,5|7,5|8,5|9,5|10,5|\r\n";
    const QByteArray grw = "Dekor" + QByteArray(45, ' ');
    QTest::newRow("comma system") << true
                                  << "-1|-1|17|4|3|Meier|05.03.24|Probe 7|" + grw
            + "|Dekor|112,5|Melamin|Schmidt|01.03.24|Druck AG|02.03.24|Papier GmbH|28.02.24|"
              "180,25|80|21,5|12|6,5|4,25|0,5|glatt|"
            + limits;
    // Only the columns the format names as decimal comma are turned; the
    // others stay as the system writes them.
    QTest::newRow("point system") << false
                                  << "-1|-1|17|4|3|Meier|05/03/24|Probe 7|" + grw
            + "|Dekor|112.5|Melamin|Schmidt|01/03/24|Druck AG|02/03/24|Papier GmbH|28/02/24|"
              "180.25|80|21,5|12|6,5|4,25|0,5|glatt|"
            + limits;
}

void TestExportFile::recordLine()
{
    QFETCH(bool, comma);
    QFETCH(QByteArray, expected);
    const QByteArray file
        = FormatExportRecord(storedRecord(), comma ? commaNotation() : pointNotation());
    QCOMPARE(file.left(file.indexOf('\n') + 1), expected);
}

void TestExportFile::nullColumnsWriteNothing()
{
    QSqlRecord r = storedRecord();
    setNull(r, QStringLiteral("Bemerk"));
    setNull(r, QStringLiteral("DrVonAm"));
    setNull(r, QStringLiteral("Ein10"));
    const QByteArray first = lines(FormatExportRecord(r, commaNotation())).first();
    QVERIFY(first.contains("|0,5||1,5|")); // Asche, Bemerk, Erg1
    QVERIFY(first.contains("|Druck AG||Papier")); // DrVon, DrVonAm, PaVon
    QVERIFY(first.endsWith("|9,5||\r"));
    QCOMPARE(first.count('|'), 51);
}

void TestExportFile::notesStayOnTheRecordLine()
{
    QSqlRecord r = storedRecord();
    r.setValue(QStringLiteral("Bemerk"), QStringLiteral("line one\r\nline two\nthree"));
    const QList<QByteArray> all = lines(FormatExportRecord(r, commaNotation()));
    QCOMPARE(all.size(), 4); // record line and three points
    QVERIFY(all.first().contains("|line one  line two  three|"));
}

void TestExportFile::pointLinesKeepTheCells()
{
    const QByteArray file = FormatExportRecord(storedRecord(), pointNotation());
    QVERIFY(file.endsWith("0     |0     \r\n2,25  |12,5  \r\n4,5   |-1000 \r\n"));
    const QList<QByteArray> all = lines(file);
    for (qsizetype i = 1; i < all.size(); ++i)
        QCOMPARE(all.at(i).size(), 14); // 13 characters and the CR
}

void TestExportFile::emptyCurveWritesNoPoints()
{
    QSqlRecord r = storedRecord();
    setNull(r, QStringLiteral("x"));
    setNull(r, QStringLiteral("y"));
    QCOMPARE(lines(FormatExportRecord(r, commaNotation())).size(), 1);
}

void TestExportFile::umlautsAreWrittenInTheAnsiCodePage()
{
    QSqlRecord r = storedRecord();
    r.setValue(QStringLiteral("Benutzer"), QStringLiteral("Jürgen Größ €"));
    const QByteArray file = FormatExportRecord(r, commaNotation());
    QVERIFY(file.contains("|J\xfcrgen Gr\xf6\xdf \x80|"));
}

void TestExportFile::storedRecordReplacesAnExistingFile()
{
    QTemporaryDir dir;
    Database db;
    QVERIFY(db.open(dir.filePath(QStringLiteral("kovra.mdb"))).ok());
    const Notation notation = commaNotation();
    Store store(db, notation);
    const qint32 verz = *store.addDirectory(0, QStringLiteral("Serie A"));

    BoxRecord box;
    box.Status = BoxStatus::Graph;
    box.PruefAm = QStringLiteral("05.03.24");
    box.Bemerk = QStringLiteral("a\r\nb");
    for (int i = 0; i < 12; ++i) {
        box.x[i] = 10 + i * 1.25f;
        box.y[i] = i * 2.5f;
    }
    box.x[12] = CurveEndMark;
    QVERIFY(store.SaveBox(box, 1, QStringLiteral("Probe"), verz));

    const QString path = dir.filePath(QStringLiteral("export.dat"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'z'));
    old.close();
    QVERIFY(ExportRecord(store, box.UntID, path, notation));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> all = lines(file.readAll());
    QCOMPARE(all.size(), 14);
    QVERIFY(all.first().startsWith("-1|-1|" + QByteArray::number(box.UntID) + "|4|"
        + QByteArray::number(verz) + "||05.03.24|Probe|"));
    QVERIFY(all.first().contains("|a  b|"));
    QCOMPARE(all.at(2), QByteArray("2,5   |11,25 \r"));
    QCOMPARE(all.last(), QByteArray("0     |-1000 \r"));
}

void TestExportFile::unknownKeyWritesNoFile()
{
    QTemporaryDir dir;
    Database db;
    QVERIFY(db.open(dir.filePath(QStringLiteral("kovra.mdb"))).ok());
    const Notation notation = commaNotation();
    Store store(db, notation);
    const QString path = dir.filePath(QStringLiteral("export.dat"));
    QVERIFY(!ExportRecord(store, 4711, path, notation));
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestExportFile)
#include "test_exportfile.moc"
