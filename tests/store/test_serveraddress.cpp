// A server known by name is looked for at all its addresses at once, so a
// machine that is off answers "unreachable" within one time limit however
// many addresses it has; no server is needed for these.
#include "store/Database.h"
#include "store/ServerAddress.h"
#include "support/LoopbackPeer.h"

#include <QtTest>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

namespace
{

using Kinds = QList<LoopbackPeer::Kind>;

} // namespace

Q_DECLARE_METATYPE(LoopbackPeer::Kind)

class TestServerAddress : public QObject
{
    Q_OBJECT
private slots:
    void hostNamesAreToldFromAddresses()
    {
        for (const char *name : { "localhost", "db.lab", "dbserver" })
            QVERIFY2(IsServerHostName(QLatin1String(name)), name);
        for (const char *other :
            { "", "127.0.0.1", "::1", "fe80::1", "/var/run/postgresql", "@abstract", "db1,db2" })
            QVERIFY2(!IsServerHostName(QLatin1String(other)), other);
    }

    void namesAreLookedUp()
    {
        const ResolvedName local = ResolveServerName("localhost", 2s);
        QVERIFY2(local.problem.isEmpty(), qPrintable(local.problem));
        QVERIFY(local.addresses.contains("127.0.0.1") || local.addresses.contains("::1"));
        const ResolvedName none = ResolveServerName("no-such-host.invalid", 2s);
        QVERIFY(none.addresses.isEmpty());
        QVERIFY2(none.problem.contains("no-such-host.invalid"), qPrintable(none.problem));
    }

    // All addresses are tried together: one that never answers does not
    // hide one that does, and the verdict names what happened.
    void theFirstAddressThatAnswersIsTaken_data()
    {
        using K = LoopbackPeer::Kind;
        QTest::addColumn<Kinds>("kinds");
        QTest::addColumn<int>("answering"); // index of the one taken, -1: none
        QTest::addColumn<QString>("problem");
        QTest::newRow("silent, then listening") << Kinds { K::Silent, K::Listening } << 1 << "";
        QTest::newRow("refusing, then listening") << Kinds { K::Refusing, K::Listening } << 1 << "";
        QTest::newRow("listening, then silent") << Kinds { K::Listening, K::Silent } << 0 << "";
        QTest::newRow("all refusing") << Kinds { K::Refusing, K::Refusing } << -1 << "refused";
        QTest::newRow("all silent") << Kinds { K::Silent, K::Silent } << -1 << "timeout expired";
        QTest::newRow("refusing and silent")
            << Kinds { K::Refusing, K::Silent } << -1 << "timeout expired";
        QTest::newRow("no address") << Kinds {} << -1 << "failed";
    }

    void theFirstAddressThatAnswersIsTaken()
    {
        QFETCH(Kinds, kinds);
        QFETCH(int, answering);
        QFETCH(QString, problem);
        const char *loopbacks[] = { "127.0.0.2", "127.0.0.3" };
        std::vector<std::unique_ptr<LoopbackPeer>> peers;
        int port = 0;
        QStringList addresses;
        for (int i = 0; i < kinds.size(); ++i) {
            peers.push_back(std::make_unique<LoopbackPeer>(kinds[i], loopbacks[i], port));
            port = peers.back()->port();
            QVERIFY2(port > 0, "no loopback port to be had");
            addresses << peers.back()->address();
        }
        const ServerAddress found = FirstAnsweringAddress("db.lab", addresses, port, 500ms);
        if (answering >= 0) {
            QCOMPARE(found.address, addresses.at(answering));
            QVERIFY(found.problem.isEmpty());
        } else {
            QVERIFY(found.address.isEmpty());
            QVERIFY2(
                found.problem.contains(problem, Qt::CaseInsensitive), qPrintable(found.problem));
            QVERIFY2(found.problem.contains("db.lab"), qPrintable(found.problem));
        }
    }

    // The whole open: a server by name whose machine does not answer is
    // unreachable, with the server and the cause in the message.
    void aServerByNameThatNeverAnswersIsUnreachable()
    {
        const LoopbackPeer silent(LoopbackPeer::Kind::Silent, "127.0.0.1", 0);
        QVERIFY(silent.port() > 0);
        const QString where = QStringLiteral("localhost:%1/kovra").arg(silent.port());
        Database db;
        const Database::OpenResult opened = db.open(QStringLiteral("postgresql://%1").arg(where));
        QCOMPARE(opened.problem, Database::Problem::Unreachable);
        QVERIFY2(opened.message.contains(where), qPrintable(opened.message));
        QVERIFY2(opened.message.contains("timeout expired"), qPrintable(opened.message));
    }

    // A host the options name themselves is libpq's to reach, as given.
    void aHostInTheOptionsIsLeftToLibpq()
    {
        const QByteArray before = qgetenv("PGHOST");
        qputenv("PGHOST", "localhost");
        Database db;
        const Database::OpenResult opened
            = db.open(QStringLiteral("postgresql:///kovra?host=/nonexistent-socket-folder"));
        if (before.isNull())
            qunsetenv("PGHOST");
        else
            qputenv("PGHOST", before);
        QCOMPARE(opened.problem, Database::Problem::Unreachable);
        QVERIFY2(opened.message.contains("/nonexistent-socket-folder"), qPrintable(opened.message));
    }
};

QTEST_MAIN(TestServerAddress)
#include "test_serveraddress.moc"
