// The /proc service against processes that hide or pose: each is found under the name of the file it
// runs, and ended, however it was started.
#include "tests/process/procfsharness.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <stdexcept>

using namespace quellex;
using namespace quellex::platform;
using namespace quellex::test;

namespace {

// Gives processes a program other than the idle one, under the same unique name.
void useProgram(const TestProcesses &processes, const char *program)
{
    const QString path = processes.executablePath();
    if (!QFile::remove(path) || !QFile::copy(QString::fromUtf8(program), path))
        throw std::runtime_error("cannot copy " + std::string(program));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QByteArray procEntry(qint64 pid, const char *entry)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QString::fromLatin1(entry)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Finds the one process of the name, ends it, and reports whether that went well.
void findAndEnd(const QString &name, pid_t pid)
{
    const ProcessList found = query(name);
    QCOMPARE(pidsOf(found), std::vector<pid_t>{pid});
    QCOMPARE(found.front()->Terminate(), TerminateResult::Success);
}

// Runs the idle program as name, with argv0 as its argv[0], at a path longer than a page: past what
// one system call takes, so its executable link cannot be read and its name is the one it records.
void startDeep(QProcess &deep, const QTemporaryDir &root, const QString &name, const QString &argv0)
{
    deep.setWorkingDirectory(root.path());
    deep.start("sh", {"-c",
                      "for i in $(seq 24); do mkdir \"$1\" && cd -P \"$1\" || exit; done; "
                      "cp \"$2\" \"$3\" && exec perl -e 'exec {shift} @ARGV' \"./$3\" \"$5\" \"$4\"",
                      "sh", QString(200, 'd'), QStringLiteral(QUELLEX_TEST_IDLE), name,
                      QString::number(::getpid()), argv0});
    QTRY_COMPARE(procEntry(deep.processId(), "comm"), name.left(15).toUtf8() + '\n');
}

} // namespace

class TestProcfsHiding : public QObject
{
    Q_OBJECT

private slots:
    void exitedLeaderIsFoundAndEnded()
    {
        TestProcesses processes(uniqueProcessName(QStringLiteral("qxLeader")));
        useProgram(processes, QUELLEX_TEST_THREAD_ONLY);
        const pid_t pid = processes.start();
        QTRY_VERIFY(procEntry(pid, "stat").contains(") Z "));
        findAndEnd(processes.imageName(), pid);
        QVERIFY(processes.waitForExit(pid, kWait));
    }

    void longPathIsFoundAndEnded()
    {
        // Longer than the kernel keeps of a name, so it is also completed from argv[0].
        const QString name = uniqueProcessName(QStringLiteral("qxDeep"), 20);
        QTemporaryDir root;
        const auto removeRoot = qScopeGuard([&] { QProcess::execute("rm", {"-rf", root.path()}); });
        QProcess deep;
        startDeep(deep, root, name, "./" + name);
        findAndEnd(name, pid_t(deep.processId()));
        QVERIFY(deep.waitForFinished(kWait));
    }

    void foreignArgv0CompletesNothing()
    {
        // A name the kernel keeps whole: an argv[0] that does not begin with it names nothing.
        const QString name = uniqueProcessName(QStringLiteral("qxWhole"), 15);
        QTemporaryDir root;
        const auto removeRoot = qScopeGuard([&] { QProcess::execute("rm", {"-rf", root.path()}); });
        QProcess deep;
        startDeep(deep, root, name, uniqueProcessName(QStringLiteral("qxOther"), 20));
        findAndEnd(name.toUpper(), pid_t(deep.processId()));
        QVERIFY(deep.waitForFinished(kWait));
    }

    void deletedInTheFileNameIsKept()
    {
        const QString base = uniqueProcessName(QStringLiteral("qxDel"));
        TestProcesses processes(base + QStringLiteral(" (deleted)"));
        const pid_t pid = processes.start();
        QCOMPARE(query(base).size(), 0u);
        QCOMPARE(pidsOf(query(processes.imageName())), std::vector<pid_t>{pid});

        // Removed now: the kernel's mark comes on top of the name, and only the mark goes.
        QVERIFY(QFile::remove(processes.executablePath()));
        QCOMPARE(query(base).size(), 0u);
        findAndEnd(processes.imageName(), pid);
        QVERIFY(processes.waitForExit(pid, kWait));
    }

    void posingProcessIsNotEndedByItsClaim()
    {
        if (::geteuid() != 0)
            QSKIP("needs root: only CAP_SYS_PTRACE reads the executable link of a non-dumpable process");
        TestProcesses processes(uniqueProcessName(QStringLiteral("qxReal")));
        useProgram(processes, QUELLEX_TEST_POSING);
        const QString claim = uniqueProcessName(QStringLiteral("qxClaim"));
        qputenv("QUELLEX_TEST_POSE_AS", claim.toUtf8());
        const pid_t pid = processes.start();
        qunsetenv("QUELLEX_TEST_POSE_AS");
        QTRY_COMPARE(procEntry(pid, "comm"), claim.toUtf8() + '\n');

        QCOMPARE(query(claim).size(), 0u);
        findAndEnd(processes.imageName(), pid);
        QVERIFY(processes.waitForExit(pid, kWait));
    }
};

QUELLEX_TEST_MAIN(TestProcfsHiding, enterOwnPidNamespace)
#include "tst_procfshiding.moc"
