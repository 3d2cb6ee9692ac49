#include "display/StoredReport.h"
#include "shell/Settings.h"
#include "store/Database.h"
#include "store/Store.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

BoxRecord graphBox(const QString &name, float scope, int status = BoxStatus::Graph)
{
    BoxRecord box;
    box.Status = status;
    box.Kovra = name;
    box.Benutzer = QStringLiteral("Lab");
    box.PruefAm = QStringLiteral("01/06/05");
    box.Ein = {0, 1, 20, 5, 2, 350, 100, 0.18f, 0.5f, 1.25f, scope};
    box.Erg = {0, 2.5f, 6, 0.5f, 40, 30};
    for (int i = 0; i < CurveSize; ++i) {
        box.x[i] = i <= 50 ? 5.0f + i : CurveEndMark;
        box.y[i] = 6.0f * i;
    }
    return box;
}

QString pdfText(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestStoredReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void storedGraphsInOrder();
    void oneBoxPrint();
    void failuresWriteNothing_data();
    void failuresWriteNothing();

private:
    QTemporaryDir m_dir;
    Database m_db;
    std::unique_ptr<Store> m_store;
    Notation m_notation = pointNotation();
    QList<qint32> m_keys; // ten minutes A, B; 25 minutes C; pattern D
};

void TestStoredReport::initTestCase()
{
    QVERIFY(m_db.open(m_dir.filePath(QStringLiteral("kovra.mdb"))).ok());
    m_store = std::make_unique<Store>(m_db, m_notation);
    const auto dir = m_store->addDirectory(DirectoryType::Graphs, QStringLiteral("trials"));
    QVERIFY(dir);
    const QList<BoxRecord> boxes{graphBox("Graph A", 10), graphBox("Graph B", 10),
                                 graphBox("Graph C", 25),
                                 graphBox("Pattern D", 10, BoxStatus::Pattern)};
    for (BoxRecord box : boxes) {
        QVERIFY2(m_store->SaveBox(box, SaveMode::Add, box.Kovra, *dir),
                 qPrintable(m_store->lastError()));
        m_keys << box.UntID;
    }
}

void TestStoredReport::storedGraphsInOrder()
{
    const QString out = m_dir.filePath(QStringLiteral("all.pdf"));
    StoredReportRequest request{{m_keys[1], m_keys[2], m_keys[0], m_keys[3]}, 10, 0, out};
    QString error;
    QStringList notes;
    QVERIFY2(PrintStoredReport(*m_store, m_notation, request, &error, &notes), qPrintable(error));
    QCOMPARE(notes.size(), 2); // the 25-minute graph and the pattern
    const QStringList pages = pdfText(out).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 2);
    QVERIFY(pages[0].contains(QLatin1String("Name: Graph B")));
    QVERIFY(pages[0].contains(QLatin1String("Box 3: Graph A")));
    QVERIFY(pages[1].contains(QLatin1String("Name: Graph A")));
    QVERIFY(pages[1].contains(QLatin1String("Box 3")));
}

void TestStoredReport::oneBoxPrint()
{
    const QString out = m_dir.filePath(QStringLiteral("one.pdf"));
    StoredReportRequest request{{m_keys[0], m_keys[2]}, 10, 2, out};
    QString error;
    QVERIFY2(PrintStoredReport(*m_store, m_notation, request, &error), qPrintable(error));
    const QString text = pdfText(out);
    QCOMPARE(text.count(QLatin1Char('\f')), 1);
    QVERIFY(text.contains(QLatin1String("Name: Graph C")));
    QVERIFY(text.contains(QLatin1String("25.0 min.")));
}

void TestStoredReport::failuresWriteNothing_data()
{
    QTest::addColumn<QList<int>>("keyIndexes"); // -1: a key that is not stored
    QTest::addColumn<float>("scope");
    QTest::addColumn<int>("box");
    QTest::newRow("unknown key") << QList<int>{0, -1} << 10.0f << 0;
    QTest::newRow("no graph of the scope") << QList<int>{2, 3} << 10.0f << 0;
    QTest::newRow("not a scope") << QList<int>{0} << 7.0f << 0;
    QTest::newRow("six graphs") << QList<int>{0, 0, 0, 0, 0, 0} << 10.0f << 0;
    QTest::newRow("box without graph") << QList<int>{0} << 10.0f << 2;
    QTest::newRow("pattern box") << QList<int>{3} << 10.0f << 1;
}

void TestStoredReport::failuresWriteNothing()
{
    QFETCH(QList<int>, keyIndexes);
    QFETCH(float, scope);
    QFETCH(int, box);
    StoredReportRequest request;
    for (const int k : keyIndexes)
        request.keys << (k < 0 ? 999999 : m_keys[k]);
    request.scope = scope;
    request.box = box;
    request.output = m_dir.filePath(QStringLiteral("failed.pdf"));
    QString error;
    QVERIFY(!PrintStoredReport(*m_store, m_notation, request, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(request.output));
}

QTEST_MAIN(TestStoredReport)
#include "test_storedreport.moc"
