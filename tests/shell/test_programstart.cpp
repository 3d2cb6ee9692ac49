#include "core/Notation.h"
#include "core/ScriptedMessages.h"
#include "core/Settings.h"
#include "evaluation/CurveEvaluation.h"
#include "instrument/NetLink.h"
#include "instrument/ProtocolTimeouts.h"
#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "store/Database.h"
#include "store/RunJournal.h"

#include <QSignalSpy>
#include <QSqlQuery>
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
    void anInterruptedRunIsOfferedBack();
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
    bool start(quint16 port, bool noInstrument = false)
    {
        QStringList args { "--db", dir.filePath("kovra.mdb"), "--netpc",
            QStringLiteral("127.0.0.1:%1").arg(port) };
        if (noInstrument)
            args.prepend("1");
        app = std::make_unique<ZandorApplication>(CommandLine::parse(args), &messages);
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

void ProgramStartTest::anInterruptedRunIsOfferedBack()
{
    const QDateTime begun(QDate(2026, 12, 5), QTime(9, 30));
    for (bool restore : { true, false }) {
        {
            Database db;
            QVERIFY(db.open(dir.filePath("kovra.mdb")));
            BoxRecord box;
            box.BoxNr = 2;
            box.Kovra = QStringLiteral("B7");
            box.Ein = { 0, 1, 20, 5, 10, 350, 100, 0.18f, 0.5f, 10, 10 };
            RunJournal journal(db);
            const auto id = journal.begin(box, begun);
            QVERIFY(id);
            for (int i = 1; i <= 30; ++i)
                QVERIFY(journal.write(*id, { { i, 2.0f * i, 10.0f * i, false } }));
        }
        messages = ScriptedMessages();
        messages.answer(restore);
        QVERIFY(start(1, true));
        QCOMPARE(messages.texts().last(),
            QStringLiteral("A measurement of B7 in box 2 was interrupted at point 30 "
                           "(05.12.26, 09:35).\nRestore it into box 2?")
                .replace("05.12.26", Notation::fromSystem().date(QDate(2026, 12, 5))));
        const BoxRecord &box = app->settings().Box(2);
        QCOMPARE(box.holdsGraph(), restore);
        if (restore) {
            QCOMPARE(box.pointCount(), 31);
            QCOMPARE(box.x[30], 60.0f);
            QVERIFY(box.Unvollst && box.Changed && !box.Stored);
            BoxRecord evaluated = box;
            EvaluateCurve(evaluated);
            QVERIFY(evaluated.Erg == box.Erg);
        }
        app.reset();
        Database db;
        QVERIFY(db.open(dir.filePath("kovra.mdb")));
        QVERIFY(RunJournal(db).interrupted().isEmpty()); // asked once, either way
    }
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
