#include "shell/Application.h"

#include "instrument/InstrumentStartup.h"
#include "instrument/NetLink.h"
#include "instrument/ProtocolTimeouts.h"
#include "shell/MainWindow.h"
#include "shell/MessageBoxMessages.h"
#include "shell/RunRestore.h"
#include "shell/ReportTarget.h"
#include "core/Notation.h"
#include "core/Settings.h"
#include "shell/StartWindow.h"
#include "shell/StartupConversion.h"
#include "store/Database.h"
#include "store/DatabaseChoice.h"
#include "store/Store.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QPrinter>

ZandorApplication::ZandorApplication(const CommandLine &commandLine, OperatorMessages *messages)
    : m_commandLine(commandLine),
      m_settings(std::make_unique<Settings>()),
      m_notation(std::make_unique<Notation>(Notation::fromSystem())),
      m_database(std::make_unique<Database>())
{
    if (!messages) {
        m_boxMessages = std::make_unique<MessageBoxMessages>();
        messages = m_boxMessages.get();
    }
    m_messages = messages;
    m_link = std::make_unique<NetLink>(*m_messages);
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Without any printer installed the report goes to a PDF file; the
    // printer set-up can change that.
    UseDefaultReportTarget(*m_printer);
}

ZandorApplication::~ZandorApplication()
{
    if (m_window)
        m_window->setAskBeforeClosing(false);
    m_startup.reset();
    m_window.reset();
    m_store.reset();
    m_database->close();
}

void ZandorApplication::setTimeouts(const ProtocolTimeouts &timeouts)
{
    m_link->setTimeouts(timeouts);
}

bool ZandorApplication::start()
{
    const QString path = m_commandLine.databasePath.isEmpty() ? Database::defaultPath()
                                                              : m_commandLine.databasePath;
    if (!StartupConversion::isJetDatabase(path))
        return openAndStart(path);
    m_conversion = std::make_unique<StartupConversion>(path,
        m_converter.isEmpty() ? StartupConversion::defaultConverter() : m_converter, *m_messages);
    connect(m_conversion.get(), &StartupConversion::finished, this,
        [this, path](bool ok) { onConversionFinished(path, ok); });
    return m_conversion->begin();
}

void ZandorApplication::onConversionFinished(const QString &path, bool ok)
{
    if (!ok || !openAndStart(path))
        emit startFailed();
}

bool ZandorApplication::openAndStart(const QString &path)
{
    const Database::OpenResult opened = m_database->open(path, m_messages);
    if (!opened) {
        m_messages->show(opened.message, OperatorMessages::Icon::Critical);
        return false;
    }
    // The database chosen on the command line is the one of the next start.
    if (!m_commandLine.databasePath.isEmpty())
        RememberDatabase(m_commandLine.databasePath);
    m_store = std::make_unique<Store>(*m_database, *m_notation);
    m_settings->NoInstrument = m_commandLine.noInstrument;
    QStringList corrected;
    if (!m_store->LoadSettings(*m_settings, &corrected)) {
        m_messages->show(QStringLiteral("The settings of %1 cannot be read:\n%2")
                             .arg(QDir::toNativeSeparators(m_database->target().display()), m_store->lastError()),
                         OperatorMessages::Icon::Critical);
        return false;
    }
    if (!corrected.isEmpty())
        m_messages->show(QStringLiteral("Some settings in %1 were out of range and are replaced "
                                        "by their defaults:\n%2")
                             .arg(QDir::toNativeSeparators(m_database->target().display()), corrected.join(QLatin1Char('\n'))),
            OperatorMessages::Icon::Exclamation);
    if (!m_commandLine.netpcHost.isEmpty())
        m_settings->HostAddress = m_commandLine.netpcHost;
    if (m_commandLine.netpcPort != 0)
        m_settings->HostPort = m_commandLine.netpcPort;

    m_ctx = std::make_unique<AppContext>(AppContext{*m_settings, *m_notation, *m_messages,
                                                    m_store.get(), m_link.get(), m_printer.get()});
    m_window = std::make_unique<FrmKovra>(*m_ctx);
    if (m_boxMessages)
        m_boxMessages->setParent(m_window.get());
    connect(m_window.get(), &FrmKovra::shuttingDown, this, &ZandorApplication::shutDown);

    m_startup = std::make_unique<InstrumentStartup>(*m_link, *m_messages, *m_settings, *m_notation);
    connect(m_startup.get(), &InstrumentStartup::boxesReset, this, &ZandorApplication::onBoxesReset);
    connect(m_startup.get(), &InstrumentStartup::zeroPointBegins, this,
            &ZandorApplication::onZeroPointBegins);
    connect(m_startup.get(), &InstrumentStartup::finished, this,
            &ZandorApplication::onStartupFinished);
    // Connecting and the end position can take a quarter of a minute
    // without an instrument; the operator sees that the program is busy.
    m_splash = std::make_unique<FrmStart>();
    m_splash->setCaption(QStringLiteral("Starting the instrument       Please wait !"));
    m_splash->show();
    m_startup->start();
    return true;
}

void ZandorApplication::onBoxesReset()
{
    m_window->MarkActiveBox();
}

void ZandorApplication::onZeroPointBegins()
{
    if (!m_hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    m_hourglass = true;
    if (!m_splash)
        m_splash = std::make_unique<FrmStart>();
    m_splash->setCaption(InstrumentStartup::SplashCaption);
    m_splash->show();
}

void ZandorApplication::onStartupFinished()
{
    if (m_splash) {
        m_splash->close();
        m_splash.reset();
    }
    if (m_hourglass)
        QApplication::restoreOverrideCursor();
    m_hourglass = false;
    if (m_store)
        RestoreInterruptedRuns(*m_store, *m_settings, *m_messages, *m_notation);
    m_window->SetCaptions();
    m_window->SelectScopeOption();
    m_window->ShowAllBoxTiles();
    m_window->MarkActiveBox();
    m_window->show();
    m_started = true;
    emit started();
}

void ZandorApplication::shutDown()
{
    // Windows still closing must not reach a store whose database is gone.
    m_ctx->store = nullptr;
    m_store.reset();
    m_database->close();
    // The program ends when the socket reports its closed state, not when
    // the last window goes; a socket that cannot close gives up in time.
    connect(m_link.get(), &NetLink::closed, this, &ZandorApplication::linkClosed);
    QTimer::singleShot(m_link->timeouts().closing, this, &ZandorApplication::linkClosed);
    m_link->CloseNetPC();
}

void ZandorApplication::linkClosed()
{
    if (m_ended)
        return;
    m_ended = true;
    emit ended();
}
