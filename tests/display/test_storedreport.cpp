#include "ReportFixture.h"

#include "display/StoredReport.h"
#include "store/Database.h"
#include "store/Store.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

class TestStoredReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void storedGraphsInOrder();

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
    const QList<QPair<QString, float>> graphs { { "Graph A", 10 }, { "Graph B", 10 },
        { "Graph C", 25 }, { "Pattern D", 10 } };
    for (const auto &[name, scope] : graphs) {
        BoxRecord box;
        fillBox(box, 1, scope, name);
        if (name.startsWith(QLatin1String("Pattern")))
            box.Status = BoxStatus::Pattern;
        QVERIFY2(m_store->SaveBox(box, SaveMode::Add, box.Kovra, *dir),
            qPrintable(m_store->lastError()));
        m_keys << box.UntID;
    }
}

void TestStoredReport::storedGraphsInOrder()
{
    const QString out = m_dir.filePath(QStringLiteral("report.pdf"));
    StoredReportRequest request { { m_keys[1], m_keys[2], m_keys[0], m_keys[3] }, 10, 0, out };
    QString error;
    QStringList notes;
    QVERIFY2(PrintStoredReport(*m_store, m_notation, request, &error, &notes), qPrintable(error));
    QCOMPARE(notes.size(), 2); // the 25-minute graph and the pattern
    const QStringList pages = pdfText(out).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 2);
    QVERIFY(pages[0].contains(QLatin1String("Name: Graph B")));
    QVERIFY(pages[1].contains(QLatin1String("Name: Graph A")));

    // The one-box print of box 2, in its own scope.
    request = { { m_keys[0], m_keys[2] }, 10, 2, out };
    QVERIFY2(PrintStoredReport(*m_store, m_notation, request, &error), qPrintable(error));
    const QString text = pdfText(out);
    QCOMPARE(text.count(QLatin1Char('\f')), 1);
    QVERIFY(text.contains(QLatin1String("Name: Graph C")));
}

QTEST_MAIN(TestStoredReport)
#include "test_storedreport.moc"
