// IsolatedSettings on Windows: the registry's per-user hive, replaced for this process by a private key.
#include "tests/support/testenvironment.h"

#include <QRandomGenerator>
#include <QStringList>
#include <stdexcept>
#include <windows.h>

namespace quellex::test {

namespace {

const QString kStore = QStringLiteral("Software\\VB and VBA Program Settings\\ZORVIN-QUELLEX");

const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

QString privateKeyPath()
{
    return QStringLiteral("Software\\QuellexTests\\%1").arg(QRandomGenerator::system()->generate64(), 0, 16);
}

} // namespace

IsolatedSettings::IsolatedSettings()
    : m_previous(privateKeyPath().toUtf8())
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, wide(QString::fromUtf8(m_previous)), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create a private registry key");
    if (RegOverridePredefKey(HKEY_CURRENT_USER, key) != ERROR_SUCCESS) {
        RegCloseKey(key);
        throw std::runtime_error("cannot stand in for HKEY_CURRENT_USER");
    }
    m_userKey = key;
}

IsolatedSettings::~IsolatedSettings()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(static_cast<HKEY>(m_userKey));
    RegDeleteTreeW(HKEY_CURRENT_USER, wide(QString::fromUtf8(m_previous)));
}

QString IsolatedSettings::iniPath() const
{
    return QStringLiteral("HKEY_CURRENT_USER\\") + kStore;
}

void IsolatedSettings::writeIni(const QByteArray &contents) const
{
    RegDeleteTreeW(HKEY_CURRENT_USER, wide(kStore));
    QString section;
    for (const QString &line : QString::fromUtf8(contents).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (section.isEmpty() || equals < 1)
            throw std::runtime_error("not a line these tests write: " + line.toStdString());
        const QString name = line.left(equals);
        const QString value = line.mid(equals + 1);
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, wide(kStore + u'\\' + section), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            throw std::runtime_error("cannot write the settings key");
        RegSetValueExW(key, wide(name), 0, REG_SZ, reinterpret_cast<const BYTE *>(wide(value)),
                       DWORD((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

// Only the INI store's own tests read the file back; there is none on Windows.
QByteArray IsolatedSettings::readIni() const
{
    return {};
}

} // namespace quellex::test
