#include "tests/support/testprocesses.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <stdexcept>
#ifndef _WIN32
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;
#endif

namespace quellex::test {

QString uniqueProcessName(const QString &stem, int length)
{
    QString name = stem;
    auto *random = QRandomGenerator::system();
    const int digits = std::max(8, length - int(stem.toUtf8().size()));
    for (int i = 0; i < digits; ++i)
        name += QString::number(random->bounded(16), 16);
    return name;
}

#ifndef _WIN32
TestProcesses::TestProcesses(const QString &imageName)
    : m_imageName(imageName)
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    m_path = m_dir.filePath(imageName);
    if (!QFile::copy(QStringLiteral(QUELLEX_TEST_IDLE), m_path))
        throw std::runtime_error("cannot copy the idle program to " + m_path.toStdString());
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TestProcesses::~TestProcesses()
{
    for (pid_t pid : m_children) {
        // Never reaped yet, so the pid is still this child's and cannot name anything else.
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

namespace {
// The idle program at path, told the pid of its parent: it waits while that is so, and returns at once
// otherwise.
pid_t startIdle(const QString &path, const QByteArray &parent)
{
    const QByteArray file = QFile::encodeName(path);
    char *argv[] = {const_cast<char *>(file.constData()), const_cast<char *>(parent.constData()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, file.constData(), nullptr, nullptr, argv, environ) != 0)
        throw std::runtime_error("cannot start " + file.toStdString());
    return pid;
}
} // namespace

pid_t TestProcesses::start()
{
    m_children.push_back(startIdle(m_path, QByteArray::number(::getpid())));
    return m_children.back();
}

pid_t TestProcesses::startZombie()
{
    // A parent pid that is not ours makes the idle program return at once.
    const pid_t pid = startIdle(m_path, "1");
    m_children.push_back(pid);
    siginfo_t info{};
    ::waitid(P_PID, id_t(pid), &info, WEXITED | WNOWAIT);
    return pid;
}

bool TestProcesses::isRunning(pid_t pid)
{
    auto it = std::find(m_children.begin(), m_children.end(), pid);
    if (it == m_children.end())
        return false;
    if (::waitpid(pid, nullptr, WNOHANG) == pid) {
        m_children.erase(it);
        return false;
    }
    return true;
}

#endif

std::vector<pid_t> TestProcesses::start(int count)
{
    std::vector<pid_t> pids;
    for (int i = 0; i < count; ++i)
        pids.push_back(start());
    return pids;
}

int TestProcesses::runningCount()
{
    const std::vector<pid_t> children = m_children;
    return int(std::count_if(children.begin(), children.end(), [this](pid_t pid) { return isRunning(pid); }));
}

bool TestProcesses::waitForExit(pid_t pid, int timeoutMs)
{
    return QTest::qWaitFor([&] { return !isRunning(pid); }, timeoutMs);
}

bool TestProcesses::waitForAllExited(int timeoutMs)
{
    return QTest::qWaitFor([&] { return runningCount() == 0; }, timeoutMs);
}

} // namespace quellex::test
