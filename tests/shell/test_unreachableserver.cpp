// The program started on a database server it cannot reach says so, naming
// the server and the cause, and ends the start instead of hanging.
#include "core/ScriptedMessages.h"
#include "shell/Application.h"
#include "shell/MainWindow.h"

#include <QTcpServer>
#include <QtTest>

class TestUnreachableServer : public QObject
{
    Q_OBJECT
private slots:
    void startEndsWithAMessageNamingTheServer_data()
    {
        QTest::addColumn<bool>("answersNothing");
        QTest::addColumn<QString>("host");
        QTest::newRow("refused") << false << "127.0.0.1";
        QTest::newRow("silent") << true << "127.0.0.1"; // takes the connection, never answers
        QTest::newRow("refused, by name") << false << "localhost";
        QTest::newRow("silent, by name") << true << "localhost";
    }

    void startEndsWithAMessageNamingTheServer()
    {
        QFETCH(bool, answersNothing);
        QFETCH(QString, host);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const quint16 port = server.serverPort();
        if (!answersNothing)
            server.close();
        const QString where = QStringLiteral("%1:%2/kovra").arg(host, QString::number(port));
        ScriptedMessages messages;
        ZandorApplication app(CommandLine::parse({ "1", "--db",
                                  QStringLiteral("postgresql://lab:secret@%1").arg(where) }),
            &messages);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!app.start());
        QVERIFY2(clock.elapsed() < 30000, "the start waited for the server far too long");
        QCOMPARE(messages.entries.size(), 1);
        const QString text = messages.texts().first();
        QVERIFY2(text.contains(where), qPrintable(text));
        QVERIFY2(text.contains(answersNothing ? "timeout" : "refused", Qt::CaseInsensitive),
            qPrintable(text));
        QVERIFY2(!text.contains("secret"), qPrintable(text));
        QVERIFY2(!text.contains("?.") && !text.contains(".."), qPrintable(text)); // one full stop
        QVERIFY(!app.mainWindow());
    }
};

QTEST_MAIN(TestUnreachableServer)
#include "test_unreachableserver.moc"
