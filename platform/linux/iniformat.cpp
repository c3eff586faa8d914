// QSettings' INI rules, kept byte for byte: how a file is split into lines, sections and keys.
#include "platform/linux/iniformat.h"

#include "platform/linux/iniescaping.h"

namespace quellex::platform {
namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isSpecial(char c)
{
    return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\';
}

struct Line
{
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype equals = -1;
};

// The next logical line from pos: comments skipped, line ends inside quotes or after a backslash
// joined. False at the end of the data.
bool nextLine(QByteArrayView data, qsizetype &pos, Line &line)
{
    bool inQuotes = false;
    line.equals = -1;
    line.start = pos;
    while (line.start < data.size() && isSpace(data[line.start]))
        ++line.start;
    qsizetype i = line.start;
    while (i < data.size()) {
        const char ch = data[i++];
        if (!isSpecial(ch))
            continue;
        if (ch == '=') {
            if (!inQuotes && line.equals == -1)
                line.equals = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == line.start + 1) {
                ++line.start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (ch == '\\') {
            if (i < data.size()) {
                const char next = data[i++];
                if (i < data.size() &&
                    ((next == '\n' && data[i] == '\r') || (next == '\r' && data[i] == '\n')))
                    ++i;
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (i == line.start + 1) { // ';' starting a comment line
            while (i < data.size() && data[i] != '\n' && data[i] != '\r')
                ++i;
            while (i < data.size() && isSpace(data[i]))
                ++i;
            line.start = i;
        } else if (!inQuotes) { // ';' ending the line
            --i;
            break;
        }
    }
    pos = i;
    line.length = i - line.start;
    return line.length > 0;
}

// Past a comment after the line, to the end of the text line.
qsizetype textLineEnd(QByteArrayView data, qsizetype pos)
{
    while (pos < data.size() && data[pos] != '\n' && data[pos] != '\r')
        ++pos;
    return pos;
}

} // namespace

std::optional<IniDocument> IniDocument::parse(const QByteArray &bytes)
{
    IniDocument document;
    document.m_bytes = bytes;
    const QByteArrayView data(document.m_bytes);
    QString prefix; // the [General] section holds keys without one
    bool valid = true;
    qsizetype pos = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    Line line;
    while (nextLine(data, pos, line)) {
        const QByteArrayView text = data.sliced(line.start, line.length);
        const qsizetype end = textLineEnd(data, line.start + line.length);
        if (text.startsWith('[')) {
            qsizetype close = text.indexOf(']');
            valid = valid && close >= 0;
            const QByteArrayView name = text.first(close < 0 ? text.size() : close).sliced(1).trimmed();
            const auto is = [&](const char *word) {
                return name.size() == qsizetype(qstrlen(word)) &&
                       qstrnicmp(name.data(), word, name.size()) == 0;
            };
            prefix = is("general")    ? QString()
                     : is("%general") ? QString::fromUtf8(name.sliced(1)) + u'/'
                                      : unescapedIniKey(name) + u'/';
            document.m_blocks.push_back({prefix, end});
        } else if (line.equals < 0) {
            valid = false;
        } else {
            const QByteArrayView key = data.sliced(line.start, line.equals - line.start).trimmed();
            document.m_entries.push_back(
                {prefix + unescapedIniKey(key), line.equals + 1, line.start + line.length});
            if (!document.m_blocks.empty())
                document.m_blocks.back().end = end;
        }
    }
    if (!valid)
        return std::nullopt;
    return document;
}

const IniDocument::Entry *IniDocument::find(const QString &path) const
{
    // Of keys written twice, QSettings reads the last.
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry) {
        if (entry->path == path)
            return &*entry;
    }
    return nullptr;
}

std::optional<QString> IniDocument::value(const QString &section, const QString &key) const
{
    const Entry *entry = find(section + u'/' + key);
    if (!entry)
        return std::nullopt;
    const QStringList items = unescapedIniValue(
        QByteArrayView(m_bytes).sliced(entry->valueStart, entry->valueEnd - entry->valueStart));
    QStringList texts;
    for (const QString &item : items) {
        const std::optional<QString> text = iniItemText(item);
        if (!text)
            return std::nullopt;
        texts.append(*text);
    }
    return texts.join(u','); // an unquoted comma in a hand-edited value reads as a list
}

QByteArray IniDocument::withValue(const QString &section, const QString &key, const QString &text) const
{
    QByteArray result = m_bytes;
    if (const Entry *entry = find(section + u'/' + key)) {
        result.replace(entry->valueStart, entry->valueEnd - entry->valueStart, escapedIniValue(text));
        return result;
    }
    const QByteArray line = escapedIniKey(key) + '=' + escapedIniValue(text);
    for (auto block = m_blocks.rbegin(); block != m_blocks.rend(); ++block) {
        if (block->prefix == section + u'/')
            return result.insert(block->end, '\n' + line);
    }
    if (!result.isEmpty())
        result += result.endsWith('\n') ? "\n" : "\n\n";
    return result + '[' + escapedIniKey(section) + "]\n" + line + '\n';
}

} // namespace quellex::platform
