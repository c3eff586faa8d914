#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace quellex::platform {

// The INI dialect of QSettings, read and edited in memory. Files written by earlier versions through
// QSettings read as they did, and QSettings reads what this writes. An edit changes one value and
// keeps every other byte of the file, comments included.
class IniDocument
{
public:
    // nullopt where QSettings reports a format error. The bytes must be UTF-8.
    static std::optional<IniDocument> parse(const QByteArray &bytes);

    // The text stored under section/key; nullopt when absent or not a text (a serialised object).
    std::optional<QString> value(const QString &section, const QString &key) const;
    // The file's bytes with section/key set to the text; nullopt when no edit of this file reads
    // back as the text.
    std::optional<QByteArray> withValue(const QString &section, const QString &key,
                                        const QString &text) const;

private:
    struct Entry
    {
        QString path; // "section/key" as QSettings addresses it
        qsizetype valueStart = 0;
        qsizetype valueEnd = 0;
    };
    struct Block
    {
        QString prefix;          // "section/"
        qsizetype end = 0;       // after its last key, where a new key goes
        qsizetype headerEnd = 0; // after its [section] line
    };

    const Entry *find(const QString &path) const;

    QByteArray m_bytes;
    std::vector<Entry> m_entries;
    std::vector<Block> m_blocks;
};

} // namespace quellex::platform
