#include "settings/settings.h"

#include "platform/settingsbackend.h"

#include <QMap>
#include <algorithm>
#include <utility>

namespace quellex::settings {

namespace {

int s_batchDepth = 0;
// The writes of the open batches, by application and section.
QMap<std::pair<QString, QString>, platform::SettingValues> s_pending;

QString *pendingValue(const QString &application, const QString &section, const QString &key)
{
    const auto store = s_pending.find({application, section});
    if (store == s_pending.end())
        return nullptr;
    const auto found =
        std::find_if(store->begin(), store->end(), [&](const auto &kv) { return kv.first == key; });
    return found == store->end() ? nullptr : &found->second;
}

template<typename Number> Number readNumber(SettingKey key, std::optional<Number> (*convert)(const QString &))
{
    if (const std::optional<Number> stored = convert(readText(key)))
        return *stored;
    return convert(keyInfo(key).defaultText).value_or(Number{});
}

} // namespace

QString GetSetting(const QString &application, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    if (const QString *pending = pendingValue(application, section, key))
        return *pending;
    return platform::readSetting(application, section, key).value_or(defaultValue);
}

void SaveSetting(const QString &application, const QString &section, const QString &key, const QString &value)
{
    if (s_batchDepth == 0) {
        // A failure has been reported by the store; the caller carries on as before.
        (void)platform::writeSettings(application, section, {{key, value}});
    } else if (QString *pending = pendingValue(application, section, key)) {
        *pending = value;
    } else {
        s_pending[{application, section}].append({key, value});
    }
}

WriteBatch::WriteBatch()
{
    ++s_batchDepth;
}

WriteBatch::~WriteBatch()
{
    if (--s_batchDepth > 0)
        return;
    const auto pending = std::exchange(s_pending, {});
    for (auto store = pending.begin(); store != pending.end(); ++store)
        (void)platform::writeSettings(store.key().first, store.key().second, *store);
}

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
