#include "forms/common/toolkitdisplay.h"
#include "forms/main/quellexmain.h"
#include "forms/main/sessionend.h"
#include "platform/display.h"
#include "platform/logging.h"
#include "process/systemprocessqueryservice.h"
#include "quellexversion.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>

int main(int argc, char **argv)
{
    const quellex::platform::DisplayProbe display = quellex::platform::probeDisplay();
    if (!display.problem.empty()) {
        std::fprintf(stderr,
                     "quellex: %s.\n" QUELLEX_CAPTION
                     " is a desktop program: start it from a desktop session, or on a machine "
                     "without a display under a virtual X server:\n    xvfb-run -a %s\n",
                     display.problem.c_str(), argv[0]);
        return 1;
    }
    if (display.toolkitPlatform)
        qputenv("QT_QPA_PLATFORM", display.toolkitPlatform);

    // What the program says on stderr keeps its name in front, as the message above does.
    qSetMessagePattern(QStringLiteral("quellex: %{message}"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(QUELLEX_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(QUELLEX_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(QUELLEX_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/artwork/icon.png")));

    quellex::process::SystemProcessQueryService processes;
    const auto windowManager = quellex::forms::toolkitWindowManager();

    quellex::forms::QuellexMain window(processes, *windowManager);
    if (const QString limit = window.stayOnTopLimit(); !limit.isEmpty())
        qCWarning(quellex::lcWindow).noquote() << limit;
    // Qt leaves tool windows out when it decides whether the last window has closed.
    QObject::connect(&window, &quellex::forms::QuellexMain::unloaded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    quellex::forms::SessionEnd sessionEnd(window);
    window.show();
    // A new window of an application is not always made active (utility windows, or a window manager
    // that prevents focus stealing): ask for it, as the application whose window it is.
    window.activateWindow();
    return app.exec();
}
