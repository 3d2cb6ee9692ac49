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
    QApplication::setApplicationDisplayName(QStringLiteral("Zandor 3.2"));
    QApplication::setWindowIcon(QIcon(BoxIcons::application(64)));

    const CommandLine commandLine = CommandLine::parse(app.arguments().mid(1));
    if (!commandLine.error.isEmpty()) {
        QTextStream(stderr) << "zandor: " << commandLine.error << "\n" << CommandLine::usage();
        return 2;
    }
    ZandorApplication zandor(commandLine);
    // A conversion of the database at start-up can fail after start() returned.
    QObject::connect(&zandor, &ZandorApplication::startFailed, &app, [] { QCoreApplication::exit(1); });
    if (!zandor.start())
        return 1;
    return app.exec();
}
