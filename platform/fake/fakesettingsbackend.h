#pragma once

#include <QString>
#include <map>
#include <optional>
#include <tuple>

namespace quellex::platform {

// A settings store held in memory, with the same operations and rules as a real platform's store:
// an absent key reads as nullopt, an empty text is kept as empty. Writes can be made to fail, to try
// what callers do when the store refuses them.
class FakeSettingsBackend
{
public:
    static FakeSettingsBackend &instance();

    std::optional<QString> read(const QString &application, const QString &section, const QString &key) const;
    bool write(const QString &application, const QString &section, const QString &key, const QString &value);

    // Forgets every value and the write count, and lets writes succeed again.
    void clear();
    void remove(const QString &application, const QString &section, const QString &key);
    // Writes that reached the store since the last clear().
    int writeCount() const { return m_writeCount; }
    void setWritesFail(bool fail) { m_writesFail = fail; }

private:
    using Address = std::tuple<QString, QString, QString>;

    std::map<Address, QString> m_values;
    int m_writeCount = 0;
    bool m_writesFail = false;
};

} // namespace quellex::platform
