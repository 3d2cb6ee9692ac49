#include "shell/ClearBox.h"
#include "shell/MainWindow.h"
#include "shell/MessageBoxMessages.h"
#include "shell/Notation.h"
#include "shell/Settings.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zandor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zandor 3.2"));
    Settings settings;
    const Notation notation = Notation::fromSystem();
    MessageBoxMessages messages;
    AppContext ctx{settings, notation, messages};
    for (int k = 1; k <= 5; ++k)
        ClearBox(settings, k, notation);
    FrmKovra window(ctx);
    messages.setParent(&window);
    window.SelectScopeOption();
    window.ShowAllBoxTiles();
    window.show();
    return app.exec();
}
