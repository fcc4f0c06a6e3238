#include "app/commandline.h"
#include "app/tavolin.h"

#include <QApplication>

namespace {

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("tavolin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVOLIN_VERSION));
}

} // namespace

int main(int argc, char *argv[])
{
    // Only the window needs a display: a panel made from the command line
    // creates no widget and runs where there is none.
    if (wantsCommandLine(argc, argv)) {
        QCoreApplication application(argc, argv);
        nameApplication();
        return int(runCommandLine(QCoreApplication::arguments()));
    }
    QApplication application(argc, argv);
    nameApplication();
    // Lets the desktop match the windows with the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(TAVOLIN_APP_ID));
    Tavolin window;
    window.show();
    return application.exec();
}
