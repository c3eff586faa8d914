#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace quellex::platform {

// Keys: "\\" separates groups, "%XX" and "%UXXXX" are characters outside [A-Za-z0-9_.-].
QString unescapedIniKey(QByteArrayView key);
QByteArray escapedIniKey(const QString &key);

// A stored value with its quotes and escapes resolved; unquoted commas split it into several items.
QStringList unescapedIniValue(QByteArrayView raw);
// What QSettings makes of one item, as text; nullopt for a serialised object that is no text.
std::optional<QString> iniItemText(const QString &item);
// A text as QSettings writes it, so that it reads back as the very same text.
QByteArray escapedIniValue(const QString &value);

} // namespace quellex::platform
