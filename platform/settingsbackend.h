#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace quellex::platform {

// The platform's per-user store of text values, addressed by application, section and key. The
// platform folder chosen at build time defines readSetting and writeSettings. Each call goes to the store
// itself, so a value written by anyone is seen by the next read. The names are the program's own
// constants; they are not checked.

// The stored text; nullopt when the key is absent, or when the store cannot be read (reported
// through lcSettings) so that the caller falls back to its default.
std::optional<QString> readSetting(const QString &application, const QString &section, const QString &key);

// Keys and their values, in the order they were written.
using SettingValues = QList<std::pair<QString, QString>>;

// Creates or replaces the values, all in one step, and makes them durable before returning. Returns
// false, after reporting through lcSettings, when they could not be stored.
bool writeSettings(const QString &application, const QString &section, const SettingValues &values);

} // namespace quellex::platform
