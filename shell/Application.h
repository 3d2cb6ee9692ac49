#pragma once

#include "core/AppContext.h"
#include "shell/CommandLine.h"

#include <QObject>
#include <memory>

class Database;
class FrmKovra;
class FrmStart;
class InstrumentStartup;
class MessageBoxMessages;
class StartupConversion;
struct ProtocolTimeouts;

// Owns everything the program runs on — settings and boxes, the database,
// the instrument link, the printer, the main window — and performs the
// start-up and the shut-down around the main window.
class ZandorApplication : public QObject
{
    Q_OBJECT
public:
    // `messages` replaces the message boxes (tests script the answers).
    explicit ZandorApplication(const CommandLine &commandLine,
                               OperatorMessages *messages = nullptr);
    ~ZandorApplication() override;

    // Opens the database and starts the start-up; false (after telling the
    // operator why) when the database cannot be used. A database of the
    // earlier program is offered for conversion first; a conversion that
    // fails later ends the start with startFailed().
    bool start();
    // The program that converts such a database (tests); zandorctl by default.
    void setConverter(const QString &program) { m_converter = program; }
    // Scaled-down time-outs for tests; call before start().
    void setTimeouts(const ProtocolTimeouts &timeouts);

    FrmKovra *mainWindow() const { return m_window.get(); }
    AppContext &context() { return *m_ctx; }
    Settings &settings() { return *m_settings; }
    Store *store() const { return m_store.get(); }
    NetLink &link() { return *m_link; }
    bool isStarted() const { return m_started; }

signals:
    // Start-up is complete and the main window is shown.
    void started();
    // The start could not go on after the database's conversion.
    void startFailed();
    // The main window has gone and the instrument socket is closed (or did
    // not close in time): the program may end.
    void ended();

private:
    bool openAndStart(const QString &path);
    void onConversionFinished(const QString &path, bool ok);
    void onBoxesReset();
    void onZeroPointBegins();
    void onStartupFinished();
    void shutDown();
    void linkClosed();

    CommandLine m_commandLine;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Notation> m_notation;
    std::unique_ptr<MessageBoxMessages> m_boxMessages;
    OperatorMessages *m_messages;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<NetLink> m_link;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<AppContext> m_ctx;
    std::unique_ptr<FrmKovra> m_window;
    std::unique_ptr<FrmStart> m_splash;
    std::unique_ptr<InstrumentStartup> m_startup;
    std::unique_ptr<StartupConversion> m_conversion;
    QString m_converter;
    bool m_started = false;
    bool m_hourglass = false;
    bool m_ended = false;
};
