#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <sys/types.h>
#include <vector>

namespace quellex::test {

// An image name that no other process on this machine has: stem, then random hex digits up to length
// bytes in all (at least 8 random digits).
QString uniqueProcessName(const QString &stem = QStringLiteral("qx"), int length = 14);

// Processes of one image name, started by this test and by nothing else: copies of a small idle
// program under that name (on Windows the name ends in ".exe", which is added when missing). Only
// these processes are ever signalled here; whatever is left runs until the destructor ends it.
class TestProcesses
{
public:
    explicit TestProcesses(const QString &imageName);
    ~TestProcesses();
    Q_DISABLE_COPY(TestProcesses)

    QString imageName() const { return m_imageName; }
    QString executablePath() const { return m_path; }

    pid_t start();
    std::vector<pid_t> start(int count);
    // A child that has exited and is left unreaped.
    pid_t startZombie();

    // Whether pid (one of ours) still runs; a process that exited is reaped here.
    bool isRunning(pid_t pid);
    int runningCount();
    bool waitForExit(pid_t pid, int timeoutMs);
    bool waitForAllExited(int timeoutMs);

private:
    QTemporaryDir m_dir;
    QString m_imageName;
    QString m_path;
    std::vector<pid_t> m_children;
#ifdef _WIN32
    std::vector<void *> m_handles; // one a child, open until it is reaped: the pid stays its own
#endif
};

} // namespace quellex::test
