#include "process/managementprocessqueryservice.h"
#include "tests/support/testprocesses.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#ifdef Q_OS_LINUX
#include <grp.h>
#include <unistd.h>
#endif

using namespace quellex;
using namespace quellex::process;
using quellex::test::TestProcesses;
using quellex::test::uniqueProcessName;

namespace {

constexpr int kWait = 10000;

#ifdef QUELLEX_REAL_PROCESSES
#define REQUIRE_REAL_PROCESSES()
#else
#define REQUIRE_REAL_PROCESSES() QSKIP("the platform of this build has no real processes")
#endif

// Ends every process of the name, then prints what the report says.
int terminateAndReport(const char *name)
{
    const TerminationReport report =
        ManagementProcessQueryService().TerminateProcesses(QString::fromUtf8(name));
    std::printf("found=%d", report.found);
    if (report.refused != 0)
        std::printf(" refused=%d: %s", report.refused, qPrintable(report.reason));
    std::printf("\n");
    return 0;
}

#ifdef Q_OS_LINUX
// As the unprivileged user "nobody".
int terminateAsNobody(const char *name)
{
    if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
        ::setresuid(65534, 65534, 65534) != 0)
        return 3;
    return terminateAndReport(name);
}

// Both questions' errors, one a line.
int printErrors(const char *name)
{
    ManagementProcessQueryService service;
    try {
        service.IsProcessRunning(QString::fromUtf8(name));
    } catch (const ProcessQueryError &error) {
        std::printf("%s\n", error.what());
    }
    try {
        service.TerminateProcesses(QString::fromUtf8(name));
    } catch (const ProcessQueryError &error) {
        std::printf("%s\n", error.what());
    }
    return 0;
}
#endif

QString runSelf(const QStringList &command)
{
    QProcess child;
    child.setWorkingDirectory(QCoreApplication::applicationDirPath()); // where Windows finds the DLLs
    child.start(command.first(), command.mid(1));
    if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("crashed");
    if (child.exitCode() != 0)
        return QStringLiteral("exit code %1").arg(child.exitCode());
    return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
}

} // namespace

class TestProcessQueryService : public QObject
{
    Q_OBJECT

private slots:
    void realProcessesAreSeenAndEndedTogether();
    void ownProcessIsSpared();
    void refusalsAndFailuresAreReported();
};

void TestProcessQueryService::realProcessesAreSeenAndEndedTogether()
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
    ManagementProcessQueryService service;

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

void TestProcessQueryService::ownProcessIsSpared()
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

    QCOMPARE(runSelf({copy, QStringLiteral("--terminate"), name}), QStringLiteral("found=2"));
    QVERIFY(others.waitForAllExited(kWait));
}

void TestProcessQueryService::refusalsAndFailuresAreReported()
{
#ifdef Q_OS_LINUX
    if (::geteuid() != 0)
        QSKIP(
            "needs root: processes of root are ended as nobody, and /proc is looked at from a PID namespace");
    TestProcesses processes(uniqueProcessName(QStringLiteral("qxRefuse")));
    processes.start(2);
    const QString self = QCoreApplication::applicationFilePath();
    const QString name = processes.imageName();
    QCOMPARE(runSelf({self, QStringLiteral("--terminate-as-nobody"), name}),
             QStringLiteral("found=2 refused=2: access denied"));
    QCOMPARE(processes.runningCount(), 2);

    // A PID namespace of its own that still sees its parent's /proc.
    QCOMPARE(runSelf({QStringLiteral("unshare"), QStringLiteral("--pid"), QStringLiteral("--fork"),
                      QStringLiteral("--kill-child"), self, QStringLiteral("--errors"), name}),
             QStringLiteral("cannot check whether \"%1\" runs: /proc belongs to another PID namespace\n"
                            "cannot terminate \"%1\": /proc belongs to another PID namespace")
                 .arg(name));
    QCOMPARE(processes.runningCount(), 2);
#else
    QSKIP("refusals are made by another user's processes, failures by a foreign /proc");
#endif
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--terminate") == 0)
        return terminateAndReport(argv[2]);
#ifdef Q_OS_LINUX
    if (argc == 3 && qstrcmp(argv[1], "--terminate-as-nobody") == 0)
        return terminateAsNobody(argv[2]);
    if (argc == 3 && qstrcmp(argv[1], "--errors") == 0)
        return printErrors(argv[2]);
#endif
    QCoreApplication app(argc, argv);
    TestProcessQueryService test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_processqueryservice.moc"
