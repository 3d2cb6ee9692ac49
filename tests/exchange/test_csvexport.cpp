#include "store/StoreFixture.h"

#include "exchange/CsvExport.h"
#include "store/ResultQuery.h"

#include <QLocale>

class TestCsvExport : public QObject
{
    Q_OBJECT

private slots:
    void decimalCommaReadsAsNumbersUnderACommaLocale();
    void curvesOneRowPerPoint();
    void refusedFormatAndUnwritableFileLeaveNothing();
};

namespace
{

// A spreadsheet's reading of CSV: fields split at the separator outside
// quotes, doubled quotes inside quotes, a line feed (after a CR or alone)
// between records.
QList<QStringList> parseCsv(QString text, QChar separator)
{
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text.at(i + 1) == '"')
                field += c, ++i;
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator) {
            row << field;
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n') {
            continue; // the line feed ends the record
        } else if (c == '\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    return rows;
}

QString fileText(const QString &path)
{
    return QString::fromUtf8(fileBytes(path));
}

} // namespace

void TestCsvExport::decimalCommaReadsAsNumbersUnderACommaLocale()
{
    StoreFixture f;
    const qint32 dir
        = *f.store.addDirectory(DirectoryType::Graphs, QStringLiteral("Harz; \"Süd\""));
    BoxRecord b = sampleGraph(3);
    b.Erg[1] = 0.1f; // no short decimal is exactly this single
    b.Erg[3] = 1.2345678e-5f;
    b.Erg[4] = 1234567.0f;
    b.Bemerk = QStringLiteral("first; \"quoted\"\r\nsecond");
    b.BgArt = QStringLiteral("two\nlines"); // a line break alone needs quotes too
    b.Fehlend = 3; // readings interpolated during the run
    QVERIFY(f.store.SaveBox(b, SaveMode::Add, QStringLiteral("Fluß 1"), dir));
    const QString path = f.dir.filePath(QStringLiteral("results.csv"));
    QVERIFY(WriteResultsCsv(f.db, {}, path, CsvFormat::decimalComma()));

    QVERIFY(fileBytes(path).startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> rows = parseCsv(fileText(path), QLatin1Char(';'));
    QCOMPARE(rows.size(), 2);
    const QStringList &head = rows.at(0), &row = rows.at(1);
    QCOMPARE(row.size(), head.size());
    const auto cell
        = [&](const char *column) { return row.at(head.indexOf(QString::fromUtf8(column))); };
    QCOMPARE(cell("VerzName"), QStringLiteral("Harz; \"Süd\""));
    QCOMPARE(cell("Kovra"), QStringLiteral("Fluß 1"));
    QCOMPARE(cell("PrüfAm"), QStringLiteral("2026-12-05"));
    QCOMPARE(cell("Bemerk"), b.Bemerk);
    QCOMPARE(cell("BgArt"), b.BgArt);
    QCOMPARE(cell("GrwBez"), QStringLiteral("limits A"));
    QCOMPARE(cell("Fehlend"), QStringLiteral("3"));

    const QLocale german(QLocale::German, QLocale::Germany);
    const auto number = [&](const char *column) {
        bool ok = false;
        const double v = german.toDouble(cell(column), &ok);
        if (!ok)
            qWarning() << column << cell(column);
        return ok ? std::optional<float>(float(v)) : std::nullopt;
    };
    QCOMPARE(number("Erg1"), 0.1f);
    QCOMPARE(number("Erg2"), b.Erg[2]);
    QCOMPARE(number("Erg3"), 1.2345678e-5f);
    QCOMPARE(number("Erg4"), 1234567.0f);
    QCOMPARE(number("GWO5"), 105.0f);
    QCOMPARE(number("GWU2"), 2.0f);
    QCOMPARE(number("GesGew"), 120.25f);
    QCOMPARE(number("Asche"), 0.75f);
    QVERIFY(!cell("Erg1").contains(QLatin1Char('.')));
}

void TestCsvExport::curvesOneRowPerPoint()
{
    StoreFixture f;
    const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, QStringLiteral("A"));
    BoxRecord one = sampleGraph(1, 5), two = sampleGraph(2, 3);
    QVERIFY(f.store.SaveBox(one, SaveMode::Add, QStringLiteral("one"), dir));
    QVERIFY(f.store.SaveBox(two, SaveMode::Add, QStringLiteral("two"), dir));
    const QString path = f.dir.filePath(QStringLiteral("curves.csv"));
    QVERIFY(WriteCurvesCsv(f.db, {}, path, CsvFormat()));
    const QList<QStringList> rows = parseCsv(fileText(path), QLatin1Char(','));
    QCOMPARE(rows.size(), 1 + 5 + 3);
    QCOMPARE(rows.at(0), QStringList({ "VerzName", "Kovra", "point", "seconds", "percent" }));
    QCOMPARE(rows.at(5), QStringList({ "A", "one", "4", "24", "5.5" }));
    QCOMPARE(rows.at(8), QStringList({ "A", "two", "2", "12", "4.5" }));
}

void TestCsvExport::refusedFormatAndUnwritableFileLeaveNothing()
{
    StoreFixture f;
    const QString path = f.dir.filePath(QStringLiteral("bad.csv"));
    QString error;
    QVERIFY(!WriteResultsCsv(f.db, {}, path, { QLatin1Char(','), QLatin1Char(',') }, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(path));
    QVERIFY(!WriteCurvesCsv(f.db, {}, f.dir.filePath("missing/folder.csv"), CsvFormat(), &error));
    const CsvFormat digit { QLatin1Char(';'), QLatin1Char('1') },
        tab { QLatin1Char('\t'), QLatin1Char(',') };
    QVERIFY(!digit.valid());
    QVERIFY(tab.valid());
    // A failing query leaves no file either.
    f.db.close();
    QVERIFY(!WriteResultsCsv(f.db, {}, path, CsvFormat(), &error));
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestCsvExport)
#include "test_csvexport.moc"
