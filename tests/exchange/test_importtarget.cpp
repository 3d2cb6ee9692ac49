#include "KpfBuilder.h"
#include "TestSupport.h"

#include "exchange/ImportTarget.h"
#include "shell/BoxRecord.h"
#include "shell/ScriptedMessages.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

class TestImportTarget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void patternGoesToThePatternImportDirectory();
    void graphGoesToTheGraphImportDirectory();
    void sameFileTwiceLeavesOneRecord_data();
    void sameFileTwiceLeavesOneRecord();
    void brokenFileAmongGoodOnesIsReportedAndSkipped();
    void deletedImportDirectoryIsMadeAnewByTheNextRun();

private:
    QString write(const QString &name, const QByteArray &bytes);
    bool import(const QString &name, ImportTarget &target);
    qint32 importDirectory(int type);

    Notation m_notation = commaNotation();
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Store> m_store;
    ScriptedMessages m_messages;
    BoxRecord m_buffer;
};

void TestImportTarget::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_db = std::make_unique<Database>();
    QVERIFY(m_db->open(m_dir->filePath(QStringLiteral("kovra.mdb"))).ok());
    m_store = std::make_unique<Store>(*m_db, m_notation);
    m_messages.clear();
    m_buffer = BoxRecord();
}

void TestImportTarget::cleanup()
{
    m_store.reset();
    m_db.reset();
    m_dir.reset();
}

QString TestImportTarget::write(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    if (!writeFile(path, bytes))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

bool TestImportTarget::import(const QString &name, ImportTarget &target)
{
    return ImportOneFile(m_dir->filePath(name), name, m_buffer, target, m_messages);
}

qint32 TestImportTarget::importDirectory(int type)
{
    return m_store->findDirectory(type, QStringLiteral("import")).value_or(-1);
}

void TestImportTarget::patternGoesToThePatternImportDirectory()
{
    write(QStringLiteral("p.kpf"), KpfFile().bytes());
    ImportTarget target(*m_store);
    QVERIFY(import(QStringLiteral("p.kpf"), target));
    QVERIFY(m_messages.entries.isEmpty());

    QCOMPARE(importDirectory(DirectoryType::Graphs), -1);
    const QList<RecordEntry> records
        = m_store->listRecords(importDirectory(DirectoryType::Patterns));
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().Kovra, QStringLiteral("p.kpf->Probe 7"));
    QCOMPARE(records.first().Status, BoxStatus::Pattern);

    const QSqlRecord r = *m_store->rawRecord(records.first().UntID);
    QCOMPARE(r.value(QStringLiteral("Benutzer")).toString(), QStringLiteral("Meier"));
    QCOMPARE(r.value(QStringLiteral("PrüfAm")).toDate(), QDate(2024, 3, 5));
    QCOMPARE(r.value(QStringLiteral("Bemerk")).toString(), QStringLiteral("first second"));
    QCOMPARE(r.value(QStringLiteral("Fluß")).toFloat(), 4.2f);
    QVERIFY(r.value(QStringLiteral("x")).isNull());
    QVERIFY(r.value(QStringLiteral("Erg1")).isNull());
    QVERIFY(m_buffer.UntID == -1); // the buffer is no box: it gets no key
}

void TestImportTarget::graphGoesToTheGraphImportDirectory()
{
    write(QStringLiteral("g.kpf"), KpfFile::withPoints(12).bytes());
    ImportTarget target(*m_store);
    QVERIFY(import(QStringLiteral("g.kpf"), target));

    const QList<RecordEntry> records = m_store->listRecords(importDirectory(DirectoryType::Graphs));
    QCOMPARE(records.size(), 1);
    BoxRecord box;
    QVERIFY(m_store->LoadBox(box, records.first().UntID));
    QCOMPARE(box.Status, BoxStatus::Graph);
    QCOMPARE(box.pointCount(), 13); // x(0) from the cleared buffer, then 12 points
    QCOMPARE(box.x[12], 22.0f);
    QCOMPARE(box.y[12], 24.0f);
    QCOMPARE(box.Ein[10], 10.0f);
    QCOMPARE(box.Erg[3], 0.75f);
    QCOMPARE(box.Temp, 21.5f);
}

void TestImportTarget::sameFileTwiceLeavesOneRecord_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("specimen");
    QTest::newRow("plain name") << QStringLiteral("twice.kpf") << QByteArray("Probe 7");
    // Longer than a stored name: the second import must still find the first.
    QTest::newRow("name longer than the column")
        << QStringLiteral("a-rather-long-file-name-for-a-specimen.kpf")
        << QByteArray("with an even longer specimen name");
}

void TestImportTarget::sameFileTwiceLeavesOneRecord()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, specimen);
    KpfFile file = KpfFile::withPoints(4);
    file.strings[3] = specimen;
    write(fileName, file.bytes());
    ImportTarget target(*m_store);
    QVERIFY(import(fileName, target));

    file.strings[1] = "Schulze";
    write(fileName, file.bytes());
    ImportTarget nextRun(*m_store);
    QVERIFY(import(fileName, nextRun));

    const QList<RecordEntry> records = m_store->listRecords(importDirectory(DirectoryType::Graphs));
    QCOMPARE(records.size(), 1);
    QCOMPARE(
        m_store->rawRecord(records.first().UntID)->value(QStringLiteral("Benutzer")).toString(),
        QStringLiteral("Schulze"));
    QCOMPARE(m_store->listDirectories(DirectoryType::Graphs).size(), 1);
}

void TestImportTarget::brokenFileAmongGoodOnesIsReportedAndSkipped()
{
    KpfFile first = KpfFile::withPoints(3);
    first.strings[3] = "one";
    KpfFile second = first;
    second.strings[3] = "two";
    KpfFile third = first;
    third.strings[3] = "three";
    write(QStringLiteral("1.kpf"), first.bytes());
    const QString broken
        = write(QStringLiteral("2.kpf"), second.bytes().left(second.offsetOfString(12) + 2));
    write(QStringLiteral("3.kpf"), third.bytes());

    ImportTarget target(*m_store);
    QVERIFY(import(QStringLiteral("1.kpf"), target));
    QVERIFY(!import(QStringLiteral("2.kpf"), target));
    QVERIFY(import(QStringLiteral("3.kpf"), target));

    QCOMPARE(m_messages.texts(),
        QStringList({ QStringLiteral("error on reading file: ") + broken,
            QStringLiteral("error while reading <") + broken + QLatin1Char('>') }));
    QStringList names;
    for (const RecordEntry &e : m_store->listRecords(importDirectory(DirectoryType::Graphs)))
        names << e.Kovra;
    QCOMPARE(names, QStringList({ QStringLiteral("1.kpf->one"), QStringLiteral("3.kpf->three") }));
}

void TestImportTarget::deletedImportDirectoryIsMadeAnewByTheNextRun()
{
    write(QStringLiteral("p.kpf"), KpfFile().bytes());
    ImportTarget firstRun(*m_store);
    QVERIFY(import(QStringLiteral("p.kpf"), firstRun));
    const qint32 old = importDirectory(DirectoryType::Patterns);
    QVERIFY(m_store->deleteRecord(m_store->listRecords(old).first().UntID));
    QVERIFY(m_store->deleteDirectory(old));

    ImportTarget nextRun(*m_store);
    QVERIFY(import(QStringLiteral("p.kpf"), nextRun));
    const qint32 fresh = importDirectory(DirectoryType::Patterns);
    QVERIFY(fresh > 0);
    QCOMPARE(m_store->listRecords(fresh).size(), 1);
}

QTEST_GUILESS_MAIN(TestImportTarget)
#include "test_importtarget.moc"
