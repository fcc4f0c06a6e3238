// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commandline.h"
#include "tavolin.h"

#include <QApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimer>

namespace {

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("tavolin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVOLIN_VERSION));
}

// Board files given without --output, as a file manager's "Open with" gives
// them: loaded in order, as Load loads them, once the window shows.
QStringList boardArguments(const QStringList &arguments)
{
    QStringList paths;
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) != QLatin1String("--") || !paths.isEmpty())
            paths.append(QFileInfo(arguments.at(i)).absoluteFilePath());
    }
    return paths;
}

template<typename Application>
int commandLine(int &argc, char **argv)
{
    Application application(argc, argv);
    nameApplication();
    return int(runCommandLine(QCoreApplication::arguments()));
}

} // namespace

int main(int argc, char *argv[])
{
    // Only the window needs a display: a panel made from the command line
    // creates no widget and runs where there is none.
    if (wantsCommandLine(argc, argv)) {
        if (!wantsPicture(argc, argv))
            return commandLine<QCoreApplication>(argc, argv);
        // A picture is painted, with fonts, but never shown. The platform's
        // notes (a session without a runtime folder, say) are no concern
        // of a script's: the command line reports on stderr what it does.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false"));
        return commandLine<QGuiApplication>(argc, argv);
    }
    QApplication application(argc, argv);
    nameApplication();
    // Lets the desktop match the windows with the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(TAVOLIN_APP_ID));
    Tavolin window;
    window.show();
    const QStringList boards = boardArguments(QCoreApplication::arguments());
    if (!boards.isEmpty())
        QTimer::singleShot(0, &window, [&window, boards] { window.loadBoards(boards); });
    return application.exec();
}
