#include "shell/Application.h"
#include "shell/BoxIcons.h"
#include "shell/MessageBoxMessages.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>

namespace
{

void nameProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("zandor"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZANDOR_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("zandor"));
}

QStringList argumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Whether someone could see a message box: not so on the headless platforms
// that tests and manual-page generation use.
bool hasScreen()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

} // namespace

int main(int argc, char **argv)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Help and version need no screen: they are answered before the window
    // system is looked for, so they work in a terminal without a display.
    // Anything else is read again below, once Qt has taken its own options.
    const CommandLine early = CommandLine::parse(argumentsOf(argc, argv));
    if (early.request == CommandLine::Request::Help
        || early.request == CommandLine::Request::Version) {
        QCoreApplication app(argc, argv);
        nameProgram();
        return early.answer(out, err, nullptr);
    }

    QApplication app(argc, argv);
    nameProgram();
    // No display name: the platform would append it to every caption, and
    // the captions are the operator's landmarks exactly as they stand.
    QApplication::setWindowIcon(QIcon(BoxIcons::application(64)));

    const CommandLine commandLine = CommandLine::parse(app.arguments().mid(1));
    if (commandLine.request != CommandLine::Request::Start) {
        MessageBoxMessages messageBoxes;
        return commandLine.answer(out, err, hasScreen() ? &messageBoxes : nullptr);
    }
    ZandorApplication zandor(commandLine);
    // The end comes after the instrument socket has closed, not with the
    // last window.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&zandor, &ZandorApplication::ended, &app, &QCoreApplication::quit);
    // A conversion of the database at start-up can fail after start() returned.
    QObject::connect(&zandor, &ZandorApplication::startFailed, &app, [] { QCoreApplication::exit(1); });
    if (!zandor.start())
        return 1;
    return app.exec();
}
