#include "process/querytext.h"

namespace quellex::process {

namespace {

std::string queryText(const char *prefix, const QString &name)
{
    const QByteArray text = prefix + escapedWqlString(name).toUtf8() + '\'';
    return std::string(text.constData(), std::size_t(text.size()));
}

} // namespace

QString escapedWqlString(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\' || c == u'\'')
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

std::string runningCheckQuery(const QString &name)
{
    return queryText("SELECT Name FROM Win32_Process WHERE Name='", name);
}

std::string terminationQuery(const QString &name)
{
    return queryText("Select Name from Win32_Process Where Name = '", name);
}

} // namespace quellex::process
