#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <stdexcept>

namespace quellex::test {

QByteArray iniFile(const QString &name, const QStringList &arguments)
{
    QFile file(QStringLiteral(":/settings/data/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("no settings file " + name.toStdString());
    if (arguments.isEmpty())
        return file.readAll();
    QString text = QString::fromUtf8(file.readAll());
    for (const QString &argument : arguments)
        text = text.arg(argument);
    return text.toUtf8();
}

#ifndef _WIN32

IsolatedSettings::IsolatedSettings()
    : m_previous(qgetenv("XDG_CONFIG_HOME"))
    , m_hadPrevious(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
}

IsolatedSettings::~IsolatedSettings()
{
    if (m_hadPrevious)
        qputenv("XDG_CONFIG_HOME", m_previous);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

QString IsolatedSettings::iniPath() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("ZORVIN-QUELLEX.ini"));
}

void IsolatedSettings::writeIni(const QByteArray &contents) const
{
    QFile file(iniPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(contents) != contents.size())
        throw std::runtime_error("cannot write " + iniPath().toStdString());
}

QByteArray IsolatedSettings::readIni() const
{
    QFile file(iniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVariant IsolatedSettings::valueInFile(const QString &key, const QString &section) const
{
    QTemporaryDir dir;
    QFile copy(dir.filePath(QStringLiteral("copy.ini")));
    if (!copy.open(QIODevice::WriteOnly) || copy.write(readIni()) < 0)
        return {};
    copy.close();
    QSettings settings(copy.fileName(), QSettings::IniFormat);
    (void)settings.allKeys();
    if (settings.status() != QSettings::NoError)
        return QStringLiteral("<invalid file>");
    return settings.value(section + u'/' + key);
}

#endif

} // namespace quellex::test
