#pragma once

#include "platform/linux/procfsprocess.h"
#include "tests/support/childmode.h"
#include "tests/support/testprocesses.h"

#include <QFile>
#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <cstdlib>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

// What the /proc service's tests share: searches as the running check makes them, and their pids in
// order.
namespace quellex::test {

inline constexpr int kWait = 10000;

inline std::vector<pid_t> sorted(std::vector<pid_t> pids)
{
    std::sort(pids.begin(), pids.end());
    return pids;
}

inline std::vector<pid_t> pidsOf(const platform::ProcessList &processes)
{
    std::vector<pid_t> pids;
    for (const auto &process : processes)
        pids.push_back(static_cast<const platform::ProcfsProcess &>(*process).pid());
    return sorted(pids);
}

inline platform::ProcessList query(const QString &name)
{
    return platform::findProcesses(name, platform::ProcessQuery::RunningCheck);
}

inline constexpr char kOwnPidNamespace[] = "QUELLEX_TEST_OWN_PID_NAMESPACE";

// Where root may make one, restarts the test in a PID namespace of its own with its own /proc, so
// that even a fault could reach only processes it started. A shell is pid 1 there: the test stays an
// ordinary process, and its orphans are reaped. Returns where it cannot.
inline void enterOwnPidNamespace(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(kOwnPidNamespace) || ::geteuid() != 0 ||
        std::system("unshare --pid --fork --mount-proc true") != 0)
        return;
    qputenv(kOwnPidNamespace, "1");
    std::vector<char *> command;
    for (const char *word :
         {"unshare", "--pid", "--fork", "--mount-proc", "--kill-child", "sh", "-c", "\"$@\"; exit $?", "sh"})
        command.push_back(const_cast<char *>(word));
    command.insert(command.end(), argv, argv + argc);
    command.push_back(nullptr);
    ::execvp("unshare", command.data());
}

} // namespace quellex::test
