#include "forms/common/sessionend.h"

#include <QApplication>
#include <QEvent>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QWidget>
#include <cstdlib>
#ifndef _WIN32
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quellex::forms {

namespace {

SessionEnd *s_instance = nullptr;

#ifndef _WIN32
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int s_pipe[2] = {-1, -1};

// Only write() is safe in a signal handler; the GUI thread reads the pipe and does the rest.
// The handler stays installed, so a second signal during the save only queues another byte.
extern "C" void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &byte, 1);
    errno = savedErrno;
}
#endif

} // namespace

SessionEnd::SessionEnd(QWidget &mainWindow, std::function<void()> saveNow)
    : m_main(&mainWindow)
    , m_saveNow(std::move(saveNow))
{
    s_instance = this;
    mainWindow.installEventFilter(this);

#ifndef _WIN32
    if (s_pipe[0] < 0 && ::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        s_pipe[0] = s_pipe[1] = -1;
    if (s_pipe[0] >= 0) {
        auto *notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            char bytes[16];
            while (::read(s_pipe[0], bytes, sizeof bytes) > 0) {
            }
            end();
        });
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signalNumber : kSignals)
            ::sigaction(signalNumber, &action, nullptr);
    }
#endif

    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &) {
        if (!m_closed && m_saveNow)
            m_saveNow();
    });
    connect(qApp, &QCoreApplication::aboutToQuit, this, &SessionEnd::saveUnlessClosed);

    static const bool registered = std::atexit(saveAtExit) == 0;
    (void)registered;
}

SessionEnd::~SessionEnd()
{
    if (s_instance == this)
        s_instance = nullptr;
}

bool SessionEnd::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_main && event->type() == QEvent::Close)
        m_closed = true;
    return false;
}

void SessionEnd::end()
{
    if (m_closed || !m_main)
        return;
    // Closing a modal window ends its own event loop only once control returns there, so the main
    // window is closed from here too, right after it.
    while (QWidget *modal = QApplication::activeModalWidget()) {
        if (modal == m_main || !modal->close())
            break;
    }
    m_main->close();
}

void SessionEnd::saveUnlessClosed()
{
    if (m_closed || !m_saveNow)
        return;
    m_closed = true;
    m_saveNow();
}

// The toolkit exits from inside its event handling when the display connection breaks; the windows
// still exist then, but nothing may reach the display any more.
void SessionEnd::saveAtExit()
{
    if (s_instance)
        s_instance->saveUnlessClosed();
}

} // namespace quellex::forms
