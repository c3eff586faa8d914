#include "fakesettingsbackend.h"

#include "platform/settingsbackend.h"

#include <QDebug>

namespace quellex::platform {

FakeSettingsBackend &FakeSettingsBackend::instance()
{
    static FakeSettingsBackend backend;
    return backend;
}

std::optional<QString> FakeSettingsBackend::read(const QString &application, const QString &section,
                                                 const QString &key) const
{
    if (const QString problem = settingNamesProblem(application, section, key); !problem.isEmpty()) {
        qWarning().noquote() << QStringLiteral("Cannot read a setting: %1.").arg(problem);
        return std::nullopt;
    }
    const QMutexLocker locker(&m_mutex);
    const auto found = m_values.find({application, section, key});
    if (found == m_values.end())
        return std::nullopt;
    return found->second;
}

bool FakeSettingsBackend::write(const QString &application, const QString &section, const QString &key,
                                const QString &value)
{
    QString problem = settingNamesProblem(application, section, key);
    const QMutexLocker locker(&m_mutex);
    if (problem.isEmpty() && m_writesFail)
        problem = QStringLiteral("the store refuses writes");
    if (!problem.isEmpty()) {
        qWarning().noquote() << QStringLiteral("Could not save the setting \"%1\": %2.").arg(key, problem);
        return false;
    }
    m_values[{application, section, key}] = value;
    ++m_writeCount;
    return true;
}

void FakeSettingsBackend::clear()
{
    const QMutexLocker locker(&m_mutex);
    m_values.clear();
    m_writeCount = 0;
    m_writesFail = false;
}

void FakeSettingsBackend::remove(const QString &application, const QString &section, const QString &key)
{
    const QMutexLocker locker(&m_mutex);
    m_values.erase({application, section, key});
}

int FakeSettingsBackend::writeCount() const
{
    const QMutexLocker locker(&m_mutex);
    return m_writeCount;
}

void FakeSettingsBackend::setWritesFail(bool fail)
{
    const QMutexLocker locker(&m_mutex);
    m_writesFail = fail;
}

} // namespace quellex::platform
