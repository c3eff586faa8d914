#include "platform/fake/fakesettingsbackend.h"

#include "platform/logging.h"

namespace quellex::platform {

FakeSettingsBackend &FakeSettingsBackend::instance()
{
    static FakeSettingsBackend backend;
    return backend;
}

std::optional<QString> FakeSettingsBackend::read(const QString &application, const QString &section,
                                                 const QString &key) const
{
    const auto found = m_values.find({application, section, key});
    if (found == m_values.end())
        return std::nullopt;
    return found->second;
}

bool FakeSettingsBackend::write(const QString &application, const QString &section, const QString &key,
                                const QString &value)
{
    if (m_writesFail) {
        qCWarning(lcSettings).noquote()
            << QStringLiteral("Could not save the setting \"%1\": the store refuses writes.").arg(key);
        return false;
    }
    m_values[{application, section, key}] = value;
    ++m_writeCount;
    return true;
}

void FakeSettingsBackend::clear()
{
    m_values.clear();
    m_writeCount = 0;
    m_writesFail = false;
}

void FakeSettingsBackend::remove(const QString &application, const QString &section, const QString &key)
{
    m_values.erase({application, section, key});
}

} // namespace quellex::platform
