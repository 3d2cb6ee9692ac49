#include "instrument/NetLink.h"
#include "instrument/ProtocolTimeouts.h"
#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "core/ScriptedMessages.h"
#include "core/Settings.h"
#include "store/Database.h"

#include <QSqlQuery>

#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

class ProgramStartTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { app.reset(); }
    void everyFailureHasItsMessageInOrder();
    void unusableDatabaseEndsTheStart();
    void settingOutOfRangeIsReplacedAndToldOnce();
    void endsOnceTheSocketIsClosed();

private:
    static quint16 silentPort()
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        return server.serverPort(); // closed again on return
    }

    // Starts the program on a fresh database, talking to a silent NetPC at
    // `port` that is given up on soon.
    bool start(quint16 port)
    {
        app = std::make_unique<ZandorApplication>(
            CommandLine::parse({ "--db", dir.filePath("kovra.mdb"), "--netpc",
                QStringLiteral("127.0.0.1:%1").arg(port) }),
            &messages);
        app->setTimeouts(ProtocolTimeouts::scaledDown(200));
        QSignalSpy started(app.get(), &ZandorApplication::started);
        return app->start() && started.wait(10000);
    }

    QTemporaryDir dir;
    ScriptedMessages messages;
    std::unique_ptr<ZandorApplication> app;
};

void ProgramStartTest::everyFailureHasItsMessageInOrder()
{
    quint16 silentPort = 0;
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        silentPort = server.serverPort(); // closed again at the end of the block
    }
    QVERIFY(start(silentPort));
    QCOMPARE(messages.texts(),
        (QStringList { "Error Connection NetPC", "Endposition nicht erreicht", "textErrCon",
            "No Data received" }));
    QCOMPARE(app->settings().ZeroPoint, 0.0f);
    QVERIFY(app->mainWindow()->isVisible());
}

void ProgramStartTest::unusableDatabaseEndsTheStart()
{
    const QString path = dir.filePath("letter.mdb");
    const QByteArray letter("this is a letter, not a database\n");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(letter) == letter.size());
    f.close();
    messages = ScriptedMessages();
    ZandorApplication letterApp(CommandLine::parse({ "1", "--db", path }), &messages);
    QVERIFY(!letterApp.start());
    QCOMPARE(messages.entries.size(), 1);
    QVERIFY(messages.texts().first().contains("letter.mdb"));
    QVERIFY(!letterApp.mainWindow());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), letter); // left as it was
}

// A stored active box of 0 would index box 0 on the first save: the start
// takes box 1 instead and says so once, before anything else.
void ProgramStartTest::settingOutOfRangeIsReplacedAndToldOnce()
{
    {
        Database db;
        QVERIFY(db.open(dir.filePath("kovra.mdb")).ok());
        QSqlQuery q(db.connection());
        QVERIFY(q.exec("UPDATE Init SET AEB = 0"));
    }
    messages = ScriptedMessages();
    QVERIFY(start(silentPort()));
    QCOMPARE(app->settings().ActiveBox, 1);
    QCOMPARE(app->settings().activeBox().BoxNr, 1);
    const QStringList texts = messages.texts();
    QVERIFY2(texts.first().contains("AEB = 0"), qPrintable(texts.first()));
    QCOMPARE(texts.filter("out of range").size(), 1);
}

// Closing the main window closes the connection; the program ends when the
// socket reports the closed state.
void ProgramStartTest::endsOnceTheSocketIsClosed()
{
    QTcpServer peer;
    QVERIFY(peer.listen(QHostAddress::LocalHost));
    QVERIFY(start(peer.serverPort()));
    QVERIFY(app->link().isConnected());
    QSignalSpy ended(app.get(), &ZandorApplication::ended);
    bool closedAtTheEnd = false;
    connect(app.get(), &ZandorApplication::ended, this,
        [&] { closedAtTheEnd = app->link().isClosed(); });
    // A line still on its way: the socket closes only once it is written.
    app->link().SendNetPC(QStringLiteral("INIT"));
    app->mainWindow()->close();
    QVERIFY(ended.count() == 1 || ended.wait(5000));
    QVERIFY(closedAtTheEnd);
    QTest::qWait(50); // the deadline passing later ends nothing twice
    QCOMPARE(ended.count(), 1);
}

QTEST_MAIN(ProgramStartTest)
#include "test_programstart.moc"
