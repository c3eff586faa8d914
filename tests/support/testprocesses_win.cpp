// TestProcesses on Windows: the children are held by their process handles, so a pid seen here can
// never name a process this test did not start.
#include "tests/support/testprocesses.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <stdexcept>
#include <windows.h>

namespace quellex::test {

TestProcesses::TestProcesses(const QString &imageName)
    : m_imageName(imageName.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive) ? imageName
                                                                                 : imageName + ".exe")
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    m_path = QDir::toNativeSeparators(m_dir.filePath(m_imageName));
    const QString idle = QCoreApplication::applicationDirPath() + QStringLiteral("/" QUELLEX_TEST_IDLE);
    if (!QFile::copy(idle, m_path))
        throw std::runtime_error("cannot copy the idle program to " + m_path.toStdString());
}

TestProcesses::~TestProcesses()
{
    for (void *handle : m_handles) {
        TerminateProcess(handle, 1);
        WaitForSingleObject(handle, 5000);
        CloseHandle(handle);
    }
}

namespace {
HANDLE startIdle(const QString &path, const QString &parentPid)
{
    QString commandLine = u'"' + path + QStringLiteral("\" ") + parentPid;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(reinterpret_cast<const wchar_t *>(path.utf16()),
                        reinterpret_cast<wchar_t *>(commandLine.data()), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info))
        throw std::runtime_error("cannot start " + path.toStdString());
    CloseHandle(info.hThread);
    return info.hProcess;
}
} // namespace

pid_t TestProcesses::start()
{
    HANDLE process = startIdle(m_path, QString::number(GetCurrentProcessId()));
    m_handles.push_back(process);
    m_children.push_back(pid_t(GetProcessId(process)));
    return m_children.back();
}

pid_t TestProcesses::startZombie()
{
    // A parent pid that is not ours makes the idle program return at once; the open handle keeps
    // the exited process and its pid.
    HANDLE process = startIdle(m_path, QStringLiteral("1"));
    WaitForSingleObject(process, INFINITE);
    m_handles.push_back(process);
    m_children.push_back(pid_t(GetProcessId(process)));
    return m_children.back();
}

bool TestProcesses::isRunning(pid_t pid)
{
    auto it = std::find(m_children.begin(), m_children.end(), pid);
    if (it == m_children.end())
        return false;
    const auto index = it - m_children.begin();
    HANDLE process = m_handles[std::size_t(index)];
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
        CloseHandle(process);
        m_handles.erase(m_handles.begin() + index);
        m_children.erase(it);
        return false;
    }
    return true;
}

} // namespace quellex::test
