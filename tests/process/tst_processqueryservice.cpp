#include "process/systemprocessqueryservice.h"
#include "tests/support/childmode.h"
#include "tests/support/testprocesses.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#ifdef Q_OS_LINUX
#include <csignal>
#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace quellex;
using namespace quellex::process;
using namespace quellex::test;

namespace {

constexpr int kWait = 10000;

#ifdef QUELLEX_REAL_PROCESSES
#define REQUIRE_REAL_PROCESSES()
#else
#define REQUIRE_REAL_PROCESSES() QSKIP("the platform of this build has no real processes")
#endif

// Asks both questions about the name: prints each error, and what the termination found and could not
// end.
int askAbout(const QStringList &arguments)
{
    const QString name = arguments.value(0);
    SystemProcessQueryService service;
    try {
        service.IsProcessRunning(name);
    } catch (const ProcessQueryError &error) {
        std::printf("%s\n", error.what());
    }
    try {
        const TerminationReport report = service.TerminateProcesses(name);
        std::printf("found=%d", report.found);
        if (report.refused != 0)
            std::printf(" refused=%d: %s", report.refused, qPrintable(report.reason));
    } catch (const ProcessQueryError &error) {
        std::printf("%s", error.what());
    }
    return 0;
}

#ifdef Q_OS_LINUX
// Runs the "ask" child about the name in a copy of this test that stops as it is about to send its
// first signal; pid is ended and reaped there, so that it is gone between the search and the signal.
// What the copy printed.
QString askWhileItVanishes(const QString &name, TestProcesses &processes, pid_t pid)
{
    QList<QByteArray> arguments{QFile::encodeName(QCoreApplication::applicationFilePath())};
    for (const QString &argument : childArguments(QStringLiteral("ask"), {name}))
        arguments << argument.toUtf8();
    std::vector<char *> argv;
    for (QByteArray &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    int output[2];
    if (::pipe2(output, O_CLOEXEC) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(output[1]);
    int status = 0;
    ::waitpid(child, &status, 0); // stopped at its exec
    ::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    for (int signal = 0; ::ptrace(PTRACE_SYSCALL, child, nullptr, signal) == 0;) {
        if (::waitpid(child, &status, 0) != child || !WIFSTOPPED(status))
            break;
        const bool atCall = WSTOPSIG(status) == (SIGTRAP | 0x80);
        signal = atCall || WSTOPSIG(status) == SIGTRAP ? 0 : WSTOPSIG(status);
        __ptrace_syscall_info call{};
        if (atCall && ::ptrace(PTRACE_GET_SYSCALL_INFO, child, sizeof call, &call) > 0 &&
            call.op == PTRACE_SYSCALL_INFO_ENTRY &&
            (call.entry.nr == SYS_pidfd_send_signal || call.entry.nr == SYS_kill)) {
            ::kill(pid, SIGKILL);
            processes.waitForExit(pid, kWait);
            // Left to run to its end untraced, where a leak check may trace it itself.
            ::ptrace(PTRACE_DETACH, child, nullptr, 0);
            ::waitpid(child, &status, 0);
            break;
        }
    }
    QFile printed;
    printed.open(output[0], QIODevice::ReadOnly, QFile::AutoCloseHandle);
    return QString::fromUtf8(printed.readAll());
}
#endif

} // namespace

class TestProcessQueryService : public QObject
{
    Q_OBJECT

private slots:
    void realProcessesAreSeenAndEndedTogether()
    {
        REQUIRE_REAL_PROCESSES();
        // Quote and backslash in the name: escaped into the query and matched as they are.
#ifdef Q_OS_WIN
        // No backslash in a Windows file name, and Wine's query language has no escapes; the image name
        // there carries its ".exe".
        TestProcesses processes(uniqueProcessName(QStringLiteral("qx")));
        const QString shouted = processes.imageName().toUpper();
#else
        TestProcesses processes(uniqueProcessName(QStringLiteral("qx'\\")));
        const QString shouted = processes.imageName().toUpper() + ".Exe";
#endif
        const QString name = processes.imageName();
        SystemProcessQueryService service;

        QVERIFY(!service.IsProcessRunning(name));
        processes.start(3);
        QVERIFY(service.IsProcessRunning(name));
        QVERIFY(!service.IsProcessRunning(name + " "));
        QVERIFY(!service.IsProcessRunning(QString()));
        service.TerminateProcesses(QString());
        QCOMPARE(processes.runningCount(), 3);

        const TerminationReport report = service.TerminateProcesses(shouted);
        QVERIFY(processes.waitForAllExited(kWait));
        QCOMPARE(report.name, shouted);
        QCOMPARE(report.found, 3);
        QCOMPARE(report.refused, 0);
        QVERIFY(!service.IsProcessRunning(name));
    }

    void ownProcessIsSpared()
    {
        REQUIRE_REAL_PROCESSES();
        // A copy of this test under a name of its own, alongside two other processes of that name.
        QString name = uniqueProcessName(QStringLiteral("qxSelf"));
#ifdef Q_OS_WIN
        name += QStringLiteral(".exe");
#endif
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString copy = dir.filePath(name);
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
        QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner));
        TestProcesses others(name);
        others.start(2);

        QCOMPARE(runChild(QStringLiteral("ask"), {name}, {.program = copy}), QStringLiteral("found=2"));
        QVERIFY(others.waitForAllExited(kWait));
    }

    void refusalsAndFailuresAreReported()
    {
#ifdef Q_OS_LINUX
        if (::geteuid() != 0)
            QSKIP("needs root: processes of root are ended as nobody, and /proc is looked at from a PID "
                  "namespace");
        TestProcesses processes(uniqueProcessName(QStringLiteral("qxRefuse")));
        processes.start(2);
        const QString name = processes.imageName();
        QCOMPARE(runChild(QStringLiteral("ask"), {name}, {.user = test::kNobody}),
                 QStringLiteral("found=2 refused=2: access denied"));
        QCOMPARE(processes.runningCount(), 2);

        // A PID namespace of its own that still sees its parent's /proc.
        QCOMPARE(runChild(QStringLiteral("ask"), {name},
                          {.wrapper =
                           { "unshare",
                             "--pid",
                             "--fork",
                             "--kill-child" }}),
                 QStringLiteral("cannot check whether \"%1\" runs: /proc belongs to another PID namespace\n"
                                "cannot terminate \"%1\": /proc belongs to another PID namespace")
                     .arg(name));
        QCOMPARE(processes.runningCount(), 2);
#else
        QSKIP("refusals are made by another user's processes, failures by a foreign /proc");
#endif
    }

    void processGoneBeforeItsSignalIsNoRefusal()
    {
#ifdef Q_OS_LINUX
        TestProcesses processes(uniqueProcessName(QStringLiteral("qxGone")));
        const pid_t pid = processes.start();
        QCOMPARE(askWhileItVanishes(processes.imageName(), processes, pid), QStringLiteral("found=1"));
        QVERIFY(!processes.isRunning(pid));
#else
        QSKIP("stops the service between its search and its signal through ptrace");
#endif
    }

    void checksOfOnePassShareOneWalk()
    {
#ifdef Q_OS_LINUX
        TestProcesses watched(uniqueProcessName(QStringLiteral("qxPass")));
        TestProcesses ended(uniqueProcessName(QStringLiteral("qxPassEnd")));
        const QString name = watched.imageName();
        SystemProcessQueryService service;
        bool before = true, sameTick = true, nextTick = false;
        TerminationReport report;
        QEventLoop loop;
        // Two ticks of the event loop, as the watchers' timers make them.
        QTimer::singleShot(0, &loop, [&] {
            before = service.IsProcessRunning(name);
            watched.start();
            ended.start();
            // Answered from the walk its tick has made already, unlike the termination.
            sameTick = service.IsProcessRunning(name);
            report = service.TerminateProcesses(ended.imageName());
            QTimer::singleShot(10, &loop, [&] {
                nextTick = service.IsProcessRunning(name);
                loop.quit();
            });
        });
        loop.exec();
        QVERIFY(!before);
        QVERIFY(!sameTick);
        QCOMPARE(report.found, 1);
        QVERIFY(nextTick);
#else
        QSKIP("elsewhere every check asks the platform's service afresh");
#endif
    }
};

QUELLEX_TEST_MAIN(TestProcessQueryService, nullptr, {"ask", askAbout})
#include "tst_processqueryservice.moc"
