#include "StoreFixture.h"

#include <QProcess>
#include <QSqlQuery>

// A process killed while it saves leaves every record whole or absent.
namespace
{

const char kChildFile[] = "ZANDOR_CRASH_CHILD_FILE";
const char kChildSeed[] = "ZANDOR_CRASH_CHILD_SEED";

// The child: saves graphs in a loop until it is killed, overwriting every
// third one, and reports each finished save on standard output.
int saveUntilKilled(const QString &path, int seed)
{
    Database db;
    const Notation n = commaNotation();
    Store store(db, n);
    if (!db.open(path))
        return 3;
    auto dir = store.findDirectory(DirectoryType::Graphs, "crash");
    dir = dir ? dir : store.addDirectory(DirectoryType::Graphs, "crash");
    qint32 previous = -1;
    for (int i = seed;; ++i) {
        BoxRecord box = sampleGraph(i, 300);
        const bool overwrite = previous > 0 && i % 3 == 0;
        box.UntID = previous;
        if (!store.SaveBox(box, overwrite ? SaveMode::Overwrite : SaveMode::Add, box.Kovra, *dir))
            return 4;
        previous = box.UntID;
        std::printf("saved %d\n", i);
        std::fflush(stdout);
    }
}

} // namespace

class TestStoreCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedWriterLeavesWholeRecords()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("kovra.mdb");
        int seed = 1;
        for (int round = 0; round < 4; ++round) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(kChildFile, path);
            env.insert(kChildSeed, QString::number(seed));
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(child.waitForStarted());
            int saves = 0;
            while (saves < 30 && child.waitForReadyRead(10000))
                saves += child.readAllStandardOutput().count("saved");
            QVERIFY2(saves >= 30, "the child did not save");
            child.kill(); // SIGKILL: no chance to finish anything
            QVERIFY(child.waitForFinished());
            seed += saves + 1000;
        }

        Database db;
        QVERIFY(db.open(path).ok());
        QSqlQuery q(db.connection());
        QVERIFY(q.exec("PRAGMA integrity_check") && q.next());
        QCOMPARE(q.value(0).toString(), "ok");
        q.finish();

        const Notation n = commaNotation();
        Store store(db, n);
        const QList<RecordEntry> records = store.listAllRecords();
        QVERIFY(records.size() > 60);
        for (const RecordEntry &e : records) {
            BoxRecord loaded;
            QVERIFY(store.LoadBox(loaded, e.UntID));
            const BoxRecord expected = sampleGraph(e.Kovra.section(' ', 1).toInt(), 300);
            QCOMPARE(specimenTexts(loaded), specimenTexts(expected));
            QCOMPARE(loaded.Erg, expected.Erg);
            QCOMPARE(loaded.x, expected.x);
            QCOMPARE(loaded.y, expected.y);
        }
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildFile))
        return saveUntilKilled(
            qEnvironmentVariable(kChildFile), qEnvironmentVariableIntValue(kChildSeed));
    TestStoreCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_storecrash.moc"
