#include "app/tavolin.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    Tavolin window;
    window.show();
    return application.exec();
}
