#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace quellex::platform {

// The platform's per-user store of text values, addressed by application, section and key. The
// platform folder chosen at build time defines these two functions. Neither keeps a cache: each
// call goes to the store itself, so a value written by anyone is seen by the next read. Names that
// settingNamesProblem() objects to are refused with a message on stderr.

// The stored text; nullopt when the key is absent, or when the store cannot be read (reported on
// stderr) so that the caller falls back to its default.
std::optional<QString> readSetting(const QString &application, const QString &section, const QString &key);

// Creates or replaces the value and makes it durable before returning. Returns false, after
// reporting on stderr, when the value could not be stored.
bool writeSetting(const QString &application, const QString &section, const QString &key,
                  const QString &value);

// Why these names cannot address a setting, or an empty text when they can. Separators would let a
// name reach another file, folder or registry key than the program's own.
inline QString settingNamesProblem(const QString &application, const QString &section, const QString &key)
{
    const auto badName = [](QStringView name) {
        return name.isEmpty() || name.contains(u'/') || name.contains(u'\\') || name.contains(QChar(0));
    };
    if (badName(application) || application == u"." || application == u"..")
        return QStringLiteral("the application name \"%1\" is not a plain name").arg(application);
    if (badName(section))
        return QStringLiteral("the section name \"%1\" is not a plain name").arg(section);
    if (badName(key))
        return QStringLiteral("the key name \"%1\" is not a plain name").arg(key);
    return {};
}

} // namespace quellex::platform
