// QSettings' INI rules, kept byte for byte: how a file is split into lines, sections and keys.
#include "platform/linux/iniformat.h"

#include "platform/linux/iniescaping.h"

#include <algorithm>

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
            document.m_blocks.push_back({prefix, end, end});
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
    if (items.size() == 1)
        return iniItemText(items.front());
    // A list of texts, and nothing else: "@@" escapes a leading "@", any other "@" makes an object.
    QStringList texts;
    for (const QString &item : items) {
        if (item.startsWith(u'@') && !item.startsWith(QLatin1StringView("@@")))
            return std::nullopt;
        texts.append(item.startsWith(u'@') ? item.sliced(1) : item);
    }
    return texts.join(u','); // an unquoted comma in a hand-edited value reads as a list
}

std::optional<QByteArray> IniDocument::withValue(const QString &section, const QString &key,
                                                 const QString &text) const
{
    const QString path = section + u'/' + key;
    const QByteArray escaped = escapedIniValue(text);
    const QByteArray line = '\n' + escapedIniKey(key) + '=' + escaped;
    std::vector<QByteArray> edits;
    if (const Entry *entry = find(path))
        edits.push_back(
            QByteArray(m_bytes).replace(entry->valueStart, entry->valueEnd - entry->valueStart, escaped));
    const auto block = std::find_if(m_blocks.rbegin(), m_blocks.rend(),
                                    [&](const Block &b) { return b.prefix == section + u'/'; });
    if (block != m_blocks.rend()) {
        edits.push_back(QByteArray(m_bytes).insert(block->end, line));
        edits.push_back(QByteArray(m_bytes).insert(block->headerEnd, line));
    }
    QByteArray appended = m_bytes;
    if (!appended.isEmpty())
        appended += appended.endsWith('\n') ? "\n" : "\n\n";
    edits.push_back(appended + '[' + escapedIniKey(section) + ']' + line + '\n');
    // A quote left open or a backslash at the very end of a hand-edited file would swallow a line
    // added after it: the first edit that reads back as the text is taken.
    for (const QByteArray &edit : edits) {
        const std::optional<IniDocument> edited = parse(edit);
        if (edited && edited->value(section, key) == text)
            return edit;
    }
    return std::nullopt;
}

} // namespace quellex::platform
