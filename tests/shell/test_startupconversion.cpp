#include "core/ScriptedMessages.h"
#include "core/Settings.h"
#include "exchange/GraphPatternDialog.h"
#include "instrument/ProtocolTimeouts.h"
#include "shell/Application.h"
#include "support/JetWriter.h"
#include "support/OldDatabase.h"

#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

// Starting the program on a database file of the earlier program.
class StartupConversionTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { app.reset(); }
    void yesConvertsAndTheDialogListsTheDirectories();
    void noLeavesTheFileAsItWas();
    void failedConversionPutsTheOriginalBack_data();
    void failedConversionPutsTheOriginalBack();
    void converterReportsProgressAndCounts();

private:
    QString dbPath() const { return dir.filePath(QStringLiteral("kovra.mdb")); }
    QString keptPath() const { return dir.filePath(QStringLiteral("kovra-jet.mdb")); }

    void makeApp(const QString &converter)
    {
        quint16 silentPort = 0;
        {
            QTcpServer server;
            server.listen(QHostAddress::LocalHost);
            silentPort = server.serverPort();
        }
        app = std::make_unique<ZandorApplication>(
            CommandLine::parse(
                { "--db", dbPath(), "--netpc", QStringLiteral("127.0.0.1:%1").arg(silentPort) }),
            &messages);
        app->setTimeouts(ProtocolTimeouts::scaledDown(200));
        app->setConverter(converter);
    }

    static QString converter() { return qEnvironmentVariable("ZANDORCTL"); }

    static QByteArray bytesOf(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static QStringList directoryNames(const Jet::Table &dirs, int type)
    {
        QStringList names;
        for (const Jet::Row &r : dirs.rows)
            if (r[2].toInt() == type)
                names << r[1].toString();
        names.sort();
        return names;
    }

    static QStringList listed(const QListWidget *list)
    {
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        names.sort();
        return names;
    }

    QTemporaryDir dir;
    ScriptedMessages messages;
    std::unique_ptr<ZandorApplication> app;
    QList<Jet::Table> tables;
    QByteArray original;
};

void StartupConversionTest::init()
{
    for (const QString &f : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(f));
    messages = ScriptedMessages();
    tables = OldDatabase::tables(60, 21);
    original = Jet::jet4File(tables);
    QFile f(dbPath());
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(original) == original.size());
}

void StartupConversionTest::yesConvertsAndTheDialogListsTheDirectories()
{
    messages.answer(true);
    makeApp(converter());
    QSignalSpy started(app.get(), &ZandorApplication::started);
    QVERIFY(app->start());
    QVERIFY(started.wait(30000));
    QVERIFY(messages.entries.first().question);
    QVERIFY(messages.entries.first().text.contains(QLatin1String("earlier program")));
    QVERIFY(messages.entries.at(1).text.contains(
        QLatin1String("Untersuchungen: 60 converted, 0 skipped")));
    QCOMPARE(bytesOf(keptPath()), original);

    app->settings().DialogMode = 2; // load
    FrmDOrg dialog(app->context());
    dialog.show();
    auto *directories = dialog.findChild<QListWidget *>(QStringLiteral("List1"));
    QVERIFY(directories);
    dialog.findChild<QRadioButton *>(QStringLiteral("optDOrg_0"))->click();
    QCOMPARE(listed(directories), directoryNames(tables[0], 0));
    dialog.findChild<QRadioButton *>(QStringLiteral("optDOrg_2"))->click();
    QCOMPARE(listed(directories), directoryNames(tables[0], 2));
}

void StartupConversionTest::noLeavesTheFileAsItWas()
{
    messages.answer(false);
    makeApp(converter());
    QVERIFY(!app->start());
    QCOMPARE(bytesOf(dbPath()), original);
    QVERIFY(!QFile::exists(keptPath()));
    QVERIFY(!app->mainWindow());
    QVERIFY(messages.texts().last().contains(QLatin1String("zandorctl migrate")));
}

void StartupConversionTest::failedConversionPutsTheOriginalBack_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("damaged file") << "damaged";
    QTest::newRow("converter dies") << "dies";
    QTest::newRow("no converter") << "missing";
}

// Whatever ends the conversion, the original is back under its name, no
// half-made database is left, and the operator is told.
void StartupConversionTest::failedConversionPutsTheOriginalBack()
{
    QFETCH(QString, kind);
    QString program = converter();
    if (kind == QLatin1String("damaged")) {
        // The first data page of the stored records is lost.
        qsizetype at = 3 * 4096;
        for (int seen = 0; at < original.size(); at += 4096)
            if (original[at] == 0x02 && seen++ == 1)
                break;
        original.replace(at + 4096, 4096, QByteArray(4096, '\0'));
        QFile f(dbPath());
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(original) == original.size());
    } else if (kind == QLatin1String("dies")) {
        program = dir.filePath(QStringLiteral("dying.sh"));
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        // Starts writing beside the database, then dies as libmdb might.
        script.write("#!/bin/sh\necho 'progress 1 10'\n"
                     "touch \"$(dirname \"$4\")/.kovra.mdb-converting-x\"\nkill -SEGV $$\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    } else {
        program = dir.filePath(QStringLiteral("no-such-program"));
    }
    messages.answer(true);
    makeApp(program);
    QSignalSpy failed(app.get(), &ZandorApplication::startFailed);
    QVERIFY(app->start());
    QVERIFY2(!failed.isEmpty() || failed.wait(30000), qPrintable(messages.texts().join('\n')));
    QCOMPARE(bytesOf(dbPath()), original);
    QStringList expected = { QStringLiteral("kovra.mdb") };
    if (kind == QLatin1String("dies"))
        expected.prepend(QStringLiteral("dying.sh"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    const QString last = messages.texts().last();
    QVERIFY2(last.contains(QLatin1String("is unchanged")), qPrintable(last));
    if (kind == QLatin1String("damaged"))
        QVERIFY2(last.contains(QLatin1String("it is damaged"))
                && last.contains(QDir::toNativeSeparators(dbPath())),
            qPrintable(last));
    QVERIFY(!app->mainWindow());
}

// What the program reads from the converter: rising progress lines that end
// at the number of rows, then the report.
void StartupConversionTest::converterReportsProgressAndCounts()
{
    QProcess ctl;
    ctl.start(converter(), { "migrate", dbPath(), "--db", dir.filePath("new.mdb"), "--progress" });
    QVERIFY(ctl.waitForFinished(30000));
    QCOMPARE(ctl.exitCode(), 0);
    qint64 rows = 0;
    for (const Jet::Table &t : tables)
        rows += t.rows.size();
    qint64 last = 0;
    QStringList report;
    for (const QString &line : QString::fromUtf8(ctl.readAllStandardOutput()).split('\n')) {
        const QStringList parts = line.split(' ');
        if (parts.size() == 3 && parts[0] == QLatin1String("progress")) {
            QVERIFY(parts[1].toLongLong() > last);
            QCOMPARE(parts[2].toLongLong(), rows);
            last = parts[1].toLongLong();
        } else {
            report << line;
        }
    }
    QCOMPARE(last, rows);
    QVERIFY(report.contains(QStringLiteral("Untersuchungen: 60 converted, 0 skipped")));

    ctl.start(converter(), { "migrate" });
    QVERIFY(ctl.waitForFinished(30000));
    QCOMPARE(ctl.exitCode(), 2);
}

QTEST_MAIN(StartupConversionTest)
#include "test_startupconversion.moc"
