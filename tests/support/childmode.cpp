#include "tests/support/childmode.h"

#include <QProcess>
#ifndef _WIN32
#include <grp.h>
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace quellex::test {

namespace {

const QString kChild = QStringLiteral("--child");
const QString kAsUser = QStringLiteral("--as-user");

#ifndef _WIN32
// Every privilege of the user, as a child of a test run as root. The process stays dumpable, so that a
// sanitizer's leak check can still inspect it at exit.
bool becomeUser(uid_t id)
{
    return ::setgroups(0, nullptr) == 0 && ::setresgid(id, id, id) == 0 && ::setresuid(id, id, id) == 0 &&
           ::prctl(PR_SET_DUMPABLE, 1) == 0;
}
#endif

} // namespace

QStringList childArguments(const QString &mode, const QStringList &arguments, const ChildOptions &options)
{
    QStringList command{kChild, mode};
    if (options.user)
        command << kAsUser << QString::number(*options.user);
    return command + arguments;
}

QString runChild(const QString &mode, const QStringList &arguments, const ChildOptions &options)
{
    QStringList command = options.wrapper;
    command << (options.program.isEmpty() ? QCoreApplication::applicationFilePath() : options.program)
            << childArguments(mode, arguments, options);
    QProcess child;
    child.setWorkingDirectory(QCoreApplication::applicationDirPath()); // where Windows finds the DLLs
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : options.unset)
        environment.remove(name);
    child.setProcessEnvironment(environment);
    child.start(command.first(), command.mid(1));
    if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("crashed");
    if (child.exitCode() != 0)
        return QStringLiteral("exit code %1").arg(child.exitCode());
    return QString::fromUtf8(options.readErrors ? child.readAllStandardError()
                                                : child.readAllStandardOutput())
        .trimmed();
}

std::optional<int> runChildMode(int argc, char **argv, std::initializer_list<ChildMode> modes)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.size() < 2 || arguments[0] != kChild)
        return std::nullopt;
    const QString mode = arguments[1];
    arguments = arguments.mid(2);
    if (arguments.size() >= 2 && arguments[0] == kAsUser) {
#ifndef _WIN32
        if (!becomeUser(uid_t(arguments[1].toUInt())))
            return 3;
#endif
        arguments = arguments.mid(2);
    }
    for (const ChildMode &child : modes) {
        if (mode == QLatin1String(child.name))
            return child.run(arguments);
    }
    return 2;
}

} // namespace quellex::test
