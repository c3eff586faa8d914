// The per-user settings store in the registry, where the platform's application/section/key settings
// calls keep them: HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>,
// one REG_SZ value a key.
#include "platform/logging.h"
#include "platform/settingsbackend.h"

#include <windows.h>

namespace quellex::platform {
namespace {

QString sectionPath(const QString &application, const QString &section)
{
    return QStringLiteral("Software\\VB and VBA Program Settings\\%1\\%2").arg(application, section);
}

QString errorText(LSTATUS status)
{
    wchar_t *text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, DWORD(status), 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    QString message = text ? QString::fromWCharArray(text).trimmed() : QString();
    LocalFree(text);
    return message.isEmpty() ? QStringLiteral("error %1").arg(status) : message;
}

// A read of many keys, or a timer's writes, says a thing once per key and message.
void warnOnce(const QString &message)
{
    static SaidOnce said;
    if (said.isNew(message))
        qCWarning(lcSettings).noquote() << message;
}

struct Key
{
    HKEY handle = nullptr;
    ~Key()
    {
        if (handle)
            RegCloseKey(handle);
    }
};

} // namespace

std::optional<QString> readSetting(const QString &application, const QString &section, const QString &key)
{
    const QString path = sectionPath(application, section);
    Key opened;
    LSTATUS status =
        RegOpenKeyExW(HKEY_CURRENT_USER, qUtf16Printable(path), 0, KEY_QUERY_VALUE, &opened.handle);
    if (status == ERROR_FILE_NOT_FOUND)
        return std::nullopt;
    if (status != ERROR_SUCCESS) {
        warnOnce(QStringLiteral("Settings key HKEY_CURRENT_USER\\%1 cannot be read (%2)")
                     .arg(path, errorText(status)));
        return std::nullopt;
    }
    // The value may change size between the two calls; then ask again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        status = RegQueryValueExW(opened.handle, qUtf16Printable(key), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND)
            return std::nullopt;
        if (status != ERROR_SUCCESS)
            break;
        if (type != REG_SZ) {
            warnOnce(QStringLiteral(
                         "Setting %1 under HKEY_CURRENT_USER\\%2 is not text (REG_SZ); its default is used")
                         .arg(key, path));
            return std::nullopt;
        }
        std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
        DWORD bytes = DWORD(value.size() * sizeof(wchar_t));
        status = RegQueryValueExW(opened.handle, qUtf16Printable(key), nullptr, &type,
                                  reinterpret_cast<BYTE *>(value.data()), &bytes);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            break;
        if (type != REG_SZ)
            continue;
        // Stored without its terminating NUL by some writers, with it by others.
        value.resize(bytes / sizeof(wchar_t));
        while (!value.empty() && value.back() == L'\0')
            value.pop_back();
        return QString::fromWCharArray(value.data(), qsizetype(value.size()));
    }
    warnOnce(QStringLiteral("Setting %1 under HKEY_CURRENT_USER\\%2 cannot be read (%3)")
                 .arg(key, path, errorText(status)));
    return std::nullopt;
}

bool writeSettings(const QString &application, const QString &section, const SettingValues &values)
{
    const QString path = sectionPath(application, section);
    Key created;
    const LSTATUS opened =
        RegCreateKeyExW(HKEY_CURRENT_USER, qUtf16Printable(path), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &created.handle, nullptr);
    bool written = true;
    for (const auto &[key, value] : values) {
        LSTATUS status = opened;
        if (status == ERROR_SUCCESS) {
            const DWORD bytes = DWORD((value.size() + 1) * sizeof(wchar_t));
            status = RegSetValueExW(created.handle, qUtf16Printable(key), 0, REG_SZ,
                                    reinterpret_cast<const BYTE *>(qUtf16Printable(value)), bytes);
        }
        if (status != ERROR_SUCCESS) {
            warnOnce(QStringLiteral("Setting %1 under HKEY_CURRENT_USER\\%2 cannot be written (%3)")
                         .arg(key, path, errorText(status)));
            written = false;
        }
    }
    return written;
}

} // namespace quellex::platform
