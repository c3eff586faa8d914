#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

namespace quellex::test {

// The bytes of a settings file in tests/settings/data/ (name: its path there), with %1, %2, ... replaced
// by the arguments in turn.
QByteArray iniFile(const QString &name, const QStringList &arguments = {});

// Points the per-user settings store at a private, empty folder for as long as it lives. On Windows:
// at a private, empty registry key that stands in for HKEY_CURRENT_USER in this process; the INI texts
// are then written to it as values.
class IsolatedSettings
{
public:
    IsolatedSettings();
    ~IsolatedSettings();
    Q_DISABLE_COPY(IsolatedSettings)

    QString configHome() const { return m_dir.path(); }
    // The file the store keeps the program's settings in.
    QString iniPath() const;
    // Replaces the file with exactly this text.
    void writeIni(const QByteArray &contents) const;
    QByteArray readIni() const;
    // What a plain QSettings finds under section/key in the file, parsed from a copy so that QSettings'
    // own cache of the file plays no part; "<invalid file>" when it cannot parse the file.
    QVariant valueInFile(const QString &key, const QString &section = QStringLiteral("Settings")) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious = false;
#ifdef _WIN32
    void *m_userKey = nullptr;
#endif
};

} // namespace quellex::test
