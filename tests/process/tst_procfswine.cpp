// Windows programs that Wine runs, as the /proc service sees them: by the name of their .exe, not by
// Wine's loader. The real Wine runs in scripts/windows/test-in-prefix.sh's private Wine prefix, which
// then checks that Wine's own processes there still run; QUELLEX_TEST_WINE_IDLE names the idle .exe.
#include "platform/linux/procfsnames.h"
#include "tests/process/procfsharness.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <fcntl.h>

using namespace quellex;
using namespace quellex::platform;
using namespace quellex::test;

class TestProcfsWine : public QObject
{
    Q_OBJECT

private slots:
    void programIsFoundAndEndedByItsOwnName()
    {
        const QString idle = qEnvironmentVariable("QUELLEX_TEST_WINE_IDLE");
        if (idle.isEmpty() || !qEnvironmentVariableIsSet("WINEPREFIX"))
            QSKIP("runs in the Wine prefix of scripts/windows/test-in-prefix.sh");
        QTemporaryDir dir;
        const QString name = uniqueProcessName(QStringLiteral("qxWine")) + QStringLiteral(".exe");
        const QString similar = name.chopped(4) + QStringLiteral("_.exe");
        QProcess program, other;
        for (const auto &[process, file] : {std::pair(&program, name), std::pair(&other, similar)}) {
            QVERIFY(QFile::copy(idle, dir.filePath(file)));
            process->start(QStringLiteral("wine"), {dir.filePath(file)});
            QVERIFY(process->waitForStarted());
        }
        const auto stopOther = qScopeGuard([&] {
            other.kill();
            other.waitForFinished();
        });
        const pid_t pid = pid_t(program.processId());
        QTRY_COMPARE_WITH_TIMEOUT(pidsOf(query(name.toUpper())), std::vector<pid_t>{pid}, 30000);
        const std::string own = "/proc/" + std::to_string(pid) + '/';
        QCOMPARE(QString::fromStdString(imageName(AT_FDCWD, own).value_or("")), name);

        const ProcessList found = query(name.toLower());
        QCOMPARE(found.front()->Terminate(), TerminateResult::Success);
        QVERIFY(program.waitForFinished(kWait));
        // Started beside it, it may still be coming up under Wine's loader.
        QTRY_COMPARE_WITH_TIMEOUT(pidsOf(query(similar)), std::vector<pid_t>{pid_t(other.processId())},
                                  30000);
    }

    void programStartedByAWindowsPathIsFoundByItsOwnName()
    {
        // As `wine 'Z:\dir\app.exe'` leaves it: Wine's loader, with the Windows path as argv[0]. A copy of
        // the idle program under the loader's name stands in for Wine, in a folder of its own.
        QTemporaryDir dir;
        const QString loader = dir.filePath(QStringLiteral("wine64"));
        QVERIFY(QFile::copy(QStringLiteral(QUELLEX_TEST_IDLE), loader));
        QVERIFY(QFile::setPermissions(loader, QFile::ReadOwner | QFile::ExeOwner));
        const QString name = uniqueProcessName(QStringLiteral("qxWin")) + QStringLiteral(".exe");
        QProcess program;
        program.start(QStringLiteral("perl"), {QStringLiteral("-e"), QStringLiteral("exec {shift} @ARGV"),
                                               loader, QStringLiteral("Z:\\qx dir\\") + name,
                                               QString::number(QCoreApplication::applicationPid())});
        QVERIFY(program.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(pidsOf(query(name)), std::vector<pid_t>{pid_t(program.processId())}, kWait);
    }
};

QTEST_GUILESS_MAIN(TestProcfsWine)
#include "tst_procfswine.moc"
