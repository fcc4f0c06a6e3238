#include "app/tavolin.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // Lets the desktop match the windows with the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(TAVOLIN_APP_ID));
    Tavolin window;
    window.show();
    return application.exec();
}
