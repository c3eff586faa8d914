#pragma once

#include "quellexversion.h"

#include <QProcess>
#include <QStringList>

namespace quellex::test {

class IsolatedSettings;

// Generous: the program starts its toolkit on a loaded machine.
inline constexpr int kStartMs = 30000;
inline constexpr int kEndMs = 10000;
// A bare X server has no Xft.dpi, so the toolkit works at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;
inline const QString kCaption = QStringLiteral(QUELLEX_CAPTION);

// The built program, started as a user starts it, as this test's child: should a check fail while it
// runs, it is ended here, and by nothing else.
class Program : public QProcess
{
public:
    // In the test's environment, changed as given: "NAME=value" sets a variable, "NAME" removes it.
    explicit Program(const QStringList &environment = {});
    // With its settings in the private folder of settings.
    explicit Program(const IsolatedSettings &settings, const QStringList &environment = {});
    ~Program() override;

    static QString path();
    // Sends SIGTERM, as systemd does at logout, and waits for a normal end.
    bool terminateAndWait();
    // Everything it has said on stderr so far.
    QString errors();

private:
    QString m_errors;
};

} // namespace quellex::test
