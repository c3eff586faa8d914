#include "process/systemprocessqueryservice.h"
#include "tests/support/testprocesses.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#ifdef Q_OS_LINUX
#include <grp.h>
#include <unistd.h>
#endif

using namespace quellex;
using namespace quellex::process;
using quellex::test::runSelf;
using quellex::test::TestProcesses;
using quellex::test::uniqueProcessName;

namespace {

constexpr int kWait = 10000;

#ifdef QUELLEX_REAL_PROCESSES
#define REQUIRE_REAL_PROCESSES()
#else
#define REQUIRE_REAL_PROCESSES() QSKIP("the platform of this build has no real processes")
#endif

// Asks both questions about the name, as nobody when told: prints each error, and what the
// termination found and could not end.
int askAbout(const char *name, [[maybe_unused]] bool asNobody)
{
#ifdef Q_OS_LINUX
    if (asNobody && !test::becomeUser(65534))
        return 3;
#endif
    SystemProcessQueryService service;
    try {
        service.IsProcessRunning(QString::fromUtf8(name));
    } catch (const ProcessQueryError &error) {
        std::printf("%s\n", error.what());
    }
    try {
        const TerminationReport report = service.TerminateProcesses(QString::fromUtf8(name));
        std::printf("found=%d", report.found);
        if (report.refused != 0)
            std::printf(" refused=%d: %s", report.refused, qPrintable(report.reason));
    } catch (const ProcessQueryError &error) {
        std::printf("%s", error.what());
    }
    return 0;
}

} // namespace

class TestProcessQueryService : public QObject
{
    Q_OBJECT

private slots:
    void realProcessesAreSeenAndEndedTogether();
    void ownProcessIsSpared();
    void refusalsAndFailuresAreReported();
    void checksOfOnePassShareOneWalk();
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

    QCOMPARE(runSelf({copy, QStringLiteral("--ask"), name}), QStringLiteral("found=2"));
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
    QCOMPARE(runSelf({self, QStringLiteral("--ask-as-nobody"), name}),
             QStringLiteral("found=2 refused=2: access denied"));
    QCOMPARE(processes.runningCount(), 2);

    // A PID namespace of its own that still sees its parent's /proc.
    QCOMPARE(runSelf({QStringLiteral("unshare"), QStringLiteral("--pid"), QStringLiteral("--fork"),
                      QStringLiteral("--kill-child"), self, QStringLiteral("--ask"), name}),
             QStringLiteral("cannot check whether \"%1\" runs: /proc belongs to another PID namespace\n"
                            "cannot terminate \"%1\": /proc belongs to another PID namespace")
                 .arg(name));
    QCOMPARE(processes.runningCount(), 2);
#else
    QSKIP("refusals are made by another user's processes, failures by a foreign /proc");
#endif
}

void TestProcessQueryService::checksOfOnePassShareOneWalk()
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

int main(int argc, char **argv)
{
    if (argc == 3 && (qstrcmp(argv[1], "--ask") == 0 || qstrcmp(argv[1], "--ask-as-nobody") == 0))
        return askAbout(argv[2], qstrcmp(argv[1], "--ask-as-nobody") == 0);
    QCoreApplication app(argc, argv);
    TestProcessQueryService test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_processqueryservice.moc"
