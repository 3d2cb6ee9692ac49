#include "StoreFixture.h"

#include "core/ScriptedMessages.h"
#include "instrument/ProtocolTimeouts.h"
#include "shell/Application.h"
#include "store/DatabaseChoice.h"
#include "store/DatabaseTarget.h"
#include "support/TemporaryConfiguration.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlQuery>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

// A server that wants a password libpq cannot find: the operator is asked,
// a refused password is asked for again a limited number of times, and the
// password never shows in a message, the remembered choice or the output of
// zandorctl. The test server wants a password over TCP; without PGPASSWORD
// (and with no password file) libpq has none to give.
namespace
{

// Takes libpq's means of finding the password away while it lives.
class NoPasswordAround
{
public:
    NoPasswordAround()
        : m_password(qgetenv("PGPASSWORD"))
        , m_file(qgetenv("PGPASSFILE"))
    {
        qunsetenv("PGPASSWORD");
        qputenv("PGPASSFILE", "/nonexistent/pgpass");
    }
    ~NoPasswordAround()
    {
        qputenv("PGPASSWORD", m_password);
        if (m_file.isNull())
            qunsetenv("PGPASSFILE");
        else
            qputenv("PGPASSFILE", m_file);
    }
    QString password() const { return QString::fromLocal8Bit(m_password); }

private:
    QByteArray m_password;
    QByteArray m_file;
};

const QString kWrong = QStringLiteral("Wr0ng-pa55word");

QString promptFor(const QString &target)
{
    return QStringLiteral("Password for user %1 on %2: ")
        .arg(qEnvironmentVariable("PGUSER"), DatabaseTarget::parse(target).server());
}

// Everything the operator saw or could see of one open.
QStringList everythingShown(
    const ScriptedMessages &messages, const Database &db, const Database::OpenResult &result)
{
    return messages.texts() << result.message << db.lastError() << db.target().display()
                            << db.unavailableReason();
}

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// zandorctl as started from a script: no controlling terminal, no
// PGPASSWORD, and `input` on its standard input.
Run zandorctl(const QStringList &args, const QByteArray &input)
{
    QProcess ctl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("PGPASSWORD"));
    environment.insert(QStringLiteral("PGPASSFILE"), QStringLiteral("/nonexistent/pgpass"));
    ctl.setProcessEnvironment(environment);
    ctl.setChildProcessModifier([] { ::setsid(); });
    ctl.start(qEnvironmentVariable("ZANDORCTL"), args);
    Run r;
    if (!ctl.waitForStarted(10000))
        return r;
    ctl.write(input);
    ctl.closeWriteChannel();
    if (!ctl.waitForFinished(60000) || ctl.exitStatus() != QProcess::NormalExit) {
        ctl.kill();
        return r;
    }
    r.status = ctl.exitCode();
    r.out = ctl.readAllStandardOutput();
    r.err = ctl.readAllStandardError();
    return r;
}

} // namespace

class TestServerPassword : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        configuration = std::make_unique<TemporaryConfiguration>();
        QVERIFY(configuration->isPrivate());
    }
    void cleanupTestCase() { configuration.reset(); }
    void cleanup() { TemporaryConfiguration::forget(); }

    // With and without a refused password first: either way the connection
    // comes up after as many prompts as answers, and the one it came up with
    // is the one used when the server drops the connection.
    void typedPasswordOpensAndServesReconnecting_data()
    {
        QTest::addColumn<int>("refused");
        QTest::newRow("right at once") << 0;
        QTest::newRow("wrong, then right") << 1;
        QTest::newRow("wrong twice, then right") << 2;
    }

    void typedPasswordOpensAndServesReconnecting()
    {
        SKIP_UNLESS_SERVER();
        QFETCH(int, refused);
        StoreFixture f;
        NoPasswordAround noPassword;
        ScriptedMessages messages;
        for (int i = 0; i < refused; ++i)
            messages.answerPassword(kWrong);
        messages.answerPassword(noPassword.password());

        Database db;
        const Database::OpenResult opened = db.open(f.path(), &messages);
        QVERIFY2(opened, qPrintable(opened.message));
        QCOMPARE(messages.entries.size(), refused + 1);
        QVERIFY(messages.passwords.isEmpty());
        QCOMPARE(messages.entries.first().text, promptFor(f.path()));
        for (int i = 1; i <= refused; ++i) {
            const QString &retry = messages.entries.at(i).text;
            QVERIFY2(retry.contains("password authentication failed"), qPrintable(retry));
            QVERIFY2(retry.endsWith('\n' + promptFor(f.path())), qPrintable(retry));
        }
        for (const QString &text : everythingShown(messages, db, opened)) {
            QVERIFY2(!text.contains(noPassword.password()), qPrintable(text));
            QVERIFY2(!text.contains(kWrong), qPrintable(text));
        }

        Store store(db, f.notation);
        QVERIFY(store.readStartChoices());
        QSqlQuery terminate(f.db.connection());
        QVERIFY(terminate.exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                               "WHERE datname = current_database() AND pid <> pg_backend_pid()"));
        QVERIFY(!store.readStartChoices()); // the one that finds the connection gone
        QVERIFY2(store.readStartChoices(), qPrintable(store.lastError()));
        QCOMPARE(messages.entries.size(), refused + 1); // not asked again
    }

    // A third refusal ends the asking with the server's own words, and so
    // does Cancel at once; without anyone to ask nothing is asked.
    void givingUpFailsNamingTheServer_data()
    {
        QTest::addColumn<int>("refused");
        QTest::addColumn<bool>("asker");
        QTest::addColumn<QString>("cause");
        QTest::newRow("cancelled") << 0 << true << "no password supplied";
        QTest::newRow("cancelled after a wrong one")
            << 1 << true << "password authentication failed";
        QTest::newRow("refused three times") << 3 << true << "password authentication failed";
        QTest::newRow("nobody to ask") << 0 << false << "no password supplied";
    }

    void givingUpFailsNamingTheServer()
    {
        SKIP_UNLESS_SERVER();
        QFETCH(int, refused);
        QFETCH(bool, asker);
        QFETCH(QString, cause);
        StoreFixture f;
        NoPasswordAround noPassword;
        ScriptedMessages messages;
        for (int i = 0; i < refused; ++i)
            messages.answerPassword(kWrong);
        messages.answerPassword(std::nullopt);
        messages.answerPassword(noPassword.password()); // never reached

        Database db;
        QElapsedTimer clock;
        clock.start();
        const Database::OpenResult opened = db.open(f.path(), asker ? &messages : nullptr);
        QVERIFY(!opened);
        QVERIFY(clock.elapsed() < 20000);
        QCOMPARE(opened.problem, Database::Problem::Unreachable);
        QVERIFY2(opened.message.contains(DatabaseTarget::parse(f.path()).server()),
            qPrintable(opened.message));
        QVERIFY2(opened.message.contains(cause), qPrintable(opened.message));
        QCOMPARE(messages.entries.size(), asker ? std::min(refused + 1, 3) : 0);
        QVERIFY(!db.isOpen());
        for (const QString &text : everythingShown(messages, db, opened)) {
            QVERIFY2(!text.contains(noPassword.password()), qPrintable(text));
            QVERIFY2(!text.contains(kWrong), qPrintable(text));
        }
    }

    // A password written into --db gets the program started, and is gone
    // from the choice remembered for the next start, which then asks.
    void programRemembersItsServerWithoutThePassword()
    {
        SKIP_UNLESS_SERVER();
        StoreFixture f;
        const QString password = QString::fromLocal8Bit(qgetenv("PGPASSWORD"));
        const QString given = f.path().replace("postgresql://",
            "postgresql://" + qEnvironmentVariable("PGUSER") + ':' + password + '@'
                + qEnvironmentVariable("PGHOST") + ':' + qEnvironmentVariable("PGPORT"));
        NoPasswordAround noPassword;
        ScriptedMessages messages;
        QVERIFY(startProgram({ "--db", given }, messages));
        QCOMPARE(prompts(messages), QStringList {});
        const QString remembered = RememberedDatabase();
        QVERIFY2(remembered.startsWith("postgresql://" + qEnvironmentVariable("PGUSER") + '@'),
            qPrintable(remembered));
        QVERIFY(!remembered.contains(password));
        QVERIFY(!TemporaryConfiguration::fileBytes().contains(password.toUtf8()));
        QVERIFY(!TemporaryConfiguration::fileBytes().isEmpty());

        messages.answerPassword(password);
        QVERIFY(startProgram({}, messages));
        QCOMPARE(prompts(messages), QStringList { promptFor(remembered) });
        for (const QString &text : messages.texts())
            QVERIFY2(!text.contains(password), qPrintable(text));
    }

    // zandorctl started from a script reads the password from its input,
    // as psql does, and shows it nowhere; a wrong one is asked for again.
    void zandorctlReadsThePasswordWithoutATerminal_data()
    {
        QTest::addColumn<QStringList>("lines"); // "*" stands for the right password
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("prompts");
        QTest::newRow("right") << QStringList { "*" } << 0 << 1;
        QTest::newRow("wrong, then right") << QStringList { kWrong, "*" } << 0 << 2;
        QTest::newRow("wrong three times") << QStringList { kWrong, kWrong, kWrong, "*" } << 1 << 3;
        QTest::newRow("no input") << QStringList {} << 1 << 1;
    }

    void zandorctlReadsThePasswordWithoutATerminal()
    {
        SKIP_UNLESS_SERVER();
        QFETCH(QStringList, lines);
        QFETCH(int, status);
        QFETCH(int, prompts);
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "kept here");
        BoxRecord box = sampleGraph(1);
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, "first graph", dir));
        const QString password = QString::fromLocal8Bit(qgetenv("PGPASSWORD"));
        QByteArray input;
        for (const QString &line : lines)
            input += (line == "*" ? password : line).toLocal8Bit() + '\n';

        const Run r = zandorctl({ "list", "--db", f.path() }, input);
        QCOMPARE(r.status, status);
        QCOMPARE(r.err.count(promptFor(f.path()).toLocal8Bit()), prompts);
        QCOMPARE(r.out.contains("first graph"), status == 0);
        if (status != 0)
            QVERIFY2(r.err.contains(DatabaseTarget::parse(f.path()).server().toLocal8Bit()),
                r.err.constData());
        for (const QByteArray &output : { r.out, r.err }) {
            QVERIFY2(!output.contains(password.toLocal8Bit()), output.constData());
            QVERIFY2(!output.contains(kWrong.toLocal8Bit()), output.constData());
        }
    }

    // `measure` opens its database by itself, before the instrument is
    // reached; it asks like every other command.
    void zandorctlMeasureAsksForThePasswordToo()
    {
        SKIP_UNLESS_SERVER();
        StoreFixture f;
        const QByteArray password = qgetenv("PGPASSWORD");
        const Run r
            = zandorctl({ "measure", "--db", f.path(), "--netpc", "127.0.0.1:1", "--box", "1" },
                password + '\n');
        QCOMPARE(r.err.count(promptFor(f.path()).toLocal8Bit()), 1);
        QVERIFY2(!r.err.contains("password"), r.err.constData());
        QVERIFY2(r.err.contains("instrument"), r.err.constData()); // got as far as the NetPC
    }

    // On a terminal the password is read from it, not from standard input,
    // and the terminal does not echo it.
    void zandorctlReadsThePasswordFromItsTerminalWithoutEcho()
    {
        SKIP_UNLESS_SERVER();
        StoreFixture f;
        const QByteArray password = qgetenv("PGPASSWORD");
        const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
        const QByteArray side = ::ptsname(terminal);

        QProcess ctl;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("PGPASSWORD"));
        environment.insert(QStringLiteral("PGPASSFILE"), QStringLiteral("/nonexistent/pgpass"));
        ctl.setProcessEnvironment(environment);
        ctl.setReadChannel(QProcess::StandardError);
        ctl.setChildProcessModifier([side] {
            ::setsid();
            const int own = ::open(side.constData(), O_RDWR);
            ::ioctl(own, TIOCSCTTY, 0);
        });
        ctl.start(qEnvironmentVariable("ZANDORCTL"), { "list", "--db", f.path() });
        QVERIFY(ctl.waitForStarted(10000));
        ctl.write(kWrong.toLocal8Bit() + '\n'); // taken only were there no terminal
        ctl.closeWriteChannel();
        QByteArray err;
        while (!err.contains(promptFor(f.path()).toLocal8Bit()) && ctl.waitForReadyRead(10000))
            err += ctl.readAllStandardError();
        QVERIFY2(err.contains(promptFor(f.path()).toLocal8Bit()), err.constData());
        QCOMPARE(
            ::write(terminal, password + '\n', password.size() + 1), ssize_t(password.size() + 1));
        QVERIFY(ctl.waitForFinished(60000));
        err += ctl.readAllStandardError();

        QByteArray shown; // what the terminal displays
        ::fcntl(terminal, F_SETFL, O_NONBLOCK);
        char chunk[256];
        for (ssize_t n; (n = ::read(terminal, chunk, sizeof chunk)) > 0;)
            shown.append(chunk, n);
        termios after {};
        QVERIFY(::tcgetattr(terminal, &after) == 0);
        ::close(terminal);
        QVERIFY(after.c_lflag & ECHO); // the terminal is left as it was
        QVERIFY2(ctl.exitCode() == 0, err.constData());
        QCOMPARE(err.count(promptFor(f.path()).toLocal8Bit()), 1);
        QVERIFY2(!shown.contains(password), shown.constData());
        QVERIFY(!err.contains(password) && !ctl.readAllStandardOutput().contains(password));
    }

private:
    // Starts the program without the instrument, as "zandor 1" does, and
    // ends it again; true when it came up.
    static bool startProgram(const QStringList &arguments, ScriptedMessages &messages)
    {
        ZandorApplication app(
            CommandLine::parse(QStringList { "1", "--netpc", "127.0.0.1:1" } + arguments),
            &messages);
        app.setTimeouts(ProtocolTimeouts::scaledDown(200));
        QSignalSpy started(&app, &ZandorApplication::started);
        return app.start() && started.wait(10000);
    }

    // The program's start without an instrument has messages of its own.
    static QStringList prompts(const ScriptedMessages &messages)
    {
        return messages.texts().filter(QRegularExpression("^Password for"));
    }

    std::unique_ptr<TemporaryConfiguration> configuration;
};

QTEST_MAIN(TestServerPassword)
#include "test_serverpassword.moc"
