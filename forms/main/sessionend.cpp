#include "forms/main/sessionend.h"

#include "forms/common/toolkitdisplay.h"
#include "forms/main/quellexmain.h"
#include "settings/settings.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QThread>
#ifndef _WIN32
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quellex::forms {

namespace {

// Qt's message handler is a plain function: this is how it finds the instance.
SessionEnd *s_instance = nullptr;

#ifndef _WIN32
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// Only write() is safe in a signal handler, and it needs the pipe's end where it can reach it; the GUI
// thread reads the pipe and does the rest. A second signal during the save only queues another byte.
volatile sig_atomic_t s_signalFd = -1;

extern "C" void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(s_signalFd, &byte, 1);
    errno = savedErrno;
}
#endif

} // namespace

SessionEnd::SessionEnd(QuellexMain &main)
    : m_main(main)
{
    s_instance = this;
    m_previousHandler = qInstallMessageHandler(onMessage);
    connect(qApp, &QGuiApplication::commitDataRequest, &main, &QuellexMain::saveState);
    connect(qApp, &QCoreApplication::aboutToQuit, &main, &QuellexMain::unload);

#ifndef _WIN32
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    s_signalFd = m_pipe[1];
    auto *notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(m_pipe[0], bytes, sizeof bytes) > 0) {
        }
        end();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : kSignals)
        ::sigaction(signalNumber, &action, nullptr);
#endif
}

SessionEnd::~SessionEnd()
{
    qInstallMessageHandler(m_previousHandler);
    s_instance = nullptr;
#ifndef _WIN32
    for (const int signalNumber : kSignals)
        ::signal(signalNumber, SIG_DFL);
    s_signalFd = -1;
    for (const int fd : m_pipe)
        if (fd >= 0)
            ::close(fd);
#endif
}

void SessionEnd::end()
{
    // Closing a modal window ends its own event loop only once control returns there, so the main
    // window is closed from here too, right after it; both save in one replace of the file.
    const settings::WriteBatch batch;
    while (QWidget *modal = QApplication::activeModalWidget()) {
        if (modal == &m_main || !modal->close())
            break;
    }
    m_main.close();
}

// When its X connection breaks, Qt says so and calls exit() at once. That message is the last moment at
// which everything is still alive: an exit hook would run only after whatever was created since it was
// registered, QSettings' globals among them, had been destroyed.
void SessionEnd::onMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    SessionEnd *self = s_instance;
    if (!self)
        return;
    self->m_previousHandler(type, context, message);
    if (QThread::currentThread() == self->thread() && toolkitDisplayLost())
        self->m_main.unload();
}

} // namespace quellex::forms
