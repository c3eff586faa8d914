// The number texts of the store: written in the current locale's decimal notation, read in either
// notation, so that a file written under a locale with a decimal comma still reads under one with a
// point, and the other way round.
#include "settings/settings.h"

#include <QLocale>
#include <charconv>
#include <climits>
#include <cmath>
#include <string>

namespace quellex::settings {
namespace {

// The text as the C library spells numbers: blanks around it dropped, either separator taken as the
// decimal point. Group separators are never written, so a separator is always a decimal point. Any
// other character is left for the parser to reject.
std::string cNotation(const QString &text)
{
    QString trimmed = text.trimmed();
    const QString localePoint = QLocale().decimalPoint();
    if (localePoint != u"." && localePoint != u",")
        trimmed.replace(localePoint, QStringLiteral("."));
    std::string notation = trimmed.replace(u',', u'.').toStdString();
    if (notation.size() > 1 && notation[0] == '+' && notation[1] != '-' && notation[1] != '+')
        notation.erase(0, 1);
    return notation;
}

template<typename Number> std::optional<Number> parse(const QString &text)
{
    const std::string notation = cNotation(text);
    if (notation.empty())
        return std::nullopt;
    const char *const end = notation.data() + notation.size();
    Number value{};
    const auto [stop, error] = std::from_chars(notation.data(), end, value, std::chars_format::general);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int> textToInteger(const QString &text)
{
    const std::optional<double> value = parse<double>(text);
    if (!value)
        return std::nullopt;
    // Halves go to the even neighbour, as the platform's own conversion to an integer does.
    const double rounded = std::nearbyint(*value);
    if (rounded < double(INT_MIN) || rounded > double(INT_MAX))
        return std::nullopt;
    return static_cast<int>(rounded);
}

std::optional<double> textToDouble(const QString &text)
{
    return parse<double>(text);
}

std::optional<float> textToSingle(const QString &text)
{
    // Parsed as a float directly: going through a double could round twice.
    return parse<float>(text);
}

QString integerToText(int value)
{
    return QString::number(value);
}

QString singleToText(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    // The locale's decimal separator when it is one of the two the store understands.
    text.replace(u'.', QLocale().decimalPoint() == u"," ? u',' : u'.');
    return text;
}

} // namespace quellex::settings
