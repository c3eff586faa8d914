#pragma once

#include <QString>
#include <optional>

namespace quellex::platform {

// The platform's per-user store of text values, addressed by application, section and key. The
// platform folder chosen at build time defines these two functions. Each call goes to the store
// itself, so a value written by anyone is seen by the next read. The names are the program's own
// constants; they are not checked.

// The stored text; nullopt when the key is absent, or when the store cannot be read (reported
// through lcSettings) so that the caller falls back to its default.
std::optional<QString> readSetting(const QString &application, const QString &section, const QString &key);

// Creates or replaces the value and makes it durable before returning. Returns false, after
// reporting through lcSettings, when the value could not be stored.
bool writeSetting(const QString &application, const QString &section, const QString &key,
                  const QString &value);

} // namespace quellex::platform
