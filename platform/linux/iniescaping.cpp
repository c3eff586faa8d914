// How QSettings escapes the keys and values of an INI file, kept byte for byte.
#include "platform/linux/iniescaping.h"

#include <QDataStream>
#include <QIODevice>
#include <QStringDecoder>
#include <QVariant>
#include <algorithm>

namespace quellex::platform {
namespace {

bool isHexDigit(char16_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))
        return (c | 0x20) - 'a' + 10;
    return -1;
}

QString bytesAsText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

// "\" separates groups, "%XX" and "%UXXXX" are characters.
QString unescapedIniKey(QByteArrayView key)
{
    const QString decoded = QString::fromUtf8(key);
    QString result;
    for (qsizetype i = 0; i < decoded.size();) {
        const QChar ch = decoded[i];
        if (ch == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        const qsizetype digits = i + 1 < decoded.size() && decoded[i + 1] == u'U' ? 4 : 2;
        const qsizetype first = i + 1 + (digits == 4 ? 1 : 0);
        bool ok = false;
        const ushort code = ch == u'%' && first + digits <= decoded.size()
                                ? QStringView(decoded).sliced(first, digits).toUShort(&ok, 16)
                                : 0;
        if (!ok) {
            result += ch;
            ++i;
            continue;
        }
        result += QChar(code);
        i = first + digits;
    }
    return result;
}

QByteArray escapedIniKey(const QString &key)
{
    QByteArray result;
    for (const QChar qch : key) {
        const char16_t ch = qch.unicode();
        if (ch == '/')
            result += '\\';
        else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
                 ch == '_' || ch == '-' || ch == '.')
            result += char(ch);
        else if (ch <= 0xFF)
            result += '%' + QByteArray::number(ch, 16).rightJustified(2, '0').toUpper();
        else
            result += "%U" + QByteArray::number(ch, 16).rightJustified(4, '0').toUpper();
    }
    return result;
}

// A value's text with its escapes resolved; unquoted commas make it a list of several.
QStringList unescapedIniValue(QByteArrayView raw)
{
    static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                           {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                           {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    QStringList items{QString()};
    bool inQuotes = false;
    bool quoted = false;
    qsizetype chopLimit = 0; // blanks after an escape or a quote are part of the text
    const auto skipSpaces = [&](qsizetype i) {
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t'))
            ++i;
        chopLimit = items.back().size();
        return i;
    };
    const auto chopTrailingSpaces = [&] {
        QString &text = items.back();
        while (!quoted && text.size() > chopLimit && (text.back() == u' ' || text.back() == u'\t'))
            text.chop(1);
    };
    qsizetype i = skipSpaces(0);
    while (i < raw.size()) {
        const char ch = raw[i];
        if (ch == '\\') {
            if (++i >= raw.size())
                return items; // a trailing backslash ends the value as it is
            const char code = raw[i++];
            const auto named = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                            [code](const char *e) { return e[0] == code; });
            const bool hex = code == 'x' && i < raw.size() && hexValue(raw[i]) >= 0;
            if (named != std::end(kEscapes)) {
                items.back() += QLatin1Char((*named)[1]);
            } else if (hex || (code >= '0' && code <= '7')) {
                const int base = hex ? 16 : 8;
                char16_t number = hex ? 0 : char16_t(code - '0');
                for (int digit; i < raw.size() && (digit = hexValue(raw[i])) >= 0 && digit < base; ++i)
                    number = char16_t(number * base + digit);
                items.back() += QChar(number);
            } else if ((code == '\n' || code == '\r') && i < raw.size() &&
                       (raw[i] == '\n' || raw[i] == '\r') && raw[i] != code) {
                ++i;
            }
            chopLimit = items.back().size();
        } else if (ch == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                i = skipSpaces(i);
        } else if (ch == ',' && !inQuotes) {
            chopTrailingSpaces();
            items.append(QString());
            quoted = false;
            i = skipSpaces(i + 1);
        } else {
            qsizetype j = i + 1;
            while (j < raw.size() && raw[j] != '\\' && raw[j] != '"' && raw[j] != ',')
                ++j;
            items.back() += QString::fromUtf8(raw.sliced(i, j - i));
            i = j;
        }
    }
    chopTrailingSpaces();
    return items;
}

// What QSettings makes of a stored text, as text: "@@" escapes a leading "@", "@ByteArray(...)" and
// "@String(...)" hold text, "@Variant(...)" a serialised value.
std::optional<QString> iniItemText(const QString &item)
{
    using namespace Qt::StringLiterals;
    if (!item.startsWith(u'@'))
        return item;
    if (item.endsWith(u')')) {
        if (item.startsWith("@ByteArray("_L1))
            return bytesAsText(QStringView(item).sliced(11).chopped(1).toLatin1());
        if (item.startsWith("@String("_L1))
            return item.sliced(8).chopped(1);
        const bool dateTime = item.startsWith("@DateTime("_L1);
        if (dateTime || item.startsWith("@Variant("_L1)) {
            QByteArray bytes = QStringView(item).sliced(dateTime ? 10 : 9).chopped(1).toLatin1();
            QDataStream stream(&bytes, QIODevice::ReadOnly);
            stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
            QVariant value;
            stream >> value;
            if (value.typeId() == QMetaType::QByteArray)
                return bytesAsText(value.toByteArray());
            if (value.typeId() == QMetaType::QStringList)
                return value.toStringList().join(u',');
            return value.canConvert<QString>() ? std::optional(value.toString()) : std::nullopt;
        }
        if (item.startsWith("@Rect("_L1) || item.startsWith("@Size("_L1) || item.startsWith("@Point("_L1) ||
            item == "@Invalid()"_L1)
            return std::nullopt;
    }
    return item.startsWith("@@"_L1) ? item.sliced(1) : item;
}

QByteArray escapedIniValue(const QString &value)
{
    const QString text = value.startsWith(u'@') ? u'@' + value : value;
    QByteArray result;
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        needsQuotes = needsQuotes || ch == ';' || ch == ',' || ch == '=';
        if (escapeNextIfDigit && isHexDigit(ch)) {
            result += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case '\0':
            result += "\\0";
            escapeNextIfDigit = true;
            break;
        case '\a':
            result += "\\a";
            break;
        case '\b':
            result += "\\b";
            break;
        case '\f':
            result += "\\f";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        case '\t':
            result += "\\t";
            break;
        case '\v':
            result += "\\v";
            break;
        case '"':
        case '\\':
            result += '\\';
            result += char(ch);
            break;
        default:
            if (ch <= 0x1F) {
                result += "\\x" + QByteArray::number(ch, 16);
                escapeNextIfDigit = true;
            } else {
                const bool pair =
                    QChar::isHighSurrogate(ch) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
                result += QStringView(text).sliced(i, pair ? 2 : 1).toUtf8();
                i += pair ? 1 : 0;
            }
        }
    }
    if (needsQuotes || result.startsWith(' ') || result.endsWith(' '))
        result = '"' + result + '"';
    return result;
}

} // namespace quellex::platform
