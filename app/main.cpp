#include "shell/Application.h"
#include "shell/BoxIcons.h"
#include "shell/MessageBoxMessages.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>

namespace
{

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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zandor"));
    QApplication::setApplicationVersion(QStringLiteral(ZANDOR_VERSION));
    QApplication::setOrganizationName(QStringLiteral("zandor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zandor 3.2"));
    QApplication::setWindowIcon(QIcon(BoxIcons::application(64)));

    const CommandLine commandLine = CommandLine::parse(app.arguments().mid(1));
    if (commandLine.request != CommandLine::Request::Start) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        MessageBoxMessages messageBoxes;
        return commandLine.answer(out, err, hasScreen() ? &messageBoxes : nullptr);
    }
    ZandorApplication zandor(commandLine);
    if (!zandor.start())
        return 1;
    return app.exec();
}
