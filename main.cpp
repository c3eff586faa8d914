#include "forms/common/desktoplimits.h"
#include "forms/common/sessionend.h"
#include "forms/common/toolkitdisplay.h"
#include "forms/main/quellexmain.h"
#include "forms/settings/quellexsettings.h"
#include "platform/display.h"
#include "platform/toolkitplatform.h"
#include "process/managementprocessqueryservice.h"
#include "quellexversion.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (const std::string problem = quellex::platform::displayProblem(); !problem.empty()) {
        std::fprintf(stderr,
                     "quellex: %s.\n" QUELLEX_CAPTION
                     " is a desktop program: start it from a desktop session, or on a machine "
                     "without a display under a virtual X server:\n    xvfb-run -a %s\n",
                     problem.c_str(), argv[0]);
        return 1;
    }
#ifndef _WIN32
    if (const char *platform = quellex::platform::preferredToolkitPlatform())
        ::setenv("QT_QPA_PLATFORM", platform, 1);
#endif

    // What the program says on stderr keeps its name in front, as the message above does.
    qSetMessagePattern(QStringLiteral("quellex: %{message}"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(QUELLEX_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(QUELLEX_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(QUELLEX_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/artwork/icon.png")));

    quellex::process::ManagementProcessQueryService processes;
    const auto windowManager = quellex::forms::toolkitWindowManager();
    quellex::forms::noteDesktopLimits(*windowManager);

    quellex::forms::QuellexMain window(processes, *windowManager);
    // Qt leaves tool windows out when it decides whether the last window has closed.
    QObject::connect(&window, &quellex::forms::QuellexMain::unloaded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    quellex::forms::SessionEnd sessionEnd(window, [&window] {
        if (auto *settingsWindow =
                qobject_cast<quellex::forms::QuellexSettings *>(QApplication::activeModalWidget()))
            settingsWindow->Form_Unload();
        window.Form_Unload();
    });
    window.show();
    // A new window of an application is not always made active (utility windows, or a window manager
    // that prevents focus stealing): ask for it, as the application whose window it is.
    window.activateWindow();
    return app.exec();
}
