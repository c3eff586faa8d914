// How the /proc service's signal travels: never to a process that a /proc of another PID namespace
// merely numbers alike, and by number only, after the same checks, where the kernel cannot signal
// through a handle.
#include "platform/linux/procfsprocess.h"
#include "tests/process/procfsharness.h"

#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>

using namespace quellex;
using namespace quellex::platform;
using namespace quellex::test;

namespace {

// Runs in a PID namespace of its own whose /proc is still its parent's, where the target runs with
// the pid given. ns_last_pid makes a decoy of another name take that number here: a service that
// signalled by number would end the decoy. Both namespaces are the test's, so nothing else can be hit.
int queryForeignProc(const QStringList &target)
{
    const QString name = target.value(0);
    const pid_t shown = pid_t(target.value(1).toLong());
    QFile lastPid(QStringLiteral("/proc/sys/kernel/ns_last_pid"));
    if (shown < 2 || !lastPid.open(QIODevice::WriteOnly) || lastPid.write(QByteArray::number(shown - 1)) <= 0)
        return 3;
    lastPid.close();
    TestProcesses decoy(uniqueProcessName(QStringLiteral("qxDecoy")));
    if (decoy.start() != shown)
        return 4;

    QString error;
    try {
        query(name);
    } catch (const ProcessListError &e) {
        error = QString::fromUtf8(e.what());
    }
    // Past the query's own check, the kernel refuses the signal.
    auto procDir = std::make_shared<const UniqueFd>(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const TerminateResult result = ProcfsProcess(procDir, shown, name.toStdString()).Terminate();
    const bool decoyEnded = decoy.waitForExit(shown, 300);
    std::printf("%s;%d;%s\n", qPrintable(error), int(result), decoyEnded ? "decoy ended" : "decoy runs");
    return 0;
}

// As on a kernel before 5.1: a seccomp filter answers pidfd_send_signal with ENOSYS. For each process
// found (one of them exited but not reaped), Terminate's result, and again once all are gone.
int terminateWithoutPidfd(const QStringList &)
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_pidfd_send_signal, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{sizeof filter / sizeof *filter, filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
        return 3;

    TestProcesses processes(uniqueProcessName(QStringLiteral("qxNoPidfd")));
    const pid_t stale = processes.start();
    processes.start(2);
    const ProcessList found = query(processes.imageName());
    ::kill(stale, SIGKILL);
    siginfo_t info{};
    ::waitid(P_PID, id_t(stale), &info, WEXITED | WNOWAIT);
    QStringList results;
    for (const auto &process : found)
        results << QString::number(int(process->Terminate()));
    processes.waitForAllExited(kWait);
    for (const auto &process : found)
        results << QString::number(int(process->Terminate()));
    results.sort();
    std::printf("%s;%d\n", qPrintable(results.join(',')), processes.runningCount());
    return 0;
}

// Asks a process object made for this very process, under its true name, to end it.
int terminateSelf(const QStringList &ownName)
{
    const std::string name = ownName.value(0).toStdString();
    auto procDir = std::make_shared<const UniqueFd>(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::printf("%d\n", int(ProcfsProcess(procDir, ::getpid(), name).Terminate()));
    return 0;
}

} // namespace

class TestProcfsSignalling : public QObject
{
    Q_OBJECT

private slots:
    void foreignProcEndsNothing()
    {
        if (!qEnvironmentVariableIsSet(kOwnPidNamespace))
            QSKIP("needs root: runs in PID namespaces of its own");
        TestProcesses target(uniqueProcessName(QStringLiteral("qxTarget")));
        const pid_t pid = target.start();
        const QString result = runChild("foreign-proc", {target.imageName(), QString::number(pid)},
                                        {.wrapper = {"unshare", "--pid", "--fork", "--kill-child"}});
        QCOMPARE(result, QStringLiteral("/proc belongs to another PID namespace;%1;decoy runs")
                             .arg(int(TerminateResult::UnknownFailure)));
        QVERIFY(target.isRunning(pid));
    }

    void fallbackWithoutPidfd()
    {
        const QString result = runChild("without-pidfd");
        // Two ended, the unreaped one no longer that program, then all three gone; nothing left running.
        QCOMPARE(result, QStringLiteral("0,0,9,9,9,9;0"));
    }

    void ownProcessIsRefused()
    {
        QCOMPARE(runChild("end-self", {QFileInfo(QCoreApplication::applicationFilePath()).fileName()}),
                 QString::number(int(TerminateResult::AccessDenied)));
    }
};

QUELLEX_TEST_MAIN(TestProcfsSignalling, enterOwnPidNamespace, {"end-self", terminateSelf},
                  {"foreign-proc", queryForeignProc}, {"without-pidfd", terminateWithoutPidfd})
#include "tst_procfssignalling.moc"
