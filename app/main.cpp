#include "shell/Application.h"
#include "shell/BoxIcons.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zandor"));
    QApplication::setOrganizationName(QStringLiteral("zandor"));
    // No display name: the platform would append it to every caption, and
    // the captions are the operator's landmarks exactly as they stand.
    QApplication::setWindowIcon(QIcon(BoxIcons::application(64)));

    const CommandLine commandLine = CommandLine::parse(app.arguments().mid(1));
    if (!commandLine.error.isEmpty()) {
        QTextStream(stderr) << "zandor: " << commandLine.error << "\n" << CommandLine::usage();
        return 2;
    }
    ZandorApplication zandor(commandLine);
    // The end comes after the instrument socket has closed, not with the
    // last window.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&zandor, &ZandorApplication::ended, &app, &QCoreApplication::quit);
    if (!zandor.start())
        return 1;
    return app.exec();
}
