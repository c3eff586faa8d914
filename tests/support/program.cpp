#include "tests/support/program.h"

#include "tests/support/testenvironment.h"

#include <QCoreApplication>
#include <QDir>

namespace quellex::test {

Program::Program(const QStringList &environment)
{
    QProcessEnvironment changed = QProcessEnvironment::systemEnvironment();
    for (const QString &change : environment) {
        if (change.contains(u'='))
            changed.insert(change.section(u'=', 0, 0), change.section(u'=', 1));
        else
            changed.remove(change);
    }
    setProcessEnvironment(changed);
    setProgram(path());
    start();
}

Program::Program(const IsolatedSettings &settings, const QStringList &environment)
    : Program(QStringList(environment) << QStringLiteral("XDG_CONFIG_HOME=") + settings.configHome())
{}

Program::~Program()
{
    if (state() != QProcess::NotRunning) {
        kill();
        waitForFinished(kEndMs);
    }
}

QString Program::path()
{
#ifdef _WIN32
    return QCoreApplication::applicationDirPath() + QStringLiteral("/QUELLEX.exe");
#else
    return QDir(qEnvironmentVariable("QUELLEX_TEST_BINARY_DIR")).filePath(QStringLiteral("quellex"));
#endif
}

bool Program::terminateAndWait()
{
    terminate();
    return waitForFinished(kEndMs) && exitStatus() == QProcess::NormalExit;
}

QString Program::errors()
{
    m_errors += QString::fromLocal8Bit(readAllStandardError());
    return m_errors;
}

} // namespace quellex::test
