// zandorctl's commands answer the same whether the database is a file or
// lives on the server: the same records stored by import and measure, the
// same lists, figures, CSV and report pages. On the server run the second
// database is on the test server; on the plain run both are files, which
// still checks that the commands are repeatable.
#include "exchange/KpfBuilder.h"
#include "instrument/MeasurementFixture.h"
#include "support/ScratchDatabase.h"
#include "support/Zandorctl.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace
{

// Import files whose specimens differ in name, type and curve, one of them
// with a name already taken (the second import of it is renamed or refused
// as the import rules say, the same on both engines).
QStringList writeImportFiles(const QDir &folder)
{
    QStringList files;
    for (int i = 1; i <= 4; ++i) {
        KpfFile f = KpfFile::withPoints(40 + 10 * i);
        f.strings[0] = QByteArray("Imp") + QByteArray::number(i);
        // Names whose order differs between byte order and a language's
        // collation: capitals, an umlaut (code page 437) and a blank.
        static const char *const names[] = { "Probe \x84", "probe B", "\x8epfel", "Zeta " };
        f.strings[3] = QByteArray(names[i - 1]) + QByteArray::number(i);
        f.strings[5] = QByteArray::number(100 + 2.5 * i);
        f.results = { 10.0 + i, 120.0 + i, 0.5 + 0.1 * i, 35.0 + i, 80.0 + i };
        const QString path = folder.filePath(QStringLiteral("imp%1.kpf").arg(i));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(f.bytes()) != f.bytes().size())
            qFatal("cannot write %s", qPrintable(path));
        files << path;
    }
    files << files.first(); // the same specimen once more
    return files;
}

// A run's output with the database's name taken out, so two runs compare.
QString anonymous(QString text, const QString &db)
{
    return text.replace(db, "DB");
}

} // namespace

class TestCtlEngines : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void importAnswersTheSame();
    void measureStoresTheSame();
    void listsAreTheSame();
    void figuresAndCsvAreTheSame();
    void reportPagesAreTheSame();

private:
    // Runs the same command against both databases; compares exit and output.
    void sameOnBoth(const QStringList &args, QString *fileOut = nullptr);
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<ScratchDatabase> m_other;
    QString m_file;
    QStringList m_imports;
};

void TestCtlEngines::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_file = path("lab.mdb");
    QVERIFY(QDir(m_dir.path()).mkdir("other"));
    m_other = std::make_unique<ScratchDatabase>(path("other"));
    m_imports = writeImportFiles(QDir(m_dir.path()));
}

void TestCtlEngines::sameOnBoth(const QStringList &args, QString *fileOut)
{
    // "OUT" stands for a file the command writes; each run writes its own.
    const auto run = [&](const QString &db, const QString &output) {
        QStringList withDb = QStringList(args) << "--db" << db;
        withDb.replaceInStrings(QRegularExpression("^OUT$"), output);
        CtlRun result = RunZandorctl(withDb);
        QFile written(output);
        if (written.open(QIODevice::ReadOnly))
            result.out += QString::fromUtf8(written.readAll());
        return result;
    };
    const CtlRun onFile = run(m_file, path("out-file"));
    const CtlRun onOther = run(m_other->target(), path("out-other"));
    QVERIFY2(onFile.status == 0, qPrintable(onFile.err));
    QCOMPARE(onOther.status, onFile.status);
    QCOMPARE(anonymous(onOther.out, m_other->target()), anonymous(onFile.out, m_file));
    QCOMPARE(anonymous(onOther.err, m_other->target()), anonymous(onFile.err, m_file));
    if (fileOut)
        *fileOut = onFile.out;
}

void TestCtlEngines::importAnswersTheSame()
{
    QString out;
    sameOnBoth(QStringList { "import" } << m_imports, &out);
    QVERIFY2(out.contains("imported 5 of 5"), qPrintable(out));
}

void TestCtlEngines::measureStoresTheSame()
{
    // A fresh simulator for each run plays the same specimen.
    QJsonObject first;
    for (const QString &db : { m_file, m_other->target() }) {
        const auto sim = startSimulator(300);
        QVERIFY(sim);
        const CtlRun run = RunZandorctl({ "measure", "--db", db, "--netpc",
            QStringLiteral("127.0.0.1:%1").arg(sim->serverPort()), "--scope", "2.5", "--name", "M1",
            "--paper-weight", "45", "--json", "--save", "Nightly" });
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(json.value("points").toArray().size(), 89);
        if (first.isEmpty())
            first = json;
        else
            QCOMPARE(json, first);
    }
}

void TestCtlEngines::listsAreTheSame()
{
    QString text;
    sameOnBoth({ "list" }, &text);
    QVERIFY2(text.contains("\tM1\n") && text.contains("\xc3\x84pfel3"), qPrintable(text));
    sameOnBoth({ "list", "--json" });
}

void TestCtlEngines::figuresAndCsvAreTheSame()
{
    QString figures;
    sameOnBoth({ "stats" }, &figures);
    QVERIFY(!figures.isEmpty());
    sameOnBoth({ "stats", "--json", "--dir", "Nightly" });
    QString narrowed;
    sameOnBoth(
        { "stats", "--json", "--from", "2024-03-01", "--to", "2024-03-31", "--name", "*pfel*" },
        &narrowed);
    QVERIFY2(narrowed.contains("\"count\": 1"), qPrintable(narrowed));
    QString csv;
    sameOnBoth({ "csv", "--results", "-o", "OUT" }, &csv);
    QVERIFY2(csv.count(QLatin1Char('\n')) >= 6, qPrintable(csv));
    sameOnBoth({ "csv", "--curves", "--decimal-comma", "-o", "OUT" }, &csv);
    QVERIFY(csv.count(QLatin1Char('\n')) > 4 * 40 + 89);
}

void TestCtlEngines::reportPagesAreTheSame()
{
    // The keys of every stored graph, in list order.
    const CtlRun listed = RunZandorctl({ "list", "--json", "--db", m_file });
    QVERIFY(listed.status == 0);
    QStringList keyArgs;
    const auto visit = [&](const QJsonValue &value, auto &&self) -> void {
        if (value.isArray()) {
            for (const QJsonValue &v : value.toArray())
                self(v, self);
        } else if (value.isObject()) {
            const QJsonObject o = value.toObject();
            if (o.value("Status").toInt() == 4) // a graph
                keyArgs << "--key" << QString::number(o.value("UntID").toInt());
            for (const QJsonValue &v : o)
                self(v, self);
        }
    };
    visit(QJsonDocument::fromJson(listed.out.toUtf8()).object(), visit);
    QVERIFY2(keyArgs.size() >= 10, qPrintable(listed.out));
    keyArgs = keyArgs.mid(keyArgs.size() - 10); // five boxes, the measured graph among them

    QList<QByteArray> pages;
    for (const QString &db : { m_file, m_other->target() }) {
        const QString pdf = path(QStringLiteral("report%1.pdf").arg(pages.size()));
        const CtlRun run = RunZandorctl(
            QStringList { "report", "--db", db, "--scope", "2.5", "-o", pdf } << keyArgs);
        QVERIFY2(run.status == 0, qPrintable(run.err));
        // The pages as pictures: the PDF's own bytes carry its time of making.
        QProcess render;
        render.start("pdftoppm", { "-r", "30", "-gray", pdf });
        QVERIFY(render.waitForFinished(60000));
        QCOMPARE(render.exitCode(), 0);
        pages << render.readAllStandardOutput();
        QVERIFY(pages.last().size() > 1000);
    }
    QVERIFY2(pages.at(0) == pages.at(1), "the report pages differ between the two databases");
}

QTEST_GUILESS_MAIN(TestCtlEngines)
#include "test_ctlengines.moc"
