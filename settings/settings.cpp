#include "settings/settings.h"

#include "platform/settingsbackend.h"

namespace quellex::settings {

QString GetSetting(const QString &application, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    return platform::readSetting(application, section, key).value_or(defaultValue);
}

void SaveSetting(const QString &application, const QString &section, const QString &key, const QString &value)
{
    // A failure has been reported by the store; the caller carries on as before.
    (void)platform::writeSetting(application, section, key, value);
}

namespace {

template<typename Number> Number readNumber(SettingKey key, std::optional<Number> (*convert)(const QString &))
{
    if (const std::optional<Number> stored = convert(readText(key)))
        return *stored;
    return convert(keyInfo(key).defaultText).value_or(Number{});
}

} // namespace

QString readText(SettingKey key)
{
    const SettingKeyInfo &info = keyInfo(key);
    return GetSetting(kApplication, kSection, info.name, info.defaultText);
}

int readInteger(SettingKey key)
{
    return readNumber(key, &textToInteger);
}

double readDouble(SettingKey key)
{
    return readNumber(key, &textToDouble);
}

float readSingle(SettingKey key)
{
    return readNumber(key, &textToSingle);
}

void writeText(SettingKey key, const QString &value)
{
    SaveSetting(kApplication, kSection, keyInfo(key).name, value);
}

void writeInteger(SettingKey key, int value)
{
    writeText(key, integerToText(value));
}

void writeSingle(SettingKey key, float value)
{
    writeText(key, singleToText(value));
}

} // namespace quellex::settings
