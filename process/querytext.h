#pragma once

#include <QString>
#include <string>

namespace quellex::process {

// The name as the body of a WQL string literal: backslash and single quote escaped, everything else
// as it is, so that no name can end the literal and add conditions of its own.
QString escapedWqlString(const QString &text);

// The query texts the service sends, UTF-8. For a name without backslash or quote they are exactly
// "SELECT Name FROM Win32_Process WHERE Name='" + name + "'" and
// "Select Name from Win32_Process Where Name = '" + name + "'".
std::string runningCheckQuery(const QString &name);
std::string terminationQuery(const QString &name);

} // namespace quellex::process
