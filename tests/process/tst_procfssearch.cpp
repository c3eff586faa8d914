#include "platform/linux/procfsnames.h"
#include "tests/process/procfsharness.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>

using namespace quellex;
using namespace quellex::platform;
using namespace quellex::test;

namespace {

// For each name, the query's count, pids and Terminate results.
int queryEach(const QStringList &names)
{
    for (const QString &name : names) {
        const ProcessList processes = query(name);
        QStringList pids, results;
        for (const pid_t pid : pidsOf(processes))
            pids << QString::number(pid);
        for (const auto &process : processes)
            results << QString::number(int(process->Terminate()));
        std::printf("%zu;%s;%s\n", processes.size(), qPrintable(pids.join(',')),
                    qPrintable(results.join(',')));
    }
    return 0;
}

// The name /proc gives a process, read as a query reads it.
QString recordedName(pid_t pid)
{
    const std::optional<std::string> name = imageName(AT_FDCWD, "/proc/" + std::to_string(pid) + '/');
    return name ? QString::fromStdString(*name) : QString();
}

} // namespace

class TestProcfsSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_pair = std::make_unique<TestProcesses>(uniqueProcessName(QStringLiteral("qxPair")));
        m_pairPids = sorted(m_pair->start(2));
    }

    void matchesTheNameInAnyForm_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");

        const QString name = m_pair->imageName();
        QTest::newRow("as is") << name << true;
        QTest::newRow("upper case") << name.toUpper() << true;
        QTest::newRow(".exe") << name + ".exe" << true;
        QTest::newRow("lower case, .EXE") << name.toLower() + ".EXE" << true;
        QTest::newRow("leading blank") << " " + name << false;
        QTest::newRow("trailing blank") << name + " " << false;
        QTest::newRow("one character short") << name.chopped(1) << false;
        QTest::newRow("one character more") << name + "0" << false;
    }

    void matchesTheNameInAnyForm()
    {
        QFETCH(QString, typed);
        QFETCH(bool, found);
        const ProcessList processes = query(typed);
        QCOMPARE(pidsOf(processes), found ? m_pairPids : std::vector<pid_t>());
        for (const pid_t pid : pidsOf(processes))
            QCOMPARE(recordedName(pid), m_pair->imageName());
    }

    void emptyNameSelectsNothing() { QCOMPARE(query(QString()).size(), 0u); }

    void longNameIsMatchedInFull()
    {
        TestProcesses fifteen(uniqueProcessName(QStringLiteral("qxF"), 15));
        TestProcesses sixteen(fifteen.imageName() + "z");
        TestProcesses longer(uniqueProcessName(QStringLiteral("qxLong"), 40));
        const pid_t fifteenPid = fifteen.start();
        const pid_t sixteenPid = sixteen.start();
        const pid_t longPid = longer.start();

        QCOMPARE(pidsOf(query(fifteen.imageName())), std::vector<pid_t>{fifteenPid});
        QCOMPARE(pidsOf(query(sixteen.imageName())), std::vector<pid_t>{sixteenPid});
        QCOMPARE(pidsOf(query(longer.imageName().toUpper() + ".exe")), std::vector<pid_t>{longPid});
        QCOMPARE(query(longer.imageName().left(15)).size(), 0u);
        QCOMPARE(query(longer.imageName().chopped(1) + "-").size(), 0u);
    }

    void zombieIsNotCounted()
    {
        TestProcesses processes(uniqueProcessName(QStringLiteral("qxZombie")));
        const pid_t running = processes.start();
        processes.startZombie();
        QCOMPARE(pidsOf(query(processes.imageName())), std::vector<pid_t>{running});
    }

    void removedExecutableKeepsItsName()
    {
        TestProcesses processes(uniqueProcessName(QStringLiteral("qxGone")));
        const pid_t pid = processes.start();
        QVERIFY(QFile::remove(processes.executablePath()));
        const ProcessList found = query(processes.imageName());
        QCOMPARE(pidsOf(found), std::vector<pid_t>{pid});
        QCOMPARE(recordedName(pid), processes.imageName());
    }

    void quoteAndBackslashInName()
    {
        TestProcesses processes(uniqueProcessName(QStringLiteral("qx'\\")));
        const pid_t pid = processes.start();
        QCOMPARE(pidsOf(query(processes.imageName())), std::vector<pid_t>{pid});
        QCOMPARE(query(QStringLiteral("qx")).size(), 0u);
    }

    void terminateEndsEveryProcessOfTheName()
    {
        TestProcesses processes(uniqueProcessName(QStringLiteral("qxEnd")));
        const std::vector<pid_t> pids = sorted(processes.start(3));
        const ProcessList found = query(processes.imageName());
        QCOMPARE(pidsOf(found), pids);
        for (const auto &process : found)
            QCOMPARE(process->Terminate(), TerminateResult::Success);
        QVERIFY(processes.waitForAllExited(kWait));
        // Gone, and their pids may belong to others by now: these objects must never end anything again.
        for (const auto &process : found)
            QCOMPARE(process->Terminate(), TerminateResult::PathNotFound);
    }

    void terminateSparesWhatIsNoLongerThatProcess()
    {
        TestProcesses processes(uniqueProcessName(QStringLiteral("qxStale")));
        const pid_t pid = processes.start();
        const ProcessList found = query(processes.imageName());
        QCOMPARE(found.size(), 1u);
        // Exited but not reaped: the pid is still this child's, and it is no longer a running program.
        QCOMPARE(::kill(pid, SIGKILL), 0);
        siginfo_t info{};
        QCOMPARE(::waitid(P_PID, id_t(pid), &info, WEXITED | WNOWAIT), 0);
        QCOMPARE(found.front()->Terminate(), TerminateResult::PathNotFound);
    }

    void otherUsersProcesses()
    {
        if (::geteuid() != 0)
            QSKIP("needs root: processes of another user are started as root and queried as nobody");

        TestProcesses shortName(uniqueProcessName(QStringLiteral("qxOther")));
        TestProcesses fifteen(uniqueProcessName(QStringLiteral("qxF"), 15));
        TestProcesses sixteen(fifteen.imageName() + "z");
        TestProcesses longer(uniqueProcessName(QStringLiteral("qxLong"), 40));
        const std::vector<pid_t> shortPids = sorted(shortName.start(2));
        shortName.startZombie();
        const pid_t fifteenPid = fifteen.start();
        const pid_t sixteenPid = sixteen.start();
        const pid_t longPid = longer.start();

        const QString longName = longer.imageName();
        const QStringList lines =
            runChild(QStringLiteral("query"),
                     {shortName.imageName().toUpper(), fifteen.imageName(), sixteen.imageName(),
                      longName + ".exe", longName.left(15), longName.chopped(1) + "-"},
                     {.user = kNobody})
                .split('\n');

        auto expected = [](const std::vector<pid_t> &pids) {
            QStringList numbers, refusals;
            for (pid_t pid : pids) {
                numbers << QString::number(pid);
                refusals << QString::number(int(TerminateResult::AccessDenied));
            }
            return QString::number(pids.size()) + ';' + numbers.join(',') + ';' + refusals.join(',');
        };
        QCOMPARE(lines, (QStringList{expected(shortPids), expected({fifteenPid}), expected({sixteenPid}),
                                     expected({longPid}), expected({}), expected({})}));
        QCOMPARE(shortName.runningCount() + fifteen.runningCount() + sixteen.runningCount() +
                     longer.runningCount(),
                 5);
    }

    void parsesStatLines()
    {
        const auto kernelThread =
            parseProcStat("2 (kthreadd) S 0 0 0 0 -1 2129984 0 0 0 0 0 0 0 0 20 0 1 0 3 0\n");
        QVERIFY(kernelThread);
        QCOMPARE(kernelThread->comm, "kthreadd");
        QVERIFY(kernelThread->flags & kPfKthread);

        const auto odd = parseProcStat("77 (a) b) (c) Z 1 77 77 0 -1 4194564 0 0 0 0 0 0 0 0 20 0 1 0 3 0\n");
        QVERIFY(odd);
        QCOMPARE(odd->comm, "a) b) (c");
        QCOMPARE(odd->state, 'Z');
        QVERIFY(!(odd->flags & kPfKthread));

        QVERIFY(!parseProcStat("77 (cut"));
        QVERIFY(!parseProcStat("77 (x) S 1 2 3"));
    }

private:
    std::unique_ptr<TestProcesses> m_pair;
    std::vector<pid_t> m_pairPids;
};

QUELLEX_TEST_MAIN(TestProcfsSearch, enterOwnPidNamespace, {"query", queryEach})
#include "tst_procfssearch.moc"
